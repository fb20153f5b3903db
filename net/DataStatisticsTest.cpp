#include "net/DataStatistics.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "app/core/User.h"
#include "platform/device/Device.h"
#include "platform/device/Reachability.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {
namespace {

std::string md5(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr), 1);
  std::string hex;
  char pair[3];
  for (unsigned int i = 0; i < length; ++i) {
    std::snprintf(pair, sizeof pair, "%02x", digest[i]);
    hex += pair;
  }
  return hex;
}

DataStatistics& stats() { return DataStatistics::sharedDataStatistics(); }

TEST(DataStatisticsTest, DeviceIdIsTheMd5OfTheUpperCaseHardwareAddress) {
  struct Case {
    std::string hwAddr;
    std::string hashed;
  } cases[] = {
      {"02:00:00:00:00:01", "02:00:00:00:00:01"},
      {"a4:5e:60:d1:22:0f", "A4:5E:60:D1:22:0F"},
      {"A4-5E-60-D1-22-0F", "A4:5E:60:D1:22:0F"},
      {"a45e60d1220f", "A4:5E:60:D1:22:0F"},
      // Unreadable addresses still give an id, never an empty one.
      {"", "00:00:00:00:00:00"},
      {"not an address", "00:00:00:00:00:00"},
      {"a4:5e:60:d1:22", "00:00:00:00:00:00"},
      {"a4:5e:60:d1:22:0f:99", "00:00:00:00:00:00"},
  };
  for (const auto& c : cases) {
    platform::Device::info().wifiHwAddr = c.hwAddr;
    const std::string id = stats().deviceId();
    EXPECT_EQ(id, md5(c.hashed)) << c.hwAddr;
    EXPECT_EQ(id.size(), 32u);
  }
}

TEST(DataStatisticsTest, ModelNamesAndScreen) {
  struct Case {
    std::string machine, ua;
  } cases[] = {{"iPhone5,2", "iPhone5-2"}, {"iPad3,4", "iPad3-4"}, {"x86_64", "x86_64"}, {"a,b,c", "a-b-c"}};
  for (const auto& c : cases) {
    platform::Device::info().machine = c.machine;
    EXPECT_EQ(stats().UA(), c.ua);
    EXPECT_EQ(stats().getDeviceVersion(), c.machine);
  }
  EXPECT_EQ(stats().resolution(), "320*568");
  platform::Device::screen().bounds = {375.4, 667.0};
  EXPECT_EQ(stats().resolution(), "375*667");
  platform::Device::info().systemVersion = "7.0.4";
  EXPECT_EQ(stats().iosVersion(), "7.0.4");
  EXPECT_EQ(stats().phoneNumber(), "");
  EXPECT_EQ(stats().appVersion(), "3.1.5.0");
}

TEST(DataStatisticsTest, LanguagePrefersTheStoredListThenTheDevice) {
  EXPECT_EQ(stats().language(), "zh-Hans");
  platform::UserDefaults::standard().set("AppleLanguages", platform::Json::array({"en", "zh-Hans"}));
  EXPECT_EQ(stats().language(), "en");
  platform::UserDefaults::standard().remove("AppleLanguages");
  platform::Device::info().languages.clear();
  EXPECT_EQ(stats().language(), std::nullopt);
}

TEST(DataStatisticsTest, CarrierLetterAndCodes) {
  EXPECT_EQ(stats().carrierName(), "") << "no SIM";
  EXPECT_EQ(stats().mobileCountryCode(), std::nullopt);
  EXPECT_EQ(stats().IMSISubFive(), std::nullopt);
  struct Case {
    std::string name, letter;
  } cases[] = {{"中国联通", "l"}, {"中国移动", "y"}, {"中国电信", "d"}, {"Other Mobile", ""}, {"", ""}};
  for (const auto& c : cases) {
    platform::Device::info().carrier = platform::Carrier{c.name, "460", "01"};
    EXPECT_EQ(stats().carrierName(), c.letter) << c.name;
    EXPECT_EQ(stats().mobileNetworkName(), c.name);
  }
  EXPECT_EQ(stats().mobileCountryCode(), "460");
  EXPECT_EQ(stats().mobileNetworkCode(), "01");
  EXPECT_EQ(stats().IMSISubFive(), "46001");
}

TEST(DataStatisticsTest, ReaderValuesAreReadAfreshOnEveryCall) {
  EXPECT_EQ(stats().psamId(), "");
  EXPECT_EQ(stats().unitId(), std::nullopt) << "no reader model chosen yet";
  User::currentUser().setPsamId("0123456789abcdef");
  platform::UserDefaults::standard().set(DataStatistics::kUnitIdKey, "0001");
  EXPECT_EQ(stats().psamId(), "0123456789ABCDEF");
  EXPECT_EQ(stats().unitId(), "0001");
}

TEST(DataStatisticsTest, NetworkStatusOfThePublicHost) {
  EXPECT_EQ(stats().netWorkStatus(), "2");
  EXPECT_FALSE(stats().isNotReachableNetWork());
  platform::Reachability::setNetworkStatus(platform::NetworkStatus::ReachableViaWWAN);
  EXPECT_EQ(stats().netWorkStatus(), "1");
  platform::Reachability::setHostStatus(DataStatistics::kReachabilityHost,
                                        platform::NetworkStatus::NotReachable);
  EXPECT_EQ(stats().netWorkStatus(), "-1");
  EXPECT_TRUE(stats().isNotReachableNetWork());
}

}  // namespace
}  // namespace nvx
