// The print spooler, Win32-shaped: printers opened by name, their device
// settings (a DEVMODE record), capabilities, printer device contexts (CreateDC
// with the "WINSPOOL" driver, then gdi's StartDoc .. EndDoc) and the registry
// key that names a printer's port. Printers are the CUPS queues of this machine
// and a built-in printer named "PDF" that writes each job to a file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/user.h"

namespace ktfolio::win {

// ---- device settings -------------------------------------------------------------
// The ANSI device mode record. Hosts may also address it as bytes: dmFields at
// 40, dmOrientation 44, dmPaperSize 46, dmPaperLength 48, dmPaperWidth 50,
// dmCopies 54, all little-endian.
struct DEVMODE {
  char dmDeviceName[32] = {};
  WORD dmSpecVersion = 0;
  WORD dmDriverVersion = 0;
  WORD dmSize = 0;
  WORD dmDriverExtra = 0;
  DWORD dmFields = 0;
  SHORT dmOrientation = 0;
  SHORT dmPaperSize = 0;
  SHORT dmPaperLength = 0;  // tenths of a millimetre
  SHORT dmPaperWidth = 0;   // tenths of a millimetre
  SHORT dmScale = 0;
  SHORT dmCopies = 0;
  SHORT dmDefaultSource = 0;
  SHORT dmPrintQuality = 0;
  SHORT dmColor = 0;
  SHORT dmDuplex = 0;
  SHORT dmYResolution = 0;
  SHORT dmTTOption = 0;
  SHORT dmCollate = 0;
  char dmFormName[32] = {};
  WORD dmLogPixels = 0;
  DWORD dmBitsPerPel = 0;
  DWORD dmPelsWidth = 0;
  DWORD dmPelsHeight = 0;
  DWORD dmDisplayFlags = 0;
  DWORD dmDisplayFrequency = 0;
};
static_assert(offsetof(DEVMODE, dmFields) == 40 && offsetof(DEVMODE, dmOrientation) == 44 &&
              offsetof(DEVMODE, dmPaperSize) == 46 && offsetof(DEVMODE, dmPaperLength) == 48 &&
              offsetof(DEVMODE, dmPaperWidth) == 50 && offsetof(DEVMODE, dmCopies) == 54 &&
              sizeof(DEVMODE) == 124);

// dmFields bits
constexpr DWORD DM_ORIENTATION = 0x1;
constexpr DWORD DM_PAPERSIZE = 0x2;
constexpr DWORD DM_PAPERLENGTH = 0x4;
constexpr DWORD DM_PAPERWIDTH = 0x8;
constexpr DWORD DM_COPIES = 0x100;
constexpr SHORT DMORIENT_PORTRAIT = 1;
constexpr SHORT DMORIENT_LANDSCAPE = 2;
constexpr SHORT DMPAPER_LETTER = 1;
constexpr SHORT DMPAPER_A4 = 9;
constexpr SHORT DMPAPER_USER = 256;

// DocumentProperties modes
constexpr DWORD DM_OUT_BUFFER = 2;
constexpr DWORD DM_IN_BUFFER = 8;
constexpr LONG IDOK_DEVMODE = 1;

// DeviceCapabilities
constexpr WORD DC_COPIES = 18;

// ---- printers --------------------------------------------------------------------------
constexpr DWORD PRINTER_ACCESS_USE = 8;
struct PRINTER_DEFAULTS {
  const char* pDatatype = nullptr;
  DEVMODE* pDevMode = nullptr;
  DWORD DesiredAccess = 0;
};

// Opens the printer `name`. FALSE, with *printer nullptr, for a name that no
// backend knows. The handle is closed with ClosePrinter.
BOOL OpenPrinter(const char* name, HANDLE* printer, const PRINTER_DEFAULTS* defaults);
// Always releases the handle; FALSE when the printer reported a failure.
BOOL ClosePrinter(HANDLE printer);
// mode 0: the size of the printer's DEVMODE in bytes. DM_OUT_BUFFER: writes the
// printer's defaults to `output` (merged with `input` under DM_IN_BUFFER) and
// returns IDOK_DEVMODE. A negative value on failure.
LONG DocumentProperties(HWND owner, HANDLE printer, const char* deviceName, DEVMODE* output, const DEVMODE* input,
                        DWORD mode);
// DC_COPIES: the most copies the printer makes of one job; -1 when it cannot tell.
int DeviceCapabilities(const char* device, const char* port, WORD capability, char* output, const DEVMODE* devmode);

// Level 4 only: PRINTER_INFO_4 records followed by their strings in `buffer`.
// With a buffer too small: FALSE and *needed set.
constexpr DWORD PRINTER_ENUM_LOCAL = 0x2;
constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x4;
struct PRINTER_INFO_4 {
  char* pPrinterName = nullptr;
  char* pServerName = nullptr;
  DWORD Attributes = 0;
};
BOOL EnumPrinters(DWORD flags, const char* name, DWORD level, BYTE* buffer, DWORD size, DWORD* needed,
                  DWORD* returned);

// ---- the registry's printer keys ----------------------------------------------------------
// Only HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers\<name>
// exists (names case-insensitive), with the string value "Port".
struct HKEY__;
using HKEY = HKEY__*;
using REGSAM = DWORD;
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u));
constexpr LONG ERROR_SUCCESS = 0;
constexpr LONG ERROR_FILE_NOT_FOUND = 2;
constexpr LONG ERROR_INVALID_HANDLE = 6;
constexpr LONG ERROR_MORE_DATA = 234;
constexpr DWORD REG_SZ = 1;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result);
// The value with its NUL; *size is the bytes written, or needed (ERROR_MORE_DATA).
LONG RegQueryValueEx(HKEY key, const char* valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegCloseKey(HKEY key);

// ===========================================================================================
// Platform extensions (no Win32 counterpart).
// ===========================================================================================
namespace spooler {

// The name of the built-in printer.
inline constexpr const char* kPdfPrinterName = "PDF";

// The file the built-in PDF printer writes its next jobs to (the host's choice;
// "ktfolio-print.pdf" in the working folder until set).
void SetPdfPrinterOutput(const std::string& path);
const std::string& PdfPrinterOutput();

// Every printer a job can go to: the built-in one first, then the CUPS queues.
std::vector<std::string> PrinterNames();

// What the last job on this thread was told without failing ("queue 'x' is
// paused: the job waits"), for the host to show; emptied when a job starts.
// Why a step failed is in fileio::LastFailure().
const std::vector<std::string>& JobWarnings();

}  // namespace spooler
}  // namespace ktfolio::win
