// The password road of Windows 95/98/Me, in wine's Windows 98 mode, with stand-ins for
// PASSWORD.CPL and MPR.DLL in the system folder. Only scripts/test's Windows 98 stage runs
// it, in a prefix copy of its own: the stand-ins replace the copy's mpr.dll.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "host_test_support.h"

namespace {

using harness::SaverProcess;
using host_test::FirstFrameTimeout;
using host_test::SaverTest;

constexpr DWORD Ceiling = 15000;
constexpr char AppKey[] = "Software\\Wine\\AppDefaults\\vesperine.scr";
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char UsePassword[] = "ScreenSaveUsePassword";

enum class Library { Plain, Decorated, Missing };

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

// One library into the system folder: the stand-in with its plain or its decorated export
// names, or none.
void PlaceLibrary(const char* name, Library library) {
  const std::string target = SystemFile(name);
  if (library == Library::Missing) {
    DeleteFileA(target.c_str());
    return;
  }
  const std::string folder =
      library == Library::Plain ? STANDINS_PLAIN_DIR : STANDINS_DECORATED_DIR;
  ASSERT_TRUE(CopyFileA(harness::WinePath(folder + "/" + name).c_str(), target.c_str(), FALSE))
      << "cannot place " << target;
}

void SetValue(HKEY root, const char* path, const char* name, DWORD type,
              const std::vector<uint8_t>& data) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(root, path, &key), ERROR_SUCCESS) << path;
  RegSetValueExA(key, name, 0, type, data.data(), DWORD(data.size()));
  RegCloseKey(key);
}

void DeleteValue(HKEY root, const char* path, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyA(root, path, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}

std::vector<uint8_t> Text(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end() + 1);
}

std::vector<uint8_t> Dword(DWORD value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  return std::vector<uint8_t>(bytes, bytes + sizeof value);
}

struct StoredValue {
  DWORD Type;
  std::vector<uint8_t> Data;
};

class PasswordRoadTest : public SaverTest {
 protected:
  static void SetUpTestSuite() {
    // The copy's own mpr.dll goes back when the suite ends.
    CopyFileA(SystemFile("mpr.dll").c_str(), SystemFile("mpr.dll.original").c_str(), TRUE);
    // Wine loads its built-in mpr for a file of that name in the system folder; the saver
    // alone is given the native one.
    SetValue(HKEY_CURRENT_USER, (std::string(AppKey) + "\\DllOverrides").c_str(), "mpr", REG_SZ,
             Text("native"));
  }
  static void TearDownTestSuite() {
    CopyFileA(SystemFile("mpr.dll.original").c_str(), SystemFile("mpr.dll").c_str(), FALSE);
    DeleteFileA(SystemFile("mpr.dll.original").c_str());
    DeleteFileA(SystemFile("password.cpl").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(AppKey) + "\\DllOverrides").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, AppKey);
    DeleteValue(HKEY_CURRENT_USER, DesktopKey, UsePassword);
  }

  void SetUp() override {
    if (!std::getenv("VESPERINE_WIN98_STAGE"))
      GTEST_SKIP() << "the stand-ins replace the prefix's mpr.dll: scripts/test's Windows 98 "
                      "stage runs this in a copy of its own";
    SaverTest::SetUp();
    StartNewLog();
    SetEnvironmentVariableA("VESPERINE_STANDIN_SCRIPT", "");
  }

  // A file never written before, rather than the old one deleted: a program of the last run
  // that still held the old one open (the mpr.dll stand-in logs every program that loads it)
  // left its deletion pending, and the next run's first lines went into the doomed file.
  void StartNewLog() {
    static int logs = 0;
    LogPath = harness::OutputFolder() + "\\standin-log-" + std::to_string(GetCurrentProcessId()) +
              "-" + std::to_string(++logs) + ".txt";
    DeleteFileA(LogPath.c_str());
    SetEnvironmentVariableA("VESPERINE_STANDIN_LOG", LogPath.c_str());
  }

  // Every row places both stand-ins the same way; only what a row is about differs.
  void Prepare(bool windows98, std::optional<StoredValue> usePassword, Library cpl = Library::Plain,
               Library mpr = Library::Plain) {
    if (windows98) {
      SetValue(HKEY_CURRENT_USER, AppKey, "Version", REG_SZ, Text("win98"));
    } else {
      DeleteValue(HKEY_CURRENT_USER, AppKey, "Version");
    }
    if (usePassword) {
      SetValue(HKEY_CURRENT_USER, DesktopKey, UsePassword, usePassword->Type, usePassword->Data);
    } else {
      DeleteValue(HKEY_CURRENT_USER, DesktopKey, UsePassword);
    }
    PlaceLibrary("password.cpl", cpl);
    PlaceLibrary("mpr.dll", mpr);
  }

  static void Script(const char* steps) {
    SetEnvironmentVariableA("VESPERINE_STANDIN_SCRIPT", steps);
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::ifstream file(LogPath);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
  }
  std::vector<std::string> LinesStarting(const std::string& start) const {
    std::vector<std::string> found;
    for (const std::string& line : Log())
      if (line.rfind(start, 0) == 0) found.push_back(line);
    return found;
  }
  bool Loaded(const char* library) const {
    return !LinesStarting(std::string("loaded ") + library + " by vesperine.scr").empty();
  }
  bool WaitForPrompts(size_t count) const {
    return harness::WaitUntil([&] { return LinesStarting("verify").size() >= count; }, Ceiling);
  }

  // A run whose scene has drawn, so that what it does under the prompt is seen.
  HWND StartDrawnRun(SaverProcess& saver) {
    HWND host = StartRun(saver);
    EXPECT_TRUE(harness::WaitForScreenDrawn(FirstFrameTimeout)) << "no first frame";
    return host;
  }

  std::string LogPath;
};

// What every prompt of a run must have seen: the prompt above all our windows, none of them
// topmost, no tick of the scene, the system told that a saver runs.
void ExpectQuietPrompt(const std::string& line) {
  for (const char* seen : {"shown=1", "topmost=0", "above=1", "ticks=0", "running=1"})
    EXPECT_NE(line.find(seen), std::string::npos) << seen << " in: " << line;
}

// The windows of the process that should be topmost again once a prompt is gone.
void ExpectBackInTheBand(DWORD processId) {
  for (HWND window : harness::FindWindows({.ProcessId = processId, .VisibleOnly = true}))
    EXPECT_TRUE(harness::Describe(window).Topmost) << harness::Describe(window).ClassName;
}

template <class Info>
std::string RowName(const Info& row) {
  return row.param.Name;
}

struct DriverRow {
  const char* Name;
  const char* Driver;
};

class PromptByDriver : public PasswordRoadTest, public ::testing::WithParamInterface<DriverRow> {};

// A key, a movement and Alt+F4 all ask; a rejection keeps the run going from where the cursor
// was when the prompt closed, a close that comes while the prompt is up is the prompt's, and
// an acceptance ends the run.
TEST_P(PromptByDriver, RejectedKeepsTheRunAcceptedEndsIt) {
  harness::Settings::SetString("Driver", GetParam().Driver);
  Prepare(true, StoredValue{REG_DWORD, Dword(1)});
  Script("reject+move,reject+close,accept");
  SaverProcess saver({"/s"});
  HWND host = StartDrawnRun(saver);
  ASSERT_NE(host, nullptr);

  harness::PostKey(host, VK_SPACE);
  ASSERT_TRUE(WaitForPrompts(1)) << "a key brought no prompt";
  harness::PumpFor(1500);  // ticks of the mouse rule after the cursor moved under the prompt
  ASSERT_TRUE(saver.Running()) << "a rejected password ended the run";
  EXPECT_EQ(LinesStarting("verify").size(), 1u) << "the cursor moved under the prompt asked again";
  ExpectBackInTheBand(saver.Id());

  const POINT cursor = harness::CursorPosition();
  harness::MoveCursor(cursor.x + 40, cursor.y);
  ASSERT_TRUE(WaitForPrompts(2)) << "a movement brought no prompt";
  harness::PumpFor(1500);
  ASSERT_TRUE(saver.Running()) << "the close under the prompt ended the run";
  EXPECT_EQ(LinesStarting("verify").size(), 2u);

  harness::PostSysKey(host, VK_F4);
  EXPECT_TRUE(saver.WaitForExit(Ceiling)) << "an accepted password did not end the run";
  EXPECT_EQ(saver.ExitCode(), 0u);
  const std::vector<std::string> prompts = LinesStarting("verify");
  ASSERT_EQ(prompts.size(), 3u);
  for (const std::string& line : prompts) ExpectQuietPrompt(line);
}

INSTANTIATE_TEST_SUITE_P(Drivers, PromptByDriver,
                         ::testing::Values(DriverRow{"Direct3D", "DirectDraw"},
                                           DriverRow{"GdiPlus", "GDI+"}),
                         RowName<::testing::TestParamInfo<DriverRow>>);

// A log-off ends the run without a prompt (the user is leaving), also while one is up.
TEST_F(PasswordRoadTest, LogOffEndsTheRunWithoutAPrompt) {
  Prepare(true, StoredValue{REG_DWORD, Dword(1)});
  for (const bool duringPrompt : {false, true}) {
    SCOPED_TRACE(duringPrompt ? "during a prompt" : "no prompt up");
    StartNewLog();
    Script("reject+logoff");
    SaverProcess saver({"/s"});
    // A log-off comes to a run that is drawing; before that, on an emulated CPU, the run's
    // thread may still be making its device when the end of the session asks it.
    HWND host = StartDrawnRun(saver);
    ASSERT_NE(host, nullptr);
    if (duringPrompt) {
      harness::PostKey(host, VK_SPACE);
    } else {
      EXPECT_TRUE(harness::EndSession(saver.Id()));
    }
    EXPECT_TRUE(saver.WaitForExit(Ceiling)) << "the run outlived the log-off";
    EXPECT_EQ(saver.ExitCode(), 0u);
    EXPECT_TRUE(Loaded("password.cpl"));
    EXPECT_EQ(LinesStarting("verify").size(), duringPrompt ? 1u : 0u);
  }
}

struct NoVerifierRow {
  const char* Name;
  bool Windows98;
  std::optional<StoredValue> UsePassword;
  Library Cpl;
  bool CplLoads;  // the placement is seen to load, so no row passes because nothing looked
};

class NoVerifier : public PasswordRoadTest, public ::testing::WithParamInterface<NoVerifierRow> {};

// Without a verifier a close is never refused: the first key ends the run.
TEST_P(NoVerifier, TheFirstKeyEndsTheRun) {
  const NoVerifierRow& row = GetParam();
  Prepare(row.Windows98, row.UsePassword, row.Cpl);
  Script("reject");
  SaverProcess saver({"/s"});
  HWND host = StartRun(saver);
  ASSERT_NE(host, nullptr);
  harness::PostKey(host, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(Ceiling)) << "the close was refused";
  EXPECT_EQ(saver.ExitCode(), 0u);
  EXPECT_TRUE(LinesStarting("verify").empty());
  EXPECT_EQ(Loaded("password.cpl"), row.CplLoads);
}

const std::vector<uint8_t> EightBytes = {1, 0, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Rows, NoVerifier,
    ::testing::Values(
        NoVerifierRow{"UsePasswordZero", true, StoredValue{REG_DWORD, Dword(0)}, Library::Plain,
                      false},
        NoVerifierRow{"UsePasswordMissing", true, std::nullopt, Library::Plain, false},
        NoVerifierRow{"UsePasswordLongerThanFourBytes", true, StoredValue{REG_BINARY, EightBytes},
                      Library::Plain, false},
        NoVerifierRow{"PasswordCplMissing", true, StoredValue{REG_DWORD, Dword(1)},
                      Library::Missing, false},
        NoVerifierRow{"PasswordCplWithoutItsExport", true, StoredValue{REG_DWORD, Dword(1)},
                      Library::Decorated, true},
        NoVerifierRow{"NtFamily", false, StoredValue{REG_DWORD, Dword(1)}, Library::Plain, false}),
    RowName<::testing::TestParamInfo<NoVerifierRow>>);

// The 95/98/Me family stores the value as four binary bytes; they count as the number.
TEST_F(PasswordRoadTest, FourBinaryBytesAskForThePassword) {
  Prepare(true, StoredValue{REG_BINARY, {1, 0, 0, 0}});
  Script("accept");
  SaverProcess saver({"/s"});
  HWND host = StartRun(saver);
  ASSERT_NE(host, nullptr);
  harness::PostKey(host, VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(Ceiling));
  EXPECT_EQ(LinesStarting("verify").size(), 1u);
}

struct ChangeRow {
  const char* Name;
  bool Windows98;
  Library Mpr;
  bool MprLoads;
  const char* Change;  // the line the stand-in records, or none
};

class ChangePassword : public PasswordRoadTest, public ::testing::WithParamInterface<ChangeRow> {};

// /a hands the change to MPR.DLL and ends with no window of its own.
TEST_P(ChangePassword, HandsTheChangeToMpr) {
  const ChangeRow& row = GetParam();
  Prepare(row.Windows98, StoredValue{REG_DWORD, Dword(1)}, Library::Plain, row.Mpr);
  SaverProcess saver({"/a", "1234"});
  EXPECT_TRUE(saver.WaitForExit(Ceiling));
  EXPECT_EQ(saver.ExitCode(), 0u);
  EXPECT_TRUE(harness::FindWindows({.ClassName = HostWindowClass}).empty());
  EXPECT_EQ(Loaded("mpr.dll"), row.MprLoads);
  EXPECT_FALSE(Loaded("password.cpl")) << "the change mode has no verifier";
  const std::vector<std::string> changes = LinesStarting("change");
  if (row.Change) {
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], row.Change);
  } else {
    EXPECT_TRUE(changes.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChangePassword,
    ::testing::Values(ChangeRow{"Windows98", true, Library::Plain, true,
                                "change provider=SCRSAVE window=1234 reserved=0,0"},
                      ChangeRow{"MprWithoutItsExport", true, Library::Decorated, true, nullptr},
                      ChangeRow{"NtFamily", false, Library::Plain, false, nullptr}),
    RowName<::testing::TestParamInfo<ChangeRow>>);

}  // namespace
