#include "reader/f0008/SwipCard_Lib_x/Audio/RemoteIOPlayer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/media/AudioSession.h"
#include "platform/media/MediaVolume.h"
#include "platform/media/MixerGraph.h"

namespace nvx::reader::f0008 {

namespace {

constexpr const char* kTag = "RemoteIOPlayer";

template <class... Args>
std::string format(const char* pattern, Args... args) {
  char line[256];
  std::snprintf(line, sizeof line, pattern, args...);
  return line;
}

// A status as the audio services print it: decimal, hexadecimal and four characters.
std::string statusText(const char* pattern, int32_t code) {
  char four[5];
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((static_cast<uint32_t>(code) >> (24 - 8 * i)) & 0xFF);
    four[i] = c >= 0x20 && c < 0x7F ? c : '?';
  }
  four[4] = '\0';
  return format(pattern, static_cast<long>(code), static_cast<unsigned long>(static_cast<uint32_t>(code)), four);
}

}  // namespace

// The audio session is set up once per process, whatever the number of players.
struct RemoteIOPlayerSession {
  std::mutex mutex;
  bool initialized = false;
};

RemoteIOPlayer::RemoteIOPlayer() = default;

RemoteIOPlayer::~RemoteIOPlayer() { cleanUp(); }

platform::Status RemoteIOPlayer::intialiseAudio() {
  auto fail = [](std::string message) {
    platform::log::error(kTag, message);
    return platform::Status::error(std::move(message));
  };
  namespace media = platform::media;
  auto& session = media::AudioSession::sharedInstance();
  {
    auto& once = platform::Process::current().shared<RemoteIOPlayerSession>();
    std::lock_guard<std::mutex> lock(once.mutex);
    if (!once.initialized) {
      const media::AudioStatus status = session.initialize();
      // Another part of the client may have set the session up first: that is as good.
      if (!status && status.code() != media::AudioStatus::kAlreadyInitialized) {
        return fail("Couldn't initialize audio session");
      }
      once.initialized = true;
    }
  }
  if (!session.setCategory(media::AudioCategory::PlayAndRecord)) return fail("Couldn't set audio session property");
  auto available = session.inputAvailable();
  if (!available) return fail("Couldn't get current audio input available prop");
  if (!available.value) platform::log::warning(kTag, "InputAvailable is FALSE!");
  routeObservation_ = session.observeRouteChanges([this](const media::RouteChange&) { routeChanged(); });
  if (!session.setActive(true)) return fail("Couldn't set audio session active");

  bufferList_ = allocateAudioBufferListWithNumChannels(1, kRecordBufferBytes);
  for (auto& list : renderLists_) list.buffers.resize(2);

  auto graph = std::make_unique<media::MixerGraph>(kSampleRate, 2);
  for (int input = 0; input < 2; ++input) {
    platform::log::debug(kTag, "set kAudioUnitProperty_SetRenderCallback");
    const media::AudioStatus status = graph->setRender(
        input, [this, input](int16_t* left, int16_t* right, size_t frames) { render(input, left, right, frames); });
    if (!status) return fail(statusText("AUGraphSetNodeInputCallback result %ld %08lX %4.4s", status.code()));
  }
  if (!graph->setMicCallback([this](const int16_t* mono, size_t frames) { recorded(mono, frames); })) {
    return fail("Set output's input callback fail!");
  }
  if (!graph->initialize()) return fail("Init graph fail!");
  std::lock_guard<std::mutex> lock(mutex_);
  graph_ = std::move(graph);
  return platform::Status::success();
}

int32_t RemoteIOPlayer::start() {
  auto& media = platform::media::MediaVolume::shared();
  if (media.volume() < 1.0f) media.setVolume(1.0f);
  platform::media::MixerGraph* graph = mGraph();
  if (!graph) return platform::media::AudioStatus::kUninitialized;
  // The command input stays enabled: the reader has to hear the commands played into it.
  const platform::media::AudioStatus status = graph->start();
  if (status) {
    std::lock_guard<std::mutex> lock(mutex_);
    isPlaying_ = true;
  }
  return status.code();
}

int32_t RemoteIOPlayer::stop() {
  platform::media::MixerGraph* graph = mGraph();
  if (!graph || !graph->running()) return 0;
  const platform::media::AudioStatus status = graph->stop();
  std::lock_guard<std::mutex> lock(mutex_);
  isPlaying_ = false;
  return status.code();
}

void RemoteIOPlayer::cleanUp() {
  const bool wasSetUp = routeObservation_.active();
  routeObservation_.cancel();
  std::unique_ptr<platform::media::MixerGraph> graph;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    graph = std::move(graph_);
    receivers_ = std::make_shared<Receivers>();
    isPlaying_ = false;
  }
  if (graph) graph->dispose();  // no callback runs once it returns
  graph.reset();
  bufferList_.reset();
  if (wasSetUp) (void)platform::media::AudioSession::sharedInstance().setActive(false);
}

void RemoteIOPlayer::enableInput(int input, float isOn) {
  platform::log::debug(kTag, format("BUS %ld isON %f", static_cast<long>(input), static_cast<double>(isOn)));
  platform::media::MixerGraph* graph = mGraph();
  const platform::media::AudioStatus status =
      graph ? graph->setInputEnabled(input, isOn != 0.0f)
            : platform::media::AudioStatus(platform::media::AudioStatus::kUninitialized);
  if (!status) {
    platform::log::warning(
        kTag, statusText("AudioUnitSetParameter kMultiChannelMixerParam_Enable result %ld %08lx %4.4s", status.code()));
  }
}

void RemoteIOPlayer::setInputVolume(int input, float value) {
  platform::media::MixerGraph* graph = mGraph();
  const platform::media::AudioStatus status =
      graph ? graph->setInputVolume(input, value)
            : platform::media::AudioStatus(platform::media::AudioStatus::kUninitialized);
  if (!status) {
    platform::log::warning(kTag, statusText("AudioUnitSetParameter kMultiChannelMixerParam_Volume Input result %ld "
                                            "%08lx %4.4s",
                                            status.code()));
  }
}

void RemoteIOPlayer::setOutputVolume(float value) {
  platform::media::MixerGraph* graph = mGraph();
  const platform::media::AudioStatus status =
      graph ? graph->setOutputVolume(value)
            : platform::media::AudioStatus(platform::media::AudioStatus::kUninitialized);
  if (!status) {
    platform::log::warning(kTag, statusText("AudioUnitSetParameter kMultiChannelMixerParam_Volume Output result %ld "
                                            "%08lx %4.4s",
                                            status.code()));
  }
}

bool RemoteIOPlayer::CheckHeadDeviceExist() {
  const std::string route = platform::media::AudioSession::sharedInstance().currentRoute();
  if (route.empty()) {
    platform::log::debug(kTag, "设备被拔出！");
    return false;
  }
  platform::log::debug(kTag, "AudioRoute:" + route);
  return route.find(platform::media::AudioSession::kRouteHeadsetInOut) != std::string::npos;
}

std::unique_ptr<AudioBufferList> RemoteIOPlayer::allocateAudioBufferListWithNumChannels(size_t count, size_t bytes) {
  auto list = std::unique_ptr<AudioBufferList>(new (std::nothrow) AudioBufferList());
  if (!list) return nullptr;
  const size_t samples = bytes / sizeof(int16_t);
  for (size_t i = 0; i < count; ++i) {
    std::unique_ptr<int16_t[]> data(new (std::nothrow) int16_t[samples]());
    if (!data) return nullptr;  // what was made goes with the list
    list->buffers.push_back(AudioBuffer{1, data.get(), samples, samples});
    list->storage.push_back(std::move(data));
  }
  return list;
}

void RemoteIOPlayer::setDelegateForPlay(PlayReceiver receiver) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto next = std::make_shared<Receivers>(*receivers_);
  next->play = std::move(receiver);
  receivers_ = std::move(next);
}

void RemoteIOPlayer::setDelegateForRecord(RecordReceiver receiver) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto next = std::make_shared<Receivers>(*receivers_);
  next->record = std::move(receiver);
  receivers_ = std::move(next);
}

void RemoteIOPlayer::setDelegateForAudioRoute(RouteReceiver receiver) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto next = std::make_shared<Receivers>(*receivers_);
  next->route = std::move(receiver);
  receivers_ = std::move(next);
}

bool RemoteIOPlayer::isPlaying() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return isPlaying_;
}

platform::media::MixerGraph* RemoteIOPlayer::mGraph() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return graph_.get();
}

std::shared_ptr<const RemoteIOPlayer::Receivers> RemoteIOPlayer::receivers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return receivers_;
}

void RemoteIOPlayer::render(int input, int16_t* left, int16_t* right, size_t frames) {
  auto r = receivers();
  const PlayReceiver& play = r->play;
  if (!play.UpdateAudioPlayBufferList && !play.UpdateLeftAudioPlayBuffer && !play.UpdateRightAudioPlayBuffer) return;
  AudioBufferList& list = renderLists_[input];
  list.buffers[0] = AudioBuffer{1, left, frames, frames};
  list.buffers[1] = AudioBuffer{1, right, frames, frames};
  if (input == 0 && play.UpdateAudioPlayBufferList) play.UpdateAudioPlayBufferList(list);
  if (list.buffers.size() < 2) {
    platform::log::warning(kTag, "playbackCallback : channel's count != 2!");
    return;
  }
  // Each input sounds on one side only: the other buffer stays silent.
  if (input == 0 && play.UpdateLeftAudioPlayBuffer) play.UpdateLeftAudioPlayBuffer(list.buffers[0]);
  if (input == 1 && play.UpdateRightAudioPlayBuffer) play.UpdateRightAudioPlayBuffer(list.buffers[1]);
}

void RemoteIOPlayer::recorded(const int16_t* mono, size_t frames) {
  if (!bufferList_ || bufferList_->buffers.empty()) return;
  AudioBuffer& buffer = bufferList_->buffers[0];
  buffer.frames = std::min(frames, buffer.capacity);
  std::memcpy(buffer.data, mono, buffer.frames * sizeof(int16_t));
  auto r = receivers();
  if (r->record.UpdateAudioRecordBufferList) r->record.UpdateAudioRecordBufferList(*bufferList_);
}

void RemoteIOPlayer::routeChanged() {
  auto r = receivers();
  if (r->route.UpdateAudioDeviceChange) r->route.UpdateAudioDeviceChange(CheckHeadDeviceExist());
}

}  // namespace nvx::reader::f0008
