#include "bills/InsuranceDetailViewController.h"

#include "app/ui/ButtonCreater.h"
#include "bills/InsuranceNewBillViewController.h"
#include "bills/InsuranceOperations.h"
#include "core/text/TextExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

using platform::Strings;
using platform::ui::Rect;

std::shared_ptr<InsuranceDetailViewController> InsuranceDetailViewController::initWithInsuranceDetailInfo(
    platform::Json insurance, bool isPromotion) {
  auto screen = std::make_shared<InsuranceDetailViewController>();
  screen->insurance_ = std::move(insurance);
  screen->isPromotion_ = isPromotion;
  return screen;
}

void InsuranceDetailViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  selectedIndex_ = 0;
  setTitle(Strings::localized("Ins_Detail"));
  auto value = [&](const char* key) { return InsuranceOperations::text(insurance_, key); };

  header_ = InsuranceDisplayView::initWithWillShowLine(false, isPromotion_);
  header_->setDescription(value("shortDescription"));
  header_->setTitle(value("isanceName"));
  header_->setPrice(value("isancePrice"));
  header_->setImageUrl(value("isanceSrc"));
  header_->setInsuranceId(value("isanceId"));
  header_->setOriginPrice(value("oldPrice"));
  header_->hideAllViewsBesideTitleAndPrice();
  view()->addSubview(header_);

  std::vector<std::string> titles;
  for (const char* key : {"buyReason", "proFeatures", "interest"}) titles.push_back(Strings::localized(key));
  // "isEmpty" counts a missing value, a value that is no text and one of blanks only.
  const auto extend = insurance_.find("extend01");
  if (!text::isEmpty(extend != insurance_.end() ? &*extend : nullptr)) titles.push_back(Strings::localized("extend01"));
  const double top = header_->frame().height;
  segments_ = CustomSegmentedControl::initWithFrame(Rect{0, top, 0, 0}, titles);
  segments_->setCenter({160, top + CustomSegmentedControl::kTabHeight / 2});
  segments_->setDelegate(std::weak_ptr<CustomSegmentedControlDelegate>(
      std::static_pointer_cast<InsuranceDetailViewController>(shared_from_this())));
  view()->addSubview(segments_);

  webView_ = platform::ui::WebView::create(Rect{10, top + CustomSegmentedControl::kTabHeight + 5, 300, 167});
  webView_->setBackgroundColor(platform::ui::Color::white());
  view()->addSubview(webView_);
  show(0);

  buyButton_ = ButtonCreater::bigButtonWithText(Strings::localized("Ins_Buy_Right_Now"));
  buyButton_->setExclusiveTouch(true);
  buyButton_->setCenter({160, webView_->frame().y + webView_->frame().height + 35});
  std::weak_ptr<InsuranceDetailViewController> weak =
      std::static_pointer_cast<InsuranceDetailViewController>(shared_from_this());
  buyButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->buyButtonTouched();
  });
  view()->addSubview(buyButton_);
}

void InsuranceDetailViewController::show(int index) {
  webView_->loadHTMLString(InsuranceOperations::text(insurance_, kTabKeys[index]));
}

void InsuranceDetailViewController::customSegmentedControl(CustomSegmentedControl&, int index) {
  if (index == selectedIndex_ || index < 0 || index > 3) return;
  show(index);
  selectedIndex_ = index;
}

void InsuranceDetailViewController::buyButtonTouched() {
  if (auto navigation = navigationController()) {
    navigation->push(InsuranceNewBillViewController::initwithInsuranceInfo(insurance_), true);
  }
}

}  // namespace nvx
