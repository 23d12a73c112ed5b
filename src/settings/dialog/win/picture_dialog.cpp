#include "settings/dialog/win/picture_dialog.h"

#include <cstring>

#include "framework/win/dib.h"
#include "framework/win/procedure.h"
#include "settings/dialog/dialog_core.h"
#include "settings/dialog/picture_preview.h"

namespace {

constexpr WORD PreviewId = 0x5301;
// The pane in dialog units: the system places a child template below its own controls.
constexpr short PaneWidth = 200, PaneHeight = 88;
constexpr short PreviewLeft = 6, PreviewTop = 2, PreviewWidth = 110, PreviewHeight = 72;

void Append(std::vector<WORD>& words, DWORD value) {
  words.push_back(LOWORD(value));
  words.push_back(HIWORD(value));
}

// DLGTEMPLATE and one DLGITEMTEMPLATE, as the dialog manager reads them from memory.
std::vector<WORD> PaneTemplate() {
  std::vector<WORD> words;
  Append(words, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL);
  Append(words, 0);    // extended style
  words.push_back(1);  // one item
  for (short value : {short(0), short(0), PaneWidth, PaneHeight}) words.push_back(WORD(value));
  words.push_back(0);                             // no menu
  words.push_back(0);                             // default class
  words.push_back(0);                             // no title
  if (words.size() % 2 != 0) words.push_back(0);  // items are DWORD aligned
  Append(words, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW);
  Append(words, WS_EX_STATICEDGE);
  for (short value : {PreviewLeft, PreviewTop, PreviewWidth, PreviewHeight}) {
    words.push_back(WORD(value));
  }
  words.push_back(PreviewId);
  words.push_back(0xFFFF);  // a predefined class follows
  words.push_back(0x0082);  // static
  words.push_back(0);       // no text
  words.push_back(0);       // no creation data
  return words;
}

HBITMAP BitmapOf(const PixelImage& image) {
  void* bits = nullptr;
  HBITMAP bitmap = CreateTopDownDib(nullptr, image.Width(), image.Height(), 24, bits);
  if (!bitmap) return nullptr;
  // Both are rows of 24-bit pixels padded to 4 bytes.
  std::memcpy(bits, image.Row(0), image.Stride() * static_cast<size_t>(image.Height()));
  GdiFlush();
  return bitmap;
}

uint32_t Rgb(COLORREF colour) {
  return (uint32_t{GetRValue(colour)} << 16) | (uint32_t{GetGValue(colour)} << 8) |
         GetBValue(colour);
}

}  // namespace

TOpenPictureDialog::TOpenPictureDialog() : Filter(PictureFilter()) {
  // A fixed block: its handle is its address, so the system may read it either way.
  const std::vector<WORD> pane = PaneTemplate();
  Template = GlobalAlloc(GMEM_FIXED, pane.size() * sizeof(WORD));
  if (Template) std::memcpy(Template, pane.data(), pane.size() * sizeof(WORD));
  Dialog.lStructSize = sizeof(Dialog);
  Dialog.lpstrFilter = Filter.c_str();
  Dialog.nFilterIndex = 1;
  Dialog.lpstrFile = Buffer.data();
  Dialog.nMaxFile = static_cast<DWORD>(Buffer.size());
  Dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY |
                 OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (Template) Dialog.Flags |= OFN_ENABLETEMPLATEHANDLE;
  Dialog.lpfnHook = HookProc;
  Dialog.lCustData = reinterpret_cast<LPARAM>(this);
}

TOpenPictureDialog::~TOpenPictureDialog() {
  DropPreview();
}

bool TOpenPictureDialog::Execute(HWND owner) {
  Dialog.hwndOwner = owner;
  Dialog.hInstance = static_cast<HINSTANCE>(Template);
  const std::string previous = Buffer.data();
  // comdlg32 brings shell32 and more: loaded when the dialog is asked for, not by every run.
  static const auto open =
      LibraryProcedure<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
  const bool chosen = open && open(&Dialog) != FALSE;
  if (!chosen) {
    // A cancelled run or a too-long name must not leave a half-written buffer behind.
    std::strncpy(Buffer.data(), previous.c_str(), Buffer.size() - 1);
    Buffer.back() = '\0';
  }
  DropPreview();
  return chosen;
}

void TOpenPictureDialog::DropPreview() {
  if (Preview) DeleteObject(Preview);
  Preview = nullptr;
  PreviewSize = {};
}

void TOpenPictureDialog::ShowPreviewOf(HWND dialog) {
  DropPreview();
  HWND pane = GetDlgItem(dialog, PreviewId);
  if (!pane) return;
  std::array<char, MAX_PATH * 4> path{};
  const LRESULT length = SendMessageA(GetParent(dialog), CDM_GETFILEPATH,
                                      static_cast<WPARAM>(path.size()), LPARAM(path.data()));
  const DWORD attributes = length > 0 ? GetFileAttributesA(path.data()) : INVALID_FILE_ATTRIBUTES;
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    RECT box{};
    GetClientRect(pane, &box);
    if (auto image = LoadPreviewImage(path.data(), box.right - 2, box.bottom - 2,
                                      Rgb(GetSysColor(COLOR_BTNFACE)))) {
      Preview = BitmapOf(*image);
      PreviewSize = {image->Width(), image->Height()};
    }
  }
  InvalidateRect(pane, nullptr, TRUE);
}

void TOpenPictureDialog::DrawPreview(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  if (!Preview) return;
  const int x = (item.rcItem.right - item.rcItem.left - PreviewSize.cx) / 2;
  const int y = (item.rcItem.bottom - item.rcItem.top - PreviewSize.cy) / 2;
  HDC source = CreateCompatibleDC(item.hDC);
  HGDIOBJ previous = SelectObject(source, Preview);
  BitBlt(item.hDC, item.rcItem.left + x, item.rcItem.top + y, PreviewSize.cx, PreviewSize.cy,
         source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

UINT_PTR CALLBACK TOpenPictureDialog::HookProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const auto* dialogData = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, dialogData->lCustData);
    return TRUE;
  }
  auto* self = reinterpret_cast<TOpenPictureDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  if (message == WM_NOTIFY) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == CDN_SELCHANGE || header->code == CDN_INITDONE) self->ShowPreviewOf(dialog);
    return FALSE;
  }
  if (message == WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != PreviewId) return FALSE;
    self->DrawPreview(*item);
    return TRUE;
  }
  return FALSE;
}
