// The multi-pay screen and its parts against scripted wallet operations: the section header, the
// pay-method state and its query chain, the sections the screen shows, the red-packet choice, the
// wallet commit's fields and routing, the recharge trip and the lottery's hand-back.
#include <gtest/gtest.h>

#include <deque>
#include <set>

#include "core/crypto/EncryptTool.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "core/testing/CipherTestOracle.h"
#include "net/ServerConfig.h"
#include "pay/NVXMultPayViewController.h"
#include "pay/PayScreens.h"
#include "pay/PayTableHeaderView.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwiperCommitFailViewController.h"
#include "pay/Tools.h"
#include "pay/WalletManager.h"
#include "pay/testing/PayScreenTest.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Inspector.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperDriverFactory.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using platform::net::PostField;
using platform::ui::AlertView;
using platform::ui::Hud;
using testing::PayTestServices;
using testing::RecordingResultScreen;
using testing::ScriptedPayDriver;

constexpr const char* kVirtualTerminal = "VT00000000000001";
constexpr const char* kClearTpk = "0123456789ABCDEFFEDCBA9876543210";
constexpr const char* kClearPik = "1111222233334444AAAABBBBCCCCDDDD";
constexpr const char* kClearMac = "5555666677778888999900001111AAAA";

std::optional<std::string> valueOf(const std::vector<PostField>& fields, std::string_view key) {
  std::optional<std::string> value;
  for (const auto& f : fields) {
    if (f.key == key) value = f.value;
  }
  return value;
}

// A view in the tree under root shows exactly this text.
bool hasText(const std::shared_ptr<platform::ui::View>& root, std::string_view text) {
  if (!root) return false;
  if (root->displayText() == std::optional<std::string>(text)) return true;
  for (const auto& v : root->subviews()) {
    if (hasText(v, text)) return true;
  }
  return false;
}

// --- scripted wallet operations ---------------------------------------------------------------

class FakeMultiPayOperations : public MultiPayOperations {
 public:
  void queryPayTypeWithBusid(std::string busid, std::string lpmercd,
                    std::function<void(WalletAnswer<std::vector<PaySupportTypeEntity>>)> completion) override {
    payTypeCalls.push_back(busid + "/" + lpmercd);
    platform::dispatchMain([completion = std::move(completion), a = payTypes] { completion(a); });
  }
  void getGifMessageType(std::string giftType, std::function<void(WalletAnswer<RedPagerEntity>)> completion) override {
    redPacketCalls.push_back(giftType);
    platform::dispatchMain([completion = std::move(completion), a = redPackets] { completion(a); });
  }
  void getWalletInfoIsNeedMPBHOD(std::function<void(WalletAnswer<WalletInfo>)> completion) override {
    ++walletInfoCalls;
    platform::dispatchMain([completion = std::move(completion), a = walletInfo] { completion(a); });
  }
  PayOperations::Prepared commit(const Tools& tools, const std::vector<PostField>& fields) override {
    auto all = tools.infoDic();
    for (const auto& f : fields) all.push_back(f);
    commits.push_back({tools.url(), all});
    PayReply reply = replies.empty() ? PayReply::failed(PayReply::Kind::NotSent) : replies.front();
    if (!replies.empty()) replies.pop_front();
    return {[reply] { return reply; }, all};
  }
  void handleExpiredLogin() override {}

  static WalletAnswer<std::vector<PaySupportTypeEntity>> allows(bool card, bool balance, bool gift = true) {
    WalletAnswer<std::vector<PaySupportTypeEntity>> a;
    a.value = std::vector<PaySupportTypeEntity>{{card, balance, gift}};
    return a;
  }
  static WalletAnswer<RedPagerEntity> packets(std::string giftnum) {
    WalletAnswer<RedPagerEntity> a;
    a.value = RedPagerEntity{std::move(giftnum), Json::array()};
    return a;
  }
  static WalletAnswer<WalletInfo> balance(int64_t fen, int64_t tfen) {
    WalletAnswer<WalletInfo> a;
    a.value = WalletInfo{fen, tfen};
    return a;
  }
  template <class T>
  static WalletAnswer<T> failure(std::string message) {
    WalletAnswer<T> a;
    a.message = std::move(message);
    return a;
  }

  struct Commit {
    std::string url;
    std::vector<PostField> fields;
  };
  WalletAnswer<std::vector<PaySupportTypeEntity>> payTypes = allows(true, true);
  WalletAnswer<RedPagerEntity> redPackets = packets("0");
  WalletAnswer<WalletInfo> walletInfo = balance(10000, 10000);
  std::vector<std::string> payTypeCalls;
  std::vector<std::string> redPacketCalls;
  int walletInfoCalls = 0;
  std::vector<Commit> commits;
  std::deque<PayReply> replies;
};

class RecordingDelegate : public WalletManagerDelegate {
 public:
  void onQueryPayInfosFailed() override { events.push_back("failed"); }
  void onQueryWalletInfosCompleted() override { events.push_back("completed"); }
  void onWalletRecharge() override { events.push_back("recharge"); }
  void onOnlySwipePay() override { events.push_back("swipeOnly"); }
  std::vector<std::string> events;
};

class RecordingLottery : public LotteryPayDelegate {
 public:
  void confirmWithDictionary(const std::vector<PostField>& dictionary) override { received.push_back(dictionary); }
  std::vector<std::vector<PostField>> received;
};

// Screens of the wallet that answer as the wallet's own will.
class RecordingActivation : public testing::NamedTestScreen, public ActivationWalletScreen {
 public:
  RecordingActivation() : NamedTestScreen(NVXMultPayViewController::kActivationClassName) {}
  void setDelegate(std::weak_ptr<ActivationWalletDelegate> d) override { delegate = std::move(d); }
  void setCtrTitle(std::string t) override { tag = std::move(t); }
  std::weak_ptr<ActivationWalletDelegate> delegate;
  std::string tag;
};

class RecordingChooser : public testing::NamedTestScreen, public RedPacketChooserScreen {
 public:
  RecordingChooser() : NamedTestScreen(NVXMultPayViewController::kRedPacketChooserClassName) {}
  void setRedPageArray(Json) override {}
  void setIndexPathMap(std::shared_ptr<std::map<int, bool>> m) override { marks = std::move(m); }
  void setValidMaxAmount(int64_t fen) override { maxFen = fen; }
  void setChoosenExecutor(Choice c) override { choice = std::move(c); }
  std::shared_ptr<std::map<int, bool>> marks;
  int64_t maxFen = -1;
  Choice choice;
};

// --- the section header -------------------------------------------------------------------------

class ExpandRecorder : public PayTableHeaderViewExpandDelegate {
 public:
  void onExpandStatusChanged(PayTableHeaderView& header) override { states.push_back(header.isExpand()); }
  std::vector<bool> states;
};

TEST(PayTableHeaderViewTest, OpenAndClosedLooksAndTheKinds) {
  auto recorder = std::make_shared<ExpandRecorder>();
  auto wallet = PayTableHeaderView::walletPayTableHeaderView(recorder, true);
  EXPECT_EQ(wallet->currentFlagImgName(), "w_payment_icon_bonus_selected.png");
  EXPECT_EQ(wallet->currentBackgroundName(), "w_payment_wallet_arrow_selected.png");
  EXPECT_EQ(wallet->payTitleLb()->textColor(), platform::ui::Color::white());
  EXPECT_FALSE(wallet->leftMaskView()->isHidden());
  EXPECT_FALSE(wallet->rightMaskView()->isHidden());
  EXPECT_TRUE(wallet->isWalletPay());

  ASSERT_TRUE(wallet->tap());
  EXPECT_EQ(recorder->states, std::vector<bool>{false});
  EXPECT_EQ(wallet->currentFlagImgName(), "w_payment_icon_bonus.png");
  EXPECT_EQ(wallet->currentBackgroundName(), "w_payment_wallet_arrow_normal.png");
  EXPECT_EQ(wallet->payTitleLb()->textColor(), platform::ui::Color::black());
  EXPECT_TRUE(wallet->leftMaskView()->isHidden());

  auto repay = PayTableHeaderView::swipeRePayTableHeaderView({}, false);
  EXPECT_TRUE(repay->isSwipeRePay());
  EXPECT_FALSE(repay->isSwipePay());
  EXPECT_EQ(repay->flagImgName(), "w_payment_icon_card.png");
  ASSERT_TRUE(repay->tap());  // no delegate: only its own look
  EXPECT_TRUE(repay->isExpand());
}

// --- the pay-method state ------------------------------------------------------------------------

class WalletManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    services = std::make_shared<PayTestServices>();
    AppServices::install(services);
    manager = WalletManager::create(ops);
    manager->setDelegate(delegate);
  }
  void TearDown() override { AppServices::install(nullptr); }
  void run(const std::string& busid = "M20013") {
    manager->queryPayInfosWithBusid(busid, "0401");
    RunLoop::main().runUntilIdle();
  }
  std::shared_ptr<PayTestServices> services;
  std::shared_ptr<FakeMultiPayOperations> ops = std::make_shared<FakeMultiPayOperations>();
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
  std::shared_ptr<WalletManager> manager;
};

TEST_F(WalletManagerTest, TheChainStopsWhereItsAnswersSay) {
  ops->payTypes = FakeMultiPayOperations::allows(true, false);
  run();
  EXPECT_EQ(delegate->events, std::vector<std::string>{"swipeOnly"});
  EXPECT_TRUE(ops->redPacketCalls.empty());
  EXPECT_EQ(ops->walletInfoCalls, 0);

  // Neither card nor wallet: on to the wallet queries as for a wallet payment.
  delegate->events.clear();
  ops->payTypes = FakeMultiPayOperations::allows(false, false);
  run();
  EXPECT_EQ(ops->redPacketCalls, std::vector<std::string>{"0401"});
  EXPECT_EQ(ops->walletInfoCalls, 1);
  EXPECT_EQ(delegate->events, std::vector<std::string>{"completed"});

  // An empty list or a failure: the prompt and the failure answer, nothing else.
  delegate->events.clear();
  ops->payTypes.value = std::vector<PaySupportTypeEntity>{};
  run();
  EXPECT_EQ(delegate->events, std::vector<std::string>{"failed"});
  EXPECT_EQ(ops->walletInfoCalls, 1);
}

TEST_F(WalletManagerTest, RedPacketsNeedTheGiftPayFlagAndAFailedQuerySkipsTheBalance) {
  ops->payTypes = FakeMultiPayOperations::allows(true, true, false);
  ops->redPackets = FakeMultiPayOperations::packets("3");
  run();
  EXPECT_FALSE(manager->hasRedPackets());
  ops->payTypes = FakeMultiPayOperations::allows(true, true, true);
  run();
  EXPECT_TRUE(manager->hasRedPackets());
  EXPECT_TRUE(manager->isShowInitAmount());
  EXPECT_EQ(User::currentUser().amount(), "100.00");

  ops->redPackets = FakeMultiPayOperations::failure<RedPagerEntity>("服务繁忙");
  const int before = ops->walletInfoCalls;
  manager->refreshNetStatus();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(ops->walletInfoCalls, before);
  EXPECT_TRUE(manager->isNetErr());
  EXPECT_TRUE(manager->hasRedPackets());  // left as the last good answer set it
  EXPECT_TRUE(hasText(manager->walletStatusView(), "刷新"));
}

TEST_F(WalletManagerTest, BalanceRulesAndViews) {
  User& user = User::currentUser();
  user.setAmount("50.00");
  user.setTamount("10.00");
  manager->setSelectedRedPacketsAmount(2000);
  EXPECT_TRUE(manager->isWalletPayOk(6000));
  EXPECT_TRUE(manager->isWalletPayOk(7000));
  EXPECT_FALSE(manager->isWalletPayOk(7001));
  auto view = manager->walletPayViewWithPayAmount(6000);
  EXPECT_TRUE(hasText(view, "40.00 元"));
  EXPECT_TRUE(hasText(view, "充值"));                // 60.00 > 50.00: the packets do not count
  EXPECT_TRUE(hasText(view, "钱包可用余额 "));       // before a balance query: no number

  manager->setIsValidTransferAmount(true);
  EXPECT_EQ(manager->usableBalanceFen(), 1000);
  EXPECT_FALSE(manager->isWalletPayOk(3001 + 2000 - 1 + 1 + 1000));
  EXPECT_TRUE(hasText(manager->walletPayViewWithPayAmount(500), "钱包可用汇款余额 "));

  EXPECT_EQ(manager->giftIds(), "");
  manager->setSelectedGiftIdArray({"a", "b", "c"});
  EXPECT_EQ(manager->giftIds(), "a|b|c");
}

TEST(WalletRepliesTest, AmountsMustBeWholeNonNegativeFen) {
  struct Case {
    Json json;
    bool ok;
  };
  const std::vector<Case> cases{
      {Json{{"amount", 5000}, {"tamount", "1000"}}, true},
      {Json{{"amount", "5000"}}, true},
      {Json{{"amount", -1}}, false},
      {Json{{"amount", "12.5x"}}, false},
      {Json{{"amount", 10.25}}, false},
      {Json{{"tamount", 100}}, false},
      {Json::array(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json.dump());
    EXPECT_EQ(WalletInfo::fromJson(c.json).has_value(), c.ok);
  }
  EXPECT_EQ((RedPagerEntity{"x3", Json::array()}.giftCount()), 0);
  EXPECT_EQ((RedPagerEntity{"", Json::array()}.giftCount()), 0);
  EXPECT_FALSE(RedPagerEntity::fromJson(Json{{"giftnum", "1"}, {"giftinfo", Json::array({Json{{"giftno", "g"}, {"giftamt", "abc"}}})}}));
  EXPECT_FALSE(PaySupportTypeEntity::fromJson(Json("card")));
  auto flags = PaySupportTypeEntity::fromJson(Json{{"cardPay", "1"}, {"balancePay", true}, {"giftPay", "0"}});
  ASSERT_TRUE(flags);
  EXPECT_TRUE(flags->cardPay && flags->balancePay && !flags->giftPay);
}

// --- the screen ----------------------------------------------------------------------------------

class MultiPayScreenTest : public testing::PayScreenTest {
 protected:
  void SetUp() override {
    startReader();
    pay::registerScreens();  // the pay screens as the client registers them; recording result pages over them
    recordResults({PayResultScreen::kReceiptClassName, "NVXCheckoutResultViewController"});
    ScreenRegistry::shared().add(NVXMultPayViewController::kActivationClassName, [this] {
      activation = std::make_shared<RecordingActivation>();
      return activation;
    });
    ScreenRegistry::shared().add(NVXMultPayViewController::kRedPacketChooserClassName, [this] {
      chooser = std::make_shared<RecordingChooser>();
      return chooser;
    });
    ScreenRegistry::shared().add(NVXMultPayViewController::kRechargeClassName, [] {
      return std::make_shared<testing::NamedTestScreen>(NVXMultPayViewController::kRechargeClassName);
    });
    User& user = User::currentUser();
    user.setLoginName("13800000000");
    user.setUserToken("token-1");
    user.setUserId("U1");
    user.setStatus(true);
    user.setPan("6288000000000001");
    user.setGiftno("6288000000000099");
    signInVirtual();
    Tools::sharedInstance().setInfo({{"busid", "M20013"}, {"mobile", "13800000000"}, {"amount", "30.00"}},
                                    "https://host/iphone/commitTransaction.json?uid=1&vercode=2");
  }

  void signInVirtual() {
    User& user = User::currentUser();
    std::string transport(EncryptTool::getXorString().view());
    user.setPsamNo(kVirtualTerminal);
    user.setVpsamTPK(Json{{kVirtualTerminal, testing::tripleDesEncrypt(transport, kClearTpk)}});
    user.setVpsamPIK(Json{{kVirtualTerminal, testing::tripleDesEncrypt(kClearTpk, kClearPik)}});
    user.setVpsamMAC(Json{{kVirtualTerminal, testing::tripleDesEncrypt(kClearTpk, kClearMac)}});
    ASSERT_TRUE(user.vpsamPIK());
  }

  std::shared_ptr<NVXMultPayViewController> open(int type, int64_t amountFen = 3000) {
    auto screen = NVXMultPayViewController::create();
    screen->customizeSwipeViewWithNavTitle("支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", type);
    screen->setInfo(TransactionInfoSource::infoWithLabelSource(
        {TransactionInfoLabelSource::sourceWithLeftValue("支付金额", amountFen)}, std::nullopt));
    screen->setTransactionData(Json{{"K_TRANSACTION_AMOUNT", "30.00"}});
    screen->setOperations(ops);
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }
  void done(NVXMultPayViewController& screen) {
    ASSERT_TRUE(screen.doneButton()->tap());
    ASSERT_TRUE(RunLoop::main().runUntil([&] { return !screen.isCommitRunning(); }, platform::secs(5)));
    RunLoop::main().advance(1);
  }
  int rows(NVXMultPayViewController& screen, int section) { return screen.numberOfRows(*screen.tableView(), section); }

  std::shared_ptr<FakeMultiPayOperations> ops = std::make_shared<FakeMultiPayOperations>();
  std::shared_ptr<RecordingActivation> activation;
  std::shared_ptr<RecordingChooser> chooser;
};

TEST_F(MultiPayScreenTest, BusinessFormsConfigureTheScreenTheyOpenByClassName) {
  auto screen = ScreenRegistry::shared().create(PayScreenSetup::kMultPayClassName);
  auto* setup = dynamic_cast<PayScreenSetup*>(screen.get());
  ASSERT_TRUE(setup);
  setup->customizeSwipeViewWithNavTitle("手机充值", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", 6);
  auto multi = std::dynamic_pointer_cast<NVXMultPayViewController>(screen);
  ASSERT_TRUE(multi);
  EXPECT_EQ(multi->businessType(), 6);
  EXPECT_EQ(multi->redPacketType(), "0401");
}

TEST_F(MultiPayScreenTest, ADonationGetsTheCardRowsWithoutAPayMethodQuery) {
  auto screen = open(5);
  EXPECT_TRUE(ops->payTypeCalls.empty());
  EXPECT_FALSE(screen->walletManager());
  EXPECT_EQ(screen->numberOfSections(*screen->tableView()), 1);
  EXPECT_EQ(rows(*screen, 0), 2);
  EXPECT_EQ(screen->payType(), "PR");
}

TEST_F(MultiPayScreenTest, CardAndWalletGiveTwoClosedSectionsAndDoneWaitsForOne) {
  auto screen = open(6);
  EXPECT_EQ(ops->payTypeCalls, std::vector<std::string>{"M20013/0401"});
  EXPECT_TRUE(screen->isDoublePayModel());
  EXPECT_EQ(screen->numberOfSections(*screen->tableView()), 2);
  EXPECT_EQ(rows(*screen, 0), 1);
  EXPECT_EQ(rows(*screen, 1), 1);
  EXPECT_FALSE(screen->doneButton()->isEnabled());

  ASSERT_TRUE(screen->walletPayHeader()->tap());
  EXPECT_TRUE(screen->doneButton()->isEnabled());
  EXPECT_TRUE(screen->isWalletPayExpand());
  EXPECT_EQ(rows(*screen, 0), 2);  // header and balance; no packets, no password asked
  EXPECT_EQ(screen->payType(), "ZX");

  // Opening the card section closes the wallet's and runs the reader gate.
  ASSERT_TRUE(screen->swipePayHeader()->tap());
  EXPECT_FALSE(screen->isWalletPayExpand());
  EXPECT_EQ(rows(*screen, 1), 3);
  EXPECT_EQ(screen->payType(), "PR");
  ASSERT_TRUE(screen->swipePayHeader()->tap());
  EXPECT_FALSE(screen->doneButton()->isEnabled());
}

TEST_F(MultiPayScreenTest, TheReaderFollowsTheCardSectionOnly) {
  auto screen = open(6);
  const int starts = driver->starts;
  services->hub->onDevicePlugged();
  RunLoop::main().advance(1);
  EXPECT_EQ(driver->starts, starts);  // the card section is closed
  services->hub->onDeviceUnplugged();
  EXPECT_EQ(AlertView::top(), nullptr);

  // The pay-method answer comes after the screen has gone: nothing happens to it.
  auto late = NVXMultPayViewController::create();
  late->customizeSwipeViewWithNavTitle("支付", std::nullopt, "请刷卡", "请输入密码", std::nullopt, "确认支付", 6);
  late->setOperations(ops);
  services->navigation->push(late, false);
  services->navigation->pop(false);
  std::weak_ptr<NVXMultPayViewController> gone = late;
  late.reset();
  RunLoop::main().advance(1);
  EXPECT_TRUE(gone.expired());
  EXPECT_EQ(topClass(), NVXMultPayViewController::kClassName);
}

TEST_F(MultiPayScreenTest, WalletRowsFollowPacketsAndThePasswordFlag) {
  User::currentUser().setHasPwd(true);
  User::currentUser().setIsAsk(true);
  ops->redPackets = FakeMultiPayOperations::packets("2");
  auto screen = open(26);
  ASSERT_TRUE(screen->walletPayHeader()->tap());
  EXPECT_EQ(rows(*screen, 0), 4);
  std::vector<double> heights;
  for (int r = 0; r < 4; ++r) heights.push_back(*screen->heightForRow(*screen->tableView(), {0, r}));
  EXPECT_EQ(heights, (std::vector<double>{36, 44, 66, 44}));

  // The wallet queries failed: the header alone and the status footer with "刷新".
  ops->walletInfo = FakeMultiPayOperations::failure<WalletInfo>("网络异常");
  screen->walletManager()->refreshNetStatus();
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(rows(*screen, 0), 1);
  EXPECT_TRUE(hasText(screen->viewForFooter(*screen->tableView(), 0), "刷新"));
}

TEST_F(MultiPayScreenTest, ARedPacketChoiceAboveTheAmountDueIsDropped) {
  ops->redPackets = FakeMultiPayOperations::packets("2");
  auto screen = open(6, 2500);
  ASSERT_TRUE(screen->walletPayHeader()->tap());
  screen->didSelectRow(*screen->tableView(), {0, 1});
  ASSERT_TRUE(chooser);
  EXPECT_EQ(chooser->maxFen, 2500);
  chooser->marks->insert({0, true});
  chooser->choice(3000, {"g1"});
  EXPECT_EQ(prompt(), "红包面额不能超过支付金额，请重新选择");
  EXPECT_TRUE(screen->walletManager()->selectedGiftIdArray().empty());
  EXPECT_EQ(screen->walletManager()->selectedRedPacketsAmount(), 0);
  EXPECT_TRUE(screen->walletManager()->redPacketIndexPaths()->empty());
  EXPECT_EQ(screen->payType(), "ZX");
}

TEST_F(MultiPayScreenTest, WalletCommitFieldsByPayType) {
  struct Case {
    int64_t packetsFen;
    std::vector<std::string> ids;
    std::string type;
    std::optional<std::string> pan, pan2, giftno, famount;
    std::string step;
  };
  const std::vector<Case> cases{
      {0, {}, "ZX", "6288000000000001", std::nullopt, std::nullopt, std::nullopt, "_qb"},
      {3000, {"g1", "g2"}, "ZH", "6288000000000099", std::nullopt, "g1|g2", std::nullopt, "_hb"},
      {1000, {"g3"}, "XH", "6288000000000001", "6288000000000099", "g3", "10.00", "_qb_hb"},
  };
  ops->redPackets = FakeMultiPayOperations::packets("2");
  std::set<std::string> series;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    auto screen = open(6);
    ASSERT_TRUE(screen->walletPayHeader()->tap());
    if (!c.ids.empty()) screen->choosenRedPacket(c.packetsFen, c.ids);
    ops->replies.push_back(PayReply::answered("0000", "", Json{{"sid", "S1"}}));
    done(*screen);
    ASSERT_FALSE(ops->commits.empty());
    const auto& sent = ops->commits.back().fields;
    EXPECT_EQ(valueOf(sent, "type"), c.type);
    EXPECT_EQ(valueOf(sent, "pan"), c.pan);
    EXPECT_EQ(valueOf(sent, "pan2"), c.pan2);
    EXPECT_EQ(valueOf(sent, "giftno"), c.giftno);
    EXPECT_EQ(valueOf(sent, "famount"), c.famount);
    EXPECT_EQ(valueOf(sent, "amount"), "30.00");
    EXPECT_EQ(valueOf(sent, "termid"), kVirtualTerminal);
    EXPECT_EQ(valueOf(sent, "wallet"), "100");
    EXPECT_EQ(valueOf(sent, "lpmercd"), "0401");
    EXPECT_EQ(valueOf(sent, "pinkey"), std::nullopt);  // the password is not asked
    EXPECT_EQ(valueOf(sent, "rnd")->size(), 16u);
    EXPECT_TRUE(valueOf(sent, "tdtm"));
    EXPECT_TRUE(series.insert(*valueOf(sent, "series")).second);
    // The statistics step: the screen's business code with the pay kind in place of its step.
    const std::string& step = screen->stepIdentifier();
    EXPECT_TRUE(step.ends_with(c.step) && step.find('_') == step.size() - c.step.size()) << step;
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results.back()->transactionData["paytype"], c.type);
    services->navigation->popToRoot(false);
  }
}

TEST_F(MultiPayScreenTest, WalletChecksBeforeAnythingIsSent) {
  auto screen = open(6);
  ASSERT_TRUE(screen->walletPayHeader()->tap());

  User::currentUser().setStatus(false);
  ASSERT_TRUE(screen->doneButton()->tap());
  ASSERT_TRUE(AlertView::top());
  EXPECT_EQ(AlertView::top()->tag(), NVXMultPayViewController::kActivateFromDoneAlertTag);
  ASSERT_TRUE(platform::ui::Inspector().answerAlert("激活钱包").isOk());
  RunLoop::main().advance(1);
  ASSERT_TRUE(activation);
  EXPECT_EQ(activation->tag, "NVXMultPayViewController");
  services->navigation->popTo(*screen, false);
  User::currentUser().setStatus(true);

  User::currentUser().setAmount("29.99");
  ASSERT_TRUE(screen->doneButton()->tap());
  ASSERT_TRUE(AlertView::top());
  EXPECT_EQ(AlertView::top()->message(), "余额不足，请先充值");
  AlertView::dismissAll();

  User::currentUser().setAmount("100.00");
  User::currentUser().setHasPwd(true);
  User::currentUser().setIsAsk(true);
  screen->passwordTextField()->setText("12a456");
  ASSERT_TRUE(screen->doneButton()->tap());
  EXPECT_EQ(prompt(), "请输入正确的密码");
  EXPECT_TRUE(ops->commits.empty());

  // A six-digit pay password goes out enciphered under the virtual terminal's PIN key.
  screen->passwordTextField()->setText("123456");
  ops->replies.push_back(PayReply::answered("0000", ""));
  done(*screen);
  ASSERT_EQ(ops->commits.size(), 1u);
  auto pinkey = valueOf(ops->commits[0].fields, "pinkey");
  ASSERT_TRUE(pinkey);
  EXPECT_EQ(pinkey->size(), 256u);
}

TEST_F(MultiPayScreenTest, AnOpenOutcomeShowsOnlyTheTimeOutPage) {
  const std::vector<PayReply> replies{PayReply::failed(PayReply::Kind::OutcomeUnknown, "超时"),
                                      PayReply::answered("1030", "处理中")};
  for (const auto& reply : replies) {
    auto screen = open(6);
    ASSERT_TRUE(screen->walletPayHeader()->tap());
    ops->replies.push_back(reply);
    done(*screen);
    EXPECT_EQ(topClass(), SwipeTimeOutViewController::kClassName);
    auto page = std::dynamic_pointer_cast<SwipeTimeOutViewController>(services->navigation->topViewController());
    ASSERT_TRUE(page);
    services->navigation->popToRoot(false);
  }
  EXPECT_EQ(ops->commits.size(), 2u);

  auto screen = open(6);
  ASSERT_TRUE(screen->walletPayHeader()->tap());
  ops->replies.push_back(PayReply::answered("0012", "余额不足"));
  done(*screen);
  EXPECT_EQ(topClass(), SwiperCommitFailViewController::kClassName);
}

TEST_F(MultiPayScreenTest, TheRechargeTripRestoresThePendingRequestAtItsOwnAddress) {
  auto screen = open(6);
  ASSERT_TRUE(screen->walletPayHeader()->tap());
  const std::string url = Tools::sharedInstance().url();
  screen->onWalletRecharge();
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), NVXMultPayViewController::kRechargeClassName);
  // The recharge stores a pending request of its own.
  Tools::sharedInstance().setInfo({{"busid", "800003"}}, "https://host/iphone/queryTrans.json");
  const size_t queries = ops->redPacketCalls.size();
  services->navigation->pop(false);
  RunLoop::main().advance(1);
  EXPECT_EQ(Tools::sharedInstance().url(), url);
  EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), "M20013");
  EXPECT_EQ(ops->redPacketCalls.size(), queries + 1);

  // Not activated: the alert, and activation with the recharge's tag continues the trip.
  User::currentUser().setStatus(false);
  screen->onWalletRecharge();
  ASSERT_TRUE(platform::ui::Inspector().answerAlert("激活钱包").isOk());
  RunLoop::main().advance(1);
  ASSERT_TRUE(activation);
  EXPECT_EQ(activation->tag, "WalletRecharge");
  screen->popToView("WalletRecharge");
  RunLoop::main().advance(1);
  EXPECT_EQ(topClass(), NVXMultPayViewController::kRechargeClassName);
}

TEST_F(MultiPayScreenTest, TheLotteryHandsBackSixteenSignedFieldsAndSendsNothing) {
  ServerConfig::current().setMainApiBase("https://host/iphone/");
  auto lottery = std::make_shared<RecordingLottery>();
  Json order{{"lotteryName", "竞彩足球"}, {"issue", "2026140"}, {"betNumSum", "2"}, {"pursue", "1"},
             {"multiple", "1"}, {"totalMoney", "4"}};
  auto screen = NVXMultPayViewController::initWithDictionary(order, lottery);
  screen->setOperations(ops);
  bool pursueRow = false;
  for (const auto& row : screen->info()->labelSource()) pursueRow = pursueRow || row->leftValue() == "追号期数";
  EXPECT_FALSE(pursueRow);
  EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), "17K");
  EXPECT_EQ(Tools::sharedInstance().infoValue("amount"), "4.00");
  services->navigation->push(screen, false);
  RunLoop::main().advance(1);
  EXPECT_EQ(ops->payTypeCalls, std::vector<std::string>{"17K/0101"});
  // The server allows card and wallet: the lottery's one section is open and Done usable.
  EXPECT_TRUE(screen->isWalletPayExpand());
  EXPECT_TRUE(screen->doneButton()->isEnabled());
  EXPECT_EQ(screen->payType(), "ZX");

  ASSERT_TRUE(screen->doneButton()->tap());
  RunLoop::main().advance(1);
  EXPECT_TRUE(ops->commits.empty());
  ASSERT_EQ(lottery->received.size(), 1u);
  const auto& dic = lottery->received[0];
  ASSERT_EQ(dic.size(), 16u);
  for (size_t i = 0; i < dic.size(); ++i) EXPECT_EQ(dic[i].key, NVXMultPayViewController::lotteryTicketTransactionKeys()[i]);
  EXPECT_EQ(valueOf(dic, "busid"), "17K");
  EXPECT_EQ(valueOf(dic, "ver"), "28");
  EXPECT_EQ(valueOf(dic, "amount"), "000000000400");
  EXPECT_EQ(valueOf(dic, "type"), "ZX");
  EXPECT_EQ(valueOf(dic, "pinkey"), "");
  EXPECT_EQ(valueOf(dic, "pan2"), "");
  EXPECT_EQ(valueOf(dic, "famount"), "");
  EXPECT_EQ(valueOf(dic, "termid"), kVirtualTerminal);
  const std::string mac = *valueOf(dic, "mac");
  ASSERT_EQ(mac.size(), 8u);
  EXPECT_EQ(mac.find_first_not_of("0123456789ABCDEFabcdef"), std::string::npos);
  EXPECT_NE(topClass(), NVXMultPayViewController::kClassName);
}

}  // namespace
}  // namespace nvx
