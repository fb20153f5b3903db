// The main API's shared methods that many businesses use ("queryTrans", "commitTransaction") judge
// a call by its business code: a feature's routes add, per code, the inquiry's answer and the
// commit's own checks here, so each method keeps one route on the shared checks.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct BusidRules {
  using Call = MainApiStandin::RouteContext;
  // The answer of "queryTrans" for a business code, after the token and MAC checks.
  using Inquiry = std::function<HttpStandin::Reply(Call&)>;
  // A commit's own checks after the shared ones: a refusal, or nothing. fen is the commit's
  // amount as sent (nothing when it carried none); a business whose commit carries no amount
  // (the denomination stands for it) fills it in.
  using CommitCheck = std::function<Call::Refusal(Call&, std::optional<int64_t>& fen)>;

  std::map<std::string, Inquiry, std::less<>> inquiries;
  std::map<std::string, CommitCheck, std::less<>> commits;
  // What an accepted commit of a business answers besides the shared fields, written last.
  using CommitReply = std::function<void(Call&, platform::Json& retData)>;
  std::map<std::string, CommitReply, std::less<>> commitReplies;
};

}  // namespace standin
