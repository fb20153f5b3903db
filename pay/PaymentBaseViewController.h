// The base of the simple card-paid business forms: a grouped table with a payment-number field
// (a bill or trade number), an amount field and, where the business asks for it, a mobile-number
// section with a text-message notice switch, and a big Next button. It owns the fields' input
// rules (digits only in the payment number, the money rule in the amount, the phone rule in the
// number), tidies their text when editing ends, and offers small label, field and picture-button
// factories. It neither validates nor pays: a derived screen overrides theNextStep, calls the
// base first (which closes the keyboards, so the stored texts are final), checks its fields and
// opens the pay screen.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/CustomTableView.h"
#include "app/ui/NVXViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"

namespace nvx {

class PaymentBaseViewController : public NVXViewController,
                                  public platform::ui::TableViewDataSource,
                                  public platform::ui::TableViewDelegate,
                                  public platform::ui::TextFieldDelegate,
                                  public CustomTableViewDelegate {
 public:
  static constexpr const char* kClassName = "PaymentBaseViewController";
  static constexpr int kPaymentNumberTag = 0;
  static constexpr int kPayMoneysTag = 1;
  static constexpr int kPhoneNumberTag = 2;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  // The Next button's action: closes the three fields' keyboards.
  virtual void theNextStep();
  // The switch's action: keeps its state and reloads the table.
  void toSetSendSMSNotification();
  // When the keyboard goes: the table back to the top.
  void keyboardCancel();
  // The contact picker's number: kept without separators, shown grouped 3-4-4.
  void getPhoneNumberSuccess(const std::string& phoneNumber) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

  // --- factories ---
  std::shared_ptr<platform::ui::Label> lableFrame(platform::ui::Rect frame, std::string_view title, double titleSize);
  std::shared_ptr<platform::ui::TextField> createTextFieldFrame(platform::ui::Rect frame, std::string_view defaultTip,
                                                                int tag);
  std::shared_ptr<platform::ui::Button> pasteButtonFrame(platform::ui::Rect frame, std::string_view normalImage,
                                                         std::string_view selectImage, std::function<void()> action);

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;

  // --- fields ---
  std::optional<bool> shouldBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;

  // --- what the derived screen sets before the view loads ---
  void setPaymentNumberLabelTitle(std::string v) { paymentNumberLabelTitle_ = std::move(v); }
  void setPaymentNumberPlaceholder(std::string v) { paymentNumberPlaceholder_ = std::move(v); }
  void setPayMoneysLabelTitle(std::string v) { payMoneysLabelTitle_ = std::move(v); }
  void setPayMoneysPlaceholder(std::string v) { payMoneysPlaceholder_ = std::move(v); }
  void setIsNeedPhoneNumber(bool on) { isNeedPhoneNumber_ = on; }
  void setIsOptionalOfPhoneField(bool on) { isOptionalOfPhoneField_ = on; }
  void setDefaultPhoneNumber(bool on) { defaultPhoneNumber_ = on; }

  // --- what the form holds ---
  const std::shared_ptr<CustomTableView>& paymentTableView() const { return paymentTableView_; }
  const std::shared_ptr<platform::ui::TextField>& paymentNumberField() const { return paymentNumberField_; }
  void setPaymentNumberField(std::shared_ptr<platform::ui::TextField> f) { paymentNumberField_ = std::move(f); }
  const std::shared_ptr<platform::ui::TextField>& payMoneysField() const { return payMoneysField_; }
  const std::shared_ptr<platform::ui::TextField>& phoneNumberField() const { return phoneNumberField_; }
  const std::shared_ptr<platform::ui::Switch>& SMSNotificationSwitch() const { return SMSNotificationSwitch_; }
  const std::shared_ptr<platform::ui::Button>& theNextButton() const { return theNextButton_; }
  const std::string& paymentNumber() const { return paymentNumber_; }
  void setPaymentNumber(std::string v) { paymentNumber_ = std::move(v); }
  // Yuan with two decimals, as the amount field ended editing.
  const std::string& payMoneys() const { return payMoneys_; }
  const std::string& phoneNumber() const { return phoneNumber_; }
  bool SMSNotificationSwitchIsOn() const { return SMSNotificationSwitchIsOn_; }

 protected:
  std::shared_ptr<PaymentBaseViewController> selfForm() {
    return std::static_pointer_cast<PaymentBaseViewController>(shared_from_this());
  }

 private:
  std::shared_ptr<platform::ui::TableViewCell> numberRow();
  void scrollTo(double offsetY);

  std::shared_ptr<CustomTableView> paymentTableView_;
  std::shared_ptr<platform::ui::TextField> paymentNumberField_;
  std::shared_ptr<platform::ui::TextField> payMoneysField_;
  std::shared_ptr<platform::ui::TextField> phoneNumberField_;
  std::shared_ptr<platform::ui::View> payMoneysKeypad_;
  std::shared_ptr<platform::ui::Switch> SMSNotificationSwitch_;
  std::shared_ptr<platform::ui::Button> theNextButton_;
  std::string paymentNumber_;
  std::string payMoneys_;
  std::string phoneNumber_;
  bool SMSNotificationSwitchIsOn_ = false;
  std::string paymentNumberLabelTitle_;
  std::string paymentNumberPlaceholder_;
  std::string payMoneysLabelTitle_;
  std::string payMoneysPlaceholder_;
  bool isNeedPhoneNumber_ = false;
  bool isOptionalOfPhoneField_ = false;
  bool defaultPhoneNumber_ = false;
};

}  // namespace nvx
