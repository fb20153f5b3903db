#include "core/models/ServiceGroupEntity.h"

#include "core/session/UserDefaultsExt.h"
#include "core/text/TextExt.h"
#include "core/text/TextNumber.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

namespace {

using platform::Json;

std::string shown(const Json& value) {
  if (value.is_null()) return "(null)";
  return platform::json::asText(value).value_or(platform::json::dump(value));
}

void describe(std::string& out, const char* field, const Json& value) {
  out += field;
  out += " : ";
  out += shown(value);
  out += "\n";
}

}  // namespace

// --- ServListEntity ---

ServListEntity ServListEntity::initWithJson(const Json& json) {
  using platform::json::valueOrNull;
  ServListEntity e;
  e.servOrder_ = valueOrNull(json, "servOrder");
  e.update_ = valueOrNull(json, "update");
  e.servName_ = valueOrNull(json, "servName");
  e.servId_ = valueOrNull(json, "servId");
  e.updateMsg_ = valueOrNull(json, "updateMsg");
  return e;
}

ServListEntity::ServListEntity(const platform::Unarchiver& coder)
    : servOrder_(coder.valueOrNull(archiveKey("servOrder"))),
      update_(coder.valueOrNull(archiveKey("update"))),
      servName_(coder.valueOrNull(archiveKey("servName"))),
      servId_(coder.valueOrNull(archiveKey("servId"))),
      updateMsg_(coder.valueOrNull(archiveKey("updateMsg"))) {}

void ServListEntity::encode(platform::Archiver& coder) const {
  coder.setValueUnlessNull(archiveKey("servOrder"), servOrder_);
  coder.setValueUnlessNull(archiveKey("update"), update_);
  coder.setValueUnlessNull(archiveKey("servName"), servName_);
  coder.setValueUnlessNull(archiveKey("servId"), servId_);
  coder.setValueUnlessNull(archiveKey("updateMsg"), updateMsg_);
}

void ServListEntity::registerArchiveClass() { platform::registerArchivable<ServListEntity>(kArchiveClass); }

std::string ServListEntity::servIdText() const {
  if (servId_.is_string() || servId_.is_number()) return platform::json::asText(servId_).value_or("");
  return {};
}

bool ServListEntity::updateAsBool() const {
  if (update_.is_string()) return text::boolValue(update_.get<std::string>());
  if (update_.is_boolean()) return update_.get<bool>();
  if (update_.is_number()) return update_.get<double>() != 0;
  return false;
}

int64_t ServListEntity::updateAsInt() const {
  if (update_.is_string()) return text::intValue(update_.get<std::string>());
  if (update_.is_boolean()) return update_.get<bool>() ? 1 : 0;
  if (update_.is_number()) return platform::json::asInt(update_).value_or(0);
  return 0;
}

bool ServListEntity::updateIsEmpty() const {
  if (update_.is_null()) return true;
  return update_.is_string() && update_.get<std::string>().empty();
}

std::optional<std::string> ServListEntity::updateNote() const {
  if (!updateMsg_.is_string()) return std::nullopt;
  std::string note = updateMsg_.get<std::string>();
  if (text::isEmpty(note)) return std::nullopt;
  return note;
}

std::string ServListEntity::description() const {
  std::string out = "\n";
  describe(out, "servOrder", servOrder_);
  describe(out, "update", update_);
  describe(out, "servName", servName_);
  describe(out, "servId", servId_);
  describe(out, "updateMsg", updateMsg_);
  return out;
}

// --- ServiceGroupEntity ---

ServiceGroupEntity ServiceGroupEntity::initWithJson(const Json& json) {
  using platform::json::valueOrNull;
  ServiceGroupEntity e;
  e.groupId_ = valueOrNull(json, "groupId");
  e.groupName_ = valueOrNull(json, "groupName");
  e.groupOrder_ = valueOrNull(json, "groupOrder");
  e.groupCode_ = valueOrNull(json, "groupCode");
  if (const Json* list = platform::json::member(json, "servList"); list && list->is_array()) {
    for (const auto& entry : *list) {
      if (entry.is_object()) e.servList_.push_back(std::make_shared<ServListEntity>(ServListEntity::initWithJson(entry)));
    }
  }
  return e;
}

ServiceGroupEntity::ServiceGroupEntity(const platform::Unarchiver& coder)
    : groupId_(coder.valueOrNull(archiveKey("groupId"))),
      groupName_(coder.valueOrNull(archiveKey("groupName"))),
      groupOrder_(coder.valueOrNull(archiveKey("groupOrder"))),
      groupCode_(coder.valueOrNull(archiveKey("groupCode"))),
      servList_(coder.arrayOf<ServListEntity>(archiveKey("servList"))) {}

void ServiceGroupEntity::encode(platform::Archiver& coder) const {
  coder.setValueUnlessNull(archiveKey("groupId"), groupId_);
  coder.setValueUnlessNull(archiveKey("groupName"), groupName_);
  coder.setValueUnlessNull(archiveKey("groupOrder"), groupOrder_);
  coder.setValueUnlessNull(archiveKey("groupCode"), groupCode_);
  coder.setArray(archiveKey("servList"), servList_);
}

void ServiceGroupEntity::registerArchiveClass() {
  ServListEntity::registerArchiveClass();
  platform::registerArchivable<ServiceGroupEntity>(kArchiveClass);
}

std::string ServiceGroupEntity::description() const {
  std::string out = "\n";
  describe(out, "groupId", groupId_);
  describe(out, "groupName", groupName_);
  describe(out, "groupOrder", groupOrder_);
  describe(out, "groupCode", groupCode_);
  out += "servList : " + std::to_string(servList_.size()) + " services\n";
  return out;
}

void ServiceGroupEntity::store(const std::vector<std::shared_ptr<ServiceGroupEntity>>& groups) {
  auto& defaults = platform::UserDefaults::standard();
  defaults.setData(kStoreKey, platform::archiveList(groups));
  if (!defaults.synchronize()) platform::log::warning("ServiceGroupEntity", "the service groups could not be written");
}

std::vector<std::shared_ptr<ServiceGroupEntity>> ServiceGroupEntity::stored() {
  std::vector<std::shared_ptr<ServiceGroupEntity>> groups;
  auto bytes = platform::UserDefaults::standard().data(kStoreKey);
  if (!bytes) return groups;
  auto list = platform::unarchiveList(*bytes);
  if (!list) return groups;
  for (const auto& object : *list) {
    if (auto group = std::dynamic_pointer_cast<ServiceGroupEntity>(object)) groups.push_back(std::move(group));
  }
  return groups;
}

std::vector<std::shared_ptr<ServListEntity>> ServiceGroupEntity::storedServices() {
  std::vector<std::shared_ptr<ServListEntity>> services;
  for (const auto& group : stored()) {
    for (const auto& service : group->servList()) services.push_back(service);
  }
  return services;
}

}  // namespace nvx
