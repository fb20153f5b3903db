// The main-API stand-in: the client's main server on 127.0.0.1 (HTTP or HTTPS), answering under
// "/iphone/<method>.json" with the reply envelope {"retStatus":{"retCode","errMsg"},"retData"}.
//
// It judges requests as the real server does, computing with OpenSSL itself: every call must
// carry a uid and the vercode made from it with the configured salt; calls on behalf of a user
// need the user's live token; terminal login ("M10003") issues a fresh TPK wrapped under the
// transport key, check-in ("M10002") a fresh PIK and MAC key wrapped under that TPK; protected
// transaction calls must carry the X9.19 MAC of their fixed fields under the MAC key issued to
// their terminal; PIN blocks are RSA-deciphered with the private half of the PIN key pair and then
// deciphered under the PIK issued to the terminal. Every call's verdict is logged for tests.
//
// Tests script misbehaviour per method: error codes, an expired token, an HTML error page, any
// HTTP status, bad JSON, a dropped connection, a slow reply, a reply held until the test lets it
// go; and the same after the route has
// processed the request (the commit is recorded, the answer is lost).
//
// How to add a feature's routes
// 1. Write standin/mainapi/<Feature>Routes.{h,cpp} with one function, e.g.
//      void addPayRoutes(MainApiStandin& server);
//    and call it from addAllRoutes() in standin/mainapi/AllRoutes.cpp (one line).
// 2. In it, register each method with addRoute(). The name is the path under "/iphone/" without
//    ".json"; a name ending in "/" takes every path under it ("getUserLoginState/" answers
//    "getUserLoginState/13800000000.json", "getVerCodeImg/" answers "getVerCodeImg/<token>.do").
//      server.addRoute("commitTransaction", [](MainApiStandin::RouteContext& call) {
//        if (auto refused = call.token()) return *refused;
//        if (auto refused = call.mac(true)) return *refused;
//        auto fen = MainApiStandin::RouteContext::amount12(call.fieldOr("amount"));
//        if (!fen) return call.error(MainApiStandin::kBadRequest, "金额错误");
//        auto& pay = call.feature<PayState>();   // kept across calls
//        pay.commits.push_back(...);
//        return call.ok(platform::Json::object({{"sid", "..."}}));
//      });
//    The identity (uid and its vercode) is checked before the handler runs; a route that must
//    answer without it passes RouteOptions{.identity = false}.
// 3. Handlers run one at a time under the stand-in's lock, so a feature's state needs no lock
//    of its own inside a handler. Tests set and read it between calls with feature<T>() (or hold
//    lock() while requests may be in flight).
// 4. Scripts (script(method, Scripted, times)) apply to every route by its first path segment:
//    a scripted answer replaces the route's, or follows it with Scripted::processingFirst().
// Test users, cards and keys every route shares are in standin/StandinFixture.h.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/foundation/Status.h"
#include "standin/HttpStandin.h"
#include "standin/TestCertificates.h"
#include "standin/mainapi/RsaKeyPair.h"

namespace standin {

class MainApiStandin final : public StandinServer, public ServiceCodes {
 public:
  static constexpr std::string_view kApiPath = "/iphone/";

  // Codes of this server's own refusals besides the shared ones (the client shows their "errMsg").
  static constexpr std::string_view kTokenExpired = "1012";
  static constexpr std::string_view kMacRefused = "2002";
  static constexpr std::string_view kNotSignedIn = "2004";
  static constexpr std::string_view kNotFound = "2005";
  static constexpr std::string_view kTokenExpiredText = "登录已失效，请重新登录";
  // The description "getBusiDesc" answers for any business: a list of one {"aContent"}.
  static constexpr std::string_view kBusiDesc = "<p>业务说明</p>";

  struct Settings {
    std::string vercodeSalt;
    // The transport key in the clear: 32 hex digits.
    std::string transportKey;
    // Serve HTTPS with these certificates when set.
    std::optional<TestCertificates> tls;
    // The private halves of the PIN and password keys; when unset, the pairs made once per
    // process (RsaKeyPair::testPinKey(), testPasswordKey()), whose public halves a test gives
    // the client.
    std::optional<RsaKeyPair> pinKey;
    std::optional<RsaKeyPair> passwordKey;

    // The project's own test values: the salt of the bundle's "client-settings.json", the
    // transport key and the private halves of the bundle's PIN and password keys of the test key
    // material (core/testdata/).
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
    // The route handles the request first (a commit is recorded), then this answer goes out in
    // place of the route's (after the delay, when one is set).
    bool processFirst = false;
    std::string retCode;
    std::optional<std::string> errMsg;
    std::optional<platform::Json> retData;
    std::string body;
    int status = 200;
    std::string contentType = "application/json; charset=utf-8";
    // Real time the server waits before answering (a stop of the stand-in cuts it short): before
    // the handling, or after it with processFirst.
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
    // An HTML error page with this status (500, 502, 503, 504 name their reason).
    static Scripted htmlErrorPage(int status = 500);
    // The same, for a status given by a test (e.g. 504 from the gateway).
    static Scripted httpStatus(int status);
    // A 200 reply whose body is cut-off JSON.
    static Scripted badJson();
    static Scripted dropConnection();
    // The route processes the request (the commit is recorded), then the connection breaks
    // before the client has a reply.
    static Scripted dropAfterProcessing();
    // The normal answer, after a delay of real time.
    static Scripted slow(std::chrono::milliseconds delay);
    // The normal answer, held until the test releases it (http().releaseHeld()): a server that is
    // slow for as long as the test needs, without waiting a fixed time.
    static Scripted heldReply();
    Scripted after(std::chrono::milliseconds wait) const;
    // The same answer, given after the route has processed the request.
    Scripted processingFirst() const;
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
    std::optional<bool> pinOk;    // calls whose PIN block was checked
    std::string retCode;          // what the stand-in answered ("" for a scripted transport fault)
    // A scripted answer went out in place of the route's (retCode is then the route's verdict,
    // or the scripted code when the route never ran).
    bool scripted = false;
  };

  using Fields = std::vector<HttpStandin::Field>;

  // One call as a route handler sees it, with the checks a real server makes and the answers.
  // Checks return nothing when the call passes, else the refusal to return (already logged).
  class RouteContext {
   public:
    using Reply = HttpStandin::Reply;
    using Refusal = std::optional<Reply>;

    const HttpStandin::Request& request() const { return request_; }
    // The first path segment: "getUserLoginState" of "getUserLoginState/138.json".
    const std::string& method() const { return verdict_.method; }
    // The path under "/iphone/" without ".json", split at "/" (the method first).
    const std::vector<std::string>& segments() const { return segments_; }
    // The query fields, then the form fields, decoded, in the order sent.
    const Fields& fields() const { return fields_; }
    std::optional<std::string> field(std::string_view key) const;
    std::string fieldOr(std::string_view key, std::string fallback = {}) const;

    // uid present and vercode the one made from it.
    Refusal identity();
    // The login name in loginField and "userToken" name a live session ("1012" otherwise).
    Refusal token(std::string_view loginField = "mobile");
    // The "mac" field is the MAC of the form's fixed fields (with "fee" last for commits) under
    // the MAC key issued to the "termid" terminal ("2004" before check-in, "2002" otherwise).
    Refusal mac(bool withFee);
    // The clear PIN of a "pinkey" field: RSA-deciphered with the PIN key pair's private half, then
    // deciphered under the PIK issued to termid, and in the form "06" + 6 digits + "FFFFFFFF".
    platform::Result<std::string> pinBlock(std::string_view pinkeyHex, std::string_view termid);
    // The clear text of a password field: RSA-deciphered with the password key pair's private half.
    platform::Result<std::string> password(std::string_view passwordHex) const;
    // Twelve digits of fen ("000000001250" = 1250); nothing for any other text.
    static std::optional<int64_t> amount12(std::string_view text);

    // "0000" with retData (without it when absent).
    Reply ok(std::optional<platform::Json> retData = std::nullopt);
    Reply error(std::string_view retCode, std::string errMsg);

    MainApiStandin& server() { return server_; }
    template <class T>
    T& feature() { return server_.feature<T>(); }
    Verdict& verdict() { return verdict_; }

   private:
    friend class MainApiStandin;
    RouteContext(MainApiStandin& server, const HttpStandin::Request& request);
    Reply refuse(std::string_view retCode, std::string errMsg);

    MainApiStandin& server_;
    const HttpStandin::Request& request_;
    std::vector<std::string> segments_;
    Fields fields_;
    Verdict verdict_;
  };

  using Handler = std::function<HttpStandin::Reply(RouteContext&)>;
  struct RouteOptions {
    // Refuse the call ("2001") before the handler runs unless uid and vercode match.
    bool identity = true;
  };

  explicit MainApiStandin(Settings settings);
  ~MainApiStandin() override;

  // Refuses to start without a salt and a usable transport key.
  platform::Status start() override;
  // The client's main server address: baseUrl() followed by "/iphone/".
  std::string apiBaseAddress() const;

  // --- routes ---
  // Answers method (the path under "/iphone/" without ".json"; a name ending in "/" takes every
  // path under it) with handler. The same name again replaces the route.
  void addRoute(std::string method, Handler handler, RouteOptions options);
  void addRoute(std::string method, Handler handler) { addRoute(std::move(method), std::move(handler), RouteOptions()); }

  // The state one feature keeps across calls: one T per stand-in, made on first use. Inside a
  // handler the stand-in's lock is held; elsewhere hold lock() while requests may be in flight.
  template <class T>
  T& feature() {
    return *static_cast<T*>(featureSlot(typeid(T), [] { return std::shared_ptr<void>(std::make_shared<T>()); }));
  }
  [[nodiscard]] std::unique_lock<std::recursive_mutex> lock() const;

  // The PIN and password key pairs in use; the client's settings take their public halves.
  const RsaKeyPair& pinKey() const;
  const RsaKeyPair& passwordKey() const;

  // --- what the server knows ---
  // A logged-in user: calls carrying this login name ("mobile") need this token. A new session
  // for the same user replaces the old one.
  void addSession(std::string loginName, std::string userToken);
  // Later calls for this user answer "1012".
  void expireSession(const std::string& loginName);
  // The user's live token, if any.
  std::optional<std::string> sessionToken(const std::string& loginName) const;
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
  friend void addCoreRoutes(MainApiStandin& server);
  HttpStandin::Reply handle(const HttpStandin::Request& request);
  void* featureSlot(std::type_index type, std::shared_ptr<void> (*make)());

  Settings settings_;
  std::shared_ptr<State> state_;
};

}  // namespace standin
