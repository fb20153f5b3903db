// Internal to platform/net: the libcurl engine behind HttpRequest. Synchronous requests run an
// easy handle on the caller's thread; asynchronous ones go to one HTTP thread that drives a multi
// handle and posts each outcome to the main run loop.
#pragma once
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "platform/net/HttpRequest.h"

namespace platform::net {

// One start of a request: the cancel flag and, once the transfer is over, its outcome.
struct HttpRequest::Run {
  bool async = false;
  std::atomic<bool> cancelled{false};
  int status = 0;
  std::string data;
  std::optional<HttpError> error;
};

class HttpClient {
 public:
  // The process's engine (its HTTP thread starts with it; a process reset stops it).
  static HttpClient& shared();

  // Sends request (as it stands now) on the calling thread and records the outcome in run.
  static void performSynchronous(const HttpRequest& request, HttpRequest::Run& run);
  // Builds the transfer of request now, on the calling thread, and hands it to the HTTP thread.
  // The outcome reaches request->deliver(run) on the main run loop, unless run is cancelled.
  void submit(std::shared_ptr<HttpRequest> request, std::shared_ptr<HttpRequest::Run> run);
  // Stops the transfer of run if it is still under way (its flag is already set).
  void cancel(const std::shared_ptr<HttpRequest::Run>& run);
  // Main thread: the outcome of run reaches request (and its completion), unless it was cancelled.
  static void deliver(HttpRequest& request, const std::shared_ptr<HttpRequest::Run>& run);
  // Submitted transfers whose outcome has not yet run on the main loop.
  size_t unsettled() const;

  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  struct Core;

 private:
  std::shared_ptr<Core> core_;
};

}  // namespace platform::net
