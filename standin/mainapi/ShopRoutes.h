// The reader shop's and the feedback form's methods on the main-API stand-in: "getProductsList"
// (GET; the reader products kept in ShopState, as a list) and "postSuggestion" (form POST; the
// suggestion is kept, a real server's length rule applied). Both carry the request identity only.
#pragma once
#include <string>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct ShopSuggestion {
  std::string loginName;
  std::string suggestion;
  std::string linkedInfo;
};

struct ShopState {
  // The product list as it stands (elements {"productId", "productName", "buyPhone", ...}).
  platform::Json products = platform::Json::array(
      {platform::Json::object({{"productId", "1"},
                               {"productImg", ""},
                               {"productName", "诺维萨刷卡器"},
                               {"productInfo1", "音频接口，即插即用"},
                               {"productInfo2", "支持借记卡和信用卡"},
                               {"productDesc", "诺维萨刷卡器"},
                               {"productUrl", ""},
                               {"buyPhone", "400-000-0000"}})});
  // Every suggestion received, oldest first.
  std::vector<ShopSuggestion> suggestions;
};

// The longest suggestion the server takes, in UTF-16 units.
inline constexpr size_t kShopSuggestionLimit = 500;

void addShopRoutes(MainApiStandin& server);

}  // namespace standin
