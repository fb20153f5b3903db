#include "lottery/core/MStubBase.h"

#include "platform/foundation/Text16.h"
#include "platform/net/HttpRequest.h"

namespace nvx::lottery {

std::shared_ptr<MStubBase> MStubBase::create() { return std::shared_ptr<MStubBase>(new MStubBase()); }

MStubBase::~MStubBase() = default;

void MStubBase::requestnew(const std::string& address, const Bytes& body) { start(address, body); }

void MStubBase::request(const std::string& address) { start(address, Bytes()); }

void MStubBase::start(const std::string& address, const Bytes& body) {
  if (conn_) return;
  reciveData_.clear();
  conn_ = platform::net::HttpRequest::make(address);
  conn_->setMethod("POST");
  // The body goes out exactly as built (its digest covers every byte), with no header of the
  // stub's own; the main API's request hook leaves such a request alone.
  conn_->setBody(body, std::string());
  conn_->setNeedPostBody(true);
  bRequestDone_ = false;
  // The request holds the stub until its outcome has been delivered (or it was cancelled).
  auto self = shared_from_this();
  conn_->startAsynchronous(
      [self](platform::net::HttpRequest& r) {
        self->reciveData_ = r.responseData();
        self->finished();
      },
      [self](platform::net::HttpRequest& r) {
        self->reciveData_ = r.responseData();
        self->failed();
      });
}

void MStubBase::tellTextDelegates(const std::optional<std::string>& text,
                                  const std::optional<std::string>& methodName) {
  if (auto d = delegate_.lock()) d->requestFinished(text, methodName);
  if (auto d = delegateO_.lock()) d->requestFinishedO(text, methodName);
}

void MStubBase::finished() {
  std::optional<std::string> text;
  if (platform::isValidUtf8(reciveData_)) text = reciveData_;
  // A delegate may drop its last reference to the stub while it is told.
  auto self = shared_from_this();
  tellTextDelegates(text, methodName_);
  if (auto d = delegate1_.lock()) d->requestFinished1(text, methodName_);
  if (auto d = delegate2_.lock()) d->requestFinished2(text, methodName_);
  if (auto d = newDelegate_.lock()) {
    d->requestFinishedNew(reciveData_);
    d->requestFinishedNew(reciveData_, *this);
  }
  bRequestDone_ = true;
}

void MStubBase::failed() {
  auto self = shared_from_this();
  tellTextDelegates(std::nullopt, methodName_);
  if (auto d = newDelegate_.lock()) d->requestFinishedNew(reciveData_);
  bRequestDone_ = true;
}

void MStubBase::cancel() {
  if (!conn_ || bRequestDone_ || !conn_->isRunning()) return;
  conn_->cancel();
  bRequestDone_ = true;
  tellTextDelegates(std::nullopt, std::nullopt);
}

}  // namespace nvx::lottery
