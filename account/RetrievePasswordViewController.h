// Password retrieval, first step: the mobile number and a picture check code. The picture is
// fetched for a token the client makes up (a new one for every picture); the number must be
// registered, the check code right, and then a text-message code (code type "2") is sent and the
// code screen opens.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/TextField.h"

namespace nvx {

class RetrievePasswordViewController : public NVXViewController, public platform::ui::TextFieldDelegate {
 public:
  static constexpr const char* kClassName = "RetrievePasswordViewController";
  static constexpr int kNumberTag = 0;
  static constexpr int kCheckCodeTag = 1;
  static constexpr size_t kTokenLength = 16;
  static constexpr const char* kPictureFailed = "网络超时，请重新获取";
  static constexpr const char* kPictureBackground = "reacquire_btn.png";
  // The code type of retrieval.
  static constexpr const char* kSmsType = "2";

  static std::shared_ptr<RetrievePasswordViewController> create();
  std::string className() const override { return kClassName; }

  // 16 characters, each a lower-case letter or a digit with even odds.
  static std::string createToken();

  void viewDidLoad() override;

  // Next: the number state, the check-code check, then the text-message code.
  void checkMobilePhoneNumber();
  // A new token and its picture.
  void getImageVerification();
  void cancelKeyBoard();
  void theNextAndGetVerification();
  void getSMSVerificationCode();

  void didBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

  const std::string& token() const { return token_; }
  const std::shared_ptr<platform::ui::TextField>& numberField() const { return numberField_; }
  const std::shared_ptr<platform::ui::TextField>& checkCodeField() const { return checkCodeField_; }
  const std::shared_ptr<platform::ui::Button>& pictureButton() const { return pictureButton_; }

 private:
  // A new token and its picture; then the prompt, when one is given.
  void fetchPicture(std::optional<std::string> promptAfter);

  std::shared_ptr<platform::ui::TextField> numberField_;
  std::shared_ptr<platform::ui::TextField> checkCodeField_;
  std::shared_ptr<platform::ui::Button> pictureButton_;
  std::string phoneNumber_;
  std::string checkCode_;
  std::string token_;
};

}  // namespace nvx
