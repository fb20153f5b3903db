// Where the service's download server lives: the host (with a port when it is not 80) that serves
// the static pages under "/nvxmbl/html/", such as the wallet agreement, over plain HTTP. Read from
// the environment when first asked for: NVX_DOWNLOAD_HOST (default "127.0.0.1"). Tests and the
// simulator set it before the first page is opened.
#pragma once
#include <string>

namespace platform {
class Process;
}

namespace nvx {

class DownloadServerConfig {
 public:
  static constexpr const char* kHostEnv = "NVX_DOWNLOAD_HOST";
  static constexpr const char* kDefaultHost = "127.0.0.1";

  static DownloadServerConfig& current();

  const std::string& host() const { return host_; }
  void setHost(std::string host) { host_ = std::move(host); }
  // "http://" followed by the host and the path as given.
  std::string pageUrl(const std::string& path) const { return "http://" + host_ + path; }

  DownloadServerConfig(const DownloadServerConfig&) = delete;
  DownloadServerConfig& operator=(const DownloadServerConfig&) = delete;

 private:
  friend class platform::Process;
  DownloadServerConfig();

  std::string host_;
};

}  // namespace nvx
