#include "net/ParseTool.h"

#include <gtest/gtest.h>

#include "app/ui/NetUiBridge.h"
#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "app/ui/NVXResponseErrorHandler.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Strings;

std::string text(std::string_view key) { return Strings::localized(key); }

class LoginStub : public platform::ui::ViewController, public LoginScreen {
 public:
  std::string className() const override { return kClassName; }
  void setBoxTitle(std::string) override {}
  void setDelegate(std::weak_ptr<LoginViewControllerDelegate> delegate) override { delegate_ = std::move(delegate); }
  void setCustomSuccessExecutor(std::function<void()>) override {}
  std::weak_ptr<LoginViewControllerDelegate> delegate_;
};

// A screen that answers alerts, as the base screen does.
class AlertAwareScreen : public platform::ui::ViewController, public platform::ui::AlertViewDelegate {
 public:
  std::string className() const override { return "AlertAwareScreen"; }
  void alertViewClickedButtonAtIndex(platform::ui::AlertView& alert, int index) override {
    clickedTag_ = alert.tag();
    clickedIndex_ = index;
  }
  int clickedTag_ = 0;
  int clickedIndex_ = -1;
};

class Delegate : public LoginViewControllerDelegate {
 public:
  void gotoViewOfBoxTitle(const std::string&) override {}
};

class ParseToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installNetUiHooks();
    ScreenRegistry::shared().add(LoginScreen::kClassName, [] { return std::make_shared<LoginStub>(); });
    screen_ = std::make_shared<AlertAwareScreen>();
    nav_ = platform::ui::NavigationController::create(screen_);
  }

  std::optional<Json> read(std::string_view body, std::string* error) {
    return ParseTool::retDataWithResponseData(body, screen_, error);
  }

  static std::vector<std::shared_ptr<platform::ui::AlertView>> reloginAlerts() {
    std::vector<std::shared_ptr<platform::ui::AlertView>> out;
    for (auto& a : platform::ui::AlertView::visible()) {
      if (a->tag() == NVXResponseErrorHandler::kReloginAlertTag) out.push_back(a);
    }
    return out;
  }

  std::shared_ptr<AlertAwareScreen> screen_;
  std::shared_ptr<platform::ui::NavigationController> nav_;
};

TEST_F(ParseToolTest, ReadsDataOrReportsTheMessage) {
  struct Case {
    const char* name;
    std::string body;
    std::optional<Json> result;
    std::string error;
  };
  const Case cases[] = {
      {"noBody", "", std::nullopt, text("NetworkConnectionFailed")},
      {"notJson", "<html>502</html>", std::nullopt, text("Error_Data")},
      {"topList", "[1]", std::nullopt, text("Error_Data")},
      {"statusText", R"({"retStatus":"0000","retData":{}})", std::nullopt, text("Error_Data")},
      {"numberCode", R"({"retStatus":{"retCode":1012},"retData":{}})", std::nullopt, text("Error_Data")},
      {"noCode", R"({"retStatus":{"errMsg":"m"}})", std::nullopt, text("Error_Data")},
      {"data", R"({"retStatus":{"retCode":"0000","errMsg":"x"},"retData":{"a":null,"b":[1]}})",
       Json::parse(R"({"b":[1]})"), text("OK")},
      {"list", R"({"retStatus":{"retCode":"0000"},"retData":[]})", Json::array(), text("OK")},
      {"okNoData", R"({"retStatus":{"retCode":"0000"},"retData":null})", Json(""), text("ReturnDataIsNil")},
      {"serverMsg", R"({"retStatus":{"retCode":"3001","errMsg":"卡号错误"}})", std::nullopt, "卡号错误"},
      {"noMsg", R"({"retStatus":{"retCode":"3001","errMsg":[1]}})", std::nullopt, text("Error_Unknown")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error = "untouched";
    auto result = read(c.body, &error);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(error, c.error);
    EXPECT_FALSE(ParseTool::isTokenMarker(result));
    // Without an error slot nothing breaks.
    EXPECT_EQ(read(c.body, nullptr), c.result);
  }
  EXPECT_TRUE(reloginAlerts().empty());
  EXPECT_EQ(nav_->stack().size(), 1u);
}

TEST_F(ParseToolTest, ExpiredTokenPushesTheLoginScreenAtOnce) {
  auto delegate = std::make_shared<Delegate>();
  std::string error = "untouched";
  auto result = ParseTool::retDataWithResponseData(R"({"retStatus":{"retCode":"1012","errMsg":"e"}})", screen_,
                                                   &error, delegate);
  EXPECT_TRUE(ParseTool::isTokenMarker(result));
  EXPECT_EQ(error, "untouched");
  auto login = std::dynamic_pointer_cast<LoginStub>(nav_->topViewController());
  ASSERT_TRUE(login);
  EXPECT_TRUE(nav_->lastTransitionAnimated());
  EXPECT_EQ(login->delegate_.lock(), delegate);
  EXPECT_TRUE(reloginAlerts().empty());
}

TEST_F(ParseToolTest, RevokedTokenShowsOneAlertWithTheServerMessage) {
  platform::ui::Hud::showOn(*nav_->view(), false);
  platform::ui::Hud::showOn(*nav_->view(), false);

  std::string error = "untouched";
  auto result = read(R"({"retStatus":{"retCode":"1023","errMsg":"已在别处登录"}})", &error);
  EXPECT_TRUE(ParseTool::isTokenMarker(result));
  EXPECT_EQ(error, "untouched");
  EXPECT_TRUE(platform::ui::Hud::on(*nav_->view()).empty());
  auto alerts = reloginAlerts();
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(alerts[0]->title(), text("TokenEffectivenessTip"));
  EXPECT_EQ(alerts[0]->message(), "已在别处登录");
  EXPECT_EQ(alerts[0]->buttonTitleAtIndex(0), text("ReLogin"));
  EXPECT_EQ(nav_->stack().size(), 1u) << "the screen pushes the login when the button is pressed";

  // While it is up, a second expiry neither shows another alert nor reports anything.
  error = "untouched";
  EXPECT_EQ(read(R"({"retStatus":{"retCode":"1023"}})", &error), std::nullopt);
  EXPECT_EQ(error, "untouched");
  EXPECT_EQ(reloginAlerts().size(), 1u);

  // The screen is the alert's delegate.
  alerts[0]->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(screen_->clickedTag_, NVXResponseErrorHandler::kReloginAlertTag);

  // Without a text message the fixed text is shown.
  read(R"({"retStatus":{"retCode":"1023","errMsg":5}})", &error);
  ASSERT_EQ(reloginAlerts().size(), 1u);
  EXPECT_EQ(reloginAlerts()[0]->message(), text("TokenEffectiveness"));
}

}  // namespace
}  // namespace nvx
