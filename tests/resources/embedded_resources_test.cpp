// A program linking vesperine_resources carries the pictures, the icon, the version block
// and the manifest in its own module, as the screen saver finds them at run time.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "framework/win/built_in_picture.h"
#include "framework/win/procedure.h"
#include "vesperine_version.h"

namespace {

// Wine maps the Unix root to drive Z:; a bare /path would be taken on the current drive.
std::string SourceFile(const std::string& name) {
  std::string root = VESPERINE_SOURCE_DIR;
  if (!root.empty() && root[0] == '/') root = "Z:" + root;
  return root + "/resources/" + name;
}

std::vector<uint8_t> FileBytes(const std::string& name) {
  std::ifstream in(SourceFile(name), std::ios::binary);
  EXPECT_TRUE(in.good()) << SourceFile(name);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> ResourceBytes(LPCSTR name, LPCSTR type) {
  const std::span<const uint8_t> bytes = BuiltInPicture(name, type);
  return {bytes.begin(), bytes.end()};
}

std::string VersionString(const std::vector<char>& block, const char* key) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
    return "";
  return std::string(value, length > 0 ? length - 1 : 0);
}

}  // namespace

TEST(EmbeddedResources, HoldEachPictureUnderItsNameAndTypeByteForByte) {
  struct Entry {
    const char* Name;
    const char* Type;
    const char* File;
  };
  for (const Entry& e : {Entry{"BALL", "PNG", "BALL.png"}, Entry{"BALL1", "PNG", "BALL1.png"},
                         Entry{"BALL2", "PNG", "BALL2.png"}, Entry{"MASK1", "PNG", "MASK1.png"},
                         Entry{"BACK", "JPG", "BACK.jpg"}}) {
    HRSRC found = FindResourceA(nullptr, e.Name, e.Type);
    ASSERT_NE(found, nullptr) << e.Name;
    std::vector<uint8_t> file = FileBytes(e.File);
    EXPECT_EQ(SizeofResource(nullptr, found), file.size()) << e.Name;
    EXPECT_TRUE(ResourceBytes(e.Name, e.Type) == file) << e.Name;
  }
  // Names are looked up as given; a wrong type finds nothing.
  EXPECT_EQ(FindResourceA(nullptr, "BACK", "PNG"), nullptr);
}

TEST(EmbeddedResources, ProvideTheProgramIconAsResource100AtEachSize) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(100)), nullptr);
  for (int side : {16, 32, 48}) {
    auto icon =
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(100), IMAGE_ICON, side, side, 0));
    ASSERT_NE(icon, nullptr) << side;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)) << side;
    BITMAP colour{};
    ASSERT_NE(GetObjectA(info.hbmColor, sizeof colour, &colour), 0) << side;
    EXPECT_EQ(colour.bmWidth, side);
    EXPECT_EQ(colour.bmHeight, side);
    EXPECT_EQ(colour.bmBitsPixel, 32) << side;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

TEST(EmbeddedResources, CarryAVersionBlockNamingTheProductAndVersion222) {
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  constexpr DWORD version = MAKELONG(VESPERINE_VERSION_MINOR, VESPERINE_VERSION_MAJOR);
  EXPECT_EQ(fixed->dwFileVersionMS, version);
  EXPECT_EQ(fixed->dwProductVersionMS, version);
  EXPECT_EQ(VersionString(block, "ProductName"), "Vesperine");
  EXPECT_EQ(VersionString(block, "FileVersion"), VESPERINE_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, "ProductVersion"), VESPERINE_VERSION_TEXT);
  EXPECT_EQ(VersionString(block, "CompanyName"), "The Vesperine authors");
  EXPECT_EQ(VersionString(block, "LegalCopyright"), "Copyright (c) The Vesperine authors");
  EXPECT_EQ(VersionString(block, "FileDescription"), "Vesperine screen saver");
}

TEST(EmbeddedResources, CarryAManifestThatSelectsCommonControls6AndAsksForNoElevation) {
  std::vector<uint8_t> manifest = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_FALSE(manifest.empty());
  EXPECT_TRUE(manifest == FileBytes("vesperine.manifest"));
  std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
  // Elevation, even asInvoker, would switch off registry virtualisation for the saver.
  EXPECT_EQ(text.find("requestedExecutionLevel"), std::string::npos);
  EXPECT_EQ(text.find("trustInfo"), std::string::npos);
  // Never stretched by Windows at any scale: Per-Monitor V2, with the older form beside it.
  EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);

  // The loader honours it: the comctl32 this process gets is the side-by-side version 6
  // (a plain comctl32.dll would be 5.x, and its controls lack the visual styles).
  HMODULE comctl = LoadLibraryA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  char loaded[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(comctl, loaded, MAX_PATH), 0u);
  std::string where = loaded;
  for (char& c : where) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(where.find("winsxs"), std::string::npos) << loaded;
  EXPECT_NE(where.find("common-controls_6595b64144ccf1df_6."), std::string::npos) << loaded;

  // And it makes this process per-monitor aware (asked of the system at run time: the
  // function is newer than the oldest Windows the program starts on).
  HMODULE user32 = GetModuleHandleA("user32.dll");
  using ContextProc = HANDLE(WINAPI*)();
  using AwarenessProc = int(WINAPI*)(HANDLE);
  const auto context = ProcedureAddress<ContextProc>(user32, "GetThreadDpiAwarenessContext");
  const auto awareness =
      ProcedureAddress<AwarenessProc>(user32, "GetAwarenessFromDpiAwarenessContext");
  if (context && awareness) {
    EXPECT_EQ(awareness(context()), 2) << "not DPI_AWARENESS_PER_MONITOR_AWARE";
  }
}
