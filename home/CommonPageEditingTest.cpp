// Editing the common page: the applications list (ticks, Save, back, tabs, row texts from the
// stored service groups) and the reorder screen (held boxes, moves, deletes).
#include <gtest/gtest.h>

#include "core/models/ServiceGroupEntity.h"
#include "home/AllControllerTable.h"
#include "home/CommonMoveCell.h"
#include "home/HomeDataUtil.h"
#include "home/RangeTableViewController.h"
#include "home/UpdateDataUtil.h"
#include "platform/ui/TextMetrics.h"
#include "home/testing/HomeScreenFixture.h"
#include "platform/testing/Testing.h"
#include "platform/ui/NavigationController.h"

namespace nvx {
namespace {

using platform::Json;
using platform::ui::IndexPath;
using platform::ui::Rect;

std::vector<std::string> titles(const HomeBoxList& page) {
  std::vector<std::string> out;
  for (const auto& b : page) out.push_back(b->title());
  return out;
}

// A page of boxes titled by the letters, the last one the Add box.
HomeBoxList page(const std::string& letters) {
  HomeBoxList out;
  for (char c : letters) {
    auto box = HomeBoxData::boxDataWithTitle(std::string(1, c), "", "", "", std::string("C") + c, "", "X", 257);
    out.push_back(box);
  }
  return out;
}

class CommonPageEditingTest : public testing::HomeScreenFixture {
 protected:
  void SetUp() override {
    HomeScreenFixture::SetUp();
    ServiceGroupEntity::registerArchiveClass();
  }

  // The applications list presented over the root screen with the page, as the home screen does.
  std::shared_ptr<AllControllerTable> presentList(HomeBoxList common) {
    auto list = AllControllerTable::create();
    list->setItems(HomeDataUtil::getAllBoxData());
    list->setExistArray(std::move(common));
    list->delegate = [this](const HomeBoxList& saved) { savedPages.push_back(titles(saved)); };
    services->root->presentModal(platform::ui::NavigationController::create(list), false);
    settle();
    return list;
  }
  std::shared_ptr<RangeTableViewController> presentRange(HomeBoxList common) {
    auto range = RangeTableViewController::create();
    range->setCommonArray(std::move(common));
    range->delegate = [this](const HomeBoxList& saved) { savedPages.push_back(titles(saved)); };
    services->root->presentModal(platform::ui::NavigationController::create(range), false);
    settle();
    return range;
  }
  // The row of the shown tab whose title is the text.
  static int rowOf(AllControllerTable& list, const std::string& title) {
    const auto& rows = list.nowArray();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (rows[i]->title() == title) return static_cast<int>(i);
    }
    return -1;
  }
  void tick(AllControllerTable& list, const std::string& title) {
    const int row = rowOf(list, title);
    ASSERT_GE(row, 0) << title;
    ASSERT_TRUE(inspector.tapCell(*list.allCtrTable(), IndexPath{0, row}).isOk()) << title;
  }

  std::vector<std::vector<std::string>> savedPages;
};

TEST_F(CommonPageEditingTest, TickedBusinessesGoBeforeAddInTickOrderAndBackDiscards) {
  const auto common = HomeDataUtil::getMyStoreBoxData();
  auto expected = titles(common);
  auto list = presentList(common);
  EXPECT_EQ(list->title(), "应用列表");
  // Two businesses of the first tab that the default page does not hold.
  std::vector<std::string> picked;
  for (const auto& box : list->nowArray()) {
    if (!list->existDic().at(box->title()) && picked.size() < 2) picked.push_back(box->title());
  }
  ASSERT_EQ(picked.size(), 2u);
  tick(*list, picked[1]);
  tick(*list, picked[0]);
  expected.insert(expected.end() - 1, picked[1]);
  expected.insert(expected.end() - 1, picked[0]);
  ASSERT_TRUE(inspector.tap(HomeDataUtil::title("Save")).isOk()) << inspector.render();
  settle();
  ASSERT_EQ(savedPages.size(), 1u);
  EXPECT_EQ(savedPages[0], expected);
  EXPECT_FALSE(services->root->presentedViewController()) << "dismissed";

  list = presentList(common);
  tick(*list, picked[0]);
  list->backButtonPressed();
  settle();
  EXPECT_EQ(savedPages.size(), 1u) << "back hands nothing back";
}

TEST_F(CommonPageEditingTest, UntickingAndRetickingKeepsPlacesAndAddStaysLast) {
  const auto common = HomeDataUtil::getMyStoreBoxData();
  const auto before = titles(common);
  // A business of the first tab that is on the page.
  auto probe = presentList(common);
  std::string onPage;
  for (const auto& box : probe->nowArray()) {
    if (probe->existDic().at(box->title())) onPage = box->title();
  }
  ASSERT_FALSE(onPage.empty());
  probe->backButtonPressed();
  settle();

  struct Case {
    const char* what;
    int taps;
  };
  for (const Case& c : {Case{"untick then tick again", 2}, Case{"untick", 1}}) {
    savedPages.clear();
    auto list = presentList(common);
    for (int i = 0; i < c.taps; ++i) tick(*list, onPage);
    list->save();
    settle();
    ASSERT_EQ(savedPages.size(), 1u) << c.what;
    auto expected = before;
    if (c.taps == 1) expected.erase(std::find(expected.begin(), expected.end(), onPage));
    EXPECT_EQ(savedPages[0], expected) << c.what;
    EXPECT_EQ(savedPages[0].back(), HomeDataUtil::title("Add")) << c.what;
  }
}

TEST_F(CommonPageEditingTest, TickingIntoAnEmptyPageAppendsInsteadOfFailing) {
  auto list = presentList({});
  const std::string first = list->nowArray().front()->title();
  tick(*list, first);
  EXPECT_EQ(titles(list->existArray()), std::vector<std::string>{first});
  list->save();
  settle();
  ASSERT_EQ(savedPages.size(), 1u);
  EXPECT_EQ(savedPages[0], std::vector<std::string>{first});
}

TEST_F(CommonPageEditingTest, TabsAreEightyWideAndTheSelectedTabTakesNoTap) {
  auto list = presentList(HomeDataUtil::getMyStoreBoxData());
  const auto& tabs = list->classifyView()->btArray();
  ASSERT_EQ(tabs.size(), 4u);
  EXPECT_EQ(tabs[1]->frame(), (Rect{80, 0, 80, 43}));
  EXPECT_EQ(tabs[0]->frame().height, 44) << "the first tab starts raised";
  const auto groups = HomeDataUtil::getAllItemArray();
  EXPECT_EQ(titles(list->nowArray()), titles(groups[0]));
  EXPECT_FALSE(inspector.tap("我的信用卡").isOk()) << "the selected tab is disabled";
  ASSERT_TRUE(inspector.tap("生活服务").isOk());
  EXPECT_EQ(titles(list->nowArray()), titles(groups[3]));
  EXPECT_EQ(list->allCtrTable()->numberOfRows(0), static_cast<int>(groups[3].size()));
  EXPECT_EQ(tabs[3]->frame().height, 44);
  EXPECT_EQ(tabs[0]->frame().height, 43) << "the tab selected before comes down";
  EXPECT_TRUE(tabs[0]->isEnabled());
}

TEST_F(CommonPageEditingTest, RowTextsFollowTheStoredServiceGroups) {
  const auto lifeGroup = HomeDataUtil::getAllItemArray()[3];
  auto boxTitled = [&](const std::string& t) {
    for (const auto& b : lifeGroup) {
      if (b->title() == t) return b;
    }
    return std::shared_ptr<HomeBoxData>();
  };
  const auto lottery = boxTitled("彩票");
  const auto movie = boxTitled("电影票");
  const auto recharge = boxTitled(HomeDataUtil::title("MobileRecharge"));
  ASSERT_TRUE(lottery && movie && recharge);
  const auto tips = UpdateDataUtil::getBussinessTipMessage();
  const auto updates = UpdateDataUtil::getUpdateMessage();
  const std::string longNote(30, 'W');

  struct Case {
    const char* what;
    std::shared_ptr<HomeBoxData> box;
    Json service;   // null: no stored service for the box
    std::string tip;
    bool updateBadge;
  };
  const std::vector<Case> cases{
      {"no service, updated business", lottery, nullptr, updates.at("彩票"), true},
      {"no service, plain business", recharge, nullptr, tips.count(recharge->title()) ? tips.at(recharge->title()) : "",
       false},
      {"note of spaces counts as none, update 0", lottery, Json{{"servId", lottery->busId()}, {"update", "0"}, {"updateMsg", "   "}},
       tips.count("彩票") ? tips.at("彩票") : "", false},
      {"update 1 with an update text", movie, Json{{"servId", movie->busId()}, {"update", "1"}}, updates.at("电影票"), true},
      {"a note wins", recharge, Json{{"servId", recharge->busId()}, {"update", 1}, {"updateMsg", longNote}}, longNote, true},
  };
  for (const auto& c : cases) {
    std::vector<std::shared_ptr<ServListEntity>> services;
    if (!c.service.is_null()) services.push_back(std::make_shared<ServListEntity>(ServListEntity::initWithJson(c.service)));
    auto cell = CommonMoveCell::initWithReuseIdentifier("Cell");
    cell->resetImageView();
    cell->fillRow(*c.box, services, tips, updates);
    EXPECT_EQ(cell->introduceLabel()->text(), c.tip) << c.what;
    EXPECT_EQ(!cell->updateImage()->isHidden(), c.updateBadge) << c.what;
    const bool twoLines = platform::ui::TextMetrics::width(c.tip, platform::ui::Font::system(14)) > 200;
    EXPECT_EQ(cell->introduceLabel()->frame(), (Rect{75, 27, 200, twoLines ? 30.0 : 15.0})) << c.what;
  }

  // Stored groups reach the list's rows.
  auto group = platform::json::parse(R"({"groupId":"1","servList":[{"servId":")" + recharge->busId() +
                           R"(","update":"0","updateMsg":"充值有礼"}]})");
  ASSERT_TRUE(group);
  ServiceGroupEntity::store({std::make_shared<ServiceGroupEntity>(ServiceGroupEntity::initWithJson(*group))});
  auto list = presentList(HomeDataUtil::getMyStoreBoxData());
  ASSERT_TRUE(inspector.tap("生活服务").isOk());
  auto cell = std::dynamic_pointer_cast<CommonMoveCell>(
      list->allCtrTable()->cellForRow(IndexPath{0, rowOf(*list, recharge->title())}));
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->introduceLabel()->text(), "充值有礼");
}

TEST_F(CommonPageEditingTest, TheReorderScreenHoldsTwoBoxesAndPutsThemBack) {
  struct Case {
    const char* what;
    std::string page;
    std::string rows;
    std::function<void(RangeTableViewController&)> edit;
    std::string saved;
  };
  auto moveLastToTop = [](RangeTableViewController& r) {
    r.moveRow(IndexPath{0, static_cast<int>(r.businessArray().size()) - 1}, IndexPath{0, 0});
  };
  auto keepBAndG = [this](RangeTableViewController& r) {
    for (const char* gone : {"A", "C", "D", "F"}) {
      const auto& rows = r.businessArray();
      auto at = std::find_if(rows.begin(), rows.end(), [&](const auto& b) { return b->title() == gone; });
      ASSERT_TRUE(r.ctrTable()->swipeToDelete(IndexPath{0, static_cast<int>(at - rows.begin())}));
    }
  };
  const std::vector<Case> cases{
      {"eight boxes, G to the top", "ABCDEFG+", "ABCDFG", moveLastToTop, "GABCEDF+"},
      {"five boxes unchanged", "ABCD+", "ABC", nullptr, "ABCD+"},
      {"eight boxes, all but B and G deleted", "ABCDEFG+", "ABCDFG", keepBAndG, "BGE+"},
      {"one box only", "+", "", nullptr, "+"},
      {"no box at all", "", "", nullptr, ""},
  };
  for (const auto& c : cases) {
    savedPages.clear();
    auto range = presentRange(page(c.page));
    std::string rows;
    for (const auto& b : range->businessArray()) rows += b->title();
    EXPECT_EQ(rows, c.rows) << c.what;
    EXPECT_EQ(range->ctrTable()->numberOfRows(0), static_cast<int>(c.rows.size())) << c.what;
    EXPECT_TRUE(range->ctrTable()->isEditing()) << c.what;
    if (c.edit) c.edit(*range);
    range->save();
    settle();
    ASSERT_EQ(savedPages.size(), 1u) << c.what;
    std::string saved;
    for (const auto& t : savedPages[0]) saved += t;
    EXPECT_EQ(saved, c.saved) << c.what;
  }
}

TEST_F(CommonPageEditingTest, BackFromTheReorderScreenKeepsThePage) {
  auto range = presentRange(page("ABCDEFG+"));
  ASSERT_TRUE(range->ctrTable()->swipeToDelete(IndexPath{0, 0}));
  range->backButtonPressed();
  settle();
  EXPECT_TRUE(savedPages.empty());
  EXPECT_FALSE(services->root->presentedViewController());
}

TEST_F(CommonPageEditingTest, TheHomeScreenStoresWhatTheListAndTheReorderScreenSave) {
  ScreenRegistry::shared().add(AllControllerTable::kClassName, [] { return AllControllerTable::create(); });
  showHome();
  ASSERT_TRUE(inspector.tapTag(HomeNavigationBar::kCommonTag).isOk());
  tapBox(HomeDataUtil::title("Add"));
  auto nav = std::dynamic_pointer_cast<platform::ui::NavigationController>(home->presentedViewController());
  ASSERT_TRUE(nav);
  auto list = std::dynamic_pointer_cast<AllControllerTable>(nav->topViewController());
  ASSERT_TRUE(list);
  std::string picked;
  for (const auto& box : list->nowArray()) {
    if (!list->existDic().at(box->title())) picked = box->title();
  }
  ASSERT_FALSE(picked.empty());
  tick(*list, picked);
  ASSERT_TRUE(inspector.tap(HomeDataUtil::title("Save")).isOk());
  settle();
  auto expected = titles(HomeDataUtil::getMyStoreBoxData());
  expected.insert(expected.end() - 1, picked);
  EXPECT_EQ(titles(home->commonArray()), expected);

  // The reorder screen: the first row to the end.
  home->resetLocation();
  settle();
  nav = std::dynamic_pointer_cast<platform::ui::NavigationController>(home->presentedViewController());
  ASSERT_TRUE(nav);
  auto range = std::dynamic_pointer_cast<RangeTableViewController>(nav->topViewController());
  ASSERT_TRUE(range);
  range->moveRow(IndexPath{0, 0}, IndexPath{0, static_cast<int>(range->businessArray().size()) - 1});
  range->save();
  settle();
  const auto rows = RangeTableViewController::removeTheBusiness([&] {
    HomeBoxList boxes;
    for (const auto& t : expected) boxes.push_back(HomeBoxData::boxDataWithTitle(t, "", "", ""));
    return boxes;
  }());
  std::vector<std::string> moved = titles(rows);
  std::rotate(moved.begin(), moved.begin() + 1, moved.end());
  moved.insert(moved.begin() + 4, expected[4]);
  moved.push_back(expected.back());
  EXPECT_EQ(titles(home->commonArray()), moved);

  // Both survive a restart: the page is stored.
  platform::testing::restart();
  SetUp();
  ScreenRegistry::shared().add(AllControllerTable::kClassName, [] { return AllControllerTable::create(); });
  showHome();
  EXPECT_EQ(titles(home->commonArray()), moved);
}

}  // namespace
}  // namespace nvx
