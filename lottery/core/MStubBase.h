// The lottery's connection stub: one HTTP POST to the lottery server (or the older lottery
// interface), whose reply goes to the screen that asked, on the main run loop. The stub knows
// nothing of the messages: screens build them with the codec and read the raw reply themselves.
//
// A stub serves one request: idle -> running -> finished, failed or cancelled; a second request
// on a used stub is ignored. While its request runs the stub keeps itself alive, so a screen may
// drop it right after the start. Delegates are held weakly: one that has gone is never called.
//
// Who hears what:
//   finished   delegate, delegateO, delegate1, delegate2 (the reply as UTF-8 text, absent when it
//              is not UTF-8), then newDelegate: requestFinishedNew(bytes), then
//              requestFinishedNew(bytes, stub)
//   failed     delegate and delegateO (absent text); newDelegate: requestFinishedNew with what
//              was received (the HTTP client hands on no part of a broken reply: empty)
//   cancelled  delegate and delegateO (absent text and method name); nothing reaches the others
// A reply with any HTTP status (an error page too) is a finished request, handed on unchanged.
// The stub shows nothing and retries nothing; the time-out is the HTTP client's default.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "lottery/core/FBEncryptorAES.h"

namespace platform::net {
class HttpRequest;
}

namespace nvx::lottery {

class MStubBase;

// The text delegates. text: the reply decoded as UTF-8, or absent.
class delegateStubRequest {
 public:
  virtual ~delegateStubRequest() = default;
  virtual void requestFinished(const std::optional<std::string>& text, const std::optional<std::string>& methodName) = 0;
};

class delegateRequest {
 public:
  virtual ~delegateRequest() = default;
  virtual void requestFinishedO(const std::optional<std::string>& text, const std::optional<std::string>& methodName) = 0;
};

class delegateRequest1 {
 public:
  virtual ~delegateRequest1() = default;
  virtual void requestFinished1(const std::optional<std::string>& text, const std::optional<std::string>& methodName) = 0;
};

class delegateRequest2 {
 public:
  virtual ~delegateRequest2() = default;
  virtual void requestFinished2(const std::optional<std::string>& text, const std::optional<std::string>& methodName) = 0;
};

// The raw delegate of every binary lottery screen. A screen that overrides only one of the two
// operations writes `using newDelegateRequest::requestFinishedNew;` to keep the other visible.
class newDelegateRequest {
 public:
  virtual ~newDelegateRequest() = default;
  // The reply bytes; empty when the connection failed.
  virtual void requestFinishedNew(const Bytes& data) = 0;
  // After the first, on a finished request only: the same bytes and the stub (whose tag tells
  // two requests of one screen apart). Optional: a screen that does not need it leaves it.
  virtual void requestFinishedNew(const Bytes& data, MStubBase& connection) {}
};

class MStubBase : public std::enable_shared_from_this<MStubBase> {
 public:
  // A stub without connection.
  static std::shared_ptr<MStubBase> create();
  ~MStubBase();
  MStubBase(const MStubBase&) = delete;
  MStubBase& operator=(const MStubBase&) = delete;

  // Starts an HTTP POST of body to address, unless this stub already has a connection. Main
  // thread.
  void requestnew(const std::string& address, const Bytes& body);
  // The same with an empty body (the older interface takes its query in the address).
  void request(const std::string& address);
  // Stops a running request: nothing more comes from it; the text delegates delegate and
  // delegateO hear absent text. Nothing happens when no request runs.
  void cancel();
  // YES while no request of this stub is running.
  bool hasDoneRequest() const { return bRequestDone_; }

  std::weak_ptr<delegateStubRequest> delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<delegateStubRequest> d) { delegate_ = std::move(d); }
  std::weak_ptr<delegateRequest> delegateO() const { return delegateO_; }
  void setDelegateO(std::weak_ptr<delegateRequest> d) { delegateO_ = std::move(d); }
  std::weak_ptr<delegateRequest1> delegate1() const { return delegate1_; }
  void setDelegate1(std::weak_ptr<delegateRequest1> d) { delegate1_ = std::move(d); }
  std::weak_ptr<delegateRequest2> delegate2() const { return delegate2_; }
  void setDelegate2(std::weak_ptr<delegateRequest2> d) { delegate2_ = std::move(d); }
  std::weak_ptr<newDelegateRequest> newDelegate() const { return newDelegate_; }
  void setNewDelegate(std::weak_ptr<newDelegateRequest> d) { newDelegate_ = std::move(d); }
  // Handed back to the text delegates with the reply.
  const std::optional<std::string>& methodName() const { return methodName_; }
  void setMethodName(std::optional<std::string> name) { methodName_ = std::move(name); }
  // Free for the caller.
  int32_t tag() const { return tag_; }
  void setTag(int32_t tag) { tag_ = tag; }

 private:
  MStubBase() = default;
  void start(const std::string& address, const Bytes& body);
  void finished();
  void failed();
  void tellTextDelegates(const std::optional<std::string>& text, const std::optional<std::string>& methodName);

  std::shared_ptr<platform::net::HttpRequest> conn_;
  Bytes reciveData_;
  bool bRequestDone_ = true;
  std::weak_ptr<delegateStubRequest> delegate_;
  std::weak_ptr<delegateRequest> delegateO_;
  std::weak_ptr<delegateRequest1> delegate1_;
  std::weak_ptr<delegateRequest2> delegate2_;
  std::weak_ptr<newDelegateRequest> newDelegate_;
  std::optional<std::string> methodName_;
  int32_t tag_ = 0;
};

}  // namespace nvx::lottery
