#include "app/ui/CMTableView.h"

#include "app/ui/ViewTool.h"

namespace nvx {

using platform::ui::Rect;
using platform::ui::TableViewStyle;

namespace {

std::shared_ptr<CMTableView> made(Rect frame, TableViewStyle style) {
  auto table = std::make_shared<CMTableView>(frame, style);
  ViewTool::applyTableLook(*table);
  table->setShowsVerticalScrollIndicator(false);
  return table;
}

}  // namespace

std::shared_ptr<CMTableView> CMTableView::myGroupedTableViewWithFrame(Rect frame) {
  return made(frame, TableViewStyle::Grouped);
}

std::shared_ptr<CMTableView> CMTableView::myPlainTableViewWithFrame(Rect frame) {
  return made(frame, TableViewStyle::Plain);
}

}  // namespace nvx
