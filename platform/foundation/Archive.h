// Keyed archiving of model objects: an object writes its fields under keys into an Archiver and
// is rebuilt from an Unarchiver by the class registered under its archive class name. The bytes
// are a JSON object {"$class": name, key: value, ...}; nested objects are such objects, lists
// are arrays of them, binary data is {"$data": base64}.
//
// Decoding never trusts the bytes: broken data, an unregistered class anywhere in the tree, or a
// field of the wrong kind read as an object give nothing (nullptr), never a crash.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/foundation/Json.h"

namespace platform {

class Archiver;
class Unarchiver;

class Archivable {
 public:
  virtual ~Archivable() = default;
  // The name the class is registered under (registerArchivable).
  virtual std::string archiveClass() const = 0;
  virtual void encode(Archiver& archiver) const = 0;
};

using ArchivableList = std::vector<std::shared_ptr<Archivable>>;

class Archiver {
 public:
  void setText(std::string_view key, std::string_view value);
  void setInt(std::string_view key, int64_t value);
  void setDouble(std::string_view key, double value);
  void setBool(std::string_view key, bool value);
  void setData(std::string_view key, std::string_view bytes);
  // A plain value (text, number, list or dictionary of plain values).
  void setValue(std::string_view key, Json value);
  // A plain value that may be missing: nothing is written for null (as for a null object).
  void setValueUnlessNull(std::string_view key, const Json& value);
  // A nested object; nothing is written for nullptr.
  void setObject(std::string_view key, const Archivable* object);
  void setObject(std::string_view key, const std::shared_ptr<Archivable>& object) {
    setObject(key, object.get());
  }
  template <class T>
  void setObject(std::string_view key, const std::shared_ptr<T>& object) {
    setObject(key, static_cast<const Archivable*>(object.get()));
  }
  // A list of objects (null entries are left out).
  void setArray(std::string_view key, const ArchivableList& objects);
  template <class T>
  void setArray(std::string_view key, const std::vector<std::shared_ptr<T>>& objects) {
    setArray(key, ArchivableList(objects.begin(), objects.end()));
  }

  // The encoded object (for the archive functions below).
  static Json encodeObject(const Archivable& object);

 private:
  static Json encodeObject(const Archivable& object, int depth);
  int depth_ = 0;
  Json fields_ = Json::object();
};

class Unarchiver {
 public:
  explicit Unarchiver(const Json& fields) : fields_(fields) {}
  explicit Unarchiver(Json&&) = delete;   // reads the fields in place: they must outlive it

  bool contains(std::string_view key) const;
  std::optional<std::string> text(std::string_view key) const;
  // Missing or unusable fields read as 0, 0.0 and false, as a keyed decoder's scalars do.
  int64_t integer(std::string_view key) const;
  double real(std::string_view key) const;
  bool boolean(std::string_view key) const;
  std::optional<std::string> data(std::string_view key) const;
  std::optional<Json> value(std::string_view key) const;
  // The plain value; null when the field is missing.
  Json valueOrNull(std::string_view key) const;
  // A nested object; nullptr when missing. A present field that cannot be decoded marks the whole
  // archive as broken (failed()).
  std::shared_ptr<Archivable> object(std::string_view key) const;
  template <class T>
  std::shared_ptr<T> objectAs(std::string_view key) const {
    return std::dynamic_pointer_cast<T>(object(key));
  }
  ArchivableList array(std::string_view key) const;
  template <class T>
  std::vector<std::shared_ptr<T>> arrayOf(std::string_view key) const {
    std::vector<std::shared_ptr<T>> out;
    for (auto& o : array(key)) {
      if (auto t = std::dynamic_pointer_cast<T>(o)) out.push_back(std::move(t));
    }
    return out;
  }

  bool failed() const { return *failed_; }
  // Decodes one encoded object (a JSON object with "$class"); nullptr on any failure.
  static std::shared_ptr<Archivable> decodeObject(const Json& encoded);

 private:
  Unarchiver(const Json& fields, std::shared_ptr<bool> failed, int depth)
      : fields_(fields), failed_(std::move(failed)), depth_(depth) {}
  static std::shared_ptr<Archivable> decodeObject(const Json& encoded, const std::shared_ptr<bool>& failed,
                                                  int depth);
  const Json& fields_;
  std::shared_ptr<bool> failed_ = std::make_shared<bool>(false);
  int depth_ = 0;
};

// The class registry: archive class name -> how to rebuild an object. It is a single object of
// the process: modules register their classes when the client starts (tests in their set-up),
// and a process reset empties it.
using ArchivableFactory = std::function<std::shared_ptr<Archivable>(const Unarchiver&)>;
void registerArchivableFactory(std::string name, ArchivableFactory factory);
bool isArchivableRegistered(std::string_view name);

// T is rebuilt by its constructor T(const Unarchiver&).
template <class T>
void registerArchivable(std::string name) {
  static_assert(std::is_base_of_v<Archivable, T>);
  static_assert(std::is_constructible_v<T, const Unarchiver&>);
  registerArchivableFactory(std::move(name), [](const Unarchiver& u) -> std::shared_ptr<Archivable> {
    return std::make_shared<T>(u);
  });
}

// Archive bytes of one object, or of a list of objects (a JSON array of encoded objects).
std::string archive(const Archivable& object);
std::string archiveList(const ArchivableList& objects);
template <class T>
std::string archiveList(const std::vector<std::shared_ptr<T>>& objects) {
  return archiveList(ArchivableList(objects.begin(), objects.end()));
}
// nullptr / nothing for bytes that are not such an archive or name an unregistered class.
std::shared_ptr<Archivable> unarchive(std::string_view bytes);
template <class T>
std::shared_ptr<T> unarchiveAs(std::string_view bytes) {
  return std::dynamic_pointer_cast<T>(unarchive(bytes));
}
std::optional<ArchivableList> unarchiveList(std::string_view bytes);

namespace detail {
// Binary data inside the archive and user-defaults JSON: {"$data": base64 text}.
Json dataValue(std::string_view bytes);
// The bytes of such a value; nothing for anything else (or for text that is not strict base64).
std::optional<std::string> dataBytes(const Json& value);
}  // namespace detail

}  // namespace platform
