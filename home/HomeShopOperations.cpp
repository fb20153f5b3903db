#include "home/HomeShopOperations.h"

#include "core/text/StringsTool.h"
#include "core/text/UrlEscaping.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

namespace {

std::optional<std::string> bodyOf(const platform::net::HttpRequest& request) {
  if (request.error()) return std::nullopt;
  return request.responseData();
}

}  // namespace

std::shared_ptr<NetService> HomeShopOperations::getProductsList(OnceCompletion<void(ServerReply)> completion) {
  return MainApiRequest::get("getProductsList", Identity::Plain)
      .timeout(std::chrono::seconds(kTimeoutSeconds))
      .start(std::move(completion));
}

MainApiRequest HomeShopOperations::suggestion(std::string loginName, std::string suggestion,
                                              std::string linkedInfo) {
  auto request = MainApiRequest::postForm("postSuggestion", Identity::Plain);
  request.timeout(std::chrono::seconds(kTimeoutSeconds))
      .field("loginName", std::move(loginName))
      .field("suggestion", std::move(suggestion))
      .field("linkedInfo", std::move(linkedInfo));
  return request;
}

std::string HomeShopOperations::productIdAddress() {
  return StringsTool::mallServerAddress() + "getValue?key=" + kProductIdKey;
}

std::string HomeShopOperations::productListAddress() {
  return StringsTool::mallServerAddress() + "productList?listType=0&screenSpecs=4&pageIndex=" +
         std::to_string(kListPage) + "&pageSize=" + std::to_string(kListPageSize);
}

std::string HomeShopOperations::productAddress(std::string_view productId) {
  // The id comes from the mall's own reply; escaped so that it stays one query value.
  return StringsTool::mallServerAddress() + "product?pId=" + text::encodeURLString(productId) + "&screenSpecs=4";
}

void HomeShopOperations::getMall(const std::string& address, MallReply reply) {
  auto request = platform::net::HttpRequest::make(address);
  auto shared = std::make_shared<MallReply>(std::move(reply));
  auto finish = [shared](platform::net::HttpRequest& done) {
    auto callback = std::move(*shared);
    *shared = nullptr;
    if (callback) callback(bodyOf(done));
  };
  request->startAsynchronous(finish, finish);
}

std::optional<std::string> HomeShopOperations::getMallSynchronously(const std::string& address) {
  auto request = platform::net::HttpRequest::make(address);
  request->startSynchronous();
  return bodyOf(*request);
}

}  // namespace nvx
