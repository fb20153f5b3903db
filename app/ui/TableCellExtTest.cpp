#include "app/ui/TableCellExt.h"

#include <gtest/gtest.h>

#include "platform/foundation/Strings.h"
#include "app/ui/TextFieldExt.h"
#include "app/ui/ViewExt.h"
#include "platform/ui/ImageView.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::ImageView;
using platform::ui::Label;
using platform::ui::Rect;
using platform::ui::TableViewCell;
using platform::ui::TableViewCellAccessoryType;
using platform::ui::TableViewCellSelectionStyle;
using platform::ui::TableViewCellStyle;
using platform::ui::TextField;
using platform::ui::View;

TEST(TableCellExtTest, SimpleCells) {
  auto simple = TableCellExt::defaultSimpleTableCell();
  EXPECT_EQ(simple->style(), TableViewCellStyle::Default);
  ASSERT_TRUE(simple->backgroundView());
  EXPECT_EQ(simple->backgroundColor(), Color::white());
  EXPECT_EQ(simple->selectionStyle(), TableViewCellSelectionStyle::None);
  EXPECT_EQ(simple->accessoryType(), TableViewCellAccessoryType::DisclosureIndicator);

  auto function = TableCellExt::simpleFunctionTableCell("add.png", "Next", "Cancel");
  EXPECT_EQ(function->accessoryType(), TableViewCellAccessoryType::DisclosureIndicator);
  auto picture = ViewExt::findSubviewWithClass<ImageView>(*function);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->frame(), (Rect{10, 0, 90, 100}));
  EXPECT_EQ(picture->image()->name, "add.png");
  std::vector<std::shared_ptr<Label>> labels;
  for (const auto& v : function->subviews()) {
    if (auto l = std::dynamic_pointer_cast<Label>(v)) labels.push_back(l);
  }
  ASSERT_EQ(labels.size(), 2u);
  EXPECT_EQ(labels[0]->frame(), (Rect{120, 12, 170, 20}));
  EXPECT_EQ(labels[0]->text(), Strings::localized("Next"));
  EXPECT_EQ(labels[0]->font(), Font::system(18));
  EXPECT_EQ(labels[0]->textColor(), (Color{1, 0.5, 0, 1}));
  EXPECT_EQ(labels[0]->backgroundColor(), Color::white());
  EXPECT_EQ(labels[1]->frame(), (Rect{120, 35, 160, 56}));
  EXPECT_EQ(labels[1]->text(), Strings::localized("Cancel"));
  EXPECT_EQ(labels[1]->font(), Font::system(14));
  EXPECT_EQ(labels[1]->textColor(), Color::rgb255(51, 51, 51));
  EXPECT_EQ(labels[1]->numberOfLines(), 0);
}

TEST(TableCellExtTest, GroupCellsAndTheirTaggedViews) {
  for (const auto& cell : {TableCellExt::defaultGroupTableCell(), TableCellExt::simpleGroupTableCell()}) {
    EXPECT_EQ(cell->backgroundColor(), Color::white());
    EXPECT_EQ(cell->selectionStyle(), TableViewCellSelectionStyle::None);
  }

  auto base = TableCellExt::baseGroupTableCell("MobileNumber");
  auto left = std::dynamic_pointer_cast<Label>(TableCellExt::leftView(*base));
  ASSERT_TRUE(left);
  EXPECT_EQ(left->tag(), 2147483647);
  EXPECT_EQ(left->frame(), (Rect{20, 8, 80, 30}));
  EXPECT_EQ(left->text(), Strings::localized("MobileNumber"));
  EXPECT_EQ(TableCellExt::middleView(*base), nullptr);
  EXPECT_EQ(TableCellExt::rightView(*base), nullptr);

  auto middle = View::create();
  middle->setTag(TableCellExt::kMiddleViewTag);
  auto right = View::create();
  right->setTag(TableCellExt::kRightViewTag);
  base->contentView()->addSubview(middle);   // found wherever it lies in the cell
  base->addSubview(right);
  EXPECT_EQ(TableCellExt::middleView(*base), middle);
  EXPECT_EQ(TableCellExt::rightView(*base), right);
  EXPECT_EQ(TableCellExt::kMiddleViewTag, 2147483646);
  EXPECT_EQ(TableCellExt::kRightViewTag, 2147483645);
}

TEST(TableCellExtTest, TextFieldIsTheFirstDirectSubviewThatIsOne) {
  auto cell = TableCellExt::groupActionTableCell();
  EXPECT_EQ(TableCellExt::textField(*cell), nullptr);
  auto nested = TextField::create();
  cell->contentView()->addSubview(nested);
  EXPECT_EQ(TableCellExt::textField(*cell), nullptr);
  auto first = TextField::create();
  auto second = TextField::create();
  cell->addSubview(first);
  cell->addSubview(second);
  EXPECT_EQ(TableCellExt::textField(*cell), first);
}

TEST(TableCellExtTest, GroupTextFieldCellHoldsATypedFieldWithoutPlaceholder) {
  const std::pair<int, Rect> cases[] = {
      {TextFieldType::CardNumber, Rect{111, 8, 194, 30}},
      {TextFieldType::Mobile, Rect{111, 8, 160, 30}},
      {TextFieldType::Password, Rect{111, 8, 194, 30}},
  };
  for (const auto& [type, frame] : cases) {
    auto cell = TableCellExt::groupTextFieldTableCell(type);
    auto field = TableCellExt::textField(*cell);
    ASSERT_NE(field, nullptr) << type;
    EXPECT_EQ(TextFieldExt::type(*field), type);
    EXPECT_EQ(field->frame(), frame);
    EXPECT_EQ(field->placeholder(), "");
    EXPECT_NE(field->inputAccessoryView(), nullptr);
    EXPECT_EQ(cell->selectionStyle(), TableViewCellSelectionStyle::Blue);
  }
}

TEST(TableCellExtTest, PlainGroupCellsHaveNothingAdded) {
  const std::shared_ptr<TableViewCell> cells[] = {
      TableCellExt::groupSwitchTableCell(),          TableCellExt::groupBankSelectTableCell(),
      TableCellExt::groupShowFeeTableCell(),         TableCellExt::groupActionTableCell(),
      TableCellExt::groupActionPickerTableCell(),    TableCellExt::groupPrefixSelectableTableCell(),
      TableCellExt::groupSuffixSelectableTableCell(), TableCellExt::groupTextAreaTableCell(),
  };
  for (const auto& cell : cells) {
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->subviews().size(), 1u);   // the content view only
    EXPECT_TRUE(cell->contentView()->subviews().empty());
    EXPECT_EQ(cell->selectionStyle(), TableViewCellSelectionStyle::Blue);
  }
}

}  // namespace
}  // namespace nvx
