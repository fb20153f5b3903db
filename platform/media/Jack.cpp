#include "platform/media/Jack.h"

#include "platform/media/AudioSession.h"

namespace platform::media {

Jack& Jack::shared() { return Process::current().shared<Jack>(); }

void Jack::plug(std::shared_ptr<Peer> peer, std::string route, bool hasMic) {
  unplug();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    plugged_ = true;
    hasMic_ = hasMic && peer != nullptr;
    peer_ = std::move(peer);
  }
  AudioSession::sharedInstance().simulateRouteChange(std::move(route), RouteChangeReason::NewDeviceAvailable);
}

void Jack::plugHeadphones() { plug(nullptr, std::string(AudioSession::kRouteHeadphone), false); }

void Jack::unplug() {
  std::shared_ptr<Peer> gone;  // released outside the lock
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!plugged_) return;
    plugged_ = false;
    hasMic_ = false;
    gone = std::move(peer_);
  }
  AudioSession::sharedInstance().simulateRouteChange(std::string(AudioSession::kRouteSpeaker),
                                                     RouteChangeReason::OldDeviceUnavailable);
}

void Jack::interruption(bool begins) { AudioSession::sharedInstance().simulateInterruption(begins); }

bool Jack::isPlugged() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return plugged_;
}

std::shared_ptr<Peer> Jack::peer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return peer_;
}

std::shared_ptr<Peer> Jack::microphone() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hasMic_ ? peer_ : nullptr;
}

}  // namespace platform::media
