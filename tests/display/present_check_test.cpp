#include "display/present_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A window whose pixels a function gives, once the Blt has presented (or not).
class FakeWindow : public PresentProbe {
 public:
  FakeWindow(bool bltSucceeds, std::function<std::optional<uint32_t>(int32_t, int32_t)> shows)
      : BltSucceeds(bltSucceeds), Shows(std::move(shows)) {}
  bool PresentPatternByBlt() override {
    Presented = true;
    return BltSucceeds;
  }
  std::optional<uint32_t> ReadWindowPixel(int32_t x, int32_t y) override {
    EXPECT_TRUE(Presented) << "read back before the pattern was presented";
    return Shows(x, y);
  }

 private:
  bool BltSucceeds;
  std::function<std::optional<uint32_t>(int32_t, int32_t)> Shows;
  bool Presented = false;
};

std::optional<uint32_t> Pattern(int32_t x, int32_t y) {
  return PresentPatternColor(x, y);
}

// What a 5-6-5 surface keeps of a colour, expanded back to 8 bits a channel.
std::optional<uint32_t> PatternIn565(int32_t x, int32_t y) {
  const uint32_t c = PresentPatternColor(x, y);
  auto keep = [](uint32_t channel, int bits) { return (channel >> (8 - bits)) << (8 - bits); };
  return keep((c >> 16) & 0xFF, 5) << 16 | keep((c >> 8) & 0xFF, 6) << 8 | keep(c & 0xFF, 5);
}

const ScreenRect LeftMonitor{0, 0, 640, 480};
const ScreenRect RightMonitor{640, 0, 1280, 480};

struct ChoiceCase {
  const char* Name;
  bool BltSucceeds;
  std::function<std::optional<uint32_t>(int32_t, int32_t)> Shows;
  PresentPath Left;
  PresentPath Right;
};

TEST(PresentPathChoice, KeepsTheBltExactlyWhereThePatternArrived) {
  const ChoiceCase cases[] = {
      {"arrives everywhere", true, Pattern, PresentPath::ClippedBlt, PresentPath::ClippedBlt},
      {"rounded by a 16-bit surface", true, PatternIn565, PresentPath::ClippedBlt,
       PresentPath::ClippedBlt},
      {"never arrives", true, [](int32_t, int32_t) { return std::optional<uint32_t>(0); },
       PresentPath::GdiCopy, PresentPath::GdiCopy},
      {"arrives on the left monitor only", true,
       [](int32_t x, int32_t y) {
         return x < 640 ? Pattern(x, y) : std::optional<uint32_t>(0x202020);
       },
       PresentPath::ClippedBlt, PresentPath::GdiCopy},
      {"the window cannot be read", true,
       [](int32_t, int32_t) { return std::optional<uint32_t>(); }, PresentPath::GdiCopy,
       PresentPath::GdiCopy},
      {"the Blt failed", false, Pattern, PresentPath::GdiCopy, PresentPath::GdiCopy},
      {"the checker's colours swapped", true,
       [](int32_t x, int32_t y) { return Pattern(x + 16, y); }, PresentPath::GdiCopy,
       PresentPath::GdiCopy},
  };
  for (const ChoiceCase& c : cases) {
    FakeWindow window(c.BltSucceeds, c.Shows);
    const auto chosen = ChoosePresentPaths(window, {LeftMonitor, RightMonitor});
    ASSERT_EQ(chosen.size(), 2u) << c.Name;
    EXPECT_EQ(chosen[0], (PresentArea{LeftMonitor, c.Left})) << c.Name;
    EXPECT_EQ(chosen[1], (PresentArea{RightMonitor, c.Right})) << c.Name;
  }
}

TEST(PresentPathChoice, AreasAreTheMonitorsPartsOfTheWindowInClientCoordinates) {
  struct AreaCase {
    const char* Name;
    ScreenRect Window;
    std::vector<ScreenRect> Monitors;
    std::vector<ScreenRect> Areas;
  };
  const AreaCase cases[] = {
      {"one monitor", {0, 0, 1024, 768}, {{0, 0, 1024, 768}}, {{0, 0, 1024, 768}}},
      {"secondary left of the primary",
       {-1280, 0, 1024, 1024},
       {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}},
       {{1280, 0, 2304, 768}, {0, 0, 1280, 1024}}},
      {"a monitor the window does not reach",
       {0, 0, 800, 600},
       {{800, 0, 1600, 600}},
       {{0, 0, 800, 600}}},
      {"no monitor known", {10, 20, 110, 120}, {}, {{0, 0, 100, 100}}},
      {"no client area", {5, 5, 5, 5}, {{0, 0, 100, 100}}, {}},
  };
  for (const AreaCase& c : cases) {
    EXPECT_EQ(PresentAreasOf(c.Window, c.Monitors), c.Areas) << c.Name;
  }
}

TEST(PresentPathChoice, TheTraceNamesThePathTaken) {
  const ScreenRect a{0, 0, 640, 480};
  const ScreenRect b{640, 0, 1280, 480};
  EXPECT_EQ(DescribePresentPaths({{a, PresentPath::GdiCopy}, {b, PresentPath::GdiCopy}}),
            "frames presented by the GDI copy");
  EXPECT_EQ(DescribePresentPaths({{a, PresentPath::ClippedBlt}}),
            "frames presented by the clipped Blt");
  EXPECT_EQ(DescribePresentPaths({{a, PresentPath::ClippedBlt}, {b, PresentPath::GdiCopy}}),
            "frames presented per monitor: (0,0 640x480) by the clipped Blt; (640,0 640x480) by "
            "the GDI copy");
}

}  // namespace
