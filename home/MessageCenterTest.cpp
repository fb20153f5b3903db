// The message centre against the main-API and mall stand-ins: paging by pulls, read state, row
// texts, what a tap opens, and the seen mark.
#include "home/MessageCenterView.h"

#include <gtest/gtest.h>

#include "home/MessageCell.h"
#include "home/MessageDetailViewController.h"
#include "home/MoreViewController.h"
#include "home/testing/HomePagesFixture.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Label.h"

namespace nvx {
namespace {

using platform::Json;
using platform::ui::IndexPath;
using platform::ui::Point;
using Scripted = standin::MainApiStandin::Scripted;

Json notice(const Json& id, const std::string& openType = "1", const std::string& params = "") {
  return Json{{"msgId", id},
              {"msgPurpose", "通知" + platform::json::dump(id)},
              {"msgContent", "<p>正文<b>加粗</b></p>"},
              {"msgPutoutTime", "20261211083005"},
              {"openType", openType},
              {"params", params}};
}

class MessageCenterTest : public testing::HomePagesFixture {
 protected:
  // Notices with ids count .. 1, newest first.
  void serve(int count) {
    Json list = Json::array();
    for (int id = count; id >= 1; --id) list.push_back(notice(std::to_string(id)));
    serviceState().notices = list;
  }
  // The home screen shows its message page and the first page has arrived.
  std::shared_ptr<MessageCenterView> openMessages() {
    showHome();
    home->tabBar(*home->navbar(), *home->navbar()->buttonWithTag(HomeNavigationBar::kMessageTag));
    EXPECT_TRUE(pump([&] {
      auto page = home->messageview();
      return page && page->refleshLabel()->text() != MessageCenterView::kRefreshing;
    }));
    settle();
    return home->messageview();
  }
  std::shared_ptr<platform::ui::Label> footerLabel(MessageCenterView& page) {
    auto footer = page.tableview()->tableFooterView();
    if (auto label = std::dynamic_pointer_cast<platform::ui::Label>(footer)) return label;
    return footer && !footer->subviews().empty() ? std::dynamic_pointer_cast<platform::ui::Label>(footer->subviews()[0])
                                                 : nullptr;
  }
  void drag(MessageCenterView& page, double y) {
    auto table = page.tableview();
    table->willBeginDragging(*table);
    table->setContentOffset(Point{0, y});
    table->didEndDragging(*table, false);
  }
  // An offset that pulls the list more than 50 points past its end.
  static double pastTheEnd(MessageCenterView& page) {
    auto table = page.tableview();
    return table->contentSize().height - table->frame().height + 51;
  }
  bool shownRead(MessageCenterView& page, int section) {
    auto cell = std::dynamic_pointer_cast<MessageCell>(page.tableview()->cellForRow(IndexPath{section, 0}));
    return cell && cell->isShownRead();
  }
};

TEST_F(MessageCenterTest, PagesOfEightByPullsUpAndARefreshStartsOver) {
  serve(10);
  auto page = openMessages();
  ASSERT_TRUE(page);
  EXPECT_EQ(page->messageArr().size(), 8u);
  EXPECT_EQ(page->startPage(), 2);
  EXPECT_EQ(page->refleshLabel()->text(), "刷新成功");
  EXPECT_TRUE(page->noRecordImg()->isHidden());
  EXPECT_EQ(page->tableview()->numberOfSections(), 8);

  page->tableview()->willBeginDragging(*page->tableview());
  ASSERT_TRUE(footerLabel(*page));
  EXPECT_EQ(footerLabel(*page)->text(), "上拉加载更多");

  drag(*page, pastTheEnd(*page));
  ASSERT_TRUE(pump([&] { return page->messageArr().size() == 10; }));
  EXPECT_EQ(page->startPage(), 3);
  EXPECT_EQ(page->refrushCount(), 2);
  EXPECT_EQ(*page->messageArr()[8].msgId, "2");

  page->tableview()->willBeginDragging(*page->tableview());
  EXPECT_EQ(footerLabel(*page)->text(), "消息已全部显示");
  const size_t calls = callsOf("getNoticeMsg");
  drag(*page, pastTheEnd(*page));
  pump([] { return false; });
  EXPECT_EQ(callsOf("getNoticeMsg"), calls) << "a short last page asks for nothing more";

  // Pulling down: the hint follows the offset; past 40 points the first page comes again.
  page->tableview()->setContentOffset(Point{0, -20});
  EXPECT_EQ(page->refleshLabel()->text(), "下拉刷新");
  page->tableview()->setContentOffset(Point{0, -41});
  EXPECT_EQ(page->refleshLabel()->text(), "松开刷新");
  serve(9);
  drag(*page, -41);
  ASSERT_TRUE(pump([&] { return page->messageArr().size() == 8; }));
  EXPECT_EQ(*page->messageArr()[0].msgId, "9");
  EXPECT_EQ(page->startPage(), 2);
}

TEST_F(MessageCenterTest, AnEmptyListShowsThePictureAndAFailureKeepsTheList) {
  serve(0);
  auto page = openMessages();
  EXPECT_FALSE(page->noRecordImg()->isHidden());
  EXPECT_EQ(page->refleshLabel()->text(), "刷新成功");
  EXPECT_FALSE(inspector.byText("刷新成功") && inspector.byText("刷新成功") != page->refleshLabel())
      << "no toast on the first load";

  serve(3);
  drag(*page, -41);
  ASSERT_TRUE(pump([&] { return page->messageArr().size() == 3; }));
  EXPECT_TRUE(page->noRecordImg()->isHidden());

  server->script("getNoticeMsg", Scripted::error("9001", "系统繁忙"));
  drag(*page, -41);
  ASSERT_TRUE(pump([&] { return inspector.byText("系统繁忙") != nullptr; })) << inspector.render();
  EXPECT_EQ(page->messageArr().size(), 3u);
  EXPECT_TRUE(page->noRecordImg()->isHidden());
}

TEST_F(MessageCenterTest, ReadStateFollowsTheSeenMarkAndTaps) {
  Json list = Json::array({notice("12"), notice("11"), notice("abc"), notice(nullptr), notice(10)});
  serviceState().notices = list;
  struct Case {
    const char* seen;
    std::vector<bool> read;
  };
  for (const Case& c : {Case{"-1", {false, false, false, false, false}}, Case{"11", {false, true, true, true, true}},
                        Case{"12", {true, true, true, true, true}}}) {
    platform::UserDefaults::standard().set(MessageCenterView::kMessageNumKey, c.seen);
    auto page = openMessages();
    ASSERT_EQ(page->messageArr().size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shownRead(*page, i), c.read[static_cast<size_t>(i)]) << c.seen << " row " << i;
  }

  platform::UserDefaults::standard().set(MessageCenterView::kMessageNumKey, "-1");
  auto page = openMessages();
  ASSERT_TRUE(inspector.tapCell(*page->tableview(), IndexPath{1, 0}).isOk());
  services->navigation->popToRoot(false);
  settle();
  EXPECT_EQ(page->hasReadArr(), std::vector<std::string>{"11"});
  page->tableview()->reloadData();
  EXPECT_TRUE(shownRead(*page, 1));
  EXPECT_FALSE(shownRead(*page, 0));
  // A message without an id is opened but never recorded.
  ASSERT_TRUE(inspector.tapCell(*page->tableview(), IndexPath{3, 0}).isOk());
  EXPECT_EQ(page->hasReadArr().size(), 1u);
  services->navigation->popToRoot(false);
  settle();

  // Leaving the page for another marks the newest as seen and clears the badge.
  home->updateUnReadNumber(4);
  home->selectTag(HomeBottomTabBar::kCardTag);
  EXPECT_EQ(platform::UserDefaults::standard().string(MessageCenterView::kMessageNumKey), "12");
  EXPECT_TRUE(home->navbar()->noticeNumView()->isHidden());
}

TEST_F(MessageCenterTest, SeenMarkOfAnEmptyPageChangesNothing) {
  serve(0);
  platform::UserDefaults::standard().set(MessageCenterView::kMessageNumKey, "7");
  auto page = openMessages();
  home->updateUnReadNumber(3);
  page->setReadMsgId();
  EXPECT_EQ(platform::UserDefaults::standard().string(MessageCenterView::kMessageNumKey), "7");
  EXPECT_FALSE(home->navbar()->noticeNumView()->isHidden());
}

TEST(MessageCellText, TimesAndBodiesAsARowShowsThem) {
  struct Case {
    std::string time;
    std::string shown;
  };
  for (const Case& c : {Case{"20261211", "2026-12-11 "}, Case{"20261211083005", "2026-12-11 08:30:05"},
                        Case{"2026121", " "}, Case{"", " "}, Case{"2026121108", "2026-12-11 "}}) {
    EXPECT_EQ(MessageCell::dateOf(c.time) + " " + MessageCell::clockOf(c.time), c.shown) << c.time;
  }
  struct Body {
    std::string html;
    std::string text;
  };
  for (const Body& b : {Body{"<p>你好<b>世界</b></p>", "你好世界"},
                        Body{"前<script>alert('x')</script>后", "前后"},
                        Body{"a<SCRIPT type=x>steal()</SCRIPT>b<style>p{}</style>c", "abc"},
                        Body{"未闭合<script>evil()", "未闭合"},
                        Body{"半个标签 <b", "半个标签 <b"}}) {
    EXPECT_EQ(MessageCell::plainText(b.html), b.text) << b.html;
  }
}

TEST_F(MessageCenterTest, ATapOpensWhatTheMessagePointsTo) {
  serviceState().notices = Json::array({notice("6", "1"), notice("5", "4", "B00009"), notice("4", "4", "M50001"),
                                        notice("3", "9"), notice("2", "6", "https://news.example/a"),
                                        notice("1", "4", "NOPE")});
  auto page = openMessages();
  auto tapAndTop = [&](int section) {
    services->navigation->popToRoot(false);
    settle();
    auto tapped = inspector.tapCell(*page->tableview(), IndexPath{section, 0});
    EXPECT_TRUE(tapped.isOk()) << section << " " << tapped.message();
    settle();
    return topName();
  };
  EXPECT_EQ(tapAndTop(0), MessageDetailViewController::kClassName);
  auto detail = std::dynamic_pointer_cast<MessageDetailViewController>(services->navigation->topViewController());
  ASSERT_TRUE(detail);
  EXPECT_EQ(detail->title(), "消息详情");
  EXPECT_EQ(detail->timeLabel()->text(), "2026-12-11 08:30:05");

  EXPECT_EQ(tapAndTop(1), "ReminderViewController") << "no login for the reminders";
  EXPECT_EQ(tapAndTop(2), LoginScreen::kClassName);
  auto login = lastLogin.lock();
  ASSERT_TRUE(login);
  EXPECT_EQ(login->boxTitle, "M50001");
  logIn();
  login->delegate.lock()->gotoViewOfBoxTitle(login->boxTitle);
  settle();
  EXPECT_EQ(topName(), "CreditCardRepaymentViewController");

  EXPECT_EQ(tapAndTop(3), HomeViewController::kClassName) << "an unknown open type opens nothing";
  // The last rows lie below the window: the table's own selection stands for the tap.
  services->navigation->popToRoot(false);
  page->didSelectRow(*page->tableview(), IndexPath{5, 0});
  settle();
  EXPECT_EQ(topName(), HomeViewController::kClassName) << "an unknown business code opens nothing";
  page->didSelectRow(*page->tableview(), IndexPath{4, 0});
  const auto& opened = platform::UrlOpener::shared().opened();
  EXPECT_NE(std::find(opened.begin(), opened.end(), "https://news.example/a"), opened.end());
}

TEST_F(MessageCenterTest, AMallMessageOpensTheProductOfTheMatchingEntry) {
  mall->setHomeList(1, {standin::MallStandin::makeHomeEntry("h1", "其他", "1", "777"),
                        standin::MallStandin::makeHomeEntry("h2", "耳机", "1", "20131")});
  mall->setProducts({standin::MallStandin::makeProduct("20131", "蓝牙耳机", 9900)});
  // The product is asked for by "pId".
  mall->addRoute("product", [](const standin::HttpStandin::Request& r) {
    const bool asked = r.query.find("pId=20131") != std::string::npos && r.query.find("screenSpecs=4") != std::string::npos;
    if (!asked) return standin::MallStandin::Answer::error(standin::MallStandin::kNotFound, "商品不存在");
    return standin::MallStandin::Answer::ok(standin::MallStandin::makeProduct("20131", "蓝牙耳机", 9900));
  });
  serviceState().notices = Json::array({notice("3", "5", "20131"), notice("2", "5", "555")});
  auto page = openMessages();
  ASSERT_TRUE(inspector.tapCell(*page->tableview(), IndexPath{0, 0}).isOk());
  ASSERT_TRUE(pump([&] { return lastProduct.lock() != nullptr; })) << inspector.render();
  auto product = lastProduct.lock();
  EXPECT_EQ(topName(), MallProductScreen::kClassName);
  EXPECT_EQ(product->cart["id"], "20131") << "the entry's page content, not its id";
  EXPECT_EQ(product->cart["title"], product->detail["title"]);
  EXPECT_EQ(product->cart["idType"], "1");

  // No entry matches: nothing opens.
  services->navigation->popToRoot(false);
  lastProduct.reset();
  ASSERT_TRUE(inspector.tapCell(*page->tableview(), IndexPath{1, 0}).isOk());
  pump([] { return false; });
  EXPECT_FALSE(lastProduct.lock());
  EXPECT_EQ(topName(), HomeViewController::kClassName);
}

TEST_F(MessageCenterTest, APageReplacedBeforeItsReplyHearsNothingAndTheUpgradeCheckAnswers) {
  serve(3);
  showHome();
  server->script("getNoticeMsg", Scripted::heldReply(), 1);
  home->tabBar(*home->navbar(), *home->navbar()->buttonWithTag(HomeNavigationBar::kMessageTag));
  std::weak_ptr<MessageCenterView> first = home->messageview();
  home->tabBar(*home->navbar(), *home->navbar()->buttonWithTag(HomeNavigationBar::kMessageTag));
  ASSERT_TRUE(pump([&] { return server->http().heldCount() == 1; }));
  server->http().releaseHeld();
  ASSERT_TRUE(pump([&] { return home->messageview()->messageArr().size() == 3; }));
  pump([] { return false; });
  if (auto old = first.lock()) {
    EXPECT_TRUE(old->messageArr().empty()) << "the replaced page is no longer shown or filled";
  }

  // Open type 3: the client upgrade check, whose alert answers reach the check.
  serviceState().notices = Json::array({notice("1", "3")});
  server->setClientVersions(Json::array({{{"mustup", 1}, {"descTitle", "新版本"}, {"clientDesc", "必须更新"}}}));
  auto page = openMessages();
  ASSERT_TRUE(inspector.tapCell(*page->tableview(), IndexPath{0, 0}).isOk());
  ASSERT_TRUE(pump([&] { return inspector.topAlert() != nullptr; }));
  auto storeOpenings = [] {
    const auto opened = platform::UrlOpener::shared().opened();
    return std::count(opened.begin(), opened.end(), std::string(MoreViewController::kAppStorePage));
  };
  const auto before = storeOpenings();
  ASSERT_TRUE(inspector.answerAlert("确定").isOk());
  EXPECT_EQ(storeOpenings(), before + 1);
}

}  // namespace
}  // namespace nvx
