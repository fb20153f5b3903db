// What the reader gate needs of the identity-information screen, which lives in a higher module:
// the screen that binds a new reader to the user. It is made by class name through
// ScreenRegistry ("IdentityInfoViewController") and configured through this interface; until it
// is registered, asking for it logs and does nothing.
#pragma once

#include <string>

namespace nvx {

class IdentityInfoScreen {
 public:
  static constexpr const char* kClassName = "IdentityInfoViewController";
  // The type that completes the identity data and binds the plugged reader.
  static constexpr int kBindReaderType = 1;

  virtual ~IdentityInfoScreen() = default;
  // The user's login name.
  virtual void setPhoneNum(std::string phoneNum) = 0;
  virtual void setType(int type) = 0;
};

}  // namespace nvx
