// The card part of a pay screen, shared by the swipe screen and the multi-pay screen: the card
// status row that follows the reader's events, the encrypted tracks and random number of a good
// swipe, the PIN field with its keypad, and the configuration texts. Base is the screen class the
// pay screen would otherwise derive from; the pay screen says how it clears its progress
// indicators and how far down a field may sit before the table lifts it above the keypad.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXKeyboardView.h"
#include "app/ui/SwipeAnimationView.h"
#include "net/DataStatistics.h"
#include "pay/CardSwipeStatusView.h"
#include "pay/SwipeCommon.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "reader/DHSwiperController.h"

namespace nvx {

namespace detail {
// Stands in for the text field delegate when the screen's base takes text field events already.
struct NoTextFieldDelegate {};
}  // namespace detail

template <class Base>
class CardPayScreen : public Base,
                      public std::conditional_t<std::is_base_of_v<platform::ui::TextFieldDelegate, Base>,
                                                detail::NoTextFieldDelegate, platform::ui::TextFieldDelegate>,
                      public NVXKeyboardViewDelegate,
                      public CardSwipeStatusViewDelegate,
                      public SwipeAnimationViewDelegate,
                      public CustomTableViewDelegate {
 public:
  // --- configuration, once before the screen shows ---
  void customizeSwipeViewWithNavTitle(std::optional<std::string> navTitle, std::optional<std::string> swipeHeader,
                                      std::optional<std::string> cardPlaceholder,
                                      std::optional<std::string> passwordPlaceholder, std::optional<std::string> tips,
                                      std::optional<std::string> doneButtonTitle, int businessType) {
    texts_.set(std::move(navTitle), std::move(swipeHeader), std::move(cardPlaceholder),
               std::move(passwordPlaceholder), std::move(tips), std::move(doneButtonTitle), businessType);
  }
  void customizeSwipeViewWithNavTitleAndComment(std::optional<std::string> navTitle,
                                                std::optional<std::string> swipeHeader,
                                                std::optional<std::string> cardPlaceholder,
                                                std::optional<std::string> passwordPlaceholder,
                                                std::optional<std::string> tips,
                                                std::optional<std::string> doneButtonTitle, int businessType,
                                                std::shared_ptr<platform::ui::Label> commentLabelInfo) {
    texts_.set(std::move(navTitle), std::move(swipeHeader), std::move(cardPlaceholder),
               std::move(passwordPlaceholder), std::move(tips), std::move(doneButtonTitle), businessType);
    texts_.commentLabel = std::move(commentLabelInfo);
  }

  // Business type 24 (traffic fines) asks before leaving the payment; the others leave at once.
  void backButtonPressed() override {
    if (texts_.businessType != 24) {
      Base::backButtonPressed();
      return;
    }
    auto alert = platform::ui::AlertView::create("", platform::Strings::localized("TV_Pay_Cancel_Note"),
                                                 platform::Strings::localized("TV_Cancel_String"),
                                                 {platform::Strings::localized("Ok")});
    alert->setTag(kBackConfirmAlertTag);
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(
        std::static_pointer_cast<CardPayScreen>(this->shared_from_this())));
    alert->show();
  }

  void viewWillDisappear(bool animated) override {
    Base::viewWillDisappear(animated);
    if (auto h = hub()) h->stopCSwiper();
    if (cardSwipeStatusView_) cardSwipeStatusView_->stopWithTimeout();
  }

  // --- reader events ---
  void onWaitingForCardSwipe() override {
    Base::onWaitingForCardSwipe();
    if (!this->isViewLoaded()) return;
    cardSwipeStatusView_->beginSwipeWithPrompt(texts_.cardPlaceholder.value_or(""));
  }
  void onCardSwipeDetected() override {
    Base::onCardSwipeDetected();
    if (!this->isViewLoaded()) return;
    cardSwipeStatusView_->startProcessingWithPrompt(platform::Strings::localized("SwipeDetected"));
  }
  void onDecodingStart() override {
    Base::onDecodingStart();
    if (!this->isViewLoaded()) return;
    cardSwipeStatusView_->startProcessingWithPrompt(" ");
  }
  void onDecodeCompleted(const std::optional<std::string>& formatID, const std::string& ksn,
                         const std::string& encTracks, int32_t track1Length, int32_t track2Length,
                         int32_t track3Length, const std::string& randomNumber, const std::string& maskedPAN,
                         const std::string& expiryDate, const std::optional<std::string>& cardHolderName) override {
    Base::onDecodeCompleted(formatID, ksn, encTracks, track1Length, track2Length, track3Length, randomNumber,
                            maskedPAN, expiryDate, cardHolderName);
    if (!this->isViewLoaded()) return;
    cardSwipeStatusView_->scusessWithCardNumber(swipe::shownCardNumber(maskedPAN));
    track_ = encTracks;
    randomNumber_ = randomNumber;
    hideProgress();
    tableView_->layoutIfNeeded();
    passwordTextField_->becomeFirstResponder();
    DataStatistics::sharedDataStatistics().swiperCompletion();
  }
  void onDecodeError(int32_t decodeResult) override {
    Base::onDecodeError(decodeResult);
    if (!this->isViewLoaded()) return;
    clearSwipe();
    cardSwipeStatusView_->stopWithTimeout();
    this->showPrompt(platform::Strings::localized("CSwiperControllerDecodeResultSwipeFail"));
    restartAfter(1.0);
    DataStatistics::sharedDataStatistics().swiperFailed();
  }
  void onError(int32_t errorCode, const std::string& errorMessage) override {
    Base::onError(errorCode, errorMessage);
    if (!this->isViewLoaded()) return;
    clearSwipe();
    cardSwipeStatusView_->stopWithTimeout();
    hideProgress();
    restartAfter(1.0);
  }
  void onInterrupted() override {
    Base::onInterrupted();
    if (!this->isViewLoaded()) return;
    hideProgress();
    clearSwipe();
    cardSwipeStatusView_->stopWithTimeout();
  }
  void onNoDeviceDetected() override {
    Base::onNoDeviceDetected();
    if (!this->isViewLoaded()) return;
    clearSwipe();
    cardSwipeStatusView_->stopWithErrorInfo(swipe::kUnknownDevice);
  }
  void onTimeout() override {
    Base::onTimeout();
    if (!this->isViewLoaded()) return;
    hideProgress();
    clearSwipe();
    this->showPrompt(swipe::kSwipeTimeout);
    cardSwipeStatusView_->stopWithWarningInfo(swipe::kSwipeTimeout);
  }

  // --- the status row, the keypad and the PIN field ---
  void cardSwiperStatusViewAfreshSwipeButtonPressed(CardSwipeStatusView&) override {
    passwordTextField_->setText("");
    if (auto h = hub()) h->startCSwiper();
  }
  void swipeAnimationViewDidPressed(SwipeAnimationView&) override { passwordTextField_->resignFirstResponder(); }
  void touchUpInsideEndedCustomTableView(CustomTableView&) override { passwordTextField_->resignFirstResponder(); }
  void keyboadView(NVXKeyboardView&, int numberPressed) override {
    swipe::pinKeyPressed(*passwordTextField_, numberPressed);
  }
  void keyboadViewdoneButtonPressed(NVXKeyboardView&) override { passwordTextField_->resignFirstResponder(); }
  void keyboadViewdeleteButtonPressed(NVXKeyboardView&) override { swipe::pinDeletePressed(*passwordTextField_); }
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16,
                                             const std::string&) override {
    return swipe::pinFieldMayChange(field);
  }
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override {
    field.resignFirstResponder();
    return true;
  }
  void didBeginEditing(platform::ui::TextField& field) override {
    swipe::liftAboveKeypad(field, *tableView_, p_, liftThreshold_);
  }
  void didEndEditing(platform::ui::TextField&) override { tableView_->setContentOffset(p_, true); }

  // --- what the card part holds and shows ---
  const std::string& track() const { return track_; }
  const std::string& randomNumber() const { return randomNumber_; }
  bool wantToDisappear() const { return wantToDisappear_; }
  bool isCommitRunning() const { return commitRunning_; }
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }
  const std::shared_ptr<CardSwipeStatusView>& cardSwipeStatusView() const { return cardSwipeStatusView_; }
  const std::shared_ptr<platform::ui::TextField>& passwordTextField() const { return passwordTextField_; }

  static constexpr int kBackConfirmAlertTag = 203;

 protected:
  // liftThreshold: how far down a field may sit before the table lifts it above the keypad.
  explicit CardPayScreen(double liftThreshold) : liftThreshold_(liftThreshold) {}

  // Clears the screen's progress indicators after a swipe ends one way or another.
  virtual void hideProgress() = 0;

  // The answer to the leave alert: OK goes back to the fines list when it is on the stack, else
  // one screen back.
  void backConfirmAnswered(int index) {
    if (index != 1) return;
    auto navigation = this->navigationController();
    if (!navigation) return;
    for (const auto& screen : navigation->stack()) {
      if (screen->className() == "TraficViolationChooseViewController") {
        navigation->popTo(*screen, true);
        return;
      }
    }
    navigation->pop(true);
  }

  std::shared_ptr<reader::DHSwiperController> hub() const { return swipeController_.lock(); }
  void clearSwipe() {
    track_.clear();
    randomNumber_.clear();
  }
  // Opens the reader for a new swipe after seconds (virtual time).
  void restartAfter(double seconds) {
    std::weak_ptr<CardPayScreen> weak = std::static_pointer_cast<CardPayScreen>(this->shared_from_this());
    platform::dispatchAfter(platform::secs(seconds), [weak] {
      if (auto s = weak.lock()) s->cardSwiperStatusViewAfreshSwipeButtonPressed(*s->cardSwipeStatusView_);
    });
  }

  SwipeScreenTexts texts_;
  std::weak_ptr<reader::DHSwiperController> swipeController_;
  std::string track_;
  std::string randomNumber_;
  bool wantToDisappear_ = false;
  bool commitRunning_ = false;
  platform::ui::Point p_{};
  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<CardSwipeStatusView> cardSwipeStatusView_;
  std::shared_ptr<platform::ui::TextField> passwordTextField_;

 private:
  double liftThreshold_;
};

}  // namespace nvx
