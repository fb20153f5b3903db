#include "net/JsonDeserializer.h"

namespace nvx {

std::optional<platform::Json> JsonDeserializer::deserialize(std::string_view data) {
  return platform::json::parseDroppingNulls(data);
}

}  // namespace nvx
