#include "standin/mainapi/PartnerRoutes.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <memory>

#include "standin/mainapi/BusidRules.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kNotBound = "1089";
constexpr std::string_view kNoUser = "1002";
constexpr std::string_view kUnknownChannel = "3101";
constexpr std::string_view kBadSign = "3102";
constexpr std::string_view kReplayed = "3103";
constexpr std::string_view kUndecipherable = "3104";
constexpr std::string_view kNoSuchInquiry = "3002";
constexpr std::string_view kPaid = "3005";
constexpr const char* kMerchantName = "测试商户";

std::string base64(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

std::optional<std::string> unbase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return std::nullopt;
  std::string out(text.size() / 4 * 3, '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (n < 0) return std::nullopt;
  size_t size = static_cast<size_t>(n);
  if (text.ends_with("==")) size -= 2;
  else if (text.ends_with("=")) size -= 1;
  out.resize(size);
  return out;
}

std::string hmacHex(const std::string& key, std::string_view data) {
  unsigned char mac[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(data.data()),
       data.size(), mac, &size);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned int i = 0; i < size; ++i) {
    out += kHex[mac[i] >> 4];
    out += kHex[mac[i] & 15];
  }
  return out;
}

// AES-256-CBC; the 16-byte IV goes in front of the cipher text.
std::optional<std::string> crypt(const std::string& key, std::string_view input, bool encrypt) {
  if (key.size() != 32) return std::nullopt;
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  unsigned char iv[16];
  if (encrypt) {
    if (RAND_bytes(iv, sizeof iv) != 1) return std::nullopt;
  } else {
    if (input.size() < 32 || input.size() % 16 != 0) return std::nullopt;
    std::copy_n(input.begin(), 16, iv);
    input.remove_prefix(16);
  }
  const auto* k = reinterpret_cast<const unsigned char*>(key.data());
  if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_aes_256_cbc(), nullptr, k, iv, encrypt ? 1 : 0) != 1) {
    return std::nullopt;
  }
  std::string out(input.size() + 16, '\0');
  int n = 0;
  int tail = 0;
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  if (EVP_CipherUpdate(ctx.get(), o, &n, reinterpret_cast<const unsigned char*>(input.data()),
                       static_cast<int>(input.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), o + n, &tail) != 1) {
    return std::nullopt;
  }
  out.resize(static_cast<size_t>(n + tail));
  return encrypt ? std::string(reinterpret_cast<const char*>(iv), 16) + out : out;
}

HttpStandin::Reply paramsVerify(Call& call) {
  auto& state = call.feature<PartnerState>();
  auto channel = state.channels.find(call.fieldOr("channelNo"));
  if (channel == state.channels.end()) return call.error(kUnknownChannel, "渠道不存在");
  const std::string params = call.fieldOr("params");
  const std::string sign = call.fieldOr("sign");
  const std::string expected = hmacHex(channel->second.signKey, params);
  if (params.empty() || sign.size() != expected.size() ||
      CRYPTO_memcmp(sign.data(), expected.data(), expected.size()) != 0) {
    return call.error(kBadSign, "签名验证失败");
  }
  if (!state.seenSigns.insert(sign).second) return call.error(kReplayed, "报文已使用");
  auto bytes = unbase64(params);
  auto clear = bytes && call.fieldOr("crypType") == "AES" ? crypt(channel->second.cipherKey, *bytes, false)
                                                          : std::nullopt;
  auto content = clear ? platform::json::parse(*clear) : std::nullopt;
  if (!content || !content->is_object()) return call.error(kUndecipherable, "报文解密失败");
  return call.ok(*content);
}

// The bound account of a partner's user, with a new session for it.
HttpStandin::Reply boundAccount(Call& call, const std::string& orgId) {
  auto& state = call.feature<PartnerState>();
  const std::string orgUserId = call.fieldOr("orgUserId");
  if (orgId.empty() || orgUserId.empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
  if (state.unknownUsers.count(orgId)) return call.error(kNoUser, "用户不存在");
  auto bound = state.bindings.find(orgUserId);
  if (bound == state.bindings.end()) return call.error(kNotBound, "未绑定账户");
  const std::string token = "partner-token-" + std::to_string(++state.issued);
  call.server().addSession(bound->second, token);
  return call.ok(Json{{"userId", 7000 + state.issued}, {"userToken", token}, {"loginName", bound->second}});
}

std::string segment(const Call& call) { return call.segments().size() > 1 ? call.segments()[1] : std::string(); }

HttpStandin::Reply createMerchantBillImpl(Call& call) {
  auto& state = call.feature<PartnerState>();
  std::map<std::string, std::string> query;
  // The first of a name, as the route reads it (the request hook appends fields of its own).
  for (const auto& [k, v] : call.request().queryFields) query.emplace(k, v);
  state.billRequests.push_back(query);
  const std::string amount = call.fieldOr("amount");
  if (call.fieldOr("merId").empty() || call.fieldOr("orderId").empty() || call.fieldOr("mac").empty()) {
    return call.error(MainApiStandin::kBadRequest, "订单信息不全");
  }
  if (call.fieldOr("ver") != "20060301") return call.error(MainApiStandin::kBadRequest, "版本错误");
  if (amount.empty() || amount.size() > 12 || amount.find_first_not_of("0123456789") != std::string::npos) {
    return call.error(MainApiStandin::kBadRequest, "金额错误");
  }
  PartnerState::Bill bill;
  bill.merId = call.fieldOr("merId");
  bill.orderId = call.fieldOr("orderId");
  bill.lpmercd = call.fieldOr("lpmercd", bill.merId);
  bill.amountFen = std::stoll(amount);
  std::string number = std::to_string(++state.issued);
  number = "CB" + std::string(8 - std::min<size_t>(8, number.size()), '0') + number;
  state.bills[number] = bill;
  return call.ok(Json{{"billno", number}, {"cnSName", kMerchantName}});
}

// The merchant bills' inquiry and commit, before the rules that were there.
void judgeMerchantBills(MainApiStandin& server) {
  auto& rules = server.feature<BusidRules>();
  BusidRules::Inquiry inquiryBefore = rules.inquiries["M50005"];
  rules.inquiries["M50005"] = [inquiryBefore](Call& call) -> HttpStandin::Reply {
    auto& bills = call.feature<PartnerState>().bills;
    auto bill = bills.find(call.fieldOr("billno"));
    if (bill == bills.end()) {
      if (inquiryBefore) return inquiryBefore(call);
      return call.error(MainApiStandin::kNotFound, "账单不存在");
    }
    auto fen = Call::amount12(call.fieldOr("amount"));
    if (!fen || *fen != bill->second.amountFen) return call.error(MainApiStandin::kBadRequest, "金额不符");
    if (bill->second.paid) return call.error(kPaid, "订单已支付");
    bill->second.sid = "CS" + std::to_string(++call.feature<PartnerState>().issued);
    return call.ok(Json{{"sid", bill->second.sid},
                        {"billno", bill->first},
                        {"price", bill->second.amountFen},
                        {"content", "订单" + bill->second.orderId}});
  };
  BusidRules::CommitCheck commitBefore = rules.commits["M20013"];
  rules.commits["M20013"] = [commitBefore](Call& call, std::optional<int64_t>& fen) -> Call::Refusal {
    auto& bills = call.feature<PartnerState>().bills;
    auto bill = bills.find(call.fieldOr("billno"));
    if (bill == bills.end()) return commitBefore ? commitBefore(call, fen) : std::nullopt;
    if (bill->second.sid.empty() || call.fieldOr("srcsid") != bill->second.sid) {
      return call.error(kNoSuchInquiry, "查询流水号不存在");
    }
    if (!fen || *fen != bill->second.amountFen) return call.error(MainApiStandin::kBadRequest, "金额不符");
    if (call.fieldOr("lpmercd", bill->second.lpmercd) != bill->second.lpmercd) {
      return call.error(MainApiStandin::kBadRequest, "商户号不符");
    }
    if (bill->second.paid) return call.error(kPaid, "订单已支付");
    bill->second.paid = true;
    return std::nullopt;
  };
}

}  // namespace

HttpStandin::Reply createMerchantBill(Call& call) { return createMerchantBillImpl(call); }

void addPartnerRoutes(MainApiStandin& server) {
  server.addRoute("paramsVerify", paramsVerify);
  server.addRoute("userVerifyBind/", [](Call& call) {
    if (segment(call) != call.fieldOr("orgId")) return call.error(MainApiStandin::kBadRequest, "参数错误");
    return boundAccount(call, segment(call));
  });
  server.addRoute("thirdPartyVerifyBind", [](Call& call) { return boundAccount(call, call.fieldOr("orgId")); });
  server.addRoute("thirdPartyRediectRegiste/", [](Call& call) {
    const std::string loginName = segment(call);
    const std::string orgUserId = call.fieldOr("orgUserId");
    if (loginName.empty() || orgUserId.empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    // Only an account that has just logged in is bound.
    if (!call.server().sessionToken(loginName)) return call.error(MainApiStandin::kTokenExpired, "用户未登录");
    call.feature<PartnerState>().bindings[orgUserId] = loginName;
    return call.ok();
  });
  server.addRoute("thirdPartyUnbind", [](Call& call) {
    if (call.feature<PartnerState>().bindings.erase(call.fieldOr("orgUserId")) == 0) {
      return call.error(kNotBound, "未绑定账户");
    }
    return call.ok();
  });
  server.addRoute("zhaoHangVerify", [](Call& call) {
    if (call.fieldOr("sResponseXml").empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    auto& reply = call.feature<PartnerState>().zhaoHangReply;
    if (!reply) return call.error(kBadSign, "报文验证失败");
    return call.ok(*reply);
  });
  auto lock = server.lock();
  judgeMerchantBills(server);
}

std::string partnerMessage(MainApiStandin& server, const std::string& channel, const std::string& funcNo,
                           const Json& content) {
  PartnerState::Channel keys;
  {
    auto lock = server.lock();
    auto& channels = server.feature<PartnerState>().channels;
    if (auto it = channels.find(channel); it != channels.end()) keys = it->second;
  }
  const std::string params = base64(crypt(keys.cipherKey, platform::json::dump(content), true).value_or(""));
  Json message{{"funcNo", funcNo},  {"params", params},     {"charset", "UTF-8"},  {"channelCode", channel},
               {"crypType", "AES"}, {"sign", hmacHex(keys.signKey, params)}, {"versionCode", "1.0"}};
  return base64(platform::json::dump(message));
}

}  // namespace standin
