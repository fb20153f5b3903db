// Model objects kept whole in the standard user defaults across runs (the active theme, the home
// boxes, adverts, reminders, ...). The keys belong to the subsystems that use them. Models write
// their fields under archiveKey(field name).
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/Archive.h"

namespace nvx {

// The archive key of a model field: "nvx_" followed by the field name.
inline std::string archiveKey(std::string_view field) { return "nvx_" + std::string(field); }

// Archives the object, stores the bytes under key and writes the defaults to disk at once.
// nullptr is ignored (nothing stored, nothing removed).
void serialize(const platform::Archivable* object, std::string_view key);
template <class T>
void serialize(const std::shared_ptr<T>& object, std::string_view key) {
  serialize(static_cast<const platform::Archivable*>(object.get()), key);
}

// The object stored under key by serialize; nullptr when nothing is stored there, or when the
// value is not such an archive or names a class that is not registered.
std::shared_ptr<platform::Archivable> reverseForKey(std::string_view key);
template <class T>
std::shared_ptr<T> reverseForKey(std::string_view key) {
  return std::dynamic_pointer_cast<T>(reverseForKey(key));
}

// True when anything is stored under key.
bool isSerializedForKey(std::string_view key);

}  // namespace nvx
