// The home screen's server operations: the promotion tips shown on the boxes and the number of
// unread messages. Each completion runs once, on the main loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/foundation/Json.h"

namespace platform::ui {
class ViewController;
}

namespace nvx {

class HomeOperations {
 public:
  // The promotion reply as the home screen reads it: the reply's data when it is a list; nothing
  // for a failure, an error reply or any other shape (an expired token has been handled by the
  // reply reader: its login screen or re-login alert).
  using PromotionCompletion = std::function<void(std::optional<platform::Json> list)>;
  // The unread count: the reply's "total", nothing on any error.
  using TotalCompletion = std::function<void(std::optional<int64_t> total)>;

  virtual ~HomeOperations() = default;
  // The operations against the main API.
  static std::shared_ptr<HomeOperations> create();

  // GET "<base>/getPromotion.json?uid=..&vercode=..". The screen is the one an expired token's
  // login screen is shown over.
  virtual void getPromotion(std::shared_ptr<platform::ui::ViewController> screen, PromotionCompletion completion) = 0;
  // The number of messages newer than messageNum (the id of the newest message seen).
  virtual void getTotalMsg(const std::string& messageNum, TotalCompletion completion) = 0;
};

}  // namespace nvx
