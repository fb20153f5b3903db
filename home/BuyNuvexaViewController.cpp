#include "home/BuyNuvexaViewController.h"

#include "app/ui/DownloadServerConfig.h"
#include "app/ui/MallProductScreen.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "core/text/StringsTool.h"
#include "home/HomeShopOperations.h"
#include "net/NetService.h"
#include "net/ParseTool.h"
#include "platform/device/Device.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Image.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

using platform::Strings;
using platform::ui::Button;
using platform::ui::Color;
using platform::ui::Hud;
using platform::ui::Rect;

constexpr const char* kTag = "BuyNuvexaViewController";

// The reply reader's text for a reply that went well (the localized "OK").
std::string readerOk() { return Strings::localized("OK"); }

void hideWindowOverlays() {
  if (auto window = AppServices::current().window()) Hud::hideAll(*window, true);
}

std::shared_ptr<platform::ui::View> navigationView(const platform::ui::ViewController& screen) {
  auto navigation = screen.navigationController();
  return navigation ? navigation->view() : nullptr;
}

std::shared_ptr<Button> shopButton(Rect frame, const char* normal, const char* down, const char* title) {
  auto button = Button::create(frame, platform::ui::ButtonType::Custom);
  button->setBackgroundImage(platform::ui::Image::named(normal));
  button->setBackgroundImage(platform::ui::Image::named(down), platform::ui::ControlState::Highlighted);
  button->setTitleFont(platform::ui::Font::system(16));
  button->setTitle(std::string(title));
  return button;
}

}  // namespace

std::shared_ptr<BuyNuvexaViewController> BuyNuvexaViewController::create() {
  return std::make_shared<BuyNuvexaViewController>();
}

BuyNuvexaViewController::~BuyNuvexaViewController() { cancelRunningRequest(); }

std::string BuyNuvexaViewController::purchasePageUrl() {
  return DownloadServerConfig::current().pageUrl(kPurchasePagePath);
}

void BuyNuvexaViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("BuySwipe"));

  activityView_ = platform::ui::ActivityIndicatorView::create(platform::ui::ActivityIndicatorStyle::White);
  navigationItem().setRightBarButtonItem(platform::ui::BarButtonItem::withCustomView(activityView_));
  activityView_->startAnimating();

  downLoadProduct();

  const auto& screen = platform::Device::screen().bounds;
  webView_ = platform::ui::WebView::create(Rect{0, 0, screen.width, screen.height - 20 - 44 - kButtonsHeight});
  webView_->setBackgroundColor(Color::clear());
  webView_->setOpaque(false);
  view()->addSubview(webView_);
}

void BuyNuvexaViewController::viewDidUnload() {
  cancelRunningRequest();
  webView_.reset();
  activityView_.reset();
  phoneButton_.reset();
  buyButton_.reset();
  productImageView_.reset();
  NVXViewController::viewDidUnload();
}

void BuyNuvexaViewController::cancelRunningRequest() {
  auto request = std::move(request_);
  request_.reset();
  if (!request) return;
  if (auto service = std::dynamic_pointer_cast<NetService>(request)) {
    service->cancelRequest();
  } else {
    request->cancel();
  }
}

// --- the product list --------------------------------------------------------------------------

void BuyNuvexaViewController::downLoadProduct() {
  cancelRunningRequest();
  // The request answers a screen that is still there; a screen that went has cancelled it.
  std::weak_ptr<BuyNuvexaViewController> weak = shopSelf();
  request_ = HomeShopOperations::getProductsList({[weak](ServerReply reply) {
                                                    auto screen = weak.lock();
                                                    if (!screen || reply.kind == FailureKind::Cancelled) return;
                                                    screen->request_.reset();
                                                    // No usable reply is the failure; any other
                                                    // reply, whatever its status, is read.
                                                    if (reply.kind == FailureKind::NotSent ||
                                                        reply.kind == FailureKind::OutcomeUnknown) {
                                                      screen->downLoadFailed();
                                                    } else {
                                                      screen->downLoadComplete(reply);
                                                    }
                                                  },
                                                  "getProductsList"});
}

void BuyNuvexaViewController::downLoadComplete(const ServerReply& reply) {
  if (activityView_) activityView_->stopAnimating();
  const platform::Json* list = reply.data();
  if (!list || !list->is_array() || list->empty()) return;
  for (const auto& element : *list) product_ = Product::fromJson(element);
  if (webView_) webView_->loadRequest(platform::ui::WebRequest{purchasePageUrl()});
  addButtons();
}

void BuyNuvexaViewController::addButtons() {
  if (!isViewLoaded()) return;
  std::weak_ptr<BuyNuvexaViewController> weak = shopSelf();
  phoneButton_ = shopButton(Rect{30, 340, 125, 43}, "phone.png", "phone_down.png", kPhoneTitle);
  phoneButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->makePhoneCall();
  });
  view()->addSubview(phoneButton_);
  if (AppServices::current().isOtherAppLaunching()) {
    auto frame = phoneButton_->frame();
    frame.width = kWidePhoneWidth;
    phoneButton_->setFrame(frame);
    return;
  }
  buyButton_ = shopButton(Rect{165, 340, 125, 43}, "tmall.png", "tmall_down.png", kBuyTitle);
  buyButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->tmall();
  });
  view()->addSubview(buyButton_);
}

void BuyNuvexaViewController::downLoadFailed() {
  if (activityView_) activityView_->stopAnimating();
  Product failed;
  failed.productDesc = kFailedDesc;
  product_ = std::move(failed);
  showPrompt(kFailedPrompt);
}

// --- the hotline -------------------------------------------------------------------------------

void BuyNuvexaViewController::makePhoneCall() {
  const std::string phone = product_ ? product_->buyPhone : std::string();
  // Shown as 3, 3 and the rest of its digits; a number of another length as the server gave it.
  const std::string title = StringsTool::phoneStringFormater(StringsTool::clearPhoneNumber(phone)).value_or(phone);
  auto sheet = platform::ui::ActionSheet::create(title, Strings::localized("Cancel"), Strings::localized("Call"));
  sheet->setDelegate(std::weak_ptr<platform::ui::ActionSheetDelegate>(shopSelf()));
  sheet->showIn(*view());
}

void BuyNuvexaViewController::actionSheetDidDismissWithButtonIndex(platform::ui::ActionSheet& /*actionSheet*/,
                                                                   int index) {
  if (index != kCallIndex) return;
  // Only the digits go into the address: a hotline written with separators or other characters
  // still dials, and nothing else reaches the dialler.
  const std::string digits = StringsTool::deleteStringOther(product_ ? product_->buyPhone : std::string());
  if (platform::UrlOpener::shared().open("tel:" + digits)) return;
  platform::ui::AlertView::create(Strings::localized("ServicePhone") + Strings::localized("BuyPhoneNumberText"),
                                  Strings::localized("NoPhone"), Strings::localized("Know"))
      ->show();
}

// --- the mall ----------------------------------------------------------------------------------

void BuyNuvexaViewController::tmall() { getNVXMallInfo(); }

void BuyNuvexaViewController::getNVXMallInfo() {
  if (auto window = AppServices::current().window()) {
    Hud::hideAll(*window, false);
    Hud::showOn(*window, false);
  }
  HomeShopOperations::getMall(HomeShopOperations::productIdAddress(), [self = shopSelf()](std::optional<std::string> body) {
    hideWindowOverlays();
    if (!body) {
      self->showPrompt(Strings::localized("NetworkConnectionFailed"));
      return;
    }
    std::string error;
    auto result = ParseTool::retDataWithResponseData(*body, self, &error);
    if (ParseTool::isTokenMarker(result)) return;
    if (error != readerOk() && error != Strings::localized("ReturnDataIsNil")) {
      if (!error.empty()) self->showPrompt(error);
      return;
    }
    // A reply without the id (no data, or data of another shape) leads nowhere.
    auto productId = result ? platform::json::text(*result, "value") : std::nullopt;
    if (!productId || productId->empty()) {
      platform::log::info(kTag, "the mall gave no reader product id");
      return;
    }
    self->getProductList(*productId);
  });
}

void BuyNuvexaViewController::getProductList(const std::string& productId) {
  if (auto overlayView = navigationView(*this)) Hud::showOn(*overlayView, true);
  HomeShopOperations::getMall(
      HomeShopOperations::productListAddress(), [self = shopSelf(), productId](std::optional<std::string> body) {
        auto overlayView = navigationView(*self);
        if (overlayView) Hud::hideAll(*overlayView, true);
        if (!body) {
          self->showPrompt(Strings::localized("NetworkConnectionFailed"));
          return;
        }
        std::string error;
        auto result = ParseTool::retDataWithResponseData(*body, self, &error);
        if (!result && error != readerOk()) {
          if (!error.empty()) self->showPrompt(error);
          return;
        }
        if (!result || !result->is_array()) return;
        for (const auto& element : *result) {
          const platform::Json* id = platform::json::member(element, "id");
          // A numeric id matches the same digits given as text.
          if (id && platform::json::asText(*id) == productId) {
            self->getDetail(productId, element);
            return;
          }
        }
      });
}

void BuyNuvexaViewController::getDetail(const std::string& productId, const platform::Json& simple) {
  auto reply = std::make_shared<std::optional<std::string>>();
  showSpinnerWhen(
      [reply, address = HomeShopOperations::productAddress(productId)] {
        *reply = HomeShopOperations::getMallSynchronously(address);
      },
      [self = shopSelf(), reply, simple] {
        std::string error;
        auto result = ParseTool::retDataWithResponseData(reply->value_or(std::string()), self, &error);
        if (auto overlayView = navigationView(*self)) Hud::hideAll(*overlayView, true);
        if (!result && error != readerOk()) {
          if (!error.empty()) self->showPrompt(error);
          return;
        }
        if (result && result->is_object()) self->openProductPage(*result, simple);
      });
}

void BuyNuvexaViewController::openProductPage(const platform::Json& detail, const platform::Json& simple) {
  auto page = ScreenRegistry::shared().create(MallProductScreen::kClassName);
  auto product = std::dynamic_pointer_cast<MallProductScreen>(page);
  if (!product) {
    if (page) platform::log::warning(kTag, "the registered product page takes no product");
    return;
  }
  product->setDetailDic(detail);
  product->setCartDic(simple);
  if (auto navigation = navigationController()) navigation->push(page, true);
}

// --- labels and the product header -------------------------------------------------------------

std::shared_ptr<platform::ui::Label> BuyNuvexaViewController::labelWithFrame(Rect frame, std::string title,
                                                                             Color color, double size) {
  auto label = platform::ui::Label::create(frame);
  label->setBackgroundColor(Color::clear());
  label->setTextAlignment(platform::ui::TextAlignment::Left);
  label->setTextColor(color);
  label->setFont(platform::ui::Font::system(size));
  label->setText(std::move(title));
  return label;
}

void BuyNuvexaViewController::resetMessage() {
  auto band = platform::ui::View::create(Rect{0, 0, 320, 104});
  band->setBackgroundColor(Color::white());
  view()->addSubview(band);
  downLoadImage();
  productImageView_ = platform::ui::ImageView::create(Rect{14, 14, 80, 80});
  band->addSubview(productImageView_);
  const Product shown = product_.value_or(Product{});
  band->addSubview(labelWithFrame(Rect{110, 18, 200, 28}, shown.productName, Color::gray(0.2), 18));
  band->addSubview(labelWithFrame(Rect{110, 48, 200, 15}, shown.productInfo1, Color::gray(0.6), 13));
}

void BuyNuvexaViewController::downLoadImage() {
  if (activityView_) activityView_->startAnimating();
  cancelRunningRequest();
  auto request = platform::net::HttpRequest::make(product_ ? product_->productImg : std::string());
  request->setTimeout(std::chrono::seconds(HomeShopOperations::kTimeoutSeconds));
  request_ = request;
  std::weak_ptr<BuyNuvexaViewController> weak = shopSelf();
  request->startAsynchronous(
      [weak](platform::net::HttpRequest& done) {
        if (auto screen = weak.lock()) {
          screen->request_.reset();
          screen->downImageComplete(done.responseData());
        }
      },
      [weak](platform::net::HttpRequest&) {
        if (auto screen = weak.lock()) {
          screen->request_.reset();
          screen->downImageFailed();
        }
      });
}

void BuyNuvexaViewController::downImageComplete(const std::string& data) {
  // Data that is no picture shows the resource picture, as a failed download does.
  auto picture = platform::ui::Image::fromBytes(data);
  if (!picture) picture = platform::ui::Image::named(kFallbackPicture);
  if (productImageView_) productImageView_->setImage(std::move(picture));
  if (activityView_) activityView_->stopAnimating();
}

void BuyNuvexaViewController::downImageFailed() {
  if (productImageView_) productImageView_->setImage(platform::ui::Image::named(kFallbackPicture));
  if (activityView_) activityView_->stopAnimating();
}

}  // namespace nvx
