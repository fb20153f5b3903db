// The JSON reader of reply bodies: mutable containers, null values dropped (a key whose value is
// null is absent from its object, recursively). Never throws.
#pragma once
#include <optional>
#include <string_view>

#include "platform/foundation/Json.h"

namespace nvx {

class JsonDeserializer {
 public:
  // The reader with the two settings above.
  static JsonDeserializer xNullDeserializer() { return JsonDeserializer(); }
  // The top-level value of the body, or nothing when it is not JSON.
  static std::optional<platform::Json> deserialize(std::string_view data);

  std::optional<platform::Json> read(std::string_view data) const { return deserialize(data); }
};

}  // namespace nvx
