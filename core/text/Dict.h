// The client's dictionaries: an ordered JSON object in which a missing value is never stored, so
// that setting a value that may be absent never removes an entry that is already there.
// Enumeration order is insertion order.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx {

class Dict {
 public:
  Dict() = default;
  // The members of an object; anything else gives an empty dictionary.
  explicit Dict(platform::Json object);

  // Stores the value under the key and returns true. A missing value (nothing or null) or a
  // missing key changes nothing and returns false.
  bool setValue(const std::optional<platform::Json>& value, std::optional<std::string_view> key);
  // The value under the key, or nullptr.
  const platform::Json* value(std::string_view key) const;
  // The value's text form (a text as is, a number as its shortest text), or nothing.
  std::optional<std::string> text(std::string_view key) const;
  bool contains(std::string_view key) const { return value(key) != nullptr; }
  bool remove(std::string_view key);
  size_t size() const { return object_.size(); }
  bool empty() const { return object_.empty(); }
  const platform::Json& json() const { return object_; }

  // key "=" value for every entry, joined by "&"; "" when there are none. Nothing is escaped.
  std::string urlParams() const;

 private:
  platform::Json object_ = platform::Json::object();
};

namespace dict {
// True for nothing (nullptr), for a value that is not an object and for an empty object.
bool isEmpty(const platform::Json* object);
// key "=" value for every entry with a value (null skipped), joined by "&" in the object's
// order; values that are not texts in their text form. "" when there are none or j is not an
// object. Nothing is escaped.
std::string urlParams(const platform::Json& object);
}  // namespace dict

}  // namespace nvx
