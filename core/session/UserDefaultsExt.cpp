#include "core/session/UserDefaultsExt.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

namespace nvx {

void serialize(const platform::Archivable* object, std::string_view key) {
  if (object == nullptr) return;
  auto& defaults = platform::UserDefaults::standard();
  defaults.setData(key, platform::archive(*object));
  if (!defaults.synchronize()) {
    platform::log::warning("UserDefaults", "the defaults could not be written after storing \"" +
                                               std::string(key) + "\"; they stay pending");
  }
}

std::shared_ptr<platform::Archivable> reverseForKey(std::string_view key) {
  auto bytes = platform::UserDefaults::standard().data(key);
  if (!bytes) return nullptr;
  return platform::unarchive(*bytes);
}

bool isSerializedForKey(std::string_view key) { return platform::UserDefaults::standard().contains(key); }

}  // namespace nvx
