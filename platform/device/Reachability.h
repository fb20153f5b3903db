// Whether a host can be reached, and over which kind of network. The phone's network is
// simulated: every host has the device's current status unless a status of its own was set
// (tests and the simulator set them). Watchers of a host hear every change of its status on the
// main run loop.
#pragma once
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The values are the texts the client reports ("-1", "1", "2").
enum class NetworkStatus : int {
  NotReachable = -1,
  ReachableViaWWAN = 1,   // mobile data
  ReachableViaWiFi = 2,
};

class Reachability : public std::enable_shared_from_this<Reachability> {
 public:
  using ChangeCallback = std::function<void(Reachability&)>;

  // A watcher of one host name.
  static std::shared_ptr<Reachability> reachabilityWithHostName(std::string hostName);

  // The status of a host right now (thread-safe).
  static NetworkStatus statusOfHost(std::string_view hostName);

  // --- the simulated network (tests, simulator) ---
  // The status of every host without a status of its own (at start: reachable over Wi-Fi).
  static void setNetworkStatus(NetworkStatus status);
  // A status for one host, until clearHostStatus.
  static void setHostStatus(std::string_view hostName, NetworkStatus status);
  static void clearHostStatus(std::string_view hostName);

  const std::string& hostName() const { return hostName_; }
  NetworkStatus currentReachabilityStatus() const { return statusOfHost(hostName_); }
  bool isReachable() const { return currentReachabilityStatus() != NetworkStatus::NotReachable; }

  // From now on, every change of this host's status calls callback on the main run loop (once
  // per change, with the watcher, whose status is then the current one). Replaces an earlier
  // callback. Nothing is called after stopNotifier or once the watcher is gone.
  void startNotifier(ChangeCallback callback);
  void stopNotifier();

  Reachability(const Reachability&) = delete;
  Reachability& operator=(const Reachability&) = delete;

 private:
  explicit Reachability(std::string hostName) : hostName_(std::move(hostName)) {}
  // Posts one change call per watcher to the main run loop; the callback current when it runs
  // is called.
  static void deliver(const std::vector<std::shared_ptr<Reachability>>& changed);
  void notifyChange();

  const std::string hostName_;
  mutable std::mutex mutex_;
  ChangeCallback callback_;
};

// "-1", "1" or "2".
std::string toText(NetworkStatus status);

}  // namespace platform
