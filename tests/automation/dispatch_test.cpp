// The by-name dispatch facility: look-up, argument binding, coercion,
// by-reference results, object properties and events.
#include "platform/automation/dispatch.h"

#include <gtest/gtest.h>

namespace ktfolio {
namespace {

// A small object published by name, recording what its members received.
class Counter : public Dispatch {
 public:
  Counter() {
    AddProperty("Step", DispType::Integer, [this] { return Variant(step); },
                [this](const Variant& v) { step = v.ToInteger(); });
    AddProperty("Tint", DispType::Color, [this] { return Variant(static_cast<std::int32_t>(tint)); },
                [this](const Variant& v) { tint = static_cast<std::uint32_t>(v.ToLong()); });
    AddProperty("Total", DispType::Long, [this] { return Variant(total); }, nullptr);
    AddMethod(
        "Advance", {In("By", DispType::Long), Opt("Times", DispType::Integer, std::int16_t{1}),
                    Opt("Label", DispType::String, "step")},
        [this](VariantArray& a) {
          total += a[0].ToLong() * a[1].ToInteger();
          lastLabel = a[2].ToString();
          seen = a;
          return Variant(total);
        },
        DispType::Long, true);
    AddMethod(
        "Join", {In("Sep", DispType::String), Items("Parts")},
        [](VariantArray& a) {
          std::string s;
          for (const Variant& v : a[1].ToArray()) s += (s.empty() ? "" : a[0].ToString()) + v.ToString();
          return Variant(s);
        },
        DispType::String, true);
    AddMethod(
        "Split", {In("Value", DispType::Long), Out("High", DispType::Long), Out("Low", DispType::Long)},
        [](VariantArray& a) {
          if (a[0].ToLong() < 0) return Variant(false);
          a[1] = Variant(a[0].ToLong() / 100);
          a[2] = Variant(a[0].ToLong() % 100);
          return Variant(true);
        },
        DispType::Boolean, true);
    AddProcedure("Reset", {}, [this](VariantArray&) { total = 0; });
    AddObjectProperty(
        "Font", [this] { return std::make_shared<FontDispatch>(font); },
        [this](const DispatchPtr& p) {
          auto* f = dynamic_cast<FontDispatch*>(p.get());
          if (!f) throw Fail(ErrorCode::kTypeMismatch, "Type mismatch");
          font = f->Font();
        });
    AddEvent("Changed", {In("Value", DispType::Long), [] {
                           DispParam p = In("Cancel", DispType::Boolean);
                           p.byRef = true;
                           return p;
                         }()});
  }
  std::string TypeName() const override { return "Counter"; }

  // Raises Changed the way an owner would, returning the final Cancel.
  bool RaiseChanged(std::int32_t value, bool cancel, std::int32_t* valueAfter = nullptr) {
    VariantArray a{Variant(value), Variant(cancel)};
    Fire("Changed", a);
    if (valueAfter) *valueAfter = a[0].ToLong();
    return a[1].ToBool();
  }

  std::int16_t step = 1;
  std::uint32_t tint = 0;
  std::int32_t total = 0;
  std::string lastLabel;
  VariantArray seen;
  FontPtr font = MakeFont("Arial", 10);
};

// What a call threw; number 0 when it threw nothing.
Error Caught(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  return Error(0, "", "");
}
std::int32_t ErrorOf(const std::function<void()>& f) { return Caught(f).number(); }

TEST(Dispatch, NamesMatchWithoutRegardToCaseAndUnknownNamesFail) {
  Counter c;
  c.Put("STEP", Variant(3));
  EXPECT_EQ(c.Get("step").ToLong(), 3);
  EXPECT_EQ(c.Member("advance").name, "Advance");
  EXPECT_EQ(c.Find("Nope"), nullptr);
  EXPECT_EQ(ErrorOf([&] { c.Get("Nope"); }), 438);
  EXPECT_EQ(ErrorOf([&] { c.Put("Nope", Variant(1)); }), 438);
  VariantArray none;
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Nope", none); }), 438);
  const Error e = Caught([&] { c.Get("Nope"); });
  EXPECT_EQ(e.description(), "Object doesn't support this property or method");
  EXPECT_EQ(e.source(), "ktfolio.Counter");
}

TEST(Dispatch, PropertiesCoerceAndGuardTheirKind) {
  Counter c;
  c.Put("Step", Variant("12"));  // strings convert as variant conversions do
  EXPECT_EQ(c.step, 12);
  EXPECT_EQ(c.Get("Step").type(), VarType::Integer);
  EXPECT_EQ(ErrorOf([&] { c.Put("Step", Variant("twelve")); }), 13);
  EXPECT_EQ(ErrorOf([&] { c.Put("Step", Variant(40000)); }), 6);
  EXPECT_EQ(c.step, 12) << "a failed assignment leaves the value alone";
  EXPECT_EQ(ErrorOf([&] { c.Put("Total", Variant(1)); }), 383);
  EXPECT_EQ(ErrorOf([&] { c.Put("Reset", Variant(1)); }), 450);
  EXPECT_EQ(ErrorOf([&] { c.Put("Font", Variant(1)); }), 424);
  EXPECT_EQ(ErrorOf([&] { c.Get("Font"); }), 13);
  EXPECT_FALSE(c.Member("Total").Writable());
  EXPECT_TRUE(c.Member("Step").Writable());
}

TEST(Dispatch, ColoursKeepTheirBitPatternFromSignedOrUnsignedNumbers) {
  Counter c;
  c.Put("Tint", Variant(2147483663.0));  // 0x8000000F written unsigned
  EXPECT_EQ(c.tint, 0x8000000Fu);
  EXPECT_EQ(c.Get("Tint").ToLong(), static_cast<std::int32_t>(0x8000000Fu));
  c.Put("Tint", Variant(static_cast<std::int32_t>(0x80000012u)));
  EXPECT_EQ(c.tint, 0x80000012u);
  c.Put("Tint", Variant(0xFFFFFF));
  EXPECT_EQ(c.tint, 0xFFFFFFu);
  EXPECT_EQ(ErrorOf([&] { c.Put("Tint", Variant(4294967296.0)); }), 6);
}

TEST(Dispatch, ArgumentsBindPositionallyByNameAndByDefault) {
  Counter c;
  VariantArray a{Variant(5)};
  EXPECT_EQ(c.Invoke("Advance", a).ToLong(), 5);
  ASSERT_EQ(a.size(), 3u) << "every declared parameter comes back";
  EXPECT_EQ(a[1].type(), VarType::Integer);
  EXPECT_EQ(a[1].ToLong(), 1);
  EXPECT_EQ(a[2].ToString(), "step");

  VariantArray b{Variant("2")};
  EXPECT_EQ(c.Invoke("advance", b, {{"label", Variant("twice")}, {"TIMES", Variant(3)}}).ToLong(), 11);
  EXPECT_EQ(c.lastLabel, "twice");
  EXPECT_EQ(b[0].type(), VarType::Long) << "arguments are coerced to the declared type";

  VariantArray named;
  EXPECT_EQ(c.Invoke("Advance", named, {{"By", Variant(1)}}).ToLong(), 12);
}

TEST(Dispatch, WrongArgumentsAreErrorsOfTheCall) {
  Counter c;
  VariantArray tooMany{Variant(1), Variant(1), Variant("x"), Variant(0)};
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Advance", tooMany); }), 450);
  VariantArray none;
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Advance", none); }), 450) << "By is not optional";
  VariantArray one{Variant(1)};
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Advance", one, {{"By", Variant(2)}}); }), 450) << "By given twice";
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Advance", one, {{"Count", Variant(2)}}); }), 448);
  VariantArray bad{Variant("lots")};
  const Error e = Caught([&] { c.Invoke("Advance", bad); });
  EXPECT_EQ(e.number(), ErrorCode::kTypeMismatch);
  EXPECT_NE(e.description().find("By"), std::string::npos) << e.description();
  EXPECT_EQ(c.total, 0) << "no member ran for a call that could not be bound";
  VariantArray arg{Variant(1)};
  EXPECT_EQ(ErrorOf([&] { c.Invoke("Step", arg); }), 450);
}

TEST(Dispatch, ParameterArraysCollectTheRemainingArguments) {
  Counter c;
  VariantArray a{Variant("-"), Variant("a"), Variant(2), Variant(true)};
  EXPECT_EQ(c.Invoke("Join", a).ToString(), "a-2-True");
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[1].ToArray().size(), 3u);
  VariantArray sepOnly{Variant("-")};
  EXPECT_EQ(c.Invoke("Join", sepOnly).ToString(), "");
  VariantArray byName{Variant("+")};
  EXPECT_EQ(c.Invoke("Join", byName, {{"Parts", Variant(VariantArray{Variant("x"), Variant("y")})}}).ToString(),
            "x+y");
}

TEST(Dispatch, ByReferenceResultsComeBackOrStayUntouched) {
  Counter c;
  VariantArray a{Variant(1234)};
  EXPECT_TRUE(c.Invoke("Split", a).ToBool());
  EXPECT_EQ(a[1].ToLong(), 12);
  EXPECT_EQ(a[2].ToLong(), 34);
  VariantArray b{Variant(-1)};
  EXPECT_FALSE(c.Invoke("Split", b).ToBool());
  EXPECT_TRUE(b[1].IsEmpty());
  EXPECT_TRUE(b[2].IsEmpty());
  VariantArray given{Variant(-1), Variant(7), Variant(8)};
  c.Invoke("Split", given);
  EXPECT_EQ(given[1].ToLong(), 7);
  EXPECT_EQ(given[2].ToLong(), 8);
}

TEST(Dispatch, GetOfAMethodCallsIt) {
  Counter c;
  c.total = 9;
  EXPECT_TRUE(c.Get("Reset").IsEmpty());
  EXPECT_EQ(c.total, 0);
  EXPECT_EQ(ErrorOf([&] { c.Get("Advance"); }), 450);
}

TEST(Dispatch, ObjectPropertiesShareTheObject) {
  Counter c;
  DispatchPtr f = c.GetObject("font");
  f->Put("Size", Variant(12));
  f->Put("bold", Variant(true));
  EXPECT_EQ(c.font->Size, 12.0f);
  EXPECT_TRUE(c.font->Bold);

  auto other = std::make_shared<FontDispatch>();
  other->Put("Name", Variant("Courier New"));
  c.PutObject("Font", other);
  EXPECT_EQ(c.font, other->Font());
  EXPECT_EQ(c.font->Name, "Courier New");
  EXPECT_EQ(ErrorOf([&] { c.PutObject("Font", std::make_shared<Counter>()); }), 13);
  EXPECT_EQ(ErrorOf([&] { c.PutObject("Step", other); }), 13);
  EXPECT_EQ(ErrorOf([&] { c.PutObject("Font", nullptr); }), 424);
}

TEST(Dispatch, EventsReachEverySinkAndReturnByReferenceValues) {
  Counter c;
  EXPECT_FALSE(c.RaiseChanged(1, false)) << "no sink: nothing changes";
  std::vector<std::string> calls;
  const int first = c.Connect([&](const DispEvent& e, VariantArray& a) {
    calls.push_back(e.name + ":" + a[0].ToString());
    a[0] = Variant(99);      // by value: the raiser must not see this
    a[1] = Variant("True");  // converts to the Boolean True
  });
  EXPECT_TRUE(c.RaiseChanged(5, false));
  std::int32_t after = 0;
  c.RaiseChanged(6, false, &after);
  EXPECT_EQ(after, 6);
  EXPECT_EQ(calls, (std::vector<std::string>{"Changed:5", "Changed:6"}));

  const int second = c.Connect([](const DispEvent&, VariantArray& a) { a[1] = Variant(VariantArray{}); });
  EXPECT_FALSE(c.RaiseChanged(1, false)) << "a value that does not convert leaves the old one";
  c.Disconnect(second);
  c.Connect([](const DispEvent&, VariantArray&) { throw Error(5, "sink", "boom"); });
  EXPECT_TRUE(c.RaiseChanged(1, false)) << "a failing sink does not reach the raiser";
  c.Disconnect(first);
  EXPECT_EQ(c.SinkCount(), 1u);
}

TEST(Dispatch, SignaturesDescribeParameters) {
  Counter c;
  EXPECT_EQ(c.Member("Advance").Signature(), "Advance(By, [Times = 1], [Label = \"step\"]) -> Long");
  EXPECT_EQ(c.Member("Join").Signature(), "Join(Sep, Parts...) -> String");
  EXPECT_EQ(c.Member("Split").Signature(), "Split(Value, [out High], [out Low]) -> Boolean");
  EXPECT_EQ(c.Member("Total").Signature(), "Total: Long (read-only)");
}

}  // namespace
}  // namespace ktfolio
