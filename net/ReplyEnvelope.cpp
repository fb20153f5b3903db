#include "net/ReplyEnvelope.h"

#include "net/JsonDeserializer.h"

namespace nvx {

using platform::Json;

Envelope::Envelope(Json top) : top_(std::move(top)) {
  const Json* retStatus = platform::json::member(top_, "retStatus");
  status_ = RetStatusEntity::initWithJson(retStatus ? *retStatus : Json());
}

std::optional<std::string> Envelope::retCode() const {
  if (!status_.hasRetCode()) return std::nullopt;
  return status_.retCode();
}

std::optional<std::string> Envelope::errMsg() const {
  if (!status_.hasErrMsg()) return std::nullopt;
  return status_.errMsg();
}

bool Envelope::hasStatus() const {
  const Json* retStatus = platform::json::member(top_, "retStatus");
  return retStatus && retStatus->is_object();
}

std::optional<std::string> Envelope::statusText(std::string_view key) const {
  const Json* retStatus = platform::json::member(top_, "retStatus");
  return retStatus ? platform::json::text(*retStatus, key) : std::nullopt;
}

bool Envelope::isSessionExpired() const {
  return status_.hasRetCode() && (status_.retCode() == "1012" || status_.retCode() == "1023");
}

const Json* Envelope::retData() const { return platform::json::member(top_, "retData"); }

std::optional<Json> Envelope::okData() const {
  const Json* data = retData();
  if (!isOk() || !data) return std::nullopt;
  return *data;
}

const Json* Envelope::dataMember(std::string_view key) const {
  const Json* data = retData();
  if (!data || !data->is_object()) return nullptr;
  return platform::json::member(*data, key);
}

std::optional<std::string> Envelope::dataText(std::string_view key) const {
  const Json* value = dataMember(key);
  if (!value) return std::nullopt;
  return platform::json::asText(*value);
}

platform::Result<Envelope> ReplyEnvelope::parse(std::string_view body) {
  if (body.empty()) return platform::Status::error("empty reply");
  std::optional<Json> top = JsonDeserializer::deserialize(body);
  if (!top) return platform::Status::error("reply is not JSON");
  if (!top->is_object()) return platform::Status::error("reply is not a JSON object");
  return Envelope(std::move(*top));
}

}  // namespace nvx
