#include "app/ui/TableCellExt.h"

#include "app/ui/ColorExt.h"
#include "app/ui/FontExt.h"
#include "app/ui/LabelExt.h"
#include "app/ui/TextFieldExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Rect;
using platform::ui::TableViewCell;
using platform::ui::TableViewCellAccessoryType;
using platform::ui::TableViewCellSelectionStyle;
using platform::ui::View;

namespace {

std::shared_ptr<TableViewCell> plainCell() { return TableViewCell::create(); }

std::shared_ptr<TableViewCell> groupCell() {
  auto cell = plainCell();
  cell->setBackgroundColor(ColorExt::defaultGroupCellBgColor());
  cell->setSelectionStyle(TableViewCellSelectionStyle::None);
  return cell;
}

}  // namespace

std::shared_ptr<TableViewCell> TableCellExt::defaultSimpleTableCell() {
  auto cell = plainCell();
  cell->setBackgroundView(View::create());
  cell->setBackgroundColor(ColorExt::defaultSimpleCellBgColor());
  cell->setSelectionStyle(TableViewCellSelectionStyle::None);
  cell->setAccessoryType(TableViewCellAccessoryType::DisclosureIndicator);
  return cell;
}

std::shared_ptr<TableViewCell> TableCellExt::simpleFunctionTableCell(std::string_view imageName,
                                                                     std::string_view titleKey,
                                                                     std::string_view descKey) {
  auto cell = defaultSimpleTableCell();
  auto picture = platform::ui::ImageView::create(Rect{10, 0, 90, 100});
  picture->setImage(platform::ui::Image::named(imageName));
  cell->addSubview(picture);

  auto title = LabelExt::lableFrame(Rect{120, 12, 170, 20}, Strings::localized(titleKey));
  title->setBackgroundColor(Color::white());
  title->setFont(FontExt::strongLabelFont());
  title->setTextColor(Color{1, 0.5, 0, 1});
  cell->addSubview(title);

  auto desc = LabelExt::lableFrame(Rect{120, 35, 160, 56}, Strings::localized(descKey));
  desc->setFont(FontExt::defaultDescFont());
  desc->setTextColor(ColorExt::functionDescColor());
  cell->addSubview(desc);
  return cell;
}

std::shared_ptr<TableViewCell> TableCellExt::defaultGroupTableCell() { return groupCell(); }

std::shared_ptr<TableViewCell> TableCellExt::simpleGroupTableCell() { return groupCell(); }

std::shared_ptr<TableViewCell> TableCellExt::baseGroupTableCell(std::string_view key) {
  auto cell = defaultGroupTableCell();
  auto left = LabelExt::groupCellLeftLabel(key);
  left->setTag(kLeftViewTag);
  cell->addSubview(left);
  return cell;
}

std::shared_ptr<TableViewCell> TableCellExt::groupTextFieldTableCell(int type) {
  auto cell = plainCell();
  cell->addSubview(TextFieldExt::groupCellTextFieldWithType(type, ""));
  return cell;
}

std::shared_ptr<TableViewCell> TableCellExt::groupSwitchTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupBankSelectTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupShowFeeTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupActionTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupActionPickerTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupPrefixSelectableTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupSuffixSelectableTableCell() { return plainCell(); }
std::shared_ptr<TableViewCell> TableCellExt::groupTextAreaTableCell() { return plainCell(); }

std::shared_ptr<View> TableCellExt::leftView(TableViewCell& cell) { return cell.viewWithTag(kLeftViewTag); }
std::shared_ptr<View> TableCellExt::middleView(TableViewCell& cell) { return cell.viewWithTag(kMiddleViewTag); }
std::shared_ptr<View> TableCellExt::rightView(TableViewCell& cell) { return cell.viewWithTag(kRightViewTag); }

std::shared_ptr<platform::ui::TextField> TableCellExt::textField(const TableViewCell& cell) {
  for (const auto& sub : cell.subviews()) {
    if (auto field = std::dynamic_pointer_cast<platform::ui::TextField>(sub)) return field;
  }
  return nullptr;
}

}  // namespace nvx
