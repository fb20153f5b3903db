// The server's grouping of the businesses: groups of services, each service naming a business
// code with its update flag and an optional note shown under the business in the applications
// list. The last list fetched is kept whole in the user defaults (kStoreKey) and read by the
// applications list and the reorder screen. Fields are held as the server gives them (a number
// stays a number; a missing key is null).
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class ServListEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "ServListEntity";

  ServListEntity() = default;
  // Each field from its key; anything but an object leaves every field null.
  static ServListEntity initWithJson(const platform::Json& json);
  explicit ServListEntity(const platform::Unarchiver& coder);

  const platform::Json& servOrder() const { return servOrder_; }
  const platform::Json& update() const { return update_; }
  const platform::Json& servName() const { return servName_; }
  const platform::Json& servId() const { return servId_; }
  const platform::Json& updateMsg() const { return updateMsg_; }

  // The business code as text ("" when missing or not a text or number).
  std::string servIdText() const;
  // The update flag read as a boolean / as an integer, with the platform's lenient rules for
  // texts; a number is read as it stands; anything else is false / 0.
  bool updateAsBool() const;
  int64_t updateAsInt() const;
  // True when the flag is missing or an empty text.
  bool updateIsEmpty() const;
  // The note when it is a text that holds more than blanks.
  std::optional<std::string> updateNote() const;

  // "\n" then "<field> : <value>\n" per field.
  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  platform::Json servOrder_;
  platform::Json update_;
  platform::Json servName_;
  platform::Json servId_;
  platform::Json updateMsg_;
};

class ServiceGroupEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "ServiceGroupEntity";
  // The user default the fetched list is kept under.
  static constexpr const char* kStoreKey = "SerializeKeyDefaultGroup";

  ServiceGroupEntity() = default;
  // Each field from its key; the services from the objects of "servList" (none when missing).
  static ServiceGroupEntity initWithJson(const platform::Json& json);
  explicit ServiceGroupEntity(const platform::Unarchiver& coder);

  const platform::Json& groupId() const { return groupId_; }
  const platform::Json& groupName() const { return groupName_; }
  const platform::Json& groupOrder() const { return groupOrder_; }
  const platform::Json& groupCode() const { return groupCode_; }
  const std::vector<std::shared_ptr<ServListEntity>>& servList() const { return servList_; }

  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  // Registers both classes.
  static void registerArchiveClass();

  // Stores the list under kStoreKey and writes the defaults at once.
  static void store(const std::vector<std::shared_ptr<ServiceGroupEntity>>& groups);
  // The stored list; empty when nothing (or nothing readable) is stored.
  static std::vector<std::shared_ptr<ServiceGroupEntity>> stored();
  // Every service of every stored group, in stored order.
  static std::vector<std::shared_ptr<ServListEntity>> storedServices();

 private:
  platform::Json groupId_;
  platform::Json groupName_;
  platform::Json groupOrder_;
  platform::Json groupCode_;
  std::vector<std::shared_ptr<ServListEntity>> servList_;
};

}  // namespace nvx
