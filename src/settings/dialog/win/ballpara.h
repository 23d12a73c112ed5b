// TFBallPara: the screen saver's settings dialog. It is filled from the loaded settings
// globals, lets the user change them, and on "Save" writes every value to the settings
// store and closes; it never changes the globals themselves.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/form.h"
#include "settings/dialog/dialog_core.h"
#include "settings/dialog/win/picture_dialog.h"
#include "settings/dialog/win/spin_edit.h"
#include "settings/settings.h"

// Control identifiers; Save and Cancel are the dialog manager's Enter and Escape.
enum BallParaControlId : int {
  idBtnOk = IDOK,
  idBtnCancel = IDCANCEL,
  idCbDriver = 100,
  idEdBallNums,
  idCbxShadow,
  idGroupBox1,
  idEdtBack,
  idBtnBack,
  idRbDefault,
  idRbDesk,
  idRbUser,
  idListCaption,
  idLstBalls,
  idBtnBall,
  idSpeedButton1,
  idCbAudio,
  idTbBallSize,
  idLabel5,
  idLabel6,
  idLabel7,
  idLabel8,
  idLabel9,
  idLabel10,
};

class TFBallPara : public TForm {
 public:
  explicit TFBallPara(SettingsStore& store = SystemSettingsStore());
  ~TFBallPara() override;

  bool DriverChanged = false;

  HWND Label5 = nullptr, cbDriver = nullptr, cbAudio = nullptr, Label6 = nullptr;
  TSpinEdit edBallNums;
  HWND cbxShadow = nullptr, Label7 = nullptr, tbBallSize = nullptr;
  HWND Label8 = nullptr, Label9 = nullptr, Label10 = nullptr;
  HWND GroupBox1 = nullptr, rbDefault = nullptr, rbDesk = nullptr, rbUser = nullptr;
  HWND edtBack = nullptr, btnBack = nullptr, ListCaption = nullptr, lstBalls = nullptr;
  HWND btnBall = nullptr, SpeedButton1 = nullptr, btnOk = nullptr, btnCancel = nullptr;
  TOpenPictureDialog OpenPictureDialog1;

  // The states the save reads, taken from the controls.
  DialogControls ControlStates();

 protected:
  void FormCreate() override;
  void FormClose(TCloseAction& action) override;
  void FormShow() override;
  void Command(int id, int code, HWND control) override;
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void cbDriverChange();
  void rbDefaultClick(HWND sender);
  void btnBackClick();
  void btnBallClick();
  void SpeedButton1Click();
  void btnOkClick();
  void btnCancelClick();

  void CreateControls();
  void CreateFonts();
  void ApplyFonts();
  void AddTooltips();
  HWND Label(const char* text, int x, int y, int width, int height, int id, HFONT font);
  // A control placed by the 96-dpi design, at this dialog's dpi; remembered for a relayout.
  HWND MakeControl(const char* windowClass, const char* text, DWORD style, int x, int y, int width,
                   int height, int id, DWORD exStyle = 0);
  int Scaled(int designPixels) const;
  void FitLabelToText(HWND label);
  // Moved to a monitor of another scale: fonts and every control again at the new dpi.
  void ChangeDpi(uint32_t dpi, const RECT& suggested);
  void LayOutControls();
  HWND GroupChild(const char* windowClass, const char* text, DWORD style, int x, int y, int width,
                  int height, int id, DWORD exStyle = 0);
  void CheckRadio(HWND radio);
  void FillControls(const DialogControls& controls);
  void AddListItem(const std::string& text);
  void UpdateListExtent();
  bool DrawGlyphButton(const DRAWITEMSTRUCT& item);

  SettingsStore& Store;
  HFONT FormFont = nullptr;   // "宋体" 12 px, or the system's dialog font
  HFONT ScaleFont = nullptr;  // "MS Serif" 8 px, or the same fallback
  bool OwnsFormFont = false, OwnsScaleFont = false;
  HWND Tooltips = nullptr;
  HBITMAP PictureGlyph = nullptr, PictureGlyphGreyed = nullptr;
  HBITMAP CrossGlyph = nullptr, CrossGlyphGreyed = nullptr;
  HICON BigIcon = nullptr, SmallIcon = nullptr;
  HWND FocusedControl = nullptr;
  std::vector<HWND> Controls;  // everything that takes the form's font
  // The dpi of the monitor the dialog is on; its design is at 96.
  uint32_t Dpi = 96;
  // The dpi the controls are laid out at: Dpi, or less where the work area is too small.
  uint32_t LayoutDpi = 96;
  struct DesignPlace {
    HWND Control;
    int X, Y, Width, Height;
  };
  std::vector<DesignPlace> Places;
  std::vector<HWND> ScaleLabels;  // the trackbar's scale, in ScaleFont
  std::vector<HWND> Labels;       // every label, sized to its text
};
