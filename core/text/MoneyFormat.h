// Money for display. Amounts shown come as doubles from the screens; amounts sent, signed or
// compared are fen (int64_t) or decimal texts and never pass through here.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace nvx::text {

// Decimal style in a fixed locale: thousands grouped with ",", "." as decimal point, at least 2
// and at most 3 fraction digits, rounded half to even ("1,234.50", "0.125", "1.000").
std::string formatMoney(double value);
// formatMoney followed by " 元".
std::string formatCNMoney(double value);
// True when the text's numeric value (leading number, platform rules) is above 0.
bool isMoneyValid(std::string_view text);
// Fen to whole yuan, truncated toward zero.
inline int64_t fen2yuanValue(int64_t fen) { return fen / 100; }

}  // namespace nvx::text
