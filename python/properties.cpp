// The property bag between a control and a Python dict.
#include "properties.h"

#include "convert.h"
#include "platform/automation/dispatch.h"
#include "platform/container/property_bag.h"

namespace ktfolio::py_binding {

py::dict SavePropertiesToDict(KtPrint4Impl& control) {
  PropertyBag bag;
  try {
    control.WriteProperties(bag);
  } catch (const Error& e) {
    Raise(e, "KtPrint4.SaveProperties()");
  }
  py::dict out;
  for (const PropertyBag::Entry& e : bag.Entries()) {
    if (e.font)
      out[py::str(e.name)] = py::cast(std::make_shared<FontDispatch>(e.font->Clone()));
    else
      out[py::str(e.name)] = FromVariant(e.value);
  }
  return out;
}

void ReadPropertiesFromDict(KtPrint4Impl& control, const py::dict& properties) {
  PropertyBag bag;
  try {
    for (auto [key, value] : properties) {
      if (!py::isinstance<py::str>(key)) throw py::type_error("KtPrint4(properties=...): property names are strings");
      const std::string name = ToUtf8(key, "KtPrint4(properties=...) name");
      if (py::isinstance<FontDispatch>(value))
        bag.WriteFont(name, *value.cast<FontDispatch&>().Font(), nullptr);
      else
        bag.WriteProperty(name, ToVariant(value, "property " + name));
    }
    control.ReadProperties(bag);
  } catch (const Error& e) {
    Raise(e, "KtPrint4(properties=...)");
  }
}

}  // namespace ktfolio::py_binding
