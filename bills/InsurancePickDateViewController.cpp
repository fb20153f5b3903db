#include "bills/InsurancePickDateViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/TransactionInfoLabelSource.h"
#include "app/ui/TransactionInfoSource.h"
#include "bills/BillPayScreen.h"
#include "bills/InsuranceRullViewController.h"
#include "bills/InsuranceScreenParts.h"
#include "core/text/TextExt.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"
#include "pay/SwipeViewController.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;
using Row = TransactionInfoLabelSource;

namespace {
constexpr double kToolbarHeight = 44;
std::string L(const char* key) { return Strings::localized(key); }
}  // namespace

std::shared_ptr<InsurancePickDateViewController> InsurancePickDateViewController::initWithName(
    std::string name, std::string identityCard, std::string cellPhoneNumber, std::string emailAddress,
    Json insuranceValue) {
  auto screen = std::make_shared<InsurancePickDateViewController>();
  screen->name_ = std::move(name);
  screen->IdentitycardNumber_ = std::move(identityCard);
  screen->cellPhoneNumber_ = std::move(cellPhoneNumber);
  screen->emailAddress_ = std::move(emailAddress);
  if (insuranceValue.is_object()) screen->insuranceInfo_ = std::move(insuranceValue);
  return screen;
}

InsurancePickDateViewController::~InsurancePickDateViewController() = default;

void InsurancePickDateViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(L("Ins_DatePick"));
  auto self = std::static_pointer_cast<InsurancePickDateViewController>(shared_from_this());
  std::weak_ptr<InsurancePickDateViewController> weak = self;
  const auto& screen = platform::Device::screen().bounds;

  // The days that may be picked, from the moment of loading.
  const platform::WallTime loaded = platform::clock().wallNow();
  pickableDates_.clear();
  for (int day = kFirstDay; day <= kLastDay; ++day) pickableDates_.push_back(InsuranceOperations::dayAfter(loaded, day));
  dateString_ = pickableDates_.front();
  endDateString_ = endDateStringCalculate();

  scrollView_ = platform::ui::ScrollView::create(Rect{0, 0, screen.width, screen.height - kBarsHeight});
  scrollView_->setShowsVerticalScrollIndicator(false);
  scrollView_->setShowsHorizontalScrollIndicator(false);
  scrollView_->setContentSize({screen.width, screen.height - kBarsHeight});
  view()->addSubview(scrollView_);

  nextButton_ = ButtonCreater::bigButtonWithText(L("Next"));
  nextButton_->setExclusiveTouch(true);
  nextButton_->setCenter({screen.width / 2, 200});
  nextButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto s = weak.lock()) s->theNextStep();
  });
  scrollView_->addSubview(nextButton_);

  tableView_ = platform::ui::TableView::create(Rect{0, 10, 320, 150}, platform::ui::TableViewStyle::Grouped);
  tableView_->setScrollEnabled(false);
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  scrollView_->addSubview(tableView_);

  datePicker_ = platform::ui::PickerView::create(pickerFrame(false));
  datePicker_->setDataSource(std::weak_ptr<platform::ui::PickerViewDataSource>(self));
  datePicker_->setDelegate(std::weak_ptr<platform::ui::PickerViewDelegate>(self));
  datePicker_->selectRow(0, 0, false);
  view()->addSubview(datePicker_);
  toolbar_ = platform::ui::Toolbar::create(
      Rect{0, pickerFrame(false).y - kToolbarHeight, screen.width, kToolbarHeight});
  toolbar_->setBarStyle(platform::ui::BarStyle::Black);
  using platform::ui::BarButtonItem;
  using platform::ui::BarButtonSystemItem;
  toolbar_->setItems({BarButtonItem::withSystemItem(BarButtonSystemItem::Cancel,
                                                    [weak](BarButtonItem&) {
                                                      if (auto s = weak.lock()) s->hidePickerPlain();
                                                    }),
                      BarButtonItem::withSystemItem(BarButtonSystemItem::FlexibleSpace),
                      BarButtonItem::withSystemItem(BarButtonSystemItem::Done, [weak](BarButtonItem&) {
                        if (auto s = weak.lock()) s->hidePicker();
                      })});
  view()->addSubview(toolbar_);
  tableView_->reloadData();
}

Rect InsurancePickDateViewController::pickerFrame(bool shown) const {
  const auto& screen = platform::Device::screen().bounds;
  const double top = shown ? kPickerTop : screen.height - kBarsHeight + kToolbarHeight;
  return Rect{0, top, screen.width, platform::ui::PickerView::kHeight};
}

// --- dates ---------------------------------------------------------------------------------------

std::string InsurancePickDateViewController::endDateStringCalculate() const {
  auto days = InsuranceOperations::coverDays(insuranceInfo_);
  if (!days) return {};
  return InsuranceOperations::endDate(dateString_, *days).value_or("");
}

void InsurancePickDateViewController::showDatePicker(bool show, bool record) {
  auto picker = datePicker_;
  auto bar = toolbar_;
  const Rect frame = pickerFrame(show);
  platform::ui::animate(0.2, [picker, bar, frame] {
    picker->setFrame(frame);
    Rect f = bar->frame();
    f.y = frame.y - kToolbarHeight;
    bar->setFrame(f);
  });
  if (!show && record) {
    const int row = datePicker_->selectedRow(0);
    if (row >= 0 && row < static_cast<int>(pickableDates_.size())) dateString_ = pickableDates_[static_cast<size_t>(row)];
    endDateString_ = endDateStringCalculate();
  }
  isPickerShow_ = show;
  if (record) tableView_->reloadData();
}

void InsurancePickDateViewController::hidePicker() { showDatePicker(false, true); }

void InsurancePickDateViewController::hidePickerPlain() { showDatePicker(false, false); }

void InsurancePickDateViewController::buttonSelected() {
  selectButtonCheck_ = !selectButtonCheck_;
  if (checkButton_) {
    checkButton_->setImage(platform::ui::Image::named(selectButtonCheck_ ? "check-on.png" : "check-off.png"));
    checkButton_->setSelected(selectButtonCheck_);
  }
}

void InsurancePickDateViewController::goToBusinessIntroduction() {
  if (auto navigation = navigationController()) {
    navigation->push(InsuranceRullViewController::initWithInsuranceInfo(insuranceInfo_), true);
  }
}

// --- the way to the payment ----------------------------------------------------------------------

PolicyOrder InsurancePickDateViewController::order() const {
  PolicyOrder order;
  order.name = name_;
  order.identityCard = IdentitycardNumber_;
  order.phone = cellPhoneNumber_;
  order.email = emailAddress_;
  order.product = insuranceInfo_;
  order.country = countryInfo_;
  order.startDate = dateString_;
  order.endDate = endDateString_;
  return order;
}

std::string InsurancePickDateViewController::combineStringWithInsuranceInfo() const { return order().policyText(); }

void InsurancePickDateViewController::theNextStep() {
  // A product that names no cover has no end date: nothing can be insured with it.
  if (!InsuranceOperations::coverDays(insuranceInfo_)) return showPrompt(L("Ins_Error_Period"));
  if (endDateString_.empty()) return showPrompt(kNoDatePrompt);
  if (!selectButtonCheck_) {
    return showPrompt(InsuranceOperations::format(L("Ins_Error_Rule_Read"),
                                                  InsuranceOperations::text(insuranceInfo_, "isanceName")));
  }
  // A price that is no amount cannot be charged.
  auto fen = fenOfYuan(InsuranceOperations::text(insuranceInfo_, "isancePrice"));
  if (!fen || *fen <= 0) return showPrompt(L("Ins_Error_Price"));
  if (inquiryRunning_) return;
  std::weak_ptr<InsurancePickDateViewController> weak =
      std::static_pointer_cast<InsurancePickDateViewController>(shared_from_this());
  swiperValid([weak](bool ready) {
    if (auto s = weak.lock(); s && ready) s->sendInquiry();
  });
}

void InsurancePickDateViewController::sendInquiry() {
  if (inquiryRunning_) return;
  inquiryRunning_ = true;
  std::weak_ptr<InsurancePickDateViewController> weak =
      std::static_pointer_cast<InsurancePickDateViewController>(shared_from_this());
  (void)InsuranceOperations::queryPolicy(order(), [weak](InsuranceReply reply) {
    if (auto s = weak.lock()) s->inquiryReplied(reply);
  });
}

void InsurancePickDateViewController::inquiryReplied(const InsuranceReply& reply) {
  inquiryRunning_ = false;
  const Json* data = insurance::dataOrPrompt(*this, reply);
  if (!data) return;
  // Without its serial number the policy cannot be committed.
  const std::string sid = InsuranceOperations::text(*data, "sid");
  if (sid.empty()) return showPrompt(L("Error_Data"));
  sid_ = sid;
  createBillRequestDidSuccess();
}

void InsurancePickDateViewController::payRequest() { InsuranceOperations::storeCommit(order(), sid_); }

void InsurancePickDateViewController::createBillRequestDidSuccess() {
  auto navigation = navigationController();
  if (!navigation) return;
  auto value = [&](const char* key) { return InsuranceOperations::text(insuranceInfo_, key); };
  auto swipe = SwipeViewController::create();
  TransactionInfoSource::Rows rows = {
      Row::sourceWithLeftValue(L("Ins_Buy_Kind"), value("isanceName")),
      Row::sourceWithLeftValue(L("Ins_Pay_Person_Name"), InsuranceOperations::format(L("Ins_Pay_Person_Format"), name_)),
      Row::sourceWithLeftValue(L("Ins_Iden_Card_Num"), IdentitycardNumber_),
      Row::sourceWithLeftValue(L("Ins_Iden_Phone"), cellPhoneNumber_),
      Row::sourceWithLeftValue(L("Ins_Email"), emailAddress_),
      Row::sourceWithLeftValue(L("Ins_Area"), value("province") + "  " + value("city")),
      Row::sourceWithLeftValue(L("Ins_Benefit"), L("Ins_Inheritor")),
      Row::sourceWithLeftValue(L("Ins_Start_Date"), InsuranceOperations::format(L("Ins_Time_Start_Format"), dateString_)),
      Row::sourceWithLeftValue(L("Ins_end_Date"), InsuranceOperations::format(L("Ins_Time_End_Format"), endDateString_)),
      Row::sourceWithLeftValue(L("Ins_Swipe_Amount"), fenOfYuan(value("isancePrice")).value_or(0), true)};
  swipe->setInfo(TransactionInfoSource::infoWithLabelSource(std::move(rows), std::nullopt));
  swipe->setTransactionData(Json::object({{"price", value("isancePrice")}}));
  payRequest();
  swipe->customizeSwipeViewWithNavTitle(L("Ins_Pay_Detail"), L("Comment_Card_Number"), L("DebitCardPlace"),
                                        L("DebitCardPasswordPlace"), std::nullopt, L("Confirm_Pay"), kBusinessType);
  navigation->push(swipe, true);
}

// --- table ---------------------------------------------------------------------------------------

int InsurancePickDateViewController::numberOfRows(platform::ui::TableView&, int) {
  return endDateString_.empty() ? 1 : 2;
}

std::shared_ptr<platform::ui::TableViewCell> InsurancePickDateViewController::cellForRow(platform::ui::TableView&,
                                                                                         platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  auto label = platform::ui::Label::create(Rect{10, 12, 100, 20}, L(path.row == 0 ? "Ins_Date_Start" : "Ins_Date_End"));
  label->setFont(Font::system(16));
  label->setBackgroundColor(Color::clear());
  cell->contentView()->addSubview(label);
  auto value = platform::ui::Label::create(Rect{110, 12, 170, 20});
  value->setFont(Font::system(16));
  value->setTextAlignment(platform::ui::TextAlignment::Right);
  value->setBackgroundColor(Color::clear());
  if (path.row == 0) {
    value->setText(InsuranceOperations::format(L("Ins_Date_Format"), dateString_));
    cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  } else {
    value->setTag(kEndDateTag);
    value->setText(InsuranceOperations::format(L("Ins_Date_Format_End"), endDateString_));
    cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  }
  cell->contentView()->addSubview(value);
  return cell;
}

std::optional<double> InsurancePickDateViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  return 44.0;
}

std::optional<double> InsurancePickDateViewController::heightForHeader(platform::ui::TableView&, int) { return 30.0; }

std::optional<double> InsurancePickDateViewController::heightForFooter(platform::ui::TableView&, int) { return 50.0; }

std::shared_ptr<platform::ui::View> InsurancePickDateViewController::viewForHeader(platform::ui::TableView&, int) {
  auto header = platform::ui::View::create(Rect{0, 0, 320, 30});
  auto label = platform::ui::Label::create(Rect{20, 5, 280, 20}, L("Ins_Date_Start_You"));
  label->setFont(Font::system(14));
  label->setBackgroundColor(Color::clear());
  header->addSubview(label);
  return header;
}

std::shared_ptr<platform::ui::View> InsurancePickDateViewController::viewForFooter(platform::ui::TableView&, int) {
  if (footer_) return footer_;
  std::weak_ptr<InsurancePickDateViewController> weak =
      std::static_pointer_cast<InsurancePickDateViewController>(shared_from_this());
  footer_ = platform::ui::View::create(Rect{0, 0, 320, 50});
  checkButton_ = platform::ui::Button::create(Rect{20, 6, 21, 21});
  checkButton_->setImage(platform::ui::Image::named(selectButtonCheck_ ? "check-on.png" : "check-off.png"));
  checkButton_->setSelected(selectButtonCheck_);
  checkButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto s = weak.lock()) s->buttonSelected();
  });
  footer_->addSubview(checkButton_);
  auto accept = platform::ui::Label::create(Rect{45, 6, 80, 21}, L("Ins_Read_Accept"));
  accept->setFont(Font::system(14));
  accept->setBackgroundColor(Color::clear());
  footer_->addSubview(accept);
  rulesLabel_ = platform::ui::Label::create(
      Rect{125, 0, 180, 34},
      InsuranceOperations::format(L("Pacific_Rules"), text::trim(InsuranceOperations::text(insuranceInfo_, "isanceName"))));
  rulesLabel_->setFont(Font::system(14));
  rulesLabel_->setTextColor(Color::rgb255(0, 0, 255));
  rulesLabel_->setNumberOfLines(2);
  rulesLabel_->setBackgroundColor(Color::clear());
  footer_->addSubview(rulesLabel_);
  rulesButton_ = platform::ui::Button::create(rulesLabel_->frame());
  rulesButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto s = weak.lock()) s->goToBusinessIntroduction();
  });
  footer_->addSubview(rulesButton_);
  return footer_;
}

void InsurancePickDateViewController::didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  table.deselectRow(path, true);
  if (path.row == 0) showDatePicker(!isPickerShow_, true);
}

// --- date picker ---------------------------------------------------------------------------------

int InsurancePickDateViewController::numberOfComponents(platform::ui::PickerView&) { return 1; }

int InsurancePickDateViewController::numberOfRows(platform::ui::PickerView&, int) {
  return static_cast<int>(pickableDates_.size());
}

std::optional<std::string> InsurancePickDateViewController::titleForRow(platform::ui::PickerView&, int row, int) {
  if (row < 0 || row >= static_cast<int>(pickableDates_.size())) return std::nullopt;
  return pickableDates_[static_cast<size_t>(row)];
}

}  // namespace nvx
