#include "app/ui/KeyboardAvoidingTableView.h"

#include <algorithm>

#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Window.h"

namespace nvx {

using platform::ui::EdgeInsets;
using platform::ui::Keyboard;
using platform::ui::Point;
using platform::ui::Rect;

namespace {

// A view's frame on the screen (its window's origin added).
Rect onScreen(const platform::ui::View& view) {
  Rect r = view.frameInWindow();
  if (auto w = view.window()) r = r.offsetBy(w->frame().x, w->frame().y);
  return r;
}

}  // namespace

KeyboardAvoidingTableView::KeyboardAvoidingTableView(Rect frame, platform::ui::TableViewStyle style)
    : TableView(frame, style) {}

void KeyboardAvoidingTableView::layoutSubviews() {
  TableView::layoutSubviews();
  if (observations_.empty()) observeEditing();
}

void KeyboardAvoidingTableView::observeEditing() {
  std::weak_ptr<View> weakSelf = weak_from_this();
  auto follow = [weakSelf](const platform::Notification&) {
    if (auto self = std::static_pointer_cast<KeyboardAvoidingTableView>(weakSelf.lock())) self->adjustToKeyboard();
  };
  auto& center = platform::NotificationCenter::shared();
  for (const char* name : {platform::ui::TextField::kTextDidBeginEditingNotification,
                           platform::ui::TextField::kTextDidEndEditingNotification,
                           platform::ui::TextView::kTextDidBeginEditingNotification,
                           platform::ui::TextView::kTextDidEndEditingNotification}) {
    observations_.push_back(center.observe(name, nullptr, follow));
  }
}

void KeyboardAvoidingTableView::adjustToKeyboard() {
  auto responder = Keyboard::responder();
  bool serving = Keyboard::isVisible() && responder && responder.get() != this && responder->isDescendantOf(*this);
  if (!serving) {
    if (insetBeforeKeyboard_) {
      setContentInset(*insetBeforeKeyboard_);
      insetBeforeKeyboard_.reset();
      Point offset = contentOffset();
      Point most = maxContentOffset();
      if (offset.y > most.y) setContentOffset(Point{offset.x, most.y});
    }
    return;
  }
  Rect table = onScreen(*this);
  Rect keyboard = Keyboard::frameOnScreen();
  double covered = std::clamp(table.maxY() - keyboard.y, 0.0, table.height);
  if (!insetBeforeKeyboard_) insetBeforeKeyboard_ = contentInset();
  EdgeInsets inset = *insetBeforeKeyboard_;
  inset.bottom = std::max(inset.bottom, covered);
  setContentInset(inset);

  // The field in content coordinates, and the part of the content that shows above the keyboard.
  Rect field = onScreen(*responder);
  double top = contentOffset().y + (field.y - table.y);
  double bottom = top + field.height;
  double shown = table.height - covered;
  double y = contentOffset().y;
  if (bottom > y + shown) y = bottom - shown;
  if (top < y) y = top;
  y = std::clamp(y, minContentOffset().y, std::max(minContentOffset().y, maxContentOffset().y));
  if (y != contentOffset().y) setContentOffset(Point{contentOffset().x, y});
}

}  // namespace nvx
