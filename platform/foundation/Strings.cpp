#include "platform/foundation/Strings.h"

#include <mutex>
#include <optional>

#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Sandbox.h"

namespace platform {

namespace {

constexpr const char* kTableFile = "zh-Hans.strings.json";

// The table, read from the bundle on first use in this process.
class StringTable {
 public:
  std::optional<std::string> lookup(std::string_view key) {
    std::lock_guard<std::mutex> lock(mutex_);
    Path bundle = Sandbox::bundle();
    if (!loaded_ || bundle != loadedFrom_) load(bundle);
    auto it = table_.find(key);
    if (it == table_.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
  }

 private:
  void load(const Path& bundle) {
    loaded_ = true;
    loadedFrom_ = bundle;
    table_ = Json::object();
    Path file = bundle / kTableFile;
    auto bytes = fs::read(file);
    if (!bytes) {
      log::warning("Strings", "no string table at " + file.string());
      return;
    }
    auto j = json::parse(*bytes);
    if (!j || !j->is_object()) {
      log::warning("Strings", "string table is not a JSON object: " + file.string());
      return;
    }
    table_ = std::move(*j);
  }

  std::mutex mutex_;
  bool loaded_ = false;
  Path loadedFrom_;
  Json table_ = Json::object();
};

}  // namespace

std::string Strings::localized(std::string_view key) {
  auto text = Process::current().shared<StringTable>().lookup(key);
  return text ? *text : std::string(key);
}

}  // namespace platform
