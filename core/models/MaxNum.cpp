#include "core/models/MaxNum.h"

#include <algorithm>
#include <climits>

namespace nvx {

MaxNum MaxNum::initWithJson(const platform::Json& json) {
  MaxNum m;
  if (auto value = platform::json::integer(json, "maxnum")) {
    m.maxnum_ = static_cast<int>(std::clamp<int64_t>(*value, INT_MIN, INT_MAX));
  }
  return m;
}

std::string MaxNum::description() const { return "\nmaxnum : " + std::to_string(maxnum_) + "\n"; }

}  // namespace nvx
