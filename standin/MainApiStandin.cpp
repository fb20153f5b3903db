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
#include "standin/mainapi/Hex.h"
#include "standin/mainapi/MainApiState.h"

namespace standin {

namespace {

using platform::Json;
using Fields = std::vector<HttpStandin::Field>;

constexpr std::string_view kTag = "MainApiStandin";
constexpr std::string_view kNotFoundPage = "<html><body><h1>404 Not Found</h1></body></html>";

// The MAC fields in order; "fee" closes the list of the commit calls.
constexpr std::array<std::string_view, 11> kMacFields = {"busid", "termid", "tdtm",  "series",  "rnd",   "pan",
                                                         "inpan", "billno", "amount", "retcode", "sysref"};

using mainapi::hexBytes;
using mainapi::upperHex;

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

}  // namespace

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
  const std::string reason = status == 502   ? "Bad Gateway"
                             : status == 503 ? "Service Unavailable"
                             : status == 504 ? "Gateway Time-out"
                                             : "Internal Server Error";
  return rawBody("<html><head><title>" + std::to_string(status) + " " + reason + "</title></head><body><h1>" +
                     reason + "</h1></body></html>",
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

MainApiStandin::Scripted MainApiStandin::Scripted::processingFirst() const {
  Scripted s = *this;
  s.processFirst = true;
  return s;
}

MainApiStandin::Scripted MainApiStandin::Scripted::httpStatus(int status) { return htmlErrorPage(status); }

MainApiStandin::Scripted MainApiStandin::Scripted::badJson() {
  return rawBody("{\"retStatus\":{\"retCode\":\"0000\",\"errMsg\":");
}

MainApiStandin::Scripted MainApiStandin::Scripted::dropAfterProcessing() {
  return dropConnection().processingFirst();
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
  // The private halves of the public keys the bundle's settings give the client.
  auto privateKey = [&](const char* name) -> platform::Result<RsaKeyPair> {
    const platform::Path file = keyFile.parent_path() / name;
    auto pem = platform::fs::read(file);
    if (!pem) return platform::Status::error("cannot read " + file.string());
    auto pair = RsaKeyPair::fromPrivatePem(*pem);
    if (!pair) return platform::Status::error(pair.error() + ": " + file.string());
    return pair;
  };
  auto pin = privateKey("pin-private.pem");
  if (!pin) return platform::Status::error(pin.error());
  auto password = privateKey("password-private.pem");
  if (!password) return platform::Status::error(password.error());
  settings.pinKey = std::move(pin.value());
  settings.passwordKey = std::move(password.value());
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
  state_->units = mainapi::defaultUnits();
  mainapi::addAllRoutes(*this);
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
  std::lock_guard lock(state_->mutex);
  state_->sessions[std::move(loginName)] = State::Session{std::move(userToken), false};
}

std::optional<std::string> MainApiStandin::sessionToken(const std::string& loginName) const {
  std::lock_guard lock(state_->mutex);
  auto it = state_->sessions.find(loginName);
  if (it == state_->sessions.end() || it->second.expired) return std::nullopt;
  return it->second.token;
}

void MainApiStandin::expireSession(const std::string& loginName) {
  std::lock_guard lock(state_->mutex);
  if (auto it = state_->sessions.find(loginName); it != state_->sessions.end()) it->second.expired = true;
}

void MainApiStandin::setClientVersions(platform::Json list) {
  std::lock_guard lock(state_->mutex);
  state_->clientVersions = std::move(list);
}

void MainApiStandin::setParameter(std::string key, std::string dictCode, platform::Json retData) {
  std::lock_guard lock(state_->mutex);
  state_->parameters[{std::move(key), std::move(dictCode)}] = std::move(retData);
}

void MainApiStandin::setUnits(platform::Json list) {
  std::lock_guard lock(state_->mutex);
  state_->units = std::move(list);
}

void MainApiStandin::bindReader(std::string psamNo, std::string loginName) {
  std::lock_guard lock(state_->mutex);
  state_->readerOwners[std::move(psamNo)] = std::move(loginName);
}

void MainApiStandin::setQueryTransData(std::string busid, platform::Json retData) {
  std::lock_guard lock(state_->mutex);
  state_->queryTransData[std::move(busid)] = std::move(retData);
}

void MainApiStandin::setTpkEntryCount(int count) {
  std::lock_guard lock(state_->mutex);
  state_->tpkEntryCount = std::max(0, count);
}

void MainApiStandin::setCheckinKeyLists(bool piks, bool macs) {
  std::lock_guard lock(state_->mutex);
  state_->checkinPiks = piks;
  state_->checkinMacs = macs;
}

void MainApiStandin::script(std::string method, Scripted scripted, int times) {
  std::lock_guard lock(state_->mutex);
  state_->scripts[std::move(method)] = State::ScriptEntry{std::move(scripted), times};
}

void MainApiStandin::clearScripts() {
  std::lock_guard lock(state_->mutex);
  state_->scripts.clear();
}

std::optional<MainApiStandin::IssuedKeys> MainApiStandin::issuedKeys(const std::string& termid) const {
  std::lock_guard lock(state_->mutex);
  auto it = state_->keys.find(termid);
  if (it == state_->keys.end()) return std::nullopt;
  return it->second;
}

std::vector<MainApiStandin::Verdict> MainApiStandin::verdicts() const {
  std::lock_guard lock(state_->mutex);
  return state_->verdicts;
}

std::optional<MainApiStandin::Verdict> MainApiStandin::lastVerdict(std::string_view method) const {
  std::lock_guard lock(state_->mutex);
  for (auto it = state_->verdicts.rbegin(); it != state_->verdicts.rend(); ++it) {
    if (it->method == method) return *it;
  }
  return std::nullopt;
}

// --- routes ---

namespace mainapi {

std::string randomKeyHex() {
  std::array<uint8_t, 16> bytes{};
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) return {};
  std::string hex = upperHex(bytes.data(), bytes.size());
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return hex;
}

}  // namespace mainapi

void MainApiStandin::addRoute(std::string method, Handler handler, RouteOptions options) {
  std::lock_guard lock(state_->mutex);
  State::Route route{std::move(handler), options};
  if (method.empty() || method.back() != '/') {
    state_->routes[std::move(method)] = std::move(route);
    return;
  }
  auto& prefixes = state_->prefixRoutes;
  std::erase_if(prefixes, [&](const auto& entry) { return entry.first == method; });
  prefixes.emplace_back(std::move(method), std::move(route));
  std::stable_sort(prefixes.begin(), prefixes.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

void* MainApiStandin::featureSlot(std::type_index type, std::shared_ptr<void> (*make)()) {
  std::lock_guard lock(state_->mutex);
  auto& slot = state_->features[type];
  if (!slot) slot = make();
  return slot.get();
}

std::unique_lock<std::recursive_mutex> MainApiStandin::lock() const {
  return std::unique_lock<std::recursive_mutex>(state_->mutex);
}

const RsaKeyPair& MainApiStandin::pinKey() const {
  return settings_.pinKey ? *settings_.pinKey : RsaKeyPair::testPinKey();
}

const RsaKeyPair& MainApiStandin::passwordKey() const {
  return settings_.passwordKey ? *settings_.passwordKey : RsaKeyPair::testPasswordKey();
}

// --- one call ---

MainApiStandin::RouteContext::RouteContext(MainApiStandin& server, const HttpStandin::Request& request)
    : server_(server), request_(request), fields_(request.queryFields) {
  // Query first: GET calls carry everything in the query.
  fields_.insert(fields_.end(), request.formFields.begin(), request.formFields.end());
  std::string_view call = std::string_view(request.path).substr(kApiPath.size());
  // A doubled "/" before the method (an address made from a base that ends in "/") names the
  // same method, as on the web servers the main API runs on.
  while (call.starts_with('/')) call.remove_prefix(1);
  if (call.ends_with(".json")) call.remove_suffix(5);
  for (size_t at = 0;;) {
    size_t slash = call.find('/', at);
    segments_.emplace_back(call.substr(at, slash == std::string_view::npos ? slash : slash - at));
    if (slash == std::string_view::npos) break;
    at = slash + 1;
  }
  verdict_.method = segments_.front();
  auto uid = field("uid");
  auto vercode = field("vercode");
  verdict_.identityOk = uid && vercode && !uid->empty() &&
                        *vercode == vercodeFor(*uid, server.settings_.vercodeSalt);
}

std::optional<std::string> MainApiStandin::RouteContext::field(std::string_view key) const {
  return fieldOf(fields_, key);
}

std::string MainApiStandin::RouteContext::fieldOr(std::string_view key, std::string fallback) const {
  auto value = field(key);
  return value ? std::move(*value) : std::move(fallback);
}

HttpStandin::Reply MainApiStandin::RouteContext::refuse(std::string_view retCode, std::string errMsg) {
  verdict_.retCode = retCode;
  return jsonReply(envelope(retCode, std::move(errMsg), std::nullopt));
}

HttpStandin::Reply MainApiStandin::RouteContext::ok(std::optional<platform::Json> retData) {
  verdict_.retCode = kOk;
  return jsonReply(envelope(kOk, std::string("成功"), retData));
}

HttpStandin::Reply MainApiStandin::RouteContext::error(std::string_view retCode, std::string errMsg) {
  return refuse(retCode, std::move(errMsg));
}

MainApiStandin::RouteContext::Refusal MainApiStandin::RouteContext::identity() {
  if (verdict_.identityOk) return std::nullopt;
  return refuse(kIdentityRefused, "非法请求");
}

MainApiStandin::RouteContext::Refusal MainApiStandin::RouteContext::token(std::string_view loginField) {
  auto loginName = field(loginField);
  auto token = field("userToken");
  std::lock_guard lock(server_.state_->mutex);
  const auto& sessions = server_.state_->sessions;
  auto it = loginName ? sessions.find(*loginName) : sessions.end();
  if (it != sessions.end() && token && it->second.token == *token && !it->second.expired) return std::nullopt;
  return refuse(kTokenExpired, std::string(kTokenExpiredText));
}

MainApiStandin::RouteContext::Refusal MainApiStandin::RouteContext::mac(bool withFee) {
  verdict_.macInput = macInputOf(request_.formFields, withFee);
  std::string macKey;
  {
    std::lock_guard lock(server_.state_->mutex);
    auto termid = field("termid");
    const auto& keys = server_.state_->keys;
    if (auto it = termid ? keys.find(*termid) : keys.end(); it != keys.end()) macKey = it->second.mac;
  }
  if (macKey.empty()) {
    verdict_.macOk = false;
    return refuse(kNotSignedIn, "终端未签到");
  }
  auto mac = field("mac");
  verdict_.macOk = mac && mac->size() == 8 && *mac == retailMac(verdict_.macInput, macKey).substr(0, 8);
  OPENSSL_cleanse(macKey.data(), macKey.size());
  if (!*verdict_.macOk) return refuse(kMacRefused, "MAC校验失败");
  return std::nullopt;
}

platform::Result<std::string> MainApiStandin::RouteContext::pinBlock(std::string_view pinkeyHex,
                                                                    std::string_view termid) {
  verdict_.pinOk = false;
  std::string pik;
  {
    std::lock_guard lock(server_.state_->mutex);
    if (auto it = server_.state_->keys.find(termid); it != server_.state_->keys.end()) pik = it->second.pik;
  }
  if (pik.empty()) return platform::Status::error("no PIN key issued to the terminal");
  // The RSA layer carries the Triple-DES block as 16 hex characters.
  auto inner = server_.pinKey().decryptHex(pinkeyHex);
  std::string block = inner && inner->size() == 16 ? unwrapKey(*inner, pik) : std::string();
  if (inner) OPENSSL_cleanse(inner->data(), inner->size());
  OPENSSL_cleanse(pik.data(), pik.size());
  if (block.empty()) return platform::Status::error("the PIN block does not decipher");
  const bool wellFormed = block.size() == 16 && block.starts_with("06") && block.ends_with("FFFFFFFF") &&
                          std::all_of(block.begin() + 2, block.begin() + 8, [](char c) { return c >= '0' && c <= '9'; });
  std::string pin = wellFormed ? block.substr(2, 6) : std::string();
  OPENSSL_cleanse(block.data(), block.size());
  if (!wellFormed) return platform::Status::error("the PIN block is not \"06\", six digits and \"FFFFFFFF\"");
  verdict_.pinOk = true;
  return pin;
}

platform::Result<std::string> MainApiStandin::RouteContext::password(std::string_view passwordHex) const {
  auto clear = server_.passwordKey().decryptHex(passwordHex);
  if (!clear) return platform::Status::error("the password does not decipher");
  return std::move(*clear);
}

std::optional<int64_t> MainApiStandin::RouteContext::amount12(std::string_view text) {
  if (text.size() != 12) return std::nullopt;
  int64_t fen = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    fen = fen * 10 + (c - '0');
  }
  return fen;
}

namespace {

// A scripted answer as it goes out.
HttpStandin::Reply scriptedReply(const MainApiStandin::Scripted& scripted) {
  using Kind = MainApiStandin::Scripted::Kind;
  switch (scripted.kind) {
    case Kind::Envelope:
      return jsonReply(envelope(scripted.retCode, scripted.errMsg, scripted.retData));
    case Kind::Body: {
      HttpStandin::Reply reply = HttpStandin::Reply::text(scripted.body, scripted.status);
      reply.contentType = scripted.contentType;
      return reply;
    }
    case Kind::DropConnection:
    case Kind::Normal:
      break;
  }
  // One chunk of a chunked body, then the connection closes without the closing chunk: the
  // client sees the connection break in the middle of the reply.
  const std::string partial = "{\"retStatus\":{\"retCo";
  char size[16];
  std::snprintf(size, sizeof size, "%zX\r\n", partial.size());
  HttpStandin::Reply reply = HttpStandin::Reply::json(size + partial);
  reply.headers.emplace_back("Transfer-Encoding", "chunked");
  return reply;
}

}  // namespace

HttpStandin::Reply MainApiStandin::handle(const HttpStandin::Request& request) {
  // "/iphone/<method>[/<argument>].json"; routes taking a whole folder also answer other endings.
  std::string_view call = std::string_view(request.path).substr(kApiPath.size());
  // A doubled "/" before the method (an address made from a base that ends in "/") names the
  // same method, as on the web servers the main API runs on.
  while (call.starts_with('/')) call.remove_prefix(1);
  const bool json = call.size() > 5 && call.ends_with(".json");
  if (json) call.remove_suffix(5);

  std::optional<State::Route> route;
  std::optional<Scripted> scripted;
  RouteContext context(*this, request);
  {
    std::lock_guard lock(state_->mutex);
    if (auto it = state_->routes.find(call); json && it != state_->routes.end()) route = it->second;
    for (const auto& [prefix, prefixRoute] : state_->prefixRoutes) {
      if (route) break;
      if (call.starts_with(prefix) && call.size() > prefix.size()) route = prefixRoute;
    }
    if (!json && !route) return HttpStandin::Reply::text(std::string(kNotFoundPage), 404);
    if (auto it = state_->scripts.find(context.method()); it != state_->scripts.end()) {
      scripted = it->second.scripted;
      if (it->second.remaining > 0 && --it->second.remaining == 0) state_->scripts.erase(it);
    }
  }
  Verdict& verdict = context.verdict();
  auto record = [&] {
    std::lock_guard lock(state_->mutex);
    state_->verdicts.push_back(verdict);
  };
  const bool replaces = scripted && scripted->kind != Scripted::Kind::Normal;

  if (scripted && !scripted->processFirst) {
    if (scripted->delay.count() > 0 && http().holdUntilStopped(scripted->delay)) {
      return HttpStandin::Reply::text("stopped", 503);
    }
    if (scripted->held && http().holdUntilReleased()) return HttpStandin::Reply::text("stopped", 503);
    if (replaces) {
      verdict.retCode = scripted->kind == Scripted::Kind::Envelope ? scripted->retCode : std::string();
      verdict.scripted = true;
      record();
      return scriptedReply(*scripted);
    }
  }

  HttpStandin::Reply reply;
  if (!route) {
    platform::log::info(kTag, "no handling for " + std::string(call));
    reply = HttpStandin::Reply::text(std::string(kNotFoundPage), 404);
  } else {
    std::lock_guard lock(state_->mutex);   // handlers run one at a time
    auto refused = route->options.identity ? context.identity() : std::nullopt;
    reply = refused ? std::move(*refused) : route->handler(context);
  }
  verdict.scripted = replaces;
  record();

  if (scripted && scripted->processFirst) {
    if (scripted->delay.count() > 0 && http().holdUntilStopped(scripted->delay)) {
      return HttpStandin::Reply::text("stopped", 503);
    }
    if (scripted->held && http().holdUntilReleased()) return HttpStandin::Reply::text("stopped", 503);
    if (replaces) return scriptedReply(*scripted);
  }
  return reply;
}
}  // namespace standin
