// What rows and cells need from the control that owns them. The control
// implements it; the model stays below the control in the build order.
#pragma once

#include <cstdint>
#include <string>

#include "model/records.h"

namespace ktfolio {

class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual tpPageInfo PageInfo() const = 0;   // a copy
  virtual tpDefaults Defaults() const = 0;   // a copy
  virtual std::int32_t CurrentPage() const = 0;  // page being drawn (field code %p)
  virtual std::int32_t PageCount() const = 0;    // field code %n
  virtual double Zoom() const = 0;
  virtual std::int32_t ColorResolution() const = 0;
  virtual bool ShowGuideLines() const = 0;
  virtual void RecordError(std::int32_t number, const std::string& source, const std::string& description) = 0;
};

}  // namespace ktfolio
