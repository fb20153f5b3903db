// Tests and the text-mode simulator act as a user only through the Inspector: they find what is
// on the screen, tap it, answer alerts and sheets, and read the screen as text.
//
// Windows inspected: the window given (by default the key window at the time of each call),
// then every visible alert-level window above it (alerts), bottom first. Finding sees visible
// views only: a hidden view, or one with alpha below 0.01, is skipped with its subviews.
//
// A tap is a user's tap: the control must be enabled, visible, take touches, and a touch at its
// centre must reach it (an alert, a sheet, an overlay or a view on top of it stops the touch).
//
// render() format, one line per visible view, each window a block of its own:
//
//   Window (0,0,320,568) [key]
//     View (0,20,320,548)
//       Label tag=7 (20,10,280,21) "金额"
//       Button tag=3 (20,40,280,44) "确定" [disabled]
//       ImageView (0,0,320,568) image=app_splash.png
//   Window (0,0,320,568) level=2000
//     AlertView tag=900 (18,213,284,142)
//       Label (16,16,252,22) "提示"
//       Label (16,46,252,20) "余额不足"
//       Button (16,82,252,44) "知道了"
//
// Each line is two spaces per depth, then: Kind, " tag=N" unless the tag is 0, the frame
// " (x,y,w,h)" in the superview's coordinates (whole numbers plain, others with up to two
// decimals), the text a user reads in double quotes (label text, button title, navigation bar
// title, overlay label; \ " and line breaks escaped as \\ \" \n), then extras of the kind:
// " image=NAME" (image view, button picture; an image view's unnamed picture as WxH points),
// " background=NAME" (button without title or
// picture), " mode=spinner|text", " detail=\"...\"", " yOffset=N" (overlay), " level=N"
// (window above the normal level), and flags " [key]", " [disabled]", " [selected]",
// " [animating]". Subviews follow their view, back to front.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"
#include "platform/ui/ActionSheet.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Control.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

namespace platform::ui {

class Inspector {
 public:
  Inspector() = default;
  explicit Inspector(std::shared_ptr<Window> window) : window_(std::move(window)) {}

  // The window inspected (the key window when none was given).
  std::shared_ptr<Window> window() const;
  // The window inspected and the alert windows above it, bottom first.
  std::vector<std::shared_ptr<Window>> windows() const;

  // --- finding (visible views, in render order) ---
  std::vector<std::shared_ptr<View>> findAll(const std::function<bool(const View&)>& match) const;
  std::shared_ptr<View> find(const std::function<bool(const View&)>& match) const;
  std::shared_ptr<View> byText(std::string_view text) const;          // the text exactly
  std::shared_ptr<View> containingText(std::string_view part) const;  // a text containing part
  std::shared_ptr<View> byTag(int tag) const;
  std::vector<std::shared_ptr<View>> byKind(std::string_view kind) const;
  template <class T>
  std::shared_ptr<T> first() const {
    return std::dynamic_pointer_cast<T>(find([](const View& v) { return dynamic_cast<const T*>(&v) != nullptr; }));
  }

  // --- acting ---
  // Taps the one control (button) whose text is exactly title. An error when there is none,
  // when it is disabled or covered, or when more than one could be meant.
  Status tap(std::string_view title);
  Status tapTag(int tag);
  Status tapControl(Control& control);

  std::shared_ptr<AlertView> topAlert() const { return AlertView::top(); }
  // Taps the button of the top alert with that title.
  Status answerAlert(std::string_view buttonTitle);
  std::shared_ptr<ActionSheet> topSheet() const;
  Status chooseInSheet(std::string_view buttonTitle);

  // The screen in front in the inspected window: the top of its navigation stack, or the screen
  // presented over it.
  std::shared_ptr<ViewController> topScreen() const;

  std::string render() const;

 private:
  Status tapButtonOf(View& container, std::string_view title, const std::string& what);

  std::shared_ptr<Window> window_;
};

}  // namespace platform::ui
