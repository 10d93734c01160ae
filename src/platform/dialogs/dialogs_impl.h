// Private to src/platform/dialogs/*.cpp: what the printer dialog's backends share.
#pragma once

#include "platform/dialogs/dialogs.h"

namespace ktfolio::win::dialogs {

// Writes a chosen printer into the dialog's blocks: the DEVMODE's device name
// and a DEVNAMES of driver "winspool", the device and its port.
void ChoosePrinter(PRINTDLG& pd, const std::string& printer);

// GTK's print dialog over the caller's values: 1 OK, 0 cancelled; -1 when GTK
// is not the window backend (the caller then cancels).
int RunGtkPrintDialog(PRINTDLG& pd);

}  // namespace ktfolio::win::dialogs
