#include "app/ui/ColorExt.h"

#include <cstdint>

#include "core/text/CArithmetic.h"

namespace nvx {

using platform::ui::Color;

Color ColorExt::defaultPageViewBgColor() { return Color::white(); }
Color ColorExt::defaultSimpleTableViewBgColor() { return defaultPageViewBgColor(); }
Color ColorExt::defaultGroupTableViewBgColor() { return Color::clear(); }
Color ColorExt::defaultLabelBgColor() { return Color::clear(); }
Color ColorExt::defaultSimpleCellBgColor() { return Color::white(); }
Color ColorExt::defaultGroupCellBgColor() { return Color::white(); }
Color ColorExt::defaultButtonDisableTitleColor() { return Color::gray(0.5); }
Color ColorExt::defaultNavItemDisableTitleColor() { return defaultButtonDisableTitleColor(); }
Color ColorExt::defaultPromptBgColor() { return Color::rgb255(248, 248, 193); }
Color ColorExt::separatorColor() { return Color::rgb255(202, 204, 204); }
Color ColorExt::functionDescColor() { return Color::rgb255(51, 51, 51); }

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

uint32_t scanHex(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && i + 2 < text.size() &&
      hexDigitValue(text[i + 2]) >= 0) {
    i += 2;
  }
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int d = hexDigitValue(text[i]);
    if (d < 0) break;
    value = value * 16 + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) value = 0x100000000ull;   // saturated; later digits change nothing
  }
  return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

}  // namespace

Color ColorExt::colorFromHexRGB(std::optional<std::string_view> text) {
  if (!text) return Color::black();
  uint32_t v = scanHex(*text);
  return Color::rgb255(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                       static_cast<int>(v & 0xFF));
}

}  // namespace nvx
