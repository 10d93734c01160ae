// While a shown control prints, the toolbar's caption says which page is
// printing, and is emptied when the job ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "control/ktprint4_impl.h"
#include "viewer/toolbar.h"
#include "platform/container/form.h"
#include "platform/spooler/spooler_testing.h"

namespace ktfolio {
namespace {

using namespace win;
namespace sp = spooler::testing;
constexpr const char* kPrinter = "print-status-printer";

std::string ToolbarText(Form& form) {
  for (const auto& c : form.Controls())
    if (c.name == "Toolbar") return c.text;
  return "<no toolbar>";
}

// The toolbar's caption as each page starts.
struct CaptionWatcher : KtPrint4Events {
  explicit CaptionWatcher(Form& f) : form(f) {}
  Form& form;
  std::vector<std::string> captions;
  void NewPage(std::int32_t&, std::int32_t&, std::int32_t& firstOrLast) override {
    if (firstOrLast == First) captions.push_back(ToolbarText(form));
  }
};

TEST(PrintStatus, TheToolbarNamesThePagePrintingAndIsClearedAfter) {
  sp::TestPrinter printer;
  printer.name = kPrinter;
  printer.output = ::testing::TempDir() + "print_status.pdf";
  sp::AddTestPrinter(printer);
  Form form(640, 480);
  KtPrint4Impl c(&form);
  for (int p = 1; p <= 3; ++p) {
    c.AddRow("page " + std::to_string(p));
    if (p > 1) c.SetPageBreak(c.LastRow());
  }
  c.PrinterName(kPrinter);
  CaptionWatcher watcher(form);
  c.Advise(&watcher);
  PlaceOnForm(c, form);
  form.Show();
  watcher.captions.clear();  // the preview's own pages
  c.PrintDoc(2, 3);
  c.Unadvise(&watcher);
  EXPECT_EQ(watcher.captions, (std::vector<std::string>{"Printing Page 2 ", "Printing Page 3 "}));
  EXPECT_EQ(ToolbarText(form), "") << "the caption is emptied after the loop";
  sp::RemoveTestPrinters();
  std::remove(printer.output.c_str());
}

}  // namespace
}  // namespace ktfolio
