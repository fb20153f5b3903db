#include "standin/LotteryStandin.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

std::string md5(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr), 1);
  return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string lp1(std::string_view text) { return std::string(1, static_cast<char>(text.size())) + std::string(text); }

// A top-up order as a client writes it, sealed with the given salt.
std::string topUpRequest(std::string_view amount, std::string_view salt, std::string_view header = "00001000000") {
  std::string body = std::string("\x04\xBD", 2) + lp1(header) + lp1("70001") + lp1(amount) + std::string(2, '\0');
  return body + "\x10" + md5(body + lp1(salt));
}

std::string post(const LotteryStandin& server, std::string_view path, const std::string& body) {
  auto r = platform::net::HttpRequest::make(server.baseAddress() + std::string(path));
  r->setMethod("POST");
  r->setBody(body, "");
  r->startSynchronous();
  EXPECT_EQ(r->statusCode(), 200);
  return r->responseData();
}

int status(const std::string& reply) {
  return reply.size() < 2 ? -1 : (static_cast<unsigned char>(reply[0]) << 8) | static_cast<unsigned char>(reply[1]);
}

TEST(LotteryStandinTest, ChecksTheDigestHeaderAndPathOfEveryRequest) {
  LotteryStandin server;
  ASSERT_TRUE(server.start().isOk());
  struct Case {
    const char* what;
    std::string_view path;
    std::string body;
    int status;
    std::string error;  // the start of what the server wrote down
  } cases[] = {
      {"good", LotteryStandin::kServicePath, topUpRequest("100", LotteryStandin::kSalt), 2213, ""},
      {"another salt", LotteryStandin::kServicePath, topUpRequest("100", "salt"), 3000, "the digest"},
      {"another header", LotteryStandin::kServicePath, topUpRequest("100", LotteryStandin::kSalt, "00001000001"), 3000,
       "unexpected header"},
      {"order path", LotteryStandin::kIosServicePath, topUpRequest("100", LotteryStandin::kSalt), 3000, "message 1213"},
      {"too short", LotteryStandin::kServicePath, "\x04\xBD", 3000, "too short"},
      {"field past the end", LotteryStandin::kServicePath,
       std::string("\x04\xBD", 2) + lp1("00001000000") + "\x50" + std::string(17, 'x'), 3000, "a field runs past"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(status(post(server, c.path, c.body)), c.status) << c.what;
    const auto m = server.messages().back();
    EXPECT_EQ(m.error.substr(0, c.error.size()), c.error) << c.what << ": " << m.error;
  }
  EXPECT_EQ(server.messages().front().fields, (std::vector<std::string>{"70001", "100", ""}));
}

TEST(LotteryStandinTest, AmountsInFen) {
  struct Case {
    std::string_view yuan;
    std::optional<int64_t> fen;
  } cases[] = {{"100", 10000}, {"100.5", 10050}, {"0.01", 1}, {"500.00", 50000},
               {"", std::nullopt}, {"1.", std::nullopt}, {"1.234", std::nullopt}, {"-1", std::nullopt}, {"1e3", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(LotteryStandin::fenOfYuan(c.yuan), c.fen) << c.yuan;
}

}  // namespace
}  // namespace standin
