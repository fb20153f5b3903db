// A headless browser view: it loads pages through a web engine, keeps a back/forward history and
// tells its delegate what happens, as the phone's web view does.
//
// Every load (a request, an HTML text, a followed link, back, forward, reload) first asks the
// delegate's webViewShouldStartLoad with the request and the navigation type; a "no" leaves
// everything as it was. An allowed load replaces one still running (which then reports
// nothing), and the view is loading from then on. On a later pass of the main run loop the
// delegate hears webViewDidStartLoad, then, when the engine answers, either
// webViewDidFinishLoad (the page is shown and enters the history) or webViewDidFailLoad (the
// page shown before stays). stopLoading ends a running load silently.
//
// History: a new page drops the pages ahead of the current one and goes on top; back and
// forward load the neighbouring entry again (an HTML text is shown again from the text), and
// canGoBack/canGoForward change when such a load finishes; reload loads the current entry again
// (or, before any page was shown, the last request that was started).
//
// A page is read as UTF-8 HTML (libxml2's HTML parser, forgiving as browsers are): its title
// (the first <title>, white space collapsed, as "document.title" gives it), its links (<a> and
// <area> elements with an href, in document order, the address resolved against the page's
// address or its <base>) and its visible text. There is no script engine: evaluating
// "document.title" answers the title, any other script "".
//
// The view owns nothing of its delegate (weak) and cancels its load when it goes away, so a
// screen popped before its page arrives is released and hears nothing more.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"
#include "platform/ui/WebEngine.h"

namespace platform::ui {

class WebView;

class WebViewDelegate {
 public:
  virtual ~WebViewDelegate() = default;
  // Asked before every load; "no" stops it before anything happens.
  virtual bool webViewShouldStartLoad(WebView& /*webView*/, const WebRequest& /*request*/,
                                      WebNavigationType /*type*/) {
    return true;
  }
  virtual void webViewDidStartLoad(WebView& /*webView*/) {}
  virtual void webViewDidFinishLoad(WebView& /*webView*/) {}
  virtual void webViewDidFailLoad(WebView& /*webView*/, const WebError& /*error*/) {}
};

// A link of the page shown.
struct WebLink {
  std::string text;   // what the user reads (white space collapsed)
  std::string href;   // the address it leads to, resolved
  bool operator==(const WebLink&) const = default;
};

// Kinds of text that a web view turns into links (stored only: no detection here).
namespace WebDataDetector {
inline constexpr int None = 0;
inline constexpr int PhoneNumber = 1 << 0;
inline constexpr int Link = 1 << 1;
inline constexpr int Address = 1 << 2;
inline constexpr int CalendarEvent = 1 << 3;
inline constexpr int All = PhoneNumber | Link | Address | CalendarEvent;
}  // namespace WebDataDetector

class WebView : public View {
 public:
  // The address of a page given as HTML text without a base address.
  static constexpr std::string_view kBlankUrl = "about:blank";

  explicit WebView(Rect frame = {});
  static std::shared_ptr<WebView> create(Rect frame = {});
  ~WebView() override;

  void setDelegate(std::weak_ptr<WebViewDelegate> delegate) { delegate_ = std::move(delegate); }
  std::shared_ptr<WebViewDelegate> delegate() const { return delegate_.lock(); }

  // The engine this view loads through (the default engine when none was set).
  void setEngine(std::shared_ptr<WebEngine> engine) { engine_ = std::move(engine); }
  std::shared_ptr<WebEngine> engine() const;
  // The engine of every web view that was given none: an HttpWebEngine unless a test or the
  // simulator installs another (forgotten when a test resets the process).
  static void setDefaultEngine(std::shared_ptr<WebEngine> engine);
  static std::shared_ptr<WebEngine> defaultEngine();

  // --- loading ---
  void loadRequest(const WebRequest& request);
  // The text as the page, with baseUrl as its address (kBlankUrl when empty).
  void loadHTMLString(std::string html, std::string baseUrl = {});
  void stopLoading();
  void reload();
  void goBack();
  void goForward();
  bool canGoBack() const { return index_ > 0; }
  bool canGoForward() const { return index_ >= 0 && index_ + 1 < static_cast<int>(history_.size()); }
  bool isLoading() const { return pending_.has_value(); }
  // The request of the page shown, or else of the last load started; nothing before any load.
  std::optional<WebRequest> request() const;

  // --- the page shown ---
  bool hasPage() const { return index_ >= 0; }
  const std::string& pageUrl() const;
  const std::string& pageTitle() const;
  const std::vector<WebLink>& links() const;
  const std::string& pageText() const;
  // "document.title" (white space around it and a closing ";" allowed) answers the title; any
  // other script answers "".
  std::string stringByEvaluatingJavaScriptFromString(std::string_view script) const;

  // A user's tap on a link of the page shown: loads its address (navigation type LinkClicked).
  // False when the page has no such link.
  bool followLink(const WebLink& link);

  // --- look (stored) ---
  bool scalesPageToFit() const { return scalesPageToFit_; }
  void setScalesPageToFit(bool on) { scalesPageToFit_ = on; }
  bool isOpaque() const { return opaque_; }
  void setOpaque(bool on) { opaque_ = on; }
  int dataDetectorTypes() const { return dataDetectors_; }
  void setDataDetectorTypes(int types) { dataDetectors_ = types; }
  // The part of the content that stretches when the view is resized (unit rectangle by default).
  Rect contentStretch() const { return contentStretch_; }
  void setContentStretch(Rect r) { contentStretch_ = r; }

  std::string kind() const override { return "WebView"; }

  // A page read from HTML text with its address (exposed for tests and fuzzing).
  struct Page {
    std::string url;
    std::string title;
    std::vector<WebLink> links;
    std::string text;
  };
  static Page parsePage(std::string_view html, std::string_view url);

 protected:
  // " url=\"...\"" " title=\"...\"" " links=\"a\"|\"b\"" " text=\"...\"" (cut after 120
  // characters) for the page shown, then " [loading]".
  void describeExtras(std::string& out) const override;

 private:
  struct Entry {
    WebRequest request;
    std::optional<std::string> html;   // a page given as text is shown again from it
    Page page;
  };
  struct Load {
    uint64_t id = 0;
    Entry entry;
    WebNavigationType type = WebNavigationType::Other;
    std::optional<int> historyIndex;   // back/forward/reload: the entry it shows again
    WebEngine::Cancel cancel;
  };

  void startLoad(Entry entry, WebNavigationType type, std::optional<int> historyIndex);
  void beginLoad(uint64_t id);
  void finishLoad(uint64_t id, WebResponse response);
  void cancelPending();

  std::weak_ptr<WebViewDelegate> delegate_;
  std::shared_ptr<WebEngine> engine_;
  std::vector<Entry> history_;
  int index_ = -1;
  std::optional<Load> pending_;
  std::optional<Entry> lastStarted_;   // the last load started, page left empty
  uint64_t nextLoadId_ = 1;

  bool scalesPageToFit_ = false;
  bool opaque_ = true;
  int dataDetectors_ = WebDataDetector::PhoneNumber;
  Rect contentStretch_{0, 0, 1, 1};
};

}  // namespace platform::ui
