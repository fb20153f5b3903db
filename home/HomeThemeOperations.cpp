#include "home/HomeThemeOperations.h"

#include "core/session/UIScreen.h"
#include "core/text/UrlEscaping.h"
#include "net/MainApiRequest.h"

namespace nvx {

namespace {

using platform::Json;

// retData of a "0000" reply when it is an object.
const Json* recordOf(const ServerReply& reply) {
  const Json* data = reply.data();
  return data && data->is_object() ? data : nullptr;
}

MainApiRequest themeRequest(const char* method) {
  return MainApiRequest::get(method, Identity::Plain).query("resulation", text::encodeURLString(UIScreen::themeResolution()));
}

}  // namespace

void HomeThemeOperations::getAdverTisement(AdvertsCompletion completion) {
  MainApiRequest::get("getAdverTisement", Identity::Plain)
      .timeout(platform::secs(kAdvertTimeoutSeconds))
      .start({[completion = std::move(completion)](ServerReply reply) {
                const Json* data = reply.data();
                if (data && data->is_array() && !data->empty()) {
                  completion(*data);
                } else {
                  completion(std::nullopt);
                }
              },
              "getAdverTisement"});
}

void HomeThemeOperations::getMobileThemeWithBlock(ThemeCompletion completion) {
  themeRequest("getMobileTheme")
      .start({[completion = std::move(completion)](ServerReply reply) {
                const Json* data = recordOf(reply);
                completion(data ? std::make_shared<ThemeEntity>(ThemeEntity::initWithJson(*data)) : nullptr);
              },
              "getMobileTheme"});
}

void HomeThemeOperations::getMobilehomePicWithBlock(HomePicCompletion completion) {
  themeRequest("getMobilehomePic")
      .start({[completion = std::move(completion)](ServerReply reply) {
                const Json* data = recordOf(reply);
                completion(data ? std::make_shared<HomePicEntity>(HomePicEntity::initWithJson(*data)) : nullptr);
              },
              "getMobilehomePic"});
}

}  // namespace nvx
