#include "home/HomeServiceOperations.h"

#include <chrono>

#include "core/models/ClientVersionEntity.h"
#include "core/text/StringsTool.h"
#include "core/text/UrlEscaping.h"
#include "net/CoreOperations.h"
#include "net/MainApiRequest.h"
#include "net/NetService.h"

namespace nvx {

namespace {

using platform::Json;

constexpr auto kReaderQueryTimeout = std::chrono::seconds(20);
constexpr int kMallPageType = 1;
constexpr int kMallPageSize = 30;
constexpr int kProductScreenSpecs = 4;

std::optional<std::string> textOf(const Json& json, std::string_view key) {
  const Json* value = platform::json::member(json, key);
  if (!value || !(value->is_string() || value->is_number())) return std::nullopt;
  return platform::json::asText(*value);
}

// A request to one of the mall's bases: the address is the base and the name, without ending or
// identity.
MainApiRequest mallGet(std::string base, std::string name) {
  return MainApiRequest::get(std::move(name), Identity::None).atBase(std::move(base)).ending("").spinner();
}

}  // namespace

MsgList MsgList::initWithJson(const Json& json) {
  MsgList m;
  if (!json.is_object()) return m;
  m.msgId = textOf(json, "msgId");
  m.msgPurpose = textOf(json, "msgPurpose");
  m.msgContent = textOf(json, "msgContent");
  m.msgPutoutTime = textOf(json, "msgPutoutTime");
  m.openType = textOf(json, "openType");
  m.params = textOf(json, "params");
  return m;
}

HomeListEntity HomeListEntity::initWithJson(const Json& json) {
  using platform::json::valueOrNull;
  HomeListEntity e;
  e.pid = valueOrNull(json, "id");
  e.beginTime = valueOrNull(json, "beginTime");
  e.endTime = valueOrNull(json, "endTime");
  e.imgUrl = valueOrNull(json, "imgUrl");
  e.idType = valueOrNull(json, "idType");
  e.pageContent = valueOrNull(json, "pageContent");
  e.status = valueOrNull(json, "status");
  return e;
}

void HomeServiceOperations::getNoticeMsgCurrPage(int page, std::function<void(NoticePage)> completion) {
  MainApiRequest::get("getNoticeMsg", Identity::Plain)
      .query("currPage", std::to_string(page))
      .spinner()
      .start({[completion = std::move(completion)](ServerReply reply) {
                NoticePage out;
                const Json* data = reply.data();
                if (!reply.ok()) {
                  out.errMsg = reply.message();
                } else {
                  out.ok = true;
                  const Json* list = data ? platform::json::member(*data, "list") : nullptr;
                  if (list && list->is_array()) {
                    for (const auto& entry : *list) out.list.push_back(MsgList::initWithJson(entry));
                  }
                }
                completion(std::move(out));
              },
              "getNoticeMsg"});
}

HomeServiceOperations::VersionCheck HomeServiceOperations::versionCheckOf(
    bool networkFailed, const std::vector<std::shared_ptr<ClientVersionEntity>>& list) {
  VersionCheck check;
  if (networkFailed) {
    check.kind = VersionCheck::Kind::NetworkFailed;
    return check;
  }
  if (list.empty() || !list.front()) return check;
  const ClientVersionEntity& first = *list.front();
  check.title = first.descTitle();
  check.message = first.clientDesc();
  if (first.mustup() == 0) {
    check.kind = VersionCheck::Kind::Optional;
  } else if (first.mustup() == 1) {
    check.kind = VersionCheck::Kind::Forced;
  }
  return check;
}

void HomeServiceOperations::checkClientVersion(std::function<void(VersionCheck)> completion) {
  CoreOperations::getShuakaqiListWithBlock(
      [completion = std::move(completion)](NetResult result, RetStatusEntity status, bool isErr) {
        const bool networkFailed = isErr && NetService::isNetworkConnectionFailed(status);
        completion(versionCheckOf(networkFailed, isErr ? std::vector<std::shared_ptr<ClientVersionEntity>>{}
                                                       : result.list<ClientVersionEntity>()));
      });
}

HomeServiceOperations::ReaderOwner HomeServiceOperations::getMobileByPsamNo(const std::string& psamId,
                                                                            const RequestSession& session) {
  const ServerReply reply = MainApiRequest::get("getMobileByPsamNo/" + text::encodeURLString(psamId), Identity::Plain, session)
                                .timeout(kReaderQueryTimeout)
                                .sendSynchronously();
  ReaderOwner owner;
  owner.message = reply.message();
  switch (reply.kind) {
    case FailureKind::None:
      break;
    case FailureKind::NotSent:
    case FailureKind::OutcomeUnknown:
      owner.kind = ReaderOwner::Kind::NetworkFailed;
      return owner;
    case FailureKind::SessionExpired:
      owner.kind = ReaderOwner::Kind::TokenExpired;
      owner.code = reply.status.retCode();
      return owner;
    default:
      owner.kind = ReaderOwner::Kind::Failed;
      return owner;
  }
  const Json* data = reply.envelope ? reply.envelope->retData() : nullptr;
  auto name = data && data->is_object() ? platform::json::textOnly(*data, "loginName") : std::nullopt;
  if (name && !name->empty()) {
    owner.kind = ReaderOwner::Kind::Opened;
    owner.loginName = *name;
  }
  return owner;
}

void HomeServiceOperations::getProducts(
    std::function<void(std::optional<std::vector<HomeListEntity>>, std::string errMsg)> completion) {
  mallGet(StringsTool::secondServerAddress(), "pageHomeList")
      .query("pageType", std::to_string(kMallPageType))
      .query("pageIndex", "1")
      .query("pageSize", std::to_string(kMallPageSize))
      .start({[completion = std::move(completion)](ServerReply reply) {
                if (!reply.ok()) return completion(std::nullopt, reply.message());
                std::vector<HomeListEntity> list;
                const Json* data = reply.data();
                if (data && data->is_array()) {
                  for (const auto& entry : *data) list.push_back(HomeListEntity::initWithJson(entry));
                }
                completion(std::move(list), {});
              },
              "pageHomeList"});
}

void HomeServiceOperations::getDetailProductWithPId(
    const std::string& productId, std::function<void(std::optional<Json> detail, std::string errMsg)> completion) {
  mallGet(StringsTool::mallServerAddress(), "product")
      .query("pId", text::encodeURLString(productId))
      .query("screenSpecs", std::to_string(kProductScreenSpecs))
      .start({[completion = std::move(completion)](ServerReply reply) {
                if (!reply.ok()) return completion(std::nullopt, reply.message());
                const Json* data = reply.data();
                completion(data ? std::optional<Json>(*data) : std::nullopt, {});
              },
              "product"});
}

}  // namespace nvx
