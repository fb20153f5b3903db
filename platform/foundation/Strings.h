// The application's localized string table (zh-Hans), read from the bundle's
// "zh-Hans.strings.json": one JSON object of key -> text.
#pragma once
#include <string>
#include <string_view>

namespace platform {

class Strings {
 public:
  // The table's text for key; the key itself when the table has no text for it (or is missing).
  static std::string localized(std::string_view key);
};

}  // namespace platform
