// Registration against the stand-in: the number check, the text-message code with its countdown
// on the virtual clock, the final step's checks, the session from the reply, and the
// registration statistics record.
#include <gtest/gtest.h>

#include "account/NewRegisterViewController.h"
#include "account/RegisterViewController.h"
#include "account/SubmitVerificationViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "net/DataStatistics.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Strings;
using standin::MainApiStandin;
using testing::kNewNumber;
using testing::kTestUser;
using testing::RecordingPayPwdScreen;

class RegistrationTest : public testing::AccountStandinFixture {
 protected:
  std::shared_ptr<RegisterViewController> openRegistration(const std::string& number) {
    openLogin();
    tap(Strings::localized("Register"));
    auto reg = awaitTop<RegisterViewController>();
    if (reg) type(*reg->numberField(), number);
    return reg;
  }
  std::shared_ptr<SubmitVerificationViewController> reachCodeScreen() {
    auto reg = openRegistration(kNewNumber);
    if (!reg) return nullptr;
    tap(Strings::localized("GetMobileVerifcationCode"));
    return awaitTop<SubmitVerificationViewController>();
  }
  std::shared_ptr<NewRegisterViewController> reachFinalStep() {
    auto code = reachCodeScreen();
    if (!code) return nullptr;
    auto sms = smsCodeFor(kNewNumber);
    if (!sms) return nullptr;
    typeCode(*sms);
    tap(Strings::localized("Submit"));
    return awaitTop<NewRegisterViewController>();
  }
  void typeCode(const std::string& code) {
    auto field = inspector().fieldByPlaceholder(SubmitVerificationViewController::kCodePlaceholder);
    ASSERT_TRUE(field);
    type(*field, code);
  }
  size_t calls(std::string_view method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method;
    return n;
  }
  static platform::Path registrationFile() {
    return platform::Sandbox::caches() / std::string(DataStatistics::kTempRegFile);
  }
};

TEST_F(RegistrationTest, ARegisteredNumberGoesBackToTheLoginScreenFilledInWithTheTickOff) {
  auto login = openLogin();
  tap(LoginViewController::kRememberTitle);
  ASSERT_TRUE(login->isRememberTicked());
  tap(Strings::localized("Register"));
  auto reg = awaitTop<RegisterViewController>();
  ASSERT_TRUE(reg);
  EXPECT_EQ(reg->tipTitle(), Strings::localized("PleaseEnterMobileNumber"));
  type(*reg->numberField(), kTestUser);
  tap(Strings::localized("GetMobileVerifcationCode"));
  ASSERT_TRUE(await([&] { return alert() != nullptr; }));
  EXPECT_EQ(alert()->tag(), RegisterViewController::kRegisteredAlertTag);
  EXPECT_EQ(alert()->title(), Strings::localized("Error_MobileNumberRegisteredTitle"));
  EXPECT_EQ(alert()->message(), Strings::localized("Error_MobileNumberRegisteredMessage"));
  ASSERT_TRUE(inspector().answerAlert(Strings::localized("Ok")).isOk());
  settle(1);
  EXPECT_EQ(top(), login);
  EXPECT_EQ(login->phoneField()->text(), "138-0000-0000");
  EXPECT_EQ(login->passwordField()->text(), "");
  EXPECT_FALSE(login->isRememberTicked());
  EXPECT_EQ(calls("getMobileVerifyCode"), 0u);
}

TEST_F(RegistrationTest, AnInvalidNumberIsPromptedAndNothingIsSent) {
  auto reg = openRegistration("1371234");
  ASSERT_TRUE(reg);
  tap(Strings::localized("GetMobileVerifcationCode"));
  EXPECT_EQ(prompt(), Strings::localized("Error_EnterMobileNumber"));
  settle(1);
  EXPECT_EQ(calls("getLoginNameState"), 0u);
}

TEST_F(RegistrationTest, TheResendCountdownRunsOnTheVirtualClockAndResendReplacesTheToken) {
  auto code = reachCodeScreen();
  ASSERT_TRUE(code);
  EXPECT_EQ(code->title(), SubmitVerificationViewController::kTitle);
  const std::string reacquire = Strings::localized("Reacquire");
  auto resend = code->resendButton();
  ASSERT_TRUE(resend);
  // awaitTop let a second pass: the count stands at 58 or below by now; restart it cleanly.
  const std::string firstToken = code->token();
  const std::string firstCode = *smsCodeFor(kNewNumber);

  // Let the count run out, then resend: a new countdown starts from 60.
  settle(60);
  EXPECT_EQ(resend->currentTitle(), reacquire);
  EXPECT_TRUE(resend->isEnabled());
  EXPECT_FALSE(code->countdown().isRunning());
  typeCode("999999");
  tap(reacquire);
  ASSERT_TRUE(await([&] { return code->token() != firstToken; }));
  EXPECT_EQ(inspector().fieldByPlaceholder(SubmitVerificationViewController::kCodePlaceholder)->text(), "");
  settle(1);
  EXPECT_EQ(resend->currentTitle(), "(59秒)" + reacquire);
  EXPECT_FALSE(resend->isEnabled());
  EXPECT_FALSE(inspector().tap("(59秒)" + reacquire).isOk());
  settle(58);
  EXPECT_EQ(resend->currentTitle(), "(01秒)" + reacquire);
  settle(1);
  EXPECT_EQ(resend->currentTitle(), reacquire);
  EXPECT_TRUE(resend->isEnabled());

  // The earlier message's code is refused with the new token; the screen stays.
  typeCode(firstCode);
  tap(Strings::localized("Submit"));
  ASSERT_TRUE(await([&] { return calls("getMobileVerifyState") == 1; }));
  ASSERT_TRUE(await([&] { return prompt() == "验证码错误"; }));
  EXPECT_EQ(top(), code);
}

TEST_F(RegistrationTest, CodesThatNoTextMessageBringsAreRefusedBeforeTheyAreSent) {
  auto code = reachCodeScreen();
  ASSERT_TRUE(code);
  auto field = inspector().fieldByPlaceholder(SubmitVerificationViewController::kCodePlaceholder);
  // Never edited: nothing typed.
  tap(Strings::localized("Submit"));
  EXPECT_EQ(prompt(), SubmitVerificationViewController::kNoCodePrompt);
  for (const char* bad : {"", "12 456", "12a456", "１２３４５６", "123456789", "12/../3"}) {
    SCOPED_TRACE(bad);
    settle(2);  // the last prompt goes
    field->setText("");
    type(*field, bad);
    tap(Strings::localized("Submit"));
    EXPECT_EQ(prompt(), SubmitVerificationViewController::kNoCodePrompt);
  }
  settle(1);
  EXPECT_EQ(calls("getMobileVerifyState"), 0u);
}

TEST_F(RegistrationTest, TheFinalStepChecksTheLengthAndBothAgreementsBeforeItSends) {
  auto final = reachFinalStep();
  ASSERT_TRUE(final);
  auto field = final->passwordField();
  struct Case {
    std::string password;
    const char* untick;  // an agreement to untick first
    const char* prompt;
  };
  const Case cases[] = {
      {"", nullptr, NewRegisterViewController::kPasswordRule},
      {"12345", nullptr, NewRegisterViewController::kPasswordRule},
      {std::string(21, 'x'), nullptr, NewRegisterViewController::kPasswordRule},
      {"123456", NewRegisterViewController::kAgree, NewRegisterViewController::kServiceAgreementOff},
      {"123456", NewRegisterViewController::kAgreeWallet, NewRegisterViewController::kWalletAgreementOff},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.password);
    field->setText("");
    if (!c.password.empty()) type(*field, c.password);
    field->tapReturn();  // the return key closes the keyboard
    if (c.untick) tap(c.untick);
    tap(NewRegisterViewController::kRegisterTitle);
    EXPECT_EQ(prompt(), std::string(c.prompt));
    settle(3);  // the prompt goes
    if (c.untick) tap(c.untick);  // ticked again: registering is possible again
  }
  settle(1);
  EXPECT_EQ(calls("walletregister"), 0u);
  EXPECT_TRUE(final->isServiceAgreed());
  EXPECT_TRUE(final->isWalletAgreed());

  // Twenty characters of any kind, shown in clear with the tick, register.
  EXPECT_TRUE(field->isSecureTextEntry());
  tap(NewRegisterViewController::kShowPassword);
  EXPECT_FALSE(field->isSecureTextEntry());
  field->setText("");
  type(*field, "  spaces & 中文 only ");
  field->tapReturn();
  tap(NewRegisterViewController::kRegisterTitle);
  auto payPwd = awaitTop<RecordingPayPwdScreen>();
  ASSERT_TRUE(payPwd);
  EXPECT_EQ(passwordOf(kNewNumber), "  spaces & 中文 only ");
}

TEST_F(RegistrationTest, TheSessionComesFromTheReplyAndTheRecordFileIsClearedOnlyWhenStored) {
  // First the statistics server refuses the record: the file keeps it.
  statistics->script("insertStaticesInfo", standin::StatisticsStandin::Scripted::error("3001", "忙"));
  server->script("walletregister",
                 MainApiStandin::Scripted::success(platform::Json::object(
                     {{"userId", 77}, {"userToken", "tok-new"}, {"psamNo", "V123"}})).processingFirst());
  auto final = reachFinalStep();
  ASSERT_TRUE(final);
  type(*final->passwordField(), "abc123");
  final->passwordField()->tapReturn();
  tap(NewRegisterViewController::kRegisterTitle);
  ASSERT_TRUE(awaitTop<RecordingPayPwdScreen>());
  const User& user = User::currentUser();
  EXPECT_TRUE(user.isLogined());  // no login request was made
  EXPECT_EQ(user.loginName(), kNewNumber);
  EXPECT_EQ(user.userId(), "77");
  EXPECT_EQ(user.userToken(), "tok-new");
  EXPECT_EQ(user.psamNo(), "");  // fewer than 16 characters are not kept
  EXPECT_EQ(calls("getUserLoginState"), 0u);
  ASSERT_TRUE(await([&] { return !statistics->infos().empty(); }));
  settle(1);
  auto kept = platform::fs::read(registrationFile());
  ASSERT_TRUE(kept);
  EXPECT_NE(kept->find(kNewNumber), std::string::npos);

  // A record the server stores empties the file.
  statistics->clearScript("insertStaticesInfo");
  NewRegisterViewController::postRegisterDatastatic("13600000000");
  ASSERT_TRUE(await([&] { return statistics->infos().size() == 2; }));
  ASSERT_TRUE(await([&] {
    auto text = platform::fs::read(registrationFile());
    return !text || text->empty();
  }));
}

}  // namespace
}  // namespace nvx
