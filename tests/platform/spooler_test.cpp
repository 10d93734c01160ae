// The spooler's Win32 surface: opening printers by name, device settings,
// copies, printer contexts sized by the DEVMODE, the port in the registry,
// the printer list, and the printer dialog's script.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/dialogs/dialogs.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_testing.h"

namespace ktfolio::win {
namespace {

namespace sp = spooler::testing;
constexpr const char* kPrinter = "spooler-test-printer";
constexpr const char* kPort = "socket://10.0.0.9:9100";
const std::string kPrintersKey = "System\\CurrentControlSet\\control\\Print\\Printers\\";

class SpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sp::AddTestPrinter(
        {.name = kPrinter, .port = kPort, .maxCopies = 7, .output = ::testing::TempDir() + "spooler_test.pdf"});
    dialogs::ResetDialogScripts();
  }
  void TearDown() override { sp::RemoveTestPrinters(); }
};

TEST_F(SpoolerTest, APrinterThatExistsNowhereCannotBeOpened) {
  HANDLE h = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_FALSE(OpenPrinter("no-such-printer-anywhere", &h, nullptr));
  EXPECT_EQ(h, nullptr) << "the handle is cleared";
  EXPECT_FALSE(OpenPrinter("", &h, nullptr));
  EXPECT_EQ(CreateDC("WINSPOOL", "no-such-printer-anywhere", nullptr, nullptr), nullptr);
  EXPECT_EQ(DeviceCapabilities("no-such-printer-anywhere", "", DC_COPIES, nullptr, nullptr), -1);
}

TEST_F(SpoolerTest, ThePdfPrinterReportsItsRecordSizeAndDefaults) {
  HANDLE h = nullptr;
  ASSERT_TRUE(OpenPrinter("pdf", &h, nullptr)) << "names are case-insensitive";
  EXPECT_EQ(DocumentProperties(nullptr, h, "PDF", nullptr, nullptr, 0), static_cast<LONG>(sizeof(DEVMODE)));
  DEVMODE dm;
  std::memset(static_cast<void*>(&dm), 0x5A, sizeof dm);  // sentinel: every byte must be written
  EXPECT_EQ(DocumentProperties(nullptr, h, "PDF", &dm, nullptr, DM_OUT_BUFFER), IDOK_DEVMODE);
  EXPECT_STREQ(dm.dmDeviceName, "PDF");
  EXPECT_EQ(std::make_tuple(dm.dmSize, dm.dmOrientation, dm.dmPaperSize, dm.dmPaperLength),
            std::make_tuple(WORD{sizeof(DEVMODE)}, SHORT{DMORIENT_PORTRAIT}, SHORT{DMPAPER_A4}, SHORT{0}));
  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(ClosePrinter(h)) << "a closed handle is gone";
  EXPECT_EQ(std::pair(DeviceCapabilities("PDF", "FILE:", DC_COPIES, nullptr, nullptr),
                      DeviceCapabilities(kPrinter, "", DC_COPIES, nullptr, nullptr)),
            std::pair(1, 7)) << "a file holds one copy";
}

TEST_F(SpoolerTest, APrinterContextHasThePageTheDeviceSettingsAskFor) {
  // Fields, orientation, paper, its length and width (tenths of a millimetre); the page in pixels at 600 dpi.
  struct Case { const char* name; DWORD fields; short orientation, paper, length, width; SIZE page; };
  constexpr DWORD kSize = DM_PAPERSIZE, kLengths = DM_PAPERLENGTH | DM_PAPERWIDTH;
  const Case cases[] = {
      {"no fields: the driver's A4", 0, DMORIENT_LANDSCAPE, DMPAPER_LETTER, 0, 0, {4961, 7016}},
      {"letter landscape", DM_ORIENTATION | kSize, DMORIENT_LANDSCAPE, DMPAPER_LETTER, 0, 0, {6600, 5100}},
      {"user paper", kSize | kLengths, 0, DMPAPER_USER, 500, 1000, {2362, 1181}},
      {"lengths without their bits", kSize, 0, DMPAPER_A4, 500, 1000, {4961, 7016}},
      {"no settings at all", 0, 0, 0, 0, 0, {4961, 7016}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const DEVMODE dm{.dmFields = k.fields, .dmOrientation = k.orientation, .dmPaperSize = k.paper,
                     .dmPaperLength = k.length, .dmPaperWidth = k.width};
    HDC dc = CreateDC("WINSPOOL", "PDF", nullptr, k.fields || k.paper ? &dm : nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(std::make_tuple(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, LOGPIXELSX)),
              std::make_tuple(k.page.cx, k.page.cy, 600));
    DeleteDC(dc);
  }
}

TEST_F(SpoolerTest, ThePortIsReadFromThePrintersRegistryKey) {
  HKEY hkey = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, (kPrintersKey + kPrinter).c_str(), 0, 0xFFFFFFFFu, &hkey), ERROR_SUCCESS);
  char buffer[256];
  std::memset(buffer, '#', sizeof buffer);
  DWORD size = 255, type = 0, small = 4;
  auto* bytes = reinterpret_cast<BYTE*>(buffer);
  ASSERT_EQ(RegQueryValueEx(hkey, "Port", nullptr, &type, bytes, &size), ERROR_SUCCESS);
  // The length counts the NUL; a buffer too small learns the length.
  EXPECT_EQ(std::tuple(type, size, std::string(buffer, size - 1)),
            std::tuple(DWORD{REG_SZ}, std::strlen(kPort) + 1, kPort));
  EXPECT_EQ(RegQueryValueEx(hkey, "Port", nullptr, nullptr, bytes, &small), ERROR_MORE_DATA);
  EXPECT_EQ(small, size);
  EXPECT_EQ(RegQueryValueEx(hkey, "Driver", nullptr, nullptr, bytes, &size), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(hkey), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(hkey), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, (kPrintersKey + "nowhere-xyz").c_str(), 0, KEY_ALL_ACCESS, &hkey),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(SpoolerTest, EnumPrintersListsTheTestPrintersFirstThenTheBuiltInOne) {
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned));
  ASSERT_GT(needed, 0u);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &returned));
  ASSERT_GE(returned, 2u);
  const auto* info = reinterpret_cast<const PRINTER_INFO_4*>(buffer.data());
  EXPECT_EQ(std::make_pair(std::string(info[0].pPrinterName), std::string(info[1].pPrinterName)),
            std::make_pair(std::string(kPrinter), std::string("PDF")));
}

TEST_F(SpoolerTest, ThePrinterDialogShowsItsPropertiesAndTakesTheAnswerBack) {
  dialogs::QueuePrintDlgAnswer({.printer = kPrinter, .fromPage = 2, .toPage = 4, .copies = 3, .orientation = 2});
  dialogs::PrinterDialog dlg{.PrinterName = "PDF", .Min = 1, .Max = 9, .FromPage = 1, .ToPage = 9, .flags = PD_PAGENUMS};
  auto state = [&] { return std::make_tuple(dlg.APIReturn, dlg.PrinterName, dlg.FromPage, dlg.ToPage, dlg.Copies, dlg.Orientation); };
  dlg.ShowPrinter();
  EXPECT_EQ(state(), std::make_tuple(1, std::string(kPrinter), 2, 4, 3, 2));
  ASSERT_EQ(dialogs::PrintDlgLog().size(), 1u);
  EXPECT_EQ(std::pair(dialogs::PrintDlgLog()[0].printer, dialogs::PrintDlgLog()[0].maxPage),
            std::pair(std::string("PDF"), 9));
  dialogs::QueuePrintDlgCancel();
  dlg.ShowPrinter();
  EXPECT_EQ(state(), std::make_tuple(0, std::string(kPrinter), 2, 4, 3, 2)) << "a cancel changes nothing";
}

TEST_F(SpoolerTest, TheDialogsPrinterNamesBlockHoldsDriverDeviceAndPort) {
  dialogs::QueuePrintDlgAnswer({.printer = kPrinter});
  DEVMODE dm;
  DEVNAMES names;
  PRINTDLG pd;
  pd.hDevMode = &dm;
  pd.hDevNames = &names;
  ASSERT_TRUE(PrintDlg(&pd));
  const char* block = reinterpret_cast<const char*>(&names);
  EXPECT_EQ(std::make_pair(names.wDriverOffset, names.wDeviceOffset), std::make_pair(WORD{8}, WORD{8 + 9}));
  EXPECT_EQ(std::tuple(std::string(block + names.wDriverOffset), std::string(block + names.wDeviceOffset),
                       std::string(block + names.wOutputOffset), std::string(dm.dmDeviceName)),
            std::tuple("winspool", kPrinter, kPort, kPrinter));
  PRINTDLG unanswered;
  EXPECT_FALSE(PrintDlg(&unanswered)) << "with nothing queued, a headless host's dialog is cancelled";
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace ktfolio::win
