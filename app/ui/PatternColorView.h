// A plain view whose background colour is a picture repeated as a pattern.
#pragma once
#include <memory>
#include <optional>

#include "platform/ui/Image.h"
#include "platform/ui/View.h"

namespace nvx {

class PatternColorView : public platform::ui::View {
 public:
  explicit PatternColorView(platform::ui::Rect frame = {}) : View(frame) {}

  const std::optional<platform::ui::Image>& pattern() const { return pattern_; }
  void setPattern(std::optional<platform::ui::Image> pattern) { pattern_ = std::move(pattern); }

 protected:
  // " pattern=NAME" after the view's own description.
  void describeExtras(std::string& out) const override;

 private:
  std::optional<platform::ui::Image> pattern_;
};

}  // namespace nvx
