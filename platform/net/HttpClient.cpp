// The libcurl engine behind HttpRequest.
#include "platform/net/HttpClient.h"

#include <curl/curl.h>

#include <cerrno>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"

namespace platform::net {

namespace {

constexpr std::string_view kTag = "Http";

// libcurl's global set-up runs once per process and is never undone (a test reset keeps it).
std::once_flag gCurlInit;

void initCurl() {
  std::call_once(gCurlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A request method is an HTTP token ("GET", "PUT", ...): anything else could smuggle text into
// the request line.
bool isToken(std::string_view s) {
  if (s.empty()) return false;
  for (unsigned char c : s) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              std::string_view("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
    if (!ok) return false;
  }
  return true;
}

bool breaksLine(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

bool startsWithHttps(std::string_view url) {
  constexpr std::string_view kScheme = "https:";
  return url.size() >= kScheme.size() && sameName(url.substr(0, kScheme.size()), kScheme);
}

struct Transfer {
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  curl_mime* mime = nullptr;
  std::string body;  // the bytes sent (curl reads them in place)
  std::string data;  // the bytes received
  size_t limit = HttpRequest::kDefaultMaxResponseBytes;
  bool tooLarge = false;
  bool httpsOnly = false;  // started on HTTPS: a redirect elsewhere is refused
  char errorText[CURL_ERROR_SIZE] = {};
  HttpRequest::Run* run = nullptr;
  // Asynchronous transfers keep their request and run alive until the outcome is handed back.
  std::shared_ptr<HttpRequest> request;
  std::shared_ptr<HttpRequest::Run> keepRun;
  RunLoop* loop = nullptr;
  std::shared_ptr<std::atomic<size_t>> unsettled;  // the engine's count, settled on the main loop

  Transfer() = default;
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;
  ~Transfer() {
    if (easy) curl_easy_cleanup(easy);
    if (mime) curl_mime_free(mime);
    if (headers) curl_slist_free_all(headers);
  }
};

size_t writeBody(char* ptr, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t length = size * count;
  if (length > t->limit - t->data.size()) {
    t->tooLarge = true;
    return 0;  // anything but length aborts the transfer
  }
  if (t->data.empty()) {
    // One allocation for a body of announced length (at most the limit).
    curl_off_t announced = -1;
    curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced > 0 && static_cast<uint64_t>(announced) <= t->limit)
      t->data.reserve(static_cast<size_t>(announced));
  }
  t->data.append(ptr, length);
  return length;
}

// Called often during a transfer (also while it waits): stops it once cancelled, or when the
// process shuts down and must join the thread that runs it.
int checkCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* t = static_cast<Transfer*>(user);
  return (t->run->cancelled.load() || Thread::stopping()) ? 1 : 0;
}

HttpError transportError(const Transfer& t, CURLcode rc) {
  std::string detail = t.errorText[0] != '\0' ? std::string(t.errorText) : curl_easy_strerror(rc);
  switch (rc) {
    case CURLE_OPERATION_TIMEDOUT:
      return {HttpErrorCode::TimedOut, detail};
    case CURLE_COULDNT_CONNECT: {
      long osErrno = 0;
      curl_easy_getinfo(t.easy, CURLINFO_OS_ERRNO, &osErrno);
      if (osErrno == ECONNREFUSED) return {HttpErrorCode::ConnectionRefused, detail};
      return {HttpErrorCode::ConnectionFailed, detail};
    }
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
      return {HttpErrorCode::TlsFailure, detail};
    case CURLE_ABORTED_BY_CALLBACK:
      return {HttpErrorCode::Cancelled, "cancelled"};
    case CURLE_FILESIZE_EXCEEDED:
      return {HttpErrorCode::ResponseTooLarge, detail};
    case CURLE_WRITE_ERROR:
      if (t.tooLarge) {
        return {HttpErrorCode::ResponseTooLarge,
                "reply body larger than " + std::to_string(t.limit) + " bytes"};
      }
      return {HttpErrorCode::ConnectionFailed, detail};
    case CURLE_UNSUPPORTED_PROTOCOL:
      // The address was HTTPS (checked before sending), so only a redirect can have led here.
      if (t.httpsOnly) return {HttpErrorCode::TlsFailure, "redirect away from HTTPS refused: " + detail};
      return {HttpErrorCode::InvalidRequest, detail};
    case CURLE_URL_MALFORMAT:
    case CURLE_READ_ERROR:
      return {HttpErrorCode::InvalidRequest, detail};
    default:
      return {HttpErrorCode::ConnectionFailed, detail};
  }
}

void fail(HttpRequest::Run* run, HttpErrorCode code, std::string message) {
  run->status = 0;
  run->data.clear();
  run->error = HttpError{code, std::move(message)};
}

std::string urlEncodedForm(CURL* easy, const std::vector<PostField>& fields) {
  std::string out;
  auto escape = [&](const std::string& s) {
    char* e = curl_easy_escape(easy, s.data(), static_cast<int>(s.size()));
    if (e) {
      out += e;
      curl_free(e);
    }
  };
  for (const auto& f : fields) {
    if (!out.empty()) out += '&';
    escape(f.key);
    out += '=';
    escape(f.value);
  }
  return out;
}

bool addHeader(Transfer& t, const std::string& line) {
  curl_slist* next = curl_slist_append(t.headers, line.c_str());
  if (!next) return false;
  t.headers = next;
  return true;
}

// Builds the transfer of the request as it stands. On a request that cannot be sent, records
// the failure in run and returns nothing.
std::unique_ptr<Transfer> prepare(const HttpRequest& r, HttpRequest::Run* run) {
  initCurl();
  auto t = std::make_unique<Transfer>();
  t->run = run;
  t->easy = curl_easy_init();
  if (!t->easy) {
    fail(run, HttpErrorCode::ConnectionFailed, "the HTTP client could not start a transfer");
    return nullptr;
  }
  CURL* e = t->easy;
  if (r.refusal()) {
    fail(run, HttpErrorCode::InvalidRequest, "refused before sending: " + *r.refusal());
    return nullptr;
  }
  const std::string& method = r.method();
  if (!isToken(method)) {
    fail(run, HttpErrorCode::InvalidRequest, "not a request method: \"" + method + "\"");
    return nullptr;
  }
  if (r.url().empty() || breaksLine(r.url())) {
    fail(run, HttpErrorCode::InvalidRequest, "not a request address");
    return nullptr;
  }
  curl_easy_setopt(e, CURLOPT_URL, r.url().c_str());
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, t->errorText);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 5L);
  // A request that started on HTTPS stays on it: a redirect to plain HTTP would send the body
  // (tokens, signed fields) again in clear.
  t->httpsOnly = startsWithHttps(r.url());
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, t->httpsOnly ? "https" : "http,https");

  Duration timeout = r.timeout() > Duration::zero() ? r.timeout() : HttpRequest::kDefaultTimeout;
  long timeoutMs = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(timeout).count());
  if (timeoutMs < 1) timeoutMs = 1;
  curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);

  // Certificates are always checked: peer against the CA set, name against the address.
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, 2L);
  Path ca = HttpRequest::caFile();
  if (!ca.empty()) {
    curl_easy_setopt(e, CURLOPT_CAINFO, ca.c_str());
    curl_easy_setopt(e, CURLOPT_CAPATH, nullptr);  // only the chosen CAs, not the system's too
  }

  if (r.persistentConnection()) {
    curl_easy_setopt(e, CURLOPT_MAXAGE_CONN, 60L);
  } else {
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(e, CURLOPT_FRESH_CONNECT, 1L);
    addHeader(*t, "Connection: close");
  }
  // No "Expect: 100-continue" round trip before larger bodies.
  addHeader(*t, "Expect:");
  bool callerContentType = false;
  for (const auto& [name, value] : r.requestHeaders()) {
    if (!isToken(name) || breaksLine(value)) {
      fail(run, HttpErrorCode::InvalidRequest, "bad request header \"" + name + "\"");
      return nullptr;
    }
    if (sameName(name, "Content-Type")) callerContentType = true;
    addHeader(*t, value.empty() ? name + ";" : name + ": " + value);
  }

  // The body: the request's own, multipart once a file is attached, else the URL-encoded form.
  enum class Body { None, Bytes, Multipart } body = Body::None;
  std::string contentType;
  bool methodTakesBody = method == "POST" || method == "PUT";
  // GET and HEAD never carry a body: servers do not read one, and on a kept-alive connection
  // the unread bytes would be taken for the next request.
  bool bodyless = method == "GET" || method == "HEAD";
  if (bodyless) {
    if (r.body() || !r.uploads().empty() || !r.postFields().empty())
      log::warning(kTag, "a " + method + " request carries no body: its fields and files are not sent");
  } else if (r.body()) {
    body = Body::Bytes;
    t->body = *r.body();
    contentType = r.bodyContentType();
  } else if (!r.uploads().empty()) {
    body = Body::Multipart;
    t->mime = curl_mime_init(e);
    for (const auto& f : r.postFields()) {
      curl_mimepart* part = curl_mime_addpart(t->mime);
      curl_mime_name(part, f.key.c_str());
      curl_mime_data(part, f.value.data(), f.value.size());
    }
    for (const auto& u : r.uploads()) {
      std::error_code ec;
      std::ifstream probe(u.file, std::ios::binary);
      if (!std::filesystem::is_regular_file(u.file, ec) || !probe) {
        fail(run, HttpErrorCode::InvalidRequest, "cannot read the file to upload: " + u.file.filename().string());
        return nullptr;
      }
      curl_mimepart* part = curl_mime_addpart(t->mime);
      curl_mime_name(part, u.field.c_str());
      curl_mime_filedata(part, u.file.c_str());
      curl_mime_type(part, u.contentType.c_str());
    }
  } else if (r.isFormRequest() && (!r.postFields().empty() || methodTakesBody)) {
    body = Body::Bytes;
    t->body = urlEncodedForm(e, r.postFields());
    contentType = "application/x-www-form-urlencoded; charset=utf-8";
  } else if (methodTakesBody) {
    body = Body::Bytes;  // an empty body, announced with its length
  }

  if (body == Body::Bytes) {
    curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(t->body.size()));
    curl_easy_setopt(e, CURLOPT_POSTFIELDS, t->body.data());
    if (!callerContentType) addHeader(*t, contentType.empty() ? "Content-Type:" : "Content-Type: " + contentType);
  } else if (body == Body::Multipart) {
    curl_easy_setopt(e, CURLOPT_MIMEPOST, t->mime);
  }
  if (method == "HEAD") {
    curl_easy_setopt(e, CURLOPT_NOBODY, 1L);
  } else if (method == "GET" && body == Body::None) {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  } else if (method != "POST" || body == Body::None) {
    curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
  }
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, t->headers);

  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, writeBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, t.get());
  t->limit = HttpRequest::maxResponseBytes();
  curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(t->limit));
  curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, checkCancel);
  curl_easy_setopt(e, CURLOPT_XFERINFODATA, t.get());
  return t;
}

// Records the outcome of a finished transfer in its run.
void finish(Transfer& t, CURLcode rc) {
  long status = 0;
  curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
  t.run->status = static_cast<int>(status);
  if (rc == CURLE_OK) {
    t.run->data = std::move(t.data);
    t.run->error.reset();
  } else {
    t.run->data.clear();  // an incomplete body is no reply
    t.run->error = transportError(t, rc);
    log::debug(kTag, "request failed: " + t.run->error->message);
  }
}

// Hands an asynchronous transfer's request back to the main run loop. The transfer (its curl
// handle) ends here; the request, and whatever its completions hold, is released on the main
// thread, and the start counts as settled once that has run.
void handBack(std::unique_ptr<Transfer> t) {
  auto request = std::move(t->request);
  auto run = std::move(t->keepRun);
  RunLoop* loop = t->loop;
  std::shared_ptr<std::atomic<size_t>> unsettled = std::move(t->unsettled);
  t.reset();
  loop->post([request = std::move(request), run = std::move(run), unsettled = std::move(unsettled)] {
    if (request) HttpClient::deliver(*request, run);
    if (unsettled) --*unsettled;
  });
}

}  // namespace

struct HttpClient::Core {
  std::shared_ptr<std::atomic<size_t>> unsettled = std::make_shared<std::atomic<size_t>>(0);
  std::mutex mutex;
  std::deque<std::unique_ptr<Transfer>> incoming;
  std::vector<std::shared_ptr<HttpRequest::Run>> cancels;
  std::vector<std::unique_ptr<Transfer>> leftovers;  // in flight when the process stopped
  std::atomic<bool> stop{false};
  CURLM* multi = nullptr;

  ~Core() {
    leftovers.clear();
    incoming.clear();
    if (multi) curl_multi_cleanup(multi);
  }

  // The HTTP thread.
  void drive() {
    Thread::Idle idle;  // waits on sockets, which no virtual clock drives
    std::map<CURL*, std::unique_ptr<Transfer>> active;
    while (!stop.load() && !Thread::stopping()) {
      std::deque<std::unique_ptr<Transfer>> arrived;
      std::vector<std::shared_ptr<HttpRequest::Run>> cancelled;
      {
        std::lock_guard<std::mutex> lock(mutex);
        arrived.swap(incoming);
        cancelled.swap(cancels);
      }
      for (auto& t : arrived) {
        if (t->run->cancelled.load()) {
          handBack(std::move(t));
          continue;
        }
        CURLMcode mc = curl_multi_add_handle(multi, t->easy);
        if (mc != CURLM_OK) {
          fail(t->run, HttpErrorCode::ConnectionFailed, curl_multi_strerror(mc));
          handBack(std::move(t));
          continue;
        }
        CURL* easy = t->easy;
        active.emplace(easy, std::move(t));
      }
      for (const auto& run : cancelled) {
        for (auto it = active.begin(); it != active.end(); ++it) {
          if (it->second->keepRun != run) continue;
          curl_multi_remove_handle(multi, it->first);
          handBack(std::move(it->second));
          active.erase(it);
          break;
        }
      }
      int running = 0;
      curl_multi_perform(multi, &running);
      int left = 0;
      while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
        if (msg->msg != CURLMSG_DONE) continue;
        CURL* easy = msg->easy_handle;
        CURLcode rc = msg->data.result;
        auto it = active.find(easy);
        if (it == active.end()) continue;
        curl_multi_remove_handle(multi, easy);
        std::unique_ptr<Transfer> t = std::move(it->second);
        active.erase(it);
        finish(*t, rc);
        handBack(std::move(t));
      }
      curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (auto& [easy, t] : active) {
      curl_multi_remove_handle(multi, easy);
      leftovers.push_back(std::move(t));
    }
  }
};

HttpClient& HttpClient::shared() { return Process::current().shared<HttpClient>(); }

HttpClient::HttpClient() : core_(std::make_shared<Core>()) {
  initCurl();
  core_->multi = curl_multi_init();
  auto core = core_;
  Process::current().onShutdown([core] {
    core->stop = true;
    curl_multi_wakeup(core->multi);
  });
  Thread::detach("nvx-http", [core] { core->drive(); });
}

HttpClient::~HttpClient() {
  core_->stop = true;
  curl_multi_wakeup(core_->multi);
}

void HttpClient::performSynchronous(const HttpRequest& request, HttpRequest::Run& run) {
  auto t = prepare(request, &run);
  if (!t) return;
  // Unsettled until the thread is busy again with the outcome (after its Idle scope below), so
  // that a test waiting for quiet sees either the start or the busy thread.
  std::shared_ptr<std::atomic<size_t>> unsettled = shared().core_->unsettled;
  ++*unsettled;
  struct Settle {
    std::atomic<size_t>& count;
    ~Settle() { --count; }
  } settle{*unsettled};
  // A multi handle of its own rather than curl_easy_perform, so that the wait wakes every few
  // milliseconds to notice cancel() from another thread or a process shutdown.
  CURLM* multi = curl_multi_init();
  if (!multi || curl_multi_add_handle(multi, t->easy) != CURLM_OK) {
    if (multi) curl_multi_cleanup(multi);
    fail(&run, HttpErrorCode::ConnectionFailed, "the HTTP client could not start a transfer");
    return;
  }
  CURLcode rc = CURLE_OK;
  {
    Thread::Idle idle;  // waits on the network, not on the clock
    for (;;) {
      int running = 0;
      CURLMcode mc = curl_multi_perform(multi, &running);
      int left = 0;
      bool done = false;
      while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == t->easy) {
          rc = msg->data.result;
          done = true;
        }
      }
      if (done) break;
      if (mc != CURLM_OK) {
        rc = CURLE_FAILED_INIT;
        break;
      }
      if (run.cancelled.load() || Thread::stopping()) {
        rc = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      curl_multi_poll(multi, nullptr, 0, 20, nullptr);
    }
  }
  curl_multi_remove_handle(multi, t->easy);
  curl_multi_cleanup(multi);
  finish(*t, rc);
}

void HttpClient::submit(std::shared_ptr<HttpRequest> request, std::shared_ptr<HttpRequest::Run> run) {
  RunLoop* loop = &RunLoop::main();
  ++*core_->unsettled;
  auto t = prepare(*request, run.get());
  if (!t) {
    // Refused before it was sent: the failure still arrives later, on the main run loop.
    loop->post([request = std::move(request), run = std::move(run), unsettled = core_->unsettled] {
      deliver(*request, run);
      --*unsettled;
    });
    return;
  }
  t->request = std::move(request);
  t->keepRun = std::move(run);
  t->loop = loop;
  t->unsettled = core_->unsettled;
  {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->incoming.push_back(std::move(t));
  }
  curl_multi_wakeup(core_->multi);
}

void HttpClient::cancel(const std::shared_ptr<HttpRequest::Run>& run) {
  {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->cancels.push_back(run);
  }
  curl_multi_wakeup(core_->multi);
}

void HttpClient::deliver(HttpRequest& request, const std::shared_ptr<HttpRequest::Run>& run) {
  request.deliver(run);
}

size_t HttpClient::unsettled() const { return core_->unsettled->load(); }

}  // namespace platform::net
