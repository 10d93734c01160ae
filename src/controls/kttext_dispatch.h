// KtText reached by name: its properties, methods and events published
// through the dispatch facility, for scripting hosts and the Python module.
#pragma once

#include <memory>

#include "controls/kttext.h"
#include "platform/automation/dispatch.h"
#include "platform/container/form.h"

namespace ktfolio {

class KtTextDispatch : public Dispatch {
 public:
  // A new box on `form` (kept alive by this object), at the form's top left.
  explicit KtTextDispatch(std::shared_ptr<Form> form);
  ~KtTextDispatch() override;

  std::string TypeName() const override { return "KtText"; }
  KtText& Control() { return *box_; }
  // Destroys the box now and retires the published table.
  void Release();

 private:
  void Publish();
  void PublishEvents();
  void Document();

  std::shared_ptr<Form> form_;  // before the box: it goes after it
  std::unique_ptr<KtText> box_;
};

}  // namespace ktfolio
