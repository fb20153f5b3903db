#include "reader/f0002/Swiper1ReceiveSearch.h"

#include <gtest/gtest.h>

#include <functional>

namespace nvx::reader {
namespace {

using Answer = Swiper1ReceiveSearch::Answer;

struct Outcome {
  Swiper1SearchStep step;
  int speed = 0;
  std::vector<int> probes;
};

Outcome run(Swiper1ReceiveSearch search, const std::function<Answer(int)>& answer) {
  Outcome out;
  for (int guard = 0; guard < 200; ++guard) {
    out.probes.push_back(search.speed());
    out.step = search.next(answer(search.speed()));
    if (out.step.what == Swiper1SearchStep::Done || out.step.what == Swiper1SearchStep::Failed) break;
  }
  out.speed = search.speed();
  return out;
}

std::function<Answer(int)> decodableFrom(int minimum) {
  return [minimum](int F) { return F >= minimum ? Answer::Good : Answer::Bad; };
}

TEST(Swiper1ReceiveSearchTest, AFullSearchHalvesDownTowardsTheSmallestDecodableCode) {
  Outcome clean = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Full, 7), decodableFrom(7));
  EXPECT_EQ(clean.probes, (std::vector<int>{23, 15, 11, 9}));
  EXPECT_EQ(clean.step.what, Swiper1SearchStep::Done);
  EXPECT_EQ(clean.speed, 9);

  for (int minimum = 8; minimum < 57; ++minimum) {
    Outcome o = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Full, 7), decodableFrom(minimum));
    ASSERT_EQ(o.step.what, Swiper1SearchStep::Done) << minimum;
    EXPECT_GE(o.speed, minimum);
    EXPECT_LE(o.speed, minimum + 2);
  }
  // The upper bound 57 itself is never tried.
  Outcome never = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Full, 7), decodableFrom(57));
  EXPECT_EQ(never.step.what, Swiper1SearchStep::Failed);
  EXPECT_EQ(never.step.code, -33);
}

TEST(Swiper1ReceiveSearchTest, SlowerAndRefineStartFromTheCurrentCode) {
  EXPECT_EQ(run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Slower, 9), decodableFrom(7)).probes, std::vector<int>{10});
  Outcome refine = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Refine, 9), decodableFrom(7));
  EXPECT_EQ(refine.probes, std::vector<int>{9});
  EXPECT_EQ(refine.step.what, Swiper1SearchStep::Done);

  Outcome stale = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Refine, 9), decodableFrom(30));
  EXPECT_EQ(stale.probes.at(1), 23) << "the first failure turns refine into a full search";
  EXPECT_EQ(stale.step.what, Swiper1SearchStep::Done);
  EXPECT_GE(stale.speed, 30);
}

TEST(Swiper1ReceiveSearchTest, ATooShortAnswerIsAskedAgainOnceThenCountsAsBad) {
  int calls = 0;
  Outcome once = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Refine, 9), [&](int) {
    return ++calls == 1 ? Answer::TooShort : Answer::Good;
  });
  EXPECT_EQ(once.probes, (std::vector<int>{9, 9}));
  EXPECT_EQ(once.speed, 9);

  calls = 0;
  Outcome twice = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Refine, 9), [&](int) {
    return ++calls <= 2 ? Answer::TooShort : Answer::Good;
  });
  EXPECT_EQ(twice.probes.at(2), 23) << "the second too-short answer failed the refine search";
}

TEST(Swiper1ReceiveSearchTest, SilenceGivesMinus32OnTheThirdQuietAnswer) {
  Outcome silent = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Full, 7), [](int) { return Answer::Silence; });
  EXPECT_EQ(silent.step.code, -32);
  EXPECT_EQ(silent.probes.size(), 3u);

  // Too short and silence share the count.
  int calls = 0;
  Outcome mixed = run(Swiper1ReceiveSearch(Swiper1CalibrationKind::Full, 7), [&](int) {
    return ++calls == 1 ? Answer::TooShort : Answer::Silence;
  });
  EXPECT_EQ(mixed.step.code, -32);
  EXPECT_EQ(mixed.probes.size(), 3u);
}

}  // namespace
}  // namespace nvx::reader
