// The server operations of the reader shop and the feedback form: the reader product list and the
// suggestion on the main API, and the three mall queries that lead from the reader shop to the
// mall's product page (the reader product's id, the mall's product list, the product itself).
//
// Main-API replies come judged (ServerReply); the mall's come as the body for the synchronous
// road's reply reader (ParseTool), which the screen runs on the main thread.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/OnceCompletion.h"
#include "net/ServerReply.h"

namespace nvx {

class HomeShopOperations {
 public:
  HomeShopOperations() = delete;

  // Seconds the product list and the suggestion may take.
  static constexpr int kTimeoutSeconds = 10;
  // The mall's key of the reader product's id.
  static constexpr const char* kProductIdKey = "nvxskq.productid";
  // The one page of the mall list that is searched for the reader product.
  static constexpr int kListPage = 1;
  static constexpr int kListPageSize = 20;

  // GET "<base>getProductsList.json?uid=..&vercode=..". The completion runs once on the main
  // loop (with Cancelled after cancelRequest() on the returned request). Main thread.
  static std::shared_ptr<NetService> getProductsList(OnceCompletion<void(ServerReply)> completion);

  // The form POST "postSuggestion" with "loginName", "suggestion" and "linkedInfo" (an empty
  // login name when nobody is logged in), not yet sent: built on the main thread, sent by a
  // worker (sendSynchronously).
  static MainApiRequest suggestion(std::string loginName, std::string suggestion, std::string linkedInfo);

  // --- the mall (StringsTool::mallServerAddress) ---
  // "getValue?key=nvxskq.productid"
  static std::string productIdAddress();
  // "productList?listType=0&screenSpecs=4&pageIndex=1&pageSize=20"
  static std::string productListAddress();
  // "product?pId=<id, escaped as a form value>&screenSpecs=4"
  static std::string productAddress(std::string_view productId);

  // The body of a reply (whatever its status); nothing when no reply arrived.
  using MallReply = std::function<void(std::optional<std::string> body)>;
  // An asynchronous GET of a mall address; reply runs once on the main loop. Main thread.
  static void getMall(const std::string& address, MallReply reply);
  // The same on the calling thread, blocking until the reply or the time-out. For workers.
  static std::optional<std::string> getMallSynchronously(const std::string& address);
};

}  // namespace nvx
