// The home screen against the main-API stand-in on loopback: promotion tips and the unread badge
// come from the server; failures and replies of the wrong shape leave the screen as it was.
#include "home/HomeOperations.h"

#include <gtest/gtest.h>

#include "home/testing/HomeScreenFixture.h"
#include "net/ServerConfig.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/NetConfig.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/mainapi/HomeRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;

class HomeOperationsTest : public testing::HomeScreenFixture {
 protected:
  void SetUp() override {
    HomeScreenFixture::SetUp();
    auto settings = MainApiStandin::Settings::fromProjectFiles();
    ASSERT_TRUE(settings.isOk()) << settings.error();
    server = std::make_unique<MainApiStandin>(settings.value());
    ASSERT_TRUE(server->start().isOk());
    ServerConfig::current().setMainApiBase(server->apiBaseAddress());
    operations = nullptr;
  }
  void TearDown() override {
    if (server) server->stop();
  }

  // The main API's operations, counting the replies that have reached the home screen.
  class CountingOperations : public HomeOperations {
   public:
    void getPromotion(std::shared_ptr<platform::ui::ViewController> screen, PromotionCompletion completion) override {
      real->getPromotion(std::move(screen), [this, completion](std::optional<Json> list) {
        completion(std::move(list));
        ++answered;
      });
    }
    void getTotalMsg(const std::string& messageNum, TotalCompletion completion) override {
      real->getTotalMsg(messageNum, [this, completion](std::optional<int64_t> total) {
        completion(total);
        ++answered;
      });
    }
    std::shared_ptr<HomeOperations> real = HomeOperations::create();
    int answered = 0;
  };

  // The home screen shown until both of its requests have been answered.
  void showHomeAgainstServer() {
    auto counting = std::make_shared<CountingOperations>();
    home = HomeViewController::create();
    home->setOperations(counting);
    services->navigation = platform::ui::NavigationController::create(home);
    services->mainWindow->setRootViewController(services->navigation);
    ASSERT_TRUE(platform::RunLoop::main().drainIoUntil([&] { return counting->answered == 2; },
                                                       std::chrono::seconds(10)));
  }

  standin::HomeState& state() { return server->feature<standin::HomeState>(); }
  std::string tipOf(const std::shared_ptr<HomeBoxView>& grid, size_t i) {
    auto label = std::dynamic_pointer_cast<platform::ui::Label>(grid->homeItems()[i]->subviews().back());
    return label && label->frame() == platform::ui::Rect{6, 4, 60, 15} ? label->text() : "";
  }

  std::unique_ptr<MainApiStandin> server;
};

TEST_F(HomeOperationsTest, TipsAndTheUnreadCountComeFromTheServer) {
  state().promotions = Json::parse(R"([{"note":"M50001","aContent":"免费还"},{"note":"M30000","aContent":"查余额"}])");
  state().noticeIds = {3, 7, 12};
  platform::UserDefaults::standard().set(HomeViewController::kMessageNumKey, "5");
  showHomeAgainstServer();
  EXPECT_TRUE(server->lastVerdict("getPromotion")->identityOk);
  EXPECT_EQ(server->lastVerdict("getTotalMsg")->retCode, "0000");
  EXPECT_EQ(tipOf(home->cardView(), 0), "免费还");
  EXPECT_EQ(tipOf(home->mobilBankView(), 1), "查余额");
  EXPECT_EQ(tipOf(home->cardView(), 1), "");
  EXPECT_FALSE(home->navbar()->noticeNumView()->isHidden());
  EXPECT_EQ(home->navbar()->numLabel()->text(), "2");
}

TEST_F(HomeOperationsTest, FirstStartAsksForEveryMessage) {
  state().noticeIds = std::vector<int64_t>(120, 1);
  showHomeAgainstServer();
  EXPECT_EQ(platform::UserDefaults::standard().string(HomeViewController::kMessageNumKey), "-1");
  EXPECT_EQ(home->navbar()->numLabel()->text(), "...");
}

TEST_F(HomeOperationsTest, FailuresAndRepliesOfTheWrongShapeChangeNothing) {
  const std::vector<std::pair<std::string, Scripted>> cases{
      {"server error", Scripted::error("9001", "系统繁忙")},
      {"bad JSON", Scripted::badJson()},
      {"HTML page", Scripted::htmlErrorPage(502)},
      {"dropped", Scripted::dropConnection()},
      {"an object", Scripted::success(Json::object({{"note", "M50001"}}))},
      {"a text", Scripted::success(Json("M50001"))},
      {"no total", Scripted::success(Json::object({{"count", 3}}))},
  };
  for (const auto& [what, scripted] : cases) {
    server->clearScripts();
    server->script("getPromotion", scripted);
    server->script("getTotalMsg", scripted);
    showHomeAgainstServer();
    EXPECT_EQ(tipOf(home->cardView(), 0), "") << what;
    EXPECT_TRUE(home->navbar()->noticeNumView()->isHidden()) << what;
    EXPECT_EQ(testing::HomeScreenFixture::topName(), HomeViewController::kClassName) << what;
  }
}

// The points card behind the real reader gate: the simulated Wi-Fi box on the loopback network,
// the reader bound to the user on the server and its terminal signed in there.
TEST_F(HomeOperationsTest, ThePointsCardOpensOnceTheReaderGatePasses) {
  // The box takes its ports and publishes them before the hub's sockets are made.
  platform::net::NetConfig::current().useLoopbackNetwork();
  standin::SimulatedWifiBox box(standin::SimulatedWifiBox::onFreePorts());
  constexpr const char* kBoxKsn = "123456789ABCDEF0";
  logIn();
  ASSERT_NO_FATAL_FAILURE(startBoundWifiBox(box, *server, kBoxKsn));
  showHomeAgainstServer();
  home->selectTag(HomeBottomTabBar::kLifeTag);
  platform::RunLoop::main().advance(1);
  ASSERT_TRUE(inspector.tap("积分管家").isOk()) << inspector.render();
  EXPECT_TRUE(pumpSockets([&] { return topName() == "MemberCardInputViewController"; })) << inspector.render();
  EXPECT_EQ(server->lastVerdict("checkin")->retCode, "0000");
  box.stop();
}

}  // namespace
}  // namespace nvx
