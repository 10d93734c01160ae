// A form's child window found by member name, and a click on its centre, as a user finds and
// presses a control.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/container/form.h"

namespace ktfolio::testing {

inline Form::ChildInfo Child(const Form& f, const std::string& name) {
  for (const Form::ChildInfo& c : f.Controls())
    if (c.name == name) return c;
  ADD_FAILURE() << "no child named " << name;
  return {};
}

inline void ClickOn(Form& f, const std::string& name) {
  const Form::ChildInfo c = Child(f, name);
  f.Click(c.x + c.width / 2, c.y + c.height / 2);
}

}  // namespace ktfolio::testing
