// Components created by programmatic identifier.
#include <gtest/gtest.h>

#include "platform/automation/components.h"

namespace ktfolio {
namespace {

class Thing : public Dispatch {
 public:
  std::string TypeName() const override { return "Thing"; }
};

std::int32_t CreateError(const std::string& progId) {
  try {
    CreateObject(progId);
  } catch (const Error& e) {
    return e.number();
  }
  return 0;
}

TEST(ComponentsTest, ObjectsAreMadeByNameWithoutRegardToCaseAndOnlyByAFactoryThatMakesOne) {
  int made = 0;
  RegisterComponent("Test.Thing", [&made] { return ++made, std::make_shared<Thing>(); });
  EXPECT_EQ(CreateObject("test.THING")->TypeName(), "Thing");
  EXPECT_NE(CreateObject("Test.Thing"), CreateObject("Test.Thing")) << "a new object each time";
  EXPECT_EQ(made, 3);
  EXPECT_TRUE(UnregisterComponent("TEST.thing"));
  EXPECT_FALSE(UnregisterComponent("Test.Thing"));
  EXPECT_EQ(CreateError("Test.Thing"), kCannotCreateObject);
  RegisterComponent("Test.Empty", [] { return DispatchPtr(); });
  EXPECT_EQ(CreateError("Test.Empty"), kCannotCreateObject);
  UnregisterComponent("Test.Empty");
  EXPECT_EQ(kCannotCreateObject, 429) << "the number hosts test for";
}

}  // namespace
}  // namespace ktfolio
