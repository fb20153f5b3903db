// An advertisement or a pushed notice on the in-app browser: a notice (HTML text) is shown
// titled "公告"; otherwise the advert's address is loaded and the page's own title shows.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXBaseWebViewController.h"

namespace nvx {

class AdvertisingWebViewController : public NVXBaseWebViewController {
 public:
  static constexpr const char* kClassName = "AdvertisingWebViewController";
  static constexpr const char* kNoticeTitle = "公告";
  static constexpr const char* kFailedTitle = "加载失败";

  AdvertisingWebViewController() = default;
  static std::shared_ptr<AdvertisingWebViewController> create();

  std::string className() const override { return kClassName; }

  // The browser's set-up; then a notice, when set, is loaded as HTML and nothing else happens;
  // otherwise the advert's address is loaded, scaled to fit.
  void viewDidLoad() override;
  // Lets go of both texts.
  void viewDidUnload() override;
  // The browser's handling, then the title: "公告" for a notice, else the page's "document.title".
  void webViewDidFinishLoad(platform::ui::WebView& webView) override;
  // The browser's handling, then the title "加载失败".
  void webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) override;

  const std::string& adURL() const { return adURL_; }
  void setAdURL(std::string url) { adURL_ = std::move(url); }
  const std::optional<std::string>& notice() const { return notice_; }
  void setNotice(std::optional<std::string> html) { notice_ = std::move(html); }

 private:
  std::string adURL_;
  std::optional<std::string> notice_;
};

}  // namespace nvx
