#include "app/ui/ViewTool.h"

#include "app/ui/ColorExt.h"

namespace nvx {

using platform::ui::Rect;
using platform::ui::TableViewStyle;

void ViewTool::applyTableLook(platform::ui::TableView& table) {
  table.setBackgroundColor(platform::ui::Color::clear());
  table.setSeparatorColor(ColorExt::separatorColor());
  table.setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::None);
  table.setBackgroundView(nullptr);
}

std::shared_ptr<CustomTableView> ViewTool::myGroupedTableViewWithFrame(Rect frame) {
  auto table = std::make_shared<CustomTableView>(frame, TableViewStyle::Grouped);
  applyTableLook(*table);
  return table;
}

std::shared_ptr<CustomTableView> ViewTool::myPlainTableViewWithFrame(Rect frame) {
  auto table = std::make_shared<CustomTableView>(frame, TableViewStyle::Plain);
  applyTableLook(*table);
  return table;
}

}  // namespace nvx
