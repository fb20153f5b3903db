// The top-up order of the lottery account: request 1213 and its answer 2213. Both the top-up by
// card and the top-up records send 1213; the top-up by card reads the order from 2213 and hands
// its fields on to the main API as a bill.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "lottery/core/FBEncryptorAES.h"
#include "platform/foundation/Status.h"

namespace nvx::lottery {

struct TopUpOrder {
  std::string merId;
  std::string orderId;
  std::string amount;         // fen, as the server wrote it
  std::string minCode;
  std::string codeType;       // the one-byte MAC type as decimal text
  std::string codeSign;       // the order's MAC (it may be longer than 255 bytes)
  std::string interfaceType;
  std::string randomNumber;

  // 1213: the lottery user id (absent: the single byte 0), the amount in yuan as typed, and an
  // empty s2 text.
  static platform::Result<Bytes> request(const std::optional<std::string>& uid, std::string_view amountYuan);
  // The order of a 2213 reply. An error for an empty reply (the connection failed), any other
  // status (3000: refused), a reply that ends before its last field, and texts that are not UTF-8.
  static platform::Result<TopUpOrder> read(std::string_view reply);
};

}  // namespace nvx::lottery
