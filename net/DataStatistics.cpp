#include "net/DataStatistics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <vector>

#include "core/session/ClientSettings.h"
#include "core/crypto/DESUtil.h"
#include "core/text/DateFormats.h"
#include "core/session/NVXConfig.h"
#include "core/session/UIDevice.h"
#include "core/text/UrlEscaping.h"
#include "core/session/User.h"
#include "net/BaseService.h"
#include "net/CoreOperations.h"
#include "net/MainApiRequest.h"
#include "net/RecordFiles.h"
#include "net/ReplyEnvelope.h"
#include "net/StatisticsServerConfig.h"
#include "platform/device/Device.h"
#include "platform/device/Reachability.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/net/HttpRequest.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "DataStatistics";

// ---------------------------------------------------------------------------------------------
// Record layouts: every record is composed from this one table.

enum class F : uint8_t {
  End = 0,
  Time,
  DeviceId,
  Phone,
  Empty,
  UA,
  Resolution,
  Channel,
  LoginName,
  IosVersion,
  Carrier,
  Language,
  AppVersion,
  BlankAppVersion,  // one blank, then the app version
  UnitId,
  ReaderId,
  NetStatus,
  ModelName,
  UserId,
  One,
  Null,  // the absent value
  Arg0,  // the caller's values, in order
  Arg1,
  Arg2,
  Arg3,
};

enum class Record {
  Profile1,
  Profile2,
  Profile3,
  Profile4,
  Profile5,
  Profile9,
  Hardware,
  SwipeOk,
  SwipeFailed,
  Active,
  Step,
  Advert,
  Network,
  Register,
  Push,
  MallTheme,
  MallItem,
  Reopen,
  OpenFail,
  UploadFailed,
  Dropped,
};

struct Layout {
  Record record;
  std::string_view code;
  std::array<F, 13> fields;  // up to the first End
};

namespace table {
using enum F;
constexpr Layout kLayouts[] = {
    {Record::Profile1, "0001", {Time, DeviceId, Phone, Empty, UA, Resolution, Channel, LoginName}},
    {Record::Profile2, "0002", {Time, DeviceId, Phone, Empty, IosVersion, Channel, LoginName}},
    {Record::Profile3, "0003", {Time, DeviceId, Phone, Empty, Carrier, Channel, LoginName}},
    {Record::Profile4, "0004", {Time, DeviceId, Phone, Empty, Language, Channel, LoginName}},
    {Record::Profile5, "0005", {Time, DeviceId, Phone, Empty, AppVersion, Channel, LoginName}},
    {Record::Profile9, "0009", {Time, DeviceId, Phone, Empty, Channel, LoginName}},
    {Record::Hardware, "0006", {Time, DeviceId, Phone, Empty, LoginName, UA, UnitId, ReaderId, Channel, Arg0}},
    {Record::SwipeOk, "0007", {Time, DeviceId, Phone, Empty, LoginName, UnitId, Channel, BlankAppVersion}},
    {Record::SwipeFailed, "0008", {Time, DeviceId, Phone, Empty, LoginName, UnitId, Channel, AppVersion}},
    {Record::Active, "0010", {Time, DeviceId, Phone, Empty, Channel, LoginName, AppVersion}},
    {Record::Step, "0011", {Time, DeviceId, Phone, Empty, LoginName, Arg0, Channel, Arg1, AppVersion}},
    {Record::Advert, "0012", {Time, DeviceId, Phone, Empty, LoginName, Arg0, Channel}},
    {Record::Network, "0013", {Time, DeviceId, Phone, Empty, Empty, NetStatus, Channel}},
    {Record::Register, "0014",
     {Time, DeviceId, Phone, Empty, Channel, Arg0, ModelName, Empty, Carrier, NetStatus, AppVersion}},
    {Record::Push, "0017", {Time, DeviceId, Arg0, Empty, Channel, Arg1}},
    {Record::MallTheme, "0018", {Time, DeviceId, Phone, Empty, UA, Channel, LoginName, Arg0, Arg1}},
    {Record::MallItem, "0018", {Time, DeviceId, Phone, Empty, UA, Channel, LoginName, Arg0, Arg1, Arg2, Arg3}},
    {Record::Reopen, "0019", {Time, DeviceId, Phone, Empty, UA, Channel, LoginName, Arg0, AppVersion}},
    {Record::OpenFail, "0021",
     {Time, DeviceId, Phone, Empty, UA, Resolution, Channel, LoginName, AppVersion, UnitId, ReaderId, Arg0}},
    {Record::UploadFailed, "9999",
     {Time, DeviceId, Phone, UA, IosVersion, Carrier, AppVersion, One, Arg0, Channel, UserId}},
    // The 9999 of records dropped from a full file: written from any thread, so without the
    // session's user id.
    {Record::Dropped, "9999",
     {Time, DeviceId, Phone, UA, IosVersion, Carrier, AppVersion, One, Arg0, Channel, Null}},
};
}  // namespace table
using table::kLayouts;

constexpr Record kHeaderRecords[] = {Record::Profile1, Record::Profile2, Record::Profile3,
                                     Record::Profile4, Record::Profile5, Record::Profile9};

const Layout& layoutOf(Record record) {
  for (const auto& layout : kLayouts) {
    if (layout.record == record) return layout;
  }
  return kLayouts[0];  // every Record has a row
}

// Whether the text begins with the six header records, in their order.
bool beginsWithHeader(std::string_view text) {
  size_t at = 0;
  for (Record r : kHeaderRecords) {
    const std::string_view code = layoutOf(r).code;
    if (text.substr(at, code.size() + 1) != std::string(code) + ",") return false;
    at = text.find('\n', at);
    if (at == std::string_view::npos) return false;
    ++at;
  }
  return true;
}

bool isHeaderLine(std::string_view line) {
  for (Record r : kHeaderRecords) {
    const std::string_view code = layoutOf(r).code;
    if (line.size() > code.size() && line.substr(0, code.size()) == code && line[code.size()] == ',') return true;
  }
  return false;
}

// A comma, CR or LF inside a value would end the field or the record: each becomes a blank.
std::string fieldText(std::string value) {
  for (char& c : value) {
    if (c == ',' || c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool passesLuhn(std::string_view digits) {
  int sum = 0;
  bool twice = false;
  for (size_t i = digits.size(); i-- > 0;) {
    int d = digits[i] - '0';
    if (twice) {
      d *= 2;
      if (d > 9) d -= 9;
    }
    sum += d;
    twice = !twice;
  }
  return sum % 10 == 0;
}

// Card numbers and the card data of a track never go into a record: a run of 13 to 19 digits
// that is a valid card number, or a long run of digits that a track separator ("=", "^")
// follows, is masked together with the digits after the separator.
std::string withoutCardData(std::string value) {
  size_t i = 0;
  while (i < value.size()) {
    if (!isDigit(value[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < value.size() && isDigit(value[end])) ++end;
    const size_t length = end - i;
    const bool separator = end < value.size() && (value[end] == '=' || value[end] == '^');
    const bool cardNumber = length >= 13 && length <= 19 && passesLuhn(std::string_view(value).substr(i, length));
    if (cardNumber || (length >= 12 && separator)) {
      // A track goes on to its end sentinel "?" (or the end of the value): expiry date, service
      // code, the holder's name and the discretionary data go too.
      if (separator) {
        end = value.find('?', end);
        if (end == std::string::npos) end = value.size();
      }
      std::fill(value.begin() + static_cast<std::ptrdiff_t>(i), value.begin() + static_cast<std::ptrdiff_t>(end), '*');
    }
    i = end;
  }
  return value;
}

std::string orNull(const std::optional<std::string>& value) {
  return value ? *value : std::string(DataStatistics::kNull);
}

std::string emptyIsNull(std::string value) { return value.empty() ? std::string(DataStatistics::kNull) : value; }

std::string_view trimmed(std::string_view text) {
  constexpr std::string_view kBlank = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kBlank);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlank) - first + 1);
}

size_t occurrences(std::string_view text, std::string_view what) {
  if (what.empty()) return 0;
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

platform::Path fileIn(std::string_view name) { return platform::Sandbox::caches() / std::string(name); }

RecordFiles recordFiles() { return RecordFiles(platform::Sandbox::caches()); }

std::string readText(std::string_view name) { return platform::fs::read(fileIn(name)).value_or(std::string()); }

void writeText(std::string_view name, std::string_view text) {
  if (!platform::fs::writeAtomic(fileIn(name), text)) {
    platform::log::warning(kTag, "could not write " + std::string(name));
  }
}

DataStatistics* liveRecorder() { return platform::Process::current().sharedIfExists<DataStatistics>(); }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// The record of a layout: fixed values from the device and the session, args for Arg0..Arg3
// (absent: "(null)"). Caller-supplied values are also cleared of card data.
std::string compose(const DataStatistics& stats, Record record, const std::string& time,
                    const std::vector<std::optional<std::string>>& args = {}) {
  using enum F;
  const Layout& layout = layoutOf(record);
  std::string line(layout.code);
  for (F field : layout.fields) {
    if (field == End) break;
    std::string value;
    switch (field) {
      case End:
        break;
      case Time: value = time; break;
      case DeviceId: value = stats.deviceId(); break;
      case Phone: value = stats.phoneNumber(); break;
      case Empty: break;
      case UA: value = stats.UA(); break;
      case Resolution: value = stats.resolution(); break;
      case Channel: value = DataStatistics::kChannel; break;
      case LoginName: value = emptyIsNull(User::currentOrRecordLoginName()); break;
      case IosVersion: value = stats.iosVersion(); break;
      case Carrier: value = stats.carrierName(); break;
      case Language: value = orNull(stats.language()); break;
      case AppVersion: value = orNull(stats.appVersion()); break;
      case BlankAppVersion: value = " " + orNull(stats.appVersion()); break;
      case UnitId: value = orNull(stats.unitId()); break;
      case ReaderId: value = stats.psamId(); break;
      case NetStatus: value = stats.netWorkStatus(); break;
      case ModelName: value = platform::Device::info().model; break;
      case UserId: value = emptyIsNull(User::currentUser().userId()); break;
      case One: value = "1"; break;
      case Null: value = DataStatistics::kNull; break;
      case Arg0:
      case Arg1:
      case Arg2:
      case Arg3: {
        const size_t index = static_cast<size_t>(field) - static_cast<size_t>(Arg0);
        value = withoutCardData(orNull(index < args.size() ? args[index] : std::nullopt));
        break;
      }
    }
    line += ',';
    line += fieldText(std::move(value));
  }
  return line;
}

}  // namespace

// What an upload needs from the main thread: the device id and the header block.
struct DataStatistics::Snapshot {
  std::string deviceId;
  std::string header;
};

DataStatistics::DataStatistics() {
  // A record whose append the end of the last run cut short goes before anything reads a file.
  (void)recordFiles().recover();
  recordNetWorkStatus();
}

DataStatistics::~DataStatistics() {
  std::shared_ptr<platform::net::HttpRequest> request;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    request = std::move(request_);
  }
  if (request) request->cancel();
}

DataStatistics& DataStatistics::sharedDataStatistics() {
  return platform::Process::current().shared<DataStatistics>();
}

std::string DataStatistics::deviceId() const { return UIDevice::wifiAddressDigest(); }

std::string DataStatistics::UA() const {
  std::string machine = platform::Device::info().machine;
  std::replace(machine.begin(), machine.end(), ',', '-');
  return machine;
}

std::string DataStatistics::getDeviceVersion() const { return platform::Device::info().machine; }

std::string DataStatistics::resolution() const {
  const auto& bounds = platform::Device::screen().bounds;
  char text[64];
  std::snprintf(text, sizeof text, "%.0f*%.0f", bounds.width, bounds.height);
  return text;
}

std::optional<std::string> DataStatistics::appVersion() const {
  return platform::Bundle::main().info("CFBundleVersion");
}

std::optional<std::string> DataStatistics::language() const {
  if (auto list = platform::UserDefaults::standard().array("AppleLanguages");
      list && !list->empty() && list->front().is_string()) {
    return list->front().get<std::string>();
  }
  const auto& languages = platform::Device::info().languages;
  if (languages.empty()) return std::nullopt;
  return languages.front();
}

std::string DataStatistics::iosVersion() const { return platform::Device::info().systemVersion; }

std::string DataStatistics::phoneNumber() const { return {}; }

std::string DataStatistics::psamId() const { return User::currentUser().psamId(); }

std::optional<std::string> DataStatistics::unitId() const {
  return platform::UserDefaults::standard().string(kUnitIdKey);
}

std::string DataStatistics::carrierName() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return {};
  if (carrier->name == "中国联通") return "l";
  if (carrier->name == "中国移动") return "y";
  if (carrier->name == "中国电信") return "d";
  return {};
}

std::optional<std::string> DataStatistics::mobileCountryCode() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mcc;
}

std::optional<std::string> DataStatistics::mobileNetworkCode() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mnc;
}

std::optional<std::string> DataStatistics::mobileNetworkName() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->name;
}

std::optional<std::string> DataStatistics::IMSISubFive() const {
  const auto& carrier = platform::Device::info().carrier;
  if (!carrier) return std::nullopt;
  return carrier->mcc + carrier->mnc;
}

std::string DataStatistics::netWorkStatus() const {
  return platform::toText(platform::Reachability::statusOfHost(kReachabilityHost));
}

bool DataStatistics::isNotReachableNetWork() const {
  return platform::Reachability::statusOfHost(kReachabilityHost) == platform::NetworkStatus::NotReachable;
}


// ---------------------------------------------------------------------------------------------
// Records

std::string DataStatistics::currentRecordTime() const { return currentDate(2).value_or(std::string()); }

void DataStatistics::stepRecord(std::optional<std::string> step) {
  if (!step) return;
  // "<step>" or "<step>,<sub-step>"
  std::string_view text = *step;
  const size_t comma = text.find(',');
  std::string first(text.substr(0, comma));
  std::string second;
  if (comma != std::string_view::npos) {
    std::string_view rest = text.substr(comma + 1);
    second = std::string(rest.substr(0, rest.find(',')));
  }
  writeFile(compose(*this, Record::Step, currentRecordTime(), {first, second}), kTempFile);
}

void DataStatistics::swiperCompletion() { writeFile(compose(*this, Record::SwipeOk, currentRecordTime()), kTempFile); }

void DataStatistics::swiperFailed() { writeFile(compose(*this, Record::SwipeFailed, currentRecordTime()), kTempFile); }

void DataStatistics::swipeHardWareRecord(std::optional<std::string> ksn) {
  const std::string noKsn = ksn ? "0" : "1";
  writeFile(compose(*this, Record::Hardware, currentRecordTime(), {noKsn}), kTempFile);
}

void DataStatistics::advertisementRecord(std::optional<std::string> advertId) {
  if (!advertId) return;
  writeFile(compose(*this, Record::Advert, currentRecordTime(), {std::move(advertId)}), kTempFile);
}

void DataStatistics::notificationRecord(bool known, std::optional<std::string> msgId) {
  const std::string record =
      compose(*this, Record::Push, currentRecordTime(), {std::move(msgId), std::string(known ? "1" : "0")});
  writeFile(record, kTempPushFile);
  CoreOperations::insertStaticesInfoWithInfoStr(record, [record](NetResult, RetStatusEntity, bool isErr) {
    // Only this record was delivered: others waiting in the push file (their posts failed)
    // stay for the next upload.
    if (auto* self = liveRecorder(); self && !isErr) self->removeRecord(record, kTempPushFile);
  });
}

void DataStatistics::mallOpenRecord(std::optional<std::string> themeId, std::optional<std::string> source) {
  writeFile(compose(*this, Record::MallTheme, currentRecordTime(), {std::move(themeId), std::move(source)}),
            kTempFile);
}

void DataStatistics::mallOpenRecord(std::optional<std::string> itemId, std::optional<std::string> source,
                                    std::optional<std::string> bussId, std::optional<std::string> proNum) {
  if (!proNum || proNum->empty()) proNum = "0";
  writeFile(compose(*this, Record::MallItem, currentRecordTime(),
                    {std::move(itemId), std::move(source), std::move(bussId), std::move(proNum)}),
            kTempFile);
}

void DataStatistics::reOpenRecord(bool reopened) {
  writeFile(compose(*this, Record::Reopen, currentRecordTime(), {std::string(reopened ? "1" : "0")}), kTempFile);
}

void DataStatistics::swiperOpenFail(bool failed) {
  writeFile(compose(*this, Record::OpenFail, currentRecordTime(), {std::string(failed ? "1" : "0")}), kTempFile);
}

void DataStatistics::uploadFailed(std::optional<std::string> message) {
  writeFile(compose(*this, Record::UploadFailed, currentRecordTime(), {std::move(message)}), kTempFile);
}

void DataStatistics::clientActive() {
  const std::string record = compose(*this, Record::Active, currentRecordTime());
  CoreOperations::insertStaticesInfoWithInfoStr(record, [record](NetResult, RetStatusEntity, bool isErr) {
    auto* self = liveRecorder();
    if (!self) return;
    if (isErr) {
      self->writeFile(record, kTempFile);
    } else {
      platform::UserDefaults::standard().set(kInstalledKey, "1");
    }
  });
}

std::string DataStatistics::registerSuccessRecord(std::optional<std::string> phoneNumber) {
  std::string record = compose(*this, Record::Register, currentRecordTime(), {std::move(phoneNumber)});
  writeFile(record, kTempRegFile);
  return record;
}

void DataStatistics::clearRegisterFileData() { clearFileData(kTempRegFile); }

void DataStatistics::recordNetWorkStatus() {
  // Composed here, so that the thread reads nothing of the device or the session.
  std::string record = compose(*this, Record::Network, currentRecordTime());
  platform::Thread::detach("DataStatistics.network", [this, record = std::move(record)] {
    writeFile(record, kTempFile);
  });
}

// ---------------------------------------------------------------------------------------------
// Files

void DataStatistics::writeFile(std::string_view record, std::string_view fileName) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  const std::optional<uint64_t> size = recordFiles().append(fileName, record);
  if (!size) return;  // write errors are not reported; the file keeps its records
  if (*size > kFileCapBytes) dropOldestRecords(fileName);
  syncSoon(fileName);
}

void DataStatistics::dropOldestRecords(std::string_view fileName) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  const std::string text = readText(fileName);
  const size_t header = fileName == kUploadFile && beginsWithHeader(text) ? std::size(kHeaderRecords) : 0;
  const RecordFiles::Kept kept = RecordFiles::keepNewest(text, header, kFileKeepBytes);
  if (kept.dropped == 0) return;
  writeText(fileName, kept.text);
  platform::log::warning(kTag, std::string(fileName) + " is full: dropped its " + std::to_string(kept.dropped) +
                                   " oldest records");
  const std::string message = "统计记录已满，丢弃最早的记录" + std::to_string(kept.dropped) + "条";
  (void)recordFiles().append(fileName, compose(*this, Record::Dropped, currentRecordTime(), {message}));
}

void DataStatistics::syncSoon(std::string_view fileName) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (unsynced_.find(fileName) == unsynced_.end()) unsynced_.emplace(fileName);
  if (syncScheduled_) return;
  syncScheduled_ = true;
  // A thread of its own that ends when done (an idle pool worker would outlive the flush).
  platform::Thread::detach("DataStatistics.sync", [this] { syncFiles(); });
}

void DataStatistics::syncFiles() {
  std::set<std::string, std::less<>> names;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    names.swap(unsynced_);
    syncScheduled_ = false;
  }
  const RecordFiles files = recordFiles();
  for (const auto& name : names) files.sync(name);
}

void DataStatistics::clearFileData(std::string_view fileName) { writeText(fileName, ""); }

bool DataStatistics::removeRecord(std::string_view record, std::string_view fileName) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (!platform::fs::exists(fileIn(fileName))) return false;
  const std::string existing = readText(fileName);
  std::string kept;
  bool removed = false;
  size_t at = 0;
  while (at <= existing.size()) {
    size_t end = existing.find('\n', at);
    if (end == std::string::npos) end = existing.size();
    std::string_view line(existing.data() + at, end - at);
    if (!removed && trimmed(line) == trimmed(record)) {
      removed = true;
    } else if (!trimmed(line).empty()) {
      if (!kept.empty()) kept += '\n';
      kept.append(line);
    }
    at = end + 1;
  }
  if (removed) writeText(fileName, kept);
  return removed;
}

DataStatistics::Snapshot DataStatistics::snapshot() const {
  Snapshot s;
  s.deviceId = deviceId();
  s.header = headerBlock();
  return s;
}

std::string DataStatistics::headerBlock() const {
  const std::string time = currentRecordTime();
  std::string header;
  for (Record r : kHeaderRecords) {
    header += compose(*this, r, time);
    header += '\n';
  }
  return header;
}

void DataStatistics::printHeader(std::string_view fileName, const std::string& header) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  data_ = header;
  writeFile(data_, fileName);
}

void DataStatistics::print(std::string_view fileName) { printHeader(fileName, headerBlock()); }

void DataStatistics::prePrintIfNeed(std::string_view fileName) {
  const Snapshot s = snapshot();
  std::lock_guard<std::recursive_mutex> lock(lock_);
  const bool exists = platform::fs::exists(fileIn(fileName));
  if (exists && readText(fileName).find(s.deviceId) != std::string::npos) return;
  clearFileData(fileName);
  printHeader(fileName, s.header);
}

void DataStatistics::createFile() {
  if (isUploading()) {
    platform::log::info(kTag, "the upload file is being sent; it is prepared after the upload");
    return;
  }
  prepareUploadFile(snapshot());
}

void DataStatistics::prepareUploadFile(const Snapshot& s) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  data_.clear();
  if (!platform::fs::exists(fileIn(kUploadFile))) {
    // The records written so far wait for the next upload.
    printHeader(kUploadFile, s.header);
    return;
  }
  const std::string text = readText(kUploadFile);
  if (trimmed(text).empty() || s.deviceId.empty() || occurrences(text, s.deviceId) < 6 || !beginsWithHeader(text)) {
    // The header is incomplete (or gone, when a success left records that came in during the
    // upload): a new one, with the records that were below it kept.
    std::string kept;
    size_t at = 0;
    while (at < text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::string_view line = trimmed(std::string_view(text).substr(at, end - at));
      if (!line.empty() && !isHeaderLine(line)) {
        if (!kept.empty()) kept += '\n';
        kept.append(line);
      }
      at = end + 1;
    }
    clearFileData(kUploadFile);
    printHeader(kUploadFile, s.header);
    if (!kept.empty()) writeFile(kept, kUploadFile);
  }
  mergeTemporaryFiles();
}

void DataStatistics::dataIntegration() {
  if (isUploading()) {
    platform::log::info(kTag, "the upload file is being sent; the records wait in the temporary files");
    return;
  }
  mergeTemporaryFiles();
}

void DataStatistics::mergeTemporaryFiles() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  for (std::string_view name : {kTempFile, kTempRegFile, kTempPushFile}) {
    if (!platform::fs::exists(fileIn(name))) continue;
    const std::string text = readText(name);
    if (!trimmed(text).empty()) writeFile(text, kUploadFile);
    clearFileData(name);
  }
}

bool DataStatistics::isExistsRecordsInFile(std::string_view fileName) const {
  const std::string id = deviceId();
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return occurrences(readText(fileName), id) >= 7;
}

bool DataStatistics::isExistsRecords() const { return isExistsRecordsInFile(kUploadFile); }

// ---------------------------------------------------------------------------------------------
// Upload

void DataStatistics::uploadFile() {
  auto begin = [] {
    DataStatistics* self = liveRecorder();
    if (!self) return;
    if (self->isPauseUpload()) return;
    auto* config = platform::Process::current().sharedIfExists<NVXConfig>();
    if (!config || !config->isNetValid()) return;
    // The session and the device are read here, on the main thread; the file work runs on a
    // thread of its own.
    platform::Thread::detach("DataStatistics.upload", [self, s = self->snapshot()] { self->runUpload(s); });
  };
  if (platform::RunLoop::main().isMainThread()) {
    begin();
  } else {
    platform::dispatchMain(begin);
  }
}

void DataStatistics::runUpload(const Snapshot& s) {
  uint64_t generation = 0;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    // While an upload is under way its file is not touched: later records wait in the
    // temporary files, so a success cannot remove records that were not sent.
    if (isUploading_.load()) return;
    isUploading_.store(true);
    generation = generation_;
  }
  prepareUploadFile(s);
  std::string text;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    text = readText(kUploadFile);
  }
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (generation != generation_) return;  // cancelled meanwhile
  if (occurrences(text, s.deviceId) < 7) {
    isUploading_.store(false);
    return;
  }
  sent_ = std::move(text);
  platform::dispatchMain([generation] {
    if (auto* self = liveRecorder()) self->startUploadRequest(generation);
  });
}

void DataStatistics::startUploadRequest(uint64_t generation) {
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (generation != generation_ || !isUploading_.load()) return;

  const std::string& base = StatisticsServerConfig::current().statisticsBase();
  const RequestSession session = RequestSession::capture();
  auto upload = MainApiRequest::postForm(std::string(kUploadMethod), Identity::None, session).atBase(base);
  // The user token goes only to an HTTPS server.
  const bool loggedIn = !session.loginName.empty() && !session.userToken.empty();
  if (loggedIn && startsWithNoCase(base, "https://")) {
    upload.sessionQuery("userToken", SessionValue::UserToken);
  } else {
    if (loggedIn) {
      platform::log::warning(kTag, "the statistics server is not HTTPS: the upload goes without the user token");
    }
    upload.query("userToken", kNull);
  }
  std::shared_ptr<platform::net::HttpRequest> request =
      upload.sessionQuery("uid", SessionValue::Uid)
          .sessionQuery("vercode", SessionValue::Vercode)
          .timeout(std::chrono::seconds(kUploadTimeoutSeconds))
          .field("imei", deviceId())
          .field("ver", std::string(kProtocolVersion))
          .build();
  request->addFile("logdata", fileIn(kUploadFile), "text/plain; charset=utf-8");
  // The request hook adds no fields and no MAC to it.
  request->setNeedPostBody(true);
  request_ = request;
  request->startAsynchronous(
      [](platform::net::HttpRequest& r) {
        if (auto* self = liveRecorder()) self->responseComplete(r);
      },
      [](platform::net::HttpRequest& r) {
        if (auto* self = liveRecorder()) self->responseFailed(r);
      });
}

void DataStatistics::responseComplete(platform::net::HttpRequest& request) { finishUpload(request, true); }

void DataStatistics::responseFailed(platform::net::HttpRequest& request) { finishUpload(request, false); }

void DataStatistics::finishUpload(platform::net::HttpRequest& request, bool delivered) {
  uint64_t generation = 0;
  std::string sent;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    if (request_.get() != &request) return;
    request_.reset();
    generation = generation_;
    sent = std::move(sent_);
    sent_.clear();
  }
  if (!delivered) {
    uploadFailed(std::string(kNoNetworkMessage));
  } else if (auto reply = ReplyEnvelope::parse(request.responseData()); reply && reply->hasStatus()) {
    {
      if (reply->statusText("retCode") == "0000") {
        // What was sent is removed; anything that reached the file since stays for the next
        // upload. The registration file was emptied by the merge that fed this upload.
        std::lock_guard<std::recursive_mutex> lock(lock_);
        const std::string current = readText(kUploadFile);
        const std::string_view sentText = trimmed(sent);
        const std::string_view now = trimmed(current);
        if (now.substr(0, sentText.size()) == sentText) {
          writeText(kUploadFile, trimmed(now.substr(sentText.size())));
        } else {
          platform::log::warning(kTag, "the upload file changed while it was sent; it is kept");
        }
      } else {
        uploadFailed(reply->statusText("errMsg"));
      }
    }
  }
  std::lock_guard<std::mutex> lock(requestMutex_);
  if (generation == generation_) isUploading_.store(false);
}

void DataStatistics::cancelUploadFile() {
  std::shared_ptr<platform::net::HttpRequest> request;
  {
    std::lock_guard<std::mutex> lock(requestMutex_);
    if (!isUploading_.load()) return;
    ++generation_;
    request = std::move(request_);
    request_.reset();
    sent_.clear();
    isUploading_.store(false);
  }
  if (request) request->cancel();
}

// ---------------------------------------------------------------------------------------------
// Probe

std::string DataStatistics::probeProfileJson(std::string_view busid) {
  const DataStatistics& stats = sharedDataStatistics();
  const std::string readerId = stats.psamId();
  const std::string unit = stats.unitId().value_or(std::string());
  const bool reader = !readerId.empty() && !unit.empty();
  const std::optional<std::string> language = stats.language();
  const std::string net = stats.netWorkStatus();

  platform::Json profile = platform::Json::object();
  profile["ver"] = std::string(kProtocolVersion);
  profile["logged"] = User::currentUser().isLogined() ? "true" : "false";
  profile["os"] = "ios";
  profile["sysver"] = stats.iosVersion();
  profile["channel"] = std::string(kChannel);
  profile["qtype"] = reader ? unit : std::string();
  profile["psam"] = reader ? readerId : std::string();
  profile["mobmodel"] = stats.UA() + "," + stats.carrierName() + "," + stats.resolution();
  profile["lang"] = !language || language->find("zh") != std::string::npos ? "zh" : "en";
  profile["net"] = net == "1" ? "wap" : net == "2" ? "wifi" : "";
  profile["mobile"] = User::currentOrRecordLoginName();
  profile["busid"] = std::string(busid);
  profile["imei"] = stats.deviceId();
  return platform::json::dump(profile);
}

std::string DataStatistics::probeText(std::string_view busid) {
  auto encrypted =
      DESUtil::TripleDES(probeProfileJson(busid), ClientSettings::current().probeKey(), CipherOperation::Encrypt);
  if (!encrypted) return {};
  return text::URLEncodedString(*encrypted).value_or(std::string());
}

void DataStatistics::probe(std::string_view busid) {
  const std::string text = probeText(busid);
  if (text.empty()) {
    platform::log::error(kTag, "the probe could not be encrypted; not sent");
    return;
  }
  CoreOperations::probe(text);
}

}  // namespace nvx
