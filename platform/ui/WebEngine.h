// What a web view loads its pages through. A web view knows pages, history and its delegate; an
// engine only fetches one address and answers with the page's bytes or an error. The product's
// engine is HttpWebEngine (the HTTP client); tests and the simulator may install another
// (WebView::setDefaultEngine), such as a scripted one.
#pragma once
#include <functional>
#include <optional>
#include <string>

namespace platform::ui {

// One request of a web view: the address to load.
struct WebRequest {
  std::string url;
  bool operator==(const WebRequest&) const = default;
};

// Why a load is about to start (asked of the web view's delegate before every load).
enum class WebNavigationType { LinkClicked, FormSubmitted, BackForward, Reload, FormResubmitted, Other };

enum class WebErrorCode {
  CannotConnect = 1,   // host unknown, unreachable or refusing, connection broken
  TimedOut = 2,
  UnsupportedUrl = 3,  // an address of a scheme no engine loads (the client's own, "tel:", ...)
  BadUrl = 4,          // not an address at all
  TooLarge = 5,        // the page exceeded the engine's limit
  SecureConnectionFailed = 6,
  FrameLoadInterrupted = 102,   // the load was cut short before a page was shown (its answer was
                                // not a page the view could show)
};

// A failed load: no page arrived.
struct WebError {
  WebErrorCode code = WebErrorCode::CannotConnect;
  std::string message;     // diagnostic text, not for the user
  std::string failingUrl;
};

// What arrived for one load: a page (any status: an error page is still a page) or an error.
struct WebResponse {
  std::optional<WebError> error;
  int statusCode = 0;
  std::string body;   // the page's bytes (HTML, read as UTF-8)
};

class WebEngine {
 public:
  using Completion = std::function<void(WebResponse)>;
  // Stops a load: its completion does not run afterwards. Calling it again, or after the
  // completion ran, does nothing.
  using Cancel = std::function<void()>;

  virtual ~WebEngine() = default;
  // Starts loading the request. done runs exactly once, later, on the main run loop (never
  // inside this call), unless the load is cancelled first.
  virtual Cancel load(const WebRequest& request, Completion done) = 0;
};

}  // namespace platform::ui
