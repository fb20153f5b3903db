// The reply reader of the synchronous road. The caller hands it the body, the current screen and
// an error slot, and acts on the result:
//  - a text equal to the localized "Error_Token_Effectiveness": the expired login is being
//    handled (login screen or re-login alert); stop without a message;
//  - an object or a list: the data;
//  - anything else: show the error slot's text.
// Main thread (it may show an alert, hide progress indicators and push the login screen, through
// NetUiHooks).
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/shell/LoginScreen.h"
#include "platform/foundation/Json.h"

namespace platform::ui {
class ViewController;
}

namespace nvx {

class ParseTool {
 public:
  // data: the response body (empty: no body). Returns the data ("retData"), the marker text,
  // the empty text (a "0000" without data), or nothing.
  static std::optional<platform::Json> retDataWithResponseData(
      std::string_view data, const std::shared_ptr<platform::ui::ViewController>& viewController,
      std::string* error, std::weak_ptr<LoginViewControllerDelegate> delegate);
  static std::optional<platform::Json> retDataWithResponseData(
      std::string_view data, const std::shared_ptr<platform::ui::ViewController>& viewController,
      std::string* error);

  // Whether result is the marker of an expired login being handled.
  static bool isTokenMarker(const std::optional<platform::Json>& result);
};

}  // namespace nvx
