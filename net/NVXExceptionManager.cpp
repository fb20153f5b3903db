#include "net/NVXExceptionManager.h"

#include "core/session/AppDirs.h"
#include "core/text/DateFormats.h"
#include "core/session/User.h"
#include "net/DataStatistics.h"
#include "net/NetService.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"
#include "platform/foundation/Strings.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "NVXExceptionManager";

// The record's lines, exactly as the server's readers expect them.
constexpr std::string_view kHeadFormat = "[%@ crash %@]\n";
constexpr std::string_view kInfoFormat =
    "     Info：客户端版本号：%@     iOS：%@       UA：%@       分辨率：%@       设备ID：%@     刷卡器ID：%@       "
    "刷卡器型号：%@       运营商：%@       用户ID：%@\n";
constexpr std::string_view kReasonFormat = "     Reason：%@\n%@\n";

struct ManagerHolder {
  std::shared_ptr<NVXExceptionManager> manager = std::make_shared<NVXExceptionManager>();
};

// The format with each "%@" replaced by the next value.
std::string fill(std::string_view format, std::initializer_list<std::string_view> values) {
  std::string out;
  auto next = values.begin();
  size_t at = 0;
  for (size_t found = format.find("%@"); found != std::string_view::npos; found = format.find("%@", at)) {
    out.append(format.substr(at, found - at));
    if (next != values.end()) out.append(*next++);
    at = found + 2;
  }
  out.append(format.substr(at));
  return out;
}

// A value of the record: no control characters (they would break its lines, or be taken for the
// signal record's markers).
std::string plain(std::string_view value) {
  std::string out;
  for (char c : value) {
    if (static_cast<unsigned char>(c) >= 0x20) out.push_back(c);
  }
  return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The local time zone's offset from UTC now, in seconds ("+0800" read from the date formatter).
int64_t utcOffsetSeconds() {
  const std::string zone = formatDate(platform::clock().wallNow(), "Z");
  if (zone.size() != 5 || (zone[0] != '+' && zone[0] != '-')) return 0;
  for (size_t i = 1; i < 5; ++i) {
    if (!isDigit(zone[i])) return 0;
  }
  const int64_t hours = (zone[1] - '0') * 10 + (zone[2] - '0');
  const int64_t minutes = (zone[3] - '0') * 10 + (zone[4] - '0');
  const int64_t seconds = hours * 3600 + minutes * 60;
  return zone[0] == '-' ? -seconds : seconds;
}

}  // namespace

std::shared_ptr<NVXExceptionManager> NVXExceptionManager::sharedNVXExceptionManager() {
  return platform::Process::current().shared<ManagerHolder>().manager;
}

platform::Path NVXExceptionManager::crashFilePath() { return AppDirs::localPathInAppSubDir(kLogFile, kLogDir); }

void NVXExceptionManager::installExceptionHandler() {
  refreshProfile();
  UncaughtExceptionHandler::installUncaughtExceptionHandlerWithDelegate(
      std::static_pointer_cast<UncaughtExceptionDelegate>(shared_from_this()));
  if (refreshTimer_ == 0) {
    std::weak_ptr<NVXExceptionManager> weak = shared_from_this();
    refreshTimer_ = platform::RunLoop::main().every(kRefreshInterval, [weak] {
      if (auto manager = weak.lock()) manager->refreshProfile();
    });
  }
}

std::string NVXExceptionManager::infoLine() {
  if (platform::RunLoop::main().isMainThread()) refreshProfile();
  std::lock_guard<std::mutex> lock(mutex_);
  return infoLine_;
}

void NVXExceptionManager::refreshProfile() {
  const DataStatistics& profile = DataStatistics::sharedDataStatistics();
  const User& user = User::currentUser();
  std::string info = fill(kInfoFormat, {plain(profile.appVersion().value_or("")), plain(profile.iosVersion()),
                                        plain(profile.UA()), plain(profile.resolution()), plain(profile.deviceId()),
                                        plain(user.psamId()), plain(profile.unitId().value_or("")),
                                        plain(profile.carrierName()), plain(user.loginName())});
  {
    std::lock_guard<std::mutex> lock(mutex_);
    infoLine_ = info;
  }

  // The record a fatal signal writes: the same lines, with the time, the signal number and the
  // back trace left for the signal handler.
  std::string reason = plain(platform::Strings::localized(UncaughtExceptionHandler::kSignalReasonKey));
  if (size_t at = reason.find("%d"); at != std::string::npos) {
    reason.replace(at, 2, 1, SignalRecordTemplate::kSignalMarker);
  }
  const std::string details = "{\n    " + std::string(UncaughtExceptionHandler::kAddressesKey) + " = (\n" +
                              SignalRecordTemplate::kFramesMarker + "    );\n    " +
                              std::string(UncaughtExceptionHandler::kSignalKey) + " = " +
                              SignalRecordTemplate::kSignalMarker + ";\n}";
  SignalRecordTemplate record;
  record.file = crashFilePath();
  record.text = fill(kHeadFormat, {std::string(1, SignalRecordTemplate::kTimeMarker),
                                   UncaughtExceptionHandler::kSignalExceptionName}) +
                info + fill(kReasonFormat, {reason, details});
  record.utcOffsetSeconds = utcOffsetSeconds();
  UncaughtExceptionHandler::prepareSignalRecord(record);
}

std::string NVXExceptionManager::recordText(std::string_view time, std::string_view name, std::string_view reason,
                                            std::string_view details) {
  return fill(kHeadFormat, {time, name}) + infoLine() + fill(kReasonFormat, {reason, details});
}

std::string NVXExceptionManager::crashRecord(const UncaughtException& exception) {
  return recordText(standardCurrentDate(), plain(exception.name), redacted(plain(exception.reason)),
                    exception.detailsDescription());
}

void NVXExceptionManager::handleExceptionBeforeCrashOut(const UncaughtException& exception) {
  const platform::Path file = crashFilePath();
  std::string text(trimmed(platform::fs::read(file).value_or("")));
  if (!text.empty()) text += "\n";
  text += crashRecord(exception);
  if (!platform::fs::writeAtomic(file, text)) platform::log::error(kTag, "crash record not written");
}

void NVXExceptionManager::uploadExceptionFile() {
  const platform::Path file = crashFilePath();
  std::optional<std::string> text = platform::fs::read(file);
  if (!text || text->empty()) return;
  NetService::uploadErrorLogWithFile(file, [file](NetResult, RetStatusEntity status, bool isErr) {
    if (isErr) {
      platform::log::info(kTag, "crash log kept for a later upload: " + status.errMsg());
      return;
    }
    if (!platform::fs::writeAtomic(file, "")) platform::log::error(kTag, "crash log not emptied");
  });
}

std::string NVXExceptionManager::redacted(std::string_view text) {
  std::string out(text);
  size_t i = 0;
  while (i < out.size()) {
    if (!isHex(out[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    size_t longestDigits = 0;
    size_t digits = 0;
    while (end < out.size() && isHex(out[end])) {
      digits = isDigit(out[end]) ? digits + 1 : 0;
      longestDigits = std::max(longestDigits, digits);
      ++end;
    }
    if (end - i >= 16 || longestDigits >= 12) {
      for (size_t k = i; k < end; ++k) out[k] = '*';
    }
    i = end;
  }
  return out;
}

}  // namespace nvx
