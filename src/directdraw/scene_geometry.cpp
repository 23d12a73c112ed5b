#include "directdraw/scene_geometry.h"

#include <cmath>

int32_t SquareHalfSize(int side, float scale) {
  const long double product = static_cast<long double>(side) * static_cast<long double>(scale);
  // nearbyint rounds halves to even in the default rounding mode.
  const long double rounded = std::nearbyint(product);
  return static_cast<int32_t>(static_cast<int64_t>(rounded) / 2);
}

SceneSizes SceneSizesFor(float scale) {
  return {SquareHalfSize(BodySide, scale), SquareHalfSize(PictureSide, scale)};
}

namespace {

template <typename Snap>
SquareCorners CornersAround(double x, double y, int32_t half, Snap snap) {
  const double h = half;
  return {{{static_cast<float>(snap(x - h)), static_cast<float>(snap(y - h))},
           {static_cast<float>(snap(x + h)), static_cast<float>(snap(y - h))},
           {static_cast<float>(snap(x - h)), static_cast<float>(snap(y + h))},
           {static_cast<float>(snap(x + h)), static_cast<float>(snap(y + h))}}};
}

}  // namespace

SquareCorners BodyCorners(double x, double y, int32_t half) {
  return CornersAround(x, y, half, [](double v) { return std::trunc(v); });
}

SquareCorners PictureCorners(double x, double y, int32_t half) {
  return CornersAround(x, y, half, [](double v) { return std::nearbyint(v); });
}

SquareCorners Offset(const SquareCorners& corners, int dx, int dy) {
  SquareCorners moved = corners;
  for (Corner& c : moved) {
    c.X += static_cast<float>(dx);
    c.Y += static_cast<float>(dy);
  }
  return moved;
}

uint32_t BodyColor(const Bubble& bubble) {
  return PackColor(255, static_cast<uint32_t>(bubble.Red), static_cast<uint32_t>(bubble.Green),
                   static_cast<uint32_t>(bubble.Blue));
}

std::array<SceneVertex, 4> SquareVertices(const SquareCorners& corners, uint32_t diffuse) {
  static constexpr float U[4] = {0, 1, 0, 1};
  static constexpr float V[4] = {0, 0, 1, 1};
  std::array<SceneVertex, 4> vertices{};
  for (int i = 0; i < 4; ++i) {
    vertices[i] = {corners[i].X, corners[i].Y, 0.0f, 1.0f, diffuse, 0, U[i], V[i]};
  }
  return vertices;
}

BubbleQuads BuildBubbleQuads(const Bubble& bubble, int number, bool hasPicture,
                             const SceneSizes& sizes, const SceneLayerSources& sources) {
  BubbleQuads out;
  auto add = [&out](SceneLayer layer, const SquareCorners& corners, uint32_t diffuse) {
    out.Quads[out.Count++] = {layer, SquareVertices(corners, diffuse)};
  };
  const SquareCorners body = BodyCorners(bubble.X, bubble.Y, sizes.BodyHalf);
  if (sources.Shadow && sources.ShowShadow) {
    add(SceneLayer::Shadow, Offset(body, ShadowOffsetX, ShadowOffsetY), 0);
  }
  if (sources.Body) add(SceneLayer::Body, body, BodyColor(bubble));
  if (number >= 1 && number <= PictureBubbleCount && hasPicture) {
    add(SceneLayer::Picture, PictureCorners(bubble.X, bubble.Y, sizes.PictureHalf), OpaqueWhite);
  }
  if (sources.Highlights) add(SceneLayer::Highlights, body, OpaqueWhite);
  return out;
}

void ScaleQuads(BubbleQuads& quads, const DisplayScale& scale) {
  if (scale.IsStandard()) return;
  // Corners are whole world units; those of an absurd size setting lie beyond int32_t,
  // far off screen, where a float's own rounding is all there is.
  auto physical = [&scale](float v) {
    if (!(std::fabs(v) < 1.0e9f)) return scale.ToPhysical(v);
    return static_cast<float>(scale.ToPhysical(static_cast<int32_t>(v)));
  };
  for (int i = 0; i < quads.Count; ++i) {
    for (SceneVertex& vertex : quads.Quads[i].Vertices) {
      vertex.X = physical(vertex.X);
      vertex.Y = physical(vertex.Y);
    }
  }
}
