// Where the lottery server lives: its base address with scheme (HTTPS in the product), read from
// the environment when first asked for: NVX_LOTTERY_API (default "https://127.0.0.1"; a trailing
// "/" is dropped, since the request paths begin with one). Tests and the simulator set it before
// the first request. HTTPS peers are verified against the client's CA setting, as for every
// server.
#pragma once
#include <string>

#include "lottery/core/LotteryCatalogue.h"

namespace platform {
class Process;
}

namespace nvx::lottery {

class LotteryServerConfig {
 public:
  static constexpr const char* kLotteryApiEnv = "NVX_LOTTERY_API";
  static constexpr const char* kDefaultLotteryApi = "https://127.0.0.1";

  static LotteryServerConfig& current();

  // The base address, without a trailing "/".
  const std::string& base() const { return base_; }
  void setBase(std::string base);
  // The base followed by the path: "%@/360/service", "%@/360/iosService".
  std::string address(LotteryPath path) const;
  // The address of the message with this code (the query path for codes it does not know).
  std::string addressFor(int code) const;

  LotteryServerConfig(const LotteryServerConfig&) = delete;
  LotteryServerConfig& operator=(const LotteryServerConfig&) = delete;

 private:
  friend class platform::Process;
  LotteryServerConfig();

  std::string base_;
};

}  // namespace nvx::lottery
