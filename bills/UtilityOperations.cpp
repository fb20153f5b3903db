#include "bills/UtilityOperations.h"

#include "net/MainApiRequest.h"
#include "net/NetUiHooks.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"

namespace nvx {

using platform::Json;
using platform::Strings;

namespace {

constexpr const char* kTag = "utility";

// "<base>/<method>/<arguments>.json?uid=..&vercode=..&platType=2&debug=2": the base ends in "/"
// already, so the address holds a doubled "/" before the method.
MainApiRequest descriptionRequest(const std::string& path) {
  auto request = MainApiRequest::get("/" + path, Identity::Plain);
  request.rawQuery("platType=2").rawQuery("debug=2").timeout(UtilityOperations::kDescriptionTimeout);
  return request;
}

}  // namespace

void UtilityOperations::getCityList(const std::string& businessName, CityListCompletion completion) {
  descriptionRequest("getCityList/" + businessName).start([completion = std::move(completion)](ServerReply reply) {
    completion(BillsOperations::readList(reply));
  });
}

void UtilityOperations::getBizConfig(const std::string& businessName, const std::string& area,
                                     DescriptionCompletion completion) {
  descriptionRequest("getBizConfig/" + businessName + "/" + area)
      .start([completion = std::move(completion)](ServerReply reply) { completion(readDescription(reply)); });
}

BillReply<UtilityItems> UtilityOperations::readDescription(const ServerReply& received) {
  ServerReply reply = received;
  switch (received.kind) {
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
    case FailureKind::Cancelled:
    case FailureKind::SessionExpired:
      return {std::nullopt, BillsOperations::failurePromptOf(received)};
    case FailureKind::None:
    case FailureKind::Http:
    case FailureKind::BadReply:
    case FailureKind::Server: {
      // The hand-written text first, then the one envelope reader on what it made of it.
      std::optional<std::string> text = UtilityDescription::toJsonText(received.body);
      if (!text) {
        platform::log::warning(kTag, "form description that cannot be read");
        return {std::nullopt, Strings::localized("Error_Data")};
      }
      reply = ServerReply::judge(received.httpStatus, std::nullopt, std::move(*text), std::nullopt);
      if (reply.kind == FailureKind::SessionExpired) {
        // Unreadable before the rewrite, so nobody has handled the expired login yet.
        reply.takenOver = NetUiHooks::expiredLoginTakenOver();
      }
      break;
    }
  }
  auto list = BillsOperations::readList(reply);
  if (!list.data) return {std::nullopt, list.prompt};
  auto items = UtilityDescription::items(*list.data);
  if (!items.isOk()) {
    platform::log::warning(kTag, "form description refused: " + items.error());
    return {std::nullopt, Strings::localized("Error_Data")};
  }
  return {std::move(items.value()), std::nullopt};
}

void UtilityOperations::queryTrans(const Json& form, BillsOperations::InquiryCompletion completion) {
  BillFields fields = {{"wallet", std::string("100")},
                       {"uid", SessionValue::Uid},
                       {"vercode", SessionValue::Vercode},
                       {"busid", std::string(kInquiryBusid)},
                       {"termid", SessionValue::ReaderTerminal},
                       {"billno", formText(form, "billno").value_or("")}};
  if (auto mobileno = formText(form, "mobileno")) fields.push_back({"mobileno", *mobileno});
  fields.push_back({"subbusid", formText(form, "queryTrans").value_or("")});
  fields.push_back({"mobile", SessionValue::LoginName});
  fields.push_back({"userToken", SessionValue::UserToken});
  BillsOperations::form(BillsOperations::kQueryTrans, fields)
      .spinner()
      .start([completion = std::move(completion)](ServerReply reply) { completion(readInquiry(reply)); });
}

BillReply<Json> UtilityOperations::readInquiry(const ServerReply& reply) {
  if (!reply.ok()) return {std::nullopt, BillsOperations::failurePromptOf(reply)};
  const Json* data = reply.data();
  if (!data || !data->is_object()) {
    if (!data) return {std::nullopt, reply.message().empty() ? Strings::localized("ReturnDataIsNil") : reply.message()};
    return {std::nullopt, Strings::localized("Error_Data")};
  }
  if (!data->contains("price")) return {std::nullopt, Strings::localized("GetBillInfoFail")};
  return {*data, std::nullopt};
}

BillFields UtilityOperations::commitFields(const Json& form, const std::string& amountText, bool amountStep) {
  BillFields fields = {{"uid", SessionValue::Uid}, {"vercode", SessionValue::Vercode}};
  if (amountStep) {
    fields.push_back({"busid", std::string(kCommitAfterInquiry)});
  } else if (form.contains("queryTrans")) {
    fields.push_back({"busid", std::string(kCommitAfterInquiry)});
    fields.push_back({"srcsid", formText(form, "sid").value_or("")});
  } else {
    fields.push_back({"busid", std::string(kCommitWithoutInquiry)});
  }
  fields.push_back({"termid", SessionValue::ReaderTerminal});
  fields.push_back({"mobile", SessionValue::LoginName});
  fields.push_back({"userToken", SessionValue::UserToken});
  fields.push_back({"subbusid", formText(form, "subbusid").value_or("")});
  fields.push_back({"billno", formText(form, "billno").value_or("")});
  if (auto mobileno = formText(form, "mobileno")) fields.push_back({"mobileno", *mobileno});
  fields.push_back({"amount", amountText});
  if (amountStep) fields.push_back({"srcsid", formText(form, "sid").value_or("")});
  for (const char* key : {"jfdate", "blpw"}) {
    if (auto value = formText(form, key)) fields.push_back({key, *value});
  }
  return fields;
}

}  // namespace nvx
