// The squares of the DirectDraw frame: sizes, corners, vertex colours and which layers
// of a bubble are drawn. Portable, so every number the device receives is tested natively.
#pragma once

#include <array>
#include <cstdint>

#include "framework/display_scale.h"
#include "world/bubble_table.h"

// Laid out field for field as Direct3D's pre-transformed, lit vertex (format 0x1C4).
struct SceneVertex {
  float X;
  float Y;
  float Z;
  float Rhw;
  uint32_t Diffuse;
  uint32_t Specular;
  float U;
  float V;
};
static_assert(sizeof(SceneVertex) == 32);

inline constexpr uint32_t SceneVertexFormat = 0x1C4;
inline constexpr int BodySide = 182;
inline constexpr int PictureSide = 80;
inline constexpr int ShadowOffsetX = 20;
inline constexpr int ShadowOffsetY = 30;
inline constexpr int PictureBubbleCount = 10;  // only bubbles 1..10 carry pictures

// N(side x scale) div 2, the product formed in extended precision.
int32_t SquareHalfSize(int side, float scale);

struct SceneSizes {
  int32_t BodyHalf;     // HB
  int32_t PictureHalf;  // HP
};
SceneSizes SceneSizesFor(float scale);

struct Corner {
  float X;
  float Y;
};
using SquareCorners = std::array<Corner, 4>;  // top-left, top-right, bottom-left, bottom-right

// Body corners truncate towards zero; picture corners round, halves to even.
SquareCorners BodyCorners(double x, double y, int32_t half);
SquareCorners PictureCorners(double x, double y, int32_t half);
SquareCorners Offset(const SquareCorners& corners, int dx, int dy);

constexpr uint32_t PackColor(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
  return (alpha << 24) | ((red & 0xFF) << 16) | ((green & 0xFF) << 8) | (blue & 0xFF);
}
inline constexpr uint32_t OpaqueWhite = PackColor(255, 255, 255, 255);
// A bubble's tint for the body; channels outside 0..255 keep only their low byte.
uint32_t BodyColor(const Bubble& bubble);

// The strip of two triangles over one square, the whole texture mapped onto it.
std::array<SceneVertex, 4> SquareVertices(const SquareCorners& corners, uint32_t diffuse);

enum class SceneLayer { Shadow, Body, Picture, Highlights };

// Which textures exist, and the shadow setting, for one frame.
struct SceneLayerSources {
  bool Shadow = false;
  bool Body = false;
  bool Highlights = false;
  bool ShowShadow = false;
};

struct LayerQuad {
  SceneLayer Layer;
  std::array<SceneVertex, 4> Vertices;
};

// The quads of one bubble in drawing order; a fixed array, so a frame allocates nothing.
struct BubbleQuads {
  std::array<LayerQuad, 4> Quads;
  int Count = 0;
};

// Bubble number (1-based) selects the picture; hasPicture says whether texture k exists.
BubbleQuads BuildBubbleQuads(const Bubble& bubble, int number, bool hasPicture,
                             const SceneSizes& sizes, const SceneLayerSources& sources);

// The quads in a scaled display's real pixels: each corner, an integer in world units,
// times the scale, rounded half to even. At 96 dpi they are unchanged.
void ScaleQuads(BubbleQuads& quads, const DisplayScale& scale);

// Every layer but the highlights sets the full blend state before it is drawn.
constexpr bool LayerSetsBlendState(SceneLayer layer) {
  return layer != SceneLayer::Highlights;
}
