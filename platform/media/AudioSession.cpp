#include "platform/media/AudioSession.h"

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace platform::media {

namespace {

// The built-in outputs; anything else sits in the headset socket (or another accessory port).
bool isBuiltIn(std::string_view route) {
  return route.rfind("Speaker", 0) == 0 || route.rfind("Receiver", 0) == 0;
}

RouteChangeReason reasonFor(const std::string& previous, const std::string& route) {
  if (route.empty()) return RouteChangeReason::NoSuitableRouteForCategory;
  bool wasExternal = !previous.empty() && !isBuiltIn(previous);
  bool isExternal = !isBuiltIn(route);
  if (isExternal && !wasExternal) return RouteChangeReason::NewDeviceAvailable;
  if (wasExternal && !isExternal) return RouteChangeReason::OldDeviceUnavailable;
  return RouteChangeReason::CategoryChange;
}

}  // namespace

AudioSession& AudioSession::sharedInstance() { return Process::current().shared<AudioSession>(); }

Status AudioSession::setActive(bool active) {
  std::lock_guard<std::mutex> lock(mutex_);
  active_ = active;
  return Status::ok();
}

bool AudioSession::isActive() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return active_;
}

std::string AudioSession::currentRoute() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return route_;
}

NotificationCenter::Observation AudioSession::observeRouteChanges(
    std::function<void(const RouteChange&)> callback) {
  return NotificationCenter::shared().observe(std::string(kRouteChangeNotification), this,
                                              [callback = std::move(callback)](const Notification& note) {
                                                if (auto change = routeChange(note)) callback(*change);
                                              });
}

std::optional<RouteChange> AudioSession::routeChange(const Notification& note) {
  if (note.name != kRouteChangeNotification || !note.userInfo.is_object()) return std::nullopt;
  RouteChange change;
  auto reason = json::integer(note.userInfo, "reason");
  auto previous = json::text(note.userInfo, "previousRoute");
  auto route = json::text(note.userInfo, "route");
  if (!reason || !previous || !route) return std::nullopt;
  change.reason = static_cast<RouteChangeReason>(*reason);
  change.previousRoute = *previous;
  change.route = *route;
  return change;
}

void AudioSession::simulateRouteChange(std::string route, std::optional<RouteChangeReason> reason) {
  std::string previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (route == route_) return;
    previous = std::exchange(route_, route);
  }
  Json info = Json::object();
  info["reason"] = static_cast<int>(reason.value_or(reasonFor(previous, route)));
  info["previousRoute"] = previous;
  info["route"] = route;
  // The session lives as long as the process run; the notice names it only as the sender.
  const void* sender = this;
  RunLoop::main().post([sender, info = std::move(info)] {
    NotificationCenter::shared().post(kRouteChangeNotification, sender, info);
  });
}

}  // namespace platform::media
