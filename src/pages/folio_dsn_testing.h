// Test hook of our external designer: called once its window is shown, before
// it waits for the user, so a test can click its buttons.
#pragma once

#include <functional>

#include "platform/container/form.h"

namespace ktfolio::pages {

void SetFolioDsnShownHook(std::function<void(Form&)> hook);

}  // namespace ktfolio::pages
