#include "reader/SwiperUtil.h"

#include "platform/media/AudioSession.h"

namespace nvx::reader {

namespace {
constexpr double kPollInterval = 0.15;
}

SwiperUtil& SwiperUtil::sharedInstance() { return platform::Process::current().shared<SwiperUtil>(); }

SwiperUtil::~SwiperUtil() { stopListen(); }

bool SwiperUtil::isAudioDeviceDetected() {
  auto& session = platform::media::AudioSession::sharedInstance();
  (void)session.setActive(true);  // a failure leaves the last known route, which is still read
  std::string route = session.currentRoute();
  return !route.empty() && route.rfind("Head", 0) == 0;
}

void SwiperUtil::startListen(std::weak_ptr<AudioSwiperListener> listener) {
  delegate_ = std::move(listener);
  if (detectDeviceTimer_) platform::RunLoop::main().cancel(detectDeviceTimer_);
  isDevicePresent_ = isAudioDeviceDetected();
  detectDeviceTimer_ = platform::RunLoop::main().every(platform::secs(kPollInterval), [this] { detectDevice(); }, this);
}

void SwiperUtil::stopListen() {
  if (detectDeviceTimer_) platform::RunLoop::main().cancel(detectDeviceTimer_);
  detectDeviceTimer_ = 0;
  delegate_.reset();
}

void SwiperUtil::detectDevice() {
  bool now = isAudioDeviceDetected();
  if (now == isDevicePresent_) return;
  isDevicePresent_ = now;
  auto listener = delegate_.lock();
  if (!listener) return;
  if (now) listener->onDevicePlugged();
  else listener->onDeviceUnplugged();
}

}  // namespace nvx::reader
