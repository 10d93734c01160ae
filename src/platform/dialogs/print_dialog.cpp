// PrintDlg: the scripted answers, the log of what was shown, and the printer
// blocks every backend fills the same way.
#include <cstring>
#include <deque>

#include "platform/dialogs/dialogs_impl.h"

namespace ktfolio::win {
namespace dialogs {
namespace {

constexpr DWORD kDmDuplex = 0x1000;

struct Script {
  std::deque<PrintDlgAnswer> answers;
  std::vector<PrintDlgCall> log;
};
Script& S() {
  static Script s;
  return s;
}

std::string PortOf(const std::string& printer) {
  const std::string key = "System\\CurrentControlSet\\Control\\Print\\Printers\\" + printer;
  HKEY hkey = nullptr;
  if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &hkey) != ERROR_SUCCESS) return "";
  char buffer[256] = {};
  DWORD size = sizeof buffer - 1;
  std::string port;
  if (RegQueryValueEx(hkey, "Port", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS)
    port = buffer;
  RegCloseKey(hkey);
  return port;
}

PrintDlgCall Shown(const PRINTDLG& pd) {
  PrintDlgCall c;
  if (pd.hDevMode) {
    c.printer = std::string(pd.hDevMode->dmDeviceName, strnlen(pd.hDevMode->dmDeviceName, 32));
    c.orientation = pd.hDevMode->dmOrientation;
  }
  c.flags = pd.Flags;
  c.fromPage = pd.nFromPage;
  c.toPage = pd.nToPage;
  c.minPage = pd.nMinPage;
  c.maxPage = pd.nMaxPage;
  c.copies = pd.nCopies;
  c.hadDC = pd.hDC != nullptr;
  return c;
}

void Apply(PRINTDLG& pd, const PrintDlgAnswer& a) {
  if (!a.printer.empty()) ChoosePrinter(pd, a.printer);
  if (a.fromPage >= 0) pd.nFromPage = static_cast<WORD>(a.fromPage);
  if (a.toPage >= 0) pd.nToPage = static_cast<WORD>(a.toPage);
  if (a.copies >= 0) {
    pd.nCopies = static_cast<WORD>(a.copies);
    if (pd.hDevMode) pd.hDevMode->dmCopies = static_cast<SHORT>(a.copies);
  }
  if (a.orientation >= 0 && pd.hDevMode) pd.hDevMode->dmOrientation = static_cast<SHORT>(a.orientation);
}

}  // namespace

void ChoosePrinter(PRINTDLG& pd, const std::string& printer) {
  if (pd.hDevMode) {
    std::memset(pd.hDevMode->dmDeviceName, 0, sizeof pd.hDevMode->dmDeviceName);
    std::strncpy(pd.hDevMode->dmDeviceName, printer.c_str(), sizeof pd.hDevMode->dmDeviceName - 1);
  }
  if (!pd.hDevNames) return;
  DEVNAMES& dn = *pd.hDevNames;
  std::memset(dn.names, 0, sizeof dn.names);
  const std::string parts[] = {"winspool", printer, PortOf(printer)};
  WORD* offsets[] = {&dn.wDriverOffset, &dn.wDeviceOffset, &dn.wOutputOffset};
  size_t at = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t n = std::min(parts[i].size(), sizeof dn.names - 1 - at);
    std::memcpy(dn.names + at, parts[i].data(), n);
    *offsets[i] = static_cast<WORD>(offsetof(DEVNAMES, names) + at);
    at = std::min(at + n + 1, sizeof dn.names - 1);
  }
}

void PrinterDialog::ShowPrinter() {
  APIReturn = 0;
  ExtendedError = 0;
  DEVMODE dm;
  std::strncpy(dm.dmDeviceName, PrinterName.c_str(), sizeof dm.dmDeviceName - 1);
  dm.dmSize = sizeof(DEVMODE);
  dm.dmFields = DM_ORIENTATION | DM_COPIES | kDmDuplex;
  dm.dmOrientation = static_cast<SHORT>(Orientation);
  dm.dmCopies = static_cast<SHORT>(Copies);
  dm.dmDuplex = static_cast<SHORT>(Duplex);
  DEVNAMES names;
  HANDLE printer = nullptr;
  const bool known = OpenPrinter(PrinterName.c_str(), &printer, nullptr);
  if (known) ClosePrinter(printer);
  PRINTDLG pd;
  pd.hwndOwner = hwnd;
  pd.hDevMode = &dm;
  pd.hDC = hdc;
  pd.Flags = flags;
  pd.nFromPage = static_cast<WORD>(FromPage);
  pd.nToPage = static_cast<WORD>(ToPage);
  pd.nMinPage = static_cast<WORD>(Min);
  pd.nMaxPage = static_cast<WORD>(Max);
  pd.nCopies = static_cast<WORD>(Copies);
  pd.hInstance = hInstance;
  if (known) {
    pd.hDevNames = &names;
    ChoosePrinter(pd, PrinterName);
  }
  APIReturn = PrintDlg(&pd);
  if (APIReturn != 1) {
    ExtendedError = CommDlgExtendedError();
    return;
  }
  PrinterName = std::string(dm.dmDeviceName, strnlen(dm.dmDeviceName, sizeof dm.dmDeviceName));
  FromPage = pd.nFromPage;
  ToPage = pd.nToPage;
  Min = pd.nMinPage;
  Max = pd.nMaxPage;
  Copies = pd.nCopies;
  Orientation = dm.dmOrientation;
  Duplex = dm.dmDuplex;
}

void QueuePrintDlgAnswer(const PrintDlgAnswer& answer) { S().answers.push_back(answer); }
const std::vector<PrintDlgCall>& PrintDlgLog() { return S().log; }
int PendingPrintDlgAnswers() { return static_cast<int>(S().answers.size()); }
void ResetPrintDlgScript() { S() = Script{}; }

}  // namespace dialogs

using namespace dialogs;

BOOL PrintDlg(PRINTDLG* pd) {
  Script& s = S();
  SetCommDlgExtendedError(0);
  if (!pd) return FALSE;
  s.log.push_back(Shown(*pd));
  if (!s.answers.empty()) {
    const PrintDlgAnswer a = s.answers.front();
    s.answers.pop_front();
    if (!a.ok) return FALSE;
    Apply(*pd, a);
    return TRUE;
  }
  return RunGtkPrintDialog(*pd) == 1 ? TRUE : FALSE;
}


}  // namespace ktfolio::win
