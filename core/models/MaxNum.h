// A numeric parameter limit ("maxnum" of the parameter reply).
#pragma once
#include <string>

#include "platform/foundation/Json.h"

namespace nvx {

class MaxNum {
 public:
  MaxNum() = default;
  // The integer value of "maxnum" (a number or a numeric text, saturated to the int range); 0
  // when absent, unusable, or when the argument is not an object.
  static MaxNum initWithJson(const platform::Json& json);

  int maxnum() const { return maxnum_; }
  void setMaxnum(int v) { maxnum_ = v; }

  // "\nmaxnum : <n>\n"
  std::string description() const;

 private:
  int maxnum_ = 0;
};

}  // namespace nvx
