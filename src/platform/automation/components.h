// Automation components created by programmatic identifier
// ("FolioDsn.clsFolioDsn"): a host, the library or a test registers a factory
// under a name, and late-bound callers create the object by that name.
#pragma once

#include <functional>
#include <string>

#include "platform/automation/dispatch.h"

namespace ktfolio {

inline constexpr std::int32_t kCannotCreateObject = 429;

using ComponentFactory = std::function<DispatchPtr()>;

// Registers (or replaces) the factory of a programmatic identifier; names
// match without regard to case.
void RegisterComponent(const std::string& progId, ComponentFactory factory);
// False when nothing was registered under that name.
bool UnregisterComponent(const std::string& progId);
bool ComponentRegistered(const std::string& progId);
// A new object of the named component. Throws Error 429 "ActiveX component
// can't create object" when none is registered or its factory gives nothing;
// whatever the factory throws goes to the caller.
DispatchPtr CreateObject(const std::string& progId);

}  // namespace ktfolio
