#include "app/ui/NVXBaseProtocolViewController.h"

#include "core/text/TextExt.h"
#include "net/CoreOperations.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Text16.h"

namespace nvx {

std::shared_ptr<NVXBaseProtocolViewController> NVXBaseProtocolViewController::create() {
  return std::make_shared<NVXBaseProtocolViewController>();
}

void NVXBaseProtocolViewController::viewDidLoad() {
  NVXBaseWebViewController::viewDidLoad();
  if (!text::isEmpty(nativeHtmlName_)) {
    // A missing or unreadable file gives no text.
    contentString_.clear();
    if (auto path = text::mainBundlePath(nativeHtmlName_)) {
      if (auto bytes = platform::fs::read(platform::Path(*path)); bytes && platform::isValidUtf8(*bytes)) {
        contentString_ = std::move(*bytes);
      }
    }
  }
  if (!text::isEmpty(contentString_)) webView()->loadHTMLString(contentString_);
  if (!text::isEmpty(remoteUrl_)) setUrl(remoteUrl_);
  requestBussinessDescription();
}

void NVXBaseProtocolViewController::requestBussinessDescription() {
  if (text::isEmpty(bussinessId_)) return;
  std::weak_ptr<NVXBaseProtocolViewController> weak =
      std::static_pointer_cast<NVXBaseProtocolViewController>(shared_from_this());
  CoreOperations::getBusiDesc(bussinessId_, [weak](std::optional<std::string> content, RetStatusEntity, bool) {
    auto screen = weak.lock();
    if (!screen || !screen->webView()) return;
    screen->webView()->loadHTMLString(content.value_or(""));
  });
}

}  // namespace nvx
