// Test-only: a bundle folder holding a client-settings.json made by the test. The bundle points
// there while the object lives; ClientSettings::current() reads it when first used after that.
#pragma once
#include <string>

#include "core/session/ClientSettings.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"

namespace nvx::testing {

class TestSettingsBundle {
 public:
  explicit TestSettingsBundle(const platform::Json& settings)
      : previous_(platform::Sandbox::bundle()),
        folder_(platform::Sandbox::makeTempRoot("nvx-settings")) {
    platform::fs::writeAtomic(folder_ / std::string(ClientSettings::kFileName),
                              platform::json::dump(settings));
    platform::Sandbox::setBundle(folder_);
  }
  ~TestSettingsBundle() {
    platform::Sandbox::setBundle(previous_);
    platform::fs::removeTree(folder_);
  }
  TestSettingsBundle(const TestSettingsBundle&) = delete;
  TestSettingsBundle& operator=(const TestSettingsBundle&) = delete;

  // Complete settings with the given keys and stored halves; the other entries are fillers.
  static platform::Json settings(const std::string& passwordPem, const std::string& pinPem,
                                 const std::string& storedHalf1, const std::string& storedHalf2) {
    platform::Json j;
    j["passwordPublicKey"] = passwordPem;
    j["pinPublicKey"] = pinPem;
    j["transportKeyParts"] = platform::Json::array({storedHalf1, storedHalf2});
    j["probeKey"] = "test-probe-key-0123456789abcdef";
    j["vercodeSalt"] = "test-salt";
    j["lotteryCodecKey"] = "test-lottery-key";
    j["lotterySalt"] = "test-lottery-salt";
    return j;
  }

 private:
  platform::Path previous_;
  platform::Path folder_;
};

}  // namespace nvx::testing
