#include "lottery/core/LotteryReply.h"

#include <gtest/gtest.h>

#include <functional>

#include "lottery/core/TopUpOrder.h"
#include "lottery/core/testing/LotteryCipherOracle.h"
#include "standin/LotteryStandin.h"

namespace nvx::lottery {
namespace {

using standin::LotteryStandin;
using testing::aes128Ecb;

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(LotteryReplyTest, StatusOfShortAndEmptyReplies) {
  struct Case {
    std::string reply;
    std::optional<int> status;
  } cases[] = {
      {"", std::nullopt}, {bytes({0x08}), std::nullopt}, {bytes({0x0B, 0xB8}), 3000}, {bytes({0x08, 0xFD, 0}), 2301},
  };
  for (const auto& c : cases) {
    LotteryReply reply(c.reply);
    EXPECT_EQ(reply.status(), c.status) << c.reply.size();
    EXPECT_EQ(reply.ok(), c.status.has_value());
    EXPECT_EQ(reply.isEmpty(), c.reply.empty());
  }
}

// A reply with one field of every kind, and what the reader gives for it.
const std::string kEveryKind = bytes({0x08, 0xFD}) + bytes({3}) + "msg" + bytes({200}) + bytes({0x01, 0x02}) +
                               bytes({0xFF, 0xFF, 0xFF, 0xFE}) + bytes({6}) + "彩票" + bytes({0, 2}) + "ab" +
                               bytes({0, 0, 1, 0}) + std::string(256, 'm') + bytes({16}) +
                               aes128Ecb("密", "pzkwmrtvbnqhxlcj") + bytes({0});

void readEveryKind(LotteryReply& r, bool expectOk) {
  auto message = r.s1();
  auto u8 = r.u8();
  auto u16 = r.u16();
  auto u32 = r.u32();
  auto s1 = r.s1();
  auto s2 = r.s2();
  auto s4 = r.s4();
  auto x1 = r.x1();
  auto empty = r.s1();
  ASSERT_EQ(r.ok(), expectOk) << r.error();
  if (!expectOk) return;
  EXPECT_EQ(message, "msg");
  EXPECT_EQ(u8, 200);
  EXPECT_EQ(u16, 258);
  EXPECT_EQ(u32, -2);
  EXPECT_EQ(s1, "彩票");
  EXPECT_EQ(s2, "ab");
  EXPECT_EQ(s4, std::string(256, 'm'));
  EXPECT_EQ(x1, "密");
  EXPECT_EQ(empty, "");
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(LotteryReplyTest, ReadsEveryFieldKindAndFailsOnEveryShortReply) {
  LotteryReply whole(kEveryKind);
  readEveryKind(whole, true);
  // Cut anywhere inside, the walk fails instead of reading on.
  for (size_t size = 2; size < kEveryKind.size(); ++size) {
    LotteryReply cut(std::string_view(kEveryKind).substr(0, size));
    readEveryKind(cut, false);
    EXPECT_LE(cut.offset(), size);
  }
}

TEST(LotteryReplyTest, LyingLengthsFailAndEverythingAfterThemReadsNothing) {
  struct Case {
    const char* what;
    std::string fields;
    std::function<bool(LotteryReply&)> read;  // true when the read gave something
  } cases[] = {
      {"s1 beyond the end", bytes({200}) + "abc", [](LotteryReply& r) { return r.s1().has_value(); }},
      {"s2 beyond the end", bytes({0x01, 0x00}) + "abc", [](LotteryReply& r) { return r.s2().has_value(); }},
      {"s4 of 2^31-1", bytes({0x7F, 0xFF, 0xFF, 0xFF}) + "abc", [](LotteryReply& r) { return r.s4().has_value(); }},
      {"s4 negative", bytes({0xFF, 0xFF, 0xFF, 0xF0}) + "abc", [](LotteryReply& r) { return r.s4().has_value(); }},
      {"x1 beyond the end", bytes({32}) + std::string(16, 'x'), [](LotteryReply& r) { return r.x1().has_value(); }},
      {"u32 of 3 bytes", bytes({1, 2, 3}), [](LotteryReply& r) { return r.u32() != 0; }},
      {"skip past the end", "ab", [](LotteryReply& r) { r.skip(3); return false; }},
  };
  for (const auto& c : cases) {
    LotteryReply reply(bytes({0x08, 0xA5}) + c.fields);
    EXPECT_FALSE(c.read(reply)) << c.what;
    EXPECT_FALSE(reply.ok()) << c.what;
    EXPECT_FALSE(reply.error().empty()) << c.what;
    // Nothing more comes out, even where bytes are left.
    EXPECT_EQ(reply.u8(), 0) << c.what;
    EXPECT_EQ(reply.s1(), std::nullopt) << c.what;
  }
}

TEST(LotteryReplyTest, UnreadableTextsAreSkippedAndTheWalkGoesOn) {
  // x1 whose bytes do not decipher (not whole blocks, then wrong padding) and an s1 that is not
  // UTF-8: each read gives nothing, the next field is read from the right place.
  const std::string reply = bytes({0x08, 0xA5}) + bytes({5}) + "abcde" + bytes({16}) + std::string(16, 'z') +
                            bytes({1, 0xFF}) + bytes({2}) + "ok";
  LotteryReply r(reply);
  EXPECT_EQ(r.x1(), std::nullopt);
  EXPECT_EQ(r.x1(), std::nullopt);
  EXPECT_EQ(r.s1(), std::nullopt);
  EXPECT_EQ(r.s1(), "ok");
  EXPECT_TRUE(r.ok()) << r.error();
}

TEST(LotteryReplyTest, LoginReplies) {
  LotteryStandin server;
  auto accepted = LotteryLoginReply::read(server.loginReply(true));
  ASSERT_TRUE(accepted) << accepted.error();
  EXPECT_TRUE(accepted->accepted());
  EXPECT_EQ(accepted->loginUid, "70001");
  EXPECT_EQ(accepted->accountUid, "70001");
  EXPECT_EQ(accepted->userName, "lottery-user");
  EXPECT_EQ(accepted->trueName, "张三");
  EXPECT_EQ(accepted->sexName, "1");
  EXPECT_EQ(accepted->personID, "110101199001011234");
  EXPECT_EQ(accepted->numPhone, "13800000000");
  EXPECT_EQ(accepted->zhuangHuYuE, "120.50");
  EXPECT_EQ(accepted->xianJinZongE, "100.00");
  EXPECT_EQ(accepted->jiangJin, "20.50");
  EXPECT_EQ(accepted->keTiMoney, "100.00");
  EXPECT_EQ(accepted->dongJie, "0.00");

  // A status other than 3000 with the result 0 is a refused login; nothing after it is read.
  auto wrongPassword = LotteryLoginReply::read(server.loginReply(false));
  ASSERT_TRUE(wrongPassword) << wrongPassword.error();
  EXPECT_FALSE(wrongPassword->accepted());
  EXPECT_FALSE(wrongPassword->refused());
  EXPECT_EQ(wrongPassword->userName, std::nullopt);

  auto refused = LotteryLoginReply::read(bytes({0x0B, 0xB8}));
  ASSERT_TRUE(refused) << refused.error();
  EXPECT_TRUE(refused->refused());
  EXPECT_FALSE(refused->accepted());

  EXPECT_FALSE(LotteryLoginReply::read(""));
  // Cut anywhere before its last field, an accepted login is no login.
  const std::string whole = server.loginReply(true);
  for (size_t size = 2; size < whole.size(); ++size) {
    EXPECT_FALSE(LotteryLoginReply::read(std::string_view(whole).substr(0, size))) << size;
  }

  // Prize and frozen amounts that are not UTF-8 read as "0.00".
  std::string odd = whole;
  odd.replace(odd.size() - 5, 5, bytes({4, 0xFF, 0xFE, 0xFD, 0xFC}));
  auto zero = LotteryLoginReply::read(odd);
  ASSERT_TRUE(zero) << zero.error();
  EXPECT_EQ(zero->dongJie, "0.00");
}

TEST(LotteryReplyTest, TopUpOrderReplies) {
  LotteryStandin server;
  using Answer = LotteryStandin::TopUpAnswer;
  auto order = TopUpOrder::read(server.topUpReply("100.00", Answer::Normal));
  ASSERT_TRUE(order) << order.error();
  EXPECT_EQ(order->merId, "898000000000001");
  EXPECT_EQ(order->orderId, "JVQ20240101000001");
  EXPECT_EQ(order->amount, "10000");
  EXPECT_EQ(order->minCode, "MC01");
  EXPECT_EQ(order->codeType, "1");
  EXPECT_EQ(order->codeSign, std::string(300, 'A'));  // beyond what a length byte counts
  EXPECT_EQ(order->interfaceType, "2.0");
  EXPECT_EQ(order->randomNumber, "93847561");

  struct Case {
    const char* what;
    std::string reply;
  } failures[] = {
      {"empty", ""},
      {"refused", server.topUpReply("100", Answer::Refused)},
      {"truncated", server.topUpReply("100", Answer::Truncated)},
      {"MAC length beyond the reply", server.topUpReply("100", Answer::OverlongMac)},
      {"another answer", bytes({0x08, 0xFD, 0})},
  };
  for (const auto& c : failures) EXPECT_FALSE(TopUpOrder::read(c.reply)) << c.what;
}

}  // namespace
}  // namespace nvx::lottery
