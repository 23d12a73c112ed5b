// TFBallPara in this process over a memory store: the save's failure paths, which the
// registry under wine cannot be made to produce.
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <optional>

#include "framework/win/dpi.h"
#include "framework/win/error_report.h"
#include "harness/harness.h"
#include "settings/dialog/win/ballpara.h"
#include "settings/memory_store.h"

namespace {

// Answers the first error box of this process from another thread, while the main
// thread sits in the box's modal loop.
std::future<std::optional<harness::MessageBoxInfo>> AnswerErrorBox() {
  return std::async(std::launch::async, [] {
    auto box = harness::WaitForMessageBox(GetCurrentProcessId(), 10000);
    if (box) harness::DismissMessageBox(box->Window);
    return box;
  });
}

class BallParaForm : public ::testing::Test {
 protected:
  void SetUp() override {
    RestoreInitialSettings();
    InitApplication();
  }
  void TearDown() override {
    Form.reset();
    RestoreInitialSettings();
  }
  void Open() {
    Form = CreateForm<TFBallPara>(Store);
    Form->Show();
  }
  void ClickSave() { SendMessageA(Form->btnOk, BM_CLICK, 0, 0); }

  MemorySettingsStore Store;
  std::unique_ptr<TFBallPara> Form;
};

TEST_F(BallParaForm, FailedWriteIsReportedKeepsEarlierValuesAndKeepsTheFormOpen) {
  Store.FailingWrites.insert("BallSize");
  Open();
  auto box = AnswerErrorBox();
  ClickSave();
  const auto shown = box.get();
  ASSERT_TRUE(shown.has_value()) << "the error reaches the framework's error box";
  EXPECT_EQ(shown->Caption, ErrorBoxCaption);
  EXPECT_EQ(shown->Text, "Failed to set data for 'BallSize'");
  EXPECT_TRUE(Form->HandleAllocated() && Form->Visible()) << "the user may try again";
  EXPECT_TRUE(Store.Values.contains("BallsCount"));
  EXPECT_TRUE(Store.Values.contains("ShowShadow"));
  EXPECT_FALSE(Store.Values.contains("BallSize"));
  EXPECT_FALSE(Store.Values.contains("BallPic"));

  Store.FailingWrites.clear();
  ClickSave();
  EXPECT_FALSE(Form->HandleAllocated()) << "a good save closes and frees the form's window";
  EXPECT_TRUE(Store.Values.contains("BallPic"));
}

TEST_F(BallParaForm, KeyThatCannotBeCreatedIsReportedAndNothingIsWritten) {
  Store.KeyUnavailable = true;
  Open();
  auto box = AnswerErrorBox();
  ClickSave();
  const auto shown = box.get();
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(shown->Text, "Failed to create key software\\Vesperine");
  EXPECT_TRUE(Form->HandleAllocated());
  EXPECT_TRUE(Store.Values.empty());
}

TEST_F(BallParaForm, FillsFromTheGlobalsAndDoesNotChangeThem) {
  BallsCount = 150;
  SizeScale = 0.7f;
  Driver = "GDI+";
  BackType = 3;
  BackPic = "C:\\sea.jpg";
  PictureList.Items = {"a.png", "a.png"};
  Open();
  const DialogControls controls = Form->ControlStates();
  EXPECT_EQ(controls.BallsCount, 100);
  EXPECT_EQ(controls.BallSize, 7);
  EXPECT_EQ(controls.DriverItem, 1);
  EXPECT_FALSE(controls.DriverChanged);
  EXPECT_EQ(controls.CheckedTag, TagUser);
  EXPECT_EQ(controls.BackPicText, "C:\\sea.jpg");
  EXPECT_EQ(controls.Pictures, (std::vector<std::string>{"a.png", "a.png"}));
  EXPECT_TRUE(IsWindowEnabled(Form->edtBack));
  ClickSave();
  EXPECT_EQ(BallsCount, 150) << "the dialog writes the store, never the globals";
  EXPECT_EQ(Driver, "GDI+");
}

TEST_F(BallParaForm, EnterSavesAndEscapeCancelsThroughTheDialogManager) {
  Open();
  MSG escape{Form->lstBalls, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(Form->Handle(), &escape));
  EXPECT_FALSE(Form->HandleAllocated());
  EXPECT_TRUE(Store.Values.empty());

  Form.reset();
  Open();
  SetFocus(Form->lstBalls);
  MSG enter{Form->lstBalls, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
  EXPECT_TRUE(IsDialogMessageA(Form->Handle(), &enter));
  EXPECT_FALSE(Form->HandleAllocated());
  EXPECT_TRUE(Store.Values.contains("BallsCount"));
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM seen) {
  *reinterpret_cast<bool*>(seen) = true;
  return 0;
}

bool FaceInstalled(const char* face) {
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  strncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExA(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// Wine answers WM_GETICON from another process with no icon, so this is checked here,
// with the program's resources linked into the test.
TEST_F(BallParaForm, ShowsTheProgramsIconAndTheFullCaption) {
  Open();
  EXPECT_NE(SendMessageA(Form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageA(Form->Handle(), WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(Form->Caption(), DialogCaption);
}

TEST_F(BallParaForm, UsesTheDesignFontsOrTheSystemDialogFontWhenTheyAreMissing) {
  Open();
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  const LOGFONTA form = FontOf(Form->btnOk);
  if (FaceInstalled("SimSun")) {
    EXPECT_EQ(form.lfHeight, -12);
  } else {
    EXPECT_STREQ(form.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(form.lfHeight, metrics.lfMessageFont.lfHeight);
  }
  for (HWND control : {Form->lstBalls, Form->rbUser, Form->edBallNums.Handle(), Form->Label5}) {
    EXPECT_STREQ(FontOf(control).lfFaceName, form.lfFaceName) << "one font for the form";
  }
  const LOGFONTA scale = FontOf(Form->Label9);
  if (FaceInstalled("MS Serif")) {
    EXPECT_STREQ(scale.lfFaceName, "MS Serif");
    EXPECT_EQ(scale.lfHeight, -8);
  } else {
    EXPECT_STREQ(scale.lfFaceName, form.lfFaceName);
  }
  RECT label{};
  GetWindowRect(Form->Label5, &label);
  HDC dc = GetDC(Form->Label5);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(Form->Label5, WM_GETFONT, 0, 0)));
  SIZE text{};
  GetTextExtentPoint32A(dc, "Driver used:", 12, &text);
  SelectObject(dc, previous);
  ReleaseDC(Form->Label5, dc);
  EXPECT_GE(label.right - label.left, text.cx) << "a label is never narrower than its text";
  EXPECT_GE(label.bottom - label.top, text.cy);
}

// Dragged to a monitor of another scale: the window takes the rectangle the system
// suggests, and every control and font its 96-dpi design times the new scale (Wine has one
// dpi for every monitor, so the message is made here).
TEST_F(BallParaForm, LaysItselfOutAgainAtTheDpiOfTheMonitorItIsDraggedTo) {
  Open();
  const struct {
    uint32_t Dpi;
    RECT Save;        // in the form's client area
    RECT BallsCount;  // the spin edit
    int FontPixels;   // the design font's 12 px
  } scales[] = {{144, {288, 552, 400, 590}, {144, 68, 214, 98}, 18},
                {120, {240, 460, 334, 491}, {120, 56, 179, 81}, 15},
                {192, {384, 736, 534, 786}, {192, 90, 286, 130}, 24},
                {96, {192, 368, 267, 393}, {96, 45, 143, 65}, 12}};
  const bool designFont = FaceInstalled("SimSun");
  for (const auto& s : scales) {
    SCOPED_TRACE(s.Dpi);
    // Whatever the system suggests (here a rectangle that fits the test's screen).
    RECT suggested{10 + static_cast<LONG>(s.Dpi), 20, 620 + static_cast<LONG>(s.Dpi), 700};
    SendMessageA(Form->Handle(), WM_DPICHANGED, MAKEWPARAM(s.Dpi, s.Dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(Form->Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested))
        << window.left << "," << window.top << " " << window.right << "," << window.bottom;
    for (const auto& [control, expected] :
         {std::pair{Form->btnOk, s.Save}, std::pair{Form->edBallNums.Handle(), s.BallsCount}}) {
      RECT place{};
      GetWindowRect(control, &place);
      MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&place), 2);
      EXPECT_TRUE(EqualRect(&place, &expected))
          << place.left << "," << place.top << " " << place.right << "," << place.bottom;
    }
    if (designFont) {
      EXPECT_EQ(FontOf(Form->btnOk).lfHeight, -s.FontPixels);
    }
    EXPECT_STREQ(FontOf(Form->Label5).lfFaceName, FontOf(Form->btnOk).lfFaceName);
  }
}

}  // namespace
