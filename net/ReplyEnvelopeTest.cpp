#include "net/ReplyEnvelope.h"

#include <gtest/gtest.h>

#include "net/ServerReply.h"
#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::net::HttpError;
using platform::net::HttpErrorCode;

std::string text(std::string_view key) { return platform::Strings::localized(key); }

TEST(ReplyEnvelopeTest, ReadsTheEnvelopeAndRefusesWhatIsNotOne) {
  struct Case {
    const char* name;
    std::string body;
    bool parses;
    std::optional<std::string> retCode;
    std::optional<std::string> errMsg;
    bool hasData;
  } cases[] = {
      {"success with data", R"({"retStatus":{"retCode":"0000","errMsg":"ok"},"retData":{"a":1}})", true, "0000", "ok",
       true},
      {"null data is no data", R"({"retStatus":{"retCode":"0000"},"retData":null})", true, "0000", std::nullopt,
       false},
      {"code that is a number counts as absent", R"({"retStatus":{"retCode":0},"retData":[]})", true, std::nullopt,
       std::nullopt, true},
      {"status that is not an object", R"({"retStatus":"0000","retData":1})", true, std::nullopt, std::nullopt, true},
      {"no status at all", R"({"retData":{}})", true, std::nullopt, std::nullopt, true},
      {"server error", R"({"retStatus":{"retCode":"2005","errMsg":"消息不存在"}})", true, "2005", "消息不存在", false},
      {"empty body", "", false, std::nullopt, std::nullopt, false},
      {"not JSON", "<html>502</html>", false, std::nullopt, std::nullopt, false},
      {"truncated JSON", R"({"retStatus":{"retCode":"0000")", false, std::nullopt, std::nullopt, false},
      {"a list at the top", R"([{"retStatus":{"retCode":"0000"}}])", false, std::nullopt, std::nullopt, false},
      {"a bare text", R"("0000")", false, std::nullopt, std::nullopt, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto parsed = ReplyEnvelope::parse(c.body);
    ASSERT_EQ(parsed.isOk(), c.parses) << parsed.error();
    if (!c.parses) {
      EXPECT_FALSE(parsed.error().empty());
      continue;
    }
    EXPECT_EQ(parsed->retCode(), c.retCode);
    EXPECT_EQ(parsed->errMsg(), c.errMsg);
    EXPECT_EQ(parsed->retData() != nullptr, c.hasData);
  }
}

TEST(ReplyEnvelopeTest, CheckedHelpersNeverTrustTheShapeOfTheData) {
  auto ok = ReplyEnvelope::parse(R"({"retStatus":{"retCode":"0000"},"retData":{"n":12,"t":"x","o":{},"b":true}})");
  ASSERT_TRUE(ok.isOk());
  EXPECT_TRUE(ok->isOk());
  EXPECT_EQ(ok->dataText("n"), "12");
  EXPECT_EQ(ok->dataText("t"), "x");
  EXPECT_EQ(ok->dataText("b"), "1");
  EXPECT_EQ(ok->dataText("o"), std::nullopt);
  EXPECT_EQ(ok->dataText("missing"), std::nullopt);
  ASSERT_TRUE(ok->okData());

  auto list = ReplyEnvelope::parse(R"({"retStatus":{"retCode":"0000"},"retData":[1,2]})");
  ASSERT_TRUE(list.isOk());
  EXPECT_EQ(list->dataMember("0"), nullptr);
  EXPECT_EQ(list->dataText("n"), std::nullopt);

  auto failed = ReplyEnvelope::parse(R"({"retStatus":{"retCode":"9001"},"retData":{"n":1}})");
  ASSERT_TRUE(failed.isOk());
  EXPECT_FALSE(failed->okData()) << "data of a failed reply is never handed out as a success";
  for (const char* code : {"1012", "1023"}) {
    auto expired = ReplyEnvelope::parse(std::string(R"({"retStatus":{"retCode":")") + code + R"("}})");
    ASSERT_TRUE(expired.isOk());
    EXPECT_TRUE(expired->isSessionExpired()) << code;
  }
}

// The ladder: every way an exchange can end, with the kind a caller decides on and the status
// the older callbacks keep receiving.
TEST(ServerReplyTest, TheLadderClassifiesEveryEnding) {
  struct Case {
    const char* name;
    int httpStatus;
    std::optional<HttpErrorCode> error;
    std::string body;
    FailureKind kind;
    std::string retCode;
    std::string messageKey;  // a localized key, or the server's own text prefixed with "="
    bool isErr;
  } cases[] = {
      {"success", 200, {}, R"({"retStatus":{"retCode":"0000"},"retData":{"a":1}})", FailureKind::None, "0000", "OK",
       false},
      {"success without data", 200, {}, R"({"retStatus":{"retCode":"0000"}})", FailureKind::None, "0000",
       "ReturnDataIsNil", true},
      {"server refusal", 200, {}, R"({"retStatus":{"retCode":"2005","errMsg":"不存在"}})", FailureKind::Server,
       "2005", "=不存在", true},
      {"server refusal without text", 200, {}, R"({"retStatus":{"retCode":"9001"}})", FailureKind::Server, "9001",
       "Error_Unknown", true},
      {"expired login 1012", 200, {}, R"({"retStatus":{"retCode":"1012","errMsg":"x"}})",
       FailureKind::SessionExpired, "1012", "Error_Token_Effectiveness", true},
      {"expired login 1023", 200, {}, R"({"retStatus":{"retCode":"1023"}})", FailureKind::SessionExpired, "1023",
       "Error_Token_Effectiveness", true},
      {"no code", 200, {}, R"({"retData":{}})", FailureKind::BadReply, "", "Error_Data", true},
      {"not JSON", 200, {}, "<html/>", FailureKind::BadReply, "", "Error_Data", true},
      {"empty reply", 200, {}, "", FailureKind::OutcomeUnknown, "0", "NetworkConnectionFailed", true},
      {"gateway page", 502, {}, "<html>bad gateway</html>", FailureKind::Http, "", "Error_Data", true},
      {"gateway time-out", 504, {}, "<html>timeout</html>", FailureKind::OutcomeUnknown, "", "Error_Data", true},
      {"gateway time-out, empty", 504, {}, "", FailureKind::OutcomeUnknown, "0", "NetworkConnectionFailed", true},
      {"envelope on an error status", 500, {}, R"({"retStatus":{"retCode":"9999","errMsg":"忙"}})",
       FailureKind::Server, "9999", "=忙", true},
      {"refused connection", 0, HttpErrorCode::ConnectionRefused, "", FailureKind::NotSent, "0",
       "NetworkConnectionFailed", true},
      {"refused by the hook", 0, HttpErrorCode::InvalidRequest, "", FailureKind::NotSent, "0",
       "NetworkConnectionFailed", true},
      {"certificate refused", 0, HttpErrorCode::TlsFailure, "", FailureKind::NotSent, "0", "NetworkConnectionFailed",
       true},
      {"time-out", 0, HttpErrorCode::TimedOut, "", FailureKind::OutcomeUnknown, "0", "NetworkConnectionFailed", true},
      {"connection lost", 0, HttpErrorCode::ConnectionFailed, "", FailureKind::OutcomeUnknown, "0",
       "NetworkConnectionFailed", true},
      {"reply cut off", 200, HttpErrorCode::ResponseTooLarge, "", FailureKind::OutcomeUnknown, "200",
       "NetworkConnectionFailed", true},
      {"cancelled", 0, HttpErrorCode::Cancelled, "", FailureKind::Cancelled, "0", "NetworkConnectionFailed", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<HttpError> error;
    if (c.error) error = HttpError{*c.error, "diagnostic"};
    ServerReply r = ServerReply::judge(c.httpStatus, error, c.body, std::nullopt);
    EXPECT_EQ(failureKindName(r.kind), failureKindName(c.kind));
    EXPECT_EQ(r.status.retCode(), c.retCode);
    const std::string message = c.messageKey.starts_with("=") ? c.messageKey.substr(1) : text(c.messageKey);
    EXPECT_EQ(r.message(), message);
    EXPECT_EQ(r.isErr(), c.isErr);
    EXPECT_EQ(r.body, c.body);
    EXPECT_EQ(r.httpStatus, c.httpStatus);
    EXPECT_EQ(r.data() != nullptr, c.kind == FailureKind::None && !c.isErr);
  }
}

struct Item {
  std::string id;
  static Item initWithJson(const Json& j) { return {platform::json::text(j, "id").value_or("")}; }
};

TEST(ServerReplyTest, DataIsMappedIntoTheEntityClassOnlyOnSuccess) {
  const std::optional<EntityClass> entity = EntityClass::of<Item>();
  ServerReply list =
      ServerReply::judge(200, std::nullopt, R"({"retStatus":{"retCode":"0000"},"retData":[{"id":"a"},{"id":"b"}]})",
                         entity);
  ASSERT_EQ(list.result.list<Item>().size(), 2u);
  EXPECT_EQ(list.result.list<Item>()[1]->id, "b");
  ServerReply one =
      ServerReply::judge(200, std::nullopt, R"({"retStatus":{"retCode":"0000"},"retData":{"id":"c"}})", entity);
  ASSERT_TRUE(one.result.object<Item>());
  EXPECT_EQ(one.result.object<Item>()->id, "c");
  ServerReply failed =
      ServerReply::judge(200, std::nullopt, R"({"retStatus":{"retCode":"2001"},"retData":{"id":"c"}})", entity);
  EXPECT_TRUE(failed.result.isNothing());
  ServerReply raw = ServerReply::judge(200, std::nullopt, R"({"retStatus":{"retCode":"0000"},"retData":[1]})",
                                       std::nullopt);
  ASSERT_TRUE(raw.result.isJson());
  EXPECT_EQ(*raw.result.json(), Json::array({1}));
}

}  // namespace
}  // namespace nvx
