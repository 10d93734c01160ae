// KtPrint4 reached by name: the published surface, values through it, the by-reference
// results of GetLastError and the events.
#include "control/ktprint4_dispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "support/errors.h"

namespace ktfolio {
namespace {

using namespace ::testing;

std::set<std::string> PublishedNames(const Dispatch& d) {
  std::set<std::string> names;
  for (const DispMember& m : d.Members()) names.insert(m.name);
  return names;
}

TEST(KtPrint4Dispatch, PublishesThePublicInterfaceAndNothingInternal) {
  KtPrint4Dispatch d;
  const std::set<std::string> expected = {
      "ScaleMode", "PageSize", "PaperWidth", "PaperLength", "Orientation", "Marginleft", "MarginRight", "MarginTop",
      "MarginBottom", "MarginHeader", "MarginFooter", "ColSpacing", "RowSpacing", "dRowIndentTop",
      "dRowIndentBottom", "dRowHeight", "dColIndentFirst", "dColIndentLeft", "dColIndentRight", "dFitHeightToText",
      "dColEditType", "Font", "dFontColor", "dColShadowColor", "dColShadowHeavyColor", "dColPenColor",
      "dColBrushColor", "dFontStyle", "dColAlignPos", "dColPenStyle", "dColShadowSize", "dColLineBottom",
      "dColLineTop", "dColLineLeft", "dColLineRight", "dColClipping", "dColWordWrap", "dColFillCell",
      "dColsLayoutType", "dColsPerRow", "dInheritLastRow", "ColorResolution", "EditEnterAction", "PrinterName",
      "sText", "ShowToolBar", "ShowPrintDlg", "ShowGuideLines", "StartBodyRow", "EndBodyRow", "AllowCellEditing",
      "AutoHighLightEditing", "MultiLineEditing", "ActiveArea", "ActiveRow", "ActiveCol", "LastRow", "Pages",
      "AddRow", "AddStartDocRow", "AddEndDocRow", "AddHeaderRow", "AddFooterRow", "SetTextRow", "RemoveRows",
      "ClearAll", "SetProperty", "GetProperty", "SetFrameControl", "SetEdge", "OutLineBlock", "SetPageBreak",
      "SetGuideRow", "RePaging", "ClearError", "GetLastError", "ExportPng", "ExportPngDpi", "ExportPdf", "PrintDoc", "SaveAsTemplate",
      "LoadFromTemplate", "GetDsnArray", "SetDsnArray", "GetProArray", "DesigMode", "a_Designer", "Preview", "SetZoom",
      "Refresh", "RefreshStatus", "DocTitle", "DocAuthor", "DocSubject", "DocKeywords", "DocLanguage", "TemplateCodePage"};
  EXPECT_EQ(PublishedNames(d), expected);
  for (const char* ro : {"StartBodyRow", "EndBodyRow", "LastRow", "Pages"})
    EXPECT_FALSE(d.Member(ro).Writable()) << ro;
  std::set<std::string> events;
  for (const DispEvent& e : d.Events()) events.insert(e.name);
  EXPECT_EQ(events, (std::set<std::string>{"NewPage", "EnterCell", "LeaveCell", "ClickCell", "BeforeButtonClick"}));
}

TEST(KtPrint4Dispatch, TemplatesTravelAsBytesAndAControlNotOwnedIsPublished) {
  KtPrint4Dispatch a, b;
  a.Control().AddRow("by name");
  VariantArray args{Variant()};
  a.Invoke("GetDsnArray", args);
  ASSERT_EQ(args[0].type(), VarType::Bytes) << "the design comes back in the by-reference argument";
  VariantArray set{args[0]};
  b.Invoke("setdsnarray", set);
  EXPECT_EQ(std::tuple(b.Control().LastRow(), b.Control().GetProperty(1, 1, "Text").ToString()), std::tuple(1, "by name"));

  b.Put("DesigMode", Variant(true));
  EXPECT_TRUE(b.Control().ShowGuideLines());
  EXPECT_FALSE(b.Member("DesigMode").Readable()) << "design mode is set only";
  b.Put("a_Designer", Variant("ignored"));
  EXPECT_TRUE(b.Get("a_Designer").IsEmpty());
  KtPrint4Impl control;
  {
    KtPrint4Dispatch d(control);
    d.Put("dColsPerRow", Variant(4));
  }
  EXPECT_EQ(control.dColsPerRow(), 4);
  EXPECT_TRUE(control.AddRow() && control.LastRow() == 1);
}

TEST(KtPrint4Dispatch, PropertiesReachTheControlWithTheirSideEffects) {
  KtPrint4Dispatch d;
  KtPrint4Impl& c = d.Control();
  d.Put("scalemode", Variant(6));
  EXPECT_EQ(c.ScaleMode(), 6);
  EXPECT_FLOAT_EQ(d.Get("PaperWidth").ToSingle(), 210.0f);
  d.Put("Marginleft", Variant("12.5"));
  EXPECT_FLOAT_EQ(c.Marginleft(), 12.5f);
  EXPECT_EQ(d.Get("dColShadowColor").ToLong(), static_cast<std::int32_t>(0x8000000Fu));
  d.Put("dColPenColor", Variant(4294967295.0));
  EXPECT_EQ(c.dColPenColor(), 0xFFFFFFFFu);
  d.Put("dColLineTop", Variant(3));
  EXPECT_EQ(d.Get("dColLineTop").type(), VarType::Integer);
  EXPECT_THAT([&] { d.Put("dColLineTop", Variant(70000)); },
              Throws<Error>(Property(&Error::number, ToInt(ErrorCode::kOverflow))));
  EXPECT_EQ(c.dColLineTop(), 3);
  auto font = std::make_shared<FontDispatch>(MakeFont("Times New Roman", 12, true));
  d.PutObject("Font", font);
  EXPECT_EQ(std::tuple(c.Font(), c.Defaults().dFontBold, d.GetObject("Font")),
            std::tuple(font->Font(), true, font)) << "the font is shared by reference";
  EXPECT_EQ(d.GetObject("Font")->Get("Name").ToString(), "Times New Roman");
}

TEST(KtPrint4Dispatch, RowMethodsTakeTheirItemsAsTrailingArguments) {
  KtPrint4Dispatch d;
  KtPrint4Impl& c = d.Control();
  VariantArray items{Variant("a"), Variant("#1440#b"), Variant(2.5)};
  EXPECT_TRUE(d.Invoke("AddRow", items).ToBool());
  VariantArray none;
  EXPECT_TRUE(d.Invoke("AddRow", none).ToBool());
  EXPECT_EQ(std::tuple(c.LastRow(), c.GetProperty(1, 2, "Text").ToString(), c.GetProperty(1, 2, "TabLeft").ToSingle(),
                       c.GetProperty(1, 3, "Text").ToString()),
            std::tuple(2, "b", 1440.0f, "2.5"));
  VariantArray retext{Variant(1), Variant(Body), Variant("z")};
  EXPECT_TRUE(d.Invoke("SetTextRow", retext).ToBool());
  EXPECT_EQ(c.GetProperty(1, 1, "Text").ToString(), "z");
  VariantArray remove{Variant(2), Variant(2)};
  EXPECT_TRUE(d.Invoke("RemoveRows", remove).ToBool());
  EXPECT_EQ(remove[2].ToLong(), Body) << "the omitted PageArea took its default";
  EXPECT_EQ(c.LastRow(), 1);
}

TEST(KtPrint4Dispatch, GetLastErrorReturnsTheRecordThroughItsArguments) {
  KtPrint4Dispatch d;
  VariantArray out;
  EXPECT_FALSE(d.Invoke("GetLastError", out).ToBool());
  ASSERT_EQ(out.size(), 3u);
  EXPECT_TRUE(out[0].IsEmpty() && out[1].IsEmpty() && out[2].IsEmpty());

  VariantArray bad{Variant(1), Variant(1), Variant("NoSuchName"), Variant(1)};
  EXPECT_FALSE(d.Invoke("SetProperty", bad).ToBool());
  VariantArray got{Variant(0), Variant(""), Variant("")};
  EXPECT_TRUE(d.Invoke("GetLastError", got).ToBool());
  EXPECT_EQ(got, (VariantArray{Variant(ToInt(ErrorCode::kNoValidPropertyName)), Variant("No valid Property Name"),
                               Variant("Set Property")}));
  d.Get("ClearError");
  VariantArray kept{Variant(7), Variant("d"), Variant("s")};
  EXPECT_FALSE(d.Invoke("GetLastError", kept).ToBool());
  EXPECT_EQ(kept, (VariantArray{Variant(7), Variant("d"), Variant("s")})) << "no error: the arguments stay";
}

TEST(KtPrint4Dispatch, EventsRaisedByTheControlReachSinksAndReturnAnswers) {
  KtPrint4Dispatch d;
  KtPrint4Events& raise = d.EventAdapter();
  bool cancel = false;
  raise.EnterCell(1, 2, Body, cancel);
  EXPECT_FALSE(cancel) << "without sinks nothing answers";

  std::vector<std::string> seen;
  d.Connect([&](const DispEvent& e, VariantArray& a) {
    seen.push_back(e.name);
    if (e.name == "EnterCell" && a[1].ToLong() == 2) a[3] = Variant(true);
    if (e.name == "NewPage") a[0] = Variant(a[0].ToLong() + 10);
    if (e.name == "BeforeButtonClick" && a[1].ToString() == "print") a[2] = Variant(true);
  });
  raise.EnterCell(1, 2, Body, cancel);
  EXPECT_TRUE(cancel);
  cancel = false;
  raise.LeaveCell(1, 3, Body, cancel);
  EXPECT_FALSE(cancel);
  std::int32_t page = 1, row = 5, firstOrLast = 0;
  raise.NewPage(page, row, firstOrLast);
  EXPECT_EQ(std::tuple(page, row), std::tuple(11, 5));
  raise.ClickCell(1, 1, Header, 1);
  raise.BeforeButtonClick(3, "print", cancel);
  EXPECT_TRUE(cancel);
  EXPECT_EQ(seen, (std::vector<std::string>{"EnterCell", "LeaveCell", "NewPage", "ClickCell", "BeforeButtonClick"}));
}

TEST(KtPrint4Dispatch, PrintDocByNameTakesItsOptionalArgumentsAndRecordsFailures) {
  KtPrint4Dispatch d;
  KtPrint4Impl& c = d.Control();
  c.AddRow("x");
  c.PrinterName("no-such-printer-anywhere");
  VariantArray range{Variant(std::int16_t{1}), Variant(std::int16_t{1})};
  auto last = [&c] { return testing::LastErrorNumber(c); };
  d.Invoke("PrintDoc", range);
  EXPECT_EQ(last(), ErrorCode::kCannotOpenPrinter) << "the omitted copies took their default of one";
  VariantArray noCopies{Variant(std::int16_t{1}), Variant(std::int16_t{1}), Variant(false), Variant(std::int16_t{0})};
  d.Invoke("PrintDoc", noCopies);
  EXPECT_EQ(last(), ErrorCode::kInvalidCopies);
}

}  // namespace
}  // namespace ktfolio
