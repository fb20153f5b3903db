// The one-line descriptions of the businesses in the applications list, the update notes, and
// which boxes carry the "new" and "updated" marks. Keys are display titles.
#pragma once
#include <map>
#include <string>

#include "home/HomeBoxData.h"

namespace nvx {

class UpdateDataUtil {
 public:
  static std::map<std::string, std::string> getBussinessTipMessage();
  static std::map<std::string, std::string> getUpdateMessage();
  // The phone-remittance box is the business marked new.
  static bool isNewBussiness(const HomeBoxData& box);
  // The lottery and movie boxes are the businesses marked updated.
  static bool isUpdateByHomeData(const HomeBoxData& box);
};

}  // namespace nvx
