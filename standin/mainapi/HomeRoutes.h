// The home screen's methods on the main-API stand-in: the promotion tips ("getPromotion") and
// the number of unread notices ("getTotalMsg"). Tests set what they answer through
// feature<HomeState>().
#pragma once
#include <cstdint>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct HomeState {
  // The promotion list served as it stands (entries {"note": business code, "aContent": tip}).
  platform::Json promotions = platform::Json::array();
  // The ids of the notices on the server; "getTotalMsg" counts those above "maxMsgId".
  std::vector<int64_t> noticeIds;
};

void addHomeRoutes(MainApiStandin& server);

}  // namespace standin
