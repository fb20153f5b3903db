#include "platform/ui/PickerView.h"

#include <gtest/gtest.h>

#include "platform/ui/Inspector.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

// Columns of titles; the second column shows its rows as views.
class Wheels : public PickerViewDataSource, public PickerViewDelegate {
 public:
  std::vector<std::vector<std::string>> columns;
  std::vector<std::string> log;
  int numberOfComponents(PickerView&) override { return static_cast<int>(columns.size()); }
  int numberOfRows(PickerView&, int c) override { return static_cast<int>(columns[static_cast<size_t>(c)].size()); }
  std::optional<std::string> titleForRow(PickerView&, int row, int c) override {
    if (c == 1) return std::nullopt;
    return columns[static_cast<size_t>(c)][static_cast<size_t>(row)];
  }
  std::shared_ptr<View> viewForRow(PickerView&, int row, int c, std::shared_ptr<View>) override {
    if (c != 1) return nullptr;
    auto row0 = View::create({0, 0, 100, 40});
    row0->addSubview(Label::create({0, 0, 100, 40}, columns[1][static_cast<size_t>(row)]));
    return row0;
  }
  void didSelectRow(PickerView&, int row, int c) override { log.push_back(std::to_string(c) + ":" + std::to_string(row)); }
};

class PickerViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
    wheels->columns = {{"北京", "上海", "广州"}, {"一", "二"}};
    picker = PickerView::create({0, 308, 320, 216});
    picker->setDataSource(wheels);
    picker->setDelegate(wheels);
    window->addSubview(picker);
  }
  std::shared_ptr<Window> window;
  std::shared_ptr<Wheels> wheels = std::make_shared<Wheels>();
  std::shared_ptr<PickerView> picker;
  Inspector inspector;
};

TEST_F(PickerViewTest, SpinningTellsTheDelegateAndSelectingDoesNot) {
  EXPECT_EQ(picker->selectedRow(0), 0);
  EXPECT_EQ(picker->selectedRow(1), 0);
  picker->selectRow(2, 0, true);
  EXPECT_EQ(picker->selectedRow(0), 2);
  EXPECT_TRUE(wheels->log.empty());

  ASSERT_TRUE(inspector.pick(1, 1).isOk());
  ASSERT_TRUE(inspector.pick(0, 2).isOk());   // back to the row it was on: still told
  EXPECT_EQ(wheels->log, (std::vector<std::string>{"1:1", "0:2"}));
  EXPECT_EQ(picker->titleForRow(1, 1), "二");   // a view row's title is its text
  EXPECT_NE(inspector.render().find("PickerView (0,308,320,216) \"广州 | 二\""), std::string::npos);

  EXPECT_FALSE(inspector.pick(0, 3).isOk());
  EXPECT_FALSE(inspector.pick(2, 0).isOk());
  EXPECT_FALSE(picker->spinTo(-1, 0));
  picker->setHidden(true);
  EXPECT_FALSE(picker->spinTo(0, 0));
  EXPECT_EQ(wheels->log.size(), 2u);
}

TEST_F(PickerViewTest, ReloadKeepsTheSelectionWithinTheRows) {
  picker->selectRow(2, 0, false);
  wheels->columns[0] = {"深圳"};
  wheels->columns[1] = {};
  picker->reloadAllComponents();
  EXPECT_EQ(picker->selectedRow(0), 0);
  EXPECT_EQ(picker->selectedRow(1), -1);
  EXPECT_EQ(picker->displayText(), "深圳 | ");
  wheels->columns[0] = {"a", "b", "c"};
  picker->selectRow(2, 0, false);   // a row the picker does not know of yet
  EXPECT_EQ(picker->selectedRow(0), 0);
  picker->reloadComponent(0);
  picker->selectRow(2, 0, false);
  EXPECT_EQ(picker->selectedRow(0), 2);
}

}  // namespace
}  // namespace platform::ui
