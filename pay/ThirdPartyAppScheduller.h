// Calls from a partner bank's app. The bank hands over a signed message and a function to run for
// its user: the main server checks the message's signature and decrypts it (an unsigned, tampered
// or replayed message is refused there and runs nothing), names the account of the service bound
// to the bank's user, and the handler takes that account over and opens the business screen.
// When the bank's user has no account yet, the user logs in (or registers) and the account is
// bound first. Leaving the business returns to the bank app and logs the user out.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "pay/AppScheduller.h"
#include "pay/AppSchedullerOperations.h"

namespace nvx {

// What the regional bank's transfer screens take from the verified message (they live with the
// transfers and implement this when they are built).
class PartnerParamsScreen {
 public:
  virtual ~PartnerParamsScreen() = default;
  virtual void setParamsEntity(const TPVerifyDecryptEntity& entity) = 0;
};

class ThirdPartyAppScheduller : public AppScheduller {
 public:
  static constexpr const char* kClassName = "ThirdPartyAppScheduller";
  static constexpr const char* kCallerName = "手机银行";
  // Reply codes of the binding look-up.
  static constexpr const char* kNotBoundCode = "1089";
  static constexpr const char* kNoUserCode = "1002";
  static constexpr const char* kNotBoundPrompt = "当前未绑定诺维萨账户，请先登录或注册！";
  static constexpr const char* kNoUserPrompt = "用户不存在，请先注册！";
  static constexpr const char* kBindingLabel = "正在绑定...";

  ThirdPartyAppScheduller();
  std::string className() const override { return kClassName; }

  bool isAdapt() override;
  void scheduling() override;
  std::optional<FuncNoClassMap> funcNoClassMap() const override;

  // Looks up the account bound to the partner's user and takes it over.
  void freeLogin();
  // Binds the account just logged in to the partner's user.
  void applyBind();

  const std::string& sourceAppIdentifier() const { return sourceAppIdentifier_; }
  const TPMessageEntity& msgEntity() const { return msgEntity_; }
  const std::optional<TPVerifyDecryptEntity>& decryptEntity() const { return decryptEntity_; }

  // The return text of a verified callbackUrl: what stands between its first "://" and the next
  // one; empty without "://".
  static std::string callbackMsgOf(const std::string& callbackUrl);

 protected:
  std::string sourceAppIdentifier_;

 private:
  void verified(PartnerAnswer<platform::Json> answer);
  void bound(PartnerAnswer<BindSearch> answer);

  TPMessageEntity msgEntity_;
  std::optional<TPVerifyDecryptEntity> decryptEntity_;
};

// The regional bank's handler: its own identifier, return scheme and name, and its own transfer
// screens, which get the verified message before they show.
class DYAppScheduller : public ThirdPartyAppScheduller {
 public:
  static constexpr const char* kClassName = "DYAppScheduller";
  static constexpr const char* kCallIdentifier = "com.bankdey.mobilebank";
  static constexpr const char* kCallAppScheme = "bankdey";
  static constexpr const char* kCallerName = "德阳手机银行";

  DYAppScheduller();
  std::string className() const override { return kClassName; }
  std::optional<FuncNoClassMap> funcNoClassMap() const override;
};

}  // namespace nvx
