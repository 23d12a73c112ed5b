#include "directdraw/scene_geometry.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

Bubble BubbleAt(double x, double y, int red = 10, int green = 20, int blue = 30) {
  Bubble b{};
  b.X = x;
  b.Y = y;
  b.Red = red;
  b.Green = green;
  b.Blue = blue;
  return b;
}

void ExpectCorners(const std::array<SceneVertex, 4>& v, float l, float t, float r, float b) {
  EXPECT_EQ(v[0].X, l);
  EXPECT_EQ(v[0].Y, t);
  EXPECT_EQ(v[1].X, r);
  EXPECT_EQ(v[1].Y, t);
  EXPECT_EQ(v[2].X, l);
  EXPECT_EQ(v[2].Y, b);
  EXPECT_EQ(v[3].X, r);
  EXPECT_EQ(v[3].Y, b);
}

const SceneLayerSources AllTextures{true, true, true, true};

}  // namespace

TEST(SceneSizes, AtScaleOneAreTheBuiltInSquares) {
  EXPECT_EQ(SceneSizesFor(1.0f).BodyHalf, 91);
  EXPECT_EQ(SceneSizesFor(1.0f).PictureHalf, 40);
}

TEST(SceneSizes, AnOddRoundedProductMakesTheSquareOnePixelNarrower) {
  EXPECT_EQ(SceneSizesFor(1.5f).BodyHalf, 136);  // 273 -> 136
  EXPECT_EQ(SceneSizesFor(1.5f).PictureHalf, 60);
}

TEST(SceneSizes, ScalePointThreeRoundsTheSinglePrecisionProductUp) {
  // 182 x 0.3f is just above 54.6, so it rounds to 55, and 55 div 2 is 27.
  EXPECT_EQ(SceneSizesFor(0.3f).BodyHalf, 27);
  EXPECT_EQ(SceneSizesFor(0.3f).PictureHalf, 12);
}

TEST(SceneSizes, RoundsExactHalvesToEven) {
  EXPECT_EQ(SquareHalfSize(1, 2.5f), 1);  // 2.5 -> 2
  EXPECT_EQ(SquareHalfSize(1, 3.5f), 2);  // 3.5 -> 4
  EXPECT_EQ(SquareHalfSize(182, 0.0f), 0);
}

TEST(SceneQuads, WorkedExampleGivesTheStatedCornersForEveryLayer) {
  const BubbleQuads q =
      BuildBubbleQuads(BubbleAt(400.6, 300.5), 1, true, SceneSizesFor(1.0f), AllTextures);
  ASSERT_EQ(q.Count, 4);
  EXPECT_EQ(q.Quads[0].Layer, SceneLayer::Shadow);
  ExpectCorners(q.Quads[0].Vertices, 329, 239, 511, 421);
  EXPECT_EQ(q.Quads[1].Layer, SceneLayer::Body);
  ExpectCorners(q.Quads[1].Vertices, 309, 209, 491, 391);
  EXPECT_EQ(q.Quads[2].Layer, SceneLayer::Picture);
  ExpectCorners(q.Quads[2].Vertices, 361, 260, 441, 340);
  EXPECT_EQ(q.Quads[3].Layer, SceneLayer::Highlights);
  ExpectCorners(q.Quads[3].Vertices, 309, 209, 491, 391);
}

TEST(SceneQuads, BodyCornersTruncateTowardsZeroLeftOfTheScreen) {
  // -5.5 truncates to -5, where flooring would give -6.
  const SquareCorners c = BodyCorners(85.5, 100.0, 91);
  EXPECT_EQ(c[0].X, -5.0f);
  EXPECT_EQ(c[1].X, 176.0f);
}

TEST(SceneQuads, DiffuseColoursAreShadowZeroBodyTintAndOpaqueWhite) {
  const BubbleQuads q = BuildBubbleQuads(BubbleAt(100, 100, 0x12, 0x34, 0x56), 3, true,
                                         SceneSizesFor(1.0f), AllTextures);
  ASSERT_EQ(q.Count, 4);
  for (const SceneVertex& v : q.Quads[0].Vertices) EXPECT_EQ(v.Diffuse, 0u);
  for (const SceneVertex& v : q.Quads[1].Vertices) EXPECT_EQ(v.Diffuse, 0xFF123456u);
  for (const SceneVertex& v : q.Quads[2].Vertices) EXPECT_EQ(v.Diffuse, 0xFFFFFFFFu);
  for (const SceneVertex& v : q.Quads[3].Vertices) EXPECT_EQ(v.Diffuse, 0xFFFFFFFFu);
}

TEST(SceneQuads, VerticesMapTheWholeTextureAtDepthZero) {
  const auto v = SquareVertices(BodyCorners(50, 50, 10), 7);
  const float u[4] = {0, 1, 0, 1}, w[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v[i].U, u[i]);
    EXPECT_EQ(v[i].V, w[i]);
    EXPECT_EQ(v[i].Z, 0.0f);
    EXPECT_EQ(v[i].Rhw, 1.0f);
    EXPECT_EQ(v[i].Specular, 0u);
  }
}

TEST(SceneQuads, VertexLayoutMatchesTheFlexibleFormat) {
  EXPECT_EQ(offsetof(SceneVertex, Rhw), 12u);
  EXPECT_EQ(offsetof(SceneVertex, Diffuse), 16u);
  EXPECT_EQ(offsetof(SceneVertex, Specular), 20u);
  EXPECT_EQ(offsetof(SceneVertex, U), 24u);
}

TEST(SceneLayers, BubblesElevenAndTwelveNeverShowAPicture) {
  const SceneSizes sizes = SceneSizesFor(1.0f);
  for (int k : {11, 12}) {
    const BubbleQuads q = BuildBubbleQuads(BubbleAt(100, 100), k, true, sizes, AllTextures);
    ASSERT_EQ(q.Count, 3) << "bubble " << k;
    for (int i = 0; i < q.Count; ++i) EXPECT_NE(q.Quads[i].Layer, SceneLayer::Picture);
  }
  EXPECT_EQ(BuildBubbleQuads(BubbleAt(100, 100), 10, true, sizes, AllTextures).Count, 4);
}

TEST(SceneLayers, ShadowSettingOffLeavesTheOtherThreeLayersUnchanged) {
  SceneLayerSources noShadow = AllTextures;
  noShadow.ShowShadow = false;
  const SceneSizes sizes = SceneSizesFor(1.0f);
  const BubbleQuads with = BuildBubbleQuads(BubbleAt(200, 150), 2, true, sizes, AllTextures);
  const BubbleQuads without = BuildBubbleQuads(BubbleAt(200, 150), 2, true, sizes, noShadow);
  ASSERT_EQ(without.Count, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(without.Quads[i].Layer, with.Quads[i + 1].Layer);
    ExpectCorners(without.Quads[i].Vertices, with.Quads[i + 1].Vertices[0].X,
                  with.Quads[i + 1].Vertices[0].Y, with.Quads[i + 1].Vertices[3].X,
                  with.Quads[i + 1].Vertices[3].Y);
  }
}

TEST(SceneLayers, AMissingTextureLeavesOnlyItsLayerOut) {
  SceneLayerSources noBody = AllTextures;
  noBody.Body = false;
  const BubbleQuads q = BuildBubbleQuads(BubbleAt(200, 150), 1, false, SceneSizesFor(1.0f), noBody);
  ASSERT_EQ(q.Count, 2);
  EXPECT_EQ(q.Quads[0].Layer, SceneLayer::Shadow);
  EXPECT_EQ(q.Quads[1].Layer, SceneLayer::Highlights);
  SceneLayerSources noShadowTexture = AllTextures;
  noShadowTexture.Shadow = false;
  EXPECT_EQ(BuildBubbleQuads(BubbleAt(1, 1), 1, true, SceneSizesFor(1.0f), noShadowTexture)
                .Quads[0]
                .Layer,
            SceneLayer::Body);
}

TEST(SceneLayers, ScaleZeroCollapsesEverySquareToOnePoint) {
  const BubbleQuads q =
      BuildBubbleQuads(BubbleAt(300.7, 200.2), 1, true, SceneSizesFor(0.0f), AllTextures);
  ASSERT_EQ(q.Count, 4);
  for (int i = 0; i < q.Count; ++i) {
    const auto& v = q.Quads[i].Vertices;
    EXPECT_EQ(v[0].X, v[3].X);
    EXPECT_EQ(v[0].Y, v[3].Y);
  }
}

TEST(SceneLayers, OnlyTheHighlightsSkipTheBlendStates) {
  EXPECT_TRUE(LayerSetsBlendState(SceneLayer::Shadow));
  EXPECT_TRUE(LayerSetsBlendState(SceneLayer::Body));
  EXPECT_TRUE(LayerSetsBlendState(SceneLayer::Picture));
  EXPECT_FALSE(LayerSetsBlendState(SceneLayer::Highlights));
}

TEST(SceneQuads, AScaledDisplayDrawsEachCornerAtItsRealPixels) {
  // The worked example's shadow (329, 239, 511, 421) and picture (361, 260, 441, 340).
  const struct {
    uint32_t Dpi;
    float Shadow[4];
    float Picture[4];
  } scales[] = {
      {96, {329, 239, 511, 421}, {361, 260, 441, 340}},
      {120, {411, 299, 639, 526}, {451, 325, 551, 425}},  // 411.25, 298.75, 638.75, 526.25
      {144, {494, 358, 766, 632}, {542, 390, 662, 510}},  // 493.5 -> 494, 358.5 -> 358
      {192, {658, 478, 1022, 842}, {722, 520, 882, 680}},
  };
  for (const auto& s : scales) {
    BubbleQuads q =
        BuildBubbleQuads(BubbleAt(400.6, 300.5), 1, true, SceneSizesFor(1.0f), AllTextures);
    ScaleQuads(q, DisplayScale(s.Dpi));
    SCOPED_TRACE(s.Dpi);
    ExpectCorners(q.Quads[0].Vertices, s.Shadow[0], s.Shadow[1], s.Shadow[2], s.Shadow[3]);
    ExpectCorners(q.Quads[2].Vertices, s.Picture[0], s.Picture[1], s.Picture[2], s.Picture[3]);
  }
  // An absurd size setting: corners far off screen, scaled without overflowing.
  BubbleQuads huge =
      BuildBubbleQuads(BubbleAt(10, 10), 1, true, SceneSizesFor(2.0e8f), AllTextures);
  ScaleQuads(huge, DisplayScale(144));
  EXPECT_LT(huge.Quads[0].Vertices[0].X, -1.0e9f);
  EXPECT_GT(huge.Quads[0].Vertices[3].X, 1.0e9f);
}
