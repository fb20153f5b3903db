#include "app/ui/CustomTableView.h"

namespace nvx {

void CustomTableView::touchesBegan(platform::ui::Point at) {
  beginPoint_ = at;
  isTouchUpInside_ = true;
}

void CustomTableView::touchesMoved(platform::ui::Point) { isTouchUpInside_ = false; }

void CustomTableView::touchesEnded(platform::ui::Point) {
  if (!isTouchUpInside_) return;
  if (auto delegate = delegate_.lock()) delegate->touchUpInsideEndedCustomTableView(*this);
}

void CustomTableView::touchesCancelled() {}

}  // namespace nvx
