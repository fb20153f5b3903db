// The product's web engine: pages are fetched with the HTTP client (GET, redirects followed,
// HTTPS verified, 60 s time-out). Only "http" and "https" addresses load; any other scheme
// fails with UnsupportedUrl (after the delegate has allowed it, as a browser would).
//
// A page load is not a call of the client's API: the request hook that stamps API requests
// leaves it alone.
#pragma once
#include <chrono>

#include "platform/ui/WebEngine.h"

namespace platform::ui {

class HttpWebEngine : public WebEngine {
 public:
  static constexpr std::chrono::seconds kTimeout{60};

  Cancel load(const WebRequest& request, Completion done) override;
};

}  // namespace platform::ui
