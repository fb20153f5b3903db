// The login against the stand-in: the virtual terminal signed in, the continuation the opener
// asked for, and the password change that ends in a new login.
#include <gtest/gtest.h>

#include "account/ModifyPasswordViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Strings;
using standin::MainApiStandin;
using testing::kTestPassword;
using testing::kTestUser;

class Recorder : public LoginViewControllerDelegate {
 public:
  void gotoViewOfBoxTitle(const std::string& title) override { boxes.push_back(title); }
  std::vector<std::string> boxes;
};

class LoginSessionTest : public testing::AccountStandinFixture {
 protected:
  // root, a business screen, then the login screen configured by the test.
  std::shared_ptr<LoginViewController> openOver(const std::function<void(LoginViewController&)>& configure) {
    business = std::make_shared<testing::NamedTestScreen>("BusinessScreen");
    navigation().push(business, false);
    auto login = LoginViewController::create();
    configure(*login);
    navigation().push(login, true);
    settle(1);
    inspector().render();
    return login;
  }

  std::shared_ptr<testing::NamedTestScreen> business;
};

TEST_F(LoginSessionTest, TheContinuationIsTheFirstOfExecutorCallbackReloginBoxAndHome) {
  auto recorder = std::make_shared<Recorder>();
  struct Case {
    const char* name;
    std::function<void(LoginViewController&, int& executed, int& called)> configure;
    std::string previousUser;  // logged in before the login screen opened
    enum { Stays, Popped, Home } where;
    bool boxOpened = false;
    int executed = 0;
    int called = 0;
  };
  const std::string relogin = Strings::localized("ReLogin");
  std::vector<Case> cases = {
      {"executor before callback",
       [](LoginViewController& l, int& e, int& c) {
         l.setCustomSuccessExecutor([&e] { ++e; });
         l.setSuccessCallback([&c] { ++c; });
       },
       "", Case::Stays, false, 1, 0},
      {"callback", [](LoginViewController& l, int&, int& c) { l.setSuccessCallback([&c] { ++c; }); }, "", Case::Stays,
       false, 0, 1},
      {"relogin, same user", [&](LoginViewController& l, int&, int&) { l.setBoxTitle(relogin); }, kTestUser,
       Case::Popped},
      {"relogin, another user", [&](LoginViewController& l, int&, int&) { l.setBoxTitle(relogin); }, "13900000000",
       Case::Home},
      {"box with a delegate",
       [&](LoginViewController& l, int&, int&) {
         l.setBoxTitle("B00013");
         l.setDelegate(recorder);
       },
       "", Case::Popped, true},
      {"box without a delegate", [](LoginViewController& l, int&, int&) { l.setBoxTitle("B00013"); }, "",
       Case::Stays},
      {"nothing", [](LoginViewController&, int&, int&) {}, "", Case::Home},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    recorder->boxes.clear();
    User::currentUser().setLoginName(c.previousUser);
    User::currentUser().setUserToken(c.previousUser.empty() ? "" : "old-token");
    int executed = 0;
    int called = 0;
    auto login = openOver([&](LoginViewController& l) { c.configure(l, executed, called); });
    logIn(*login, kTestUser, kTestPassword);
    ASSERT_TRUE(loggedInAs(kTestUser));
    settle(1);
    EXPECT_EQ(executed, c.executed);
    EXPECT_EQ(called, c.called);
    switch (c.where) {
      case Case::Stays: EXPECT_EQ(top(), login); break;
      case Case::Popped: EXPECT_EQ(top(), business); break;
      case Case::Home: EXPECT_EQ(navigation().stack().size(), 1u); break;
    }
    EXPECT_EQ(recorder->boxes, c.boxOpened ? std::vector<std::string>{"B00013"} : std::vector<std::string>{});
    navigation().popToRoot(false);
    settle(1);
  }
}

TEST_F(LoginSessionTest, ASignInFailureLeavesTheUserLoggedInWithoutTerminalKeysAndGoesNowhere) {
  server->script("login", MainApiStandin::Scripted::error("2009", "终端登录失败"), 1);
  int executed = 0;
  auto login = openOver([&](LoginViewController& l) { l.setCustomSuccessExecutor([&] { ++executed; }); });
  logIn(*login, kTestUser, kTestPassword);
  ASSERT_TRUE(await([&] { return prompt() == "终端登录失败"; }));
  const User& user = User::currentUser();
  EXPECT_TRUE(user.isLogined());
  EXPECT_FALSE(user.vpsamPIK());
  EXPECT_FALSE(user.vpsamMAC());
  EXPECT_EQ(executed, 0);
  EXPECT_EQ(top(), login);

  // The same screen logs in again, and now the terminal is signed in and the executor runs.
  settle(3);
  tap(Strings::localized("Login"));
  ASSERT_TRUE(loggedInAs(kTestUser));
  ASSERT_TRUE(await([&] { return executed == 1; }));
  auto issued = server->issuedKeys(user.psamNo());
  ASSERT_TRUE(issued);
  ASSERT_TRUE(user.vpsamMAC());
  EXPECT_EQ(std::string(user.vpsamMAC()->key.view()), issued->mac);
}

class ModifyPasswordTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    AccountStandinFixture::SetUp();
    server->addSession(kTestUser, "live-token");
    User::currentUser().setLoginName(kTestUser);
    User::currentUser().setUserToken("live-token");
    modify = show(ModifyPasswordViewController::create());
  }
  void fill(const std::string& old, const std::string& now, const std::string& again) {
    for (auto* f : {modify->oldPwdTf().get(), modify->lastPwdTf().get(), modify->reputLastPwdTf().get()}) f->setText("");
    type(*modify->oldPwdTf(), old);
    type(*modify->lastPwdTf(), now);
    type(*modify->reputLastPwdTf(), again);
    tap("完成");
  }
  std::shared_ptr<ModifyPasswordViewController> modify;
};

TEST_F(ModifyPasswordTest, TheChecksRunInOrderAndEmptyTheNewFields) {
  EXPECT_EQ(modify->title(), ModifyPasswordViewController::kTitle);
  struct Case {
    std::string old, now, again;
    const char* prompt;
  };
  const Case cases[] = {
      {"old123", "12345", "12345", ModifyPasswordViewController::kNewInvalid},
      {"old123", std::string(21, 'n'), std::string(21, 'n'), ModifyPasswordViewController::kNewInvalid},
      {"old123", "old123", "old123", ModifyPasswordViewController::kNewSameAsOld},
      {"old123", "new1234", "new12345", ModifyPasswordViewController::kRepeatDiffers},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.now);
    // The repetition field is refused while the new password is bad: its prompt comes first.
    for (auto* f : {modify->oldPwdTf().get(), modify->lastPwdTf().get(), modify->reputLastPwdTf().get()}) f->setText("");
    type(*modify->oldPwdTf(), c.old);
    type(*modify->lastPwdTf(), c.now);
    auto typed = inspector().type(*modify->reputLastPwdTf(), c.again);
    if (std::string(c.prompt) != ModifyPasswordViewController::kRepeatDiffers) {
      EXPECT_FALSE(typed.isOk());
    } else {
      tap("完成");
      settle(3);
      tap(Strings::localized("Ok"));
    }
    EXPECT_EQ(prompt(), std::string(c.prompt));
    EXPECT_EQ(modify->lastPwdTf()->text(), "");
    EXPECT_EQ(modify->reputLastPwdTf()->text(), "");
    EXPECT_TRUE(modify->lastPwdTf()->isEditing());
    settle(3);
  }
  EXPECT_FALSE(server->lastVerdict("updateUserPwd"));
}

TEST_F(ModifyPasswordTest, TheNewFieldsWaitForAValidCurrentPassword) {
  auto typed = inspector().type(*modify->lastPwdTf(), "x");
  EXPECT_FALSE(typed.isOk());
  EXPECT_EQ(prompt(), std::string(ModifyPasswordViewController::kOldInvalid));
  EXPECT_TRUE(modify->oldPwdTf()->isEditing());
  EXPECT_EQ(modify->lastPwdTf()->text(), "");
}

TEST_F(ModifyPasswordTest, AWrongCurrentPasswordIsTheServersTextAndTheTypedPasswordsStay) {
  fill("wrong-1", "new-pass-2", "new-pass-2");
  settle(3);
  tap(Strings::localized("Ok"));
  ASSERT_TRUE(await([&] { return prompt() == "原密码错误"; }));
  EXPECT_EQ(modify->lastPwdTf()->text(), "new-pass-2");
  EXPECT_EQ(top(), modify);
  EXPECT_TRUE(User::currentUser().isLogined());
  EXPECT_EQ(passwordOf(kTestUser), kTestPassword);
}

TEST_F(ModifyPasswordTest, AnExpiredLoginOpensTheLoginScreenWithoutAPrompt) {
  server->expireSession(kTestUser);
  fill(kTestPassword, "new-pass-2", "new-pass-2");
  settle(3);
  tap(Strings::localized("Ok"));
  auto login = awaitTop<LoginViewController>();
  ASSERT_TRUE(login);
  EXPECT_NE(prompt(), std::string(ModifyPasswordViewController::kChanged));
  EXPECT_EQ(passwordOf(kTestUser), kTestPassword);
}

TEST_F(ModifyPasswordTest, LeavingTheLoginScreenAfterAChangeReturnsToTheRoot) {
  fill(kTestPassword, "new-pass-2", "new-pass-2");
  settle(3);
  tap(Strings::localized("Ok"));
  auto login = awaitTop<LoginViewController>();
  ASSERT_TRUE(login);
  EXPECT_FALSE(User::currentUser().isLogined());
  login->backButtonPressed();
  settle(1);
  EXPECT_EQ(navigation().stack().size(), 1u);
}

}  // namespace
}  // namespace nvx
