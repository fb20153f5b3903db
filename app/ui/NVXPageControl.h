// The home screen's page dots: one 6 x 6 dot per page, 16 points apart, the current one drawn
// with the selected picture. A touch right of the middle goes one page on, any other touch one
// page back (never past either end); the value-changed event is sent on every touch, also when
// the page stays. Hosts listen for it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Control.h"
#include "platform/ui/Geometry.h"

namespace nvx {

class NVXPageControl : public platform::ui::Control {
 public:
  // One picture as drawRect draws it.
  struct Dot {
    std::string picture;
    platform::ui::Rect rect;
    bool operator==(const Dot&) const = default;
  };

  explicit NVXPageControl(platform::ui::Rect frame = {}) : Control(frame) {}
  // (0, 0, 16 n, 16), clear, page 0.
  static std::shared_ptr<NVXPageControl> initWithNumberOfPages(int numberOfPages);

  int numberOfPages() const { return numberOfPages_; }
  int currentPage() const { return currentPage_; }
  // Below 0 counts as 0, then at most the last page.
  void setCurrentPage(int page);

  // What the control draws: dot i in (16 i + 5, (height - 6) / 2, 6, 6), "home_icon_dot_selected.png"
  // for the current page and "home_icon_dot.png" for the others; nothing without pages.
  std::vector<Dot> drawRect(platform::ui::Rect rect) const;
  // A touch beginning at the point (the control's coordinates): the page moves and the
  // value-changed event is sent. True: the platform's own tracking goes on.
  bool beginTrackingWithTouch(platform::ui::Point touch);

  // --- a simulated user ---
  // A finger's tap at the point: the touch begins there (see above), then touch down and touch
  // up inside. False when the control takes no touches.
  bool tapAt(platform::ui::Point point);
  // A tap at the centre, which is not right of the middle: one page back.
  bool tap() override;

 protected:
  // " page=N/M" (counting from 1).
  void describeExtras(std::string& out) const override;

 private:
  int numberOfPages_ = 0;
  int currentPage_ = 0;
};

}  // namespace nvx
