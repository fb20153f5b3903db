// Helpers shared by the text-taking views (TextField, TextView): keystrokes, character ranges
// in UTF-16 units, hidden-entry bullets.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Text16.h"

namespace platform::ui {

class TextEditing {
 public:
  // The keystrokes a user makes to type the text: one per code point. Nothing when the text is
  // not well-formed UTF-8 (no keyboard types such bytes).
  static std::optional<std::vector<std::string>> keystrokes(std::string_view text);
  // The range of the character before a caret (UTF-16 units): two units for a surrogate pair,
  // one otherwise; nothing at the start of the text.
  static std::optional<Range16> characterBefore(std::string_view text, size_t caret16);
  // One "•" per code point.
  static std::string bullets(std::string_view text);
};

}  // namespace platform::ui
