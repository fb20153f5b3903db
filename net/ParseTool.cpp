#include "net/ParseTool.h"

#include "net/JsonDeserializer.h"
#include "net/NVXResponseErrorHandler.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "ParseTool";

using platform::Json;
using platform::Strings;

std::optional<Json> report(std::string* error, std::string_view key) {
  if (error) *error = Strings::localized(key);
  return std::nullopt;
}

std::optional<Json> tokenMarker() { return Json(Strings::localized("Error_Token_Effectiveness")); }

}  // namespace

bool ParseTool::isTokenMarker(const std::optional<Json>& result) {
  return result && result->is_string() && result->get_ref<const std::string&>() ==
                                              Strings::localized("Error_Token_Effectiveness");
}

std::optional<Json> ParseTool::retDataWithResponseData(std::string_view data,
                                                       const std::shared_ptr<platform::ui::ViewController>& viewController,
                                                       std::string* error) {
  return retDataWithResponseData(data, viewController, error, {});
}

std::optional<Json> ParseTool::retDataWithResponseData(std::string_view data,
                                                       const std::shared_ptr<platform::ui::ViewController>& viewController,
                                                       std::string* error,
                                                       std::weak_ptr<LoginViewControllerDelegate> delegate) {
  if (data.empty()) return report(error, "NetworkConnectionFailed");
  std::optional<Json> top = JsonDeserializer::deserialize(data);
  if (!top || !top->is_object()) return report(error, "Error_Data");
  const Json* status = platform::json::member(*top, "retStatus");
  if (!status || !status->is_object()) return report(error, "Error_Data");
  const Json* code = platform::json::member(*status, "retCode");
  if (!code || !code->is_string()) return report(error, "Error_Data");
  const std::string& retCode = code->get_ref<const std::string&>();
  const Json* errMsg = platform::json::member(*status, "errMsg");
  const bool errMsgIsText = errMsg && errMsg->is_string();

  if (retCode == "0000") {
    if (error) *error = Strings::localized("OK");
    if (const Json* retData = platform::json::member(*top, "retData")) return *retData;
    if (error) *error = Strings::localized("ReturnDataIsNil");
    return Json("");
  }

  if (retCode == "1012") {
    auto navigation = viewController ? viewController->navigationController() : nullptr;
    if (!navigation) {
      platform::log::warning(kTag, "expired login without a navigation stack to show the login screen on");
      return tokenMarker();
    }
    if (auto login = LoginScreen::create()) {
      if (auto configurable = std::dynamic_pointer_cast<LoginScreen>(login)) configurable->setDelegate(delegate);
      navigation->push(login, true);
    }
    return tokenMarker();
  }

  if (retCode == "1023") {
    if (NVXResponseErrorHandler::isReloginAlertShown()) return std::nullopt;
    std::string message =
        errMsgIsText ? errMsg->get<std::string>() : Strings::localized("TokenEffectiveness");
    if (viewController) {
      if (auto navigation = viewController->navigationController()) {
        platform::ui::Hud::hideAll(*navigation->view(), false);
      }
    }
    auto alert = NVXResponseErrorHandler::makeReloginAlert(message);
    if (auto alertDelegate = std::dynamic_pointer_cast<platform::ui::AlertViewDelegate>(viewController)) {
      alert->setDelegate(alertDelegate);
    }
    alert->show();
    return tokenMarker();
  }

  if (errMsgIsText) {
    if (error) *error = errMsg->get<std::string>();
    return std::nullopt;
  }
  return report(error, "Error_Unknown");
}

}  // namespace nvx
