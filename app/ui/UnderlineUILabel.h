// A label that underlines every line of its text.
//
// The lines (in the label's coordinates, stroked in the text colour, 1 point wide): h = the
// text's height in the label's font within the label's width (10,000 high), L = the font size +
// 4, both truncated to whole points; n = h / L lines. W = the width of the text on one line,
// capped at 1,000. Line i (1 ... n) lies at y = L + 5 + (i - 1) L from x = 0 to the label's
// width, or, when i x width passes W, to width - (i x width - W): the part of the text on the
// last line.
#pragma once
#include <memory>
#include <vector>

#include "platform/ui/Label.h"

namespace nvx {

class UnderlineUILabel : public platform::ui::Label {
 public:
  struct Line {
    platform::ui::Point from;
    platform::ui::Point to;
    bool operator==(const Line&) const = default;
  };

  using Label::Label;
  static std::shared_ptr<UnderlineUILabel> create(platform::ui::Rect frame = {}, std::string text = {});

  // The underlines as they are drawn now.
  std::vector<Line> underlines() const;
  // Asks for the underlines to be drawn again (counted: nothing draws here).
  void setNeedsDisplay() { ++redraws_; }
  int redrawRequests() const { return redraws_; }

 protected:
  // " underlines=N" after the label's own description.
  void describeExtras(std::string& out) const override;

 private:
  int redraws_ = 0;
};

}  // namespace nvx
