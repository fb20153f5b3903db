// What became of one payment request, as the pay screens route it. The distinction that matters
// for money: a request that never reached the server (NotSent) has surely not paid; a request
// that went out and whose answer is missing or was given up by a gateway (OutcomeUnknown) may
// have paid, and is never reported as failed nor sent again by itself.
#pragma once
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

struct PayReply {
  enum class Kind {
    Answered,        // the server's envelope: retCode, errMsg and, on success, retData
    NotSent,         // no connection was made; nothing reached the server
    OutcomeUnknown,  // sent, then time-out, connection lost, HTTP 502 or 504
    SessionExpired,  // "1012" / "1023": the login screen or the re-login alert took over
    BadReply,        // an answer that is not the envelope
    Cancelled,       // the request was stopped (the run ends)
  };

  Kind kind = Kind::NotSent;
  std::string retCode;
  std::string errMsg;
  // The reply's "retData" when present (an answered "0000").
  std::optional<platform::Json> retData;
  // The text shown when the request failed: the server's message, or the client's own text for
  // a request that failed before or after the server.
  std::string message;

  static PayReply answered(std::string retCode, std::string errMsg, std::optional<platform::Json> retData = {}) {
    PayReply r;
    r.kind = Kind::Answered;
    r.retCode = std::move(retCode);
    r.errMsg = std::move(errMsg);
    r.message = r.errMsg;
    r.retData = std::move(retData);
    return r;
  }
  static PayReply failed(Kind kind, std::string message = {}) {
    PayReply r;
    r.kind = kind;
    r.message = std::move(message);
    return r;
  }
};

}  // namespace nvx
