// The agreement line under a form: a check box (ticked from the start, toggled by each tap),
// "我已同意" and the agreement's title as a blue text button that opens the agreement.
#pragma once
#include <memory>
#include <string_view>

#include "platform/ui/Button.h"
#include "platform/ui/Control.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx {

class AgreeSubView : public platform::ui::View {
 public:
  explicit AgreeSubView(platform::ui::Rect frame) : View(frame) {}
  // The line at (x, y, 320, 40); a tap on the title runs the action (registered for the target).
  static std::shared_ptr<AgreeSubView> initWithPosition(platform::ui::Point position, std::string_view title,
                                                        const void* target, platform::ui::Control::Action action);

  // The check box's action: ticks or unticks it.
  void selectChange();
  // The check box is ticked.
  bool isAgreed() const;

  const std::shared_ptr<platform::ui::Label>& tipLb() const { return tipLb_; }
  void setTipLb(std::shared_ptr<platform::ui::Label> label) { tipLb_ = std::move(label); }
  const std::shared_ptr<platform::ui::Button>& agreeBtn() const { return agreeBtn_; }
  void setAgreeBtn(std::shared_ptr<platform::ui::Button> button) { agreeBtn_ = std::move(button); }
  const std::shared_ptr<platform::ui::Button>& protocolBtn() const { return protocolBtn_; }
  void setProtocolBtn(std::shared_ptr<platform::ui::Button> button) { protocolBtn_ = std::move(button); }

 private:
  std::shared_ptr<platform::ui::Label> tipLb_;
  std::shared_ptr<platform::ui::Button> agreeBtn_;
  std::shared_ptr<platform::ui::Button> protocolBtn_;
};

}  // namespace nvx
