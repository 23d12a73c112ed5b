// The leak checks of the end-to-end tests rest on CountGuiObjects: it must see objects
// another process makes, where GetGuiResources answers and where it does not.
#include "harness/harness.h"

#include <gtest/gtest.h>

namespace {

harness::GuiObjects CountsOfAMaker(const std::vector<std::string>& arguments) {
  harness::SaverProcess maker(arguments, harness::WinePath(OBJECT_MAKER_PATH));
  EXPECT_NE(harness::WaitForWindow({.Title = "ready", .ProcessId = maker.Id()}), nullptr);
  return harness::CountGuiObjects(maker.Handle());
}

TEST(CountGuiObjects, SeesTheBrushesAndWindowsOfAnotherProcess) {
  const harness::GuiObjects plain = CountsOfAMaker({"0", "0", "0"});
  const harness::GuiObjects busy = CountsOfAMaker({"40", "3", "2"});
  ASSERT_TRUE(plain.Known && busy.Known) << plain.Source;
  EXPECT_GE(busy.Gdi, plain.Gdi + 40) << busy.Source;
  EXPECT_LE(busy.Gdi, plain.Gdi + 44) << busy.Source;  // a little start-up noise at most
  EXPECT_EQ(busy.User, plain.User + 5) << busy.Source;
}

TEST(CountGuiObjects, AnEndedProcessIsNotCounted) {
  harness::SaverProcess maker({"5", "1", "1"}, harness::WinePath(OBJECT_MAKER_PATH));
  ASSERT_NE(harness::WaitForWindow({.Title = "ready", .ProcessId = maker.Id()}), nullptr);
  maker.Kill();
  EXPECT_FALSE(harness::CountGuiObjects(maker.Handle()).Known);
}

}  // namespace
