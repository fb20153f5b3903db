// The 0008 reader's receive side over synthesized replies with seeded impairments: white noise at
// a full-band SNR (noise rms against the signal's level), gain, DC offset, hum, a clock off by up
// to 2 %, polarity and clipping. The replies reach the driver's demodulator as the phone hears
// them: 16-bit samples in 1,024-sample recorded blocks, each through the driver's line filter
// and one decode, the decoder reset after each frame, then the frame is read against the step
// that waits for it. Prints frame
// success per SNR, a gain sweep and what noise alone makes of it, then times the demodulator.
//
//   ct_decoder_bench [--packets=N] [benchmark options]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <random>
#include <vector>

#include "bench/BenchMain.h"
#include "reader/f0008/CTLineFilter.h"
#include "reader/f0008/CTReply.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CDecode.h"
#include "reader/f0008/SwipCard_Lib_x/Audio/CSetting.h"
#include "standin/SimulatedReader0008.h"

namespace {

using bench::Impairment;
using nvx::reader::f0008::CDecode;
using nvx::reader::f0008::CTLineFilter;
using nvx::reader::f0008::CTParsed;
using nvx::reader::f0008::CTReply;
using nvx::reader::f0008::DecodeRecord;
using nvx::reader::f0008::ZE1601IOSetting;
using standin::Reader0008Card;
using standin::SimulatedReader0008;
using Bytes = std::vector<uint8_t>;
namespace f0008 = nvx::reader::f0008;

constexpr size_t kBlock = 1024;
constexpr double kRate = 44100.0;

// A reply the driver waits for: a KSN reply, the arming reply or a card reply (random contents,
// 16 to 127 bytes of tracks); with the step that expects it.
struct Reply {
  Bytes frame;
  int32_t step;
};

Reply randomReply(std::mt19937& gen) {
  std::uniform_int_distribution<int> byte(0, 255);
  auto randomBytes = [&](size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<uint8_t>(byte(gen));
    return b;
  };
  switch (gen() % 4) {
    case 0:
      return {SimulatedReader0008::frame(0x21, randomBytes(8)), f0008::kReplyKsn};
    case 1:
      return {SimulatedReader0008::frame(0x22, Bytes{0x00}), f0008::kReplyArmed};
    default: {
      Reader0008Card card = Reader0008Card::testCard();
      card.encryptedTracks = randomBytes(16 + gen() % 112);
      card.track2Length = static_cast<uint8_t>(byte(gen) % 40);
      card.track3Length = static_cast<uint8_t>(byte(gen) % 105);
      return {SimulatedReader0008::frame(0x23, SimulatedReader0008::cardPayload(card, randomBytes(8), randomBytes(8))),
              f0008::kReplyCard};
    }
  }
}

// The line: a lead-in, the reply (if any), a tail; every impairment applied, then 16 bits.
std::vector<int16_t> line(const Bytes& frame, const Impairment& imp, std::mt19937& gen, double leadSeconds,
                          double tailSeconds = 0.01) {
  std::vector<float> x(static_cast<size_t>(leadSeconds * kRate), 0.0f);
  const double level = imp.clip ? 1.0 : imp.gain;
  if (!frame.empty()) {
    SimulatedReader0008::render(SimulatedReader0008::replyIntervals(frame), kRate, level, imp.clock, imp.invert, x);
  }
  x.resize(x.size() + static_cast<size_t>(tailSeconds * kRate), 0.0f);
  std::normal_distribution<double> noise(0.0, level / std::pow(10.0, imp.snrDb / 20));
  const double humPhase = std::uniform_real_distribution<double>(0, 6.283185307179586)(gen);
  const double drive = imp.clip ? imp.gain : 1.0;
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    double v = drive * x[i] + noise(gen) + imp.dc +
               imp.hum * level * std::sin(6.283185307179586 * 50 * static_cast<double>(i) / kRate + humPhase);
    out[i] = static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 32767.0 / 32768.0) * 32768.0));
  }
  return out;
}

// Block by block through the driver's line filter and demodulator until its first frame: the
// bytes it made.
std::optional<Bytes> listen(std::vector<int16_t> samples) {
  ZE1601IOSetting setting;
  CDecode* decode = setting.getDecode();
  decode->reset(setting);
  CTLineFilter filter;
  DecodeRecord record;
  for (size_t at = 0; at < samples.size(); at += kBlock) {
    const size_t n = std::min(kBlock, samples.size() - at);
    filter.apply(std::span<int16_t>(samples.data() + at, n));
    record.setSamples(samples.data() + at, n);
    const int32_t status = decode->decode(record);
    if (status == f0008::kDecodeFrame) return Bytes(record.bytes.begin(), record.bytes.begin() + record.byteCount);
    if (status == f0008::kDecodeNoBytes) {
      decode->reset(setting);
      record.clear();
    }
  }
  return std::nullopt;
}

bool good(const std::optional<Bytes>& heard, const Reply& reply) {
  if (!heard || heard->size() < reply.frame.size()) return false;
  if (!std::equal(reply.frame.begin(), reply.frame.end(), heard->begin())) return false;
  return CTReply::ParseCommand(*heard, reply.step).result == f0008::kParseExpected;
}

// A frame the driver would take from noise: one that checks and is some step's reply.
bool falseFrame(const std::optional<Bytes>& heard) {
  if (!heard) return false;
  for (int32_t step : {f0008::kReplyKsn, f0008::kReplyArmed, f0008::kReplyCard}) {
    if (heard->size() >= 5 && CTReply::ParseCommand(*heard, step).result == f0008::kParseExpected) return true;
  }
  return false;
}

double uniform(std::mt19937& gen) { return std::uniform_real_distribution<double>(0, 1)(gen); }

void robustness(int packets) {
  std::printf("Reply success, %d seeded replies per row (a quarter KSN replies, a quarter arming replies,\n"
              "half card replies of 83-194 bytes; the driver's line filter and demodulator block by block,\n"
              "then the frame read against its step). Impaired: gain log-uniform over the range of the\n"
              "column (of full scale), clock +-2 %%, DC +-2 %% FS, hum up to 20 %% of the signal, polarity either way, 20 %%\n"
              "driven to 1-3x full scale and clipped. Noise only: level 12,000 (0.37 FS).\n\n", packets);
  std::printf("  SNR dB   gain 0.2-1    gain 0.3-1    noise only\n");
  for (double snr : {40.0, 30.0, 20.0, 10.0, 6.0, 3.0}) {
    double rates[3];
    int column = 0;
    for (double minGain : {0.2, 0.3, -1.0}) {
      std::mt19937 gen(static_cast<uint32_t>(snr * 1000 + column));
      int ok = 0;
      for (int p = 0; p < packets; ++p) {
        const Reply reply = randomReply(gen);
        const Impairment imp =
            minGain > 0 ? bench::drawImpairment(snr, gen, minGain) : Impairment{snr, 12000.0 / 32768.0};
        ok += good(listen(line(reply.frame, imp, gen, 0.005 + 0.02 * uniform(gen))), reply);
      }
      rates[column++] = 100.0 * ok / packets;
    }
    std::printf("  %6.0f   %9.2f %%   %9.2f %%   %8.2f %%\n", snr, rates[0], rates[1], rates[2]);
  }

  std::printf("\nGain sweep at 20 dB, no other impairment (the dead band is +-3,000 of 32,768):\n");
  for (double gain : {0.1, 0.125, 0.15, 0.2, 0.3, 0.5, 1.0}) {
    std::mt19937 gen(static_cast<uint32_t>(gain * 1e6));
    int ok = 0, n = packets / 4;
    for (int p = 0; p < n; ++p) {
      const Reply reply = randomReply(gen);
      ok += good(listen(line(reply.frame, Impairment{20, gain}, gen, 0.01)), reply);
    }
    std::printf("  gain %.3f: %6.2f %%\n", gain, 100.0 * ok / n);
  }

  std::printf("\nNoise alone (0.5 s recordings, noise 0.001-1 FS rms, some with hum and DC):\n");
  int frames = 0, accepted = 0;
  std::mt19937 gen(7);
  for (int r = 0; r < packets; ++r) {
    Impairment imp;
    imp.gain = 0.001 * std::pow(1000.0, uniform(gen));
    imp.snrDb = 0;  // noise rms = gain
    imp.hum = uniform(gen) < 0.3 ? uniform(gen) * 2 : 0;
    imp.dc = (uniform(gen) * 2 - 1) * 0.02;
    const auto heard = listen(line({}, imp, gen, 0.5));
    frames += heard.has_value();
    accepted += falseFrame(heard);
  }
  std::printf("  %d recordings: %d framed by the demodulator, %d read as a reply (false frame accepted)\n\n",
              packets, frames, accepted);
}

std::vector<int16_t> secondWithACardReply() {
  std::mt19937 gen(1);
  Reply reply = randomReply(gen);
  while (reply.step != f0008::kReplyCard) reply = randomReply(gen);
  auto samples = line(reply.frame, Impairment{20, 12000.0 / 32768.0}, gen, 0.1);
  samples.resize(static_cast<size_t>(kRate), 0);
  return samples;
}

void BM_DecodeOneSecond(benchmark::State& state) {
  const auto line = secondWithACardReply();
  ZE1601IOSetting setting;
  CDecode* decode = setting.getDecode();
  DecodeRecord record;
  CTLineFilter filter;
  for (auto _ : state) {
    auto samples = line;
    decode->reset(setting);
    filter.reset();
    record.clear();
    int frames = 0;
    for (size_t at = 0; at < samples.size(); at += kBlock) {
      const size_t n = std::min(kBlock, samples.size() - at);
      filter.apply(std::span<int16_t>(samples.data() + at, n));
      record.setSamples(samples.data() + at, n);
      if (decode->decode(record) == f0008::kDecodeFrame) {
        ++frames;
        decode->reset(setting);
        record.clear();
      }
    }
    benchmark::DoNotOptimize(frames);
  }
  state.SetLabel("line filter and demodulator over one second at 44,100 samples/s holding a card reply at 20 dB");
}
BENCHMARK(BM_DecodeOneSecond)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bench::runImpairmentBench(argc, argv, robustness); }
