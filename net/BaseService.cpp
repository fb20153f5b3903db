#include "net/BaseService.h"

#include "core/session/ClientSettings.h"
#include "core/crypto/Digest.h"
#include "net/RandomUtil.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

BaseService::BaseService() {
  generateUID(kUidLength);
  generateVercode();
}

BaseService& BaseService::sharedBaseService() {
  return platform::Process::current().shared<BaseService>();
}

std::string BaseService::uid() { return sharedBaseService().uid_; }

std::string BaseService::vercode() { return sharedBaseService().vercode_; }

std::string BaseService::safyVerification() {
  const BaseService& shared = sharedBaseService();
  return "uid=" + shared.uid_ + "&vercode=" + shared.vercode_;
}

void BaseService::generateUID(size_t count) {
  std::string uid;
  uid.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    uid.push_back(kUidAlphabet[static_cast<size_t>(
        RandomUtil::randomInt(static_cast<int64_t>(kUidAlphabet.size())))]);
  }
  uid_ = std::move(uid);
}

void BaseService::generateVercode() {
  const std::string& salt = ClientSettings::current().vercodeSalt();
  if (salt.empty()) {
    platform::log::error("BaseService", "no vercode salt in the client settings");
    vercode_.clear();
    return;
  }
  vercode_ = md5Hex(uid_ + salt);
}

}  // namespace nvx
