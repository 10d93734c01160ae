// clsCommonDialog over the scripted dialogs: what each dialog is shown with,
// what comes back, and the cancel errors.
#include <gtest/gtest.h>

#include <functional>

#include "platform/dialogs/dialogs.h"
#include "winsupport/common_dialog.h"

namespace ktfolio {
namespace {

using namespace win;
using win::dialogs::DialogAnswer;

class CommonDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { dialogs::ResetDialogScripts(); }
  void TearDown() override { dialogs::ResetDialogScripts(); }

  static void Answer(const std::string& kind, bool ok, std::vector<std::pair<std::string, std::string>> values = {}) {
    DialogAnswer a;
    a.kind = kind;
    a.ok = ok;
    a.values = std::move(values);
    dialogs::QueueDialogAnswer(a);
  }
  static const dialogs::DialogCall& LastShown() { return dialogs::DialogLog().back(); }

  clsCommonDialog d;
};

// The caught error's number (and description), or 0 when nothing was thrown.
std::int32_t Thrown(const std::function<void()>& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const Error& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}

TEST_F(CommonDialogTest, ColourStartsFromColorAndReturnsTheChoice) {
  d.Color(0x123456);
  d.flags(0x103);
  Answer("color", true, {{"Color", std::to_string(0x00FF00)}});
  d.ShowColor();
  EXPECT_EQ(d.Action(), cdColor);
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(d.Color(), 0x00FF00u);
  EXPECT_EQ(LastShown().Field("rgbResult"), "0x123456") << "the dialog opens on Color";
  EXPECT_EQ(LastShown().Field("lpCustColors"), "0xFFFFFF") << "custom colours start white";
  EXPECT_EQ(LastShown().flags, 0x103u);
}

TEST_F(CommonDialogTest, FontRecordIsBuiltFromTheProperties) {
  d.FontName("Courier New");
  d.FontSize(12);
  d.FontBold(true);
  d.FontUnderline(true);
  d.flags(65859);
  Answer("font", true, {{"FontName", "Times New Roman"}, {"FontSize", "9"}, {"FontBold", "1"}, {"FontItalic", "1"}});
  d.ShowFont();
  const auto& shown = LastShown();
  EXPECT_EQ(shown.Field("lfFaceName"), "Courier New");
  EXPECT_EQ(shown.Field("lfHeight"), "16") << "12 points at 96 dpi, as a positive cell height";
  EXPECT_EQ(shown.Field("lfWeight"), "700");
  EXPECT_EQ(shown.Field("lfUnderline"), "1");
  EXPECT_EQ(shown.Field("lfItalic"), "0");
  EXPECT_EQ(shown.Field("iPointSize"), "120");
  EXPECT_EQ(d.Action(), cdFont);
  EXPECT_EQ(d.FontName(), "Times New Roman");
  EXPECT_FLOAT_EQ(d.FontSize(), 9);
  EXPECT_TRUE(d.FontBold()) << "a bold weight reads back as bold";
  EXPECT_TRUE(d.FontItalic());
  EXPECT_TRUE(d.FontUnderline()) << "what the user did not touch comes back as it went";
}

TEST_F(CommonDialogTest, FileDialogsGetTheFilterWithNulsAndAPaddedBuffer) {
  struct Case {
    const char* name;
    std::int32_t maxFileSize;
    std::int32_t expectedBuffer;
  };
  const Case cases[] = {{"MaxFileSize 0", 0, 255}, {"negative", -4, 255}, {"given", 40, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    d.MaxFileSize(c.maxFileSize);
    d.Filter("Text files|*.txt|All|*.*");
    d.FileName("a.txt");
    Answer("open", true, {{"FileName", "/tmp/b.txt"}});
    d.ShowOpen();
    const auto& shown = LastShown();
    EXPECT_EQ(shown.Field("lpstrFilter"), "Text files\\0*.txt\\0All\\0*.*\\0\\0");
    EXPECT_EQ(shown.Field("nMaxFile"), std::to_string(c.expectedBuffer));
    EXPECT_EQ(shown.Field("lpstrFile").size(), static_cast<size_t>(c.expectedBuffer - 1))
        << "the name is padded with blanks to the buffer";
    EXPECT_EQ(shown.Field("lpstrFile").substr(0, 6), "a.txt ");
    EXPECT_EQ(d.FileName(), "/tmp/b.txt");
    EXPECT_EQ(d.FileTitle(), "b.txt");
    EXPECT_EQ(d.Action(), cdOpen);
  }
  Answer("save", true, {{"FileName", "/tmp/c.txt"}});
  d.ShowSave();
  EXPECT_EQ(d.Action(), cdSave);
  EXPECT_EQ(LastShown().kind, "save");
  EXPECT_EQ(d.FileName(), "/tmp/c.txt");
}

TEST_F(CommonDialogTest, ANameLongerThanTheBufferFailsTheDialog) {
  d.MaxFileSize(8);
  d.FileName("x");
  Answer("open", true, {{"FileName", "/a/much/longer/name.txt"}});
  d.ShowOpen();
  EXPECT_EQ(d.APIReturn(), 0);
  EXPECT_EQ(d.FileName(), "x");
}

TEST_F(CommonDialogTest, CancellingChangesNothingAndRaisesOnlyWithCancelError) {
  struct Case {
    const char* name;
    const char* kind;
    std::function<void(clsCommonDialog&)> show;
    std::int32_t error;
  };
  const Case cases[] = {
      {"colour", "color", [](clsCommonDialog& d) { d.ShowColor(); }, common_dialog_error::kColorCancelled},
      {"font", "font", [](clsCommonDialog& d) { d.ShowFont(); }, common_dialog_error::kCancelled},
      {"open", "open", [](clsCommonDialog& d) { d.ShowOpen(); }, common_dialog_error::kCancelled},
      {"save", "save", [](clsCommonDialog& d) { d.ShowSave(); }, common_dialog_error::kCancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    clsCommonDialog dlg;
    dlg.Color(0xABCDEF);
    dlg.FontName("Arial");
    dlg.FileName("keep.txt");
    Answer(c.kind, false);
    EXPECT_EQ(Thrown([&] { c.show(dlg); }), 0);
    EXPECT_EQ(dlg.APIReturn(), 0);
    EXPECT_EQ(dlg.Color(), 0xABCDEFu);
    EXPECT_EQ(dlg.FontName(), "Arial");
    EXPECT_EQ(dlg.FileName(), "keep.txt");

    dlg.CancelError(true);
    Answer(c.kind, false);
    std::string description;
    EXPECT_EQ(Thrown([&] { c.show(dlg); }, &description), c.error);
    if (c.error == common_dialog_error::kColorCancelled) EXPECT_EQ(description, "Cancel Pressed");
  }
  EXPECT_EQ(common_dialog_error::kColorCancelled, -2147220610) << "the number hosts test for";
}

TEST_F(CommonDialogTest, PrinterDialogReadsTheChoicesBack) {
  d.PrinterName("Nowhere");
  d.Copies(1);
  d.Orientation(DMORIENT_PORTRAIT);
  d.FromPage(1);
  d.ToPage(3);
  dialogs::PrintDlgAnswer a;
  a.copies = 4;
  a.fromPage = 2;
  a.orientation = DMORIENT_LANDSCAPE;
  dialogs::QueuePrintDlgAnswer(a);
  d.ShowPrinter();
  EXPECT_EQ(d.Action(), cdPrinter);
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(d.Copies(), 4);
  EXPECT_EQ(d.FromPage(), 2);
  EXPECT_EQ(d.ToPage(), 3);
  EXPECT_EQ(d.Orientation(), DMORIENT_LANDSCAPE);
  EXPECT_EQ(dialogs::PrintDlgLog().back().printer, "Nowhere");

  d.CancelError(true);
  dialogs::QueuePrintDlgCancel();
  EXPECT_EQ(Thrown([&] { d.ShowPrinter(); }), common_dialog_error::kCancelled);
}

TEST_F(CommonDialogTest, NothingQueuedWithoutADesktopIsACancel) {
  d.Color(5);
  d.ShowColor();
  EXPECT_EQ(d.APIReturn(), 0);
  EXPECT_EQ(d.Color(), 5u);
  EXPECT_TRUE(dialogs::PendingDialogAnswers().empty());
}

TEST_F(CommonDialogTest, AnswersGoToTheirOwnKindInOrder) {
  Answer("font", true, {{"FontName", "A"}});
  Answer("color", true, {{"Color", "7"}});
  Answer("font", true, {{"FontName", "B"}});
  EXPECT_EQ(dialogs::PendingDialogAnswers(), (std::vector<std::string>{"font", "color", "font"}));
  d.ShowFont();
  EXPECT_EQ(d.FontName(), "A");
  d.ShowFont();
  EXPECT_EQ(d.FontName(), "B");
  EXPECT_EQ(dialogs::PendingDialogAnswers(), (std::vector<std::string>{"color"}));
}

TEST_F(CommonDialogTest, HelpIsShownAsAMessageAndReadsTheExtendedError) {
  user::ResetScripts();
  d.HelpFile("folio.hlp");
  d.HelpCommand(HELP_CONTENTS);
  d.HelpContext(12);
  d.ShowHelp();
  EXPECT_EQ(d.Action(), cdHelp);
  EXPECT_EQ(d.APIReturn(), 1);
  EXPECT_EQ(d.ExtendedError(), 0);
  ASSERT_FALSE(user::MessageBoxLog().empty());
  EXPECT_NE(user::MessageBoxLog().back().text.find("folio.hlp"), std::string::npos);
  EXPECT_EQ(LastShown().Field("dwData"), "0") << "HelpContext is kept, not passed";
}

TEST_F(CommonDialogTest, PublishedByNameWithEveryProperty) {
  CommonDialogDispatch dispatch;
  for (const char* name : {"Action", "APIReturn", "ExtendedError", "CancelError", "flags", "hwnd", "hdc", "hInstance",
                           "Color", "FontName", "FontSize", "FontBold", "FontItalic", "FontUnderline",
                           "FontStrikethru", "Min", "Max", "FromPage", "ToPage", "Copies", "Orientation", "Duplex",
                           "PrinterName", "PrinterDefault", "FileName", "FileTitle", "Filter", "FilterIndex",
                           "DefaultExt", "DialogTitle", "InitDir", "MaxFileSize", "HelpFile", "HelpCommand",
                           "HelpContext", "HelpKey", "Object", "ShowColor", "ShowFont", "ShowOpen", "ShowSave",
                           "ShowPrinter", "ShowHelp"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(dispatch.Find(name), nullptr);
  }
  dispatch.Put("Color", Variant(0x10));
  Answer("color", true, {{"Color", "32"}});
  VariantArray none;
  dispatch.Invoke("ShowColor", none);
  EXPECT_EQ(dispatch.Get("Color").ToLong(), 32);
}

}  // namespace
}  // namespace ktfolio
