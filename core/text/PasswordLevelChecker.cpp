#include "core/text/PasswordLevelChecker.h"

#include <algorithm>
#include <array>

#include "core/text/StringsTool.h"
#include "platform/foundation/Text16.h"

namespace nvx {

PasswordLevelChecker::PasswordLevelChecker()
    : chekerArray_{"checkNumber", "checkAlphabet", "checkSpecialChar"} {}

std::optional<std::string> PasswordLevelChecker::checkPassword(std::string_view password) {
  static constexpr std::array<const char*, 4> kLevels = {nullptr, "BAD", "GENERAL", "GOOD"};
  std::u16string units = platform::toUtf16(password);
  int found = 0;
  for (char16_t unit : units) {
    charactors_ = platform::fromUtf16(std::u16string_view(&unit, 1));
    auto hit = std::find_if(chekerArray_.begin(), chekerArray_.end(),
                            [this](const std::string& name) { return check(name); });
    if (hit != chekerArray_.end()) {
      chekerArray_.erase(hit);
      ++found;
    }
  }
  if (found == 0) return std::nullopt;
  return std::string(kLevels[size_t(found)]);
}

bool PasswordLevelChecker::checkNumber() const { return StringsTool::isNumber(charactors_); }

bool PasswordLevelChecker::checkAlphabet() const { return StringsTool::isLetter(charactors_); }

bool PasswordLevelChecker::checkSpecialChar() const {
  return StringsTool::isSpecialCharacters(charactors_);
}

bool PasswordLevelChecker::check(std::string_view name) const {
  if (name == "checkNumber") return checkNumber();
  if (name == "checkAlphabet") return checkAlphabet();
  if (name == "checkSpecialChar") return checkSpecialChar();
  return false;
}

}  // namespace nvx
