// The client's in-app browser: a web view above a bottom bar of back, forward, refresh/stop and
// More buttons, a spinner in the navigation bar while a page loads, and a More sheet that opens
// the address in the phone's browser or copies it. Feature screens (fee rules, help pages,
// agreements, partner pages) derive from it and open a page with setUrl.
//
// The address copied or opened is always the one given to setUrl, not the page reached by
// following links afterwards. A page starts loading only when the address is set once the view
// exists (from viewDidLoad or later).
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXBaseViewController.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/WebView.h"

namespace nvx {

class NVXBaseWebViewController : public NVXBaseViewController, public platform::ui::WebViewDelegate {
 public:
  static constexpr const char* kClassName = "NVXBaseWebViewController";
  static constexpr const char* kCloseTitle = "关闭";
  static constexpr const char* kOpenInBrowserTitle = "手机浏览器打开";
  static constexpr const char* kCopyLinkTitle = "复制链接";
  static constexpr const char* kCancelTitle = "取消";
  static constexpr const char* kCopiedPrompt = "已复制到剪贴板";
  static constexpr const char* kCannotCopyPrompt = "无法复制链接";
  static constexpr double kBottomBarHeight = 44;
  // The More sheet's buttons.
  static constexpr int kOpenInBrowserIndex = 0;
  static constexpr int kCopyLinkIndex = 1;

  NVXBaseWebViewController() = default;
  ~NVXBaseWebViewController() override;
  static std::shared_ptr<NVXBaseWebViewController> create();

  std::string className() const override { return kClassName; }

  // The base screen's set-up, then the close button, the spinner, the web view, the bottom bar
  // and the More sheet.
  void viewDidLoad() override;

  // Keeps the address; when it is not empty and the view exists, loads it percent-escaped as
  // UTF-8.
  void setUrl(std::string url);
  const std::string& url() const { return url_; }

  // YES: the spinner stops and leaves the navigation bar; NO: it is the right bar button and spins.
  void setActivityViewHidden(bool hidden);
  // The spinner and the refresh button's pictures (stop while loading) follow the web view.
  void updateLoadingStatus();

  // --- the bottom bar ---
  void onWebNavigatorPrevious();
  void onWebNavigatorForward();
  // Stops a running load, else reloads; then updateLoadingStatus.
  void onWebNavigatorRefresh();
  // Shows the More sheet over the screen's view.
  void onWebNavigatorMore();
  // The address as it was given (not escaped) to the phone's browser; nothing when empty.
  virtual void onOpenUrlInSafari();
  // The address onto the general pasteboard with the prompt "已复制到剪贴板"; when empty only the
  // prompt "无法复制链接".
  virtual void onCopyUrlToPasteboard();
  void popMenuAnimated() {}

  // --- web view receiver ---
  // Every request may load.
  bool webViewShouldStartLoad(platform::ui::WebView& webView, const platform::ui::WebRequest& request,
                              platform::ui::WebNavigationType type) override;
  void webViewDidStartLoad(platform::ui::WebView& webView) override;
  // updateLoadingStatus, then back and forward are enabled exactly as the web view can go.
  void webViewDidFinishLoad(platform::ui::WebView& webView) override;
  void webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) override;

  // --- action-sheet receiver: the More sheet ---
  void actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& actionSheet, int index) override;

  // --- fields ---
  const std::shared_ptr<platform::ui::ActivityIndicatorView>& activityView() const { return activityView_; }
  void setActivityView(std::shared_ptr<platform::ui::ActivityIndicatorView> v) { activityView_ = std::move(v); }
  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }
  void setWebView(std::shared_ptr<platform::ui::WebView> v) { webView_ = std::move(v); }
  const std::shared_ptr<platform::ui::ActionSheet>& moreSheet() const { return moreSheet_; }
  void setMoreSheet(std::shared_ptr<platform::ui::ActionSheet> v) { moreSheet_ = std::move(v); }
  const std::shared_ptr<platform::ui::Button>& previousBtn() const { return previousBtn_; }
  void setPreviousBtn(std::shared_ptr<platform::ui::Button> v) { previousBtn_ = std::move(v); }
  const std::shared_ptr<platform::ui::Button>& forwardBtn() const { return forwardBtn_; }
  void setForwardBtn(std::shared_ptr<platform::ui::Button> v) { forwardBtn_ = std::move(v); }
  const std::shared_ptr<platform::ui::Button>& refreshBtn() const { return refreshBtn_; }
  void setRefreshBtn(std::shared_ptr<platform::ui::Button> v) { refreshBtn_ = std::move(v); }
  const std::shared_ptr<platform::ui::Button>& moreBtn() const { return moreBtn_; }
  void setMoreBtn(std::shared_ptr<platform::ui::Button> v) { moreBtn_ = std::move(v); }
  const std::shared_ptr<platform::ui::View>& bottomBar() const { return bottomBar_; }
  void setBottomBar(std::shared_ptr<platform::ui::View> v) { bottomBar_ = std::move(v); }

 protected:
  // This screen as the web view's receiver (not owned by the web view).
  std::weak_ptr<platform::ui::WebViewDelegate> weakWebDelegate();

 private:
  std::shared_ptr<platform::ui::ActivityIndicatorView> activityView_;
  std::shared_ptr<platform::ui::WebView> webView_;
  std::shared_ptr<platform::ui::ActionSheet> moreSheet_;
  std::shared_ptr<platform::ui::Button> previousBtn_;
  std::shared_ptr<platform::ui::Button> forwardBtn_;
  std::shared_ptr<platform::ui::Button> refreshBtn_;
  std::shared_ptr<platform::ui::Button> moreBtn_;
  std::shared_ptr<platform::ui::View> bottomBar_;
  std::string url_;
};

}  // namespace nvx
