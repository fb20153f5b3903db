#include "net/RandomUtil.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <thread>
#include <vector>

namespace nvx {
namespace {

TEST(RandomUtilTest, Random16HexsUsesEveryUpperCaseHexDigitAboutEqually) {
  std::map<char, int> counts;
  constexpr int kDraws = 1000;
  for (int i = 0; i < kDraws; ++i) {
    const std::string hex = RandomUtil::random16Hexs();
    ASSERT_EQ(hex.size(), 16u);
    ASSERT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    for (char c : hex) ++counts[c];
  }
  ASSERT_EQ(counts.size(), 16u);
  // 16000 digits: 1000 expected each, a standard deviation of about 31.
  for (auto [digit, count] : counts) {
    EXPECT_GT(count, 800) << digit;
    EXPECT_LT(count, 1200) << digit;
  }
  EXPECT_NE(RandomUtil::random16Hexs(), RandomUtil::random16Hexs());
}

TEST(RandomUtilTest, RandomIntCoversItsRangeEvenly) {
  struct Case {
    int64_t n;
    int draws;
  } cases[] = {{1, 50}, {2, 2000}, {7, 7000}, {62, 31000}};
  for (const auto& c : cases) {
    std::vector<int> counts(static_cast<size_t>(c.n));
    for (int i = 0; i < c.draws; ++i) {
      int64_t v = RandomUtil::randomInt(c.n);
      ASSERT_GE(v, 0);
      ASSERT_LT(v, c.n);
      ++counts[static_cast<size_t>(v)];
    }
    const double expected = static_cast<double>(c.draws) / static_cast<double>(c.n);
    for (size_t v = 0; v < counts.size(); ++v) {
      EXPECT_NEAR(counts[v], expected, expected * 0.25 + 5) << "n=" << c.n << " value " << v;
    }
  }
}

TEST(RandomUtilTest, RandomIntOfNoRangeIsZeroAndHugeRangesStayInside) {
  for (int64_t n : {int64_t{0}, int64_t{-1}, std::numeric_limits<int64_t>::min()}) {
    EXPECT_EQ(RandomUtil::randomInt(n), 0) << n;
  }
  for (int i = 0; i < 100; ++i) {
    const int64_t v = RandomUtil::randomInt(std::numeric_limits<int64_t>::max());
    EXPECT_GE(v, 0);
    EXPECT_LT(v, std::numeric_limits<int64_t>::max());
  }
}

TEST(RandomUtilTest, FloatsStayBelowTheirBound) {
  double sum = 0;
  for (int i = 0; i < 10000; ++i) {
    const double f = RandomUtil::randomFloatZeroToOne();
    ASSERT_GE(f, 0.0);
    ASSERT_LT(f, 1.0);
    sum += f;
    const double g = RandomUtil::randomFloat(62);
    ASSERT_GE(g, 0.0);
    ASSERT_LT(g, 62.0);
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.02);
  EXPECT_EQ(RandomUtil::randomFloat(0), 0.0);
}

TEST(RandomUtilTest, WorkerThreadsDrawWithoutALock) {
  std::vector<std::thread> threads;
  std::vector<std::string> results(4);
  for (size_t t = 0; t < results.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 200; ++i) results[t] = RandomUtil::random16Hexs();
    });
  }
  for (auto& t : threads) t.join();
  for (const auto& r : results) EXPECT_EQ(r.size(), 16u);
}

}  // namespace
}  // namespace nvx
