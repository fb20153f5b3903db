#include "bills/PublicServiceViewController.h"

#include "app/ui/BarcodeButton.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/GHPickerView.h"
#include "bills/AmountCommitViewController.h"
#include "bills/BillFormParts.h"
#include "bills/CityChooseViewController.h"
#include "bills/UtilityHandOver.h"
#include "bills/UtilityOperations.h"
#include "core/text/StringsTool.h"
#include "net/DataStatistics.h"
#include "pay/PayMoney.h"
#include "pay/SwipeViewController.h"
#include "platform/device/Device.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Font;
using platform::ui::IndexPath;
using platform::ui::Rect;

namespace {

struct ServiceKind {
  const char* businessName;
  const char* titleKey;
  int businessType;
  const char* amountStepId;
};
constexpr ServiceKind kKinds[] = {
    {"shuifei", "WaterRate", 17, "B00004_4"},
    {"dianfei", "ElectricCharge", 18, "B00005_4"},
    {"ranqifei", "GasFee", 19, "B00006_4"},
    {"tongxinfei", "CommunictionFee", 20, "B00003_4"},
};

const ServiceKind* kindOf(int type) {
  if (type < 0 || type >= static_cast<int>(std::size(kKinds))) return nullptr;
  return &kKinds[type];
}

constexpr double kRowHeight = 44;
constexpr double kLabelX = 15;
constexpr double kLabelWidth = 90;
constexpr double kFieldX = 105;
constexpr double kFieldWidth = 185;

platform::ui::KeyboardType keyboardOf(int code, platform::ui::KeyboardType fallback) {
  using platform::ui::KeyboardType;
  switch (code) {
    case 1: return KeyboardType::AsciiCapable;
    case 2:
    case 4096:
    case 8192: return KeyboardType::NumberPad;
    case 3: return KeyboardType::PhonePad;
    case 4: return KeyboardType::NumbersAndPunctuation;
    case 8194: return KeyboardType::DecimalPad;
    default: return fallback;
  }
}

std::shared_ptr<platform::ui::TableViewCell> whiteCell() {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(platform::ui::Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  return cell;
}

}  // namespace

std::shared_ptr<PublicServiceViewController> PublicServiceViewController::create() {
  auto screen = std::make_shared<PublicServiceViewController>();
  std::weak_ptr<PublicServiceViewController> weak = screen;
  screen->paySucceeded_ = platform::NotificationCenter::shared().observe(
      SwipeViewController::kSucceedNotification, nullptr, [weak](const platform::Notification&) {
        if (auto s = weak.lock()) s->paySuccess();
      });
  screen->setDefaultPhoneNumber(true);
  return screen;
}

std::optional<std::string> PublicServiceViewController::businessNameOf(int type) {
  if (const ServiceKind* kind = kindOf(type)) return kind->businessName;
  return std::nullopt;
}

int PublicServiceViewController::businessTypeOf(int type) {
  const ServiceKind* kind = kindOf(type);
  return kind ? kind->businessType : 0;
}

std::string PublicServiceViewController::amountStepIdOf(int type) {
  const ServiceKind* kind = kindOf(type);
  return kind ? kind->amountStepId : "";
}

void PublicServiceViewController::initWithServiceType(int type) {
  serviceType_ = type;
  const ServiceKind* kind = kindOf(type);
  if (kind) setTitle(Strings::localized(kind->titleKey));
  businessName_ = kind ? kind->businessName : "";
  if (businessName_.empty()) return;
  auto saved = platform::UserDefaults::standard().dictionary(fillFormat(kCityNameFormat, {businessName_}));
  if (saved) setSelectedCity(*saved);
}

void PublicServiceViewController::viewDidLoad() {
  PaymentBaseViewController::viewDidLoad();
  cityNameLabel_ = createTextFieldAlignmentRight();
  cityNameLabel_->setUserInteractionEnabled(false);
  cityNameLabel_->setPlaceHolder(Strings::localized("SelectArea"));
  if (selectedCity_) cityNameLabel_->setText(selectedCity_->value("text", std::string()));
  if (!cityList_) getCityList();
  updateForm();
  reload();
}

// --- requests ------------------------------------------------------------------------------------

void PublicServiceViewController::getCityList() {
  if (businessName_.empty()) return;
  auto me = self();
  UtilityOperations::getCityList(businessName_, [me](BillReply<Json> reply) {
    if (!reply.data) {
      if (reply.prompt) me->showPrompt(*reply.prompt);
      return;
    }
    me->cityList_ = Json::array();
    for (const Json& entry : *reply.data) {
      if (entry.is_object()) me->cityList_->push_back(entry);
    }
    if (!me->selectedCity_ && !me->cityList_->empty()) {
      const Json* chosen = &me->cityList_->front();
      for (const Json& entry : *me->cityList_) {
        if (entry.value("text", std::string()) == "北京") {
          chosen = &entry;
          break;
        }
      }
      me->setSelectedCity(Json(*chosen));
    }
    me->reload();
  });
}

void PublicServiceViewController::setSelectedCity(const Json& entry) {
  if (!selectedCity_ || *selectedCity_ != entry) {
    selectedCity_ = entry;
    const Json& value = entry.contains("value") ? entry["value"] : Json();
    getInfoForCity(value.is_string() ? value.get<std::string>() : value.is_number() ? value.dump() : std::string());
  }
  if (cityNameLabel_) cityNameLabel_->setText(entry.value("text", std::string()));
}

void PublicServiceViewController::getInfoForCity(const std::string& area) {
  payInfo_.clear();
  state_.note.reset();
  state_.department.reset();
  updateForm();
  reload();
  awaitedArea_ = area;
  auto me = self();
  UtilityOperations::getBizConfig(businessName_, area, [me, area](BillReply<UtilityItems> reply) {
    // A reply for an area the user has left belongs to that area, not to the one now chosen.
    if (area != me->awaitedArea_) return;
    if (!reply.data) {
      if (reply.prompt) me->showPrompt(*reply.prompt);
      return;
    }
    me->payInfo_ = std::move(*reply.data);
    me->updateForm();
    me->reload();
  });
}

void PublicServiceViewController::updateForm() {
  if (auto status = state_.update(payInfo_); !status.isOk()) {
    // A description that cannot make a form shows none.
    payInfo_.clear();
    (void)state_.update(payInfo_);
    showPrompt(Strings::localized("Error_Data"));
  }
}

void PublicServiceViewController::reload() {
  if (paymentTableView()) paymentTableView()->reloadData();
}

// --- the rows ------------------------------------------------------------------------------------

std::shared_ptr<GHTextField> PublicServiceViewController::createTextFieldAlignmentRight() {
  auto field = createTextFieldAlignmentLeft();
  field->setTextAlignment(platform::ui::TextAlignment::Right);
  return field;
}

std::shared_ptr<GHTextField> PublicServiceViewController::createTextFieldAlignmentLeft() {
  auto field = GHTextField::create(Rect{kFieldX, 7, kFieldWidth, 30});
  field->setFont(Font::system(16));
  field->setTextAlignment(platform::ui::TextAlignment::Left);
  field->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  field->setKeyboardType(platform::ui::KeyboardType::NumbersAndPunctuation);
  field->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  return field;
}

std::shared_ptr<GHTextField> PublicServiceViewController::fieldOfRow(size_t row) const {
  return row < rowFields_.size() ? rowFields_[row] : nullptr;
}

std::optional<int> PublicServiceViewController::numberOfSections(platform::ui::TableView&) { return 3; }

int PublicServiceViewController::numberOfRows(platform::ui::TableView&, int section) {
  if (section == 0) return state_.department ? 2 : 1;
  if (section == 1) return state_.inputForm.empty() ? 1 : static_cast<int>(state_.inputForm.size());
  return 1;
}

std::shared_ptr<platform::ui::TableViewCell> PublicServiceViewController::listCell(const std::string& title,
                                                                                   const UtilityFormItem& item) {
  auto cell = whiteCell();
  cell->contentView()->addSubview(billform::rowLabel(Rect{kLabelX, 7, kLabelWidth, 30}, title));
  auto field = createTextFieldAlignmentRight();
  field->setUserInteractionEnabled(false);
  field->setPlaceHolder(Strings::localized("PleaseSelect"));
  field->setText(item.str("text"));
  cell->contentView()->addSubview(field);
  cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  return cell;
}

std::shared_ptr<platform::ui::TableViewCell> PublicServiceViewController::inputCell(
    const std::shared_ptr<UtilityFormItem>& item) {
  const std::string type = item->str("type");
  if (type == "list") return listCell(item->str("title"), *item);
  auto cell = whiteCell();
  cell->contentView()->addSubview(billform::rowLabel(Rect{kLabelX, 7, kLabelWidth, 30}, item->str("title")));
  auto field = createTextFieldAlignmentLeft();
  if (type == "barcode") {
    Rect frame = field->frame();
    frame.width -= kBarcodeWidth;
    field->setFrame(frame);
  }
  field->setText(item->str("value"));
  field->setPlaceHolder(item->str("hint"));
  if (auto length = item->limit("maxLength")) field->setMaxLength(static_cast<int>(*length));
  if (item->str("key") == "amount") field->setInputType(GHTextField::kInputAmount);
  if (auto code = item->get("inputType")) {
    const int c = std::atoi(code->c_str());
    if (c == 129) {
      field->setSecureTextEntry(true);
    } else {
      field->setKeyboardType(keyboardOf(c, field->keyboardType()));
    }
  }
  std::weak_ptr<UtilityFormItem> weakItem = item;
  std::weak_ptr<PublicServiceViewController> weak = self();
  field->setAction([weakItem, weak](GHTextField& f, int event) {
    auto it = weakItem.lock();
    auto screen = weak.lock();
    if (!it || !screen) return;
    const bool separate = it->str("separate") == "1";
    switch (event) {
      case GHTextField::kEventWillBeginEditing: {
        auto table = screen->paymentTableView();
        if (!table) break;
        const auto centre = f.convertToWindow({f.bounds().width / 2, f.bounds().height / 2});
        const auto origin = table->convertToWindow({0, 0});
        const double y = centre.y - origin.y + table->contentOffset().y - 100;
        table->setContentOffset({0, std::max(0.0, y)}, true);
        break;
      }
      case GHTextField::kEventDidBeginEditing:
        if (separate) f.setText(removeDashes(f.text()));
        break;
      case GHTextField::kEventDidEndEditing:
        if (separate) f.setText(StringsTool::handlePhoneNumber(removeDashes(f.text())));
        break;
      case GHTextField::kEventTextChanged:
        it->set("value", f.text());
        break;
      default:
        break;
    }
  });
  if (item->str("separate") == "1") field->setText(StringsTool::handlePhoneNumber(removeDashes(item->str("value"))));
  cell->contentView()->addSubview(field);
  if (type == "barcode") {
    const Rect frame = field->frame();
    std::weak_ptr<GHTextField> weakField = field;
    auto button = BarcodeButton::barcodeButtonWithOrigin(
        {frame.x + frame.width + 6, frame.y}, [weakField, weakItem](std::optional<std::string> text) {
          auto f = weakField.lock();
          if (!f || !text) return;
          f->setText(*text);
          if (auto it = weakItem.lock()) it->set("value", f->text());
        });
    cell->contentView()->addSubview(button);
  }
  if (drawingRow_ < rowFields_.size()) rowFields_[drawingRow_] = field;
  return cell;
}

std::shared_ptr<platform::ui::TableViewCell> PublicServiceViewController::cellForRow(platform::ui::TableView&,
                                                                                     IndexPath path) {
  if (path.section == 0 && path.row == 0) {
    auto cell = whiteCell();
    cell->contentView()->addSubview(billform::rowLabel(Rect{kLabelX, 7, kLabelWidth, 30}, Strings::localized("PSArea")));
    if (cityNameLabel_) cell->contentView()->addSubview(cityNameLabel_);
    if (cityList_) {
      cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
    } else {
      auto spinner = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::Gray);
      spinner->startAnimating();
      cell->setAccessoryView(spinner);
    }
    return cell;
  }
  if (path.section == 0) {
    const auto& item = *state_.department;
    if (item.str("type") == "list") return listCell(item.str("title"), item);
    // A typed organisation: shown for editing, but what is typed is not kept.
    auto cell = whiteCell();
    cell->contentView()->addSubview(billform::rowLabel(Rect{kLabelX, 7, kLabelWidth, 30}, item.str("title")));
    auto field = createTextFieldAlignmentLeft();
    field->setText(item.str("value"));
    field->setPlaceHolder(item.str("hint"));
    cell->contentView()->addSubview(field);
    return cell;
  }
  if (path.section == 1) {
    if (path.row == 0) rowFields_.assign(state_.inputForm.size(), nullptr);
    drawingRow_ = static_cast<size_t>(path.row);
    if (state_.inputForm.empty()) {
      auto cell = whiteCell();
      auto spinner = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::Gray);
      spinner->setCenter({160, kRowHeight / 2});
      spinner->startAnimating();
      cell->contentView()->addSubview(spinner);
      return cell;
    }
    return inputCell(state_.inputForm[static_cast<size_t>(path.row)]);
  }
  // The Next row stands in for the base's own button.
  if (theNextButton()) theNextButton()->removeFromSuperview();
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  std::weak_ptr<PublicServiceViewController> weak = self();
  auto next = billform::nextButton(weak, &PublicServiceViewController::nextTapped, *cell->contentView());
  next->setCenter({150, 22});
  return cell;
}

std::optional<double> PublicServiceViewController::heightForHeader(platform::ui::TableView&, int section) {
  if (section == 0) return 40.0;
  if (section == 1) return 30.0;
  return 10.0;
}

std::shared_ptr<platform::ui::View> PublicServiceViewController::viewForHeader(platform::ui::TableView&, int section) {
  if (section == 0) return billform::sectionHeader(Strings::localized("SelectDepartment"), 40);
  if (section == 1) return billform::sectionHeader(Strings::localized("PSPaymentInfo"), 30);
  return nullptr;
}

std::optional<double> PublicServiceViewController::heightForFooter(platform::ui::TableView&, int section) {
  if (section != 2 || !state_.note || state_.note->empty()) return std::nullopt;
  return platform::ui::TextMetrics::measure(*state_.note, Font::system(14), {280, 10000}).height + 20;
}

std::shared_ptr<platform::ui::View> PublicServiceViewController::viewForFooter(platform::ui::TableView& table,
                                                                               int section) {
  auto height = heightForFooter(table, section);
  if (!height) return nullptr;
  auto footer = platform::ui::View::create(Rect{0, 0, 320, *height});
  auto label = platform::ui::Label::create(Rect{20, 10, 280, *height - 20}, *state_.note);
  label->setFont(Font::system(14));
  label->setNumberOfLines(0);
  label->setTextAlignment(platform::ui::TextAlignment::Center);
  label->setBackgroundColor(platform::ui::Color::clear());
  footer->addSubview(label);
  return footer;
}

void PublicServiceViewController::didSelectRow(platform::ui::TableView&, IndexPath path) {
  if (path.section == 0) {
    if (path.row == 0 && cityList_) return openCityChooser();
    if (state_.department) showPickerForItem(state_.department);
    return;
  }
  if (path.section == 1) {
    if (static_cast<size_t>(path.row) < state_.inputForm.size()) {
      showPickerForItem(state_.inputForm[static_cast<size_t>(path.row)]);
    }
    return;
  }
  theNextStep();
}

void PublicServiceViewController::openCityChooser() {
  std::vector<Json> items(cityList_->begin(), cityList_->end());
  auto chooser = CityChooseViewController::initWithItems(std::move(items));
  chooser->setTitleGeter([](const Json& entry) { return entry.value("text", std::string()); });
  std::weak_ptr<PublicServiceViewController> weak = self();
  chooser->setSelectAction([weak](const Json& entry) {
    auto screen = weak.lock();
    if (!screen) return;
    if (screen->cityNameLabel_) screen->cityNameLabel_->setText(entry.value("text", std::string()));
    screen->setSelectedCity(entry);
  });
  chooser->setSelectedItem(selectedCity_);
  if (auto nav = navigationController()) nav->push(chooser, true);
}

void PublicServiceViewController::showPickerForItem(const std::shared_ptr<UtilityFormItem>& item) {
  if (!item || item->str("type") != "list" || item->data.empty()) return;
  std::vector<int> rows;
  std::optional<int> chosen;
  for (size_t i = 0; i < item->data.size(); ++i) {
    rows.push_back(static_cast<int>(i));
    if (!chosen && item->data[i].text == item->str("text")) chosen = static_cast<int>(i);
  }
  const auto& bounds = view()->bounds();
  auto picker = GHPickerView<int>::create(Rect{0, bounds.height, bounds.width, 260}, rows);
  std::weak_ptr<UtilityFormItem> weakItem = item;
  picker->setTitleGeter([weakItem](const int& row) {
    auto it = weakItem.lock();
    return it && static_cast<size_t>(row) < it->data.size() ? it->data[static_cast<size_t>(row)].text : std::string();
  });
  picker->setSelectedItem(chosen.value_or(0));
  std::weak_ptr<PublicServiceViewController> weak = self();
  picker->setDoneAction([weak, weakItem, chosen](const int& row) {
    auto screen = weak.lock();
    auto it = weakItem.lock();
    if (!screen || !it || static_cast<size_t>(row) >= it->data.size() || chosen == row) return;
    it->set("text", it->data[static_cast<size_t>(row)].text);
    it->set("value", it->data[static_cast<size_t>(row)].value);
    screen->updateForm();
    screen->reload();
  });
  picker_ = picker;
  picker->showInView(*view());
}

void PublicServiceViewController::touchUpInsideEndedCustomTableView(CustomTableView&) {
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification);
}

// --- Next ----------------------------------------------------------------------------------------

std::optional<Json> PublicServiceViewController::finalForm() {
  UtilityFormInput input;
  input.state = &state_;
  input.areaChosen = selectedCity_.has_value();
  input.areaName = cityNameLabel_ ? cityNameLabel_->text() : selectedCity_ ? selectedCity_->value("text", "") : "";
  input.title = title();
  auto result = nvx::finalForm(input);
  if (auto* prompt = std::get_if<std::string>(&result)) {
    this->prompt(*prompt);
    return std::nullopt;
  }
  return std::get<Json>(std::move(result));
}

void PublicServiceViewController::theNextStep() {
  if (phoneNumberField()) phoneNumberField()->resignFirstResponder();
  platform::NotificationCenter::shared().post(GHTextField::kResignFirstResponderNotification);
  auto form = finalForm();
  if (!form) return;
  if (form->contains("queryTrans")) return queryTrans(std::move(*form));
  initSwipeViewControllerWithForm(*form);
}

void PublicServiceViewController::queryTrans(Json form) {
  auto me = self();
  UtilityOperations::queryTrans(form, [me, form](BillReply<Json> reply) mutable {
    if (!reply.data) {
      if (reply.prompt) me->prompt(*reply.prompt);
      return;
    }
    for (auto it = reply.data->begin(); it != reply.data->end(); ++it) form[it.key()] = it.value();
    const bool replyNamedAmount = reply.data->contains("amount");
    const std::optional<std::string> price = formText(form, "price");
    const bool zeroPrice = !price || PayMoney::fenFromWireText(*price) == 0;
    if (!me->state_.showInput2 || (!zeroPrice && me->state_.payEqualPrice)) {
      return me->initSwipeViewControllerWithForm(form, replyNamedAmount);
    }
    DataStatistics::sharedDataStatistics().stepRecord(amountStepIdOf(me->serviceType_));
    auto step = AmountCommitViewController::initwithForm(std::move(form), me->state_.input2Form);
    step->setServiceType(me->serviceType_);
    if (auto nav = me->navigationController()) nav->push(step, true);
  });
}

void PublicServiceViewController::initSwipeViewControllerWithForm(const Json& form, bool replyNamedAmount) {
  auto amount = payAmount(form, replyNamedAmount);
  if (auto* prompt = std::get_if<std::string>(&amount)) return this->prompt(*prompt);
  const UtilityPayAmount& a = std::get<UtilityPayAmount>(amount);
  UtilityHandOver handOver;
  handOver.form = &form;
  handOver.serviceType = serviceType_;
  if (auto price = formText(form, "price"); price && *price != "0") {
    handOver.priceFen = PayMoney::fenFromWireText(*price);
  }
  handOver.payFen = a.fen;
  handOver.doneTitleKey = "PSPayCommit";
  handOver.commit = UtilityOperations::commitFields(form, a.commitText);
  handOver.payScreen().open(*this);
}

void PublicServiceViewController::paySuccess() {
  if (!selectedCity_ || businessName_.empty()) return;
  auto& defaults = platform::UserDefaults::standard();
  defaults.set(fillFormat(kCityNameFormat, {businessName_}), *selectedCity_);
  (void)defaults.synchronize();
}

}  // namespace nvx
