#include "account/AccountForm.h"

#include <cstdio>

#include "core/text/StringsTool.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/Color.h"
#include "platform/ui/Font.h"

namespace nvx::account {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::TextField;

std::shared_ptr<TextField> formField(platform::ui::Rect frame, std::string placeholder, int tag,
                                     std::weak_ptr<platform::ui::TextFieldDelegate> delegate) {
  auto field = TextField::create(frame);
  field->setFont(Font::system(16));
  field->setTextAlignment(platform::ui::TextAlignment::Left);
  field->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  field->setPlaceholder(std::move(placeholder));
  field->setTag(tag);
  field->setDelegate(std::move(delegate));
  return field;
}

std::shared_ptr<platform::ui::Button> linkButton(std::string title) {
  auto button = platform::ui::Button::create();
  button->setTitle(std::move(title));
  button->setTitleFont(Font::system(14));
  button->setTitleColor(Color::rgb255(0, 102, 204));
  return button;
}

std::shared_ptr<platform::ui::View> sectionHeader(std::string text, Color color) {
  auto header = platform::ui::View::create(platform::ui::Rect{0, 0, 320, 40});
  auto label = platform::ui::Label::create(platform::ui::Rect{20, 10, 280, 24}, std::move(text));
  label->setFont(Font::system(16));
  label->setTextColor(color);
  header->addSubview(label);
  return header;
}

void requestSmsCode(NVXViewController& screen, const std::string& phone, std::string_view smsType,
                    std::function<void(std::string token)> onToken) {
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  AccountOperations::getMobileVerifyCode(screen, phone, smsType, [weak, onToken = std::move(onToken)](AccountReply reply) {
    auto owner = weak.lock();
    if (!owner || reply.kind == AccountReply::Kind::TokenHandled) return;
    std::string prompt;
    auto token = smsToken(reply, prompt);
    if (!token) {
      owner->showPrompt(prompt);
      return;
    }
    onToken(*token);
  });
}

std::shared_ptr<platform::ui::Label> rowLabel(std::string text) {
  auto label = platform::ui::Label::create({20, 8, 80, 30}, std::move(text));
  label->setFont(Font::system(16));
  label->setBackgroundColor(Color::clear());
  return label;
}

std::shared_ptr<platform::ui::View> borderedBox(platform::ui::Rect frame) {
  auto box = platform::ui::View::create(frame);
  box->setBackgroundColor(Color::white());
  box->layer().borderWidth = 1;
  box->layer().borderColor = Color::rgb255(202, 204, 204);
  return box;
}

void phoneFieldBeginEditing(TextField& field) { field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text())); }

std::string phoneFieldEndEditing(TextField& field) {
  std::string plain = StringsTool::clearPhoneNumber(field.text());
  field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
  return plain;
}

size_t textLength(std::string_view text) { return platform::u16len(text); }

bool isPasswordLengthValid(std::string_view password) {
  const size_t length = textLength(password);
  return length >= 6 && length <= 20;
}

namespace {
bool allOf(std::string_view text, size_t shortest, size_t longest, bool lettersToo) {
  if (text.size() < shortest || text.size() > longest) return false;
  for (char c : text) {
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!digit && !(lettersToo && letter)) return false;
  }
  return true;
}
}  // namespace

bool isSmsCode(std::string_view code) { return allOf(code, 4, 8, false); }
bool isCheckCode(std::string_view code) { return allOf(code, 1, 8, true); }

// --- the resend countdown ---

std::string ResendCountdown::initialTitle() { return "(60秒)" + platform::Strings::localized("Reacquire"); }

void ResendCountdown::start(std::weak_ptr<platform::ui::Button> button, std::function<void()> tick) {
  stop();
  button_ = std::move(button);
  secondsLeft_ = kSeconds;
  timer_ = platform::RunLoop::main().every(platform::secs(1), std::move(tick));
}

void ResendCountdown::timeChange() {
  --secondsLeft_;
  auto button = button_.lock();
  if (secondsLeft_ > 0) {
    if (button) {
      char title[32];
      std::snprintf(title, sizeof title, "(%02d秒)", secondsLeft_);
      button->setEnabled(false);
      button->setTitleColor(Color::gray(0.33));
      button->setTitle(title + platform::Strings::localized("Reacquire"));
    }
    return;
  }
  if (button) {
    button->setTitleColor(Color::black());
    button->setTitle(platform::Strings::localized("Reacquire"));
    button->setEnabled(true);
  }
  stop();
  secondsLeft_ = kSeconds;
}

void ResendCountdown::stop() {
  if (timer_ != 0) platform::RunLoop::main().cancel(timer_);
  timer_ = 0;
}

std::string replyPrompt(const AccountReply& reply) {
  if (reply.kind == AccountReply::Kind::NoConnection) return platform::Strings::localized("NetworkConnectionFailed");
  return reply.errorText;
}

std::optional<std::string> smsToken(const AccountReply& reply, std::string& prompt) {
  if (!reply.ok() || !reply.data.is_object()) {
    prompt = replyPrompt(reply);
    return std::nullopt;
  }
  auto token = platform::json::text(reply.data, "token");
  if (!token || token->empty()) {
    prompt = platform::Strings::localized("Error_Data");
    return std::nullopt;
  }
  return token;
}

}  // namespace nvx::account
