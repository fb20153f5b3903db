// The route seam of the main-API stand-in: what a feature's handler receives, the shared checks
// it builds on, its kept state and the scripted scenarios around it.
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include <gtest/gtest.h>

#include <array>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"
#include "platform/net/HttpRequest.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"

namespace standin {
namespace {

using platform::Json;
using platform::net::HttpRequest;
using Call = MainApiStandin::RouteContext;
using Scripted = MainApiStandin::Scripted;

using fixture::kUid;
constexpr std::string_view kSalt = fixture::kVercodeSalt;
constexpr std::string_view kTermid = fixture::kReaderTermid;
constexpr std::string_view kLogin = fixture::kLoginName;
constexpr std::string_view kToken = fixture::kUserToken;

// What the commit routes of a feature keep.
struct Ledger {
  int commits = 0;
  std::vector<std::string> pins;
};

// --- the client's side, made here with OpenSSL alone ---

std::string hexOf(const unsigned char* data, size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < size; ++i) {
    out.push_back(kDigits[data[i] >> 4]);
    out.push_back(kDigits[data[i] & 0x0F]);
  }
  return out;
}

std::vector<unsigned char> bytesOf(std::string_view hex) {
  std::vector<unsigned char> out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<unsigned char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  return out;
}

// Two-key Triple DES (ECB) of a 16-digit block under a 32-digit key, as upper-case hex.
std::string tripleDes(std::string_view blockHex, std::string_view keyHex) {
  auto key = bytesOf(keyHex);
  auto block = bytesOf(blockHex);
  std::array<unsigned char, 8> out{};
  int n = 0;
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  EVP_EncryptInit_ex(ctx, EVP_des_ede_ecb(), nullptr, key.data(), nullptr);
  EVP_CIPHER_CTX_set_padding(ctx, 0);
  EVP_EncryptUpdate(ctx, out.data(), &n, block.data(), static_cast<int>(block.size()));
  EVP_CIPHER_CTX_free(ctx);
  return hexOf(out.data(), out.size());
}

// RSA PKCS#1 v1.5 of text with a PEM public key, as upper-case hex.
std::string rsaEncrypt(const std::string& publicPem, std::string_view text) {
  BIO* bio = BIO_new_mem_buf(publicPem.data(), static_cast<int>(publicPem.size()));
  EVP_PKEY* key = PEM_read_bio_PUBKEY(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new_from_pkey(nullptr, key, nullptr);
  std::vector<unsigned char> out(256);
  size_t size = out.size();
  EVP_PKEY_encrypt_init(ctx);
  EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING);
  const bool ok = EVP_PKEY_encrypt(ctx, out.data(), &size, reinterpret_cast<const unsigned char*>(text.data()),
                                   text.size()) == 1;
  EVP_PKEY_CTX_free(ctx);
  EVP_PKEY_free(key);
  return ok ? hexOf(out.data(), size) : std::string();
}

class MainApiRoutesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<MainApiStandin>(fixture::settings());
    ASSERT_TRUE(server_->start().isOk());
    server_->addSession(std::string(kLogin), std::string(kToken));
  }

  // A form POST to path (under "/iphone/", ".json" added unless the path has an ending) with the
  // identity, then fields; the query, when given, goes in the address.
  std::shared_ptr<HttpRequest> send(std::string path, const MainApiStandin::Fields& fields,
                                    std::string_view query = {}) {
    if (path.find('.') == std::string::npos) path += ".json";
    std::string url = server_->apiBaseAddress() + path;
    if (!query.empty()) url += "?" + std::string(query);
    auto r = HttpRequest::make(url, true);
    for (const auto& [k, v] : fixture::identity()) r->addPostValue(k, v);
    for (const auto& [k, v] : fields) r->addPostValue(k, v);
    r->startSynchronous();
    return r;
  }
  Json post(std::string path, const MainApiStandin::Fields& fields = {}, std::string_view query = {}) {
    return platform::json::parse(send(std::move(path), fields, query)->responseString()).value_or(Json());
  }
  static std::string code(const Json& reply) { return reply["retStatus"].value("retCode", ""); }

  MainApiStandin::Fields user() const { return {{"mobile", std::string(kLogin)}, {"userToken", std::string(kToken)}}; }

  // Terminal login and check-in; the PIK and MAC key the stand-in issued.
  MainApiStandin::IssuedKeys signIn() {
    MainApiStandin::Fields login = user();
    login.emplace_back("termid", std::string(kTermid));
    login.emplace_back("busid", "M10003");
    EXPECT_EQ(code(post("login", login)), "0000");
    login.back().second = "M10002";
    EXPECT_EQ(code(post("checkin", login)), "0000");
    return *server_->issuedKeys(std::string(kTermid));
  }

  // A commit route built on the shared checks, as a feature writes one.
  void addCommitRoute() {
    server_->addRoute("commitTest", [](Call& call) {
      if (auto refused = call.token()) return *refused;
      if (auto refused = call.mac(true)) return *refused;
      auto fen = Call::amount12(call.fieldOr("amount"));
      if (!fen) return call.error(MainApiStandin::kBadRequest, "金额错误");
      auto& ledger = call.feature<Ledger>();
      if (auto pinkey = call.field("pinkey")) {
        auto pin = call.pinBlock(*pinkey, call.fieldOr("termid"));
        if (!pin) return call.error("0055", "密码错误");
        ledger.pins.push_back(*pin);
      }
      ++ledger.commits;
      return call.ok(Json::object({{"fen", *fen}}));
    });
  }

  // A signed commit of 12.50 with the fee, MAC'd under macKey.
  MainApiStandin::Fields commit(const std::string& macKey, std::optional<std::string> pinkey = std::nullopt) {
    MainApiStandin::Fields fields = user();
    fields.emplace_back("busid", "M20011");
    fields.emplace_back("termid", std::string(kTermid));
    fields.emplace_back("amount", "000000001250");
    fields.emplace_back("fee", "000000000050");
    if (pinkey) fields.emplace_back("pinkey", *pinkey);
    const std::string input = "M20011 " + std::string(kTermid) + " 000000001250 000000000050";
    fields.emplace_back("mac", MainApiStandin::retailMac(input, macKey).substr(0, 8));
    return fields;
  }

  int commits() {
    auto lock = server_->lock();
    return server_->feature<Ledger>().commits;
  }

  std::unique_ptr<MainApiStandin> server_;
};

TEST_F(MainApiRoutesTest, ARouteReceivesItsFieldsInOrderAndItsPathSegments) {
  auto echo = [](Call& call) {
    Json fields = Json::array();
    for (const auto& [k, v] : call.fields()) fields.push_back(Json::array({k, v}));
    Json segments = Json::array();
    for (const auto& s : call.segments()) segments.push_back(s);
    return call.ok(Json::object({{"fields", fields}, {"segments", segments}, {"method", call.method()}}));
  };
  server_->addRoute("echo", echo);
  server_->addRoute("getUserLoginState/", echo);
  server_->addRoute("getVerCodeImg/", echo);

  Json reply = post("echo", {{"b", "2"}, {"a", "1"}, {"a", "3"}, {"text", "金额 & =?"}}, "q=first&a=0");
  ASSERT_EQ(code(reply), "0000") << reply.dump();
  const Json expected = Json::array({Json::array({"q", "first"}), Json::array({"a", "0"}),
                                     Json::array({"uid", std::string(kUid)}),
                                     Json::array({"vercode", MainApiStandin::vercodeFor(kUid, kSalt)}),
                                     Json::array({"b", "2"}), Json::array({"a", "1"}), Json::array({"a", "3"}),
                                     Json::array({"text", "金额 & =?"})});
  EXPECT_EQ(reply["retData"]["fields"], expected);
  EXPECT_EQ(reply["retData"]["segments"], Json::array({"echo"}));

  Json state = post("getUserLoginState/13800000000");
  EXPECT_EQ(state["retData"]["segments"], Json::array({"getUserLoginState", "13800000000"}));
  EXPECT_EQ(state["retData"]["method"], "getUserLoginState");
  EXPECT_EQ(server_->lastVerdict("getUserLoginState")->retCode, "0000");

  Json image = post("getVerCodeImg/tok123.do");
  EXPECT_EQ(image["retData"]["segments"], Json::array({"getVerCodeImg", "tok123.do"}));

  // Without a segment after the folder, or with a name no route has, the server knows no such page.
  EXPECT_EQ(send("getUserLoginState/", {})->statusCode(), 404);
  EXPECT_EQ(send("echo.do", {})->statusCode(), 404);
  EXPECT_EQ(send("nothing", {})->statusCode(), 404);
}

TEST_F(MainApiRoutesTest, IdentityIsCheckedBeforeTheHandlerUnlessTheRouteOptsOut) {
  int calls = 0;
  server_->addRoute("guarded", [&](Call& call) { ++calls; return call.ok(); });
  server_->addRoute("open", [&](Call& call) { ++calls; return call.ok(); }, MainApiStandin::RouteOptions{.identity = false});
  auto bare = [&](const char* path) {
    auto r = HttpRequest::make(server_->apiBaseAddress() + path + ".json?uid=" + std::string(kUid) + "&vercode=0");
    r->startSynchronous();
    return code(platform::json::parse(r->responseString()).value_or(Json()));
  };
  EXPECT_EQ(bare("guarded"), MainApiStandin::kIdentityRefused);
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(server_->lastVerdict("guarded")->identityOk);
  EXPECT_EQ(bare("open"), MainApiStandin::kOk);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(code(post("guarded")), MainApiStandin::kOk);
}

TEST_F(MainApiRoutesTest, TheMacCheckTakesTheFeeAndTheIssuedKey) {
  addCommitRoute();
  EXPECT_EQ(code(post("commitTest", commit("00000000000000000000000000000000"))), MainApiStandin::kNotSignedIn);
  const auto keys = signIn();

  Json ok = post("commitTest", commit(keys.mac));
  EXPECT_EQ(code(ok), "0000") << ok.dump();
  EXPECT_EQ(ok["retData"]["fen"], 1250);
  EXPECT_TRUE(*server_->lastVerdict("commitTest")->macOk);

  EXPECT_EQ(code(post("commitTest", commit(keys.pik))), MainApiStandin::kMacRefused);   // another key
  auto noFee = commit(keys.mac);
  noFee[5].second = "000000000051";   // the fee changed after signing
  EXPECT_EQ(code(post("commitTest", noFee)), MainApiStandin::kMacRefused);
  auto stale = commit(keys.mac);
  stale[1].second = "token-old";
  EXPECT_EQ(code(post("commitTest", stale)), MainApiStandin::kTokenExpired);
  EXPECT_EQ(commits(), 1);
}

TEST(MainApiRouteAmountTest, AmountsAreTwelveDigitsOfFen) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"000000001250", 1250}, {"000000000000", 0}, {"999999999999", 999999999999},
      {"1250", std::nullopt}, {"0000000012.5", std::nullopt}, {"-00000001250", std::nullopt},
      {"0000000012500", std::nullopt}, {"00000000125a", std::nullopt}, {"", std::nullopt},
      {"０００００００１２５０", std::nullopt},
  };
  for (const auto& [text, fen] : cases) EXPECT_EQ(Call::amount12(text), fen) << text;
}

TEST_F(MainApiRoutesTest, ThePinBlockIsDecipheredUnderThePinKeyPairAndTheIssuedPik) {
  addCommitRoute();
  const auto keys = signIn();
  const std::string publicPem = server_->pinKey().publicPem();
  auto pinkeyOf = [&](std::string_view block, std::string_view pik) {
    return rsaEncrypt(publicPem, tripleDes(block, pik));
  };
  const std::string good = pinkeyOf("06123456FFFFFFFF", keys.pik);
  ASSERT_EQ(good.size(), 256u);
  Json ok = post("commitTest", commit(keys.mac, good));
  EXPECT_EQ(code(ok), "0000") << ok.dump();
  EXPECT_TRUE(*server_->lastVerdict("commitTest")->pinOk);
  // The fixture's block for feature tests is one the check accepts.
  EXPECT_EQ(code(post("commitTest", commit(keys.mac, fixture::pinkeyFor("654321", keys.pik, server_->pinKey())))),
            "0000");

  auto otherPair = RsaKeyPair::generate();
  ASSERT_TRUE(otherPair);
  const std::pair<const char*, std::string> refused[] = {
      {"not 06", pinkeyOf("07123456FFFFFFFF", keys.pik)},
      {"a letter among the digits", pinkeyOf("0612345AFFFFFFFF", keys.pik)},
      {"no F padding", pinkeyOf("06123456FFFFFFFE", keys.pik)},
      {"under another PIK", pinkeyOf("06123456FFFFFFFF", keys.mac)},
      {"under another RSA key", rsaEncrypt(otherPair->publicPem(), tripleDes("06123456FFFFFFFF", keys.pik))},
      {"the RSA layer holding bytes, not hex", rsaEncrypt(publicPem, "\x01\x02\x03\x04\x05\x06\x07\x08")},
      {"cut short", good.substr(0, 254)},
      {"not hex", std::string(256, 'G')},
      {"empty", ""},
  };
  for (const auto& [name, pinkey] : refused) {
    EXPECT_EQ(code(post("commitTest", commit(keys.mac, pinkey))), "0055") << name;
    EXPECT_FALSE(*server_->lastVerdict("commitTest")->pinOk) << name;
  }
  {
    auto lock = server_->lock();
    EXPECT_EQ(server_->feature<Ledger>().pins, (std::vector<std::string>{"123456", "654321"}));
  }

  // A terminal signed in anew has a new PIK: the old block no longer opens.
  signIn();
  EXPECT_EQ(code(post("commitTest", commit(server_->issuedKeys(std::string(kTermid))->mac, good))), "0055");
  EXPECT_EQ(commits(), 2);
}

TEST_F(MainApiRoutesTest, PasswordsAreDecipheredWithThePasswordKeyPair) {
  server_->addRoute("getUserLoginState/", [](Call& call) {
    auto password = call.password(call.fieldOr("password"));
    if (!password) return call.error("1004", "密码错误");
    return call.ok(*password);
  });
  auto loginWith = [&](const std::string& password) {
    return post("getUserLoginState/" + std::string(kLogin), {}, "password=" + password);
  };
  EXPECT_EQ(loginWith(rsaEncrypt(server_->passwordKey().publicPem(), fixture::kPassword))["retData"],
            fixture::kPassword);
  EXPECT_EQ(code(loginWith(rsaEncrypt(server_->pinKey().publicPem(), fixture::kPassword))), "1004");
  EXPECT_EQ(code(loginWith(std::string(fixture::kPassword))), "1004");
  EXPECT_EQ(code(loginWith("")), "1004");
}

TEST_F(MainApiRoutesTest, FeatureStateIsKeptAcrossCallsAndPerStandin) {
  server_->addRoute("count", [](Call& call) { return call.ok(++call.feature<Ledger>().commits); });
  EXPECT_EQ(post("count")["retData"], 1);
  EXPECT_EQ(post("count")["retData"], 2);
  EXPECT_EQ(commits(), 2);

  MainApiStandin other(fixture::settings());
  EXPECT_EQ(other.feature<Ledger>().commits, 0);
}

TEST_F(MainApiRoutesTest, ADropAfterProcessingRecordsTheCommitAndLosesTheReply) {
  addCommitRoute();
  const auto keys = signIn();
  server_->script("commitTest", Scripted::dropAfterProcessing(), 1);
  auto dropped = send("commitTest", commit(keys.mac));
  ASSERT_TRUE(dropped->error());
  EXPECT_EQ(dropped->error()->code, platform::net::HttpErrorCode::ConnectionFailed);
  EXPECT_EQ(commits(), 1);
  auto verdict = server_->lastVerdict("commitTest");
  EXPECT_EQ(verdict->retCode, "0000");   // the server's own outcome
  EXPECT_TRUE(verdict->scripted);

  // Once only: the next commit is answered.
  EXPECT_EQ(code(post("commitTest", commit(keys.mac))), "0000");
  EXPECT_EQ(commits(), 2);
  EXPECT_FALSE(server_->lastVerdict("commitTest")->scripted);
}

TEST_F(MainApiRoutesTest, GatewayStatusTimeOutAndBadJsonComeBeforeOrAfterTheRoute) {
  addCommitRoute();
  const auto keys = signIn();

  server_->script("commitTest", Scripted::httpStatus(504), 1);
  auto gateway = send("commitTest", commit(keys.mac));
  ASSERT_FALSE(gateway->error());
  EXPECT_EQ(gateway->statusCode(), 504);
  EXPECT_EQ(commits(), 0);   // the gateway never passed it on

  server_->script("commitTest", Scripted::httpStatus(504).processingFirst(), 1);
  EXPECT_EQ(send("commitTest", commit(keys.mac))->statusCode(), 504);
  EXPECT_EQ(commits(), 1);   // processed, then the gateway gave up

  server_->script("commitTest", Scripted::error("1030", "交易超时").processingFirst(), 1);
  EXPECT_EQ(code(post("commitTest", commit(keys.mac))), "1030");
  EXPECT_EQ(commits(), 2);

  // Processed, then so slow that the client gives up waiting.
  server_->script("commitTest", Scripted::slow(std::chrono::milliseconds(400)).processingFirst(), 1);
  auto late = HttpRequest::make(server_->apiBaseAddress() + "commitTest.json", true);
  for (const auto& [k, v] : fixture::identity()) late->addPostValue(k, v);
  for (const auto& [k, v] : commit(keys.mac)) late->addPostValue(k, v);
  late->setTimeout(std::chrono::milliseconds(100));
  late->startSynchronous();
  ASSERT_TRUE(late->error());
  EXPECT_EQ(late->error()->code, platform::net::HttpErrorCode::TimedOut);
  EXPECT_EQ(commits(), 3);

  server_->script("commitTest", Scripted::badJson(), 2);
  for (int i = 0; i < 2; ++i) {
    auto bad = send("commitTest", commit(keys.mac));
    EXPECT_EQ(bad->statusCode(), 200);
    EXPECT_FALSE(platform::json::parse(bad->responseString()));
  }
  EXPECT_EQ(code(post("commitTest", commit(keys.mac))), "0000");
  EXPECT_EQ(commits(), 4);
}

TEST_F(MainApiRoutesTest, ThePinKeyPairIsPublishedForTheClient) {
  const RsaKeyPair& key = server_->pinKey();
  EXPECT_EQ(&key, &RsaKeyPair::testPinKey());   // made once per process
  EXPECT_EQ(key.size(), 128u);
  EXPECT_EQ(key.publicPem().rfind("-----BEGIN PUBLIC KEY-----", 0), 0u);
  const auto der = key.publicDer();
  ASSERT_FALSE(der.empty());
  EXPECT_EQ(der[0], 0x30);
  EXPECT_NE(key.publicPem(), server_->passwordKey().publicPem());
  EXPECT_EQ(key.decryptHex(*key.encryptHex("0123456789ABCDEF")), "0123456789ABCDEF");

  auto project = MainApiStandin::Settings::fromProjectFiles();
  ASSERT_TRUE(project) << project.error();
  ASSERT_TRUE(project->pinKey);
  // The private halves belong to the public keys of the bundle's settings.
  auto settingsText = platform::fs::read(platform::Sandbox::bundle() / "client-settings.json");
  ASSERT_TRUE(settingsText);
  const Json bundle = platform::json::parse(*settingsText).value_or(Json());
  auto trimmed = [](std::string pem) {   // the same key, whatever the line length
    std::erase(pem, '\n');
    return pem;
  };
  EXPECT_EQ(trimmed(project->pinKey->publicPem()), trimmed(bundle.value("pinPublicKey", "")));
  EXPECT_EQ(trimmed(project->passwordKey->publicPem()), trimmed(bundle.value("passwordPublicKey", "")));
}

}  // namespace
}  // namespace standin
