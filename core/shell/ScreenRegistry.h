// Screens created by their class name (the home box catalogue, push dispatch, the login screen
// the error ladder asks for). Each module fills the registry in its registerScreens(); a name
// that is not registered yet gives nothing (and the caller logs a no-op), never a stand-in screen.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/ViewController.h"

namespace nvx {

class ScreenRegistry {
 public:
  using Factory = std::function<std::shared_ptr<platform::ui::ViewController>()>;

  static ScreenRegistry& shared();

  // Registers (or replaces) the factory for a class name.
  void add(std::string className, Factory factory);
  bool has(std::string_view className) const;
  // A new screen of that class, or nothing (logged) when the class is not registered.
  std::shared_ptr<platform::ui::ViewController> create(std::string_view className) const;
  std::vector<std::string> names() const;

 private:
  std::map<std::string, Factory, std::less<>> factories_;
};

}  // namespace nvx
