// The property pages with a control in a container of its own: the order in
// which apply sets the control's properties, seen through the container's
// property-changed notifications, and our external designer opened from the
// Designer page's button.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "control/ktprint4_dispatch.h"
#include "pages/folio_dsn_testing.h"
#include "pages/property_page.h"
#include "platform/automation/components.h"

namespace ktfolio {
namespace {

using namespace win;

class DesignerPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control->Control().AddRow(VariantArray{Variant("one")});
    page = MakePropertyPage("Designer", form);
    ASSERT_NE(page, nullptr);
    form.Show();
    page->SelectionChanged({control});
  }
  void TearDown() override { pages::SetFolioDsnShownHook(nullptr); }

  static void ClickNamed(Form& f, const std::string& name) {
    HWND hwnd = f.FindControl(name);
    ASSERT_NE(hwnd, nullptr) << name;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ScreenToClient(f.hwnd(), &p);
    f.Click(p.x, p.y);
  }

  Form form{600, 360};
  std::shared_ptr<Container> site = std::make_shared<Container>();
  std::shared_ptr<KtPrint4Dispatch> control = std::make_shared<KtPrint4Dispatch>(site);
  std::unique_ptr<PropertyPage> page;
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
    if (std::find(order.begin(), order.end(), n) != order.end() &&
        (seen.empty() || seen.back() != n))
      seen.push_back(n);
  EXPECT_EQ(seen, order);
  EXPECT_EQ(control->Control().MarginBottom(), 900);
  EXPECT_EQ(control->Control().ColorResolution(), cr_16M_Colors);
}

TEST_F(DesignerPageTest, OurDesignerAddsRowsAndSaveHandsThemBack) {
  pages::SetFolioDsnShownHook([](Form& designer) {
    ClickNamed(designer, "cmdAddRow");
    ClickNamed(designer, "cmdAddRow");
    if (const char* dir = std::getenv("KTFOLIO_SCREENSHOTS")) {
      EXPECT_TRUE(designer.Screenshot(std::string(dir) + "/our_designer.png"));
    }
    ClickNamed(designer, "cmdSave");
  });
  ClickNamed(form, "cmdButton");
  EXPECT_TRUE(page->Changed());
  EXPECT_EQ(page->LastFailure(), "");
  page->ApplyChanges();
  EXPECT_EQ(control->Control().LastRow(), 3) << "the two rows added in the designer";
}

TEST_F(DesignerPageTest, SaveInOurDesignerWithoutEditsHandsBackTheSameBytes) {
  pages::RegisterBuiltinDesigner();
  std::uint32_t paper = 0;
  pages::SetFolioDsnShownHook([&paper](Form& designer) {
    HWND vp = designer.FindControl("VP");
    RECT rc;
    GetClientRect(vp, &rc);
    paper = user::WindowPixel(vp, rc.right / 2, 10);  // the top margin of the page
    ClickNamed(designer, "cmdSave");
  });
  // As a template file holds it: read once, so what reading resets (the
  // measured heights, dInheritLastRow) is already so.
  ByteArray before;
  control->Control().GetDsnArray(before);
  control->Control().SetDsnArray(before);
  control->Control().GetDsnArray(before);
  VariantArray args{Variant(before), Variant(std::string()), Variant(true)};
  CreateObject("FolioDsn.clsFolioDsn")->Invoke("start", args);
  const ByteArray after = args[0].ToBytes();
  EXPECT_EQ(std::string(after.begin(), after.end()), std::string(before.begin(), before.end()))
      << "the designer's own editing flags stay out of the template";
  EXPECT_EQ(paper, 0xFFFFFFu) << "the designer opens with the page drawn";
}

TEST_F(DesignerPageTest, CancelInOurDesignerHandsTheTemplateBackUnchanged) {
  pages::SetFolioDsnShownHook([](Form& designer) {
    ClickNamed(designer, "cmdAddRow");
    ClickNamed(designer, "cmdCancel");
  });
  ClickNamed(form, "cmdButton");
  page->ApplyChanges();
  EXPECT_EQ(control->Control().LastRow(), 1);
}

TEST_F(DesignerPageTest, RemoveRowInOurDesignerTakesTheClickedRow) {
  control->Control().AddRow(VariantArray{Variant("two")});
  page->SelectionChanged({control});
  pages::SetFolioDsnShownHook([](Form& designer) {
    designer.Click(300, 174);  // the first row's cell at 100 % in the 900 x 640 designer
    ClickNamed(designer, "cmdRemoveRow");
    ClickNamed(designer, "cmdSave");
  });
  ClickNamed(form, "cmdButton");
  page->ApplyChanges();
  ASSERT_EQ(control->Control().LastRow(), 1);
  EXPECT_EQ(control->Control().GetProperty(1, 1, "Text").ToString(), "two") << "the clicked first row went, not the last";
}

TEST_F(DesignerPageTest, ACellEditedInPlaceInOurDesignerComesBackWithSave) {
  pages::SetFolioDsnShownHook([](Form& designer) {
    designer.DoubleClick(300, 174);  // the first row's cell, as above
    designer.Key(VK_END);
    designer.Type(" more");
    designer.Key(VK_RETURN);
    ClickNamed(designer, "cmdSave");
  });
  ClickNamed(form, "cmdButton");
  page->ApplyChanges();
  ASSERT_EQ(control->Control().LastRow(), 1);
  EXPECT_EQ(control->Control().GetProperty(1, 1, "Text").ToString(), "one more");
}

TEST(PropertyPageTest, OnlyTheThreePagesExist) {
  Form form(200, 100);
  EXPECT_EQ(MakePropertyPage("Designer", form)->Caption(), "Designer");
  EXPECT_EQ(MakePropertyPage("Nope", form), nullptr);
}

}  // namespace
}  // namespace ktfolio
