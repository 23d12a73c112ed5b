// The GDI+ scene's arithmetic, free of Windows: where each picture goes inside a bubble
// window, how a window's tint drifts and when it is shown, where a window sits over its
// bubble, the random push and the premultiplied copy that the layered windows are fed.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/background_choice.h"
#include "framework/display_scale.h"
#include "framework/mouse_start.h"

struct LayerRect {
  int32_t X, Y, Width, Height;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// The extra pixels right of and below the body that hold the shadow.
inline constexpr int32_t ShadowMargin = 50;

// All bubble windows' Layers together stay below this, so an absurd radius cannot
// exhaust a 32-bit process (each render also makes a bitmap of the same size, and the
// platform keeps a copy of every layered window's picture).
inline constexpr uint64_t LayerBudgetBytes = 128ull * 1024 * 1024;

// The radius the scene draws its bubbles with: the world's radius, unless a window of
// 2R + 50 would be larger than the screen's shorter side (screenSide) or windowCount
// such windows would exceed LayerBudgetBytes; then the largest radius that fits, so a
// huge bubble is still drawn whole, centred on its bubble, and renders in bounded time.
// On a scaled display, screenSide is in world units and the budget counts real pixels.
int32_t SceneBubbleRadius(int32_t radius, int32_t windowCount, int32_t screenSide,
                          const DisplayScale& scale = DisplayScale());

// Side of a bubble window and of its Layer for a scene radius: 2R + 50.
int32_t BubbleWindowSide(int32_t sceneRadius);

// Source rectangles use the body picture's size (ballWidth x ballHeight) for all three
// built-in pictures; destinations are inside the Layer.
struct BallComposition {
  LayerRect BodySource, BodyDest;
  LayerRect ShadowSource, ShadowDest;
  LayerRect PictureDest;  // empty for a radius of 35 or less: no picture then
  LayerRect HighlightSource, HighlightDest;
};
BallComposition ComposeBall(int32_t radius, int32_t ballWidth, int32_t ballHeight);
// The composition's destinations in a scaled display's real pixels (each edge times the
// scale, rounded half to even), so the Layer is drawn at its real size, never stretched.
// The sources stay in the pictures' own pixels.
LayerRect ToPhysical(const LayerRect& rect, const DisplayScale& scale);
BallComposition ToPhysical(BallComposition layout, const DisplayScale& scale);

// Whether a render draws the user's picture: window 1 only (showPicture), a picture list
// that is not blank, and a picture rectangle with room in it.
bool DrawsPicture(bool showPicture, std::string_view ballPic, const BallComposition& layout);

// One tint channel of a bubble window and its drift step.
struct TintChannel {
  int32_t Value;
  int32_t Step;
};
struct BallTint {
  TintChannel Red, Green, Blue;
  int32_t Sum() const { return Red.Value + Green.Value + Blue.Value; }
};

inline constexpr int32_t TintCeiling = 225;
inline constexpr int32_t RedTurnLimit = 205;

// value += step; beyond 0..turnLimit the step turns; the value is then clamped to
// 0..TintCeiling.
void DriftChannel(TintChannel& channel, int32_t turnLimit);
// Red, green, blue in that order; red turns at 206, green and blue only above 225.
void DriftTint(BallTint& tint);
// Very dark and very light tints keep the window's previous picture: 150 < sum < 600.
bool TintUpdatesWindow(const BallTint& tint);

struct WindowOrigin {
  int32_t Left, Top;
};
// (X - R, Y - R), each rounded to nearest with halves to even.
WindowOrigin BubbleWindowOrigin(double x, double y, int32_t radius);

// Adds -1, 0 or +1 to VX and then to VY of one random bubble in use, active or not.
// Returns its index, or 0 when no bubble is in use.
int32_t PushRandomBubble();

// Copies 32-bit straight-alpha BGRA rows into premultiplied BGRA rows, as
// UpdateLayeredWindow expects them with per-pixel alpha.
void PremultiplyRows(const uint8_t* source, int32_t sourceStride, uint8_t* dest, int32_t destStride,
                     int32_t width, int32_t height);
