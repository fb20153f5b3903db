#include "bills/InsuranceOperations.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "core/text/DateFormats.h"
#include "core/text/UrlEscaping.h"
#include "pay/Tools.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

using platform::Json;

// Every insurance request names its caller in the address: uid and vercode first.
MainApiRequest identified(MainApiRequest request) {
  request.sessionQuery("uid", SessionValue::Uid).sessionQuery("vercode", SessionValue::Vercode);
  return request;
}

MainApiRequest getRequest(std::string path) { return identified(MainApiRequest::get(std::move(path), Identity::None)); }

std::shared_ptr<NetService> start(const MainApiRequest& request, InsuranceOperations::Completion completion) {
  return request.start([completion = std::move(completion)](ServerReply reply) {
    completion(InsuranceReply::of(reply));
  });
}

// The fields both policy requests carry after the business code: the session's terminal, login
// name and token, then the insured person.
MainApiRequest policyForm(const char* path, const char* busid, const PolicyOrder& order) {
  auto request = identified(MainApiRequest::postForm(path, Identity::None));
  request.field("busid", busid)
      .sessionValue("termid", SessionValue::ReaderTerminal)
      .sessionValue("mobile", SessionValue::LoginName)
      .sessionValue("userToken", SessionValue::UserToken);
  return request;
}

std::optional<std::chrono::year_month_day> readDay(std::string_view text) {
  // "yyyy-MM-dd" exactly.
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  auto number = [&](size_t at, size_t len) -> std::optional<int> {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data() + at, text.data() + at + len, value);
    if (ec != std::errc() || end != text.data() + at + len) return std::nullopt;
    return value;
  };
  auto y = number(0, 4), m = number(5, 2), d = number(8, 2);
  if (!y || !m || !d) return std::nullopt;
  std::chrono::year_month_day day{std::chrono::year(*y), std::chrono::month(static_cast<unsigned>(*m)),
                                  std::chrono::day(static_cast<unsigned>(*d))};
  if (!day.ok()) return std::nullopt;
  return day;
}

}  // namespace

InsuranceReply InsuranceReply::of(const ServerReply& reply) {
  InsuranceReply out;
  switch (reply.kind) {
    case FailureKind::None:
      out.outcome = Outcome::Data;
      if (reply.envelope && reply.envelope->retData()) out.data = *reply.envelope->retData();
      return out;
    case FailureKind::SessionExpired:
    case FailureKind::Cancelled:
      out.outcome = Outcome::Silent;
      return out;
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
      out.outcome = Outcome::NoAnswer;
      return out;
    case FailureKind::Http:
    case FailureKind::BadReply:
    case FailureKind::Server:
      break;
  }
  out.outcome = Outcome::Refused;
  out.message = reply.message().empty() ? platform::Strings::localized("Error_Unknown") : reply.message();
  return out;
}

std::string PolicyOrder::policyText() const {
  using T = InsuranceOperations;
  std::string out = startDate + "|" + endDate + "|" + name + "|" + email + "|" + T::text(product, "province") + "|" +
                    T::text(product, "city");
  if (country) out += "|" + T::text(*country, "countryNameUs") + "|" + T::text(*country, "countryCode") + "|";
  return out;
}

std::shared_ptr<NetService> InsuranceOperations::getInsuranceList(const std::string& willNotpromotion,
                                                                  Completion completion) {
  auto request = getRequest("getInsuranceList");
  request.query("isPromotion", willNotpromotion);
  return start(request, std::move(completion));
}

std::shared_ptr<NetService> InsuranceOperations::getInsuranceInfo(const std::string& isanceId, Completion completion) {
  // The id names a path segment: nothing in it may reach another path or the query.
  return start(getRequest("getInsuranceInfo/" + text::encodeURLString(isanceId)), std::move(completion));
}

std::shared_ptr<NetService> InsuranceOperations::getUserInfo(Completion completion) {
  const RequestSession session = RequestSession::capture();
  auto request = MainApiRequest::get("getUserInfo/" + text::encodeURLString(session.loginName), Identity::None,
                                     session);
  request.sessionQuery("userToken", SessionValue::UserToken).query("verifyType", "1");
  return start(identified(std::move(request)), std::move(completion));
}

MainApiRequest InsuranceOperations::cityListRequest() { return getRequest("getCityListOfProvince/0000"); }

MainApiRequest InsuranceOperations::countryListRequest() { return getRequest("getCountryList"); }

std::shared_ptr<NetService> InsuranceOperations::getList(const MainApiRequest& request, Completion completion) {
  return start(request, std::move(completion));
}

std::shared_ptr<NetService> InsuranceOperations::getRules(const std::string& isanceId, Completion completion) {
  auto request = getRequest("getBusiDesc");
  request.query("busId", text::encodeURLString(isanceId));
  return start(request, std::move(completion));
}

std::shared_ptr<NetService> InsuranceOperations::queryPolicy(const PolicyOrder& order, Completion completion) {
  auto request = policyForm("queryTrans", kInquiryBusid, order);
  request.field("idnumber", order.identityCard)
      .field("mobileno", order.phone)
      .field("amount", text(order.product, "isancePrice"))
      .field("billno", text(order.product, "isanceId"))
      .field("addpad", order.policyText())
      .spinner();
  return start(request, std::move(completion));
}

void InsuranceOperations::storeCommit(const PolicyOrder& order, const std::string& sid) {
  auto request = policyForm("commitTransaction", kCommitBusid, order);
  request.field("srcsid", sid)
      .field("billno", text(order.product, "isanceId"))
      .field("idnumber", order.identityCard)
      .field("mobileno", order.phone)
      .field("addpad", order.policyText())
      .field("amount", text(order.product, "isancePrice"));
  auto built = request.build();
  Tools::sharedInstance().setInfo(getPostdataForNVX(*built), urlString(*built));
}

std::optional<int64_t> InsuranceOperations::coverDays(const Json& product) {
  // A whole number sent as a number reads as its text would.
  if (product.is_object() && product.contains("period") && product["period"].is_number_integer()) {
    const int64_t days = product["period"].get<int64_t>();
    if (days < 1 || days > kMaxPeriodDays) return std::nullopt;
    return days;
  }
  const std::string period = text(product, "period");
  if (period.empty() || period.size() > 6) return std::nullopt;
  int64_t days = 0;
  auto [end, ec] = std::from_chars(period.data(), period.data() + period.size(), days);
  if (ec != std::errc() || end != period.data() + period.size()) return std::nullopt;
  if (days < 1 || days > kMaxPeriodDays) return std::nullopt;
  return days;
}

std::optional<std::string> InsuranceOperations::endDate(std::string_view start, int64_t days) {
  auto first = readDay(start);
  if (!first || days < 1) return std::nullopt;
  const std::chrono::year_month_day last{std::chrono::sys_days(*first) + std::chrono::days(days - 1)};
  char out[16];
  std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(last.year()), static_cast<unsigned>(last.month()),
                static_cast<unsigned>(last.day()));
  return std::string(out);
}

std::string InsuranceOperations::dayAfter(platform::WallTime moment, int days) {
  return formatDate(moment + std::chrono::seconds(int64_t{86400} * days), "yyyy-MM-dd");
}

std::string InsuranceOperations::format(std::string_view text, std::string_view value) {
  std::string out(text);
  if (auto at = out.find("%@"); at != std::string::npos) out.replace(at, 2, value);
  return out;
}

std::string InsuranceOperations::text(const Json& record, std::string_view key) {
  if (!record.is_object()) return {};
  auto it = record.find(key);
  if (it == record.end() || !it->is_string()) return {};
  return it->get<std::string>();
}

}  // namespace nvx
