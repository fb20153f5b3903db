// The lottery sub-application's session: the one shared state object every lottery screen
// reaches through shared(). Nothing of it is stored: a new run starts with it empty.
#pragma once
#include <optional>
#include <string>

namespace platform {
class Process;
}

namespace nvx::lottery {

class StaticVariable {
 public:
  // The session of this run, made on first use.
  static StaticVariable& shared();

  StaticVariable(const StaticVariable&) = delete;
  StaticVariable& operator=(const StaticVariable&) = delete;

  // Asks the lottery screens to refresh when they are next shown (set by the host on its ways
  // back into the lottery). NO at start.
  bool shuaxin() const { return shuaxin_; }
  void setShuaxin(bool refresh) { shuaxin_ = refresh; }

  // The lottery server's user id of the current lottery login; nothing = not logged in.
  const std::optional<std::string>& uid() const { return uid_; }
  void setUid(std::optional<std::string> uid) { uid_ = std::move(uid); }

 private:
  friend class platform::Process;
  StaticVariable() = default;

  bool shuaxin_ = false;
  std::optional<std::string> uid_;
};

}  // namespace nvx::lottery
