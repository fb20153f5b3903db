// The reader shop: the service's reader-purchase web page with two buttons under it, one that
// offers to call the sales hotline and one that opens the reader product in the mall.
//
// The product list (the hotline comes from its last product) is asked for when the view loads;
// the request is cancelled when the screen goes or its view is unloaded. The mall road (the
// reader product's id, the mall list, the product) keeps the screen until each step has answered,
// then pushes the mall's product page, which is reached by its class name.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/NVXViewController.h"
#include "home/Product.h"
#include "net/ServerReply.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/WebView.h"

namespace nvx {

class BuyNuvexaViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "BuyNuvexaViewController";
  // The reader-purchase page on the service's web server.
  static constexpr const char* kPurchasePagePath = "/nvxmbl/html/buy_swiper.html";
  static constexpr const char* kFailedDesc = "下载信息失败";
  static constexpr const char* kFailedPrompt = "信息获取失败";
  static constexpr const char* kPhoneTitle = "    拨打电话";
  static constexpr const char* kBuyTitle = "立即购买";
  // Height the page leaves for the buttons under it (besides the status and navigation bars).
  static constexpr double kButtonsHeight = 86;
  // The phone button alone (another app opened the client).
  static constexpr double kWidePhoneWidth = 260;
  // The call sheet's Call button (destructive, so first).
  static constexpr int kCallIndex = 0;
  static constexpr const char* kFallbackPicture = "product.png";

  BuyNuvexaViewController() = default;
  // Cancels the product list request still running.
  ~BuyNuvexaViewController() override;
  static std::shared_ptr<BuyNuvexaViewController> create();

  std::string className() const override { return kClassName; }

  // Title, the spinning indicator, the product list request, the web view.
  void viewDidLoad() override;
  // Cancels the product list request and lets the views go.
  void viewDidUnload() override;

  // --- the product list ---
  void downLoadProduct();
  // A reply arrived: the last product of a "0000" reply with a non-empty list stays; then the
  // purchase page and the buttons. Any other reply leaves only the stopped indicator.
  void downLoadComplete(const ServerReply& reply);
  // No reply: a product that says so, and the prompt "信息获取失败".
  void downLoadFailed();

  // --- the hotline ---
  // The sheet titled with the hotline, Cancel and Call.
  void makePhoneCall();
  // Call: dials the hotline's digits; a phone that cannot dial says so in an alert.
  void actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& actionSheet, int index) override;

  // --- the mall ---
  void tmall();
  // Asks the mall for the reader product's id.
  void getNVXMallInfo();
  // Finds the product of that id in the mall's list.
  void getProductList(const std::string& productId);
  // Fetches the product (behind the blocking spinner) and opens the mall's product page.
  void getDetail(const std::string& productId, const platform::Json& simple);

  // A clear, left-aligned label in the system font of that size.
  static std::shared_ptr<platform::ui::Label> labelWithFrame(platform::ui::Rect frame, std::string title,
                                                             platform::ui::Color color, double size);

  // --- the product header (offered; the screen does not show it by itself) ---
  // A white band with the product's picture, name and first description.
  void resetMessage();
  void downLoadImage();
  void downImageComplete(const std::string& data);
  void downImageFailed();

  // The reader-purchase page's address.
  static std::string purchasePageUrl();

  // --- fields ---
  const std::optional<Product>& currentProduct() const { return product_; }
  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }
  const std::shared_ptr<platform::ui::ActivityIndicatorView>& activityView() const { return activityView_; }
  const std::shared_ptr<platform::ui::Button>& phoneButton() const { return phoneButton_; }
  const std::shared_ptr<platform::ui::Button>& buyButton() const { return buyButton_; }
  const std::shared_ptr<platform::ui::ImageView>& productImageView() const { return productImageView_; }
  // The product list or picture request under way, if any.
  const std::shared_ptr<platform::net::HttpRequest>& runningRequest() const { return request_; }

 protected:
  std::shared_ptr<BuyNuvexaViewController> shopSelf() {
    return std::static_pointer_cast<BuyNuvexaViewController>(shared_from_this());
  }

 private:
  void cancelRunningRequest();
  void addButtons();
  // The product page with the mall's product reply and the list entry, pushed.
  void openProductPage(const platform::Json& detail, const platform::Json& simple);

  std::optional<Product> product_;
  std::shared_ptr<platform::net::HttpRequest> request_;
  std::shared_ptr<platform::ui::WebView> webView_;
  std::shared_ptr<platform::ui::ActivityIndicatorView> activityView_;
  std::shared_ptr<platform::ui::Button> phoneButton_;
  std::shared_ptr<platform::ui::Button> buyButton_;
  std::shared_ptr<platform::ui::ImageView> productImageView_;
};

}  // namespace nvx
