#include "home/WalletCouponViewController.h"

#include <algorithm>

#include "app/ui/ButtonCreater.h"
#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "platform/foundation/Log.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

using platform::ui::Control;
using platform::ui::Rect;

constexpr const char* kTag = "WalletCouponViewController";

}  // namespace

std::shared_ptr<WalletCouponViewController> WalletCouponViewController::create() {
  return std::make_shared<WalletCouponViewController>();
}

std::optional<std::string> WalletCouponViewController::addressFor(const std::string& couponUrl) {
  const User& user = User::currentUser();
  if (!user.isLogined()) return couponUrl;
  auto params = EncryptTool::getRSAEncryptionKeyFromString(user.loginName() + "|" + user.userToken());
  if (!params) {
    platform::log::warning(kTag, "the user's parameters could not be encrypted; the page is not loaded");
    return std::nullopt;
  }
  return couponUrl + kParamsQuery + *params;
}

void WalletCouponViewController::viewDidLoad() {
  NVXBaseWebViewController::viewDidLoad();
  auto root = view();
  std::weak_ptr<WalletCouponViewController> weak = std::static_pointer_cast<WalletCouponViewController>(shared_from_this());

  auto back = ButtonCreater::backBarButtonWithText(kBackTitle);
  back->setExclusiveTouch(true);
  back->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](Control&) {
    if (auto screen = weak.lock()) screen->backButtonPressed();
  });
  navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(back));

  errorView_ = platform::ui::View::create(root->bounds());
  errorView_->setBackgroundColor(platform::ui::Color::white());
  auto picture = platform::ui::ImageView::create(Rect{85, 70, 150, 140});
  picture->setImage(platform::ui::Image::named(kErrorPicture));
  errorView_->addSubview(picture);
  root->addSubview(errorView_);

  if (auto web = webView()) {
    web->setBackgroundColor(platform::ui::Color::white());
    web->setScalesPageToFit(true);
  }
  creatRightButton();

  if (auto address = addressFor(couponUrl_)) setUrl(*address);
}

void WalletCouponViewController::creatRightButton() {
  if (title() == kCouponTitle) return;
  auto refresh = ButtonCreater::barButtonWithText(kRefreshTitle);
  refresh->setTitleColor(platform::ui::Color::white());
  std::weak_ptr<WalletCouponViewController> weak = std::static_pointer_cast<WalletCouponViewController>(shared_from_this());
  refresh->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](Control&) {
    if (auto screen = weak.lock()) screen->reloadweb();
  });
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(refresh));
}

void WalletCouponViewController::reloadweb() {
  if (errorView_ && isViewLoaded()) view()->sendSubviewToBack(*errorView_);
  if (auto web = webView()) web->reload();
}

void WalletCouponViewController::backButtonPressed() {
  auto web = webView();
  if (title() == kCouponTitle && web && web->canGoBack()) {
    web->goBack();
    return;
  }
  if (auto navigation = navigationController()) navigation->pop(true);
}

void WalletCouponViewController::webViewDidStartLoad(platform::ui::WebView& webView) {
  if (errorView_ && isViewLoaded()) view()->sendSubviewToBack(*errorView_);
  NVXBaseWebViewController::webViewDidStartLoad(webView);
}

void WalletCouponViewController::webViewDidFinishLoad(platform::ui::WebView& webView) {
  NVXBaseWebViewController::webViewDidFinishLoad(webView);
}

void WalletCouponViewController::webViewDidFailLoad(platform::ui::WebView& webView,
                                                    const platform::ui::WebError& error) {
  NVXBaseWebViewController::webViewDidFailLoad(webView, error);
  if (error.code == platform::ui::WebErrorCode::FrameLoadInterrupted) return;
  if (errorView_ && isViewLoaded()) view()->bringSubviewToFront(*errorView_);
}

bool WalletCouponViewController::isErrorViewShown() const {
  auto root = viewIfLoaded();
  auto web = webView();
  if (!root || !errorView_ || !web) return false;
  const auto& views = root->subviews();
  auto at = [&](const std::shared_ptr<platform::ui::View>& v) { return std::find(views.begin(), views.end(), v); };
  return at(errorView_) != views.end() && at(errorView_) > at(web);
}

}  // namespace nvx
