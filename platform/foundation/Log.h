// Diagnostic lines. Never given PINs, card numbers, tracks or keys.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform::log {

enum class Level { Debug, Info, Warning, Error };

void write(Level level, std::string_view tag, std::string_view message);
inline void debug(std::string_view tag, std::string_view m) { write(Level::Debug, tag, m); }
inline void info(std::string_view tag, std::string_view m) { write(Level::Info, tag, m); }
inline void warning(std::string_view tag, std::string_view m) { write(Level::Warning, tag, m); }
inline void error(std::string_view tag, std::string_view m) { write(Level::Error, tag, m); }

// Tests: capture every line written until the returned capture is destroyed.
class Capture {
 public:
  Capture();
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  std::vector<std::string> lines() const;   // "tag: message"
  bool contains(std::string_view text) const;
  void clear();

  struct Impl;

 private:
  std::shared_ptr<Impl> impl_;
};
// Minimum level printed to standard error (default Warning; NVX_LOG=debug|info in the environment).
void setMinimumLevel(Level level);
Level minimumLevel();

}  // namespace platform::log
