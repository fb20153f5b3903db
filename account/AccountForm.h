// Pieces the account screens share: their text fields and row labels, the phone-number field's
// editing steps, the 60-second resend countdown of the text-message code screens, and the reply
// texts they show.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "account/AccountOperations.h"
#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "app/ui/ViewTool.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

namespace nvx::account {

// The form table of a screen: grouped, as large as the screen's view, the screen its data source,
// delegate and touch delegate; fixed forms take no row selection and do not scroll.
template <class Screen>
std::shared_ptr<CustomTableView> addFormTable(const std::shared_ptr<Screen>& screen, bool fixed) {
  auto root = screen->view();
  auto table = ViewTool::myGroupedTableViewWithFrame(platform::ui::Rect{0, 0, 320, root->bounds().height});
  if (fixed) {
    table->setAllowsSelection(false);
    table->setScrollEnabled(false);
  }
  table->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(screen));
  table->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(screen));
  table->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(screen));
  root->addSubview(table);
  return table;
}

// A tap on the control runs the screen's action; the control holds the screen weakly.
template <class Screen>
void onTap(platform::ui::Control& control, const std::shared_ptr<Screen>& screen, void (Screen::*action)()) {
  std::weak_ptr<Screen> weak = screen;
  control.addTarget(screen.get(), platform::ui::ControlEvent::TouchUpInside, [weak, action](platform::ui::Control&) {
    if (auto target = weak.lock()) ((*target).*action)();
  });
}

// The button at the frame in the parent, running the screen's action on a tap.
template <class Screen>
std::shared_ptr<platform::ui::Button> addButton(platform::ui::View& parent, std::shared_ptr<platform::ui::Button> button,
                                                platform::ui::Rect frame, const std::shared_ptr<Screen>& screen,
                                                void (Screen::*action)()) {
  button->setFrame(frame);
  onTap(*button, screen, action);
  parent.addSubview(button);
  return button;
}

// A link-style button: the title in 14 points, blue.
std::shared_ptr<platform::ui::Button> linkButton(std::string title);

// A section header of 40 points with the text in 16 points.
std::shared_ptr<platform::ui::View> sectionHeader(std::string text, platform::ui::Color color = platform::ui::Color::black());

// The page-sized button behind a form's controls: a touch on it runs the screen's action (the
// keyboards close).
template <class Screen>
std::shared_ptr<platform::ui::Button> addBackground(const std::shared_ptr<Screen>& screen, void (Screen::*action)()) {
  auto root = screen->view();
  return addButton(*root, platform::ui::Button::create(), platform::ui::Rect{0, 0, 320, root->bounds().height}, screen,
                   action);
}

// The text-message code request of the code type for the number: onToken gets the reply's
// token; an expired login ends silently; any other failure is the screen's prompt.
void requestSmsCode(NVXViewController& screen, const std::string& phone, std::string_view smsType,
                    std::function<void(std::string token)> onToken);

// A form field: 16-point text, left-aligned, the clear button while editing, return key Done, no
// automatic capitals, the delegate given.
std::shared_ptr<platform::ui::TextField> formField(platform::ui::Rect frame, std::string placeholder, int tag,
                                                   std::weak_ptr<platform::ui::TextFieldDelegate> delegate);
// A row's left label (20, 8, 80 x 30) with the text.
std::shared_ptr<platform::ui::Label> rowLabel(std::string text);
// A bordered white box for one field.
std::shared_ptr<platform::ui::View> borderedBox(platform::ui::Rect frame);

// The phone field's steps: editing begins (the separators go), editing ends (the plain digits are
// returned and the field shows the grouped form).
void phoneFieldBeginEditing(platform::ui::TextField& field);
std::string phoneFieldEndEditing(platform::ui::TextField& field);

// The length of a text as the phone counts it (UTF-16 units).
size_t textLength(std::string_view text);
// A password of 6 to 20 characters (any characters).
bool isPasswordLengthValid(std::string_view password);

// A text-message code as the message brings it: 4 to 8 ASCII digits. Anything else (blanks,
// letters, full-width digits, longer text) is refused before it is sent.
bool isSmsCode(std::string_view code);
// A picture check code: 1 to 8 ASCII letters or digits.
bool isCheckCode(std::string_view code);

// The 60-second resend countdown of a code screen's resend button: while it runs the button
// takes no touches and reads "(NN秒)" + the localized "Reacquire" in dark grey; at 0 it reads the
// localized "Reacquire" in black and takes touches again. The timer holds its screen weakly: a
// screen popped while counting is let go, and the timer with it.
class ResendCountdown {
 public:
  static constexpr int kSeconds = 60;

  ResendCountdown() = default;
  ~ResendCountdown() { stop(); }
  ResendCountdown(const ResendCountdown&) = delete;
  ResendCountdown& operator=(const ResendCountdown&) = delete;

  // The initial title "(60秒)" + the localized "Reacquire".
  static std::string initialTitle();

  // Starts (or restarts) from 60 s: tick runs every second on the main loop.
  void start(std::weak_ptr<platform::ui::Button> button, std::function<void()> tick);
  // One second less; at 0 the button is enabled again and the timer stops.
  void timeChange();
  void stop();
  int secondsLeft() const { return secondsLeft_; }
  bool isRunning() const { return timer_ != 0; }

 private:
  std::weak_ptr<platform::ui::Button> button_;
  int secondsLeft_ = kSeconds;
  platform::TimerId timer_ = 0;
};

// A reply's text to show: the localized "NetworkConnectionFailed" without a reply, else the
// reply's error text.
std::string replyPrompt(const AccountReply& reply);

// The "token" of a text-message code reply (an object). Nothing for any other reply, with the
// text to show in prompt: the reply's own text, or the localized "Error_Data" for an object
// without a token.
std::optional<std::string> smsToken(const AccountReply& reply, std::string& prompt);

}  // namespace nvx::account
