// A table view that tells its delegate when a touch ends on it without having moved: the form
// screens close their keyboards then. The platform's table behaviour runs first in every case.
#pragma once
#include <memory>

#include "app/ui/KeyboardAvoidingTableView.h"

namespace nvx {

class CustomTableView;

class CustomTableViewDelegate {
 public:
  virtual ~CustomTableViewDelegate() = default;
  virtual void touchUpInsideEndedCustomTableView(CustomTableView& table) {}
};

class CustomTableView : public KeyboardAvoidingTableView {
 public:
  using KeyboardAvoidingTableView::KeyboardAvoidingTableView;

  // Where the last touch began, and whether it has stayed in place since.
  platform::ui::Point beginPoint() const { return beginPoint_; }
  bool isTouchUpInside() const { return isTouchUpInside_; }
  std::shared_ptr<CustomTableViewDelegate> touchUpInsideDelegate() const { return delegate_.lock(); }
  void setTouchUpInsideDelegate(std::weak_ptr<CustomTableViewDelegate> delegate) { delegate_ = std::move(delegate); }

  // A touch sequence (points in the table's coordinates).
  void touchesBegan(platform::ui::Point at);
  void touchesMoved(platform::ui::Point at);
  void touchesEnded(platform::ui::Point at);
  void touchesCancelled();

 private:
  platform::ui::Point beginPoint_;
  bool isTouchUpInside_ = false;
  std::weak_ptr<CustomTableViewDelegate> delegate_;
};

}  // namespace nvx
