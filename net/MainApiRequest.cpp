#include "net/MainApiRequest.h"

#include "net/RequestHook.h"

namespace nvx {

MainApiRequest::MainApiRequest(std::string method, std::string path, Identity identity, RequestSession session)
    : method_(std::move(method)), path_(std::move(path)), identity_(identity), session_(std::move(session)) {}

MainApiRequest MainApiRequest::get(std::string path, Identity identity) {
  return get(std::move(path), identity, RequestSession::capture());
}
MainApiRequest MainApiRequest::get(std::string path, Identity identity, RequestSession session) {
  return MainApiRequest("GET", std::move(path), identity, std::move(session));
}
MainApiRequest MainApiRequest::postForm(std::string path, Identity identity) {
  return postForm(std::move(path), identity, RequestSession::capture());
}
MainApiRequest MainApiRequest::postForm(std::string path, Identity identity, RequestSession session) {
  return MainApiRequest("POST", std::move(path), identity, std::move(session));
}
MainApiRequest MainApiRequest::putForm(std::string path, Identity identity) {
  return putForm(std::move(path), identity, RequestSession::capture());
}
MainApiRequest MainApiRequest::putForm(std::string path, Identity identity, RequestSession session) {
  return MainApiRequest("PUT", std::move(path), identity, std::move(session));
}

MainApiRequest& MainApiRequest::atBase(std::string base) {
  base_ = std::move(base);
  return *this;
}
MainApiRequest& MainApiRequest::ending(std::string ending) {
  ending_ = std::move(ending);
  return *this;
}
MainApiRequest& MainApiRequest::busid(std::string busid) {
  busid_ = std::move(busid);
  return *this;
}
MainApiRequest& MainApiRequest::terminal(std::string termid) {
  terminal_ = std::move(termid);
  return *this;
}
MainApiRequest& MainApiRequest::query(std::string_view name, std::string_view value) {
  parts_.push_back({Part::Kind::Query, std::string(name), std::string(value)});
  return *this;
}
MainApiRequest& MainApiRequest::rawQuery(std::string segment) {
  parts_.push_back({Part::Kind::Raw, {}, std::move(segment)});
  return *this;
}
MainApiRequest& MainApiRequest::field(std::string name, std::string value) {
  parts_.push_back({Part::Kind::Set, std::move(name), std::move(value)});
  return *this;
}
MainApiRequest& MainApiRequest::addField(std::string name, std::string value) {
  parts_.push_back({Part::Kind::Add, std::move(name), std::move(value)});
  return *this;
}
MainApiRequest& MainApiRequest::sessionValue(std::string name, SessionValue value) {
  parts_.push_back({isGet() ? Part::Kind::Query : Part::Kind::Set, std::move(name), sessionText(value)});
  return *this;
}
MainApiRequest& MainApiRequest::sessionQuery(std::string name, SessionValue value) {
  parts_.push_back({Part::Kind::Query, std::move(name), sessionText(value)});
  return *this;
}
MainApiRequest& MainApiRequest::timeout(platform::Duration timeout) {
  timeout_ = timeout;
  return *this;
}
MainApiRequest& MainApiRequest::keepAlive(bool on) {
  keepAlive_ = on;
  return *this;
}
MainApiRequest& MainApiRequest::spinner(bool on) {
  spinner_ = on;
  return *this;
}
MainApiRequest& MainApiRequest::entity(EntityClass entity) {
  entity_ = std::move(entity);
  return *this;
}

std::string MainApiRequest::sessionText(SessionValue value) const {
  switch (value) {
    case SessionValue::Uid: return session_.uid;
    case SessionValue::Vercode: return session_.vercode;
    case SessionValue::UserToken: return session_.userToken;
    case SessionValue::LoginName: return session_.loginName;
    case SessionValue::ReaderTerminal: return session_.psamId;
    case SessionValue::VirtualTerminal: return session_.psamNo;
  }
  return {};
}

// The stamping of identity fields: nowhere else.
std::vector<MainApiRequest::Part> MainApiRequest::identityParts() const {
  const Part::Kind kind = isGet() ? Part::Kind::Query : Part::Kind::Set;
  std::vector<Part> parts;
  auto add = [&](std::string_view name, std::string value) { parts.push_back({kind, std::string(name), std::move(value)}); };
  if (identity_ == Identity::None) return parts;
  add("uid", session_.uid);
  add("vercode", session_.vercode);
  switch (identity_) {
    case Identity::None:
    case Identity::Plain:
      break;
    case Identity::Token:
      add("userToken", session_.userToken);
      break;
    case Identity::Profile:
      add("userToken", session_.userToken);
      add("busid", busid_);
      add("termid", session_.psamId);
      add("mobile", session_.loginName);
      break;
    case Identity::Wallet:
      add("termid", session_.psamNo);
      add("mobile", session_.loginName);
      add("userToken", session_.userToken);
      add("busid", busid_);
      add("wallet", "100");
      break;
    case Identity::Terminal:
      add("mobile", session_.loginName);
      add("userToken", session_.userToken);
      add("busid", busid_);
      add("termid", terminal_.value_or(session_.psamId));
      break;
  }
  return parts;
}

std::string MainApiRequest::url() const {
  std::string url = base_.value_or(session_.mainApiBase) + path_ + ending_;
  std::vector<Part> parts = identityParts();
  parts.insert(parts.end(), parts_.begin(), parts_.end());
  bool first = true;
  for (const Part& part : parts) {
    if (part.kind != Part::Kind::Query && part.kind != Part::Kind::Raw) continue;
    url += first ? "?" : "&";
    first = false;
    url += part.kind == Part::Kind::Raw ? part.value : part.name + "=" + part.value;
  }
  return url;
}

std::shared_ptr<NetService> MainApiRequest::build() const {
  auto request = NetService::requestWithURL(url());
  request->setMethod(method_);
  request->setSession(session_);
  std::vector<Part> parts = identityParts();
  parts.insert(parts.end(), parts_.begin(), parts_.end());
  for (const Part& part : parts) {
    if (part.kind == Part::Kind::Set) request->setPostValue(part.name, part.value);
    if (part.kind == Part::Kind::Add) request->addPostValue(part.name, part.value);
  }
  if (timeout_) request->setTimeout(*timeout_);
  if (keepAlive_) request->setPersistentConnection(*keepAlive_);
  request->setEntityClass(entity_);
  return request;
}

std::shared_ptr<NetService> MainApiRequest::startWithBlock(NetService::ResponseBlock block) const {
  auto request = build();
  // The spinner goes when the reply arrives, also when nobody waits for it.
  if (spinner_ && !block) block = [](NetResult, RetStatusEntity, bool) {};
  request->setHidesSpinnerOnReply(spinner_);
  request->setResponseBlock(std::move(block));
  request->startAsynchronous();
  if (spinner_) NetService::showWindowIndicator();
  return request;
}

void MainApiRequest::stamp(platform::net::HttpRequest& request, Identity identity, const RequestSession& session,
                           std::string_view busid) {
  MainApiRequest form("POST", {}, identity, session);
  form.busid_ = std::string(busid);
  for (const Part& part : form.identityParts()) request.setPostValue(part.name, part.value);
}

void MainApiRequest::stampValue(platform::net::HttpRequest& request, std::string name, SessionValue value,
                                const RequestSession& session) {
  MainApiRequest form("POST", {}, Identity::None, session);
  request.setPostValue(std::move(name), form.sessionText(value));
}

std::string MainApiRequest::identityQuery(Identity identity, const RequestSession& session) {
  std::string query;
  for (const Part& part : MainApiRequest("GET", {}, identity, session).identityParts()) {
    if (!query.empty()) query += "&";
    query += part.name + "=" + part.value;
  }
  return query;
}

std::shared_ptr<NetService> MainApiRequest::start(OnceCompletion<void(ServerReply)> completion) const {
  auto request = build();
  request->setHidesSpinnerOnReply(spinner_);
  request->startAsynchronous(std::move(completion));
  if (spinner_) NetService::showWindowIndicator();
  return request;
}

ServerReply MainApiRequest::sendSynchronously() const {
  auto request = build();
  if (spinner_) NetService::showWindowIndicator();
  request->startSynchronous();
  if (spinner_) NetService::hideWindowIndicator();
  return request->reply();
}

}  // namespace nvx
