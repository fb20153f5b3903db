// The shared usage-statistics recorder.
//
// Device profile: describes the device, the client and the current reader to the servers; every
// value is computed afresh on each call (nothing cached). psamId reads the session and belongs to
// the main thread; the others may be read from any thread.
//
// Records: one comma-separated line per event of the client (code, local time, device id, then
// the fields of the code), kept in UTF-8 text files in the Caches folder and uploaded as one file
// to the statistics server. A value that is absent is written "(null)". Values never carry the
// record's separators: a comma, CR or LF inside a value becomes a blank; card numbers and card
// tracks in caller-supplied values are masked. A record is appended at the end of its file in
// constant time (the flush to the disk follows on a worker thread) and is found whole or not at
// all after the process was killed at any point; every other change of a file rewrites it
// atomically (mode 0600). A file that grows past kFileCapBytes (records waiting while offline)
// keeps its newest records (and the upload file its header) within kFileKeepBytes, followed by a
// 9999 record that counts the records dropped.
//
// Threads: records may be written from any thread; appends and the merge of the temporary files
// hold the recorder's recursive lock. The record operations read the session (login name, user
// id) and are called on the main thread, as are clientActive, notificationRecord, the upload's
// completion and probe. uploadFile may be called from any thread: it reads the session on the
// main thread, does the file work on a thread of its own and starts the request on the main
// thread.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace platform {
class Process;
namespace net {
class HttpRequest;
}
}  // namespace platform

namespace nvx {

class DataStatistics {
 public:
  // The public host whose reachability is the network status.
  static constexpr std::string_view kReachabilityHost = "www.example.com";
  // User default: the chosen reader model ("0001", ...).
  static constexpr std::string_view kUnitIdKey = "unitid";
  // User default: "1" once the activation record was accepted.
  static constexpr std::string_view kInstalledKey = "INSTALLED";

  // The files, in the Caches folder.
  static constexpr std::string_view kUploadFile = "DataStatisticsFile.txt";
  static constexpr std::string_view kTempFile = "DataStatisticsFileTemp.txt";
  static constexpr std::string_view kTempRegFile = "DataStatisticsFileTempReg.txt";
  static constexpr std::string_view kTempPushFile = "DataStatisticsFileTempPush.txt";

  static constexpr std::string_view kChannel = "IOS00";
  // A value that is absent.
  static constexpr std::string_view kNull = "(null)";
  // The 9999 message of an upload that got no reply.
  static constexpr std::string_view kNoNetworkMessage = "客户端未联网或客户端网络较差";
  // The upload's method path, under the statistics base address.
  static constexpr std::string_view kUploadMethod = "uploadCsvFile";
  static constexpr std::string_view kProtocolVersion = "28";
  // Real time an upload may take.
  static constexpr int kUploadTimeoutSeconds = 60;
  // The size a record file may reach, and what is kept of it when it goes beyond.
  static constexpr uint64_t kFileCapBytes = 4u << 20;
  static constexpr uint64_t kFileKeepBytes = 3u << 20;

  // The shared recorder, created on first use (under a lock). Its creation writes the network
  // record (0013) on a thread of its own.
  static DataStatistics& sharedDataStatistics();

  DataStatistics(const DataStatistics&) = delete;
  DataStatistics& operator=(const DataStatistics&) = delete;
  ~DataStatistics();

  // --- device profile ---
  // Lower-case hex MD5 of the Wi-Fi hardware address written "%02X:%02X:%02X:%02X:%02X:%02X"
  // (32 characters, never empty; also the "imei" of the statistics requests). An address that
  // cannot be read as six hex bytes counts as 00:00:00:00:00:00.
  std::string deviceId() const;
  // The machine name with every "," replaced by "-" ("iPhone5,2" -> "iPhone5-2").
  std::string UA() const;
  // The machine name ("hw.machine") unchanged.
  std::string getDeviceVersion() const;
  // The main screen's bounds in points, "%.0f*%.0f" ("320*568").
  std::string resolution() const;
  // The bundle's "CFBundleVersion"; nothing when the bundle has none.
  std::optional<std::string> appVersion() const;
  // The first of the preferred languages (the user default "AppleLanguages", else the device's
  // list); nothing when there is none.
  std::optional<std::string> language() const;
  // The system version text.
  std::string iosVersion() const;
  // Always "".
  std::string phoneNumber() const;
  // The session's reader terminal id, or "".
  std::string psamId() const;
  // The user default "unitid"; nothing until a reader model has been chosen.
  std::optional<std::string> unitId() const;
  // "l", "y" or "d" for the three domestic carriers by name; "" for any other or without a SIM.
  std::string carrierName() const;
  // The SIM carrier's codes and name; nothing without a SIM.
  std::optional<std::string> mobileCountryCode() const;
  std::optional<std::string> mobileNetworkCode() const;
  std::optional<std::string> mobileNetworkName() const;
  // Country code followed by network code; nothing without a SIM.
  std::optional<std::string> IMSISubFive() const;
  // The reachability of kReachabilityHost: "-1" not reachable, "1" mobile data, "2" Wi-Fi.
  std::string netWorkStatus() const;
  bool isNotReachableNetWork() const;

  // --- records (main thread) ---
  // 0011. The argument is a step identifier, optionally followed by "," and a sub-step
  // ("B00015_2,<product id>"); nothing is written when it is absent.
  void stepRecord(std::optional<std::string> step);
  // 0007 / 0008: a card payment succeeded / failed.
  void swiperCompletion();
  void swiperFailed();
  // 0006: a reader's KSN was read (the KSN itself is never written, only whether there was one),
  // or none when the reader was not recognised.
  void swipeHardWareRecord(std::optional<std::string> ksn);
  // 0012; nothing when the argument is absent.
  void advertisementRecord(std::optional<std::string> advertId);
  // 0017 into the push file, then posted at once; when the post reports no error the record is
  // taken out of the push file again (other records waiting there stay).
  void notificationRecord(bool known, std::optional<std::string> msgId);
  // 0018: the mall opened on a theme, through a promotion source.
  void mallOpenRecord(std::optional<std::string> themeId, std::optional<std::string> source);
  // 0018 with the mall step identifier and the product count ("0" when absent or empty).
  void mallOpenRecord(std::optional<std::string> itemId, std::optional<std::string> source,
                      std::optional<std::string> bussId, std::optional<std::string> proNum);
  // 0019: false at a cold start, true when the application becomes active again.
  void reOpenRecord(bool reopened);
  // 0021.
  void swiperOpenFail(bool failed);
  // 9999.
  void uploadFailed(std::optional<std::string> message);
  // 0010, posted at once; on a reported error the record waits in the Temp file, otherwise the
  // user default "INSTALLED" becomes "1".
  void clientActive();
  // 0014 into the registration file; returns the record text for the caller to post.
  std::string registerSuccessRecord(std::optional<std::string> phoneNumber);
  // Empties the registration file.
  void clearRegisterFileData();
  // Starts a thread that writes 0013 (composed now, on the calling thread).
  void recordNetWorkStatus();

  // --- upload ---
  // Uploads the records when uploads are not paused, the main API host is reachable, no upload
  // is under way and the upload file holds records; see the file comment for the threads.
  void uploadFile();
  // Stops the upload under way (or about to start) and clears isUploading; its records stay.
  void cancelUploadFile();
  void setIsPauseUpload(bool pause) { isPauseUpload_.store(pause); }
  bool isPauseUpload() const { return isPauseUpload_.load(); }
  bool isUploading() const { return isUploading_.load(); }
  // The upload request's outcomes (main thread; ignored for a request that is not the current
  // upload).
  void responseComplete(platform::net::HttpRequest& request);
  void responseFailed(platform::net::HttpRequest& request);

  // --- files (names in the Caches folder) ---
  // Appends one record: the file's text trimmed of blanks and line ends at both ends, "\n" when
  // anything is left, the record as it stands. Written at the end of the file in place (see the
  // file comment); a file past kFileCapBytes then drops its oldest records.
  void writeFile(std::string_view record, std::string_view fileName);
  // Writes the empty text to the file, atomically.
  void clearFileData(std::string_view fileName);
  // Assembles the header block (0001, 0002, 0003, 0004, 0005, 0009 with one time, each followed
  // by "\n") in _data and appends it to the file as one record.
  void print(std::string_view fileName);
  // When the file is missing or does not hold the device id: empties it and writes the header.
  void prePrintIfNeed(std::string_view fileName);
  // Prepares the upload file: a missing one gets the header only; an existing one that does not
  // begin with the complete header gets a new header (records below it are kept), then the
  // temporary files are merged into it. Does nothing while an upload is under way: the file is
  // being sent.
  void createFile();
  // Appends each temporary file (Temp, TempReg, TempPush) to the upload file and empties it,
  // under the lock. Does nothing while an upload is under way.
  void dataIntegration();
  // Whether the file holds a record beyond the header (the device id occurs at least 7 times).
  bool isExistsRecordsInFile(std::string_view fileName) const;
  bool isExistsRecords() const;
  // The local time "yyyy-MM-dd HH:mm:ss".
  std::string currentRecordTime() const;

  // --- probe (main thread) ---
  // Sends the encrypted device profile for a business to the probe server.
  static void probe(std::string_view busid);
  // The profile object the probe carries, and the escaped Base64 text that follows "/probe/"
  // (empty when the probe key is unusable).
  static std::string probeProfileJson(std::string_view busid);
  static std::string probeText(std::string_view busid);

 private:
  friend class platform::Process;
  DataStatistics();

  struct Snapshot;
  Snapshot snapshot() const;
  std::string headerBlock() const;
  void printHeader(std::string_view fileName, const std::string& header);
  void prepareUploadFile(const Snapshot& s);
  void mergeTemporaryFiles();
  void runUpload(const Snapshot& s);
  void startUploadRequest(uint64_t generation);
  void finishUpload(platform::net::HttpRequest& request, bool delivered);
  bool removeRecord(std::string_view record, std::string_view fileName);
  void dropOldestRecords(std::string_view fileName);
  void syncSoon(std::string_view fileName);
  void syncFiles();

  // Appends and the merge (each file's append and emptying together).
  mutable std::recursive_mutex lock_;
  std::string data_;  // the header block being assembled (under lock_)
  std::set<std::string, std::less<>> unsynced_;  // files appended to since the last flush (under lock_)
  bool syncScheduled_ = false;                   // a flush is on its way (under lock_)

  std::atomic<bool> isUploading_{false};
  std::atomic<bool> isPauseUpload_{false};

  std::mutex requestMutex_;  // request_, generation_, sent_
  std::shared_ptr<platform::net::HttpRequest> request_;
  uint64_t generation_ = 0;   // a cancel makes the pending start stale
  std::string sent_;          // the upload file's text as it went out
};

}  // namespace nvx
