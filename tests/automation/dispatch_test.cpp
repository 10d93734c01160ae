// The by-name dispatch facility: look-up, argument binding, coercion, by-reference results,
// object properties and events; components created by programmatic identifier.
#include "platform/automation/dispatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/automation/components.h"

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

}  // namespace
}  // namespace ktfolio
