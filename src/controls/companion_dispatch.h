// KtBoton and KtMarco reached by name: their properties, methods and events
// published through the dispatch facility, for scripting hosts and the
// Python module, as KtText's are (kttext_dispatch.h).
#pragma once

#include <memory>

#include "controls/ktboton.h"
#include "controls/ktmarco.h"
#include "platform/automation/dispatch.h"
#include "platform/container/form.h"

namespace ktfolio {

class KtBotonDispatch : public Dispatch {
 public:
  // A new button on `form` (kept alive by this object), inside `parent` when
  // given (a KtMarco's window) or on the form itself, at the top left, 80 x 24.
  explicit KtBotonDispatch(std::shared_ptr<Form> form, win::HWND parent = nullptr);
  ~KtBotonDispatch() override;

  std::string TypeName() const override { return "KtBoton"; }
  KtBoton& Control() { return *button_; }
  // Destroys the button now and retires the published table.
  void Release();

 private:
  void Publish();
  void PublishEvents();

  std::shared_ptr<Form> form_;  // before the button: it goes after it
  std::unique_ptr<KtBoton> button_;
};

class KtMarcoDispatch : public Dispatch {
 public:
  // A new frame on `form`, inside `parent` when given, at the top left, 160 x 100.
  explicit KtMarcoDispatch(std::shared_ptr<Form> form, win::HWND parent = nullptr);
  ~KtMarcoDispatch() override;

  std::string TypeName() const override { return "KtMarco"; }
  KtMarco& Control() { return *frame_; }
  void Release();

 private:
  void Publish();
  void PublishEvents();

  std::shared_ptr<Form> form_;
  std::unique_ptr<KtMarco> frame_;
};

}  // namespace ktfolio
