#include "platform/ui/HttpWebEngine.h"

#include <memory>
#include <string_view>

#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpRequest.h"

namespace platform::ui {

namespace {

using platform::net::HttpErrorCode;
using platform::net::HttpRequest;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

WebErrorCode codeOf(HttpErrorCode code) {
  switch (code) {
    case HttpErrorCode::TimedOut:
      return WebErrorCode::TimedOut;
    case HttpErrorCode::TlsFailure:
      return WebErrorCode::SecureConnectionFailed;
    case HttpErrorCode::ResponseTooLarge:
      return WebErrorCode::TooLarge;
    case HttpErrorCode::InvalidRequest:
      return WebErrorCode::BadUrl;
    case HttpErrorCode::ConnectionFailed:
    case HttpErrorCode::ConnectionRefused:
    case HttpErrorCode::Cancelled:
      break;
  }
  return WebErrorCode::CannotConnect;
}

// The completion, run at most once whichever road ends the load.
struct Pending {
  WebEngine::Completion done;
  void finish(WebResponse response) {
    auto f = std::move(done);
    done = nullptr;
    if (f) f(std::move(response));
  }
};

}  // namespace

WebEngine::Cancel HttpWebEngine::load(const WebRequest& request, Completion done) {
  auto pending = std::make_shared<Pending>();
  pending->done = std::move(done);

  if (!startsWithNoCase(request.url, "http://") && !startsWithNoCase(request.url, "https://")) {
    WebError error{WebErrorCode::UnsupportedUrl, "no engine loads this scheme", request.url};
    dispatchMain([pending, error] { pending->finish(WebResponse{error, 0, {}}); });
    return [pending] { pending->done = nullptr; };
  }

  auto http = HttpRequest::make(request.url);
  http->setTimeout(kTimeout);
  // Pages are not API calls: no "ver", "custlev" or MAC stamped into their addresses.
  http->setNeedPostBody(true);
  http->addRequestHeader("Accept", "text/html,application/xhtml+xml,*/*;q=0.8");
  const std::string url = request.url;
  http->startAsynchronous(
      [pending](HttpRequest& r) { pending->finish(WebResponse{std::nullopt, r.statusCode(), r.responseData()}); },
      [pending, url](HttpRequest& r) {
        WebError error{WebErrorCode::CannotConnect, "the page could not be loaded", url};
        if (r.error()) {
          error.code = codeOf(r.error()->code);
          error.message = r.error()->message;
        }
        pending->finish(WebResponse{error, r.statusCode(), {}});
      });
  std::weak_ptr<HttpRequest> weak = http;
  return [pending, weak] {
    pending->done = nullptr;
    if (auto r = weak.lock()) r->cancel();
  };
}

}  // namespace platform::ui
