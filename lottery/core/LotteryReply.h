// Reading a lottery reply: a u16 status at offset 0, then the message's fields, walked with a
// cursor. Every read is bounded by the reply: a field that would run past its end (a short reply,
// or a length or count that lies) fails the reader, and from then on every read fails too and
// gives 0 or nothing. A screen reads its fields in order and checks ok() before it uses them.
//
// Text reads give nothing also when the reader is fine but the bytes are not UTF-8 (or, for x1,
// cannot be deciphered): the field is consumed and the next one can be read, as the screens do.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lottery/core/FBEncryptorAES.h"
#include "platform/foundation/Status.h"

namespace nvx::lottery {

class LotteryReply {
 public:
  // The status of a request the server refused for this user.
  static constexpr int kRefused = 3000;

  // Keeps a copy of the reply; the cursor starts after the status.
  explicit LotteryReply(std::string_view bytes);

  // Zero bytes: what the connection stub delivers when the connection failed.
  bool isEmpty() const { return bytes_.empty(); }
  // The status; nothing for a reply shorter than two bytes.
  std::optional<int> status() const;

  uint8_t u8();
  uint16_t u16();
  // A u32 is taken as a signed 32-bit value.
  int32_t u32();
  std::optional<std::string> s1();
  std::optional<std::string> s2();
  std::optional<std::string> s4();
  // Deciphered under the codec key of the settings.
  std::optional<std::string> x1();
  // Moves past count bytes.
  void skip(size_t count);

  bool ok() const { return !error_; }
  // What went wrong first (names the field's offset); empty while ok().
  std::string error() const { return error_.value_or(std::string()); }
  size_t offset() const { return offset_; }
  size_t remaining() const { return bytes_.size() - offset_; }
  const Bytes& bytes() const { return bytes_; }

 private:
  // The next count bytes, or nothing (and the reader fails) when fewer are left.
  std::optional<std::string_view> take(size_t count, const char* what);
  std::optional<std::string_view> lengthAndBytes(size_t lengthBytes, const char* what);

  Bytes bytes_;
  size_t offset_ = 0;
  std::optional<std::string> error_;
};

// The login reply (to 1505) as the lottery root and the bet screens read it.
struct LotteryLoginReply {
  int status = 0;
  // Read when the status is not kRefused.
  std::optional<std::string> loginUid;   // the lottery user id before the result byte
  int result = 0;                        // 1 = login accepted

  // Read only when the login was accepted; texts the server sent that are not UTF-8 (or, for
  // the enciphered ones, cannot be deciphered) are absent.
  std::optional<std::string> accountUid;   // the user id again, after the two numbers
  std::optional<std::string> userName;
  std::optional<std::string> trueName;
  std::optional<std::string> sexName;      // the sex code as decimal text
  std::optional<std::string> personID;
  std::optional<std::string> numPhone;
  std::optional<std::string> zhuangHuYuE;  // balance, yuan text
  std::optional<std::string> xianJinZongE; // cash total
  std::string jiangJin;                    // prize money; "0.00" when absent
  std::optional<std::string> keTiMoney;    // withdrawable amount
  std::string dongJie;                     // frozen amount; "0.00" when absent

  bool refused() const { return status == LotteryReply::kRefused; }
  bool accepted() const { return !refused() && result == 1; }

  // An error for an empty reply and for one that ends before the fields its status and result
  // call for.
  static platform::Result<LotteryLoginReply> read(std::string_view bytes);
};

}  // namespace nvx::lottery
