// The reader shop, the feedback form and the coupon page against the main-API stand-in.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/ui/MallProductScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "home/BuyNuvexaViewController.h"
#include "home/FeedBackViewController.h"
#include "home/WalletCouponViewController.h"
#include "net/testing/MainApiTestFixture.h"
#include "platform/device/UrlOpener.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/ScriptedWebEngine.h"
#include "standin/MallStandin.h"
#include "standin/mainapi/ShopRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using Scripted = standin::MainApiStandin::Scripted;

class HomeShopScreensTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    engine = std::make_shared<platform::ui::ScriptedWebEngine>();
    platform::ui::WebView::setDefaultEngine(engine);
  }
  standin::ShopState& shop() { return server->feature<standin::ShopState>(); }
  void settle() {
    await([] { return platform::net::HttpRequest::unsettledStarts() == 0; });
    platform::RunLoop::main().advance(0.5);
  }

  std::shared_ptr<platform::ui::ScriptedWebEngine> engine;
  platform::ui::Inspector inspector;
};

TEST_F(HomeShopScreensTest, TheLastProductStaysAndItsHotlineIsDialledAsDigits) {
  shop().products = Json::parse(R"([{"productId":"1","buyPhone":"111"},{"productId":"2","buyPhone":"222"},
                                    {"productId":3,"buyPhone":"400-820-8888"}])");
  auto screen = BuyNuvexaViewController::create();
  services->navigation->push(screen, false);
  settle();
  ASSERT_TRUE(screen->currentProduct());
  EXPECT_EQ(screen->currentProduct()->productID, "3");
  ASSERT_TRUE(screen->phoneButton());
  ASSERT_TRUE(screen->buyButton());
  EXPECT_EQ(screen->phoneButton()->frame().width, 125);
  EXPECT_EQ(engine->requested().back(), BuyNuvexaViewController::purchasePageUrl());

  ASSERT_TRUE(inspector.tapControl(*screen->phoneButton()).isOk());
  auto sheet = inspector.topSheet();
  ASSERT_TRUE(sheet);
  EXPECT_EQ(sheet->title(), "400-820-8888");
  ASSERT_TRUE(inspector.chooseInSheet("呼叫").isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened().back(), "tel:4008208888");
}

TEST_F(HomeShopScreensTest, AnotherAppsCallerGetsOneWidePhoneButton) {
  struct OtherApp : testing::AppWindowServices {
    bool isOtherAppLaunching() override { return true; }
  };
  auto other = std::make_shared<OtherApp>();
  AppServices::install(other);
  auto screen = BuyNuvexaViewController::create();
  other->navigation->push(screen, false);
  settle();
  ASSERT_TRUE(screen->phoneButton());
  EXPECT_EQ(screen->phoneButton()->frame().width, BuyNuvexaViewController::kWidePhoneWidth);
  EXPECT_FALSE(screen->buyButton());
}

// The mall's product page as the mall module will register it: it records what it was given.
class RecordingProductPage : public testing::PlainScreen, public MallProductScreen {
 public:
  RecordingProductPage() : PlainScreen(MallProductScreen::kClassName) {}
  void setDetailDic(platform::Json d) override { detail = std::move(d); }
  void setCartDic(platform::Json c) override { cart = std::move(c); }
  platform::Json detail;
  platform::Json cart;
};

TEST_F(HomeShopScreensTest, BuyingOpensTheMallsReaderProductPage) {
  standin::MallStandin mall;
  ASSERT_TRUE(mall.start().isOk());
  const std::string base = mall.mallAddress();
  const std::string host = base.substr(7, base.find('/', 7) - 7);
  ::setenv("NVX_MALL_HOST", host.c_str(), 1);
  std::weak_ptr<RecordingProductPage> opened;
  ScreenRegistry::shared().add(MallProductScreen::kClassName, [&opened] {
    auto page = std::make_shared<RecordingProductPage>();
    opened = page;
    return page;
  });
  // A numeric id in the list matches the text id the mall gave.
  auto listed = standin::MallStandin::makeProduct(standin::MallStandin::kReaderProductId, "刷卡器", 9900);
  mall.setProducts({standin::MallStandin::makeProduct("1", "别的", 100), listed});

  auto screen = BuyNuvexaViewController::create();
  services->navigation->push(screen, false);
  settle();
  ASSERT_TRUE(screen->buyButton());
  ASSERT_TRUE(inspector.tapControl(*screen->buyButton()).isOk());
  EXPECT_TRUE(await([&] { return !opened.expired() && services->navigation->topViewController() == opened.lock(); }));
  auto page = opened.lock();
  ASSERT_TRUE(page) << inspector.render();
  EXPECT_EQ(platform::json::asText(page->cart["id"]), std::string(standin::MallStandin::kReaderProductId));
  EXPECT_TRUE(page->detail.is_object());
  EXPECT_TRUE(platform::ui::Hud::on(*services->mainWindow).empty());

  // The mall refusing the id: its message, and no page.
  services->navigation->popTo(*screen, false);
  mall.scriptError("getValue", "9001", "商城维护中");
  ASSERT_TRUE(inspector.tapControl(*screen->buyButton()).isOk());
  EXPECT_TRUE(await([&] { return !platform::ui::Hud::on(*services->mainWindow).empty() &&
                                 platform::ui::Hud::on(*services->mainWindow).back()->label() == "商城维护中"; }));
  EXPECT_EQ(services->navigation->topViewController(), screen);
  ::unsetenv("NVX_MALL_HOST");
  mall.stop();
}

TEST_F(HomeShopScreensTest, RepliesWithoutProductsShowNoButtons) {
  const std::pair<const char*, Scripted> cases[] = {
      {"dropped", Scripted::dropConnection()},
      {"empty list", Scripted::success(Json::array())},
      {"error", Scripted::error("9001", "系统繁忙")},
      {"bad JSON", Scripted::badJson()},
      {"object", Scripted::success(Json::object({{"productId", "1"}}))},
  };
  for (const auto& [what, scripted] : cases) {
    SCOPED_TRACE(what);
    server->clearScripts();
    server->script("getProductsList", scripted);
    auto screen = BuyNuvexaViewController::create();
    services->navigation->push(screen, false);
    settle();
    EXPECT_FALSE(screen->phoneButton());
    EXPECT_FALSE(screen->buyButton());
    EXPECT_FALSE(screen->activityView()->isAnimating());
    const bool failed = std::string(what) == "dropped";
    EXPECT_EQ(screen->currentProduct().has_value(), failed);
    if (failed) {
      EXPECT_EQ(screen->currentProduct()->productDesc, "下载信息失败");
    }
    services->navigation->pop(false);
  }
}

TEST_F(HomeShopScreensTest, AScreenLetGoCancelsItsProductRequest) {
  server->script("getProductsList", Scripted::heldReply());
  std::weak_ptr<BuyNuvexaViewController> weak;
  {
    auto screen = BuyNuvexaViewController::create();
    weak = screen;
    services->navigation->push(screen, false);
    platform::RunLoop::main().advance(0.1);
    ASSERT_TRUE(screen->runningRequest());
    EXPECT_TRUE(screen->runningRequest()->isRunning());
    services->navigation->pop(false);
  }
  platform::RunLoop::main().advance(1);
  EXPECT_TRUE(weak.expired());
  server->http().releaseHeld();
  EXPECT_TRUE(await([] { return platform::net::HttpRequest::unsettledStarts() == 0; }));
}

class FeedBackTest : public HomeShopScreensTest {
 protected:
  void show() {
    screen = FeedBackViewController::create();
    services->navigation->push(screen, false);
    platform::RunLoop::main().advance(1);
    screen->tableView()->reloadData();
  }
  std::shared_ptr<FeedBackViewController> screen;
};

TEST_F(FeedBackTest, TheToolbarClosesOnlyOnAcceptableText) {
  show();
  struct Case {
    const char* contact;
    bool closes;
  };
  const Case contacts[] = {{"", true},           {"14712345678", true}, {"14612345678", false},
                           {"1471234567", false}, {"13912345678", true}, {"18412345678", false}};
  for (const auto& c : contacts) {
    SCOPED_TRACE(c.contact);
    auto field = screen->textField();
    field->setText(c.contact);
    ASSERT_TRUE(field->becomeFirstResponder());
    screen->hiddenKeyBoard();
    EXPECT_EQ(!field->isEditing(), c.closes);
    if (!c.closes) {
      auto prompts = platform::ui::Hud::on(*screen->view());
      ASSERT_FALSE(prompts.empty());
      EXPECT_EQ(prompts.back()->label(), "请输入正确的11位手机号码");
    }
    field->resignFirstResponder();
  }

  auto text = screen->textView();
  ASSERT_TRUE(text->becomeFirstResponder());
  EXPECT_EQ(text->typeText("一二三四五六七八九"), 9u);
  screen->hiddenKeyBoard();
  EXPECT_TRUE(text->isEditing());   // nine characters are too few to finish
  EXPECT_EQ(screen->wordCountLabel()->text(), "已输入9字");
  EXPECT_TRUE(screen->placeholderLabel()->isHidden());
  text->typeText(" \n");
  EXPECT_EQ(text->text(), "一二三四五六七八九");   // space and line break refused
  text->typeText("十");
  screen->hiddenKeyBoard();
  EXPECT_FALSE(text->isEditing());
}

TEST_F(FeedBackTest, APasteBeyondFiveHundredIsRefusedWhole) {
  show();
  auto text = screen->textView();
  ASSERT_TRUE(text->becomeFirstResponder());
  EXPECT_TRUE(text->paste(std::string(499, 'a')));
  EXPECT_FALSE(text->paste("bb"));
  EXPECT_EQ(text->text().size(), 499u);
  EXPECT_FALSE(text->paste(std::string("\xff\xfe")));   // not UTF-8
  EXPECT_TRUE(text->paste("b"));
  EXPECT_EQ(screen->wordCountLabel()->text(), "已输入500字");
}

TEST_F(FeedBackTest, ASentSuggestionReachesTheServerAndThePageLeaves) {
  show();
  screen->textView()->setText("一二三四五六七八九");   // too short to finish, still sent
  screen->textField()->setText("14712345678");
  screen->commit();
  ASSERT_TRUE(await([&] { return !shop().suggestions.empty(); }));
  settle();
  EXPECT_EQ(shop().suggestions[0].suggestion, "一二三四五六七八九");
  EXPECT_EQ(shop().suggestions[0].linkedInfo, "14712345678");
  EXPECT_EQ(shop().suggestions[0].loginName, kLoginName);
  EXPECT_EQ(services->navigation->topViewController(), screen);
  platform::RunLoop::main().advance(1.6);
  EXPECT_NE(services->navigation->topViewController(), screen);
}

TEST_F(FeedBackTest, FailuresKeepTheTextAndSayWhy) {
  const std::tuple<const char*, Scripted, const char*> cases[] = {
      {"server refuses", Scripted::error("9001", "系统繁忙"), "请输入10-500字的意见或建议"},
      {"HTTP 500", Scripted::htmlErrorPage(500), "网络请求失败，请稍后重试"},
      {"dropped", Scripted::dropConnection(), "网络请求失败，请稍后重试"},
  };
  for (const auto& [what, scripted, prompt] : cases) {
    SCOPED_TRACE(what);
    server->clearScripts();
    server->script("postSuggestion", scripted);
    show();
    screen->textView()->setText("很好用的客户端谢谢");
    screen->commit();
    ASSERT_TRUE(await([&] { return !platform::ui::Hud::on(*screen->view()).empty(); }));
    auto prompts = platform::ui::Hud::on(*screen->view());
    EXPECT_EQ(prompts.back()->label(), prompt);
    EXPECT_EQ(screen->textView()->text(), "很好用的客户端谢谢");
    EXPECT_EQ(services->navigation->topViewController(), screen);
    services->navigation->pop(false);
  }
}

TEST_F(HomeShopScreensTest, TheCouponAddressCarriesTheEncryptedUser) {
  const std::string base = "http://127.0.0.1:1/coupon.html";
  auto screen = WalletCouponViewController::create();
  screen->setTitle(WalletCouponViewController::kCouponTitle);
  screen->setCouponUrl(base);
  services->navigation->push(screen, false);
  platform::RunLoop::main().advance(0.5);
  ASSERT_FALSE(engine->requested().empty());
  const std::string asked = engine->requested().back();
  ASSERT_EQ(asked.rfind(base + "?encryptParams=", 0), 0u) << asked;
  const std::string hex = asked.substr(base.size() + 15);
  EXPECT_EQ(hex.size(), 256u);
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  auto settings = standin::MainApiStandin::Settings::fromProjectFiles();
  ASSERT_TRUE(settings.isOk());
  const auto& key = settings->passwordKey ? *settings->passwordKey : standin::RsaKeyPair::testPasswordKey();
  EXPECT_EQ(key.decryptHex(hex), std::string(kLoginName) + "|" + kUserToken);
  EXPECT_FALSE(screen->navigationItem().rightBarButtonItem());   // no refresh on the coupons

  User::currentUser().outOfLogin();
  auto advert = WalletCouponViewController::create();
  advert->setTitle("活动");
  advert->setCouponUrl(base);
  services->navigation->push(advert, false);
  EXPECT_TRUE(advert->isErrorViewShown());
  platform::RunLoop::main().advance(0.5);
  EXPECT_EQ(engine->requested().back(), base);
}

TEST_F(HomeShopScreensTest, OnlyAnUninterruptedFailureShowsTheErrorPicture) {
  const std::pair<platform::ui::WebErrorCode, bool> cases[] = {
      {platform::ui::WebErrorCode::CannotConnect, true},
      {platform::ui::WebErrorCode::FrameLoadInterrupted, false},
  };
  User::currentUser().outOfLogin();
  for (const auto& [code, shown] : cases) {
    const std::string url = "http://127.0.0.1:1/ad" + std::to_string(static_cast<int>(code));
    engine->setFailure(url, code);
    auto screen = WalletCouponViewController::create();
    screen->setCouponUrl(url);
    services->navigation->push(screen, false);
    platform::RunLoop::main().advance(0.5);
    EXPECT_EQ(screen->isErrorViewShown(), shown) << static_cast<int>(code);
    engine->setPage(url, "<html><title>ok</title></html>");
    screen->reloadweb();
    EXPECT_FALSE(screen->isErrorViewShown());
    platform::RunLoop::main().advance(0.5);
    EXPECT_FALSE(screen->isErrorViewShown());
  }
}

}  // namespace
}  // namespace nvx
