// The picture of one advert in the home banner, 320 by 98 points: a local picture of the client,
// or a downloaded one with a local picture shown until (and unless) the download brings one.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/AsynImageView.h"
#include "home/Advertising.h"

namespace nvx {

class AdvertisingCell : public AsynImageView, public AsynImageViewDelegate {
 public:
  static constexpr platform::ui::Rect kFrame{0, 0, 320, 98};

  AdvertisingCell();
  // The resource picture of that name, which is also the fallback; isDefault.
  static std::shared_ptr<AdvertisingCell> initWithImageName(const std::string& name, std::shared_ptr<Advertising> ad);
  // Downloads the address (no picture cache); meanwhile, and when the download brings no
  // picture, the local picture of the advert's period and type (see localPictureFor).
  static std::shared_ptr<AdvertisingCell> initWithImageUrl(const std::string& address, std::shared_ptr<Advertising> ad);
  // The local picture of a downloaded advert: from 20 October 2013 "home_ad_1.jpg" for type 4
  // and "home_ad_0.jpg" for others; before, "home_ad_2.jpg" for types 1 and 2, "home_ad_3.jpg"
  // for 3, 4 and 6, none for others.
  static std::string localPictureFor(int adType, bool newPeriod);

  // The action kind of a cell still on its local picture: 4 for "home_ad_1.jpg", 6 for
  // "home_ad_2.jpg", 7 for "home_ad_3.jpg", 1 for any other.
  int adTypeIfLoadLocalResource() const;
  bool isDefaultImage() const { return defaultImageName() == "home_ad_0.jpg"; }
  bool isBussinessImage() const { return defaultImageName() == "home_ad_0.jpg"; }
  bool isAdNotice() const { return defaultImageName() == "home_ad_1.jpg"; }

  const std::shared_ptr<Advertising>& adDate() const { return adDate_; }
  // Whether the cell shows its local picture (no downloaded one yet, or the download failed).
  bool isDefault() const { return isDefault_; }

  void AsynImageViewDidFinished(AsynImageView& view, const std::optional<platform::ui::Image>& image) override;
  void AsynImageViewDidFailed(AsynImageView& view) override;

  std::string kind() const override { return "AdvertisingCell"; }

 private:
  void showFallback();

  std::shared_ptr<Advertising> adDate_;
  bool isDefault_ = true;
};

}  // namespace nvx
