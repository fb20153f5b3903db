#include "mall/MallThemeViewController.h"

#include "core/text/UrlEscaping.h"
#include "platform/foundation/Log.h"

namespace nvx {

std::shared_ptr<MallThemeViewController> MallThemeViewController::create() {
  return std::make_shared<MallThemeViewController>();
}

void MallThemeViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  const std::string url = thematicEntity_ ? thematicEntity_->url() : std::string();

  if (auto title = platform::json::text(text::paramsOfUrl(url), "title")) setTitle(*title);

  auto content = view();
  webview_ = platform::ui::WebView::create(platform::ui::Rect{0, 0, content->frame().width, content->frame().height});
  webview_->setDelegate(std::static_pointer_cast<MallThemeViewController>(shared_from_this()));
  content->addSubview(webview_);

  // An address that is not UTF-8 cannot be escaped: the page stays empty.
  if (auto escaped = text::escapesUTF8Url(url)) {
    webview_->loadRequest(platform::ui::WebRequest{*escaped});
  } else {
    platform::log::warning(kClassName, "the subject's address is not UTF-8; nothing loaded");
  }
}

}  // namespace nvx
