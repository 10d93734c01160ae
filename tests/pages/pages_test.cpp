// The property pages with a control in a container of its own: what their lists and boxes
// show, what changes the control at once and what waits for apply (and in which order, seen
// through the container's notifications), the Defaults page's dialogs, our designer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

#include "control/ktprint4_dispatch.h"
#include "pages/folio_dsn_testing.h"
#include "pages/property_page.h"
#include "platform/automation/components.h"
#include "platform/dialogs/dialogs.h"
#include "support/form.h"

namespace ktfolio {
namespace {

using namespace win;

using ktfolio::testing::Child;
using ktfolio::testing::ClickOn;
// A page on a form of its own, showing a control in a container of its own.
class PageTest : public ::testing::Test {
 protected:
  void Open(const char* name) {
    page = MakePropertyPage(name, form);
    ASSERT_NE(page, nullptr);
    form.Show();
    page->SelectionChanged({control});
  }
  KtPrint4Impl& C() { return control->Control(); }

  Form form{640, 440};
  std::shared_ptr<Container> site = std::make_shared<Container>();
  std::shared_ptr<KtPrint4Dispatch> control = std::make_shared<KtPrint4Dispatch>(site);
  std::unique_ptr<PropertyPage> page;
};

class DesignerPageTest : public PageTest {
 protected:
  void SetUp() override { C().AddRow(VariantArray{Variant("one")}); Open("Designer"); }
  void TearDown() override { pages::SetFolioDsnShownHook(nullptr); }
};

TEST_F(DesignerPageTest, ApplySetsThePropertiesInItsOrder) {
  // The page size first: choosing it reloads the length boxes from the control.
  ASSERT_TRUE(form.Choose("cboPageSize", "  s_LETTER"));
  ASSERT_TRUE(form.Choose("cboColorResolution", "cr_16M_Colors"));
  ASSERT_TRUE(form.Choose("cboEnterAction", "ppEnterNext"));
  ASSERT_TRUE(form.Choose("cboOrientation", "Landscape = 1"));
  ASSERT_TRUE(form.SetText("txtMarginBottom", "900"));
  ASSERT_TRUE(form.SetText("txtMarginFooter", "800"));
  ASSERT_TRUE(form.Check("chkPropShowToolBar", false));
  site->ClearNotifications();
  page->ApplyChanges();
  const std::vector<std::string> order = {
      "AllowCellEditing", "AutoHighLightEditing", "ColorResolution", "EditEnterAction", "MarginBottom",
      "MarginFooter",     "MultiLineEditing",     "Orientation",     "PrinterName",     "ShowGuideLines",
      "ShowPrintDlg",     "ShowToolBar"};
  std::vector<std::string> seen;
  for (const std::string& n : site->Notifications())
    if (std::find(order.begin(), order.end(), n) != order.end() && (seen.empty() || seen.back() != n)) seen.push_back(n);
  EXPECT_EQ(seen, order);
  EXPECT_EQ((std::tuple<float, int>(C().MarginBottom(), C().ColorResolution())),
            (std::tuple<float, int>(900, cr_16M_Colors)));
}

TEST_F(DesignerPageTest, SaveInOurDesignerWithoutEditsHandsBackTheSameBytes) {
  pages::RegisterBuiltinDesigner();
  std::uint32_t paper = 0;
  pages::SetFolioDsnShownHook([&paper](Form& designer) {
    HWND vp = designer.FindControl("VP");
    RECT rc;
    GetClientRect(vp, &rc);
    paper = user::WindowPixel(vp, rc.right / 2, 10);  // the top margin of the page
    ClickOn(designer, "cmdSave");
  });
  // As a template file holds it: read once, so what reading resets (the
  // measured heights, dInheritLastRow) is already so.
  ByteArray before;
  C().GetDsnArray(before);
  C().SetDsnArray(before);
  C().GetDsnArray(before);
  VariantArray args{Variant(before), Variant(std::string()), Variant(true)};
  CreateObject("FolioDsn.clsFolioDsn")->Invoke("start", args);
  const ByteArray after = args[0].ToBytes();
  EXPECT_EQ(std::string(after.begin(), after.end()), std::string(before.begin(), before.end()))
      << "the designer's own editing flags stay out of the template";
  EXPECT_EQ(paper, 0xFFFFFFu) << "the designer opens with the page drawn";
}

// What is done in our designer, opened from the page's button, reaches the control on apply
// after Save, not after Cancel. The first row's cell is at (300, 174) at 100 % in the 900 x 640
// designer.
TEST_F(DesignerPageTest, OurDesignerHandsBackWhatSaveKeeps) {
  const auto editFirst = [](Form& d) {
    d.DoubleClick(300, 174);
    d.Key(VK_END);
    d.Type(" more");
    d.Key(VK_RETURN);
  };
  const auto clickFirst = [](Form& d) { d.Click(300, 174); };
  using Act = std::function<void(Form&)>;
  struct Case { Act before; std::vector<const char*> clicks; int rows; const char* first; };
  const Case cases[] = {{nullptr, {"cmdAddRow", "cmdAddRow", "cmdSave"}, 4, "one"},
                        {nullptr, {"cmdAddRow", "cmdCancel"}, 2, "one"},
                        {clickFirst, {"cmdRemoveRow", "cmdSave"}, 1, "two"},
                        {editFirst, {"cmdSave"}, 2, "one more"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks.front());
    C().ClearAll();
    C().AddRow(VariantArray{Variant("one")});
    C().AddRow(VariantArray{Variant("two")});
    page->SelectionChanged({control});
    pages::SetFolioDsnShownHook([&c](Form& designer) {
      if (c.before) c.before(designer);
      for (const char* name : c.clicks) ClickOn(designer, name);
    });
    ClickOn(form, "cmdButton");
    EXPECT_EQ(page->LastFailure(), "");
    EXPECT_TRUE(page->Changed() || c.clicks.back() == std::string("cmdCancel"));
    page->ApplyChanges();
    EXPECT_EQ(std::tuple(C().LastRow(), C().GetProperty(1, 1, "Text").ToString()),
              std::tuple(c.rows, c.first));
  }
}

TEST_F(DesignerPageTest, TheListsShowTheConstantsAndPaperAndScaleChangeTheControlAtOnce) {
  KtPrint4Impl& c = C();
  EXPECT_EQ(Child(form, "cboScaleMode").items,
            (std::vector<std::string>{" eTwip", " eInch", " eMillimetre", " eCentimetre"}));
  const std::vector<std::string> papers = Child(form, "cboPageSize").items;
  ASSERT_EQ(papers.size(), 64u);
  EXPECT_EQ(std::tuple(papers.front(), papers.back(), std::count(papers.begin(), papers.end(), "  s_A5 = 11")),
            std::tuple("  s_10X11", "  s_USER", 1));
  EXPECT_TRUE(std::any_of(papers.begin(), papers.end(), [](const std::string& p) { return p.starts_with("  s_ENV_B6 = 35 "); }));
  EXPECT_EQ(Child(form, "cboOrientation").items, (std::vector<std::string>{"Portrait = 0", "Landscape = 1"}));
  EXPECT_EQ((std::tuple<int, int, int, int>(Child(form, "cboScaleMode").selected, Child(form, "cboPageSize").selected,
                                            Child(form, "cboColorResolution").selected,
                                            Child(form, "chkPropShowToolBar").checked)),
            (std::tuple<int, int, int, int>(c.ScaleMode(), c.PageSize(), c.ColorResolution(), c.ShowToolBar() ? 1 : 0)));
  EXPECT_EQ(std::tuple(Child(form, "cmdButton").text, Child(form, "txtMarginLeft").text), std::tuple("   Designer", "1440"));
  EXPECT_EQ(std::tuple(page->Caption(), MakePropertyPage("Nope", form)),
            std::tuple("Designer", nullptr));
  EXPECT_FALSE(Child(form, "txtPaperWidth").enabled) << "only a user paper takes sizes";
  ASSERT_TRUE(form.Choose("cboPageSize", "  s_USER"));
  EXPECT_EQ(c.PageSize(), s_USER) << "before any apply";
  EXPECT_TRUE(Child(form, "FraPageSizes").enabled && Child(form, "txtPaperWidth").enabled &&
              Child(form, "txtPaperLength").enabled);
  ASSERT_TRUE(form.Choose("cboPageSize", "  s_LETTER"));
  EXPECT_FALSE(Child(form, "txtPaperLength").enabled);
  EXPECT_EQ(Child(form, "txtPaperWidth").text, std::to_string(std::lround(c.PaperWidth())));
  EXPECT_TRUE(page->Changed());
  ASSERT_TRUE(form.Choose("cboScaleMode", " eInch"));
  EXPECT_EQ(c.ScaleMode(), eInch);
  EXPECT_EQ(std::tuple(Child(form, "txtMarginLeft").text, Child(form, "txtMarginHeader").text),
            std::tuple(std::string("1"), Variant(c.MarginHeader()).ToString()));
}

TEST_F(DesignerPageTest, ApplyAloneKeepsTheDocumentAndBoxesReachTheControlOnlyOnApply) {
  KtPrint4Impl& c = C();
  ByteArray before, after;
  c.GetDsnArray(before);
  c.SetDsnArray(before);  // the measured item heights a read drops, dropped once
  page->SelectionChanged({control});
  c.GetDsnArray(before);
  page->ApplyChanges();
  c.GetDsnArray(after);
  EXPECT_EQ(after, before) << "apply without a designer run keeps the document";

  EXPECT_FALSE(page->Changed());
  ASSERT_TRUE(form.SetText("txtMarginLeft", "2000"));
  ASSERT_TRUE(form.Check("chkPropShowToolBar", false));
  EXPECT_TRUE(page->Changed());
  EXPECT_EQ(c.Marginleft(), 1440) << "nothing reaches the control before apply";
  page->ApplyChanges();
  EXPECT_EQ(std::tuple(c.Marginleft(), c.ShowToolBar(), page->Changed()), std::tuple(2000.0f, false, false));
}

class DefaultsPageTest : public PageTest {
 protected:
  void SetUp() override { dialogs::ResetDialogScripts(); Open("Defaults"); }
  void TearDown() override { dialogs::ResetDialogScripts(); }
};

TEST_F(DefaultsPageTest, TheListsShowStylesAndAlignmentsAndTheFontButtonActsAtOnce) {
  for (const auto& [style, selected, text] : {std::tuple{15, 15, "Style Mask"}, {2, 2, "Dot"}, {12, 0, "Solid"}}) {
    SCOPED_TRACE(style);
    C().dColPenStyle(style);
    EXPECT_EQ(C().dColPenStyle(), style);
    page->SelectionChanged({control});
    const Form::ChildInfo box = Child(form, "cbodColPenStyle");
    EXPECT_EQ(std::tuple(box.selected, box.text), std::tuple(selected, text)) << "an unknown style shows as solid";
  }
  const std::vector<std::string> aligns = Child(form, "CboAlignPos").items;
  ASSERT_EQ(aligns.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(aligns.begin() + 8, aligns.end()),
            (std::vector<std::string>{"Left Bottom", "Center  Bottom", "Right  Bottom", "Justify  Bottom"}))
      << "the entries keep their blanks";
  C().dColsPerRow(3);
  page->SelectionChanged({control});
  EXPECT_EQ(Child(form, "txtdColsPerRow").text, "3");
  ASSERT_TRUE(form.SetText("txtdColsPerRow", ""));
  page->ApplyChanges();
  EXPECT_EQ(C().dColsPerRow(), 0);
  EXPECT_EQ(Child(form, "lbldFontSize").text, "Size: 10");
  dialogs::QueueDialogAnswer({"font", true, {{"FontName", "Courier New"}, {"FontSize", "14"}, {"FontBold", "1"}}});
  ClickOn(form, "cmdFont");
  ASSERT_FALSE(dialogs::DialogLog().empty());
  EXPECT_EQ(std::tuple(dialogs::DialogLog().back().flags, dialogs::DialogLog().back().Field("lfFaceName")),
            std::tuple(65859u, "Arial"));
  EXPECT_EQ(std::tuple(C().Font()->Name, C().Font()->Size), std::tuple("Courier New", 14.0f)) << "before any apply";
  EXPECT_EQ(std::tuple(Child(form, "lbldFontName").text, Child(form, "lbldFontSize").text, Child(form, "chkdFontBold").checked),
            std::tuple("Courier New", "Size:14", 1));
  EXPECT_FALSE(page->Changed());
  page->SelectionChanged({control});
  EXPECT_EQ(Child(form, "lbldFontSize").text, "Size: 14");
}

TEST_F(DefaultsPageTest, ColoursAndTheDefaultsWaitForApply) {
  const std::uint32_t pen = C().dColPenColor();
  dialogs::QueueDialogAnswer({"color", false, {}});
  ClickOn(form, "cmdPenColor");
  ASSERT_FALSE(dialogs::DialogLog().empty());
  EXPECT_EQ(dialogs::DialogLog().back().flags, 259u);
  EXPECT_FALSE(page->Changed()) << "a cancelled dialog changes nothing";
  dialogs::QueueDialogAnswer({"color", true, {{"Color", std::to_string(0x00FF00)}}});
  ClickOn(form, "cmdBrushColor");
  EXPECT_TRUE(page->Changed());
  EXPECT_NE(C().dColBrushColor(), 0x00FF00u) << "the control changes only on apply";
  page->ApplyChanges();
  EXPECT_EQ(std::tuple(C().dColBrushColor(), C().dColPenColor()), std::tuple(0x00FF00u, pen));
  const bool wrap = !C().dColWordWrap();
  ASSERT_TRUE(form.Choose("CboAlignPos", "Right  Bottom"));
  ASSERT_TRUE(form.Choose("cboTextStyle", "Inset"));
  ASSERT_TRUE(form.Choose("CboLayoutType", "Uniform"));
  ASSERT_TRUE(form.Check("chkdColWordWrap", wrap));
  ASSERT_TRUE(form.SetText("txtdColLineTop", "3"));
  ASSERT_TRUE(form.Check("chkdFontItalic", true));
  page->ApplyChanges();
  EXPECT_EQ((std::tuple<int, int, int, bool, int, bool>(C().dColAlignPos(), C().dFontStyle(), C().dColsLayoutType(),
                                                      C().dColWordWrap(), C().dColLineTop(), C().Font()->Italic)),
            std::tuple(10, 3, 1, wrap, 3, true));
}

}  // namespace
}  // namespace ktfolio
