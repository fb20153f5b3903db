// Password retrieval against the stand-in: the check-code token and picture, the number field's
// filter, the number and code checks, the code screen's resend and the new password's rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "account/InputVerificationViewController.h"
#include "account/ResetPasswordViewController.h"
#include "account/RetrievePasswordViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Strings;
using standin::MainApiStandin;
using testing::kNewNumber;
using testing::kTestUser;

TEST(RetrievePasswordToken, SixteenLowerCaseLettersOrDigitsNewEachTime) {
  std::set<std::string> seen;
  bool letters = false;
  bool digits = false;
  for (int i = 0; i < 200; ++i) {
    const std::string token = RetrievePasswordViewController::createToken();
    ASSERT_EQ(token.size(), 16u);
    for (char c : token) {
      ASSERT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) << token;
      letters |= c >= 'a';
      digits |= c <= '9';
    }
    seen.insert(token);
  }
  EXPECT_EQ(seen.size(), 200u);
  EXPECT_TRUE(letters && digits);
}

class RetrievalTest : public testing::AccountStandinFixture {
 protected:
  std::shared_ptr<RetrievePasswordViewController> openRetrieval() {
    openLogin();
    tap(Strings::localized("RetrievePassword"));
    auto retrieve = awaitTop<RetrievePasswordViewController>();
    if (retrieve) await([&] { return pictureCode(retrieve->token()).has_value() && !spinnerShown(); });
    settle(1);
    return retrieve;
  }
  std::optional<std::string> pictureCode(const std::string& token) {
    auto lock = server->lock();
    auto& codes = accounts().pictureCodes;
    auto it = codes.find(token);
    return it == codes.end() ? std::nullopt : std::optional(it->second);
  }
  size_t calls(std::string_view method) const {
    size_t n = 0;
    for (const auto& v : server->verdicts()) n += v.method == method;
    return n;
  }
  // Empties the field as a user does: the clear button, then the keyboard closes.
  void clear(platform::ui::TextField& field) {
    type(field, "");
    if (!field.text().empty()) {
      EXPECT_TRUE(field.tapClear());
    }
    field.resignFirstResponder();
  }
  void fill(RetrievePasswordViewController& screen, const std::string& number, const std::string& check) {
    clear(*screen.numberField());
    clear(*screen.checkCodeField());
    if (!number.empty()) type(*screen.numberField(), number);
    if (!check.empty()) type(*screen.checkCodeField(), check);
    screen.cancelKeyBoard();
  }
  std::shared_ptr<InputVerificationViewController> reachCodeScreen() {
    auto retrieve = openRetrieval();
    if (!retrieve) return nullptr;
    fill(*retrieve, kTestUser, pictureCode(retrieve->token()).value_or(""));
    tap(Strings::localized("Next"));
    return awaitTop<InputVerificationViewController>();
  }
};

TEST_F(RetrievalTest, EachPictureHasItsOwnTokenAndANewOneReplacesIt) {
  auto retrieve = openRetrieval();
  ASSERT_TRUE(retrieve);
  EXPECT_EQ(retrieve->title(), Strings::localized("RetrievePassword"));
  const std::string first = retrieve->token();
  ASSERT_TRUE(pictureCode(first));
  retrieve->getImageVerification();
  ASSERT_TRUE(await([&] { return pictureCode(retrieve->token()).has_value(); }));
  EXPECT_NE(retrieve->token(), first);
  EXPECT_TRUE(await([&] { return calls("getVerCodeImg") == 2; }));  // verdicts follow the handling
}

TEST_F(RetrievalTest, TheNumberFieldStartsWithOneAndATwelfthDigitMovesToTheCheckCode) {
  auto retrieve = openRetrieval();
  ASSERT_TRUE(retrieve);
  type(*retrieve->numberField(), "2");
  EXPECT_EQ(retrieve->numberField()->text(), "");
  retrieve->numberField()->setText("");
  type(*retrieve->numberField(), "138000000009");
  EXPECT_EQ(retrieve->numberField()->text(), "138-0000-0000");
  EXPECT_TRUE(retrieve->checkCodeField()->isEditing());
  EXPECT_EQ(retrieve->checkCodeField()->text(), "");
}

TEST_F(RetrievalTest, BadNumbersAndCheckCodesArePromptedAndNothingIsSent) {
  auto retrieve = openRetrieval();
  ASSERT_TRUE(retrieve);
  struct Case {
    std::string number, check;
    std::string prompt;
  };
  const Case cases[] = {
      {"1380000", "1234", Strings::localized("Error_EnterMobileNumber")},
      {kTestUser, "", Strings::localized("Error_EnterCalibrationCode")},
      {kTestUser, "12 34", Strings::localized("Error_EnterCalibrationCode")},
      {kTestUser, "１２３４", Strings::localized("Error_EnterCalibrationCode")},
      {kTestUser, "123456789", Strings::localized("Error_EnterCalibrationCode")},
      {kTestUser, "12/3", Strings::localized("Error_EnterCalibrationCode")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.check);
    fill(*retrieve, c.number, c.check);
    tap(Strings::localized("Next"));
    EXPECT_EQ(prompt(), c.prompt);
    settle(2);
  }
  EXPECT_EQ(calls("getLoginNameState"), 0u);
}

TEST_F(RetrievalTest, AnUnregisteredNumberIsAnAlertAndAMalformedStateReplyDoesNothing) {
  auto retrieve = openRetrieval();
  ASSERT_TRUE(retrieve);
  fill(*retrieve, kNewNumber, "1234");
  tap(Strings::localized("Next"));
  ASSERT_TRUE(await([&] { return alert() != nullptr; }));
  EXPECT_EQ(alert()->title(), Strings::localized("Error_MobileNumber"));
  EXPECT_EQ(alert()->message(), Strings::localized("Error_MobileNumberUnregistered"));
  ASSERT_TRUE(inspector().answerAlert(Strings::localized("Ok")).isOk());

  for (auto scripted : {MainApiStandin::Scripted::rawBody("[1,2]"), MainApiStandin::Scripted::rawBody(R"({"retStatus":7})"),
                        MainApiStandin::Scripted::rawBody(R"({"retStatus":{"retCode":1003}})"),
                        MainApiStandin::Scripted::htmlErrorPage(500)}) {
    server->script("getLoginNameState", scripted, 1);
    fill(*retrieve, kTestUser, "1234");
    tap(Strings::localized("Next"));
    ASSERT_TRUE(await([&] { return !spinnerShown(); }));
    settle(1);
    EXPECT_FALSE(alert());
    EXPECT_FALSE(prompt());
    settle(2);
  }
  EXPECT_EQ(calls("getImgVerCodeVerifyResult"), 0u);
}

TEST_F(RetrievalTest, APictureThatFailsOrIsNoPictureShowsNone) {
  server->script("getVerCodeImg", MainApiStandin::Scripted::rawBody("not a picture", 200, "image/png"), 1);
  openLogin();
  tap(Strings::localized("RetrievePassword"));
  auto retrieve = awaitTop<RetrievePasswordViewController>();
  ASSERT_TRUE(retrieve);
  ASSERT_TRUE(await([&] { return calls("getVerCodeImg") == 1 && retrieve->pictureButton()->currentTitle().empty(); }));
  EXPECT_FALSE(retrieve->pictureButton()->currentBackgroundImage());

  server->stop();
  retrieve->getImageVerification();
  ASSERT_TRUE(await([&] { return prompt() == RetrievePasswordViewController::kPictureFailed; }));
  auto background = retrieve->pictureButton()->currentBackgroundImage();
  EXPECT_TRUE(!background || background->name == RetrievePasswordViewController::kPictureBackground);
}

TEST_F(RetrievalTest, TheCodeScreenResendsKeepingTheTypedCodeAndReplacingTheToken) {
  auto code = reachCodeScreen();
  ASSERT_TRUE(code);
  EXPECT_EQ(code->title(), Strings::localized("EnterCheckCode"));
  EXPECT_TRUE(inspector().containingText("已经将验证码发送至手机:13800000000,请等待,过期时间30分钟。"));
  const std::string reacquire = Strings::localized("Reacquire");
  // The screen has been up a moment: the count stands below 60 and goes down a second at a time.
  auto title = [&](int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "(%02d秒)", seconds);
    return text + reacquire;
  };
  const int left = code->countdown().secondsLeft();
  ASSERT_GT(left, 50);
  EXPECT_EQ(code->resendButton()->currentTitle(), title(left));
  EXPECT_FALSE(code->resendButton()->isEnabled());
  settle(1);
  EXPECT_EQ(code->resendButton()->currentTitle(), title(left - 1));
  settle(left - 2);
  EXPECT_EQ(code->resendButton()->currentTitle(), title(1));
  settle(1);
  EXPECT_EQ(code->resendButton()->currentTitle(), reacquire);
  EXPECT_TRUE(code->resendButton()->isEnabled());

  type(*code->codeField(), "111111");
  tap("完成");
  const std::string token = code->token();
  tap(reacquire);
  ASSERT_TRUE(await([&] { return code->token() != token; }));
  EXPECT_EQ(code->codeField()->text(), "111111");
  EXPECT_EQ(code->typedCode(), "111111");

  // A wrong code: the server's text, and the screen stays.
  tap(Strings::localized("Next"));
  ASSERT_TRUE(await([&] { return prompt() == "验证码错误"; }));
  EXPECT_EQ(top(), code);
}

TEST_F(RetrievalTest, TheNewPasswordIsSixToTwentyCharactersAndTheSwitchShowsIt) {
  auto code = reachCodeScreen();
  ASSERT_TRUE(code);
  type(*code->codeField(), smsCodeFor(kTestUser).value_or(""));
  tap("完成");
  tap(Strings::localized("Next"));
  auto reset = awaitTop<ResetPasswordViewController>();
  ASSERT_TRUE(reset);
  EXPECT_EQ(reset->title(), ResetPasswordViewController::kTitle);
  auto field = reset->passwordField();
  for (const std::string& bad : {std::string(), std::string(5, 'p'), std::string(21, 'p')}) {
    SCOPED_TRACE(bad.size());
    field->setText("");
    if (!bad.empty()) type(*field, bad);
    field->tapReturn();
    tap(Strings::localized("Ok"));
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), Strings::localized("Error_Password"));
    EXPECT_EQ(alert()->message(), Strings::localized("Error_PasswordLen"));
    ASSERT_TRUE(inspector().answerAlert(Strings::localized("Ok")).isOk());
  }
  EXPECT_EQ(calls("resetUserPassword"), 0u);

  // The switch shows the password, keeping the keyboard.
  field->setText("");
  type(*field, std::string(20, 'q'));
  EXPECT_TRUE(field->isSecureTextEntry());
  ASSERT_TRUE(reset->visibleSwitch()->tap());
  EXPECT_FALSE(field->isSecureTextEntry());
  EXPECT_TRUE(field->isEditing());
  field->tapReturn();
  tap(Strings::localized("Ok"));
  ASSERT_TRUE(await([&] { return passwordOf(kTestUser) == std::string(20, 'q'); }));
}

}  // namespace
}  // namespace nvx
