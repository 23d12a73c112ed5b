// The settings dialog of the real vesperine.scr under wine: found, read and driven from
// this process with real messages, the registry checked afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "framework/win/form.h"
#include "harness/harness.h"
#include "settings/dialog/dialog_core.h"
#include "settings/dialog/win/ballpara.h"
// Needs windows.h, which the harness brings.
#include <commctrl.h>

namespace {

using harness::Settings::Exists;
using harness::Settings::ReadDword;
using harness::Settings::ReadString;

constexpr const char* DialogTitle = DialogCaption;
const char* const AllValues[] = {"BackType",   "BackPic",   "BallPic",  "ShowShadow",
                                 "BallsCount", "SoundOpen", "BallSize", "Driver"};

bool SameText(std::string a, std::string b) {
  const auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
  };
  return lower(std::move(a)) == lower(std::move(b));
}

class SettingsDialog {
 public:
  explicit SettingsDialog(std::vector<std::string> arguments = {"/c"})
      : Saver(std::move(arguments)) {
    Form = harness::WaitForWindow({.ClassName = FormWindowClass,
                                   .Title = DialogTitle,
                                   .ProcessId = Saver.Id(),
                                   .VisibleOnly = true});
  }

  // A control of the form by its id.
  HWND Control(int id) const {
    HWND control = GetDlgItem(Form, id);
    if (!control) ADD_FAILURE() << "no control " << id;
    return control;
  }

  HWND Save() const { return Control(idBtnOk); }
  HWND Cancel() const { return Control(idBtnCancel); }
  HWND Driver() const { return Control(idCbDriver); }
  HWND Count() const { return Control(idEdBallNums); }
  HWND Shadow() const { return Control(idCbxShadow); }
  HWND Sound() const { return Control(idCbAudio); }
  HWND Size() const { return Control(idTbBallSize); }
  HWND Group() const { return Control(idGroupBox1); }
  HWND Default() const { return Control(idRbDefault); }
  HWND Desktop() const { return Control(idRbDesk); }
  HWND User() const { return Control(idRbUser); }
  HWND BackEdit() const { return Control(idEdtBack); }
  HWND BackButton() const { return Control(idBtnBack); }
  HWND List() const { return Control(idLstBalls); }
  HWND AddButton() const { return Control(idBtnBall); }
  HWND DeleteButton() const { return Control(idSpeedButton1); }

  // Posted, so a message box that the click raises cannot block this process.
  static void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
  static bool IsChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  static void Settle() { harness::PumpFor(300); }

  bool SaveAndWait() {
    Click(Save());
    return Saver.WaitForExit(10000);
  }

  harness::SaverProcess Saver;
  HWND Form = nullptr;
};

class SettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { harness::Settings::Clear(); }
  void TearDown() override { harness::Settings::Clear(); }
};

TEST_F(SettingsDialogTest, OpensWithTheCaptionSizeAndPlaceOfTheDesign) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  const harness::WindowInfo info = harness::Describe(dialog.Form);
  EXPECT_EQ(info.Rect.left, 205);
  EXPECT_EQ(info.Rect.top, 110);
  EXPECT_EQ(info.Rect.right - info.Rect.left, 402);
  EXPECT_EQ(info.Rect.bottom - info.Rect.top, 437);
  EXPECT_TRUE(info.Style & WS_THICKFRAME) << "sizeable frame";
  EXPECT_EQ(harness::WindowText(dialog.Save()), "Save");
  EXPECT_EQ(harness::WindowText(dialog.Cancel()), "Cancel");
  EXPECT_EQ(harness::WindowText(dialog.User()), "select a picture as backgroud");
  EXPECT_EQ(harness::WindowText(dialog.Group()), "pictures settings");
  EXPECT_EQ(SendMessageA(dialog.Driver(), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETRANGEMIN, 0, 0), 2);
  EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETRANGEMAX, 0, 0), 20);
  EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETTHUMBLENGTH, 0, 0), 15);
  EXPECT_EQ(harness::WindowText(dialog.Control(idLabel8)), "0.2");
  EXPECT_EQ(harness::WindowText(dialog.Control(idLabel9)), "1.0");
  EXPECT_EQ(harness::WindowText(dialog.Control(idLabel10)), "2.0");
  const std::vector<HWND> tips =
      harness::FindWindows({.ClassName = TOOLTIPS_CLASSA, .ProcessId = dialog.Saver.Id()});
  const auto ours = std::find_if(tips.begin(), tips.end(),
                                 [&](HWND tip) { return GetWindow(tip, GW_OWNER) == dialog.Form; });
  ASSERT_NE(ours, tips.end()) << "tooltips are on";
  EXPECT_EQ(SendMessageA(*ours, TTM_GETTOOLCOUNT, 0, 0), 3);
  RECT save{};
  GetClientRect(dialog.Form, &save);
  EXPECT_GE(save.bottom, 368 + 25) << "the buttons fit the client area";

  const std::string shot = harness::OutputFolder() + "\\settings-dialog.png";
  EXPECT_TRUE(harness::SavePng(harness::CaptureRect(info.Rect), shot)) << shot;
}

// The group's children are the form's, placed from the group box's corner at (16, 120).
TEST_F(SettingsDialogTest, EveryControlStandsAtItsDesignedPlace) {
  constexpr int GroupLeft = 16, GroupTop = 120;
  const struct {
    int Id;
    const char* ClassName;
    int Left, Top;
  } design[] = {
      {idBtnOk, "Button", 192, 368},
      {idBtnCancel, "Button", 296, 368},
      {idCbDriver, "ComboBox", 96, 16},
      {idEdBallNums, "Edit", 96, 45},
      {idCbxShadow, "Button", 248, 45},
      {idGroupBox1, "Button", GroupLeft, GroupTop},
      {idEdtBack, "Edit", GroupLeft + 24, GroupTop + 72},
      {idBtnBack, "Button", GroupLeft + 290, GroupTop + 70},
      {idRbDefault, "Button", GroupLeft + 24, GroupTop + 27},
      {idRbDesk, "Button", GroupLeft + 160, GroupTop + 27},
      {idRbUser, "Button", GroupLeft + 24, GroupTop + 51},
      {idListCaption, "Static", GroupLeft + 24, GroupTop + 99},
      {idLstBalls, "ListBox", GroupLeft + 24, GroupTop + 120},
      {idBtnBall, "Button", GroupLeft + 288, GroupTop + 124},
      {idSpeedButton1, "Button", GroupLeft + 288, GroupTop + 164},
      {idCbAudio, "Button", 248, 18},
      {idTbBallSize, "msctls_trackbar32", 88, 74},
      {idLabel5, "Static", 16, 20},
      {idLabel6, "Static", 16, 49},
      {idLabel7, "Static", 16, 79},
      {idLabel8, "Static", 91, 97},
      {idLabel9, "Static", 203, 97},
      {idLabel10, "Static", 339, 97},
  };
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  for (const auto& place : design) {
    HWND control = dialog.Control(place.Id);
    if (!control) continue;
    EXPECT_EQ(GetAncestor(control, GA_PARENT), dialog.Form) << place.Id;
    EXPECT_TRUE(SameText(harness::Describe(control).ClassName, place.ClassName)) << place.Id;
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog.Form, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, place.Left) << place.Id;
    EXPECT_EQ(rect.top, place.Top) << place.Id;
  }
}

TEST_F(SettingsDialogTest, TabsThroughTheControlsInTheDesignedOrder) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  const std::vector<HWND> designed = {
      dialog.Save(),  dialog.Cancel(),   dialog.Driver(),  dialog.Count(),   dialog.Shadow(),
      dialog.Group(), dialog.BackEdit(), dialog.Default(), dialog.Desktop(), dialog.User(),
      dialog.List(),  dialog.Sound(),    dialog.Size()};
  std::vector<HWND> stacked;
  for (HWND child = GetWindow(dialog.Form, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (std::find(designed.begin(), designed.end(), child) != designed.end())
      stacked.push_back(child);
  }
  EXPECT_EQ(stacked, designed) << "the stacking order is the tab order";

  // Tab skips the disabled picture edit and enters the radio group at the checked button.
  const std::vector<HWND> walk = {dialog.Cancel(), dialog.Driver(),  dialog.Count(),
                                  dialog.Shadow(), dialog.Default(), dialog.List(),
                                  dialog.Sound(),  dialog.Size(),    dialog.Save()};
  HWND at = dialog.Save();
  for (HWND next : walk) {
    at = GetNextDlgTabItem(dialog.Form, at, FALSE);
    EXPECT_EQ(at, next);
  }
  EXPECT_EQ(GetNextDlgTabItem(dialog.Form, dialog.Save(), TRUE), dialog.Size()) << "Shift+Tab";
}

TEST_F(SettingsDialogTest, ShowsTheDefaultsWhenNothingIsStored) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  EXPECT_EQ(harness::WindowText(dialog.Count()), "10");
  EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(SendMessageA(dialog.Driver(), CB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(SettingsDialog::IsChecked(dialog.Shadow()));
  EXPECT_TRUE(SettingsDialog::IsChecked(dialog.Sound()));
  EXPECT_TRUE(SettingsDialog::IsChecked(dialog.Default()));
  EXPECT_FALSE(IsWindowEnabled(dialog.BackEdit()));
  EXPECT_FALSE(IsWindowEnabled(dialog.BackButton()));
}

TEST_F(SettingsDialogTest, ShowsStoredValuesClampedIntoTheControlsRanges) {
  harness::Settings::SetDword("BallsCount", 150);
  harness::Settings::SetDword("BallSize", 50);
  harness::Settings::SetString("Driver", "GDI+");
  harness::Settings::SetDword("ShowShadow", 0);
  harness::Settings::SetDword("SoundOpen", 0);
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", "C:\\sea.jpg");
  harness::Settings::SetString("BallPic", "a.png,\"C:\\my pictures\\b.png\"");
  {
    SettingsDialog dialog;
    ASSERT_NE(dialog.Form, nullptr);
    EXPECT_EQ(harness::WindowText(dialog.Count()), "100");
    EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(SendMessageA(dialog.Driver(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(SettingsDialog::IsChecked(dialog.Shadow()));
    EXPECT_FALSE(SettingsDialog::IsChecked(dialog.Sound()));
    EXPECT_TRUE(SettingsDialog::IsChecked(dialog.User()));
    EXPECT_FALSE(SettingsDialog::IsChecked(dialog.Default()));
    EXPECT_TRUE(IsWindowEnabled(dialog.BackEdit()));
    EXPECT_TRUE(IsWindowEnabled(dialog.BackButton()));
    EXPECT_EQ(harness::WindowText(dialog.BackEdit()), "C:\\sea.jpg");
    EXPECT_EQ(SendMessageA(dialog.List(), LB_GETCOUNT, 0, 0), 2);
    RECT whole{};
    GetWindowRect(dialog.Form, &whole);
    EXPECT_TRUE(harness::SavePng(harness::CaptureRect(whole),
                                 harness::OutputFolder() + "\\settings-dialog-filled.png"));
  }
  harness::Settings::SetDword("BallsCount", static_cast<DWORD>(-3));
  harness::Settings::SetString("Driver", "gdi+");
  harness::Settings::Delete("BallSize");
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  EXPECT_EQ(harness::WindowText(dialog.Count()), "0");
  EXPECT_EQ(SendMessageA(dialog.Size(), TBM_GETPOS, 0, 0), 10);
  EXPECT_EQ(SendMessageA(dialog.Driver(), CB_GETCURSEL, 0, 0), 0) << "only the exact text";
}

TEST_F(SettingsDialogTest, SaveWritesEveryValueWithItsTypeAndClosesTheProgram) {
  harness::Settings::SetDword("BallsCount", 150);
  harness::Settings::SetString("Driver", "gdi+");
  harness::Settings::SetString("BackPic", "C:\\kept.jpg");
  harness::Settings::SetString("BallPic", "\"C:\\my pictures\\b.png\",a.png");
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  SettingsDialog::Click(dialog.Desktop());
  SettingsDialog::Click(dialog.Shadow());  // on -> off
  SettingsDialog::Settle();
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadDword("BallsCount"), 100u);
  EXPECT_EQ(ReadDword("ShowShadow"), 0u);
  EXPECT_EQ(ReadDword("BallSize"), 10u);
  EXPECT_EQ(ReadDword("SoundOpen"), 1u);
  EXPECT_EQ(ReadDword("BackType"), 2u);
  EXPECT_EQ(ReadString("BackPic"), "C:\\kept.jpg") << "left alone for the desktop background";
  EXPECT_EQ(ReadString("BallPic"), "\"C:\\my pictures\\b.png\",a.png");
  EXPECT_EQ(ReadString("Driver"), "gdi+") << "an untouched driver box writes nothing";
}

TEST_F(SettingsDialogTest, SaveOnAFreshInstallationWritesNoDriverAndAnEmptyList) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_FALSE(Exists("Driver"));
  EXPECT_FALSE(Exists("BackPic"));
  EXPECT_EQ(ReadString("BallPic"), "");
  EXPECT_EQ(ReadDword("BackType"), 1u);
}

TEST_F(SettingsDialogTest, ChoosingADriverWritesItsText) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  // The closed list moves to the next item on Down and tells its parent, as for a user.
  PostMessageA(dialog.Driver(), WM_KEYDOWN, VK_DOWN, 0);
  SettingsDialog::Settle();
  ASSERT_EQ(SendMessageA(dialog.Driver(), CB_GETCURSEL, 0, 0), 1);
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadString("Driver"), "GDI+");
}

TEST_F(SettingsDialogTest, UserPictureSavesItsPathUntrimmedOrTheBuiltInWhenBlank) {
  harness::Settings::SetDword("BackType", 3);
  harness::Settings::SetString("BackPic", "  C:\\my pictures\\sea.jpg");
  {
    SettingsDialog dialog;
    ASSERT_NE(dialog.Form, nullptr);
    ASSERT_TRUE(dialog.SaveAndWait());
    EXPECT_EQ(ReadDword("BackType"), 3u);
    EXPECT_EQ(ReadString("BackPic"), "  C:\\my pictures\\sea.jpg");
  }
  harness::Settings::SetString("BackPic", "   ");
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadDword("BackType"), 1u);
  EXPECT_EQ(ReadString("BackPic"), "   ") << "a blank path is not written";
}

TEST_F(SettingsDialogTest, RadioButtonsEnableThePictureEditOnlyForTheUserPicture) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  SettingsDialog::Click(dialog.User());
  SettingsDialog::Settle();
  EXPECT_TRUE(IsWindowEnabled(dialog.BackEdit()));
  EXPECT_TRUE(IsWindowEnabled(dialog.BackButton()));
  EXPECT_FALSE(SettingsDialog::IsChecked(dialog.Default()));
  SettingsDialog::Click(dialog.Desktop());
  SettingsDialog::Settle();
  EXPECT_FALSE(IsWindowEnabled(dialog.BackEdit()));
  EXPECT_FALSE(IsWindowEnabled(dialog.BackButton()));
  EXPECT_FALSE(SettingsDialog::IsChecked(dialog.User()));
}

TEST_F(SettingsDialogTest, SpinEditRefusesTypingAndStepsByKeysWheelAndButtons) {
  harness::Settings::SetDword("BallsCount", 50);
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  HWND count = dialog.Count();
  for (WPARAM character : {WPARAM('7'), WPARAM('x'), WPARAM(VK_BACK), WPARAM(0x16)}) {
    PostMessageA(count, WM_CHAR, character, 0);
  }
  PostMessageA(count, WM_KEYDOWN, VK_DELETE, 0);
  PostMessageA(count, WM_PASTE, 0, 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "50") << "typing changes nothing";

  PostMessageA(count, WM_KEYDOWN, VK_UP, 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "51");
  PostMessageA(count, WM_KEYDOWN, VK_NEXT, 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "41");
  PostMessageA(count, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "51");
  PostMessageA(count, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "50");
  for (int i = 0; i < 7; ++i) PostMessageA(count, WM_KEYDOWN, VK_PRIOR, 0);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "100") << "clamped at the top";

  HWND buttons = FindWindowExA(count, nullptr, "msctls_updown32", nullptr);
  ASSERT_NE(buttons, nullptr);
  RECT area{};
  GetClientRect(buttons, &area);
  const LPARAM lower = MAKELPARAM(area.right / 2, area.bottom * 3 / 4);
  PostMessageA(buttons, WM_LBUTTONDOWN, MK_LBUTTON, lower);
  PostMessageA(buttons, WM_LBUTTONUP, 0, lower);
  SettingsDialog::Settle();
  EXPECT_EQ(harness::WindowText(count), "99") << "the down button steps by one";

  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadDword("BallsCount"), 99u);
}

TEST_F(SettingsDialogTest, SpinEditReadsAnEmptyTextAsZero) {
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  SendMessageA(dialog.Count(), WM_SETTEXT, 0, LPARAM(""));
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadDword("BallsCount"), 0u);
}

TEST_F(SettingsDialogTest, CancelCloseBoxAndEscapeWriteNothing) {
  const auto expectNothingWritten = [] {
    for (const char* name : AllValues) EXPECT_FALSE(Exists(name)) << name;
  };
  {
    SettingsDialog dialog;
    ASSERT_NE(dialog.Form, nullptr);
    SettingsDialog::Click(dialog.Desktop());
    SettingsDialog::Click(dialog.Cancel());
    EXPECT_TRUE(dialog.Saver.WaitForExit(10000));
    expectNothingWritten();
  }
  {
    SettingsDialog dialog;
    ASSERT_NE(dialog.Form, nullptr);
    PostMessageA(dialog.Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(dialog.Saver.WaitForExit(10000));
    expectNothingWritten();
  }
  {
    SettingsDialog dialog;
    ASSERT_NE(dialog.Form, nullptr);
    PostMessageA(dialog.Shadow(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(dialog.Saver.WaitForExit(10000));
    expectNothingWritten();
  }
}

TEST_F(SettingsDialogTest, OpensForTheHandleFormAndForNoParameter) {
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"/c:1234"}, std::vector<std::string>{}}) {
    SettingsDialog dialog(arguments);
    EXPECT_NE(dialog.Form, nullptr) << (arguments.empty() ? "no parameter" : arguments[0]);
    if (dialog.Form) SettingsDialog::Click(dialog.Cancel());
    EXPECT_TRUE(dialog.Saver.WaitForExit(10000));
  }
}

// Fills the open dialog's file name and confirms it, as a user would.
bool ChooseInOpenDialog(DWORD processId, const std::string& path) {
  HWND open = harness::WaitForWindow(
      {.ClassName = "#32770", .ProcessId = processId, .VisibleOnly = true}, 10000);
  if (!open) return false;
  constexpr int FileNameCombo = 0x47C, FileNameEdit = 0x480;
  HWND name = GetDlgItem(open, FileNameCombo);
  if (!name) name = GetDlgItem(open, FileNameEdit);
  if (!name) return false;
  SendMessageA(name, WM_SETTEXT, 0, LPARAM(path.c_str()));
  PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(open, IDOK)));
  return harness::WaitForNoWindow({.ClassName = "#32770", .ProcessId = processId}, 10000);
}

TEST_F(SettingsDialogTest, PictureButtonsAddDuplicatesDeleteTheSelectedAndSaveQuoted) {
  const std::string folder = harness::OutputFolder();
  const std::string picture = folder + "\\my picture.png";
  std::ofstream(picture, std::ios::binary) << "not really a picture";
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  for (int i = 0; i < 2; ++i) {
    SettingsDialog::Click(dialog.AddButton());
    ASSERT_TRUE(ChooseInOpenDialog(dialog.Saver.Id(), picture)) << "pick " << i;
  }
  SettingsDialog::Settle();
  ASSERT_EQ(SendMessageA(dialog.List(), LB_GETCOUNT, 0, 0), 2) << "duplicates are kept";

  SettingsDialog::Click(dialog.DeleteButton());  // nothing selected: nothing happens
  SettingsDialog::Settle();
  EXPECT_EQ(SendMessageA(dialog.List(), LB_GETCOUNT, 0, 0), 2);

  SettingsDialog::Click(dialog.User());
  SettingsDialog::Settle();
  SettingsDialog::Click(dialog.BackButton());
  ASSERT_TRUE(ChooseInOpenDialog(dialog.Saver.Id(), picture));
  SettingsDialog::Settle();
  EXPECT_TRUE(SameText(harness::WindowText(dialog.BackEdit()), picture));

  ASSERT_TRUE(dialog.SaveAndWait());
  const std::optional<std::string> saved = ReadString("BallPic");
  ASSERT_TRUE(saved.has_value());
  const std::string quoted = "\"" + *ReadString("BackPic") + "\"";
  EXPECT_EQ(*saved, quoted + "," + quoted) << "both entries, each quoted for its blank";
  EXPECT_EQ(ReadDword("BackType"), 3u);
}

// A 24-bit bitmap file of one colour.
void WriteBitmapFile(const std::string& path, int width, int height, uint8_t red, uint8_t green,
                     uint8_t blue) {
  const int stride = (width * 3 + 3) / 4 * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::vector<uint8_t> rows(static_cast<size_t>(stride * height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &rows[static_cast<size_t>(y * stride + x * 3)];
      pixel[0] = blue, pixel[1] = green, pixel[2] = red;
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof(file));
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
}

HWND OwnerDrawnStatic(HWND dialog) {
  for (HWND child : harness::FindWindows({.Parent = dialog})) {
    if (SameText(harness::Describe(child).ClassName, "Static") &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_OWNERDRAW) {
      return child;
    }
  }
  return nullptr;
}

TEST_F(SettingsDialogTest, PictureDialogOpensOnTheLastChosenFileAndPreviewsIt) {
  const std::string picture = harness::OutputFolder() + "\\red preview.bmp";
  WriteBitmapFile(picture, 60, 40, 255, 0, 0);
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  SettingsDialog::Click(dialog.AddButton());
  ASSERT_TRUE(ChooseInOpenDialog(dialog.Saver.Id(), picture));

  SettingsDialog::Click(dialog.AddButton());
  HWND open = harness::WaitForWindow(
      {.ClassName = "#32770", .ProcessId = dialog.Saver.Id(), .VisibleOnly = true});
  ASSERT_NE(open, nullptr);
  harness::PumpFor(1000);
  HWND name = GetDlgItem(open, 0x47C);
  ASSERT_NE(name, nullptr);
  EXPECT_NE(harness::WindowText(name).find("red preview.bmp"), std::string::npos)
      << "opens on the file chosen last";
  HWND pane = OwnerDrawnStatic(open);
  ASSERT_NE(pane, nullptr) << "the preview pane is part of the dialog";
  RECT area{};
  GetWindowRect(pane, &area);
  const harness::Capture shot = harness::CaptureRect(area);
  int red = 0;
  for (uint32_t pixel : shot.Pixels) {
    red += harness::Red(pixel) > 200 && harness::Green(pixel) < 60 && harness::Blue(pixel) < 60;
  }
  EXPECT_GT(red, 500) << "the picture is drawn in the pane";
  RECT whole{};
  GetWindowRect(open, &whole);
  harness::SavePng(harness::CaptureRect(whole), harness::OutputFolder() + "\\open-picture.png");

  PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  ASSERT_TRUE(harness::WaitForNoWindow({.ClassName = "#32770", .ProcessId = dialog.Saver.Id()}));
  EXPECT_EQ(SendMessageA(dialog.List(), LB_GETCOUNT, 0, 0), 1) << "a cancelled pick adds nothing";
  SettingsDialog::Click(dialog.Cancel());
  EXPECT_TRUE(dialog.Saver.WaitForExit(10000));
}

TEST_F(SettingsDialogTest, DeleteButtonRemovesOnlyTheSelectedPicture) {
  harness::Settings::SetString("BallPic", "a.png,b.png,c.png");
  SettingsDialog dialog;
  ASSERT_NE(dialog.Form, nullptr);
  SendMessageA(dialog.List(), LB_SETCURSEL, 1, 0);
  SettingsDialog::Click(dialog.DeleteButton());
  SettingsDialog::Settle();
  ASSERT_TRUE(dialog.SaveAndWait());
  EXPECT_EQ(ReadString("BallPic"), "a.png,c.png");
}

}  // namespace
