// TOpenPictureDialog: the platform's open-file dialog for pictures, with a preview pane
// below the standard controls that shows the selected file shrunk to fit. One object keeps
// its OPENFILENAME and file buffer, so every run starts at the file chosen last.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>

#include <array>
#include <string>
#include <vector>

class TOpenPictureDialog {
 public:
  TOpenPictureDialog();
  ~TOpenPictureDialog();
  TOpenPictureDialog(const TOpenPictureDialog&) = delete;
  TOpenPictureDialog& operator=(const TOpenPictureDialog&) = delete;

  // Runs the dialog owned by owner; true when the user confirmed a file.
  bool Execute(HWND owner);
  std::string FileName() const { return Buffer.data(); }

 private:
  static UINT_PTR CALLBACK HookProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  void ShowPreviewOf(HWND dialog);
  void DrawPreview(const DRAWITEMSTRUCT& item);
  void DropPreview();

  std::string Filter;
  std::array<char, 4096> Buffer{};  // the chosen file, kept for the next run
  HGLOBAL Template = nullptr;       // the preview pane, a child dialog in memory
  OPENFILENAMEA Dialog{};
  HBITMAP Preview = nullptr;
  SIZE PreviewSize{};
};
