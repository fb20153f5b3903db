// The phone's audio session (one per process): initialisation with an interruption listener,
// category and mode, activation, the current audio route (the headset socket) with route-change
// notices, input availability, the record permission, input gain, hardware rates and the output
// volume.
//
// Threads. Route-change notices are posted to the main run loop as a notification (and to
// observeRouteChanges). Listeners added with addRouteChangeListener / addInputAvailabilityListener
// run on the session's own thread, as the phone's audio-session listeners do; the record
// permission's answer comes on that thread too. The interruption listener given to initialize()
// runs on the run loop given there (the main loop by default).
//
// The simulated headset jack (Jack) changes the route; tests may also call the simulate* hooks.
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Status.h"
#include "platform/media/AudioStatus.h"
#include "platform/media/Subscription.h"

namespace platform {
class RunLoop;
}

namespace platform::media {

// Why the route changed (the platform's numbering).
enum class RouteChangeReason : int {
  Unknown = 0,
  NewDeviceAvailable = 1,     // something was plugged into the headset socket
  OldDeviceUnavailable = 2,   // the device in use was removed
  CategoryChange = 3,
  NoSuitableRouteForCategory = 7,
};

struct RouteChange {
  RouteChangeReason reason = RouteChangeReason::Unknown;
  std::string previousRoute;
  std::string route;
};

enum class AudioCategory { Ambient, SoloAmbient, Playback, Record, PlayAndRecord };
enum class AudioMode { Default, Measurement };
enum class RecordPermission { Undetermined, Denied, Granted };

class AudioSession {
 public:
  // The notification posted (on the main run loop, sender: the session) when the route changes;
  // userInfo {"reason": int, "previousRoute": text, "route": text}.
  static constexpr std::string_view kRouteChangeNotification = "AudioSessionRouteChangeNotification";
  // Route names of this platform.
  static constexpr std::string_view kRouteSpeaker = "Speaker";
  static constexpr std::string_view kRouteHeadphone = "Headphone";
  static constexpr std::string_view kRouteHeadsetInOut = "HeadsetInOut";

  static AudioSession& sharedInstance();

  // --- set-up ---
  // Once per process: a second call answers kAlreadyInitialized and keeps the first listener.
  // The interruption listener (true = begins, false = ends) runs on `loop` (nullptr: the main loop).
  AudioStatus initialize(std::function<void(bool begins)> interruptionListener = {}, RunLoop* loop = nullptr);
  bool isInitialized() const;
  // A change of category is followed by a route-change notice with reason 3 (same route).
  AudioStatus setCategory(AudioCategory category, bool mixWithOthers = false);
  AudioCategory category() const;
  bool mixesWithOthers() const;
  AudioStatus setMode(AudioMode mode);
  AudioMode mode() const;
  // failNext("setActive") makes one call fail; during an interruption activation fails
  // (kCannotInterruptOthers).
  AudioStatus setActive(bool active);
  bool isActive() const;

  // --- route ---
  // The name of the current audio route; empty when there is none. Never fails.
  std::string currentRoute() const;
  // The same as a query that can fail (failNext("routeName")).
  AudioResult<std::string> routeName() const;
  // Observes route changes (on the main run loop) while the observation lives.
  [[nodiscard]] NotificationCenter::Observation observeRouteChanges(
      std::function<void(const RouteChange&)> callback);
  static std::optional<RouteChange> routeChange(const Notification& note);
  // Route changes on the session's thread, in order.
  [[nodiscard]] Subscription addRouteChangeListener(std::function<void(const RouteChange&)> callback);

  // --- input ---
  // Whether a microphone is there to record from (the phone's own or a headset's).
  AudioResult<bool> inputAvailable() const;
  // Changes of input availability, on the session's thread.
  [[nodiscard]] Subscription addInputAvailabilityListener(std::function<void(bool available)> callback);
  AudioResult<int> inputChannelCount() const;   // 1 while input is available, else 0
  bool isInputGainSettable() const;
  float inputGain() const;                       // 0..1, applied to the microphone samples
  AudioStatus setInputGain(float gain);         // kUnsupportedProperty when not settable; clipped to 0..1

  // --- record permission ---
  // Whether the system offers the record-permission request (older systems do not: then recording
  // needs no permission and requestRecordPermission answers true).
  bool canRequestRecordPermission() const;
  RecordPermission recordPermission() const;
  // Undetermined: the user is asked (simulated: setRecordPermissionAnswer) and the decision kept.
  // The answer comes on the session's thread, never inline.
  void requestRecordPermission(std::function<void(bool granted)> answer);

  // --- hardware ---
  AudioResult<double> hardwareSampleRate() const;     // the preferred rate once set, else 44100
  double preferredSampleRate() const;                  // 0 until set
  AudioStatus setPreferredSampleRate(double rate);     // kInvalidParameter outside (0, 192000]
  // The engine's hardware buffer: preferred duration clipped to 0.005..0.02 s (default 0.01 s).
  // A change takes effect when the engine next starts.
  AudioResult<double> ioBufferDuration() const;
  AudioResult<double> preferredIOBufferDuration() const;
  // The buffer duration the engine takes when it starts (no failure injection).
  double configuredIOBufferDuration() const;
  AudioStatus setPreferredIOBufferDuration(double seconds);
  // The hardware output volume: the media volume (MediaVolume).
  AudioResult<float> outputVolume() const;

  // --- simulator and tests (any thread) ---
  // Plugs or unplugs: the route becomes `route` ("HeadsetInOut", "Headphone", "Speaker", or empty
  // for none). Without a reason, it follows from the routes: a headset-socket device that appears
  // is a new device, one that goes an old device gone, no route at all no suitable route, any
  // other change a category change. Nothing happens when the route stays the same.
  void simulateRouteChange(std::string route, std::optional<RouteChangeReason> reason = std::nullopt);
  // An interruption (a phone call): begins deactivates the session and stops every running stream
  // (their running listeners hear it); the listener hears begins/ends. Ends does not reactivate.
  void simulateInterruption(bool begins);
  bool isInterrupted() const;
  void simulateInputAvailable(bool available);         // listeners hear a change
  void simulateInputGainSettable(bool settable);
  void setCanRequestRecordPermission(bool offered);
  void setRecordPermissionAnswer(bool grant);          // what the simulated user answers (default: grant)
  void setRecordPermission(RecordPermission p);        // as if decided earlier
  // The next call of `call` fails with `code` (names: the member function's name, e.g.
  // "initialize", "setCategory", "setMode", "setActive", "routeName", "inputAvailable",
  // "inputChannelCount", "setInputGain", "hardwareSampleRate", "setPreferredSampleRate",
  // "ioBufferDuration", "preferredIOBufferDuration", "setPreferredIOBufferDuration",
  // "outputVolume"; the streams' calls as "OutputQueue::start", "InputQueue::start",
  // "DuplexUnit::initialize", "DuplexUnit::start", "MixerGraph::start", ... see each stream).
  void failNext(std::string_view call, int32_t code = AudioStatus::kUnspecified);
  // Used by the streams: the injected failure for `call`, consumed (ok when none).
  AudioStatus takeFailure(std::string_view call) const;

  ~AudioSession();

  struct Impl;

 private:
  friend class platform::Process;
  AudioSession();
  void postRouteChange(const RouteChange& change);

  mutable std::mutex mutex_;
  bool active_ = false;
  std::string route_{kRouteSpeaker};
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::media
