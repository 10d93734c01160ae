// KtPrint4 reached by name: every property, method and event of the control's
// public interface published through the dispatch facility, for scripting
// hosts, the property pages and the Python module.
#pragma once

#include <memory>

#include <ktfolio/events.h>
#include "control/ktprint4_impl.h"
#include "platform/automation/dispatch.h"

namespace ktfolio {

class KtPrint4Dispatch : public Dispatch {
 public:
  // Publishes a new control in a default container, owned by this object.
  KtPrint4Dispatch();
  // Publishes a new control in `site`, which this object keeps alive for as
  // long as the control lives.
  explicit KtPrint4Dispatch(std::shared_ptr<Container> site);
  // Publishes an existing control; it must outlive this object.
  explicit KtPrint4Dispatch(KtPrint4Impl& control);
  ~KtPrint4Dispatch() override;

  std::string TypeName() const override { return "KtPrint4"; }
  KtPrint4Impl& Control() { return *control_; }

  // Destroys the control now (its windows, timers and drawing objects) and
  // retires the published table; a control this object does not own is
  // only let go. Nothing may be called by name afterwards.
  void Release();

  // The sink this object advises on its control: the control raises events
  // into it, and it forwards them to the dispatch event sinks. Exposed so a
  // host can raise an event the way the control does.
  KtPrint4Events& EventAdapter();

 private:
  class Adapter;
  void Publish();
  void Document();

  std::shared_ptr<Container> site_;  // before the control: it goes after it
  std::unique_ptr<KtPrint4Impl> owned_;
  KtPrint4Impl* control_;
  std::unique_ptr<Adapter> adapter_;
  std::weak_ptr<FontDispatch> fontObject_;
};

}  // namespace ktfolio
