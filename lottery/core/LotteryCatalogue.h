// The lottery messages the client knows: each request code, the server path it goes to and its
// role. The answer to a request carries the request code plus 1000 as its status (2213 to 1213);
// LotteryReply::kRefused (3000) means the server refused the request for this user.
#pragma once
#include <optional>
#include <span>
#include <string_view>

namespace nvx::lottery {

enum class LotteryPath {
  None,        // never sent
  Service,     // "/360/service": the login and every query
  IosService,  // "/360/iosService": bet orders
};

struct LotteryMessageInfo {
  int code = 0;
  LotteryPath path = LotteryPath::None;
  std::string_view role;
};

class LotteryCatalogue {
 public:
  static constexpr int kLogin = 1505;
  static constexpr int kBetOrder = 1524;
  static constexpr int kHall = 1301;
  static constexpr int kTopUpOrder = 1213;
  static constexpr int kNoFields = 1107;

  // Every message, by ascending code.
  static std::span<const LotteryMessageInfo> messages();
  static std::optional<LotteryMessageInfo> find(int code);
  // The status of the server's answer to a request with this code.
  static constexpr int answerCode(int requestCode) { return requestCode + 1000; }
  // "/360/service", "/360/iosService"; empty for None.
  static std::string_view pathText(LotteryPath path);
};

}  // namespace nvx::lottery
