// The built-in tables of the home screen: the catalogue of every business box, the box lists of
// the home pages, the default common page, the grouped applications list and the table from a
// business code to a screen class name (or a display label). Each call builds new boxes; nothing
// is cached, so callers may change what they get.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "home/HomeBoxData.h"

namespace nvx {

class HomeDataUtil {
 public:
  static constexpr const char* kAddBusinessCode = "A11111";
  static constexpr const char* kApplicationsListClass = "AllControllerTable";

  // The catalogue: the 34 boxes in display order, state 256.
  static HomeBoxList getAllBoxData();
  static HomeBoxList getCardBoxData();
  static HomeBoxList getMobileBankBoxData();
  static HomeBoxList getLifeHelpBoxData();
  static HomeBoxList getMallBoxData();
  // The default common page: seven boxes of state 257, then the Add box.
  static HomeBoxList getMyStoreBoxData();
  // The default common page with state 256.
  static HomeBoxList getCommonBoxData();
  // The applications list: four groups, state 257.
  static std::vector<HomeBoxList> getAllItemArray();
  // Business code -> screen class name, or a Chinese label or the empty text (44 entries, in
  // key order).
  static std::map<std::string, std::string> getBusidAndClass();
  static std::vector<std::string> getAllCtr();
  static std::vector<std::string> getCommonCtr();

  // The Add box of the common page.
  static std::shared_ptr<HomeBoxData> addBox(uint32_t state = HomeBoxData::kAddState);
  // The title of a title key: the string table's text (the key itself when it has none).
  static std::string title(std::string_view key);
  // Whether a class name names one of the client's screen classes (those the tables name).
  static bool isScreenClass(std::string_view name);
};

}  // namespace nvx
