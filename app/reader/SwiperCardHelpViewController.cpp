#include "app/reader/SwiperCardHelpViewController.h"

#include "net/CoreOperations.h"

namespace nvx::reader {

std::shared_ptr<SwiperCardHelpViewController> SwiperCardHelpViewController::create() {
  return std::make_shared<SwiperCardHelpViewController>();
}

void SwiperCardHelpViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  auto root = view();
  const auto bounds = root->bounds();
  webView_ = platform::ui::WebView::create(bounds);
  webView_->setScalesPageToFit(true);
  webView_->setOpaque(false);
  webView_->setDataDetectorTypes(platform::ui::WebDataDetector::None);
  webView_->setContentStretch(platform::ui::Rect{-50, 0, bounds.width + 100, bounds.height});
  root->addSubview(webView_);

  std::weak_ptr<SwiperCardHelpViewController> weak =
      std::static_pointer_cast<SwiperCardHelpViewController>(shared_from_this());
  CoreOperations::getBusiDesc(kBusinessId, [weak](std::optional<std::string> content, RetStatusEntity, bool) {
    auto screen = weak.lock();
    if (!screen || !screen->webView_) return;
    screen->webView_->loadHTMLString(content.value_or(""));
  });
}

}  // namespace nvx::reader
