#include "platform/media/MixerGraph.h"

#include <gtest/gtest.h>

#include "platform/foundation/RunLoop.h"
#include "platform/media/AudioEngine.h"
#include "platform/media/AudioFormat.h"
#include "platform/media/AudioSession.h"
#include "platform/media/Jack.h"
#include "platform/media/LoopbackPeer.h"

namespace platform::media {
namespace {

// The graph of family 0008: the command signal on the left of input 0, a power tone on the right
// of input 1, the microphone as mono blocks.
class MixerGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    peer->speakLevel(0.25f);
    Jack::shared().plug(peer);
    ASSERT_TRUE(graph.setRender(0, [this](int16_t* l, int16_t*, size_t n) {
      ++calls[0];
      for (size_t i = 0; i < n; ++i) l[i] = 16384;
    }));
    ASSERT_TRUE(graph.setRender(1, [this](int16_t*, int16_t* r, size_t n) {
      ++calls[1];
      for (size_t i = 0; i < n; ++i) r[i] = -8192;
    }));
    ASSERT_TRUE(graph.setMicCallback([this](const int16_t* mono, size_t n) {
      EXPECT_TRUE(AudioEngine::onEngineThread());
      mic.insert(mic.end(), mono, mono + n);
    }));
    ASSERT_TRUE(graph.initialize());
  }

  // One hardware buffer; what the peer heard last (left, right).
  std::pair<float, float> playOneBuffer() {
    EXPECT_TRUE(graph.start());
    RunLoop::main().advance(0.01);
    EXPECT_TRUE(graph.stop());
    return {peer->heardLeft().back(), peer->heardRight().back()};
  }

  std::shared_ptr<LoopbackPeer> peer = std::make_shared<LoopbackPeer>();
  MixerGraph graph{44100, 2};
  int calls[2] = {0, 0};
  std::vector<int16_t> mic;
};

TEST_F(MixerGraphTest, InputsMixWithTheirEnableAndVolumes) {
  struct Case {
    const char* what;
    std::function<void(MixerGraph&)> set;
    float left, right;
  };
  const Case cases[] = {
      {"both inputs", [](MixerGraph&) {}, 0.5f, -0.25f},
      {"input 0 at 0.5", [](MixerGraph& g) { ASSERT_TRUE(g.setInputVolume(0, 0.5f)); }, 0.25f, -0.25f},
      {"output at 0.5", [](MixerGraph& g) { ASSERT_TRUE(g.setOutputVolume(0.5f)); }, 0.125f, -0.125f},
      {"input 1 off", [](MixerGraph& g) { ASSERT_TRUE(g.setInputEnabled(1, false)); }, 0.125f, 0.0f},
      {"input 0 off too", [](MixerGraph& g) { ASSERT_TRUE(g.setInputEnabled(0, false)); }, 0.0f, 0.0f},
  };
  for (const Case& c : cases) {
    c.set(graph);
    auto [l, r] = playOneBuffer();
    EXPECT_FLOAT_EQ(l, c.left) << c.what;
    EXPECT_FLOAT_EQ(r, c.right) << c.what;
  }
  EXPECT_EQ(calls[0], 4);   // a disabled input is not asked to render
  EXPECT_EQ(calls[1], 3);
}

TEST_F(MixerGraphTest, TheMicrophoneArrivesAsMonoBlocks) {
  ASSERT_TRUE(graph.start());
  EXPECT_TRUE(graph.running());
  RunLoop::main().advance(0.02);
  ASSERT_TRUE(graph.stop());
  EXPECT_FALSE(graph.running());
  ASSERT_EQ(mic.size(), 882u);
  EXPECT_EQ(mic.front(), 8192);
  EXPECT_EQ(mic.back(), 8192);
}

TEST_F(MixerGraphTest, ParametersOfMissingInputsAndEarlyStartsFail) {
  EXPECT_EQ(graph.setInputEnabled(2, true).code(), AudioStatus::kInvalidElement);
  EXPECT_EQ(graph.setInputVolume(-1, 1.0f).code(), AudioStatus::kInvalidElement);
  EXPECT_EQ(graph.setRender(2, {}).code(), AudioStatus::kInvalidElement);
  AudioSession::sharedInstance().failNext("MixerGraph::setOutputVolume", -10878);
  EXPECT_EQ(graph.setOutputVolume(0.3f).code(), -10878);
  EXPECT_FLOAT_EQ(graph.outputVolume(), 1.0f);

  MixerGraph fresh(44100, 2);
  EXPECT_EQ(fresh.start().code(), AudioStatus::kUninitialized);
  EXPECT_FALSE(fresh.running());
}

}  // namespace
}  // namespace platform::media
