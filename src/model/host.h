// What rows and cells need from the control that owns them. The control
// implements it; the model stays below the control in the build order.
#pragma once

#include <cstdint>
#include <string>

#include "model/records.h"
#include "platform/automation/error.h"

namespace ktfolio {

class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual tpPageInfo PageInfo() const = 0;   // a copy
  virtual tpDefaults Defaults() const = 0;   // a copy
  // The one default a row built from the last row needs, without copying them all.
  virtual bool InheritsLastRow() const { return Defaults().dInheritLastRow; }
  virtual std::int32_t CurrentPage() const = 0;  // page being drawn (field code %p)
  virtual std::int32_t PageCount() const = 0;    // field code %n
  virtual double Zoom() const = 0;
  virtual std::int32_t ColorResolution() const = 0;
  virtual bool ShowGuideLines() const = 0;
  virtual void RecordError(std::int32_t number, const std::string& source, const std::string& description) = 0;
  void RecordError(ErrorCode number, const std::string& source, const std::string& description) {
    RecordError(ToInt(number), source, description);
  }
  void RecordError(const Error& e) { RecordError(e.number(), e.source(), e.description()); }
  // The one boundary of every operation that records instead of throwing:
  //   try { ... } catch (const std::exception& e) { RecordCaught(e); }
  // ToError says what each failure becomes. Nothing else is caught: an
  // exception not derived from std::exception is a bug and terminates.
  void RecordCaught(const std::exception& e) { RecordError(ToError(e)); }
  // The same under the operation's own source, for failures of its steps.
  void RecordCaught(const std::exception& e, const std::string& source) {
    const Error f = ToError(e);
    RecordError(f.number(), source, f.description());
  }
};

}  // namespace ktfolio
