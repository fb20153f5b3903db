// Where the statistics server and the probe server live: base addresses with their scheme,
// HTTPS unless configured otherwise (the statistics upload carries the user token only to an
// HTTPS server). Read from the environment when first asked for: NVX_STATISTICS_API (default
// "https://127.0.0.1:88/mobilestatics/iphone/") and NVX_PROBE_API (default
// "https://127.0.0.1:6789/probe/"); a missing trailing "/" is added, since method names and probe
// texts are appended to them. Tests and the simulator set them before the first request.
#pragma once
#include <string>

namespace platform {
class Process;
}

namespace nvx {

class StatisticsServerConfig {
 public:
  static constexpr const char* kStatisticsApiEnv = "NVX_STATISTICS_API";
  static constexpr const char* kProbeApiEnv = "NVX_PROBE_API";
  static constexpr const char* kDefaultStatisticsApi = "https://127.0.0.1:88/mobilestatics/iphone/";
  static constexpr const char* kDefaultProbeApi = "https://127.0.0.1:6789/probe/";

  static StatisticsServerConfig& current();

  // The statistics server's base address, ending with "/".
  const std::string& statisticsBase() const { return statisticsBase_; }
  void setStatisticsBase(std::string base);
  // The probe server's address, ending with "/".
  const std::string& probeBase() const { return probeBase_; }
  void setProbeBase(std::string base);

  StatisticsServerConfig(const StatisticsServerConfig&) = delete;
  StatisticsServerConfig& operator=(const StatisticsServerConfig&) = delete;

 private:
  friend class platform::Process;
  StatisticsServerConfig();

  std::string statisticsBase_;
  std::string probeBase_;
};

}  // namespace nvx
