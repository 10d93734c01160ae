// Private to src/platform/dialogs/*.cpp: what the scripted and GTK backends share.
#pragma once

#include "platform/dialogs/dialogs.h"

namespace ktfolio::win::dialogs {

// Writes a chosen printer into the dialog's blocks: the DEVMODE's device name
// and a DEVNAMES of driver "winspool", the device and its port.
void ChoosePrinter(PRINTDLG& pd, const std::string& printer);

// GTK's print dialog over the caller's values: 1 OK, 0 cancelled; -1 when GTK
// is not the window backend (the caller then cancels).
int RunGtkPrintDialog(PRINTDLG& pd);
void ResetPrintDlgScript();
void SetCommDlgExtendedError(DWORD code);

// The other dialogs on GTK, over the caller's records: 1 OK, 0 cancelled,
// -1 when GTK is not the window backend.
int RunGtkColorDialog(CHOOSECOLOR& cc);
int RunGtkFontDialog(CHOOSEFONT& cf);
int RunGtkFileDialog(OPENFILENAME& ofn, bool save);
int RunGtkHelp(HWND owner, const std::string& text);

}  // namespace ktfolio::win::dialogs
