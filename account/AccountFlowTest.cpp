// The account's roads end to end against the main-API stand-in (and the statistics stand-in):
// the stand-in checks the identity, deciphers the login password with its private key, keeps the
// users, passwords and codes, and signs the virtual terminal in.
#include <gtest/gtest.h>

#include "account/InputVerificationViewController.h"
#include "account/LoginViewController.h"
#include "account/ModifyPasswordViewController.h"
#include "account/NewRegisterViewController.h"
#include "account/RegisterViewController.h"
#include "account/ResetPasswordViewController.h"
#include "account/RetrievePasswordViewController.h"
#include "account/SubmitVerificationViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "core/session/User.h"
#include "core/shell/PayPwdScreen.h"
#include "core/shell/ScreenRegistry.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/UserDefaults.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"
#include "standin/StatisticsStandin.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

using platform::Strings;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;

using testing::kNewNumber;
using testing::kTestUser;
using testing::RecordingPayPwdScreen;

using AccountFlowTest = testing::AccountStandinFixture;

TEST_F(AccountFlowTest, RegisterLogOutLogInChangeThePasswordAndLogInWithTheNewOne) {
  platform::log::Capture log;
  // Registration from the login screen.
  openLogin();
  tap(Strings::localized("Register"));
  auto reg = awaitTop<RegisterViewController>();
  ASSERT_TRUE(reg);
  type(*reg->numberField(), kNewNumber);
  EXPECT_FALSE(reg->numberField()->isEditing());  // the eleventh digit closed the keyboard
  EXPECT_EQ(reg->numberField()->text(), "137-1234-5678");
  tap(Strings::localized("GetMobileVerifcationCode"));
  auto code = awaitTop<SubmitVerificationViewController>();
  ASSERT_TRUE(code);
  EXPECT_EQ(code->phoneNumber(), kNewNumber);
  auto sms = smsCodeFor(kNewNumber);
  ASSERT_TRUE(sms);
  auto codeField = inspector().fieldByPlaceholder(SubmitVerificationViewController::kCodePlaceholder);
  ASSERT_TRUE(codeField);
  type(*codeField, *sms);
  tap(Strings::localized("Submit"));
  auto final = awaitTop<NewRegisterViewController>();
  ASSERT_TRUE(final);
  EXPECT_EQ(final->registetNum(), kNewNumber);
  type(*final->passwordField(), "first!pass1");
  tap(NewRegisterViewController::kRegisterTitle);
  auto payPwd = awaitTop<RecordingPayPwdScreen>();
  ASSERT_TRUE(payPwd);
  ASSERT_TRUE(payPwd->entity);
  const User& user = User::currentUser();
  EXPECT_TRUE(user.isLogined());
  EXPECT_EQ(user.loginName(), kNewNumber);
  EXPECT_EQ(user.userToken(), payPwd->entity->userToken());
  EXPECT_EQ(user.psamNo(), payPwd->entity->psamNo());
  EXPECT_EQ(passwordOf(kNewNumber), "first!pass1");
  // The registration record reached the statistics server without the password.
  ASSERT_TRUE(await([&] { return !statistics->infos().empty(); }));
  EXPECT_NE(statistics->infos().back().infoStr.find(kNewNumber), std::string::npos);
  EXPECT_EQ(statistics->infos().back().infoStr.find("first!pass1"), std::string::npos);

  // Log out, log in with the new account.
  User::currentUser().outOfLogin();
  navigation().popToRoot(false);
  settle(1);
  logIn(*openLogin(), kNewNumber, "first!pass1");
  ASSERT_TRUE(loggedInAs(kNewNumber));
  ASSERT_TRUE(await([&] { return navigation().stack().size() == 1; }));  // no box title: back home

  // Change the password; the login that follows returns to the root.
  auto modify = show(ModifyPasswordViewController::create());
  type(*modify->oldPwdTf(), "first!pass1");
  type(*modify->lastPwdTf(), "second#pass2");
  type(*modify->reputLastPwdTf(), "second#pass2");
  tap("完成");  // the keyboard's Done bar
  tap(Strings::localized("Ok"));
  auto relogin = awaitTop<LoginViewController>();
  ASSERT_TRUE(relogin);
  EXPECT_EQ(passwordOf(kNewNumber), "second#pass2");
  EXPECT_FALSE(User::currentUser().isLogined());
  logIn(*relogin, kNewNumber, "first!pass1");
  ASSERT_TRUE(await([&] { return alert() != nullptr; }));
  EXPECT_EQ(alert()->message(), Strings::localized("Error_EnterPassword"));
  ASSERT_TRUE(inspector().answerAlert(Strings::localized("Ok")).isOk());
  type(*relogin->passwordField(), "second#pass2");
  tap(Strings::localized("Login"));
  ASSERT_TRUE(loggedInAs(kNewNumber));
  ASSERT_TRUE(await([&] {
    settle(0.5);
    return navigation().stack().size() == 1;
  }));

  // Neither the passwords nor the code nor a session token reached a log line or a statistics
  // record.
  std::vector<std::string> secrets = {"first!pass1", "second#pass2", *sms, payPwd->entity->userToken(),
                                      User::currentUser().userToken()};
  for (const auto& secret : secrets) {
    SCOPED_TRACE(secret);
    EXPECT_FALSE(log.contains(secret));
    for (const auto& info : statistics->infos()) EXPECT_EQ(info.infoStr.find(secret), std::string::npos);
    for (const auto& upload : statistics->uploads()) EXPECT_EQ(upload.logdata.find(secret), std::string::npos);
  }
}

TEST_F(AccountFlowTest, AForgottenPasswordIsRetrievedWithThePictureAndTheTextMessageCodes) {
  auto login = openLogin();
  tap(Strings::localized("RetrievePassword"));
  auto retrieve = awaitTop<RetrievePasswordViewController>();
  ASSERT_TRUE(retrieve);
  // The first picture came with the screen: the server's PNG as the button's background.
  ASSERT_TRUE(await([&] {
    auto picture = retrieve->pictureButton()->currentBackgroundImage();
    return picture && picture->name.empty() && picture->size.width == standin::account::kPictureWidth;
  }));
  EXPECT_EQ(retrieve->pictureButton()->currentTitle(), "");
  const std::string firstToken = retrieve->token();
  EXPECT_EQ(firstToken.size(), 16u);

  // A wrong check code brings a new picture and token.
  type(*retrieve->numberField(), kTestUser);
  type(*retrieve->checkCodeField(), "0");
  tap(Strings::localized("Next"));
  ASSERT_TRUE(await([&] { return retrieve->token() != firstToken && prompt().has_value(); }));
  EXPECT_EQ(prompt(), "校验码错误");  // shown after the new picture, whose spinner would take it away
  EXPECT_EQ(top(), retrieve);
  settle(2);  // the prompt goes

  std::string pictureCode;
  ASSERT_TRUE(await([&] {
    auto lock = server->lock();
    auto it = accounts().pictureCodes.find(retrieve->token());
    if (it != accounts().pictureCodes.end()) pictureCode = it->second;
    return !pictureCode.empty();
  }));
  type(*retrieve->checkCodeField(), "");
  ASSERT_TRUE(retrieve->checkCodeField()->tapClear());
  type(*retrieve->checkCodeField(), pictureCode);
  tap(Strings::localized("Next"));
  auto code = awaitTop<InputVerificationViewController>();
  ASSERT_TRUE(code);
  auto sms = smsCodeFor(kTestUser);
  ASSERT_TRUE(sms);
  type(*code->codeField(), *sms);
  tap(Strings::localized("Next"));
  auto reset = awaitTop<ResetPasswordViewController>();
  ASSERT_TRUE(reset);
  type(*reset->passwordField(), "reset-pass-9");
  tap(Strings::localized("Ok"));
  // The three retrieval screens close at once: the login screen is on top again.
  ASSERT_TRUE(await([&] {
    settle(0.5);
    return top() == login;
  }));
  EXPECT_EQ(navigation().stack().size(), 2u);
  EXPECT_EQ(passwordOf(kTestUser), "reset-pass-9");

  logIn(*login, kTestUser, "reset-pass-9");
  ASSERT_TRUE(loggedInAs(kTestUser));
}

}  // namespace
}  // namespace nvx
