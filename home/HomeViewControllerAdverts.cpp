// The home screen's advert banner: the shared advert manager asks for the adverts once per run,
// the banner sits under the navigation bar, and a tapped advert goes to the home screen's
// advert dispatch with what the cell shows.
#include "home/AdvertisingManager.h"
#include "home/HomeViewController.h"

namespace nvx {

namespace {

class BannerTaps : public AdvertisingDelegate {
 public:
  explicit BannerTaps(std::weak_ptr<HomeViewController> home) : home_(std::move(home)) {}
  void advertisingViewClickedAd(AdvertisingView&, AdvertisingCell& cell) override {
    auto home = home_.lock();
    if (!home) return;
    AdvertTap tap;
    tap.isDefault = cell.isDefault();
    tap.defaultKind = cell.adTypeIfLoadLocalResource();
    if (const auto& ad = cell.adDate()) {
      tap.adType = ad->adType;
      tap.adNote = ad->adNote;
      tap.adUrl = ad->adUrl;
      tap.adContent = ad->adContent;
      tap.adID = ad->adID;
    }
    home->advertisingViewClickedAd(tap);
  }

 private:
  std::weak_ptr<HomeViewController> home_;
};

}  // namespace

void HomeViewController::showAdvertBanner() {
  auto& manager = AdvertisingManager::shareAdsManager();
  manager.downloadAdsDateFromURL();
  adView_ = manager.myADViewFrame(platform::ui::Rect{0, -1, AdvertisingView::kPageWidth, AdvertisingView::kHeight});
  adTaps_ = std::make_shared<BannerTaps>(self());
  adView_->setAdDelegate(adTaps_);
  animateView_->addSubview(adView_);
}

}  // namespace nvx
