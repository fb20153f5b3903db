// A page of the service that needs to know who the user is: the user's coupons, or an advert
// page. While a user is logged in the address carries the login name and the user token,
// RSA-encrypted under the service's general key (one block, as upper-case hexadecimal digits).
//
// A white error view with a picture covers the page until a load starts and again after a load
// fails (an interrupted load excepted). On the coupons the back button walks back through the
// page history before it leaves; any other title gets a refresh button.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXBaseWebViewController.h"
#include "platform/ui/View.h"

namespace nvx {

class WalletCouponViewController : public NVXBaseWebViewController {
 public:
  static constexpr const char* kClassName = "WalletCouponViewController";
  static constexpr const char* kCouponTitle = "诺维萨优惠券";
  static constexpr const char* kBackTitle = "返回";
  static constexpr const char* kRefreshTitle = "刷新";
  static constexpr const char* kErrorPicture = "zmhs_error.png";
  static constexpr const char* kParamsQuery = "?encryptParams=";

  WalletCouponViewController() = default;
  static std::shared_ptr<WalletCouponViewController> create();

  std::string className() const override { return kClassName; }

  // The browser's set-up, the back button, the error view on top, the refresh button (not on the
  // coupons) and the load of the address.
  void viewDidLoad() override;
  // The refresh button, unless the title is "诺维萨优惠券".
  void creatRightButton();
  // Puts the error view behind the page and loads the page again.
  void reloadweb();
  // The coupons go back one page while there is one; otherwise the screen is popped.
  void backButtonPressed() override;

  void webViewDidStartLoad(platform::ui::WebView& webView) override;
  void webViewDidFinishLoad(platform::ui::WebView& webView) override;
  // The error view comes to the front unless the load was interrupted.
  void webViewDidFailLoad(platform::ui::WebView& webView, const platform::ui::WebError& error) override;

  // The address to load: with a user logged in, couponUrl + "?encryptParams=" + the encrypted
  // "login name|user token"; otherwise couponUrl. Nothing when the parameters cannot be
  // encrypted (the page then stays unloaded rather than open without them).
  static std::optional<std::string> addressFor(const std::string& couponUrl);

  const std::string& couponUrl() const { return couponUrl_; }
  void setCouponUrl(std::string url) { couponUrl_ = std::move(url); }
  const std::shared_ptr<platform::ui::View>& errorView() const { return errorView_; }
  void setErrorView(std::shared_ptr<platform::ui::View> view) { errorView_ = std::move(view); }
  // Whether the error view lies over the page now.
  bool isErrorViewShown() const;

 private:
  std::string couponUrl_;
  std::shared_ptr<platform::ui::View> errorView_;
};

}  // namespace nvx
