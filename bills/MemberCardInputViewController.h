// The points-card collection form: the swipe screen of business type 29 with the collection
// fields around its card and PIN rows. It keeps the swipe screen's reader handling, card row, PIN
// keypad and Done checks, but sends its own requests: the inquiry (17G) here, the commit (17E) on
// the confirmation screen. Nothing is handed to Tools.
//
// Sections: 0 the collection account (twice) and the holder's name; 1 the quantity; 2 the swipe
// screen's card and PIN rows; 3 the text-message switch and, while it is on, the phone number.
// Each appearance clears the PIN, the card track and the random number and restarts the reader,
// so coming back from the confirmation needs a new swipe.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "pay/SwipeViewController.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"

namespace nvx {

class MemberCardInputViewController : public SwipeViewController {
 public:
  static constexpr const char* kClassName = "MemberCardInputViewController";
  static constexpr int kBusinessType = 29;
  // Longest account-holder name, blanks removed, in characters.
  static constexpr size_t kMaxNameLength = 32;

  MemberCardInputViewController();
  static std::shared_ptr<MemberCardInputViewController> create();
  std::string className() const override { return kClassName; }

  // --- life cycle ---
  void viewWillAppear(bool animated) override;
  void viewDidLoad() override;

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView&, platform::ui::IndexPath) override {}

  // --- fields ---
  std::optional<bool> shouldBeginEditing(platform::ui::TextField& field) override;
  void didEndEditing(platform::ui::TextField& field) override;
  std::optional<bool> shouldReturn(platform::ui::TextField& field) override;
  std::optional<bool> shouldChangeCharacters(platform::ui::TextField& field, platform::Range16 range,
                                             const std::string& replacement) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;
  void getPhoneNumberSuccess(const std::string& phoneNumber) override;
  void setNoticeSMS(bool on);

  // --- the flow ---
  // The form's checks, then the swipe screen's.
  void doneButtonPressed() override;
  // The terminal's PIN key must be there (else the swipe screen's reader alert); then the inquiry.
  void submit() override;
  // Sends the inquiry.
  void next();

  // --- what the form holds ---
  const std::shared_ptr<platform::ui::TextField>& accountTf() const { return accountTf_; }
  const std::shared_ptr<platform::ui::TextField>& reputAccountTf() const { return reputAccountTf_; }
  const std::shared_ptr<platform::ui::TextField>& accountNameTf() const { return accountNameTf_; }
  const std::shared_ptr<platform::ui::TextField>& chargeMoneyTf() const { return chargeMoneyTf_; }
  const std::shared_ptr<platform::ui::TextField>& smsPhoneTf() const { return smsPhoneTf_; }
  const std::shared_ptr<platform::ui::Switch>& smsSwitch() const { return smsSwitch_; }
  bool isNoticeSMS() const { return isNoticeSMS_; }
  const std::string& account() const { return account_; }
  const std::string& accountName() const { return accountName_; }
  const std::string& chargeMoney() const { return chargeMoney_; }
  const std::string& smsPhone() const { return smsPhone_; }
  const std::vector<platform::net::PostField>& postDatas() const { return postDatas_; }
  bool isInquiryRunning() const { return inquiryRunning_; }

 private:
  std::shared_ptr<MemberCardInputViewController> selfForm() {
    return std::static_pointer_cast<MemberCardInputViewController>(shared_from_this());
  }
  void buildFields();
  void closeFields();
  void inquiryFailed();
  // The first failing check's prompt, or nothing.
  std::optional<std::string> formError();

  std::shared_ptr<platform::ui::TextField> accountTf_;
  std::shared_ptr<platform::ui::TextField> reputAccountTf_;
  std::shared_ptr<platform::ui::TextField> accountNameTf_;
  std::shared_ptr<platform::ui::TextField> chargeMoneyTf_;
  std::shared_ptr<platform::ui::TextField> smsPhoneTf_;
  std::shared_ptr<platform::ui::Switch> smsSwitch_;
  std::vector<std::shared_ptr<platform::ui::View>> keypads_;
  bool isNoticeSMS_ = false;
  std::string account_;
  std::string accountName_;
  std::string chargeMoney_;
  std::string smsPhone_;
  std::string pwd_;
  std::vector<platform::net::PostField> postDatas_;
  bool inquiryRunning_ = false;
};

}  // namespace nvx
