// The adverts of the home banner for this run: asked of the server once (the home screen asks
// when its view loads), or the client's local set when the server gives none, each with its
// picture cell. Cells are only ever appended; a banner built earlier shows later ones.
//
// Only a "0000" reply with adverts is saved (the app-data store's advert list) and shown; a
// failure, an error reply (whatever list it carries) or an empty list shows the local set of the
// current period and leaves the saved list as it was.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "home/Advertising.h"
#include "home/AdvertisingView.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

class AdvertisingManager {
 public:
  // The user-defaults keys of the two local sets: from 20 October 2013 on, and before.
  static constexpr const char* kLocalKey = "Advertising_local";
  static constexpr const char* kOldLocalKey = "Advertising_local1";
  // The campaign page the older local set opens.
  static constexpr const char* kOldCampaignAddress = "https://nuvexa.example/campaign";

  static AdvertisingManager& shareAdsManager();

  // Starts the advert request (the argument is not used).
  void downloadAdsDateFromURL(const std::string& unused = {});
  // Loads the local set of the current period (stored once per key, read back every time).
  void downloadLoacalData();
  // Appends a cell that downloads the advert's picture.
  void downloadImage(const std::shared_ptr<Advertising>& ad);
  // Appends a cell showing "home_ad_<adID>.jpg".
  void downloadLocalImage(const std::shared_ptr<Advertising>& ad);
  // A new banner over the cells.
  std::shared_ptr<AdvertisingView> myADViewFrame(platform::ui::Rect frame);
  // Pushes (animated) the advert web screen with the address.
  static void pushViewController(platform::ui::NavigationController& navigation, const std::string& address);

  const std::shared_ptr<AdvertisingCells>& ADImages() const { return adImages_; }
  const std::vector<std::shared_ptr<Advertising>>& adverts() const { return adverts_; }

 private:
  void showAdverts(const platform::Json& list);

  std::shared_ptr<AdvertisingCells> adImages_ = std::make_shared<AdvertisingCells>();
  std::vector<std::shared_ptr<Advertising>> adverts_;
};

}  // namespace nvx
