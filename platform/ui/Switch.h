// An on/off switch. A user's tap flips it and sends ValueChanged; setOn (a program's) sends
// nothing.
#pragma once
#include <memory>

#include "platform/ui/Control.h"

namespace platform::ui {

class Switch : public Control {
 public:
  // The platform's switch is 79 x 27 whatever frame it is given.
  static constexpr double kWidth = 79;
  static constexpr double kHeight = 27;

  explicit Switch(Rect frame = {});
  static std::shared_ptr<Switch> create(Rect frame = {});

  bool isOn() const { return on_; }
  void setOn(bool on, bool animated = false);

  // Touch down, the flip, ValueChanged, touch up inside.
  bool tap() override;

  std::string kind() const override { return "Switch"; }

 protected:
  void describeExtras(std::string& out) const override;

 private:
  bool on_ = false;
};

}  // namespace platform::ui
