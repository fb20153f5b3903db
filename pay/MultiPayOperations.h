// The server operations of the multi-pay screen: the business's pay methods ("queryPayType"),
// the user's red packets ("queryTrans" 130002) and wallet balance ("queryTrans" 110001), and
// the commit of the stored request with the screen's own fields (card or wallet).
//
// Replies of the wrong shape are failures (dataError), never partly read: a balance or red-packet
// amount that is not a whole, non-negative number of fen is refused. Completions run once on the
// main loop. Tests replace the operations through the screen's setOperations.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pay/PayOperations.h"
#include "platform/foundation/Json.h"

namespace nvx {

class Tools;

// The pay methods the server allows for one business.
struct PaySupportTypeEntity {
  bool cardPay = false;
  bool balancePay = false;
  bool giftPay = false;

  // One entry of the "queryPayType" list; nothing when it is not an object.
  static std::optional<PaySupportTypeEntity> fromJson(const platform::Json& json);
};

// The red packets usable for a payment: the count the server gives and the list the chooser shows.
struct RedPagerEntity {
  std::string giftnum;
  platform::Json redPacketItems = platform::Json::array();

  // giftnum read as a whole number; 0 when missing or not a number.
  int giftCount() const;
  static std::optional<RedPagerEntity> fromJson(const platform::Json& json);
};

// The wallet balance, in fen.
struct WalletInfo {
  int64_t amountFen = 0;
  int64_t tamountFen = 0;

  // Nothing unless "amount" and "tamount" are whole non-negative fen ("tamount" missing reads as
  // "amount").
  static std::optional<WalletInfo> fromJson(const platform::Json& json);
};

template <class T>
struct WalletAnswer {
  std::optional<T> value;
  std::string message;     // the server's or the client's text on failure
  bool dataError = false;  // the reply had the wrong shape
};

class MultiPayOperations {
 public:
  virtual ~MultiPayOperations() = default;
  static std::shared_ptr<MultiPayOperations> mainApi();

  virtual void queryPayTypeWithBusid(std::string busid, std::string lpmercd,
                            std::function<void(WalletAnswer<std::vector<PaySupportTypeEntity>>)> completion) = 0;
  virtual void getGifMessageType(std::string giftType, std::function<void(WalletAnswer<RedPagerEntity>)> completion) = 0;
  virtual void getWalletInfoIsNeedMPBHOD(std::function<void(WalletAnswer<WalletInfo>)> completion) = 0;
  // The stored commit of Tools with the screen's fields (each replaces a stored one of its name),
  // prepared now on the main thread and sent on a worker.
  virtual PayOperations::Prepared commit(const Tools& tools, const std::vector<platform::net::PostField>& fields) = 0;
  virtual void handleExpiredLogin() = 0;
};

}  // namespace nvx
