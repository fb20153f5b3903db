// The link-speed file of the 0002 reader ("speed.plist" in Documents): a property list whose
// root is an array, of which the first entry is the speed text. Only that subset is written and
// read: <plist version="1.0"><array><string>TEXT</string></array></plist>.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"

namespace nvx::reader {

class SpeedPlist {
 public:
  static constexpr std::string_view kFileName = "speed.plist";
  // Documents/speed.plist
  static platform::Path path();

  // A one-entry array holding text, as XML.
  static std::string serialize(const std::string& text);
  // The first entry of the root array when it is a string; nothing for anything else (not XML,
  // another root, an empty array, a first entry of another type).
  static std::optional<std::string> firstString(std::string_view xml);

  // Written atomically (mode 0600). False when it could not be written.
  static bool write(const platform::Path& file, const std::string& text);
  static std::optional<std::string> read(const platform::Path& file);
};

}  // namespace nvx::reader
