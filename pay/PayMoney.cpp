#include "pay/PayMoney.h"

#include <cmath>

#include "net/MacParamUtil.h"

namespace nvx {

std::optional<int64_t> PayMoney::fenFromWire(const platform::Json& value) {
  if (value.is_number_unsigned()) {
    auto fen = value.get<uint64_t>();
    if (fen > static_cast<uint64_t>(kMaxFen)) return std::nullopt;
    return static_cast<int64_t>(fen);
  }
  if (value.is_number_integer()) {
    auto fen = value.get<int64_t>();
    if (fen < 0 || fen > kMaxFen) return std::nullopt;
    return fen;
  }
  if (value.is_number_float()) {
    double fen = value.get<double>();
    // Whole values only; every whole number up to kMaxFen is exact in a double.
    if (!std::isfinite(fen) || fen < 0 || fen > static_cast<double>(kMaxFen) || std::floor(fen) != fen) {
      return std::nullopt;
    }
    return static_cast<int64_t>(fen);
  }
  if (value.is_string()) return fenFromWireText(value.get_ref<const std::string&>());
  return std::nullopt;
}

std::optional<int64_t> PayMoney::fenFromWireText(std::string_view text) {
  size_t point = text.find('.');
  std::string_view whole = text.substr(0, point);
  if (point != std::string_view::npos) {
    std::string_view fraction = text.substr(point + 1);
    if (fraction.find_first_not_of('0') != std::string_view::npos) return std::nullopt;
  }
  if (whole.empty() || whole.size() > 12) return std::nullopt;
  int64_t fen = 0;
  for (char c : whole) {
    if (c < '0' || c > '9') return std::nullopt;
    fen = fen * 10 + (c - '0');
  }
  return fen;
}

std::string PayMoney::yuanFromFen(int64_t fen, int decimals) {
  if (decimals < 2) decimals = 2;
  std::string sign = fen < 0 ? "-" : "";
  uint64_t magnitude = fen < 0 ? 0 - static_cast<uint64_t>(fen) : static_cast<uint64_t>(fen);
  std::string cents = std::to_string(magnitude % 100);
  if (cents.size() < 2) cents.insert(0, "0");
  return sign + std::to_string(magnitude / 100) + "." + cents + std::string(static_cast<size_t>(decimals - 2), '0');
}

std::optional<int64_t> PayMoney::fenFromYuanText(std::string_view text) {
  if (!MacParamUtil::isMonenyNumber(text)) return std::nullopt;
  std::string padded = MacParamUtil::appendZero(text);
  if (padded.empty() || padded.size() > 12) return std::nullopt;
  return fenFromWireText(padded);
}

}  // namespace nvx
