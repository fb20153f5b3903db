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

// The user's live token must come with the call (in the field given) for the login name.
std::optional<HttpStandin::Reply> liveToken(Call& call, const std::string& loginName, std::string_view field = "userToken") {
  auto live = call.server().sessionToken(loginName);
  if (!live || *live != call.fieldOr(field)) {
    return call.error(MainApiStandin::kTokenExpired, std::string(MainApiStandin::kTokenExpiredText));
  }
  return std::nullopt;
}

bool isJpeg(std::string_view bytes) { return bytes.size() > 3 && bytes.substr(0, 3) == std::string_view("\xFF\xD8\xFF", 3); }
bool isPng(std::string_view bytes) { return bytes.size() > 8 && bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8); }

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

  addProfileRoutes(server);
}

void addProfileRoutes(MainApiStandin& server) {
  server.addRoute("getUserInfo/", [](Call& call) {
    const std::string phone = argument(call, 1);
    if (auto refused = liveToken(call, phone)) return *refused;
    if (call.fieldOr("verifyType") != "1") return call.error(MainApiStandin::kBadRequest, "参数错误");
    auto& state = call.feature<State>();
    const State::Identity& id = state.identities[phone];
    Json pics = Json::array();
    for (const auto& name : id.picPaths) {
      if (name.empty()) break;   // a back photo without a front one is not listed
      pics.push_back(name);
    }
    return call.ok(Json::object({{"realName", id.realName},
                                 {"email", id.email},
                                 {"idCardInfo", Json::object({{"idCardId", id.idCardId},
                                                              {"authStatus", id.authStatus},
                                                              {"authRemark", id.authRemark},
                                                              {"picPaths", std::move(pics)}})}}));
  });

  // The photo body as it is kept: JPEG, PNG or whatever a test put there.
  server.addRoute("getUserIdCardImage/", [](Call& call) {
    const std::string phone = argument(call, 1);
    if (auto refused = liveToken(call, phone)) return *refused;
    auto& state = call.feature<State>();
    auto it = state.idCardImages.find(call.fieldOr("idCardImageName"));
    if (it == state.idCardImages.end()) return call.error(MainApiStandin::kNotFound, "图片不存在");
    HttpStandin::Reply reply;
    reply.body = it->second;
    reply.contentType = isPng(it->second) ? "image/png" : "image/jpeg";
    return reply;
  });

  // Binds the reader to the user in the ownership the reader check reads, so that the next
  // check of this reader for this user answers "bound".
  server.addRoute("bindPsamCardToUser", [](Call& call) {
    if (call.request().method != "POST") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    if (auto refused = call.token("loginName")) return *refused;
    const std::string phone = call.fieldOr("loginName");
    const std::string psamNo = call.fieldOr("psamNo");
    auto& state = call.feature<State>();
    state.lastBindingFields.clear();
    for (const auto& field : call.request().formFields) state.lastBindingFields.push_back(field.first);
    if (psamNo.empty() || call.fieldOr("realName").empty() || call.fieldOr("idCardInfo.idCardId").empty() ||
        call.fieldOr("idCardType") != "ID") {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    State::Identity& id = state.identities[phone];
    id.realName = call.fieldOr("realName");
    id.idCardId = call.fieldOr("idCardInfo.idCardId");
    if (auto email = call.field("email")) id.email = *email;
    call.server().bindReader(psamNo, phone);
    return call.ok();
  });

  server.addRoute("updateUserInfo/", [](Call& call) {
    if (call.request().method != "PUT") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    if (auto refused = liveToken(call, phone)) return *refused;
    if (call.fieldOr("realName").empty() || call.fieldOr("idCardId").empty() || call.fieldOr("idCardType") != "ID") {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    State::Identity& id = call.feature<State>().identities[phone];
    if (id.authStatus == "APPLY" || id.authStatus == "PASS") return call.error(MainApiStandin::kBadRequest, "资料审核中或已通过，不能修改");
    id.realName = call.fieldOr("realName");
    id.idCardId = call.fieldOr("idCardId");
    if (auto email = call.field("email")) id.email = *email;
    return call.ok();
  });

  // The photos as JPEG file parts (one or both); they become the user's photos.
  server.addRoute("securityLevelUpQuery/", [](Call& call) {
    if (call.request().method != "PUT") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    if (auto refused = liveToken(call, phone)) return *refused;
    return call.ok(Json::object({{"status", call.feature<State>().upgradeStatus[phone]}}));
  });

  // An application needs identity data under review or confirmed, and none waiting already.
  server.addRoute("securityLevelUpApply/", [](Call& call) {
    if (call.request().method != "PUT") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    if (auto refused = liveToken(call, phone)) return *refused;
    if (call.fieldOr("levelCode") != "S01" || call.fieldOr("applyReason").empty()) {
      return call.error(MainApiStandin::kBadRequest, "参数错误");
    }
    auto& state = call.feature<State>();
    const std::string auth = state.identities[phone].authStatus;
    if (auth != "APPLY" && auth != "PASS") return call.error(MainApiStandin::kBadRequest, "用户资料不完整");
    if (!state.upgradeStatus[phone].empty()) return call.error(MainApiStandin::kBadRequest, "已经申请");
    state.upgradeStatus[phone] = "APPLY";
    state.upgradeReasons[phone] = call.fieldOr("applyReason");
    return call.ok();
  });

  // The seam's identity check reads the query and URL-encoded fields only: a multipart call's
  // uid and vercode are plain parts, checked here.
  auto salt = MainApiStandin::projectVercodeSalt();
  const std::string vercodeSalt = salt.isOk() ? salt.value() : std::string(fixture::kVercodeSalt);
  server.addRoute("idCardImageUpload/", [vercodeSalt](Call& call) {
    const auto uid = call.request().formValue("uid");
    if (!uid || uid->empty() || call.request().formValue("vercode") != MainApiStandin::vercodeFor(*uid, vercodeSalt)) {
      return call.error(MainApiStandin::kIdentityRefused, "身份校验失败");
    }
    if (call.request().method != "POST") return call.error(MainApiStandin::kBadRequest, "请求方式错误");
    const std::string phone = argument(call, 1);
    const HttpStandin::Part* front = nullptr;
    const HttpStandin::Part* back = nullptr;
    for (const auto& part : call.request().parts) {
      if (part.name == "positiveImage" && !part.filename.empty()) front = &part;
      if (part.name == "nagativeImage" && !part.filename.empty()) back = &part;
    }
    if (!front && !back) return call.error(MainApiStandin::kBadRequest, "缺少身份证照片");
    if ((front && !isJpeg(front->content)) || (back && !isJpeg(back->content))) {
      return call.error(MainApiStandin::kBadRequest, "照片格式错误");
    }
    auto& state = call.feature<State>();
    auto& upload = state.uploads[phone];
    State::Identity& id = state.identities[phone];
    id.picPaths.resize(2);
    if (front) {
      upload.front = *front;
      id.picPaths[0] = phone + "-positive.jpg";
      state.idCardImages[id.picPaths[0]] = front->content;
    }
    if (back) {
      upload.back = *back;
      id.picPaths[1] = phone + "-nagative.jpg";
      state.idCardImages[id.picPaths[1]] = back->content;
    }
    // Under review once both photos are there.
    if (!id.picPaths[0].empty() && !id.picPaths[1].empty()) id.authStatus = "APPLY";
    return call.ok();
  }, MainApiStandin::RouteOptions{.identity = false});
}

}  // namespace standin
