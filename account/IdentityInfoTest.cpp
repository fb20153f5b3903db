// The identity screen against the main-API stand-in with the simulated Wi-Fi reader box: loading
// the user's data and photos, the checks, and the opening of the reader service from the reader
// gate's new-reader alert to the next payment's gate answering YES.
#include <gtest/gtest.h>

#include <filesystem>

#include "account/IdentityInfoViewController.h"
#include "account/testing/AccountStandinFixture.h"
#include "app/ui/NVXBaseViewController.h"
#include "core/session/User.h"
#include "core/shell/ScreenRegistry.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Strings.h"
#include "platform/media/PictureDecoder.h"
#include "platform/media/PictureEncoder.h"
#include "platform/media/TestPictures.h"
#include "platform/net/NetConfig.h"
#include "platform/ui/AlertView.h"
#include "reader/wifi/WexTestHarness.h"
#include "standin/MainApiStandin.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/AccountRoutes.h"

namespace nvx {
namespace {

using platform::Strings;
using platform::ui::AlertView;
using standin::MainApiStandin;
using Scripted = MainApiStandin::Scripted;
using Screen = IdentityInfoViewController;

// The box's serial number as the phone reads it.
constexpr const char* kBoxKsn = "123456789ABCDEF0";
constexpr const char* kNumber = "11010519491231002X";

// A card-paid business screen asking the reader gate, its answers kept apart from it.
class PayScreen : public NVXBaseViewController {
 public:
  std::string className() const override { return "PayScreen"; }
  void ask() {
    swiperValid([answers = answers](bool ready) { answers->push_back(ready); });
  }
  std::shared_ptr<std::vector<bool>> answers = std::make_shared<std::vector<bool>>();
};

// A photo of w x h pixels in one colour.
platform::ui::Image photo(int w, int h, uint8_t shade) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), shade);
  return *platform::ui::Image::withPixels(w, h, std::move(rgba));
}

std::string jpegOf(int w, int h) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 90);
  return platform::media::PictureEncoder::jpeg(w, h, rgba, 0.9).value();
}

class IdentityInfoTest : public testing::AccountStandinFixture {
 protected:
  void SetUp() override {
    // The box takes its ports and holds them for the test; the phone's sockets, made after, use them.
    platform::net::NetConfig::current().useLoopbackNetwork();
    box = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
    ASSERT_TRUE(box->bindPorts().isOk());
    AccountStandinFixture::SetUp();
    logInTestUser();
  }
  void TearDown() override {
    AlertView::dismissAll();
    if (box) box->stop();
    if (services) services->hub.reset();
    AccountStandinFixture::TearDown();
  }

  static bool pump(const std::function<bool()>& pred, double virtualSeconds = 30.0) {
    return reader::testing::pumpUntil(pred, virtualSeconds);
  }
  void startBox() {
    ASSERT_TRUE(box->start().isOk());
    services->makeHub();
    ASSERT_TRUE(pump([&] { return services->hub->isTaviPresent(); }, 10.0));
  }

  std::shared_ptr<Screen> openIdentity() {
    auto made = ScreenRegistry::shared().create(Screen::kClassName);
    auto screen = std::dynamic_pointer_cast<Screen>(made);
    EXPECT_TRUE(screen);
    if (!screen) return nullptr;
    screen->setPhoneNum("19999999999");
    screen->setType(IdentityInfoScreen::kBindReaderType);
    navigation().push(screen, false);
    EXPECT_TRUE(await([&] {
      settle(0.2);
      return !spinnerShown();
    }));
    settle(0.5);
    inspector().render();
    return screen;
  }
  void fill(Screen& screen, std::string_view name, std::string_view number, std::string_view email) {
    for (auto [field, text] : {std::pair{screen.nameField(), name}, {screen.numberField(), number},
                               {screen.emailField(), email}}) {
      field->setText("");
      if (!text.empty()) type(*field, text);
    }
  }
  void choosePhotos(Screen& screen) {
    screen.frontButton()->setIdPic(photo(64, 40, 200));
    screen.backButton()->setIdPic(photo(64, 40, 60));
  }
  standin::mainapi::AccountState::Identity identityOf(const std::string& login) {
    auto lock = server->lock();
    return accounts().identities[login];
  }

  std::unique_ptr<standin::SimulatedWifiBox> box;
};

TEST(IdentityChecks, RefuseInOrderWithTheirAlerts) {
  const std::string nameTitle = Strings::localized("Error_Name");
  const std::string idTitle = Strings::localized("Error_Id");
  const std::string mailTitle = Strings::localized("Error_Email");
  struct Case {
    std::optional<std::string> name, number, email;
    std::optional<std::string> title;  // nothing: passes
    bool reenableEmail = false;
  };
  const Case cases[] = {
      {std::nullopt, kNumber, "a@b.cn", nameTitle},
      {"", kNumber, "a@b.cn", nameTitle},
      {"张三", std::nullopt, "a@b.cn", ""},
      {"张三", "", "a@b.cn", ""},
      {"张三", "110105194912310021", "a@b.cn", idTitle},                 // wrong check digit
      {"张三", "１１０１０５１９４９１２３１００２1", "a@b.cn", idTitle},  // full-width digits
      {"张三", "１１０１０５４９１２３１００２", "a@b.cn", idTitle},      // 15 full-width digits
      {"张三", "11010519491231002", "a@b.cn", idTitle},                  // 17 digits
      {"张三", kNumber, std::nullopt, "", true},
      {"张三", kNumber, "x a@b.cn y", mailTitle, true},                  // not only an address
      {"张三", kNumber, "a@b", mailTitle, true},
      {"张三", kNumber, "a@b.cn", std::nullopt},
      {"张三", "11010519491231002x", "a@b.cn", std::nullopt},            // lower-case check character
      {"张三", "110105491231002", "a@b.cn", std::nullopt},               // the older 15-digit form
  };
  for (const auto& c : cases) {
    auto refusal = Screen::checkIdentity(c.name, c.number, c.email);
    SCOPED_TRACE(c.number.value_or("(none)") + " / " + c.email.value_or("(none)"));
    ASSERT_EQ(refusal.has_value(), c.title.has_value());
    if (!refusal) continue;
    EXPECT_EQ(refusal->title, *c.title);
    EXPECT_EQ(refusal->reenableEmail, c.reenableEmail);
  }
  EXPECT_EQ(Screen::checkIdentity("张三", "", "a@b.cn")->message, Screen::kNumberMissing);
  EXPECT_EQ(Screen::checkIdentity("张三", kNumber, "")->message, Screen::kEmailMissing);
}

TEST_F(IdentityInfoTest, LoadsDataUnderReviewLockedWithBothPhotosJpegAndPng) {
  {
    auto lock = server->lock();
    auto& id = accounts().identities[testing::kTestUser];
    id = {"张三", kNumber, "zs@example.cn", "APPLY", "", {"front 1.jpg", "back&2.png", "third.jpg"}};
    accounts().idCardImages["front 1.jpg"] = jpegOf(40, 30);
    std::vector<uint8_t> rgba(20 * 10 * 4, 128);
    accounts().idCardImages["back&2.png"] = platform::media::pictures::pngOf(20, 10, rgba);
  }
  auto screen = openIdentity();
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->nameField()->text(), "张三");
  EXPECT_EQ(screen->numberField()->text(), kNumber);
  EXPECT_EQ(screen->emailField()->text(), "zs@example.cn");
  EXPECT_EQ(screen->realName(), "张三");
  EXPECT_EQ(screen->authState(), Screen::kApply);
  EXPECT_FALSE(screen->nameField()->isEnabled());
  EXPECT_FALSE(screen->numberField()->isEnabled());
  EXPECT_FALSE(screen->emailField()->isEnabled());
  EXPECT_EQ(screen->frontButton()->authStatus(), Screen::kApply);
  // Both names went out escaped, and only the first two were fetched.
  EXPECT_EQ(calls("getUserIdCardImage"), 2u);
  ASSERT_TRUE(screen->frontButton()->idPic());
  EXPECT_EQ(screen->frontButton()->idPic()->pixelWidth(), 40);
  ASSERT_TRUE(screen->backButton()->idPic());
  EXPECT_EQ(screen->backButton()->idPic()->pixelWidth(), 20);
  EXPECT_FALSE(prompt());
}

TEST_F(IdentityInfoTest, APhotoThatIsNoPictureIsPromptedAndNotShown) {
  {
    auto lock = server->lock();
    auto& id = accounts().identities[testing::kTestUser];
    id.authStatus = "REJECT";
    id.picPaths = {"f.jpg", "b.jpg"};
    accounts().idCardImages["f.jpg"] = jpegOf(16, 16);
    accounts().idCardImages["b.jpg"] = "<html>server error</html>";
  }
  auto screen = openIdentity();
  ASSERT_TRUE(screen);
  EXPECT_EQ(prompt(), Screen::kPhotoFetchFailed);
  EXPECT_TRUE(screen->frontButton()->idPic());
  EXPECT_FALSE(screen->backButton()->idPic());
  EXPECT_EQ(screen->authState(), Screen::kReject);
  EXPECT_TRUE(screen->nameField()->isEnabled());
}

// A new user logs in, the first payment finds the reader new and offers the identity screen; the
// identity is filled, the reader bound, the profile updated and the photos uploaded; the next
// payment's gate finds the reader bound and signs its terminal in.
TEST_F(IdentityInfoTest, ANewUserBindsTheReaderThenTheGateAnswersYes) {
  {
    auto lock = server->lock();
    accounts().users[testing::kNewNumber] = {"first!pass1", "2001", "V000000000000077"};
  }
  User::currentUser().setUserToken("");
  openLogin();
  logIn(*std::dynamic_pointer_cast<LoginViewController>(top()), testing::kNewNumber, "first!pass1");
  ASSERT_TRUE(loggedInAs(testing::kNewNumber)) << callLog();
  settle(3);
  navigation().popToRoot(false);
  startBox();
  auto pay = std::make_shared<PayScreen>();
  navigation().push(pay, false);
  settle(0.5);

  pay->ask();
  ASSERT_TRUE(pump([&] { return !pay->answers->empty(); }));
  EXPECT_EQ(*pay->answers, std::vector<bool>{false});
  auto offer = alert();
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->tag(), NVXViewController::kNewReaderAlertTag);
  offer->dismissWithClickedButtonIndex(1, false);  // "继续"
  auto screen = awaitTop<Screen>();
  ASSERT_TRUE(screen);
  EXPECT_EQ(screen->type(), IdentityInfoScreen::kBindReaderType);
  ASSERT_TRUE(await([&] {
    settle(0.2);
    return !spinnerShown();
  }));

  fill(*screen, "李四", "110105199003070017", "ls@example.cn");
  choosePhotos(*screen);
  tap(Strings::localized("Open"));
  // The agreement question: "同意" only ticks the box.
  auto question = alert();
  ASSERT_TRUE(question);
  EXPECT_EQ(question->message(), Screen::kAgreementQuestion);
  question->dismissWithClickedButtonIndex(1, false);
  EXPECT_TRUE(screen->isAgreed());
  EXPECT_EQ(calls("bindPsamCardToUser"), 0u);

  const auto tmpBefore = platform::fs::list(platform::Sandbox::tmp());
  tap(Strings::localized("Open"));
  ASSERT_TRUE(pump([&] { return prompt() == std::string(Screen::kOpened); }, 10)) << callLog();
  EXPECT_EQ(calls("checkUserDeviceInfo"), 1u);  // only the first payment's check
  ASSERT_TRUE(pump([&] { return prompt() == Strings::localized("Success_ModifyUserInfo"); }, 10)) << callLog();
  ASSERT_TRUE(pump([&] { return top() == pay; }, 5));

  // What the server got: the binding's fields in order, the profile and both photos as JPEG.
  std::vector<std::string> bindingFields;
  {
    auto lock = server->lock();
    bindingFields = accounts().lastBindingFields;
  }
  const std::vector<std::string> expected = {"uid", "vercode", "loginName", "userToken", "psamNo", "realName",
                                             "idCardType", "idCardInfo.idCardId", "deviceId", "telecomOperators",
                                             "mobilePhoneModel", "mobilePhoneProduct", "mobilePhoneManuFacturer",
                                             "email"};
  ASSERT_GE(bindingFields.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(bindingFields.begin(), bindingFields.begin() + expected.size()), expected);
  auto id = identityOf(testing::kNewNumber);
  EXPECT_EQ(id.realName, "李四");
  EXPECT_EQ(id.idCardId, "110105199003070017");
  EXPECT_EQ(id.email, "ls@example.cn");
  EXPECT_EQ(id.authStatus, "APPLY");
  {
    auto lock = server->lock();
    const auto& upload = accounts().uploads[testing::kNewNumber];
    EXPECT_EQ(upload.front.filename, "positiveImage");
    EXPECT_EQ(upload.back.filename, "nagativeImage");
    EXPECT_EQ(upload.front.contentType, "application/x-www-form-urlencoded");
    auto front = platform::media::PictureDecoder::decode(upload.front.content, 1'000'000);
    ASSERT_TRUE(front.isOk());
    EXPECT_EQ(front->width, 64);
  }
  // The photos were not left on disk.
  EXPECT_EQ(platform::fs::list(platform::Sandbox::tmp()), tmpBefore);

  // The binding kept the KSN and loaded no keys: the next payment asks the server, which now
  // says the reader is this user's, and signs the terminal in.
  EXPECT_EQ(User::currentUser().psamId(), kBoxKsn);
  EXPECT_FALSE(User::currentUser().psamPIK());
  pay->ask();
  ASSERT_TRUE(pump([&] { return pay->answers->size() == 2; }));
  EXPECT_EQ(*pay->answers, (std::vector<bool>{false, true}));
  EXPECT_EQ(calls("checkUserDeviceInfo"), 2u);
  EXPECT_TRUE(User::currentUser().psamPIK());
}

// A refused binding drops the reader and sends nothing more; "0000" without data is a success.
TEST_F(IdentityInfoTest, TheBindingReplyDecidesWhetherTheProfileFollows) {
  struct Case {
    Scripted reply;
    bool bound;
  };
  const Case cases[] = {{Scripted::error("5001", "证件号码已被使用"), false}, {Scripted::successWithoutData(), true}};
  startBox();
  auto screen = openIdentity();
  ASSERT_TRUE(screen);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bound ? "bound" : "refused");
    server->clearScripts();
    server->script("bindPsamCardToUser", c.reply, 1);
    const size_t updates = calls("updateUserInfo");
    fill(*screen, "王五", kNumber, "ww@example.cn");
    screen->frontButton()->setIdPic(std::nullopt);
    screen->backButton()->setIdPic(std::nullopt);
    tap(Strings::localized("Open"));
    if (auto question = alert()) question->dismissWithClickedButtonIndex(1, false);
    if (!screen->isAgreed()) continue;
    tap(Strings::localized("Open"));
    if (!c.bound) {
      ASSERT_TRUE(pump([&] { return prompt() == std::string("证件号码已被使用"); }, 10)) << callLog();
      EXPECT_TRUE(User::currentUser().psamId().empty());
      settle(3);
      EXPECT_EQ(calls("updateUserInfo"), updates);
      EXPECT_EQ(top(), screen);
    } else {
      ASSERT_TRUE(pump([&] { return prompt() == std::string(Screen::kOpened); }, 10)) << callLog();
      // Without photos the update is the last step: back to the root, no success prompt.
      ASSERT_TRUE(pump([&] { return calls("updateUserInfo") == updates + 1 && top() != screen; }, 10)) << callLog();
      EXPECT_EQ(calls("idCardImageUpload"), 0u);
      EXPECT_NE(prompt(), Strings::localized("Success_ModifyUserInfo"));
    }
  }
}

TEST_F(IdentityInfoTest, AFailedProfileUpdateClearsTheReaderAndLeaves) {
  startBox();
  auto screen = openIdentity();
  ASSERT_TRUE(screen);
  server->script("updateUserInfo", Scripted::error("5002", "资料更新失败"), 1);
  fill(*screen, "赵六", kNumber, "zl@example.cn");
  choosePhotos(*screen);
  tap(Strings::localized("Open"));
  alert()->dismissWithClickedButtonIndex(1, false);
  tap(Strings::localized("Open"));
  ASSERT_TRUE(pump([&] { return prompt() == std::string("资料更新失败"); }, 10)) << callLog();
  EXPECT_TRUE(User::currentUser().psamId().empty());
  ASSERT_TRUE(pump([&] { return top() != screen; }, 5));
  EXPECT_EQ(calls("idCardImageUpload"), 0u);
  // The reader stays bound: an earlier step is not undone.
  EXPECT_EQ(calls("bindPsamCardToUser"), 1u);
}

}  // namespace
}  // namespace nvx
