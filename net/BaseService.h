// The client's identity towards the servers for this run: a random uid and the vercode derived
// from it with the salt of the client settings, sent with every call. Made at first use and kept
// (never stored) until the process ends, so every run presents a new pair.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {
class Process;
}

namespace nvx {

class BaseService {
 public:
  static constexpr std::string_view kUidAlphabet =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  static constexpr size_t kUidLength = 16;

  // The shared instance, created on first use (under a lock).
  static BaseService& sharedBaseService();
  // The shared instance's values.
  static std::string uid();
  static std::string vercode();
  // "uid=<uid>&vercode=<vercode>", the query form of the pair.
  static std::string safyVerification();

  BaseService(const BaseService&) = delete;
  BaseService& operator=(const BaseService&) = delete;

  // Replaces uid with count characters, each drawn uniformly from kUidAlphabet. vercode is not
  // touched: call generateVercode after it.
  void generateUID(size_t count);
  // Replaces vercode with the lower-case hex MD5 of uid followed by the salt; "" when the client
  // settings have no salt (an error is logged; the servers then refuse the calls).
  void generateVercode();

 private:
  friend class platform::Process;
  BaseService();

  std::string uid_;
  std::string vercode_;
};

}  // namespace nvx
