// The logo picture of a bank: by the bank's name as the server shows it (a bundle picture), or
// by its bank code on the main API server.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace nvx {

class BankLogoUtil {
 public:
  // The bundle picture of the bank; "" for no name (nothing given), nothing for a name the
  // table does not hold. Names match exactly.
  static std::optional<std::string> getImageName(std::optional<std::string_view> bankName);
  // "https://", the main API server's host (with its port, when it names one), then
  // "/images/bank/<code>.png".
  static std::string bankImageUrlWithbankCode(std::string_view bankCode);
};

}  // namespace nvx
