// The home banner's adverts: the server's list or the local set of the current period, the
// banner's paging, swiping and taps, and the home screen acting on a tapped advert.
#include "home/AdvertisingManager.h"

#include <gtest/gtest.h>

#include "app/ui/AdvertisingWebViewController.h"
#include "core/session/NVXData.h"
#include "core/text/DateFormats.h"
#include "home/testing/HomeScreenFixture.h"
#include "home/testing/ThemeStandins.h"
#include "home/testing/ThemeZip.h"
#include "net/ServerConfig.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Settle.h"
#include "standin/FileStandin.h"
#include "standin/MainApiStandin.h"
#include "standin/mainapi/ThemeRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using Scripted = standin::MainApiStandin::Scripted;

void setWallClock(const char* local) {
  auto when = parseDate(local, "yyyy-MM-dd HH:mm:ss");
  ASSERT_TRUE(when);
  platform::virtualClock()->setWall(*when);
}

std::vector<int> idsOf(const std::vector<std::shared_ptr<Advertising>>& ads) {
  std::vector<int> ids;
  for (const auto& ad : ads) ids.push_back(ad->adID);
  return ids;
}

TEST(AdvertisingLocal, TheLocalSetFollowsTheDateOnTheWallClock) {
  struct Case {
    const char* now;
    const char* key;
    std::vector<int> ids, types;
    std::vector<std::string> notes, pictures;
    std::vector<int> kinds;
  } cases[] = {
      {"2013-10-19 23:59:59", "Advertising_local1", {2, 3}, {6, 6}, {"B00001", "110001"},
       {"home_ad_2.jpg", "home_ad_3.jpg"}, {6, 7}},
      {"2013-10-20 00:00:00", "Advertising_local", {0, 1}, {1, 4}, {"B00001", "Advertising3"},
       {"home_ad_0.jpg", "home_ad_1.jpg"}, {1, 4}},
  };
  auto& manager = AdvertisingManager::shareAdsManager();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.now);
    setWallClock(c.now);
    manager.downloadLoacalData();
    EXPECT_TRUE(platform::UserDefaults::standard().data(c.key)) << "stored under " << c.key;
    ASSERT_EQ(manager.adverts().size(), 2u);
    ASSERT_GE(manager.ADImages()->size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const auto& ad = *manager.adverts()[i];
      EXPECT_EQ(ad.adID, c.ids[i]);
      EXPECT_EQ(ad.adType, c.types[i]);
      EXPECT_EQ(ad.adNote, c.notes[i]);
      const auto& cell = *(*manager.ADImages())[manager.ADImages()->size() - 2 + i];
      EXPECT_EQ(cell.defaultImageName(), c.pictures[i]);
      ASSERT_TRUE(cell.image()) << c.pictures[i];
      EXPECT_TRUE(cell.isDefault());
      EXPECT_EQ(cell.adTypeIfLoadLocalResource(), c.kinds[i]);
      EXPECT_EQ(cell.adDate().get(), manager.adverts()[i].get());
    }
  }
  EXPECT_EQ(manager.adverts()[1]->adContent, platform::Strings::localized("Advertising3"));
  EXPECT_EQ(manager.ADImages()->size(), 4u) << "cells are only appended";
}

TEST(AdvertisingLocal, AStoredSetOutlivesTheBuiltInOne) {
  setWallClock("2014-01-01 12:00:00");
  Advertising::registerArchiveClass();
  auto own = std::make_shared<Advertising>();
  own->adID = 3;
  own->adType = 2;
  own->adUrl = "https://example.test/";
  platform::UserDefaults::standard().setData(AdvertisingManager::kLocalKey, platform::archiveList(std::vector{own}));
  auto& manager = AdvertisingManager::shareAdsManager();
  manager.downloadLoacalData();
  ASSERT_EQ(idsOf(manager.adverts()), std::vector<int>{3});
  EXPECT_EQ(manager.adverts()[0]->adUrl, "https://example.test/");
  EXPECT_EQ(manager.ADImages()->back()->defaultImageName(), "home_ad_3.jpg");
}

TEST(AdvertisingLocal, ALocalPictureStandsInForADownloadByPeriodAndType) {
  struct Case {
    int type;
    bool newPeriod;
    const char* picture;
  } cases[] = {
      {4, true, "home_ad_1.jpg"}, {1, true, "home_ad_0.jpg"}, {6, true, "home_ad_0.jpg"},
      {1, false, "home_ad_2.jpg"}, {2, false, "home_ad_2.jpg"}, {3, false, "home_ad_3.jpg"},
      {4, false, "home_ad_3.jpg"}, {6, false, "home_ad_3.jpg"}, {5, false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AdvertisingCell::localPictureFor(c.type, c.newPeriod), c.picture) << c.type << " " << c.newPeriod;
  }
}

// --- against the stand-ins ---

class AdvertisingServerTest : public testing::HomeScreenFixture {
 protected:
  void SetUp() override {
    HomeScreenFixture::SetUp();
    ASSERT_NO_FATAL_FAILURE(standins.start());
    files.put("/ad/7.png", testing::bundlePicture("add.png"));
    setWallClock("2020-05-01 09:00:00");
  }
  void TearDown() override { standins.stop(); }
  Json advert(int id, int type, const std::string& picture) {
    return {{"id", id}, {"aName", "ad" + std::to_string(id)}, {"aImg", files.urlOf(picture)}, {"aType", type},
            {"aUrl", "https://example.test/" + std::to_string(id)}, {"aContent", "<p>通知</p>"}, {"note", "B00001"}};
  }
  void fetch() {
    AdvertisingManager::shareAdsManager().downloadAdsDateFromURL("ignored");
    ASSERT_TRUE(platform::testing::settleIo());
  }

  testing::ThemeStandins standins;
  std::unique_ptr<standin::MainApiStandin>& server = standins.server;
  standin::FileStandin& files = standins.files;
};

TEST_F(AdvertisingServerTest, TheServersAdvertsAreSavedAndShownWithTheirPictures) {
  const Json list = Json::array({advert(7, 3, "/ad/7.png"), advert(8, 4, "/ad/missing.png")});
  server->feature<standin::ThemeState>().adverts = list;
  fetch();
  auto& manager = AdvertisingManager::shareAdsManager();
  EXPECT_EQ(idsOf(manager.adverts()), (std::vector<int>{7, 8}));
  EXPECT_EQ(NVXData::sharedNVXData().advertiseMents(), list);
  ASSERT_EQ(manager.ADImages()->size(), 2u);
  const auto& shown = *(*manager.ADImages())[0];
  EXPECT_FALSE(shown.isDefault());
  ASSERT_TRUE(shown.image());
  EXPECT_EQ(shown.image()->size, (platform::ui::Size{30, 30}));
  // The picture that cannot be downloaded leaves its cell on the local picture of type 4.
  const auto& missing = *(*manager.ADImages())[1];
  EXPECT_TRUE(missing.isDefault());
  EXPECT_EQ(missing.defaultImageName(), "home_ad_1.jpg");
  EXPECT_EQ(missing.adTypeIfLoadLocalResource(), 4);
}

TEST_F(AdvertisingServerTest, AnyReplyWithoutGoodAdvertsShowsTheLocalSetAndKeepsTheSavedList) {
  const Json saved = Json::array({advert(1, 1, "/ad/7.png")});
  NVXData::sharedNVXData().setAdvertiseMents(saved);
  const std::string withAdverts = platform::json::dump(Json::array({advert(9, 3, "/ad/7.png")}));
  struct Case {
    const char* label;
    Scripted reply;
  } cases[] = {
      {"an error reply carrying adverts",
       Scripted::rawBody(R"({"retStatus":{"retCode":"9999","errMsg":"维护中"},"retData":)" + withAdverts + "}")},
      {"an empty list", Scripted::success(Json::array())},
      {"an object instead of a list", Scripted::success(Json::object({{"id", 9}}))},
      {"no data", Scripted::successWithoutData()},
      {"bad JSON", Scripted::badJson()},
      {"an error page", Scripted::htmlErrorPage(502)},
      {"a dropped connection", Scripted::dropConnection()},
  };
  auto& manager = AdvertisingManager::shareAdsManager();
  for (auto& c : cases) {
    SCOPED_TRACE(c.label);
    server->script("getAdverTisement", c.reply, 1);
    const size_t cellsBefore = manager.ADImages()->size();
    fetch();
    EXPECT_EQ(idsOf(manager.adverts()), (std::vector<int>{0, 1}));
    EXPECT_EQ(manager.ADImages()->size(), cellsBefore + 2);
    EXPECT_EQ(NVXData::sharedNVXData().advertiseMents(), saved);
  }
}

TEST_F(AdvertisingServerTest, ATappedAdvertOpensWhatItsTypeSays) {
  Json notice = advert(7, 4, "/ad/7.png");
  server->feature<standin::ThemeState>().adverts = Json::array({notice});
  showHome();
  ASSERT_TRUE(platform::testing::settleIo());
  auto banner = home->adView();
  ASSERT_TRUE(banner);
  EXPECT_EQ(banner->frame(), (platform::ui::Rect{0, -1, 320, 98}));
  // Built before the adverts arrived: the first step finds the one advert.
  platform::RunLoop::main().advance(1);
  ASSERT_TRUE(banner->frontButton()->isEnabled());
  ASSERT_TRUE(inspector.tapControl(*banner->frontButton()).isOk());
  settle();
  auto web = std::dynamic_pointer_cast<AdvertisingWebViewController>(services->navigation->topViewController());
  ASSERT_TRUE(web) << topName();
  EXPECT_EQ(web->notice(), "<p>通知</p>");
}

TEST_F(AdvertisingServerTest, ALocalAdvertActsByThePictureItShows) {
  // Before the change of 2013: the older set, whose second picture stands for the wallet.
  setWallClock("2013-10-01 10:00:00");
  server->script("getAdverTisement", Scripted::dropConnection(), 1);
  showHome();
  ASSERT_TRUE(platform::testing::settleIo());
  auto banner = home->adView();
  ASSERT_TRUE(banner);
  platform::RunLoop::main().advance(1);
  ASSERT_EQ(banner->currentIndex(), 1);
  ASSERT_EQ(AdvertisingManager::shareAdsManager().ADImages()->at(1)->defaultImageName(), "home_ad_3.jpg");
  EXPECT_EQ(home->animateView()->frame().y, 0);
  ASSERT_TRUE(inspector.tapControl(*banner->frontButton()).isOk());
  settle();
  EXPECT_NE(home->animateView()->frame().y, 0) << "the wallet tab hides the banner";
  EXPECT_EQ(topName(), HomeViewController::kClassName);
}

// --- the banner ---

class AdvertisingBannerTest : public ::testing::Test {
 protected:
  void SetUp() override { setWallClock("2020-05-01 09:00:00"); }
  std::shared_ptr<AdvertisingCell> cell(int id) {
    auto ad = std::make_shared<Advertising>();
    ad->adID = id;
    return AdvertisingCell::initWithImageName("home_ad_" + std::to_string(id) + ".jpg", ad);
  }
  std::string front() const {
    const auto picture = banner->frontButton()->currentImage();
    return picture ? picture->name : "none";
  }
  void add(int count) {
    for (int i = 0; i < count; ++i) cells->push_back(cell(static_cast<int>(cells->size())));
  }

  std::shared_ptr<AdvertisingCells> cells = std::make_shared<AdvertisingCells>();
  std::shared_ptr<AdvertisingView> banner;
};

TEST_F(AdvertisingBannerTest, ABannerBuiltBeforeItsAdvertsShowsThemWithinASecond) {
  banner = AdvertisingView::initWithFrame({0, -1, 320, 98}, cells);
  EXPECT_FALSE(banner->frontButton()->isEnabled());
  EXPECT_FALSE(banner->scrollView()->isScrollEnabled());
  EXPECT_EQ(banner->timerInterval(), 1.0);
  EXPECT_EQ(banner->scrollView()->contentOffset().x, 320);
  add(2);
  platform::RunLoop::main().advance(1);
  EXPECT_EQ(banner->currentIndex(), 1);
  EXPECT_EQ(front(), "home_ad_1.jpg");
  EXPECT_TRUE(banner->frontButton()->isEnabled());
  EXPECT_TRUE(banner->scrollView()->isScrollEnabled());
  EXPECT_EQ(banner->timerInterval(), 5.0);
  EXPECT_EQ(banner->pushTransitions(), 1);
  EXPECT_EQ(banner->pageControl()->numberOfPages(), 0) << "dots counted when the banner was built";
}

TEST_F(AdvertisingBannerTest, OneLateAdvertShowsWithoutATransition) {
  banner = AdvertisingView::initWithFrame({0, 0, 320, 98}, cells);
  add(1);
  platform::RunLoop::main().advance(1);
  EXPECT_EQ(banner->currentIndex(), 0);
  EXPECT_EQ(front(), "home_ad_0.jpg");
  EXPECT_EQ(banner->pushTransitions(), 0);
  EXPECT_FALSE(banner->scrollView()->isScrollEnabled());
}

TEST_F(AdvertisingBannerTest, TheTimerPagesEveryFiveSecondsAndWraps) {
  add(3);
  banner = AdvertisingView::initWithFrame({0, 0, 320, 98}, cells);
  EXPECT_EQ(front(), "home_ad_0.jpg");
  EXPECT_EQ(banner->pageControl()->numberOfPages(), 3);
  EXPECT_FALSE(banner->pageControl()->isHidden());
  std::vector<int> seen;
  for (int step = 0; step < 4; ++step) {
    platform::RunLoop::main().advance(4.9);
    EXPECT_EQ(banner->currentIndex(), seen.empty() ? 0 : seen.back());
    platform::RunLoop::main().advance(0.1);
    seen.push_back(banner->currentIndex());
    EXPECT_EQ(banner->pageControl()->currentPage(), banner->currentIndex());
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 0, 1}));
}

TEST_F(AdvertisingBannerTest, SwipesWrapAtBothEndsAndRestartTheTimer) {
  add(3);
  banner = AdvertisingView::initWithFrame({0, 0, 320, 98}, cells);
  struct Swipe {
    double offset;
    int index;
  } swipes[] = {{0, 2}, {640, 0}, {640, 1}, {320, 1}, {0, 0}};
  for (const auto& s : swipes) {
    SCOPED_TRACE(s.offset);
    ASSERT_TRUE(banner->scrollView()->scrollTo({s.offset, 0}));
    EXPECT_EQ(banner->currentIndex(), s.index);
    EXPECT_EQ(front(), "home_ad_" + std::to_string(s.index) + ".jpg");
    EXPECT_EQ(banner->scrollView()->contentOffset().x, 320);
    for (const auto& c : *cells) EXPECT_FALSE(c->superview());
    EXPECT_TRUE(banner->isTimerRunning());
  }
  EXPECT_EQ(banner->pageControl()->currentPage(), 0) << "the dots follow at the next timer step";
  platform::RunLoop::main().advance(5);
  EXPECT_EQ(banner->pageControl()->currentPage(), 1);
}

TEST_F(AdvertisingBannerTest, ATapGoesToTheDelegateAndAReleasedBannerStopsItsTimer) {
  struct Recorder : AdvertisingDelegate {
    void advertisingViewClickedAd(AdvertisingView&, AdvertisingCell& ad) override { ids.push_back(ad.adDate()->adID); }
    std::vector<int> ids;
  };
  add(2);
  banner = AdvertisingView::initWithFrame({0, 0, 320, 98}, cells);
  auto recorder = std::make_shared<Recorder>();
  banner->setAdDelegate(recorder);
  auto window = platform::ui::Window::create();
  window->makeKeyAndVisible();
  window->addSubview(banner);
  platform::ui::Inspector inspector;
  { auto st = inspector.tapControl(*banner->frontButton()); ASSERT_TRUE(st.isOk()) << st.message(); }
  platform::RunLoop::main().advance(5);
  ASSERT_TRUE(inspector.tapControl(*banner->frontButton()).isOk());
  EXPECT_EQ(recorder->ids, (std::vector<int>{0, 1}));

  const size_t timers = platform::RunLoop::main().timerCount();
  std::weak_ptr<AdvertisingView> gone = banner;
  banner->removeFromSuperview();
  banner.reset();
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(platform::RunLoop::main().timerCount(), timers - 1);
  platform::RunLoop::main().advance(10);
}

}  // namespace
}  // namespace nvx
