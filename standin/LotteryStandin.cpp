#include "standin/LotteryStandin.h"

#include <openssl/evp.h>

#include <map>
#include <mutex>

namespace standin {

namespace {

enum class Kind { U8, U16, U32, S1, S2, S4, X1 };

// The fields of each request the server reads, in their order.
const std::map<int, std::vector<Kind>>& layouts() {
  using K = Kind;
  static const std::map<int, std::vector<Kind>> kLayouts = {
      {1107, {}},
      {1213, {K::S1, K::S1, K::S2}},
      {1301, {K::S1}},
      {1505, {K::X1, K::X1, K::U8, K::S1, K::S1, K::S1, K::S1, K::S1, K::S1}},
      {1524, {K::S1, K::S1, K::S1, K::S4, K::S1, K::U8, K::S1, K::S1, K::S1, K::S4}},
  };
  return kLayouts;
}

std::string md5(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
  return std::string(reinterpret_cast<const char*>(digest), length);
}

// AES-128-ECB with PKCS#7 under the first 16 bytes of key (zero-filled); nothing on failure.
std::optional<std::string> aes(std::string_view in, std::string_view key, bool encrypt) {
  unsigned char k[16] = {};
  for (size_t i = 0; i < key.size() && i < 16; ++i) k[i] = static_cast<unsigned char>(key[i]);
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, k, nullptr, encrypt ? 1 : 0) != 1) {
    return std::nullopt;
  }
  std::string out(in.size() + 16, '\0');
  int n = 0;
  int last = 0;
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  if (EVP_CipherUpdate(ctx.get(), o, &n, reinterpret_cast<const unsigned char*>(in.data()),
                       static_cast<int>(in.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), o + n, &last) != 1) {
    return std::nullopt;
  }
  out.resize(static_cast<size_t>(n + last));
  return out;
}

// --- the server's writer ---

std::string be(uint64_t value, size_t bytes) {
  std::string out(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) out[bytes - 1 - i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}
std::string s1(std::string_view text) { return be(text.size(), 1) + std::string(text); }
std::string s4(std::string_view text) { return be(text.size(), 4) + std::string(text); }
std::string x1(std::string_view text, std::string_view key) { return s1(aes(text, key, true).value_or("")); }

// --- the server's reader: a cursor over the bytes between the header and the trailer ---

class Reader {
 public:
  Reader(std::string_view bytes, std::string_view key) : bytes_(bytes), key_(key) {}

  std::optional<std::string> field(Kind kind) {
    switch (kind) {
      case Kind::U8: return number(1);
      case Kind::U16: return number(2);
      case Kind::U32: return number(4);
      case Kind::S1: return text(1);
      case Kind::S2: return text(2);
      case Kind::S4: return text(4);
      case Kind::X1: {
        auto cipher = text(1);
        if (!cipher) return std::nullopt;
        auto plain = aes(*cipher, key_, false);
        if (!plain) error_ = "an enciphered field does not decipher";
        return plain;
      }
    }
    return std::nullopt;
  }
  std::optional<std::string> text(size_t lengthBytes) {
    auto length = take(lengthBytes);
    if (!length) return std::nullopt;
    uint64_t n = 0;
    for (unsigned char c : *length) n = (n << 8) | c;
    auto body = take(n);
    if (!body) return std::nullopt;
    return std::string(*body);
  }
  bool atEnd() const { return pos_ == bytes_.size(); }
  const std::string& error() const { return error_; }

 private:
  std::optional<std::string> number(size_t bytes) {
    auto b = take(bytes);
    if (!b) return std::nullopt;
    uint64_t n = 0;
    for (unsigned char c : *b) n = (n << 8) | c;
    return std::to_string(n);
  }
  std::optional<std::string_view> take(uint64_t n) {
    if (n > bytes_.size() - pos_) {
      error_ = "a field runs past the end of the request at offset " + std::to_string(pos_);
      return std::nullopt;
    }
    auto out = bytes_.substr(pos_, n);
    pos_ += n;
    return out;
  }

  std::string_view bytes_;
  std::string_view key_;
  size_t pos_ = 0;
  std::string error_;
};

// Reads a whole request; the message's error says why it cannot be answered.
LotteryStandin::Message readRequest(const std::string& path, std::string_view body, std::string_view key,
                                    std::string_view salt) {
  LotteryStandin::Message m;
  m.path = path;
  constexpr size_t kTrailer = 17;
  if (body.size() < 2 + kTrailer) {
    m.error = "too short for a code and a trailer";
    return m;
  }
  m.code = (static_cast<unsigned char>(body[0]) << 8) | static_cast<unsigned char>(body[1]);
  const std::string_view signedPart = body.substr(0, body.size() - kTrailer);
  const std::string_view trailer = body.substr(body.size() - kTrailer);
  m.digestOk = trailer[0] == 16 && trailer.substr(1) == md5(std::string(signedPart) + s1(salt));

  Reader reader(signedPart.substr(2), key);
  auto header = reader.text(1);
  if (!header) {
    m.error = reader.error();
    return m;
  }
  m.header = *header;
  auto layout = layouts().find(m.code);
  if (layout == layouts().end()) {
    m.error = "unknown message " + std::to_string(m.code);
    return m;
  }
  for (Kind kind : layout->second) {
    auto f = reader.field(kind);
    if (!f) {
      m.error = reader.error();
      return m;
    }
    m.fields.push_back(std::move(*f));
  }
  if (!reader.atEnd()) {
    m.error = "bytes left after the last field";
  } else if (!m.digestOk) {
    m.error = "the digest does not match";
  } else if (m.header != LotteryStandin::kHeader) {
    m.error = "unexpected header \"" + m.header + "\"";
  } else if ((m.code == 1524) != (path == LotteryStandin::kIosServicePath)) {
    m.error = "message " + std::to_string(m.code) + " on the wrong path " + path;
  }
  return m;
}

HttpStandin::Reply binary(std::string body) {
  HttpStandin::Reply r;
  r.body = std::move(body);
  r.contentType = "application/octet-stream";
  return r;
}

}  // namespace

struct LotteryStandin::State {
  mutable std::mutex mutex;
  TopUpAnswer topUp = TopUpAnswer::Normal;
  std::vector<Message> messages;
};

LotteryStandin::LotteryStandin(Settings settings)
    : StandinServer(settings.tls), settings_(std::move(settings)), state_(std::make_shared<State>()) {
  for (auto path : {kServicePath, kIosServicePath}) {
    http().route("POST", std::string(path), [this](const HttpStandin::Request& r) { return answer(r); });
  }
}

LotteryStandin::~LotteryStandin() { stop(); }

void LotteryStandin::setTopUpAnswer(TopUpAnswer answer) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->topUp = answer;
}

std::vector<LotteryStandin::Message> LotteryStandin::messages() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->messages;
}

std::optional<int64_t> LotteryStandin::fenOfYuan(std::string_view yuan) {
  const size_t dot = yuan.find('.');
  std::string_view whole = yuan.substr(0, dot);
  std::string_view cents = dot == std::string_view::npos ? std::string_view() : yuan.substr(dot + 1);
  auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
  if (whole.empty() || whole.size() > 12 || cents.size() > 2 || !digits(whole) || !digits(cents) ||
      (dot != std::string_view::npos && cents.empty())) {
    return std::nullopt;
  }
  int64_t fen = std::stoll(std::string(whole)) * 100;
  if (!cents.empty()) fen += std::stoll(std::string(cents)) * (cents.size() == 1 ? 10 : 1);
  return fen;
}

std::string LotteryStandin::topUpReply(std::string_view amountYuan, TopUpAnswer answer) const {
  if (answer == TopUpAnswer::Refused) return be(kRefused, 2) + s1("请求被拒绝");
  const Order& o = settings_.order;
  auto fen = fenOfYuan(amountYuan);
  std::string head = be(2213, 2) + s1("成功") + s1(o.merId) + s1(o.orderId) +
                     s1(fen ? std::to_string(*fen) : "0") + s1("") + s1(o.minCode) + be(static_cast<uint64_t>(o.codeType), 1);
  std::string tail = s1(o.interfaceType) + s1("") + s1("") + s1("") + s1(o.randomNumber);
  switch (answer) {
    case TopUpAnswer::OverlongMac:
      // The length counts far more bytes than follow it.
      return head + be(0x7FFFFFF0u, 4) + o.codeSign + tail;
    case TopUpAnswer::Truncated: {
      std::string whole = head + s4(o.codeSign) + tail;
      return whole.substr(0, head.size() + 4 + o.codeSign.size() / 2);
    }
    default:
      return head + s4(o.codeSign) + tail;
  }
}

std::string LotteryStandin::loginReply(bool accepted) const {
  const Account& a = settings_.account;
  const std::string& key = settings_.key;
  // Status, a byte, a u32, a u16 and a text of 13 bytes, then the server's note, the user id and
  // the result.
  std::string out = be(2505, 2) + be(0, 1) + be(1700000000u, 4) + be(1, 2) + s1("2024010112000") + s1("登录") +
                    s1(a.uid) + be(accepted ? 1 : 0, 1);
  if (!accepted) return out;
  out += be(42, 4) + be(7, 2) + s1("note") + s1(a.uid) + x1(a.userName, key) + x1(a.trueName, key) +
         be(static_cast<uint64_t>(a.sex), 1) + x1(a.personId, key) + x1(a.phone, key) + s1(a.balance) + s1(a.cash) +
         s1(a.prize) + s1(a.withdrawable) + s1(a.frozen);
  return out;
}

HttpStandin::Reply LotteryStandin::answer(const HttpStandin::Request& request) {
  Message m = readRequest(request.path, request.body, settings_.key, settings_.salt);
  TopUpAnswer topUp;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->messages.push_back(m);
    topUp = state_->topUp;
  }
  if (!m.error.empty()) return binary(be(kRefused, 2) + s1(m.error));
  switch (m.code) {
    case 1505: return binary(loginReply(m.fields[1] == kLotteryPassword));
    case 1213: return binary(topUpReply(m.fields[1], topUp));
    case 1524: return binary(be(2524, 2) + s1("投注成功") + be(1, 1));
    case 1301: return binary(be(2301, 2) + s1(""));
    default: return binary(be(kRefused, 2) + s1("not served"));
  }
}

}  // namespace standin
