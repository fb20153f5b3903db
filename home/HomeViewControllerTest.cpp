// The home screen: the common page on disk, pages and bars, tips and the unread badge.
#include "home/HomeViewController.h"

#include <gtest/gtest.h>

#include "home/HomeDataUtil.h"
#include "home/testing/HomeScreenFixture.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;
using platform::ui::Rect;

class HomeScreenTest : public testing::HomeScreenFixture {
 protected:
  HomeBoxList stored() {
    HomeBoxList out;
    auto bytes = platform::UserDefaults::standard().data(HomeViewController::kCommonPageKey);
    if (!bytes) return out;
    for (auto& o : platform::unarchiveList(*bytes).value_or(platform::ArchivableList{})) {
      out.push_back(std::dynamic_pointer_cast<HomeBoxData>(o));
    }
    return out;
  }
  void store(const HomeBoxList& page) {
    platform::UserDefaults::standard().setData(HomeViewController::kCommonPageKey, platform::archiveList(page));
  }
  static std::vector<std::string> titles(const HomeBoxList& page) {
    std::vector<std::string> out;
    for (const auto& b : page) out.push_back(b ? b->title() : "?");
    return out;
  }
  std::vector<std::string> defaultTitles() { return titles(HomeDataUtil::getMyStoreBoxData()); }
  bool bannerShown() const { return home->animateView()->frame().y == 0; }
};

TEST_F(HomeScreenTest, FirstStartStoresTheDefaultCommonPageWithAddLast) {
  showHome();
  const auto page = stored();
  ASSERT_EQ(page.size(), 8u);
  EXPECT_EQ(titles(page), defaultTitles());
  EXPECT_EQ(page.back()->pushIdentifier(), "A11111");
  // The card page shows first, under the banner, with the first tab selected.
  EXPECT_FALSE(home->cardView()->isHidden());
  EXPECT_TRUE(home->mystoreView()->isHidden());
  EXPECT_TRUE(bannerShown());
  auto bar = HomeTabBarViewController::getHomeBottomTabBarInView(*home->contenView());
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->selectedIndex(), HomeBottomTabBar::kCardTag);
  EXPECT_TRUE(services->navigation->isNavigationBarHidden());
  // "messageNum" is set to "-1" before the unread count is asked.
  EXPECT_EQ(operations->messageNums, (std::vector<std::string>{"-1"}));
}

TEST_F(HomeScreenTest, AnArrangedPageSurvivesARestartAndARetiredBoxBringsBackTheDefault) {
  auto page = HomeDataUtil::getMyStoreBoxData();
  std::swap(page[0], page[2]);
  page.erase(page.begin() + 1);
  store(page);
  showHome();
  EXPECT_EQ(titles(home->commonArray()), titles(page));

  auto retired = page;
  retired.insert(retired.begin() + 2,
                 HomeBoxData::boxDataWithTitle(HomeDataUtil::title("AA-Receivables"), "", "", "", "M50011", "",
                                               "ReceivableInfoViewController", 257));
  store(retired);
  platform::testing::restart();
  SetUp();
  showHome();
  EXPECT_EQ(titles(home->commonArray()), defaultTitles());
  EXPECT_EQ(titles(stored()), defaultTitles());
}

TEST_F(HomeScreenTest, ADamagedStoredPageGivesTheDefaultPage) {
  auto unknownClass = HomeDataUtil::getMyStoreBoxData();
  unknownClass[1]->setTargetCtr("");
  auto duplicate = HomeDataUtil::getMyStoreBoxData();
  duplicate.push_back(duplicate[0]->copy());
  const std::vector<std::pair<std::string, std::string>> cases{
      {"not an archive", "{{{"},
      {"an empty list", platform::archiveList(HomeBoxList{})},
      {"a box of an unknown archive class", R"([{"$class":"Elsewhere","nvx_title":"x"}])"},
      {"a box without a screen class", platform::archiveList(unknownClass)},
      {"a box twice", platform::archiveList(duplicate)},
  };
  for (const auto& [what, bytes] : cases) {
    platform::UserDefaults::standard().setData(HomeViewController::kCommonPageKey, bytes);
    showHome();
    EXPECT_EQ(titles(home->commonArray()), defaultTitles()) << what;
    EXPECT_EQ(titles(stored()), defaultTitles()) << what;
  }
}

TEST_F(HomeScreenTest, BottomTabsSwitchPagesAndSlideTheBanner) {
  showHome();
  struct Case {
    int tag;
    std::shared_ptr<HomeBoxView> shown;
    bool banner;
  };
  for (const Case& c : {Case{10232, home->mobilBankView(), false}, Case{10233, home->lifeView(), false},
                        Case{10231, home->cardView(), true}, Case{10234, nullptr, false},
                        Case{10231, home->cardView(), true}}) {
    home->selectTag(c.tag);
    settle();
    for (const auto& g : {home->cardView(), home->mobilBankView(), home->lifeView(), home->mallView(),
                          home->mystoreView()}) {
      EXPECT_EQ(!g->isHidden(), g == c.shown) << c.tag;
    }
    EXPECT_EQ(bannerShown(), c.banner) << c.tag;
  }
}

TEST_F(HomeScreenTest, TappingABottomTabSwitchesAfterItsAnimationAndEveryBarFollows) {
  showHome();
  auto homeBar = HomeTabBarViewController::getHomeBottomTabBarInView(*home->contenView());
  auto other = platform::ui::View::create(Rect{0, 0, 320, 568});
  auto otherBar = HomeTabBarViewController::showHomeTabBarAddedTo(*other, HomeBottomTabBar::kMobileBankTag);
  EXPECT_EQ(otherBar->frame().y, homeBar->frame().y - 44) << "a bar for 10232 sits 44 points higher";

  ASSERT_TRUE(inspector.tapTag(HomeBottomTabBar::kWalletTag).isOk());
  platform::RunLoop::main().advance(0.23);
  EXPECT_TRUE(bannerShown()) << "3 steps of 0.08 s before the page changes";
  platform::RunLoop::main().advance(0.02);
  EXPECT_FALSE(bannerShown());
  EXPECT_EQ(homeBar->selectedIndex(), HomeBottomTabBar::kWalletTag);
  EXPECT_EQ(otherBar->selectedIndex(), HomeBottomTabBar::kWalletTag);
  EXPECT_TRUE(otherBar->buttonWithTag(HomeBottomTabBar::kWalletTag)->isSelected());
  EXPECT_FALSE(otherBar->buttonWithTag(HomeBottomTabBar::kMobileBankTag)->isSelected());

  // Backing out of a login screen the controller asked for restores the tab shown before.
  auto controller = HomeTabBarViewController::sharedTabBarController();
  auto login = std::make_shared<testing::TestLoginScreen>();
  services->navigation->push(login, false);
  controller->didBackFromLogin(*login);
  settle();
  EXPECT_EQ(controller->toTag(), HomeBottomTabBar::kCardTag);
  EXPECT_EQ(homeBar->selectedIndex(), HomeBottomTabBar::kCardTag);
  EXPECT_EQ(otherBar->selectedIndex(), HomeBottomTabBar::kCardTag);
  EXPECT_EQ(topName(), HomeViewController::kClassName);
}

TEST_F(HomeScreenTest, TopItemsShowTheirPagesClearTheBottomTabAndHideTheBanner) {
  showHome();
  auto bar = HomeTabBarViewController::getHomeBottomTabBarInView(*home->contenView());
  ASSERT_TRUE(inspector.tapTag(HomeNavigationBar::kCommonTag).isOk());
  settle();
  EXPECT_FALSE(home->mystoreView()->isHidden());
  EXPECT_TRUE(home->cardView()->isHidden());
  EXPECT_FALSE(bannerShown());
  for (int tag = 10231; tag <= 10234; ++tag) EXPECT_FALSE(bar->buttonWithTag(tag)->isSelected());
  EXPECT_FALSE(home->navbar()->maskView()->isHidden());
  EXPECT_TRUE(home->navbar()->buttonWithTag(HomeNavigationBar::kCommonTag)->isSelected());

  ASSERT_TRUE(inspector.tapTag(HomeNavigationBar::kMallTag).isOk());
  settle();
  EXPECT_FALSE(home->mallView()->isHidden());
  EXPECT_TRUE(home->mystoreView()->isHidden());

  // A bottom tab takes the selection off the top bar.
  home->selectTag(HomeBottomTabBar::kCardTag);
  EXPECT_TRUE(home->navbar()->maskView()->isHidden());
  EXPECT_FALSE(home->navbar()->buttonWithTag(HomeNavigationBar::kMallTag)->isSelected());
}

TEST_F(HomeScreenTest, TheBadgeShowsTheUnreadCountAndTheMessageItemClearsIt) {
  showHome();
  auto& badge = *home->navbar()->noticeNumView();
  auto& number = *home->navbar()->numLabel();
  struct Case {
    int64_t total;
    bool shown;
    std::string text;
  };
  for (const Case& c : {Case{5, true, "5"}, Case{99, true, "99"}, Case{100, true, "..."}, Case{0, false, "..."},
                        Case{-3, false, "..."}}) {
    ASSERT_TRUE(operations->total);
    auto completion = operations->total;
    completion(c.total);
    EXPECT_EQ(!badge.isHidden(), c.shown) << c.total;
    EXPECT_EQ(number.text(), c.text) << c.total;
  }
  operations->total(std::nullopt);   // an error changes nothing
  EXPECT_TRUE(badge.isHidden());
  operations->total(7);
  ASSERT_TRUE(inspector.tapTag(HomeNavigationBar::kMessageTag).isOk());
  EXPECT_TRUE(badge.isHidden());
  // Asked again on request, with the stored id of the newest message seen.
  platform::UserDefaults::standard().set(HomeViewController::kMessageNumKey, "812");
  home->updateUnReadMsg();
  EXPECT_EQ(operations->messageNums.back(), "812");
}

TEST_F(HomeScreenTest, PromotionTipsGoToTheTilesOfTheirBusinesses) {
  const Json reply = Json::parse(R"([
    {"note": "M50003", "aContent": "送5元"},
    {"note": "M50001", "aContent": "免手续费"},
    {"note": "M50001", "aContent": "返现"},
    {"note": "ZZZ", "aContent": "ignored"},
    "not an entry", {"aContent": "no note"}, {"note": 5}
  ])");
  const auto tips = HomeViewController::tipsFromPromotion(reply);
  EXPECT_EQ(tips, (std::map<std::string, std::string>{{"支付宝充值码", "送5元"}, {"信用卡还款", "返现"}}));
  EXPECT_TRUE(HomeViewController::tipsFromPromotion(Json::object()).empty());
  EXPECT_TRUE(HomeViewController::tipsFromPromotion(Json("0000")).empty());

  showHome();
  ASSERT_TRUE(operations->promotion);
  operations->promotion(reply);
  auto tile = home->cardView()->homeItems()[0];
  ASSERT_EQ(tile->homeData()->title(), "信用卡还款");
  auto banner = std::dynamic_pointer_cast<platform::ui::Label>(tile->subviews().back());
  ASSERT_TRUE(banner);
  EXPECT_EQ(banner->text(), "返现");
  // No reply: no tips, nothing else.
  const size_t views = tile->subviews().size();
  showHome();
  operations->promotion(std::nullopt);
  EXPECT_EQ(home->cardView()->homeItems()[0]->subviews().size(), views - 2);
}

TEST_F(HomeScreenTest, ALongPressEditsOnlyTheCommonPageAndTheRemoveButtonSavesIt) {
  auto page = HomeDataUtil::getMyStoreBoxData();
  page.insert(page.begin() + 3, page[0]->copy());
  page[3]->setPushIdentifier("X");
  page[3]->setTitle("自选");
  store(page);
  showHome();
  home->cardView()->homeItems()[0]->handleLongPress({HomeLongPress::State::Began, {1, 1}});
  EXPECT_FALSE(home->cardView()->isEditing());
  ASSERT_TRUE(inspector.tapTag(HomeNavigationBar::kCommonTag).isOk());
  auto& common = *home->mystoreView();
  common.homeItems().back()->handleLongPress({HomeLongPress::State::Began, {1, 1}});
  EXPECT_FALSE(common.isEditing()) << "not on Add";
  common.homeItems()[1]->handleLongPress({HomeLongPress::State::Began, {1, 1}});
  EXPECT_TRUE(common.isEditing());
  ASSERT_TRUE(common.homeItems()[3]->removeButton()->tap());
  auto expected = titles(page);
  expected.erase(expected.begin() + 3);
  EXPECT_EQ(titles(home->commonArray()), expected);
  EXPECT_EQ(titles(stored()), expected);
}

TEST_F(HomeScreenTest, TheApplicationsListsChoiceReplacesTheCommonPage) {
  showHome();
  auto page = HomeDataUtil::getMyStoreBoxData();
  page.erase(page.begin(), page.begin() + 4);
  home->reloadTheCommonView(page);
  EXPECT_EQ(titles(stored()), titles(page));
  EXPECT_EQ(home->mystoreView()->homeItems().size(), 4u);
}

TEST_F(HomeScreenTest, MovingOrDeletingACommonBoxKeepsTheFifthInPlace) {
  showHome();
  const auto t = defaultTitles();
  home->setToFirstLocation(6);
  EXPECT_EQ(titles(home->commonArray()), (std::vector<std::string>{t[6], t[0], t[1], t[2], t[4], t[3], t[5], t[7]}));
  EXPECT_EQ(titles(stored()), titles(home->commonArray()));
  home->reloadTheCommonView(HomeDataUtil::getMyStoreBoxData());
  home->deleteItem(1);
  home->deleteItem(4);   // the fifth box is never deleted this way
  EXPECT_EQ(titles(home->commonArray()), (std::vector<std::string>{t[0], t[2], t[3], t[5], t[4], t[6], t[7]}));
  platform::RunLoop::main().advance(1);
  std::vector<std::string> shown;
  for (const auto& tile : home->mystoreView()->homeItems()) shown.push_back(tile->homeData()->title());
  EXPECT_EQ(shown, titles(home->commonArray())) << "the grid agrees with the stored page";
}

TEST_F(HomeScreenTest, TheSplashGoesHalfASecondAfterTheHomeScreenShows) {
  auto splash = platform::ui::View::create(Rect{0, 0, 320, 568});
  splash->setTag(HomeScreen::kSplashTag);
  services->mainWindow->addSubview(splash);
  home = HomeViewController::create();
  home->setOperations(operations);
  services->navigation = platform::ui::NavigationController::create(home);
  services->mainWindow->setRootViewController(services->navigation);
  services->mainWindow->addSubview(splash);
  platform::RunLoop::main().advance(0.4);
  EXPECT_TRUE(splash->superview());
  platform::RunLoop::main().advance(0.2);
  EXPECT_FALSE(splash->superview());
}

}  // namespace
}  // namespace nvx
