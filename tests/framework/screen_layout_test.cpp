// The virtual screen of one, two and three monitors: the world it gives, each monitor's
// place in the world, and the work areas.
#include "framework/screen_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

MonitorArea Whole(ScreenRect monitor) {
  return {monitor, monitor};
}

struct LayoutCase {
  std::string Name;
  ScreenRect Virtual;
  std::vector<MonitorArea> Monitors;
  ScreenRect World;
  std::vector<ScreenRect> InWorld;  // each monitor
  ScreenRect WorkBounds;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.Name;
}

class Layouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(Layouts, PutEachMonitorInTheWorldFromTheVirtualScreensCorner) {
  const LayoutCase& c = GetParam();
  const ScreenLayout layout(c.Virtual, c.Monitors);
  EXPECT_EQ(layout.World(), c.World);
  EXPECT_EQ(layout.MonitorRects(), c.InWorld);
  EXPECT_EQ(layout.WorkBounds(), c.WorkBounds);
  // World (0, 0) is the virtual screen's corner, and the mapping goes both ways.
  const ScreenRect corner = layout.ToScreen({0, 0, 1, 1});
  EXPECT_EQ(corner.Left, c.Virtual.Left);
  EXPECT_EQ(corner.Top, c.Virtual.Top);
  for (size_t i = 0; i < c.Monitors.size() && i < c.InWorld.size(); ++i)
    EXPECT_EQ(layout.ToScreen(c.InWorld[i]), Intersection(c.Monitors[i].Monitor, c.Virtual)) << i;
}

// A task bar 40 pixels high along the bottom of a monitor.
MonitorArea WithTaskBar(ScreenRect monitor) {
  return {monitor, {monitor.Left, monitor.Top, monitor.Right, monitor.Bottom - 40}};
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, Layouts,
    ::testing::Values(LayoutCase{"One",
                                 {0, 0, 1024, 768},
                                 {WithTaskBar({0, 0, 1024, 768})},
                                 {0, 0, 1024, 768},
                                 {{0, 0, 1024, 768}},
                                 {0, 0, 1024, 728}},
                      LayoutCase{"SecondRightAndLower",
                                 {0, 0, 2304, 800},
                                 {Whole({0, 0, 1280, 800}), Whole({1280, 0, 2304, 768})},
                                 {0, 0, 2304, 800},
                                 {{0, 0, 1280, 800}, {1280, 0, 2304, 768}},
                                 {0, 0, 2304, 800}},
                      LayoutCase{"SecondLeftAtNegativeCoordinates",
                                 {-1024, 0, 1280, 800},
                                 {WithTaskBar({0, 0, 1280, 800}), Whole({-1024, 0, 0, 768})},
                                 {0, 0, 2304, 800},
                                 {{1024, 0, 2304, 800}, {0, 0, 1024, 768}},
                                 {0, 0, 2304, 768}},
                      LayoutCase{"SecondAbove",
                                 {0, -768, 1280, 800},
                                 {Whole({0, 0, 1280, 800}), Whole({128, -768, 1152, 0})},
                                 {0, 0, 1280, 1568},
                                 {{0, 768, 1280, 1568}, {128, 0, 1152, 768}},
                                 {0, 0, 1280, 1568}},
                      LayoutCase{
                          "ThreeInARow",
                          {-1920, 0, 2560, 1080},
                          {Whole({0, 0, 1280, 1024}), Whole({-1920, 0, 0, 1080}),
                           Whole({1280, 100, 2560, 1060})},
                          {0, 0, 4480, 1080},
                          {{1920, 0, 3200, 1024}, {0, 0, 1920, 1080}, {3200, 100, 4480, 1060}},
                          {0, 0, 4480, 1080}},
                      // The platform named no monitor: the virtual screen is the one.
                      LayoutCase{"NoneListed",
                                 {0, 0, 800, 600},
                                 {},
                                 {0, 0, 800, 600},
                                 {{0, 0, 800, 600}},
                                 {0, 0, 800, 600}},
                      // A monitor reported partly outside the virtual screen is kept to it.
                      LayoutCase{"MonitorBeyondTheVirtualScreen",
                                 {0, 0, 1024, 768},
                                 {Whole({-10, 0, 1024, 800})},
                                 {0, 0, 1024, 768},
                                 {{0, 0, 1024, 768}},
                                 {0, 0, 1024, 768}}),
    [](const auto& param) { return param.param.Name; });

TEST(Intersection, IsThePartBothShareOrNothing) {
  EXPECT_EQ(Intersection({0, 0, 10, 10}, {5, -5, 20, 5}), (ScreenRect{5, 0, 10, 5}));
  EXPECT_EQ(Intersection({0, 0, 10, 10}, {10, 0, 20, 10}), ScreenRect{});
  EXPECT_TRUE(Intersection({0, 0, 10, 10}, {-30, -30, -20, -20}).Empty());
}

// Two monitors side by side (the secondary left, lower) and a task bar on the primary.
TEST(BackgroundParts, APictureFillsEachMonitorInProportionAndAScreenCopyGivesEachItsOwnPart) {
  const ScreenLayout layout({-1024, 0, 1280, 800},
                            {WithTaskBar({0, 0, 1280, 800}), Whole({-1024, 0, 0, 768})});
  const ScreenRect all = layout.World();
  const struct {
    const char* Name;
    int32_t Width, Height;
    BackgroundKind Kind;
    bool OnWorkAreas;
    ScreenRect Surface;
    std::vector<BackgroundPart> Expected;
  } cases[] = {
      {"picture on monitors",
       544,
       395,
       BackgroundKind::Picture,
       false,
       all,
       {{{0, 27, 544, 367}, {1024, 0, 2304, 800}}, {{8, 0, 535, 395}, {0, 0, 1024, 768}}}},
      {"picture on work areas of a surface at the work bounds",
       544,
       395,
       BackgroundKind::Picture,
       true,
       layout.WorkBounds(),
       {{{0, 36, 544, 359}, {1024, 0, 2304, 760}}, {{8, 0, 535, 395}, {0, 0, 1024, 768}}}},
      {"screen copy on monitors",
       2304,
       800,
       BackgroundKind::VirtualScreenCopy,
       false,
       all,
       {{{1024, 0, 2304, 800}, {1024, 0, 2304, 800}}, {{0, 0, 1024, 768}, {0, 0, 1024, 768}}}},
      {"screen copy at half size",
       1152,
       400,
       BackgroundKind::VirtualScreenCopy,
       false,
       all,
       {{{512, 0, 1152, 400}, {1024, 0, 2304, 800}}, {{0, 0, 512, 384}, {0, 0, 1024, 768}}}},
      {"no picture", 0, 0, BackgroundKind::Picture, false, all, {}},
  };
  for (const auto& c : cases) {
    const std::vector<BackgroundPart> parts =
        BackgroundParts(layout, c.Width, c.Height, c.Kind, c.OnWorkAreas, c.Surface);
    ASSERT_EQ(parts.size(), c.Expected.size()) << c.Name;
    for (size_t i = 0; i < parts.size(); ++i) {
      EXPECT_EQ(parts[i].Source, c.Expected[i].Source) << c.Name << " " << i;
      EXPECT_EQ(parts[i].Dest, c.Expected[i].Dest) << c.Name << " " << i;
    }
  }
}

// One monitor: the whole picture over the whole surface, as the run has always drawn it.
TEST(BackgroundParts, OneMonitorIsTheWholePictureOverTheWholeSurface) {
  const ScreenLayout layout({0, 0, 1024, 768}, {Whole({0, 0, 1024, 768})});
  const std::vector<BackgroundPart> parts =
      BackgroundParts(layout, 1024, 768, BackgroundKind::VirtualScreenCopy, false, layout.World());
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(parts[0].Source, (ScreenRect{0, 0, 1024, 768}));
  EXPECT_EQ(parts[0].Dest, (ScreenRect{0, 0, 1024, 768}));
}

// What a device that cannot take the whole window draws: the primary's part, kept to the
// device's limit; the window's size wherever the device takes it.
TEST(DeviceDrawArea, IsTheWholeWindowOrThePrimarysPartOfIt) {
  const ScreenLayout right({0, 0, 2304, 800},
                           {Whole({0, 0, 1280, 800}), Whole({1280, 0, 2304, 768})});
  const ScreenLayout left({-1024, 0, 1280, 800},
                          {Whole({-1024, 0, 0, 768}), Whole({0, 0, 1280, 800})});
  const ScreenLayout three(
      {-1920, -200, 3840, 1080},
      {Whole({-1920, -200, 0, 880}), Whole({0, 0, 1920, 1080}), Whole({1920, 0, 3840, 1080})});
  const ScreenLayout one({0, 0, 1024, 768}, {Whole({0, 0, 1024, 768})});
  struct Case {
    const char* Name;
    const ScreenLayout& Layout;
    ScreenRect Window;
    std::optional<SurfaceLimit> Limit;
    ScreenRect Expected;
  } cases[] = {
      {"fits", right, right.World(), SurfaceLimit{4096, 4096}, right.World()},
      {"limit unknown", right, right.World(), SurfaceLimit{}, right.World()},
      {"exactly the limit", right, right.World(), SurfaceLimit{2304, 800}, right.World()},
      {"too wide, secondary right",
       right,
       right.World(),
       SurfaceLimit{2048, 2048},
       {0, 0, 1280, 800}},
      {"too wide, secondary left",
       left,
       left.World(),
       SurfaceLimit{2048, 2048},
       {1024, 0, 2304, 800}},
      {"too high, primary lower of three",
       three,
       three.World(),
       SurfaceLimit{8192, 1200},
       {1920, 200, 3840, 1280}},
      {"no device at all", left, left.World(), std::nullopt, {1024, 0, 2304, 800}},
      {"even the primary too large", one, one.World(), SurfaceLimit{512, 256}, {0, 0, 512, 256}},
      {"a window smaller than the screen",
       one,
       {0, 0, 400, 300},
       SurfaceLimit{256, 256},
       {0, 0, 256, 256}},
      {"no device and one monitor", one, one.World(), std::nullopt, one.World()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeviceDrawArea(c.Layout, c.Window, c.Limit), c.Expected) << c.Name;
  }
}

}  // namespace
