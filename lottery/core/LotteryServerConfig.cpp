#include "lottery/core/LotteryServerConfig.h"

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace nvx::lottery {

LotteryServerConfig::LotteryServerConfig() {
  const char* value = std::getenv(kLotteryApiEnv);
  setBase(value && *value ? value : kDefaultLotteryApi);
}

LotteryServerConfig& LotteryServerConfig::current() {
  return platform::Process::current().shared<LotteryServerConfig>();
}

void LotteryServerConfig::setBase(std::string base) {
  while (!base.empty() && base.back() == '/') base.pop_back();
  base_ = std::move(base);
}

std::string LotteryServerConfig::address(LotteryPath path) const {
  return base_ + std::string(LotteryCatalogue::pathText(path));
}

std::string LotteryServerConfig::addressFor(int code) const {
  auto info = LotteryCatalogue::find(code);
  return address(info && info->path == LotteryPath::IosService ? LotteryPath::IosService : LotteryPath::Service);
}

}  // namespace nvx::lottery
