// Popping the navigation stack back to a screen of a given class.
#pragma once
#include <type_traits>

#include "platform/ui/NavigationController.h"

namespace nvx {

// Walks the stack from the root upwards and pops to the first screen that is a T (or of a class
// derived from T), animated as asked. True when there was one (nothing is popped when it is the
// top screen); false otherwise. T must be a screen class.
template <class T>
bool popToViewControllerWithClass(platform::ui::NavigationController& nav, bool animated) {
  static_assert(std::is_base_of_v<platform::ui::ViewController, T>, "not a screen class");
  const auto stack = nav.stack();   // a copy: popping changes the stack
  for (const auto& screen : stack) {
    if (dynamic_cast<T*>(screen.get()) == nullptr) continue;
    nav.popTo(*screen, animated);
    return true;
  }
  return false;
}

}  // namespace nvx
