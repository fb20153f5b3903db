// Table cells of the client's look, and the views cells are given by tag. Cells use the
// platform's Default style; texts are localized from keys.
#pragma once
#include <memory>
#include <string_view>

#include "platform/ui/TableViewCell.h"
#include "platform/ui/TextField.h"

namespace nvx {

class TableCellExt {
 public:
  // The tags of a group cell's left, middle and right views: the three largest positive 32-bit
  // values.
  static constexpr int kLeftViewTag = 2147483647;
  static constexpr int kMiddleViewTag = 2147483646;
  static constexpr int kRightViewTag = 2147483645;

  // A plain view as background view, the simple cell colour, no selection highlight, a
  // disclosure indicator.
  static std::shared_ptr<platform::ui::TableViewCell> defaultSimpleTableCell();
  // defaultSimpleTableCell with the picture (10, 0, 90, 100), the title (120, 12, 170, 20: the
  // strong label font, orange on white) and the description (120, 35, 160, 56: as many lines
  // as needed, the description font, 51/51/51).
  static std::shared_ptr<platform::ui::TableViewCell> simpleFunctionTableCell(std::string_view imageName,
                                                                              std::string_view titleKey,
                                                                              std::string_view descKey);
  // The group cell colour, no selection highlight.
  static std::shared_ptr<platform::ui::TableViewCell> defaultGroupTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> simpleGroupTableCell();
  // defaultGroupTableCell with groupCellLeftLabel of the key as its left view.
  static std::shared_ptr<platform::ui::TableViewCell> baseGroupTableCell(std::string_view key);
  // A plain cell holding TextFieldExt::groupCellTextFieldWithType of the input type, without a
  // placeholder (textField finds it).
  static std::shared_ptr<platform::ui::TableViewCell> groupTextFieldTableCell(int type);
  // A plain new cell each, with nothing added.
  static std::shared_ptr<platform::ui::TableViewCell> groupSwitchTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupBankSelectTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupShowFeeTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupActionTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupActionPickerTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupPrefixSelectableTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupSuffixSelectableTableCell();
  static std::shared_ptr<platform::ui::TableViewCell> groupTextAreaTableCell();

  // The cell's view with the tag kLeftViewTag (kMiddleViewTag, kRightViewTag), or nothing.
  static std::shared_ptr<platform::ui::View> leftView(platform::ui::TableViewCell& cell);
  static std::shared_ptr<platform::ui::View> middleView(platform::ui::TableViewCell& cell);
  static std::shared_ptr<platform::ui::View> rightView(platform::ui::TableViewCell& cell);
  // The cell's first direct subview that is a text field, or nothing.
  static std::shared_ptr<platform::ui::TextField> textField(const platform::ui::TableViewCell& cell);
};

}  // namespace nvx
