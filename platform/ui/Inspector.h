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
// Before every find, act and render the inspected windows are laid out (View::layoutIfNeeded),
// as the platform lays out before it draws: tables and pickers that were never loaded load then.
// A view inside a scroll view that lies outside its visible part is scrolled into view first
// (as a user drags the content) when it is tapped or typed into.
//
// Following a link is a tap on it in the page a web view shows: the web view must be visible and
// not covered, and it asks its delegate before it loads the link's address.
//
// Typing goes through the keyboard's path: the field is tapped (it must be enabled, visible and
// not covered; the tap makes it begin editing, asking its delegate), then every character is a
// keystroke that its delegate may refuse (TextField::typeText). Refused keystrokes are not an
// error: the field's text shows what was accepted. It is an error when the field cannot begin
// editing or the keyboard goes away before the last character.
//
// render() format, one line per visible view, each window a block of its own:
//
//   Window (0,0,320,568) [key]
//     View (0,20,320,548)
//       Label tag=7 (20,10,280,21) "金额"
//       Button tag=3 (20,40,280,44) "确定" [disabled]
//       ImageView (0,0,320,568) image=app_splash.png
//       TextField tag=5 (111,8,194,30) "138" [editing]
//       TextField (111,48,194,30) placeholder="请输入密码"
//   Window (0,282,320,260) level=1000
//     Toolbar (0,0,320,44) style=blackTranslucent
//       Button (264,7,50,30) "完成"
//     Keyboard (0,44,320,216) type=NumberPad
//   Window (0,0,320,568) level=2000
//     AlertView tag=900 (18,213,284,142)
//       Label (16,16,252,22) "提示"
//       Label (16,46,252,20) "余额不足"
//       Button (16,82,252,44) "知道了"
//
// Each line is two spaces per depth, then: Kind, " tag=N" unless the tag is 0, the frame
// " (x,y,w,h)" in the superview's coordinates (whole numbers plain, others with up to two
// decimals; inside a scroll view, content coordinates), the text a user reads in double quotes
// (label text, button title, navigation bar title, overlay label, a text field's or text view's
// text, a secure field's text as one "•" per character, a picker's selected rows' titles joined
// by " | "; \ " and line breaks escaped as \\ \" \n), then extras of the kind:
// " image=NAME" (image view, button picture; an image view's unnamed picture as WxH points),
// " background=NAME" (button without title or picture), " mode=spinner|text", " detail=\"...\"",
// " yOffset=N" (overlay), " level=N" (window above the normal level: 1000 the keyboard, 2000
// alerts), " placeholder=\"...\"" (empty text field), " type=KIND" (the system keyboard),
// " content=WxH" and " offset=x,y" unless zero (scroll view, table view, after
// " style=grouped" for a grouped table), " at=S,R" and " accessory=disclosure|detail|checkmark"
// (table cell), " segments=\"a\"|\"b\" selected=N" (segmented control), " page=N/M" (page
// control), " url=\"...\" title=\"...\" links=\"a\"|\"b\" text=\"...\"" (web view: its page; the text
// cut after 120 characters), " style=black|blackTranslucent" (toolbar), and flags " [key]", " [disabled]",
// " [selected]", " [animating]", " [editing]" (the first responder taking text), " [readonly]"
// (text view), " [loading]" (web view). Subviews follow their view, back to front.
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
#include "platform/ui/PickerView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"
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
  // Taps the one control (button) whose text is exactly title (text fields are not matched). An error when there is none,
  // when it is disabled or covered, or when more than one could be meant.
  Status tap(std::string_view title);
  Status tapTag(int tag);
  Status tapControl(Control& control);

  // --- typing (see above) ---
  // The visible text field with this placeholder (also once it holds text).
  std::shared_ptr<TextField> fieldByPlaceholder(std::string_view placeholder) const;
  Status type(std::string_view placeholder, std::string_view text);
  Status type(TextField& field, std::string_view text);
  Status type(const std::function<bool(const TextField&)>& match, std::string_view text);
  Status type(TextView& view, std::string_view text);

  // --- tables, pickers, segments ---
  // The row's cell in the one table on the screen (an error when there are several): it is
  // scrolled into view and must take a touch (a control inside the cell is not the cell).
  Status tapCell(int section, int row);
  Status tapCell(TableView& table, IndexPath path);
  // The cell holding a view whose text is exactly text (one cell only).
  Status tapCellWithText(std::string_view text);
  // Spins the one picker on the screen (an error when there are several) to the row.
  Status pick(int column, int row);
  Status pick(PickerView& picker, int column, int row);
  // Taps the segment titled title of the one segmented control that has it.
  Status tapSegment(std::string_view title);

  // --- web views ---
  // A user's tap on the link whose text is exactly text, on the page of the one visible web
  // view that shows it: the web view asks its delegate (LinkClicked) before it loads the link.
  // An error when no page on the screen has such a link, when links of that text lead to
  // different addresses, or when the web view is covered or takes no touches.
  Status followLink(std::string_view text);
  Status followLink(WebView& webView, std::string_view text);

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
  void layout() const;
  // Scrolls the scroll views around the view (innermost first) until it shows.
  static void reveal(View& view);
  // An error unless a touch at p (screen coordinates) reaches target (or a view inside it that is
  // not a control, unless allowControls).
  static Status reaches(View& target, Point p, const std::string& name, bool allowControls);

  std::shared_ptr<Window> window_;
};

}  // namespace platform::ui
