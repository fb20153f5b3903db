// The statistics-server stand-in: the client's statistics server on 127.0.0.1 (HTTP or HTTPS),
// answering under "/mobilestatics/iphone/<method>.json" with the reply envelope
// {"retStatus":{"retCode","errMsg"}}:
//  - "uploadCsvFile": the statistics file as the multipart file field "logdata", with the form
//    fields "imei" and "ver" and the query "userToken", "uid", "vercode";
//  - "insertStaticesInfo": one record as the form field "infoStr", with "imei", "uid", "vercode";
//  - "addIphoneToken": the device token ("deviceToken", "deviceId", "switchState"), the identity
//    in the query;
//  - "getIosPushMsg": a GET with "msgId" and the identity in the query, answered with a list of
//    one message {"msgId", "aContent", "aUrl", "note"} (kPushMessageContent).
// Like the real server it checks the identity (the vercode computed with OpenSSL from the uid and
// the salt) and the fields each method needs; every call is logged for tests. Tests script the
// reply of a method (another code, a body that is not JSON) and can hold uploads until released.
#pragma once
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"

namespace standin {

class StatisticsStandin final : public StandinServer, public ServiceCodes {
 public:
  static constexpr std::string_view kBasePath = "/mobilestatics/iphone/";
  // The "aContent" of the push message served for any id.
  static constexpr std::string_view kPushMessageContent = "诺维萨消息";

  struct Settings {
    std::string vercodeSalt;
    std::optional<TestCertificates> tls;  // serve HTTPS with these when set
    // The salt of the bundle's "client-settings.json".
    static platform::Result<Settings> fromProjectFiles();
  };

  // One statistics-file upload as received.
  struct Upload {
    std::string logdata;             // the file's content
    std::string filename;            // the part's file name
    std::optional<std::string> imei;
    std::optional<std::string> ver;
    std::optional<std::string> userToken;  // from the query, as sent
    bool identityOk = false;
    bool https = false;
    std::string retCode;             // what the stand-in answered
  };
  // One record posted at once.
  struct Info {
    std::string infoStr;
    std::optional<std::string> imei;
    bool identityOk = false;
    std::string retCode;
  };
  struct DeviceToken {
    std::string deviceToken;
    std::string deviceId;
    std::string switchState;
    bool identityOk = false;
  };

  // A scripted answer for a method in place of the normal one (kept until cleared).
  struct Scripted {
    std::string retCode;
    std::string errMsg;
    std::optional<std::string> rawBody;  // sent as is instead of an envelope
    static Scripted error(std::string retCode, std::string errMsg);
    static Scripted body(std::string raw);
  };

  explicit StatisticsStandin(Settings settings);
  ~StatisticsStandin() override;

  // Refuses to start without a salt.
  platform::Status start() override;
  // Held uploads are let go (answered 503) and the server stops.
  void stop() override;
  // The client's statistics base address: baseUrl() followed by kBasePath.
  std::string statisticsBaseAddress() const;

  void script(std::string method, Scripted scripted);
  void clearScript(std::string method);

  // While held, uploads are received and logged but not answered until release() (or stop).
  void holdUploads();
  void release();
  // Real time waited for the number of uploads received (answered or held) to reach count.
  bool waitForUploads(size_t count, std::chrono::milliseconds limit) const;

  std::vector<Upload> uploads() const;
  std::vector<Info> infos() const;
  std::vector<DeviceToken> deviceTokens() const;
  // The message ids asked for with "getIosPushMsg", in order.
  std::vector<std::string> pushMessageIds() const;
  // Every record the server accepted, in order: the lines of the accepted uploads (header lines
  // included) and the accepted posted records.
  std::vector<std::string> acceptedRecords() const;

  struct State;

 private:
  HttpStandin::Reply handle(const HttpStandin::Request& request);

  Settings settings_;
  std::shared_ptr<State> state_;
};

}  // namespace standin
