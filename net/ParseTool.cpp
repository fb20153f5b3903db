#include "net/ParseTool.h"

#include "net/NetUiHooks.h"
#include "net/ReplyEnvelope.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

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
  platform::Result<Envelope> envelope = ReplyEnvelope::parse(data);
  if (!envelope || !envelope->hasStatus() || !envelope->retCode()) return report(error, "Error_Data");
  const std::string retCode = *envelope->retCode();
  const std::optional<std::string> errMsg = envelope->errMsg();

  if (retCode == Envelope::kOkCode) {
    if (error) *error = Strings::localized("OK");
    if (const Json* retData = envelope->retData()) return *retData;
    if (error) *error = Strings::localized("ReturnDataIsNil");
    return Json("");
  }

  if (retCode == "1012") {
    NetUiHooks::expiredLoginShownOn(retCode, {}, viewController, std::move(delegate));
    return tokenMarker();
  }

  if (retCode == "1023") {
    const std::string message = errMsg.value_or(Strings::localized("TokenEffectiveness"));
    if (!NetUiHooks::expiredLoginShownOn(retCode, message, viewController, std::move(delegate))) return std::nullopt;
    return tokenMarker();
  }

  if (errMsg) {
    if (error) *error = *errMsg;
    return std::nullopt;
  }
  return report(error, "Error_Unknown");
}

}  // namespace nvx
