#include "platform/container/container.h"

namespace ktfolio {

Container::Container() : ambientFont_(MakeFont("Arial", 10)) {}
Container::~Container() = default;

void Container::PropertyChanged(const std::string& name) {
  dirty_ = true;
  // Bounded so a long-running host that never reads them does not grow forever.
  if (notifications_.size() >= 4096) notifications_.erase(notifications_.begin(), notifications_.begin() + 2048);
  notifications_.push_back(name);
  for (auto& l : listeners_) l(name);
}

}  // namespace ktfolio
