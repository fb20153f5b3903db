#include "bills/SZRentCarViewContrllerViewController.h"

#include "bills/CarRentalConfig.h"
#include "bills/CarRentalLink.h"
#include "core/crypto/DESUtil.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

constexpr const char* kTag = "car-rental";

}  // namespace

void SZRentCarViewContrllerViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  zucheWeb_ = platform::ui::WebView::create(view()->bounds());
  zucheWeb_->setOpaque(false);
  zucheWeb_->setBackgroundColor(platform::ui::Color::clear());
  zucheWeb_->setScalesPageToFit(true);
  zucheWeb_->setDataDetectorTypes(platform::ui::WebDataDetector::All);
  auto self = std::static_pointer_cast<SZRentCarViewContrllerViewController>(shared_from_this());
  zucheWeb_->setDelegate(std::weak_ptr<platform::ui::WebViewDelegate>(self));
  view()->addSubview(zucheWeb_);

  std::weak_ptr<SZRentCarViewContrllerViewController> weak = self;
  platform::dispatchAfter(platform::secs(kLoadDelaySeconds), [weak] {
    if (auto screen = weak.lock()) screen->loadSeatWeb();
  });
}

void SZRentCarViewContrllerViewController::viewWillAppear(bool animated) {
  platform::ui::ViewController::viewWillAppear(animated);
  if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, true);
}

std::optional<std::string> SZRentCarViewContrllerViewController::pageAddress(const std::string& loginName) {
  auto cipher = DESUtil::TripleDES(loginName, CarRentalConfig::kPartnerKey, CipherOperation::Encrypt);
  if (!cipher) return std::nullopt;
  return CarRentalConfig::current().partnerSite() + CarRentalConfig::kIndexPath + StringsTool::encodeURL(*cipher);
}

void SZRentCarViewContrllerViewController::loadSeatWeb() {
  auto address = pageAddress(User::currentUser().loginName());
  if (!address) {
    // Only a login name that is not UTF-8 could fail here; the page is not opened without it.
    platform::log::warning(kTag, "the login name could not be encrypted for the partner");
    return;
  }
  zucheWeb_->loadRequest(platform::ui::WebRequest{*address});
}

bool SZRentCarViewContrllerViewController::webViewShouldStartLoad(platform::ui::WebView&,
                                                                   const platform::ui::WebRequest& request,
                                                                   platform::ui::WebNavigationType) {
  const CarRentalLink link = CarRentalLink::read(request.url);
  switch (link.kind) {
    case CarRentalLink::Kind::Load:
      return true;
    case CarRentalLink::Kind::Ignore:
      break;
    case CarRentalLink::Kind::Close:
      if (auto navigation = navigationController()) navigation->pop(true);
      break;
    case CarRentalLink::Kind::ServiceSite: {
      // After this handler has answered: the web view starts the new load on its own.
      std::weak_ptr<SZRentCarViewContrllerViewController> weak =
          std::static_pointer_cast<SZRentCarViewContrllerViewController>(shared_from_this());
      platform::dispatchMain([weak] {
        if (auto screen = weak.lock()) {
          screen->zucheWeb_->loadRequest(platform::ui::WebRequest{CarRentalConfig::current().serviceSite()});
        }
      });
      break;
    }
    case CarRentalLink::Kind::Call:
      offerCall(link.mobile);
      break;
  }
  return false;
}

void SZRentCarViewContrllerViewController::offerCall(const std::string& number) {
  mobileNum_ = number;
  // The alert names the number the dialler will get.
  auto alert = platform::ui::AlertView::create("", kCallPrefix + number, std::string("取消"), {"确定"});
  alert->setTag(kCallAlertTag);
  std::weak_ptr<SZRentCarViewContrllerViewController> weak =
      std::static_pointer_cast<SZRentCarViewContrllerViewController>(shared_from_this());
  alert->setOnClicked([weak](platform::ui::AlertView& shown, int index) {
    auto screen = weak.lock();
    if (!screen || index == shown.cancelButtonIndex()) return;
    platform::ui::Application::shared().openURL("tel:" + screen->mobileNum_);
  });
  alert->show();
}

void SZRentCarViewContrllerViewController::webViewDidFailLoad(platform::ui::WebView&, const platform::ui::WebError&) {
  auto alert = platform::ui::AlertView::create("", kNetworkFailedMessage, std::string("确定"));
  std::weak_ptr<SZRentCarViewContrllerViewController> weak =
      std::static_pointer_cast<SZRentCarViewContrllerViewController>(shared_from_this());
  alert->setOnClicked([weak](platform::ui::AlertView&, int) {
    auto screen = weak.lock();
    if (!screen || screen->zucheWeb_->canGoBack()) return;
    if (auto navigation = screen->navigationController()) navigation->pop(true);
  });
  alert->show();
}

}  // namespace nvx
