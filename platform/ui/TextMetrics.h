// How much room a text takes in a font: one deterministic model in place of real glyph metrics.
//
// Advance widths, in em (multiples of the font size):
//   - the space (U+0020, and a tab) 0.28 em;
//   - CJK and full-width characters 1.0 em: Hangul Jamo U+1100-115F, CJK punctuation, kana and
//     ideographs U+2E80-A4CF (U+303F excepted), Hangul syllables U+AC00-D7A3, compatibility
//     ideographs U+F900-FAFF, vertical and compatibility forms U+FE10-FE1F and U+FE30-FE4F,
//     full-width forms U+FF00-FF60 and U+FFE0-FFE6, and the planes U+20000-3FFFD;
//   - control characters (below U+0020 and U+007F) 0 em;
//   - every other character (ASCII letters, digits and punctuation, and the rest) 0.55 em.
// Bold text has the same widths. A line is Font::lineHeight() = ceil(1.2 x size) points high.
//
// Wrapping (word wrap): "\n" always ends a line. A line may also break after a space and before
// or after any CJK / full-width character; spaces where a line breaks are dropped and never
// count toward a width. A word wider than the whole line is broken between characters.
//
// measure(text, font, box) returns the width of the widest line and the height of the lines
// that fit: lines x lineHeight, with the number of lines limited to floor(box.height /
// lineHeight) but never below one. A box dimension <= 0 means "no limit". The width is rounded
// up to whole points; an empty text measures 0 x 0.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Font.h"
#include "platform/ui/Geometry.h"

namespace platform::ui {

class TextMetrics {
 public:
  // Width of one code point in thousandths of an em (0, 280, 550 or 1000).
  static int advanceMilli(char32_t c);
  static bool isWide(char32_t c);   // CJK or full-width

  // Width of the text on one line (line breaks ignored), not rounded.
  static double width(std::string_view text, const Font& font);
  // Size of the text in one line per "\n"-separated paragraph, without wrapping.
  static Size measure(std::string_view text, const Font& font);
  static Size measure(std::string_view text, const Font& font, Size box);
  // The lines the text breaks into within maxWidth (<= 0: only at "\n"), without the spaces
  // dropped at the breaks.
  static std::vector<std::string> wrap(std::string_view text, const Font& font, double maxWidth);
};

}  // namespace platform::ui
