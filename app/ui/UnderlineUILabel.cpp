#include "app/ui/UnderlineUILabel.h"

#include "platform/ui/TextMetrics.h"

namespace nvx {

using platform::ui::Size;
using platform::ui::TextMetrics;

std::shared_ptr<UnderlineUILabel> UnderlineUILabel::create(platform::ui::Rect frame, std::string text) {
  return std::make_shared<UnderlineUILabel>(frame, std::move(text));
}

std::vector<UnderlineUILabel::Line> UnderlineUILabel::underlines() const {
  std::vector<Line> lines;
  double width = frame().width;
  int h = static_cast<int>(TextMetrics::measure(text(), font(), Size{width, 10000}).height);
  int lineStep = static_cast<int>(font().pointSize() + 4);
  if (lineStep <= 0) return lines;
  int n = h / lineStep;
  double oneLine = TextMetrics::measure(text(), font(), Size{1000, 10000}).width;
  for (int i = 1; i <= n; ++i) {
    double y = lineStep + 5 + (i - 1) * lineStep;
    double overshoot = i * width - oneLine;
    double endX = overshoot <= 0 ? width : width - overshoot;
    lines.push_back(Line{{0, y}, {endX, y}});
  }
  return lines;
}

void UnderlineUILabel::describeExtras(std::string& out) const {
  out += " underlines=" + std::to_string(underlines().size());
  Label::describeExtras(out);
}

}  // namespace nvx
