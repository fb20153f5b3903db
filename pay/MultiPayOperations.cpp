#include "pay/MultiPayOperations.h"

#include "core/text/StringsTool.h"
#include "net/MainApiRequest.h"
#include "net/NetService.h"
#include "net/NetUiHooks.h"
#include "pay/PayMoney.h"
#include "pay/Tools.h"
#include "platform/foundation/Strings.h"

namespace nvx {

using platform::Json;

namespace {

// A flag of the pay-method answer: true, 1, "1", "true" or "YES".
bool flagOf(const Json& json, const char* key) {
  if (!json.contains(key)) return false;
  const Json& v = json[key];
  if (v.is_boolean()) return v.get<bool>();
  if (v.is_number_integer()) return v.get<int64_t>() == 1;
  if (v.is_string()) {
    const std::string s = v.get<std::string>();
    return s == "1" || s == "true" || s == "YES";
  }
  return false;
}

template <class T>
WalletAnswer<T> failureOf(const ServerReply& reply) {
  WalletAnswer<T> answer;
  answer.message = reply.message();
  answer.dataError = reply.kind == FailureKind::BadReply || NetService::isRetDataError(reply.status);
  return answer;
}

template <class T>
WalletAnswer<T> dataError() {
  WalletAnswer<T> answer;
  answer.message = platform::Strings::localized("Error_Data");
  answer.dataError = true;
  return answer;
}

class MainApiMultiPayOperations : public MultiPayOperations {
 public:
  void queryPayTypeWithBusid(std::string busid, std::string lpmercd,
                    std::function<void(WalletAnswer<std::vector<PaySupportTypeEntity>>)> completion) override {
    MainApiRequest::get("queryPayType", Identity::Plain)
        .query("busid", busid)
        .query("lpmercd", lpmercd)
        .spinner()
        .start(OnceCompletion<void(ServerReply)>([completion = std::move(completion)](ServerReply reply) {
          using Answer = WalletAnswer<std::vector<PaySupportTypeEntity>>;
          const Json* data = reply.data();
          if (!data) return completion(failureOf<std::vector<PaySupportTypeEntity>>(reply));
          if (!data->is_array()) return completion(dataError<std::vector<PaySupportTypeEntity>>());
          Answer answer;
          answer.value.emplace();
          for (const auto& item : *data) {
            auto entity = PaySupportTypeEntity::fromJson(item);
            if (!entity) return completion(dataError<std::vector<PaySupportTypeEntity>>());
            answer.value->push_back(*entity);
          }
          completion(std::move(answer));
        }));
  }

  void getGifMessageType(std::string giftType, std::function<void(WalletAnswer<RedPagerEntity>)> completion) override {
    MainApiRequest::postForm("queryTrans", Identity::Wallet)
        .busid("130002")
        .field("giftType", giftType)
        .field("series", StringsTool::getSeries())
        .field("tdtm", StringsTool::getTime())
        .keepAlive(false)
        .spinner()
        .start(OnceCompletion<void(ServerReply)>([completion = std::move(completion)](ServerReply reply) {
          const Json* data = reply.data();
          if (!data) return completion(failureOf<RedPagerEntity>(reply));
          auto entity = RedPagerEntity::fromJson(*data);
          if (!entity) return completion(dataError<RedPagerEntity>());
          WalletAnswer<RedPagerEntity> answer;
          answer.value = std::move(entity);
          completion(std::move(answer));
        }));
  }

  void getWalletInfoIsNeedMPBHOD(std::function<void(WalletAnswer<WalletInfo>)> completion) override {
    MainApiRequest::postForm("queryTrans", Identity::Wallet)
        .busid("110001")
        .field("tdtm", StringsTool::getTime())
        .field("series", StringsTool::getSeries())
        .keepAlive(false)
        .spinner()
        .start(OnceCompletion<void(ServerReply)>([completion = std::move(completion)](ServerReply reply) {
          const Json* data = reply.data();
          if (!data) return completion(failureOf<WalletInfo>(reply));
          auto info = WalletInfo::fromJson(*data);
          if (!info) return completion(dataError<WalletInfo>());
          WalletAnswer<WalletInfo> answer;
          answer.value = *info;
          completion(std::move(answer));
        }));
  }

  PayOperations::Prepared commit(const Tools& tools, const std::vector<platform::net::PostField>& fields) override {
    return PayOperations::prepareStored(tools.url(), tools.infoDic(), fields);
  }

  void handleExpiredLogin() override { NetUiHooks::expiredLoginTakenOver(); }
};

}  // namespace

std::optional<PaySupportTypeEntity> PaySupportTypeEntity::fromJson(const Json& json) {
  if (!json.is_object()) return std::nullopt;
  return PaySupportTypeEntity{flagOf(json, "cardPay"), flagOf(json, "balancePay"), flagOf(json, "giftPay")};
}

int RedPagerEntity::giftCount() const {
  if (giftnum.empty() || giftnum.size() > 9) return 0;
  int n = 0;
  for (char c : giftnum) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

std::optional<RedPagerEntity> RedPagerEntity::fromJson(const Json& json) {
  if (!json.is_object()) return std::nullopt;
  RedPagerEntity entity;
  if (json.contains("giftnum")) entity.giftnum = platform::json::asText(json["giftnum"]).value_or("");
  if (json.contains("giftinfo")) {
    if (!json["giftinfo"].is_array()) return std::nullopt;
    // Every packet must carry its id and a face value in whole fen, or the choice could not be
    // checked against the amount due.
    for (const auto& item : json["giftinfo"]) {
      if (!item.is_object() || !item.contains("giftno") || !item.contains("giftamt")) return std::nullopt;
      if (!PayMoney::fenFromWire(item["giftamt"])) return std::nullopt;
    }
    entity.redPacketItems = json["giftinfo"];
  }
  return entity;
}

std::optional<WalletInfo> WalletInfo::fromJson(const Json& json) {
  if (!json.is_object() || !json.contains("amount")) return std::nullopt;
  auto amount = PayMoney::fenFromWire(json["amount"]);
  if (!amount) return std::nullopt;
  auto tamount = json.contains("tamount") ? PayMoney::fenFromWire(json["tamount"]) : amount;
  if (!tamount) return std::nullopt;
  return WalletInfo{*amount, *tamount};
}

std::shared_ptr<MultiPayOperations> MultiPayOperations::mainApi() {
  return std::make_shared<MainApiMultiPayOperations>();
}

}  // namespace nvx
