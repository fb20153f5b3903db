// The account routes of the main-API stand-in, driven as a client would drive them: users,
// passwords and codes kept across calls, so that registration, login, reset and change chain.
#include <gtest/gtest.h>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "platform/media/PictureDecoder.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace standin {
namespace {

using platform::Json;
using platform::net::HttpRequest;

constexpr const char* kNew = "13712345678";
const std::string kUser(fixture::kLoginName);

class AccountRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server = std::make_unique<MainApiStandin>(fixture::settings());
    ASSERT_TRUE(server->start().isOk());
  }

  // A GET of path (".json" added unless it has an ending) with the query before the identity.
  std::shared_ptr<HttpRequest> get(std::string path, std::string before = {}) {
    if (path.find('.') == std::string::npos) path += ".json";
    std::string query;
    for (const auto& [k, v] : fixture::identity()) query += (query.empty() ? "" : "&") + k + "=" + v;
    auto r = HttpRequest::make(server->apiBaseAddress() + path + "?" + (before.empty() ? "" : before + "&") + query);
    r->setMethod("GET");
    r->setPersistentConnection(false);
    r->setTimeout(std::chrono::seconds(60));
    r->startSynchronous();
    return r;
  }
  // A form of method ("POST" or "PUT") with the fields, then the identity.
  std::shared_ptr<HttpRequest> form(std::string method, std::string path, const MainApiStandin::Fields& fields,
                                    bool identityFirst = true) {
    auto r = HttpRequest::make(server->apiBaseAddress() + path + ".json", true);
    if (identityFirst) {
      for (const auto& [k, v] : fixture::identity()) r->addPostValue(k, v);
    }
    for (const auto& [k, v] : fields) r->addPostValue(k, v);
    if (!identityFirst) {
      for (const auto& [k, v] : fixture::identity()) r->addPostValue(k, v);
    }
    r->setMethod(std::move(method));
    r->startSynchronous();
    return r;
  }
  static Json json(const std::shared_ptr<HttpRequest>& r) {
    return platform::json::parse(r->responseString()).value_or(Json());
  }
  static std::string code(const std::shared_ptr<HttpRequest>& r) {
    return json(r)["retStatus"].value("retCode", "");
  }
  // The login's code for the password, enciphered as the client does (upper-case hex).
  std::string loginCode(const std::string& phone, std::string_view password, bool lowerCase = false) {
    std::string hex = server->passwordKey().encryptHex(password).value_or("");
    if (lowerCase) {
      for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return code(get("getUserLoginState/" + phone, "password=" + hex));
  }
  // Asks for a code of the type and confirms it; the token.
  std::string confirmedSms(const std::string& phone, const std::string& type) {
    auto reply = json(get("getMobileVerifyCode/" + phone, "smsType=" + type));
    const std::string token = reply["retData"].value("token", "");
    std::optional<std::string> sms;
    {
      auto lock = server->lock();
      sms = server->feature<mainapi::AccountState>().lastSmsCode(phone);
    }
    EXPECT_TRUE(sms);
    EXPECT_EQ(code(get("getMobileVerifyState/" + token + "/" + sms.value_or(""))), "0000");
    return token;
  }
  MainApiStandin::Fields registration(const std::string& password) {
    return {{"password", password}, {"pwdSecLevel", "GENERAL"}, {"realName", ""}, {"idCardType", "ID"},
            {"idCardId", ""},       {"email", ""},              {"series", "000001"}};
  }

  std::unique_ptr<MainApiStandin> server;
};

TEST_F(AccountRoutesTest, LoginDeciphersTheUpperCaseHexPasswordAndOpensASession) {
  EXPECT_EQ(loginCode(kUser, fixture::kPassword, true), std::string(MainApiStandin::kBadRequest));
  EXPECT_EQ(loginCode(kUser, "wrong-password"), std::string(account::kWrongPassword));
  EXPECT_EQ(loginCode(kNew, fixture::kPassword), std::string(account::kUnregistered));
  EXPECT_EQ(code(get("getUserLoginState/" + kUser, "password=00FF")), std::string(MainApiStandin::kBadRequest));

  auto hex = server->passwordKey().encryptHex(fixture::kPassword);
  auto reply = json(get("getUserLoginState/" + kUser, "password=" + *hex));
  EXPECT_EQ(reply["retStatus"].value("retCode", ""), "0000");
  const Json& data = reply["retData"];
  EXPECT_EQ(data.value("psamNo", ""), std::string(fixture::kVirtualTermid));
  EXPECT_EQ(server->sessionToken(kUser), data.value("userToken", ""));
  EXPECT_FALSE(data.value("userId", "").empty());
}

TEST_F(AccountRoutesTest, RegistrationNeedsAConfirmedCodeAndItsFieldsInOrder) {
  EXPECT_EQ(code(get("getLoginNameState/" + std::string(kNew))), std::string(account::kUnregistered));
  EXPECT_EQ(code(get("getMobileVerifyCode/" + kUser, "smsType=1")), std::string(account::kRegistered));
  EXPECT_EQ(code(get("getMobileVerifyCode/" + std::string(kNew), "smsType=3")), std::string(MainApiStandin::kBadRequest));
  // Not yet confirmed.
  EXPECT_EQ(code(get("getMobileVerifyCode/" + std::string(kNew), "smsType=1")), "0000");
  EXPECT_EQ(code(form("POST", "walletregister/" + std::string(kNew), registration("abc123"), false)),
            std::string(account::kNotVerified));
  confirmedSms(kNew, "1");
  // Identity first: not the order the client sends.
  EXPECT_EQ(code(form("POST", "walletregister/" + std::string(kNew), registration("abc123"), true)),
            std::string(MainApiStandin::kBadRequest));
  auto reply = json(form("POST", "walletregister/" + std::string(kNew), registration("abc123"), false));
  ASSERT_EQ(reply["retStatus"].value("retCode", ""), "0000");
  EXPECT_EQ(reply["retData"].value("psamNo", "").size(), 16u);
  EXPECT_EQ(server->sessionToken(kNew), reply["retData"].value("userToken", ""));
  EXPECT_EQ(code(get("getLoginNameState/" + std::string(kNew))), std::string(account::kRegistered));
  EXPECT_EQ(loginCode(kNew, "abc123"), "0000");
}

TEST_F(AccountRoutesTest, AWrongCodeIsRefusedAndANewMessageReplacesTheOldCode) {
  auto first = json(get("getMobileVerifyCode/" + kUser, "smsType=2"))["retData"].value("token", "");
  std::string oldCode;
  {
    auto lock = server->lock();
    oldCode = server->feature<mainapi::AccountState>().lastSmsCode(kUser).value_or("");
  }
  EXPECT_EQ(code(get("getMobileVerifyState/" + first + "/000000x")), std::string(account::kWrongCode));
  // A new message: the first token and its code no longer count.
  EXPECT_EQ(code(get("getMobileVerifyCode/" + kUser, "smsType=2")), "0000");
  EXPECT_EQ(code(get("getMobileVerifyState/" + first + "/" + oldCode)), std::string(account::kWrongCode));
}

TEST_F(AccountRoutesTest, ResetNeedsARetrievalCodeAndChangeNeedsTheSessionAndTheOldPassword) {
  const MainApiStandin::Fields reset = {{"password", "reset-1"}, {"pwdSecLevel", "GENERAL"}, {"token", "nope"}};
  EXPECT_EQ(code(form("PUT", "resetUserPassword/" + kUser, reset)), std::string(account::kNotVerified));
  const std::string token = confirmedSms(kUser, "2");
  EXPECT_EQ(code(form("POST", "resetUserPassword/" + kUser,
                      {{"password", "reset-1"}, {"pwdSecLevel", "GENERAL"}, {"token", token}})),
            std::string(MainApiStandin::kBadRequest));
  EXPECT_EQ(code(form("PUT", "resetUserPassword/" + kUser,
                      {{"password", "reset-1"}, {"pwdSecLevel", "GENERAL"}, {"token", token}})),
            "0000");
  EXPECT_EQ(loginCode(kUser, fixture::kPassword), std::string(account::kWrongPassword));
  EXPECT_EQ(loginCode(kUser, "reset-1"), "0000");

  const std::string live = server->sessionToken(kUser).value_or("");
  auto change = [&](std::string token, std::string old) {
    return code(form("PUT", "updateUserPwd/" + kUser,
                     {{"password", old}, {"newPassword", "changed-2"}, {"pwdSecLevel", "GENERAL"}, {"token", token}}));
  };
  EXPECT_EQ(change("stale", "reset-1"), std::string(MainApiStandin::kTokenExpired));
  EXPECT_EQ(change(live, "not-it"), std::string(account::kWrongPassword));
  EXPECT_EQ(change(live, "reset-1"), "0000");
  EXPECT_EQ(change(live, "changed-2"), std::string(MainApiStandin::kTokenExpired));  // the session ended
  EXPECT_EQ(loginCode(kUser, "changed-2"), "0000");
}

TEST_F(AccountRoutesTest, TheCheckCodePictureIsAPngWhoseCodeCountsOnce) {
  auto picture = get("getVerCodeImg/abcdefgh12345678.do");
  ASSERT_EQ(picture->statusCode(), 200);
  // A whole picture, every pixel decodable.
  auto image = platform::media::PictureDecoder::decode(picture->responseData(), 1 << 20);
  ASSERT_TRUE(image.isOk()) << image.error();
  EXPECT_EQ(image->width, account::kPictureWidth);
  EXPECT_EQ(image->height, account::kPictureHeight);
  std::string shown;
  {
    auto lock = server->lock();
    shown = server->feature<mainapi::AccountState>().pictureCodes.at("abcdefgh12345678");
  }
  EXPECT_EQ(code(get("getImgVerCodeVerifyResult/abcdefgh12345678/" + shown)), "0000");
  EXPECT_EQ(code(get("getImgVerCodeVerifyResult/abcdefgh12345678/" + shown)), std::string(account::kWrongCode));
}

}  // namespace
}  // namespace standin
