// What the result pages of a payment share: the display data a business hands over
// (transactionData, a JSON object) read as texts and amounts, the white card they draw their
// rows in, and the rows themselves (label column, text, wrapping or amount values).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/TransactionInfoSource.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx {

// Keys of the display data.
namespace transaction_keys {
inline constexpr const char* kTarget = "K_TRANSACTION_TARGET";
inline constexpr const char* kAmount = "K_TRANSACTION_AMOUNT";
inline constexpr const char* kInfo = "K_TRANSACTION_INFO";
}  // namespace transaction_keys

class ResultRows {
 public:
  ResultRows() = delete;

  // The value's text form, "" when missing or not a scalar (notNull:).
  static std::string text(const platform::Json& data, std::string_view key);
  // A yuan amount of the display data in fen: a yuan text or number; 0 when missing or unreadable.
  static int64_t yuanAmountFen(const platform::Json& data, std::string_view key);
  // Money as text (formatCNMoney:) straight from fen, never through binary floating point:
  // grouped, two decimals, " 元" ("1,234.56 元", "-0.50 元").
  static std::string moneyText(int64_t fen);
  // The object under key, or an empty object.
  static const platform::Json& object(const platform::Json& data, std::string_view key);
  // The bank name of a payee record ("NVX_USERCARD"): "bankName" of its "NVX_BANKINFO" object,
  // or that value itself when it is a text; "" otherwise.
  static std::string payeeBankName(const platform::Json& payeeCard);

  // The card of a result page: white, 1-point border, corner radius 6, clipped.
  static std::shared_ptr<platform::ui::View> card(platform::ui::Rect frame);
  static platform::ui::Color borderColor();
  // A label of the result pages: clear background, grey 0.408, 14 pt.
  static std::shared_ptr<platform::ui::Label> labelWithFrame(platform::ui::Rect frame, std::string_view text);
  // Draws the rows into the card from y on and answers the y after them: "label:" right-aligned
  // at (13, y, 88, 15); an amount grouped with two decimals and " 元" at (116, y, 225, 15), red
  // when the row is; a wrapping value at (116, y - 2, 180, 35) on two lines (three, and a
  // taller label, for business type 23); a text at (116, y, 200, 15). Steps of 25, 60 after a
  // wrapping row.
  static double layoutRows(platform::ui::View& card, const TransactionInfoSource::Rows& rows, double y,
                           int businessType);
};

}  // namespace nvx
