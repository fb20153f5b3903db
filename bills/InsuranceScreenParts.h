// What the insurance screens share: a reply's data or its refusal shown, and the progress
// indicator they show over their navigation controller's view
// while a request runs. A screen that sends its request while its view loads shows it on the next
// turn of the main loop: the push installs the screen's view in the navigation view after the
// view has loaded, and clears that view of anything else put over it meanwhile.
#pragma once
#include <functional>
#include <memory>

#include "app/ui/NVXViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/ui/ViewController.h"

namespace nvx::insurance {

// The reply's data, when the server answered "0000"; a refusal is shown as a prompt on the screen;
// nothing is shown for a lost answer or an expired login.
const platform::Json* dataOrPrompt(NVXViewController& screen, const InsuranceReply& reply);

// Shows the indicator now.
void showIndicator(platform::ui::ViewController& screen, bool animated);
// Shows it on the next turn of the main loop, when the screen still lives and waiting() holds.
void showIndicatorSoon(const std::shared_ptr<platform::ui::ViewController>& screen, std::function<bool()> waiting,
                       bool animated);
// Hides every indicator over the navigation controller's view.
void hideIndicators(platform::ui::ViewController& screen, bool animated);

}  // namespace nvx::insurance
