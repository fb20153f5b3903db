#include "bills/TradeDetailViewController.h"

#include <cstring>

#include "app/ui/ButtonCreater.h"
#include "bills/SwipeVariantOperations.h"
#include "bills/TradeResultViewController.h"
#include "pay/PayMoney.h"
#include "pay/ResultRows.h"
#include "pay/SwipeTimeOutViewController.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"

namespace nvx {

using platform::Json;
using platform::ui::Font;
using platform::ui::Rect;
using PointsReply = SwipeVariantOperations::PointsReply;

namespace {

constexpr const char* kCurrencySuffix = " 元";

}  // namespace

std::string TradeDetailViewController::formatPoints(int64_t hundredths) {
  // The money text's grouping and decimals, without the currency: these are points.
  std::string text = ResultRows::moneyText(hundredths);
  if (text.ends_with(kCurrencySuffix)) text.resize(text.size() - std::strlen(kCurrencySuffix));
  return text;
}

int64_t TradeDetailViewController::replyPoints(const Json& retData, std::string_view key) {
  if (!retData.is_object()) return 0;
  auto it = retData.find(key);
  if (it == retData.end()) return 0;
  if (it->is_string()) {
    std::string text = it->get<std::string>();
    std::erase(text, ',');
    return PayMoney::fenFromWireText(text).value_or(0);
  }
  return PayMoney::fenFromWire(*it).value_or(0);
}

void TradeDetailViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto root = view();
  const std::vector<std::pair<std::string, std::string>> rows{
      {"归集账号：", account_},
      {"账户姓名：", accountName_},
      {"付款会员卡：", ResultRows::text(retData_, "pan")},
      {"归集数量：", formatPoints(PayMoney::fenFromYuanText(chargeMoney_).value_or(0))},
      {"服务积分：", formatPoints(replyPoints(retData_, "fee"))},
      {"刷卡积分：", formatPoints(replyPoints(retData_, "price"))},
  };
  double y = 20;
  valueLabels_.clear();
  for (const auto& [caption, value] : rows) {
    auto left = platform::ui::Label::create(Rect{0, y, 120, 30}, caption);
    left->setFont(Font::system(16));
    left->setTextAlignment(platform::ui::TextAlignment::Right);
    left->setBackgroundColor(platform::ui::Color::clear());
    root->addSubview(left);
    auto right = platform::ui::Label::create(Rect{120, y, 200, 30}, value);
    right->setFont(Font::system(16));
    right->setBackgroundColor(platform::ui::Color::clear());
    root->addSubview(right);
    valueLabels_.push_back(right);
    y += 35;
  }
  sureButton_ = ButtonCreater::bigButtonWithText("确定");
  auto frame = sureButton_->frame();
  sureButton_->setFrame(Rect{frame.x, y + 20, frame.width, frame.height});
  std::weak_ptr<TradeDetailViewController> weak =
      std::static_pointer_cast<TradeDetailViewController>(shared_from_this());
  sureButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](auto&) {
    if (auto s = weak.lock()) s->next();
  });
  root->addSubview(sureButton_);
}

void TradeDetailViewController::next() {
  // One commit at a time; after a lost answer the points may have moved: never again from here.
  if (commitRunning_ || outcomeOpen_) return;
  std::weak_ptr<TradeDetailViewController> weak =
      std::static_pointer_cast<TradeDetailViewController>(shared_from_this());
  swiperValid([weak](bool ready) {
    auto self = weak.lock();
    if (self && ready) self->commit();
  });
}

void TradeDetailViewController::commit() {
  if (commitRunning_ || outcomeOpen_) return;
  commitRunning_ = true;
  auto self = std::static_pointer_cast<TradeDetailViewController>(shared_from_this());
  SwipeVariantOperations::pointsCommit(postDatas_).spinner().start([self](ServerReply reply) {
    self->commitRunning_ = false;
    PointsReply read = SwipeVariantOperations::readPointsReply(reply, true);
    auto navigation = self->navigationController();
    switch (read.kind) {
      case PointsReply::Kind::Data: {
        auto result = TradeResultViewController::create();
        result->setRetData(read.data);
        result->setAccount(self->account_);
        if (navigation) navigation->push(result, true);
        break;
      }
      case PointsReply::Kind::OutcomeUnknown: {
        self->outcomeOpen_ = true;
        self->sureButton_->setEnabled(false);
        auto sid = ResultRows::text(self->retData_, "sid");
        auto page = SwipeTimeOutViewController::create(sid.empty() ? std::nullopt : std::optional<std::string>(sid),
                                                       std::nullopt);
        if (navigation) navigation->push(page, true);
        break;
      }
      case PointsReply::Kind::NetworkFailed:
        self->showPrompt(platform::Strings::localized("NetWord_Failed"));
        break;
      case PointsReply::Kind::Prompt:
        self->showPrompt(read.prompt);
        break;
      case PointsReply::Kind::Silent:
        break;
    }
  });
}

}  // namespace nvx
