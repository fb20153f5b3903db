// What the base screen reads of the public-utility bill screen, which lives in a higher module:
// its kind of bill, which picks the screen's statistics step identifier.
#pragma once

namespace nvx {

class PublicServiceScreen {
 public:
  static constexpr const char* kClassName = "PublicServiceViewController";

  virtual ~PublicServiceScreen() = default;
  // 0 water, 1 electricity, 2 gas, 3 telecommunications.
  virtual int serviceType() const = 0;
};

}  // namespace nvx
