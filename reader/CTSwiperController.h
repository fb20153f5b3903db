// The operations every card-reader driver offers (all called on the main thread). The reader
// hub owns the one driver in use and passes screens' requests through; outcomes come back only
// as events (CSwiperControllerDelegate).
#pragma once
#include <cstdint>
#include <memory>

#include "reader/CSwiperControllerDelegate.h"

namespace nvx::reader {

class CTSwiperController {
 public:
  virtual ~CTSwiperController() = default;

  // Begins a swipe session: the reader is armed (onWaitingForCardSwipe) and the session ends in
  // exactly one end event (card result, onDecodeError, onTimeout, onInterrupted, or a link
  // error), or the start fails at once (onNoDeviceDetected, onError).
  virtual void startCSwiper() = 0;
  // Ends the running session or command; the state is 0 afterwards.
  virtual void stopCSwiper() = 0;
  // Stops and disposes of the driver; no event comes afterwards.
  virtual void deleteCSwiper() = 0;
  // Reads the reader's serial number: onGetKsnCompleted, onError -3 or onNoDeviceDetected.
  virtual void getCSwiperKsn() = 0;
  // 0 when idle; any other value is busy (the values are the family's).
  virtual int32_t getCSwiperState() const = 0;
  // Whether the driver believes its reader is connected.
  virtual bool isDevicePresent() const = 0;

  // While set, the driver reports onDevicePlugged / onDeviceUnplugged from its own detection.
  virtual bool detectDeviceChange() const { return detectDeviceChange_; }
  virtual void setDetectDeviceChange(bool on) { detectDeviceChange_ = on; }

  // The event receiver (not owned).
  std::weak_ptr<CSwiperControllerDelegate> delegate() const { return delegate_; }
  virtual void setDelegate(std::weak_ptr<CSwiperControllerDelegate> delegate) { delegate_ = std::move(delegate); }

  // The longest wait for a swipe once the reader is armed, in seconds.
  double swipeTimeout() const { return swipeTimeout_; }
  virtual void setSwipeTimeout(double seconds) { swipeTimeout_ = seconds; }

 protected:
  std::weak_ptr<CSwiperControllerDelegate> delegate_;
  double swipeTimeout_ = 0;
  bool detectDeviceChange_ = false;
};

}  // namespace nvx::reader
