// The table of registered automation components.
#include "platform/automation/components.h"

#include <map>

namespace ktfolio {
namespace {

std::map<std::string, ComponentFactory>& Registry() {
  static std::map<std::string, ComponentFactory> registry;
  return registry;
}

Error CannotCreate() { return Error(kCannotCreateObject, kLibraryName, "ActiveX component can't create object"); }

}  // namespace

void RegisterComponent(const std::string& progId, ComponentFactory factory) {
  Registry()[FoldName(progId)] = std::move(factory);
}

bool UnregisterComponent(const std::string& progId) { return Registry().erase(FoldName(progId)) > 0; }

bool ComponentRegistered(const std::string& progId) { return Registry().count(FoldName(progId)) > 0; }

DispatchPtr CreateObject(const std::string& progId) {
  auto it = Registry().find(FoldName(progId));
  if (it == Registry().end() || !it->second) throw CannotCreate();
  DispatchPtr object = it->second();
  if (!object) throw CannotCreate();
  return object;
}

}  // namespace ktfolio
