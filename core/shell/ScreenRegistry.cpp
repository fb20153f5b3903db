#include "core/shell/ScreenRegistry.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

ScreenRegistry& ScreenRegistry::shared() { return platform::Process::current().shared<ScreenRegistry>(); }

void ScreenRegistry::add(std::string className, Factory factory) {
  factories_[std::move(className)] = std::move(factory);
}

bool ScreenRegistry::has(std::string_view className) const {
  return factories_.find(className) != factories_.end();
}

std::shared_ptr<platform::ui::ViewController> ScreenRegistry::create(std::string_view className) const {
  auto it = factories_.find(className);
  if (it == factories_.end() || !it->second) {
    platform::log::info("ScreenRegistry", std::string("no screen registered as ") + std::string(className));
    return nullptr;
  }
  return it->second();
}

std::vector<std::string> ScreenRegistry::names() const {
  std::vector<std::string> out;
  for (const auto& [name, factory] : factories_) out.push_back(name);
  return out;
}

}  // namespace nvx
