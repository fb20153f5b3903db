// Built-in settings of the client that are data, not code: the service's RSA public keys, the
// scrambled halves of the transport key, the statistics probe key, the request-identity salt and
// the lottery wire codec's field key and digest salt.
// Read from the bundle's "client-settings.json" once per run.
#pragma once
#include <array>
#include <string>
#include <string_view>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"

namespace nvx {

class ClientSettings {
 public:
  static constexpr std::string_view kFileName = "client-settings.json";

  // The settings of this run, read from the bundle on first use. When the file is missing or
  // malformed the error is logged (never a value) and every setting is empty, so the operations
  // that need one fail cleanly.
  static const ClientSettings& current();

  // Reads settings from a file or from JSON text. The error names the first missing or malformed
  // entry.
  static platform::Result<ClientSettings> load(const platform::Path& file);
  static platform::Result<ClientSettings> parse(std::string_view jsonText);

  ClientSettings() = default;

  // PEM public-key blocks (SubjectPublicKeyInfo) of the two RSA keys.
  const std::string& passwordPublicKey() const { return passwordPublicKey_; }
  const std::string& pinPublicKey() const { return pinPublicKey_; }
  // The two stored texts whose unscrambled (demix) digit-wise XOR is the transport key.
  const std::array<std::string, 2>& transportKeyParts() const { return transportKeyParts_; }
  // The Triple-DES key text of the statistics probe (at least 24 bytes).
  const std::string& probeKey() const { return probeKey_; }
  // The salt of the request identity's vercode.
  const std::string& vercodeSalt() const { return vercodeSalt_; }
  // The lottery wire codec's AES-128 field key (its first 16 bytes) and the salt that enters the
  // digest of every lottery request but is never sent.
  const std::string& lotteryCodecKey() const { return lotteryCodecKey_; }
  const std::string& lotterySalt() const { return lotterySalt_; }

 private:
  std::string passwordPublicKey_;
  std::string pinPublicKey_;
  std::array<std::string, 2> transportKeyParts_;
  std::string probeKey_;
  std::string vercodeSalt_;
  std::string lotteryCodecKey_;
  std::string lotterySalt_;
};

}  // namespace nvx
