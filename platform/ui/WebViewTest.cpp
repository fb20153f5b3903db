#include "platform/testing/Settle.h"
#include "platform/ui/WebView.h"

#include <gtest/gtest.h>

#include <chrono>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/HttpWebEngine.h"
#include "platform/ui/Inspector.h"
#include "platform/ui/ScriptedWebEngine.h"
#include "platform/ui/Window.h"
#include "standin/PageStandin.h"

namespace platform::ui {
namespace {

using namespace std::chrono_literals;

// Records what the web view tells its delegate, and answers should-start from a rule.
class Recorder : public WebViewDelegate {
 public:
  bool webViewShouldStartLoad(WebView&, const WebRequest& request, WebNavigationType type) override {
    events.push_back("should " + request.url + " " + name(type));
    return !refuse || !refuse(request);
  }
  void webViewDidStartLoad(WebView&) override { events.push_back("start"); }
  void webViewDidFinishLoad(WebView& web) override { events.push_back("finish " + web.pageUrl()); }
  void webViewDidFailLoad(WebView&, const WebError& error) override {
    events.push_back("fail " + error.failingUrl + " " + std::to_string(static_cast<int>(error.code)));
  }

  static std::string name(WebNavigationType type) {
    switch (type) {
      case WebNavigationType::LinkClicked: return "link";
      case WebNavigationType::FormSubmitted: return "form";
      case WebNavigationType::BackForward: return "backforward";
      case WebNavigationType::Reload: return "reload";
      case WebNavigationType::FormResubmitted: return "resubmit";
      case WebNavigationType::Other: return "other";
    }
    return "?";
  }

  std::vector<std::string> take() { return std::exchange(events, {}); }

  std::function<bool(const WebRequest&)> refuse;
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

class WebViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine = std::make_shared<ScriptedWebEngine>();
    WebView::setDefaultEngine(engine);
    engine->setPage("http://a.test/1", "<title>One</title><a href=\"2\">next</a>");
    engine->setPage("http://a.test/2", "<title>Two</title><a href=\"/3\">on</a><a href=\"1\">back to one</a>");
    engine->setPage("http://a.test/3", "<title>Three</title>");
    web = WebView::create({0, 0, 320, 416});
    recorder = std::make_shared<Recorder>();
    web->setDelegate(recorder);
  }

  void settle() { RunLoop::main().runUntilIdle(); }

  std::shared_ptr<ScriptedWebEngine> engine;
  std::shared_ptr<WebView> web;
  std::shared_ptr<Recorder> recorder;
};

TEST_F(WebViewTest, AsksFirstThenStartsAndFinishesOnLaterPasses) {
  web->loadRequest({"http://a.test/1"});
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/1 other"}));
  EXPECT_TRUE(web->isLoading());
  EXPECT_FALSE(web->hasPage());
  RunLoop::main().runPending();
  EXPECT_EQ(recorder->take(), (Events{"start"}));
  settle();
  EXPECT_EQ(recorder->take(), (Events{"finish http://a.test/1"}));
  EXPECT_FALSE(web->isLoading());
  EXPECT_EQ(web->pageTitle(), "One");
  EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("document.title"), "One");
  EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("  document.title ; "), "One");
  EXPECT_EQ(web->stringByEvaluatingJavaScriptFromString("window.location.href"), "");
  EXPECT_EQ(web->links(), (std::vector<WebLink>{{"next", "http://a.test/2"}}));
}

TEST_F(WebViewTest, ARefusedLoadChangesNothing) {
  web->loadRequest({"http://a.test/1"});
  settle();
  recorder->take();
  recorder->refuse = [](const WebRequest& r) { return r.url.starts_with("nvx://"); };
  web->loadRequest({"nvx://pay?params=%7B%7D"});
  EXPECT_FALSE(web->isLoading());
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should nvx://pay?params=%7B%7D other"}));
  EXPECT_EQ(web->pageUrl(), "http://a.test/1");
  EXPECT_EQ(engine->requested(), (std::vector<std::string>{"http://a.test/1"}));
}

TEST_F(WebViewTest, HistoryMovesOnlyWhenLoadsFinish) {
  web->loadRequest({"http://a.test/1"});
  settle();
  EXPECT_FALSE(web->canGoBack());
  ASSERT_TRUE(web->followLink({"next", "http://a.test/2"}));
  EXPECT_FALSE(web->canGoBack()) << "not before the page arrives";
  settle();
  EXPECT_TRUE(web->canGoBack());
  EXPECT_FALSE(web->canGoForward());
  ASSERT_TRUE(web->followLink({"on", "http://a.test/3"}));
  settle();
  recorder->take();

  web->goBack();
  EXPECT_EQ(web->pageTitle(), "Three");
  settle();
  EXPECT_EQ(web->pageTitle(), "Two");
  EXPECT_TRUE(web->canGoForward());
  web->goBack();
  settle();
  EXPECT_FALSE(web->canGoBack());
  web->goForward();
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/2 backforward", "start", "finish http://a.test/2",
                                      "should http://a.test/1 backforward", "start", "finish http://a.test/1",
                                      "should http://a.test/2 backforward", "start", "finish http://a.test/2"}));

  // A new page drops the pages ahead.
  ASSERT_TRUE(web->followLink({"back to one", "http://a.test/1"}));
  settle();
  EXPECT_FALSE(web->canGoForward());
  web->goBack();
  settle();
  EXPECT_EQ(web->pageUrl(), "http://a.test/2");
  web->goBack();
  settle();
  EXPECT_EQ(web->pageUrl(), "http://a.test/1");
  EXPECT_FALSE(web->canGoBack());

  // Nothing to go to: nothing asked.
  recorder->take();
  web->goBack();
  EXPECT_TRUE(recorder->take().empty());
  EXPECT_FALSE(web->followLink({"nowhere", "http://a.test/9"}));
}

TEST_F(WebViewTest, AFailedLoadKeepsThePageAndHistory) {
  web->loadRequest({"http://a.test/1"});
  settle();
  engine->setFailure("http://a.test/down", WebErrorCode::TimedOut);
  web->loadRequest({"http://a.test/down"});
  settle();
  EXPECT_EQ(recorder->events.back(), "fail http://a.test/down 2");
  EXPECT_FALSE(web->isLoading());
  EXPECT_EQ(web->pageUrl(), "http://a.test/1");
  EXPECT_FALSE(web->canGoBack());
  // An address nobody serves fails too.
  web->loadRequest({"http://nowhere.test/"});
  settle();
  EXPECT_EQ(recorder->events.back(), "fail http://nowhere.test/ 1");
}

TEST_F(WebViewTest, ReloadShowsTheCurrentEntryAgainOrRetriesTheFirstLoad) {
  engine->setFailure("http://a.test/1", WebErrorCode::CannotConnect);
  web->loadRequest({"http://a.test/1"});
  settle();
  EXPECT_FALSE(web->hasPage());
  engine->setPage("http://a.test/1", "<title>Back up</title>");
  recorder->take();
  web->reload();
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/1 reload", "start", "finish http://a.test/1"}));
  EXPECT_EQ(web->pageTitle(), "Back up");
  engine->setPage("http://a.test/1", "<title>Newer</title>");
  web->reload();
  settle();
  EXPECT_EQ(web->pageTitle(), "Newer");
  EXPECT_FALSE(web->canGoBack()) << "a reload is no new entry";
}

TEST_F(WebViewTest, HtmlTextIsAPageOfItsOwnAndComesBackFromTheText) {
  web->loadHTMLString("<html><head><title> 公告\n 标题 </title></head><body><p>内容</p></body></html>");
  EXPECT_EQ(recorder->take(), (Events{"should about:blank other"}));
  settle();
  EXPECT_EQ(recorder->take(), (Events{"start", "finish about:blank"}));
  EXPECT_EQ(web->pageTitle(), "公告 标题");
  EXPECT_EQ(web->pageText(), "内容");
  web->loadRequest({"http://a.test/1"});
  settle();
  web->goBack();
  settle();
  EXPECT_EQ(web->pageTitle(), "公告 标题");
  EXPECT_EQ(engine->requested(), (std::vector<std::string>{"http://a.test/1"}));
}

TEST_F(WebViewTest, ANewLoadOrStopEndsTheRunningOneSilently) {
  engine->hold("http://a.test/1");
  web->loadRequest({"http://a.test/1"});
  settle();
  EXPECT_EQ(engine->openLoads(), 1u);
  web->loadRequest({"http://a.test/2"});
  EXPECT_EQ(engine->openLoads(), 0u);
  settle();
  engine->release("http://a.test/1");
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/1 other", "start", "should http://a.test/2 other", "start",
                                      "finish http://a.test/2"}));

  engine->hold("http://a.test/3");
  web->loadRequest({"http://a.test/3"});
  settle();
  web->stopLoading();
  EXPECT_FALSE(web->isLoading());
  engine->release("http://a.test/3");
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/3 other", "start"}));
  EXPECT_EQ(web->pageUrl(), "http://a.test/2");

  // Two loads asked for in one pass: only the later one starts.
  web->loadHTMLString("<title>first</title>");
  web->loadRequest({"http://a.test/1"});
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should about:blank other", "should http://a.test/1 other", "start",
                                      "finish http://a.test/1"}));
}

TEST_F(WebViewTest, AViewReleasedWhileLoadingCancelsAndHearsNothing) {
  engine->hold("http://a.test/1");
  web->loadRequest({"http://a.test/1"});
  settle();
  std::weak_ptr<WebView> weak = web;
  web.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(engine->openLoads(), 0u);
  engine->release("http://a.test/1");
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/1 other", "start"}));

  // Released before its start was even announced.
  auto other = WebView::create();
  other->setDelegate(recorder);
  other->loadRequest({"http://a.test/2"});
  other.reset();
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/2 other"}));
}

TEST_F(WebViewTest, TheDelegateMayDropTheViewWhileItIsTold) {
  struct Dropper : WebViewDelegate {
    std::shared_ptr<WebView> held;
    void webViewDidStartLoad(WebView&) override { held.reset(); }
  };
  auto dropper = std::make_shared<Dropper>();
  dropper->held = web;
  web->setDelegate(dropper);
  std::weak_ptr<WebView> weak = web;
  web->loadRequest({"http://a.test/1"});
  web.reset();
  settle();
  EXPECT_TRUE(weak.expired());
  EXPECT_EQ(engine->openLoads(), 0u);
}

struct PageCase {
  const char* name;
  const char* html;
  const char* url;
  const char* title;
  std::vector<WebLink> links;
  const char* text;
};

TEST(WebViewPage, ReadsTitleLinksAndText) {
  const PageCase cases[] = {
      {"plain", "<html><head><title>A</title></head><body><a href='b.html'>B</a></body></html>", "http://h/x/a.html",
       "A", {{"B", "http://h/x/b.html"}}, "B"},
      {"first title wins, white space collapsed", "<title>\n  One\t two </title><title>Other</title>", "http://h/",
       "One two", {}, ""},
      {"no title", "<p>hello <b>world</b></p>", "http://h/", "", {}, "hello world"},
      {"empty page", "", "http://h/", "", {}, ""},
      {"not closed", "<title>Cut", "http://h/", "Cut", {}, ""},
      {"absolute, root-relative, query and fragment",
       "<a href='https://o.test/p'>o</a><a href='/r?q=1'>r</a><a href='#top'>t</a><a>no href</a>",
       "http://h/dir/page", "", {{"o", "https://o.test/p"}, {"r", "http://h/r?q=1"}, {"t", "http://h/dir/page#top"}},
       "ortno href"},
      {"base element", "<head><base href='http://cdn.test/s/'></head><a href='x'>x</a>", "http://h/", "",
       {{"x", "http://cdn.test/s/x"}}, "x"},
      {"spaces and Chinese escaped", "<a href=' 说明 1.html '>说明</a>", "http://h/d/", "",
       {{"说明", "http://h/d/%E8%AF%B4%E6%98%8E%201.html"}}, "说明"},
      {"the client's own scheme stays", "<a href='nvx://pay?params=%7B%22type%22%3A1%7D'>付款</a>", "http://h/", "",
       {{"付款", "nvx://pay?params=%7B%22type%22%3A1%7D"}}, "付款"},
      {"a text page resolves nothing", "<a href='next.html'>next</a>", "about:blank", "",
       {{"next", "next.html"}}, "next"},
      {"scripts and styles are not text",
       "<style>p{}</style><script>var t='x';</script><p>one</p><div>two</div><area href='/m'>", "http://h/", "",
       {{"", "http://h/m"}}, "one two"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto page = WebView::parsePage(c.html, c.url);
    EXPECT_EQ(page.url, c.url);
    EXPECT_EQ(page.title, c.title);
    EXPECT_EQ(page.links, c.links);
    EXPECT_EQ(page.text, c.text);
  }
}

TEST(WebViewPage, SurvivesDeepNestingAndBinaryJunk) {
  std::string deep;
  for (int i = 0; i < 20000; ++i) deep += "<div>";
  deep += "<a href='/x'>x</a>";
  auto page = WebView::parsePage(deep, "http://h/");
  (void)page;   // whatever the parser kept, it returns
  std::string junk("\x00\xff<title>\xfe\x01</title>", 20);
  (void)WebView::parsePage(junk, "http://h/");
}

TEST(WebViewDescribe, ShowsThePageAndLoading) {
  auto engine = std::make_shared<ScriptedWebEngine>();
  auto web = WebView::create({0, 0, 320, 416});
  web->setEngine(engine);
  web->loadHTMLString("<title>T</title><a href='http://x.test/'>去 \"x\"</a><p>" + std::string(130, 'a') + "</p>");
  EXPECT_EQ(web->describe(), "WebView (0,0,320,416) [loading]");
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(web->describe(), "WebView (0,0,320,416) url=\"about:blank\" title=\"T\" links=\"去 \\\"x\\\"\" text=\"去 \\\"x\\\" " +
                                 std::string(114, 'a') + "…\"");
}

// --- following links as a user ---

class WebViewInspectorTest : public WebViewTest {
 protected:
  void SetUp() override {
    WebViewTest::SetUp();
    window = Window::create();
    window->makeKeyAndVisible();
    window->addSubview(web);
    web->loadRequest({"http://a.test/2"});
    settle();
    recorder->take();
  }
  std::shared_ptr<Window> window;
  Inspector inspector;
};

TEST_F(WebViewInspectorTest, FollowsALinkThroughTheDelegate) {
  ASSERT_TRUE(inspector.followLink("on").isOk());
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/3 link", "start", "finish http://a.test/3"}));
  EXPECT_EQ(web->pageTitle(), "Three");

  // The delegate may refuse a link (the page calling back into the client).
  web->goBack();
  settle();
  recorder->refuse = [](const WebRequest&) { return true; };
  recorder->take();
  ASSERT_TRUE(inspector.followLink("on").isOk());
  settle();
  EXPECT_EQ(recorder->take(), (Events{"should http://a.test/3 link"}));
  EXPECT_EQ(web->pageUrl(), "http://a.test/2");
}

TEST_F(WebViewInspectorTest, RefusesWhatAUserCouldNotTap) {
  EXPECT_FALSE(inspector.followLink("nowhere").isOk());
  auto alert = AlertView::create("提示", "稍候", "知道了");
  alert->show();
  auto covered = inspector.followLink("on");
  EXPECT_FALSE(covered.isOk());
  EXPECT_NE(covered.message().find("covered"), std::string::npos) << covered.message();
  ASSERT_TRUE(inspector.answerAlert("知道了").isOk());
  web->setHidden(true);
  EXPECT_FALSE(inspector.followLink("on").isOk());
  web->setHidden(false);
  web->setUserInteractionEnabled(false);
  EXPECT_FALSE(inspector.followLink("on").isOk());
  web->setUserInteractionEnabled(true);

  engine->setPage("http://a.test/4", "<a href='/a'>same</a><a href='/b'>same</a>");
  web->loadRequest({"http://a.test/4"});
  settle();
  auto twice = inspector.followLink("same");
  EXPECT_FALSE(twice.isOk());
  EXPECT_NE(twice.message().find("different addresses"), std::string::npos) << twice.message();
  EXPECT_TRUE(recorder->take().size() == 3);   // only the load above
}

// --- the product's engine over loopback ---

class HttpWebEngineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pages.start().isOk()); }
  bool pumpUntil(const std::function<bool()>& pred) { return RunLoop::main().drainIoUntil(pred, 5000ms); }

  standin::PageStandin pages;
};

TEST_F(HttpWebEngineTest, LoadsPagesFromAServer) {
  pages.setPage("/help/使用.html", "<title>帮助</title><a href='../nvxmbl/html/wallet_service.html'>协议</a>");
  auto web = WebView::create();
  auto recorder = std::make_shared<Recorder>();
  web->setDelegate(recorder);
  web->loadRequest({pages.url("/help/%E4%BD%BF%E7%94%A8.html")});
  ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
  EXPECT_EQ(web->pageTitle(), "帮助");
  ASSERT_EQ(web->links().size(), 1u);
  EXPECT_EQ(web->links()[0].href, pages.url("/nvxmbl/html/wallet_service.html"));
  ASSERT_TRUE(web->followLink(web->links()[0]));
  ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
  EXPECT_EQ(web->pageTitle(), "诺维萨钱包服务协议");
  // An error page is still a page.
  web->loadRequest({pages.url("/missing.html")});
  ASSERT_TRUE(pumpUntil([&] { return !web->isLoading(); }));
  EXPECT_EQ(web->pageTitle(), "404");
  EXPECT_EQ(recorder->events.back(), "finish " + pages.url("/missing.html"));
}

TEST_F(HttpWebEngineTest, FailsWhatItCannotLoad) {
  HttpWebEngine engine;
  struct Case {
    std::string url;
    WebErrorCode code;
  };
  standin::PageStandin stopped;
  ASSERT_TRUE(stopped.start().isOk());
  std::string gone = stopped.url("/x");
  stopped.stop();
  for (const auto& c : {Case{"tel:4001234567", WebErrorCode::UnsupportedUrl}, Case{"nvx://x", WebErrorCode::UnsupportedUrl},
                        Case{gone, WebErrorCode::CannotConnect}}) {
    SCOPED_TRACE(c.url);
    std::optional<WebResponse> got;
    engine.load({c.url}, [&](WebResponse r) { got = std::move(r); });
    EXPECT_FALSE(got) << "never inside load()";
    ASSERT_TRUE(pumpUntil([&] { return got.has_value(); }));
    ASSERT_TRUE(got->error);
    EXPECT_EQ(got->error->code, c.code);
    EXPECT_EQ(got->error->failingUrl, c.url);
  }
}

TEST_F(HttpWebEngineTest, ACancelledLoadNeverAnswers) {
  pages.holdPage("/slow");
  HttpWebEngine engine;
  int answers = 0;
  auto cancel = engine.load({pages.url("/slow")}, [&](WebResponse) { ++answers; });
  ASSERT_TRUE(pumpUntil([&] { return pages.waitingCount() == 1; }));
  cancel();
  cancel();
  pages.releasePage("/slow");
  ASSERT_TRUE(platform::testing::settleIo());
  EXPECT_EQ(answers, 0);
  // The double slash of the service's addresses finds the page.
  std::optional<WebResponse> got;
  engine.load({pages.url("//nvxmbl/html/wallet_service.html")}, [&](WebResponse r) { got = std::move(r); });
  ASSERT_TRUE(pumpUntil([&] { return got.has_value(); }));
  EXPECT_EQ(got->statusCode, 200);
  EXPECT_NE(got->body.find("诺维萨钱包服务协议"), std::string::npos);
}

}  // namespace
}  // namespace platform::ui
