#include "platform/ui/TableView.h"

#include <gtest/gtest.h>

#include "platform/ui/Button.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

// Sections of row titles; answers a few optional questions when told to.
class Rows : public TableViewDataSource, public TableViewDelegate {
 public:
  std::vector<std::vector<std::string>> sections;
  std::vector<std::optional<std::string>> headers;
  std::map<IndexPath, double> heights;
  std::optional<Selection> redirect;
  std::vector<std::string> log;
  int cellsMade = 0;
  bool handlesDelete = false;

  int numberOfRows(TableView&, int s) override { return static_cast<int>(sections[static_cast<size_t>(s)].size()); }
  std::optional<int> numberOfSections(TableView&) override { return static_cast<int>(sections.size()); }
  std::shared_ptr<TableViewCell> cellForRow(TableView&, IndexPath p) override {
    ++cellsMade;
    auto cell = TableViewCell::create(TableViewCellStyle::Value1);
    cell->textLabel()->setText(sections[static_cast<size_t>(p.section)][static_cast<size_t>(p.row)]);
    return cell;
  }
  std::optional<std::string> titleForHeader(TableView&, int s) override {
    return static_cast<size_t>(s) < headers.size() ? headers[static_cast<size_t>(s)] : std::nullopt;
  }
  std::optional<double> heightForRow(TableView&, IndexPath p) override {
    auto it = heights.find(p);
    return it == heights.end() ? std::nullopt : std::optional<double>(it->second);
  }
  std::optional<Selection> willSelectRow(TableView&, IndexPath p) override {
    log.push_back("will " + key(p));
    return redirect;
  }
  void didSelectRow(TableView&, IndexPath p) override { log.push_back("did " + key(p)); }
  void didDeselectRow(TableView&, IndexPath p) override { log.push_back("deselect " + key(p)); }
  void accessoryButtonTapped(TableView&, IndexPath p) override { log.push_back("accessory " + key(p)); }
  bool commitEditing(TableView& t, TableViewCellEditingStyle, IndexPath p) override {
    if (!handlesDelete) return false;
    auto& rows = sections[static_cast<size_t>(p.section)];
    rows.erase(rows.begin() + p.row);
    t.deleteRows({p}, TableViewRowAnimation::Fade);
    return true;
  }
  static std::string key(IndexPath p) { return std::to_string(p.section) + "," + std::to_string(p.row); }
};

class TableViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = Window::create();
    window->makeKeyAndVisible();
  }
  std::shared_ptr<TableView> make(TableViewStyle style, Rect frame = {0, 20, 320, 400}) {
    auto t = TableView::create(frame, style);
    t->setDataSource(rows);
    t->setDelegate(rows);
    window->addSubview(t);
    return t;
  }
  std::shared_ptr<Window> window;
  std::shared_ptr<Rows> rows = std::make_shared<Rows>();
  Inspector inspector;
};

TEST_F(TableViewTest, ReloadBuildsEveryRowWithItsHeight) {
  // More rows than fit on the screen: every one is built all the same.
  rows->sections = {std::vector<std::string>(12, "r"), {"x", "y"}};
  rows->headers = {std::nullopt, "第二组"};
  rows->heights = {{IndexPath{0, 1}, 80}, {IndexPath{1, 0}, 60}};
  auto header = View::create({0, 0, 320, 30});
  struct Case {
    TableViewStyle style;
    double secondHeaderY, secondHeaderH, firstRowX, firstRowW, x0Y, contentH;
  };
  // Plain: header 30, 12 rows (one of 80), no header for section 0, 22 for the titled one.
  // Grouped: 10 above section 0, 10 below it, 46 for the titled header, 10 below section 1.
  for (const Case& c : {Case{TableViewStyle::Plain, 30 + 11 * 44 + 80, 22, 0, 320, 30 + 11 * 44 + 80 + 22,
                             30 + 11 * 44 + 80 + 22 + 60 + 44},
                        Case{TableViewStyle::Grouped, 30 + 10 + 11 * 44 + 80 + 10, 46, 10, 300,
                             30 + 10 + 11 * 44 + 80 + 10 + 46, 30 + 10 + 11 * 44 + 80 + 10 + 46 + 60 + 44 + 10}}) {
    SCOPED_TRACE(c.style == TableViewStyle::Plain ? "plain" : "grouped");
    rows->cellsMade = 0;
    auto table = make(c.style);
    table->setTableHeaderView(header);
    table->reloadData();
    EXPECT_EQ(rows->cellsMade, 14);
    ASSERT_EQ(table->visibleCells().size(), 14u);
    EXPECT_EQ(rows->cellsMade, 14);   // asking again builds nothing new
    EXPECT_EQ(table->rectForRow({0, 1}).height, 80);
    EXPECT_EQ(table->rectForRow({0, 2}).y, table->rectForRow({0, 1}).maxY());
    EXPECT_EQ(table->rectForRow({0, 0}).x, c.firstRowX);
    EXPECT_EQ(table->rectForRow({0, 0}).width, c.firstRowW);
    EXPECT_EQ(table->rectForRow({1, 0}).y, c.x0Y);
    EXPECT_EQ(table->rectForRow({1, 0}).height, 60);
    auto title = std::dynamic_pointer_cast<Label>(table->headerViewForSection(1));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), "第二组");
    EXPECT_EQ(title->frame().y, c.secondHeaderY);
    EXPECT_EQ(title->frame().height, c.secondHeaderH);
    EXPECT_EQ(table->contentSize().height, c.contentH);
    EXPECT_EQ(table->cellForRow({1, 1})->textLabel()->text(), "y");
    EXPECT_EQ(table->cellForRow({1, 2}), nullptr);
    EXPECT_EQ(table->indexPathForCell(*table->cellForRow({1, 1})), (IndexPath{1, 1}));
    table->removeFromSuperview();
  }
}

TEST_F(TableViewTest, ATableNeverLoadedLoadsAtItsFirstLayout) {
  rows->sections = {{"甲", "乙"}};
  auto table = make(TableViewStyle::Plain);
  EXPECT_EQ(rows->cellsMade, 0);
  std::string out = inspector.render();
  EXPECT_EQ(rows->cellsMade, 2);
  EXPECT_NE(out.find("  TableView (0,20,320,400) content=320x88\n"
                     "    TableViewCell (0,0,320,44) at=0,0\n"
                     "      View (0,0,320,44)\n"
                     "        Label (10,0,150,44) \"甲\"\n"),
            std::string::npos)
      << out;
  // Another layout does not rebuild the cells; a new width lays them out again.
  inspector.render();
  EXPECT_EQ(rows->cellsMade, 2);
  table->setFrame({0, 20, 300, 400});
  inspector.render();
  EXPECT_EQ(table->rectForRow({0, 1}).width, 300);
}

TEST_F(TableViewTest, TapSelectsThroughTheDelegateAndDeselectsThePreviousRow) {
  rows->sections = {{"a", "b", "c"}};
  auto table = make(TableViewStyle::Plain);
  ASSERT_TRUE(inspector.tapCellWithText("a").isOk());
  ASSERT_TRUE(inspector.tapCell(0, 2).isOk());
  EXPECT_EQ(rows->log, (std::vector<std::string>{"will 0,0", "did 0,0", "will 0,2", "deselect 0,0", "did 0,2"}));
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));
  EXPECT_TRUE(table->cellForRow({0, 2})->isSelected());
  EXPECT_FALSE(table->cellForRow({0, 0})->isSelected());
  EXPECT_NE(inspector.render().find("TableViewCell (0,88,320,44) at=0,2 [selected]"), std::string::npos);

  // The delegate redirects the selection to another row, or refuses it.
  rows->log.clear();
  rows->redirect = TableViewDelegate::Selection{IndexPath{0, 1}};
  EXPECT_TRUE(table->tapRow({0, 0}));
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 1}));
  rows->redirect = TableViewDelegate::Selection{};
  EXPECT_FALSE(table->tapRow({0, 2}));
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 1}));
  EXPECT_EQ(rows->log, (std::vector<std::string>{"will 0,0", "deselect 0,2", "did 0,1", "will 0,2"}));

  // A program's selection tells nobody.
  rows->log.clear();
  table->selectRow(IndexPath{0, 0}, false);
  table->deselectRow({0, 0}, true);
  EXPECT_TRUE(rows->log.empty());
  EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
  table->setAllowsSelection(false);
  EXPECT_FALSE(table->tapRow({0, 0}));
  EXPECT_TRUE(rows->log.empty());
}

TEST_F(TableViewTest, TapScrollsTheRowIntoViewAndRefusesCoveredRows) {
  rows->sections = {std::vector<std::string>(30, "r")};
  rows->sections[0][25] = "far";
  auto table = make(TableViewStyle::Plain);
  Status far = inspector.tapCellWithText("far");
  ASSERT_TRUE(far.isOk()) << far.message();
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 25}));
  EXPECT_EQ(table->contentOffset().y, 26 * 44 - 400);   // scrolled just far enough

  // A button in the middle of the row takes a touch there; the cell is touched further left.
  auto cell = table->cellForRow({0, 3});
  auto mid = Button::create({100, 0, 120, 44});
  cell->contentView()->addSubview(mid);
  Status tapped = inspector.tapCell(0, 3);
  ASSERT_TRUE(tapped.isOk()) << tapped.message();
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 3}));

  auto cover = View::create({0, 0, 320, 568});
  window->addSubview(cover);
  EXPECT_FALSE(inspector.tapCell(0, 4).isOk());
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 3}));
}

TEST_F(TableViewTest, AccessoriesShapeTheContentAndTheDetailButtonTellsTheDelegate) {
  rows->sections = {{"a"}};
  auto table = make(TableViewStyle::Plain);
  auto cell = table->cellForRow({0, 0});
  struct Case {
    TableViewCellAccessoryType type;
    double contentWidth;
    const char* extra;
  };
  for (const Case& c : {Case{TableViewCellAccessoryType::None, 320, ""},
                        Case{TableViewCellAccessoryType::DisclosureIndicator, 287, " accessory=disclosure"},
                        Case{TableViewCellAccessoryType::Checkmark, 286, " accessory=checkmark"},
                        Case{TableViewCellAccessoryType::DetailDisclosureButton, 271, " accessory=detail"}}) {
    cell->setAccessoryType(c.type);
    EXPECT_EQ(cell->contentView()->frame().width, c.contentWidth);
    EXPECT_EQ(cell->describe(), std::string("TableViewCell (0,0,320,44) at=0,0") + c.extra);
  }
  auto button = cell->findSubview<Button>();
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(inspector.tapControl(*button).isOk());
  EXPECT_TRUE(table->tapAccessory({0, 0}));
  EXPECT_EQ(rows->log, (std::vector<std::string>{"accessory 0,0", "accessory 0,0"}));
  cell->setAccessoryType(TableViewCellAccessoryType::Checkmark);
  EXPECT_EQ(button->superview(), nullptr);
  EXPECT_FALSE(table->tapAccessory({0, 0}));
}

TEST_F(TableViewTest, CellStylesPlaceTheirLabels) {
  struct Case {
    TableViewCellStyle style;
    Rect text, detail;
    bool detailShown;
  };
  for (const Case& c : {Case{TableViewCellStyle::Default, {10, 0, 300, 44}, {}, false},
                        Case{TableViewCellStyle::Value1, {10, 0, 150, 44}, {160, 0, 150, 44}, true},
                        Case{TableViewCellStyle::Value2, {10, 0, 67, 44}, {83, 0, 227, 44}, true},
                        Case{TableViewCellStyle::Subtitle, {10, 1.5, 300, 24}, {10, 25.5, 300, 17}, true}}) {
    auto cell = TableViewCell::create(c.style);
    cell->textLabel()->setText("t");
    cell->detailTextLabel()->setText("d");
    cell->layoutSubviews();
    EXPECT_EQ(cell->textLabel()->frame(), c.text);
    EXPECT_EQ(cell->detailTextLabel()->superview() != nullptr, c.detailShown);
    if (c.detailShown) {
      EXPECT_EQ(cell->detailTextLabel()->frame(), c.detail);
    }
  }
}

TEST_F(TableViewTest, SwipeToDeleteNeedsADataSourceThatHandlesIt) {
  rows->sections = {{"a", "b"}};
  auto table = make(TableViewStyle::Plain);
  EXPECT_FALSE(table->swipeToDelete({0, 0}));
  EXPECT_EQ(table->numberOfRows(0), 2);
  rows->handlesDelete = true;
  EXPECT_TRUE(table->swipeToDelete({0, 0}));
  EXPECT_EQ(table->numberOfRows(0), 1);
  EXPECT_EQ(table->cellForRow({0, 0})->textLabel()->text(), "b");
}

// Every update builds only the rows it names and leaves the table as a full reload of the same
// data would: the same views in the same order and places.
TEST_F(TableViewTest, UpdatesBuildOnlyTheirRowsAndEndAsAFullReloadWould) {
  using Rows2 = std::vector<std::vector<std::string>>;
  struct Case {
    const char* name;
    TableViewStyle style;
    Rows2 before;
    std::function<void(Rows&, TableView&)> update;
    int built;  // cells the update builds
  };
  auto insert = [](std::vector<IndexPath> paths, std::vector<std::string> titles) {
    return [paths, titles](Rows& rows, TableView& table) {
      for (size_t i = 0; i < paths.size(); ++i) {
        auto& section = rows.sections[static_cast<size_t>(paths[i].section)];
        section.insert(section.begin() + paths[i].row, titles[i]);
      }
      table.insertRows(paths, TableViewRowAnimation::None);
    };
  };
  const std::vector<Case> cases = {
      {"a page at the end", TableViewStyle::Plain, {{"a", "b"}, {"x"}},
       insert({{0, 2}, {0, 3}, {0, 4}}, {"c", "d", "e"}), 3},
      {"rows at the top and in the middle", TableViewStyle::Grouped, {{"a", "b", "c"}, {"x", "y"}},
       insert({{0, 0}, {0, 2}, {1, 1}}, {"0", "1", "x1"}), 3},
      {"the first row of an empty section", TableViewStyle::Plain, {{}, {"x"}}, insert({{0, 0}}, {"a"}), 1},
      {"rows deleted, out of order", TableViewStyle::Plain, {{"a", "b", "c", "d"}, {"x", "y"}},
       [](Rows& rows, TableView& table) {
         rows.sections = {{"b", "d"}, {"x"}};
         table.deleteRows({{1, 1}, {0, 2}, {0, 0}}, TableViewRowAnimation::Fade);
       },
       0},
      {"a section emptied", TableViewStyle::Grouped, {{"a", "b"}, {"x"}},
       [](Rows& rows, TableView& table) {
         rows.sections[0].clear();
         table.deleteRows({{0, 0}, {0, 1}}, TableViewRowAnimation::Fade);
       },
       0},
      {"a row reloaded taller", TableViewStyle::Plain, {{"a", "b", "c"}, {"x"}},
       [](Rows& rows, TableView& table) {
         rows.sections[0][1] = "B";
         rows.heights[IndexPath{0, 1}] = 90;
         table.reloadRows({{0, 1}}, TableViewRowAnimation::None);
       },
       1},
      {"a section reloaded", TableViewStyle::Grouped, {{"a"}, {"x", "y"}, {"z"}},
       [](Rows& rows, TableView& table) {
         rows.sections[1] = {"p", "q", "r"};
         rows.headers = {std::nullopt, "新", std::nullopt};
         table.reloadSections({1}, TableViewRowAnimation::None);
       },
       3},
      {"a data source that does not agree gets a full reload", TableViewStyle::Plain, {{"a", "b"}},
       [](Rows& rows, TableView& table) {
         rows.sections[0] = {"a", "b", "c", "d"};
         table.insertRows({{0, 2}}, TableViewRowAnimation::None);
       },
       4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    rows = std::make_shared<Rows>();
    rows->sections = c.before;
    rows->headers = {std::nullopt, "第二组"};
    auto table = make(c.style);
    table->setTableHeaderView(View::create({0, 0, 320, 30}));
    table->setTableFooterView(View::create({0, 0, 320, 25}));
    table->reloadData();
    std::map<std::string, std::shared_ptr<TableViewCell>> kept;
    for (auto& cell : table->visibleCells()) kept[cell->textLabel()->text()] = cell;
    rows->cellsMade = 0;
    c.update(*rows, *table);
    EXPECT_EQ(rows->cellsMade, c.built);
    const std::string updated = inspector.render();
    bool sameCells = true;
    for (auto& cell : table->visibleCells()) {
      auto it = kept.find(cell->textLabel()->text());
      if (it != kept.end()) sameCells = sameCells && it->second == cell;
      EXPECT_EQ(table->indexPathForCell(*cell), cell->indexPath());
    }
    if (c.built < 4) {
      EXPECT_TRUE(sameCells) << "rows the update did not name were rebuilt";
    }
    table->reloadData();
    EXPECT_EQ(updated, inspector.render());
    table->removeFromSuperview();
  }
}

TEST_F(TableViewTest, TheSelectionFollowsItsRowThroughUpdates) {
  rows->sections = {{"a", "b", "c", "d"}};
  auto table = make(TableViewStyle::Plain);
  table->selectRow(IndexPath{0, 2}, false);
  rows->sections[0].insert(rows->sections[0].begin(), "0");
  table->insertRows({{0, 0}}, TableViewRowAnimation::None);
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 3}));
  EXPECT_TRUE(table->cellForRow({0, 3})->isSelected());
  rows->sections[0].erase(rows->sections[0].begin() + 1);
  table->deleteRows({{0, 1}}, TableViewRowAnimation::None);
  EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));
  EXPECT_EQ(table->cellForRow({0, 2})->textLabel()->text(), "c");
  // Gone with its row.
  rows->sections[0].erase(rows->sections[0].begin() + 2);
  table->deleteRows({{0, 2}}, TableViewRowAnimation::None);
  EXPECT_EQ(table->indexPathForSelectedRow(), std::nullopt);
  for (auto& cell : table->visibleCells()) EXPECT_FALSE(cell->isSelected());
}

TEST_F(TableViewTest, DataSourceIsNotKept) {
  rows->sections = {{"a"}};
  auto table = make(TableViewStyle::Plain);
  EXPECT_EQ(table->numberOfRows(0), 1);
  rows.reset();
  table->reloadData();
  EXPECT_EQ(table->numberOfSections(), 0);
  EXPECT_TRUE(table->visibleCells().empty());
}

}  // namespace
}  // namespace platform::ui
