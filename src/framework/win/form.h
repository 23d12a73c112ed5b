// TForm: one window with the few form behaviours our scenes and the settings dialog need.
// A form is top-level (optionally owned by another form's window) or a child of any
// window (SetParentWindow). Its window is made on first use of Handle() or Show(), with
// the properties set so far; changing them later updates the live window.
//
// Life of a form:
//   auto form = CreateForm<TMyForm>(...);  // construct, then FormCreate (errors reported)
//   form->SetParentWindow(host); form->Show();
//   form->Close();                         // FormClose(action): caHide hides, caFree
//                                          // destroys the window, caNone keeps it shown
//   form.reset();                          // destroys the window if it still exists
// FormDestroy runs when the window is destroyed while the object lives (caFree, or the
// parent window being destroyed). The destructor detaches the window first, so no handler
// ever runs on a half-destroyed object: derived destructors release their own resources.
//
// Every handler runs inside the framework's guard: an exception is reported by
// ReportError and the message gets default processing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// The window procedure of every form window.
LRESULT CALLBACK FormWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

enum TBorderStyle { bsNone, bsSizeable, bsDialog };  // bsDialog: fixed frame with a caption
enum TCloseAction { caNone, caHide, caFree };
enum TWindowState { wsNormal, wsMaximized };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TShiftState = uint32_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;
inline constexpr TShiftState ssDouble = 64;

// Window class of every form; tests find forms by it.
inline constexpr char FormWindowClass[] = "VesperineForm";

class TForm {
 public:
  explicit TForm(TForm* owner = nullptr);  // owner: window owner of a top-level form
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  // Runs FormCreate once, guarded. CreateForm calls it; a constructor cannot, because
  // virtual calls do not reach the derived class there.
  void Create();

  HWND Handle();  // makes the window on first use; null if the platform refuses
  bool HandleAllocated() const { return Window != nullptr; }

  // Child of parent (WS_CHILD, positioned in the parent's client coordinates), or
  // top-level again with nullptr.
  void SetParentWindow(HWND parent);
  HWND ParentWindow() const { return Parent; }

  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return Text; }
  void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return Bounds; }
  int Width() const { return Bounds.right - Bounds.left; }
  int Height() const { return Bounds.bottom - Bounds.top; }
  int ClientWidth();
  int ClientHeight();
  void SetBorderStyle(TBorderStyle style);
  TBorderStyle BorderStyle() const { return Border; }
  // Maximized: the window rectangle becomes the parent's client area (a child) or the
  // work area (top-level), each time the form is shown; with bsNone the client is all of it.
  void SetWindowState(TWindowState state) { State = state; }
  TWindowState WindowState() const { return State; }
  void SetStayOnTop(bool on);  // WS_EX_TOPMOST for a top-level form
  void SetColor(COLORREF color);
  COLORREF Color() const { return BackColor; }
  // Key preview: KeyDown sees key presses meant for the form's child windows first;
  // setting the key to 0 there swallows it. Needs PreTranslateFormMessage in the loop.
  void SetKeyPreview(bool on) { PreviewKeys = on; }
  bool KeyPreview() const { return PreviewKeys; }

  void Show();
  void Hide();
  bool Visible() const { return IsShown; }
  void SetFocus();
  void Close();

  // For message-loop code: the form whose window is window (not its children), or null.
  static TForm* FromHandle(HWND window);

 protected:
  virtual void FormCreate() {}
  virtual void FormClose(TCloseAction& action) { (void)action; }
  virtual void FormDestroy() {}
  virtual void FormShow() {}
  virtual void KeyDown(WORD& key, TShiftState shift) { (void)key, (void)shift; }
  virtual void MouseMove(TShiftState shift, int x, int y) { (void)shift, (void)x, (void)y; }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    (void)button, (void)shift, (void)x, (void)y;
  }
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    (void)button, (void)shift, (void)x, (void)y;
  }
  virtual void Resize() {}
  // WM_PAINT, between BeginPaint and EndPaint. The background is already erased.
  virtual void Paint(HDC dc) { (void)dc; }
  // WM_COMMAND from a child control (id, notification code, control window).
  virtual void Command(int id, int code, HWND control) { (void)id, (void)code, (void)control; }
  // WM_HSCROLL / WM_VSCROLL from a child control such as a track bar.
  virtual void Scroll(HWND control, int code) { (void)control, (void)code; }
  // First look at every message; return true with result set to stop further handling.
  virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    (void)message, (void)wParam, (void)lParam, (void)result;
    return false;
  }

  // A child control of this form with the GUI font, e.g. CreateControl("BUTTON", "OK",
  // BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 75, 25, IDOK). WS_CHILD | WS_VISIBLE are added.
  HWND CreateControl(const char* windowClass, const char* text, DWORD style, int x, int y,
                     int width, int height, int id, DWORD exStyle = 0);

 private:
  friend LRESULT CALLBACK FormWindowProc(HWND, UINT, WPARAM, LPARAM);
  friend bool PreTranslateFormMessage(MSG& message);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool DispatchInput(UINT message, WPARAM wParam, LPARAM lParam);
  void ApplyStyles();
  void ApplyWindowState();
  void WindowDestroyed();
  void RememberBounds();
  DWORD StyleBits() const;
  DWORD ExStyleBits() const;

  TForm* Owner;
  HWND Window = nullptr;
  HWND Parent = nullptr;
  std::string Text;
  RECT Bounds{0, 0, 320, 240};
  TBorderStyle Border = bsSizeable;
  TWindowState State = wsNormal;
  bool StayOnTop = false;
  bool PreviewKeys = false;
  bool IsShown = false;
  bool Created = false;
  COLORREF BackColor;
  HBRUSH BackBrush = nullptr;
};

template <class Form, class... Args>
std::unique_ptr<Form> CreateForm(Args&&... args) {
  auto form = std::make_unique<Form>(std::forward<Args>(args)...);
  form->Create();
  return form;
}

// A full-screen scene's form: made, a child of the host window, shown and given the keys.
template <class Form>
std::unique_ptr<Form> CreateChildForm(HWND parent) {
  auto form = CreateForm<Form>();
  form->SetParentWindow(parent);
  form->Show();
  form->SetFocus();
  return form;
}

// Key preview hook for message loops: call before TranslateMessage; true means the
// message was swallowed by a form's KeyDown and must not be dispatched.
bool PreTranslateFormMessage(MSG& message);

// The shift state of a mouse message's wParam plus the Alt key's current state.
TShiftState ShiftStateFromMouse(WPARAM wParam);
// The shift state of the keyboard now (for key messages).
TShiftState ShiftStateFromKeyboard();
// A button's press as its window message (WM_LBUTTONDOWN for mbLeft): the scene forms pass
// presses on to the host window as it would have received them.
UINT ButtonDownMessage(TMouseButton button);

// The application: common controls (with the manifest's visual styles) once per process,
// and a main form run until it is closed: hidden or its window destroyed, by a posted or a
// sent message alike; at the end of the session it is destroyed without its close handler.
void InitApplication();
void RunMainForm(TForm& form);
