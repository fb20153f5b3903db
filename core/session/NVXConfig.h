// The client's configuration for the run, made at the first themed-picture lookup (normally the
// splash at launch). On the first start of a new application version it installs the default
// theme; on every start it moves downloaded theme files into place, switches themed lookups on
// and starts watching whether the main API host can be reached.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/device/Reachability.h"

namespace platform {
class Process;
}

namespace nvx {

class NVXConfig {
 public:
  // The one configuration of the run, made on first use.
  static NVXConfig& sharedConfig();

  NVXConfig(const NVXConfig&) = delete;
  NVXConfig& operator=(const NVXConfig&) = delete;
  ~NVXConfig();

  // 1 after creation: themed pictures are looked up in the theme save folder first.
  int32_t theme() const { return theme_.load(); }
  void setTheme(int32_t theme) { theme_.store(theme); }
  // True while the main API host is reachable (written on the main thread by the watcher, read
  // by the statistics upload from any thread).
  bool isNetValid() const { return isNetValid_.load(); }
  void setIsNetValid(bool valid) { isNetValid_.store(valid); }
  // The watcher of the main API host.
  const std::shared_ptr<platform::Reachability>& hostReach() const { return hostReach_; }

  // isNetValid <- whether the watcher finds its host reachable.
  void updateAvailabilityWithReach(const platform::Reachability& reach);

  // The host name of an address ("https://host:port/path" -> "host"); the text itself when it
  // has no scheme; empty for an empty text.
  static std::string hostOfAddress(std::string_view address);

 private:
  friend class platform::Process;
  NVXConfig();

  std::shared_ptr<platform::Reachability> hostReach_;
  std::atomic<int32_t> theme_{0};
  std::atomic<bool> isNetValid_{false};
};

}  // namespace nvx
