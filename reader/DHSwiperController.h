// The reader hub: the one object through which the client uses card readers. The application
// delegate creates it once at start-up, becomes its event receiver and keeps it for the run.
//
// The hub remembers the reader model the user has, makes the model's driver (SwiperDriverFactory)
// and passes the driver operations through. Every driver event comes to the hub and goes on to
// the receiver under the hub's rules: only error -3 is passed on, an empty serial number leads to
// the model list instead, an unplugged reader clears the session's reader keys first. When the
// model is not known, the hub fetches the model list from the server and opens the chooser
// (SwiperInvalidScreen, made by class name).
//
// Everything runs on the main thread. The receivers, the next-step screen and the chooser are
// known weakly: an event after its receiver is gone goes nowhere.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/Unit.h"
#include "reader/CSwiperControllerDelegate.h"
#include "reader/CTSwiperController.h"
#include "reader/ScreenHandles.h"
#include "reader/TaviDetector.h"

namespace nvx::reader {

class DHSwiperController final : public CSwiperControllerDelegate,
                                 public TaviListener,
                                 public std::enable_shared_from_this<DHSwiperController> {
 public:
  // A new hub: empty model list, ksnState 0, listening for the Wi-Fi box, and set to the model
  // stored under "common_unitid" when there is one (the last audio reader, never the box).
  static std::shared_ptr<DHSwiperController> create();
  // Stops listening for the box.
  ~DHSwiperController() override;
  DHSwiperController(const DHSwiperController&) = delete;
  DHSwiperController& operator=(const DHSwiperController&) = delete;

  // --- the model and its driver ---
  // Chooses the model: nothing when it is the one in use; otherwise it becomes defaultUnitid,
  // its driver is made (initSwiperSDk) and the choice is stored: "unitid" always, and
  // "common_unitid" unless it is the box. No model (nullopt) removes both defaults.
  void initSwiperSDkWithUnitId(std::optional<std::string> unitId);
  // Makes the driver of defaultUnitid. A Wi-Fi driver is deleted when another model is chosen; a
  // model that is not known keeps any other driver and asks for the model list.
  void initSwiperSDk();
  // Fetches the model list ("getUnitListNew", with the progress indicator) and opens the
  // chooser with it; a failure shows the server's message (and the login screen when the login
  // has expired) and changes nothing else.
  void httpRequest();
  // Opens the chooser with the list, on the navigation controller of nextStepTarget (see
  // navigationControllerForTarget); the chooser then hears the box come and go.
  void showUnitListView(const std::vector<Unit>& units);
  // Drops from the model list every model whose id is not known.
  void filterUnitList();

  // The navigation controller the chooser is pushed on and popped from: the screen's own,
  // unless there is no screen, it is the More screen ("MoreViewController") or it has none;
  // then the application's.
  static std::shared_ptr<platform::ui::NavigationController> navigationControllerForTarget(
      const std::shared_ptr<platform::ui::ViewController>& target);

  // --- presence (computed at each call) ---
  // The box is there, or the audio route shows a headset-socket device.
  bool isDevicePresent();
  // Both at once.
  bool isMultPresent();
  bool isTaviPresent() const;
  // The driver in use is the Wi-Fi box's.
  bool isTaviSwiper() const;
  bool isSwiperDriverInitilazied() const { return swiper_ != nullptr; }

  // --- the driver operations ---
  // Starts a session only while the driver is idle (state 0); otherwise nothing happens.
  void startCSwiper();
  void stopCSwiper();
  void deleteCSwiper();
  void getCSwiperKsn();
  // 0 without a driver.
  int32_t getCSwiperState() const;
  void setDetectDeviceChange(bool on);

  // --- properties ---
  // The event receiver (the application delegate).
  std::weak_ptr<CSwiperControllerDelegate> delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<CSwiperControllerDelegate> delegate) { delegate_ = std::move(delegate); }
  // A second receiver of the plug and serial-number events (the older merchant checkout).
  std::weak_ptr<CSwiperControllerDelegate> checkoutDelegate() const { return checkoutDelegate_; }
  void setCheckoutDelegate(std::weak_ptr<CSwiperControllerDelegate> d) { checkoutDelegate_ = std::move(d); }
  // The driver in use, or nothing.
  std::shared_ptr<CTSwiperController> swiper() const { return swiper_; }
  // The model id in use, or nothing.
  const std::optional<std::string>& defaultUnitid() const { return defaultUnitid_; }
  // The model list last received (filtered).
  const std::vector<Unit>& unitList() const { return unitList_; }
  // The reader gate sets it to 0 before it asks for the serial number; an unplug sets it to 0.
  int32_t ksnState() const { return ksnState_; }
  void setKsnState(int32_t state) { ksnState_ = state; }
  // The screen that last ran the reader gate; the chooser carries on with it.
  std::weak_ptr<platform::ui::ViewController> nextStepTarget() const { return nextStepTarget_; }
  void setNextStepTarget(std::weak_ptr<platform::ui::ViewController> t) { nextStepTarget_ = std::move(t); }
  // The chooser while it is shown: it hears the box come and go.
  std::weak_ptr<TaviListener> taviListener() const { return taviListener_; }
  void setTaviListener(std::weak_ptr<TaviListener> listener) { taviListener_ = std::move(listener); }
  // Set once a model list has been fetched and shown; the reader gate reads and clears it.
  bool isBothTaviPicking() const { return isBothTaviPicking_; }
  void setIsBothTaviPicking(bool on) { isBothTaviPicking_ = on; }

  // --- driver events (CSwiperControllerDelegate) ---
  void onDevicePlugged() override;
  void onDeviceUnplugged() override;
  void onNoDeviceDetected() override;
  void onWaitingForDevice() override;
  void onWaitingForCardSwipe() override;
  void onCardSwipeDetected() override;
  void onDecodingStart() override;
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t track1Length, int32_t track2Length,
                         int32_t track3Length, const std::string& randomNumber, const std::string& maskedPAN,
                         const std::string& expiryDate, const std::optional<std::string>& cardHolderName) override;
  void onDecodeError(int32_t decodeResult) override;
  void onTimeout() override;
  void onInterrupted() override;
  void onGetKsnCompleted(const std::string& ksn) override;
  void onError(int32_t errorCode, const std::string& errorMessage) override;

  // --- the box (TaviListener) ---
  void onTaviConnected() override;
  void onTaviDisConnected() override;

 private:
  class EventScope;
  DHSwiperController() = default;
  void init();

  // Makes driver the one in use. The one before is let go at once, or, while an event is being
  // handled (its driver may be the caller), on the main loop's next pass.
  void setSwiper(std::shared_ptr<CTSwiperController> driver);
  // The chosen model's family is not built into the client: a start or a serial-number request
  // finds no reader.
  void reportNoDevice();
  void unitListArrived(std::vector<Unit> units, const std::string& errMsg);
  template <class F>
  void toDelegate(F&& f) {
    if (auto receiver = delegate_.lock()) f(*receiver);
  }
  // The checkout receiver, when it is set and is not the receiver itself.
  template <class F>
  void toCheckoutDelegate(F&& f) {
    auto checkout = checkoutDelegate_.lock();
    if (!checkout || checkout == delegate_.lock()) return;
    f(*checkout);
  }

  std::weak_ptr<CSwiperControllerDelegate> delegate_;
  std::weak_ptr<CSwiperControllerDelegate> checkoutDelegate_;
  std::shared_ptr<CTSwiperController> swiper_;
  std::optional<std::string> defaultUnitid_;
  std::vector<Unit> unitList_;
  int32_t ksnState_ = 0;
  std::weak_ptr<platform::ui::ViewController> nextStepTarget_;
  std::weak_ptr<TaviListener> taviListener_;
  bool isBothTaviPicking_ = false;
  // The chosen model is known but has no driver in this build.
  bool modelWithoutDriver_ = false;
  // Events being handled (nested).
  int eventDepth_ = 0;
};

}  // namespace nvx::reader
