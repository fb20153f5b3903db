// The utility-bill screen (water, electricity, gas, telecom): the user picks an area, the server
// describes the form of that area, the screen draws and checks its rows, optionally asks for the
// bill, and hands a prepared commit to the multi-pay screen (or to the amount step when the
// description asks the user to type the amount after the inquiry).
//
// The description of an area is requested whenever the area changes; a reply for an area that is
// no longer the chosen one is dropped. The area of the last successful payment of the business is
// remembered under "<business>CityName" and chosen when the screen is made.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/GHTextField.h"
#include "app/ui/PublicServiceScreen.h"
#include "bills/UtilityForm.h"
#include "pay/PaymentBaseViewController.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/NotificationCenter.h"

namespace nvx {

class PublicServiceViewController : public PaymentBaseViewController, public PublicServiceScreen {
 public:
  static constexpr const char* kClassName = PublicServiceScreen::kClassName;
  static constexpr const char* kCityNameFormat = "%@CityName";
  static constexpr double kPromptSeconds = 2.0;
  // The field of a barcode row is this much narrower; the button sits right of it.
  static constexpr double kBarcodeWidth = 39;

  // The plain initialiser: observes successful payments, asks the base for the default number.
  static std::shared_ptr<PublicServiceViewController> create();
  // Every caller's initialiser: type, title, business name, and the remembered area (whose
  // description is requested at once).
  void initWithServiceType(int type);

  std::string className() const override { return kClassName; }
  int serviceType() const override { return serviceType_; }
  void viewDidLoad() override;

  // The business name of a service type ("shuifei", "dianfei", "ranqifei", "tongxinfei"); nothing
  // for any other type.
  static std::optional<std::string> businessNameOf(int type);
  // The business type the pay screen gets (17 to 20), and the amount step's statistics id.
  static int businessTypeOf(int type);
  static std::string amountStepIdOf(int type);

  void setSelectedCity(const platform::Json& entry);
  void getCityList();
  void getInfoForCity(const std::string& area);
  void updateForm();
  void showPickerForItem(const std::shared_ptr<UtilityFormItem>& item);
  // The checked form dictionary, or nothing after showing the first failure.
  std::optional<platform::Json> finalForm();
  void theNextStep() override;
  void queryTrans(platform::Json form);
  // replyNamedAmount: the inquiry's reply carried an "amount" of its own (fen).
  void initSwipeViewControllerWithForm(const platform::Json& form, bool replyNamedAmount = false);
  // The Next row's button.
  void nextTapped() { theNextStep(); }
  // A successful payment: the chosen area is remembered for the business.
  void paySuccess();

  std::shared_ptr<GHTextField> createTextFieldAlignmentRight();
  std::shared_ptr<GHTextField> createTextFieldAlignmentLeft();

  // --- what the screen holds ---
  const std::string& businessName() const { return businessName_; }
  const std::optional<platform::Json>& cityList() const { return cityList_; }
  const std::optional<platform::Json>& selectedCity() const { return selectedCity_; }
  const UtilityItems& payInfo() const { return payInfo_; }
  const UtilityFormState& formState() const { return state_; }
  const std::optional<std::string>& noteInfo() const { return state_.note; }
  const std::shared_ptr<GHTextField>& cityNameLabel() const { return cityNameLabel_; }
  // The field of an input row, once drawn.
  std::shared_ptr<GHTextField> fieldOfRow(size_t row) const;

  // --- table ---
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForHeader(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForHeader(platform::ui::TableView& table, int section) override;
  std::optional<double> heightForFooter(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::View> viewForFooter(platform::ui::TableView& table, int section) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void touchUpInsideEndedCustomTableView(CustomTableView& table) override;

 private:
  std::shared_ptr<PublicServiceViewController> self() {
    return std::static_pointer_cast<PublicServiceViewController>(shared_from_this());
  }
  std::shared_ptr<platform::ui::TableViewCell> listCell(const std::string& title, const UtilityFormItem& item);
  std::shared_ptr<platform::ui::TableViewCell> inputCell(const std::shared_ptr<UtilityFormItem>& item);
  void openCityChooser();
  void reload();
  void prompt(const std::string& text) { showPrompt(text, kPromptSeconds); }

  int serviceType_ = -1;
  std::string businessName_;
  std::optional<platform::Json> cityList_;
  std::optional<platform::Json> selectedCity_;
  UtilityItems payInfo_;
  UtilityFormState state_;
  // The area whose description was asked for last: a reply for another one is dropped.
  std::string awaitedArea_;
  std::shared_ptr<GHTextField> cityNameLabel_;
  // The typed rows' fields by row (nothing for a list row), and the row being drawn.
  std::vector<std::shared_ptr<GHTextField>> rowFields_;
  size_t drawingRow_ = 0;
  std::shared_ptr<platform::ui::View> picker_;
  platform::NotificationCenter::Observation paySucceeded_;
};

}  // namespace nvx
