#include "net/StatisticsServerConfig.h"

#include <cstdlib>

#include "platform/foundation/Process.h"

namespace nvx {

namespace {

std::string envOr(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::string(value) : std::string(fallback);
}

std::string withSlash(std::string base) {
  if (base.empty() || base.back() != '/') base.push_back('/');
  return base;
}

}  // namespace

StatisticsServerConfig::StatisticsServerConfig()
    : statisticsBase_(withSlash(envOr(kStatisticsApiEnv, kDefaultStatisticsApi))),
      probeBase_(withSlash(envOr(kProbeApiEnv, kDefaultProbeApi))) {}

StatisticsServerConfig& StatisticsServerConfig::current() {
  return platform::Process::current().shared<StatisticsServerConfig>();
}

void StatisticsServerConfig::setStatisticsBase(std::string base) { statisticsBase_ = withSlash(std::move(base)); }

void StatisticsServerConfig::setProbeBase(std::string base) { probeBase_ = withSlash(std::move(base)); }

}  // namespace nvx
