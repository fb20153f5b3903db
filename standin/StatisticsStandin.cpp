#include "standin/StatisticsStandin.h"

#include <condition_variable>
#include <map>
#include <mutex>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

namespace {

using platform::Json;
using Fields = std::vector<HttpStandin::Field>;

std::optional<std::string> fieldOf(const Fields& fields, std::string_view key) {
  for (const auto& [k, v] : fields) {
    if (k == key) return v;
  }
  return std::nullopt;
}

std::string envelope(std::string_view retCode, std::string_view errMsg, const Json* retData = nullptr) {
  Json reply = Json::object();
  reply["retStatus"] = Json::object({{"retCode", std::string(retCode)}, {"errMsg", std::string(errMsg)}});
  if (retData) reply["retData"] = *retData;
  return platform::json::dump(reply);
}

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at <= text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    if (end > at) lines.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace

struct StatisticsStandin::State {
  mutable std::mutex mutex;
  mutable std::condition_variable changed;
  bool held = false;
  bool stopping = false;
  std::map<std::string, Scripted, std::less<>> scripts;
  std::vector<Upload> uploads;
  std::vector<Info> infos;
  std::vector<DeviceToken> tokens;
  std::vector<std::string> pushMessageIds;
  std::vector<std::string> accepted;
};

StatisticsStandin::Scripted StatisticsStandin::Scripted::error(std::string retCode, std::string errMsg) {
  Scripted s;
  s.retCode = std::move(retCode);
  s.errMsg = std::move(errMsg);
  return s;
}

StatisticsStandin::Scripted StatisticsStandin::Scripted::body(std::string raw) {
  Scripted s;
  s.rawBody = std::move(raw);
  return s;
}

platform::Result<StatisticsStandin::Settings> StatisticsStandin::Settings::fromProjectFiles() {
  auto salt = MainApiStandin::projectVercodeSalt();
  if (!salt) return platform::Status::error(salt.error());
  Settings settings;
  settings.vercodeSalt = salt.value();
  return settings;
}

StatisticsStandin::StatisticsStandin(Settings settings)
    : StandinServer(settings.tls), settings_(std::move(settings)), state_(std::make_shared<State>()) {
  http().route("*", std::string(kBasePath) + "*", [this](const HttpStandin::Request& r) { return handle(r); });
}

StatisticsStandin::~StatisticsStandin() { stop(); }

platform::Status StatisticsStandin::start() {
  if (settings_.vercodeSalt.empty()) return platform::Status::error("the statistics stand-in needs a vercode salt");
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = false;
  }
  return StandinServer::start();
}

void StatisticsStandin::stop() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->stopping = true;
  }
  state_->changed.notify_all();
  StandinServer::stop();
}

std::string StatisticsStandin::statisticsBaseAddress() const { return baseUrl() + std::string(kBasePath); }

void StatisticsStandin::script(std::string method, Scripted scripted) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->scripts.insert_or_assign(std::move(method), std::move(scripted));
}

void StatisticsStandin::clearScript(std::string method) {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->scripts.erase(method);
}

void StatisticsStandin::holdUploads() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->held = true;
}

void StatisticsStandin::release() {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->held = false;
  }
  state_->changed.notify_all();
}

bool StatisticsStandin::waitForUploads(size_t count, std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(state_->mutex);
  return state_->changed.wait_for(lock, limit, [&] { return state_->uploads.size() >= count; });
}

std::vector<StatisticsStandin::Upload> StatisticsStandin::uploads() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->uploads;
}

std::vector<StatisticsStandin::Info> StatisticsStandin::infos() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->infos;
}

std::vector<StatisticsStandin::DeviceToken> StatisticsStandin::deviceTokens() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->tokens;
}

std::vector<std::string> StatisticsStandin::pushMessageIds() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->pushMessageIds;
}

std::vector<std::string> StatisticsStandin::acceptedRecords() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->accepted;
}

HttpStandin::Reply StatisticsStandin::handle(const HttpStandin::Request& request) {
  // "/mobilestatics/iphone/<method>.json"
  std::string_view call = std::string_view(request.path).substr(kBasePath.size());
  constexpr std::string_view kJson = ".json";
  if (call.size() <= kJson.size() || call.substr(call.size() - kJson.size()) != kJson) {
    return HttpStandin::Reply::text("<html><body><h1>404 Not Found</h1></body></html>", 404);
  }
  call.remove_suffix(kJson.size());
  const std::string method(call);

  Fields fields = request.queryFields;
  fields.insert(fields.end(), request.formFields.begin(), request.formFields.end());
  for (const auto& part : request.parts) {
    if (part.filename.empty()) fields.emplace_back(part.name, part.content);
  }
  auto field = [&](std::string_view key) { return fieldOf(fields, key); };
  const auto uid = field("uid");
  const auto vercode = field("vercode");
  const bool identityOk =
      uid && vercode && !uid->empty() && *vercode == MainApiStandin::vercodeFor(*uid, settings_.vercodeSalt);

  std::optional<Scripted> scripted;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (auto it = state_->scripts.find(method); it != state_->scripts.end()) scripted = it->second;
  }
  // The code this server answers: a refusal of its own, else the script's, else success.
  auto verdict = [&](bool fieldsOk) -> std::pair<std::string, std::string> {
    if (!identityOk) return {std::string(kIdentityRefused), "非法请求"};
    if (!fieldsOk) return {std::string(kBadRequest), "参数错误"};
    if (scripted && !scripted->rawBody) return {scripted->retCode, scripted->errMsg};
    return {std::string(kOk), "成功"};
  };
  auto reply = [&](const std::pair<std::string, std::string>& code, const Json* retData = nullptr) {
    if (scripted && scripted->rawBody && identityOk) return HttpStandin::Reply::text(*scripted->rawBody);
    return HttpStandin::Reply::json(envelope(code.first, code.second, code.first == kOk ? retData : nullptr));
  };

  if (method == "uploadCsvFile") {
    Upload upload;
    const HttpStandin::Part* file = nullptr;
    for (const auto& part : request.parts) {
      if (part.name == "logdata" && !part.filename.empty()) file = &part;
    }
    if (file) {
      upload.logdata = file->content;
      upload.filename = file->filename;
    }
    upload.imei = field("imei");
    upload.ver = field("ver");
    upload.userToken = fieldOf(request.queryFields, "userToken");
    upload.identityOk = identityOk;
    upload.https = request.isHttps;
    const auto code = verdict(file != nullptr && upload.imei && !upload.imei->empty() && upload.ver == "28");
    upload.retCode = scripted && scripted->rawBody ? std::string() : code.first;
    {
      std::unique_lock<std::mutex> lock(state_->mutex);
      state_->uploads.push_back(upload);
      state_->changed.notify_all();
      state_->changed.wait(lock, [&] { return !state_->held || state_->stopping; });
      if (state_->stopping) return HttpStandin::Reply::text("stopped", 503);
      if (upload.retCode == kOk) {
        for (auto& line : linesOf(upload.logdata)) state_->accepted.push_back(std::move(line));
      }
    }
    return reply(code);
  }

  if (method == "insertStaticesInfo") {
    Info info;
    info.infoStr = field("infoStr").value_or(std::string());
    info.imei = field("imei");
    info.identityOk = identityOk;
    const auto code = verdict(!info.infoStr.empty() && info.imei && !info.imei->empty());
    info.retCode = scripted && scripted->rawBody ? std::string() : code.first;
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->infos.push_back(info);
      if (info.retCode == kOk) state_->accepted.push_back(info.infoStr);
    }
    return reply(code);
  }

  if (method == "addIphoneToken") {
    DeviceToken token;
    token.deviceToken = field("deviceToken").value_or(std::string());
    token.deviceId = field("deviceId").value_or(std::string());
    token.switchState = field("switchState").value_or(std::string());
    token.identityOk = identityOk;
    const auto code = verdict(!token.deviceToken.empty() && !token.deviceId.empty());
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->tokens.push_back(token);
    }
    return reply(code);
  }

  if (method == "getIosPushMsg") {
    const std::string msgId = field("msgId").value_or(std::string());
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->pushMessageIds.push_back(msgId);
    }
    const Json messages = Json::array({Json::object({{"msgId", msgId},
                                                     {"aContent", std::string(kPushMessageContent)},
                                                     {"aUrl", ""},
                                                     {"note", ""}})});
    return reply(verdict(request.method == "GET" && !msgId.empty()), &messages);
  }

  return HttpStandin::Reply::text("<html><body><h1>404 Not Found</h1></body></html>", 404);
}

}  // namespace standin
