#include "platform/media/AudioSession.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/MediaVolume.h"

namespace platform::media {

namespace {

constexpr double kDefaultHardwareRate = 44100.0;
constexpr double kDefaultIOBufferDuration = 0.01;
constexpr double kMinIOBufferDuration = 0.005;
constexpr double kMaxIOBufferDuration = 0.02;

// The built-in outputs; anything else sits in the headset socket (or another accessory port).
bool isBuiltIn(std::string_view route) {
  return route.rfind("Speaker", 0) == 0 || route.rfind("Receiver", 0) == 0;
}

RouteChangeReason reasonFor(const std::string& previous, const std::string& route) {
  if (route.empty()) return RouteChangeReason::NoSuitableRouteForCategory;
  bool wasExternal = !previous.empty() && !isBuiltIn(previous);
  bool isExternal = !isBuiltIn(route);
  if (isExternal && !wasExternal) return RouteChangeReason::NewDeviceAvailable;
  if (wasExternal && !isExternal) return RouteChangeReason::OldDeviceUnavailable;
  return RouteChangeReason::CategoryChange;
}

// The session's own thread: runs its listeners and answers one after the other. The thread lives
// while there is work and ends when the queue is empty (a process reset joins it).
class SerialThread {
 public:
  void post(Task task) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_->push_back(std::move(task));
    if (alive_) return;
    alive_ = true;
    Thread::detach("audio-session", [this] { run(); });
  }

 private:
  void run() {
    for (;;) {
      Task task;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_->empty() || Thread::stopping()) {
          queue_->clear();
          alive_ = false;
          return;
        }
        task = std::move(queue_->front());
        queue_->pop_front();
      }
      task();
    }
  }

  std::mutex mutex_;
  std::unique_ptr<std::deque<Task>> queue_ = std::make_unique<std::deque<Task>>();
  bool alive_ = false;
};

}  // namespace

struct AudioSession::Impl {
  // Guarded by AudioSession::mutex_.
  bool initialized = false;
  std::function<void(bool)> interruptionListener;
  RunLoop* interruptionLoop = nullptr;
  AudioCategory category = AudioCategory::SoloAmbient;
  bool mixWithOthers = false;
  AudioMode mode = AudioMode::Default;
  bool interrupted = false;
  bool inputAvailable = true;     // the phone's own microphone
  bool gainSettable = true;
  float gain = 1.0f;
  bool canRequestPermission = true;
  bool permissionAnswer = true;
  RecordPermission permission = RecordPermission::Undetermined;
  double preferredRate = 0;
  double preferredIOBufferDuration = 0;
  std::map<std::string, std::deque<int32_t>, std::less<>> failures;

  ListenerList<const RouteChange&> routeListeners;
  ListenerList<bool> inputListeners;
  SerialThread thread;
};

AudioSession::AudioSession() : impl_(std::make_unique<Impl>()) {}
AudioSession::~AudioSession() = default;

AudioSession& AudioSession::sharedInstance() { return Process::current().shared<AudioSession>(); }

AudioStatus AudioSession::takeFailure(std::string_view call) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = impl_->failures.find(call);
  if (it == impl_->failures.end() || it->second.empty()) return AudioStatus::success();
  int32_t code = it->second.front();
  it->second.pop_front();
  return AudioStatus(code);
}

void AudioSession::failNext(std::string_view call, int32_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->failures[std::string(call)].push_back(code);
}

// --- set-up ---

AudioStatus AudioSession::initialize(std::function<void(bool)> interruptionListener, RunLoop* loop) {
  if (auto failure = takeFailure("initialize"); !failure) return failure;
  std::lock_guard<std::mutex> lock(mutex_);
  if (impl_->initialized) return AudioStatus(AudioStatus::kAlreadyInitialized);
  impl_->initialized = true;
  impl_->interruptionListener = std::move(interruptionListener);
  impl_->interruptionLoop = loop;
  return AudioStatus::success();
}

bool AudioSession::isInitialized() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->initialized;
}

AudioStatus AudioSession::setCategory(AudioCategory category, bool mixWithOthers) {
  if (auto failure = takeFailure("setCategory"); !failure) return failure;
  RouteChange change;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    bool changed = impl_->category != category;
    impl_->category = category;
    impl_->mixWithOthers = mixWithOthers;
    if (!changed) return AudioStatus::success();
    change = {RouteChangeReason::CategoryChange, route_, route_};
  }
  postRouteChange(change);
  return AudioStatus::success();
}

AudioCategory AudioSession::category() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->category;
}

bool AudioSession::mixesWithOthers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->mixWithOthers;
}

AudioStatus AudioSession::setMode(AudioMode mode) {
  if (auto failure = takeFailure("setMode"); !failure) return failure;
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->mode = mode;
  return AudioStatus::success();
}

AudioMode AudioSession::mode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->mode;
}

AudioStatus AudioSession::setActive(bool active) {
  if (auto failure = takeFailure("setActive"); !failure) return failure;
  std::lock_guard<std::mutex> lock(mutex_);
  // During a phone call the session cannot take the audio back.
  if (active && impl_->interrupted) return AudioStatus(AudioStatus::kCannotInterruptOthers);
  active_ = active;
  return AudioStatus::success();
}

bool AudioSession::isActive() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return active_;
}

// --- route ---

std::string AudioSession::currentRoute() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return route_;
}

AudioResult<std::string> AudioSession::routeName() const {
  if (auto failure = takeFailure("routeName"); !failure) return {failure, {}};
  return {AudioStatus::success(), currentRoute()};
}

NotificationCenter::Observation AudioSession::observeRouteChanges(
    std::function<void(const RouteChange&)> callback) {
  return NotificationCenter::shared().observe(std::string(kRouteChangeNotification), this,
                                              [callback = std::move(callback)](const Notification& note) {
                                                if (auto change = routeChange(note)) callback(*change);
                                              });
}

std::optional<RouteChange> AudioSession::routeChange(const Notification& note) {
  if (note.name != kRouteChangeNotification || !note.userInfo.is_object()) return std::nullopt;
  RouteChange change;
  auto reason = json::integer(note.userInfo, "reason");
  auto previous = json::text(note.userInfo, "previousRoute");
  auto route = json::text(note.userInfo, "route");
  if (!reason || !previous || !route) return std::nullopt;
  change.reason = static_cast<RouteChangeReason>(*reason);
  change.previousRoute = *previous;
  change.route = *route;
  return change;
}

Subscription AudioSession::addRouteChangeListener(std::function<void(const RouteChange&)> callback) {
  return impl_->routeListeners.add(std::move(callback));
}

void AudioSession::simulateRouteChange(std::string route, std::optional<RouteChangeReason> reason) {
  std::string previous;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (route == route_) return;
    previous = std::exchange(route_, route);
  }
  postRouteChange({reason.value_or(reasonFor(previous, route)), previous, route});
}

void AudioSession::postRouteChange(const RouteChange& change) {
  Json info = Json::object();
  info["reason"] = static_cast<int>(change.reason);
  info["previousRoute"] = change.previousRoute;
  info["route"] = change.route;
  // The session lives as long as the process run; the notice names it only as the sender.
  const void* sender = this;
  RunLoop::main().post([sender, info = std::move(info)] {
    NotificationCenter::shared().post(kRouteChangeNotification, sender, info);
  });
  impl_->thread.post([this, change] { impl_->routeListeners.call(change); });
}

// --- input ---

AudioResult<bool> AudioSession::inputAvailable() const {
  if (auto failure = takeFailure("inputAvailable"); !failure) return {failure, false};
  std::lock_guard<std::mutex> lock(mutex_);
  return {AudioStatus::success(), impl_->inputAvailable};
}

Subscription AudioSession::addInputAvailabilityListener(std::function<void(bool)> callback) {
  return impl_->inputListeners.add(std::move(callback));
}

AudioResult<int> AudioSession::inputChannelCount() const {
  if (auto failure = takeFailure("inputChannelCount"); !failure) return {failure, 0};
  std::lock_guard<std::mutex> lock(mutex_);
  return {AudioStatus::success(), impl_->inputAvailable ? 1 : 0};
}

bool AudioSession::isInputGainSettable() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->gainSettable;
}

float AudioSession::inputGain() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->gain;
}

AudioStatus AudioSession::setInputGain(float gain) {
  if (auto failure = takeFailure("setInputGain"); !failure) return failure;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!impl_->gainSettable) return AudioStatus(AudioStatus::kUnsupportedProperty);
  if (std::isnan(gain)) return AudioStatus(AudioStatus::kInvalidParameter);
  impl_->gain = std::clamp(gain, 0.0f, 1.0f);
  return AudioStatus::success();
}

// --- record permission ---

bool AudioSession::canRequestRecordPermission() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->canRequestPermission;
}

RecordPermission AudioSession::recordPermission() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->permission;
}

void AudioSession::requestRecordPermission(std::function<void(bool)> answer) {
  impl_->thread.post([this, answer = std::move(answer)] {
    bool granted;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!impl_->canRequestPermission) {
        granted = true;  // a system without the request lets every application record
      } else {
        if (impl_->permission == RecordPermission::Undetermined)
          impl_->permission = impl_->permissionAnswer ? RecordPermission::Granted : RecordPermission::Denied;
        granted = impl_->permission == RecordPermission::Granted;
      }
    }
    if (answer) answer(granted);
  });
}

// --- hardware ---

AudioResult<double> AudioSession::hardwareSampleRate() const {
  if (auto failure = takeFailure("hardwareSampleRate"); !failure) return {failure, 0.0};
  std::lock_guard<std::mutex> lock(mutex_);
  return {AudioStatus::success(), impl_->preferredRate > 0 ? impl_->preferredRate : kDefaultHardwareRate};
}

double AudioSession::preferredSampleRate() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->preferredRate;
}

AudioStatus AudioSession::setPreferredSampleRate(double rate) {
  if (auto failure = takeFailure("setPreferredSampleRate"); !failure) return failure;
  if (!(rate > 0 && rate <= 192000.0)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->preferredRate = rate;
  return AudioStatus::success();
}

AudioResult<double> AudioSession::ioBufferDuration() const {
  if (auto failure = takeFailure("ioBufferDuration"); !failure) return {failure, 0.0};
  auto& engine = AudioEngine::shared();
  if (engine.running() && engine.rate() > 0)
    return {AudioStatus::success(), static_cast<double>(engine.framesPerBuffer()) / engine.rate()};
  return {AudioStatus::success(), configuredIOBufferDuration()};
}

double AudioSession::configuredIOBufferDuration() const {
  std::lock_guard<std::mutex> lock(mutex_);
  double d = impl_->preferredIOBufferDuration > 0 ? impl_->preferredIOBufferDuration : kDefaultIOBufferDuration;
  return std::clamp(d, kMinIOBufferDuration, kMaxIOBufferDuration);
}

AudioResult<double> AudioSession::preferredIOBufferDuration() const {
  if (auto failure = takeFailure("preferredIOBufferDuration"); !failure) return {failure, 0.0};
  std::lock_guard<std::mutex> lock(mutex_);
  return {AudioStatus::success(), impl_->preferredIOBufferDuration > 0 ? impl_->preferredIOBufferDuration
                                                                    : kDefaultIOBufferDuration};
}

AudioStatus AudioSession::setPreferredIOBufferDuration(double seconds) {
  if (auto failure = takeFailure("setPreferredIOBufferDuration"); !failure) return failure;
  if (!(seconds > 0 && seconds <= 1.0)) return AudioStatus(AudioStatus::kInvalidParameter);
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->preferredIOBufferDuration = seconds;
  return AudioStatus::success();
}

AudioResult<float> AudioSession::outputVolume() const {
  if (auto failure = takeFailure("outputVolume"); !failure) return {failure, 0.0f};
  return {AudioStatus::success(), MediaVolume::shared().volume()};
}

// --- simulation ---

void AudioSession::simulateInterruption(bool begins) {
  std::function<void(bool)> listener;
  RunLoop* loop = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (impl_->interrupted == begins) return;
    impl_->interrupted = begins;
    if (begins) active_ = false;
    listener = impl_->interruptionListener;
    loop = impl_->interruptionLoop;
  }
  if (begins) AudioEngine::shared().stopAllBySystem();
  if (!listener) return;
  RunLoop& target = loop ? *loop : RunLoop::main();
  target.post([listener = std::move(listener), begins] { listener(begins); });
}

bool AudioSession::isInterrupted() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return impl_->interrupted;
}

void AudioSession::simulateInputAvailable(bool available) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (impl_->inputAvailable == available) return;
    impl_->inputAvailable = available;
  }
  impl_->thread.post([this, available] { impl_->inputListeners.call(available); });
}

void AudioSession::simulateInputGainSettable(bool settable) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->gainSettable = settable;
}

void AudioSession::setCanRequestRecordPermission(bool offered) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->canRequestPermission = offered;
}

void AudioSession::setRecordPermissionAnswer(bool grant) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->permissionAnswer = grant;
}

void AudioSession::setRecordPermission(RecordPermission p) {
  std::lock_guard<std::mutex> lock(mutex_);
  impl_->permission = p;
}

}  // namespace platform::media
