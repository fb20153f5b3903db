#include "bills/SwipeVariantOperations.h"

#include "bills/BillsOperations.h"
#include "net/NetService.h"
#include "pay/Tools.h"
#include "platform/foundation/Strings.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::net::PostField;

namespace {

// The code a commit is answered with when the server could not tell whether it went through.
constexpr const char* kOutcomeOpenCode = "1030";

}  // namespace

void SwipeVariantOperations::storeBalanceInquiry() {
  const BillFields fields{
      {"uid", SessionValue::Uid},
      {"vercode", SessionValue::Vercode},
      {"busid", std::string(kBalanceBusid)},
      {"termid", SessionValue::ReaderTerminal},
      {"mobile", SessionValue::LoginName},
      {"userToken", SessionValue::UserToken},
  };
  auto request = BillsOperations::form(BillsOperations::kQueryTrans, fields).build();
  Tools::sharedInstance().setInfo(getPostdataForNVX(*request), urlString(*request));
}

MainApiRequest SwipeVariantOperations::pointsInquiry(const PointsForm& form) {
  MainApiRequest request = MainApiRequest::postForm(BillsOperations::kQueryTrans, Identity::Profile);
  request.busid(kPointsInquiryBusid)
      .sessionQuery("uid", SessionValue::Uid)
      .sessionQuery("vercode", SessionValue::Vercode);
  if (!form.sms || form.smsPhone.empty()) {
    request.field("issms", "0");
  } else {
    request.field("issms", "1").field("mobileno", form.smsPhone);
  }
  request.field("billno", form.account).field("blname", form.accountName).field("amount", form.chargeMoney);
  request.field("otrack", form.card.otrack);
  // An empty PIN (allowed for a points card) sends no PIN block: there is nothing to encipher.
  if (form.card.pinkey) request.field("pinkey", *form.card.pinkey);
  request.field("rnd", form.card.rnd);
  request.timeout(BillsOperations::kTimeout);
  return request;
}

MainApiRequest SwipeVariantOperations::pointsCommit(const std::vector<PostField>& postDatas) {
  MainApiRequest request = MainApiRequest::postForm(BillsOperations::kCommitTransaction, Identity::None);
  request.sessionQuery("uid", SessionValue::Uid).sessionQuery("vercode", SessionValue::Vercode);
  for (const PostField& f : postDatas) request.field(f.key, f.value);
  // The commit's own identity, in the profile's order: each replaces the inquiry's value.
  request.sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .sessionValue("userToken", SessionValue::UserToken)
      .field("busid", kPointsCommitBusid)
      .sessionValue("termid", SessionValue::ReaderTerminal)
      .sessionValue("mobile", SessionValue::LoginName);
  request.timeout(BillsOperations::kTimeout);
  return request;
}

std::vector<PostField> SwipeVariantOperations::fieldsOf(const MainApiRequest& request) {
  return getPostdataForNVX(*request.build());
}

SwipeVariantOperations::PointsReply SwipeVariantOperations::readPointsReply(const ServerReply& reply, bool isCommit) {
  using Kind = PointsReply::Kind;
  const Kind lost = isCommit ? Kind::OutcomeUnknown : Kind::NetworkFailed;
  switch (reply.kind) {
    case FailureKind::None: {
      const Json* data = reply.data();
      if (data && data->is_object()) return {Kind::Data, *data, {}};
      std::string message = reply.message();
      if (message.empty() || message == "OK") message = Strings::localized("Error_Data");
      return {Kind::Prompt, Json(), message};
    }
    case FailureKind::SessionExpired:
    case FailureKind::Cancelled:
      return {Kind::Silent, Json(), {}};
    case FailureKind::NotSent:
      return {Kind::NetworkFailed, Json(), {}};
    case FailureKind::OutcomeUnknown:
      return {lost, Json(), {}};
    case FailureKind::Http:
      // A gateway's 502 is read like its 504: the request went out and its fate is open.
      if (reply.httpStatus == 502 || reply.httpStatus == 504) return {lost, Json(), {}};
      return {Kind::Prompt, Json(), reply.message().empty() ? Strings::localized("Error_Data") : reply.message()};
    case FailureKind::BadReply:
      return {Kind::Prompt, Json(), reply.message().empty() ? Strings::localized("Error_Data") : reply.message()};
    case FailureKind::Server:
      break;
  }
  if (isCommit && reply.envelope && reply.envelope->retCode() == kOutcomeOpenCode) return {lost, Json(), {}};
  return {Kind::Prompt, Json(), reply.message().empty() ? Strings::localized("Error_Unknown") : reply.message()};
}

}  // namespace nvx
