#include "pay/SwiperCommitFailViewController.h"

#include "app/ui/ButtonCreater.h"
#include "app/ui/TransactionInfoLabelSource.h"
#include "core/shell/AppServices.h"
#include "core/text/DateFormats.h"
#include "pay/PayMoney.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;
using Row = std::shared_ptr<TransactionInfoLabelSource>;

namespace {

namespace keys = transaction_keys;

Row textRow(std::string_view label, std::string value) {
  return TransactionInfoLabelSource::sourceWithLeftValue(label, std::optional<std::string>(std::move(value)));
}
Row amountRow(std::string_view label, int64_t fen) { return TransactionInfoLabelSource::sourceWithLeftValue(label, fen); }
std::string L(std::string_view key) { return Strings::localized(key); }

}  // namespace

std::shared_ptr<SwiperCommitFailViewController> SwiperCommitFailViewController::create() {
  return std::make_shared<SwiperCommitFailViewController>();
}

SwiperCommitFailViewController::Content SwiperCommitFailViewController::contentFor(int type, const Json& data) {
  if (!data.is_object()) return {{}, "服务器错误"};
  if (type > 37 || type < 0) return {};
  const std::string T = ResultRows::text(data, keys::kTarget);
  const std::string I = ResultRows::text(data, keys::kInfo);
  const std::string A = ResultRows::text(data, keys::kAmount);
  const int64_t amt = ResultRows::yuanAmountFen(data, keys::kAmount);
  const Json empty = Json::object();
  auto object = [&](const char* key) -> const Json& {
    auto it = data.find(key);
    return it != data.end() && it->is_object() ? *it : empty;
  };
  switch (type) {
    case 0:
    case 14:
    case 35:
    case 36:
      return {};
    case 1:
      return {{textRow("还款信用卡", T), amountRow(L("RepaymentAmount"), amt)}, "信用卡还款失败"};
    case 2:
      return {{textRow(L("BillInfo"), I), textRow(L("BillNumber"), T), amountRow(L("PaymentAmount"), amt)}, "账单号付款失败"};
    case 3:
      return {{textRow(L("AlipayTransactionNumber"), T), amountRow(L("TransactionAmount"), amt)}, "支付宝付款失败"};
    case 4:
      return {{textRow(L("GameCardRecharge"), T), textRow(L("CardDenomination"), A), textRow(L("ReceivePhoneNumber"), I)},
              "游戏充值卡购买失败"};
    case 5:
      return {{textRow(L("DonorAgencies"), T), textRow(L("DonorProject"), I), amountRow(L("DonationAmount"), amt)},
              "公益捐款交易失败"};
    case 6:
      return {{textRow(L("MobileRechargeNumber"), T), amountRow(L("RechargeAmount"), amt)}, "手机充值失败"};
    case 7:
      return {{textRow("财付通账户", T), amountRow(L("RechargeAmount"), amt)}, "财付通账户充值失败"};
    case 8:
      return {{textRow(L("ReceivePhoneNumber"), I), amountRow(L("TransactionAmount"), amt)}, "支付宝充值码交易失败"};
    case 9:
      return {{textRow("充值账户", T), amountRow(L("RechargeAmount"), amt)}, "账户充值失败"};
    case 10:
      return {{textRow("转账借记卡", T), amountRow(L("TransferAmount"), amt)}, "转账失败"};
    case 11:
      return {{textRow("收账借记卡", T), amountRow(L("ReceivableMoneys"), amt)}, "收账失败"};
    case 12:
    case 17:
    case 18:
    case 19:
    case 20:
      return {{textRow("缴费项目", I), textRow("缴费号码", T), amountRow("缴费金额", amt)}, "缴费失败"};
    case 13:
      return {{textRow("贷款项目", I), textRow("贷款银行卡", T), amountRow("还贷金额", amt)}, "还贷失败"};
    case 15:
      return {{textRow("交易项目", "信用卡账单分期")}, "账单分期办理失败"};
    case 16:
      return {{textRow("交易项目", "信用卡还款"), textRow("信用卡卡号", T), amountRow("还款金额", amt)}, "信用卡还款失败"};
    case 21:
      return {{textRow("交易项目", I), textRow("账单号", T), amountRow("充值金额", amt)}, "充值失败"};
    case 22:
      return {{amountRow(L("Ins_Swipe_Amount"), ResultRows::yuanAmountFen(data, "price"))}, "交易失败"};
    case 23:
      return {{textRow("交易项目", I), textRow("账单号", T), amountRow(L("PayCardAmount"), amt)}, "影票购买失败"};
    case 24: {
      TransactionInfoSource::Rows rows{textRow("交易项目", "交通违章办理")};
      std::string car = ResultRows::text(data, "CarNumber");
      if (!car.empty()) rows.push_back(textRow("车牌号码", car));
      return {rows, "交通违章罚款缴纳失败"};
    }
    case 25:
      return {{textRow("订单号", T), amountRow(L("PayCardAmount"), amt)}, "交通违章罚款缴纳失败"};
    case 26:
      return {{textRow("订单号", T), textRow("付款金额", A + "元")}, "付款失败"};
    case 27:
      return {{textRow("订单号", T), textRow("待付款金额", A + "元"), textRow("支付方式", "货到付款")}, "订单提交失败"};
    case 28:
      return {{textRow("订单号", T), textRow("诺维萨账单号", I), textRow("付款金额", A + "元")}, "短信发送失败"};
    case 29:
      return {{textRow("交易项目", "积分归集")}, "交易失败"};
    case 30:
      return {{amountRow("充值金额", amt)}, "钱包充值失败"};
    case 31:
      return {{amountRow("收款金额", amt), textRow("到账时间", ResultRows::text(data, "NVX_TRANSFER"))}, "交易失败"};
    case 32: {
      const Json& card = object("NVX_USERCARD");
      const Json& bank = card.contains("NVX_BANKINFO") && card["NVX_BANKINFO"].is_object() ? card["NVX_BANKINFO"] : empty;
      std::string bankName = ResultRows::text(bank, "bankName");
      if (bankName.empty()) bankName = ResultRows::text(card, "NVX_BANKINFO");
      return {{textRow("收款人姓名", ResultRows::text(card, "NVX_USERNAME")), textRow("收款银行", bankName),
               textRow("收款银行卡", T), amountRow(L("TransferAmount"), amt)},
              "交易失败"};
    }
    case 33: {
      const Json& payee = object("NVX_SCAN_BANKCARD");
      return {{textRow("收款人姓名", ResultRows::text(payee, "NVX_SCAN_NAME")),
               textRow("收款银行", ResultRows::text(payee, "NVX_SCAN_BANK")),
               textRow("收款银行卡", ResultRows::text(payee, "NVX_SCAN_CARD")),
               textRow("付款人姓名", ResultRows::text(data, "NVX_SCAN_PAYNAME")), amountRow(L("TransferAmount"), amt)},
              "付款失败"};
    }
    case 34: {
      const Json& bill = object("NVX_SCAN_BILLINFO");
      auto am = bill.contains("am") ? PayMoney::fenFromWire(bill["am"]) : std::nullopt;
      std::string time = text::formatDateWithSrc(ResultRows::text(bill, "ot"), "yyyyMMddHHmmss", "yyyy-MM-dd HH:mm")
                             .value_or(std::string());
      return {{textRow("诺维萨账单号", ResultRows::text(bill, "bn")), textRow("订单号码", ResultRows::text(bill, "oid")),
               textRow("订购时间", time), textRow("商户名称", ResultRows::text(bill, "mn")),
               amountRow("订单金额", am.value_or(0))},
              "付款失败"};
    }
    case 37:
      return {{amountRow("汇款金额", amt)}, "汇款失败"};
    default:
      return {};
  }
}

void SwiperCommitFailViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  navigationItem().setHidesBackButton(true);
  navigationItem().setLeftBarButtonItem(nullptr);
  setTitle(kTitle);

  Content content = contentFor(businessType_, transactionData_);
  const double extra = businessType_ == 23 ? 25 : 0;
  auto root = view();
  auto card = ResultRows::card(Rect{10, 20, 300, 110 + 25.0 * static_cast<double>(content.rows.size()) + extra});
  root->addSubview(card);
  auto icon = platform::ui::ImageView::create(Rect{20, 12, 33, 33});
  icon->setImage(platform::ui::Image::named("pay-error.png"));
  card->addSubview(icon);
  for (const auto& [frame, text] : {std::pair{Rect{58, 14, 220, 33}, std::string(kTitle)},
                                    std::pair{Rect{20, 47, 220, 33},
                                              failResultStr_ ? *failResultStr_ : content.fallback.value_or("")}}) {
    auto label = platform::ui::Label::create(frame, text);
    label->setTextColor(Color::gray(0.2));
    label->setFont(Font::boldSystem(16));
    label->setBackgroundColor(Color::clear());
    card->addSubview(label);
  }
  auto line = platform::ui::View::create(Rect{20, 84, 260, 1});
  line->setBackgroundColor(ResultRows::borderColor());
  card->addSubview(line);
  const double y = ResultRows::layoutRows(*card, content.rows, 95, businessType_);

  std::weak_ptr<SwiperCommitFailViewController> weak =
      std::static_pointer_cast<SwiperCommitFailViewController>(shared_from_this());
  auto add = [&](std::shared_ptr<platform::ui::Button> button, double x, void (SwiperCommitFailViewController::*action)()) {
    button->setCenter(platform::ui::Point{x, y + 70});
    button->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak, action](platform::ui::Control&) {
      if (auto self = weak.lock()) ((*self).*action)();
    });
    root->addSubview(button);
  };
  if (businessType_ == 14 || businessType_ == 35) {
    add(ButtonCreater::bigButtonWithText("返回"), 160, &SwiperCommitFailViewController::backCheckout);
  } else if (businessType_ == 0) {
    add(ButtonCreater::halfButtonWithText("继续查询", 0), 80, &SwiperCommitFailViewController::continueCheck);
    add(ButtonCreater::halfButtonWithText("返回首页", 1), 240, &SwiperCommitFailViewController::doneButtonPressed);
  } else {
    add(ButtonCreater::halfButtonWithText("重新交易", 0), 80, &SwiperCommitFailViewController::reCommit);
    add(ButtonCreater::halfButtonWithText("返回首页", 1), 240, &SwiperCommitFailViewController::doneButtonPressed);
  }
}

void SwiperCommitFailViewController::popBack(size_t screens) {
  auto navigation = navigationController();
  if (!navigation) return;
  const auto stack = navigation->stack();
  if (stack.size() <= screens) {
    navigation->popToRoot(true);
    return;
  }
  navigation->popTo(*stack[stack.size() - 1 - screens], true);
}

void SwiperCommitFailViewController::continueCheck() { popBack(1); }

void SwiperCommitFailViewController::reCommit() { popBack(2); }

void SwiperCommitFailViewController::doneButtonPressed() {
  if (businessType_ == 11) {
    reCommit();
    return;
  }
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

void SwiperCommitFailViewController::backCheckout() {
  AppServices& services = AppServices::current();
  if (services.isOtherAppLaunching()) {
    services.returnToCallingApp(true);
    return;
  }
  // The older checkout's merchant hears of the failure; a checkout page without a caller leads
  // home instead of leaving the user on a page without a way on.
  if (businessType_ == 14) services.redirectCheckout(false);
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

}  // namespace nvx
