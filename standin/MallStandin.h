// The mall-server stand-in: plain HTTP on 127.0.0.1, answering GET calls by name under the mall
// base "/websrv/mobileclient/<name>" and the second-generation base
// "/websrv/mobileclient_2_0v/<name>" with the main API's reply envelope
// {"retStatus":{"retCode","errMsg"},"retData"} ("errMsg" is "OK" on success).
//
// Out of the box it answers the calls the home screens make: "pageHomeList" (by "pageType",
// paged by "pageIndex"/"pageSize"), "product" (by "pId"), "productList" (paged) and "getValue"
// (by "key"; "nvxskq.productid" names the card reader sold in the mall). Tests replace the data,
// script an error answer per call, and read the request log through http(). Later features add
// their calls with addRoute().
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/HttpStandin.h"

namespace standin {

class MallStandin final : public StandinServer, public ServiceCodes {
 public:
  static constexpr std::string_view kBasePath = "/websrv/mobileclient/";
  static constexpr std::string_view kSecondBasePath = "/websrv/mobileclient_2_0v/";
  // The key whose value is the id of the card reader the mall sells, and that product's id.
  static constexpr std::string_view kReaderProductKey = "nvxskq.productid";
  static constexpr std::string_view kReaderProductId = "20131";
  static constexpr std::string_view kNotFound = "2005";

  // What a handler answers: the envelope's code and text and its "retData" (absent when null).
  struct Answer {
    std::string code{ServiceCodes::kOk};
    std::string message = "OK";
    platform::Json data;
    static Answer ok(platform::Json data) { return Answer{std::string(ServiceCodes::kOk), "OK", std::move(data)}; }
    static Answer error(std::string_view code, std::string message) {
      return Answer{std::string(code), std::move(message), nullptr};
    }
  };
  using Route = std::function<Answer(const HttpStandin::Request&)>;

  MallStandin();
  ~MallStandin() override;

  // The client's mall base ("http://127.0.0.1:<port>/websrv/mobileclient/") and the
  // second-generation base beside it.
  std::string mallAddress() const;
  std::string secondAddress() const;

  // Answers GET <either base><name> (a name ending in "/" takes every path under it). Handlers run
  // one at a time under the stand-in's lock; registering a name again replaces it.
  void addRoute(std::string name, Route route);

  // The data the built-in calls serve.
  void setHomeList(int pageType, std::vector<platform::Json> entries);
  void setProducts(std::vector<platform::Json> products);
  void setValue(std::string key, std::string value);
  // The next `times` calls of name answer this error instead.
  void scriptError(std::string name, std::string code, std::string message, int times = 1);

  // A product as "product" answers it and "productList" lists it (prices in fen).
  static platform::Json makeProduct(std::string_view id, std::string_view title, int salePriceFen);
  // An entry of a home list: idType "1".."4" and its target.
  static platform::Json makeHomeEntry(std::string_view id, std::string_view name, std::string_view idType,
                                      std::string_view pageContent, std::string_view status = "0");

  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace standin
