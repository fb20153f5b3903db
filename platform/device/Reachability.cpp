#include "platform/device/Reachability.h"

#include <map>
#include <utility>
#include <vector>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace platform {

namespace {

struct NetworkState {
  std::mutex mutex;
  NetworkStatus deviceStatus = NetworkStatus::ReachableViaWiFi;
  std::map<std::string, NetworkStatus, std::less<>> hostStatus;
  // Watchers with a notifier; expired ones are dropped as changes are delivered.
  std::vector<std::weak_ptr<Reachability>> watchers;

  NetworkStatus statusLocked(std::string_view host) const {
    auto it = hostStatus.find(host);
    return it == hostStatus.end() ? deviceStatus : it->second;
  }
};

NetworkState& state() { return Process::current().shared<NetworkState>(); }

// Applies change under the lock; answers the watchers whose host's status it changed.
template <class Change>
std::vector<std::shared_ptr<Reachability>> changeNetwork(Change&& change) {
  NetworkState& s = state();
  std::vector<std::shared_ptr<Reachability>> changed;
  std::lock_guard<std::mutex> lock(s.mutex);
  std::vector<std::pair<std::shared_ptr<Reachability>, NetworkStatus>> before;
  std::erase_if(s.watchers, [](const std::weak_ptr<Reachability>& w) { return w.expired(); });
  for (auto& weak : s.watchers) {
    if (auto watcher = weak.lock()) before.emplace_back(watcher, s.statusLocked(watcher->hostName()));
  }
  change(s);
  for (auto& [watcher, old] : before) {
    if (s.statusLocked(watcher->hostName()) != old) changed.push_back(watcher);
  }
  return changed;
}

}  // namespace

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(std::string hostName) {
  return std::shared_ptr<Reachability>(new Reachability(std::move(hostName)));
}

NetworkStatus Reachability::statusOfHost(std::string_view hostName) {
  NetworkState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.statusLocked(hostName);
}

void Reachability::setNetworkStatus(NetworkStatus status) {
  deliver(changeNetwork([status](NetworkState& s) { s.deviceStatus = status; }));
}

void Reachability::setHostStatus(std::string_view hostName, NetworkStatus status) {
  deliver(changeNetwork(
      [&](NetworkState& s) { s.hostStatus.insert_or_assign(std::string(hostName), status); }));
}

void Reachability::clearHostStatus(std::string_view hostName) {
  deliver(changeNetwork([&](NetworkState& s) {
    if (auto it = s.hostStatus.find(hostName); it != s.hostStatus.end()) s.hostStatus.erase(it);
  }));
}

void Reachability::startNotifier(ChangeCallback callback) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = std::move(callback);
  }
  NetworkState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (auto& weak : s.watchers) {
    if (weak.lock().get() == this) return;
  }
  s.watchers.push_back(weak_from_this());
}

void Reachability::stopNotifier() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callback_ = nullptr;
  }
  NetworkState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  std::erase_if(s.watchers, [this](const std::weak_ptr<Reachability>& w) {
    auto watcher = w.lock();
    return !watcher || watcher.get() == this;
  });
}

void Reachability::deliver(const std::vector<std::shared_ptr<Reachability>>& changed) {
  for (const auto& watcher : changed) {
    std::weak_ptr<Reachability> weak = watcher;
    RunLoop::main().post([weak] {
      if (auto self = weak.lock()) self->notifyChange();
    });
  }
}

void Reachability::notifyChange() {
  ChangeCallback callback;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    callback = callback_;
  }
  if (callback) callback(*this);
}

std::string toText(NetworkStatus status) { return std::to_string(static_cast<int>(status)); }

}  // namespace platform
