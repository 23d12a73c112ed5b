// TSpinEdit: an integer edit with up and down buttons whose value changes only by steps.
// The edit is subclassed: typing is refused with a beep, the arrow keys, Page Up/Down and
// the wheel step it; the up-down control lives inside the edit, at its right edge, so the
// pair has the outer size it was given.
#pragma once

#include <windows.h>

#include <cstdint>

#include "settings/dialog/dialog_core.h"

class TSpinEdit {
 public:
  TSpinEdit() = default;
  ~TSpinEdit();
  TSpinEdit(const TSpinEdit&) = delete;
  TSpinEdit& operator=(const TSpinEdit&) = delete;

  // The edit is made with CreateWindowExA as a child of parent with this id.
  void Create(HWND parent, int x, int y, int width, int height, int id);
  HWND Handle() const { return Edit; }
  // The edit was moved or resized: the buttons follow it.
  void Resized() {
    if (Edit) PlaceButtons();
  }
  HWND Buttons() const { return UpDown; }

  // The text read as a number, rounded and clamped; an empty text is first replaced by "0".
  int32_t Value();
  void SetValue(int32_t value);  // clamped into 0..100
  void Step(int32_t step);
  // Rewrites the text as the value it reads as (on leaving the edit).
  void Normalise();

 private:
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  LRESULT HandleEdit(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  void PlaceButtons();

  HWND Edit = nullptr;
  HWND UpDown = nullptr;
  SpinWheel Wheel;
};
