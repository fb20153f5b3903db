// Whether an audio card reader sits in the headset socket, from the audio route, with plug and
// unplug notices while a screen listens.
#pragma once
#include <memory>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace nvx::reader {

// A screen that listens for a reader in the headset socket. Both notices are optional.
class AudioSwiperListener {
 public:
  virtual ~AudioSwiperListener() = default;
  virtual void onDevicePlugged() {}
  virtual void onDeviceUnplugged() {}
};

class SwiperUtil {
 public:
  static SwiperUtil& sharedInstance();
  ~SwiperUtil();

  // Activates the audio session (an error is ignored) and answers whether the current route's
  // name begins with "Head" (headsets and headphones: "Headset", "Headphone", "HeadsetInOut").
  bool isAudioDeviceDetected();
  // Polls the route every 0.15 s for the listener; the present state at the start is taken
  // without a notice.
  void startListen(std::weak_ptr<AudioSwiperListener> listener);
  void stopListen();
  // The result of the last poll.
  bool isDevicePresent() const { return isDevicePresent_; }

  // One poll: a change of the route sends onDevicePlugged or onDeviceUnplugged.
  void detectDevice();

 private:
  friend class platform::Process;
  SwiperUtil() = default;

  bool isDevicePresent_ = false;
  platform::TimerId detectDeviceTimer_ = 0;
  std::weak_ptr<AudioSwiperListener> delegate_;
};

}  // namespace nvx::reader
