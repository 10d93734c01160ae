// Components created by programmatic identifier.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/automation/components.h"

namespace ktfolio {
namespace {

using namespace ::testing;

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
  EXPECT_EQ(made, 3);
  EXPECT_TRUE(UnregisterComponent("TEST.thing"));
  EXPECT_FALSE(UnregisterComponent("Test.Thing"));
  EXPECT_THAT([] { CreateObject("Test.Thing"); }, cannotCreate);
  RegisterComponent("Test.Empty", [] { return DispatchPtr(); });
  EXPECT_THAT([] { CreateObject("Test.Empty"); }, cannotCreate);
  UnregisterComponent("Test.Empty");
  EXPECT_EQ(kCannotCreateObject, 429) << "the number hosts test for";
}

}  // namespace
}  // namespace ktfolio
