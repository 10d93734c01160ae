// Common dialogs, Win32-shaped: colour, font, open, save and printer dialogs
// and the help viewer. Answers come from a script a host or test queues; with
// nothing queued, a host that uses the GTK window backend gets GTK's dialogs,
// any other host a cancel.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/spooler/spooler.h"

namespace ktfolio::win {

// The printer names block: offsets (in characters from the block's start) of
// the driver, device and port names, each ended by NUL, in `names`.
struct DEVNAMES {
  WORD wDriverOffset = 0;
  WORD wDeviceOffset = 0;
  WORD wOutputOffset = 0;
  WORD wDefault = 0;
  char names[100] = {};
};
static_assert(sizeof(DEVNAMES) == 108);

// Flags
constexpr DWORD PD_NOSELECTION = 0x4;
constexpr DWORD PD_PAGENUMS = 0x2;
constexpr DWORD PD_USEDEVMODECOPIES = 0x40000;
constexpr DWORD PD_HIDEPRINTTOFILE = 0x100000;
constexpr DWORD PD_RETURNDC = 0x100;

// hDevMode and hDevNames are the caller's blocks (either may be null); the
// dialog writes the user's choices back into them and into the page fields.
struct PRINTDLG {
  DWORD lStructSize = 66;
  HWND hwndOwner = nullptr;
  DEVMODE* hDevMode = nullptr;
  DEVNAMES* hDevNames = nullptr;
  HDC hDC = nullptr;
  DWORD Flags = 0;
  WORD nFromPage = 0;
  WORD nToPage = 0;
  WORD nMinPage = 0;
  WORD nMaxPage = 0;
  WORD nCopies = 0;
  HINSTANCE hInstance = nullptr;
};

// 1 when the user pressed OK, 0 when cancelled (CommDlgExtendedError then 0).
BOOL PrintDlg(PRINTDLG* pd);
DWORD CommDlgExtendedError();

// ---- colour ---------------------------------------------------------------------
constexpr DWORD CC_RGBINIT = 0x1;
constexpr DWORD CC_FULLOPEN = 0x2;
constexpr DWORD CC_ANYCOLOR = 0x100;

// lpCustColors points at the caller's 16 custom colours.
struct CHOOSECOLOR {
  DWORD lStructSize = 36;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  COLORREF rgbResult = 0;
  COLORREF* lpCustColors = nullptr;
  DWORD Flags = 0;
};
BOOL ChooseColor(CHOOSECOLOR* cc);

// ---- font -----------------------------------------------------------------------
constexpr DWORD CF_SCREENFONTS = 0x1;
constexpr DWORD CF_PRINTERFONTS = 0x2;
constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x40;
constexpr DWORD CF_EFFECTS = 0x100;
constexpr DWORD CF_FORCEFONTEXIST = 0x10000;

// lpLogFont is the caller's record: it gives the start font and receives the
// choice; iPointSize is in tenths of a point.
struct CHOOSEFONT {
  DWORD lStructSize = 60;
  HWND hwndOwner = nullptr;
  HDC hDC = nullptr;
  LOGFONT* lpLogFont = nullptr;
  INT iPointSize = 0;
  DWORD Flags = 0;
  COLORREF rgbColors = 0;
  HINSTANCE hInstance = nullptr;
};
BOOL ChooseFont(CHOOSEFONT* cf);

// ---- open and save --------------------------------------------------------------
constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

// lpstrFilter: pairs of description and pattern, each ended by NUL, the list
// ended by a second NUL. lpstrFile and lpstrFileTitle are the caller's buffers
// of nMaxFile and nMaxFileTitle bytes, NUL-terminated.
struct OPENFILENAME {
  DWORD lStructSize = 76;
  HWND hwndOwner = nullptr;
  HINSTANCE hInstance = nullptr;
  const char* lpstrFilter = nullptr;
  DWORD nFilterIndex = 0;
  char* lpstrFile = nullptr;
  DWORD nMaxFile = 0;
  char* lpstrFileTitle = nullptr;
  DWORD nMaxFileTitle = 0;
  const char* lpstrInitialDir = nullptr;
  const char* lpstrTitle = nullptr;
  DWORD Flags = 0;
  const char* lpstrDefExt = nullptr;
};
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);

// ---- help -----------------------------------------------------------------------
constexpr UINT HELP_CONTEXT = 0x1;
constexpr UINT HELP_QUIT = 0x2;
constexpr UINT HELP_CONTENTS = 0x3;
// Shows the help file's topic as a message; TRUE when shown.
BOOL WinHelp(HWND owner, const char* helpFile, UINT command, std::uintptr_t data);

// ===========================================================================================
// Platform extensions (no Win32 counterpart): the script.
// ===========================================================================================
namespace dialogs {

// One answer to the next printer dialog. Fields left at their defaults keep
// what the dialog was shown with.
struct PrintDlgAnswer {
  bool ok = true;
  std::string printer;
  int fromPage = -1;
  int toPage = -1;
  int copies = -1;
  int orientation = -1;  // 1 portrait, 2 landscape
};
void QueuePrintDlgAnswer(const PrintDlgAnswer& answer);
inline void QueuePrintDlgCancel() {
  PrintDlgAnswer cancel;
  cancel.ok = false;
  QueuePrintDlgAnswer(cancel);
}

// The printer dialog as a set of properties: set them, call ShowPrinter, read
// the choices back when APIReturn is 1 (Orientation 1 portrait, 2 landscape).
struct PrinterDialog {
  HDC hdc = nullptr;
  HINSTANCE hInstance = nullptr;
  HWND hwnd = nullptr;
  std::string PrinterName;
  int Orientation = DMORIENT_PORTRAIT;
  int Min = 0, Max = 0, FromPage = 0, ToPage = 0, Copies = 1, Duplex = 0;
  DWORD flags = 0;
  int APIReturn = 0;
  DWORD ExtendedError = 0;
  void ShowPrinter();
};

// What each printer dialog was shown with.
struct PrintDlgCall {
  std::string printer;  // the device name of the DEVMODE
  DWORD flags = 0;
  int fromPage = 0, toPage = 0, minPage = 0, maxPage = 0, copies = 0, orientation = 0;
  bool hadDC = false;
};
const std::vector<PrintDlgCall>& PrintDlgLog();
int PendingPrintDlgAnswers();

// One answer to the next colour, font, open or save dialog: `kind` is
// "color", "font", "open" or "save"; `values` are named as the common dialog's
// properties (Color; FontName, FontSize, FontBold, FontItalic, FontUnderline,
// FontStrikethru; FileName, FileTitle, FilterIndex). What is not named keeps
// what the dialog was shown with.
struct DialogAnswer {
  std::string kind;
  bool ok = true;
  std::vector<std::pair<std::string, std::string>> values;  // name -> value as text
  const std::string* Value(const std::string& name) const;
};
void QueueDialogAnswer(DialogAnswer answer);
// The kinds still queued, oldest first ("printer" for printer answers).
std::vector<std::string> PendingDialogAnswers();

// What each colour, font, open or save dialog was shown with: the kind, its
// flags and the record's fields as text ("rgbResult", "lfFaceName",
// "lpstrFilter" with NULs as "\0", "nMaxFile", "lpstrFile" ...).
struct DialogCall {
  std::string kind;
  DWORD flags = 0;
  std::vector<std::pair<std::string, std::string>> fields;
  std::string Field(const std::string& name) const;
};
const std::vector<DialogCall>& DialogLog();
void ResetDialogScripts();

}  // namespace dialogs
}  // namespace ktfolio::win
