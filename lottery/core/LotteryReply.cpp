#include "lottery/core/LotteryReply.h"

#include <algorithm>

namespace nvx::lottery {

namespace {

// The big-endian bytes of a field reversed, as byteToNum takes them.
int32_t bigEndianValue(std::string_view bytes) {
  std::string reversed(bytes.rbegin(), bytes.rend());
  return FBEncryptorAES::byteToNum(reversed);
}

}  // namespace

LotteryReply::LotteryReply(std::string_view bytes) : bytes_(bytes) {
  if (bytes_.size() < 2) {
    error_ = bytes_.empty() ? "the reply is empty" : "the reply ends before its status";
  }
  offset_ = std::min<size_t>(2, bytes_.size());
}

std::optional<int> LotteryReply::status() const {
  if (bytes_.size() < 2) return std::nullopt;
  return bigEndianValue(std::string_view(bytes_).substr(0, 2));
}

std::optional<std::string_view> LotteryReply::take(size_t count, const char* what) {
  if (error_) return std::nullopt;
  if (count > remaining()) {
    error_ = std::string("the reply ends inside the ") + what + " at offset " + std::to_string(offset_) + " (" +
             std::to_string(count) + " bytes wanted, " + std::to_string(remaining()) + " left)";
    return std::nullopt;
  }
  std::string_view out = std::string_view(bytes_).substr(offset_, count);
  offset_ += count;
  return out;
}

uint8_t LotteryReply::u8() {
  auto b = take(1, "u8 field");
  return b ? static_cast<uint8_t>(bigEndianValue(*b)) : 0;
}

uint16_t LotteryReply::u16() {
  auto b = take(2, "u16 field");
  return b ? static_cast<uint16_t>(bigEndianValue(*b)) : 0;
}

int32_t LotteryReply::u32() {
  auto b = take(4, "u32 field");
  return b ? bigEndianValue(*b) : 0;
}

std::optional<std::string_view> LotteryReply::lengthAndBytes(size_t lengthBytes, const char* what) {
  const size_t at = offset_;
  auto length = take(lengthBytes, what);
  if (!length) return std::nullopt;
  const int32_t n = bigEndianValue(*length);
  if (n < 0) {
    error_ = std::string("the ") + what + " at offset " + std::to_string(at) + " has a negative length";
    return std::nullopt;
  }
  return take(static_cast<size_t>(n), what);
}

std::optional<std::string> LotteryReply::s1() {
  auto b = lengthAndBytes(1, "s1 text");
  return b ? FBEncryptorAES::byteToStrOneAndN(*b, 0, b->size()) : std::nullopt;
}

std::optional<std::string> LotteryReply::s2() {
  auto b = lengthAndBytes(2, "s2 text");
  return b ? FBEncryptorAES::byteToStrOneAndN(*b, 0, b->size()) : std::nullopt;
}

std::optional<std::string> LotteryReply::s4() {
  auto b = lengthAndBytes(4, "s4 text");
  return b ? FBEncryptorAES::byteToStrOneAndN(*b, 0, b->size()) : std::nullopt;
}

std::optional<std::string> LotteryReply::x1() {
  auto b = lengthAndBytes(1, "x1 text");
  return b ? FBEncryptorAES::byteToStrOneAndNJiaMi(*b, 0, b->size()) : std::nullopt;
}

void LotteryReply::skip(size_t count) { (void)take(count, "skipped bytes"); }

platform::Result<LotteryLoginReply> LotteryLoginReply::read(std::string_view bytes) {
  LotteryReply reply(bytes);
  if (!reply.ok()) return platform::Status::error("login reply: " + reply.error());
  LotteryLoginReply out;
  out.status = *reply.status();
  if (out.refused()) return out;

  // A byte, a u32, a u16 and a text of 13 bytes behind its length byte: the next field is
  // always taken at offset 23, whatever that length byte says.
  reply.skip(21);
  reply.s1();
  out.loginUid = reply.s1();
  out.result = reply.u8();
  if (!reply.ok()) return platform::Status::error("login reply: " + reply.error());
  if (out.result != 1) return out;

  reply.u32();
  reply.u16();
  reply.s1();
  out.accountUid = reply.s1();
  out.userName = reply.x1();
  out.trueName = reply.x1();
  out.sexName = std::to_string(reply.u8());
  out.personID = reply.x1();
  out.numPhone = reply.x1();
  out.zhuangHuYuE = reply.s1();
  out.xianJinZongE = reply.s1();
  out.jiangJin = reply.s1().value_or("0.00");
  out.keTiMoney = reply.s1();
  out.dongJie = reply.s1().value_or("0.00");
  if (!reply.ok()) return platform::Status::error("login reply: " + reply.error());
  return out;
}

}  // namespace nvx::lottery
