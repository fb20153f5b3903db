// The simulated headset socket (one per process). Plugging and unplugging change the audio
// session's route with the notices a phone gives; the audio engine hands the phone's output to the
// plugged peer and takes the microphone from it. Nothing plugged, or headphones without a
// microphone: the microphone hears silence.
#pragma once
#include <memory>
#include <mutex>
#include <string>

#include "platform/foundation/Process.h"
#include "platform/media/Peer.h"

namespace platform::media {

class Jack {
 public:
  static Jack& shared();

  // Plugs a peer: route `route` (default "HeadsetInOut"), notice reason 1 (new device). With
  // hasMic false the peer only hears. Something already plugged is unplugged first (reason 2).
  void plug(std::shared_ptr<Peer> peer, std::string route = "HeadsetInOut", bool hasMic = true);
  // Plain headphones: route "Headphone", no microphone, nobody listening.
  void plugHeadphones();
  // Route back to "Speaker", notice reason 2 (old device gone). Nothing plugged: nothing happens.
  void unplug();
  // An interruption (a phone call) begins or ends: see AudioSession::simulateInterruption.
  void interruption(bool begins);

  bool isPlugged() const;
  std::shared_ptr<Peer> peer() const;       // nullptr when nothing (or headphones) is plugged
  // The peer that speaks into the microphone now (nullptr: silence).
  std::shared_ptr<Peer> microphone() const;

 private:
  friend class platform::Process;
  Jack() = default;
  mutable std::mutex mutex_;
  bool plugged_ = false;
  bool hasMic_ = false;
  std::shared_ptr<Peer> peer_;
};

}  // namespace platform::media
