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
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

namespace nvx::account {

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
