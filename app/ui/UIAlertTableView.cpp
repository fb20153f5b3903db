#include "app/ui/UIAlertTableView.h"

#include <algorithm>

#include "platform/ui/Control.h"

namespace nvx {

using platform::ui::Rect;

UIAlertTableView::UIAlertTableView(std::string title, std::string message, std::optional<std::string> cancelTitle,
                                   std::vector<std::string> otherTitles)
    : AlertView(std::move(title), std::move(message), std::move(cancelTitle), std::move(otherTitles)) {}

std::shared_ptr<UIAlertTableView> UIAlertTableView::create(std::string title, std::string message,
                                                           std::optional<std::string> cancelTitle,
                                                           std::vector<std::string> otherTitles) {
  return std::make_shared<UIAlertTableView>(std::move(title), std::move(message), std::move(cancelTitle),
                                            std::move(otherTitles));
}

void UIAlertTableView::show() {
  if (isVisible()) return;
  prepare();
  AlertView::show();
  layoutAnimated(false);
}

void UIAlertTableView::prepare() {
  if (tableHeight_ == 0) tableHeight_ = kDefaultTableHeight;
  tableExtHeight_ = tableHeight_ + static_cast<int>(kTableGap);
  if (tableView_) tableView_->removeFromSuperview();
  tableView_ = platform::ui::TableView::create(Rect{}, platform::ui::TableViewStyle::Plain);
  tableView_->setBackgroundColor(platform::ui::Color::white());
  tableView_->setBackgroundView(nullptr);
  tableView_->setDataSource(dataSource_);
  tableView_->setDelegate(tableDelegate_);
  insertSubview(tableView_, 0);
}

void UIAlertTableView::layoutAnimated(bool) {
  if (!tableView_) return;
  // The alert's own layout rebuilds its views: the table goes back behind them.
  insertSubview(tableView_, 0);

  // The lower edge of the last view before the first button (the title or the message).
  double textBottom = 0;
  for (const auto& sub : subviews()) {
    if (sub == tableView_) continue;
    if (dynamic_cast<platform::ui::Control*>(sub.get())) break;
    textBottom = sub->frame().maxY();
  }

  Rect f = frame();
  f.y -= tableExtHeight_ / 2.0;
  f.height += tableExtHeight_;
  setFrame(f);
  tableView_->setFrame(Rect{kTableX, textBottom + kTableGap, kTableWidth, static_cast<double>(tableHeight_)});
  for (const auto& sub : subviews()) {
    if (dynamic_cast<platform::ui::Control*>(sub.get())) {
      Rect b = sub->frame();
      b.y += tableExtHeight_;
      sub->setFrame(b);
    }
  }
}

}  // namespace nvx
