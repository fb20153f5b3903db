// A tips box over the screen below the navigation bar: half-transparent black, a white panel
// (30, 40, 260, 300) with the text at the top and a black "确认" button that closes the box.
// It stays until that button is pressed.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

namespace nvx {

class NVXTipsView : public platform::ui::View {
 public:
  explicit NVXTipsView(platform::ui::Rect frame) : View(frame) {}
  // The box with the text, at (0, 64, screen width, screen height - 64).
  static std::shared_ptr<NVXTipsView> initWithText(std::string_view text);
  // The box with no text at the frame.
  static std::shared_ptr<NVXTipsView> initWithFrame(platform::ui::Rect frame);

  // Adds the box to the host; the panel pops in (scales 0.1, 1.2, 0.9, 1.0 over 0.5 s, ending
  // at its own size, which is all that remains of it here).
  void show(platform::ui::View& host);

  const std::string& text() const { return text_; }
  const std::shared_ptr<platform::ui::View>& tipsView() const { return tipsView_; }

 private:
  void build();

  std::string text_;
  std::shared_ptr<platform::ui::View> tipsView_;
};

}  // namespace nvx
