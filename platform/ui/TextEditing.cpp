#include "platform/ui/TextEditing.h"

namespace platform::ui {
namespace {

// Length of the UTF-8 sequence that starts with this byte (0 for a continuation byte or an
// invalid lead); isValidUtf8 has checked the rest.
size_t sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

std::optional<std::vector<std::string>> TextEditing::keystrokes(std::string_view text) {
  if (!isValidUtf8(text)) return std::nullopt;
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    size_t n = sequenceLength(static_cast<unsigned char>(text[i]));
    if (n == 0 || i + n > text.size()) return std::nullopt;
    out.emplace_back(text.substr(i, n));
    i += n;
  }
  return out;
}

std::optional<Range16> TextEditing::characterBefore(std::string_view text, size_t caret16) {
  if (caret16 == 0) return std::nullopt;
  auto last = u16at(text, caret16 - 1);
  if (!last) return std::nullopt;
  if (*last >= 0xDC00 && *last <= 0xDFFF && caret16 >= 2) {
    auto first = u16at(text, caret16 - 2);
    if (first && *first >= 0xD800 && *first <= 0xDBFF) return Range16{caret16 - 2, 2};
  }
  return Range16{caret16 - 1, 1};
}

std::string TextEditing::bullets(std::string_view text) {
  std::string out;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) out += "\u2022";
  }
  return out;
}

}  // namespace platform::ui
