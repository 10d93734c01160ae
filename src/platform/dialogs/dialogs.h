// Common dialogs, Win32-shaped: the printer dialog (PrintDlg). Answers come
// from a script a host or test queues; with nothing queued, a host that uses
// the GTK window backend gets GTK's print dialog, any other host a cancel.
#pragma once

#include <string>
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
void ResetDialogScripts();

}  // namespace dialogs
}  // namespace ktfolio::win
