#include "app/ui/PatternColorView.h"

namespace nvx {

void PatternColorView::describeExtras(std::string& out) const {
  if (pattern_ && !pattern_->name.empty()) out += " pattern=" + pattern_->name;
  View::describeExtras(out);
}

}  // namespace nvx
