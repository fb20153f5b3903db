// The main-API stand-in: the client's main server on 127.0.0.1 (HTTP or HTTPS), answering under
// "/iphone/<method>.json" with the reply envelope {"retStatus":{"retCode","errMsg"},"retData"}.
//
// It judges requests as the real server does, computing with OpenSSL itself: every call must
// carry a uid and the vercode made from it with the configured salt; calls on behalf of a user
// need the user's live token; terminal login ("M10003") issues a fresh TPK wrapped under the
// transport key, check-in ("M10002") a fresh PIK and MAC key wrapped under that TPK; protected
// transaction calls must carry the X9.19 MAC of their fixed fields under the MAC key issued to
// their terminal. Every call's verdict is logged for tests.
//
// Tests script misbehaviour per method: error codes, an expired token, an HTML error page, a
// dropped connection, a slow reply, a reply held until the test lets it go.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"

namespace standin {

class MainApiStandin final : public StandinServer, public ServiceCodes {
 public:
  static constexpr std::string_view kApiPath = "/iphone/";

  // Codes of this server's own refusals besides the shared ones (the client shows their "errMsg").
  static constexpr std::string_view kTokenExpired = "1012";
  static constexpr std::string_view kMacRefused = "2002";
  static constexpr std::string_view kNotSignedIn = "2004";
  static constexpr std::string_view kNotFound = "2005";
  // The description "getBusiDesc" answers for any business: a list of one {"aContent"}.
  static constexpr std::string_view kBusiDesc = "<p>业务说明</p>";

  struct Settings {
    std::string vercodeSalt;
    // The transport key in the clear: 32 hex digits.
    std::string transportKey;
    // Serve HTTPS with these certificates when set.
    std::optional<TestCertificates> tls;

    // The project's own test values: the salt of the bundle's "client-settings.json" and the
    // transport key of the test key material (core/testdata/transport-key.txt).
    static platform::Result<Settings> fromProjectFiles();
  };
  // The vercode salt of the bundle's "client-settings.json" (every server that checks the
  // identity uses it).
  static platform::Result<std::string> projectVercodeSalt();

  // A scripted answer for one method, in place of the normal handling.
  struct Scripted {
    enum class Kind {
      Envelope,        // {"retStatus":{retCode, errMsg}} plus "retData" when given
      Body,            // exactly body, with status and content type
      DropConnection,  // the connection breaks in the middle of the reply
      Normal,          // the normal handling (after the delay)
    };
    Kind kind = Kind::Normal;
    std::string retCode;
    std::optional<std::string> errMsg;
    std::optional<platform::Json> retData;
    std::string body;
    int status = 200;
    std::string contentType = "application/json; charset=utf-8";
    // Real time the server waits before answering (a stop of the stand-in cuts it short).
    std::chrono::milliseconds delay{0};
    // The server answers only once the test lets it (http().releaseHeld()) or stops.
    bool held = false;

    static Scripted error(std::string retCode, std::string errMsg);
    // "1012" (or another expiry code) with a message.
    static Scripted tokenExpired(std::string retCode = std::string(kTokenExpired));
    static Scripted success(platform::Json retData);
    // "0000" without "retData".
    static Scripted successWithoutData();
    static Scripted rawBody(std::string body, int status = 200,
                            std::string contentType = "application/json; charset=utf-8");
    static Scripted htmlErrorPage(int status = 500);
    static Scripted dropConnection();
    // The normal answer, after a delay of real time.
    static Scripted slow(std::chrono::milliseconds delay);
    // The normal answer, held until the test releases it (http().releaseHeld()): a server that is
    // slow for as long as the test needs, without waiting a fixed time.
    static Scripted heldReply();
    Scripted after(std::chrono::milliseconds wait) const;
  };

  // The clear keys issued to one terminal (hex), for tests to compare with what a client holds.
  struct IssuedKeys {
    std::string tpk;
    std::string pik;
    std::string mac;
  };

  // What the stand-in judged about one call to the API.
  struct Verdict {
    std::string method;           // "login", "getParameter", ...
    bool identityOk = false;      // uid and vercode present and matching
    std::optional<bool> macOk;    // protected calls only
    std::string macInput;         // the text the MAC was computed over (protected calls)
    std::string retCode;          // what the stand-in answered ("" for a scripted transport fault)
  };

  explicit MainApiStandin(Settings settings);
  ~MainApiStandin() override;

  // Refuses to start without a salt and a usable transport key.
  platform::Status start() override;
  // The client's main server address: baseUrl() followed by "/iphone/".
  std::string apiBaseAddress() const;

  // --- what the server knows ---
  // A logged-in user: calls carrying this login name ("mobile") need this token.
  void addSession(std::string loginName, std::string userToken);
  // Later calls for this user answer "1012".
  void expireSession(const std::string& loginName);
  // The client-version list ("getShuakaqiList").
  void setClientVersions(platform::Json list);
  // "getParameter": retData for a key and dictionary code ("" = none given).
  void setParameter(std::string key, std::string dictCode, platform::Json retData);
  // "getUnitListNew": the reader-model list (a default list of eight models is served).
  void setUnits(platform::Json list);
  // "checkUserDeviceInfo": the reader psamNo belongs to loginName.
  void bindReader(std::string psamNo, std::string loginName);
  // "queryTrans": retData for a business code (default: an empty object).
  void setQueryTransData(std::string busid, platform::Json retData);
  // Terminal login answers this many TPK entries (the first is the terminal's; the others are
  // decoys under other ids). Default 1; 0 answers an empty list.
  void setTpkEntryCount(int count);
  // Check-in answers these key lists (default both); a list left out is absent from "retData".
  void setCheckinKeyLists(bool piks, bool macs);

  // --- scripting ---
  // The next `times` calls of method (every call when times < 0) get the scripted answer.
  void script(std::string method, Scripted scripted, int times = -1);
  void clearScripts();

  // --- inspection ---
  std::optional<IssuedKeys> issuedKeys(const std::string& termid) const;
  std::vector<Verdict> verdicts() const;
  std::optional<Verdict> lastVerdict(std::string_view method) const;

  // --- the server's own computations (OpenSSL), public for tests ---
  // Lower-case hex MD5 of uid followed by salt.
  static std::string vercodeFor(std::string_view uid, std::string_view salt);
  // ANSI X9.19 retail MAC (16 hex digits) of the ASCII bytes of text, zero-padded, under a
  // 32-digit key; "" for an unusable key.
  static std::string retailMac(std::string_view text, std::string_view keyHex);
  // Two-key Triple DES ECB of hex data under a 32-digit key (upper-case hex; "" when unusable).
  static std::string wrapKey(std::string_view clearHex, std::string_view keyHex);
  static std::string unwrapKey(std::string_view wrappedHex, std::string_view keyHex);
  // The MAC input of a protected call's form fields (amounts as they arrived).
  static std::string macInputOf(const std::vector<HttpStandin::Field>& fields, bool withFee);

  struct State;

 private:
  HttpStandin::Reply handle(const HttpStandin::Request& request);

  Settings settings_;
  std::shared_ptr<State> state_;
};

}  // namespace standin
