#include "app/ui/NVXBaseWebViewController.h"

#include <gtest/gtest.h>

#include "app/ui/AdvertisingWebViewController.h"
#include "app/ui/DownloadServerConfig.h"
#include "app/ui/HudExt.h"
#include "app/ui/NVXBaseProtocolViewController.h"
#include "app/ui/testing/TestPictureBundle.h"
#include "app/ui/WalletProtocolViewController.h"
#include "app/ui/WebViewExt.h"
#include "net/testing/MainApiTestFixture.h"
#include "net/RequestHook.h"
#include "platform/device/Pasteboard.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/ScriptedWebEngine.h"
#include "standin/PageStandin.h"

namespace nvx {
namespace {

using platform::ui::Rect;
using platform::ui::ScriptedWebEngine;
using platform::ui::WebView;
using Names = std::vector<std::string>;

const Names kBarPictures = {"wv_left_normal.png",         "wv_left_selected.png",        "wv_right_normal.png",
                            "wv_right_selected.png",      "wv_renovate_normal.png",      "wv_renovate_selected.png",
                            "wv_stop_renovate_normal.png", "wv_stop_renovate_selected.png", "wv_more_normal.png",
                            "wv_more_selected.png"};

// The browser screens on the application's navigation stack, their pages from a scripted engine
// (or the page stand-in over loopback), descriptions from the main-API stand-in.
class WebScreenTest : public testing::MainApiTestFixture {
 protected:
  void SetUp() override {
    MainApiTestFixture::SetUp();
    pictures_.emplace(kBarPictures);
    engine = std::make_shared<ScriptedWebEngine>();
    WebView::setDefaultEngine(engine);
    engine->setPage("http://a.test/1", "<title>第一页</title><a href=\"/2\">下一页</a>");
    engine->setPage("http://a.test/2", "<title>第二页</title>");
  }

  void settle() { platform::RunLoop::main().runUntilIdle(); }

  template <class T>
  std::shared_ptr<T> show(std::shared_ptr<T> screen) {
    services->navigation->push(screen, false);
    return screen;
  }

  static std::string pictureOf(const platform::ui::Button& button) {
    auto bg = button.backgroundImage(platform::ui::ControlState::Normal);
    return bg ? bg->name : "";
  }

  std::optional<std::string> promptShown() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }

  // After the fixture has read the project files through the real bundle.
  std::optional<testing::TestPictureBundle> pictures_;
  std::shared_ptr<ScriptedWebEngine> engine;
  platform::ui::Inspector inspector;
};

TEST_F(WebScreenTest, TheBrowserIsLaidOutWithItsBarAndSheet) {
  auto screen = show(NVXBaseWebViewController::create());
  auto web = screen->webView();
  ASSERT_TRUE(web);
  EXPECT_EQ(web->frame(), (Rect{0, 0, 320, 568 - 64 - 44}));
  EXPECT_TRUE(web->scalesPageToFit());
  EXPECT_EQ(web->delegate().get(), static_cast<platform::ui::WebViewDelegate*>(screen.get()));
  EXPECT_EQ(screen->bottomBar()->frame(), (Rect{0, 460, 320, 44}));
  EXPECT_DOUBLE_EQ(screen->bottomBar()->alpha(), 0.8);
  struct Expect {
    std::shared_ptr<platform::ui::Button> button;
    Rect frame;
    const char* picture;
  } buttons[] = {{screen->previousBtn(), {35, 10, 22, 24}, "wv_left_normal.png"},
                 {screen->forwardBtn(), {115, 10, 22, 24}, "wv_right_normal.png"},
                 {screen->refreshBtn(), {195, 10, 22, 24}, "wv_renovate_normal.png"},
                 {screen->moreBtn(), {265, 10, 22, 24}, "wv_more_normal.png"}};
  for (const auto& b : buttons) {
    SCOPED_TRACE(b.picture);
    EXPECT_EQ(b.button->frame(), b.frame);
    EXPECT_EQ(pictureOf(*b.button), b.picture);
    EXPECT_EQ(b.button->superview(), screen->bottomBar());
  }
  EXPECT_FALSE(screen->previousBtn()->isEnabled());
  EXPECT_FALSE(screen->forwardBtn()->isEnabled());
  EXPECT_EQ(screen->activityView()->frame().size(), (platform::ui::Size{25, 25}));
  EXPECT_EQ(screen->navigationItem().rightBarButtonItem()->customView(), screen->activityView());
  auto sheet = screen->moreSheet();
  ASSERT_EQ(sheet->numberOfButtons(), 3);
  EXPECT_EQ(sheet->buttonTitleAtIndex(0), "手机浏览器打开");
  EXPECT_EQ(sheet->buttonTitleAtIndex(1), "复制链接");
  EXPECT_EQ(sheet->buttonTitleAtIndex(sheet->cancelButtonIndex()), "取消");

  // "关闭" leaves the screen.
  auto close = std::dynamic_pointer_cast<platform::ui::Control>(screen->navigationItem().leftBarButtonItem()->customView());
  ASSERT_TRUE(close);
  EXPECT_TRUE(close->isExclusiveTouch());
  EXPECT_TRUE(inspector.byText("关闭"));
  ASSERT_TRUE(inspector.tapControl(*close).isOk());
  EXPECT_EQ(services->navigation->topViewController(), services->screen);
}

TEST_F(WebScreenTest, TheBarFollowsTheWebView) {
  auto screen = show(NVXBaseWebViewController::create());
  auto spinning = [&] {
    auto item = screen->navigationItem().rightBarButtonItem();
    return item && item->customView() == screen->activityView() && screen->activityView()->isAnimating();
  };
  engine->hold("http://a.test/1");
  screen->setUrl("http://a.test/1");
  settle();
  EXPECT_TRUE(spinning());
  EXPECT_EQ(pictureOf(*screen->refreshBtn()), "wv_stop_renovate_normal.png");
  EXPECT_FALSE(screen->previousBtn()->isEnabled()) << "nothing to go back to before the first page";
  engine->release("http://a.test/1");
  settle();
  EXPECT_FALSE(spinning());
  EXPECT_FALSE(screen->navigationItem().rightBarButtonItem());
  EXPECT_EQ(pictureOf(*screen->refreshBtn()), "wv_renovate_normal.png");
  EXPECT_FALSE(screen->previousBtn()->isEnabled());
  EXPECT_FALSE(screen->forwardBtn()->isEnabled());

  ASSERT_TRUE(inspector.followLink("下一页").isOk());
  settle();
  EXPECT_TRUE(screen->previousBtn()->isEnabled());
  EXPECT_FALSE(screen->forwardBtn()->isEnabled());
  ASSERT_TRUE(inspector.tapControl(*screen->previousBtn()).isOk());
  settle();
  EXPECT_EQ(screen->webView()->pageTitle(), "第一页");
  EXPECT_FALSE(screen->previousBtn()->isEnabled());
  EXPECT_TRUE(screen->forwardBtn()->isEnabled());
  ASSERT_TRUE(inspector.tapControl(*screen->forwardBtn()).isOk());
  settle();
  EXPECT_EQ(screen->webView()->pageTitle(), "第二页");

  // Refresh: a reload when idle, a stop while loading.
  engine->hold("http://a.test/2");
  ASSERT_TRUE(inspector.tapControl(*screen->refreshBtn()).isOk());
  settle();
  EXPECT_TRUE(spinning());
  ASSERT_TRUE(inspector.tapControl(*screen->refreshBtn()).isOk());
  EXPECT_FALSE(screen->webView()->isLoading());
  EXPECT_FALSE(spinning());
  EXPECT_EQ(pictureOf(*screen->refreshBtn()), "wv_renovate_normal.png");
  EXPECT_EQ(engine->openLoads(), 0u);

  // A failed load stops the spinner too.
  engine->setFailure("http://a.test/down", platform::ui::WebErrorCode::TimedOut);
  screen->setUrl("http://a.test/down");
  settle();
  EXPECT_FALSE(spinning());
  EXPECT_EQ(screen->webView()->pageTitle(), "第二页");
}

TEST_F(WebScreenTest, AnAddressIsEscapedToLoadButCopiedAndOpenedAsGiven) {
  auto screen = show(NVXBaseWebViewController::create());
  const std::string given = "http://a.test/帮助 说明.html?a=1&b=二";
  const std::string escaped = "http://a.test/%E5%B8%AE%E5%8A%A9%20%E8%AF%B4%E6%98%8E.html?a=1&b=%E4%BA%8C";
  engine->setPage(escaped, "<title>帮助</title><a href='/1'>一</a>");
  screen->setUrl(given);
  settle();
  EXPECT_EQ(engine->requested(), Names{escaped});
  EXPECT_EQ(screen->webView()->pageTitle(), "帮助");
  // After following a link the address set is still the one offered.
  ASSERT_TRUE(inspector.followLink("一").isOk());
  settle();

  auto more = inspector.tapControl(*screen->moreBtn());
  ASSERT_TRUE(more.isOk()) << more.message() << "\n" << inspector.render();
  ASSERT_TRUE(inspector.chooseInSheet("复制链接").isOk());
  EXPECT_EQ(platform::Pasteboard::general().string(), given);
  EXPECT_EQ(promptShown(), "已复制到剪贴板");
  platform::RunLoop::main().advance(HudExt::kPromptSeconds + 0.5);   // the prompt covers the screen until then
  EXPECT_FALSE(promptShown());

  ASSERT_TRUE(inspector.tapControl(*screen->moreBtn()).isOk());
  ASSERT_TRUE(inspector.chooseInSheet("手机浏览器打开").isOk());
  EXPECT_EQ(platform::UrlOpener::shared().opened(), Names{given});

  ASSERT_TRUE(inspector.tapControl(*screen->moreBtn()).isOk());
  platform::Pasteboard::general().setString("before");
  ASSERT_TRUE(inspector.chooseInSheet("取消").isOk());
  EXPECT_EQ(platform::Pasteboard::general().string(), "before");
  EXPECT_EQ(platform::UrlOpener::shared().opened().size(), 1u);
  EXPECT_FALSE(inspector.topSheet());
}

TEST_F(WebScreenTest, AnEmptyAddressIsNeitherLoadedCopiedNorOpened) {
  for (const char* url : {"", "  \t"}) {
    SCOPED_TRACE(std::string("\"") + url + "\"");
    auto screen = show(NVXBaseWebViewController::create());
    platform::Pasteboard::general().setString("kept");
    screen->setUrl(url);
    settle();
    EXPECT_TRUE(engine->requested().empty());
    EXPECT_FALSE(screen->webView()->isLoading());
    screen->onCopyUrlToPasteboard();
    EXPECT_EQ(promptShown(), "无法复制链接");
    EXPECT_EQ(platform::Pasteboard::general().string(), "kept");
    screen->onOpenUrlInSafari();
    EXPECT_TRUE(platform::UrlOpener::shared().opened().empty());
    services->navigation->pop(false);
    platform::ui::Hud::hideAll(*services->mainWindow, false);
  }
  // Set before the view exists, an address is kept but not loaded.
  auto early = NVXBaseWebViewController::create();
  early->setUrl("http://a.test/1");
  show(early);
  settle();
  EXPECT_TRUE(engine->requested().empty());
  EXPECT_EQ(early->url(), "http://a.test/1");
}

TEST_F(WebScreenTest, AScreenPoppedBeforeItsPageArrivesIsReleased) {
  standin::PageStandin pages;
  ASSERT_TRUE(pages.start().isOk());
  WebView::setDefaultEngine(nullptr);   // the product's engine, over loopback
  pages.holdPage("/slow.html");
  std::weak_ptr<NVXBaseWebViewController> weak;
  {
    auto screen = show(AdvertisingWebViewController::create());
    screen->setUrl(pages.url("/slow.html"));
    weak = screen;
    ASSERT_TRUE(await([&] { return pages.waitingCount() == 1; }));
    services->navigation->pop(false);
  }
  settle();
  EXPECT_TRUE(weak.expired());
  pages.releasePage("/slow.html");
  platform::RunLoop::main().drainIo(std::chrono::milliseconds(300));
  EXPECT_EQ(services->navigation->topViewController(), services->screen);
}

// --- agreements and descriptions ---

// A bundle copy with one more resource page.
class ProtocolScreenTest : public WebScreenTest {
 protected:
  void SetUp() override {
    WebScreenTest::SetUp();
    ASSERT_TRUE(platform::fs::writeAtomic(platform::Sandbox::bundle() / "protocol_note.html",
                                          "<html><head><title>本地说明</title></head><body>本地</body></html>"));
    engine->setPage("http://a.test/remote", "<title>远程协议</title>");
  }

  void describeLater(std::string html, std::chrono::milliseconds delay) {
    auto reply = standin::MainApiStandin::Scripted::success(platform::Json::array({{{"aContent", std::move(html)}}}));
    reply.delay = delay;
    server->script("getBusiDesc", reply);
  }
};

TEST_F(ProtocolScreenTest, SourcesApplyInOrderAndLaterOnesWin) {
  struct Case {
    const char* name;
    std::string native, content, remote, business;
    const char* title;   // of the page finally shown
  };
  const Case cases[] = {
      {"a resource page", "protocol_note.html", "", "", "", "本地说明"},
      {"HTML text", "", "<title>文本</title>", "", "", "文本"},
      {"a resource page replaces the text", "protocol_note.html", "<title>文本</title>", "", "", "本地说明"},
      {"the remote page ends on top", "protocol_note.html", "", "http://a.test/remote", "", "远程协议"},
      {"the server's text replaces everything", "protocol_note.html", "", "http://a.test/remote", "B00013",
       "服务端说明"},
      {"a missing resource gives no text", "missing.html", "<title>文本</title>", "", "", ""},
  };
  describeLater("<title>服务端说明</title>", std::chrono::milliseconds(50));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto screen = NVXBaseProtocolViewController::create();
    screen->setNativeHtmlName(c.native);
    screen->setContentString(c.content);
    screen->setRemoteUrl(c.remote);
    screen->setBussinessId(c.business);
    show(screen);
    ASSERT_TRUE(await([&] { return !screen->webView()->isLoading() && screen->webView()->pageTitle() == c.title; }));
    settle();
    EXPECT_EQ(screen->webView()->pageTitle(), c.title);
    EXPECT_EQ(screen->webView()->hasPage(), *c.title != '\0');
    services->navigation->pop(false);
  }
  EXPECT_EQ(server->lastVerdict("getBusiDesc")->identityOk, true);
}

TEST_F(ProtocolScreenTest, AFailedDescriptionLeavesAnEmptyPage) {
  server->script("getBusiDesc", standin::MainApiStandin::Scripted::error("9999", "暂无说明"));
  auto screen = NVXBaseProtocolViewController::create();
  screen->setContentString("<title>文本</title>");
  screen->setBussinessId("B00099");
  show(screen);
  ASSERT_TRUE(await([&] { return screen->webView()->hasPage() && screen->webView()->pageTitle().empty(); }));
  EXPECT_EQ(screen->webView()->pageText(), "");
}

TEST_F(WebScreenTest, TheWalletAgreementComesFromTheDownloadServer) {
  standin::PageStandin pages;
  ASSERT_TRUE(pages.start().isOk());
  WebView::setDefaultEngine(nullptr);
  RequestHook::install();
  DownloadServerConfig::current().setHost(pages.host());
  auto screen = show(WalletProtocolViewController::create());
  EXPECT_EQ(screen->title(), "诺维萨钱包服务协议");
  EXPECT_EQ(screen->remoteUrl(), "http://" + pages.host() + "//nvxmbl/html/wallet_service.html");
  EXPECT_EQ(screen->url(), screen->remoteUrl());
  ASSERT_TRUE(await([&] { return screen->webView()->hasPage(); }));
  EXPECT_EQ(screen->webView()->pageTitle(), "诺维萨钱包服务协议");
  ASSERT_EQ(pages.http().requests().size(), 1u);
  EXPECT_EQ(pages.http().requests()[0].query, "") << "a page is not stamped like an API call";
}

// --- adverts and notices ---

TEST_F(WebScreenTest, AnAdvertIsTitledByItsPageANoticeByItself) {
  engine->setPage("http://a.test/untitled", "<p>无标题</p>");
  engine->setFailure("http://a.test/down", platform::ui::WebErrorCode::CannotConnect);
  struct Case {
    const char* name;
    std::string adURL;
    std::optional<std::string> notice;
    const char* title;
    Names requested;
  };
  const Case cases[] = {
      {"an advert", "http://a.test/1", std::nullopt, "第一页", {"http://a.test/1"}},
      {"an advert without a title", "http://a.test/untitled", std::nullopt, "", {"http://a.test/untitled"}},
      {"a notice wins over the advert", "http://a.test/1", "<p>今晚系统维护</p>", "公告", {}},
      {"an empty notice is still a notice", "", "", "公告", {}},
      {"a failed advert", "http://a.test/down", std::nullopt, "加载失败", {"http://a.test/down"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto before = engine->requested().size();
    auto screen = AdvertisingWebViewController::create();
    screen->setAdURL(c.adURL);
    screen->setNotice(c.notice);
    screen->setTitle("旧标题");
    show(screen);
    settle();
    EXPECT_EQ(screen->title(), c.title);
    EXPECT_EQ(Names(engine->requested().begin() + static_cast<long>(before), engine->requested().end()), c.requested);
    EXPECT_TRUE(screen->webView()->scalesPageToFit());
    services->navigation->pop(false);
  }
}

// --- the business-description page ---

TEST_F(WebScreenTest, BusinessDescriptionWebViewShowsTheText) {
  auto web = WebViewExt::businessDescWebView("<title>说明</title><p>手续费</p>");
  EXPECT_EQ(web->frame(), (Rect{15, 55, 290, 388}));
  EXPECT_EQ(web->tag(), 1999);
  EXPECT_EQ(web->autoresizingMask(), (1 << 1) | (1 << 4));
  EXPECT_EQ(web->backgroundColor(), platform::ui::Color::white());
  settle();
  EXPECT_EQ(web->pageUrl(), "about:blank");
  EXPECT_EQ(web->pageText(), "手续费");
}

}  // namespace
}  // namespace nvx
