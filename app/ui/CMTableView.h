// The forms' table view: keyboard-avoiding, made with the client's table look.
#pragma once
#include <memory>

#include "app/ui/KeyboardAvoidingTableView.h"

namespace nvx {

class CMTableView : public KeyboardAvoidingTableView {
 public:
  using KeyboardAvoidingTableView::KeyboardAvoidingTableView;

  // A table of the frame in the grouped (plain) style: clear background, separators in
  // 202/204/204 but none drawn, no background view, no vertical scroll indicator.
  static std::shared_ptr<CMTableView> myGroupedTableViewWithFrame(platform::ui::Rect frame);
  static std::shared_ptr<CMTableView> myPlainTableViewWithFrame(platform::ui::Rect frame);
};

}  // namespace nvx
