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

class SpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sp::TestPrinter p;
    p.name = kPrinter;
    p.port = "socket://10.0.0.9:9100";
    p.maxCopies = 7;
    p.output = ::testing::TempDir() + "spooler_test.pdf";
    sp::AddTestPrinter(p);
    dialogs::ResetDialogScripts();
  }
  void TearDown() override { sp::RemoveTestPrinters(); }
};

// The page of a printer context made from `dm`, in device pixels.
SIZE PageOf(const char* printer, const DEVMODE* dm) {
  HDC dc = CreateDC("WINSPOOL", printer, nullptr, dm);
  if (!dc) return SIZE{-1, -1};
  SIZE s{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
  DeleteDC(dc);
  return s;
}

TEST_F(SpoolerTest, APrinterThatExistsNowhereCannotBeOpened) {
  HANDLE h = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_FALSE(OpenPrinter("no-such-printer-anywhere", &h, nullptr));
  EXPECT_EQ(h, nullptr);
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
  EXPECT_EQ(dm.dmSize, sizeof(DEVMODE));
  EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
  EXPECT_EQ(dm.dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(dm.dmPaperLength, 0);
  EXPECT_TRUE(ClosePrinter(h));
  EXPECT_FALSE(ClosePrinter(h)) << "a closed handle is gone";
  EXPECT_EQ(DeviceCapabilities("PDF", "FILE:", DC_COPIES, nullptr, nullptr), 1) << "a file holds one copy";
  EXPECT_EQ(DeviceCapabilities(kPrinter, "", DC_COPIES, nullptr, nullptr), 7);
}

TEST_F(SpoolerTest, APrinterContextHasThePageTheDeviceSettingsAskFor) {
  struct Case {
    const char* name;
    DWORD fields;
    SHORT orientation, paper, length, width;
    SIZE page;  // pixels at 600 dpi
  };
  const Case cases[] = {
      {"no fields: the driver's A4", 0, DMORIENT_LANDSCAPE, DMPAPER_LETTER, 0, 0, {4961, 7016}},
      {"letter landscape", DM_ORIENTATION | DM_PAPERSIZE, DMORIENT_LANDSCAPE, DMPAPER_LETTER, 0, 0, {6600, 5100}},
      {"user paper in tenths of a millimetre", DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH, DMORIENT_PORTRAIT,
       DMPAPER_USER, 500, 1000, {2362, 1181}},
      {"lengths without their bits", DM_PAPERSIZE, DMORIENT_PORTRAIT, DMPAPER_A4, 500, 1000, {4961, 7016}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    DEVMODE dm;
    dm.dmFields = k.fields;
    dm.dmOrientation = k.orientation;
    dm.dmPaperSize = k.paper;
    dm.dmPaperLength = k.length;
    dm.dmPaperWidth = k.width;
    const SIZE page = PageOf("PDF", &dm);
    EXPECT_EQ(page.cx, k.page.cx);
    EXPECT_EQ(page.cy, k.page.cy);
  }
  HDC dc = CreateDC("WINSPOOL", "PDF", nullptr, nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
  DeleteDC(dc);
}

TEST_F(SpoolerTest, ThePortIsReadFromThePrintersRegistryKey) {
  const std::string key = std::string("System\\CurrentControlSet\\control\\Print\\Printers\\") + kPrinter;
  HKEY hkey = nullptr;
  ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, key.c_str(), 0, 0xFFFFFFFFu, &hkey), ERROR_SUCCESS);
  char buffer[256];
  std::memset(buffer, '#', sizeof buffer);
  DWORD size = 255, type = 0;
  ASSERT_EQ(RegQueryValueEx(hkey, "Port", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 23u) << "the length counts the NUL";
  EXPECT_EQ(std::string(buffer, size - 1), "socket://10.0.0.9:9100");
  DWORD small = 4;
  EXPECT_EQ(RegQueryValueEx(hkey, "Port", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &small), ERROR_MORE_DATA);
  EXPECT_EQ(small, 23u);
  EXPECT_EQ(RegQueryValueEx(hkey, "Driver", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegCloseKey(hkey), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(hkey), ERROR_INVALID_HANDLE);
  const std::string missing = std::string("System\\CurrentControlSet\\control\\Print\\Printers\\") + "nowhere-xyz";
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, missing.c_str(), 0, KEY_ALL_ACCESS, &hkey), ERROR_FILE_NOT_FOUND);
}

TEST_F(SpoolerTest, EnumPrintersListsEveryPrinterWithTheBuiltInOne) {
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned));
  ASSERT_GT(needed, 0u);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), needed, &needed, &returned));
  std::vector<std::string> names;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(info[i].pPrinterName);
  EXPECT_NE(std::find(names.begin(), names.end(), "PDF"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), kPrinter), names.end());
  EXPECT_EQ(names.front(), kPrinter) << "test printers come first, then the built-in one";
  EXPECT_EQ(names.at(1), "PDF");
}

TEST_F(SpoolerTest, ThePrinterDialogShowsItsPropertiesAndTakesTheAnswerBack) {
  dialogs::QueuePrintDlgAnswer({.printer = kPrinter, .fromPage = 2, .toPage = 4, .copies = 3, .orientation = 2});
  dialogs::PrinterDialog dlg;
  dlg.PrinterName = "PDF";
  dlg.Min = 1;
  dlg.Max = 9;
  dlg.FromPage = 1;
  dlg.ToPage = 9;
  dlg.flags = PD_PAGENUMS;
  dlg.ShowPrinter();
  EXPECT_EQ(dlg.APIReturn, 1);
  EXPECT_EQ(dlg.PrinterName, kPrinter);
  EXPECT_EQ(dlg.FromPage, 2);
  EXPECT_EQ(dlg.ToPage, 4);
  EXPECT_EQ(dlg.Copies, 3);
  EXPECT_EQ(dlg.Orientation, 2);
  ASSERT_EQ(dialogs::PrintDlgLog().size(), 1u);
  EXPECT_EQ(dialogs::PrintDlgLog()[0].printer, "PDF");
  EXPECT_EQ(dialogs::PrintDlgLog()[0].maxPage, 9);

  dialogs::QueuePrintDlgCancel();
  dlg.ShowPrinter();
  EXPECT_EQ(dlg.APIReturn, 0);
  EXPECT_EQ(dlg.PrinterName, kPrinter) << "a cancel changes nothing";
  EXPECT_EQ(dlg.FromPage, 2);
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
  EXPECT_EQ(names.wDriverOffset, 8);
  EXPECT_STREQ(block + names.wDriverOffset, "winspool");
  EXPECT_EQ(names.wDeviceOffset, 8 + 9);
  EXPECT_STREQ(block + names.wDeviceOffset, kPrinter);
  EXPECT_STREQ(block + names.wOutputOffset, "socket://10.0.0.9:9100");
  EXPECT_STREQ(dm.dmDeviceName, kPrinter);
}

TEST_F(SpoolerTest, WithNothingQueuedAHeadlessHostsDialogIsCancelled) {
  PRINTDLG pd;
  EXPECT_FALSE(PrintDlg(&pd));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
}

}  // namespace
}  // namespace ktfolio::win
