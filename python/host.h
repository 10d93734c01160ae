// What the binding adds around every call from a Python host: the controls
// it made (their error mode and early release), ktfolio.KtError for
// recorded failures when the host asked for exceptions, and the exceptions
// of event handlers, held until the host's call that raised the event returns.
#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "document/errors.h"
#include "platform/container/form.h"

namespace ktfolio::py_binding {

namespace py = pybind11;

// An exception of a Python event handler is recorded as
// ErrorCode::kEventHandlerFailed (440, "Automation error"), as a failing Python
// component's is. The control's own message table has no entry for a host's
// failure, and an entry would replace the handler's message with the table's.

// A control made from Python.
class HostControl {
 public:
  virtual ~HostControl() = default;

  bool RaiseErrors() const { return raiseErrors_; }
  void RaiseErrors(bool on) { raiseErrors_ = on; }

  // The control's error record, when it keeps one (KtPrint4).
  virtual bool KeepsRecord() const { return false; }
  virtual std::uint64_t Recorded() const { return 0; }
  virtual ErrorRecord LastRecord() const { return {}; }
  virtual void Record(std::int32_t /*number*/, const std::string& /*source*/, const std::string& /*text*/) {}

  // Destroys the control's windows, timers and drawing objects now; every
  // later call raises ValueError. The form it was made on, if any.
  virtual void Release() = 0;
  virtual bool Released() const = 0;
  virtual const Form* OnForm() const = 0;

  // While one of its calls runs host code that is not an event handler (the
  // rows AddRows reads; a value's __index__ or __fspath__ while a call
  // converts it), the control cannot be released, as from its own handler;
  // the calls that code makes still raise their errors at once. `activity`,
  // a literal, names it in the refusal. A null control (an object that is
  // no control) makes a scope that does nothing; End() ends it early.
  class Busy {
   public:
    Busy(HostControl* control, const char* activity) : control_(control) {
      if (!control_) return;
      ++control_->busy_;
      control_->busyWith_ = activity;
    }
    ~Busy() { End(); }
    void End() {
      if (control_) --control_->busy_;
      control_ = nullptr;
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    HostControl* control_;
  };
  // RuntimeError naming `what` while a Busy scope of this control runs.
  void CheckNotBusy(const std::string& what) const;

 private:
  bool raiseErrors_ = false;
  int busy_ = 0;  // a count: scopes on two threads can end in either order
  const char* busyWith_ = "";
};

// The default for raise_errors=None: ktfolio.set_raise_errors().
bool RaiseErrorsDefault();

// Remembers a control for Form.release(), which releases what lives on it.
void Track(const std::shared_ptr<HostControl>& control);
// Releases every tracked control on `form`; RuntimeError while a handler runs.
void ReleaseControlsOn(const Form& form);
// RuntimeError while an event handler runs: a control cannot go while its own
// operation is on the stack.
void CheckNotInHandler(const std::string& what);

// An event handler of `control` raised: record it (number ErrorCode::kEventHandlerFailed,
// source the event's name) and either hold it for the host's call or report
// it as unraisable. Call with the Python error set.
void HandlerFailed(HostControl& control, const std::string& event);

// Counts a running handler (or other host code the library called).
class InHandler {
 public:
  InHandler();
  ~InHandler();
  InHandler(const InHandler&) = delete;
  InHandler& operator=(const InHandler&) = delete;
};

// Work a call holds back while host code it called runs (the rows AddRows
// has read but not yet added). Every call into the module first settles all
// of it, so that the host never sees a control without it.
class HeldBack {
 public:
  HeldBack();
  virtual ~HeldBack();
  HeldBack(const HeldBack&) = delete;
  HeldBack& operator=(const HeldBack&) = delete;
  virtual void Settle() = 0;

 private:
  HeldBack* prev_ = nullptr;
  HeldBack* next_ = nullptr;
  friend void SettleHeldBack();
};

// Settles whatever any call holds back (cheap when nothing is).
void SettleHeldBack();

// Raises ktfolio.KtError(number, description, source) with a message naming `what`.
[[noreturn]] void RaiseKtError(std::int32_t number, const std::string& description, const std::string& source,
                               const std::string& what);

// Runs one call of the host: afterwards a handler error held meanwhile is
// raised (as KtError, caused by the handler's exception), then, for a
// control in raise_errors mode, a failure recorded during the call. A call
// made from inside a handler leaves both to the outermost call.
class HostCall {
 public:
  explicit HostCall(HostControl* control, std::string what);
  ~HostCall();
  void Done();  // the call returned normally
  HostCall(const HostCall&) = delete;
  HostCall& operator=(const HostCall&) = delete;

 private:
  HostControl* control_;
  std::string what_;
  std::uint64_t before_ = 0;
  bool outermost_;
  int uncaught_;
};

template <typename F>
auto AsHostCall(HostControl* control, std::string what, F&& f) {
  HostCall call(control, std::move(what));
  if constexpr (std::is_void_v<decltype(f())>) {
    f();
    call.Done();
  } else {
    auto result = f();
    call.Done();
    return result;
  }
}

// Warns with ktfolio.EventWarning (an exception when warnings are errors).
void WarnOfEvent(const std::string& message);

void DefineHostErrors(py::module_& m);
// Wraps every function of the module, its submodules and classes so that a
// keyword name that is not valid text is a TypeError before pybind11 sees it.
void GuardKeywordNames(py::module_& m);

}  // namespace ktfolio::py_binding
