// clsCommonDialog: the colour, font, open, save and printer dialogs and the
// help viewer driven by properties. Set the properties, call one Show method,
// read the choices back when APIReturn is 1. With CancelError set, a cancel
// throws Error (kColorCancelled for the colour dialog, kCancelled otherwise).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/automation/dispatch.h"
#include "platform/automation/variant.h"

namespace ktfolio {

namespace common_dialog_error {
constexpr std::int32_t kColorCancelled = ObjectError(0x37E);  // -2147220610, "Cancel Pressed"
constexpr std::int32_t kCancelled = 2001;
}  // namespace common_dialog_error

// Action codes: which dialog ran last.
enum cdActionConstants : std::int32_t {
  cdOpen = 1, cdSave = 2, cdColor = 3, cdFont = 4, cdPrinter = 5, cdHelp = 6
};

class clsCommonDialog {
 public:
#define KT_CD_PROP(type, name, init) \
  type name() const { return name##_; } \
  void name(type v) { name##_ = v; }    \
                                        \
 private:                               \
  type name##_ = init;                  \
                                        \
 public:
  KT_CD_PROP(std::int32_t, Action, 0)
  KT_CD_PROP(std::int32_t, APIReturn, 0)
  KT_CD_PROP(std::int32_t, ExtendedError, 0)
  KT_CD_PROP(bool, CancelError, false)
  KT_CD_PROP(std::int32_t, flags, 0)
  // Window, device context and instance handles travel as numbers.
  KT_CD_PROP(std::intptr_t, hwnd, 0)
  KT_CD_PROP(std::intptr_t, hdc, 0)
  KT_CD_PROP(std::intptr_t, hInstance, 0)
  KT_CD_PROP(std::uint32_t, Color, 0)
  KT_CD_PROP(std::string, FontName, "")
  KT_CD_PROP(float, FontSize, 0)
  KT_CD_PROP(bool, FontBold, false)
  KT_CD_PROP(bool, FontItalic, false)
  KT_CD_PROP(bool, FontUnderline, false)
  KT_CD_PROP(bool, FontStrikethru, false)
  KT_CD_PROP(std::int32_t, Min, 0)
  KT_CD_PROP(std::int32_t, Max, 0)
  KT_CD_PROP(std::int32_t, FromPage, 0)
  KT_CD_PROP(std::int32_t, ToPage, 0)
  KT_CD_PROP(std::int32_t, Copies, 0)
  KT_CD_PROP(std::int32_t, Orientation, 0)
  KT_CD_PROP(std::int32_t, Duplex, 0)
  KT_CD_PROP(std::string, PrinterName, "")
  KT_CD_PROP(bool, PrinterDefault, false)
  KT_CD_PROP(std::string, FileName, "")
  KT_CD_PROP(std::string, FileTitle, "")
  KT_CD_PROP(std::string, Filter, "")
  KT_CD_PROP(std::int32_t, FilterIndex, 0)
  KT_CD_PROP(std::string, DefaultExt, "")
  KT_CD_PROP(std::string, DialogTitle, "")
  KT_CD_PROP(std::string, InitDir, "")
  KT_CD_PROP(std::int32_t, MaxFileSize, 0)
  KT_CD_PROP(std::string, HelpFile, "")
  KT_CD_PROP(std::int32_t, HelpCommand, 0)
  KT_CD_PROP(std::int32_t, HelpContext, 0)
  KT_CD_PROP(std::string, HelpKey, "")
  KT_CD_PROP(Variant, Object, Variant())
#undef KT_CD_PROP

  // Each sets Action, clears APIReturn and ExtendedError, shows its dialog and
  // stores the result in APIReturn: 1 copies the choices back; 0 throws the
  // cancel error when CancelError is set; anything else stores the extended
  // error. Any other failure inside ends the method quietly.
  void ShowColor();
  void ShowFont();
  void ShowOpen();
  void ShowSave();
  void ShowPrinter();
  void ShowHelp();

 private:
  void ShowFile(bool save);
  void Finish(std::int32_t cancelNumber, const char* description);
};

// The class published by name, for scripting hosts and Python.
class CommonDialogDispatch : public Dispatch {
 public:
  CommonDialogDispatch();
  std::string TypeName() const override { return "clsCommonDialog"; }
  clsCommonDialog& Dialog() { return dialog_; }

 private:
  clsCommonDialog dialog_;
};

}  // namespace ktfolio
