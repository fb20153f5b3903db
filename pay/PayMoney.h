// Money as the payment flow reads and shows it: whole fen (int64_t) from the server's replies and
// yuan decimal texts for display and for the fields a commit carries. Nothing here passes through
// binary floating point, so an amount is shown exactly as the server or the user gave it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx {

class PayMoney {
 public:
  PayMoney() = delete;

  // The largest amount the flow handles: what the 12-digit fen form of a signed amount holds.
  static constexpr int64_t kMaxFen = 999'999'999'999;

  // A fen amount of a reply: a whole non-negative JSON number, or a text of digits (an all-zero
  // fraction such as "150.00" allowed), at most kMaxFen. Nothing for anything else (negative,
  // fractional, huge, not a number): such a value is never shown or charged.
  static std::optional<int64_t> fenFromWire(const platform::Json& value);
  static std::optional<int64_t> fenFromWireText(std::string_view text);

  // Yuan with the given number of decimals (at least 2): 1234 fen is "12.34", or "12.340000"
  // with 6.
  static std::string yuanFromFen(int64_t fen, int decimals = 2);

  // A yuan text as the forms write it ("5", "5.5", "12.34") in fen, rounded to the fen the way
  // the request's signature rounds it. Nothing for a text that is not such a number.
  static std::optional<int64_t> fenFromYuanText(std::string_view text);
};

}  // namespace nvx
