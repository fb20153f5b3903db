// The multi-pay screen end to end against the main-API stand-in on loopback: a mobile recharge
// paid from the wallet with a red packet and the pay password (the stand-in checks the virtual
// terminal's MAC and PIN key, the pay type's fields and the series), and a donation paid by card
// through the simulated Wi-Fi reader box.
#include <gtest/gtest.h>

#include "app/ui/NVXBaseViewController.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/RequestHook.h"
#include "net/ServerConfig.h"
#include "net/TerminalManager.h"
#include "pay/NVXMultPayViewController.h"
#include "pay/Tools.h"
#include "pay/testing/PayStandinTest.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/NetConfig.h"
#include "platform/ui/AlertView.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/MultiPayRoutes.h"
#include "standin/mainapi/PayRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::ui::AlertView;
using standin::MainApiStandin;
using testing::PayTestServices;
using testing::RecordingResultScreen;

class GateScreen : public NVXBaseViewController {
 public:
  std::string className() const override { return "MobileRechargeViewController"; }
};

class MultiPayEndToEndTest : public testing::PayStandinTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(startStandin(false));
    User& user = User::currentUser();
    user.setPsamNo(standin::fixture::kVirtualTermid);
    gate = std::make_shared<GateScreen>();
  }

  static void storeCommit(const std::string& busid, const std::string& amount) {
    auto request = MainApiRequest::postForm("commitTransaction", Identity::Profile)
                       .busid(busid)
                       .field("billno", "13800000000")
                       .field("amount", amount)
                       .build();
    Tools::sharedInstance().setInfo(getPostdataForNVX(*request), urlString(*request));
  }
  std::shared_ptr<NVXMultPayViewController> open(int type, int64_t fen) {
    auto screen = NVXMultPayViewController::create();
    screen->customizeSwipeViewWithNavTitle("支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", type);
    screen->setInfo(TransactionInfoSource::infoWithLabelSource(
        {TransactionInfoLabelSource::sourceWithLeftValue("支付金额", fen)}, std::nullopt));
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }
  void done(NVXMultPayViewController& screen) {
    ASSERT_TRUE(screen.doneButton()->tap());
    ASSERT_TRUE(pump([&] { return !screen.isCommitRunning(); }, 120.0) ||
                RunLoop::main().drainIoUntil([&] { return !screen.isCommitRunning(); }, std::chrono::seconds(10)));
    RunLoop::main().advance(1);
  }
  std::string topClass() const { return services->navigation->topViewController()->className(); }

  std::shared_ptr<GateScreen> gate;
};

TEST_F(MultiPayEndToEndTest, AMobileRechargePaidFromTheWalletWithARedPacketAndThePayPassword) {
  {
    auto lock = server->lock();
    server->feature<standin::MultiPayState>().redPackets = {{"g1", 1000}};
  }
  standin::publishWalletData(*server);
  User& user = User::currentUser();
  services->navigation->push(gate, false);
  auto signer = std::make_shared<TerminalManager>();
  ASSERT_TRUE(signer->virtualTermSignWithViewController(gate, {}));
  ASSERT_TRUE(user.vpsamPIK());
  user.setStatus(true);
  user.setHasPwd(true);
  user.setIsAsk(true);
  user.setPan("6288000000000001");
  user.setGiftno("6288000000000099");
  storeCommit("M20013", "30.00");

  auto screen = open(6, 3000);
  // Nothing but the requests runs on the loop here: wait for their replies in real time.
  ASSERT_TRUE(RunLoop::main().drainIoUntil(
      [&] { return screen->walletManager() && screen->walletManager()->isShowInitAmount(); }, std::chrono::seconds(10)));
  EXPECT_TRUE(screen->walletManager()->hasRedPackets());
  EXPECT_EQ(user.amount(), "100.00");
  ASSERT_TRUE(screen->walletPayHeader()->tap());
  screen->choosenRedPacket(1000, {"g1"});
  screen->passwordTextField()->setText("135790");
  done(*screen);

  auto verdict = server->lastVerdict("commitTransaction");
  ASSERT_TRUE(verdict);
  EXPECT_EQ(verdict->macOk, true);
  EXPECT_EQ(verdict->pinOk, true);
  EXPECT_EQ(verdict->retCode, "0000");
  {
    auto lock = server->lock();
    const auto& state = server->feature<standin::MultiPayState>();
    ASSERT_EQ(state.commits.size(), 1u);
    EXPECT_EQ(state.commits[0].type, "XH");
    EXPECT_EQ(state.commits[0].termid, standin::fixture::kVirtualTermid);
    EXPECT_EQ(state.commits[0].amountFen, 3000);
    EXPECT_EQ(state.commits[0].famountFen, 1000);
    EXPECT_EQ(state.balanceFen, 8000);
  }
  const auto sent = server->http().lastRequest();
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->body.find("wallet="), std::string::npos);
  ASSERT_EQ(receipts.size(), 1u);
  EXPECT_EQ(topClass(), PayResultScreen::kReceiptClassName);
  EXPECT_EQ(receipts[0]->transactionData["paytype"], "XH");
  EXPECT_EQ(receipts[0]->transactionData["famount"], "10.00");
  EXPECT_EQ(receipts[0]->transactionBusId, "M20013");
}

TEST_F(MultiPayEndToEndTest, ADonationPaidByCardThroughTheSimulatedReader) {
  ASSERT_TRUE(box->start().isOk());
  services->makeHub();
  ASSERT_TRUE(pump([&] { return services->hub->isTaviPresent(); }, 10.0));
  services->navigation->push(gate, false);
  auto answers = std::make_shared<std::vector<bool>>();
  gate->swiperValid([answers](bool ready) { answers->push_back(ready); });
  ASSERT_TRUE(pump([&] { return !answers->empty(); }));
  ASSERT_EQ(*answers, std::vector<bool>{true});
  RunLoop::main().advance(1);
  storeCommit("M20015", "12.00");

  auto screen = open(5, 1200);
  swipeCard(*screen);
  typePin(*screen, standin::fixture::kCardPin);
  done(*screen);

  auto verdict = server->lastVerdict("commitTransaction");
  ASSERT_TRUE(verdict);
  EXPECT_EQ(verdict->macOk, true);
  EXPECT_EQ(verdict->pinOk, true);
  EXPECT_EQ(verdict->retCode, "0000");
  {
    auto lock = server->lock();
    const auto& commits = server->feature<standin::PayState>().commits;
    ASSERT_EQ(commits.size(), 1u);
    EXPECT_EQ(commits[0].termid, kBoxKsn);
    EXPECT_EQ(commits[0].amountFen, 1200);
  }
  const auto sent = server->http().lastRequest();
  ASSERT_TRUE(sent);
  EXPECT_NE(sent->body.find("otrack=" + standin::fixture::encryptedTracksHex("0007")), std::string::npos);
  EXPECT_NE(sent->body.find("wallet=&"), std::string::npos);
  EXPECT_EQ(topClass(), PayResultScreen::kReceiptClassName);
}

}  // namespace
}  // namespace nvx
