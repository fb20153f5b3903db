// The mall's one shopping cart for the whole application. It also carries the mall source id:
// the code of the entry through which the user came into the mall, which the mall's statistics
// records carry.
#pragma once
#include <optional>
#include <string>

namespace platform {
class Process;
}

namespace nvx {

class MallCartManagement {
 public:
  // The shared cart, made on first use and kept for the run.
  static MallCartManagement& sharedMallCartManagement();
  static MallCartManagement& shareCart() { return sharedMallCartManagement(); }

  MallCartManagement(const MallCartManagement&) = delete;
  MallCartManagement& operator=(const MallCartManagement&) = delete;

  // Nothing at start.
  const std::optional<std::string>& mallSourceId() const { return mallSourceId_; }
  void setMallSourceId(std::optional<std::string> sourceId) { mallSourceId_ = std::move(sourceId); }

 private:
  friend class platform::Process;
  MallCartManagement() = default;

  std::optional<std::string> mallSourceId_;
};

}  // namespace nvx
