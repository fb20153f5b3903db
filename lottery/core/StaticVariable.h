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

  // The host's session, copied in before the host enters the lottery: the user token, the login
  // name and the host user identity ("userId;terminal id").
  const std::string& finalTokenid() const { return finalTokenid_; }
  void setFinalTokenid(std::string token) { finalTokenid_ = std::move(token); }
  const std::string& mobelNum() const { return mobelNum_; }
  void setMobelNum(std::string loginName) { mobelNum_ = std::move(loginName); }
  const std::string& userID() const { return userID_; }
  void setUserID(std::string identity) { userID_ = std::move(identity); }

 private:
  friend class platform::Process;
  StaticVariable() = default;

  bool shuaxin_ = false;
  std::optional<std::string> uid_;
  std::string finalTokenid_;
  std::string mobelNum_;
  std::string userID_;
};

}  // namespace nvx::lottery
