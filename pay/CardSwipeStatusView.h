// The one-line row at the top of a pay screen that tells the user what the card reader does: a
// prompt or the masked card number, at its left the card animation, a spinner or a warning or
// error icon, and at its right the swipe-again button. The screen that owns it picks the state
// for each reader event; the row reports only the button press back.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "app/ui/SwipeAnimationView.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"

namespace nvx {

class CardSwipeStatusView;

class CardSwipeStatusViewDelegate {
 public:
  virtual ~CardSwipeStatusViewDelegate() = default;
  virtual void cardSwiperStatusViewAfreshSwipeButtonPressed(CardSwipeStatusView& view) = 0;
};

class CardSwipeStatusView : public platform::ui::View {
 public:
  // What precedes a prompt shown beside the spinner or an icon: room for the 20-point icon.
  static constexpr std::string_view kIconRoom = "      ";
  static constexpr const char* kAfreshSwipeTitle = "重新刷卡";
  static constexpr const char* kWarningPicture = "swipe-alert.png";
  static constexpr const char* kErrorPicture = "swipe-error.png";

  explicit CardSwipeStatusView(platform::ui::Rect frame) : View(frame) {}
  // initWithFrame:delegate: the text field and the hidden button.
  static std::shared_ptr<CardSwipeStatusView> create(platform::ui::Rect frame,
                                                     std::weak_ptr<CardSwipeStatusViewDelegate> delegate);

  void setText(std::string_view text);
  const std::string& text() const { return text_; }

  // Waiting for a swipe: the animation runs, the prompt as it is.
  void beginSwipeWithPrompt(std::string_view prompt);
  // A swipe detected or decoding: the spinner.
  void startProcessingWithPrompt(std::string_view prompt);
  // A warning (a swipe time-out) or an error (an unplugged or unknown reader), with the button.
  void stopWithWarningInfo(std::string_view message);
  void stopWithErrorInfo(std::string_view message);
  // Stops the animation and the spinner only.
  void stopWithTimeout();
  // A good swipe: the masked card number, with the button.
  void scusessWithCardNumber(std::string_view cardNumber);
  // The first still frame of the card animation.
  void setAImage();
  // The button's action: disabled until the next state that shows it, then the delegate told.
  void afreshSwipe();

  std::shared_ptr<CardSwipeStatusViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<CardSwipeStatusViewDelegate> d) { delegate_ = std::move(d); }
  const std::shared_ptr<platform::ui::TextField>& cardTextField() const { return cardTextField_; }
  const std::shared_ptr<platform::ui::Button>& afreshSwipeButton() const { return afreshSwipeButton_; }
  // Made on first use.
  const std::shared_ptr<SwipeAnimationView>& swipeAnimationView() const { return swipeAnimationView_; }
  const std::shared_ptr<platform::ui::ActivityIndicatorView>& cardActivityIndicator() const {
    return cardActivityIndicator_;
  }
  const std::shared_ptr<platform::ui::ImageView>& cardStatusImageView() const { return cardStatusImageView_; }

 private:
  void build();
  SwipeAnimationView& animation();
  platform::ui::ActivityIndicatorView& spinner();
  platform::ui::ImageView& icon();
  void stopAnimationAndSpinner();
  void showIcon(const char* picture, std::string_view message);
  void showButton();

  std::weak_ptr<CardSwipeStatusViewDelegate> delegate_;
  std::string text_;
  std::shared_ptr<platform::ui::TextField> cardTextField_;
  std::shared_ptr<platform::ui::Button> afreshSwipeButton_;
  std::shared_ptr<SwipeAnimationView> swipeAnimationView_;
  std::shared_ptr<platform::ui::ActivityIndicatorView> cardActivityIndicator_;
  std::shared_ptr<platform::ui::ImageView> cardStatusImageView_;
};

}  // namespace nvx
