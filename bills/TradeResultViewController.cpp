#include "bills/TradeResultViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/TradeDetailViewController.h"
#include "pay/ResultRows.h"
#include "platform/ui/Color.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::ui::Font;
using platform::ui::Rect;

void TradeResultViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(nullptr);
  navigationItem().setHidesBackButton(true);

  auto root = view();
  auto card = ResultRows::card(Rect{10, 10, 300, 260});
  root->addSubview(card);
  auto icon = platform::ui::ImageView::create(Rect{60, 12, 30, 30});
  icon->setImage(platform::ui::Image::named("pay-done.png"));
  card->addSubview(icon);
  auto heading = platform::ui::Label::create(Rect{100, 15, 180, 25}, kDoneText);
  heading->setFont(Font::boldSystem(18));
  heading->setBackgroundColor(platform::ui::Color::clear());
  card->addSubview(heading);
  auto line = platform::ui::View::create(Rect{10, 50, 280, 1});
  line->setBackgroundColor(ResultRows::borderColor());
  card->addSubview(line);

  using Detail = TradeDetailViewController;
  const std::vector<std::pair<std::string, std::string>> rows{
      {"交易流水号：", ResultRows::text(retData_, "sysref")},
      {"归集账号：", account_},
      {"付款会员卡：", ResultRows::text(retData_, "pan")},
      {"归集数量：", Detail::formatPoints(Detail::replyPoints(retData_, "amount"))},
      {"服务积分：", Detail::formatPoints(Detail::replyPoints(retData_, "fee"))},
      {"刷卡积分：", Detail::formatPoints(Detail::replyPoints(retData_, "price"))},
  };
  double y = 60;
  valueLabels_.clear();
  for (const auto& [caption, value] : rows) {
    auto left = ResultRows::labelWithFrame(Rect{0, y, 110, 20}, caption);
    left->setTextAlignment(platform::ui::TextAlignment::Right);
    card->addSubview(left);
    auto right = ResultRows::labelWithFrame(Rect{115, y, 180, 20}, value);
    card->addSubview(right);
    valueLabels_.push_back(right);
    y += 30;
  }

  sureButton_ = ButtonCreater::bigButtonWithText("确定");
  auto frame = sureButton_->frame();
  sureButton_->setFrame(Rect{frame.x, 285, frame.width, frame.height});
  std::weak_ptr<TradeResultViewController> weak = std::static_pointer_cast<TradeResultViewController>(shared_from_this());
  sureButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](auto&) {
    if (auto s = weak.lock()) s->sure();
  });
  root->addSubview(sureButton_);
}

void TradeResultViewController::sure() {
  if (auto navigation = navigationController()) (void)navigation->popToRoot(true);
}

}  // namespace nvx
