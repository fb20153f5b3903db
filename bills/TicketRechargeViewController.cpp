#include "bills/TicketRechargeViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/BillFormParts.h"
#include "bills/BillPayScreen.h"
#include "core/shell/AppServices.h"
#include "core/text/StringsTool.h"
#include "lottery/core/LotteryServerConfig.h"
#include "lottery/core/StaticVariable.h"
#include "pay/PayMoney.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Font.h"
#include "platform/ui/Hud.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {

namespace {

constexpr const char* kTag = "lottery-top-up";
using platform::Strings;
using platform::ui::Hud;
using platform::ui::Rect;
using Row = TransactionInfoLabelSource;
using CreatedBill = LotteryTopUpOperations::CreatedBill;

constexpr double kRowHeight = 44;
constexpr double kFooterHeight = 290;

std::string hotlineNumber() { return Strings::localized("ServicePhoneNumber"); }

}  // namespace

TicketRechargeViewController::~TicketRechargeViewController() {
  if (orderHud_) orderHud_->hide(false);
  if (loadingText_) loadingText_->hide(false);
}

void TicketRechargeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto me = self();

  tableView_ = billform::formTable(me);
  tableView_->setAllowsSelection(false);

  amountTextField_ = platform::ui::TextField::create(Rect{100, 7, 200, 30});
  amountTextField_->setPlaceholder(kAmountPlaceholder);
  amountTextField_->setFont(platform::ui::Font::system(16));
  amountTextField_->setBorderStyle(platform::ui::TextBorderStyle::None);
  amountTextField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  amountTextField_->setKeyboardType(platform::ui::KeyboardType::DecimalPad);
  addDoneButtonForDecimalPad(*amountTextField_);
  amountTextField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(me));

  tableView_->setTableFooterView(makeFooter());
  hotlineButton_ = platform::ui::Button::create(Rect{10, kRowHeight + 30 + kFooterHeight, 300, 30});
  hotlineButton_->setTitle(std::string(kHotlinePrefix) + hotlineNumber());
  std::weak_ptr<TicketRechargeViewController> weak = me;
  hotlineButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->telAction();
  });
  tableView_->addSubview(hotlineButton_);

  if (lottery::StaticVariable::shared().uid()) send();
  hideGradientBackground(*remindStr_);
}

std::shared_ptr<platform::ui::View> TicketRechargeViewController::makeFooter() {
  auto footer = platform::ui::View::create(Rect{0, 0, 320, kFooterHeight});
  std::weak_ptr<TicketRechargeViewController> weak = self();
  nextButton_ = ButtonCreater::bigButtonWithText(Strings::localized("Next"));
  nextButton_->setCenter({160, 30});
  nextButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->theNextStep();
  });
  footer->addSubview(nextButton_);

  auto box = platform::ui::View::create(Rect{10, 60, 300, 220});
  box->setBackgroundColor(platform::ui::Color::white());
  box->layer().cornerRadius = 8;
  auto picture = platform::ui::ImageView::create(platform::ui::Image::named("remind.png"));
  picture->setFrame(Rect{10, 8, 20, 20});
  box->addSubview(picture);
  auto title = platform::ui::Label::create(Rect{36, 8, 200, 20}, kRemindTitle);
  title->setFont(platform::ui::Font::system(16));
  box->addSubview(title);
  remindStr_ = platform::ui::WebView::create(Rect{5, 32, 290, 180});
  remindStr_->setOpaque(false);
  remindStr_->setBackgroundColor(platform::ui::Color::clear());
  remindStr_->setDataDetectorTypes(platform::ui::WebDataDetector::None);
  remindStr_->setDelegate(std::weak_ptr<platform::ui::WebViewDelegate>(self()));
  box->addSubview(remindStr_);
  footer->addSubview(box);
  return footer;
}

void TicketRechargeViewController::viewWillAppear(bool animated) {
  NVXViewController::viewWillAppear(animated);
  if (needClearView() && amountTextField_) amountTextField_->setText("");
}

void TicketRechargeViewController::hideGradientBackground(platform::ui::View& view) {
  for (const auto& sub : view.subviews()) {
    if (!sub) continue;
    if (dynamic_cast<platform::ui::ImageView*>(sub.get())) sub->setHidden(true);
    hideGradientBackground(*sub);
  }
}

// --- the road -------------------------------------------------------------------------------------

void TicketRechargeViewController::theNextStep() {
  viewRelease();
  if (busy_) return;
  if (amountTextField_->text().empty()) return showPrompt(kEmptyAmount);
  // The gate may wait for the user (a reader to plug in) and a new Next starts it again; the
  // road after it runs once at a time, so that one Next makes at most one order and one bill.
  std::weak_ptr<TicketRechargeViewController> weak = self();
  swiperValid([weak](bool ready) {
    auto screen = weak.lock();
    if (!screen || !ready || screen->busy_) return;
    screen->busy_ = true;
    screen->getOrderIdFromJVQ();
  });
}

void TicketRechargeViewController::endRoad() { busy_ = false; }

platform::Result<lottery::Bytes> TicketRechargeViewController::makeData() const {
  return lottery::TopUpOrder::request(lottery::StaticVariable::shared().uid(), amountTextField_->text());
}

void TicketRechargeViewController::getOrderIdFromJVQ() {
  auto window = AppServices::current().window();
  if (window) {
    Hud::hideAll(*window, false);
    orderHud_ = Hud::showOn(*window, false);
  }
  auto body = makeData();
  if (!body) {
    // The amount field's filter keeps the text short, so this is a guard, not a road.
    platform::log::warning(kTag, "top-up order not sent: " + body.error());
    requestFinishedNew(lottery::Bytes());
    return;
  }
  auto stub = lottery::MStubBase::create();
  stub->setNewDelegate(std::weak_ptr<lottery::newDelegateRequest>(self()));
  stub->requestnew(lottery::LotteryServerConfig::current().address(lottery::LotteryPath::Service), body.value());
}

void TicketRechargeViewController::requestFinishedNew(const lottery::Bytes& data) {
  auto order = lottery::TopUpOrder::read(data);
  // An order whose amount is not a number of fen could not be queried or shown: no order.
  if (order && !PayMoney::fenFromWireText(order->amount)) {
    order = platform::Status::error("top-up order: the amount is not a number of fen");
  }
  if (!order) {
    platform::log::info(kTag, order.error());
    if (orderHud_) orderHud_->hide(false);
    orderHud_.reset();
    endRoad();
    platform::ui::AlertView::create(kOrderFailed, "", std::string("确定"))->show();
    return;
  }
  order_ = std::move(order.value());
  getOrderIdFinished();
  if (orderHud_) orderHud_->hide(false);
  orderHud_.reset();
}

void TicketRechargeViewController::getOrderIdFinished() {
  if (!order_) return endRoad();
  auto keep = self();
  LotteryTopUpOperations::createBill(*order_, [keep](CreatedBill bill) { keep->createkBillRequestFinished(bill); });
}

void TicketRechargeViewController::createkBillRequestFinished(const CreatedBill& bill) {
  switch (bill.outcome) {
    case CreatedBill::Outcome::Bill:
      billNo_ = bill.billNo;
      cnSName_ = bill.cnSName;
      queryFeeRequestStart();
      return;
    case CreatedBill::Outcome::Silent:
      break;
    case CreatedBill::Outcome::Prompt:
      showPrompt(bill.text);
      break;
    case CreatedBill::Outcome::Alert:
      platform::ui::AlertView::create(Strings::localized("提示"), bill.text, std::string("确认"))->show();
      break;
  }
  endRoad();
}

std::string TicketRechargeViewController::orderAmountYuan() const {
  auto fen = order_ ? PayMoney::fenFromWireText(order_->amount) : std::nullopt;
  return PayMoney::yuanFromFen(fen.value_or(0));
}

void TicketRechargeViewController::queryFeeRequestStart() {
  auto keep = self();
  BillsOperations::queryTrans(LotteryTopUpOperations::inquiryFields(billNo_, orderAmountYuan()),
                              [keep](BillReply<platform::Json> reply) {
                                if (reply.data) return keep->queryFeeRequestFinished(*reply.data);
                                if (reply.prompt) keep->showErrorMessage(*reply.prompt);
                                keep->endRoad();
                              });
}

void TicketRechargeViewController::queryFeeRequestFinished(const platform::Json& data) {
  inquiryData_ = TradeInquiryReturnData::initWithDic(data);
  initWithSwiper();
}

std::string TicketRechargeViewController::popControllerClass() const {
  if (!colorBallBuyController_.expired()) return kColorBallClass;
  if (!threeDBuyController_.expired()) return kThreeDClass;
  if (!daLeTouBuyController_.expired()) return kDaLeTouClass;
  if (!athleticsBetViewController_.expired()) return kAthleticsClass;
  return kClassName;
}

void TicketRechargeViewController::initWithSwiper() {
  endRoad();
  if (!inquiryData_ || !order_) return;
  const TradeInquiryReturnData& inquiry = *inquiryData_;
  const int64_t amountFen = PayMoney::fenFromWireText(order_->amount).value_or(0);
  const int64_t feeFen = fenOfYuan(inquiry.fee()).value_or(0);
  const std::string amountYuan = PayMoney::yuanFromFen(amountFen);

  BillPayScreen pay;
  pay.className = SwipeViewController::kClassName;
  pay.navTitle = kTitle;
  pay.swipeHeader = "付款借记卡及密码";
  pay.cardPlaceholder = Strings::localized("BankCardPlace");
  pay.passwordPlaceholder = Strings::localized("BankCardPasswordPlace");
  pay.doneButtonTitle = Strings::localized("OkPayment");
  pay.businessType = kPayBusinessType;
  pay.rows = {Row::sourceWithLeftValue("充值金额", amountFen), Row::sourceWithLeftValue("手续费", feeFen),
              Row::sourceWithLeftValue("刷卡金额", amountFen + feeFen, true)};
  // The receipt reads the amount as yuan text.
  pay.transactionData = {{"K_TRANSACTION_TARGET", billNo_},
                         {"K_TRANSACTION_AMOUNT", amountYuan},
                         {"K_TRANSACTION_INFO", inquiry.content().value_or("")},
                         {"POP_CONTROLER", popControllerClass()}};
  pay.commit = LotteryTopUpOperations::commitFields(inquiry.sid().value_or(""), billNo_, amountYuan);
  if (pay.open(*this)) setNeedClearView(true);
}

// --- the rest ---------------------------------------------------------------------------------------

void TicketRechargeViewController::send() {
  std::weak_ptr<TicketRechargeViewController> weak = self();
  auto window = AppServices::current().window();
  if (window) Hud::hideAll(*window, false);
  LotteryTopUpOperations::rules([weak](LotteryTopUpOperations::Rules rules) {
    auto screen = weak.lock();
    if (!screen) return;
    if (rules.networkFailed) return screen->showPrompt(NVXViewController::kNetworkFailedMessage);
    if (rules.alert) {
      platform::ui::AlertView::create("", *rules.alert, std::string("确认"))->show();
      return;
    }
    if (rules.html) screen->remindStr_->loadHTMLString(*rules.html, rules.address);
  });
}

void TicketRechargeViewController::backButtonClicked() {
  auto navigation = navigationController();
  const bool fromBetList = !colorBallBuyController_.expired() || !threeDBuyController_.expired() ||
                           !daLeTouBuyController_.expired() || !athleticsBetViewController_.expired();
  if (fromBetList && navigation) navigation->pop(true);
  dismissModal(true);
}

void TicketRechargeViewController::telAction() {
  auto sheet = platform::ui::ActionSheet::create("是否拨打电话", std::string("取消"),
                                                 std::string("拨打电话：") + hotlineNumber());
  sheet->setOnClicked([](platform::ui::ActionSheet&, int index) {
    if (index != 0) return;
    if (platform::ui::Application::shared().openURL("tel:" + hotlineNumber())) return;
    platform::ui::AlertView::create(Strings::localized("ServicePhone") + Strings::localized("BuyPhoneNumberText"),
                                    Strings::localized("NoPhone"), Strings::localized("Know"))
        ->show();
  });
  sheet->showIn(*view());
}

void TicketRechargeViewController::viewRelease() {
  if (amountTextField_) amountTextField_->resignFirstResponder();
}

// --- table, field, web view -------------------------------------------------------------------------

int TicketRechargeViewController::numberOfRows(platform::ui::TableView&, int) { return 1; }

std::optional<double> TicketRechargeViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath) {
  return kRowHeight;
}

std::shared_ptr<platform::ui::TableViewCell> TicketRechargeViewController::cellForRow(platform::ui::TableView&,
                                                                                      platform::ui::IndexPath) {
  auto cell = platform::ui::TableViewCell::create();
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->contentView()->addSubview(billform::rowLabel(Rect{10, 7, 90, 30}, kAmountLabel));
  cell->contentView()->addSubview(amountTextField_);
  return cell;
}

std::optional<bool> TicketRechargeViewController::shouldChangeCharacters(platform::ui::TextField& field,
                                                                         platform::Range16 range,
                                                                         const std::string& replacement) {
  return StringsTool::isMoneyField(field.text(), range, replacement);
}

std::optional<bool> TicketRechargeViewController::shouldReturn(platform::ui::TextField&) {
  viewRelease();
  return true;
}

bool TicketRechargeViewController::webViewShouldStartLoad(platform::ui::WebView&, const platform::ui::WebRequest& request,
                                                          platform::ui::WebNavigationType type) {
  if (type != platform::ui::WebNavigationType::LinkClicked) return true;
  platform::ui::Application::shared().openURL(request.url);
  return false;
}

void TicketRechargeViewController::webViewDidStartLoad(platform::ui::WebView&) {
  auto window = AppServices::current().window();
  if (!window) return;
  hideLoadingText();
  loadingText_ = Hud::showOn(*window, true);
  loadingText_->setMode(Hud::Mode::Text);
  loadingText_->setLabel(kLoadingText);
}

void TicketRechargeViewController::hideLoadingText() {
  if (loadingText_) loadingText_->hide(true);
  loadingText_.reset();
}

void TicketRechargeViewController::webViewDidFinishLoad(platform::ui::WebView&) { hideLoadingText(); }

void TicketRechargeViewController::webViewDidFailLoad(platform::ui::WebView&, const platform::ui::WebError&) {
  hideLoadingText();
}

}  // namespace nvx
