#include "standin/ProbeStandin.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"

namespace standin {
namespace {

// Triple DES (ECB, PKCS#7) under the first 24 bytes of key, as Base64: what a client sends.
std::string encrypt(std::string_view plain, std::string_view key) {
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::string out(plain.size() + 16, '\0');
  int n = 0;
  int last = 0;
  EXPECT_EQ(EVP_EncryptInit_ex(ctx, EVP_des_ede3_ecb(), nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                               nullptr),
            1);
  EXPECT_EQ(EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &n,
                              reinterpret_cast<const unsigned char*>(plain.data()), static_cast<int>(plain.size())),
            1);
  EXPECT_EQ(EVP_EncryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + n, &last), 1);
  EVP_CIPHER_CTX_free(ctx);
  out.resize(static_cast<size_t>(n + last));
  std::string base64(4 * ((out.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()),
                                     reinterpret_cast<const unsigned char*>(out.data()), static_cast<int>(out.size()));
  base64.resize(static_cast<size_t>(length));
  return base64;
}

std::string escaped(std::string_view base64) {
  std::string out;
  for (char c : base64) {
    if (c == '+') out += "%2B";
    else if (c == '/') out += "%2F";
    else if (c == '=') out += "%3D";
    else out += c;
  }
  return out;
}

TEST(ProbeStandinTest, DecryptsTheProfileWithItsOwnKey) {
  ProbeStandin server;
  ASSERT_TRUE(server.start().isOk());
  const std::string profile = R"({"ver":"28","busid":"M50010_1","lang":"zh"})";
  // Ciphertexts of 48, 56 and 64 bytes: Base64 without padding, with "=" and with "==".
  for (const std::string& text : {profile, profile + std::string(8, ' '), profile + std::string(16, ' ')}) {
    auto r = platform::net::HttpRequest::make(server.probeAddress() + escaped(encrypt(text, ProbeStandin::kProbeKey)));
    r->startSynchronous();
    EXPECT_EQ(r->statusCode(), 200);
  }
  auto wrongKey = platform::net::HttpRequest::make(server.probeAddress() +
                                                   escaped(encrypt(profile, "another-key-of-24-bytes-or-more")));
  wrongKey->startSynchronous();
  EXPECT_EQ(wrongKey->statusCode(), 400);

  const auto probes = server.probes();
  ASSERT_EQ(probes.size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_TRUE(probes[i].profile) << probes[i].error;
    EXPECT_EQ((*probes[i].profile)["busid"], "M50010_1");
  }
  EXPECT_FALSE(probes[3].profile);
  EXPECT_EQ(ProbeStandin::decrypt("not base64!", ProbeStandin::kProbeKey), std::nullopt);
  EXPECT_EQ(ProbeStandin::decrypt(encrypt("x", ProbeStandin::kProbeKey), "short"), std::nullopt);
}

}  // namespace
}  // namespace standin
