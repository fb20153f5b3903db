// Where the car-rental partner's mobile site and the service's own web site live, and the key
// agreed with the partner for the login name in the page address. The addresses are read from
// the environment when first asked for: NVX_CAR_RENTAL_SITE (the partner's site, scheme and host,
// default "https://127.0.0.1") and NVX_SERVICE_SITE (the service's root page, default
// "https://127.0.0.1/"). Tests and the simulator set them before the page is opened.
#pragma once
#include <string>

namespace platform {
class Process;
}

namespace nvx {

class CarRentalConfig {
 public:
  static constexpr const char* kPartnerSiteEnv = "NVX_CAR_RENTAL_SITE";
  static constexpr const char* kServiceSiteEnv = "NVX_SERVICE_SITE";
  static constexpr const char* kDefaultPartnerSite = "https://127.0.0.1";
  static constexpr const char* kDefaultServiceSite = "https://127.0.0.1/";
  // The start page's path and the beginning of its query; the escaped cipher of the login name
  // follows.
  static constexpr const char* kIndexPath = "/html5/indexNvx.html?mobile=";
  // 24 ASCII characters agreed with the partner: the three Triple-DES keys.
  static constexpr const char* kPartnerKey = "Nvx7cR2tQm9LpZ4wKs8hYd3F";

  static CarRentalConfig& current();

  const std::string& partnerSite() const { return partnerSite_; }
  void setPartnerSite(std::string site);
  const std::string& serviceSite() const { return serviceSite_; }
  void setServiceSite(std::string site) { serviceSite_ = std::move(site); }

  CarRentalConfig(const CarRentalConfig&) = delete;
  CarRentalConfig& operator=(const CarRentalConfig&) = delete;

 private:
  friend class platform::Process;
  CarRentalConfig();

  std::string partnerSite_;
  std::string serviceSite_;
};

}  // namespace nvx
