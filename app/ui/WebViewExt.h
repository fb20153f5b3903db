// Web view factories of the client's look.
#pragma once
#include <memory>
#include <string>

#include "platform/ui/WebView.h"

namespace nvx {

class WebViewExt {
 public:
  static constexpr int kBusinessDescTag = 1999;

  // The business-description page: a web view at (15, 55, screen width - 30, screen height -
  // 180) that stretches with its superview, on the page colour, tagged 1999, loading the HTML
  // text with no base address.
  static std::shared_ptr<platform::ui::WebView> businessDescWebView(std::string html);
};

}  // namespace nvx
