#include "net/ServerConfig.h"

#include <cstdlib>

#include "platform/foundation/Process.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

namespace {

std::string envOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

}  // namespace

ServerConfig::ServerConfig() {
  setMainApiBase(envOr(kMainApiEnv, kDefaultMainApi));
  setCaFile(envOr(kCaFileEnv, ""));
}

ServerConfig& ServerConfig::current() { return platform::Process::current().shared<ServerConfig>(); }

void ServerConfig::setMainApiBase(std::string base) {
  if (base.empty() || base.back() != '/') base.push_back('/');
  mainApiBase_ = std::move(base);
}

void ServerConfig::setCaFile(std::string file) {
  caFile_ = std::move(file);
  platform::net::HttpRequest::setCaFile(platform::Path(caFile_));
}

}  // namespace nvx
