#include "account/LoginViewController.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

#include "account/InputVerificationViewController.h"
#include "account/SubmitVerificationViewController.h"
#include "account/testing/AccountTestSupport.h"
#include "core/session/User.h"
#include "net/testing/TestMainApi.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::UserDefaults;
using testing::TestMainApi;

constexpr const char* kNumber = "13812345678";

class LoginViewControllerTest : public testing::AccountScreenFixture {
 protected:
  void SetUp() override {
    AccountScreenFixture::SetUp();
    api = std::make_unique<TestMainApi>();
  }
  void TearDown() override {
    api.reset();
    AccountScreenFixture::TearDown();
  }

  std::shared_ptr<LoginViewController> showLogin() { return show(LoginViewController::create()); }

  // Answers the login of kNumber with the body, keeping the request.
  void answerLogin(std::string body) {
    api->on(std::string("getUserLoginState/") + kNumber, [this, body](const TestMainApi::Request& r) {
      std::lock_guard<std::mutex> lock(mutex);
      requests.push_back(r);
      return TestMainApi::Reply::json(body);
    });
  }
  size_t loginCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return requests.size();
  }
  void logIn(LoginViewController& login, std::string_view number, std::string_view password) {
    type(*login.phoneField(), number);
    type(*login.passwordField(), password);
    tap(Strings::localized("Login"));
  }

  std::unique_ptr<TestMainApi> api;
  std::mutex mutex;
  std::vector<TestMainApi::Request> requests;
};

TEST_F(LoginViewControllerTest, ThePhoneFieldTakesElevenDigitsFromAOneAndLoginRefusesAShortNumber) {
  auto login = showLogin();
  type(*login->phoneField(), "2");
  EXPECT_EQ(login->phoneField()->text(), "");
  type(*login->phoneField(), "1381234567890x");
  EXPECT_EQ(login->phoneField()->text(), kNumber);
  ASSERT_TRUE(login->phoneField()->resignFirstResponder());
  EXPECT_EQ(login->phoneField()->text(), "138-1234-5678");
  EXPECT_EQ(login->typedNumber(), kNumber);

  // Editing again shows the plain digits; a ten-digit number is refused by an alert.
  answerLogin(R"({"retStatus":{"retCode":"0000","errMsg":""},"retData":{}})");
  auto field = login->phoneField();
  type(*field, "");
  EXPECT_EQ(field->text(), kNumber);
  ASSERT_TRUE(field->deleteBackward());
  tap(Strings::localized("Login"));
  ASSERT_TRUE(alert());
  EXPECT_EQ(alert()->title(), Strings::localized("Error_MobileNumber"));
  EXPECT_EQ(alert()->message(), Strings::localized("Error_EnterMobileNumber"));
  settle();
  EXPECT_EQ(loginCount(), 0u);
}

TEST_F(LoginViewControllerTest, ThePasswordFieldTakesTwentyCharactersAsTheOtherPasswordScreensDo) {
  auto login = showLogin();
  type(*login->passwordField(), std::string(25, 'a'));
  EXPECT_EQ(login->passwordField()->text(), std::string(20, 'a'));
}

TEST_F(LoginViewControllerTest, TheLoginCarriesThePasswordAsUpperCaseRsaHexAfterTheIdentity) {
  answerLogin(R"({"retStatus":{"retCode":"1004","errMsg":"密码错"}})");
  auto login = showLogin();
  logIn(*login, kNumber, "pass word 1");
  ASSERT_TRUE(await([&] { return alert() != nullptr; }));
  EXPECT_EQ(alert()->title(), Strings::localized("Error_Password"));
  EXPECT_EQ(alert()->message(), Strings::localized("Error_EnterPassword"));

  ASSERT_EQ(loginCount(), 1u);
  const auto& fields = requests.front().queryFields;
  ASSERT_GE(fields.size(), 3u);
  EXPECT_EQ(fields[0].first, "uid");
  EXPECT_EQ(fields[1].first, "vercode");
  EXPECT_EQ(fields[2].first, "password");
  const std::string& hex = fields[2].second;
  EXPECT_EQ(hex.size(), 256u);
  EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(passwordKey().decryptHex(hex), "pass word 1");
  EXPECT_FALSE(User::currentUser().isLogined());
}

TEST_F(LoginViewControllerTest, RefusedLoginsShowTheirAlertOrTheServersText) {
  struct Case {
    const char* body;
    const char* alertMessageKey;  // nullptr: a prompt
    std::string prompt;
  };
  const Case cases[] = {
      {R"({"retStatus":{"retCode":"1002","errMsg":"x"}})", "Error_MobileNumberUnregistered", ""},
      {R"({"retStatus":{"retCode":"1004","errMsg":"x"}})", "Error_EnterPassword", ""},
      {R"({"retStatus":{"retCode":"3001","errMsg":"系统繁忙"}})", nullptr, "系统繁忙"},
      {R"(<html>oops</html>)", nullptr, Strings::localized("Error_Data")},
      {R"({"retStatus":{"retCode":"0000","errMsg":""},"retData":[1,2]})", nullptr, Strings::localized("Error_Data")},
      {R"({"retStatus":{"retCode":"0000","errMsg":""}})", nullptr, Strings::localized("ReturnDataIsNil")},
      {R"({"retStatus":{"retCode":"1012","errMsg":"expired"}})", nullptr, Strings::localized("Error_Token_Effectiveness")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    answerLogin(c.body);
    auto login = showLogin();
    logIn(*login, kNumber, "secret1");
    if (c.alertMessageKey) {
      ASSERT_TRUE(await([&] { return alert() != nullptr; }));
      EXPECT_EQ(alert()->message(), Strings::localized(c.alertMessageKey));
      ASSERT_TRUE(inspector().answerAlert(Strings::localized("Ok")).isOk());
    } else {
      ASSERT_TRUE(await([&] { return prompt() == c.prompt; })) << prompt().value_or("(none)");
      EXPECT_FALSE(alert());
    }
    EXPECT_EQ(top(), login);
    EXPECT_FALSE(User::currentUser().isLogined());
    navigation().popToRoot(false);
    settle(3);
  }
}

TEST_F(LoginViewControllerTest, WithoutAServerTheConnectionFailureIsPrompted) {
  api.reset();  // nothing listens at the address any more
  auto login = showLogin();
  logIn(*login, kNumber, "secret1");
  ASSERT_TRUE(await([&] { return prompt() == Strings::localized("NetworkConnectionFailed"); }));
}

TEST_F(LoginViewControllerTest, AReplyWithoutATokenFillsTheProfileButLeavesTheUserLoggedOut) {
  answerLogin(R"({"retStatus":{"retCode":"0000","errMsg":""},"retData":{
      "hasPwd":"1","pan":"6200001","giftno":8001,"amount":12345,"limitAmount":"300","status":true,
      "psamNo":"short","isAsk":0,"custlev":"2","couponUrl":"https://coupon.test/"}})");
  auto login = showLogin();
  logIn(*login, kNumber, "secret1");
  ASSERT_TRUE(await([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), Strings::localized("Error_UserLogged"));

  const User& user = User::currentUser();
  EXPECT_TRUE(user.hasPwd());
  EXPECT_EQ(user.pan(), "6200001");
  EXPECT_EQ(user.giftno(), "8001");
  EXPECT_EQ(user.amount(), "123.45");
  EXPECT_EQ(user.limitAmount(), "300");
  EXPECT_TRUE(user.status());
  EXPECT_EQ(user.psamNo(), "");  // fewer than 16 characters are not kept
  EXPECT_FALSE(user.isAsk());
  EXPECT_EQ(user.custlev(), "2");
  EXPECT_EQ(user.couponUrl(), "https://coupon.test/");
  EXPECT_EQ(user.loginName(), kNumber);
  EXPECT_FALSE(user.isLogined());
  EXPECT_EQ(UserDefaults::standard().string(User::kLoginNameKey), kNumber);
  EXPECT_EQ(top(), login);
}

TEST_F(LoginViewControllerTest, TheTickRemembersTheNumberAndItsDefaultIsTheInverse) {
  answerLogin(R"({"retStatus":{"retCode":"0000","errMsg":""},"retData":{"psamNo":"x"}})");
  // First start: no tick, no number.
  auto first = showLogin();
  EXPECT_FALSE(first->isRememberTicked());
  EXPECT_EQ(first->phoneField()->text(), "");
  tap(LoginViewController::kRememberTitle);
  EXPECT_TRUE(first->isRememberTicked());
  logIn(*first, kNumber, "secret1");
  ASSERT_TRUE(await([&] { return loginCount() == 1 && prompt().has_value(); }));
  auto& defaults = UserDefaults::standard();
  EXPECT_EQ(defaults.string(LoginViewController::kUserNameKey), kNumber);
  ASSERT_TRUE(defaults.contains(LoginViewController::kRememberPasswordKey));
  EXPECT_FALSE(defaults.boolean(LoginViewController::kRememberPasswordKey));
  EXPECT_FALSE(defaults.contains("password"));

  // The next screen shows the number grouped, the tick on; a login with the tick off keeps the
  // remembered number but marks it not remembered.
  navigation().popToRoot(false);
  settle(3);
  auto second = showLogin();
  EXPECT_TRUE(second->isRememberTicked());
  EXPECT_EQ(second->phoneField()->text(), "138-1234-5678");
  EXPECT_EQ(second->typedNumber(), kNumber);
  tap(LoginViewController::kRememberTitle);
  type(*second->passwordField(), "secret1");
  tap(Strings::localized("Login"));
  ASSERT_TRUE(await([&] { return loginCount() == 2; }));
  settle(0);
  ASSERT_TRUE(await([&] { return defaults.boolean(LoginViewController::kRememberPasswordKey); }));
  EXPECT_EQ(defaults.string(LoginViewController::kUserNameKey), kNumber);

  navigation().popToRoot(false);
  settle(3);
  auto third = showLogin();
  EXPECT_FALSE(third->isRememberTicked());
  EXPECT_EQ(third->phoneField()->text(), "");
}

TEST_F(LoginViewControllerTest, LoadingTheScreenLogsTheUserOutInMemory) {
  User& user = User::currentUser();
  user.setLoginName(kNumber);
  user.setUserToken("token-1");
  user.setUserId("42");
  showLogin();
  EXPECT_FALSE(user.isLogined());
  EXPECT_EQ(user.preLoginName(), kNumber);
  EXPECT_EQ(user.userId(), "42");
}

class BackDelegate : public LoginViewControllerDelegate, public LoginBackDelegate {
 public:
  void gotoViewOfBoxTitle(const std::string& title) override { boxes.push_back(title); }
  void didBackFromLogin(platform::ui::ViewController& login) override { backs.push_back(&login); }
  std::vector<std::string> boxes;
  std::vector<platform::ui::ViewController*> backs;
};

TEST_F(LoginViewControllerTest, BackIsTheDelegatesWhenItAnswersDidBackFromLogin) {
  auto delegate = std::make_shared<BackDelegate>();
  auto login = LoginViewController::create();
  login->setDelegate(delegate);
  show(login);
  login->backButtonPressed();
  settle();
  EXPECT_EQ(top(), login);
  ASSERT_EQ(delegate->backs.size(), 1u);
  EXPECT_EQ(delegate->backs.front(), login.get());

  // A delegate that only opens boxes leaves the back button to the base: one screen back.
  class BoxOnly : public LoginViewControllerDelegate {
   public:
    void gotoViewOfBoxTitle(const std::string&) override {}
  };
  auto boxOnly = std::make_shared<BoxOnly>();
  login->setDelegate(boxOnly);
  login->backButtonPressed();
  settle();
  EXPECT_NE(top(), login);
}

}  // namespace
}  // namespace nvx

namespace nvx {
namespace {

class CodeScreensTest : public testing::AccountScreenFixture {};

// A code screen popped while its countdown runs is let go at once; its timer goes with it and
// nothing fires into a released screen.
TEST_F(CodeScreensTest, APoppedCodeScreenIsReleasedWhileItsCountdownRuns) {
  std::vector<std::function<std::shared_ptr<platform::ui::ViewController>()>> makers = {
      [] {
        auto s = SubmitVerificationViewController::create();
        s->setPhoneNumber("13812345678");
        return s;
      },
      [] {
        auto s = InputVerificationViewController::create();
        s->setPhoneNumber("13812345678");
        return s;
      },
  };
  for (const auto& make : makers) {
    std::weak_ptr<platform::ui::ViewController> weak;
    {
      auto screen = make();
      weak = screen;
      show(screen);
      settle(3);
      navigation().pop(false);
    }
    settle(1);
    EXPECT_TRUE(weak.expired());
    settle(60);
  }
}

}  // namespace
}  // namespace nvx
