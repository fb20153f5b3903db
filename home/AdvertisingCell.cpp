#include "home/AdvertisingCell.h"

namespace nvx {

AdvertisingCell::AdvertisingCell() : AsynImageView(kFrame, false) {}

std::shared_ptr<AdvertisingCell> AdvertisingCell::initWithImageName(const std::string& name,
                                                                   std::shared_ptr<Advertising> ad) {
  auto cell = std::make_shared<AdvertisingCell>();
  cell->adDate_ = std::move(ad);
  cell->setDefaultImageName(name);
  cell->showFallback();
  return cell;
}

std::shared_ptr<AdvertisingCell> AdvertisingCell::initWithImageUrl(const std::string& address,
                                                                  std::shared_ptr<Advertising> ad) {
  auto cell = std::make_shared<AdvertisingCell>();
  const int type = ad ? ad->adType : 0;
  cell->adDate_ = std::move(ad);
  cell->setDefaultImageName(localPictureFor(type, Advertising::isNewLocalPeriod()));
  cell->showFallback();
  cell->setDelegate(std::static_pointer_cast<AsynImageViewDelegate>(cell));
  cell->setImageUrl(address);
  return cell;
}

std::string AdvertisingCell::localPictureFor(int adType, bool newPeriod) {
  if (newPeriod) return adType == 4 ? "home_ad_1.jpg" : "home_ad_0.jpg";
  switch (adType) {
    case 1:
    case 2:
      return "home_ad_2.jpg";
    case 3:
    case 4:
    case 6:
      return "home_ad_3.jpg";
    default:
      return {};
  }
}

int AdvertisingCell::adTypeIfLoadLocalResource() const {
  const std::string& name = defaultImageName();
  if (name == "home_ad_1.jpg") return 4;
  if (name == "home_ad_2.jpg") return 6;
  if (name == "home_ad_3.jpg") return 7;
  return 1;
}

void AdvertisingCell::showFallback() {
  setImage(defaultImageName().empty() ? std::nullopt : platform::ui::Image::named(defaultImageName()));
  isDefault_ = true;
}

void AdvertisingCell::AsynImageViewDidFinished(AsynImageView&, const std::optional<platform::ui::Image>& image) {
  if (!image) {
    showFallback();
    return;
  }
  setImage(image);
  isDefault_ = false;
}

void AdvertisingCell::AsynImageViewDidFailed(AsynImageView&) { showFallback(); }

}  // namespace nvx
