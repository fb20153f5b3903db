// The More tab and the More screen: login and logout, the rows of the start-up data, the client
// upgrade check and the question whom a reader was opened for, against the main-API stand-in.
#include "home/MoreView.h"
#include "home/MoreViewController.h"

#include <gtest/gtest.h>

#include "app/ui/NetUiBridge.h"
#include "home/testing/HomePagesFixture.h"
#include "net/RequestSession.h"
#include "platform/device/UrlOpener.h"
#include "platform/net/NetConfig.h"
#include "standin/SimulatedWifiBox.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Kind = HomeServiceOperations::ReaderOwner::Kind;

class MorePagesTest : public testing::HomePagesFixture {
 protected:
  size_t appStoreOpenings() const {
    const auto& opened = platform::UrlOpener::shared().opened();
    return static_cast<size_t>(std::count(opened.begin(), opened.end(), std::string(MoreViewController::kAppStorePage)));
  }
  // Pushes a More screen with the rows.
  std::shared_ptr<MoreViewController> showMoreScreen(Json configs) {
    auto more = MoreViewController::create();
    more->setConfigs(std::move(configs));
    services->navigation->push(more, false);
    settle();
    return more;
  }
};

TEST_F(MorePagesTest, TheUpgradeCheckOffersOneOrTwoButtonsOrSaysLatest) {
  struct Case {
    const char* what;
    Scripted reply;
    std::vector<std::string> buttons;   // empty: no alert
    std::string prompt;
  };
  const Json optional = Json::array({{{"mustup", 0}, {"descTitle", "新版本"}, {"clientDesc", "修复问题"}}});
  const Json missing = Json::array({{{"descTitle", "新版本"}, {"clientDesc", "修复问题"}}});
  const Json forced = Json::array({{{"mustup", "1"}, {"descTitle", "新版本"}, {"clientDesc", "必须更新"}}});
  const Json other = Json::array({{{"mustup", 2}, {"descTitle", "x"}}});
  const std::string latest = Strings::localized("LatestVersion");
  const std::vector<Case> cases{
      {"optional", Scripted::success(optional), {"稍后再说", "立即更新"}, ""},
      {"no mustup counts as optional", Scripted::success(missing), {"稍后再说", "立即更新"}, ""},
      {"forced", Scripted::success(forced), {"确定"}, ""},
      {"another mustup", Scripted::success(other), {}, latest},
      {"an empty list", Scripted::success(Json::array()), {}, latest},
      {"a server error", Scripted::error("9001", "系统繁忙"), {}, latest},
      {"no connection", Scripted::dropConnection(), {}, Strings::localized("NetworkConnectionFailed")},
  };
  showHome();
  for (const auto& c : cases) {
    server->clearScripts();
    server->script("getShuakaqiList", c.reply);
    // Earlier prompts go first.
    platform::RunLoop::main().advance(3);
    const size_t calls = callsOf("getShuakaqiList");
    auto more = MoreViewController::create();
    more->handleUpdateClient();
    ASSERT_TRUE(pump([&] {
      return callsOf("getShuakaqiList") > calls &&
             (inspector.topAlert() || (!c.prompt.empty() && inspector.byText(c.prompt)));
    })) << c.what << "\n" << inspector.render();
    auto alert = inspector.topAlert();
    if (c.buttons.empty()) {
      EXPECT_FALSE(alert) << c.what;
      continue;
    }
    ASSERT_TRUE(alert) << c.what;
    std::vector<std::string> buttons;
    for (int i = 0; i < alert->numberOfButtons(); ++i) buttons.push_back(alert->buttonTitleAtIndex(i));
    EXPECT_EQ(buttons, c.buttons) << c.what;
    EXPECT_FALSE(inspector.byText(latest)) << c.what << ": an upgrade alert comes alone";
    const size_t before = appStoreOpenings();
    ASSERT_TRUE(inspector.answerAlert(c.buttons.front()).isOk());
    EXPECT_EQ(appStoreOpenings(), before + (c.buttons.size() == 1 ? 1u : 0u)) << c.what;
    settle();
  }
  // "立即更新" opens the store page.
  server->clearScripts();
  server->setClientVersions(optional);
  auto more = MoreViewController::create();
  more->handleUpdateClient();
  ASSERT_TRUE(pump([&] { return inspector.topAlert() != nullptr; }));
  const size_t before = appStoreOpenings();
  ASSERT_TRUE(inspector.answerAlert("立即更新").isOk());
  EXPECT_EQ(appStoreOpenings(), before + 1);
}

TEST_F(MorePagesTest, OnlyAnOkReplyDecidesWhetherTheReaderIsOpened) {
  logIn();
  serviceState().readerLogins["KSN-OWNED"] = "13900000000";
  struct Case {
    const char* what;
    std::string psamId;
    std::optional<Scripted> reply;
    Kind kind;
  };
  const std::vector<Case> cases{
      {"opened", "KSN-OWNED", std::nullopt, Kind::Opened},
      {"nobody", "KSN-NEW", std::nullopt, Kind::NotOpened},
      {"a reply that is not an object", "KSN-NEW", Scripted::success(Json("13900000000")), Kind::NotOpened},
      {"an empty login name", "KSN-NEW", Scripted::success(Json{{"loginName", ""}}), Kind::NotOpened},
      {"a server error", "KSN-OWNED", Scripted::error("9001", "系统繁忙"), Kind::Failed},
      {"bad JSON", "KSN-OWNED", Scripted::badJson(), Kind::Failed},
      {"an expired login", "KSN-OWNED", Scripted::tokenExpired(), Kind::TokenExpired},
      {"no connection", "KSN-OWNED", Scripted::dropConnection(), Kind::NetworkFailed},
  };
  const RequestSession session = RequestSession::capture();
  for (const auto& c : cases) {
    server->clearScripts();
    if (c.reply) server->script("getMobileByPsamNo", *c.reply);
    const auto owner = HomeServiceOperations::getMobileByPsamNo(c.psamId, session);
    EXPECT_EQ(owner.kind, c.kind) << c.what;
    if (c.kind == Kind::Opened) {
      EXPECT_EQ(owner.loginName, "13900000000");
    }
    if (std::string(c.what) == "a server error") {
      EXPECT_EQ(owner.message, "系统繁忙");
    }
  }
  EXPECT_TRUE(server->lastVerdict("getMobileByPsamNo")->identityOk);
}

TEST_F(MorePagesTest, TheOwnershipAnswerGivesTheAlertTheIdentityScreenOrTheError) {
  showHome();
  logIn();
  auto more = showMoreScreen(Json::object());
  services->setSwiperListener(std::static_pointer_cast<reader::CSwiperControllerDelegate>(more));

  HomeServiceOperations::ReaderOwner opened{Kind::Opened, "13900000000", "", ""};
  more->readerOwnerAnswered(opened);
  auto alert = inspector.topAlert();
  ASSERT_TRUE(alert);
  EXPECT_EQ(alert->message(), Strings::localized("SwipeOpened"));
  EXPECT_FALSE(lastIdentity.lock());
  ASSERT_TRUE(inspector.answerAlert(Strings::localized("Ok")).isOk());

  HomeServiceOperations::ReaderOwner failed{Kind::Failed, "", "9001", "系统繁忙"};
  more->readerOwnerAnswered(failed);
  EXPECT_TRUE(inspector.byText("系统繁忙")) << inspector.render();
  EXPECT_FALSE(lastIdentity.lock()) << "an error is no \"not opened\"";
  settle();

  HomeServiceOperations::ReaderOwner nobody{Kind::NotOpened, "", "", ""};
  more->readerOwnerAnswered(nobody);
  settle();
  auto identity = lastIdentity.lock();
  ASSERT_TRUE(identity);
  EXPECT_EQ(identity->phoneNum, User::currentUser().loginName());
  EXPECT_EQ(identity->type, IdentityInfoScreen::kBindReaderType);
  EXPECT_FALSE(services->swiperListener()) << "the reader listener is let go";
}

// The reader opening behind the real reader gate: the simulated Wi-Fi box on the loopback
// network, bound to the user on the server; the ownership question runs on a worker.
TEST_F(MorePagesTest, AnOpenedReaderGivesTheOpenedAlertAndANewOneTheIdentityScreen) {
  platform::net::NetConfig::current().useLoopbackNetwork();
  standin::SimulatedWifiBox box(standin::SimulatedWifiBox::onFreePorts());
  constexpr const char* kBoxKsn = "123456789ABCDEF0";
  logIn();
  ASSERT_NO_FATAL_FAILURE(startBoundWifiBox(box, *server, kBoxKsn));
  showHome();

  serviceState().readerLogins[kBoxKsn] = User::currentUser().loginName();
  auto more = showMoreScreen(Json::object());
  more->handleStartNuvexaSwiper();
  ASSERT_TRUE(pumpSockets([&] { return inspector.topAlert() != nullptr; })) << inspector.render();
  EXPECT_EQ(inspector.topAlert()->message(), Strings::localized("SwipeOpened"));
  EXPECT_TRUE(server->lastVerdict("getMobileByPsamNo")->identityOk);
  EXPECT_FALSE(lastIdentity.lock());
  ASSERT_TRUE(inspector.answerAlert(Strings::localized("Ok")).isOk());

  serviceState().readerLogins.clear();
  more->handleStartNuvexaSwiper();
  ASSERT_TRUE(pumpSockets([&] { return lastIdentity.lock() != nullptr; })) << inspector.render();
  EXPECT_EQ(lastIdentity.lock()->type, IdentityInfoScreen::kBindReaderType);
  box.stop();
}

TEST_F(MorePagesTest, OpeningAReaderAsksForALoginFirst) {
  showHome();
  auto more = showMoreScreen(Json::object());
  more->handleStartNuvexaSwiper();
  settle();
  EXPECT_EQ(topName(), LoginScreen::kClassName);
  EXPECT_EQ(lastLogin.lock()->boxTitle, Strings::localized("OpenNuvexa"));
}

TEST_F(MorePagesTest, TheMoreScreenRunsTheActionItsRowsName) {
  showHome();
  auto more = showMoreScreen(Json{{"sections", Json::array({Json{{"rows", Json::array({Json{{"text", "AboutUs"}, {"action", "handleAboutUs"}},
                                                                                       Json{{"text", "More"}, {"action", "formatDisk"}}})}},
                                                            Json{{"rows", Json::array({Json{{"text", "FeedBack"}, {"action", "handleFeedBack"}}})}}})}});
  EXPECT_EQ(more->title(), Strings::localized("More"));
  EXPECT_EQ(more->mainTable()->numberOfSections(), 2);
  EXPECT_EQ(more->mainTable()->numberOfRows(0), 2);
  ASSERT_TRUE(inspector.tapCellWithText(Strings::localized("AboutUs")).isOk()) << inspector.render();
  settle();
  EXPECT_EQ(topName(), "AboutUsViewController");
  services->navigation->pop(false);
  settle();
  ASSERT_TRUE(inspector.tapCellWithText(Strings::localized("More")).isOk());
  settle();
  EXPECT_EQ(services->navigation->topViewController(), more) << "an unknown action does nothing";
  EXPECT_FALSE(more->performAction("handleNothing"));
}

TEST_F(MorePagesTest, TheMoreScreenLogsOutOnlyAfterConfirmation) {
  showHome();
  logIn();
  auto more = showMoreScreen(Json::object());
  ASSERT_TRUE(inspector.tap(Strings::localized("Logout")).isOk()) << inspector.render();
  ASSERT_TRUE(inspector.answerAlert("取消").isOk());
  EXPECT_TRUE(User::currentUser().isLogined());
  ASSERT_TRUE(inspector.tap(Strings::localized("Logout")).isOk());
  EXPECT_EQ(inspector.topAlert()->message(), "您确认要退出登录状态？");
  ASSERT_TRUE(inspector.answerAlert("确定").isOk());
  settle();
  EXPECT_FALSE(User::currentUser().isLogined());
  ASSERT_TRUE(inspector.tap(Strings::localized("Login")).isOk()) << inspector.render();
  settle();
  EXPECT_EQ(topName(), LoginScreen::kClassName);
  EXPECT_EQ(lastLogin.lock()->boxTitle, Strings::localized("More"));
}

TEST_F(MorePagesTest, TheMoreTabLogsInAndOut) {
  showHome();
  home->tabBar(*home->navbar(), *home->navbar()->buttonWithTag(HomeNavigationBar::kMoreTag));
  settle();
  auto tab = home->moreview();
  ASSERT_TRUE(tab && !tab->isHidden());
  EXPECT_EQ(tab->loginNamelb()->text(), "登录");
  ASSERT_TRUE(inspector.tapCell(*tab->firstTable(), platform::ui::IndexPath{0, 0}).isOk()) << inspector.render();
  settle();
  auto login = lastLogin.lock();
  ASSERT_TRUE(login);
  EXPECT_EQ(login->boxTitle, MoreView::kLoginOutTitle);
  const size_t asked = operations->messageNums.size();
  login->logIn("13811112222", "token-2");
  login->delegate.lock()->gotoViewOfBoxTitle(login->boxTitle);
  services->navigation->popToRoot(false);
  settle();
  EXPECT_EQ(tab->loginNamelb()->text(), "13811112222");
  EXPECT_EQ(operations->messageNums.size(), asked + 1) << "the unread count is asked again";

  ASSERT_TRUE(inspector.tapCell(*tab->firstTable(), platform::ui::IndexPath{0, 0}).isOk());
  EXPECT_TRUE(inspector.byText(MoreView::kLoggedOutPrompt)) << inspector.render();
  EXPECT_FALSE(User::currentUser().isLogined());
  EXPECT_EQ(tab->loginNamelb()->text(), "登录");
  EXPECT_EQ(tab->titleArray().front(), "登录");
}

}  // namespace
}  // namespace nvx
