#include "platform/ui/TextMetrics.h"

#include <algorithm>
#include <cmath>

#include "platform/foundation/Text16.h"

namespace platform::ui {
namespace {

struct Glyph {
  char32_t c;
  size_t begin;   // UTF-16 range in the text
  size_t end;
};

std::vector<Glyph> decode(const std::u16string& s) {
  std::vector<Glyph> out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      out.push_back({c, i, i + 2});
      i += 2;
    } else {
      out.push_back({u, i, i + 1});
      ++i;
    }
  }
  return out;
}

bool isSpace(char32_t c) { return c == U' ' || c == U'\t'; }

// A line as a range of glyphs [begin, end) and its width in milli-em (trailing spaces excluded).
struct Line {
  size_t begin = 0;
  size_t end = 0;
  long width = 0;
};

// Greedy word wrap. maxMilli <= 0: no limit.
std::vector<Line> layout(const std::vector<Glyph>& g, long maxMilli) {
  std::vector<Line> lines;
  Line cur;
  long pendingSpace = 0;   // width of spaces after the last word on the current line
  bool lineHasContent = false;
  bool wrapped = false;    // the current line began at a soft break (drop its leading spaces)
  auto finish = [&](size_t end) {
    cur.end = end;
    lines.push_back(cur);
    cur = Line{};
    pendingSpace = 0;
    lineHasContent = false;
  };
  size_t i = 0;
  cur.begin = 0;
  while (i < g.size()) {
    char32_t c = g[i].c;
    if (c == U'\n') {
      finish(i);
      cur.begin = i + 1;
      wrapped = false;
      ++i;
      continue;
    }
    if (isSpace(c)) {
      if (!lineHasContent && wrapped) {   // spaces at a soft break are dropped
        cur.begin = i + 1;
      } else {
        pendingSpace += TextMetrics::advanceMilli(c);
        lineHasContent = true;
      }
      ++i;
      continue;
    }
    // A word: one wide character, or a run of narrow non-space characters.
    size_t j = i + 1;
    long w = TextMetrics::advanceMilli(c);
    if (!TextMetrics::isWide(c)) {
      while (j < g.size() && g[j].c != U'\n' && !isSpace(g[j].c) && !TextMetrics::isWide(g[j].c)) {
        w += TextMetrics::advanceMilli(g[j].c);
        ++j;
      }
    }
    bool fits = maxMilli <= 0 || cur.width + pendingSpace + w <= maxMilli;
    if (fits) {
      cur.width += pendingSpace + w;
      pendingSpace = 0;
      lineHasContent = true;
      i = j;
      continue;
    }
    if (lineHasContent && cur.width > 0) {   // break before the word
      finish(i);
      cur.begin = i;
      wrapped = true;
      continue;
    }
    // The word alone is wider than a line: break it between characters.
    cur.width += pendingSpace;
    pendingSpace = 0;
    size_t k = i;
    while (k < j) {
      long cw = TextMetrics::advanceMilli(g[k].c);
      if (cur.width > 0 && cur.width + cw > maxMilli) {
        finish(k);
        cur.begin = k;
        wrapped = true;
      }
      cur.width += cw;
      lineHasContent = true;
      ++k;
    }
    i = j;
  }
  finish(g.size());
  return lines;
}

double toPoints(long milli, const Font& font) { return static_cast<double>(milli) * font.size / 1000.0; }

double roundUp(double v) { return std::ceil(v - 1e-9); }

long toMilli(double points, const Font& font) {
  if (points <= 0 || font.size <= 0) return 0;
  return static_cast<long>(std::floor(points * 1000.0 / font.size + 1e-9));
}

}  // namespace

bool TextMetrics::isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE10 && c <= 0xFE1F) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

int TextMetrics::advanceMilli(char32_t c) {
  if (isSpace(c)) return 280;
  if (c < 0x20 || c == 0x7F) return 0;
  if (isWide(c)) return 1000;
  return 550;
}

double TextMetrics::width(std::string_view text, const Font& font) {
  long milli = 0;
  for (const Glyph& g : decode(toUtf16(text))) {
    if (g.c != U'\n') milli += advanceMilli(g.c);
  }
  return toPoints(milli, font);
}

Size TextMetrics::measure(std::string_view text, const Font& font) { return measure(text, font, Size{0, 0}); }

Size TextMetrics::measure(std::string_view text, const Font& font, Size box) {
  if (text.empty()) return Size{0, 0};
  auto glyphs = decode(toUtf16(text));
  long maxMilli = box.width > 0 ? std::max<long>(toMilli(box.width, font), 1) : 0;
  auto lines = layout(glyphs, maxMilli);
  size_t count = lines.size();
  double lh = font.lineHeight();
  if (box.height > 0 && lh > 0) {
    auto fit = static_cast<size_t>(std::floor(box.height / lh + 1e-9));
    count = std::max<size_t>(1, std::min(count, fit));
  }
  long widest = 0;
  for (size_t i = 0; i < count; ++i) widest = std::max(widest, lines[i].width);
  return Size{roundUp(toPoints(widest, font)), static_cast<double>(count) * lh};
}

std::vector<std::string> TextMetrics::wrap(std::string_view text, const Font& font, double maxWidth) {
  std::u16string s = toUtf16(text);
  auto glyphs = decode(s);
  long maxMilli = maxWidth > 0 ? std::max<long>(toMilli(maxWidth, font), 1) : 0;
  std::vector<std::string> out;
  for (const Line& line : layout(glyphs, maxMilli)) {
    size_t end = line.end;
    while (end > line.begin && isSpace(glyphs[end - 1].c)) --end;   // trailing spaces
    if (end <= line.begin) {
      out.emplace_back();
      continue;
    }
    size_t from = glyphs[line.begin].begin;
    size_t to = glyphs[end - 1].end;
    out.push_back(fromUtf16(std::u16string_view(s).substr(from, to - from)));
  }
  return out;
}

}  // namespace platform::ui
