#include <gtest/gtest.h>

#include "control/ktprint4_impl.h"

namespace ktfolio {
namespace {

TEST(Settings, StartUpValues) {
  KtPrint4Impl c;
  // Lengths in twips; every one of them is a whole number, so exact comparison holds.
  EXPECT_EQ(std::vector<double>({c.PaperWidth(), c.PaperLength(), c.Marginleft(), c.MarginHeader(), c.MarginFooter(),
                                 c.dRowHeight(), c.dColIndentLeft(), c.PageInfo().AvailWidth, c.PageInfo().AvailHeight}),
            std::vector<double>({11905, 16837, 1440, 500, 1000, 300, 80, 11905 - 2880, 16837 - 2880}));
  EXPECT_EQ(std::vector<std::int64_t>({c.ScaleMode(), c.PageSize(), c.dColAlignPos(), c.dColShadowColor(),
                                       c.dColBrushColor(), c.dColsPerRow(), c.dInheritLastRow(), c.ColorResolution(),
                                       c.EditEnterAction(), c.Pages()}),
            std::vector<std::int64_t>({eTwip, s_A4, ppLeftCenter, 0x8000000F, 0xFFFFFF, 1, 1, 8, ppEnterAddCRLF, 1}));
  EXPECT_EQ(c.Defaults().dFontName, "Arial");
}

TEST(Settings, AmbientPropertiesOfTheContainer) {
  Container form;
  form.AmbientForeColor(0x123456);
  form.AmbientFont(MakeFont("Times New Roman", 14, true));
  KtPrint4Impl c(&form);
  EXPECT_EQ(std::tuple(c.dFontColor(), c.Font()->Name), std::tuple(0x123456u, "Times New Roman"));
  // New cells keep Arial 10 until the host sets Font itself.
  EXPECT_EQ(std::tuple(c.Defaults().dFontName, c.Defaults().dFontSize), std::tuple("Arial", 10.0f));
}

TEST(Settings, PaperFollowsPageSizeInTheCurrentScaleAndOrientation) {
  KtPrint4Impl c;
  c.ScaleMode(eMillimetre);
  c.PageSize(s_LETTER);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 215.9f);
  c.PageSize(s_A4);
  EXPECT_EQ(std::tuple(c.PaperWidth(), c.PaperLength(), c.PageInfo().Width), std::tuple(210.0f, 297.0f, 11905.0f));
  EXPECT_TRUE(c.NeedsRepaging() && c.PrinterSetupChanged());
  // A paper width counts only for a user size.
  KtPrint4Impl d;
  d.NeedsRepaging(false);
  d.PaperWidth(5000);
  EXPECT_EQ(std::tuple(d.PaperWidth(), d.NeedsRepaging()), std::tuple(11905.0f, false));
  d.PageSize(s_USER);
  d.NeedsRepaging(false);
  d.PaperWidth(5000);
  EXPECT_EQ(
      std::tuple(d.PaperWidth(), d.PageInfo().Width, d.PageInfo().AvailWidth, d.NeedsRepaging()),
      std::tuple(5000.0f, 5000.0f, 2120.0f, true));
  KtPrint4Impl e;  // orientation swaps width and height
  e.Orientation(Landscape);
  EXPECT_EQ(std::tuple(e.PageInfo().Width, e.PageInfo().Height, e.PageInfo().AvailHeight),
            std::tuple(16837.0f, 11905.0f, 11905.0f - 2880));
}

TEST(Settings, ScaleModeRereadsStoredLengthsAndOnlyAChangedMarginRepagesButSpacingAlwaysDoes) {
  KtPrint4Impl c;
  c.NeedsRepaging(false);
  c.Marginleft(1440);
  EXPECT_FALSE(c.NeedsRepaging());
  c.ColSpacing(0);
  EXPECT_TRUE(c.NeedsRepaging());
  c.ScaleMode(eInch);
  EXPECT_FLOAT_EQ(c.Marginleft(), 1);
  EXPECT_FLOAT_EQ(c.PaperWidth(), 8.27f);
  EXPECT_FLOAT_EQ(c.PageInfo().LeftM, 1440);  // twips do not change
  c.Marginleft(0.5f);
  EXPECT_FLOAT_EQ(c.PageInfo().LeftM, 720);
  c.ColSpacing(0.1f);
  EXPECT_EQ(std::tuple(c.Defaults().dColSpacing, c.ColSpacing()), std::tuple(144.0f, 0.1f));
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
  auto font = [&](std::int32_t row) {
    return std::tuple(c.GetProperty(row, 1, "FontName").ToString(), c.GetProperty(row, 1, "FontSize").ToSingle(),
                      c.GetProperty(row, 1, "FontBold").ToBool());
  };
  EXPECT_EQ(font(1), std::tuple("Arial", 10.0f, false));
  EXPECT_EQ(font(2), std::tuple("Courier New", 12.0f, true));
}

TEST(Settings, ActiveRowAndColFollowTheActiveArea) {
  KtPrint4Impl c;
  c.AddHeaderRow("h1", "h2");
  EXPECT_EQ(std::tuple(c.ActiveArea(), c.ActiveRow(), c.ActiveCol()), std::tuple(Header, 1, 2));
  c.ActiveArea(Body);
  EXPECT_EQ(c.ActiveRow(), 0);
  c.ActiveArea(7);
  c.ActiveRow(3);  // ignored
  c.sText("nowhere");
  EXPECT_EQ(std::tuple(c.ActiveRow(), c.sText()), std::tuple(0, ""));
  c.ActiveArea(Footer);
  c.sText("footer note");
  EXPECT_EQ(c.sText(), "footer note");
  c.ActiveArea(Body);
  EXPECT_EQ(c.sText(), "");
}

}  // namespace
}  // namespace ktfolio
