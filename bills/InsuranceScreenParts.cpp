#include "bills/InsuranceScreenParts.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Hud.h"
#include "platform/ui/NavigationController.h"

namespace nvx::insurance {

const platform::Json* dataOrPrompt(NVXViewController& screen, const InsuranceReply& reply) {
  if (reply.outcome == InsuranceReply::Outcome::Refused) screen.showPrompt(reply.message);
  return reply.outcome == InsuranceReply::Outcome::Data ? &reply.data : nullptr;
}

void showIndicator(platform::ui::ViewController& screen, bool animated) {
  if (auto navigation = screen.navigationController()) platform::ui::Hud::showOn(*navigation->view(), animated);
}

void showIndicatorSoon(const std::shared_ptr<platform::ui::ViewController>& screen, std::function<bool()> waiting,
                       bool animated) {
  std::weak_ptr<platform::ui::ViewController> weak = screen;
  platform::dispatchMain([weak, waiting = std::move(waiting), animated] {
    auto s = weak.lock();
    if (s && waiting()) showIndicator(*s, animated);
  });
}

void hideIndicators(platform::ui::ViewController& screen, bool animated) {
  if (auto navigation = screen.navigationController()) platform::ui::Hud::hideAll(*navigation->view(), animated);
}

}  // namespace nvx::insurance
