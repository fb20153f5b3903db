// The start of a main-API route test: a stand-in of the main API whose test user has logged in
// and checked in from one terminal, and a way to post a call to it as the client would.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "standin/MainApiStandin.h"
#include "standin/StandinFixture.h"

namespace standin {

class SignedInStandinTest : public ::testing::Test {
 protected:
  using Fields = std::vector<HttpStandin::Field>;

  // Starts the stand-in and signs the test user in from termid, which then holds issued keys.
  // Callers wrap it in ASSERT_NO_FATAL_FAILURE.
  void signIn(std::string_view termid) {
    server = std::make_unique<MainApiStandin>(fixture::settings());
    ASSERT_TRUE(server->start().isOk());
    server->addSession(std::string(fixture::kLoginName), std::string(fixture::kUserToken));
    for (const char* method : {"login", "checkin"}) {
      post(method, {{"mobile", std::string(fixture::kLoginName)},
                    {"userToken", std::string(fixture::kUserToken)},
                    {"busid", method == std::string("login") ? "M10003" : "M10002"},
                    {"termid", std::string(termid)}});
    }
    ASSERT_TRUE(server->issuedKeys(std::string(termid)));
  }

  platform::Json post(std::string_view path, const Fields& fields) {
    auto r = platform::net::HttpRequest::make(server->apiBaseAddress() + std::string(path) + ".json", true);
    for (const auto& [k, v] : fixture::identity()) r->addPostValue(k, v);
    for (const auto& [k, v] : fields) r->addPostValue(k, v);
    r->startSynchronous();
    EXPECT_FALSE(r->error()) << path;
    return platform::json::parse(r->responseString()).value_or(platform::Json());
  }

  // A call of the reader terminal of the fixture, signed under its issued MAC key; with card, the
  // test card's tracks go with it (a commit).
  platform::Json signedCall(std::string_view method, Fields fields, bool card) {
    Fields all = {{"termid", std::string(fixture::kReaderTermid)},
                  {"mobile", std::string(fixture::kLoginName)},
                  {"userToken", std::string(fixture::kUserToken)}};
    all.insert(all.end(), fields.begin(), fields.end());
    if (card) {
      all.emplace_back("otrack", fixture::encryptedTracksHex("0007"));
      all.emplace_back("rnd", "0011223344556677");
    }
    const auto keys = server->issuedKeys(std::string(fixture::kReaderTermid));
    all.emplace_back("mac", MainApiStandin::retailMac(MainApiStandin::macInputOf(all, card), keys->mac).substr(0, 8));
    return post(method, all);
  }
  static std::string code(const platform::Json& reply) { return reply["retStatus"].value("retCode", ""); }

  std::unique_ptr<MainApiStandin> server;
};

}  // namespace standin
