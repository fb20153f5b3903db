// Reply data mapped to model classes: the entity class a request maps "retData" into and the result
// a completion receives.
#pragma once
#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <vector>

#include "platform/foundation/Json.h"

namespace nvx {

// A model class that "retData" is mapped into. T provides `static T initWithJson(const
// platform::Json&)` (anything but an object counts as nothing and gives an empty model), or a
// `static std::shared_ptr<T> initWithJson(const platform::Json&)`.
class EntityClass {
 public:
  using Make = std::function<std::shared_ptr<void>(const platform::Json&)>;

  template <class T>
  static EntityClass of() {
    return EntityClass(std::type_index(typeid(T)), [](const platform::Json& json) -> std::shared_ptr<void> {
      if constexpr (std::is_same_v<decltype(T::initWithJson(json)), std::shared_ptr<T>>) {
        return T::initWithJson(json);
      } else {
        return std::make_shared<T>(T::initWithJson(json));
      }
    });
  }

  std::type_index type() const { return type_; }
  std::shared_ptr<void> make(const platform::Json& json) const { return make_(json); }

 private:
  EntityClass(std::type_index type, Make make) : type_(type), make_(std::move(make)) {}
  std::type_index type_;
  Make make_;
};

// The result handed to a response callback: nothing, the raw JSON ("retData" as read, when the
// request has no entity class), one model, or a list of models (when "retData" is a list).
class NetResult {
 public:
  NetResult() = default;  // nothing
  static NetResult json(platform::Json value);
  static NetResult object(std::type_index type, std::shared_ptr<void> object);
  static NetResult list(std::type_index type, std::vector<std::shared_ptr<void>> objects);

  bool isNothing() const { return kind_ == Kind::Nothing; }
  bool isJson() const { return kind_ == Kind::Json; }
  bool isObject() const { return kind_ == Kind::Object; }
  bool isList() const { return kind_ == Kind::List; }

  // The raw JSON, or nullptr.
  const platform::Json* json() const { return kind_ == Kind::Json ? &json_ : nullptr; }
  // The one model when it is a T, else nullptr.
  template <class T>
  std::shared_ptr<T> object() const {
    if (kind_ != Kind::Object || type_ != std::type_index(typeid(T))) return nullptr;
    return std::static_pointer_cast<T>(objects_.front());
  }
  // The models when they are Ts (an empty list for anything else).
  template <class T>
  std::vector<std::shared_ptr<T>> list() const {
    std::vector<std::shared_ptr<T>> out;
    if (kind_ != Kind::List || type_ != std::type_index(typeid(T))) return out;
    for (const auto& o : objects_) out.push_back(std::static_pointer_cast<T>(o));
    return out;
  }
  size_t listSize() const { return kind_ == Kind::List ? objects_.size() : 0; }

 private:
  enum class Kind { Nothing, Json, Object, List };
  Kind kind_ = Kind::Nothing;
  platform::Json json_;
  std::type_index type_ = std::type_index(typeid(void));
  std::vector<std::shared_ptr<void>> objects_;
};

}  // namespace nvx
