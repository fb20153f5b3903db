#include "standin/mainapi/AccountRoutes.h"

#include <png.h>

#include <openssl/rand.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Text16.h"
#include "standin/StandinFixture.h"
#include "standin/mainapi/MainApiState.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;
using State = mainapi::AccountState;

// Random characters of the alphabet (OpenSSL's generator).
std::string randomText(std::string_view alphabet, size_t length) {
  std::vector<unsigned char> bytes(length);
  RAND_bytes(bytes.data(), static_cast<int>(bytes.size()));
  std::string out;
  for (unsigned char b : bytes) out.push_back(alphabet[b % alphabet.size()]);
  return out;
}

std::string digits(size_t n) { return randomText("0123456789", n); }
std::string token() { return randomText("abcdefghijklmnopqrstuvwxyz0123456789", 16); }

bool isPhone(std::string_view text) {
  return text.size() == 11 && text[0] == '1' && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isPasswordLength(std::string_view password) {
  const size_t n = platform::u16len(password);
  return n >= 6 && n <= 20;
}

// The path argument at index (1 = after the method), without a ".do" ending.
std::string argument(const Call& call, size_t index) {
  if (call.segments().size() <= index) return {};
  std::string arg = call.segments()[index];
  if (arg.size() > 3 && arg.ends_with(".do")) arg.resize(arg.size() - 3);
  return arg;
}

// A picture of the check code: pale stripes with dark marks, one group per character, as PNG.
std::string picturePng(std::string_view code) {
  const int w = account::kPictureWidth;
  const int h = account::kPictureHeight;
  std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint8_t* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
      const size_t slot = static_cast<size_t>(x) * code.size() / static_cast<size_t>(w);
      const int mark = slot < code.size() ? static_cast<unsigned char>(code[slot]) : 0;
      const bool ink = ((x + mark) % 7 < 2) && y > 5 && y < h - 5;
      p[0] = ink ? 40 : static_cast<uint8_t>(220 - (y % 4) * 8);
      p[1] = ink ? 40 : 230;
      p[2] = ink ? 90 : 240;
      p[3] = 255;
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr)) return {};
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

// Fields of a form in the order given, first of all: a registration form that lists them
// differently is refused.
bool startsWith(const MainApiStandin::Fields& fields, std::initializer_list<std::string_view> names) {
  size_t i = 0;
  for (auto name : names) {
    if (i >= fields.size() || fields[i].first != name) return false;
    ++i;
  }
  return true;
}

Json profileOf(const State::User& user, const std::string& userToken) {
  return Json::object({{"hasPwd", "0"},
                       {"pan", ""},
                       {"giftno", ""},
                       {"amount", 0},
                       {"limitAmount", "0"},
                       {"status", "0"},
                       {"psamNo", user.psamNo},
                       {"isAsk", "0"},
                       {"custlev", "1"},
                       {"couponUrl", ""},
                       {"userToken", userToken},
                       {"userId", user.userId}});
}

}  // namespace

namespace mainapi {

std::optional<std::string> AccountState::lastSmsCode(std::string_view phone) const {
  // A new message replaces the number's earlier codes, so there is at most one.
  for (const auto& [tok, sms] : smsCodes) {
    if (sms.phone == phone) return sms.code;
  }
  return std::nullopt;
}

}  // namespace mainapi

void addAccountRoutes(MainApiStandin& server) {
  {
    auto lock = server.lock();
    auto& state = server.feature<State>();
    state.users[std::string(fixture::kLoginName)] =
        State::User{std::string(fixture::kPassword), "1000", std::string(fixture::kVirtualTermid)};
  }

  server.addRoute("getUserLoginState/", [](Call& call) {
    const std::string phone = argument(call, 1);
    const std::string hex = call.fieldOr("password");
    // The client sends PKCS#1 v1.5 under the password key as upper-case hex digits.
    if (hex.empty() || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
      return call.error(MainApiStandin::kBadRequest, "密码格式错误");
    }
    auto password = call.password(hex);
    if (!password.isOk()) return call.error(MainApiStandin::kBadRequest, "密码无法解密");
    auto& state = call.feature<State>();
    auto it = state.users.find(phone);
    if (it == state.users.end()) return call.error(account::kUnregistered, "该号码尚未注册");
    if (it->second.password != password.value()) return call.error(account::kWrongPassword, "密码错误");
    const std::string userToken = token();
    call.server().addSession(phone, userToken);
    return call.ok(profileOf(it->second, userToken));
  });

  server.addRoute("getLoginNameState/", [](Call& call) {
    const std::string phone = argument(call, 1);
    if (!isPhone(phone)) return call.error(MainApiStandin::kBadRequest, "号码格式错误");
    auto& state = call.feature<State>();
    if (state.users.count(phone)) return call.error(account::kRegistered, "该号码已注册");
    return call.error(account::kUnregistered, "该号码尚未注册");
  });

  server.addRoute("getMobileVerifyCode/", [](Call& call) {
    const std::string phone = argument(call, 1);
    const std::string type = call.fieldOr("smsType");
    if (!isPhone(phone) || (type != "1" && type != "2")) return call.error(MainApiStandin::kBadRequest, "参数错误");
    auto& state = call.feature<State>();
    const bool registered = state.users.count(phone) > 0;
    if (type == "1" && registered) return call.error(account::kRegistered, "该号码已注册");
    if (type == "2" && !registered) return call.error(account::kUnregistered, "该号码尚未注册");
    // A new message replaces the number's earlier codes.
    std::erase_if(state.smsCodes, [&](const auto& entry) { return entry.second.phone == phone; });
    const std::string tok = token();
    state.smsCodes[tok] = State::SmsCode{phone, type, digits(6), false};
    return call.ok(Json::object({{"token", tok}}));
  });

  server.addRoute("getMobileVerifyState/", [](Call& call) {
    auto& state = call.feature<State>();
    auto it = state.smsCodes.find(argument(call, 1));
    if (it == state.smsCodes.end() || it->second.code != argument(call, 2)) {
      return call.error(account::kWrongCode, "验证码错误");
    }
    it->second.confirmed = true;
    return call.ok();
  });

  server.addRoute("getVerCodeImg/", [](Call& call) {
    const std::string tok = argument(call, 1);
    if (tok.empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    const std::string code = digits(4);
    call.feature<State>().pictureCodes[tok] = code;
    HttpStandin::Reply reply;
    reply.body = picturePng(code);
    reply.contentType = "image/png";
    return reply;
  });

  server.addRoute("getImgVerCodeVerifyResult/", [](Call& call) {
    auto& state = call.feature<State>();
    auto it = state.pictureCodes.find(argument(call, 1));
    const bool right = it != state.pictureCodes.end() && it->second == argument(call, 2);
    if (it != state.pictureCodes.end()) state.pictureCodes.erase(it);  // a picture's code counts once
    if (!right) return call.error(account::kWrongCode, "校验码错误");
    return call.ok();
  });

  server.addRoute("resetUserPassword/", [](Call& call) {
    if (call.request().method != "PUT") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    auto& state = call.feature<State>();
    auto sms = state.smsCodes.find(call.fieldOr("token"));
    if (sms == state.smsCodes.end() || !sms->second.confirmed || sms->second.phone != phone ||
        sms->second.smsType != "2") {
      return call.error(account::kNotVerified, "验证码未验证");
    }
    auto user = state.users.find(phone);
    if (user == state.users.end()) return call.error(account::kUnregistered, "该号码尚未注册");
    const std::string password = call.fieldOr("password");
    if (!isPasswordLength(password) || call.fieldOr("pwdSecLevel").empty()) {
      return call.error(MainApiStandin::kBadRequest, "密码格式错误");
    }
    user->second.password = password;
    state.smsCodes.erase(sms);
    call.server().expireSession(phone);
    return call.ok();
  });

  server.addRoute("walletregister/", [](Call& call) {
    if (call.request().method != "POST") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    const auto& form = call.request().formFields;
    if (!startsWith(form, {"password", "pwdSecLevel", "realName", "idCardType", "idCardId", "email", "series", "uid",
                           "vercode"}) ||
        call.fieldOr("idCardType") != "ID") {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    const std::string series = call.fieldOr("series");
    if (series.size() != 6 || series.find_first_not_of("0123456789") != std::string::npos) {
      return call.error(MainApiStandin::kBadRequest, "流水号错误");
    }
    auto& state = call.feature<State>();
    if (state.users.count(phone)) return call.error(account::kRegistered, "该号码已注册");
    const bool verified = std::any_of(state.smsCodes.begin(), state.smsCodes.end(), [&](const auto& entry) {
      return entry.second.phone == phone && entry.second.smsType == "1" && entry.second.confirmed;
    });
    if (!verified) return call.error(account::kNotVerified, "验证码未验证");
    const std::string password = call.fieldOr("password");
    if (!isPasswordLength(password)) return call.error(MainApiStandin::kBadRequest, "密码格式错误");
    State::User user{password, std::to_string(state.nextUserId++), "V" + digits(15)};
    state.users[phone] = user;
    std::erase_if(state.smsCodes, [&](const auto& entry) { return entry.second.phone == phone; });
    const std::string userToken = token();
    call.server().addSession(phone, userToken);
    return call.ok(Json::object({{"userId", user.userId}, {"userToken", userToken}, {"psamNo", user.psamNo}}));
  });

  server.addRoute("updateUserPwd/", [](Call& call) {
    if (call.request().method != "PUT") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    auto live = call.server().sessionToken(phone);
    if (!live || *live != call.fieldOr("token")) {
      return call.error(MainApiStandin::kTokenExpired, std::string(MainApiStandin::kTokenExpiredText));
    }
    auto& state = call.feature<State>();
    auto user = state.users.find(phone);
    if (user == state.users.end()) return call.error(account::kUnregistered, "该号码尚未注册");
    if (user->second.password != call.fieldOr("password")) return call.error(account::kWrongPassword, "原密码错误");
    const std::string newPassword = call.fieldOr("newPassword");
    if (!isPasswordLength(newPassword)) return call.error(MainApiStandin::kBadRequest, "新密码格式错误");
    user->second.password = newPassword;
    call.server().expireSession(phone);
    return call.ok();
  });
}

}  // namespace standin
