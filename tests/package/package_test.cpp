// The release under wine: scripts/test's package stage makes it with scripts/package (and a
// second MSI of a higher version, and a signed copy) and names the folders in
// VESPERINE_PACKAGE_DIST, VESPERINE_PACKAGE_UPGRADE and VESPERINE_PACKAGE_SIGNED. The rows
// run in order: install, the installed saver's three modes, upgrade, downgrade refused,
// removal.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "harness/harness.h"
#include "settings/dialog/dialog_core.h"
#include "vesperine_version.h"

namespace {

using harness::SaverProcess;

constexpr DWORD InstallerTimeout = 120000;
constexpr DWORD FirstFrame = 30000;
constexpr char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string Folder(const char* variable) {
  const char* value = std::getenv(variable);
  return value ? harness::WinePath(value) : std::string();
}

std::string SystemFile(const char* name) {
  char folder[MAX_PATH] = {};
  GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\" + name;
}

std::vector<char> Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Installer {
  DWORD ExitCode;
  long long Milliseconds;
};

// msiexec with the arguments, waited for; its exit code and how long it took.
Installer RunMsiexec(const std::vector<std::string>& arguments) {
  const auto started = std::chrono::steady_clock::now();
  SaverProcess msiexec(arguments, SystemFile("msiexec.exe"));
  EXPECT_TRUE(msiexec.WaitForExit(InstallerTimeout)) << "msiexec did not finish";
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  return {msiexec.ExitCode(), took.count()};
}

struct Entry {
  std::string Name, Version, Publisher;
};

std::string ReadText(HKEY key, const char* name) {
  char text[512] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
      ERROR_SUCCESS)
    return {};
  return text;
}

// The Programs and Features entries named Vesperine.
std::vector<Entry> UninstallEntries() {
  std::vector<Entry> entries;
  HKEY root = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &root) != ERROR_SUCCESS)
    return entries;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(root, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, name, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    Entry entry{ReadText(key, "DisplayName"), ReadText(key, "DisplayVersion"),
                ReadText(key, "Publisher")};
    RegCloseKey(key);
    if (entry.Name == "Vesperine") entries.push_back(entry);
  }
  RegCloseKey(root);
  return entries;
}

std::string Msi(const std::string& folder, const std::string& version) {
  return folder + "\\Vesperine-" + version + ".msi";
}

// The release's version, and the one the stage gave the upgrade's MSI.
const std::string Version = VESPERINE_VERSION_TEXT;
const std::string NextVersion =
    std::to_string(VESPERINE_VERSION_MAJOR) + "." + std::to_string(VESPERINE_VERSION_MINOR + 1);

class Release : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Folder("VESPERINE_PACKAGE_DIST").empty())
      GTEST_SKIP() << "the package stage of scripts/test gives the release to test";
  }
  static std::string Dist() { return Folder("VESPERINE_PACKAGE_DIST"); }
  static std::string Installed() { return SystemFile("Vesperine.scr"); }
};

// Runs the program /s until it has drawn, then ends it with a key.
void ExpectItRunsAndDraws(const std::string& program) {
  SaverProcess saver({"/s"}, program);
  HWND host = harness::WaitForWindow(
      {.ClassName = HostWindowClass, .ProcessId = saver.Id(), .VisibleOnly = true},
      FirstFrame);
  ASSERT_NE(host, nullptr) << program << " showed no run";
  EXPECT_TRUE(harness::WaitForScreenDrawn(FirstFrame)) << program << " drew nothing";
  EXPECT_GT(harness::CountColours(harness::CaptureScreen()), 1000u) << "no scene on the screen";
  harness::SendKeyInput(VK_SPACE);
  EXPECT_TRUE(saver.WaitForExit(10000)) << "a key did not end " << program;
}

TEST_F(Release, InstallsIntoTheSystemFolderAndRuns) {
  harness::Settings::Clear();
  harness::Settings::SetDword("BallsCount", 12);  // the user's, which no removal may take
  const Installer install = RunMsiexec({"/i", Msi(Dist(), Version), "/qn"});
  std::printf("install took %lld ms\n", install.Milliseconds);
  ASSERT_EQ(install.ExitCode, 0u);
  const std::vector<char> installed = Bytes(Installed());
  ASSERT_FALSE(installed.empty()) << "nothing at " << Installed();
  EXPECT_TRUE(installed == Bytes(Dist() + "\\Vesperine.scr")) << "not the release's bytes";
  const std::string debug = ".debug_";
  EXPECT_EQ(std::search(installed.begin(), installed.end(), debug.begin(), debug.end()),
            installed.end())
      << "debug sections in the installed file";
  const std::vector<Entry> entries = UninstallEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Version, Version + ".0");
  EXPECT_EQ(entries[0].Publisher, "The Vesperine authors");

  ExpectItRunsAndDraws(Installed());
  {
    SaverProcess preview({"/p", "0"}, Installed());
    EXPECT_TRUE(harness::WaitForScreenDrawn(FirstFrame)) << "the preview drew nothing";
    preview.Kill();
  }
  SaverProcess settings({"/c"}, Installed());
  HWND dialog = harness::WaitForWindow(
      {.Title = DialogCaption, .ProcessId = settings.Id(), .VisibleOnly = true}, FirstFrame);
  ASSERT_NE(dialog, nullptr) << "the installed saver's /c opened no dialog";
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(settings.WaitForExit(10000));
}

TEST_F(Release, TheSignedSaverRuns) {
  const std::string signedFolder = Folder("VESPERINE_PACKAGE_SIGNED");
  ASSERT_FALSE(signedFolder.empty());
  ExpectItRunsAndDraws(signedFolder + "\\Vesperine.scr");
}

// A newer version replaces the running one: replaced now, or at the next restart (3010),
// never a failure; one entry either way.
TEST_F(Release, ANewerVersionReplacesTheOldOneEvenWhileItRuns) {
  SaverProcess running({"/s"}, Installed());
  ASSERT_NE(
      harness::WaitForWindow(
          {.ClassName = HostWindowClass, .ProcessId = running.Id(), .VisibleOnly = true},
          FirstFrame),
      nullptr);
  const Installer upgrade =
      RunMsiexec({"/i", Msi(Folder("VESPERINE_PACKAGE_UPGRADE"), NextVersion), "/qn"});
  std::printf("upgrade (saver running) took %lld ms, exit code %lu\n", upgrade.Milliseconds,
              upgrade.ExitCode);
  EXPECT_TRUE(upgrade.ExitCode == 0u || upgrade.ExitCode == ERROR_SUCCESS_REBOOT_REQUIRED)
      << upgrade.ExitCode;
  running.Kill();
  const std::vector<Entry> entries = UninstallEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Version, NextVersion + ".0");
  EXPECT_TRUE(Exists(Installed()));
}

TEST_F(Release, AnOlderVersionIsRefusedAndChangesNothing) {
  const std::vector<char> before = Bytes(Installed());
  const Installer downgrade = RunMsiexec({"/i", Msi(Dist(), Version), "/qn"});
  std::printf("downgrade refused with exit code %lu\n", downgrade.ExitCode);
  EXPECT_NE(downgrade.ExitCode, 0u) << "the older MSI installed over the newer";
  const std::vector<Entry> entries = UninstallEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Version, NextVersion + ".0");
  EXPECT_TRUE(Bytes(Installed()) == before);
}

TEST_F(Release, RemovalTakesTheFileAndTheEntryAndLeavesTheSettings) {
  const Installer removal =
      RunMsiexec({"/x", Msi(Folder("VESPERINE_PACKAGE_UPGRADE"), NextVersion), "/qn"});
  std::printf("removal took %lld ms\n", removal.Milliseconds);
  EXPECT_EQ(removal.ExitCode, 0u);
  EXPECT_FALSE(Exists(Installed()));
  EXPECT_TRUE(UninstallEntries().empty());
  EXPECT_EQ(harness::Settings::ReadDword("BallsCount"), std::optional<DWORD>(12));
  harness::Settings::Clear();
}

}  // namespace
