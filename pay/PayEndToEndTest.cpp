// Card payments end to end: the client's swipe screen against the main-API stand-in on loopback,
// which checks what the real server checks (identity, token, the MAC under the key it issued, the
// PIN block under a PIN key pair made for this test run and the PIK it issued, the amount), with
// the simulated Wi-Fi reader box.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "app/ui/NVXBaseViewController.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/RequestHook.h"
#include "net/ServerConfig.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwipeViewController.h"
#include "pay/SwiperCommitFailViewController.h"
#include "pay/Tools.h"
#include "pay/testing/PayStandinTest.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Strings.h"
#include "platform/net/NetConfig.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Inspector.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/PayRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Inspector;
using standin::MainApiStandin;
using testing::PayTestServices;
using testing::RecordingResultScreen;

// The business screen in front of the pay screen: it asks the reader gate, as every card-paid
// business does before it stores its commit.
class BusinessScreen : public NVXBaseViewController {
 public:
  std::string className() const override { return "BillNumberRemittanceVeiwController"; }
  void ask() {
    swiperValid([answers = answers](bool ready) { answers->push_back(ready); });
  }
  std::shared_ptr<std::vector<bool>> answers = std::make_shared<std::vector<bool>>();
};

class PayEndToEndTest : public testing::PayStandinTest {
 protected:
  void SetUp() override {
    // The client's PIN and password keys are the public halves of pairs made for this run (in a
    // copy of the bundle). The stand-in's salt and transport key are the project's.
    ASSERT_NO_FATAL_FAILURE(startStandin(true));
    User& user = User::currentUser();

    // The box on the network and the reader gate through: the terminal signed in, its keys held.
    ASSERT_TRUE(box->start().isOk());
    services->makeHub();
    ASSERT_TRUE(pump([&] { return services->hub->isTaviPresent(); }, 10.0));
    business = std::make_shared<BusinessScreen>();
    services->navigation->push(business, false);
    business->ask();
    ASSERT_TRUE(pump([&] { return !business->answers->empty(); }));
    ASSERT_EQ(*business->answers, std::vector<bool>{true});
    ASSERT_TRUE(user.psamPIK());
    RunLoop::main().advance(1);
  }


  // The business stores its commit as business screens do: the request built with the profile
  // identity and its fields, handed over as field list and address.
  static void storeCommit(const std::string& path, const std::string& busid, const std::string& amount) {
    auto request = MainApiRequest::postForm(path, Identity::Profile)
                       .busid(busid)
                       .field("srcsid", "Q2026")
                       .field("billno", "8800123")
                       .field("amount", amount)
                       .build();
    Tools::sharedInstance().setInfo(getPostdataForNVX(*request), urlString(*request));
  }

  std::shared_ptr<SwipeViewController> openSwipe(int type) {
    auto screen = SwipeViewController::create();
    screen->customizeSwipeViewWithNavTitle("刷卡支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", type);
    screen->setTransactionData(Json{{"K_TRANSACTION_TARGET", "8800123"}, {"K_TRANSACTION_AMOUNT", "100.00"}});
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }
  // The same card's result handed to the screen without the box (fast, for many runs).
  void swipeResult() {
    services->hub->onDecodeCompleted(std::nullopt, kBoxKsn, standin::fixture::encryptedTracksHex("0007"), 0, 0, 0,
                                     "0011223344556677", "622202XXXXXX0123", "2512", std::nullopt);
  }
  // Done, then the commit's reply, however long it takes.
  void done(SwipeViewController& screen) {
    ASSERT_TRUE(screen.doneButton()->tap());
    ASSERT_TRUE(pump([&] { return !screen.isCommitRunning() && !screen.isFeeInquiryRunning(); }, 120.0));
  }
  size_t commitsRecorded() {
    auto lock = server->lock();
    return server->feature<standin::PayState>().commits.size();
  }
  std::string topClass() const { return services->navigation->topViewController()->className(); }

  std::shared_ptr<BusinessScreen> business;
};

TEST_F(PayEndToEndTest, ASwipeAndPin123456PayTheStoredCommitWhichTheServerChecksAndRecords) {
  std::vector<Json> notes;
  auto observation = platform::NotificationCenter::shared().observe(
      SwipeViewController::kSucceedNotification, nullptr,
      [&](const platform::Notification& n) { notes.push_back(n.userInfo); });
  storeCommit("commitTransaction", "M20013", "100.00");
  auto screen = openSwipe(2);
  swipeCard(*screen);
  EXPECT_EQ(screen->cardSwipeStatusView()->text().find('X'), std::string::npos);
  typePin(*screen, standin::fixture::kCardPin);
  done(*screen);

  auto verdict = server->lastVerdict("commitTransaction");
  ASSERT_TRUE(verdict);
  EXPECT_TRUE(verdict->identityOk);
  EXPECT_EQ(verdict->macOk, true);
  EXPECT_EQ(verdict->pinOk, true);
  EXPECT_EQ(verdict->retCode, "0000");
  {
    auto lock = server->lock();
    const auto& commits = server->feature<standin::PayState>().commits;
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].busid, "M20013");
    EXPECT_EQ(commits[0].termid, kBoxKsn);
    EXPECT_EQ(commits[0].amountFen, 10000);
    EXPECT_EQ(commits[0].srcsid, "Q2026");
    EXPECT_TRUE(commits[0].withPin);
  }
  const auto sent = server->http().lastRequest();
  ASSERT_TRUE(sent);
  EXPECT_NE(sent->body.find("otrack=" + standin::fixture::encryptedTracksHex("0007")), std::string::npos);

  ASSERT_EQ(receipts.size(), 1u);
  EXPECT_EQ(services->navigation->topViewController(), receipts[0]);
  EXPECT_EQ(receipts[0]->transactionBusId, "M20013");
  EXPECT_EQ(receipts[0]->retData["sysref"], "SR000000000001");
  EXPECT_EQ(notes, (std::vector<Json>{Json{{"kBusinessType", 2}}}));
}

TEST_F(PayEndToEndTest, WhileASlowCommitRunsBehindTheSpinnerTheMainLoopKeepsTheReaderAlive) {
  storeCommit("commitTransaction", "M20013", "100.00");
  server->script("commitTransaction", MainApiStandin::Scripted::slow(std::chrono::milliseconds(1500)), 1);
  auto screen = openSwipe(2);
  swipeCard(*screen);
  typePin(*screen, standin::fixture::kCardPin);
  const int heartbeats = box->heartbeatsSent();
  ASSERT_TRUE(screen->doneButton()->tap());
  // A lot of virtual time passes before the reply: heartbeats and the box's watchdog go on.
  EXPECT_FALSE(pump([&] { return !screen->isCommitRunning(); }, 12.0));
  EXPECT_GE(box->heartbeatsSent(), heartbeats + 10);
  EXPECT_TRUE(services->hub->isTaviPresent());
  EXPECT_FALSE(platform::ui::Hud::on(*services->mainWindow).empty());
  // A second press meanwhile sends nothing more.
  screen->doneButtonPressed();
  ASSERT_TRUE(RunLoop::main().drainIoUntil([&] { return !screen->isCommitRunning(); }, std::chrono::seconds(10)));
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), PayResultScreen::kReceiptClassName);
  EXPECT_EQ(commitsRecorded(), 1u);
}

TEST_F(PayEndToEndTest, TheServersAnswersLeadToTheirPagesAndAnOpenOutcomeNeverToTheFailurePage) {
  struct Case {
    const char* name;
    MainApiStandin::Scripted script;
    std::string top;
    std::optional<std::string> failText;
    std::optional<std::string> alert;
    size_t recorded;   // commits the server processed
  };
  const Case cases[] = {
      {"gateway time-out", MainApiStandin::Scripted::httpStatus(504).processingFirst(),
       SwipeTimeOutViewController::kClassName, std::nullopt, std::nullopt, 1},
      {"bad gateway", MainApiStandin::Scripted::htmlErrorPage(502), SwipeTimeOutViewController::kClassName,
       std::nullopt, std::nullopt, 0},
      {"1030", MainApiStandin::Scripted::error("1030", "交易超时"), SwipeTimeOutViewController::kClassName,
       std::nullopt, std::nullopt, 0},
      {"dropped after processing", MainApiStandin::Scripted::dropAfterProcessing(),
       SwipeTimeOutViewController::kClassName, std::nullopt, std::nullopt, 1},
      {"0055", MainApiStandin::Scripted::error("0055", "余额不足"), SwipeViewController::kClassName, std::nullopt,
       "余额不足", 0},
      {"refused", MainApiStandin::Scripted::error("2009", "卡号无效"), SwiperCommitFailViewController::kClassName,
       "卡号无效", std::nullopt, 0},
      {"bad JSON", MainApiStandin::Scripted::badJson(), SwiperCommitFailViewController::kClassName,
       Strings::localized("Error_Data"), std::nullopt, 0},
      {"paid without data", MainApiStandin::Scripted::successWithoutData(), PayResultScreen::kReceiptClassName,
       std::nullopt, std::nullopt, 0},
  };
  storeCommit("commitTransaction", "M20013", "100.00");
  size_t recorded = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("commitTransaction", c.script, 1);
    auto screen = openSwipe(2);
    swipeResult();
    typePin(*screen, standin::fixture::kCardPin);
    done(*screen);
    EXPECT_EQ(topClass(), c.top);
    if (c.failText) {
      auto page = std::dynamic_pointer_cast<SwiperCommitFailViewController>(services->navigation->topViewController());
      ASSERT_TRUE(page);
      EXPECT_EQ(page->failResultStr(), *c.failText);
    }
    if (c.top == SwipeTimeOutViewController::kClassName) {
      auto page = std::dynamic_pointer_cast<SwipeTimeOutViewController>(services->navigation->topViewController());
      ASSERT_TRUE(page);
      EXPECT_EQ(page->billNumber(), "Q2026");
      EXPECT_EQ(page->amount(), "100.00");
    }
    auto alert = AlertView::top();
    EXPECT_EQ(alert ? std::optional<std::string>(alert->message()) : std::nullopt, c.alert);
    recorded += c.recorded;
    EXPECT_EQ(commitsRecorded(), recorded);
    AlertView::dismissAll();
    services->navigation->popTo(*business, false);
    RunLoop::main().advance(2);
  }
}

TEST_F(PayEndToEndTest, ACommitThatNeverLeftShowsTheNetworkFailure) {
  storeCommit("commitTransaction", "M20013", "100.00");
  auto screen = openSwipe(2);
  swipeResult();
  typePin(*screen, standin::fixture::kCardPin);
  server->stop();
  done(*screen);
  auto page = std::dynamic_pointer_cast<SwiperCommitFailViewController>(services->navigation->topViewController());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->failResultStr(), Strings::localized("NetworkConnectionFailed"));
  EXPECT_TRUE(screen->track().empty());
}

TEST_F(PayEndToEndTest, ARepaymentAsksTheFeeFirstAndCommitsWithTheInquirysSerialNumber) {
  storeCommit("commitRemitTransaction", "M90000", "1000.00");
  auto inquiry = MainApiRequest::postForm("queryTrans", Identity::Profile).busid("M50001").field("amount", "1000.00").build();
  Tools::sharedInstance().setRequestSearchFeeInfo(getPostdataForNVX(*inquiry), urlString(*inquiry));
  server->setQueryTransData("M50001", Json{{"sid", "S9"}, {"fee", 150}});
  auto screen = openSwipe(1);
  swipeResult();
  typePin(*screen, standin::fixture::kCardPin);
  done(*screen);
  ASSERT_TRUE(screen->feeAlert());
  EXPECT_EQ(screen->feeAlert()->message(), "本次还款操作手续费: 1.50元，点击“确定”完成信用卡还款操作");
  EXPECT_EQ(server->lastVerdict("queryTrans")->macOk, true);
  EXPECT_EQ(commitsRecorded(), 0u);
  ASSERT_TRUE(Inspector().answerAlert(Strings::localized("Ok")).isOk());
  ASSERT_TRUE(pump([&] { return !screen->isCommitRunning() && commitsRecorded() == 1; }, 120.0));
  ASSERT_TRUE(pump([&] { return !screen->isCommitRunning(); }, 10.0));
  auto lock = server->lock();
  const auto& commit = server->feature<standin::PayState>().commits.at(0);
  EXPECT_EQ(commit.method, "commitRemitTransaction");
  EXPECT_EQ(commit.srcsid, "S9");
  EXPECT_EQ(commit.amountFen, 100000);
}

// The server processes every commit and the connection then breaks, after a delay drawn from a
// seeded generator: a thousand times the user sees only the time-out page, never the failure
// page, and every commit went out exactly once.
TEST_F(PayEndToEndTest, AThousandCommitsLostAfterProcessingNeverShowAFailureNorGoOutTwice) {
  storeCommit("commitTransaction", "M20013", "100.00");
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> delayMs(0, 3);
  constexpr int kRuns = 1000;
  int timeOutPages = 0;
  for (int run = 0; run < kRuns; ++run) {
    server->script("commitTransaction",
                   MainApiStandin::Scripted::dropAfterProcessing().after(std::chrono::milliseconds(delayMs(random))), 1);
    auto screen = openSwipe(2);
    swipeResult();
    typePin(*screen, standin::fixture::kCardPin);
    done(*screen);
    const std::string top = topClass();
    ASSERT_NE(top, SwiperCommitFailViewController::kClassName) << "run " << run;
    timeOutPages += top == SwipeTimeOutViewController::kClassName;
    // Time passes on the page; nothing is sent again by itself.
    RunLoop::main().advance(70);
    ASSERT_EQ(commitsRecorded(), static_cast<size_t>(run + 1)) << "run " << run;
    services->navigation->popTo(*business, false);
    RunLoop::main().advance(1);
  }
  EXPECT_EQ(timeOutPages, kRuns);
  size_t calls = 0;
  for (const auto& v : server->verdicts()) calls += v.method == "commitTransaction";
  EXPECT_EQ(calls, static_cast<size_t>(kRuns));
}

}  // namespace
}  // namespace nvx
