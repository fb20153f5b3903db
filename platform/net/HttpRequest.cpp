#include "platform/net/HttpRequest.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/net/HttpClient.h"

namespace platform::net {

namespace {

constexpr std::string_view kTag = "Http";

// Process-wide settings of the HTTP client (fresh after every test reset).
struct HttpSettings {
  std::mutex mutex;
  std::vector<HttpRequest::Hook> hooks;
  Path caFile;
  size_t maxResponseBytes = HttpRequest::kDefaultMaxResponseBytes;
};

HttpSettings& settings() { return Process::current().shared<HttpSettings>(); }

// make_shared needs a constructor it can reach.
struct MadeRequest final : HttpRequest {
  MadeRequest(std::string url, bool formRequest) : HttpRequest(std::move(url), formRequest) {}
};

}  // namespace

std::shared_ptr<HttpRequest> HttpRequest::make(std::string url, bool formRequest) {
  return std::make_shared<MadeRequest>(std::move(url), formRequest);
}

HttpRequest::HttpRequest(std::string url, bool formRequest)
    : url_(std::move(url)), method_(formRequest ? "POST" : "GET"), formRequest_(formRequest) {}

HttpRequest::~HttpRequest() = default;

void HttpRequest::addRequestHeader(std::string name, std::string value) {
  headers_.emplace_back(std::move(name), std::move(value));
}

void HttpRequest::addPostValue(std::string key, std::string value) {
  if (key.empty()) return;
  fields_.push_back(PostField{std::move(key), std::move(value)});
}

void HttpRequest::setPostValue(std::string key, std::string value) {
  if (key.empty()) return;
  std::erase_if(fields_, [&](const PostField& f) { return f.key == key; });
  fields_.push_back(PostField{std::move(key), std::move(value)});
}

std::optional<std::string> HttpRequest::postValue(std::string_view key) const {
  for (const auto& f : fields_) {
    if (f.key == key) return f.value;
  }
  return std::nullopt;
}

bool HttpRequest::hasPostValue(std::string_view key) const { return postValue(key).has_value(); }

bool HttpRequest::removeFirstPostValue(std::string_view key) {
  auto it = std::find_if(fields_.begin(), fields_.end(), [&](const PostField& f) { return f.key == key; });
  if (it == fields_.end()) return false;
  fields_.erase(it);
  return true;
}

void HttpRequest::addFile(std::string field, Path file, std::string contentType) {
  uploads_.push_back(Upload{std::move(field), std::move(file), std::move(contentType)});
}

void HttpRequest::setBody(std::string bytes, std::string contentType) {
  body_ = std::move(bytes);
  bodyContentType_ = std::move(contentType);
}

void HttpRequest::runHooks() {
  std::vector<Hook> hooks;
  {
    auto& s = settings();
    std::lock_guard<std::mutex> lock(s.mutex);
    hooks = s.hooks;
  }
  for (auto& hook : hooks) hook(*this);
}

std::shared_ptr<HttpRequest::Run> HttpRequest::begin(bool async) {
  std::lock_guard<std::mutex> lock(runMutex_);
  if (running_.load()) return nullptr;
  run_ = std::make_shared<Run>();
  run_->async = async;
  running_ = true;
  statusCode_ = 0;
  responseData_.clear();
  error_.reset();
  return run_;
}

void HttpRequest::startSynchronous() {
  if (running_.load()) {
    log::warning(kTag, "a request was started again while it runs; ignored");
    return;
  }
  runHooks();
  auto run = begin(false);
  if (!run) return;
  HttpClient::performSynchronous(*this, *run);
  std::lock_guard<std::mutex> lock(runMutex_);
  statusCode_ = run->status;
  responseData_ = std::move(run->data);
  error_ = run->error;
  refusal_.reset();
  if (run->cancelled.load()) {
    responseData_.clear();
    error_ = HttpError{HttpErrorCode::Cancelled, "cancelled"};
  }
  run_.reset();
  running_ = false;
}

void HttpRequest::startAsynchronous(Completion done, Completion failed) {
  std::shared_ptr<HttpRequest> self = weak_from_this().lock();
  if (!self) {
    log::error(kTag, "an asynchronous request must be owned by a shared_ptr; not started");
    return;
  }
  if (running_.load()) {
    log::warning(kTag, "a request was started again while it runs; ignored");
    return;
  }
  runHooks();
  auto run = begin(true);
  if (!run) return;
  {
    std::lock_guard<std::mutex> lock(runMutex_);
    done_ = std::move(done);
    failed_ = std::move(failed);
  }
  HttpClient::shared().submit(std::move(self), std::move(run));
}

void HttpRequest::deliver(const std::shared_ptr<Run>& run) {
  Completion done;
  Completion failed;
  bool cancelled = false;
  {
    std::lock_guard<std::mutex> lock(runMutex_);
    if (run_ != run) return;  // already settled (cancelled)
    run_.reset();
    running_ = false;
    refusal_.reset();
    cancelled = run->cancelled.load();
    if (cancelled) {
      statusCode_ = 0;
      responseData_.clear();
      error_ = HttpError{HttpErrorCode::Cancelled, "cancelled"};
    } else {
      statusCode_ = run->status;
      responseData_ = std::move(run->data);
      error_ = run->error;
    }
    done = std::move(done_);
    failed = std::move(failed_);
    done_ = nullptr;
    failed_ = nullptr;
  }
  if (cancelled) return;  // both completions are released here, on the main thread
  if (!error_) {
    if (done) done(*this);
  } else if (failed) {
    failed(*this);
  }
}

void HttpRequest::cancel() {
  std::shared_ptr<Run> run;
  {
    std::lock_guard<std::mutex> lock(runMutex_);
    run = run_;
  }
  if (!run) return;
  run->cancelled = true;
  if (!run->async) return;  // startSynchronous sees the flag and returns
  HttpClient::shared().cancel(run);
  RunLoop& main = RunLoop::main();
  if (main.isMainThread()) {
    deliver(run);
  } else {
    main.post([self = shared_from_this(), run] { self->deliver(run); });
  }
}

void HttpRequest::addPreStartHook(Hook hook) {
  auto& s = settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.hooks.push_back(std::move(hook));
}

void HttpRequest::fireAndForget(std::string url) {
  auto request = make(std::move(url));
  auto run = request->begin(true);
  HttpClient::shared().submit(std::move(request), std::move(run));
}

size_t HttpRequest::unsettledStarts() {
  auto* client = Process::current().sharedIfExists<HttpClient>();
  return client ? client->unsettled() : 0;
}

void HttpRequest::setCaFile(Path file) {
  auto& s = settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.caFile = std::move(file);
}

Path HttpRequest::caFile() {
  auto& s = settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.caFile;
}

void HttpRequest::setMaxResponseBytes(size_t bytes) {
  auto& s = settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.maxResponseBytes = bytes;
}

size_t HttpRequest::maxResponseBytes() {
  auto& s = settings();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.maxResponseBytes;
}

}  // namespace platform::net
