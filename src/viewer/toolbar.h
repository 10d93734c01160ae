// The preview's toolbar: a frame holding the print, zoom and page buttons, two
// labels that show the zoom and the page, and separators. Each button first
// raises BeforeButtonClick, which the host may cancel.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/ktprint4.h"
#include "controls/ktboton.h"
#include "controls/ktmarco.h"
#include "platform/container/form.h"

namespace ktfolio {

class Toolbar {
 public:
  static constexpr int kButtons = 7;
  static constexpr int kHeight = 30;

  // Builds the toolbar inside the control's window and hands it to the control
  // (which then owns it).
  static void Attach(KtPrint4& control);

  Toolbar(KtPrint4& control, win::HWND parent);
  ~Toolbar();
  Toolbar(const Toolbar&) = delete;
  Toolbar& operator=(const Toolbar&) = delete;

  // What a click on cmdTool(index) does after the host's veto.
  void ButtonClick(int index);
  // The zoom a zoom-in (+10) or zoom-out (-10) button asks for.
  static std::int16_t SteppedZoom(double zoom, int step);

  KtMarco& Frame() { return *frame_; }
  KtBoton& Button(int index) { return *cmdTool_[static_cast<size_t>(index)]; }
  // The windows and refresh the control keeps of its toolbar.
  KtPrint4::ToolbarParts Parts();

 private:
  void Build();
  KtBoton& AddLabel(const std::string& name, const std::string& caption, const std::string& tip, int x, int width);
  void AddSeparator(const std::string& name, int x);
  void AddButton(int index, int x, int width);

  KtPrint4& control_;
  std::unique_ptr<KtMarco> frame_;
  std::array<std::unique_ptr<KtBoton>, kButtons> cmdTool_;
  std::vector<std::unique_ptr<KtBoton>> others_;
  KtBoton* zoomLabel_ = nullptr;
  KtBoton* pageLabel_ = nullptr;
};

// Places a control on a form: the control's window with its viewport and
// toolbar fills the form's client area and hears its show, hide and resize.
// The control must not outlive the form.
void PlaceOnForm(KtPrint4& control, Form& form);

}  // namespace ktfolio
