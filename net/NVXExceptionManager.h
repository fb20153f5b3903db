// The crash records: what the client writes when it is about to end by an uncaught exception or a
// fatal signal, kept in "nvxcrash.log" in the temporary sub-folder "NVXLog", and their upload to
// the main API, which empties the file once the server has them.
//
// A record is three lines: the time and the exception's name, the device and session values, and
// the reason with the exception's details (the signal number and the back trace). Reasons are
// written with every long run of digits or hex digits masked, so that a card number, a track, a
// PIN block or a key that found its way into an exception's text never reaches the file.
//
// The device and session values are taken on the main thread (at installation and every minute
// after), so that a record written on a failing worker thread or in a signal handler reads no
// session state from the wrong thread.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "net/UncaughtExceptionHandler.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Sandbox.h"

namespace nvx {

class NVXExceptionManager : public UncaughtExceptionDelegate,
                            public std::enable_shared_from_this<NVXExceptionManager> {
 public:
  static constexpr std::string_view kLogDir = "NVXLog";
  static constexpr std::string_view kLogFile = "nvxcrash.log";
  // How often the values of the records are taken again while the capture is installed.
  static constexpr platform::Duration kRefreshInterval = std::chrono::seconds(60);

  static std::shared_ptr<NVXExceptionManager> sharedNVXExceptionManager();
  static std::shared_ptr<NVXExceptionManager> sharedManager() { return sharedNVXExceptionManager(); }

  NVXExceptionManager() = default;
  NVXExceptionManager(const NVXExceptionManager&) = delete;
  NVXExceptionManager& operator=(const NVXExceptionManager&) = delete;

  // The crash file (its folder is made when missing).
  static platform::Path crashFilePath();

  // Installs the capture with this manager as the delegate. Main thread.
  void installExceptionHandler();
  // Appends the exception's record to the crash file (atomically): after the file's text without
  // the blanks around it and one line end, or alone when the file is missing or blank.
  void handleExceptionBeforeCrashOut(const UncaughtException& exception) override;
  // The record of the exception at the current local time.
  std::string crashRecord(const UncaughtException& exception);
  // Sends the crash file to the main API when it holds anything, and empties it when the upload
  // reports no error. Main thread.
  void uploadExceptionFile();

  // Takes the device and session values again and prepares the record a fatal signal writes.
  // Main thread.
  void refreshProfile();

  // The text with every run of 12 or more digits, and every run of 16 or more hex digits, masked.
  static std::string redacted(std::string_view text);

 private:
  // The record's three lines with these values (no masking).
  std::string recordText(std::string_view time, std::string_view name, std::string_view reason,
                         std::string_view details);
  std::string infoLine();

  std::mutex mutex_;
  std::string infoLine_;   // guarded by mutex_; empty until the values were first taken
  platform::TimerId refreshTimer_ = 0;
};

}  // namespace nvx
