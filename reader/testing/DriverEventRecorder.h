// Test-only: a driver event receiver that records every event, with the driver's state when the
// event came and on the loop's next pass after an end event.
#pragma once
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/RunLoop.h"
#include "reader/CTSwiperController.h"

namespace nvx::reader::testing {

struct CardResult {
  std::optional<std::string> formatID;
  std::string ksn;
  std::string encTracks;
  int32_t track1Length = 0;
  int32_t track2Length = 0;
  int32_t track3Length = 0;
  std::string randomNumber;
  std::string maskedPAN;
  std::string expiryDate;
  std::optional<std::string> cardHolderName;
  bool operator==(const CardResult&) const = default;
};

struct DriverEvent {
  std::string name;     // "onTimeout", "onError", ...
  int32_t value = 0;    // the error code or the decode result
  std::string text;     // the error message or the KSN
  CardResult card;      // onDecodeCompleted
  int32_t state = 0;    // the driver's state while the event was handled
};

class DriverEventRecorder : public CSwiperControllerDelegate,
                            public std::enable_shared_from_this<DriverEventRecorder> {
 public:
  // The driver whose state is recorded (not owned).
  std::weak_ptr<CTSwiperController> driver;
  std::vector<DriverEvent> events;
  // The driver's state on the pass after each end event (a swipe's or a KSN read's).
  std::vector<int32_t> stateAfterEnd;

  void onDevicePlugged() override { add("onDevicePlugged"); }
  void onDeviceUnplugged() override { add("onDeviceUnplugged"); }
  void onNoDeviceDetected() override { add("onNoDeviceDetected"); }
  void onWaitingForDevice() override { add("onWaitingForDevice"); }
  void onWaitingForCardSwipe() override { add("onWaitingForCardSwipe"); }
  void onCardSwipeDetected() override { add("onCardSwipeDetected"); }
  void onDecodingStart() override { add("onDecodingStart"); }
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t track1Length, int32_t track2Length,
                         int32_t track3Length, const std::string& randomNumber, const std::string& maskedPAN,
                         const std::string& expiryDate, const std::optional<std::string>& cardHolderName) override {
    DriverEvent e = make("onDecodeCompleted");
    e.card = CardResult{formatID, ksn, encTracks, track1Length, track2Length, track3Length,
                        randomNumber, maskedPAN, expiryDate, cardHolderName};
    add(std::move(e));
  }
  void onDecodeError(int32_t decodeResult) override {
    DriverEvent e = make("onDecodeError");
    e.value = decodeResult;
    add(std::move(e));
  }
  void onTimeout() override { add("onTimeout"); }
  void onInterrupted() override { add("onInterrupted"); }
  void onGetKsnCompleted(const std::string& ksn) override {
    DriverEvent e = make("onGetKsnCompleted");
    e.text = ksn;
    add(std::move(e));
  }
  void onError(int32_t errorCode, const std::string& errorMessage) override {
    DriverEvent e = make("onError");
    e.value = errorCode;
    e.text = errorMessage;
    add(std::move(e));
  }

  // Events that end a swipe session or a KSN read.
  static bool isEndEvent(const DriverEvent& e) {
    static constexpr std::string_view kEnds[] = {"onDecodeCompleted", "onDecodeError", "onTimeout",
                                                 "onInterrupted", "onGetKsnCompleted", "onNoDeviceDetected"};
    if (e.name == "onError") return e.value != kReaderErrorBusy;  // a refused start ends nothing
    return std::find(std::begin(kEnds), std::end(kEnds), e.name) != std::end(kEnds);
  }

  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : events) out.push_back(e.name);
    return out;
  }
  // Names without the presence events (which come independent of any session).
  std::vector<std::string> sessionNames() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.name != "onDevicePlugged" && e.name != "onDeviceUnplugged") out.push_back(e.name);
    return out;
  }
  size_t count(std::string_view name) const {
    return static_cast<size_t>(std::count_if(events.begin(), events.end(), [&](const auto& e) { return e.name == name; }));
  }
  bool has(std::string_view name) const { return count(name) > 0; }
  size_t endEvents() const {
    return static_cast<size_t>(std::count_if(events.begin(), events.end(), [](const auto& e) { return isEndEvent(e); }));
  }
  const DriverEvent* last(std::string_view name) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
      if (it->name == name) return &*it;
    return nullptr;
  }
  void clear() {
    events.clear();
    stateAfterEnd.clear();
  }

 private:
  int32_t driverState() const {
    auto d = driver.lock();
    return d ? d->getCSwiperState() : 0;
  }
  DriverEvent make(std::string name) const {
    DriverEvent e;
    e.name = std::move(name);
    e.state = driverState();
    return e;
  }
  void add(std::string name) { add(make(std::move(name))); }
  void add(DriverEvent e) {
    events.push_back(std::move(e));
    if (isEndEvent(events.back())) {
      std::weak_ptr<DriverEventRecorder> weak = weak_from_this();
      platform::dispatchMain([weak] {
        if (auto self = weak.lock()) self->stateAfterEnd.push_back(self->driverState());
      });
    }
  }
};

}  // namespace nvx::reader::testing
