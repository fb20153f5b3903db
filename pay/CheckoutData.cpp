#include "pay/CheckoutData.h"

#include "app/ui/TransactionInfoSource.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/DateFormats.h"
#include "pay/PayMoney.h"
#include "pay/PayScreenSetup.h"
#include "pay/ResultRows.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/ui/AlertView.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

using platform::Json;
using platform::Strings;

constexpr std::string_view kTag = "checkout";
constexpr const char* kSwipeHeader = "付款借记卡及密码";

bool blank(const std::optional<std::string>& text) {
  return !text || text->find_first_not_of(" \t\r\n") == std::string::npos;
}

struct GateState {
  CheckoutReaderGate::Gate gate;
};

}  // namespace

// --- the order ------------------------------------------------------------------------------------

const std::vector<std::string>& CheckoutData::allKeys() {
  static const std::vector<std::string> kKeys{"merId", "orderId",  "amount",      "minCode", "expriredtime", "productName",
                                              "desc",  "randnum",  "redirectURL", "macType", "mac",          "time"};
  return kKeys;
}

std::optional<std::string>* CheckoutData::memberNamed(const std::string& name) {
  return const_cast<std::optional<std::string>*>(std::as_const(*this).memberNamed(name));
}

const std::optional<std::string>* CheckoutData::memberNamed(const std::string& name) const {
  const std::optional<std::string>* members[] = {&merId, &orderId, &amount,      &minCode, &expriredtime, &productName,
                                                 &desc,  &randnum, &redirectURL, &macType, &mac,          &time};
  const auto& keys = allKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == name) return members[i];
  }
  return nullptr;
}

CheckoutData CheckoutData::initWithDictionary(const Json& dictionary) {
  CheckoutData data;
  if (!dictionary.is_object()) return data;
  for (const auto& key : allKeys()) {
    if (auto value = replyText(dictionary, key.c_str())) *data.memberNamed(key) = *value;
  }
  return data;
}

std::optional<int64_t> CheckoutData::amountFen() const {
  if (!amount || amount->empty()) return 0;
  return PayMoney::fenFromYuanText(*amount);
}

std::string CheckoutData::amountYuan() const { return PayMoney::yuanFromFen(amountFen().value_or(0)); }

bool CheckoutData::validateCheckoutData() const {
  for (const auto* required : {&merId, &orderId, &macType, &mac}) {
    if (!*required || (*required)->empty()) return false;
  }
  return amountFen().has_value();
}

AppSchedullerOperations::Pairs CheckoutData::billPairs(bool withMissingAmount) const {
  AppSchedullerOperations::Pairs pairs;
  for (const auto& key : allKeys()) {
    const auto* value = memberNamed(key);
    if (!*value && !(key == "amount" && withMissingAmount)) continue;
    pairs.emplace_back(key, key == "amount" ? std::to_string(amountFen().value_or(0)) : **value);
  }
  return pairs;
}

CheckoutBean CheckoutBean::fromPairs(const std::map<std::string, std::string>& pairs) {
  CheckoutBean bean;
  for (const auto& key : allKeys()) {
    if (auto it = pairs.find(key); it != pairs.end()) *bean.memberNamed(key) = it->second;
  }
  if (auto it = pairs.find("lpmercd"); it != pairs.end()) bean.lpmercd = it->second;
  if (blank(bean.lpmercd)) bean.lpmercd = bean.merId;
  if (blank(bean.macType)) bean.macType = "2";
  return bean;
}

AppSchedullerOperations::Pairs CheckoutBean::checkoutBillPairs() const {
  // A missing amount is a bill of nothing.
  auto pairs = CheckoutData::billPairs(true);
  if (lpmercd) pairs.emplace_back("lpmercd", *lpmercd);
  pairs.emplace_back("ver", AppSchedullerOperations::kBillVersion);
  return pairs;
}

// --- the pay screen ---------------------------------------------------------------------------------

std::shared_ptr<platform::ui::ViewController> CheckoutPayScreen::open(const CheckoutData& order) const {
  auto navigation = AppServices::current().navigationController();
  if (!navigation) {
    platform::log::warning(kTag, "no navigation stack for the pay screen");
    return nullptr;
  }
  TransactionInfoSource::Rows rows{
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("BusinessName"), cnSName),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("OrderNumber"), billno),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("AmountDue"), order.amountFen().value_or(0), true),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("Time"), standardCurrentDate()),
  };
  auto info = TransactionInfoSource::infoWithLabelSource(std::move(rows), std::nullopt);
  Json summary = Json::object();
  summary[transaction_keys::kTarget] = billno;
  summary[transaction_keys::kAmount] = order.amount.value_or("");
  summary[transaction_keys::kInfo] = inquiry.content().value_or("");

  const std::optional<std::string> title = Strings::localized("NVXPayment");
  const std::optional<std::string> card = Strings::localized("BankCardPlace");
  const std::optional<std::string> pin = Strings::localized("BankCardPasswordPlace");
  const std::optional<std::string> done = Strings::localized("OkPayment");
  std::shared_ptr<platform::ui::ViewController> screen;
  if (className == SwipeViewController::kClassName) {
    auto swipe = SwipeViewController::create();
    swipe->setInfo(info);
    swipe->customizeSwipeViewWithNavTitle(title, kSwipeHeader, card, pin, std::nullopt, done, businessType);
    swipe->setTransactionData(summary);
    screen = swipe;
  } else {
    screen = ScreenRegistry::shared().create(className);
    auto* setup = dynamic_cast<PayScreenSetup*>(screen.get());
    if (!setup) {
      platform::log::warning(kTag, "pay screen " + className + " is not available");
      return nullptr;
    }
    setup->setInfo(info);
    setup->customizeSwipeViewWithNavTitle(title, kSwipeHeader, card, pin, std::nullopt, done, businessType);
    setup->setTransactionData(summary);
  }
  // The commit charges the order's amount in yuan, as the merchant gave it.
  AppSchedullerOperations::storeCommit(inquiry.sid().value_or(""), billno, order.amountYuan(), lpmercd);
  navigation->push(screen, true);
  return screen;
}

// --- shared steps ---------------------------------------------------------------------------------------

void CheckoutReaderGate::run(NVXViewController& screen, NVXViewController::ValidCompletion done) {
  auto gate = platform::Process::current().shared<GateState>().gate;
  if (gate) {
    gate(screen, std::move(done));
  } else {
    screen.swiperValid(std::move(done));
  }
}

void CheckoutReaderGate::install(Gate gate) { platform::Process::current().shared<GateState>().gate = std::move(gate); }

void showCheckoutAlert(const std::string& message, const std::string& cancelTitle, std::function<void()> cancelAction,
                       std::optional<std::string> okTitle, std::function<void()> okAction) {
  std::vector<std::string> others;
  if (okTitle) others.push_back(*okTitle);
  auto alert = platform::ui::AlertView::create("", message, cancelTitle, std::move(others));
  if (cancelAction) alert->setButtonCallback(0, std::move(cancelAction));
  if (okTitle && okAction) alert->setButtonCallback(1, std::move(okAction));
  alert->show();
}

}  // namespace nvx
