#include "net/ServerReply.h"

#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

using platform::Json;
using platform::net::HttpErrorCode;

std::string text(std::string_view key) { return platform::Strings::localized(key); }

bool isSuccessStatus(int httpStatus) { return httpStatus >= 200 && httpStatus < 300; }

NetResult mapData(const Json& data, const std::optional<EntityClass>& entity) {
  if (!entity) return NetResult::json(data);
  if (data.is_array()) {
    std::vector<std::shared_ptr<void>> objects;
    objects.reserve(data.size());
    for (const auto& element : data) objects.push_back(entity->make(element));
    return NetResult::list(entity->type(), std::move(objects));
  }
  return NetResult::object(entity->type(), entity->make(data));
}

}  // namespace

std::string_view failureKindName(FailureKind kind) {
  switch (kind) {
    case FailureKind::None: return "None";
    case FailureKind::NotSent: return "NotSent";
    case FailureKind::OutcomeUnknown: return "OutcomeUnknown";
    case FailureKind::Http: return "Http";
    case FailureKind::BadReply: return "BadReply";
    case FailureKind::Server: return "Server";
    case FailureKind::SessionExpired: return "SessionExpired";
    case FailureKind::Cancelled: return "Cancelled";
  }
  return "?";
}

FailureKind ServerReply::kindOf(HttpErrorCode code) {
  switch (code) {
    case HttpErrorCode::ConnectionRefused:
    case HttpErrorCode::TlsFailure:
    case HttpErrorCode::InvalidRequest:
      return FailureKind::NotSent;
    case HttpErrorCode::Cancelled:
      return FailureKind::Cancelled;
    case HttpErrorCode::TimedOut:
    case HttpErrorCode::ConnectionFailed:   // may be a reset after the request went out
    case HttpErrorCode::ResponseTooLarge:   // the server answered: it may have done it
      return FailureKind::OutcomeUnknown;
  }
  return FailureKind::OutcomeUnknown;
}

ServerReply ServerReply::judge(int httpStatus, const std::optional<platform::net::HttpError>& error, std::string body,
                               const std::optional<EntityClass>& entity) {
  ServerReply r;
  r.httpStatus = httpStatus;
  r.body = std::move(body);
  // A gateway time-out: the main API may have done it.
  const FailureKind unreadable = httpStatus == 504          ? FailureKind::OutcomeUnknown
                                 : isSuccessStatus(httpStatus) ? FailureKind::BadReply
                                                               : FailureKind::Http;
  if (error) {
    r.kind = kindOf(error->code);
    r.status.setRetCode(std::to_string(httpStatus));
    r.status.setErrMsg(text("NetworkConnectionFailed"));
    return r;
  }
  if (r.body.empty()) {
    // A reply without a body after the request went out: nothing says what the server did.
    r.kind = unreadable == FailureKind::BadReply ? FailureKind::OutcomeUnknown : unreadable;
    r.status.setRetCode("0");
    r.status.setErrMsg(text("NetworkConnectionFailed"));
    return r;
  }
  platform::Result<Envelope> parsed = ReplyEnvelope::parse(r.body);
  if (!parsed) {
    r.kind = unreadable;
    r.status.setErrMsg(text("Error_Data"));
    return r;
  }
  r.envelope = std::move(*parsed);
  const Envelope& envelope = *r.envelope;
  r.status = envelope.status();
  const Json* retData = envelope.retData();

  if (envelope.isOk() && retData) {
    r.kind = FailureKind::None;
    r.status.setErrMsg(text("OK"));
    r.result = mapData(*retData, entity);
  } else if (!r.status.hasRetCode()) {
    r.kind = unreadable;
    r.status.setErrMsg(text("Error_Data"));
  } else if (envelope.isOk()) {
    r.kind = FailureKind::None;  // a success without data
    r.status.setErrMsg(text("ReturnDataIsNil"));
  } else if (envelope.isSessionExpired()) {
    r.kind = FailureKind::SessionExpired;
    r.status.setErrMsg(text("Error_Token_Effectiveness"));
  } else {
    r.kind = FailureKind::Server;
    if (!r.status.hasErrMsg()) r.status.setErrMsg(text("Error_Unknown"));
  }
  if (httpStatus == 504) r.kind = FailureKind::OutcomeUnknown;
  return r;
}

}  // namespace nvx
