#include "settings/dialog/win/ballpara.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "framework/display_scale.h"
#include "framework/win/dpi.h"
#include "settings/dialog/win/glyph_bitmap.h"

namespace {

constexpr int ProgramIcon = 100;
// Controls inside the group box are the form's children, placed relative to the box.
constexpr int GroupLeft = 16, GroupTop = 120;
constexpr int ComboDropHeight = 120;
// The 96-dpi design: where the dialog opens and its size; every number here and in the
// controls' places is scaled by the dpi of the monitor it is on.
constexpr int DesignLeft = 205, DesignTop = 110, DesignWidth = 402, DesignHeight = 437;
constexpr int FormFontPixels = 12, ScaleFontPixels = 8, ThumbLength = 15;

std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Every item of a list box, in order.
std::vector<std::string> ListItems(HWND list) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length =
        static_cast<size_t>(std::max<LRESULT>(SendMessageA(list, LB_GETTEXTLEN, WPARAM(i), 0), 0));
    std::string text(length + 1, '\0');
    SendMessageA(list, LB_GETTEXT, WPARAM(i), LPARAM(text.data()));
    text.resize(length);
    items.push_back(std::move(text));
  }
  return items;
}

bool Checked(HWND button) {
  return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void SetChecked(HWND button, bool on) {
  SendMessageA(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

// The face a font really got: a missing face is silently replaced by another one.
bool FontHasFace(HFONT font, std::initializer_list<const wchar_t*> names) {
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  wchar_t face[LF_FACESIZE] = {};
  const int length = GetTextFaceW(screen, LF_FACESIZE, face);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  if (length <= 0) return false;
  return std::any_of(names.begin(), names.end(),
                     [&](const wchar_t* name) { return _wcsicmp(face, name) == 0; });
}

// A font of the face at a character height of pixels, or null when the face is missing.
HFONT CreateFaceFont(const wchar_t* face, int pixels, std::initializer_list<const wchar_t*> names) {
  LOGFONTW font{};
  font.lfHeight = -pixels;  // negative: the character height, without internal leading
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  HFONT created = CreateFontIndirectW(&font);
  if (created && !FontHasFace(created, names)) {
    DeleteObject(created);
    created = nullptr;
  }
  return created;
}

// The system's dialog font at the dialog's dpi.
HFONT CreateMessageFont(uint32_t dpi) {
  const std::optional<LOGFONTW> font = MessageFontAt(dpi);
  return font ? CreateFontIndirectW(&*font) : nullptr;
}

HICON LoadProgramIcon(int sizeMetricX, int sizeMetricY) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgramIcon),
                                       IMAGE_ICON, GetSystemMetrics(sizeMetricX),
                                       GetSystemMetrics(sizeMetricY), LR_DEFAULTCOLOR));
}

// The work area of the monitor nearest a point of the screen.
ScreenRect WorkAreaAt(POINT point) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

}  // namespace

TFBallPara::TFBallPara(SettingsStore& store)
    : Store(store), Dpi(DpiAt(POINT{DesignLeft, DesignTop})) {
  SetCaption("Settings");
  const DialogPlace place =
      PlaceDialog({DesignLeft, DesignTop, DesignLeft + DesignWidth, DesignTop + DesignHeight}, Dpi,
                  WorkAreaAt(POINT{DesignLeft, DesignTop}));
  LayoutDpi = place.LayoutDpi;
  SetBounds(place.Bounds.Left, place.Bounds.Top, place.Bounds.Width(), place.Bounds.Height());
  SetBorderStyle(bsSizeable);
}

int TFBallPara::Scaled(int designPixels) const {
  return ScaleHalfToEven(designPixels, LayoutDpi, StandardDpi);
}

TFBallPara::~TFBallPara() {
  for (HBITMAP glyph : {PictureGlyph, PictureGlyphGreyed, CrossGlyph, CrossGlyphGreyed}) {
    if (glyph) DeleteObject(glyph);
  }
  if (OwnsFormFont) DeleteObject(FormFont);
  if (OwnsScaleFont) DeleteObject(ScaleFont);
  if (BigIcon) DestroyIcon(BigIcon);
  if (SmallIcon) DestroyIcon(SmallIcon);
}

void TFBallPara::FormCreate() {
  CreateControls();
  const DialogControls controls = ControlsFromSettings(CurrentSettings());
  DriverChanged = false;
  FillControls(controls);
  SetCaption(DialogCaption);
}

void TFBallPara::FillControls(const DialogControls& controls) {
  CheckRadio(controls.CheckedTag == TagUser      ? rbUser
             : controls.CheckedTag == TagDesktop ? rbDesk
                                                 : rbDefault);
  SetWindowTextA(edtBack, controls.BackPicText.c_str());
  SendMessageA(lstBalls, LB_RESETCONTENT, 0, 0);
  for (const std::string& item : controls.Pictures) AddListItem(item);
  edBallNums.SetValue(controls.BallsCount);
  SetChecked(cbxShadow, controls.ShowShadow);
  SetChecked(cbAudio, controls.SoundOpen);
  SendMessageA(tbBallSize, TBM_SETPOS, TRUE, ClampBallSize(controls.BallSize));
  // Selecting by program sends no CBN_SELCHANGE, so DriverChanged stays false.
  SendMessageA(cbDriver, CB_SETCURSEL, controls.DriverItem, 0);
}

void TFBallPara::CheckRadio(HWND radio) {
  for (HWND each : {rbDefault, rbDesk, rbUser}) SetChecked(each, each == radio);
  rbDefaultClick(radio);
}

HWND TFBallPara::MakeControl(const char* windowClass, const char* text, DWORD style, int x, int y,
                             int width, int height, int id, DWORD exStyle) {
  HWND control = CreateControl(windowClass, text, style, Scaled(x), Scaled(y), Scaled(width),
                               Scaled(height), id, exStyle);
  Places.push_back({control, x, y, width, height});
  return control;
}

HWND TFBallPara::GroupChild(const char* windowClass, const char* text, DWORD style, int x, int y,
                            int width, int height, int id, DWORD exStyle) {
  HWND control = MakeControl(windowClass, text, style, GroupLeft + x, GroupTop + y, width, height,
                             id, exStyle);
  Controls.push_back(control);
  return control;
}

HWND TFBallPara::Label(const char* text, int x, int y, int width, int height, int id, HFONT font) {
  HWND label = MakeControl("STATIC", text, SS_LEFT | SS_NOPREFIX, x, y, width, height, id);
  SendMessageA(label, WM_SETFONT, WPARAM(font), FALSE);
  Labels.push_back(label);
  if (font == ScaleFont && font != FormFont) ScaleLabels.push_back(label);
  FitLabelToText(label);
  return label;
}

// Labels size themselves to their text, so a fallback font larger than the design's never
// clips them.
void TFBallPara::FitLabelToText(HWND label) {
  const std::string text = WindowText(label);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
  HDC dc = GetDC(label);
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  RECT now{};
  GetClientRect(label, &now);
  SetWindowPos(label, nullptr, 0, 0, std::max<int>(now.right, extent.cx),
               std::max<int>(now.bottom, extent.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFBallPara::ChangeDpi(uint32_t dpi, const RECT& suggested) {
  Dpi = dpi == 0 ? StandardDpi : dpi;
  LayoutDpi = Dpi;
  SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  const HFONT oldForm = OwnsFormFont ? FormFont : nullptr;
  const HFONT oldScale = OwnsScaleFont ? ScaleFont : nullptr;
  CreateFonts();
  ApplyFonts();
  for (HWND label : Labels) SendMessageA(label, WM_SETFONT, WPARAM(FormFont), FALSE);
  for (HWND label : ScaleLabels) SendMessageA(label, WM_SETFONT, WPARAM(ScaleFont), FALSE);
  // The controls hold the old fonts until they have the new ones.
  if (oldForm) DeleteObject(oldForm);
  if (oldScale && oldScale != oldForm) DeleteObject(oldScale);
  LayOutControls();
  InvalidateRect(Handle(), nullptr, TRUE);
}

void TFBallPara::LayOutControls() {
  for (const DesignPlace& place : Places) {
    SetWindowPos(place.Control, nullptr, Scaled(place.X), Scaled(place.Y), Scaled(place.Width),
                 Scaled(place.Height), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  for (HWND label : Labels) FitLabelToText(label);
  edBallNums.Resized();
  SendMessageA(tbBallSize, TBM_SETTHUMBLENGTH, Scaled(ThumbLength), 0);
}

void TFBallPara::CreateFonts() {
  FormFont = CreateFaceFont(L"\u5B8B\u4F53", Scaled(FormFontPixels), {L"\u5B8B\u4F53", L"SimSun"});
  if (!FormFont) FormFont = CreateMessageFont(Dpi);
  OwnsFormFont = FormFont != nullptr;
  if (!FormFont) FormFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  ScaleFont = CreateFaceFont(L"MS Serif", Scaled(ScaleFontPixels), {L"MS Serif"});
  OwnsScaleFont = ScaleFont != nullptr;
  if (!ScaleFont) ScaleFont = FormFont;
}

// Children are created in tab order: each new child goes below its siblings, and the
// dialog manager walks them from the top.
void TFBallPara::CreateControls() {
  HWND form = Handle();
  if (!form) return;
  // A group box paints only its frame and caption, so the form must paint beneath its
  // children, as a dialog does; forms clip their children by default.
  SetWindowLongA(form, GWL_STYLE, GetWindowLongA(form, GWL_STYLE) & ~WS_CLIPCHILDREN);
  CreateFonts();
  BigIcon = LoadProgramIcon(SM_CXICON, SM_CYICON);
  SmallIcon = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
  if (BigIcon) SendMessageA(form, WM_SETICON, ICON_BIG, LPARAM(BigIcon));
  if (SmallIcon) SendMessageA(form, WM_SETICON, ICON_SMALL, LPARAM(SmallIcon));

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  PictureGlyph = CreateGlyphBitmap(GlyphKind::Landscape, face, false);
  PictureGlyphGreyed = CreateGlyphBitmap(GlyphKind::Landscape, face, true);
  CrossGlyph = CreateGlyphBitmap(GlyphKind::Cross, face, false);
  CrossGlyphGreyed = CreateGlyphBitmap(GlyphKind::Cross, face, true);

  const auto add = [this](HWND control) {
    Controls.push_back(control);
    return control;
  };
  btnOk = add(MakeControl("BUTTON", "Save", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 192, 368, 75,
                          25, idBtnOk));
  btnCancel = add(MakeControl("BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 296, 368,
                              75, 25, idBtnCancel));
  cbDriver = add(MakeControl("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                             96, 16, 97, 20 + ComboDropHeight, idCbDriver));
  for (const char* item : DriverItems) SendMessageA(cbDriver, CB_ADDSTRING, 0, LPARAM(item));
  SendMessageA(cbDriver, CB_SETCURSEL, 0, 0);
  edBallNums.Create(form, Scaled(96), Scaled(45), Scaled(47), Scaled(20), idEdBallNums);
  Places.push_back({edBallNums.Handle(), 96, 45, 47, 20});
  add(edBallNums.Handle());
  cbxShadow = add(MakeControl("BUTTON", "show shadow", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 248,
                              45, 97, 17, idCbxShadow));
  GroupBox1 = add(MakeControl("BUTTON", "pictures settings", BS_GROUPBOX | WS_GROUP, 16, 120, 361,
                              201, idGroupBox1));
  edtBack = GroupChild("EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP | WS_DISABLED, 24, 72,
                       257, 20, idEdtBack, WS_EX_CLIENTEDGE);
  btnBack = GroupChild("BUTTON", "", BS_OWNERDRAW | WS_DISABLED, 290, 70, 23, 22, idBtnBack);
  rbDefault = GroupChild("BUTTON", "default background", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                         24, 27, 137, 17, idRbDefault);
  rbDesk = GroupChild("BUTTON", "desktop background", BS_AUTORADIOBUTTON | WS_TABSTOP, 160, 27, 177,
                      17, idRbDesk);
  rbUser = GroupChild("BUTTON", "select a picture as backgroud", BS_AUTORADIOBUTTON | WS_TABSTOP,
                      24, 51, 281, 17, idRbUser);
  SetWindowLongPtrA(rbDefault, GWLP_USERDATA, TagDefault);
  SetWindowLongPtrA(rbDesk, GWLP_USERDATA, TagDesktop);
  SetWindowLongPtrA(rbUser, GWLP_USERDATA, TagUser);
  SetChecked(rbDefault, true);
  ListCaption = Label("Pictures list to display in bubbles", GroupLeft + 24, GroupTop + 99, 0, 0,
                      idListCaption, FormFont);
  SetWindowLongPtrA(ListCaption, GWL_STYLE, GetWindowLongPtrA(ListCaption, GWL_STYLE) | WS_GROUP);
  lstBalls = GroupChild(
      "LISTBOX", "",
      LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_GROUP, 24, 120,
      257, 66, idLstBalls, WS_EX_CLIENTEDGE);
  btnBall = GroupChild("BUTTON", "", BS_OWNERDRAW | WS_GROUP, 288, 124, 23, 22, idBtnBall);
  SpeedButton1 = GroupChild("BUTTON", "", BS_OWNERDRAW, 288, 164, 23, 22, idSpeedButton1);
  cbAudio = add(MakeControl("BUTTON", "Sound open", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 248,
                            18, 113, 17, idCbAudio));
  tbBallSize = add(
      MakeControl(TRACKBAR_CLASSA, "",
                  TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP | WS_GROUP,
                  88, 74, 265, 25, idTbBallSize));
  SendMessageA(tbBallSize, TBM_SETRANGEMIN, FALSE, BallSizeMinimum);
  SendMessageA(tbBallSize, TBM_SETRANGEMAX, FALSE, BallSizeMaximum);
  SendMessageA(tbBallSize, TBM_SETTICFREQ, 1, 0);
  SendMessageA(tbBallSize, TBM_SETTHUMBLENGTH, Scaled(ThumbLength), 0);
  SendMessageA(tbBallSize, TBM_SETPOS, TRUE, BallSizeMinimum);
  ApplyFonts();
  Label5 = Label("Driver used:", 16, 20, 72, 12, idLabel5, FormFont);
  Label6 = Label("bubbles num", 16, 49, 66, 12, idLabel6, FormFont);
  Label7 = Label("Bubble size", 16, 79, 66, 12, idLabel7, FormFont);
  Label8 = Label("0.2", 91, 97, 0, 0, idLabel8, ScaleFont);
  Label9 = Label("1.0", 203, 97, 0, 0, idLabel9, ScaleFont);
  Label10 = Label("2.0", 339, 97, 0, 0, idLabel10, ScaleFont);
  AddTooltips();
}

void TFBallPara::ApplyFonts() {
  for (HWND control : Controls) SendMessageA(control, WM_SETFONT, WPARAM(FormFont), FALSE);
}

void TFBallPara::AddTooltips() {
  Tooltips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (!Tooltips) return;
  const std::pair<HWND, const char*> tips[] = {
      {btnBack, "select a picture"},
      {btnBall, "add a picture to list"},
      {SpeedButton1, "delete the selected picture from list"}};
  for (const auto& [button, text] : tips) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<char*>(text);
    SendMessageA(Tooltips, TTM_ADDTOOLA, 0, LPARAM(&tool));
  }
  SendMessageA(Tooltips, TTM_ACTIVATE, TRUE, 0);
}

void TFBallPara::FormShow() {
  // The first control in tab order has the focus, as in any dialog.
  if (btnOk) ::SetFocus(btnOk);
}

void TFBallPara::FormClose(TCloseAction& action) {
  action = caFree;
}

DialogControls TFBallPara::ControlStates() {
  DialogControls controls;
  const LRESULT item = SendMessageA(cbDriver, CB_GETCURSEL, 0, 0);
  controls.DriverItem = item == 1 ? 1 : 0;
  controls.DriverChanged = DriverChanged;
  controls.BallsCount = edBallNums.Value();
  controls.ShowShadow = Checked(cbxShadow);
  controls.BallSize = static_cast<int32_t>(SendMessageA(tbBallSize, TBM_GETPOS, 0, 0));
  controls.SoundOpen = Checked(cbAudio);
  if (Checked(rbDefault)) {
    controls.CheckedTag = TagDefault;
  } else if (Checked(rbDesk)) {
    controls.CheckedTag = TagDesktop;
  } else {
    controls.CheckedTag = TagUser;
  }
  controls.BackPicText = WindowText(edtBack);
  controls.Pictures = ListItems(lstBalls);
  return controls;
}

void TFBallPara::AddListItem(const std::string& text) {
  SendMessageA(lstBalls, LB_ADDSTRING, 0, LPARAM(text.c_str()));
  UpdateListExtent();
}

// Long paths scroll sideways instead of being cut off.
void TFBallPara::UpdateListExtent() {
  HDC dc = GetDC(lstBalls);
  HGDIOBJ previous = SelectObject(dc, FormFont);
  LONG widest = 0;
  for (const std::string& text : ListItems(lstBalls)) {
    SIZE extent{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    widest = std::max(widest, extent.cx);
  }
  SelectObject(dc, previous);
  ReleaseDC(lstBalls, dc);
  SendMessageA(lstBalls, LB_SETHORIZONTALEXTENT, WPARAM(widest + 4), 0);
}

void TFBallPara::Command(int id, int code, HWND control) {
  switch (id) {
    case idBtnOk:
      if (code == BN_CLICKED) btnOkClick();
      break;
    case idBtnCancel:
      if (code == BN_CLICKED) btnCancelClick();
      break;
    case idCbDriver:
      if (code == CBN_SELCHANGE) cbDriverChange();
      break;
    case idEdBallNums:
      if (code == EN_KILLFOCUS) edBallNums.Normalise();
      break;
    case idRbDefault:
    case idRbDesk:
    case idRbUser:
      if (code == BN_CLICKED) rbDefaultClick(control);
      break;
    case idBtnBack:
      if (code == BN_CLICKED) btnBackClick();
      break;
    case idBtnBall:
      if (code == BN_CLICKED) btnBallClick();
      break;
    case idSpeedButton1:
      if (code == BN_CLICKED) SpeedButton1Click();
      break;
  }
}

bool TFBallPara::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_DRAWITEM:
      if (DrawGlyphButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_DPICHANGED:
      ChangeDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      result = 0;
      return true;
    case DM_GETDEFID:
      result = MAKELONG(idBtnOk, DC_HASDEFID);
      return true;
    case WM_ACTIVATE:
      // Keep the focused control across a switch to another window and back (an error
      // box, the open dialog), as the dialog manager does for dialogs.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) FocusedControl = focus;
        return false;
      }
      if (FocusedControl && IsWindow(FocusedControl) && IsWindowEnabled(FocusedControl)) {
        ::SetFocus(FocusedControl);
        result = 0;
        return true;
      }
      return false;
  }
  return false;
}

bool TFBallPara::DrawGlyphButton(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == btnBack || item.hwndItem == btnBall) {
    DrawSpeedButton(item, PictureGlyph, PictureGlyphGreyed);
    return true;
  }
  if (item.hwndItem == SpeedButton1) {
    DrawSpeedButton(item, CrossGlyph, CrossGlyphGreyed);
    return true;
  }
  return false;
}

void TFBallPara::cbDriverChange() {
  DriverChanged = true;
}

void TFBallPara::rbDefaultClick(HWND sender) {
  const auto tag = static_cast<int32_t>(GetWindowLongPtrA(sender, GWLP_USERDATA));
  const bool enable = PictureEditEnabled(tag);
  EnableWindow(edtBack, enable);
  EnableWindow(btnBack, enable);
}

void TFBallPara::btnBackClick() {
  if (OpenPictureDialog1.Execute(Handle())) {
    SetWindowTextA(edtBack, OpenPictureDialog1.FileName().c_str());
  }
}

void TFBallPara::btnBallClick() {
  if (OpenPictureDialog1.Execute(Handle())) AddListItem(OpenPictureDialog1.FileName());
}

void TFBallPara::SpeedButton1Click() {
  const LRESULT selected = SendMessageA(lstBalls, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR) return;
  SendMessageA(lstBalls, LB_DELETESTRING, WPARAM(selected), 0);
  UpdateListExtent();
}

// A registry error leaves this handler before Close: the framework's guard around the
// command reports it, what was written stays written, and the form stays open.
void TFBallPara::btnOkClick() {
  ApplySave(Store, PlanSave(ControlStates()));
  Close();
}

void TFBallPara::btnCancelClick() {
  Close();
}
