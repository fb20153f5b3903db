// The "0008" reader's audio path: a mixer graph of two render inputs in front of the headset
// output, and the headset microphone. The driver fills the inputs (the command signal on the left
// channel of input 0, the power tone on the right channel of input 1; the other channel of each
// stays silent) and receives every recorded block. The player also watches the audio route and
// tells from it whether the reader is plugged in.
//
// Receivers are not owned: each is a set of optional operations (an empty function is an
// operation the receiver does not answer), which capture their owner weakly. Render and record
// calls come on the audio engine's thread; route changes on the main run loop.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Status.h"

namespace platform::media {
class MixerGraph;
}

namespace nvx::reader::f0008 {

// One channel of signed 16-bit samples: `capacity` samples at `data`, the first `frames` in use.
struct AudioBuffer {
  uint32_t channels = 1;
  int16_t* data = nullptr;
  size_t frames = 0;
  size_t capacity = 0;
};

// Buffers of one channel each. Buffers made by allocateAudioBufferListWithNumChannels own their
// samples; those the player hands to renderers point into the mixer's own.
struct AudioBufferList {
  std::vector<AudioBuffer> buffers;
  std::vector<std::unique_ptr<int16_t[]>> storage;
};

class RemoteIOPlayer {
 public:
  static constexpr double kSampleRate = 44100.0;
  static constexpr size_t kRecordBufferBytes = 1048576;

  struct PlayReceiver {
    std::function<void(AudioBufferList&)> UpdateAudioPlayBufferList;   // input 0, both channels
    std::function<void(AudioBuffer&)> UpdateLeftAudioPlayBuffer;       // input 0, left
    std::function<void(AudioBuffer&)> UpdateRightAudioPlayBuffer;      // input 1, right
  };
  struct RecordReceiver {
    std::function<void(const AudioBufferList&)> UpdateAudioRecordBufferList;
  };
  struct RouteReceiver {
    std::function<void(bool present)> UpdateAudioDeviceChange;
  };

  RemoteIOPlayer();   // init: no receivers, no graph
  ~RemoteIOPlayer();  // cleanUp
  RemoteIOPlayer(const RemoteIOPlayer&) = delete;
  RemoteIOPlayer& operator=(const RemoteIOPlayer&) = delete;

  // Sets up the audio session (once per process), the route listener, the record buffer and the
  // graph; starts nothing. A failed step is logged with its message and ends the set-up; the
  // message comes back.
  platform::Status intialiseAudio();
  // Raises the media volume to 1.0 when lower and starts the graph: 0 or the graph's status.
  int32_t start();
  // Stops a running graph: its status, or 0 when it was not running.
  int32_t stop();
  // Removes the route listener, disposes of the graph, deactivates the audio session, frees the
  // record buffer and forgets the receivers.
  void cleanUp();

  // Mixer parameters; a failure is logged and otherwise ignored.
  void enableInput(int input, float isOn);
  void setInputVolume(int input, float value);
  void setOutputVolume(float value);

  // The reader is plugged in: the audio route's name contains "HeadsetInOut".
  static bool CheckHeadDeviceExist();

  // count buffers of one channel, `bytes` zero-filled bytes each; nothing when memory runs out.
  static std::unique_ptr<AudioBufferList> allocateAudioBufferListWithNumChannels(size_t count, size_t bytes);
  static void destroyAudioBufferList(std::unique_ptr<AudioBufferList> list) { list.reset(); }

  void setDelegateForPlay(PlayReceiver receiver);
  void setDelegateForRecord(RecordReceiver receiver);
  void setDelegateForAudioRoute(RouteReceiver receiver);

  bool isPlaying() const;
  // The graph once set up (tests).
  platform::media::MixerGraph* mGraph() const;

 private:
  struct Receivers {
    PlayReceiver play;
    RecordReceiver record;
    RouteReceiver route;
  };
  std::shared_ptr<const Receivers> receivers() const;
  void render(int input, int16_t* left, int16_t* right, size_t frames);
  void recorded(const int16_t* mono, size_t frames);
  void routeChanged();

  mutable std::mutex mutex_;
  std::shared_ptr<const Receivers> receivers_ = std::make_shared<Receivers>();
  std::unique_ptr<platform::media::MixerGraph> graph_;
  bool isPlaying_ = false;
  platform::NotificationCenter::Observation routeObservation_;
  // The engine thread's own (made before the graph starts, freed after it is disposed of): the
  // record buffer, and the two-buffer views handed to the renderers.
  std::unique_ptr<AudioBufferList> bufferList_;
  AudioBufferList renderLists_[2];
};

}  // namespace nvx::reader::f0008
