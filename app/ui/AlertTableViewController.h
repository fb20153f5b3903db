// A modal box of the client's look (not a screen): a title bar, any content view under it and one
// or two buttons at the bottom, over a lightly dimmed cover of the whole screen. The caller owns
// the buttons' actions, whose targets call dismiss; it keeps the box to do so.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class AlertTableViewController : public platform::ui::View {
 public:
  static constexpr double kTitleHeight = 41;
  static constexpr double kTitleWidth = 280;
  static constexpr double kBoxX = 20;
  static constexpr double kBoxY = 80;
  // Title bar and button row together.
  static constexpr double kExtraHeight = 95;
  // Between a button's lower edge and the box's.
  static constexpr double kButtonBottomGap = 5;
  static constexpr double kCoverOpacity = 0.1;
  static constexpr double kDismissSeconds = 0.3;

  explicit AlertTableViewController(platform::ui::Rect frame = {});
  // Dismisses the platform alerts on screen, so that none stays under the box; then the title
  // bar, the box at (20, 80) as wide as the content and 95 points taller, white with rounded
  // corners, the content under the title bar, and the buttons. Either button may be missing.
  static std::shared_ptr<AlertTableViewController> initWithView(std::shared_ptr<platform::ui::View> content,
                                                                const std::string& title,
                                                                std::shared_ptr<platform::ui::Button> cancelBtn,
                                                                std::shared_ptr<platform::ui::Button> otherBtn);

  // The title bar: the picture "title-bg" (0, 0, 280, 41) holding the title, white, bold 20,
  // centred.
  void drawTitleView(const std::string& title);
  // Places the buttons given (missing ones skipped) with their lower edges 5 points above the
  // box's: two centred in the left and right halves, one centred.
  void addButton(const std::vector<std::shared_ptr<platform::ui::Button>>& buttons);
  // The cover over the application's navigation stack (the key window when there is none), the
  // box on top of it.
  void showAlert();
  // The cover and the box fade out in 0.3 s, then both leave.
  void dismiss();

  // The dimmed cover behind the box (nothing before showAlert).
  const std::shared_ptr<platform::ui::View>& maskView() const { return maskView_; }

  std::string kind() const override { return "AlertTableViewController"; }

 private:
  std::shared_ptr<platform::ui::View> maskView_;
};

}  // namespace nvx
