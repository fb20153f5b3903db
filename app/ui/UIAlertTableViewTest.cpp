// UIAlertTableView: the room the table takes in the alert, and a table a user can use.
#include "app/ui/UIAlertTableView.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::IndexPath;
using platform::ui::Rect;
using platform::ui::TableView;
using platform::ui::TableViewCell;

class Choices : public platform::ui::TableViewDataSource, public platform::ui::TableViewDelegate {
 public:
  int numberOfRows(TableView&, int) override { return 3; }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath path) override {
    auto cell = TableViewCell::create();
    cell->textLabel()->setText("第" + std::to_string(path.row + 1) + "项");
    return cell;
  }
  void didSelectRow(TableView&, IndexPath path) override { chosen.push_back(path.row); }
  std::vector<int> chosen;
};

std::vector<Rect> buttonFrames(const platform::ui::View& alert) {
  std::vector<Rect> out;
  for (const auto& sub : alert.subviews()) {
    if (dynamic_cast<const platform::ui::Button*>(sub.get())) out.push_back(sub->frame());
  }
  return out;
}

TEST(UIAlertTableViewTest, TheTableTakesItsHeightPlus16AboveTheButtons) {
  struct Case {
    int tableHeight;
    int expectedHeight;
  };
  const Case cases[] = {{0, 150}, {90, 90}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tableHeight);
    auto plain = platform::ui::AlertView::create("请选择", "银行", std::string("取消"), {"确定"});
    plain->show();
    const Rect without = plain->frame();
    const auto plainButtons = buttonFrames(*plain);
    plain->dismissWithClickedButtonIndex(0, false);

    auto choices = std::make_shared<Choices>();
    auto alert = UIAlertTableView::create("请选择", "银行", std::string("取消"), {"确定"});
    alert->setDataSource(choices);
    alert->setTableDelegate(choices);
    alert->setTableHeight(c.tableHeight);
    alert->show();
    const int ext = c.expectedHeight + 16;
    EXPECT_EQ(alert->tableHeight(), c.expectedHeight);
    EXPECT_EQ(alert->tableExtHeight(), ext);
    EXPECT_EQ(alert->frame().height, without.height + ext);
    EXPECT_EQ(alert->frame().y, without.y - ext / 2.0);

    auto table = alert->tableView();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(alert->subviews().front(), table);
    // Under the message label: the last view before the first button.
    double messageBottom = 0;
    for (const auto& sub : alert->subviews()) {
      if (sub != table && !dynamic_cast<platform::ui::Button*>(sub.get())) messageBottom = sub->frame().maxY();
    }
    EXPECT_EQ(table->frame(), (Rect{11, messageBottom + 16, 262, double(c.expectedHeight)}));
    EXPECT_EQ(table->backgroundColor(), platform::ui::Color::white());
    auto buttons = buttonFrames(*alert);
    ASSERT_EQ(buttons.size(), plainButtons.size());
    for (size_t i = 0; i < buttons.size(); ++i) EXPECT_EQ(buttons[i], plainButtons[i].offsetBy(0, ext));
    EXPECT_GE(buttons[0].y, table->frame().maxY());

    // A user picks a row, then closes the alert.
    platform::ui::Inspector inspector;
    ASSERT_TRUE(inspector.tapCellWithText("第2项").isOk()) << inspector.render();
    EXPECT_EQ(choices->chosen, std::vector<int>{1});
    ASSERT_TRUE(inspector.answerAlert("确定").isOk());
    EXPECT_FALSE(alert->isVisible());
  }
}

}  // namespace
}  // namespace nvx
