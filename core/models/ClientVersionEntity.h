// One record of the client-version list (the upgrade check).
#pragma once
#include <cstdint>
#include <string>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class ClientVersionEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "ClientVersionEntity";

  ClientVersionEntity() = default;
  // Each field from its key (the id from "id"); anything but an object leaves all empty. Texts
  // must be texts; numbers may be numbers or numeric texts.
  static ClientVersionEntity initWithJson(const platform::Json& json);
  // initWithCoder: the "nvx_" keys.
  explicit ClientVersionEntity(const platform::Unarchiver& coder);

  const std::string& aimVersion() const { return aimVersion_; }
  void setAimVersion(std::string v) { aimVersion_ = std::move(v); }
  const std::string& currVersion() const { return currVersion_; }
  void setCurrVersion(std::string v) { currVersion_ = std::move(v); }
  // 1: the upgrade is forced; 0: optional.
  int64_t mustup() const { return mustup_; }
  void setMustup(int64_t v) { mustup_ = v; }
  int64_t clientVersionId() const { return clientVersionId_; }
  void setClientVersionId(int64_t v) { clientVersionId_ = v; }
  const std::string& descTitle() const { return descTitle_; }
  void setDescTitle(std::string v) { descTitle_ = std::move(v); }
  const std::string& clientDesc() const { return clientDesc_; }
  void setClientDesc(std::string v) { clientDesc_ = std::move(v); }
  const std::string& clientUrl() const { return clientUrl_; }
  void setClientUrl(std::string v) { clientUrl_ = std::move(v); }
  int64_t createTime() const { return createTime_; }
  void setCreateTime(int64_t v) { createTime_ = v; }
  const std::string& platType() const { return platType_; }
  void setPlatType(std::string v) { platType_ = std::move(v); }

  // "\n" then "<field> : <value>\n" per field in table order.
  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  // encodeWithCoder
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  std::string aimVersion_;
  std::string currVersion_;
  int64_t mustup_ = 0;
  int64_t clientVersionId_ = 0;
  std::string descTitle_;
  std::string clientDesc_;
  std::string clientUrl_;
  int64_t createTime_ = 0;
  std::string platType_;
};

}  // namespace nvx
