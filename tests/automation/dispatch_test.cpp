// The by-name dispatch facility: look-up, argument binding, coercion, by-reference results,
// object properties and events; components created by programmatic identifier; and KtPrint4
// reached through it.
#include "platform/automation/dispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "control/ktprint4_dispatch.h"
#include "platform/automation/components.h"
#include "support/errors.h"

namespace ktfolio {
namespace {

using namespace ::testing;

// A small object published by name, recording what its members received.
using T = DispType;

class Counter : public Dispatch {
 public:
  Counter() {
    AddProperty("Step", T::Integer, [this] { return Variant(step); },
                [this](const Variant& v) { step = v.ToInteger(); });
    AddProperty("Tint", T::Color, [this] { return Variant(static_cast<std::int32_t>(tint)); },
                [this](const Variant& v) { tint = static_cast<std::uint32_t>(v.ToLong()); });
    AddProperty("Total", T::Long, [this] { return Variant(total); }, nullptr);
    const auto advance = [this](VariantArray& a) {
      total += a[0].ToLong() * a[1].ToInteger();
      lastLabel = a[2].ToString();
      return Variant(total);
    };
    AddMethod("Advance", {In("By", T::Long), Opt("Times", T::Integer, std::int16_t{1}),
                          Opt("Label", T::String, "step")}, advance, T::Long, true);
    AddMethod("Join", {In("Sep", T::String), Items("Parts")}, [](VariantArray& a) {
      std::string s;
      for (const auto& v : a[1].ToArray()) s += (s.empty() ? "" : a[0].ToString()) + v.ToString();
      return Variant(s);
    }, T::String, true);
    const auto split = {In("Value", T::Long), Out("High", T::Long), Out("Low", T::Long)};
    AddMethod("Split", split, [](VariantArray& a) {
      if (a[0].ToLong() < 0) return Variant(false);
      a[1] = Variant(a[0].ToLong() / 100);
      a[2] = Variant(a[0].ToLong() % 100);
      return Variant(true);
    }, T::Boolean, true);
    AddProcedure("Reset", {}, [this](VariantArray&) { total = 0; });
    const auto font = [this] { return std::make_shared<FontDispatch>(this->font); };
    AddObjectProperty("Font", font, [this](const DispatchPtr& p) {
      auto* f = dynamic_cast<FontDispatch*>(p.get());
      if (!f) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch");
      this->font = f->Font();
    });
    AddEvent("Changed", {In("Value", T::Long), DispParam{"Cancel", T::Boolean, false, {}, true}});
  }
  std::string TypeName() const override { return "Counter"; }

  // Raises Changed the way an owner would: the final Value and Cancel.
  std::tuple<std::int32_t, bool> RaiseChanged(std::int32_t value, bool cancel) {
    VariantArray a{Variant(value), Variant(cancel)};
    Fire("Changed", a);
    return {a[0].ToLong(), a[1].ToBool()};
  }

  std::int16_t step = 1;
  std::uint32_t tint = 0;
  std::int32_t total = 0;
  std::string lastLabel;
  FontPtr font = MakeFont("Arial", 10);
};

// A fresh Counter for each test.
class ByName : public ::testing::Test {
 protected:
  Counter c;
};

// Invokes `name` with `args` taken by value, for calls whose by-reference results do not matter.
Variant Call(Dispatch& d, std::string_view name, VariantArray args = {}, const std::vector<NamedArg>& named = {}) {
  return d.Invoke(name, args, named);
}

// A call that throws the library's Error with this number (and this description and source).
auto Fails(std::int32_t number) { return Throws<Error>(Property(&Error::number, number)); }
auto Fails(std::int32_t number, const std::string& description, const std::string& source) {
  return Throws<Error>(AllOf(Property(&Error::number, number),
                             Property(&Error::description, description),
                             Property(&Error::source, source)));
}

TEST_F(ByName, NamesMatchWithoutRegardToCaseSignaturesDescribeThem) {
  c.Put("STEP", Variant(3));
  EXPECT_EQ(std::tuple(c.Get("step").ToLong(), c.Member("advance").name, c.Find("Nope")),
            std::tuple(3, "Advance", nullptr));
  EXPECT_THAT([&] { c.Put("Nope", Variant(1)); }, Fails(438));
  EXPECT_THAT([&] { Call(c, "Nope"); }, Fails(438));
  EXPECT_THAT([&] { c.Get("Nope"); },
              Fails(438, "Object doesn't support this property or method", "ktfolio.Counter"));
  EXPECT_EQ(std::tuple(c.Member("Advance").Signature(), c.Member("Join").Signature(),
                       c.Member("Split").Signature(), c.Member("Total").Signature()),
            std::tuple("Advance(By, [Times = 1], [Label = \"step\"]) -> Long",
                       "Join(Sep, Parts...) -> String",
                       "Split(Value, [out High], [out Low]) -> Boolean",
                       "Total: Long (read-only)"));
}

TEST_F(ByName, PropertiesCoerceAndGuardTheirKindAndAGetCallsAMethod) {
  c.Put("Step", Variant("12"));  // strings convert as variant conversions do
  EXPECT_EQ(std::tuple(c.step, c.Get("Step").type()), std::tuple(12, VarType::Integer));
  EXPECT_THAT([&] { c.Put("Step", Variant("twelve")); }, Fails(13));
  EXPECT_THAT([&] { c.Put("Step", Variant(40000)); }, Fails(6));
  EXPECT_EQ(c.step, 12) << "a failed assignment leaves the value alone";
  EXPECT_THAT([&] { c.Put("Total", Variant(1)); }, Fails(383));
  EXPECT_THAT([&] { c.Put("Reset", Variant(1)); }, Fails(450));
  EXPECT_THAT([&] { c.Put("Font", Variant(1)); }, Fails(424));
  EXPECT_THAT([&] { c.Get("Font"); }, Fails(13));
  EXPECT_EQ(std::tuple(c.Member("Total").Writable(), c.Member("Step").Writable()), std::tuple(false, true));
  c.Put("Tint", Variant(2147483663.0));  // 0x8000000F written unsigned
  EXPECT_EQ(std::tuple(c.tint, c.Get("Tint").ToLong()), std::tuple(0x8000000Fu, std::int32_t(0x8000000Fu)));
  c.Put("Tint", Variant(static_cast<std::int32_t>(0x80000012u)));
  EXPECT_EQ(c.tint, 0x80000012u);
  c.Put("Tint", Variant(0xFFFFFF));
  EXPECT_EQ(c.tint, 0xFFFFFFu);
  EXPECT_THAT([&] { c.Put("Tint", Variant(4294967296.0)); }, Fails(6));
  c.total = 9;
  EXPECT_TRUE(c.Get("Reset").IsEmpty()) << "Get of a method calls it";
  EXPECT_EQ(c.total, 0);
  EXPECT_THAT([&] { c.Get("Advance"); }, Fails(450));
}

TEST_F(ByName, ArgumentsBindPositionallyByNameAndByDefault) {
  VariantArray a{Variant(5)};
  EXPECT_EQ(c.Invoke("Advance", a).ToLong(), 5);
  ASSERT_EQ(a.size(), 3u) << "every declared parameter comes back";
  EXPECT_EQ(std::tuple(a[1].type(), a[1].ToLong(), a[2].ToString()), std::tuple(VarType::Integer, 1, "step"));
  VariantArray b{Variant("2")};
  EXPECT_EQ(c.Invoke("advance", b, {{"label", Variant("twice")}, {"TIMES", Variant(3)}}).ToLong(), 11);
  EXPECT_EQ(std::tuple(c.lastLabel, b[0].type()), std::tuple("twice", VarType::Long))
      << "arguments are coerced to the declared type";
  EXPECT_EQ(Call(c, "Advance", {}, {{"By", Variant(1)}}).ToLong(), 12);
}

TEST_F(ByName, WrongArgumentsAreErrorsOfTheCall) {
  EXPECT_THAT([&] { Call(c, "Advance", {Variant(1), Variant(1), Variant("x"), Variant(0)}); },
              Fails(450));
  EXPECT_THAT([&] { Call(c, "Advance"); }, Fails(450)) << "By is not optional";
  EXPECT_THAT([&] { Call(c, "Advance", {Variant(1)}, {{"By", Variant(2)}}); }, Fails(450))
      << "By given twice";
  EXPECT_THAT([&] { Call(c, "Advance", {Variant(1)}, {{"Count", Variant(2)}}); }, Fails(448));
  EXPECT_THAT([&] { Call(c, "Advance", {Variant("lots")}); },
              Throws<Error>(AllOf(Property(&Error::number, 13),
                                  Property(&Error::description, HasSubstr("By")))));
  EXPECT_EQ(c.total, 0) << "no member ran for a call that could not be bound";
  EXPECT_THAT([&] { Call(c, "Step", {Variant(1)}); }, Fails(450));
}

TEST_F(ByName, ParameterArraysCollectTheRestAndByReferenceResultsComeBack) {
  VariantArray parts{Variant("-"), Variant("a"), Variant(2), Variant(true)};
  EXPECT_EQ(c.Invoke("Join", parts).ToString(), "a-2-True");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[1].ToArray().size(), 3u);
  EXPECT_EQ(Call(c, "Join", {Variant("-")}).ToString(), "");
  EXPECT_EQ(Call(c, "Join", {Variant("+")}, {{"Parts", Variant(VariantArray{Variant("x"), Variant("y")})}}).ToString(),
            "x+y");
  VariantArray a{Variant(1234)}, b{Variant(-1)}, given{Variant(-1), Variant(7), Variant(8)};
  EXPECT_TRUE(c.Invoke("Split", a).ToBool());
  EXPECT_EQ(std::tuple(a[1].ToLong(), a[2].ToLong()), std::tuple(12, 34));
  EXPECT_FALSE(c.Invoke("Split", b).ToBool());
  EXPECT_EQ(std::tuple(b[1].IsEmpty(), b[2].IsEmpty()), std::tuple(true, true));
  c.Invoke("Split", given);
  EXPECT_EQ(std::tuple(given[1].ToLong(), given[2].ToLong()), std::tuple(7, 8));
}

TEST_F(ByName, ObjectPropertiesShareTheObjectAndEventsReachEverySink) {
  DispatchPtr f = c.GetObject("font");
  f->Put("Size", Variant(12));
  f->Put("bold", Variant(true));
  EXPECT_EQ(std::tuple(c.font->Size, c.font->Bold), std::tuple(12.0f, true));
  auto other = std::make_shared<FontDispatch>();
  other->Put("Name", Variant("Courier New"));
  c.PutObject("Font", other);
  EXPECT_EQ(std::tuple(c.font, c.font->Name), std::tuple(other->Font(), "Courier New"));
  EXPECT_THAT([&] { c.PutObject("Font", std::make_shared<Counter>()); }, Fails(13));
  EXPECT_THAT([&] { c.PutObject("Step", other); }, Fails(13));
  EXPECT_THAT([&] { c.PutObject("Font", nullptr); }, Fails(424));
  EXPECT_EQ(c.RaiseChanged(1, false), std::tuple(1, false)) << "no sink: nothing changes";
  std::vector<std::string> calls;
  const int first = c.Connect([&](const DispEvent& e, VariantArray& a) {
    calls.push_back(e.name + ":" + a[0].ToString());
    a[0] = Variant(99);      // by value: the raiser must not see this
    a[1] = Variant("True");  // converts to the Boolean True
  });
  EXPECT_EQ(c.RaiseChanged(5, false), std::tuple(5, true));
  EXPECT_EQ(c.RaiseChanged(6, false), std::tuple(6, true));
  EXPECT_EQ(calls, (std::vector<std::string>{"Changed:5", "Changed:6"}));
  const int second = c.Connect([](const DispEvent&, VariantArray& a) { a[1] = Variant(VariantArray{}); });
  EXPECT_EQ(c.RaiseChanged(1, false), std::tuple(1, false)) << "a value that does not convert leaves the old one";
  c.Disconnect(second);
  c.Connect([](const DispEvent&, VariantArray&) { throw Error(5, "sink", "boom"); });
  EXPECT_EQ(c.RaiseChanged(1, false), std::tuple(1, true)) << "a failing sink does not reach the raiser";
  c.Disconnect(first);
  EXPECT_EQ(c.SinkCount(), 1u);
}

TEST_F(ByName, WhetherAnEventIsHeardIsAskedOfEachSinkEvenOneThatConnectsOrDisconnectsSinks) {
  const auto nothing = [](const DispEvent&, VariantArray&) {};
  EXPECT_FALSE(c.Heard("Changed")) << "no sink";
  std::vector<int> added;
  const int busy = c.Connect(nothing, [&](std::string_view) {
    // The host's answer runs its own code: here it connects sinks enough to move them all.
    for (int i = 0; i < 64; ++i) added.push_back(c.Connect(nothing, [](std::string_view) { return false; }));
    return false;
  });
  const int quiet = c.Connect(nothing, [](std::string_view) { return false; });  // asked after the move
  EXPECT_FALSE(c.Heard("Changed"));
  EXPECT_EQ(added.size(), 64u);
  c.Disconnect(busy);
  c.Disconnect(quiet);
  for (int cookie : added) c.Disconnect(cookie);
  int asked = 0;
  const int leaving = c.Connect(nothing, [&](std::string_view event) {
    ++asked;
    c.Disconnect(1 << 20);  // unknown: nothing happens
    return event == "Changed";
  });
  EXPECT_EQ(std::tuple(c.Heard("Changed"), c.Heard("Other"), asked), std::tuple(true, false, 2));
  c.Connect(nothing);  // says nothing of what it hears: it may hear anything
  EXPECT_TRUE(c.Heard("Other"));
  c.Disconnect(leaving);
}

// A component of no use but its name.
class Thing : public Dispatch {
 public:
  std::string TypeName() const override { return "Thing"; }
};

TEST(ComponentsTest, ObjectsAreMadeByNameWithoutRegardToCaseAndOnlyByAFactoryThatMakesOne) {
  const auto cannotCreate = Throws<Error>(Property(&Error::number, kCannotCreateObject));
  int made = 0;
  RegisterComponent("Test.Thing", [&made] { return ++made, std::make_shared<Thing>(); });
  EXPECT_EQ(CreateObject("test.THING")->TypeName(), "Thing");
  EXPECT_NE(CreateObject("Test.Thing"), CreateObject("Test.Thing")) << "a new object each time";
  EXPECT_EQ(std::tuple(made, UnregisterComponent("TEST.thing")), std::tuple(3, true));
  EXPECT_FALSE(UnregisterComponent("Test.Thing"));
  EXPECT_THAT([] { CreateObject("Test.Thing"); }, cannotCreate);
  RegisterComponent("Test.Empty", [] { return DispatchPtr(); });
  EXPECT_THAT([] { CreateObject("Test.Empty"); }, cannotCreate);
  UnregisterComponent("Test.Empty");
  EXPECT_EQ(kCannotCreateObject, 429) << "the number hosts test for";
}

// KtPrint4 reached by name: the published surface, values through it, the by-reference
// results of GetLastError and the events.

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
      "Refresh", "RefreshStatus", "DocTitle", "DocAuthor", "DocSubject", "DocKeywords", "DocLanguage", "TaggedPdf", "PdfJobs",
      "TemplateCodePage"};
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
