#include "pay/NVXMultPayViewController.h"

#include "app/ui/TransactionInfoLabelSource.h"
#include "app/ui/ViewTool.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/StringsTool.h"
#include "net/DataStatistics.h"
#include "net/DataStatisticsMap.h"
#include "net/NetService.h"
#include "net/RandomUtil.h"
#include "net/RequestHook.h"
#include "pay/PayMoney.h"
#include "pay/PayResultScreen.h"
#include "pay/PinBlock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"
#include "platform/ui/Hud.h"
#include "platform/ui/TableViewCell.h"
#include "reader/DHSwiperController.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::net::PostField;
using platform::ui::AlertView;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

using swipe::fieldValue;

namespace {

constexpr const char* kLogTag = "multipay";
constexpr const char* kCheckoutResultClassName = "NVXCheckoutResultViewController";

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string textOf(const Json& order, const char* key) {
  if (!order.is_object() || !order.contains(key)) return "";
  return platform::json::asText(order[key]).value_or("");
}

}  // namespace

std::shared_ptr<NVXMultPayViewController> NVXMultPayViewController::create() {
  return std::make_shared<NVXMultPayViewController>();
}

MultiPayOperations& NVXMultPayViewController::operations() {
  if (!operations_) operations_ = MultiPayOperations::mainApi();
  return *operations_;
}

// --- the pay-method model ----------------------------------------------------------------------------

bool NVXMultPayViewController::isEnableWalletPay() const {
  switch (texts_.businessType) {
    case 4: case 6:
      return !AppServices::current().isOtherAppLaunching();
    case 21: case 23: case 26: case 35: case 20: case 18: case 19: case 17: case 37:
      return true;
    default:
      return false;
  }
}

bool NVXMultPayViewController::isOnlyWalletPay() const {
  if (texts_.businessType == 21) return true;
  return walletManager_ && walletManager_->isWalletPayOnly();
}

bool NVXMultPayViewController::isWalletPayModel() const {
  return (isDoublePayModel_ && isWalletPayExpand_) || isOnlyWalletPay();
}

std::string NVXMultPayViewController::payType() const {
  if ((isSwipeExpand_ || !isDoublePayModel_) && !isOnlyWalletPay()) return "PR";
  const int64_t chosen = walletManager_ ? walletManager_->selectedRedPacketsAmount() : 0;
  const bool packets = walletManager_ && !walletManager_->selectedGiftIdArray().empty();
  if (!packets) return "ZX";
  return chosen >= payAmount_ ? "ZH" : "XH";
}

std::string NVXMultPayViewController::redPacketType() const {
  switch (texts_.businessType) {
    case 4: return "0501";
    case 6: return "0401";
    case 21: return "0101";
    case 23: {
      const std::string channel = textOf(transactionData_, "channel");
      return channel == "1" ? "0301" : "0302";
    }
    case 26: return "0201";
    case 35: return Tools::sharedInstance().infoValue("lpmercd").value_or("");
    case 37: return "0601";
    default: return "0000";
  }
}

// --- building ------------------------------------------------------------------------------------

void NVXMultPayViewController::viewDidLoad() {
  NVXBasePayViewController::viewDidLoad();
  if (!transactionData_.is_object()) transactionData_ = Json::object();
  isDoublePayModel_ = isEnableWalletPay();
  hideIndicators();
  if (texts_.businessType == 14 || texts_.businessType == 35) {
    navigationItem().setLeftBarButtonItem(nullptr);
    navigationItem().setHidesBackButton(true);
  }
  setTitle(texts_.navTitle.value_or(""));
  swipeController_ = AppServices::current().swiper();
  auto self = selfMulti();
  std::weak_ptr<NVXMultPayViewController> weak = self;

  auto root = view();
  tableView_ = ViewTool::myGroupedTableViewWithFrame(root->bounds());
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  tableView_->setBackgroundColor(Color::rgb255(247, 247, 247));
  infoView_ = TransactionInfoView::create(Rect{10, 0, 320, 0}, info_, platform::ui::TextAlignment::Right, false, false);
  if (infoView_) {
    auto f = infoView_->frame();
    infoView_->setFrame(Rect{f.x, f.y, f.width, f.height + 20});
    infoView_->setBackgroundColor(Color::rgb255(247, 247, 247));
    auto line = platform::ui::View::create(Rect{10, f.height + 20 - 10, 300, 1});
    line->setBackgroundColor(Color::rgb255(210, 210, 210));
    infoView_->addSubview(line);
    tableView_->setTableHeaderView(infoView_);
  }
  root->addSubview(tableView_);

  cardSwipeStatusView_ = CardSwipeStatusView::create(Rect{25, 2, 264, 40}, std::weak_ptr<CardSwipeStatusViewDelegate>(self));
  cardSwipeStatusView_->setText(SwipeViewController::kWaitingDevice);
  passwordTextField_ = platform::ui::TextField::create(Rect{25, 0, 264, 44});
  passwordTextField_->setBackgroundColor(Color::clear());
  passwordTextField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  passwordTextField_->setSecureTextEntry(true);
  passwordTextField_->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  passwordTextField_->setFont(Font::system(16));
  passwordTextField_->setTextAlignment(platform::ui::TextAlignment::Left);
  passwordTextField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));
  passwordTextField_->setInputView(NVXKeyboardView::numberPadWithDelegate(std::weak_ptr<NVXKeyboardViewDelegate>(self)));

  // A screen that may pay from the wallet sits its buttons a little higher.
  auto footer = swipe::buildFooter(
      texts_, texts_.businessType == 14 || texts_.businessType == 35, isEnableWalletPay() ? -10 : 0, doneButton_, cancel_,
      [weak] {
        if (auto s = weak.lock()) s->doneButtonPressed();
      },
      [weak] {
        if (auto s = weak.lock()) s->cancelButtonPressed();
      },
      [weak] {
        if (auto s = weak.lock()) s->pushScreen(ScreenRegistry::shared().create("SwiperCardHelpViewController"));
      },
      this);
  tableView_->setTableFooterView(footer);

  if (texts_.businessType != 0 && !isDoublePayModel_) {
    auto h2 = hub();
    if (h2 && h2->isDevicePresent()) {
      validDeviceToStartCSwiper();
    } else {
      hideIndicators();
      showPrompt(Strings::localized("SwipeNotInserted"));
    }
  }
  payAmount_ = infoView_ ? infoView_->payAmount() : 0;
  if (isDoublePayModel_) {
    walletManager_ = WalletManager::create(operations_ ? operations_ : MultiPayOperations::mainApi());
    walletManager_->setDelegate(std::weak_ptr<WalletManagerDelegate>(self));
    walletManager_->setIsValidTransferAmount(texts_.businessType == 37);
    walletManager_->queryPayInfosWithBusid(Tools::sharedInstance().infoValue("busid").value_or(""), redPacketType());
    if (infoView_) infoView_->changePayAmountLeftLabel("应付金额");
  }
  reloadTable();
}

void NVXMultPayViewController::viewWillAppear(bool animated) {
  NVXBasePayViewController::viewWillAppear(animated);
  if (!isReUpdateWalletInfos_) return;
  isReUpdateWalletInfos_ = false;
  // The recharge stored a pending request of its own: put this payment's back, at its own
  // address (a business may have stored another address than commitTransaction).
  Tools::sharedInstance().setInfo(origionTradeInfoArray_, origionTradeUrl_);
  if (walletManager_) walletManager_->queryWalletInfos(redPacketType());
}

void NVXMultPayViewController::hideIndicators() {
  if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, false);
  if (isViewLoaded()) platform::ui::Hud::hideAll(*view(), false);
}

void NVXMultPayViewController::reloadTable() {
  if (tableView_) tableView_->reloadData();
}

void NVXMultPayViewController::updateDoneEnabled() {
  // A wallet-only screen has its one section open from the start (the lottery among them), so
  // Done is usable there too.
  if (doneButton_) doneButton_->setEnabled(!isDoublePayModel_ || isWalletPayExpand_ || isSwipeExpand_ || isOnlyWalletPay());
}

// --- answers of the wallet manager -------------------------------------------------------------------

void NVXMultPayViewController::onQueryPayInfosFailed() { pop(); }

void NVXMultPayViewController::onOnlySwipePay() {
  isDoublePayModel_ = false;
  updateDoneEnabled();
  reloadTable();
  validDeviceToStartCSwiper();
}

void NVXMultPayViewController::onQueryWalletInfosCompleted() {
  isDoublePayModel_ = walletManager_ && walletManager_->isMultPay() && isEnableWalletPay();
  updateDoneEnabled();
  reloadTable();
}

// --- headers and sections ------------------------------------------------------------------------------

const std::shared_ptr<PayTableHeaderView>& NVXMultPayViewController::walletPayHeader() {
  if (!walletPayHeader_) {
    walletPayHeader_ = PayTableHeaderView::walletPayTableHeaderView(
        std::weak_ptr<PayTableHeaderViewExpandDelegate>(selfMulti()), false);
  }
  isWalletPayExpand_ = isWalletPayExpand_ || isOnlyWalletPay();
  walletPayHeader_->setIsExpand(isWalletPayExpand_);
  return walletPayHeader_;
}

const std::shared_ptr<PayTableHeaderView>& NVXMultPayViewController::swipePayHeader() {
  if (!swipePayHeader_) {
    swipePayHeader_ = PayTableHeaderView::swipePayTableHeaderView(
        std::weak_ptr<PayTableHeaderViewExpandDelegate>(selfMulti()), false);
  }
  swipePayHeader_->setIsExpand(isSwipeExpand_);
  return swipePayHeader_;
}

void NVXMultPayViewController::onExpandStatusChanged(PayTableHeaderView& header) {
  if (isOnlyWalletPay()) {
    header.setIsExpand(true);
    return;
  }
  if (header.isWalletPay()) {
    isSwipeExpand_ = false;
    isWalletPayExpand_ = header.isExpand();
  } else {
    isSwipeExpand_ = header.isExpand();
    isWalletPayExpand_ = false;
  }
  updateDoneEnabled();
  passwordTextField_->setText("");
  if (isSwipeExpand_) {
    theNextStep();
  } else {
    if (auto h = hub()) h->stopCSwiper();
    cardSwipeStatusView_->stopWithTimeout();
    reloadTable();
  }
}

bool NVXMultPayViewController::isWalletSection(int section) const {
  return isOnlyWalletPay() || (isDoublePayModel_ && section == 0);
}

std::optional<int> NVXMultPayViewController::numberOfSections(platform::ui::TableView&) {
  return isDoublePayModel_ && !isOnlyWalletPay() ? 2 : 1;
}

int NVXMultPayViewController::numberOfRows(platform::ui::TableView&, int section) {
  const bool walletSection = isWalletSection(section);
  if (walletSection) {
    if (!isWalletPayExpand_ && !isOnlyWalletPay()) return 1;
    if (!walletManager_ || walletManager_->isNetErr()) return 1;
    return 2 + (walletManager_->hasRedPackets() ? 1 : 0) + (walletManager_->isShowWalletPassword() ? 1 : 0);
  }
  if (isDoublePayModel_) return isSwipeExpand_ ? 3 : 1;
  return 2;
}

std::shared_ptr<platform::ui::TableViewCell> NVXMultPayViewController::cellWith(
    const std::shared_ptr<platform::ui::View>& content, bool disclosure) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setBackgroundColor(Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  if (disclosure) cell->setAccessoryType(platform::ui::TableViewCellAccessoryType::DisclosureIndicator);
  if (content) cell->contentView()->addSubview(content);
  return cell;
}

std::shared_ptr<platform::ui::TableViewCell> NVXMultPayViewController::cellForRow(platform::ui::TableView& table,
                                                                                  platform::ui::IndexPath path) {
  const bool walletSection = isWalletSection(path.section);
  if (walletSection) {
    const bool packets = walletManager_ && walletManager_->hasRedPackets();
    switch (path.row) {
      case 0:
        return cellWith(walletPayHeader());
      case 1:
        if (!walletManager_) return cellWith(nullptr);
        if (packets) return cellWith(walletManager_->redPacketChooseView(), true);
        return cellWith(walletManager_->walletPayViewWithPayAmount(payAmount_));
      case 2:
        if (packets) return cellWith(walletManager_->walletPayViewWithPayAmount(payAmount_));
        passwordTextField_->setPlaceholder(kWalletPinPlaceholder);
        return cellWith(passwordTextField_);
      case 3:
        passwordTextField_->setPlaceholder(kWalletPinPlaceholder);
        return cellWith(passwordTextField_);
      default:
        return cellWith(nullptr);
    }
  }
  const int row = isDoublePayModel_ ? path.row : path.row + 1;
  switch (row) {
    case 0:
      return cellWith(swipePayHeader());
    case 1:
      return cellWith(cardSwipeStatusView_);
    case 2:
      passwordTextField_->setPlaceholder(texts_.passwordPlaceholder.value_or(""));
      return cellWith(passwordTextField_);
    default:
      (void)table;
      return cellWith(nullptr);
  }
}

std::optional<double> NVXMultPayViewController::heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) {
  const bool walletSection = isWalletSection(path.section);
  if (walletSection) {
    const bool packets = walletManager_ && walletManager_->hasRedPackets();
    switch (path.row) {
      case 0: return 36.0;
      case 1: return packets ? 44.0 : 66.0;
      case 2: return packets ? 66.0 : 44.0;
      case 3: return 44.0;
      default: return 0.0;
    }
  }
  if (!isDoublePayModel_) return path.row < 2 ? 44.0 : 0.0;
  (void)table;
  switch (path.row) {
    case 0: return 36.0;
    case 1: case 2: return 44.0;
    default: return 0.0;
  }
}

std::optional<double> NVXMultPayViewController::heightForHeader(platform::ui::TableView&, int) { return 10.0; }

std::shared_ptr<platform::ui::View> NVXMultPayViewController::viewForHeader(platform::ui::TableView&, int) {
  return platform::ui::View::create(Rect{0, 0, 320, 10});
}

std::optional<double> NVXMultPayViewController::heightForFooter(platform::ui::TableView&, int section) {
  return isWalletPayModel() && section == 0 ? 40.0 : 0.0;
}

std::shared_ptr<platform::ui::View> NVXMultPayViewController::viewForFooter(platform::ui::TableView&, int section) {
  if (!isWalletPayModel() || section != 0 || !walletManager_) return nullptr;
  return walletManager_->walletStatusView();
}

void NVXMultPayViewController::didSelectRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  const bool walletSection = isWalletSection(path.section);
  if (!walletSection || path.row != 1 || !walletManager_ || !walletManager_->hasRedPackets()) return;
  auto screen = ScreenRegistry::shared().create(kRedPacketChooserClassName);
  auto chooser = std::dynamic_pointer_cast<RedPacketChooserScreen>(screen);
  if (!chooser) {
    platform::log::info(kLogTag, "the red-packet chooser is not built yet");
    return;
  }
  chooser->setRedPageArray(walletManager_->redPacketEntity() ? walletManager_->redPacketEntity()->redPacketItems
                                                              : Json::array());
  chooser->setIndexPathMap(walletManager_->redPacketIndexPaths());
  chooser->setValidMaxAmount(payAmount_);
  std::weak_ptr<NVXMultPayViewController> weak = selfMulti();
  chooser->setChoosenExecutor([weak](int64_t total, std::vector<std::string> ids) {
    if (auto s = weak.lock()) s->choosenRedPacket(total, std::move(ids));
  });
  pushScreen(screen);
}

void NVXMultPayViewController::choosenRedPacket(int64_t totalFen, std::vector<std::string> giftIds) {
  if (!walletManager_) return;
  if (totalFen < 0 || totalFen > payAmount_) {
    showPrompt(kRedPacketTooMuch);
    walletManager_->setRedPacketIndexPaths(std::make_shared<std::map<int, bool>>());
    walletManager_->setSelectedRedPacketsAmount(0);
    walletManager_->setSelectedGiftIdArray({});
  } else {
    walletManager_->setSelectedRedPacketsAmount(totalFen);
    walletManager_->setSelectedGiftIdArray(std::move(giftIds));
  }
  reloadTable();
}

// --- wallet side trips -----------------------------------------------------------------------------------

void NVXMultPayViewController::onWalletRecharge() {
  origionTradeInfoArray_ = Tools::sharedInstance().infoArray();
  origionTradeUrl_ = Tools::sharedInstance().url();
  isReUpdateWalletInfos_ = true;
  if (User::currentUser().status()) {
    openRecharge();
  } else {
    showActivationAlert(kActivateFromRechargeAlertTag);
  }
}

void NVXMultPayViewController::openRecharge() {
  auto screen = ScreenRegistry::shared().create(kRechargeClassName);
  if (auto recharge = std::dynamic_pointer_cast<RechargeScreen>(screen)) {
    recharge->initWithPreviousController(std::weak_ptr<platform::ui::ViewController>(selfMulti()));
  }
  pushScreen(screen);
}

void NVXMultPayViewController::showActivationAlert(int tag) {
  auto alert = AlertView::create("", kNotActivated, "取消", {"激活钱包"});
  alert->setTag(tag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(selfMulti()));
  alert->show();
}

void NVXMultPayViewController::openActivation(const std::string& tagText) {
  auto screen = ScreenRegistry::shared().create(kActivationClassName);
  if (auto activation = std::dynamic_pointer_cast<ActivationWalletScreen>(screen)) {
    activation->setDelegate(std::weak_ptr<ActivationWalletDelegate>(selfMulti()));
    activation->setCtrTitle(tagText);
  }
  pushScreen(screen);
}

void NVXMultPayViewController::popToView(const std::string& tag) {
  if (tag != "WalletRecharge") return;
  if (auto navigation = navigationController()) {
    if (navigation->topViewController().get() != this) navigation->popTo(*this, false);
  }
  openRecharge();
}

// --- card reading ----------------------------------------------------------------------------------------

void NVXMultPayViewController::theNextStep() {
  if (!isSwipeExpand_) return;
  std::weak_ptr<NVXMultPayViewController> weak = selfMulti();
  swiperValid([weak](bool ready) {
    auto s = weak.lock();
    if (!s) return;
    if (ready) {
      s->cardSwipeStatusView_->stopWithTimeout();
      if (auto h = s->hub(); h && h->getCSwiperState() == 0) h->startCSwiper();
    }
    s->reloadTable();
  });
  reloadTable();
}

void NVXMultPayViewController::validDeviceToStartCSwiper() {
  std::weak_ptr<NVXMultPayViewController> weak = selfMulti();
  swiperValid([weak](bool ready) {
    auto s = weak.lock();
    if (!s || !ready) return;
    s->startCardReading();
  });
}

void NVXMultPayViewController::startCardReading() {
  auto h = hub();
  if (!h) return;
  if (h->getCSwiperState() == 0) {
    passwordTextField_->setText("");
    h->startCSwiper();
  } else {
    wantToDisappear_ = true;
    showReaderAlert("SwipeNotRead");
  }
}

void NVXMultPayViewController::showReaderAlert(const std::string& key) {
  auto alert = AlertView::create("", Strings::localized(key), Strings::localized("Ok"));
  alert->setTag(kReaderAlertTag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(selfMulti()));
  alert->show();
}

void NVXMultPayViewController::clearEntry() {
  passwordTextField_->setText("");
  if (isSwipeModel()) clearSwipe();
}

// --- reader events -------------------------------------------------------------------------------

void NVXMultPayViewController::onDevicePlugged() {
  NVXBasePayViewController::onDevicePlugged();
  if (!isViewLoaded()) return;
  if (isSwipeExpand_ && !wantToDisappear_) validDeviceToStartCSwiper();
}

void NVXMultPayViewController::onDeviceUnplugged() {
  NVXBasePayViewController::onDeviceUnplugged();
  if (!isViewLoaded() || commitRunning_) return;
  const bool cardOnly = walletManager_ && walletManager_->isSwipePayOnly();
  const bool cardRows = !isDoublePayModel_ && !isOnlyWalletPay();
  if (!isSwipeExpand_ && !cardOnly && !cardRows) return;
  hideIndicators();
  cardSwipeStatusView_->stopWithErrorInfo(SwipeViewController::kInterruptedText);
  clearSwipe();
  if (!wantToDisappear_) {
    wantToDisappear_ = true;
    showReaderAlert("SwipePullOut");
  }
}

// --- Done and the commit ----------------------------------------------------------------------------

std::optional<std::string> NVXMultPayViewController::encryptPassword() const {
  const std::string& pin = passwordTextField_->text();
  if (pin.size() != 6) return std::nullopt;
  const User& user = User::currentUser();
  auto pik = isSwipeModel() ? PinBlock::readerPik(user) : PinBlock::virtualPik(user);
  if (!pik) return std::nullopt;
  return PinBlock::pinkey(pin, pik->view());
}

void NVXMultPayViewController::doneButtonPressed() {
  if (commitRunning_) return;
  passwordTextField_->resignFirstResponder();
  hideIndicators();
  const bool card = isSwipeModel();
  if (!card && !User::currentUser().status()) {
    showActivationAlert(kActivateFromDoneAlertTag);
    return;
  }
  if (card) {
    auto h = hub();
    if (!h || !h->isDevicePresent()) {
      showPrompt(kInsertReader);
      return;
    }
    if (track_.empty() || randomNumber_.empty()) {
      showPrompt(SwipeViewController::kSwipeFirst);
      return;
    }
  } else {
    if (!walletManager_ || !walletManager_->isWalletPayOk(payAmount_)) {
      AlertView::create("", kBalanceLow, "确定")->show();
      return;
    }
    if (!walletManager_->isShowWalletPassword()) {
      beginTransaction();
      return;
    }
    if (!PinBlock::isSixDigits(passwordTextField_->text())) {
      showPrompt(SwipeViewController::kWrongPin);
      return;
    }
  }
  const std::string& pin = passwordTextField_->text();
  const bool acceptable = pin.empty() ? !SwipeViewController::isPinRequired(texts_.businessType) : PinBlock::isSixDigits(pin);
  if (!acceptable) {
    showPrompt(SwipeViewController::kWrongPin);
    return;
  }
  beginTransaction();
}

void NVXMultPayViewController::beginTransaction() {
  // The fee inquiry of a credit-card repayment is the swipe screen's: no business opens this
  // screen with type 1.
  submit();
}

std::optional<std::vector<PostField>> NVXMultPayViewController::adaptPayRequest() {
  const std::string type = payType();
  transactionData_["famount"] = "";
  transactionData_["paytype"] = type;
  const User& user = User::currentUser();
  std::vector<PostField> fields;
  if (type == "PR") {
    fields.push_back({"otrack", upper(track_)});
    fields.push_back({"rnd", upper(randomNumber_)});
    if (!passwordTextField_->text().empty()) {
      auto pinkey = encryptPassword();
      if (!pinkey) return std::nullopt;
      fields.push_back({"pinkey", upper(*pinkey)});
    }
    fields.push_back({"termid", user.psamId()});
    fields.push_back({"wallet", ""});
    controllerRecord();
    return fields;
  }
  const int64_t packets = walletManager_ ? walletManager_->selectedRedPacketsAmount() : 0;
  const std::string giftIds = walletManager_ ? walletManager_->giftIds() : "";
  if (type == "ZX") {
    fields.push_back({"pan", user.pan()});
    pitchIdentifier("qb");
  } else if (type == "ZH") {
    fields.push_back({"pan", user.giftno()});
    fields.push_back({"giftno", giftIds});
    transactionData_["famount"] = PayMoney::yuanFromFen(packets);
    pitchIdentifier("hb");
  } else {
    fields.push_back({"pan", user.pan()});
    fields.push_back({"pan2", user.giftno()});
    fields.push_back({"giftno", giftIds});
    fields.push_back({"famount", PayMoney::yuanFromFen(packets)});
    transactionData_["famount"] = PayMoney::yuanFromFen(packets);
    pitchIdentifier("qb_hb");
  }
  fields.push_back({"amount", PayMoney::yuanFromFen(payAmount_)});
  fields.push_back({"tdtm", StringsTool::getTime()});
  fields.push_back({"rnd", RandomUtil::random16Hexs()});
  fields.push_back({"lpmercd", redPacketType()});
  fields.push_back({"type", type});
  // The counter is on disk before the request can carry it: a crash never reuses a series.
  fields.push_back({"series", StringsTool::getSeries()});
  fields.push_back({"wallet", "100"});
  fields.push_back({"termid", user.psamNo()});
  if (walletManager_ && walletManager_->isShowWalletPassword()) {
    auto pinkey = encryptPassword();
    if (!pinkey) return std::nullopt;
    fields.push_back({"pinkey", upper(*pinkey)});
  }
  return fields;
}

void NVXMultPayViewController::submit() {
  if (commitRunning_) return;
  if (isSwipeModel() && !PinBlock::readerPik(User::currentUser())) {
    wantToDisappear_ = true;
    showReaderAlert("SwipeNotRead");
    return;
  }
  if (texts_.businessType == 21) {
    auto dictionary = lotteryTicketTransacationDic();
    if (dictionary.empty()) {
      showReaderAlert("SwipeNotRead");
      return;
    }
    if (auto d = lotteryDelegate_.lock()) d->confirmWithDictionary(dictionary);
    pop();
    return;
  }
  auto fields = adaptPayRequest();
  if (!fields) {
    // No PIN key for the terminal: the PIN cannot be sent safely.
    wantToDisappear_ = true;
    showReaderAlert("SwipeNotRead");
    return;
  }
  if (!navigationController()) return;
  auto prepared = operations().commit(Tools::sharedInstance(), *fields);
  commitRunning_ = true;
  auto reply = std::make_shared<PayReply>();
  showSpinnerWhen([send = std::move(prepared.send), reply] { *reply = send(); },
                  [self = selfMulti(), reply, sent = std::move(prepared.fields)] {
                    self->commitRunning_ = false;
                    self->route(*reply, sent);
                  });
}

// --- routing ---------------------------------------------------------------------------------------

void NVXMultPayViewController::route(const PayReply& reply, const std::vector<PostField>& sent) {
  std::weak_ptr<NVXMultPayViewController> weak = selfMulti();
  const bool card = isSwipeModel();
  // This screen knows no per-transfer limit ("00E" fails as any refusal) and shows its own
  // card-limit alert; cancelling the large-amount alert clears the PIN, and the swipe of a card
  // payment.
  swipe::routeCommitReply(reply, {
                                     .timeOut = [this, &sent] { goToSwipeTimeOutViewController(sent); },
                                     .sessionExpired = [this] { operations().handleExpiredLogin(); },
                                     .fail = [this](const std::string& message) { fail(message); },
                                     .succeed = [this, &reply, &sent] { succeed(reply, sent); },
                                     .cardLimit =
                                         [] {
                                           auto alert = AlertView::create("", kCardLimitTitle, std::nullopt,
                                                                          {"取消", "立即申请"});
                                           alert->setButtonCallback(1, [] { AppServices::current().gotoWhiteList(); });
                                           alert->show();
                                         },
                                     .perLimit = nullptr,
                                     .clearAfterLimitCancel =
                                         [weak, card] {
                                           auto s = weak.lock();
                                           if (!s) return;
                                           s->passwordTextField_->setText("");
                                           if (card) {
                                             s->clearSwipe();
                                             s->cardSwiperStatusViewAfreshSwipeButtonPressed(*s->cardSwipeStatusView_);
                                           }
                                         },
                                 });
}

void NVXMultPayViewController::succeed(const PayReply& reply, const std::vector<PostField>& sent) {
  Json data = reply.retData.value_or(Json::object());
  const char* className = texts_.businessType == 35   ? kCheckoutResultClassName
                          : texts_.businessType == 14 ? PayResultScreen::kCheckoutResultClassName
                                                : PayResultScreen::kReceiptClassName;
  auto screen = ScreenRegistry::shared().create(className);
  if (auto result = std::dynamic_pointer_cast<PayResultScreen>(screen)) {
    result->setBusinessType(texts_.businessType);
    result->setTransactionData(transactionData_);
    result->setRetData(data);
    if (texts_.businessType == 35 || texts_.businessType == 14) {
      result->setInfo(info_);
    } else {
      result->setTransactionBusId(fieldValue(sent, "busid").value_or(""));
      result->setCreditCardNumber(creditCardNumber_);
    }
  } else if (!screen) {
    platform::log::info(kLogTag, "the result page is not built yet; the payment succeeded");
  }
  pushScreen(screen);
  if (texts_.businessType == 35) return;
  if (texts_.businessType != 14) {
    platform::NotificationCenter::shared().post(SwipeViewController::kSucceedNotification, this,
                                                Json{{SwipeViewController::kBusinessTypeKey, texts_.businessType}});
  }
}

void NVXMultPayViewController::fail(const std::string& message) {
  passwordTextField_->setText("");
  if (isSwipeModel()) clearSwipe();
  pushScreen(swipe::failPage(message, texts_.businessType, creditCardNumber_, transactionData_));
}

void NVXMultPayViewController::goToSwipeTimeOutViewController(const std::vector<PostField>& fields) {
  pushScreen(swipe::timeOutPage(fields));
}

void NVXMultPayViewController::pitchIdentifier(const std::string& suffix) {
  if (stepIdentifier().empty()) {
    const DataStatisticsMap::Table map = mapDictionary();
    auto own = map.find(className());
    if (own != map.end() && own->second.starts_with("M50010_")) DataStatistics::probe(own->second);
    auto numbered = map.find(DataStatisticsMap::numberedKey(className(), texts_.businessType));
    setStepIdentifier(numbered != map.end() ? numbered->second : "");
  }
  const std::string id = stepIdentifier();
  if (size_t bar = id.find('_'); bar != std::string::npos) setStepIdentifier(id.substr(0, bar) + "_" + suffix);
  if (!stepIdentifier().empty()) DataStatistics::sharedDataStatistics().stepRecord(stepIdentifier());
}

void NVXMultPayViewController::pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen) {
  if (!screen) return;
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

void NVXMultPayViewController::pop() {
  auto navigation = navigationController();
  if (navigation && navigation->topViewController().get() == this) navigation->pop(true);
}

void NVXMultPayViewController::cancelButtonPressed() {
  if (texts_.businessType == 35) {
    AppServices::current().returnToCallingApp(true);
    return;
  }
  AppServices::current().redirectCheckout(false);
  pop();
}

void NVXMultPayViewController::alertViewDidDismissWithButtonIndex(AlertView& alert, int index) {
  NVXBasePayViewController::alertViewDidDismissWithButtonIndex(alert, index);
  switch (alert.tag()) {
    case kFeeAlertTag:
      if (index == 1) submit();
      break;
    case kReaderAlertTag:
      if (texts_.businessType == 14 || texts_.businessType == 35) cancelButtonPressed();
      pop();
      break;
    case kBackConfirmAlertTag:
      backConfirmAnswered(index);
      break;
    case kActivateFromDoneAlertTag:
      if (index == 1) openActivation(kClassName);
      break;
    case kActivateFromRechargeAlertTag:
      if (index == 1) openActivation("WalletRecharge");
      break;
    case kNoReaderAlertTag:
      if (walletManager_ && walletManager_->isSwipePayOnly()) pop();
      break;
    default:
      break;
  }
}

// --- the lottery's entry ---------------------------------------------------------------------------

std::shared_ptr<NVXMultPayViewController> NVXMultPayViewController::initWithDictionary(
    const Json& order, std::weak_ptr<LotteryPayDelegate> delegate) {
  auto screen = create();
  screen->customizeSwipeViewWithNavTitle("购彩", "", Strings::localized("SwipeCardPlaceholder"),
                                         Strings::localized("SwipePasswordPlaceholder"), "", "确认付款", 21);
  screen->initLotteryTransactionViewWithDictionary(order);
  screen->lotteryDelegate_ = std::move(delegate);
  return screen;
}

void NVXMultPayViewController::initLotteryTransactionViewWithDictionary(const Json& order) {
  using Row = TransactionInfoLabelSource;
  TransactionInfoSource::Rows rows;
  const std::string name = textOf(order, "lotteryName");
  rows.push_back(Row::sourceWithLeftValue("彩种名称", name));
  rows.push_back(Row::sourceWithLeftValue("期次", textOf(order, "issue")));
  rows.push_back(Row::sourceWithLeftValue("注数", textOf(order, "betNumSum")));
  if (name != "竞彩足球") rows.push_back(Row::sourceWithLeftValue("追号期数", textOf(order, "pursue")));
  rows.push_back(Row::sourceWithLeftValue("倍投数", textOf(order, "multiple")));
  const std::string total = textOf(order, "totalMoney");
  // An amount that is not a yuan number is never charged: it reads as 0 and the balance rule
  // and the server both refuse it.
  const int64_t fen = PayMoney::fenFromYuanText(total).value_or(0);
  rows.push_back(Row::sourceWithLeftValue(Strings::localized("PayCardAmount"), fen));
  info_ = TransactionInfoSource::infoWithLabelSource(std::move(rows), std::nullopt);

  auto request = nvxSafeAuthRequest("commitTransaction");
  addPostAuthForNVX(*request);
  const User& user = User::currentUser();
  request->setPostValue("wallet", "100");
  request->setPostValue("busid", "17K");
  request->setPostValue("custid", user.userId());
  request->setPostValue("termid", user.psamNo());
  request->setPostValue("mobile", user.loginName());
  request->setPostValue("userToken", user.userToken());
  request->setPostValue("amount", PayMoney::yuanFromFen(fen));
  Tools::sharedInstance().setInfo(getPostdataForNVX(*request), urlString(*request));
  transactionData_ = Json::object();
  transactionData_["K_TRANSACTION_AMOUNT"] = order.is_object() && order.contains("totalMoney") ? order["totalMoney"] : Json("");
}

const std::vector<std::string>& NVXMultPayViewController::lotteryTicketTransactionKeys() {
  static const std::vector<std::string> keys{"busid", "termid", "pinkey", "amount", "type",  "series",
                                             "tdtm",  "pan",    "pan2",   "giftno", "famount", "mac",
                                             "rnd",   "ver",    "custid", "custlev"};
  return keys;
}

std::vector<PostField> NVXMultPayViewController::lotteryTicketTransacationDic() {
  auto fields = adaptPayRequest();
  if (!fields) return {};
  auto request = Tools::sharedInstance().createRequest();
  for (const auto& f : *fields) request->setPostValue(f.key, f.value);
  // Signed as the request hook signs a sent wallet commit, without sending it.
  RequestSession session = RequestSession::capture();
  RequestHook::filtAppendPostValue(*request, session);
  if (!RequestHook::filtPostKeyBuildMac(*request, session)) return {};
  std::vector<PostField> dictionary;
  for (const auto& key : lotteryTicketTransactionKeys()) {
    std::string value;
    for (const auto& f : request->postFields()) {
      if (f.key == key) value = f.value;
    }
    dictionary.push_back({key, value});
  }
  return dictionary;
}

}  // namespace nvx
