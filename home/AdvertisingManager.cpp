#include "home/AdvertisingManager.h"

#include <cstdio>

#include "app/ui/AdvertisingWebViewController.h"
#include "core/session/NVXData.h"
#include "home/HomeThemeOperations.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "AdvertisingManager";

std::shared_ptr<Advertising> makeAd(int32_t id, int32_t type, std::string note) {
  auto ad = std::make_shared<Advertising>();
  ad->adID = id;
  ad->adType = type;
  ad->adNote = std::move(note);
  return ad;
}

// The built-in local set of a period.
std::vector<std::shared_ptr<Advertising>> builtInSet(bool newPeriod) {
  if (newPeriod) {
    auto second = makeAd(1, 4, "Advertising3");
    second->adContent = platform::Strings::localized("Advertising3");
    return {makeAd(0, 1, "B00001"), second};
  }
  auto first = makeAd(2, 6, "B00001");
  first->adUrl = AdvertisingManager::kOldCampaignAddress;
  return {first, makeAd(3, 6, "110001")};
}

}  // namespace

AdvertisingManager& AdvertisingManager::shareAdsManager() { return platform::Process::current().shared<AdvertisingManager>(); }

void AdvertisingManager::downloadAdsDateFromURL(const std::string&) {
  HomeThemeOperations::getAdverTisement([](std::optional<platform::Json> list) {
    auto& manager = shareAdsManager();
    if (!list) {
      manager.adverts_.clear();
      manager.downloadLoacalData();
      return;
    }
    NVXData::sharedNVXData().setAdvertiseMents(*list);
    manager.showAdverts(*list);
  });
}

void AdvertisingManager::showAdverts(const platform::Json& list) {
  for (const auto& entry : list) {
    if (!entry.is_object()) continue;
    auto ad = std::make_shared<Advertising>(Advertising::initWithJson(entry));
    adverts_.push_back(ad);
    downloadImage(ad);
  }
}

void AdvertisingManager::downloadLoacalData() {
  Advertising::registerArchiveClass();
  const bool newPeriod = Advertising::isNewLocalPeriod();
  const char* key = newPeriod ? kLocalKey : kOldLocalKey;
  auto& defaults = platform::UserDefaults::standard();
  std::vector<std::shared_ptr<Advertising>> stored;
  if (auto bytes = defaults.data(key)) {
    if (auto list = platform::unarchiveList(*bytes)) {
      for (const auto& object : *list) {
        if (auto ad = std::dynamic_pointer_cast<Advertising>(object)) stored.push_back(ad);
      }
    }
  }
  if (stored.empty()) {
    // First use of this period's set (or a stored one that cannot be read): the built-in set.
    stored = builtInSet(newPeriod);
    defaults.setData(key, platform::archiveList(stored));
    if (!defaults.synchronize()) platform::log::warning(kTag, "the local adverts could not be written");
  }
  adverts_ = stored;
  for (const auto& ad : adverts_) downloadLocalImage(ad);
}

void AdvertisingManager::downloadImage(const std::shared_ptr<Advertising>& ad) {
  adImages_->push_back(AdvertisingCell::initWithImageUrl(ad->adImage, ad));
}

void AdvertisingManager::downloadLocalImage(const std::shared_ptr<Advertising>& ad) {
  char name[32];
  std::snprintf(name, sizeof name, "home_ad_%i.jpg", static_cast<int>(ad->adID));
  adImages_->push_back(AdvertisingCell::initWithImageName(name, ad));
}

std::shared_ptr<AdvertisingView> AdvertisingManager::myADViewFrame(platform::ui::Rect frame) {
  return AdvertisingView::initWithFrame(frame, adImages_);
}

void AdvertisingManager::pushViewController(platform::ui::NavigationController& navigation, const std::string& address) {
  auto web = AdvertisingWebViewController::create();
  web->setAdURL(address);
  navigation.push(web, true);
}

}  // namespace nvx
