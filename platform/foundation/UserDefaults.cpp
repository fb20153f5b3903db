#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Archive.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace platform {

UserDefaults& UserDefaults::standard() { return Process::current().shared<UserDefaults>(); }

UserDefaults::UserDefaults() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    loadLocked();
  }
  // A normal end of the run saves what was not synchronized yet.
  Process::current().onShutdown([] {
    if (auto* defaults = Process::current().sharedIfExists<UserDefaults>()) (void)defaults->synchronize();
  });
}

Path UserDefaults::file() { return Sandbox::root() / "Library" / "Preferences" / "standard.json"; }

void UserDefaults::resetStandard() {
  auto* defaults = Process::current().sharedIfExists<UserDefaults>();
  if (!defaults) return;   // nothing in memory: the next standard() reads the file
  std::lock_guard<std::mutex> lock(defaults->mutex_);
  if (defaults->dirty_ && !defaults->writeLocked()) {
    log::error("UserDefaults", "could not write the defaults; keeping them in memory");
    return;
  }
  defaults->loadLocked();
}

void UserDefaults::loadLocked() {
  values_ = Json::object();
  dirty_ = false;
  Path path = file();
  if (!fs::exists(path)) return;
  auto bytes = fs::read(path);
  auto parsed = bytes ? json::parse(*bytes) : std::nullopt;
  if (!parsed || !parsed->is_object()) {
    log::warning("UserDefaults", "unreadable defaults file ignored: " + path.string());
    return;
  }
  values_ = std::move(*parsed);
}

bool UserDefaults::writeLocked() {
  std::string text = json::dump(values_);
  if (text.empty() || !fs::writeAtomic(file(), text)) return false;
  dirty_ = false;
  return true;
}

bool UserDefaults::synchronize() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!dirty_) return true;
  if (writeLocked()) return true;
  log::error("UserDefaults", "could not write " + file().string());
  return false;
}

const Json* UserDefaults::findLocked(std::string_view key) const { return json::member(values_, key); }

std::optional<Json> UserDefaults::object(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  if (!v) return std::nullopt;
  return *v;
}

std::optional<std::string> UserDefaults::string(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  return v ? json::asText(*v) : std::nullopt;
}

std::optional<Json> UserDefaults::array(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  if (!v || !v->is_array()) return std::nullopt;
  return *v;
}

std::optional<Json> UserDefaults::dictionary(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  if (!v || !v->is_object() || detail::dataBytes(*v)) return std::nullopt;
  return *v;
}

std::optional<std::string> UserDefaults::data(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  return v ? detail::dataBytes(*v) : std::nullopt;
}

bool UserDefaults::boolean(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  return v ? json::asBool(*v).value_or(false) : false;
}

int64_t UserDefaults::integer(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  return v ? json::asInt(*v).value_or(0) : 0;
}

double UserDefaults::real(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Json* v = findLocked(key);
  return v ? json::asDouble(*v).value_or(0.0) : 0.0;
}

bool UserDefaults::contains(std::string_view key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return findLocked(key) != nullptr;
}

void UserDefaults::set(std::string_view key, Json value) {
  if (value.is_null()) {
    remove(key);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  values_[std::string(key)] = std::move(value);
  dirty_ = true;
}

void UserDefaults::setData(std::string_view key, std::string_view bytes) {
  set(key, detail::dataValue(bytes));
}

void UserDefaults::remove(std::string_view key) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = values_.find(key);
  if (it == values_.end()) return;
  values_.erase(it);
  dirty_ = true;
}

}  // namespace platform
