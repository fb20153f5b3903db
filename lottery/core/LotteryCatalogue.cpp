#include "lottery/core/LotteryCatalogue.h"

namespace nvx::lottery {

namespace {

using P = LotteryPath;

constexpr LotteryMessageInfo kMessages[] = {
    {1107, P::None, "no fields; never sent"},
    {1110, P::Service, "personal data, feedback and gift forms of the account"},
    {1115, P::Service, "identity binding"},
    {1116, P::Service, "identity binding"},
    {1117, P::Service, "text-message code"},
    {1118, P::Service, "phone binding"},
    {1200, P::Service, "account statement"},
    {1202, P::Service, "withdrawal records"},
    {1206, P::Service, "withdrawal"},
    {1207, P::Service, "phone-card top-up"},
    {1208, P::Service, "Alipay top-up"},
    {1213, P::Service, "top-up order"},
    {1301, P::Service, "hall: games, periods, end times, notices"},
    {1302, P::Service, "draw results"},
    {1314, P::Service, "bet records"},
    {1315, P::Service, "chase plans"},
    {1317, P::Service, "chase plan detail"},
    {1318, P::Service, "bet and scheme detail"},
    {1335, P::Service, "chase plan cancellation"},
    {1336, P::Service, "current period of a game"},
    {1350, P::Service, "football match days"},
    {1351, P::Service, "football matches"},
    {1402, P::Service, "announcements"},
    {1505, P::Service, "lottery login"},
    {1524, P::IosService, "bet order"},
};

}  // namespace

std::span<const LotteryMessageInfo> LotteryCatalogue::messages() { return kMessages; }

std::optional<LotteryMessageInfo> LotteryCatalogue::find(int code) {
  for (const auto& m : kMessages) {
    if (m.code == code) return m;
  }
  return std::nullopt;
}

std::string_view LotteryCatalogue::pathText(LotteryPath path) {
  switch (path) {
    case P::Service: return "/360/service";
    case P::IosService: return "/360/iosService";
    case P::None: break;
  }
  return {};
}

}  // namespace nvx::lottery
