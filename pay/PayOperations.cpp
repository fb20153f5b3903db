#include "pay/PayOperations.h"

#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/NetUiHooks.h"
#include "pay/Tools.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

// A stored address as the one request builder takes it: the method path under the main API's
// base (another base when the address lies elsewhere) and the query segments it carried.
struct Address {
  std::optional<std::string> base;
  std::string path;
  std::vector<std::string> query;
};

Address addressOf(const std::string& url, const std::string& mainBase) {
  Address address;
  std::string rest = url;
  if (size_t q = rest.find('?'); q != std::string::npos) {
    std::string query = rest.substr(q + 1);
    rest.resize(q);
    size_t at = 0;
    for (;;) {
      size_t amp = query.find('&', at);
      address.query.push_back(query.substr(at, amp == std::string::npos ? std::string::npos : amp - at));
      if (amp == std::string::npos) break;
      at = amp + 1;
    }
  }
  if (!mainBase.empty() && rest.starts_with(mainBase)) {
    rest.erase(0, mainBase.size());
  } else {
    size_t slash = rest.rfind('/');
    address.base = rest.substr(0, slash == std::string::npos ? 0 : slash + 1);
    rest.erase(0, slash == std::string::npos ? 0 : slash + 1);
  }
  if (rest.ends_with(".json")) rest.resize(rest.size() - 5);
  address.path = std::move(rest);
  return address;
}

// The pay screens' reading of a reply. A gateway's 502 is read like its 504: the request went out
// and whether the server did it is open.
PayReply payReplyOf(const ServerReply& reply) {
  using Kind = PayReply::Kind;
  switch (reply.kind) {
    case FailureKind::None:
    case FailureKind::Server: {
      std::optional<platform::Json> data;
      if (const platform::Json* d = reply.envelope ? reply.envelope->retData() : nullptr) data = *d;
      std::string code = reply.envelope ? reply.envelope->retCode().value_or("") : "";
      std::string message = reply.envelope ? reply.envelope->errMsg().value_or("") : "";
      PayReply out = PayReply::answered(std::move(code), std::move(message), std::move(data));
      if (reply.kind == FailureKind::Server && out.message.empty()) out.message = reply.message();
      return out;
    }
    case FailureKind::NotSent:
      return PayReply::failed(Kind::NotSent, reply.message());
    case FailureKind::OutcomeUnknown:
      return PayReply::failed(Kind::OutcomeUnknown, reply.message());
    case FailureKind::Http:
      if (reply.httpStatus == 502 || reply.httpStatus == 504) return PayReply::failed(Kind::OutcomeUnknown, reply.message());
      return PayReply::failed(Kind::BadReply, reply.message());
    case FailureKind::BadReply:
      return PayReply::failed(Kind::BadReply, reply.message());
    case FailureKind::SessionExpired:
      return PayReply::failed(Kind::SessionExpired, reply.message());
    case FailureKind::Cancelled:
      return PayReply::failed(Kind::Cancelled, reply.message());
  }
  return PayReply::failed(Kind::BadReply, reply.message());
}

class MainApiPayOperations : public PayOperations {
 public:
  Prepared commit(const Tools& tools, const CardFields& card) override {
    return prepare(tools.url(), tools.infoDic(), card);
  }
  Prepared feeInquiry(const Tools& tools, const CardFields& card) override {
    return prepare(tools.searFeeUrl(), tools.requestSearchFeeInfoDic(), card);
  }
  void getParameter(std::string key, std::string dictCode,
                    std::function<void(std::optional<platform::Json>)> completion) override {
    MainApiRequest::get("getParameter", Identity::Plain)
        .query("key", key)
        .query("dictCode", dictCode)
        .spinner()
        .start(OnceCompletion<void(ServerReply)>([completion = std::move(completion)](ServerReply reply) {
          const platform::Json* data = reply.data();
          completion(data ? std::optional<platform::Json>(*data) : std::nullopt);
        }));
  }

  void handleExpiredLogin() override { NetUiHooks::expiredLoginTakenOver(); }

 private:
  static Prepared prepare(const std::string& url, const Tools::FieldDict& stored, const CardFields& card) {
    std::vector<platform::net::PostField> added{{"otrack", card.otrack}, {"rnd", card.rnd}};
    if (card.pinkey) added.push_back({"pinkey", *card.pinkey});
    return prepareStored(url, stored, added);
  }
};

}  // namespace

// Built now on the main thread: the stored fields (with the identity the business screen stamped
// when it stored them), then the pay screen's fields; the session the request hook signs with is
// captured here too.
PayOperations::Prepared PayOperations::prepareStored(const std::string& url,
                                                     const std::vector<platform::net::PostField>& stored,
                                                     const std::vector<platform::net::PostField>& added) {
  RequestSession session = RequestSession::capture();
  Address address = addressOf(url, session.mainApiBase);
  MainApiRequest request = MainApiRequest::postForm(address.path, Identity::None, session);
  if (address.base) request.atBase(*address.base);
  for (auto& segment : address.query) request.rawQuery(segment);
  // An added field replaces a stored one of its name, as the request does.
  std::vector<platform::net::PostField> fields;
  for (const auto& f : stored) {
    bool replaced = false;
    for (const auto& a : added) replaced = replaced || a.key == f.key;
    if (!replaced) fields.push_back(f);
  }
  fields.insert(fields.end(), added.begin(), added.end());
  for (const auto& f : fields) request.field(f.key, f.value);
  request.timeout(Tools::kRequestTimeout).keepAlive(false);
  return {[request] { return payReplyOf(request.sendSynchronously()); }, std::move(fields)};
}

std::shared_ptr<PayOperations> PayOperations::mainApi() { return std::make_shared<MainApiPayOperations>(); }

}  // namespace nvx
