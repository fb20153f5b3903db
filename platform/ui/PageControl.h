// A row of page dots. A user's tap on the right half goes one page on, on the left half one page
// back; the page changes at once and ValueChanged is sent, nothing at either end.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/Control.h"

namespace platform::ui {

class PageControl : public Control {
 public:
  explicit PageControl(Rect frame = {});
  static std::shared_ptr<PageControl> create(Rect frame = {});

  int numberOfPages() const { return pages_; }
  // Below 0 counts as 0; the current page stays within the pages.
  void setNumberOfPages(int n);
  int currentPage() const { return current_; }
  void setCurrentPage(int page);
  // Stored only.
  bool hidesForSinglePage() const { return hidesForSinglePage_; }
  void setHidesForSinglePage(bool on) { hidesForSinglePage_ = on; }
  bool defersCurrentPageDisplay() const { return defers_; }
  void setDefersCurrentPageDisplay(bool on) { defers_ = on; }
  void updateCurrentPageDisplay() {}
  // The size the dots take: 16 points per page less the last gap (9), 36 high.
  static Size sizeForNumberOfPages(int n);

  // --- a simulated user ---
  bool tapSide(bool right);
  // A tap at the centre (the right half).
  bool tap() override { return tapSide(true); }

  std::string kind() const override { return "PageControl"; }

 protected:
  // " page=N/M" (counting from 1).
  void describeExtras(std::string& out) const override;

 private:
  int pages_ = 0;
  int current_ = 0;
  bool hidesForSinglePage_ = false;
  bool defers_ = false;
};

}  // namespace platform::ui
