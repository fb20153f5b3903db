// Opening other applications by their URL scheme (the client's replies to an application that
// called it).
#pragma once
#include <string_view>

namespace nvx {

class ApplicationExt {
 public:
  // Opens "<scheme>://" followed by the message, percent-escaped as UTF-8, when the message is
  // not empty. True when an application took the URL; false when none answers the scheme, for
  // an empty scheme, or for a message that is not UTF-8 (nothing is opened then).
  static bool openScheme(std::string_view scheme, std::string_view msg);
  // openScheme with no scheme: opens nothing.
  static bool openDefaultTargetAppWithMsg(std::string_view msg);
};

}  // namespace nvx
