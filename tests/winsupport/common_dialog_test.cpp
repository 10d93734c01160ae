// clsCommonDialog over the scripted dialogs: what each dialog is shown with,
// what comes back, and the cancel errors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/dialogs/dialogs.h"
#include "winsupport/common_dialog.h"

namespace ktfolio {
namespace {

using namespace win;
using namespace ::testing;
using win::dialogs::DialogAnswer;

class CommonDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { dialogs::ResetDialogScripts(); }
  void TearDown() override { dialogs::ResetDialogScripts(); }

  static void Answer(const std::string& kind, bool ok, std::vector<std::pair<std::string, std::string>> values = {}) {
    dialogs::QueueDialogAnswer({kind, ok, std::move(values)});
  }
  // The named fields of the record the last dialog was shown with, as "name=value" lines.
  static std::string Shown(std::initializer_list<const char*> names) {
    std::string out;
    for (const char* n : names) out += std::string(n) + "=" + dialogs::DialogLog().back().Field(n) + "\n";
    return out;
  }

  clsCommonDialog d;
};

auto Fails(std::int32_t number) { return Throws<Error>(Property(&Error::number, number)); }

TEST_F(CommonDialogTest, ColourAndFontRecordsAreBuiltFromThePropertiesAndReadBack) {
  d.Color(0x123456);
  d.flags(0x103);
  Answer("color", true, {{"Color", std::to_string(0x00FF00)}});
  d.ShowColor();
  EXPECT_EQ(std::tuple(d.Action(), d.APIReturn(), d.Color(), dialogs::DialogLog().back().flags),
            std::tuple(cdColor, 1, 0x00FF00u, 0x103u));
  // The dialog opens on Color; custom colours start white.
  EXPECT_EQ(Shown({"rgbResult", "lpCustColors"}), "rgbResult=0x123456\nlpCustColors=0xFFFFFF\n");
  d.FontName("Courier New");
  d.FontSize(12);
  d.FontBold(true);
  d.FontUnderline(true);
  d.flags(65859);
  Answer("font", true, {{"FontName", "Times New Roman"}, {"FontSize", "9"}, {"FontBold", "1"}, {"FontItalic", "1"}});
  d.ShowFont();
  // 12 points at 96 dpi is a positive cell height of 16.
  EXPECT_EQ(Shown({"lfFaceName", "lfHeight", "lfWeight", "lfUnderline", "lfItalic", "iPointSize"}),
            "lfFaceName=Courier New\nlfHeight=16\nlfWeight=700\nlfUnderline=1\nlfItalic=0\niPointSize=120\n");
  // A bold weight reads back as bold; what the user did not touch comes back as it went.
  EXPECT_EQ(std::tuple(d.Action(), d.FontName(), d.FontSize(), d.FontBold(), d.FontItalic(), d.FontUnderline()),
            std::tuple(cdFont, "Times New Roman", 9.0f, true, true, true));
}

TEST_F(CommonDialogTest, FileDialogsGetTheFilterWithNulsAndAPaddedBuffer) {
  for (auto [maxFileSize, buffer] : {std::tuple(0, 255), std::tuple(-4, 255), std::tuple(40, 40)}) {
    SCOPED_TRACE("MaxFileSize " + std::to_string(maxFileSize));
    d.MaxFileSize(maxFileSize);
    d.Filter("Text files|*.txt|All|*.*");
    d.FileName("a.txt");
    Answer("open", true, {{"FileName", "/tmp/b.txt"}});
    d.ShowOpen();
    EXPECT_EQ(Shown({"lpstrFilter", "nMaxFile"}),
              "lpstrFilter=Text files\\0*.txt\\0All\\0*.*\\0\\0\nnMaxFile=" + std::to_string(buffer) + "\n");
    const std::string file = dialogs::DialogLog().back().Field("lpstrFile");
    EXPECT_EQ(std::tuple(file.size(), file.substr(0, 6)), std::tuple(static_cast<size_t>(buffer - 1), "a.txt "))
        << "the name is padded with blanks to the buffer";
    EXPECT_EQ(std::tuple(d.FileName(), d.FileTitle(), d.Action()), std::tuple("/tmp/b.txt", "b.txt", cdOpen));
  }
  Answer("save", true, {{"FileName", "/tmp/c.txt"}});
  d.ShowSave();
  EXPECT_EQ(std::tuple(d.Action(), dialogs::DialogLog().back().kind, d.FileName()),
            std::tuple(cdSave, "save", "/tmp/c.txt"));
  d.MaxFileSize(8);
  d.FileName("x");
  Answer("open", true, {{"FileName", "/a/much/longer/name.txt"}});
  d.ShowOpen();
  EXPECT_EQ(std::tuple(d.APIReturn(), d.FileName()), std::tuple(0, "x")) << "a name longer than the buffer fails";
}

TEST_F(CommonDialogTest, CancellingChangesNothingRaisesOnlyWithCancelErrorAndThePrinterReadsBack) {
  struct Case { const char* kind; void (clsCommonDialog::*show)(); std::int32_t error; };
  const Case cases[] = {{"color", &clsCommonDialog::ShowColor, common_dialog_error::kColorCancelled},
                        {"font", &clsCommonDialog::ShowFont, common_dialog_error::kCancelled},
                        {"open", &clsCommonDialog::ShowOpen, common_dialog_error::kCancelled},
                        {"save", &clsCommonDialog::ShowSave, common_dialog_error::kCancelled}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    clsCommonDialog dlg;
    dlg.Color(0xABCDEF);
    dlg.FontName("Arial");
    dlg.FileName("keep.txt");
    Answer(c.kind, false);
    EXPECT_NO_THROW((dlg.*c.show)());
    EXPECT_EQ(std::tuple(dlg.APIReturn(), dlg.Color(), dlg.FontName(), dlg.FileName()),
              std::tuple(0, 0xABCDEFu, "Arial", "keep.txt"));
    dlg.CancelError(true);
    Answer(c.kind, false);
    EXPECT_THAT([&] { (dlg.*c.show)(); }, Fails(c.error));
  }
  d.CancelError(true);
  Answer("color", false);
  EXPECT_THAT([&] { d.ShowColor(); },
              Throws<Error>(Property(&Error::description, "Cancel Pressed")));
  EXPECT_EQ(common_dialog_error::kColorCancelled, -2147220610) << "the number hosts test for";
  d.PrinterName("Nowhere");
  d.Copies(1);
  d.Orientation(DMORIENT_PORTRAIT);
  d.FromPage(1);
  d.ToPage(3);
  dialogs::QueuePrintDlgAnswer(
      {.ok = true, .printer = "", .fromPage = 2, .toPage = -1, .copies = 4, .orientation = DMORIENT_LANDSCAPE});
  d.ShowPrinter();
  EXPECT_EQ(std::tuple(d.Action(), d.APIReturn(), d.Copies(), d.FromPage(), d.ToPage(), d.Orientation(),
                       dialogs::PrintDlgLog().back().printer),
            std::tuple(cdPrinter, 1, 4, 2, 3, DMORIENT_LANDSCAPE, "Nowhere"));
  d.CancelError(true);
  dialogs::QueuePrintDlgCancel();
  EXPECT_THAT([&] { d.ShowPrinter(); }, Fails(common_dialog_error::kCancelled));
}

TEST_F(CommonDialogTest, AnswersGoToTheirOwnKindInOrderAndNoneWithoutADesktopIsACancel) {
  Answer("font", true, {{"FontName", "A"}});
  Answer("color", true, {{"Color", "7"}});
  Answer("font", true, {{"FontName", "B"}});
  EXPECT_EQ(dialogs::PendingDialogAnswers(), (std::vector<std::string>{"font", "color", "font"}));
  d.ShowFont();
  EXPECT_EQ(d.FontName(), "A");
  d.ShowFont();
  EXPECT_EQ(d.FontName(), "B");
  EXPECT_EQ(dialogs::PendingDialogAnswers(), (std::vector<std::string>{"color"}));
  d.ShowColor();
  d.Color(5);
  d.ShowColor();
  EXPECT_EQ(std::tuple(d.APIReturn(), d.Color()), std::tuple(0, 5u)) << "nothing queued: a cancel";
  EXPECT_TRUE(dialogs::PendingDialogAnswers().empty());
}

TEST_F(CommonDialogTest, HelpIsShownAsAMessageAndEveryPropertyIsPublishedByName) {
  user::ResetScripts();
  d.HelpFile("folio.hlp");
  d.HelpCommand(HELP_CONTENTS);
  d.HelpContext(12);
  d.ShowHelp();
  EXPECT_EQ(std::tuple(d.Action(), d.APIReturn(), d.ExtendedError()), std::tuple(cdHelp, 1, 0));
  ASSERT_FALSE(user::MessageBoxLog().empty());
  EXPECT_NE(user::MessageBoxLog().back().text.find("folio.hlp"), std::string::npos);
  EXPECT_EQ(Shown({"dwData"}), "dwData=0\n") << "HelpContext is kept, not passed";
  CommonDialogDispatch dispatch;
  for (const char* name : {"Action", "APIReturn", "ExtendedError", "CancelError", "flags", "hwnd", "hdc", "hInstance",
                           "Color", "FontName", "FontSize", "FontBold", "FontItalic", "FontUnderline",
                           "FontStrikethru", "Min", "Max", "FromPage", "ToPage", "Copies", "Orientation", "Duplex",
                           "PrinterName", "PrinterDefault", "FileName", "FileTitle", "Filter", "FilterIndex",
                           "DefaultExt", "DialogTitle", "InitDir", "MaxFileSize", "HelpFile", "HelpCommand",
                           "HelpContext", "HelpKey", "Object", "ShowColor", "ShowFont", "ShowOpen", "ShowSave",
                           "ShowPrinter", "ShowHelp"})
    EXPECT_NE(dispatch.Find(name), nullptr) << name;
  dispatch.Put("Color", Variant(0x10));
  Answer("color", true, {{"Color", "32"}});
  VariantArray none;
  dispatch.Invoke("ShowColor", none);
  EXPECT_EQ(dispatch.Get("Color").ToLong(), 32);
}

}  // namespace
}  // namespace ktfolio
