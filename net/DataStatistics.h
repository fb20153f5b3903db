// The shared usage-statistics recorder. This part describes the device, the client and the
// current reader to the servers; every value is computed afresh on each call (nothing cached).
// psamId reads the session and belongs to the main thread; the others may be read from any thread.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class Process;
}

namespace nvx {

class DataStatistics {
 public:
  // The public host whose reachability is the network status.
  static constexpr std::string_view kReachabilityHost = "www.example.com";
  // User default: the chosen reader model ("0001", ...).
  static constexpr std::string_view kUnitIdKey = "unitid";

  // The shared recorder, created on first use (under a lock).
  static DataStatistics& sharedDataStatistics();

  DataStatistics(const DataStatistics&) = delete;
  DataStatistics& operator=(const DataStatistics&) = delete;

  // Lower-case hex MD5 of the Wi-Fi hardware address written "%02X:%02X:%02X:%02X:%02X:%02X"
  // (32 characters, never empty; also the "imei" of the statistics requests). An address that
  // cannot be read as six hex bytes counts as 00:00:00:00:00:00.
  std::string deviceId() const;
  // The machine name with every "," replaced by "-" ("iPhone5,2" -> "iPhone5-2").
  std::string UA() const;
  // The machine name ("hw.machine") unchanged.
  std::string getDeviceVersion() const;
  // The main screen's bounds in points, "%.0f*%.0f" ("320*568").
  std::string resolution() const;
  // The bundle's "CFBundleVersion"; nothing when the bundle has none.
  std::optional<std::string> appVersion() const;
  // The first of the preferred languages (the user default "AppleLanguages", else the device's
  // list); nothing when there is none.
  std::optional<std::string> language() const;
  // The system version text.
  std::string iosVersion() const;
  // Always "".
  std::string phoneNumber() const;
  // The session's reader terminal id, or "".
  std::string psamId() const;
  // The user default "unitid"; nothing until a reader model has been chosen.
  std::optional<std::string> unitId() const;
  // "l", "y" or "d" for the three domestic carriers by name; "" for any other or without a SIM.
  std::string carrierName() const;
  // The SIM carrier's codes and name; nothing without a SIM.
  std::optional<std::string> mobileCountryCode() const;
  std::optional<std::string> mobileNetworkCode() const;
  std::optional<std::string> mobileNetworkName() const;
  // Country code followed by network code; nothing without a SIM.
  std::optional<std::string> IMSISubFive() const;
  // The reachability of kReachabilityHost: "-1" not reachable, "1" mobile data, "2" Wi-Fi.
  std::string netWorkStatus() const;
  bool isNotReachableNetWork() const;

 private:
  friend class platform::Process;
  DataStatistics() = default;
};

}  // namespace nvx
