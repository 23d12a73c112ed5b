#include "framework/win/form.h"

#include <commctrl.h>
#include <windowsx.h>

#include "framework/win/error_report.h"
#include "framework/win/procedure.h"

namespace {

constexpr UINT_PTR NoMenu = 0;

void RegisterFormClass() {
  static bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = FormWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = FormWindowClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
}

RECT WorkArea() {
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}

// The form RunMainForm runs; the application ends when it closes.
TForm* MainForm = nullptr;

// A message sent by another process (a button pressed through BM_CLICK, a WM_CLOSE) is
// handled inside GetMessageA, which then goes on waiting: a posted message of no meaning
// lets the main loop look at its form again.
void WakeMainLoop() {
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

bool MainFormOpen(const TForm& form) {
  return form.HandleAllocated() && form.Visible();
}

}  // namespace

TShiftState ShiftStateFromKeyboard() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

TShiftState ShiftStateFromMouse(WPARAM wParam) {
  TShiftState shift = 0;
  if (wParam & MK_SHIFT) shift |= ssShift;
  if (wParam & MK_CONTROL) shift |= ssCtrl;
  if (wParam & MK_LBUTTON) shift |= ssLeft;
  if (wParam & MK_RBUTTON) shift |= ssRight;
  if (wParam & MK_MBUTTON) shift |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

UINT ButtonDownMessage(TMouseButton button) {
  static constexpr UINT Messages[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  return Messages[button];
}

TForm::TForm(TForm* owner) : Owner(owner), BackColor(GetSysColor(COLOR_BTNFACE)) {}

TForm::~TForm() {
  if (Window) {
    // Detached first: the messages DestroyWindow sends must not reach a form whose
    // derived part is already gone.
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
    Window = nullptr;
  }
  if (BackBrush) DeleteObject(BackBrush);
}

void TForm::Create() {
  if (Created) return;
  Created = true;
  GuardedCall([this] { FormCreate(); });
}

TForm* TForm::FromHandle(HWND window) {
  char name[32] = {};
  if (!window || !GetClassNameA(window, name, sizeof name)) return nullptr;
  if (lstrcmpA(name, FormWindowClass) != 0) return nullptr;
  return reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

DWORD TForm::StyleBits() const {
  DWORD style = WS_CLIPCHILDREN;
  if (Parent) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
  } else if (Border == bsNone) {
    style |= WS_POPUP;
  }
  if (Border == bsSizeable) style |= WS_OVERLAPPEDWINDOW;
  if (Border == bsDialog) style |= WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  if (IsShown) style |= WS_VISIBLE;
  return style;
}

DWORD TForm::ExStyleBits() const {
  DWORD exStyle = 0;
  if (StayOnTop && !Parent) exStyle |= WS_EX_TOPMOST;
  if (Border == bsDialog) exStyle |= WS_EX_DLGMODALFRAME;
  return exStyle;
}

HWND TForm::Handle() {
  if (Window) return Window;
  RegisterFormClass();
  HWND owner = (!Parent && Owner) ? Owner->Handle() : nullptr;
  // WM_NCCREATE stores this form in the window before any other message arrives.
  CreateWindowExA(ExStyleBits(), FormWindowClass, Text.c_str(), StyleBits() & ~WS_VISIBLE,
                  Bounds.left, Bounds.top, Width(), Height(), Parent ? Parent : owner,
                  reinterpret_cast<HMENU>(NoMenu), GetModuleHandleA(nullptr), this);
  return Window;
}

void TForm::ApplyStyles() {
  if (!Window) return;
  DWORD visible = GetWindowLongA(Window, GWL_STYLE) & WS_VISIBLE;
  SetWindowLongA(Window, GWL_STYLE, static_cast<LONG>((StyleBits() & ~WS_VISIBLE) | visible));
  // Extended bits a derived form added itself (layered, transparent) stay; the topmost
  // band changes only through SetWindowPos.
  DWORD exStyle = GetWindowLongA(Window, GWL_EXSTYLE) & ~WS_EX_DLGMODALFRAME;
  exStyle |= ExStyleBits() & ~WS_EX_TOPMOST;
  SetWindowLongA(Window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
  UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  HWND band = StayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
  if (Parent) flags |= SWP_NOZORDER;
  SetWindowPos(Window, Parent ? nullptr : band, 0, 0, 0, 0, flags);
}

void TForm::SetParentWindow(HWND parent) {
  Parent = parent;
  if (!Window) return;
  // The style goes first: SetParent on a window without WS_CHILD keeps it top-level.
  ApplyStyles();
  SetParent(Window, parent);
}

void TForm::SetCaption(const std::string& caption) {
  Text = caption;
  if (Window) SetWindowTextA(Window, Text.c_str());
}

void TForm::SetBounds(int left, int top, int width, int height) {
  Bounds = RECT{left, top, left + width, top + height};
  if (Window) MoveWindow(Window, left, top, width, height, TRUE);
}

int TForm::ClientWidth() {
  RECT client{};
  GetClientRect(Handle(), &client);
  return client.right;
}

int TForm::ClientHeight() {
  RECT client{};
  GetClientRect(Handle(), &client);
  return client.bottom;
}

void TForm::SetBorderStyle(TBorderStyle style) {
  Border = style;
  ApplyStyles();
}

void TForm::SetStayOnTop(bool on) {
  StayOnTop = on;
  ApplyStyles();
}

void TForm::SetColor(COLORREF color) {
  BackColor = color;
  if (BackBrush) DeleteObject(BackBrush);
  BackBrush = nullptr;
  if (Window) InvalidateRect(Window, nullptr, TRUE);
}

void TForm::ApplyWindowState() {
  if (State != wsMaximized) return;
  RECT area{};
  if (Parent) {
    GetClientRect(Parent, &area);
  } else {
    area = WorkArea();
  }
  SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

void TForm::Show() {
  if (!Handle()) return;
  IsShown = true;
  ApplyWindowState();
  ShowWindow(Window, Parent ? SW_SHOWNA : SW_SHOW);
  GuardedCall([this] { FormShow(); });
}

void TForm::Hide() {
  IsShown = false;
  if (Window) ShowWindow(Window, SW_HIDE);
  if (this == MainForm) WakeMainLoop();
}

void TForm::SetFocus() {
  if (Handle()) ::SetFocus(Window);
}

void TForm::Close() {
  TCloseAction action = caHide;
  if (!GuardedCall([&] { FormClose(action); })) return;
  if (action == caHide) Hide();
  if (action == caFree && Window) DestroyWindow(Window);
}

HWND TForm::CreateControl(const char* windowClass, const char* text, DWORD style, int x, int y,
                          int width, int height, int id, DWORD exStyle) {
  HWND control = CreateWindowExA(exStyle, windowClass, text, style | WS_CHILD | WS_VISIBLE, x, y,
                                 width, height, Handle(), reinterpret_cast<HMENU>(INT_PTR{id}),
                                 GetModuleHandleA(nullptr), nullptr);
  if (control) SendMessageA(control, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
  return control;
}

void TForm::RememberBounds() {
  GetWindowRect(Window, &Bounds);
  // A child's bounds are in its parent's client coordinates.
  if (Parent) MapWindowPoints(HWND_DESKTOP, Parent, reinterpret_cast<POINT*>(&Bounds), 2);
}

void TForm::WindowDestroyed() {
  GuardedCall([this] { FormDestroy(); });
  SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
  Window = nullptr;
  IsShown = false;
  if (this == MainForm) WakeMainLoop();
}

bool TForm::DispatchInput(UINT message, WPARAM wParam, LPARAM lParam) {
  int x = GET_X_LPARAM(lParam);
  int y = GET_Y_LPARAM(lParam);
  TShiftState shift = ShiftStateFromMouse(wParam);
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      WORD key = static_cast<WORD>(wParam);
      KeyDown(key, ShiftStateFromKeyboard());
      return key == 0;
    }
    case WM_MOUSEMOVE:
      MouseMove(shift, x, y);
      return false;
    case WM_LBUTTONDOWN:
      MouseDown(mbLeft, shift, x, y);
      return false;
    case WM_RBUTTONDOWN:
      MouseDown(mbRight, shift, x, y);
      return false;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle, shift, x, y);
      return false;
    case WM_LBUTTONDBLCLK:
      MouseDown(mbLeft, shift | ssDouble, x, y);
      return false;
    case WM_LBUTTONUP:
      MouseUp(mbLeft, shift, x, y);
      return false;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      return false;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      return false;
    default:
      return false;
  }
}

LRESULT TForm::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = Window;
  switch (message) {
    case WM_ERASEBKGND: {
      if (!BackBrush) BackBrush = CreateSolidBrush(BackColor);
      RECT client{};
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, BackBrush);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      GuardedCall([&] { Paint(dc); });
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SIZE:
      GuardedCall([this] { Resize(); });
      break;
    case WM_WINDOWPOSCHANGED:
      RememberBounds();
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // a log-off is never held up
    case WM_ENDSESSION:
      // The session ends: the main form goes as by its close box, but without its close
      // handler, which could ask or report something while the system is waiting.
      if (wParam && this == MainForm) DestroyWindow(window);
      return 0;
    case WM_COMMAND:
      GuardedCall([&] { Command(LOWORD(wParam), HIWORD(wParam), HWND(lParam)); });
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      GuardedCall([&] { Scroll(HWND(lParam), LOWORD(wParam)); });
      return 0;
    default: {
      bool swallowed = false;
      GuardedCall([&] { swallowed = DispatchInput(message, wParam, lParam); });
      if (swallowed) return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->Window = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  TForm* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  bool handled = false;
  GuardedCall([&] { handled = form->HandleMessage(message, wParam, lParam, result); });
  if (handled) return result;
  if (message == WM_DESTROY) {
    form->WindowDestroyed();
    return 0;
  }
  return form->Dispatch(message, wParam, lParam);
}

// The real parent, never the owner: keys of an owned window (a message box) are not
// the form's.
static HWND ParentOfChild(HWND window) {
  if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return nullptr;
  return GetAncestor(window, GA_PARENT);
}

bool PreTranslateFormMessage(MSG& message) {
  if (!IsKeyMessage(message.message)) return false;
  for (HWND window = ParentOfChild(message.hwnd); window; window = ParentOfChild(window)) {
    TForm* form = TForm::FromHandle(window);
    if (!form || !form->KeyPreview()) continue;
    bool swallowed = false;
    GuardedCall([&] { swallowed = form->DispatchInput(message.message, message.wParam, 0); });
    return swallowed;
  }
  return false;
}

void InitApplication() {
  static bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    // comctl32 is loaded here, by the dialog, not by every run.
    const auto init =
        LibraryProcedure<decltype(&InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    return init && init(&controls) != 0;
  }();
  (void)done;
}

void RunMainForm(TForm& form) {
  MainForm = &form;
  form.Show();
  MSG message{};
  while (MainFormOpen(form) && GetMessageA(&message, nullptr, 0, 0) > 0) {
    // Closed by a message sent to it while GetMessageA waited; Handle() would make a new
    // window for the dialog test below.
    if (!MainFormOpen(form)) break;
    if (PreTranslateFormMessage(message)) continue;
    if (IsDialogMessageA(form.Handle(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  MainForm = nullptr;
}
