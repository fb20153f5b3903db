#include "net/UncaughtExceptionHandler.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <typeinfo>

#include "platform/foundation/Clock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Process.h"

namespace nvx {

namespace {

constexpr std::string_view kTag = "UncaughtExceptionHandler";

// --- state a signal handler can reach ---
//
// A signal handler can reach nothing but static storage, so this state is not kept in a
// registered state struct like the rest of the client's; a reset hook (registered at the first
// installation) puts it back for the next test instead.

constexpr size_t kPathBytes = 4096;
constexpr size_t kRecordBytes = 16384;

struct PreparedRecord {
  char dir[kPathBytes];
  char file[kPathBytes];
  char temp[kPathBytes];
  char text[kRecordBytes];
  int64_t utcOffsetSeconds;
  int64_t wallSecondsAtPrepare;
  int64_t monotonicNanosAtPrepare;
};

// Two slots: a new record is written into the one no handler reads, then published.
PreparedRecord gRecords[2];
std::atomic<int> gActiveRecord{-1};
std::atomic<unsigned> gEvents{0};
std::atomic<pid_t> gHandlingThread{0};
std::atomic<bool> gInstalled{false};
struct sigaction gPreviousActions[UncaughtExceptionHandler::kSignals.size()];
std::terminate_handler gPreviousTerminate = nullptr;
void* gFrames[UncaughtExceptionHandler::kMaxFrames];
char gIo[4096];
std::once_flag gResetHookOnce;

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<unsigned>::is_always_lock_free &&
              std::atomic<pid_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

bool caught(int sig) { return sig != SIGPIPE && sig != SIGKILL; }

// --- async-signal-safe helpers: no allocation, no locks, no stdio ---

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Decimal digits of a non-negative number, at least `width` of them (zero-padded).
size_t formatNumber(char* out, int64_t value, int width) {
  char digits[24];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < sizeof digits);
  while (n < static_cast<size_t>(width) && n < sizeof digits) digits[n++] = '0';
  for (size_t i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
  return n;
}

// "yyyy-MM-dd HH:mm" of seconds since the epoch in local time (days to a civil date as in the
// proleptic Gregorian calendar).
size_t formatLocalTime(char* out, int64_t localSeconds) {
  int64_t days = localSeconds / 86400;
  int64_t rest = localSeconds % 86400;
  if (rest < 0) {
    rest += 86400;
    days -= 1;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  size_t n = 0;
  n += formatNumber(out + n, year, 4);
  out[n++] = '-';
  n += formatNumber(out + n, month, 2);
  out[n++] = '-';
  n += formatNumber(out + n, day, 2);
  out[n++] = ' ';
  n += formatNumber(out + n, rest / 3600, 2);
  out[n++] = ':';
  n += formatNumber(out + n, (rest % 3600) / 60, 2);
  return n;
}

int64_t monotonicNanos() {
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Copies the file's text without the blanks and line ends around it, then one line end; nothing
// for a missing, unreadable or blank file.
void copyTrimmed(const char* file, int out) {
  int in = ::open(file, O_RDONLY | O_CLOEXEC);
  if (in < 0) return;
  off_t first = -1;
  off_t last = -1;
  off_t pos = 0;
  for (;;) {
    ssize_t n = ::read(in, gIo, sizeof gIo);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t i = 0; i < n; ++i) {
      if (isBlank(gIo[i])) continue;
      if (first < 0) first = pos + i;
      last = pos + i;
    }
    pos += n;
  }
  if (first >= 0) {
    off_t at = first;
    while (at <= last) {
      size_t want = static_cast<size_t>(last - at + 1);
      if (want > sizeof gIo) want = sizeof gIo;
      ssize_t n = ::pread(in, gIo, want, at);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0 || !writeAll(out, gIo, static_cast<size_t>(n))) break;
      at += n;
    }
    writeAll(out, "\n", 1);
  }
  ::close(in);
}

// The prepared record for the signal, through a temporary file renamed over the crash file.
void writeSignalRecord(int sig) {
  const int slot = gActiveRecord.load(std::memory_order_acquire);
  if (slot < 0) return;
  const PreparedRecord& r = gRecords[slot];
  ::mkdir(r.dir, 0700);
  int out = ::open(r.temp, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (out < 0) return;
  copyTrimmed(r.file, out);

  const int64_t elapsed = (monotonicNanos() - r.monotonicNanosAtPrepare) / 1'000'000'000;
  char time[32];
  const size_t timeLength = formatLocalTime(time, r.wallSecondsAtPrepare + elapsed + r.utcOffsetSeconds);
  char number[24];
  const size_t numberLength = formatNumber(number, sig, 1);

  const char* text = r.text;
  size_t run = 0;
  for (size_t i = 0;; ++i) {
    const char c = text[i];
    const bool marker = c == SignalRecordTemplate::kTimeMarker || c == SignalRecordTemplate::kSignalMarker ||
                        c == SignalRecordTemplate::kFramesMarker;
    if (c != '\0' && !marker) continue;
    writeAll(out, text + run, i - run);
    run = i + 1;
    if (c == '\0') break;
    if (c == SignalRecordTemplate::kTimeMarker) {
      writeAll(out, time, timeLength);
    } else if (c == SignalRecordTemplate::kSignalMarker) {
      writeAll(out, number, numberLength);
    } else {
      const int frames = ::backtrace(gFrames, UncaughtExceptionHandler::kMaxFrames);
      ::backtrace_symbols_fd(gFrames, frames, out);
    }
  }
  ::fsync(out);
  ::close(out);
  ::rename(r.temp, r.file);
}

void restoreDefaultActions() {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  for (int sig : UncaughtExceptionHandler::kSignals) {
    if (caught(sig)) ::sigaction(sig, &dfl, nullptr);
  }
}

// An event that is not handled ends the process by its own default action: raised now, it is
// delivered as soon as the handler returns (the signal is blocked while the handler runs).
void endUnhandled(int sig) {
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  ::sigaction(sig, &dfl, nullptr);
  ::raise(sig);
}

// Another thread handles an event and will end the process: wait for that, for a while.
void waitForTheEnd() {
  timespec step{0, 10'000'000};
  for (int i = 0; i < 300; ++i) ::nanosleep(&step, nullptr);
}

// Claims the handling of an event for this thread. False when the event must not be handled:
// past the count, a failure inside this thread's own handling, or another thread's handling
// that did not end the process in time.
bool claimEvent() {
  const unsigned count = gEvents.fetch_add(1) + 1;
  const pid_t self = ::gettid();
  if (count > static_cast<unsigned>(UncaughtExceptionHandler::kMaxEvents)) return false;
  pid_t expected = 0;
  if (gHandlingThread.compare_exchange_strong(expected, self)) return true;
  if (expected != self) waitForTheEnd();
  return false;
}

extern "C" void onFatalSignal(int sig) {
  const int savedErrno = errno;
  if (!claimEvent()) {
    endUnhandled(sig);
    errno = savedErrno;
    return;
  }
  writeSignalRecord(sig);
  restoreDefaultActions();
  ::raise(sig);
  errno = savedErrno;
}

// --- the uncaught exception (an ordinary context: the failing thread, anything may be called) ---

std::string demangled(const char* name) {
  int status = 0;
  char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
  std::string out = status == 0 && readable != nullptr ? readable : name;
  std::free(readable);
  return out;
}

UncaughtException currentException() {
  UncaughtException e;
  std::exception_ptr current = std::current_exception();
  if (!current) {
    e.name = "std::terminate";
    e.reason = "terminate called without an active exception";
    return e;
  }
  const std::type_info* type = abi::__cxa_current_exception_type();
  e.name = type != nullptr ? demangled(type->name()) : "unknown";
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& ex) {
    e.reason = ex.what();
  } catch (...) {
  }
  return e;
}

[[noreturn]] void endAsUncaught() {
  if (gPreviousTerminate != nullptr) gPreviousTerminate();
  std::abort();
}

[[noreturn]] void onTerminate() {
  if (!claimEvent()) endAsUncaught();
  UncaughtException e = currentException();
  e.addresses = UncaughtExceptionHandler::backtrace();
  UncaughtExceptionHandler::sharedHandler().handleException(e);
}

void uninstall() {
  if (!gInstalled.exchange(false)) return;
  for (size_t i = 0; i < UncaughtExceptionHandler::kSignals.size(); ++i) {
    const int sig = UncaughtExceptionHandler::kSignals[i];
    if (caught(sig)) ::sigaction(sig, &gPreviousActions[i], nullptr);
  }
  std::set_terminate(gPreviousTerminate);
}

void registerResetHook() {
  std::call_once(gResetHookOnce, [] {
    platform::Process::current().addResetHook("nvx.UncaughtExceptionHandler", [](platform::ResetKind) {
      uninstall();
      gActiveRecord.store(-1);
      gEvents.store(0);
      gHandlingThread.store(0);
    });
  });
}

void copyText(char* out, size_t capacity, std::string_view text) {
  const size_t n = std::min(text.size(), capacity - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace

std::string UncaughtException::detailsDescription() const {
  std::string out = "{\n    " + std::string(UncaughtExceptionHandler::kAddressesKey) + " = (\n";
  for (const std::string& frame : addresses) out += frame + "\n";
  out += "    );\n";
  if (signal) out += "    " + std::string(UncaughtExceptionHandler::kSignalKey) + " = " + std::to_string(*signal) + ";\n";
  out += "}";
  return out;
}

UncaughtExceptionHandler& UncaughtExceptionHandler::sharedUncaughtExceptionHandler() {
  return platform::Process::current().shared<UncaughtExceptionHandler>();
}

void UncaughtExceptionHandler::setDelegate(std::weak_ptr<UncaughtExceptionDelegate> delegate) {
  delegate_ = std::move(delegate);
}

void UncaughtExceptionHandler::installUncaughtExceptionHandlerWithDelegate(
    std::weak_ptr<UncaughtExceptionDelegate> delegate) {
  sharedHandler().setDelegate(std::move(delegate));
  registerResetHook();
  // The first back trace loads the unwinder (it allocates); do it now, not inside a handler.
  void* warmUp[2];
  ::backtrace(warmUp, 2);
  if (gInstalled.exchange(true)) return;
  struct sigaction action {};
  action.sa_handler = onFatalSignal;
  sigemptyset(&action.sa_mask);
  for (int sig : kSignals) {
    if (caught(sig)) sigaddset(&action.sa_mask, sig);
  }
  for (size_t i = 0; i < kSignals.size(); ++i) {
    if (caught(kSignals[i])) ::sigaction(kSignals[i], &action, &gPreviousActions[i]);
  }
  gPreviousTerminate = std::set_terminate(onTerminate);
}

bool UncaughtExceptionHandler::isInstalled() { return gInstalled.load(); }

std::vector<std::string> UncaughtExceptionHandler::backtrace() {
  void* frames[kMaxFrames];
  const int count = ::backtrace(frames, kMaxFrames);
  std::vector<std::string> out;
  char** symbols = ::backtrace_symbols(frames, count);
  if (symbols == nullptr) return out;
  out.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out.emplace_back(symbols[i]);
  std::free(symbols);
  return out;
}

void UncaughtExceptionHandler::handleException(const UncaughtException& exception) {
  if (auto delegate = delegate_.lock()) {
    try {
      delegate->handleExceptionBeforeCrashOut(exception);
    } catch (...) {
      // The record is lost; the process still ends as it should.
    }
  }
  restoreDefaultActions();
  gInstalled.store(false);
  std::set_terminate(gPreviousTerminate);
  if (exception.name == kSignalExceptionName && exception.signal) ::raise(*exception.signal);
  endAsUncaught();
}

void UncaughtExceptionHandler::prepareSignalRecord(const SignalRecordTemplate& record) {
  registerResetHook();
  const int active = gActiveRecord.load(std::memory_order_acquire);
  PreparedRecord& r = gRecords[active == 0 ? 1 : 0];
  const std::string file = record.file.string();
  copyText(r.dir, sizeof r.dir, record.file.parent_path().string());
  copyText(r.file, sizeof r.file, file);
  copyText(r.temp, sizeof r.temp, file + ".signal");
  if (record.text.size() >= sizeof r.text) {
    platform::log::warning(kTag, "crash record cut to fit");
  }
  copyText(r.text, sizeof r.text, record.text);
  r.utcOffsetSeconds = record.utcOffsetSeconds;
  r.wallSecondsAtPrepare =
      std::chrono::duration_cast<std::chrono::seconds>(platform::clock().wallNow().time_since_epoch()).count();
  r.monotonicNanosAtPrepare = monotonicNanos();
  gActiveRecord.store(active == 0 ? 1 : 0, std::memory_order_release);
}

void UncaughtExceptionHandler::clearSignalRecord() { gActiveRecord.store(-1, std::memory_order_release); }

}  // namespace nvx
