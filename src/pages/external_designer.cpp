// The exchange with the external designer: the settings text, the design
// buffer read and written by name, and the designer's start call.
#include <algorithm>

#include "pages/pages_impl.h"
#include "platform/automation/components.h"

namespace ktfolio::pages {

const std::vector<std::string>& DesignerSettingKeys() {
  static const std::vector<std::string> keys = {
      "ScaleMode",      "AllowCellEditing", "AutoHighLightEditing", "ColorResolution", "dFitHeightToText",
      "dInheritLastRow", "EditEnterAction", "MarginBottom",         "MarginFooter",    "MarginHeader",
      "Marginleft",     "MarginRight",      "MarginTop",            "MultiLineEditing", "Orientation",
      "PageSize",       "PaperLength",      "PaperWidth",           "PrinterName",     "ShowGuideLines",
      "ShowPrintDlg",   "ShowToolBar"};
  return keys;
}

std::string SettingsText(const std::function<std::string(const std::string&)>& value) {
  std::string text;
  for (const std::string& key : DesignerSettingKeys()) text += key + "=" + value(key) + "\r\n";
  return text;
}

std::string SettingValue(const Variant& v) {
  if (v.type() == VarType::Boolean) return v.ToBool() ? "-1" : "0";
  return v.ToString();
}

std::string DesignerSettingsOf(Dispatch& control) {
  return SettingsText([&control](const std::string& key) { return SettingValue(control.Get(key)); });
}

ByteArray GetDsnArray(Dispatch& control) {
  VariantArray args(1);
  control.Invoke("GetDsnArray", args);
  return args[0].ToBytes();
}

void SetDsnArray(Dispatch& control, const ByteArray& dsn, bool onlyDesign) {
  VariantArray args{Variant(dsn), Variant(onlyDesign)};
  control.Invoke("SetDsnArray", args);
}

void RunExternalDesigner(ByteArray& dsn, const std::string& settings, bool withFlag) {
  RegisterBuiltinDesigner();
  DispatchPtr designer = CreateObject(kFolioDsnProgId);
  VariantArray args{Variant(dsn), Variant(settings)};
  if (withFlag) args.emplace_back(true);
  designer->Invoke("start", args);
  dsn = args[0].ToBytes();
}

}  // namespace ktfolio::pages
