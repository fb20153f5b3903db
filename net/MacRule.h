// The MAC rule of protected transaction requests as one pure function: given the address, the
// form fields and the terminal keys of the session, what the request hook must rewrite, the text
// the MAC covers and the terminal whose key signs it. The hook applies the outcome in one step.
//
// The rule:
//  - a field "wallet" = "100" marks a wallet request: "termid" becomes the virtual terminal and
//    its key signs (the marker is removed once signed);
//  - only addresses naming a protected action, with at least one MAC field, are signed (an
//    "updateKTWItem" only with "payType" = "1");
//  - "famount", "amount" and "fee" are rewritten as 12-digit fen; the MAC input is the MAC
//    fields' values in their fixed order (MacParamUtil), joined by one space;
//  - the MAC is the first 8 characters of the key's MAC over that input; without a key (or a
//    MAC shorter than 8) the request is refused and must not be sent.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/crypto/SecureBytes.h"
#include "core/session/User.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

struct RequestSession;

// The terminal keys a MAC may be made with, as captured with the session.
struct MacKeys {
  std::string virtualTerminalId;          // the wallet's terminal (psamNo)
  SecretText virtualMac;                  // its clear MAC key ("" before the virtual sign-in)
  std::optional<TerminalKey> readerMac;   // the reader's clear MAC key of the current reader

  static MacKeys of(const RequestSession& session);
};

struct MacOutcome {
  enum class Verdict {
    Unsigned,  // not a protected request (rewrites may still apply: the wallet's terminal)
    Signed,    // "mac" is among the rewrites
    Refused,   // protected, but no key could sign it: the request must not go out
  };
  Verdict verdict = Verdict::Unsigned;
  // Fields to set, in this order (each replaces every entry of its name and goes to the end).
  std::vector<platform::net::PostField> rewrites;
  // The wallet marker is removed (its first entry) after the rewrites.
  bool removeWalletMarker = false;
  // The text the MAC covers (empty when unsigned).
  std::string macInput;
  // The terminal whose key signs (or would have signed): the virtual terminal for a wallet
  // request, else the reader's terminal ("" when there is no reader key).
  std::string terminalId;
};

class MacRule {
 public:
  static MacOutcome evaluate(std::string_view address, const std::vector<platform::net::PostField>& fields,
                             const MacKeys& keys);
  // Applies an outcome to a request in one step; false when the request must not be sent.
  static bool apply(const MacOutcome& outcome, platform::net::HttpRequest& request);
};

}  // namespace nvx
