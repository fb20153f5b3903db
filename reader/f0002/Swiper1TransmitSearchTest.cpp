#include "reader/f0002/Swiper1TransmitSearch.h"

#include <gtest/gtest.h>

#include <functional>

namespace nvx::reader {
namespace {

constexpr uint32_t kRate = 176400;
using Answer = Swiper1TransmitSearch::Answer;

struct Outcome {
  Swiper1SearchStep step;
  int speed = 0;
  std::vector<int> probes;
  int wakeTones = 0;
};

// Runs a search against a reader that answers each probed S with answer(S).
Outcome run(Swiper1TransmitSearch search, const std::function<Answer(int)>& answer) {
  Outcome out;
  for (int guard = 0; guard < 200; ++guard) {
    out.probes.push_back(search.speed());
    out.step = search.next(answer(search.speed()));
    if (out.step.what == Swiper1SearchStep::WakeAndProbe) ++out.wakeTones;
    if (out.step.what == Swiper1SearchStep::Done || out.step.what == Swiper1SearchStep::Failed) break;
  }
  out.speed = search.speed();
  return out;
}

std::function<Answer(int)> acceptsFrom(int minimum) {
  return [minimum](int S) { return S >= minimum ? Answer::LongTone : Answer::Other; };
}

TEST(Swiper1TransmitSearchTest, AFullSearchEndsAtAnAcceptedSpeedCloseToTheReadersMinimum) {
  // L = 176400 / 20000 = 8, U = 176400 / 2000 = 88; the first probe is (2L + U) / 3 = 34.
  Outcome first = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate), acceptsFrom(11));
  EXPECT_EQ(first.probes.front(), 34);
  EXPECT_EQ(first.probes, (std::vector<int>{34, 21, 14, 11, 9, 10, 11}));
  EXPECT_EQ(first.step.what, Swiper1SearchStep::Done);
  EXPECT_EQ(first.speed, 11);

  for (int minimum = 9; minimum < 88; ++minimum) {
    Outcome o = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate), acceptsFrom(minimum));
    ASSERT_EQ(o.step.what, Swiper1SearchStep::Done) << minimum;
    EXPECT_GE(o.speed, minimum);
    EXPECT_LE(o.speed, minimum + 2);
    EXPECT_LE(o.probes.size(), 12u) << minimum;
  }
}

TEST(Swiper1TransmitSearchTest, SlowerAndRefineStartFromTheCurrentSpeed) {
  Outcome slower = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Slower, 20, kRate), acceptsFrom(11));
  EXPECT_EQ(slower.probes, std::vector<int>{21});
  EXPECT_EQ(slower.speed, 21);

  Outcome refine = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Refine, 20, kRate), acceptsFrom(11));
  EXPECT_EQ(refine.probes, std::vector<int>{20});
  EXPECT_EQ(refine.step.what, Swiper1SearchStep::Done);

  // A refused saved speed turns the refine search into a full one.
  Outcome stale = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Refine, 12, kRate), acceptsFrom(30));
  EXPECT_EQ(stale.probes.at(1), 34);
  EXPECT_EQ(stale.step.what, Swiper1SearchStep::Done);
  EXPECT_GE(stale.speed, 30);
  EXPECT_LE(stale.speed, 32);

  // Stepping slower stops at the largest single-byte speed.
  EXPECT_EQ(Swiper1TransmitSearch(Swiper1CalibrationKind::Slower, 255, kRate).speed(), 255);
}

TEST(Swiper1TransmitSearchTest, AReaderThatRefusesEverythingBelowTheUpperBoundGivesMinus31) {
  // The upper bound U = rate / 2000 itself is never probed.
  for (int minimum : {88, 1000}) {
    Outcome o = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate), acceptsFrom(minimum));
    EXPECT_EQ(o.step.what, Swiper1SearchStep::Failed) << minimum;
    EXPECT_EQ(o.step.code, -31) << minimum;
  }
}

TEST(Swiper1TransmitSearchTest, SilenceWakesTheReaderOnceAndGivesUpAfterTheFourth) {
  Outcome o = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate), [](int) { return Answer::Silence; });
  EXPECT_EQ(o.step.what, Swiper1SearchStep::Failed);
  EXPECT_EQ(o.step.code, -30);
  EXPECT_EQ(o.probes.size(), 4u);
  EXPECT_EQ(o.wakeTones, 1);

  // The count is not reset by answers in between.
  int calls = 0;
  Outcome mixed = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate), [&](int S) {
    return ++calls % 2 == 1 ? Answer::Silence : (S >= 11 ? Answer::LongTone : Answer::Other);
  });
  EXPECT_EQ(mixed.step.code, -30);
  EXPECT_EQ(mixed.probes.size(), 7u);
}

TEST(Swiper1TransmitSearchTest, WhenTheBoundsMeetTheSearchGoesBackToTheBestSpeed) {
  // A reader that takes 34 and nothing else: the search narrows down to 33..34 without a new
  // acceptance, then tries its best speed again.
  Outcome o = run(Swiper1TransmitSearch(Swiper1CalibrationKind::Full, 20, kRate),
                  [](int S) { return S == 34 ? Answer::LongTone : Answer::Other; });
  EXPECT_EQ(o.step.what, Swiper1SearchStep::Done);
  EXPECT_EQ(o.speed, 34);
  EXPECT_EQ(o.probes, (std::vector<int>{34, 21, 27, 30, 32, 33, 34}));
}

}  // namespace
}  // namespace nvx::reader
