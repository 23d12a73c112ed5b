#include "settings/dialog/win/spin_edit.h"

#include <commctrl.h>

#include <string>

#include "framework/win/procedure.h"

namespace {

constexpr UINT_PTR SubclassId = 1;
constexpr int ButtonsWidth = 15;

// comctl32 is looked up by the dialog, not imported by every run of the program.
BOOL SubclassEdit(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
  static const auto set =
      LibraryProcedure<decltype(&SetWindowSubclass)>("comctl32.dll", "SetWindowSubclass");
  return set ? set(window, procedure, id, data) : FALSE;
}

BOOL RemoveEditSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
  static const auto remove =
      LibraryProcedure<decltype(&RemoveWindowSubclass)>("comctl32.dll", "RemoveWindowSubclass");
  return remove ? remove(window, procedure, id) : FALSE;
}

LRESULT DefaultEditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const auto next =
      LibraryProcedure<decltype(&DefSubclassProc)>("comctl32.dll", "DefSubclassProc");
  return next ? next(window, message, wParam, lParam)
              : DefWindowProcA(window, message, wParam, lParam);
}

std::string WindowText(HWND window) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

TSpinEdit::~TSpinEdit() {
  if (Edit && IsWindow(Edit)) RemoveEditSubclass(Edit, EditProc, SubclassId);
}

void TSpinEdit::Create(HWND parent, int x, int y, int width, int height, int id) {
  Edit = CreateWindowExA(
      WS_EX_CLIENTEDGE, "EDIT", "0",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | WS_CLIPCHILDREN | ES_AUTOHSCROLL, x, y, width,
      height, parent, reinterpret_cast<HMENU>(INT_PTR{id}), GetModuleHandleA(nullptr), nullptr);
  if (!Edit) return;
  // No buddy: a buddy would be resized and would take its value from the control; the
  // buttons only report clicks here and the edit keeps the value.
  UpDown = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 0, 0, ButtonsWidth, height,
                           Edit, nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(UpDown, UDM_SETRANGE32, SpinMinimum, SpinMaximum);
  SubclassEdit(Edit, EditProc, SubclassId, reinterpret_cast<DWORD_PTR>(this));
  PlaceButtons();
}

void TSpinEdit::PlaceButtons() {
  RECT client{};
  GetClientRect(Edit, &client);
  SetWindowPos(UpDown, nullptr, client.right - ButtonsWidth, 0, ButtonsWidth, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(Edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, ButtonsWidth + 1));
}

int32_t TSpinEdit::Value() {
  const SpinReading reading = ReadSpinText(WindowText(Edit));
  if (reading.TextWasEmpty) SetWindowTextA(Edit, SpinText(reading.Value).c_str());
  return reading.Value;
}

void TSpinEdit::SetValue(int32_t value) {
  const std::string text = SpinText(value);
  if (WindowText(Edit) != text) SetWindowTextA(Edit, text.c_str());
  SendMessageA(UpDown, UDM_SETPOS32, 0, ClampBallsCount(value));
}

void TSpinEdit::Step(int32_t step) {
  SetValue(StepSpinValue(Value(), step));
  SendMessageA(Edit, EM_SETSEL, 0, -1);
}

void TSpinEdit::Normalise() {
  SetValue(Value());
}

LRESULT TSpinEdit::HandleEdit(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_UP:
          Step(SpinKeyStep(SpinKey::Up));
          return 0;
        case VK_DOWN:
          Step(SpinKeyStep(SpinKey::Down));
          return 0;
        case VK_PRIOR:
          Step(SpinKeyStep(SpinKey::PageUp));
          return 0;
        case VK_NEXT:
          Step(SpinKeyStep(SpinKey::PageDown));
          return 0;
        case VK_DELETE:
          MessageBeep(0);
          return 0;
        case VK_INSERT:  // Shift+Insert pastes
          if (GetKeyState(VK_SHIFT) & 0x8000) {
            MessageBeep(0);
            return 0;
          }
          break;
      }
      break;
    case WM_CHAR:
      if (SpinRefusesCharacter(static_cast<unsigned>(wParam))) {
        MessageBeep(0);
        return 0;
      }
      break;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      MessageBeep(0);
      return 0;
    case WM_CONTEXTMENU:  // its Paste and Delete would bypass the messages above
      return 0;
    case WM_MOUSEWHEEL: {
      const int32_t step = Wheel.Consume(GET_WHEEL_DELTA_WPARAM(wParam),
                                         (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0);
      if (step != 0) Step(step);
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->hwndFrom == UpDown && header->code == UDN_DELTAPOS) {
        const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
        if (change->iDelta != 0) Step(change->iDelta > 0 ? SpinSmallStep : -SpinSmallStep);
        return 1;  // the edit holds the value; the control's own position is not used
      }
      break;
    }
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) == UpDown) return 0;
      break;
    case WM_SIZE:
      handled = false;
      PlaceButtons();
      return 0;
  }
  handled = false;
  return 0;
}

LRESULT CALLBACK TSpinEdit::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
  bool handled = false;
  const LRESULT result =
      reinterpret_cast<TSpinEdit*>(self)->HandleEdit(message, wParam, lParam, handled);
  if (handled) return result;
  if (message == WM_NCDESTROY) RemoveEditSubclass(window, EditProc, SubclassId);
  return DefaultEditProcedure(window, message, wParam, lParam);
}
