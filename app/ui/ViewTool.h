// The client's table views, made with its table look.
#pragma once
#include <memory>

#include "app/ui/CustomTableView.h"

namespace nvx {

class ViewTool {
 public:
  // A CustomTableView of the frame in the grouped (plain) style: clear background, separators
  // in 202/204/204 but none drawn, no background view.
  static std::shared_ptr<CustomTableView> myGroupedTableViewWithFrame(platform::ui::Rect frame);
  static std::shared_ptr<CustomTableView> myPlainTableViewWithFrame(platform::ui::Rect frame);

  // The table look shared by the client's tables.
  static void applyTableLook(platform::ui::TableView& table);
};

}  // namespace nvx
