// Opening URLs with other applications (the dialer, the browser, other apps' schemes). Here an
// opened URL is recorded; which schemes can be opened is a setting ("tel", "http", "https" by
// default).
#pragma once
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class UrlOpener {
 public:
  static UrlOpener& shared();

  // True when some application answers the URL's scheme (compared without regard to case).
  bool canOpen(std::string_view url) const;
  // Opens the URL when it can; false (and nothing recorded) otherwise.
  bool open(std::string_view url);

  std::vector<std::string> opened() const;
  void setOpenable(std::string_view scheme, bool openable);
  std::set<std::string> openableSchemes() const;

 private:
  friend class Process;
  UrlOpener();
  bool canOpenLocked(std::string_view url) const;

  mutable std::mutex mutex_;
  std::set<std::string> schemes_;
  std::vector<std::string> opened_;
};

}  // namespace platform
