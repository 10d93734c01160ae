#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

TEST(Settings, StartUpValues) {
  KtPrint4Impl c;
  EXPECT_EQ(c.ScaleMode(), eTwip);
  EXPECT_EQ(c.PageSize(), s_A4);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 11905);
  EXPECT_FLOAT_EQ(c.PaperLength(), 16837);
  EXPECT_FLOAT_EQ(c.Marginleft(), 1440);
  EXPECT_FLOAT_EQ(c.MarginHeader(), 500);
  EXPECT_FLOAT_EQ(c.MarginFooter(), 1000);
  EXPECT_FLOAT_EQ(c.dRowHeight(), 300);
  EXPECT_FLOAT_EQ(c.dColIndentLeft(), 80);
  EXPECT_EQ(c.dColAlignPos(), ppLeftCenter);
  EXPECT_EQ(c.dColShadowColor(), 0x8000000Fu);
  EXPECT_EQ(c.dColBrushColor(), 0xFFFFFFu);
  EXPECT_EQ(c.dColsPerRow(), 1);
  EXPECT_TRUE(c.dInheritLastRow());
  EXPECT_EQ(c.ColorResolution(), 8);
  EXPECT_EQ(c.EditEnterAction(), ppEnterAddCRLF);
  EXPECT_EQ(c.Pages(), 1);
  EXPECT_EQ(c.Defaults().dFontName, "Arial");
  EXPECT_FLOAT_EQ(c.PageInfo().AvailWidth, 11905 - 2880);
  EXPECT_FLOAT_EQ(c.PageInfo().AvailHeight, 16837 - 2880);
}

TEST(Settings, AmbientPropertiesOfTheContainer) {
  Container form;
  form.AmbientForeColor(0x123456);
  form.AmbientFont(MakeFont("Times New Roman", 14, true));
  KtPrint4Impl c(&form);
  EXPECT_EQ(c.dFontColor(), 0x123456u);
  EXPECT_EQ(c.Font()->Name, "Times New Roman");
  // New cells keep Arial 10 until the host sets Font itself.
  EXPECT_EQ(c.Defaults().dFontName, "Arial");
  EXPECT_FLOAT_EQ(c.Defaults().dFontSize, 10);
}

TEST(Settings, PaperFollowsPageSizeInTheCurrentScale) {
  KtPrint4Impl c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_LETTER);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 215.9f);
  c.PageSize(s_A4);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 210);
  EXPECT_FLOAT_EQ(c.PaperLength(), 297);
  EXPECT_FLOAT_EQ(c.PageInfo().Width, 11905);
  EXPECT_TRUE(c.NeedsRepaging());
  EXPECT_TRUE(c.PrinterSetupChanged());
}

TEST(Settings, PaperWidthOnlyCountsForUserSize) {
  KtPrint4Impl c;
  c.NeedsRepaging(false);
  c.PaperWidth(5000);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 11905);
  EXPECT_FALSE(c.NeedsRepaging());

  c.PageSize(s_USER);
  c.NeedsRepaging(false);
  c.PaperWidth(5000);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 5000);
  EXPECT_FLOAT_EQ(c.PageInfo().Width, 5000);
  EXPECT_FLOAT_EQ(c.PageInfo().AvailWidth, 5000 - 2880);
  EXPECT_TRUE(c.NeedsRepaging());
}

TEST(Settings, ScaleModeRereadsStoredLengths) {
  KtPrint4Impl c;
  c.ScaleMode(eInch);
  EXPECT_FLOAT_EQ(c.Marginleft(), 1);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 8.27f);
  EXPECT_FLOAT_EQ(c.PageInfo().LeftM, 1440);  // twips do not change
  c.Marginleft(0.5f);
  EXPECT_FLOAT_EQ(c.PageInfo().LeftM, 720);
  c.ColSpacing(0.1f);
  EXPECT_FLOAT_EQ(c.Defaults().dColSpacing, 144);
  EXPECT_FLOAT_EQ(c.ColSpacing(), 0.1f);
}

TEST(Settings, OrientationSwapsWidthAndHeight) {
  KtPrint4Impl c;
  c.Orientation(Landscape);
  EXPECT_FLOAT_EQ(c.PageInfo().Width, 16837);
  EXPECT_FLOAT_EQ(c.PageInfo().Height, 11905);
  EXPECT_FLOAT_EQ(c.PageInfo().AvailHeight, 11905 - 2880);
}

TEST(Settings, UnchangedMarginDoesNotRepageButSpacingAlwaysDoes) {
  KtPrint4Impl c;
  c.NeedsRepaging(false);
  c.Marginleft(1440);
  EXPECT_FALSE(c.NeedsRepaging());
  c.ColSpacing(0);
  EXPECT_TRUE(c.NeedsRepaging());
}

TEST(Settings, SettersNotifyTheContainer) {
  Container form;
  KtPrint4Impl c(&form);
  form.ClearNotifications();
  c.MarginBottom(2000);
  c.MarginHeader(600);  // the one margin that stays silent
  c.dColPenColor(0xFF);
  c.Marginleft(100);
  c.PageSize(s_A4);  // unchanged: silent
  c.PageSize(s_A5);
  EXPECT_EQ(form.Notifications(), (std::vector<std::string>{"MarginBottom", "dColPenColor", "", "PageSize"}));
  EXPECT_TRUE(form.Dirty());
}

TEST(Settings, FontCopiesIntoTheDefaultsAndNewRows) {
  KtPrint4Impl c;
  c.AddRow("before");
  c.Font(MakeFont("Courier New", 12, true));
  c.dInheritLastRow(false);
  c.AddRow("after");
  EXPECT_EQ(c.GetProperty(1, 1, "FontName").ToString(), "Arial");
  EXPECT_EQ(c.GetProperty(2, 1, "FontName").ToString(), "Courier New");
  EXPECT_FLOAT_EQ(c.GetProperty(2, 1, "FontSize").ToSingle(), 12);
  EXPECT_TRUE(c.GetProperty(2, 1, "FontBold").ToBool());
  EXPECT_FALSE(c.GetProperty(1, 1, "FontBold").ToBool());
}

TEST(Settings, ActiveRowAndColFollowTheActiveArea) {
  KtPrint4Impl c;
  c.AddHeaderRow("h1", "h2");
  EXPECT_EQ(c.ActiveArea(), Header);
  EXPECT_EQ(c.ActiveRow(), 1);
  EXPECT_EQ(c.ActiveCol(), 2);
  c.ActiveArea(Body);
  EXPECT_EQ(c.ActiveRow(), 0);
  c.ActiveArea(7);
  c.ActiveRow(3);  // ignored
  EXPECT_EQ(c.ActiveRow(), 0);
  c.sText("nowhere");
  EXPECT_EQ(c.sText(), "");
  c.ActiveArea(Footer);
  c.sText("footer note");
  EXPECT_EQ(c.sText(), "footer note");
  c.ActiveArea(Body);
  EXPECT_EQ(c.sText(), "");
}

}  // namespace
}  // namespace ktfolio
