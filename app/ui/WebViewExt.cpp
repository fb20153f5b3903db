#include "app/ui/WebViewExt.h"

#include "app/ui/ColorExt.h"
#include "platform/device/Device.h"

namespace nvx {

namespace {

constexpr int kFlexibleWidth = 1 << 1;
constexpr int kFlexibleHeight = 1 << 4;

}  // namespace

std::shared_ptr<platform::ui::WebView> WebViewExt::businessDescWebView(std::string html) {
  const auto& screen = platform::Device::screen().bounds;
  auto web = platform::ui::WebView::create(platform::ui::Rect{15, 55, screen.width - 30, screen.height - 180});
  web->setAutoresizingMask(kFlexibleWidth | kFlexibleHeight);
  web->setBackgroundColor(ColorExt::defaultPageViewBgColor());
  web->setTag(kBusinessDescTag);
  web->loadHTMLString(std::move(html));
  return web;
}

}  // namespace nvx
