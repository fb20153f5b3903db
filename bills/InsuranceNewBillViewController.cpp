#include "bills/InsuranceNewBillViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/ViewTool.h"
#include "bills/BillFormParts.h"
#include "bills/InsuranceScreenParts.h"
#include "bills/InsurancePickDateViewController.h"
#include "core/text/StringsTool.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Application.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {

constexpr const char* kRowLabels[] = {"Ins_User_Name", "Ins_Iden_Card_Num", "Ins_Iden_Phone",
                                      "Ins_Email",     "Ins_Area",          "Ins_Country"};
constexpr int kAreaRow = 4;
constexpr int kCountryRow = 5;

std::shared_ptr<platform::ui::Label> footerLabel(Rect frame, const char* key, std::optional<Color> color = {}) {
  auto label = platform::ui::Label::create(frame, Strings::localized(key));
  label->setFont(Font::system(14));
  label->setBackgroundColor(Color::clear());
  if (color) label->setTextColor(*color);
  return label;
}

}  // namespace

std::shared_ptr<InsuranceNewBillViewController> InsuranceNewBillViewController::initwithInsuranceInfo(
    Json insuranceInfo) {
  auto screen = std::make_shared<InsuranceNewBillViewController>();
  if (insuranceInfo.is_object()) screen->insuranceInfo_ = std::move(insuranceInfo);
  screen->needsCountry_ = InsuranceOperations::text(screen->insuranceInfo_, "isanceType") == "1";
  return screen;
}

InsuranceNewBillViewController::~InsuranceNewBillViewController() {
  if (prefill_) prefill_->cancelRequest();
}

void InsuranceNewBillViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("Ins_Person_Info_B"));
  auto self = std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this());
  const auto& screen = platform::Device::screen().bounds;
  tableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 10, screen.width, screen.height - kBarsHeight - 10});
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  tableView_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  view()->addSubview(tableView_);

  nameField_ = makeField("Ins_User_Name_Input", 0);
  identityField_ = makeField("Ins_Iden_Card_Num_Input", 1);
  emailField_ = makeField("Ins_Email_Input", 2);
  phoneField_ = makeField("Ins_Iden_Phone_Input", 3);
  phoneField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  addDoneButtonForNumberPad(*phoneField_);

  tableView_->setTableFooterView(makeFooter());
  tableView_->reloadData();
  requestUserInfo();
}

std::shared_ptr<platform::ui::TextField> InsuranceNewBillViewController::makeField(const char* placeholderKey,
                                                                                   int tag) {
  auto field = platform::ui::TextField::create(Rect{110, 7, 194, 30});
  field->setFont(Font::system(16));
  field->setTextAlignment(platform::ui::TextAlignment::Left);
  field->setPlaceholder(Strings::localized(placeholderKey));
  field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  field->setExclusiveTouch(true);
  field->setAutocapitalizationType(platform::ui::TextAutocapitalization::None);
  field->setTag(tag);
  field->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(
      std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this())));
  return field;
}

std::shared_ptr<platform::ui::View> InsuranceNewBillViewController::makeFooter() {
  auto footer = platform::ui::View::create(Rect{0, 0, 320, 200});
  footer->addSubview(footerLabel(Rect{20, 0, 90, 20}, "Ins_Benefit"));
  footer->addSubview(footerLabel(Rect{110, 0, 190, 20}, "Ins_Inheritor", Color::gray(0.5)));
  footer->addSubview(footerLabel(Rect{20, 22, 90, 20}, "Ins_Person_Info"));
  footer->addSubview(footerLabel(Rect{110, 22, 190, 20}, "Ins_Person_Info_Same", Color::gray(0.5)));
  auto description = footerLabel(Rect{20, 46, 280, 54}, "Ins_Description");
  description->setNumberOfLines(0);
  footer->addSubview(description);

  std::weak_ptr<InsuranceNewBillViewController> weak =
      std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this());
  telButton_ = platform::ui::Button::create(Rect{20, 100, 280, 24});
  telButton_->setTitle(Strings::localized("Ins_Description_Tel"));
  telButton_->setTitleColor(Color::rgb255(255, 0, 0));
  telButton_->setTitleFont(Font::system(14));
  telButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->callServicePhone();
  });
  footer->addSubview(telButton_);

  nextButton_ = billform::nextButton(weak, &InsuranceNewBillViewController::theNextStep, *footer);
  nextButton_->setExclusiveTouch(true);
  nextButton_->setCenter({160, 160});
  return footer;
}

// --- prefill -------------------------------------------------------------------------------------

void InsuranceNewBillViewController::requestUserInfo() {
  auto self = std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this());
  std::weak_ptr<InsuranceNewBillViewController> weak = self;
  prefill_ = InsuranceOperations::getUserInfo([weak](InsuranceReply reply) {
    if (auto screen = weak.lock()) screen->userInfoReplied(reply);
  });
  insurance::showIndicatorSoon(self, [weak] {
    auto screen = weak.lock();
    return screen && screen->prefill_;
  }, true);
}

void InsuranceNewBillViewController::userInfoReplied(const InsuranceReply& reply) {
  prefill_.reset();
  insurance::hideIndicators(*this, true);
  switch (reply.outcome) {
    case InsuranceReply::Outcome::NoAnswer: {
      std::weak_ptr<InsuranceNewBillViewController> weak =
          std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this());
      showPrompt(kPrefillFailed, [weak] {
        auto screen = weak.lock();
        auto navigation = screen ? screen->navigationController() : nullptr;
        // Only the form itself leaves: the user may have gone on or back meanwhile.
        if (navigation && navigation->topViewController() == screen) navigation->pop(true);
      });
      return;
    }
    case InsuranceReply::Outcome::Refused:
      showPrompt(reply.message);
      return;
    case InsuranceReply::Outcome::Silent:
      return;
    case InsuranceReply::Outcome::Data:
      break;
  }
  const Json& user = reply.data;
  nameField_->setText(InsuranceOperations::text(user, "realName"));
  if (user.is_object() && user.contains("idCardInfo")) {
    identityField_->setText(InsuranceOperations::text(user["idCardInfo"], "idCardId"));
  }
  const std::string mobile = InsuranceOperations::text(user, "mobileNum");
  phoneField_->setText(mobile.empty() ? std::string() : StringsTool::handlePhoneNumber(mobile));
  emailField_->setText(InsuranceOperations::text(user, "email"));
}

// --- checks --------------------------------------------------------------------------------------

void InsuranceNewBillViewController::settleView() {
  if (lifted_) {
    lifted_ = false;
    platform::ui::animate(0.2, [v = view()] {
      Rect f = v->frame();
      f.y += kEmailLift;
      v->setFrame(f);
    });
  }
  for (const auto& field : {nameField_, identityField_, emailField_, phoneField_}) field->resignFirstResponder();
}

void InsuranceNewBillViewController::theNextStep() {
  settleView();
  const std::string name = nameField_->text();
  const std::string identity = identityField_->text();
  const std::string phone = StringsTool::clearPhoneNumber(phoneField_->text());
  const std::string email = emailField_->text();
  const char* refusal = nullptr;
  if (!StringsTool::isChineseOrEnglishName(name)) {
    refusal = "Ins_Error_name";
  } else if (!StringsTool::isChineseIdentityCard(identity)) {
    refusal = "Ins_Error_Identity";
  } else if (!StringsTool::isPhoneNumber(phone)) {
    refusal = "Ins_Error_CellPhone";
  } else if (!StringsTool::isEmailAddress(email)) {
    refusal = "Ins_Error_Email";
  } else if (InsuranceOperations::text(insuranceInfo_, "city").empty() ||
             InsuranceOperations::text(insuranceInfo_, "province").empty()) {
    refusal = "Ins_Error_Address";
  } else if (needsCountry_ && !countryInfo_) {
    refusal = "Ins_Error_Country";
  }
  if (refusal) return showPrompt(Strings::localized(refusal));
  auto dates = InsurancePickDateViewController::initWithName(name, identity, phone, email, insuranceInfo_);
  dates->setCountryInfo(needsCountry_ ? countryInfo_ : std::nullopt);
  if (auto navigation = navigationController()) navigation->push(dates, true);
}

// --- area, country, telephone ----------------------------------------------------------------------

void InsuranceNewBillViewController::pushPicker(const char* titleKey, MainApiRequest request, int tag, int type) {
  auto picker = CitySelectViewController::initWithTitle(Strings::localized(titleKey), std::move(request));
  picker->setTag(tag);
  picker->setType(type);
  picker->setDelegate(std::weak_ptr<CitySelectPopDelegate>(
      std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this())));
  if (auto navigation = navigationController()) navigation->push(picker, true);
}

void InsuranceNewBillViewController::didSelectDone(CitySelectViewController& picker, const Json& cityInfo) {
  if (picker.tag() == kAreaPickerTag) {
    insuranceInfo_["city"] = InsuranceOperations::text(cityInfo, "cNm");
    insuranceInfo_["province"] = InsuranceOperations::text(cityInfo, "pNm");
  } else if (picker.tag() == kCountryPickerTag) {
    countryInfo_ = cityInfo;
  }
  tableView_->reloadData();
}

void InsuranceNewBillViewController::callServicePhone() {
  auto sheet = platform::ui::ActionSheet::create(Strings::localized("Ins_Description_Tel"), Strings::localized("Cancel"),
                                                 Strings::localized("Call"));
  std::weak_ptr<InsuranceNewBillViewController> weak =
      std::static_pointer_cast<InsuranceNewBillViewController>(shared_from_this());
  sheet->setOnClicked([weak](platform::ui::ActionSheet&, int index) {
    if (auto screen = weak.lock()) screen->callChosen(index);
  });
  sheet->showIn(*view());
}

void InsuranceNewBillViewController::callChosen(int index) {
  if (index != 0) return;
  if (platform::ui::Application::shared().openURL("tel:" + Strings::localized("Ins_Description_Tel"))) return;
  platform::ui::AlertView::create(Strings::localized("ServicePhone") + Strings::localized("BuyPhoneNumberText"),
                                  Strings::localized("NoPhone"), Strings::localized("Know"))
      ->show();
}

// --- table ---------------------------------------------------------------------------------------

int InsuranceNewBillViewController::numberOfRows(platform::ui::TableView&, int) { return needsCountry_ ? 6 : 5; }

std::shared_ptr<platform::ui::TableViewCell> InsuranceNewBillViewController::cellForRow(platform::ui::TableView&,
                                                                                        platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create(platform::ui::TableViewCellStyle::Value1,
                                                  "CellIden" + std::to_string(path.row));
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  const int row = std::clamp(path.row, 0, 5);
  cell->textLabel()->setText(Strings::localized(kRowLabels[row]));
  cell->textLabel()->setFont(Font::system(16));
  const std::shared_ptr<platform::ui::TextField> fields[] = {nameField_, identityField_, phoneField_, emailField_};
  if (row < kAreaRow) {
    cell->contentView()->addSubview(fields[row]);
    return cell;
  }
  cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  cell->detailTextLabel()->setTextColor(Color::black());
  if (row == kAreaRow) {
    cell->detailTextLabel()->setText(InsuranceOperations::text(insuranceInfo_, "city"));
  } else if (countryInfo_) {
    cell->detailTextLabel()->setText(InsuranceOperations::text(*countryInfo_, "countryNameCn"));
  }
  return cell;
}

void InsuranceNewBillViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, false);
  if (path.row == kAreaRow) {
    pushPicker("Ins_City_Select", InsuranceOperations::cityListRequest(), kAreaPickerTag,
               CitySelectViewController::kAreaType);
  } else if (path.row == kCountryRow && needsCountry_) {
    pushPicker("Ins_Country_Select", InsuranceOperations::countryListRequest(), kCountryPickerTag,
               CitySelectViewController::kCountryType);
  }
}

void InsuranceNewBillViewController::touchUpInsideEndedCustomTableView(CustomTableView&) { settleView(); }

// --- fields --------------------------------------------------------------------------------------

void InsuranceNewBillViewController::didBeginEditing(platform::ui::TextField& field) {
  if (&field == phoneField_.get()) {
    field.setText(StringsTool::phoneNumberFieldBeginEditing(field.text()));
  } else if (&field == emailField_.get() && !lifted_) {
    lifted_ = true;
    platform::ui::animate(0.2, [v = view()] {
      Rect f = v->frame();
      f.y -= kEmailLift;
      v->setFrame(f);
    });
  }
}

void InsuranceNewBillViewController::didEndEditing(platform::ui::TextField& field) {
  if (&field == phoneField_.get()) {
    field.setText(StringsTool::phoneNumberFieldEndEditing(field.text()));
  } else if (&field == emailField_.get()) {
    settleView();
  }
}

std::optional<bool> InsuranceNewBillViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                           platform::Range16 range,
                                                                           const std::string& replacement) {
  if (&field != phoneField_.get()) return true;
  return billform::phoneFieldChange(field, range, replacement, true);
}

std::optional<bool> InsuranceNewBillViewController::shouldReturn(platform::ui::TextField& field) {
  field.resignFirstResponder();
  return true;
}

}  // namespace nvx
