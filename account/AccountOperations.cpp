#include "account/AccountOperations.h"

#include "app/ui/NVXViewController.h"
#include "core/text/StringsTool.h"
#include "net/CoreOperations.h"
#include "net/MainApiRequest.h"
#include "net/ParseTool.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PictureDecoder.h"

#include <unistd.h>

#include <atomic>

namespace nvx {

namespace {

using platform::Strings;

// A path segment as it goes into an address: escaped, so that a "/" or "?" in it stays inside.
std::string segment(std::string_view text) { return StringsTool::encodeURL(text); }

bool noReply(FailureKind kind) {
  return kind == FailureKind::NotSent || kind == FailureKind::OutcomeUnknown || kind == FailureKind::Cancelled;
}

// The reply as the raw envelope: no expired-login handling, every code as it came.
AccountReply readRaw(const ServerReply& server) {
  AccountReply reply;
  reply.retCode = server.status.retCode();
  reply.errorText = server.message();
  if (noReply(server.kind)) {
    reply.kind = AccountReply::Kind::NoConnection;
  } else if (!server.envelope || !server.envelope->retCode()) {
    reply.kind = AccountReply::Kind::Unreadable;
  } else {
    reply.kind = server.ok() ? AccountReply::Kind::Success : AccountReply::Kind::Refused;
    if (const auto* data = server.data()) reply.data = *data;
  }
  return reply;
}

// The reply as the screens read the synchronous road: success with "retData" (the empty text
// without it); an expired login handled on the screen's stack (the login screen or the re-login
// alert) and then nothing more; otherwise the text to show.
AccountReply readEnvelope(const ServerReply& server, NVXViewController* screen) {
  AccountReply reply = readRaw(server);
  switch (server.kind) {
    case FailureKind::None:
      reply.kind = AccountReply::Kind::Success;
      reply.data = server.data() ? *server.data() : platform::Json(std::string());
      break;
    case FailureKind::SessionExpired:
      if (!server.takenOver && screen) {
        std::string error;
        ParseTool::retDataWithResponseData(server.body, screen->shared_from_this(), &error);
      }
      reply.kind = AccountReply::Kind::TokenHandled;
      break;
    case FailureKind::Http:
    case FailureKind::BadReply:
    case FailureKind::Server:
      reply.kind = AccountReply::Kind::Refused;
      break;
    default:
      break;
  }
  return reply;
}

// The reply of the asynchronous road, where only an object is a success (a "0000" without data
// is refused with its text: login and registration need the data); an expired login that the
// handling took over ends silently.
AccountReply readObject(const ServerReply& server) {
  AccountReply reply = readRaw(server);
  if (server.kind == FailureKind::SessionExpired && server.takenOver) {
    reply.kind = AccountReply::Kind::TokenHandled;
  } else if (server.kind == FailureKind::None && server.data() && server.data()->is_object()) {
    reply.kind = AccountReply::Kind::Success;
  } else if (reply.kind != AccountReply::Kind::NoConnection) {
    reply.kind = AccountReply::Kind::Refused;
    // Data of another shape than an object is a data error, not the success text.
    if (server.kind == FailureKind::None && server.data()) reply.errorText = Strings::localized("Error_Data");
  }
  return reply;
}

using Reader = AccountReply (*)(const ServerReply&, NVXViewController*);

AccountReply readRawFor(const ServerReply& server, NVXViewController*) { return readRaw(server); }

// Sends the request on a worker behind the screen's spinner, then reads the reply on the main
// thread. The request (and its session) is built by the caller on the main thread.
void sendBehindSpinner(NVXViewController& screen, MainApiRequest request, Reader read,
                       AccountOperations::Completion completion) {
  auto reply = std::make_shared<ServerReply>();
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerWhen([request = std::move(request), reply] { *reply = request.sendSynchronously(); },
                         [weak, reply, read, completion = std::move(completion)] {
                           auto owner = weak.lock();
                           if (!owner) return;
                           completion(read(*reply, owner.get()));
                         });
}

// A GET with the caller's query segments before the identity.
MainApiRequest getBeforeIdentity(std::string path, std::string_view name = {}, std::string_view value = {}) {
  auto request = MainApiRequest::get(std::move(path), Identity::None);
  if (!name.empty()) request.query(name, value);
  request.sessionValue("uid", SessionValue::Uid).sessionValue("vercode", SessionValue::Vercode);
  return request;
}

}  // namespace

void AccountOperations::getUserLoginState(std::string_view phone, std::string_view encryptPwd, Completion completion) {
  MainApiRequest::get("getUserLoginState/" + segment(phone), Identity::Plain)
      .query("password", encryptPwd)
      .spinner()
      .start([completion = std::move(completion)](ServerReply server) { completion(readObject(server)); });
}

void AccountOperations::getLoginNameState(NVXViewController& screen, std::string_view phone, Completion completion) {
  sendBehindSpinner(screen, getBeforeIdentity("getLoginNameState/" + segment(phone)), readRawFor,
                    std::move(completion));
}

void AccountOperations::getMobileVerifyCode(NVXViewController& screen, std::string_view phone,
                                            std::string_view smsType, Completion completion) {
  auto request = getBeforeIdentity("getMobileVerifyCode/" + segment(phone), "smsType", smsType);
  request.keepAlive(false).timeout(std::chrono::seconds(60));
  sendBehindSpinner(screen, std::move(request), readEnvelope, std::move(completion));
}

void AccountOperations::getMobileVerifyState(NVXViewController& screen, std::string_view token, std::string_view code,
                                             Completion completion) {
  auto request = getBeforeIdentity("getMobileVerifyState/" + segment(token) + "/" + segment(code));
  request.keepAlive(false).timeout(std::chrono::seconds(60));
  sendBehindSpinner(screen, std::move(request), readEnvelope, std::move(completion));
}

void AccountOperations::getVerCodeImg(NVXViewController& screen, std::string_view token, Completion completion) {
  // The picture's address ends in ".do" where every other method's ends in ".json".
  auto request = getBeforeIdentity("getVerCodeImg/" + segment(token)).ending(".do").build();
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerWhen([request] { request->startSynchronous(); },
                         [weak, request, completion = std::move(completion)] {
                           if (!weak.lock()) return;
                           AccountReply reply;
                           if (!request->error() && request->statusCode() != 0) {
                             reply.kind = AccountReply::Kind::Success;
                             reply.body = request->responseData();
                           }
                           completion(std::move(reply));
                         });
}

void AccountOperations::getImgVerCodeVerifyResult(NVXViewController& screen, std::string_view token,
                                                  std::string_view code, Completion completion) {
  auto request = getBeforeIdentity("getImgVerCodeVerifyResult/" + segment(token) + "/" + segment(code));
  request.keepAlive(false).timeout(std::chrono::seconds(60));
  sendBehindSpinner(screen, std::move(request), readEnvelope, std::move(completion));
}

void AccountOperations::resetUserPassword(NVXViewController& screen, std::string_view phone, std::string_view password,
                                          std::string_view pwdSecLevel, std::string_view token,
                                          Completion completion) {
  auto request = MainApiRequest::putForm("resetUserPassword/" + segment(phone), Identity::Plain);
  request.field("password", std::string(password))
      .field("pwdSecLevel", std::string(pwdSecLevel))
      .field("token", std::string(token));
  sendBehindSpinner(screen, std::move(request), readEnvelope, std::move(completion));
}

void AccountOperations::updateUserPwd(NVXViewController& screen, std::string_view loginName, std::string_view password,
                                      std::string_view newPassword, std::string_view pwdSecLevel,
                                      std::string_view userToken, Completion completion) {
  auto request = MainApiRequest::putForm("updateUserPwd/" + segment(loginName), Identity::Plain);
  request.field("password", std::string(password))
      .field("newPassword", std::string(newPassword))
      .field("pwdSecLevel", std::string(pwdSecLevel))
      .field("token", std::string(userToken));
  sendBehindSpinner(screen, std::move(request), readEnvelope, std::move(completion));
}

void AccountOperations::newRegister(const WalletRegistration& form, Completion completion) {
  MainApiRequest::postForm("walletregister/" + segment(form.loginName), Identity::None)
      .keepAlive(false)
      .timeout(std::chrono::seconds(30))
      .field("password", form.password)
      .field("pwdSecLevel", form.pwdSecLevel)
      .field("realName", form.realName)
      .field("idCardType", form.idCardType)
      .field("idCardId", form.idCardId)
      .field("email", form.email)
      .field("series", StringsTool::getSeries())
      .sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode)
      .spinner()
      .start([completion = std::move(completion)](ServerReply server) { completion(readObject(server)); });
}

void AccountOperations::insertRegisterRecord(std::string_view infoStr, std::function<void(bool stored)> completion) {
  CoreOperations::insertStaticesInfoWithInfoStr(infoStr, [completion = std::move(completion)](NetResult, RetStatusEntity,
                                                                                               bool isErr) {
    if (completion) completion(!isErr);
  });
}

}  // namespace nvx

namespace nvx {

namespace {

// Any "0000" is a success; the data is the empty text when the reply had none.
AccountReply readAny(const ServerReply& server, NVXViewController* screen) { return readEnvelope(server, screen); }

// Only an object is a success.
AccountReply readObjectFor(const ServerReply& server, NVXViewController* screen) {
  AccountReply reply = readEnvelope(server, screen);
  if (reply.ok() && !reply.data.is_object()) {
    reply.kind = AccountReply::Kind::Refused;
    reply.errorText = Strings::localized("Error_Data");
  }
  return reply;
}

// Sends the request on a worker behind the window's spinner, then reads the reply on the main
// thread. Unlike sendBehindSpinner it works for a screen that is not on a navigation stack (the
// upgrade entry runs on a settings object that is never shown).
void sendBehindWindowSpinner(NVXViewController& screen, MainApiRequest request, Reader read,
                             AccountOperations::Completion completion) {
  auto reply = std::make_shared<ServerReply>();
  auto owner = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerInView(nullptr, [request = std::move(request), reply] { *reply = request.sendSynchronously(); },
                           [owner, reply, read, completion = std::move(completion)] {
                             completion(read(*reply, owner.get()));
                           });
}

// Pictures larger than this (pixels) are refused before they are decoded.
constexpr int64_t kMaxPicturePixels = 40'000'000;

// A folder of its own in the temporary folder for one upload: the part's file name is the file's.
platform::Path uploadFolder() {
  static std::atomic<uint64_t> counter{0};
  return platform::Sandbox::tmp() / ("idcard-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
}

}  // namespace

void AccountOperations::getUserInfo(NVXViewController& screen, std::string_view loginName, Completion completion) {
  auto request = MainApiRequest::get("getUserInfo/" + segment(loginName), Identity::None);
  request.sessionQuery("userToken", SessionValue::UserToken)
      .query("verifyType", "1")
      .sessionQuery("uid", SessionValue::Uid)
      .sessionQuery("vercode", SessionValue::Vercode);
  sendBehindWindowSpinner(screen, std::move(request), readObjectFor, std::move(completion));
}

void AccountOperations::getUserIdCardImages(NVXViewController& screen, std::string_view loginName,
                                            std::vector<std::string> names, Completion completion) {
  if (names.size() > 2) names.resize(2);
  std::vector<std::shared_ptr<NetService>> requests;
  for (const auto& name : names) {
    // Both names are escaped: a name with "&" or "/" would otherwise change the address.
    auto request = MainApiRequest::get("getUserIdCardImage/" + segment(loginName), Identity::Token)
                       .query("idCardImageName", segment(name))
                       .ending(".do")
                       .build();
    requests.push_back(std::move(request));
  }
  auto reply = std::make_shared<AccountReply>();
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerInView(nullptr, 
      [requests, reply] {
        reply->kind = AccountReply::Kind::Success;
        reply->data = platform::Json::array();
        for (const auto& request : requests) {
          request->startSynchronous();
          if (request->error() || request->statusCode() == 0) {
            reply->kind = AccountReply::Kind::NoConnection;
            return;
          }
          // Only a picture that decodes is taken: a server error page or a cut-off body is no photo.
          std::string body = request->responseData();
          if (!platform::media::PictureDecoder::decode(body, kMaxPicturePixels).isOk()) {
            reply->data.push_back(nullptr);
            continue;
          }
          reply->data.push_back(std::move(body));
        }
      },
      [weak, reply, completion = std::move(completion)] {
        if (!weak.lock()) return;
        completion(std::move(*reply));
      });
}

void AccountOperations::bindPsamCardToUser(NVXViewController& screen, const ReaderBinding& binding,
                                           Completion completion) {
  const IdentityData& id = binding.identity;
  auto request = MainApiRequest::postForm("bindPsamCardToUser", Identity::Plain);
  request.timeout(std::chrono::seconds(60))
      .field("loginName", id.loginName)
      .sessionValue("userToken", SessionValue::UserToken)
      .field("psamNo", binding.psamNo)
      .field("realName", id.realName)
      .field("idCardType", "ID")
      .field("idCardInfo.idCardId", id.idCardId)
      .field("deviceId", "")
      .field("telecomOperators", binding.telecomOperators)
      .field("mobilePhoneModel", binding.mobilePhoneModel)
      .field("mobilePhoneProduct", "")
      .field("mobilePhoneManuFacturer", "Apple");
  if (id.email) request.field("email", *id.email);
  sendBehindWindowSpinner(screen, std::move(request), readAny, std::move(completion));
}

void AccountOperations::updateUserInfo(NVXViewController& screen, const IdentityData& data, Completion completion) {
  auto request = MainApiRequest::putForm("updateUserInfo/" + segment(data.loginName), Identity::Token);
  request.field("realName", data.realName).field("idCardType", "ID").field("idCardId", data.idCardId);
  if (data.email) request.field("email", *data.email);
  sendBehindWindowSpinner(screen, std::move(request), readAny, std::move(completion));
}

void AccountOperations::idCardImageUpload(NVXViewController& screen, std::string_view loginName,
                                          std::optional<std::string> frontJpeg, std::optional<std::string> backJpeg,
                                          Completion completion) {
  auto request = MainApiRequest::postForm("idCardImageUpload/" + segment(loginName), Identity::Plain).build();
  const platform::Path folder = uploadFolder();
  const platform::Path front = folder / "positiveImage";
  const platform::Path back = folder / "nagativeImage";
  if (frontJpeg) request->addFile("positiveImage", front, "application/x-www-form-urlencoded");
  if (backJpeg) request->addFile("nagativeImage", back, "application/x-www-form-urlencoded");
  auto reply = std::make_shared<ServerReply>();
  std::weak_ptr<NVXViewController> weak = std::static_pointer_cast<NVXViewController>(screen.shared_from_this());
  screen.showSpinnerInView(nullptr, 
      [request, reply, folder, front, back, frontJpeg = std::move(frontJpeg), backJpeg = std::move(backJpeg)] {
        const bool written = (!frontJpeg || platform::fs::writeAtomic(front, *frontJpeg)) &&
                             (!backJpeg || platform::fs::writeAtomic(back, *backJpeg));
        if (written) {
          request->startSynchronous();
          *reply = request->reply();
        }
        // The photos are not kept on disk once they are sent (or could not be).
        platform::fs::removeTree(folder);
      },
      [weak, reply, completion = std::move(completion)] {
        auto owner = weak.lock();
        if (!owner) return;
        completion(readAny(*reply, owner.get()));
      });
}

void AccountOperations::securityLevelUpQuery(NVXViewController& screen, std::string_view loginName,
                                             Completion completion) {
  auto request = MainApiRequest::putForm("securityLevelUpQuery/" + segment(loginName), Identity::None);
  request.timeout(std::chrono::seconds(60))
      .sessionValue("userToken", SessionValue::UserToken)
      .sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode);
  sendBehindWindowSpinner(screen, std::move(request), readAny, std::move(completion));
}

void AccountOperations::securityLevelUpApply(NVXViewController& screen, std::string_view loginName,
                                             std::string_view reason, Completion completion) {
  auto request = MainApiRequest::putForm("securityLevelUpApply/" + segment(loginName), Identity::None);
  request.timeout(std::chrono::seconds(60))
      .field("levelCode", "S01")
      .field("applyReason", std::string(reason))
      .sessionValue("userToken", SessionValue::UserToken)
      .sessionValue("uid", SessionValue::Uid)
      .sessionValue("vercode", SessionValue::Vercode);
  sendBehindWindowSpinner(screen, std::move(request), readAny, std::move(completion));
}

}  // namespace nvx
