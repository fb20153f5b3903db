// The lottery's loading overlay: a dark rounded box with a large white spinner and a message of
// up to three lines, laid over a view while a lottery request runs. The five makers differ only in
// the overlay's frame. The screen that shows one keeps it (in its loadingView field) until it
// removes it, also when the reply is empty.
//
// The box is drawn by the overlay itself; boxOutline() gives its outline as a path (fill black
// at alpha 0.75, stroke white at alpha 0.25). Fades are not modelled on this platform: the
// overlay appears and leaves at once.
#pragma once
#include <memory>
#include <string_view>
#include <vector>

#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

namespace nvx::lottery {

class LoadingView : public platform::ui::View {
 public:
  static constexpr platform::ui::Color kBoxFill = platform::ui::Color{0, 0, 0, 0.75};
  static constexpr platform::ui::Color kBoxStroke = platform::ui::Color{1, 1, 1, 0.25};
  static constexpr double kCornerRadius = 10;

  // Each covers view with a new overlay (added on top of its subviews) showing the message, looked
  // up in the localized string table (the message itself when the table has none), and returns it.
  // (0, 0, 320, 480)
  static std::shared_ptr<LoadingView> loadingViewInView(platform::ui::View& view, std::string_view statusMessage);
  // (0, -50, 320, 570)
  static std::shared_ptr<LoadingView> loadingViewInView1(platform::ui::View& view, std::string_view statusMessage1);
  // (0, -50, 320, 530)
  static std::shared_ptr<LoadingView> loadingViewInView2(platform::ui::View& view, std::string_view statusMessage2);
  // (60, -20, 200, 470)
  static std::shared_ptr<LoadingView> loadingViewInView3(platform::ui::View& view, std::string_view statusMessage3);
  // (60, 30, 200, 470)
  static std::shared_ptr<LoadingView> loadingViewInView4(platform::ui::View& view, std::string_view statusMessage4);

  explicit LoadingView(platform::ui::Rect frame);

  // Takes the overlay off its view; a second call does nothing.
  void removeView();

  std::shared_ptr<platform::ui::Label> label() const { return label_; }
  std::shared_ptr<platform::ui::ActivityIndicatorView> spinner() const { return spinner_; }

  // One step of the box's outline, in the overlay's coordinates. An arc runs from the current
  // point (the end of the line before it) around center to `to`.
  struct PathElement {
    enum class Kind { MoveTo, LineTo, ArcTo, Close } kind = Kind::MoveTo;
    platform::ui::Point to;
    platform::ui::Point center;  // ArcTo only
    double radius = 0;           // ArcTo only
  };
  // The outline of the box for the overlay's current bounds.
  std::vector<PathElement> boxOutline() const;

  std::string kind() const override { return "LoadingView"; }

 private:
  static std::shared_ptr<LoadingView> show(platform::ui::View& view, platform::ui::Rect frame,
                                           std::string_view message);

  std::shared_ptr<platform::ui::Label> label_;
  std::shared_ptr<platform::ui::ActivityIndicatorView> spinner_;
};

}  // namespace nvx::lottery
