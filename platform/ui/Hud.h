// A progress overlay over a view: a spinner, or a short text, with a label and a detail line.
// It covers the whole view it is shown on, so the view takes no touches while it is up. Fades
// are not modelled: showing and hiding take effect at once (a delayed hide after its delay of
// run-loop time).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/View.h"

namespace platform::ui {

class Hud : public View {
 public:
  enum class Mode { Spinner, Text };

  explicit Hud(Rect frame = {});
  // A new spinner overlay added on top of the view, covering its bounds.
  static std::shared_ptr<Hud> showOn(View& view, bool animated);
  // Hides every overlay on the view (its direct subviews); how many there were.
  static int hideAll(View& view, bool animated);
  // The overlays on the view, bottom first.
  static std::vector<std::shared_ptr<Hud>> on(const View& view);

  Mode mode() const { return mode_; }
  void setMode(Mode mode) { mode_ = mode; }
  const std::string& label() const { return label_; }
  void setLabel(std::string text) { label_ = std::move(text); }
  const std::string& detail() const { return detail_; }
  void setDetail(std::string text) { detail_ = std::move(text); }
  // Offset of the panel from the centre of the view (negative is up).
  double yOffset() const { return yOffset_; }
  void setYOffset(double offset) { yOffset_ = offset; }

  // Removes the overlay from its view.
  void hide(bool animated);
  // The same after delaySeconds on the main run loop.
  void hide(bool animated, double delaySeconds);
  bool isShown() const { return superview() != nullptr; }

  std::string kind() const override { return "Hud"; }
  std::optional<std::string> displayText() const override;

 protected:
  void describeExtras(std::string& out) const override;

 private:
  Mode mode_ = Mode::Spinner;
  std::string label_;
  std::string detail_;
  double yOffset_ = 0;
};

}  // namespace platform::ui
