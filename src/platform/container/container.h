// What a host form gives the controls placed on it: ambient properties and the
// property-changed notification that tells the form its saved state is stale.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/automation/font.h"

namespace ktfolio {

class Container {
 public:
  Container();
  virtual ~Container();

  // Ambient properties, read by a control when it is created.
  bool UserMode() const { return userMode_; }
  void UserMode(bool v) { userMode_ = v; }
  FontPtr AmbientFont() const { return ambientFont_; }
  void AmbientFont(FontPtr f) { ambientFont_ = std::move(f); }
  std::uint32_t AmbientForeColor() const { return foreColor_; }
  void AmbientForeColor(std::uint32_t c) { foreColor_ = c; }
  std::uint32_t AmbientBackColor() const { return backColor_; }
  void AmbientBackColor(std::uint32_t c) { backColor_ = c; }
  const std::string& DisplayName() const { return displayName_; }
  void DisplayName(std::string n) { displayName_ = std::move(n); }

  // A control tells its container that a property changed; an empty name means
  // "something changed". The container marks itself dirty and tells listeners.
  virtual void PropertyChanged(const std::string& name);
  using Listener = std::function<void(const std::string&)>;
  void OnPropertyChanged(Listener listener) { listeners_.push_back(std::move(listener)); }
  bool Dirty() const { return dirty_; }
  void ClearDirty() { dirty_ = false; }
  // The names notified since the last ClearNotifications, in order.
  const std::vector<std::string>& Notifications() const { return notifications_; }
  void ClearNotifications() { notifications_.clear(); }

 private:
  bool userMode_ = true;
  FontPtr ambientFont_;
  std::uint32_t foreColor_ = 0;
  std::uint32_t backColor_ = 0xFFFFFF;
  std::string displayName_;
  bool dirty_ = false;
  std::vector<std::string> notifications_;
  std::vector<Listener> listeners_;
};

}  // namespace ktfolio
