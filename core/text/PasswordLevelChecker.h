// Rates a password's strength by the character classes it holds: digits, ASCII letters and the
// special characters ! @ # $ % ^ & *. One class gives "BAD", two "GENERAL", three "GOOD"; a
// password of none of them (or an empty one) gives nothing.
//
// A checker rates one password: each class found is struck from its list, so a second rating on
// the same checker counts only the classes not found before. Make a new checker for each rating.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nvx {

class PasswordLevelChecker {
 public:
  PasswordLevelChecker();

  // "BAD", "GENERAL", "GOOD" or nothing.
  std::optional<std::string> checkPassword(std::string_view password);

  // Tests of the character held in charactors.
  bool checkNumber() const;
  bool checkAlphabet() const;
  bool checkSpecialChar() const;

  const std::vector<std::string>& chekerArray() const { return chekerArray_; }
  const std::string& charactors() const { return charactors_; }

 private:
  bool check(std::string_view name) const;

  std::vector<std::string> chekerArray_;   // the class checks not yet satisfied, in order
  std::string charactors_;                 // the one character under test
};

}  // namespace nvx
