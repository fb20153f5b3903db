#include "lottery/core/TopUpOrder.h"

#include "lottery/core/LotteryCatalogue.h"
#include "lottery/core/LotteryReply.h"

namespace nvx::lottery {

platform::Result<Bytes> TopUpOrder::request(const std::optional<std::string>& uid, std::string_view amountYuan) {
  return LotteryRequest(LotteryCatalogue::kTopUpOrder).s1(uid.value_or(std::string())).s1(amountYuan).s2("").seal();
}

platform::Result<TopUpOrder> TopUpOrder::read(std::string_view bytes) {
  LotteryReply reply(bytes);
  if (reply.isEmpty()) return platform::Status::error("top-up order: no reply");
  const int expected = LotteryCatalogue::answerCode(LotteryCatalogue::kTopUpOrder);
  auto status = reply.status();
  if (!status) return platform::Status::error("top-up order: " + reply.error());
  if (*status != expected) return platform::Status::error("top-up order: status " + std::to_string(*status));

  // Every text must be there and readable: an order with a missing field is no order.
  bool readable = true;
  auto text = [&](std::optional<std::string> t) {
    if (!t) readable = false;
    return t.value_or(std::string());
  };
  TopUpOrder order;
  reply.s1();  // the message text
  order.merId = text(reply.s1());
  order.orderId = text(reply.s1());
  order.amount = text(reply.s1());
  reply.s1();
  order.minCode = text(reply.s1());
  order.codeType = std::to_string(reply.u8());
  order.codeSign = text(reply.s4());
  order.interfaceType = text(reply.s1());
  reply.s1();
  reply.s1();
  reply.s1();
  order.randomNumber = text(reply.s1());
  if (!reply.ok()) return platform::Status::error("top-up order: " + reply.error());
  if (!readable) return platform::Status::error("top-up order: a field is not UTF-8 text");
  return order;
}

}  // namespace nvx::lottery
