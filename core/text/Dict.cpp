#include "core/text/Dict.h"

#include <utility>

namespace nvx {

namespace {
// The text a value takes in a URL or a format: texts as they are, numbers in their shortest
// form, anything else as compact JSON.
std::string formatValue(const platform::Json& v) {
  if (auto t = platform::json::asText(v)) return *t;
  return platform::json::dump(v);
}
}  // namespace

Dict::Dict(platform::Json object) {
  if (object.is_object()) object_ = std::move(object);
}

bool Dict::setValue(const std::optional<platform::Json>& value, std::optional<std::string_view> key) {
  if (!value || value->is_null() || value->is_discarded() || !key) return false;
  object_[std::string(*key)] = *value;
  return true;
}

const platform::Json* Dict::value(std::string_view key) const {
  return platform::json::member(object_, key);
}

std::optional<std::string> Dict::text(std::string_view key) const {
  const platform::Json* v = value(key);
  return v ? platform::json::asText(*v) : std::nullopt;
}

bool Dict::remove(std::string_view key) {
  auto it = object_.find(key);
  if (it == object_.end()) return false;
  object_.erase(it);
  return true;
}

std::string Dict::urlParams() const { return dict::urlParams(object_); }

namespace dict {

bool isEmpty(const platform::Json* object) {
  return object == nullptr || !object->is_object() || object->empty();
}

std::string urlParams(const platform::Json& object) {
  std::string out;
  if (!object.is_object()) return out;
  bool first = true;
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (it.value().is_null()) continue;
    if (!first) out += '&';
    first = false;
    out += it.key();
    out += '=';
    out += formatValue(it.value());
  }
  return out;
}

}  // namespace dict

}  // namespace nvx
