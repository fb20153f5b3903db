#include "standin/PageStandin.h"

namespace standin {

namespace {

constexpr const char* kWalletAgreement =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>诺维萨钱包服务协议</title></head>\n"
    "<body><h1>诺维萨钱包服务协议</h1>\n"
    "<p>欢迎使用诺维萨钱包。开通和使用钱包前，请仔细阅读本协议的全部条款。</p>\n"
    "<p>一、钱包账户仅限本人使用，请妥善保管支付密码。</p>\n"
    "<p>二、钱包余额不计利息，充值、转账和提现以系统记录为准。</p>\n"
    "</body></html>\n";

HttpStandin::Reply htmlReply(std::string html, int status) {
  HttpStandin::Reply reply;
  reply.status = status;
  reply.body = std::move(html);
  reply.contentType = "text/html; charset=utf-8";
  return reply;
}

}  // namespace

PageStandin::PageStandin() {
  setPage(std::string(kWalletAgreementPath), kWalletAgreement);
  http().route("*", "/*", [this](const HttpStandin::Request& r) { return handle(r); });
}

PageStandin::~PageStandin() { stop(); }

platform::Status PageStandin::start() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
  }
  return StandinServer::start();
}

void PageStandin::stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  StandinServer::stop();
}

std::string PageStandin::url(std::string_view path) const { return baseUrl() + std::string(path); }

std::string PageStandin::host() const { return "127.0.0.1:" + std::to_string(http().port()); }

void PageStandin::setPage(std::string path, std::string html, int status) {
  std::lock_guard<std::mutex> lock(mutex_);
  pages_[normalise(path)] = htmlReply(std::move(html), status);
}

void PageStandin::setPageHandler(std::string path, PageHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_[normalise(path)] = std::move(handler);
}

HttpStandin::Reply PageStandin::html(std::string html, int status) { return htmlReply(std::move(html), status); }

void PageStandin::removePage(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  pages_.erase(normalise(path));
}

void PageStandin::holdPage(std::string path) {
  std::lock_guard<std::mutex> lock(mutex_);
  held_.insert(normalise(path));
}

void PageStandin::releasePage(const std::string& path) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    held_.erase(normalise(path));
  }
  changed_.notify_all();
}

size_t PageStandin::waitingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return waiting_;
}

std::vector<std::string> PageStandin::requestedPaths() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requested_;
}

std::string PageStandin::normalise(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  return out;
}

HttpStandin::Reply PageStandin::handle(const HttpStandin::Request& request) {
  const std::string path = normalise(request.path);
  std::unique_lock<std::mutex> lock(mutex_);
  requested_.push_back(path);
  if (held_.count(path)) {
    ++waiting_;
    changed_.wait_for(lock, kHoldLimit, [&] { return stopping_ || !held_.count(path); });
    --waiting_;
    if (stopping_) return HttpStandin::Reply::text("stopped", 503);
  }
  if (request.method != "GET" && request.method != "HEAD") return HttpStandin::Reply::text("method not allowed", 405);
  if (auto handler = handlers_.find(path); handler != handlers_.end()) return handler->second(request);
  auto it = pages_.find(path);
  if (it == pages_.end()) return htmlReply("<html><head><title>404</title></head><body>Not Found</body></html>", 404);
  return it->second;
}

}  // namespace standin
