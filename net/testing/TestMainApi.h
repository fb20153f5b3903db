// Test-only: a plain HTTP server standing in for the main API (base ".../iphone/"), answering
// each method path with the reply the test set, and the pumping helpers of the request tests.
#pragma once
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "net/ServerConfig.h"
#include "platform/foundation/RunLoop.h"
#include "standin/HttpStandin.h"

namespace nvx::testing {

class TestMainApi {
 public:
  using Reply = standin::HttpStandin::Reply;
  using Request = standin::HttpStandin::Request;
  using Handler = std::function<Reply(const Request&)>;

  // Starts the server and points the client's main API address at it.
  TestMainApi() {
    server_.route("*", "/iphone/*", [this](const Request& r) {
      Handler handler;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = handlers_.find(r.path.substr(std::string("/iphone/").size()));
        if (it != handlers_.end()) handler = it->second;
      }
      return handler ? handler(r) : Reply::text("not found", 404);
    });
    started_ = server_.start().isOk();
    EXPECT_TRUE(started_) << "the test server did not start";
    ServerConfig::current().setMainApiBase(base());
  }

  ~TestMainApi() { server_.stop(); }  // before the handlers go
  TestMainApi(const TestMainApi&) = delete;
  TestMainApi& operator=(const TestMainApi&) = delete;

  // "http://127.0.0.1:<port>/iphone/"
  std::string base() const { return server_.baseUrl() + "/iphone/"; }

  // The reply for "<method>.json" (with or without a "/" and an argument after the method).
  void on(const std::string& method, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    handlers_[method + ".json"] = std::move(handler);
  }
  void onJson(const std::string& method, std::string body, int status = 200) {
    on(method, [body = std::move(body), status](const Request&) { return Reply::json(body, status); });
  }

  standin::HttpStandin& server() { return server_; }

  // Pumps the main run loop (real time, bounded) until pred holds.
  static bool pumpUntil(const std::function<bool()>& pred,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    return platform::RunLoop::main().drainIoUntil(pred, limit);
  }

 private:
  standin::HttpStandin server_;
  bool started_ = false;
  std::mutex mutex_;
  std::map<std::string, Handler> handlers_;
};

}  // namespace nvx::testing
