// The car-rental partner's mobile site inside the client. The user's login name goes to the
// partner Triple-DES-encrypted under the agreed key, Base64 and fully escaped, in the page
// address; the partner's pages talk back through links of the client's own scheme (close the
// page, show the service's site, offer to call a number). The client's navigation bar is hidden
// while the page is shown: the page itself offers the way back.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/WebView.h"

namespace nvx {

class SZRentCarViewContrllerViewController : public NVXViewController, public platform::ui::WebViewDelegate {
 public:
  static constexpr const char* kClassName = "SZRentCarViewContrllerViewController";
  static constexpr const char* kTitle = "租车服务";
  static constexpr const char* kCallPrefix = "呼叫";
  static constexpr int kCallAlertTag = 9999;
  // The wait between the view's loading and the first page's request.
  static constexpr double kLoadDelaySeconds = 0.05;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;
  // Hides the navigation bar; nothing else (the reader stays with the screen below).
  void viewWillAppear(bool animated) override;

  // The partner's start page for the login name of the session.
  static std::optional<std::string> pageAddress(const std::string& loginName);
  void loadSeatWeb();

  bool webViewShouldStartLoad(platform::ui::WebView& webView, const platform::ui::WebRequest& request,
                              platform::ui::WebNavigationType type) override;
  void webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) override;

  const std::shared_ptr<platform::ui::WebView>& zucheWeb() const { return zucheWeb_; }
  const std::string& mobileNum() const { return mobileNum_; }

 private:
  void offerCall(const std::string& number);

  std::shared_ptr<platform::ui::WebView> zucheWeb_;
  std::string mobileNum_;
};

}  // namespace nvx
