// The real vesperine.scr under wine with settings only a hand edit of the registry can
// store, and with odd command lines: the stated error in a message box, or an orderly
// run and end; never a crash, a hang or memory running out.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "harness/harness.h"

namespace {

using harness::SaverProcess;
using Bytes = std::vector<uint8_t>;

constexpr DWORD StartTimeout = harness::ProgramStartTimeout;
constexpr DWORD QuickEnd = 8000;
// A black screen is given up on then: a first frame of huge bubbles by a software rasteriser
// on an emulated CPU took over 10 s.
constexpr DWORD FirstFrameTimeout = 30000;
// A 32-bit saver has 2 GiB of address space; a run that needs a quarter of it for a
// few bubbles has let a stored size through unbounded.
constexpr size_t PrivateBytesLimit = 512u * 1024 * 1024;

enum class Kind { Number, Text };

struct Setting {
  const char* Name;
  Kind Type;
};

const Setting AllSettings[] = {{"BackType", Kind::Number},   {"BackPic", Kind::Text},
                               {"BallPic", Kind::Text},      {"ShowShadow", Kind::Number},
                               {"BallsCount", Kind::Number}, {"SoundOpen", Kind::Number},
                               {"BallSize", Kind::Number},   {"Driver", Kind::Text}};

struct WrongValue {
  const char* Label;
  DWORD Type;
  Bytes Data;
  Kind WrongFor;  // the kind of setting this value is wrong for
};

Bytes Text(const std::string& text) {
  Bytes data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

std::vector<WrongValue> WrongValues() {
  return {{"String", REG_SZ, Text("12"), Kind::Number},
          {"MebibyteString", REG_SZ, Text(std::string(1 << 20, '7')), Kind::Number},
          {"Binary", REG_BINARY, {1, 0, 0, 0}, Kind::Number},
          {"MultiString", REG_MULTI_SZ, {'1', 0, '2', 0, 0}, Kind::Number},
          {"Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, Kind::Number},
          {"EmptyDword", REG_DWORD, {}, Kind::Number},
          {"TwoByteDword", REG_DWORD, {1, 0}, Kind::Number},
          {"Dword", REG_DWORD, {1, 0, 0, 0}, Kind::Text},
          {"Binary", REG_BINARY, {'a', 'b', 0}, Kind::Text},
          {"MultiString", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, Kind::Text},
          {"Qword", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, Kind::Text}};
}

struct WrongTypeCase {
  std::string Name;  // of the test
  const char* Setting;
  WrongValue Value;
};

void PrintTo(const WrongTypeCase& c, std::ostream* out) {
  *out << c.Name;
}

std::vector<WrongTypeCase> AllWrongTypeCases() {
  std::vector<WrongTypeCase> cases;
  for (const Setting& setting : AllSettings) {
    for (const WrongValue& value : WrongValues()) {
      if (value.WrongFor != setting.Type) continue;
      cases.push_back({std::string(setting.Name) + "As" + value.Label, setting.Name, value});
    }
  }
  return cases;
}

class HostileSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::Settings::Clear();
    harness::CentreCursor();
  }
  void TearDown() override { harness::Settings::Clear(); }

  // The saver shows text in its error box, makes no host window and ends once the box
  // is dismissed.
  static void ExpectErrorBox(const std::vector<std::string>& arguments, const std::string& text) {
    SaverProcess saver(arguments);
    ASSERT_TRUE(saver.Started());
    auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
    ASSERT_TRUE(box.has_value()) << "no error box; running: " << saver.Running() << ", exit code "
                                 << saver.ExitCode();
    // The harness reads a box's text through a bounded buffer: compare the start of a
    // very long one.
    if (text.size() < 1000) {
      EXPECT_EQ(box->Text, text);
    } else {
      EXPECT_EQ(box->Text.substr(0, 200), text.substr(0, 200));
    }
    EXPECT_TRUE(
        harness::FindWindows({.ClassName = HostWindowClass, .ProcessId = saver.Id()}).empty());
    harness::DismissMessageBox(box->Window);
    EXPECT_TRUE(saver.WaitForExit(QuickEnd)) << "still running after the error box";
    EXPECT_EQ(saver.ExitCode(), 1u) << "ended by a crash rather than the error report";
  }

  // The saver's full-screen window appears, the saver runs a while within its memory
  // bound and ends in order when its window is closed (by a key in the run, by WM_CLOSE
  // in the full-screen preview, which input does not close).
  // With expectedBox, the run first shows a message box holding that text, and goes on
  // once it is dismissed.
  static void ExpectOrderlyRun(const std::vector<std::string>& arguments, bool closeByKey,
                               const char* expectedBox = nullptr) {
    SaverProcess saver(arguments);
    ASSERT_TRUE(saver.Started());
    if (expectedBox) {
      auto box = harness::WaitForMessageBox(saver.Id(), StartTimeout);
      ASSERT_TRUE(box.has_value()) << "no message box";
      EXPECT_NE(box->Text.find(expectedBox), std::string::npos) << box->Text;
      harness::DismissMessageBox(box->Window);
    }
    HWND window = harness::WaitForWindow({.ClassName = HostWindowClass, .ProcessId = saver.Id()},
                                         StartTimeout);
    ASSERT_NE(window, nullptr) << "no host window; exit code " << saver.ExitCode();
    // The close is timed from a drawn frame: how long a first frame takes is the machine's
    // (a software rasteriser, an emulated CPU), not the close's. A close waits for the frame
    // in flight, so it is allowed that frame's time too.
    const DWORD drawing = GetTickCount();
    harness::WaitForScreenDrawn(FirstFrameTimeout);
    const DWORD frameMs = GetTickCount() - drawing;
    harness::PumpFor(1000);
    ASSERT_TRUE(saver.Running()) << "ended by itself, exit code " << saver.ExitCode();
    EXPECT_FALSE(harness::WaitForMessageBox(saver.Id(), 0).has_value()) << "an error box";
    const harness::MemoryUse memory = harness::ProcessMemory(saver.Handle());
    EXPECT_LT(memory.PrivateBytes, PrivateBytesLimit) << memory.PrivateBytes / (1 << 20) << " MiB";
    if (closeByKey) {
      harness::PostKey(window, VK_SPACE);
    } else {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(saver.WaitForExit(QuickEnd + frameMs))
        << "did not end: a hang (a frame took " << frameMs << " ms)";
    EXPECT_EQ(saver.ExitCode(), 0u);
  }
};

// ---- Wrong registry types ----

class WrongType : public HostileSaverTest, public ::testing::WithParamInterface<WrongTypeCase> {
 protected:
  void Store() const {
    harness::Settings::SetRaw(GetParam().Setting, GetParam().Value.Type, GetParam().Value.Data);
  }
  std::string Message() const {
    return std::string("Invalid data type for '") + GetParam().Setting + "'";
  }
};

TEST_P(WrongType, RunShowsTheInvalidTypeMessageAndEnds) {
  Store();
  ExpectErrorBox({"/s"}, Message());
}

INSTANTIATE_TEST_SUITE_P(EverySetting, WrongType, ::testing::ValuesIn(AllWrongTypeCases()),
                         [](const auto& param) { return param.param.Name; });

// The preview and the dialog read the same load; one case per kind of wrong value, each
// on another setting, keeps them quick and still covers every setting and every type.
std::vector<WrongTypeCase> SpreadCases() {
  std::vector<WrongTypeCase> spread;
  const std::vector<WrongTypeCase> all = AllWrongTypeCases();
  for (size_t i = 0; i < all.size(); i += 3) spread.push_back(all[i]);
  return spread;
}

class WrongTypeElsewhere : public WrongType {};

TEST_P(WrongTypeElsewhere, FullScreenPreviewShowsTheMessageAndEnds) {
  Store();
  ExpectErrorBox({"/p", "0"}, Message());
}

TEST_P(WrongTypeElsewhere, SettingsDialogShowsTheMessageAndEnds) {
  Store();
  ExpectErrorBox({"/c"}, Message());
}

INSTANTIATE_TEST_SUITE_P(Spread, WrongTypeElsewhere, ::testing::ValuesIn(SpreadCases()),
                         [](const auto& param) { return param.param.Name; });

// A string setting of 1 MiB has the right type: the saver runs with it.
TEST_F(HostileSaverTest, MebibyteStringsForEveryTextSettingStillRun) {
  const std::string long_text(1 << 20, 'D');
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", long_text);
  harness::Settings::SetString("BallPic", long_text);
  harness::Settings::SetString("Driver", long_text);
  ExpectOrderlyRun({"/s"}, true);
}

// ---- Values out of every range ----

struct StoredValues {
  const char* Name;
  void (*Store)();
  // The GDI+ scene reports a background file it cannot load in a box, then runs on.
  const char* GdiplusBox = nullptr;
};

void PrintTo(const StoredValues& v, std::ostream* out) {
  *out << v.Name;
}

class OutOfRange : public HostileSaverTest, public ::testing::WithParamInterface<StoredValues> {};

TEST_P(OutOfRange, DirectDrawRunStartsRunsAndCloses) {
  GetParam().Store();
  ExpectOrderlyRun({"/s"}, true);
}

TEST_P(OutOfRange, GdiplusRunStartsRunsAndCloses) {
  GetParam().Store();
  harness::Settings::SetString("Driver", "GDI+");
  ExpectOrderlyRun({"/s"}, true, GetParam().GdiplusBox);
}

// The preview has no background file of its own beyond the run's: its cases are the
// counts and sizes, which it uses its own way (a forced count, a preview scale).
class OutOfRangePreview : public OutOfRange {};

TEST_P(OutOfRangePreview, FullScreenPreviewStartsRunsAndCloses) {
  GetParam().Store();
  ExpectOrderlyRun({"/p", "0"}, false);
}

void Count(DWORD count) {
  harness::Settings::SetDword("BallsCount", count);
}
void Size(DWORD size) {
  harness::Settings::SetDword("BallSize", size);
}
void Background(const char* path) {
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", path);
}

INSTANTIATE_TEST_SUITE_P(
    HandEdits, OutOfRange,
    ::testing::Values(
        StoredValues{"CountMinus5", [] { Count(DWORD(-5)); }},
        StoredValues{"Count150", [] { Count(150); }},
        StoredValues{"CountMaximum", [] { Count(2147483647); }},
        StoredValues{"Size0", [] { Size(0); }},
        StoredValues{"SizeMinus10", [] { Size(DWORD(-10)); }},
        StoredValues{"Size1000", [] { Size(1000); }},
        StoredValues{"SizeMaximum", [] { Size(2147483647); }},
        StoredValues{"BackType0", [] { harness::Settings::SetDword("BackType", 0); }},
        StoredValues{"BackType7", [] { harness::Settings::SetDword("BackType", 7); }},
        StoredValues{"BackPicFolder",
                     [] {
                       CreateDirectoryA("C:\\vesperine-folder.jpg", nullptr);
                       Background("C:\\vesperine-folder.jpg");
                     },
                     "it is a folder"},
        StoredValues{"BackPicMissing", [] { Background("C:\\no\\such.jpg"); },
                     "Cannot read the picture file"},
        StoredValues{"BackPicCon", [] { Background("CON"); }, "Unknown picture file extension (.)"},
        StoredValues{"BackPicNulJpg", [] { Background("C:\\NUL.jpg"); }, "it names a device"}),
    [](const auto& param) { return std::string(param.param.Name); });

const StoredValues CountsAndSizes[] = {
    {"CountMinus5", [] { Count(DWORD(-5)); }},   {"Count150", [] { Count(150); }},
    {"CountMaximum", [] { Count(2147483647); }}, {"Size0", [] { Size(0); }},
    {"SizeMinus10", [] { Size(DWORD(-10)); }},   {"Size1000", [] { Size(1000); }},
    {"SizeMaximum", [] { Size(2147483647); }}};

INSTANTIATE_TEST_SUITE_P(HandEdits, OutOfRangePreview, ::testing::ValuesIn(CountsAndSizes),
                         [](const auto& param) { return std::string(param.param.Name); });

// ---- Odd command lines ----

struct ConversionCase {
  const char* Name;
  std::string Handle;
};

class PreviewHandleText : public HostileSaverTest,
                          public ::testing::WithParamInterface<ConversionCase> {};

TEST_P(PreviewHandleText, IsTheConversionError) {
  ExpectErrorBox({"/p", GetParam().Handle},
                 "'" + GetParam().Handle + "' is not a valid integer value");
}

INSTANTIATE_TEST_SUITE_P(
    NotDecimal, PreviewHandleText,
    ::testing::Values(ConversionCase{"Huge", "99999999999"},
                      ConversionCase{"BeyondInt32", "2147483648"},
                      ConversionCase{"Hexadecimal", "0x1A2B"}, ConversionCase{"Letters", "handle"},
                      ConversionCase{"NonAscii", "\xE9\xE8\xFC"},
                      ConversionCase{"TenThousandDigitsAndALetter", std::string(10000, '9') + "x"}),
    [](const auto& param) { return std::string(param.param.Name); });

// The full handle of a window made and destroyed here: what a preview closed before the
// saver started leaves. Small numbers will not do: Windows and wine both take a handle whose
// high word is 0 as naming whatever window holds that slot, and one often does.
std::string ClosedWindowHandle() {
  HWND window =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(window);
  return std::to_string(reinterpret_cast<uintptr_t>(window));
}

struct NoSuchWindowCase {
  const char* Name;
  std::string (*Handle)();
};

class PreviewOfNoSuchWindow : public HostileSaverTest,
                              public ::testing::WithParamInterface<NoSuchWindowCase> {};

// IsWindow rejects these handles: the window does not exist, so there is nothing to show
// a preview in, and the saver must not linger as a message-only or invisible window.
TEST_P(PreviewOfNoSuchWindow, EndsAtOnceWithoutAWindow) {
  const std::string handle = GetParam().Handle();
  const auto asWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoll(handle)));
  ASSERT_FALSE(IsWindow(asWindow)) << handle << " names a window here";
  SaverProcess saver({"/p", handle});
  ASSERT_TRUE(saver.Started());
  EXPECT_TRUE(saver.WaitForExit(QuickEnd)) << "still running: a hang";
  EXPECT_EQ(saver.ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Handles, PreviewOfNoSuchWindow,
    ::testing::Values(NoSuchWindowCase{"Closed", ClosedWindowHandle},
                      NoSuchWindowCase{"ClosedWithPlusSign",
                                       [] { return "+" + ClosedWindowHandle(); }},
                      NoSuchWindowCase{"BeyondEverySlot", [] { return std::string("123456789"); }},
                      NoSuchWindowCase{"Negative", [] { return std::string("-5"); }},
                      NoSuchWindowCase{"Int32Minimum", [] { return std::string("-2147483648"); }}),
    [](const auto& param) { return std::string(param.param.Name); });

TEST_F(HostileSaverTest, VeryLongAndNonAsciiSwitchesRunFullScreen) {
  ExpectOrderlyRun({"/s" + std::string(30000, 'x')}, true);
  ExpectOrderlyRun({"\xA7\xE9t\xE9"}, true);
  ExpectOrderlyRun({"/s", std::string(30000, '7'), "\xFC"}, true);
}

}  // namespace
