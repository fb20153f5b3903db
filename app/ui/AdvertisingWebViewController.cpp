#include "app/ui/AdvertisingWebViewController.h"

namespace nvx {

std::shared_ptr<AdvertisingWebViewController> AdvertisingWebViewController::create() {
  return std::make_shared<AdvertisingWebViewController>();
}

void AdvertisingWebViewController::viewDidLoad() {
  NVXBaseWebViewController::viewDidLoad();
  if (notice_) {
    webView()->loadHTMLString(*notice_);
    return;
  }
  setUrl(adURL_);
  webView()->setScalesPageToFit(true);
}

void AdvertisingWebViewController::viewDidUnload() {
  NVXBaseWebViewController::viewDidUnload();
  adURL_.clear();
  notice_.reset();
}

void AdvertisingWebViewController::webViewDidFinishLoad(platform::ui::WebView& webView) {
  NVXBaseWebViewController::webViewDidFinishLoad(webView);
  setTitle(notice_ ? std::string(kNoticeTitle) : webView.stringByEvaluatingJavaScriptFromString("document.title"));
}

void AdvertisingWebViewController::webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) {
  NVXBaseWebViewController::webViewDidFailLoad(webView, error);
  setTitle(kFailedTitle);
}

}  // namespace nvx
