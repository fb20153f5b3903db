// The client's table views: ViewTool's and CMTableView's factories, the keyboard avoidance they
// share, and CustomTableView's touch report.
#include <gtest/gtest.h>

#include "app/ui/CMTableView.h"
#include "app/ui/ViewTool.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::ui::Color;
using platform::ui::EdgeInsets;
using platform::ui::IndexPath;
using platform::ui::Inspector;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::TableView;
using platform::ui::TableViewCell;
using platform::ui::TableViewCellSeparatorStyle;
using platform::ui::TableViewStyle;
using platform::ui::TextField;

TEST(TableFactoriesTest, LookOfTheFourFactories) {
  const Rect frame{0, 0, 320, 504};
  struct Case {
    const char* what;
    std::shared_ptr<TableView> table;
    bool custom;
    TableViewStyle style;
    bool verticalIndicator;
  };
  const Case cases[] = {
      {"ViewTool grouped", ViewTool::myGroupedTableViewWithFrame(frame), true, TableViewStyle::Grouped, true},
      {"ViewTool plain", ViewTool::myPlainTableViewWithFrame(frame), true, TableViewStyle::Plain, true},
      {"CMTableView grouped", CMTableView::myGroupedTableViewWithFrame(frame), false, TableViewStyle::Grouped, false},
      {"CMTableView plain", CMTableView::myPlainTableViewWithFrame(frame), false, TableViewStyle::Plain, false},
  };
  for (const Case& c : cases) {
    const TableView& t = *c.table;
    EXPECT_EQ(dynamic_cast<const CustomTableView*>(&t) != nullptr, c.custom) << c.what;
    EXPECT_EQ(dynamic_cast<const CMTableView*>(&t) != nullptr, !c.custom) << c.what;
    EXPECT_EQ(t.frame(), frame) << c.what;
    EXPECT_EQ(t.style(), c.style) << c.what;
    EXPECT_EQ(t.backgroundColor(), Color::clear()) << c.what;
    EXPECT_EQ(t.separatorColor(), Color::rgb255(202, 204, 204)) << c.what;
    EXPECT_EQ(t.separatorStyle(), TableViewCellSeparatorStyle::None) << c.what;
    EXPECT_EQ(t.backgroundView(), nullptr) << c.what;
    EXPECT_EQ(t.showsVerticalScrollIndicator(), c.verticalIndicator) << c.what;
  }
}

// Ten rows of 60 points, each with a field whose placeholder is "f" and the row number.
class Form : public platform::ui::TableViewDataSource, public platform::ui::TableViewDelegate {
 public:
  int numberOfRows(TableView&, int) override { return 10; }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath path) override {
    auto cell = TableViewCell::create();
    auto field = TextField::create(Rect{111, 15, 180, 30});
    field->setPlaceholder("f" + std::to_string(path.row));
    cell->addSubview(field);
    return cell;
  }
  std::optional<double> heightForRow(TableView&, IndexPath) override { return 60; }
};

class KeyboardAvoidanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = platform::ui::Window::create();
    window->makeKeyAndVisible();
    table = CMTableView::myGroupedTableViewWithFrame(Rect{0, 20, 320, 548});
    table->setDataSource(form);
    table->setDelegate(form);
    window->addSubview(table);
  }
  // The field's frame on the screen.
  Rect fieldOnScreen(const std::string& placeholder) {
    auto field = inspector.fieldByPlaceholder(placeholder);
    return field ? field->frameInWindow() : Rect{};
  }

  std::shared_ptr<Form> form = std::make_shared<Form>();
  std::shared_ptr<platform::ui::Window> window;
  std::shared_ptr<CMTableView> table;
  Inspector inspector;
};

TEST_F(KeyboardAvoidanceTest, TheFieldBeingEditedMovesAboveTheKeyboard) {
  // Row 5's field lies at 20 + 10 + 5 x 60 + 15 = 345 on the screen: under the keyboard's top
  // edge (568 - 216 = 352) once the keyboard is up.
  ASSERT_EQ(fieldOnScreen("f5").y, 345);
  ASSERT_TRUE(inspector.type("f5", "12").isOk());
  ASSERT_TRUE(platform::ui::Keyboard::isVisible());
  Rect keyboard = platform::ui::Keyboard::frameOnScreen();
  EXPECT_EQ(keyboard.y, 352);
  EXPECT_EQ(table->contentInset().bottom, 216);
  EXPECT_EQ(fieldOnScreen("f5").maxY(), keyboard.y);   // moved the least: just above it
  EXPECT_EQ(table->contentOffset().y, 23);

  // A field that already shows above the keyboard stays where it is.
  ASSERT_TRUE(inspector.type("f2", "3").isOk());
  EXPECT_EQ(table->contentOffset().y, 23);
  EXPECT_EQ(table->contentInset().bottom, 216);

  // Editing ends: the inset goes, the content stays within reach.
  ASSERT_TRUE(window->endEditing(true));
  EXPECT_FALSE(platform::ui::Keyboard::isVisible());
  EXPECT_EQ(table->contentInset(), EdgeInsets{});
  EXPECT_EQ(table->contentOffset().y, 23);
}

TEST_F(KeyboardAvoidanceTest, TheLastRowsCanBeEditedAboveTheKeyboard) {
  // Scrolled to the end, row 9's field lies low on the screen; with the keyboard up the table
  // scrolls further than its content alone would allow.
  table->layoutIfNeeded();
  ASSERT_TRUE(table->scrollTo(Point{0, 72}));
  ASSERT_TRUE(inspector.type("f9", "4").isOk());
  Rect keyboard = platform::ui::Keyboard::frameOnScreen();
  EXPECT_EQ(fieldOnScreen("f9").maxY(), keyboard.y);
  EXPECT_GT(table->contentOffset().y, 72);

  ASSERT_TRUE(window->endEditing(true));
  EXPECT_EQ(table->contentOffset().y, 72);   // back within the content
}

class TouchLog : public CustomTableViewDelegate {
 public:
  void touchUpInsideEndedCustomTableView(CustomTableView&) override { ++ended; }
  int ended = 0;
};

TEST(CustomTableViewTest, ATapReportsToTheDelegateADragDoesNot) {
  auto table = ViewTool::myPlainTableViewWithFrame(Rect{0, 0, 320, 400});
  auto log = std::make_shared<TouchLog>();
  table->setTouchUpInsideDelegate(log);

  table->touchesBegan(Point{30, 40});
  EXPECT_TRUE(table->isTouchUpInside());
  EXPECT_EQ(table->beginPoint(), (Point{30, 40}));
  table->touchesEnded(Point{30, 40});
  EXPECT_EQ(log->ended, 1);

  table->touchesBegan(Point{30, 40});
  table->touchesMoved(Point{30, 90});
  EXPECT_FALSE(table->isTouchUpInside());
  table->touchesEnded(Point{30, 90});
  EXPECT_EQ(log->ended, 1);

  // The delegate is not kept alive by the table.
  log.reset();
  table->touchesBegan(Point{1, 1});
  table->touchesEnded(Point{1, 1});
  EXPECT_EQ(table->touchUpInsideDelegate(), nullptr);
}

}  // namespace
}  // namespace nvx
