// The standard user defaults: an ordered JSON object kept in memory and written to
// Library/Preferences/standard.json in the sandbox by synchronize() (atomically: temp file,
// fsync, rename). Thread-safe.
//
// Changes not yet synchronized are written when the process shuts down normally (a restart of
// the client keeps them) and lost in a crash. A defaults file that cannot be read as a JSON
// object is left alone: the defaults start empty (with a warning) and the file is replaced only
// by the next synchronize that has changes to write.
#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"

namespace platform {

class UserDefaults {
 public:
  static UserDefaults& standard();
  // Writes pending changes, then forgets the in-memory values and reads them back from disk. It
  // never erases: when the write fails the in-memory values stay as they are.
  static void resetStandard();

  // Typed reads with the platform's conversions (nothing / 0 / false when the key is missing):
  std::optional<Json> object(std::string_view key) const;        // any stored value
  std::optional<std::string> string(std::string_view key) const;  // a text, or a number's text form
  std::optional<Json> array(std::string_view key) const;         // only a list
  std::optional<Json> dictionary(std::string_view key) const;    // only a dictionary (not data)
  std::optional<std::string> data(std::string_view key) const;   // only data stored by setData
  bool boolean(std::string_view key) const;    // a bool, a number != 0, a text by boolValue ("YES", "1", "true")
  int64_t integer(std::string_view key) const; // a number (truncated) or a text's integer prefix
  double real(std::string_view key) const;     // a number or a text's numeric prefix
  // True when anything is stored under the key.
  bool contains(std::string_view key) const;

  // Stores a value (a null value removes the key).
  void set(std::string_view key, Json value);
  void setData(std::string_view key, std::string_view bytes);
  void remove(std::string_view key);

  // Writes the values to disk when they changed since the last read or write. False when the
  // write failed (the changes stay pending).
  bool synchronize();

  static Path file();

 private:
  friend class Process;
  UserDefaults();
  void loadLocked();
  bool writeLocked();
  const Json* findLocked(std::string_view key) const;

  mutable std::mutex mutex_;
  Json values_ = Json::object();
  bool dirty_ = false;
};

}  // namespace platform
