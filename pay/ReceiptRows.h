// What the receipt of each business type shows: the screen title, the success text beside the
// icon and the rows of the card, in display order, from the display data the business handed
// over (yuan texts, shown as given) and the commit reply's data (fen, shown as yuan). Amounts are
// fen integers throughout; a reply amount that is missing, not a whole number of fen or too large
// counts as 0.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ui/TransactionInfoSource.h"
#include "platform/foundation/Json.h"

namespace nvx {

struct ReceiptContent {
  std::string title;
  // Nothing for the types without one (14, 29, 35, 36, above 37).
  std::optional<std::string> successText;
  TransactionInfoSource::Rows rows;
};

class ReceiptRows {
 public:
  ReceiptRows() = delete;

  static constexpr const char* kServerError = "服务器错误";

  // The content for a business type. retData that is not an object gives no rows and the
  // success text "服务器错误".
  static ReceiptContent contentFor(int businessType, const platform::Json& transactionData,
                                   const platform::Json& retData, const std::optional<std::string>& creditCardNumber);

  // isAdaptWalletPay: the display data has a "paytype" other than "PR".
  static bool isAdaptWalletPay(const platform::Json& transactionData);
  // adaptWalletPay:amount:amountLabel: appends "支付方式" = "钱包支付", the red amount row, and by
  // "paytype" the balance part ("ZX"), the red-packet part ("ZH") or both ("XH"); the red-packet
  // total is "famount" (yuan).
  static void adaptWalletPay(TransactionInfoSource::Rows& rows, int64_t amountFen, std::string_view amountLabel,
                             const platform::Json& transactionData);

  // A yuan amount of the display data in fen, grouping commas allowed; 0 when unreadable.
  static int64_t displayAmountFen(const platform::Json& transactionData, std::string_view key);
  // A fen amount of the reply; 0 when missing or unusable.
  static int64_t replyAmountFen(const platform::Json& retData, std::string_view key);
};

}  // namespace nvx
