// The reader models the client knows: four-character ids naming the kind of card reader in use,
// and the user defaults that remember the choice.
//
//   "0001"                        CSwiperController    audio, a new driver each time it is chosen
//   "0002"                        CSwiperController1   audio, a new driver each time (one at most)
//   "0003" "0004" "0005" "0006"   NLSwiperController   audio, one shared driver
//   "0007"                        WexSwiperController  the Wi-Fi reader box, one shared driver
//   "0008"                        CTSwiperController   audio, one shared driver
//
// Any other id is unknown: the hub asks the server for the model list instead.
#pragma once
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace nvx::reader {

struct ReaderModels {
  // The known ids, in this order.
  static constexpr std::array<std::string_view, 8> kUnitIds = {"0001", "0002", "0003", "0004",
                                                               "0005", "0006", "0007", "0008"};
  // The Wi-Fi reader box.
  static constexpr std::string_view kTaviUnitId = "0007";

  // User default: the model chosen last, whatever it is.
  static constexpr std::string_view kUnitIdKey = "unitid";
  // User default: the last chosen model other than the box, that is the last audio reader; the
  // hub starts with it.
  static constexpr std::string_view kCommonUnitIdKey = "common_unitid";

  // The swipe time-out the hub gives the families that share one driver object.
  static constexpr double kSharedDriverSwipeTimeout = 30.0;

  static bool isKnown(const std::optional<std::string>& unitId) {
    return unitId && std::find(kUnitIds.begin(), kUnitIds.end(), *unitId) != kUnitIds.end();
  }
  // "0003" to "0008": one shared driver object, whose swipe time-out the hub sets. "0001" and
  // "0002" get a new driver each time and keep their own time-out.
  static bool hasSharedDriver(std::string_view unitId) {
    return isKnownId(unitId) && unitId != "0001" && unitId != "0002";
  }
  // Models listed first in the chooser.
  static bool isCommonChoice(std::string_view unitId) {
    return unitId == "0001" || unitId == "0002" || unitId == "0003";
  }

 private:
  static bool isKnownId(std::string_view unitId) {
    return std::find(kUnitIds.begin(), kUnitIds.end(), unitId) != kUnitIds.end();
  }
};

}  // namespace nvx::reader
