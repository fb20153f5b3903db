#include "core/session/NVXConfig.h"

#include "core/shell/AppServices.h"
#include "core/session/ThemeUtil.h"
#include "core/session/UserDefaultsExt.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

NVXConfig& NVXConfig::sharedConfig() { return platform::Process::current().shared<NVXConfig>(); }

NVXConfig::NVXConfig() {
  if (!isSerializedForKey(ThemeUtil::serializeKeyTheme())) {
    // First start of this version: resetStandardUserDefaults. The defaults are written out and
    // read back, never cleared: the session, the chosen reader model and every other stored
    // value carry over from the previous version.
    platform::UserDefaults::resetStandard();
    if (!platform::UserDefaults::standard().synchronize()) {
      platform::log::warning("NVXConfig", "the user defaults could not be written; they stay pending");
    }
    ThemeUtil::serializeDefaultTheme();
  }
  ThemeUtil::themeMoveZipTemp2Save();
  ThemeUtil::themeMoveTemp2Save();
  theme_.store(1);

  const std::string host = hostOfAddress(AppServices::current().mainApiAddress());
  if (host.empty()) platform::log::warning("NVXConfig", "no main API address: watching the device's network");
  hostReach_ = platform::Reachability::reachabilityWithHostName(host);
  hostReach_->startNotifier([](platform::Reachability& reach) {
    // The configuration lives for the run; a change delivered after a test has torn the run
    // down finds none and is dropped.
    if (auto* config = platform::Process::current().sharedIfExists<NVXConfig>()) {
      config->updateAvailabilityWithReach(reach);
    }
  });
  updateAvailabilityWithReach(*hostReach_);
}

NVXConfig::~NVXConfig() {
  if (hostReach_) hostReach_->stopNotifier();
}

void NVXConfig::updateAvailabilityWithReach(const platform::Reachability& reach) {
  isNetValid_.store(reach.isReachable());
}

std::string NVXConfig::hostOfAddress(std::string_view address) {
  std::string_view rest = address;
  if (size_t scheme = rest.find("://"); scheme != std::string_view::npos) rest.remove_prefix(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
  if (!rest.empty() && rest.front() == '[') {
    // An IPv6 literal: "[::1]:8443" -> "::1".
    size_t close = rest.find(']');
    return std::string(close == std::string_view::npos ? rest.substr(1) : rest.substr(1, close - 1));
  }
  return std::string(rest.substr(0, rest.find(':')));
}

}  // namespace nvx
