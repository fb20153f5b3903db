#include "core/text/ArrayExt.h"

namespace nvx::array {

bool isEmpty(const platform::Json* array) {
  return array == nullptr || !array->is_array() || array->empty();
}

const platform::Json* safeObjectAtIndex(const platform::Json& array, int index) {
  if (!array.is_array() || index < 0 || static_cast<size_t>(index) >= array.size()) return nullptr;
  return &array[static_cast<size_t>(index)];
}

}  // namespace nvx::array
