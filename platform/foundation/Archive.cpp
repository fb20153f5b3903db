#include "platform/foundation/Archive.h"

#include <array>
#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {

namespace {

// Model trees are a few levels deep; a deeper one is a cycle or hostile data.
constexpr int kMaxDepth = 64;
constexpr const char* kClassKey = "$class";
constexpr const char* kDataKey = "$data";

class ArchiveRegistry {
 public:
  void add(std::string name, ArchivableFactory factory) {
    std::lock_guard<std::mutex> lock(mutex_);
    factories_[std::move(name)] = std::move(factory);
  }
  ArchivableFactory find(std::string_view name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = factories_.find(name);
    return it == factories_.end() ? ArchivableFactory() : it->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, ArchivableFactory, std::less<>> factories_;
};

ArchiveRegistry& registry() { return Process::current().shared<ArchiveRegistry>(); }

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    uint32_t v = (uint32_t(uint8_t(bytes[i])) << 16) | (uint32_t(uint8_t(bytes[i + 1])) << 8) |
                 uint32_t(uint8_t(bytes[i + 2]));
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += kAlphabet[(v >> 6) & 63];
    out += kAlphabet[v & 63];
  }
  size_t rest = bytes.size() - i;
  if (rest > 0) {
    uint32_t v = uint32_t(uint8_t(bytes[i])) << 16;
    if (rest == 2) v |= uint32_t(uint8_t(bytes[i + 1])) << 8;
    out += kAlphabet[(v >> 18) & 63];
    out += kAlphabet[(v >> 12) & 63];
    out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

// Strict: padded groups of four, alphabet characters only.
std::optional<std::string> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::array<int, 256> values;
  values.fill(-1);
  for (int k = 0; k < 64; ++k) values[uint8_t(kAlphabet[k])] = k;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    bool last = i + 4 == text.size();
    int pad = 0;
    if (last && text[i + 3] == '=') pad = text[i + 2] == '=' ? 2 : 1;
    uint32_t v = 0;
    for (size_t k = 0; k < 4; ++k) {
      int d = 0;
      if (k >= 4 - size_t(pad)) {
        if (text[i + k] != '=') return std::nullopt;
      } else {
        d = values[uint8_t(text[i + k])];
        if (d < 0) return std::nullopt;
      }
      v = (v << 6) | uint32_t(d);
    }
    out += char((v >> 16) & 0xFF);
    if (pad < 2) out += char((v >> 8) & 0xFF);
    if (pad < 1) out += char(v & 0xFF);
  }
  return out;
}

}  // namespace

namespace detail {
Json dataValue(std::string_view bytes) {
  Json j = Json::object();
  j[kDataKey] = base64Encode(bytes);
  return j;
}

std::optional<std::string> dataBytes(const Json& value) {
  if (!value.is_object() || value.size() != 1) return std::nullopt;
  auto it = value.find(kDataKey);
  if (it == value.end() || !it->is_string()) return std::nullopt;
  return base64Decode(it->get_ref<const std::string&>());
}
}  // namespace detail

// --- Archiver ---

void Archiver::setText(std::string_view key, std::string_view value) {
  fields_[std::string(key)] = std::string(value);
}
void Archiver::setInt(std::string_view key, int64_t value) { fields_[std::string(key)] = value; }
void Archiver::setDouble(std::string_view key, double value) { fields_[std::string(key)] = value; }
void Archiver::setBool(std::string_view key, bool value) { fields_[std::string(key)] = value; }
void Archiver::setData(std::string_view key, std::string_view bytes) {
  fields_[std::string(key)] = detail::dataValue(bytes);
}
void Archiver::setValue(std::string_view key, Json value) { fields_[std::string(key)] = std::move(value); }

void Archiver::setValueUnlessNull(std::string_view key, const Json& value) {
  if (!value.is_null()) setValue(key, value);
}

void Archiver::setObject(std::string_view key, const Archivable* object) {
  if (!object) return;
  fields_[std::string(key)] = encodeObject(*object, depth_ + 1);
}

void Archiver::setArray(std::string_view key, const ArchivableList& objects) {
  Json list = Json::array();
  for (const auto& o : objects) {
    if (o) list.push_back(encodeObject(*o, depth_ + 1));
  }
  fields_[std::string(key)] = std::move(list);
}

Json Archiver::encodeObject(const Archivable& object) { return encodeObject(object, 0); }

Json Archiver::encodeObject(const Archivable& object, int depth) {
  Archiver a;
  a.depth_ = depth;
  a.fields_[kClassKey] = object.archiveClass();
  if (depth > kMaxDepth) {
    log::error("Archive", "object tree too deep (a cycle?); fields of " + object.archiveClass() +
                              " left out");
    return a.fields_;
  }
  object.encode(a);
  a.fields_[kClassKey] = object.archiveClass();   // the class wins over a field of that name
  return std::move(a.fields_);
}

// --- Unarchiver ---

bool Unarchiver::contains(std::string_view key) const { return json::member(fields_, key) != nullptr; }

std::optional<std::string> Unarchiver::text(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  if (!m || !m->is_string()) return std::nullopt;
  return m->get<std::string>();
}

int64_t Unarchiver::integer(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  return m ? json::asInt(*m).value_or(0) : 0;
}

double Unarchiver::real(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  return m ? json::asDouble(*m).value_or(0.0) : 0.0;
}

bool Unarchiver::boolean(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  return m ? json::asBool(*m).value_or(false) : false;
}

std::optional<std::string> Unarchiver::data(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  return m ? detail::dataBytes(*m) : std::nullopt;
}

std::optional<Json> Unarchiver::value(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  if (!m) return std::nullopt;
  return *m;
}

Json Unarchiver::valueOrNull(std::string_view key) const { return json::valueOrNull(fields_, key); }

std::shared_ptr<Archivable> Unarchiver::object(std::string_view key) const {
  const Json* m = json::member(fields_, key);
  if (!m || m->is_null()) return nullptr;
  return decodeObject(*m, failed_, depth_ + 1);
}

ArchivableList Unarchiver::array(std::string_view key) const {
  ArchivableList out;
  const Json* m = json::member(fields_, key);
  if (!m || m->is_null()) return out;
  if (!m->is_array()) {
    *failed_ = true;
    return out;
  }
  for (const Json& element : *m) {
    if (auto o = decodeObject(element, failed_, depth_ + 1)) out.push_back(std::move(o));
  }
  return out;
}

std::shared_ptr<Archivable> Unarchiver::decodeObject(const Json& encoded) {
  auto failed = std::make_shared<bool>(false);
  auto object = decodeObject(encoded, failed, 0);
  return *failed ? nullptr : object;
}

std::shared_ptr<Archivable> Unarchiver::decodeObject(const Json& encoded,
                                                     const std::shared_ptr<bool>& failed, int depth) {
  const Json* cls = json::member(encoded, kClassKey);
  if (depth > kMaxDepth || !cls || !cls->is_string()) {
    *failed = true;
    return nullptr;
  }
  const std::string& name = cls->get_ref<const std::string&>();
  ArchivableFactory factory = registry().find(name);
  if (!factory) {
    log::warning("Archive", "no archivable class registered as " + name);
    *failed = true;
    return nullptr;
  }
  std::shared_ptr<Archivable> object;
  try {
    object = factory(Unarchiver(encoded, failed, depth));
  } catch (const std::exception& e) {
    log::warning("Archive", "decoding " + name + " failed: " + e.what());
  }
  if (!object) *failed = true;
  return *failed ? nullptr : object;
}

// --- registry and bytes ---

void registerArchivableFactory(std::string name, ArchivableFactory factory) {
  registry().add(std::move(name), std::move(factory));
}

bool isArchivableRegistered(std::string_view name) { return static_cast<bool>(registry().find(name)); }

std::string archive(const Archivable& object) { return json::dump(Archiver::encodeObject(object)); }

std::string archiveList(const ArchivableList& objects) {
  Json list = Json::array();
  for (const auto& o : objects) {
    if (o) list.push_back(Archiver::encodeObject(*o));
  }
  return json::dump(list);
}

std::shared_ptr<Archivable> unarchive(std::string_view bytes) {
  auto j = json::parse(bytes);
  if (!j || !j->is_object()) return nullptr;
  return Unarchiver::decodeObject(*j);
}

std::optional<ArchivableList> unarchiveList(std::string_view bytes) {
  auto j = json::parse(bytes);
  if (!j || !j->is_array()) return std::nullopt;
  ArchivableList out;
  for (const Json& element : *j) {
    auto o = Unarchiver::decodeObject(element);
    if (!o) return std::nullopt;
    out.push_back(std::move(o));
  }
  return out;
}

}  // namespace platform
