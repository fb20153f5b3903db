#include "app/ui/DownloadServerConfig.h"

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace nvx {

DownloadServerConfig::DownloadServerConfig() {
  const char* value = std::getenv(kHostEnv);
  host_ = value && *value ? std::string(value) : std::string(kDefaultHost);
}

DownloadServerConfig& DownloadServerConfig::current() {
  return platform::Process::current().shared<DownloadServerConfig>();
}

}  // namespace nvx
