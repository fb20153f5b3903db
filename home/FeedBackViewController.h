// The feedback form: a suggestion of up to 500 characters and an optional mobile number, sent to
// the service. The toolbar above the keyboard counts the characters and closes the keyboard once
// the field being edited holds something acceptable; the submit button sends whatever is there.
//
// Prompts show on the screen's own overlay, a little higher while the suggestion is being edited.
// Nothing is retried and the text stays in place after a failure.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"

namespace nvx {

class FeedBackViewController : public NVXViewController,
                               public platform::ui::TableViewDataSource,
                               public platform::ui::TableViewDelegate,
                               public platform::ui::TextViewDelegate,
                               public platform::ui::TextFieldDelegate {
 public:
  static constexpr const char* kClassName = "FeedBackViewController";
  static constexpr size_t kMaxLength = 500;
  static constexpr size_t kMinLength = 10;
  // A mobile number as the contact.
  static constexpr const char* kMobilePattern = R"re(^(1(([35][0-9])|(47)|[8][0126789]))\d{8}$)re";
  static constexpr const char* kWordCountFormat = "已输入%i字";
  static constexpr const char* kSentPrompt = "提交成功";
  static constexpr const char* kCellIdentifier = "identifer";
  static constexpr double kSentPromptSeconds = 1.4;
  static constexpr double kPopAfterSeconds = 1.5;
  static constexpr double kToolbarHeight = 40;
  // The suggestion's offset when the keyboard is taller than the system keyboard, and otherwise;
  // the contact's offset.
  static constexpr double kTallKeyboardOffset = 50;
  static constexpr double kKeyboardOffset = 15;
  static constexpr double kContactOffset = 60;

  FeedBackViewController() = default;
  static std::shared_ptr<FeedBackViewController> create();

  std::string className() const override { return kClassName; }

  void viewDidLoad() override;

  // Sends the suggestion behind the blocking spinner (without the toolbar's checks).
  void commit();
  // Closes the keyboard when the field being edited holds something acceptable; otherwise says
  // what is wrong and keeps editing.
  void hiddenKeyBoard();
  // The keyboard came up (keyboard: its frame on the screen) / went down.
  void keyboardWillShow(platform::ui::Rect keyboard);
  void keyboardWillHide();
  // A text prompt over this screen's view for delay seconds.
  void showPrompt(std::string text, double delay);
  void showPrompt(std::string text) { showPrompt(std::move(text), kPromptSeconds); }
  void backToFront();

  // The word count's text for a length.
  static std::string wordCountText(size_t length);
  // Whether a contact may be left as it is: empty, or a mobile number.
  static bool isAcceptableContact(const std::string& contact);

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView&) override { return 1; }
  int numberOfRows(platform::ui::TableView&, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView&, platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView&, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView&, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView&, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView&, int section) override;

  // --- the suggestion ---
  void didBeginEditing(platform::ui::TextView& textView) override;
  void didEndEditing(platform::ui::TextView& textView) override;
  std::optional<bool> shouldChangeText(platform::ui::TextView& textView, platform::Range16 range,
                                       const std::string& replacement) override;
  void didChange(platform::ui::TextView& textView) override;

  // --- the contact ---
  void didBeginEditing(platform::ui::TextField& textField) override;
  void didEndEditing(platform::ui::TextField& textField) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& textField) override;

  // --- fields ---
  const std::shared_ptr<CustomTableView>& tableView() const { return tableView_; }
  const std::shared_ptr<platform::ui::TextView>& textView() const { return textView_; }
  const std::shared_ptr<platform::ui::TextField>& textField() const { return textField_; }
  const std::shared_ptr<platform::ui::Label>& placeholderLabel() const { return placeholderLabel_; }
  const std::shared_ptr<platform::ui::Button>& submitButton() const { return submitButton_; }
  const std::shared_ptr<platform::ui::Toolbar>& toolbar() const { return toolbar_; }
  const std::shared_ptr<platform::ui::Label>& wordCountLabel() const { return wordCountLabel_; }

 private:
  std::shared_ptr<FeedBackViewController> feedbackSelf() {
    return std::static_pointer_cast<FeedBackViewController>(shared_from_this());
  }
  // After a field stopped editing: the keyboard went down unless another field took it.
  void keyboardMayHaveGone();
  void showKeyboardForEditing();

  std::shared_ptr<CustomTableView> tableView_;
  std::shared_ptr<platform::ui::TextView> textView_;
  std::shared_ptr<platform::ui::TextField> textField_;
  std::shared_ptr<platform::ui::Label> placeholderLabel_;
  std::shared_ptr<platform::ui::Button> submitButton_;
  std::shared_ptr<platform::ui::Toolbar> toolbar_;
  std::shared_ptr<platform::ui::Label> wordCountLabel_;
  std::shared_ptr<platform::ui::View> headerView_;
  std::shared_ptr<platform::ui::View> footerView_;
};

}  // namespace nvx
