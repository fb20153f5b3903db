#include "pay/SwipeViewController.h"

#include "app/ui/TransactionInfoView.h"
#include "app/ui/ViewTool.h"
#include "core/session/User.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "net/DataStatistics.h"
#include "pay/PayMoney.h"
#include "pay/PayResultScreen.h"
#include "pay/PinBlock.h"
#include "pay/Tools.h"
#include "pay/TradeInquiryReturnData.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Color.h"
#include "platform/ui/Hud.h"
#include "platform/ui/TableViewCell.h"
#include "reader/DHSwiperController.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

using swipe::fieldValue;

namespace {

constexpr const char* kLogTag = "pay";

}  // namespace

std::shared_ptr<SwipeViewController> SwipeViewController::create() { return std::make_shared<SwipeViewController>(); }

bool SwipeViewController::isPinRequired(int type) {
  switch (type) {
    case 0: case 1: case 2: case 7: case 8: case 9: case 10: case 11: case 15: case 16:
    case 21: case 22: case 24: case 25: case 30: case 37:
      return true;
    default:
      return false;
  }
}

PayOperations& SwipeViewController::operations() {
  if (!operations_) operations_ = PayOperations::mainApi();
  return *operations_;
}

// --- building ------------------------------------------------------------------------------------

void SwipeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, false);
  if (texts_.businessType == 14) {
    navigationItem().setLeftBarButtonItem(nullptr);
    navigationItem().setHidesBackButton(true);
  }
  setTitle(texts_.navTitle.value_or(""));
  swipeController_ = AppServices::current().swiper();
  auto self = selfSwipe();
  std::weak_ptr<SwipeViewController> weak = self;

  auto root = view();
  tableView_ = ViewTool::myGroupedTableViewWithFrame(root->bounds());
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(self));
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(self));
  tableView_->setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate>(self));
  infoView_ = TransactionInfoView::create(Rect{10, 0, 320, 0}, info_);
  tableView_->setTableHeaderView(infoView_);
  root->addSubview(tableView_);

  cardSwipeStatusView_ = CardSwipeStatusView::create(Rect{10, 2, 280, 40}, std::weak_ptr<CardSwipeStatusViewDelegate>(self));
  cardSwipeStatusView_->setText(kWaitingDevice);
  passwordTextField_ = platform::ui::TextField::create(Rect{10, 0, 290, 44});
  passwordTextField_->setBackgroundColor(Color::clear());
  passwordTextField_->setPlaceholder(texts_.passwordPlaceholder.value_or(""));
  passwordTextField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  passwordTextField_->setSecureTextEntry(true);
  passwordTextField_->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  passwordTextField_->setFont(Font::system(16));
  passwordTextField_->setTextAlignment(platform::ui::TextAlignment::Left);
  passwordTextField_->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  passwordTextField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(self));
  passwordTextField_->setInputView(NVXKeyboardView::numberPadWithDelegate(std::weak_ptr<NVXKeyboardViewDelegate>(self)));

  auto footer = swipe::buildFooter(
      texts_, texts_.businessType == 14, 0, doneButton_, cancel_,
      [weak] {
        if (auto s = weak.lock()) s->doneButtonPressed();
      },
      [weak] {
        if (auto s = weak.lock()) s->cancelButtonPressed();
      },
      [weak] {
        if (auto s = weak.lock()) s->showTip();
      },
      this);
  tableView_->setTableFooterView(footer);

  if (texts_.businessType != 0) startReaderIfPresent();

  if (texts_.businessType == 10) {
    navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withTitle("大额申请", [weak](auto&&...) {
      if (auto s = weak.lock()) s->bigPayOpen();
    }));
  }
}

void SwipeViewController::startReaderIfPresent() {
  auto hub = swipeController_.lock();
  if (hub && hub->isDevicePresent()) {
    if (hub->getCSwiperState() != 0) {
      wantToDisappear_ = true;
      showReaderAlert();
    } else {
      passwordTextField_->setText("");
      hub->startCSwiper();
    }
    return;
  }
  if (auto window = AppServices::current().window()) platform::ui::Hud::hideAll(*window, false);
  showPrompt(Strings::localized("SwipeNotInserted"));
}

void SwipeViewController::showReaderAlert() {
  auto alert = AlertView::create("", Strings::localized("SwipeNotRead"), Strings::localized("Ok"));
  alert->setTag(kReaderAlertTag);
  alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(selfSwipe()));
  alert->show();
}

// --- table ---------------------------------------------------------------------------------------

int SwipeViewController::numberOfRows(platform::ui::TableView&, int) { return 2; }

std::shared_ptr<platform::ui::TableViewCell> SwipeViewController::cellForRow(platform::ui::TableView&,
                                                                             platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create();
  cell->contentView()->addSubview(path.row == 0 ? std::static_pointer_cast<platform::ui::View>(cardSwipeStatusView_)
                                                : std::static_pointer_cast<platform::ui::View>(passwordTextField_));
  cell->setBackgroundColor(Color::white());
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  return cell;
}

std::optional<double> SwipeViewController::heightForHeader(platform::ui::TableView&, int) { return 10.0; }

std::shared_ptr<platform::ui::View> SwipeViewController::viewForHeader(platform::ui::TableView&, int) {
  return platform::ui::View::create(Rect{0, 0, 320, 10});
}

// --- clearing --------------------------------------------------------------------------------------

void SwipeViewController::stopSwipeAndClearup() {
  if (auto navigation = navigationController()) platform::ui::Hud::hideAll(*navigation->view(), true);
  platform::ui::Hud::hideAll(*view(), true);
}

void SwipeViewController::clearMsg() { cardSwiperStatusViewAfreshSwipeButtonPressed(*cardSwipeStatusView_); }

void SwipeViewController::clearInfo() {
  passwordTextField_->setText("");
  clearSwipe();
  clearMsg();
}

void SwipeViewController::clearTfandMsf() {
  passwordTextField_->setText("");
  clearSwipe();
}

void SwipeViewController::clearAndRePrepareStatus() {
  stopSwipeAndClearup();
  passwordTextField_->setText("");
  clearSwipe();
  cardSwipeStatusView_->stopWithWarningInfo(kSwipeAgain);
}

// --- reader events -------------------------------------------------------------------------------

void SwipeViewController::onDevicePlugged() {
  NVXViewController::onDevicePlugged();
  if (wantToDisappear_ || !isViewLoaded()) return;
  startReaderIfPresent();
}

void SwipeViewController::onDeviceUnplugged() {
  NVXViewController::onDeviceUnplugged();
  if (commitRunning_ || !isViewLoaded()) return;
  cardSwipeStatusView_->stopWithErrorInfo(kInterruptedText);
  clearSwipe();
  stopSwipeAndClearup();
  if (!wantToDisappear_) {
    wantToDisappear_ = true;
    auto alert = AlertView::create("", Strings::localized("SwipePullOut"), Strings::localized("Ok"));
    alert->setTag(kReaderAlertTag);
    alert->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(selfSwipe()));
    alert->show();
  }
}

void SwipeViewController::onWaitingForDevice() { NVXViewController::onWaitingForDevice(); }

void SwipeViewController::onGetKsnCompleted(const std::string& ksn) { NVXViewController::onGetKsnCompleted(ksn); }

// --- Done, fee inquiry, commit ---------------------------------------------------------------------

std::optional<CardFields> SwipeViewController::cardFields() const {
  CardFields card{track_, randomNumber_, std::nullopt};
  const std::string& pin = passwordTextField_->text();
  if (pin.size() == 6) {
    auto pik = PinBlock::readerPik(User::currentUser());
    if (!pik) return std::nullopt;
    card.pinkey = PinBlock::pinkey(pin, pik->view());
    if (!card.pinkey) return std::nullopt;
  }
  return card;
}

void SwipeViewController::doneButtonPressed() {
  if (commitRunning_ || feeInquiryRunning_) return;
  passwordTextField_->resignFirstResponder();
  stopSwipeAndClearup();
  if (track_.empty() || randomNumber_.empty()) {
    showPrompt(kSwipeFirst);
    return;
  }
  const std::string& pin = passwordTextField_->text();
  const bool acceptable = pin.empty() ? !isPinRequired(texts_.businessType) : PinBlock::isSixDigits(pin);
  if (!acceptable) {
    showPrompt(kWrongPin);
    return;
  }
  if (texts_.businessType != 1) {
    submit();
    return;
  }
  // The fee inquiry of a credit-card repayment, before the commit.
  auto card = cardFields();
  if (!card || !navigationController()) {
    if (!card) {
      wantToDisappear_ = true;
      showReaderAlert();
    }
    return;
  }
  auto prepared = operations().feeInquiry(Tools::sharedInstance(), *card);
  feeInquiryRunning_ = true;
  auto reply = std::make_shared<PayReply>();
  showSpinnerWhen([send = std::move(prepared.send), reply] { *reply = send(); },
                  [self = selfSwipe(), reply] {
                    self->feeInquiryRunning_ = false;
                    self->feeInquiryAnswered(*reply);
                  });
}

void SwipeViewController::feeInquiryAnswered(const PayReply& reply) {
  if (wantToDisappear_) return;
  if (reply.kind == PayReply::Kind::SessionExpired) {
    operations().handleExpiredLogin();
    return;
  }
  if (reply.kind == PayReply::Kind::Cancelled) return;
  if (reply.kind == PayReply::Kind::Answered && reply.retCode == "0000") {
    const Json data = reply.retData.value_or(Json::object());
    auto sid = replyText(data, "sid");
    // A fee that is missing reads as none; one that is not a whole, non-negative number of fen
    // is never shown or charged.
    std::optional<int64_t> fee = 0;
    if (data.is_object() && data.contains("fee")) fee = PayMoney::fenFromWire(data["fee"]);
    if (!sid || sid->empty() || !fee) {
      showPrompt(Strings::localized("Error_Data"));
      clearInfo();
      return;
    }
    Tools::sharedInstance().addDictionaryInfoWithKey("srcsid", *sid);
    if (*fee == 0) {
      submit();
      return;
    }
    if (feeAlert_) return;
    feeAlert_ = AlertView::create("信用卡还款手续费",
                                  "本次还款操作手续费: " + PayMoney::yuanFromFen(*fee) + "元，点击“确定”完成信用卡还款操作",
                                  Strings::localized("Cancel"), {Strings::localized("Ok")});
    feeAlert_->setTag(kFeeAlertTag);
    feeAlert_->setDelegate(std::weak_ptr<platform::ui::AlertViewDelegate>(selfSwipe()));
    feeAlert_->show();
    return;
  }
  std::string message = reply.message;
  if (message.empty()) message = Strings::localized(reply.kind == PayReply::Kind::Answered ? "Error_Unknown" : "NetworkConnectionFailed");
  showPrompt(message);
  clearInfo();
}

void SwipeViewController::submit() {
  if (commitRunning_) return;
  auto card = PinBlock::readerPik(User::currentUser()) ? cardFields() : std::nullopt;
  if (!card) {
    wantToDisappear_ = true;
    showReaderAlert();
    return;
  }
  if (!navigationController()) return;
  auto prepared = operations().commit(Tools::sharedInstance(), *card);
  commitRunning_ = true;
  auto reply = std::make_shared<PayReply>();
  showSpinnerWhen([send = std::move(prepared.send), reply] { *reply = send(); },
                  [self = selfSwipe(), reply, sent = std::move(prepared.fields)] {
                    self->commitRunning_ = false;
                    self->route(*reply, sent);
                  });
}

// --- routing ---------------------------------------------------------------------------------------

void SwipeViewController::route(const PayReply& reply, const std::vector<platform::net::PostField>& sent) {
  std::weak_ptr<SwipeViewController> weak = selfSwipe();
  swipe::routeCommitReply(reply, {
                                     .timeOut = [this, &sent] { goToSwipeTimeOutViewController(sent); },
                                     .sessionExpired = [this] { operations().handleExpiredLogin(); },
                                     .fail = [this](const std::string& message) { fail(message); },
                                     .succeed = [this, &reply, &sent] { succeed(reply, sent); },
                                     .cardLimit = [this] { handleWalletTransferCardNumLimit(); },
                                     .perLimit = [this] { handleTransferPerLimit(); },
                                     .clearAfterLimitCancel =
                                         [weak] {
                                           if (auto s = weak.lock()) s->clearInfo();
                                         },
                                 });
}

void SwipeViewController::pushScreen(const std::shared_ptr<platform::ui::ViewController>& screen) {
  if (!screen) return;
  if (auto navigation = navigationController()) navigation->push(screen, true);
}

void SwipeViewController::succeed(const PayReply& reply, const std::vector<platform::net::PostField>& sent) {
  // A "0000" without data still paid: the receipt shows what it can, never a failure.
  Json data = reply.retData.value_or(Json::object());
  const bool checkout = texts_.businessType == 14;
  auto screen = ScreenRegistry::shared().create(checkout ? PayResultScreen::kCheckoutResultClassName
                                                         : PayResultScreen::kReceiptClassName);
  if (auto result = std::dynamic_pointer_cast<PayResultScreen>(screen)) {
    result->setBusinessType(texts_.businessType);
    result->setTransactionData(transactionData_);
    result->setRetData(data);
    if (checkout) {
      result->setInfo(info_);
    } else {
      result->setTransactionBusId(fieldValue(sent, "busid").value_or(""));
      if (texts_.businessType == 10) result->setRetStatus(reply.retCode, reply.errMsg);
      result->setCreditCardNumber(creditCardNumber_);
    }
  } else if (!screen) {
    platform::log::info(kLogTag, "the result page is not built yet; the payment succeeded");
  }
  pushScreen(screen);
  if (auto d = delegate()) d->swipeView(*this, entry_);
  if (!checkout) {
    platform::NotificationCenter::shared().post(kSucceedNotification, this,
                                                Json{{kBusinessTypeKey, texts_.businessType}});
  }
}

void SwipeViewController::fail(const std::string& message) {
  clearTfandMsf();
  pushScreen(swipe::failPage(message, texts_.businessType, creditCardNumber_, transactionData_));
}

void SwipeViewController::goToSwipeTimeOutViewController(const std::vector<platform::net::PostField>& fields) {
  pushScreen(swipe::timeOutPage(fields));
}

// --- limits and other ways ---------------------------------------------------------------------------

void SwipeViewController::handleWalletTransferCardNumLimit() {
  auto alert = AlertView::create("", "您的转出卡张数超限，点击“立即申请”可增加您的可用银行卡数量", std::nullopt,
                                 {"取消", "立即申请"});
  alert->setButtonCallback(1, [] { AppServices::current().gotoWhiteList(); });
  alert->show();
}

void SwipeViewController::handleTransferPerLimit() {
  std::weak_ptr<SwipeViewController> weak = selfSwipe();
  operations().getParameter("DEZZXE0", "0001", [weak](std::optional<Json> entries) {
    auto self = weak.lock();
    if (!self) return;
    std::string message = "转账金额超过2万元，付款银行卡需开通大额转账功能，开通后单笔转账金额提升至5万，是否开通？";
    if (entries && entries->is_array() && !entries->empty() && (*entries)[0].is_object() && !(*entries)[0].empty()) {
      auto value = replyText((*entries)[0], "dictValue");
      if (value) {
        std::vector<std::string> parts;
        size_t at = 0;
        for (;;) {
          size_t bar = value->find('|', at);
          parts.push_back(value->substr(at, bar == std::string::npos ? std::string::npos : bar - at));
          if (bar == std::string::npos) break;
          at = bar + 1;
        }
        if (parts.size() >= 3) message = parts[0];
      }
    }
    auto alert = AlertView::create("", message, std::nullopt, {"取消", "立即开通"});
    alert->setButtonCallback(1, [weak] {
      auto s = weak.lock();
      if (!s) return;
      s->clearAndRePrepareStatus();
      s->pushScreen(ScreenRegistry::shared().create("TransferBigPayViewController"));
    });
    alert->show();
  });
}

void SwipeViewController::bigPayOpen() {
  clearAndRePrepareStatus();
  pushScreen(ScreenRegistry::shared().create("TransferBigOpenManageViewController"));
}

void SwipeViewController::showTip() { pushScreen(ScreenRegistry::shared().create("SwiperCardHelpViewController")); }

void SwipeViewController::cancelButtonPressed() {
  AppServices::current().redirectCheckout(false);
  if (auto navigation = navigationController(); navigation && navigation->topViewController().get() == this) {
    navigation->pop(true);
  }
}

void SwipeViewController::alertViewDidDismissWithButtonIndex(AlertView& alert, int index) {
  NVXViewController::alertViewDidDismissWithButtonIndex(alert, index);
  switch (alert.tag()) {
    case kFeeAlertTag:
      feeAlert_.reset();
      if (index == 1) submit();
      break;
    case kReaderAlertTag: {
      if (texts_.businessType == 14) cancelButtonPressed();
      auto navigation = navigationController();
      if (navigation && navigation->topViewController().get() == this) {
        if (feeAlert_) feeAlert_->dismissWithClickedButtonIndex(0, false);
        navigation->pop(true);
      }
      break;
    }
    case kBackConfirmAlertTag:
      backConfirmAnswered(index);
      break;
    default:
      break;
  }
}

}  // namespace nvx
