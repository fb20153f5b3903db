#include "bills/CarRentalConfig.h"

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace nvx {

namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

}  // namespace

CarRentalConfig::CarRentalConfig() {
  setPartnerSite(fromEnvironment(kPartnerSiteEnv, kDefaultPartnerSite));
  serviceSite_ = fromEnvironment(kServiceSiteEnv, kDefaultServiceSite);
}

void CarRentalConfig::setPartnerSite(std::string site) {
  // The page path begins with "/".
  while (!site.empty() && site.back() == '/') site.pop_back();
  partnerSite_ = std::move(site);
}

CarRentalConfig& CarRentalConfig::current() { return platform::Process::current().shared<CarRentalConfig>(); }

}  // namespace nvx
