#include "app/ui/NVXBaseWebViewController.h"

#include "core/text/TextExt.h"
#include "core/text/UrlEscaping.h"
#include "app/ui/ButtonCreater.h"
#include "app/ui/ButtonExt.h"
#include "app/ui/HudExt.h"
#include "app/ui/ViewExt.h"
#include "platform/device/Pasteboard.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Log.h"
#include "platform/ui/BarButtonItem.h"

namespace nvx {

namespace {

using platform::ui::Button;
using platform::ui::Control;
using platform::ui::Rect;

constexpr const char* kTag = "NVXBaseWebViewController";

// The bottom bar's buttons: 22 x 24 at y 10.
constexpr double kButtonWidth = 22;
constexpr double kButtonHeight = 24;
constexpr double kButtonY = 10;

}  // namespace

NVXBaseWebViewController::~NVXBaseWebViewController() = default;

std::shared_ptr<NVXBaseWebViewController> NVXBaseWebViewController::create() {
  return std::make_shared<NVXBaseWebViewController>();
}

std::weak_ptr<platform::ui::WebViewDelegate> NVXBaseWebViewController::weakWebDelegate() {
  return std::static_pointer_cast<NVXBaseWebViewController>(shared_from_this());
}

void NVXBaseWebViewController::viewDidLoad() {
  NVXBaseViewController::viewDidLoad();
  auto root = view();
  std::weak_ptr<NVXBaseWebViewController> weak = std::static_pointer_cast<NVXBaseWebViewController>(shared_from_this());

  auto close = ButtonCreater::backBarButtonWithText(kCloseTitle);
  close->setExclusiveTouch(true);
  close->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](Control&) {
    if (auto screen = weak.lock()) screen->backButtonPressed();
  });
  navigationItem().setLeftBarButtonItem(platform::ui::BarButtonItem::withCustomView(close));

  activityView_ = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::White);
  activityView_->setFrame(Rect{0, 0, 25, 25});
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(activityView_));

  const Rect bounds = root->bounds();
  webView_ = platform::ui::WebView::create(Rect{0, 0, bounds.width, bounds.height - kBottomBarHeight});
  webView_->setBackgroundColor(platform::ui::Color::white());
  webView_->setScalesPageToFit(true);
  webView_->setDelegate(weakWebDelegate());
  root->addSubview(webView_);

  auto button = [&](double x, const char* normal, const char* selected, void (NVXBaseWebViewController::*action)()) {
    return ButtonExt::buttonWithFrame(Rect{x, kButtonY, kButtonWidth, kButtonHeight}, normal, selected, this,
                                      [weak, action](Control&) {
                                        if (auto screen = weak.lock()) ((*screen).*action)();
                                      });
  };
  previousBtn_ = button(35, "wv_left_normal.png", "wv_left_selected.png", &NVXBaseWebViewController::onWebNavigatorPrevious);
  forwardBtn_ = button(115, "wv_right_normal.png", "wv_right_selected.png", &NVXBaseWebViewController::onWebNavigatorForward);
  refreshBtn_ = button(195, "wv_renovate_normal.png", "wv_renovate_selected.png",
                       &NVXBaseWebViewController::onWebNavigatorRefresh);
  moreBtn_ = button(265, "wv_more_normal.png", "wv_more_selected.png", &NVXBaseWebViewController::onWebNavigatorMore);
  previousBtn_->setEnabled(false);
  forwardBtn_->setEnabled(false);

  moreSheet_ = platform::ui::ActionSheet::create("", std::string(kCancelTitle), std::nullopt,
                                                 {kOpenInBrowserTitle, kCopyLinkTitle});
  moreSheet_->setDelegate(weakSelf());

  bottomBar_ = ViewExt::colorViewWithFrame(Rect{0, bounds.height - kBottomBarHeight, bounds.width, kBottomBarHeight},
                                           platform::ui::Color::gray(0.5), 0.8);
  for (const auto& b : {previousBtn_, forwardBtn_, refreshBtn_, moreBtn_}) bottomBar_->addSubview(b);
  root->addSubview(bottomBar_);
}

void NVXBaseWebViewController::setUrl(std::string url) {
  url_ = std::move(url);
  if (text::isEmpty(url_) || !webView_) return;
  auto escaped = text::escapesUTF8Url(url_);
  if (!escaped) {
    platform::log::warning(kTag, "the address is not UTF-8 text; nothing is loaded");
    return;
  }
  webView_->loadRequest(platform::ui::WebRequest{*escaped});
}

void NVXBaseWebViewController::setActivityViewHidden(bool hidden) {
  if (!activityView_) return;
  if (hidden) {
    activityView_->stopAnimating();
    navigationItem().setRightBarButtonItem(nullptr);
  } else {
    navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(activityView_));
    activityView_->startAnimating();
  }
}

void NVXBaseWebViewController::updateLoadingStatus() {
  const bool loading = webView_ && webView_->isLoading();
  setActivityViewHidden(!loading);
  if (!refreshBtn_) return;
  if (loading) {
    ButtonExt::setNormalImage(*refreshBtn_, "wv_stop_renovate_normal.png", "wv_stop_renovate_selected.png");
  } else {
    ButtonExt::setNormalImage(*refreshBtn_, "wv_renovate_normal.png", "wv_renovate_selected.png");
  }
}

void NVXBaseWebViewController::onWebNavigatorPrevious() {
  if (webView_) webView_->goBack();
}

void NVXBaseWebViewController::onWebNavigatorForward() {
  if (webView_) webView_->goForward();
}

void NVXBaseWebViewController::onWebNavigatorRefresh() {
  if (webView_) {
    if (webView_->isLoading()) {
      webView_->stopLoading();
    } else {
      webView_->reload();
    }
  }
  updateLoadingStatus();
}

void NVXBaseWebViewController::onWebNavigatorMore() {
  if (moreSheet_) moreSheet_->showIn(*view());
}

void NVXBaseWebViewController::onOpenUrlInSafari() {
  if (text::isEmpty(url_)) return;
  platform::UrlOpener::shared().open(url_);
}

void NVXBaseWebViewController::onCopyUrlToPasteboard() {
  if (text::isEmpty(url_)) {
    HudExt::prompt(kCannotCopyPrompt);
    return;
  }
  HudExt::prompt(kCopiedPrompt);
  platform::Pasteboard::general().setString(url_);
}

bool NVXBaseWebViewController::webViewShouldStartLoad(platform::ui::WebView&, const platform::ui::WebRequest&,
                                                      platform::ui::WebNavigationType) {
  return true;
}

void NVXBaseWebViewController::webViewDidStartLoad(platform::ui::WebView&) { updateLoadingStatus(); }

void NVXBaseWebViewController::webViewDidFinishLoad(platform::ui::WebView& webView) {
  updateLoadingStatus();
  if (previousBtn_) previousBtn_->setEnabled(webView.canGoBack());
  if (forwardBtn_) forwardBtn_->setEnabled(webView.canGoForward());
}

void NVXBaseWebViewController::webViewDidFailLoad(platform::ui::WebView&, const platform::ui::WebError&) {
  updateLoadingStatus();
}

void NVXBaseWebViewController::actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& actionSheet, int index) {
  // Only the More sheet: the screen also receives the sheets of the base screen's contact picker.
  if (&actionSheet != moreSheet_.get()) return;
  if (index == kOpenInBrowserIndex) {
    onOpenUrlInSafari();
  } else if (index == kCopyLinkIndex) {
    onCopyUrlToPasteboard();
  }
}

}  // namespace nvx
