// The account routes of the main-API stand-in, driven as a client would drive them: users,
// passwords and codes kept across calls, so that registration, login, reset and change chain.
#include <gtest/gtest.h>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/Image.h"
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
  std::string loginCode(const std::string& phone, std::string_view password) {
    auto hex = server->passwordKey().encryptHex(password);
    return code(get("getUserLoginState/" + phone, {}).get() ? get("getUserLoginState/" + phone + ".json?password=" + *hex)
                                                           : nullptr);
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

TEST_F(AccountRoutesTest, Smoke) {
  auto r = get(std::string("getMobileVerifyCode/") + kNew, "smsType=1");
  EXPECT_EQ(code(r), "0000") << r->responseString() << " status " << r->statusCode();
}

}  // namespace
}  // namespace standin
