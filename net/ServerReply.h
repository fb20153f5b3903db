// What every server operation hands its completion: how the exchange ended (FailureKind), the
// HTTP status, the envelope when there was one, the status the error ladder gives (with its
// localized message) and the raw body. Callers decide on the kind, never on a message text.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "net/NetResult.h"
#include "net/ReplyEnvelope.h"
#include "net/RetStatusEntity.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

enum class FailureKind {
  None,            // "0000": the server did it
  NotSent,         // no connection was made (or the request was refused before it left): the
                   // server never saw it; safe to try again
  OutcomeUnknown,  // time-out, HTTP 504, connection lost or an empty reply after the request
                   // went out: the server may have done it. Never shown as failed, never resent
                   // blindly
  Http,            // another HTTP status than 2xx (and 504), without a usable envelope
  BadReply,        // a reply that is not JSON or not the envelope's shape
  Server,          // the server answered with a code other than "0000"
  SessionExpired,  // "1012" / "1023": the expired-login handling owns the reply
  Cancelled,       // the caller cancelled the request
};

std::string_view failureKindName(FailureKind kind);

struct ServerReply {
  FailureKind kind = FailureKind::NotSent;
  int httpStatus = 0;
  std::optional<Envelope> envelope;
  // The status as the error ladder gives it: the server's code and message, or the ladder's
  // localized text ("NetworkConnectionFailed", "Error_Data", "ReturnDataIsNil", ...).
  RetStatusEntity status;
  std::string body;
  // "retData" mapped as the request's entity class says (nothing unless the reply is "0000"
  // with data).
  NetResult result;
  // SessionExpired only: the expired-login handler took the reply over (alert or login screen
  // shown); the caller shows nothing.
  bool takenOver = false;

  bool ok() const { return kind == FailureKind::None; }
  // "retData" of a successful reply, else nullptr.
  const platform::Json* data() const { return ok() && envelope ? envelope->retData() : nullptr; }
  // The message to show for a failure (the ladder's or the server's text).
  const std::string& message() const { return status.errMsg(); }
  // The request layer's older flag: false only for "0000" with data.
  bool isErr() const { return !(envelope && envelope->isOk() && envelope->retData()); }

  // The error ladder, without side effects: the reply to an exchange that ended with this HTTP
  // status, transport error and body, with "retData" mapped into entity. SessionExpired comes
  // back with takenOver false (the asynchronous road then asks the expired-login handling).
  static ServerReply judge(int httpStatus, const std::optional<platform::net::HttpError>& error, std::string body,
                           const std::optional<EntityClass>& entity);
  // The kind of a transport failure.
  static FailureKind kindOf(platform::net::HttpErrorCode code);
};

}  // namespace nvx
