// Box tiles and the paged grid: layout, long presses, edit mode, removal, drag and drop.
#include "home/HomeBoxView.h"

#include <gtest/gtest.h>

#include "home/HomeDataUtil.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {
namespace {

using platform::ui::Point;
using platform::ui::Rect;
using State = HomeLongPress::State;

HomeBoxList boxes(size_t n, uint32_t state = HomeBoxData::kRemovableState) {
  HomeBoxList out;
  for (size_t i = 0; i < n; ++i) {
    out.push_back(HomeBoxData::boxDataWithTitle("b" + std::to_string(i), "", "", "icon.png", "C" + std::to_string(i),
                                                "", "SomeViewController", state));
  }
  return out;
}

constexpr uint32_t kMovable = 0x00010001u;   // removable and movable

struct TileEvents : HomeBoxItemDelegate {
  std::vector<std::string> events;
  void HomeItemDidClicked(HomeBoxItem&) override { events.push_back("clicked"); }
  void HomeItemDidEnterEditingMode(HomeBoxItem&) override { events.push_back("began"); }
  void HomeItemDidDeleted(HomeBoxItem&, int at) override { events.push_back("deleted " + std::to_string(at)); }
  void HomeItemDidMoved(HomeBoxItem&, Point, const HomeLongPress&) override { events.push_back("moved"); }
  void HomeItemDidEndMoved(HomeBoxItem&, Point, const HomeLongPress&) override { events.push_back("ended"); }
};

struct GridEvents : HomeBoxViewDelegate {
  std::vector<std::string> events;
  void selectHomeBoxItem(HomeBoxItem& item) override { events.push_back("select " + item.homeData()->title()); }
  void longPressItem(HomeBoxItem& item, HomeBoxView&) override { events.push_back("long " + item.homeData()->title()); }
  void deleteBoxItem(HomeBoxItem& item, HomeBoxView&) override { events.push_back("delete " + item.homeData()->title()); }
};

std::vector<std::string> pressAll(uint32_t state) {
  auto tile = HomeBoxItem::initWithData(boxes(1)[0], 0, HomeItemState::fromWord(state));
  auto events = std::make_shared<TileEvents>();
  tile->setDelegate(events);
  for (State s : {State::Began, State::Changed, State::Ended, State::Cancelled}) tile->handleLongPress({s, {5, 5}});
  return events->events;
}

TEST(HomeBoxItem, ALongPressReportsWhatTheTileMayDo) {
  EXPECT_EQ(pressAll(256), (std::vector<std::string>{"began"}));
  EXPECT_EQ(pressAll(257), (std::vector<std::string>{"began", "ended"}));
  EXPECT_EQ(pressAll(0x00010100u), (std::vector<std::string>{"began", "moved"}));
  EXPECT_EQ(pressAll(kMovable), (std::vector<std::string>{"began", "moved", "ended"}));
}

TEST(HomeBoxItem, EditModeStopsTheIconAndShowsTheRemoveButtonWhenThereIsOne) {
  auto plain = HomeBoxItem::initWithData(boxes(1)[0], 0, HomeItemState::fromWord(256));
  EXPECT_FALSE(plain->removeButton());
  plain->enableEditing();
  EXPECT_TRUE(plain->isEditing());
  EXPECT_FALSE(plain->button()->isEnabled());
  plain->disableEditing();
  EXPECT_TRUE(plain->button()->isEnabled());

  auto removable = HomeBoxItem::initWithData(boxes(1)[0], 3, HomeItemState::fromWord(257));
  EXPECT_FALSE(removable->isEditing()) << "a tile starts out of edit mode whatever the state word says";
  ASSERT_TRUE(removable->removeButton());
  EXPECT_TRUE(removable->removeButton()->isHidden());
  auto events = std::make_shared<TileEvents>();
  removable->setDelegate(events);
  removable->enableEditing();
  EXPECT_FALSE(removable->removeButton()->isHidden());
  EXPECT_FALSE(removable->button()->tap()) << "the icon takes no tap while editing";
  removable->setIndex(5);
  EXPECT_TRUE(removable->removeButton()->tap());
  EXPECT_EQ(events->events, (std::vector<std::string>{"deleted 5"}));
}

TEST(HomeBoxItem, TheNewMarkAndTipBanners) {
  auto tile = HomeBoxItem::initWithData(boxes(1)[0], 0, HomeItemState::fromWord(256));
  platform::UserDefaults::standard().set(HomeBoxItem::kNewBusinessKey, 42);
  tile->showTheNewTip();
  EXPECT_FALSE(tile->tipsBackground()->superview()) << "any stored value keeps the mark away";
  platform::UserDefaults::standard().remove(HomeBoxItem::kNewBusinessKey);
  tile->showTheNewTip();
  EXPECT_EQ(tile->tipsBackground()->superview().get(), tile.get());
  tile->hideTheNewTip();
  EXPECT_TRUE(tile->tipsBackground()->isHidden());

  const size_t before = tile->subviews().size();
  tile->updateWithTips("");
  EXPECT_EQ(tile->subviews().size(), before);
  tile->updateWithTips("满100减5");
  tile->updateWithTips("再减2");
  ASSERT_EQ(tile->subviews().size(), before + 4) << "a second banner goes over the first";
  auto label = std::dynamic_pointer_cast<platform::ui::Label>(tile->subviews().back());
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text(), "再减2");
  EXPECT_EQ(label->frame(), (Rect{6, 4, 60, 15}));

  auto wide = HomeBoxItem::initWithData(boxes(1, 0x01000100u)[0], 0, HomeItemState::fromWord(0x01000100u));
  EXPECT_EQ(wide->frame(), (Rect{0, 0, 132, 60}));
  EXPECT_EQ(wide->titleLabel()->frame(), (Rect{-5, 61, 70, 20}));
}

std::shared_ptr<HomeBoxView> grid(size_t n, uint32_t state = HomeBoxData::kRemovableState) {
  return HomeBoxView::initWithFrame(Rect{0, 40, 320, 490}, boxes(n, state));
}

TEST(HomeBoxView, PagesDotsAndTilesShown) {
  struct Case {
    size_t boxes;
    int pages;
    bool dotsShown;
    size_t tilesShown;
  };
  for (const Case& c : {Case{0, 1, false, 0}, Case{4, 1, false, 4}, Case{16, 1, false, 16}, Case{17, 2, true, 17},
                        Case{60, 4, true, 53}}) {
    auto g = grid(c.boxes);
    EXPECT_EQ(g->pagecontrol()->numberOfPages(), c.pages) << c.boxes;
    EXPECT_EQ(!g->pagecontrol()->isHidden(), c.dotsShown) << c.boxes;
    EXPECT_EQ(g->homeItems().size(), c.boxes);
    EXPECT_EQ(g->pagesScrollView()->subviews().size(), c.tilesShown) << c.boxes;
    EXPECT_EQ(g->pagesScrollView()->contentSize().width, 320.0 * c.pages);
  }
  auto g = grid(17);
  EXPECT_EQ(g->homeItems()[16]->frame(), (Rect{330, 12, 60, 60}));
  EXPECT_EQ(g->homeItems()[5]->frame(), (Rect{90, 98, 60, 60}));
}

TEST(HomeBoxView, ThePositionUnderAPoint) {
  EXPECT_EQ(grid(21)->indexOfLocation({330, 100}), 20);
  EXPECT_EQ(grid(20)->indexOfLocation({330, 100}), std::nullopt);
  EXPECT_EQ(grid(21)->indexOfLocation({100, 400}), std::nullopt) << "below the fourth row";
  EXPECT_EQ(grid(21)->orginPointOfIndex(-1), (Point{0, 0}));
}

TEST(HomeBoxView, EditModeTapsAndTheAddTile) {
  HomeBoxList list = boxes(3);
  list.push_back(HomeDataUtil::addBox());
  auto g = HomeBoxView::initWithFrame(Rect{0, 40, 320, 490}, list);
  auto events = std::make_shared<GridEvents>();
  g->setHomeBoxViewDelegate(events);

  g->homeItems()[3]->handleLongPress({State::Began, {1, 1}});
  g->homeItems()[1]->handleLongPress({State::Began, {1, 1}});
  EXPECT_EQ(events->events, (std::vector<std::string>{"long b1"})) << "never for the Add tile";

  g->homeItems()[0]->button()->tap();
  EXPECT_EQ(events->events.back(), "select b0");
  g->setEditStatu();
  EXPECT_FALSE(g->homeItems()[0]->button()->tap()) << "the icons take no taps in edit mode";
  g->handleSingleTap(*g->homeItems()[0]);
  EXPECT_TRUE(g->isEditing()) << "a tile is not the background";
  g->handleSingleTap(*g->pagesScrollView());
  EXPECT_FALSE(g->isEditing());
  EXPECT_TRUE(g->homeItems()[0]->button()->isEnabled());
}

TEST(HomeBoxView, TheRemoveButtonTakesTheTileOutAndTheOthersMoveUp) {
  auto g = grid(6);
  auto events = std::make_shared<GridEvents>();
  g->setHomeBoxViewDelegate(events);
  g->setEditStatu();
  const Rect secondFrame = g->homeItems()[1]->frame();
  const Rect thirdFrame = g->homeItems()[2]->frame();
  ASSERT_TRUE(g->homeItems()[1]->removeButton()->tap());
  EXPECT_EQ(events->events, (std::vector<std::string>{"delete b1"}));
  ASSERT_EQ(g->homeItems().size(), 5u);
  EXPECT_EQ(g->homeItems()[1]->homeData()->title(), "b2");
  EXPECT_EQ(g->homeItems()[1]->frame(), secondFrame);
  EXPECT_EQ(g->homeItems()[2]->frame(), thirdFrame);
  for (size_t i = 0; i < g->homeItems().size(); ++i) EXPECT_EQ(g->homeItems()[i]->index(), static_cast<int>(i));
  EXPECT_EQ(g->pagesScrollView()->subviews().size(), 5u);

  // The last tile: nothing moves, the delegate still hears of it.
  const Rect before = g->homeItems()[3]->frame();
  ASSERT_TRUE(g->homeItems()[4]->removeButton()->tap());
  EXPECT_EQ(events->events.back(), "delete b5");
  EXPECT_EQ(g->homeItems()[3]->frame(), before);
}

TEST(HomeBoxView, DraggingSwapsMovableTilesAndScrollsAtThePageEdge) {
  auto g = grid(20, kMovable);
  auto& items = g->homeItems();
  auto dragged = items[0];
  // The finger grabs the tile at (10, 10) and moves right by one column: over position 1.
  dragged->handleLongPress({State::Began, {10, 10}});
  dragged->handleLongPress({State::Changed, {10 + 80, 10}});
  EXPECT_EQ(items[1], dragged);
  EXPECT_EQ(dragged->index(), 1);
  EXPECT_EQ(items[0]->homeData()->title(), "b1");
  EXPECT_EQ(items[0]->frame(), (Rect{10, 12, 60, 60})) << "the other tile takes the dragged one's cell";
  // Dropped there: into the cell of its new place.
  dragged->handleLongPress({State::Ended, {10, 10}});
  EXPECT_EQ(dragged->frame(), (Rect{90, 12, 60, 60}));

  // Near the right edge the grid pages on.
  auto edge = items[3];
  edge->handleLongPress({State::Began, {50, 10}});
  edge->handleLongPress({State::Changed, {58, 10}});   // finger at x = 250 + 58 = 308
  platform::RunLoop::main().advance(1);
  EXPECT_EQ(g->pagesScrollView()->contentOffset().x, 320);
}

TEST(HomeBoxView, ADropOverATileThatCannotMoveGoesBackToItsOwnCell) {
  HomeBoxList list = boxes(2, kMovable);
  list.push_back(boxes(1, HomeBoxData::kRemovableState)[0]);
  auto g = HomeBoxView::initWithFrame(Rect{0, 40, 320, 490}, list);
  auto tile = g->homeItems()[0];
  tile->setFrame(Rect{170, 12, 60, 60});   // dragged over the fixed tile at position 2
  tile->handleLongPress({State::Ended, {10, 10}});
  EXPECT_EQ(tile->frame(), (Rect{10, 12, 60, 60}));
  EXPECT_EQ(g->homeItems()[0], tile);
}

TEST(HomeBoxView, MoveToFirstAndDeleteOnCommand) {
  auto g = grid(6);
  g->setToFirstLocation(3);
  std::vector<std::string> order;
  for (const auto& t : g->homeItems()) order.push_back(t->homeData()->title());
  EXPECT_EQ(order, (std::vector<std::string>{"b3", "b0", "b1", "b2", "b4", "b5"}));
  EXPECT_EQ(g->homeItems()[0]->frame(), (Rect{10, 12, 60, 60}));
  EXPECT_EQ(g->homeItems()[1]->frame(), (Rect{90, 12, 60, 60}));

  auto h = grid(7);
  h->deleteAppointItem(1);
  platform::RunLoop::main().advance(1);
  order.clear();
  for (const auto& t : h->homeItems()) order.push_back(t->homeData()->title());
  // b5 held position 4 before the deletion and holds it again.
  EXPECT_EQ(order, (std::vector<std::string>{"b0", "b2", "b3", "b5", "b4", "b6"}));
  EXPECT_EQ(h->pagesScrollView()->subviews().size(), 6u);
}

TEST(HomeBoxView, LookupsAndTips) {
  auto g = grid(3);
  EXPECT_EQ(g->getHomeBoxDataWithBusid("C1")->title(), "b1");
  EXPECT_EQ(g->getHomeBoxItemByBusid("C2")->homeData()->title(), "b2");
  EXPECT_FALSE(g->getHomeBoxDataWithBusid("nope"));
  const size_t before = g->homeItems()[1]->subviews().size();
  g->updateTipsWithDictionary({{"b1", "hot"}, {"zz", "x"}});
  EXPECT_EQ(g->homeItems()[1]->subviews().size(), before + 2);
  EXPECT_EQ(g->homeItems()[0]->subviews().size(), before);
  g->reloadItems(boxes(18));
  EXPECT_EQ(g->homeItems().size(), 18u);
  EXPECT_EQ(g->pagecontrol()->numberOfPages(), 2);
  EXPECT_FALSE(g->pagecontrol()->isHidden());
}

}  // namespace
}  // namespace nvx
