#include "core/session/ClientSettings.h"

#include <gtest/gtest.h>

#include "core/crypto/EncryptTool.h"
#include "core/testing/RsaTestKey.h"
#include "platform/foundation/Json.h"

namespace nvx {
namespace {

using testing::RsaTestKey;

// The private halves of the shipped test keys live beside the tests, never in the bundle.
platform::Path testData() {
  return platform::Sandbox::bundle().parent_path() / "core" / "testdata";
}

TEST(ClientSettingsTest, ShippedSettingsAreComplete) {
  const ClientSettings& settings = ClientSettings::current();
  EXPECT_EQ(settings.probeKey().size(), 32u);
  EXPECT_EQ(settings.vercodeSalt().size(), 42u);
  EXPECT_EQ(settings.passwordPublicKey().rfind("-----BEGIN PUBLIC KEY-----", 0), 0u);
  EXPECT_EQ(settings.pinPublicKey().rfind("-----BEGIN PUBLIC KEY-----", 0), 0u);

  auto transportKey = platform::fs::read(testData() / "transport-key.txt");
  ASSERT_TRUE(transportKey) << testData();
  SecretText key = EncryptTool::getXorString();
  EXPECT_EQ(key.size(), 32u);
  EXPECT_EQ(key.view(), transportKey->substr(0, 32));
  // Neither stored half is the key itself.
  for (const auto& part : settings.transportKeyParts()) {
    EXPECT_EQ(part.find(key.view()), std::string::npos);
  }
}

TEST(ClientSettingsTest, ShippedPublicKeysPairWithTheTestPrivateKeys) {
  struct Pair {
    const char* privateFile;
    std::optional<std::string> (*encrypt)(std::string_view);
  };
  const Pair pairs[] = {
      {"password-private.pem", &EncryptTool::getRSAEncryptionKeyFromString},
      {"pin-private.pem", &EncryptTool::getPinRSAEncryptionKeyFromString},
  };
  for (const auto& pair : pairs) {
    auto pem = platform::fs::read(testData() / pair.privateFile);
    ASSERT_TRUE(pem) << pair.privateFile;
    auto key = RsaTestKey::fromPrivatePem(*pem);
    ASSERT_TRUE(key) << pair.privateFile;
    auto cipher = pair.encrypt("0123456789ABCDEF");
    ASSERT_TRUE(cipher) << pair.privateFile;
    EXPECT_EQ(cipher->size(), 256u);
    EXPECT_EQ(key->decryptHex(*cipher), "0123456789ABCDEF") << pair.privateFile;
  }
}

platform::Json validSettings() {
  platform::Json j;
  j["passwordPublicKey"] = "-----BEGIN PUBLIC KEY-----\nAAAA\n-----END PUBLIC KEY-----\n";
  j["pinPublicKey"] = "-----BEGIN PUBLIC KEY-----\nBBBB\n-----END PUBLIC KEY-----\n";
  j["transportKeyParts"] = platform::Json::array({"first", "second"});
  j["probeKey"] = "probe-key-secret-value-0123456789";
  j["vercodeSalt"] = "salt";
  j["lotteryCodecKey"] = "lottery-secret-key-16";
  j["lotterySalt"] = "lottery-secret-salt";
  return j;
}

TEST(ClientSettingsTest, ParsesAllEntries) {
  auto parsed = ClientSettings::parse(platform::json::dump(validSettings()));
  ASSERT_TRUE(parsed) << parsed.error();
  EXPECT_EQ(parsed->probeKey(), "probe-key-secret-value-0123456789");
  EXPECT_EQ(parsed->vercodeSalt(), "salt");
  EXPECT_EQ(parsed->lotteryCodecKey(), "lottery-secret-key-16");
  EXPECT_EQ(parsed->lotterySalt(), "lottery-secret-salt");
  EXPECT_EQ(parsed->transportKeyParts()[1], "second");
  EXPECT_EQ(parsed->pinPublicKey().substr(27, 4), "BBBB");
}

TEST(ClientSettingsTest, MalformedSettingsNameTheEntryButNotItsValue) {
  struct Case {
    const char* entry;
    platform::Json value;  // null: the entry is removed
  };
  const Case cases[] = {
      {"passwordPublicKey", nullptr},
      {"pinPublicKey", 12},
      {"probeKey", "secret-short"},  // the cipher needs 24 bytes
      {"vercodeSalt", ""},
      {"lotteryCodecKey", "secret-15-bytes"},  // AES-128 needs 16 key bytes
      {"lotterySalt", nullptr},
      {"transportKeyParts", platform::Json::array({"only one"})},
      {"transportKeyParts", platform::Json::array({"one", 2})},
      {"transportKeyParts", "one,two"},
  };
  for (const auto& c : cases) {
    platform::Json j = validSettings();
    if (c.value.is_null()) {
      j.erase(c.entry);
    } else {
      j[c.entry] = c.value;
    }
    auto parsed = ClientSettings::parse(platform::json::dump(j));
    ASSERT_FALSE(parsed) << c.entry;
    EXPECT_NE(parsed.error().find(c.entry), std::string::npos) << parsed.error();
    EXPECT_EQ(parsed.error().find("secret"), std::string::npos) << parsed.error();
  }
  EXPECT_FALSE(ClientSettings::parse("not json"));
  EXPECT_FALSE(ClientSettings::parse("[]"));
  EXPECT_FALSE(ClientSettings::load(platform::Sandbox::tmp() / "missing.json"));
}

}  // namespace
}  // namespace nvx
