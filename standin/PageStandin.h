// The stand-in of the web servers whose pages the client shows in its own browser screens: the
// service's download server with its static pages under "/nvxmbl/html/" (agreements, help, fee
// scales) and partner pages. It serves HTML by path on 127.0.0.1 over plain HTTP; repeated
// slashes in a requested path count as one ("//nvxmbl/html/x.html" is "/nvxmbl/html/x.html").
//
// It starts with the service's own pages (the wallet agreement); tests add, replace and remove
// pages, and hold a page back to play a slow server.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"

namespace standin {

class PageStandin final : public StandinServer {
 public:
  static constexpr std::string_view kWalletAgreementPath = "/nvxmbl/html/wallet_service.html";
  static constexpr std::string_view kWalletAgreementTitle = "诺维萨钱包服务协议";
  // The longest a held page keeps its request waiting (real time).
  static constexpr std::chrono::seconds kHoldLimit{10};

  PageStandin();
  ~PageStandin() override;  // stops

  platform::Status start() override;
  // Held requests are let go (answered 503) and the server stops.
  void stop() override;
  // baseUrl() ("http://127.0.0.1:<port>") followed by the path as given.
  std::string url(std::string_view path) const;
  // "127.0.0.1:<port>", the host part of the server's addresses.
  std::string host() const;

  // A page at the path (answered with this status, as text/html in UTF-8).
  void setPage(std::string path, std::string html, int status = 200);
  void removePage(const std::string& path);
  // A page made for each request of the path (it sees the query), as a partner's server makes
  // its pages; it replaces a fixed page of the path. Called under the stand-in's lock.
  using PageHandler = std::function<HttpStandin::Reply(const HttpStandin::Request&)>;
  void setPageHandler(std::string path, PageHandler handler);
  static HttpStandin::Reply html(std::string html, int status = 200);
  // Requests of the path wait until releasePage, stop() or kHoldLimit.
  void holdPage(std::string path);
  void releasePage(const std::string& path);
  // Requests now waiting on held pages.
  size_t waitingCount() const;

  // The paths requested so far (as normalised), oldest first.
  std::vector<std::string> requestedPaths() const;

  // The path with every run of "/" made one.
  static std::string normalise(std::string_view path);

 private:
  HttpStandin::Reply handle(const HttpStandin::Request& request);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, HttpStandin::Reply> pages_;
  std::map<std::string, PageHandler> handlers_;
  std::set<std::string> held_;
  std::vector<std::string> requested_;
  size_t waiting_ = 0;
  bool stopping_ = false;
};

}  // namespace standin
