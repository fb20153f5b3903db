// The one builder of server requests, and the one place that stamps identity fields (uid,
// vercode, user token, profile, wallet and terminal fields) from a RequestSession captured on
// the main thread.
//
//   MainApiRequest::get("getParameter", Identity::Plain).query("key", key).spinner()
//       .start([](ServerReply reply) { ... });                     // main loop, exactly once
//   ServerReply reply = MainApiRequest::postForm("login", Identity::Terminal, session)
//       .busid("M10003").terminal(termid).sendSynchronously();     // a worker
//
// Addresses: base + path + ".json", then "?" and the query segments joined by "&" when there
// are any: the identity's segments first, then the caller's in order. Nothing is escaped here;
// callers escape their own values. Form requests carry the identity's fields first, then the
// caller's fields in order: field() replaces every earlier entry of the name (as the request
// layer always has), addField() keeps repeats.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/NetResult.h"
#include "net/NetService.h"
#include "net/OnceCompletion.h"
#include "net/RequestSession.h"
#include "net/ServerReply.h"
#include "platform/foundation/Clock.h"

namespace nvx {

// Which identity fields a request carries, in this order:
//   None:     nothing
//   Plain:    uid, vercode
//   Token:    uid, vercode, userToken
//   Profile:  uid, vercode, userToken, busid, termid (the reader), mobile (the login name)
//   Wallet:   uid, vercode, termid (the virtual terminal), mobile, userToken, busid, wallet "100"
//             (the marker the request hook signs with the virtual terminal's key and removes)
//   Terminal: uid, vercode, mobile, userToken, busid, termid (the terminal() given, else the
//             reader's)
enum class Identity { None, Plain, Token, Profile, Wallet, Terminal };

// A session value placed by the caller where an operation needs it out of the preset's order.
enum class SessionValue { Uid, Vercode, UserToken, LoginName, ReaderTerminal, VirtualTerminal };

class MainApiRequest {
 public:
  // The session is captured now (main thread) unless given (a worker passes one captured on the
  // main thread).
  static MainApiRequest get(std::string path, Identity identity = Identity::Plain);
  static MainApiRequest get(std::string path, Identity identity, RequestSession session);
  static MainApiRequest postForm(std::string path, Identity identity = Identity::Plain);
  static MainApiRequest postForm(std::string path, Identity identity, RequestSession session);
  static MainApiRequest putForm(std::string path, Identity identity = Identity::Plain);
  static MainApiRequest putForm(std::string path, Identity identity, RequestSession session);

  // Another server than the main API (the statistics server): its base address, ending in "/".
  MainApiRequest& atBase(std::string base);
  // The business id of the Profile, Wallet and Terminal presets.
  MainApiRequest& busid(std::string busid);
  // The Terminal preset's terminal id (default: the reader's).
  MainApiRequest& terminal(std::string termid);
  // The ending of the method's address: ".json" for every method but the few served as ".do".
  MainApiRequest& ending(std::string ending);

  // A query segment "name=value" / a caller's segment as it stands (an empty one still counts:
  // the address then ends with "&").
  MainApiRequest& query(std::string_view name, std::string_view value);
  MainApiRequest& rawQuery(std::string segment);
  // Form fields (ignored by GET requests, as the HTTP client ignores them).
  MainApiRequest& field(std::string name, std::string value);
  MainApiRequest& addField(std::string name, std::string value);
  // A session value at this position, as a query segment (GET) or a form field; sessionQuery
  // always as a query segment.
  MainApiRequest& sessionValue(std::string name, SessionValue value);
  MainApiRequest& sessionQuery(std::string name, SessionValue value);

  MainApiRequest& timeout(platform::Duration timeout);
  MainApiRequest& keepAlive(bool on);
  // The window's spinner while the request runs (hidden before the completion runs).
  MainApiRequest& spinner(bool on = true);
  // "retData" mapped into this class (NetResult in the reply).
  MainApiRequest& entity(EntityClass entity);

  // The address as it will be sent (before the request hook's additions).
  std::string url() const;
  const RequestSession& session() const { return session_; }

  // The request, stamped and carrying the session, not started.
  std::shared_ptr<NetService> build() const;
  // Starts on the asynchronous road; the completion runs on the main loop exactly once (an
  // expired login included: kind SessionExpired, takenOver when the handling took it over).
  // The request is returned for cancelRequest(). Main thread.
  std::shared_ptr<NetService> start(OnceCompletion<void(ServerReply)> completion) const;
  // Sends on the calling thread and blocks until the reply or the time-out; no expired-login
  // handling, no User access. For workers.
  ServerReply sendSynchronously() const;
  // The older road: starts with a response callback (result, status, isErr) that the ladder
  // calls at most once on the main loop (never when the expired-login handling took the reply).
  std::shared_ptr<NetService> startWithBlock(NetService::ResponseBlock block) const;

  // For the older request builders: stamps a request that was made elsewhere with the preset's
  // fields (setPostValue, in the preset's order) or with one session value.
  static void stamp(platform::net::HttpRequest& request, Identity identity, const RequestSession& session,
                    std::string_view busid = {});
  static void stampValue(platform::net::HttpRequest& request, std::string name, SessionValue value,
                         const RequestSession& session);
  // The preset's query text ("uid=..&vercode=.." for Plain).
  static std::string identityQuery(Identity identity, const RequestSession& session);

 private:
  struct Part {
    enum class Kind { Query, Raw, Set, Add } kind = Kind::Set;
    std::string name;
    std::string value;
  };
  MainApiRequest(std::string method, std::string path, Identity identity, RequestSession session);
  std::vector<Part> identityParts() const;
  std::string sessionText(SessionValue value) const;
  bool isGet() const { return method_ == "GET"; }

  std::string method_;
  std::string path_;
  Identity identity_;
  RequestSession session_;
  std::optional<std::string> base_;
  std::string ending_ = ".json";
  std::string busid_;
  std::optional<std::string> terminal_;
  std::vector<Part> parts_;
  std::optional<platform::Duration> timeout_;
  std::optional<bool> keepAlive_;
  bool spinner_ = false;
  std::optional<EntityClass> entity_;
};

}  // namespace nvx
