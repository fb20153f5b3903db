#include "app/ui/ApplicationExt.h"

#include <string>

#include "core/text/UrlEscaping.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Log.h"

namespace nvx {

bool ApplicationExt::openScheme(std::string_view scheme, std::string_view msg) {
  if (scheme.empty()) return false;
  std::string url = std::string(scheme) + "://";
  if (!msg.empty()) {
    auto escaped = text::escapesUTF8Url(msg);
    if (!escaped) {
      platform::log::warning("ApplicationExt", "message is not UTF-8: nothing opened");
      return false;
    }
    url += *escaped;
  }
  auto& opener = platform::UrlOpener::shared();
  return opener.canOpen(url) && opener.open(url);
}

bool ApplicationExt::openDefaultTargetAppWithMsg(std::string_view msg) { return openScheme({}, msg); }

}  // namespace nvx
