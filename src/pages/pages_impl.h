// Private to src/pages/*.cpp: the pages' classes and the exchange with the
// external designer that two of them share.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "pages/property_page.h"
#include "platform/automation/variant.h"

namespace ktfolio::pages {

inline constexpr const char* kFolioDsnProgId = "FolioDsn.clsFolioDsn";

// The keys of the settings text handed to the designer, in their order.
const std::vector<std::string>& DesignerSettingKeys();
// One "key=value" CR LF line per key, the value given by `value`.
std::string SettingsText(const std::function<std::string(const std::string&)>& value);
// A property value as the settings text writes it: Booleans -1 or 0, numbers in decimal.
std::string SettingValue(const Variant& v);

// The design buffer of a control reached by name (GetDsnArray), and back.
ByteArray GetDsnArray(Dispatch& control);
void SetDsnArray(Dispatch& control, const ByteArray& dsn, bool onlyDesign);

// Creates the external designer by name and calls its start with the array,
// the settings text and, from the FolioDesigner page, True; `dsn` then holds
// what the designer left there. Errors (no such component) reach the caller.
void RunExternalDesigner(ByteArray& dsn, const std::string& settings, bool withFlag);

std::unique_ptr<PropertyPage> MakeDesignerPage(Form& form);
std::unique_ptr<PropertyPage> MakeDefaultsPage(Form& form);
std::unique_ptr<PropertyPage> MakeFolioDesignerPage(Form& form);

}  // namespace ktfolio::pages
