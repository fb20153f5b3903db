// Nil-safe look-ups in lists: JSON arrays and lists of shared objects.
#pragma once
#include <memory>
#include <optional>
#include <vector>

#include "platform/foundation/Json.h"

namespace nvx::array {

// True for nothing (nullptr), for a value that is not an array and for an empty array.
bool isEmpty(const platform::Json* array);

// The element at index, or nullptr when j is not an array or the index is negative or not below
// the count.
const platform::Json* safeObjectAtIndex(const platform::Json& array, int index);

template <class T>
const T* safeObjectAtIndex(const std::vector<T>& list, int index) {
  if (index < 0 || static_cast<size_t>(index) >= list.size()) return nullptr;
  return &list[static_cast<size_t>(index)];
}

// The first element that is a T (or derives from it); nullptr when there is none.
template <class T, class Base>
std::shared_ptr<T> firstObjectOfClass(const std::vector<std::shared_ptr<Base>>& list) {
  for (const auto& item : list) {
    if (auto match = std::dynamic_pointer_cast<T>(item)) return match;
  }
  return nullptr;
}

// Every element that is a T (or derives from it), in order; nothing (not an empty list) when
// there is none.
template <class T, class Base>
std::optional<std::vector<std::shared_ptr<T>>> objectsOfClass(
    const std::vector<std::shared_ptr<Base>>& list) {
  std::vector<std::shared_ptr<T>> matches;
  for (const auto& item : list) {
    if (auto match = std::dynamic_pointer_cast<T>(item)) matches.push_back(std::move(match));
  }
  if (matches.empty()) return std::nullopt;
  return matches;
}

}  // namespace nvx::array
