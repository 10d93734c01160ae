// The control in its container's property bag, and the bag in a form file.
#include "persist_test_util.h"
#include "platform/container/property_bag.h"
#include "varied_document.h"

namespace ktfolio {
namespace {

using namespace testing;

std::vector<std::string> Keys(const PropertyBag& bag) {
  std::vector<std::string> keys;
  for (const auto& e : bag.Entries()) keys.push_back(e.name);
  return keys;
}

// The error a call throws, or 0 when it throws none; its description must say `says`.
template <class F>
std::int32_t Thrown(F&& f, const std::string& says = "") {
  try {
    f();
  } catch (const Error& e) {
    EXPECT_NE(e.description(), "");
    EXPECT_NE(e.description().find(says), std::string::npos) << e.description();
    return e.number();
  }
  return 0;
}

TEST(PropertyBag, AnUntouchedControlStoresOnlyItsDesign) {
  KtPrint4Impl c;
  PropertyBag bag;
  c.WriteProperties(bag);
  EXPECT_EQ(Keys(bag), (std::vector<std::string>{"DsnArraysize", "DsnArray"}));
  const ByteArray dsn = bag.ReadProperty("dsnarray").ToBytes();
  EXPECT_EQ(bag.ReadProperty("DsnArraySize").ToLong(), static_cast<std::int32_t>(dsn.size()));
  EXPECT_EQ(Text(dsn), TemplateOf(c));
}

TEST(PropertyBag, OnlyValuesOtherThanTheirDefaultsAreStored) {
  struct Case { const char* key; void (*change)(KtPrint4Impl&); Variant stored; };
  const Case cases[] = {
      {"dColClipping", [](KtPrint4Impl& c) { c.dColClipping(false); }, Variant(false)},
      {"ScaleMode", [](KtPrint4Impl& c) { c.ScaleMode(eMillimetre); }, Variant(eMillimetre)},
      {"MarginLeft", [](KtPrint4Impl& c) { c.Marginleft(720); }, Variant(720.0f)},
      {"dcolLineRight", [](KtPrint4Impl& c) { c.dColLineRight(2); }, Variant(std::int16_t{2})},
      {"dColShadowColor", [](KtPrint4Impl& c) { c.dColShadowColor(0x123456); }, Variant(0x123456)},
      {"PrinterName", [](KtPrint4Impl& c) { c.PrinterName("Office"); }, Variant("Office")},
      {"sText", [](KtPrint4Impl& c) { c.sText("note"); }, Variant("note")},
      {"ActiveRowH", [](KtPrint4Impl& c) { c.AddHeaderRow("h"); }, Variant(1)},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.key);
    KtPrint4Impl c;
    k.change(c);
    PropertyBag bag;
    c.WriteProperties(bag);
    ASSERT_TRUE(bag.Contains(k.key));
    EXPECT_TRUE(bag.ReadProperty(k.key) == k.stored) << bag.ReadProperty(k.key).ToString();
    EXPECT_EQ(bag.ReadProperty(k.key).type(), k.stored.type()) << "stored with its key's type";
  }
}

TEST(PropertyBag, ReadingRestoresEveryKeyAndTheDocument) {
  KtPrint4Impl a;
  BuildVariedDocument(a, 30, 3, 5);
  a.Font(MakeFont("Times New Roman", 12, true));
  a.dColClipping(false);
  a.ShowToolBar(false);
  PropertyBag bag;
  a.WriteProperties(bag);

  KtPrint4Impl b;
  b.ReadProperties(bag);
  EXPECT_EQ(LastRecorded(b).number, 0) << LastRecorded(b).description;
  EXPECT_EQ(
      std::tuple(b.dColClipping(), b.ShowToolBar(), b.Font()->Name, b.Font()->Bold, b.ScaleMode()),
      std::tuple(false, false, "Times New Roman", true, eMillimetre)) << "False round-trips";
  EXPECT_EQ(std::tuple(b.Marginleft(), b.PageInfo().LeftM), std::tuple(12.5f, a.PageInfo().LeftM));
  EXPECT_EQ(DumpDocument(b), DumpDocument(a));
}

TEST(PropertyBag, WithoutADesignTheDocumentIsEmpty) {
  PropertyBag none;
  none.WriteProperty("ShowGuideLines", Variant(true));
  PropertyBag zero = none;
  zero.WriteProperty("DsnArraySize", Variant(0), Variant());
  zero.WriteProperty("DsnArray", Variant(Bytes(Lines({"[Body]", "[Row]1"}))));
  for (const PropertyBag* bag : {&none, &zero}) {
    KtPrint4Impl c;
    c.AddRow("x");
    c.ReadProperties(*bag);
    EXPECT_EQ(std::tuple(c.LastRow(), c.DesignBuffer().empty(), c.ShowGuideLines()),
              std::tuple(0, true, true));
  }
}

TEST(PropertyBag, TheStoredDesignIsReadAfterTheKeysAndWinsOverThem) {
  PropertyBag bag;
  bag.WriteProperty("ShowGuideLines", Variant(false));
  const std::string dsn = Lines({"[Properties]", "ShowGuideLines=-1", "[Body]", "[Row]1", "[Col]1", "Text=t"});
  bag.WriteProperty("dsnarraysize", Variant(static_cast<std::int32_t>(dsn.size())));
  bag.WriteProperty("DSNARRAY", Variant(Bytes(dsn + "trailing bytes beyond the size")));
  KtPrint4Impl c;
  c.ReadProperties(bag);
  EXPECT_EQ(std::tuple(c.ShowGuideLines(), c.LastRow(), Text(c.DesignBuffer())),
            std::tuple(true, 1, dsn)) << "the design wins, and the size cuts the array";
}

TEST(PropertyBag, ABagThatCannotBeReadReachesTheContainer) {
  PropertyBag wrongType;
  wrongType.WriteProperty("ScaleMode", Variant("inches"));
  PropertyBag shortArray;
  shortArray.WriteProperty("DsnArraySize", Variant(1000000));
  shortArray.WriteProperty("DsnArray", Variant(Bytes("[Body]\r\n")));
  PropertyBag penStyle;  // a pen style new cells could not carry into template text
  penStyle.WriteProperty("dColPenStyle", Variant(40000));
  KtPrint4Impl c;
  EXPECT_NE(Thrown([&] { c.ReadProperties(wrongType); }), 0);
  EXPECT_EQ(Thrown([&] { c.ReadProperties(penStyle); }), ErrorCode::kOverflow);
  EXPECT_EQ(Thrown([&] { c.ReadProperties(shortArray); }), ErrorCode::kInvalidFileFormat);
}

TEST(PropertyBag, InitialisingGivesANewControlsState) {
  KtPrint4Impl fresh, c;
  c.AddRow("x");
  c.AddRow("y");
  c.SetPageBreak(2);
  c.SetGuideRow(1);
  ASSERT_EQ(c.Pages(), 2);
  c.ScaleMode(eInch);
  c.dColsPerRow(4);
  c.InitProperties();
  EXPECT_EQ(std::tuple(DumpDocument(c), TemplateOf(c)),
            std::tuple(DumpDocument(fresh), TemplateOf(fresh)));
}

TEST(FormFile, EveryKindOfValueSurvivesTheText) {
  PropertyBag bag;
  ByteArray allBytes;
  for (int i = 0; i < 256; ++i) allBytes.push_back(static_cast<std::uint8_t>(i));
  bag.WriteProperty("Flag", Variant(true));
  bag.WriteProperty("Small", Variant(std::int16_t{-3}));
  bag.WriteProperty("Long", Variant(-2147483647 - 1));
  bag.WriteProperty("Single", Variant(0.1f));
  bag.WriteProperty("Double", Variant(1.0 / 3.0));
  bag.WriteProperty("Text", Variant("line 1\r\nline=2 100% caf\xC3\xA9\t\x7F"));
  bag.WriteProperty("Bytes", Variant(allBytes));
  bag.WriteProperty("Two", Variant(ByteArray{1, 2}));
  bag.WriteFont("Font", StdFont{"Courier, New", 9.5f, true, false, true, false}, nullptr);

  const std::string text = bag.ToText();
  EXPECT_EQ(text.find('\r'), std::string::npos) << "a value never breaks its line";
  const PropertyBag back = PropertyBag::FromText(text);
  EXPECT_EQ(Keys(back), Keys(bag));
  for (const auto& e : bag.Entries()) {
    SCOPED_TRACE(e.name);
    if (e.font) continue;
    const Variant v = back.ReadProperty(e.name);
    EXPECT_TRUE(v.type() == e.value.type() && v == e.value) << v.ToString();
  }
  const FontPtr f = back.ReadFont("font", nullptr);
  EXPECT_EQ(std::tuple(f->Name, f->Size, f->Bold, f->Underline, f->Italic, f->Strikethrough),
            std::tuple("Courier, New", 9.5f, true, true, false, false));
  EXPECT_EQ(back.ToText(), text);
}

TEST(FormFile, AControlSavedToAFormFileReadsBack) {
  ScratchDir dir;
  KtPrint4Impl a;
  BuildVariedDocument(a, 10, 3, 9);
  PropertyBag bag;
  a.WriteProperties(bag);
  bag.SaveToFile(dir.File("form.ktf"));
  KtPrint4Impl b;
  b.ReadProperties(PropertyBag::LoadFromFile(dir.File("form.ktf")));
  EXPECT_EQ(DumpDocument(b), DumpDocument(a));
}

TEST(FormFile, ABadLineIsAnErrorNamingIt) {
  const std::string head = "ktfolio property bag 1\n";
  for (const std::string& t : {std::string(), std::string("not a bag\n"), head + "NoType\n", head + "A=Long:12x\n",
                              head + "A=Integer:40000\n", head + "A=Boolean:yes\n", head + "A=Bytes:abc\n",
                              head + "A=String:%G0\n", head + "A=Font:10,1,0,0\n", head + "A=Long:1\na=Long:2\n",
                              head + "A=Variant()\n"}) {
    EXPECT_EQ(Thrown([&] { PropertyBag::FromText(t); }, "line "), ErrorCode::kInvalidFileFormat)
        << t;
  }
  EXPECT_EQ(PropertyBag::FromText("ktfolio property bag 1\r\n\r\n# note\r\nA=Long:1\r\n").ReadProperty("a"), Variant(1))
      << "CR LF line ends, blank lines and comments are fine";
}

TEST(FormFile, NamesAFormFileCannotHoldAreRefused) {
  PropertyBag bag;
  for (const char* name : {"", "a=b", "#x", "line\nbreak"}) EXPECT_THROW(bag.WriteProperty(name, Variant(1)), Error) << name;
  EXPECT_THROW(bag.WriteProperty("list", Variant(VariantArray{Variant(1)})), Error);
}

}  // namespace
}  // namespace ktfolio
