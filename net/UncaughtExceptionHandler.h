// Catches what would end the process (an uncaught exception, a fatal signal), has a crash record
// written, and then lets the process end exactly as it would have ended without it.
//
// Uncaught exceptions reach the process's terminate handler. The event is handled on the thread
// that failed: the delegate writes its record there, the defaults come back, and the previous
// terminate handler ends the process (SIGABRT). Nothing waits for the main thread, which may
// itself be the one that failed or be blocked waiting for the failing thread.
//
// Fatal signals run in a signal handler, where only async-signal-safe calls belong: no
// allocation, no locks, no stdio. So the delegate prepares the signal's record on the main thread
// beforehand (prepareSignalRecord, and again whenever its values may have changed); the handler
// fills in the time and the signal number, writes it with write(2) through a temporary file renamed
// into place, sets the caught signals back to their default action and raises the signal again,
// so that the process ends by it. The back trace goes out through backtrace_symbols_fd; the
// unwinder behind it is loaded at installation, so that it neither loads nor allocates anything
// inside the handler. SIGPIPE is never caught: a write to a closed socket or pipe fails with
// EPIPE (the process ignores SIGPIPE) instead of ending the client. SIGKILL cannot be caught.
//
// One event is handled; events on other threads while it is handled wait for the process to end.
// At most kMaxEvents events are counted; later ones (and a failure inside the handling) are not
// handled and end the process by their own default action.
#pragma once
#include <array>
#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Sandbox.h"

namespace platform {
class Process;
}

namespace nvx {

// The exception handed to the delegate: its name and reason, and its details (the signal number
// for a signal, and the back trace).
struct UncaughtException {
  std::string name;
  std::string reason;
  std::optional<int> signal;             // "UncaughtExceptionHandlerSignalKey"
  std::vector<std::string> addresses;    // "UncaughtExceptionHandlerAddressesKey"

  // The details as text:
  //   {
  //       UncaughtExceptionHandlerAddressesKey = (
  //   <one line per frame, innermost first>
  //       );
  //       UncaughtExceptionHandlerSignalKey = 11;
  //   }
  // (the signal line only for a signal).
  std::string detailsDescription() const;
};

class UncaughtExceptionDelegate {
 public:
  virtual ~UncaughtExceptionDelegate() = default;
  // Called on the failing thread, before the process ends, for an uncaught exception.
  virtual void handleExceptionBeforeCrashOut(const UncaughtException& exception) = 0;
};

// What a fatal signal writes, prepared ahead of any crash (see prepareSignalRecord): the whole
// record as text, with markers where the handler puts what it learns only then.
struct SignalRecordTemplate {
  static constexpr char kTimeMarker = '\x01';     // the local time, "yyyy-MM-dd HH:mm"
  static constexpr char kSignalMarker = '\x02';   // the signal number
  static constexpr char kFramesMarker = '\x03';   // the back trace, one line per frame

  platform::Path file;            // the crash file (its folder is made when missing)
  std::string text;               // the record, appended after the file's text and one line end
  int64_t utcOffsetSeconds = 0;   // the local time zone's offset from UTC
};

class UncaughtExceptionHandler {
 public:
  static constexpr std::string_view kSignalExceptionName = "UncaughtExceptionHandlerSignalExceptionName";
  static constexpr std::string_view kSignalKey = "UncaughtExceptionHandlerSignalKey";
  static constexpr std::string_view kAddressesKey = "UncaughtExceptionHandlerAddressesKey";
  // The localized reason of a signal (a format with the signal number).
  static constexpr std::string_view kSignalReasonKey = "Signal %d was raised.";
  static constexpr int kMaxEvents = 10;
  static constexpr int kMaxFrames = 128;
  // In the order they are installed and restored.
  static constexpr std::array<int, 9> kSignals = {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV,
                                                  SIGTRAP, SIGTERM, SIGKILL, SIGPIPE};

  static UncaughtExceptionHandler& sharedUncaughtExceptionHandler();
  static UncaughtExceptionHandler& sharedHandler() { return sharedUncaughtExceptionHandler(); }

  UncaughtExceptionHandler(const UncaughtExceptionHandler&) = delete;
  UncaughtExceptionHandler& operator=(const UncaughtExceptionHandler&) = delete;

  // Not owned.
  std::shared_ptr<UncaughtExceptionDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<UncaughtExceptionDelegate> delegate);

  // Sets the delegate and installs the handlers: the signal handler for the nine signals (but
  // SIGPIPE and SIGKILL) and the terminate handler. Main thread.
  static void installUncaughtExceptionHandlerWithDelegate(std::weak_ptr<UncaughtExceptionDelegate> delegate);
  static bool isInstalled();

  // The calling stack now, one symbol text per frame, innermost first, at most kMaxFrames.
  static std::vector<std::string> backtrace();

  // The final step for an exception: the delegate's record, the default signal actions and
  // terminate handler back, then the process ends as the event would have ended it (a signal
  // exception raises its signal again; any other ends through the previous terminate handler).
  [[noreturn]] void handleException(const UncaughtException& exception);

  // The delegate's record for a fatal signal, replacing the one prepared before; nothing (no
  // record is written) after clearSignalRecord. Main thread.
  static void prepareSignalRecord(const SignalRecordTemplate& record);
  static void clearSignalRecord();

 private:
  friend class platform::Process;
  UncaughtExceptionHandler() = default;

  std::weak_ptr<UncaughtExceptionDelegate> delegate_;
};

}  // namespace nvx
