// The two fixed tables that name the client's screens for the usage statistics: the step
// identifier a screen writes as its step record when its view is loaded, and the probe identifier
// for which a screen sends a probe.
//
// A key is a screen's run-time class name; for the public-service screen (with its service type),
// the swipe screen and its derived classes, the multi-pay screen and the swipe result screen (with
// the payment's business type) it is the class name followed by the number ("%@%d", see
// numberedKey). A step identifier is a business code, "_" and a step part ("M50001_2"); two values
// are kept exactly as the statistics server knows them: "B00001,2" (step and sub-step) and
// "B00008_5 " (with its trailing blank).
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nvx {

class DataStatisticsMap {
 public:
  using Table = std::map<std::string, std::string>;

  // The step table (211 keys, with the rows features registered). A new table on every call.
  static Table identifierMap();
  // A feature's rows, registered from its module's registerScreens(): per screen key, the step
  // part that follows "<code>_". A registered key replaces the table's row of that key. The
  // built-in rows are those of features whose folders have not taken their rows over yet.
  static void registerRows(std::string_view code, const std::vector<std::pair<std::string, std::string>>& steps);
  // The probe table (9 keys): the steps of a transfer to a bank card. A new table on every call.
  static Table probeMap();

  // The key of a screen of the numbered kinds: the class name followed by the decimal number
  // ("SwipeViewController" and 6 -> "SwipeViewController6").
  static std::string numberedKey(std::string_view className, int number);
};

}  // namespace nvx
