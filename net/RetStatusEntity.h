// The status block of a main-API reply ("retStatus"): the server's code and its message. The
// request layer overwrites errMsg with a localized text where it judges a reply itself, and
// retCode with the transport's code after a transport failure.
#pragma once
#include <string>

#include "platform/foundation/Archive.h"
#include "platform/foundation/Json.h"

namespace nvx {

class RetStatusEntity : public platform::Archivable {
 public:
  static constexpr const char* kArchiveClass = "RetStatusEntity";

  RetStatusEntity() = default;
  RetStatusEntity(std::string retCode, std::string errMsg)
      : retCode_(std::move(retCode)), errMsg_(std::move(errMsg)), hasRetCode_(true), hasErrMsg_(true) {}
  // Reads "retCode" and "errMsg" from the "retStatus" object; anything but an object (null:
  // nothing) leaves both empty. Values that are not texts count as absent.
  static RetStatusEntity initWithJson(const platform::Json& json);
  // Rebuilds from an archive ("nvx_retCode", "nvx_errMsg").
  explicit RetStatusEntity(const platform::Unarchiver& coder);

  // Whether the reply carried a text "retCode" (an absent code reads as "").
  bool hasRetCode() const { return hasRetCode_; }
  const std::string& retCode() const { return retCode_; }
  void setRetCode(std::string code) {
    retCode_ = std::move(code);
    hasRetCode_ = true;
  }
  // Whether the reply carried a text "errMsg".
  bool hasErrMsg() const { return hasErrMsg_; }
  const std::string& errMsg() const { return errMsg_; }
  void setErrMsg(std::string msg) {
    errMsg_ = std::move(msg);
    hasErrMsg_ = true;
  }

  // "retCode : <code>\nerrMsg : <message>\n"
  std::string description() const;

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  // Registers the archive class (the client's start and tests).
  static void registerArchiveClass();

 private:
  std::string retCode_;
  std::string errMsg_;
  bool hasRetCode_ = false;
  bool hasErrMsg_ = false;
};

}  // namespace nvx
