#include "bills/BillsOperations.h"

#include "net/CoreOperations.h"
#include "net/NetService.h"
#include "pay/PayMoney.h"
#include "pay/Tools.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

constexpr const char* kTag = "bills";

using platform::Json;
using platform::Strings;

// The prompt of a reply that carries nothing to act on; nothing for an expired login (its
// handling has shown the alert or the login screen already).
std::optional<std::string> failurePrompt(const ServerReply& reply) {
  switch (reply.kind) {
    case FailureKind::SessionExpired:
    case FailureKind::Cancelled:
      return std::nullopt;
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
      // Nothing here moves money: an inquiry or a list whose answer was lost is simply asked again.
      return Strings::localized("NetworkConnectionFailed");
    case FailureKind::BadReply:
      return Strings::localized("Error_Data");
    case FailureKind::None:
    case FailureKind::Http:
    case FailureKind::Server:
      break;
  }
  if (!reply.message().empty()) return reply.message();
  return Strings::localized("Error_Unknown");
}

MainApiRequest getRequest(std::string path, const std::vector<std::pair<std::string, std::string>>& query) {
  auto request = MainApiRequest::get(std::move(path), Identity::Plain);
  for (const auto& [name, value] : query) request.query(name, value);
  return request;
}

}  // namespace

MainApiRequest BillsOperations::form(std::string path, const BillFields& fields) {
  auto request = MainApiRequest::postForm(std::move(path), Identity::None);
  for (const BillField& f : fields) {
    if (const auto* text = std::get_if<std::string>(&f.value)) {
      request.field(f.name, *text);
    } else {
      request.sessionValue(f.name, std::get<SessionValue>(f.value));
    }
  }
  request.timeout(kTimeout).keepAlive(false);
  return request;
}

void BillsOperations::queryTrans(const BillFields& fields, InquiryCompletion completion) {
  form(kQueryTrans, fields).spinner().start([completion = std::move(completion)](ServerReply reply) {
    completion(readInquiry(reply));
  });
}

BillReply<Json> BillsOperations::readInquiry(const ServerReply& reply) {
  if (!reply.ok()) return {std::nullopt, failurePrompt(reply)};
  const Json* data = reply.data();
  if (!data || !data->is_object()) {
    // "0000" without data, or data that is not the bill: nothing to pay.
    if (!data) return {std::nullopt, reply.message().empty() ? Strings::localized("ReturnDataIsNil") : reply.message()};
    return {std::nullopt, Strings::localized("Error_Data")};
  }
  // A bill without its serial number cannot be committed, and a price that is not a whole number
  // of fen cannot be charged: neither opens a pay screen.
  TradeInquiryReturnData inquiry = TradeInquiryReturnData::initWithDic(*data);
  if (!inquiry.sid() || inquiry.sid()->empty() || !inquiry.price()) {
    platform::log::warning(kTag, "inquiry reply without a serial number or a usable price");
    return {std::nullopt, Strings::localized("Error_Data")};
  }
  if (data->contains("fee") && !inquiry.fee()) {
    platform::log::warning(kTag, "inquiry reply with a fee that is not an amount");
    return {std::nullopt, Strings::localized("Error_Data")};
  }
  return {*data, std::nullopt};
}

void BillsOperations::storeCommit(const BillFields& fields) {
  auto request = form(kCommitTransaction, fields).build();
  Tools::sharedInstance().setInfo(getPostdataForNVX(*request), urlString(*request));
}

void BillsOperations::getList(std::string path, std::vector<std::pair<std::string, std::string>> query,
                              ListCompletion completion) {
  getRequest(std::move(path), query).spinner().start([completion = std::move(completion)](ServerReply reply) {
    completion(readList(reply));
  });
}

BillReply<Json> BillsOperations::readList(const ServerReply& reply) {
  if (!reply.ok()) return {std::nullopt, failurePrompt(reply)};
  const Json* data = reply.data();
  if (data && data->is_array()) return {*data, std::nullopt};
  if (!data) return {std::nullopt, reply.message().empty() ? Strings::localized("ReturnDataIsNil") : reply.message()};
  return {std::nullopt, Strings::localized("Error_Data")};
}

void BillsOperations::confirm(std::string path, std::vector<std::pair<std::string, std::string>> query,
                              ConfirmCompletion completion) {
  getRequest(std::move(path), query).spinner().start([completion = std::move(completion)](ServerReply reply) {
    completion(readConfirm(reply));
  });
}

BillReply<bool> BillsOperations::readConfirm(const ServerReply& reply) {
  if (reply.ok()) return {true, std::nullopt};
  return {std::nullopt, failurePrompt(reply)};
}

std::optional<std::string> BillsOperations::failurePromptOf(const ServerReply& reply) { return failurePrompt(reply); }

void BillsOperations::getBusiDesc(std::string busId, std::function<void(std::optional<std::string>)> completion) {
  CoreOperations::getBusiDesc(busId, [completion = std::move(completion)](std::optional<std::string> content,
                                                                           RetStatusEntity, bool) {
    completion(std::move(content));
  });
}

}  // namespace nvx
