// The phone's audio session: activation and the current audio route (the headset socket),
// with a notice on the main run loop whenever the route changes.
#pragma once
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Status.h"

namespace platform::media {

// Why the route changed (the platform's numbering).
enum class RouteChangeReason : int {
  Unknown = 0,
  NewDeviceAvailable = 1,     // something was plugged into the headset socket
  OldDeviceUnavailable = 2,   // the device in use was removed
  CategoryChange = 3,
  NoSuitableRouteForCategory = 7,
};

struct RouteChange {
  RouteChangeReason reason = RouteChangeReason::Unknown;
  std::string previousRoute;
  std::string route;
};

class AudioSession {
 public:
  // The notification posted (on the main run loop, sender: the session) when the route changes;
  // userInfo {"reason": int, "previousRoute": text, "route": text}.
  static constexpr std::string_view kRouteChangeNotification = "AudioSessionRouteChangeNotification";
  // Route names of this platform.
  static constexpr std::string_view kRouteSpeaker = "Speaker";
  static constexpr std::string_view kRouteHeadphone = "Headphone";
  static constexpr std::string_view kRouteHeadsetInOut = "HeadsetInOut";

  static AudioSession& sharedInstance();

  Status setActive(bool active);
  bool isActive() const;

  // The name of the current audio route; empty when there is none.
  std::string currentRoute() const;

  // Observes route changes (on the main run loop) while the observation lives.
  [[nodiscard]] NotificationCenter::Observation observeRouteChanges(
      std::function<void(const RouteChange&)> callback);
  static std::optional<RouteChange> routeChange(const Notification& note);

  // --- simulator and tests (any thread) ---
  // Plugs or unplugs: the route becomes `route` ("HeadsetInOut", "Headphone", "Speaker", or empty
  // for none). Without a reason, it follows from the routes: a headset-socket device that appears
  // is a new device, one that goes an old device gone, no route at all no suitable route, any
  // other change a category change. Nothing happens when the route stays the same.
  void simulateRouteChange(std::string route, std::optional<RouteChangeReason> reason = std::nullopt);

 private:
  friend class platform::Process;
  AudioSession() = default;

  mutable std::mutex mutex_;
  bool active_ = false;
  std::string route_{kRouteSpeaker};
};

}  // namespace platform::media
