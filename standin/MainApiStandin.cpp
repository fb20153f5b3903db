#include "standin/MainApiStandin.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>

#include "platform/foundation/Log.h"
#include "platform/foundation/Sandbox.h"

namespace standin {

namespace {

using platform::Json;
using Fields = std::vector<HttpStandin::Field>;

constexpr std::string_view kTag = "MainApiStandin";
constexpr std::string_view kTermLoginBusid = "M10003";
constexpr std::string_view kCheckinBusid = "M10002";

// Transaction calls the server protects with a MAC (looked for in the method name).
constexpr std::array<std::string_view, 8> kProtectedMethods = {
    "queryTrans",    "commitTransaction", "queryRemitTrans", "commitRemitTransaction",
    "updateKTWItem", "activeEWallet",     "payPwdSwitch",    "resetPayPwd"};

// The MAC fields in order; "fee" closes the list of the commit calls.
constexpr std::array<std::string_view, 11> kMacFields = {"busid", "termid", "tdtm",  "series",  "rnd",   "pan",
                                                         "inpan", "billno", "amount", "retcode", "sysref"};

std::string upperHex(const uint8_t* data, size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0x0F]);
  }
  return out;
}

std::optional<std::vector<uint8_t>> hexBytes(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  auto value = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::vector<uint8_t> out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = value(hex[i]);
    int lo = value(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi << 4 | lo));
  }
  return out;
}

// Triple DES (EDE3, ECB, no padding) of whole 8-byte blocks under k1|k2|k3. With k1 = k2 = k3 it
// is single DES, which the default provider has no other way to offer.
bool ede3(bool encrypt, const uint8_t* k1, const uint8_t* k2, const uint8_t* k3, uint8_t* data, size_t size) {
  std::array<uint8_t, 24> key{};
  std::copy(k1, k1 + 8, key.begin());
  std::copy(k2, k2 + 8, key.begin() + 8);
  std::copy(k3, k3 + 8, key.begin() + 16);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  bool ok = ctx && EVP_CipherInit_ex2(ctx, EVP_des_ede3_ecb(), key.data(), nullptr, encrypt ? 1 : 0, nullptr) == 1 &&
            EVP_CIPHER_CTX_set_padding(ctx, 0) == 1;
  int n = 0;
  ok = ok && EVP_CipherUpdate(ctx, data, &n, data, static_cast<int>(size)) == 1 && static_cast<size_t>(n) == size;
  EVP_CIPHER_CTX_free(ctx);
  OPENSSL_cleanse(key.data(), key.size());
  return ok;
}

std::string randomKeyHex() {
  std::array<uint8_t, 16> bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) return {};
  std::string hex = upperHex(bytes.data(), bytes.size());
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return hex;
}

std::optional<std::string> fieldOf(const Fields& fields, std::string_view key) {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  return std::nullopt;
}

// The server's character filter of MAC values: trimmed, then only ASCII letters and digits, ".",
// " " and ",".
std::string filtered(std::string_view value) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
  while (!value.empty() && isBlank(value.front())) value.remove_prefix(1);
  while (!value.empty() && isBlank(value.back())) value.remove_suffix(1);
  std::string out;
  for (char c : value) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x80 && (std::isalnum(u) || c == '.' || c == ' ' || c == ',')) out.push_back(c);
  }
  return out;
}

Json envelope(std::string_view retCode, const std::optional<std::string>& errMsg,
              const std::optional<Json>& retData) {
  Json status = Json::object();
  status["retCode"] = retCode;
  if (errMsg) status["errMsg"] = *errMsg;
  Json body = Json::object();
  body["retStatus"] = std::move(status);
  if (retData) body["retData"] = *retData;
  return body;
}

HttpStandin::Reply jsonReply(const Json& body) { return HttpStandin::Reply::json(platform::json::dump(body)); }

Json defaultUnits() {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kUnits = {{
      {"0001", "音频刷卡器 一代"},
      {"0002", "音频刷卡器 二代"},
      {"0003", "音频刷卡器 三代"},
      {"0004", "音频刷卡器 四代"},
      {"0005", "音频刷卡器 五代"},
      {"0006", "音频刷卡器 六代"},
      {"0007", "无线刷卡盒"},
      {"0008", "音频刷卡器 八代"},
  }};
  Json list = Json::array();
  for (const auto& [id, name] : kUnits) {
    Json u = Json::object();
    u["platType"] = "ios";
    u["unitid"] = id;
    u["unitname"] = name;
    u["unitdesc"] = name;
    u["state"] = "1";
    list.push_back(std::move(u));
  }
  return list;
}

}  // namespace

struct MainApiStandin::State {
  struct Session {
    std::string token;
    bool expired = false;
  };
  struct ScriptEntry {
    Scripted scripted;
    int remaining = -1;
  };

  std::mutex mutex;
  std::map<std::string, Session, std::less<>> sessions;
  Json clientVersions = Json::array();
  std::map<std::pair<std::string, std::string>, Json> parameters;
  Json units = defaultUnits();
  std::map<std::string, std::string, std::less<>> readerOwners;
  std::map<std::string, Json, std::less<>> queryTransData;
  int tpkEntryCount = 1;
  bool checkinPiks = true;
  bool checkinMacs = true;
  std::map<std::string, IssuedKeys, std::less<>> keys;
  std::map<std::string, ScriptEntry, std::less<>> scripts;
  std::vector<Verdict> verdicts;
};

// --- Scripted ---

MainApiStandin::Scripted MainApiStandin::Scripted::error(std::string retCode, std::string errMsg) {
  Scripted s;
  s.kind = Kind::Envelope;
  s.retCode = std::move(retCode);
  s.errMsg = std::move(errMsg);
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::tokenExpired(std::string retCode) {
  return error(std::move(retCode), "登录已失效，请重新登录");
}

MainApiStandin::Scripted MainApiStandin::Scripted::success(platform::Json retData) {
  Scripted s;
  s.kind = Kind::Envelope;
  s.retCode = std::string(kOk);
  s.errMsg = "成功";
  s.retData = std::move(retData);
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::successWithoutData() {
  Scripted s;
  s.kind = Kind::Envelope;
  s.retCode = std::string(kOk);
  s.errMsg = "成功";
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::rawBody(std::string body, int status, std::string contentType) {
  Scripted s;
  s.kind = Kind::Body;
  s.body = std::move(body);
  s.status = status;
  s.contentType = std::move(contentType);
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::htmlErrorPage(int status) {
  return rawBody("<html><head><title>" + std::to_string(status) +
                     " Internal Server Error</title></head><body><h1>Internal Server Error</h1></body></html>",
                 status, "text/html; charset=utf-8");
}

MainApiStandin::Scripted MainApiStandin::Scripted::dropConnection() {
  Scripted s;
  s.kind = Kind::DropConnection;
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::slow(std::chrono::milliseconds delay) {
  Scripted s;
  s.kind = Kind::Normal;
  s.delay = delay;
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::heldReply() {
  Scripted s;
  s.kind = Kind::Normal;
  s.held = true;
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::after(std::chrono::milliseconds wait) const {
  Scripted s = *this;
  s.delay = wait;
  return s;
}

// --- Settings ---

platform::Result<std::string> MainApiStandin::projectVercodeSalt() {
  const platform::Path settingsFile = platform::Sandbox::bundle() / "client-settings.json";
  auto text = platform::fs::read(settingsFile);
  if (!text) return platform::Status::error("cannot read " + settingsFile.string());
  auto json = platform::json::parse(*text);
  auto salt = json ? platform::json::text(*json, "vercodeSalt") : std::nullopt;
  if (!salt || salt->empty()) return platform::Status::error("no vercodeSalt in " + settingsFile.string());
  return *salt;
}

platform::Result<MainApiStandin::Settings> MainApiStandin::Settings::fromProjectFiles() {
  auto salt = projectVercodeSalt();
  if (!salt) return platform::Status::error(salt.error());
  const platform::Path keyFile =
      platform::Sandbox::bundle().parent_path() / "core" / "testdata" / "transport-key.txt";
  auto key = platform::fs::read(keyFile);
  if (!key) return platform::Status::error("cannot read " + keyFile.string());
  std::string keyHex = *key;
  while (!keyHex.empty() && std::isspace(static_cast<unsigned char>(keyHex.back()))) keyHex.pop_back();
  if (keyHex.size() != 32 || !hexBytes(keyHex)) {
    return platform::Status::error("the transport key must be 32 hex digits: " + keyFile.string());
  }
  Settings settings;
  settings.vercodeSalt = salt.value();
  settings.transportKey = keyHex;
  return settings;
}

// --- computations ---

std::string MainApiStandin::vercodeFor(std::string_view uid, std::string_view salt) {
  std::string input(uid);
  input.append(salt);
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_Digest(input.data(), input.size(), digest.data(), &length, EVP_md5(), nullptr) != 1) return {};
  std::string hex = upperHex(digest.data(), length);
  std::transform(hex.begin(), hex.end(), hex.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return hex;
}

std::string MainApiStandin::retailMac(std::string_view text, std::string_view keyHex) {
  auto key = keyHex.size() == 32 ? hexBytes(keyHex) : std::nullopt;
  if (!key || text.empty()) return {};
  const uint8_t* a = key->data();
  const uint8_t* b = key->data() + 8;
  std::string padded(text);
  padded.resize((padded.size() + 7) / 8 * 8, '\0');
  std::array<uint8_t, 8> v{};
  for (size_t at = 0; at < padded.size(); at += 8) {
    for (size_t i = 0; i < 8; ++i) v[i] ^= static_cast<uint8_t>(padded[at + i]);
    // CBC single DES under the left half; the last block then D under the right half, E under
    // the left (EDE with k1 = A, k2 = B, k3 = A).
    const bool last = at + 8 == padded.size();
    if (!ede3(true, a, last ? b : a, a, v.data(), v.size())) return {};
  }
  std::string mac = upperHex(v.data(), v.size());
  OPENSSL_cleanse(key->data(), key->size());
  return mac;
}

std::string MainApiStandin::wrapKey(std::string_view clearHex, std::string_view keyHex) {
  auto key = keyHex.size() == 32 ? hexBytes(keyHex) : std::nullopt;
  auto data = hexBytes(clearHex);
  if (!key || !data || data->empty() || data->size() % 8 != 0) return {};
  if (!ede3(true, key->data(), key->data() + 8, key->data(), data->data(), data->size())) return {};
  std::string out = upperHex(data->data(), data->size());
  OPENSSL_cleanse(data->data(), data->size());
  OPENSSL_cleanse(key->data(), key->size());
  return out;
}

std::string MainApiStandin::unwrapKey(std::string_view wrappedHex, std::string_view keyHex) {
  auto key = keyHex.size() == 32 ? hexBytes(keyHex) : std::nullopt;
  auto data = hexBytes(wrappedHex);
  if (!key || !data || data->empty() || data->size() % 8 != 0) return {};
  if (!ede3(false, key->data(), key->data() + 8, key->data(), data->data(), data->size())) return {};
  std::string out = upperHex(data->data(), data->size());
  OPENSSL_cleanse(data->data(), data->size());
  OPENSSL_cleanse(key->data(), key->size());
  return out;
}

std::string MainApiStandin::macInputOf(const Fields& fields, bool withFee) {
  const bool publicTransport = std::any_of(fields.begin(), fields.end(), [](const HttpStandin::Field& f) {
    return f.second == "M80003" || f.second == "M80004";
  });
  std::vector<std::string_view> names(kMacFields.begin(), kMacFields.end());
  if (publicTransport) names.front() = "subbusid";
  if (withFee) names.push_back("fee");
  std::string input;
  for (std::string_view name : names) {
    for (const auto& [k, v] : fields) {
      if (k != name) continue;
      if (!input.empty()) input.push_back(' ');
      input += filtered(v);
    }
  }
  return input;
}

// --- the server ---

MainApiStandin::MainApiStandin(Settings settings)
    : StandinServer(settings.tls), settings_(std::move(settings)), state_(std::make_shared<State>()) {
  http().route("*", std::string(kApiPath) + "*", [this](const HttpStandin::Request& r) { return handle(r); });
}

MainApiStandin::~MainApiStandin() { stop(); }

platform::Status MainApiStandin::start() {
  if (settings_.vercodeSalt.empty()) return platform::Status::error("the main-API stand-in needs a vercode salt");
  if (settings_.transportKey.size() != 32 || !hexBytes(settings_.transportKey)) {
    return platform::Status::error("the main-API stand-in needs a 32-digit transport key");
  }
  return StandinServer::start();
}

std::string MainApiStandin::apiBaseAddress() const { return baseUrl() + std::string(kApiPath); }

void MainApiStandin::addSession(std::string loginName, std::string userToken) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->sessions[std::move(loginName)] = State::Session{std::move(userToken), false};
}

void MainApiStandin::expireSession(const std::string& loginName) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  if (auto it = state_->sessions.find(loginName); it != state_->sessions.end()) it->second.expired = true;
}

void MainApiStandin::setClientVersions(platform::Json list) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->clientVersions = std::move(list);
}

void MainApiStandin::setParameter(std::string key, std::string dictCode, platform::Json retData) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->parameters[{std::move(key), std::move(dictCode)}] = std::move(retData);
}

void MainApiStandin::setUnits(platform::Json list) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->units = std::move(list);
}

void MainApiStandin::bindReader(std::string psamNo, std::string loginName) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->readerOwners[std::move(psamNo)] = std::move(loginName);
}

void MainApiStandin::setQueryTransData(std::string busid, platform::Json retData) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->queryTransData[std::move(busid)] = std::move(retData);
}

void MainApiStandin::setTpkEntryCount(int count) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->tpkEntryCount = std::max(0, count);
}

void MainApiStandin::setCheckinKeyLists(bool piks, bool macs) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->checkinPiks = piks;
  state_->checkinMacs = macs;
}

void MainApiStandin::script(std::string method, Scripted scripted, int times) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->scripts[std::move(method)] = State::ScriptEntry{std::move(scripted), times};
}

void MainApiStandin::clearScripts() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->scripts.clear();
}

std::optional<MainApiStandin::IssuedKeys> MainApiStandin::issuedKeys(const std::string& termid) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  auto it = state_->keys.find(termid);
  if (it == state_->keys.end()) return std::nullopt;
  return it->second;
}

std::vector<MainApiStandin::Verdict> MainApiStandin::verdicts() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->verdicts;
}

std::optional<MainApiStandin::Verdict> MainApiStandin::lastVerdict(std::string_view method) const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  for (auto it = state_->verdicts.rbegin(); it != state_->verdicts.rend(); ++it) {
    if (it->method == method) return *it;
  }
  return std::nullopt;
}

HttpStandin::Reply MainApiStandin::handle(const HttpStandin::Request& request) {
  // "/iphone/<method>[/<argument>].json"
  std::string_view call = std::string_view(request.path).substr(kApiPath.size());
  constexpr std::string_view kJson = ".json";
  if (call.size() <= kJson.size() || call.substr(call.size() - kJson.size()) != kJson) {
    return HttpStandin::Reply::text("<html><body><h1>404 Not Found</h1></body></html>", 404);
  }
  call.remove_suffix(kJson.size());
  const std::string method(call.substr(0, call.find('/')));

  // Fields from the query and the form, query first (GET calls carry everything in the query).
  Fields fields = request.queryFields;
  fields.insert(fields.end(), request.formFields.begin(), request.formFields.end());
  auto field = [&](std::string_view key) { return fieldOf(fields, key); };

  Verdict verdict;
  verdict.method = method;
  {
    auto uid = field("uid");
    auto vercode = field("vercode");
    verdict.identityOk = uid && vercode && !uid->empty() && *vercode == vercodeFor(*uid, settings_.vercodeSalt);
  }

  std::optional<Scripted> scripted;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (auto it = state_->scripts.find(method); it != state_->scripts.end()) {
      scripted = it->second.scripted;
      if (it->second.remaining > 0 && --it->second.remaining == 0) state_->scripts.erase(it);
    }
  }
  if (scripted && scripted->delay.count() > 0) {
    if (http().holdUntilStopped(scripted->delay)) return HttpStandin::Reply::text("stopped", 503);
  }
  if (scripted && scripted->held) {
    if (http().holdUntilReleased()) return HttpStandin::Reply::text("stopped", 503);
  }
  auto record = [&](std::string_view retCode) {
    verdict.retCode = retCode;
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->verdicts.push_back(verdict);
  };
  if (scripted) {
    switch (scripted->kind) {
      case Scripted::Kind::Envelope:
        record(scripted->retCode);
        return jsonReply(envelope(scripted->retCode, scripted->errMsg, scripted->retData));
      case Scripted::Kind::Body: {
        record("");
        HttpStandin::Reply reply = HttpStandin::Reply::text(scripted->body, scripted->status);
        reply.contentType = scripted->contentType;
        return reply;
      }
      case Scripted::Kind::DropConnection: {
        // One chunk of a chunked body, then the connection closes without the closing chunk:
        // the client sees the connection break in the middle of the reply.
        record("");
        const std::string partial = "{\"retStatus\":{\"retCo";
        char size[16];
        std::snprintf(size, sizeof size, "%zX\r\n", partial.size());
        HttpStandin::Reply reply = HttpStandin::Reply::json(size + partial);
        reply.headers.emplace_back("Transfer-Encoding", "chunked");
        return reply;
      }
      case Scripted::Kind::Normal:
        break;
    }
  }

  auto refuse = [&](std::string_view code, std::string message) {
    record(code);
    return jsonReply(envelope(code, std::move(message), std::nullopt));
  };
  auto succeed = [&](Json retData) {
    record(kOk);
    return jsonReply(envelope(kOk, std::string("成功"), std::move(retData)));
  };

  if (!verdict.identityOk) return refuse(kIdentityRefused, "非法请求");

  // A call on behalf of a user ("mobile" and "userToken") needs the user's live token.
  auto checkSession = [&]() -> std::optional<HttpStandin::Reply> {
    auto mobile = field("mobile");
    auto token = field("userToken");
    std::lock_guard<std::mutex> lock(state_->mutex);
    auto it = mobile ? state_->sessions.find(*mobile) : state_->sessions.end();
    if (it == state_->sessions.end() || !token || it->second.token != *token || it->second.expired) {
      verdict.retCode = kTokenExpired;
      state_->verdicts.push_back(verdict);
      return jsonReply(envelope(kTokenExpired, std::string("登录已失效，请重新登录"), std::nullopt));
    }
    return std::nullopt;
  };

  // Protected calls: the MAC over the fixed fields under the MAC key issued to the terminal.
  const bool isProtected =
      std::any_of(kProtectedMethods.begin(), kProtectedMethods.end(), [&](std::string_view p) { return method == p; }) &&
      (method != "updateKTWItem" || field("payType") == "1");
  if (isProtected) {
    if (auto refused = checkSession()) return *refused;
    const bool withFee = method == "commitTransaction" || method == "commitRemitTransaction";
    verdict.macInput = macInputOf(request.formFields, withFee);
    auto termid = field("termid");
    std::optional<std::string> macKey;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (auto it = termid ? state_->keys.find(*termid) : state_->keys.end();
          it != state_->keys.end() && !it->second.mac.empty()) {
        macKey = it->second.mac;
      }
    }
    if (!macKey) {
      verdict.macOk = false;
      return refuse(kNotSignedIn, "终端未签到");
    }
    auto mac = field("mac");
    verdict.macOk = mac && mac->size() == 8 && *mac == retailMac(verdict.macInput, *macKey).substr(0, 8);
    if (!*verdict.macOk) return refuse(kMacRefused, "MAC校验失败");
  }

  if (method == "login" || method == "checkin") {
    if (request.method != "POST") return refuse(kBadRequest, "请求方式错误");
    if (auto refused = checkSession()) return *refused;
    const std::string_view wanted = method == "login" ? kTermLoginBusid : kCheckinBusid;
    auto busid = field("busid");
    auto termid = field("termid");
    if (busid != wanted || !termid || termid->empty()) return refuse(kBadRequest, "参数错误");
    std::lock_guard<std::mutex> lock(state_->mutex);
    Json data = Json::object();
    if (method == "login") {
      IssuedKeys keys;
      keys.tpk = randomKeyHex();
      Json list = Json::array();
      for (int i = 0; i < state_->tpkEntryCount; ++i) {
        // Entries after the first belong to other terminals and are never the terminal's key.
        std::string id = i == 0 ? *termid : *termid + "-" + std::to_string(i);
        std::string clear = i == 0 ? keys.tpk : randomKeyHex();
        list.push_back(Json::object({{id, wrapKey(clear, settings_.transportKey)}}));
      }
      state_->keys[*termid] = keys;   // a new login replaces the terminal's keys
      data["TPKs"] = std::move(list);
    } else {
      auto it = state_->keys.find(*termid);
      if (it == state_->keys.end() || it->second.tpk.empty()) {
        verdict.retCode = kNotSignedIn;
        state_->verdicts.push_back(verdict);
        return jsonReply(envelope(kNotSignedIn, std::string("终端未登录"), std::nullopt));
      }
      it->second.pik = randomKeyHex();
      it->second.mac = randomKeyHex();
      if (state_->checkinPiks) {
        data["PIKs"] = Json::array({Json::object({{*termid, wrapKey(it->second.pik, it->second.tpk)}})});
      }
      if (state_->checkinMacs) {
        data["MACs"] = Json::array({Json::object({{*termid, wrapKey(it->second.mac, it->second.tpk)}})});
      }
    }
    verdict.retCode = kOk;
    state_->verdicts.push_back(verdict);
    return jsonReply(envelope(kOk, std::string("成功"), std::move(data)));
  }

  if (method == "queryTrans") {
    Json data = Json::object();
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (auto it = state_->queryTransData.find(field("busid").value_or("")); it != state_->queryTransData.end()) {
        data = it->second;
      }
    }
    return succeed(std::move(data));
  }
  if (method == "getShuakaqiList") {
    if (!field("version")) return refuse(kBadRequest, "缺少版本号");
    std::lock_guard<std::mutex> lock(state_->mutex);
    Json list = state_->clientVersions;
    verdict.retCode = kOk;
    state_->verdicts.push_back(verdict);
    return jsonReply(envelope(kOk, std::string("成功"), std::move(list)));
  }
  if (method == "getParameter") {
    auto key = field("key");
    if (!key) return refuse(kBadRequest, "缺少参数名");
    std::optional<Json> value;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      auto it = state_->parameters.find({*key, field("dictCode").value_or("")});
      if (it != state_->parameters.end()) value = it->second;
    }
    if (!value) return refuse(kNotFound, "参数不存在");
    return succeed(std::move(*value));
  }
  if (method == "getBusiDesc") {
    auto busId = field("busId");
    if (!busId || busId->empty()) return refuse(kBadRequest, "参数错误");
    return succeed(Json::array({Json::object({{"aContent", std::string(kBusiDesc)}})}));
  }
  if (method == "getUnitListNew") {
    Json list;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      list = state_->units;
    }
    return succeed(std::move(list));
  }
  if (method == "checkUserDeviceInfo") {
    auto loginName = field("loginName");
    auto psamNo = field("psamNo");
    if (!loginName || loginName->empty() || !psamNo || psamNo->empty()) return refuse(kBadRequest, "参数错误");
    std::string state = "0";   // a reader nobody owns yet
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      if (auto it = state_->readerOwners.find(*psamNo); it != state_->readerOwners.end()) {
        state = it->second == *loginName ? "1" : "-2";
      }
    }
    Json data = Json::object();
    data["state"] = state;
    return succeed(std::move(data));
  }
  platform::log::info(kTag, "no handling for " + method);
  record("");
  return HttpStandin::Reply::text("<html><body><h1>404 Not Found</h1></body></html>", 404);
}

}  // namespace standin
