// Where the main API lives and which CA certificates its HTTPS certificate is checked against.
// Read from the environment when first asked for: NVX_MAIN_API (default
// "https://127.0.0.1/iphone/"; a missing trailing "/" is added, since method addresses are
// appended to it) and NVX_CA_FILE (empty: the system's CA set). Tests and the simulator set the
// variables, or set the values directly, before the first request.
#pragma once
#include <string>

namespace platform {
class Process;
}

namespace nvx {

class ServerConfig {
 public:
  static constexpr const char* kMainApiEnv = "NVX_MAIN_API";
  static constexpr const char* kCaFileEnv = "NVX_CA_FILE";
  static constexpr const char* kDefaultMainApi = "https://127.0.0.1/iphone/";

  // The process's settings (read from the environment on first use; fresh after a test reset).
  static ServerConfig& current();

  // The main API's base address, ending with "/".
  const std::string& mainApiBase() const { return mainApiBase_; }
  void setMainApiBase(std::string base);
  // PEM file of the CA certificates for HTTPS; empty = the system's. Setting it also hands it to
  // the HTTP client.
  const std::string& caFile() const { return caFile_; }
  void setCaFile(std::string file);

  ServerConfig(const ServerConfig&) = delete;
  ServerConfig& operator=(const ServerConfig&) = delete;

 private:
  friend class platform::Process;
  ServerConfig();

  std::string mainApiBase_;
  std::string caFile_;
};

}  // namespace nvx
