#include "pay/SwipeResultViewController.h"

#include "app/ui/ButtonCreater.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "pay/ReceiptRows.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

namespace nvx {

using platform::Json;
using platform::ui::Button;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::View;

namespace {

constexpr const char* kLogTag = "SwipeResultViewController";
constexpr const char* kCreditCardFormClass = "CCRepayInputViewController";
constexpr const char* kWalletRechargeClass = "RechargeViewController";
constexpr const char* kMultiPayClass = "NVXMultPayViewController";
constexpr const char* kMovieClass = "MovieViewController";
constexpr const char* kPopController = "POP_CONTROLER";

// The box of the mall receipts' notice and steps: grey border at half alpha, corner radius 5.
std::shared_ptr<View> noticeBox(Rect frame) {
  auto box = View::create(frame);
  box->layer().borderWidth = 1;
  box->layer().borderColor = Color::rgb255(125, 125, 125, 0.5);
  box->layer().cornerRadius = 5;
  return box;
}

std::shared_ptr<Label> greyLabel(Rect frame, std::string text, double size) {
  auto label = SwipeResultViewController::lableFrame(frame, text, size);
  label->setTextColor(Color::gray(0.408));
  return label;
}

}  // namespace

std::shared_ptr<SwipeResultViewController> SwipeResultViewController::create() {
  return std::make_shared<SwipeResultViewController>();
}

void SwipeResultViewController::setRetStatus(std::string /*retCode*/, std::string errMsg) {
  retStatusErrMsg_ = std::move(errMsg);
}

std::shared_ptr<Label> SwipeResultViewController::labelWithFrame(Rect frame, std::string_view text) {
  return ResultRows::labelWithFrame(frame, text);
}

std::shared_ptr<Label> SwipeResultViewController::lableFrame(Rect frame, std::string_view text, double titleSize) {
  auto label = Label::create(frame, std::string(text));
  label->setNumberOfLines(0);
  label->setBackgroundColor(Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Left);
  label->setFont(Font::system(titleSize));
  return label;
}

bool SwipeResultViewController::isAdaptWalletPay() const { return ReceiptRows::isAdaptWalletPay(transactionData_); }

ReceiptOperations& SwipeResultViewController::operations() {
  if (!operations_) operations_ = ReceiptOperations::mainApi();
  return *operations_;
}

// --- the page ----------------------------------------------------------------------------------

void SwipeResultViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  navigationItem().setHidesBackButton(true);
  navigationItem().setLeftBarButtonItem(nullptr);

  ReceiptContent content = ReceiptRows::contentFor(businessType_, transactionData_, retData_, creditCardNumber_);
  setTitle(content.title);
  rows_ = std::move(content.rows);
  successText_ = std::move(content.successText);
  if (businessType_ == 10 && retStatusErrMsg_ && successText_ != ReceiptRows::kServerError) {
    successText_ = retStatusErrMsg_;
  }

  scrollView_ = platform::ui::ScrollView::create(
      Rect{0, 0, 320, platform::ui::Screen::bounds().height - 20 - 44});
  scrollView_->setBounces(true);
  scrollView_->setShowsVerticalScrollIndicator(true);
  scrollView_->setShowsHorizontalScrollIndicator(false);
  view()->addSubview(scrollView_);

  const double extra = businessType_ == 23 ? 25 : 0;
  auto card = ResultRows::card(Rect{10, 20, 300, 80 + 25.0 * static_cast<double>(rows_.size()) + extra});
  scrollView_->addSubview(card);
  auto icon = platform::ui::ImageView::create(Rect{20, 12, 33, 33});
  icon->setImage(platform::ui::Image::named(rows_.size() > 1 ? "pay-done.png" : "pay-error.png"));
  card->addSubview(icon);
  auto success = Label::create(Rect{58, 14, 220, 33}, successText_.value_or(""));
  success->setBackgroundColor(Color::clear());
  success->setTextColor(Color::gray(0.2));
  success->setFont(Font::boldSystem(16));
  card->addSubview(success);
  auto line = View::create(Rect{20, 54, 260, 1});
  line->setBackgroundColor(ResultRows::borderColor());
  card->addSubview(line);
  double y = ResultRows::layoutRows(*card, rows_, 65, businessType_);

  if (businessType_ == 31) {
    // The payee's card: where the money arrives.
    auto payee = ResultRows::card(Rect{10, 270, 300, 150});
    scrollView_->addSubview(payee);
    auto separator = View::create(Rect{20, 43, 260, 1});
    separator->setBackgroundColor(ResultRows::borderColor());
    payee->addSubview(separator);
    payee->addSubview(lableFrame(Rect{58, 5, 220, 33}, "请耐心等待银行入账", 16));
    const Json& userCard = ResultRows::object(transactionData_, "NVX_USERCARD");
    const std::pair<const char*, std::string> pairs[] = {
        {"收款人姓名：", ResultRows::text(userCard, "NVX_USERNAME")},
        {"收款银行：", ResultRows::payeeBankName(userCard)},
        {"收款银行卡：", ResultRows::text(transactionData_, transaction_keys::kTarget)},
        {"到账金额：", ResultRows::text(transactionData_, transaction_keys::kAmount)},
    };
    double rowY = 45;
    for (const auto& [label, value] : pairs) {
      auto left = greyLabel(Rect{0, rowY, 110, 20}, label, 14);
      left->setTextAlignment(platform::ui::TextAlignment::Right);
      payee->addSubview(left);
      payee->addSubview(greyLabel(Rect{115, rowY, 180, 20}, value, 14));
      rowY += 25;
    }
  }

  layoutButtons(*scrollView_, y);

  if (businessType_ == 31) y += 80;
  auto infoBox = ResultRows::card(Rect{10, y + 190, 300, 80});
  scrollView_->addSubview(infoBox);
  marketingLb_ = lableFrame(Rect{20, y + 195, 280, 70}, "", 14);
  marketingLb_->setNumberOfLines(2);
  scrollView_->addSubview(marketingLb_);
  auto marketingButton = Button::create(Rect{20, y + 195, 280, 70});
  std::weak_ptr<SwipeResultViewController> weak = std::static_pointer_cast<SwipeResultViewController>(shared_from_this());
  marketingButton->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto self = weak.lock()) self->marketingOpen();
  });
  scrollView_->addSubview(marketingButton);
  scrollView_->setContentSize(platform::ui::Size{320, businessType_ == 31 ? 560 : y + 195 + 90});

  if (businessType_ == 1) {
    AppServices::current().commitAddReminderForCardnum(
        ResultRows::text(transactionData_, transaction_keys::kTarget));
  }
  requestAdvertise();
}

double SwipeResultViewController::layoutButtons(View& content, double y) {
  std::weak_ptr<SwipeResultViewController> weak = std::static_pointer_cast<SwipeResultViewController>(shared_from_this());
  using Action = void (SwipeResultViewController::*)();
  auto place = [&](const std::shared_ptr<Button>& button, Point centre, Action action) {
    button->setCenter(centre);
    button->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak, action](platform::ui::Control&) {
      if (auto self = weak.lock()) ((*self).*action)();
    });
    content.addSubview(button);
  };
  auto back = [&](std::string_view title, Point centre) {
    place(ButtonCreater::halfButtonWithText(title, 1), centre, &SwipeResultViewController::backBussiness);
  };
  auto home = [&](Point centre) {
    place(ButtonCreater::halfButtonWithText("返回首页", 1), centre, &SwipeResultViewController::backHomeView);
  };
  auto bigHome = [&](Point centre) {
    place(ButtonCreater::bigButtonWithText("返回首页"), centre, &SwipeResultViewController::backHomeView);
  };
  const double line = y + 130;
  switch (businessType_) {
    case 2: case 3: case 9: case 13: case 17: case 18: case 19: case 20: case 22: case 23: case 30: case 32:
      bigHome(Point{160, line});
      break;
    case 31:
      bigHome(Point{160, 455});
      break;
    case 0:
      place(ButtonCreater::halfButtonWithText("继续查询", 0), Point{80, line}, &SwipeResultViewController::continueCheck);
      home(Point{240, line});
      break;
    case 1:
      place(ButtonCreater::halfButtonWithText("继续还款", 1), Point{80, line},
            &SwipeResultViewController::backToCreditCard);
      home(Point{240, line});
      break;
    case 21:
      place(ButtonCreater::halfButtonWithText("继续充值>>", 0), Point{80, line},
            &SwipeResultViewController::backWhenLotteryTicket);
      home(Point{240, line});
      break;
    case 4:
      back("继续购买", Point{80, line});
      home(Point{240, line});
      break;
    case 6: case 7: case 8:
      back("继续充值", Point{80, line});
      home(Point{240, line});
      break;
    case 10:
      back("继续转账", Point{80, line});
      home(Point{240, line});
      break;
    case 37:
      back("继续汇款", Point{80, line});
      home(Point{240, line});
      break;
    case 34:
      back("返回", Point{80, 360});
      home(Point{240, 360});
      break;
    case 26: case 27: {
      auto box = noticeBox(Rect{10, y + 50, 300, 70});
      for (const auto& [frame, text] :
           {std::pair{Rect{0, 0, 300, 30}, std::string("您的订单正在处理中")},
            std::pair{Rect{0, 30, 300, 30},
                      std::string("如有疑问请拨打客服电话：") + platform::Strings::localized("ServicePhoneNumber")}}) {
        auto label = greyLabel(frame, text, 14);
        label->setTextAlignment(platform::ui::TextAlignment::Center);
        box->addSubview(label);
      }
      content.addSubview(box);
      place(ButtonCreater::halfButtonWithText("继续购物", 1), Point{80, y + 160},
            &SwipeResultViewController::backToMallIndex);
      home(Point{240, y + 160});
      break;
    }
    case 28: {
      auto box = noticeBox(Rect{10, y + 50, 300, 120});
      const double steps[] = {5, 40, 80};
      const std::pair<Rect, const char*> texts[] = {
          {Rect{30, 5, 260, 30}, "查收短信"},
          {Rect{30, 30, 260, 60}, "使用诺维萨便民支付终端的账单号付款功能,输入短信内容中的诺维萨账单号及金额"},
          {Rect{30, 80, 260, 30}, "刷卡完成支付"},
      };
      for (int i = 0; i < 3; ++i) {
        box->addSubview(greyLabel(Rect{13, steps[i], 30, 30}, std::to_string(i + 1), 16));
        box->addSubview(greyLabel(texts[i].first, texts[i].second, 14));
      }
      content.addSubview(box);
      place(ButtonCreater::halfButtonWithText("继续购物", 1), Point{80, y + 220},
            &SwipeResultViewController::backToMallIndex);
      home(Point{240, y + 220});
      break;
    }
    default:
      back("返回", Point{80, line});
      home(Point{240, line});
      break;
  }
  return line;
}

// --- marketing ---------------------------------------------------------------------------------

void SwipeResultViewController::requestAdvertise() {
  // The reply only sets the label and the item (or prompts its error): a page the user has left
  // meanwhile is let go and the reply is dropped.
  std::weak_ptr<SwipeResultViewController> weak = std::static_pointer_cast<SwipeResultViewController>(shared_from_this());
  operations().getMarketingWithBusId(transactionBusId_, [weak](ReceiptOperations::MarketingReply reply) {
    auto self = weak.lock();
    if (!self) return;
    if (reply.isErr) {
      self->showPrompt(reply.errMsg);
      return;
    }
    self->marketingEntity_ = std::move(reply.item);
    if (self->marketingLb_) self->marketingLb_->setText(self->marketingEntity_ ? self->marketingEntity_->content() : "");
  });
}

void SwipeResultViewController::marketingOpen() {
  const MarketingEntity item = marketingEntity_.value_or(MarketingEntity());
  const MarketingEntity::Kind kind = item.openableKind();
  if (kind == MarketingEntity::Kind::Nothing && marketingEntity_) {
    platform::log::info(kLogTag, "the marketing item opens nothing: aType \"" + item.aType() + "\"");
  }
  // An item that cannot be opened still leads home, as an item of kind "nothing" does.
  const std::string aType = kind == MarketingEntity::Kind::Nothing ? "4" : std::to_string(static_cast<int>(kind));
  AppServices::current().marketingSchedulling(aType, item.note(), item.content(), item.aUrl());
}

// --- ways back ---------------------------------------------------------------------------------

std::shared_ptr<platform::ui::NavigationController> SwipeResultViewController::navigation() const {
  if (auto own = navigationController()) return own;
  return AppServices::current().navigationController();
}

bool SwipeResultViewController::popToClass(std::initializer_list<std::string_view> classNames, bool animated) {
  auto nav = navigation();
  if (!nav) return false;
  const auto stack = nav->stack();
  for (const auto& screen : stack) {
    for (std::string_view name : classNames) {
      if (screen && screen->className() == name) {
        nav->popTo(*screen, animated);
        return true;
      }
    }
  }
  return false;
}

void SwipeResultViewController::backHomeView() {
  AppServices& services = AppServices::current();
  if (services.isOtherAppLaunching()) {
    services.returnToCallingApp(false);
    return;
  }
  if (auto nav = navigation()) nav->popToRoot(true);
}

void SwipeResultViewController::backBussiness() {
  if (transactionBusId_.empty()) {
    backHomeView();
    return;
  }
  AppServices& services = AppServices::current();
  const std::optional<std::string> screenClass = services.businessClassOfCode(transactionBusId_);
  if (!screenClass || screenClass->empty() || !ScreenRegistry::shared().has(*screenClass)) {
    backHomeView();
    return;
  }
  services.gotoNewBusiness(services.boxTitleOfScreenClass(*screenClass));
}

void SwipeResultViewController::continueCheck() {
  if (auto nav = navigation()) nav->pop(true);
}

void SwipeResultViewController::backToCreditCard() {
  if (popToClass({kCreditCardFormClass}, true)) return;
  if (auto nav = navigation()) nav->popToRoot(false);
}

void SwipeResultViewController::backWhenLotteryTicket() { popToClass({kWalletRechargeClass}, true); }

void SwipeResultViewController::backToMallIndex() {
  if (popToClass({"WeekCouponViewController", "VornAreaViewController"}, true)) return;
  if (auto nav = navigation()) nav->popToRoot(false);
  AppServices::current().gotoFunctionView(kMallBusinessCode);
}

void SwipeResultViewController::doneButtonPressed() {
  auto nav = navigation();
  if (!nav) return;
  if (businessType_ == 34) {
    nav->popToRoot(true);
    return;
  }
  if (businessType_ == 31 || businessType_ == 11) {
    // The fourth (type 31) or third (type 11) screen from the top, this page the first.
    const size_t back = businessType_ == 31 ? 3 : 2;
    const auto stack = nav->stack();
    if (stack.size() > back) {
      nav->popTo(*stack[stack.size() - 1 - back], true);
    } else {
      nav->popToRoot(true);
    }
    return;
  }
  AppServices& services = AppServices::current();
  if (services.isOtherAppLaunching()) {
    services.returnToCallingApp(false);
    return;
  }
  if (!ResultRows::text(transactionData_, kPopController).empty()) {
    if (ResultRows::text(transactionData_, kPopController) == kMultiPayClass) {
      popToClass({kMultiPayClass}, true);
    } else {
      backMainLotteryTicket();
    }
    return;
  }
  nav->popToRoot(true);
}

void SwipeResultViewController::backPayView() {
  if (popToClass({kMultiPayClass}, true)) return;
  if (auto nav = navigation()) nav->popToRoot(true);
}

void SwipeResultViewController::backMainLotteryTicket() {
  // The screen named by "POP_CONTROLER", when it is on the stack.
  const std::string name = ResultRows::text(transactionData_, kPopController);
  if (!name.empty()) popToClass({name}, true);
}

void SwipeResultViewController::backWhenNoNeedToRootViewController() { popToClass({kMovieClass}, true); }

void SwipeResultViewController::backToWalletRecharge() {
  if (popToClass({kWalletRechargeClass}, true)) return;
  if (auto nav = navigation()) nav->popToRoot(false);
}

}  // namespace nvx
