// The progress indicator the insurance screens show over their navigation controller's view
// while a request runs. A screen that sends its request while its view loads shows it on the next
// turn of the main loop: the push installs the screen's view in the navigation view after the
// view has loaded, and clears that view of anything else put over it meanwhile.
#pragma once
#include <functional>
#include <memory>

#include "platform/ui/ViewController.h"

namespace nvx::insurance {

// Shows the indicator now.
void showIndicator(platform::ui::ViewController& screen, bool animated);
// Shows it on the next turn of the main loop, when the screen still lives and waiting() holds.
void showIndicatorSoon(const std::shared_ptr<platform::ui::ViewController>& screen, std::function<bool()> waiting,
                       bool animated);
// Hides every indicator over the navigation controller's view.
void hideIndicators(platform::ui::ViewController& screen, bool animated);

}  // namespace nvx::insurance
