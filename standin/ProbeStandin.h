// The probe-server stand-in: answers "GET /probe/<text>" on 127.0.0.1 (HTTP or HTTPS), where the
// text is the percent-escaped Base64 of a Triple-DES (ECB, PKCS#7) encrypted JSON device profile.
// Like the real server it decrypts each probe with its own key (OpenSSL, the first 24 bytes of
// the key text) and logs what it read; the client never reads the reply.
#pragma once
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

class ProbeStandin final : public StandinServer {
 public:
  static constexpr std::string_view kPath = "/probe/";
  // The server's probe key.
  static constexpr std::string_view kProbeKey = "Hq7tLbNw2Xc/Ve9sJpRm4aKz0GyUiTdE";

  struct Settings {
    std::string key{kProbeKey};
    std::optional<TestCertificates> tls;  // serve HTTPS with these when set
  };

  // One probe as the server read it.
  struct Probe {
    std::string text;                    // the path after "/probe/", decoded
    std::optional<platform::Json> profile;   // the decrypted JSON object, when it was one
    std::string error;                   // why not, otherwise
    bool https = false;
  };

  ProbeStandin() : ProbeStandin(Settings{}) {}
  explicit ProbeStandin(Settings settings);
  ~ProbeStandin() override;

  // The client's probe address: baseUrl() followed by kPath.
  std::string probeAddress() const;

  std::vector<Probe> probes() const;

  // Base64 text -> the deciphered bytes, with OpenSSL (nothing on any failure).
  static std::optional<std::string> decrypt(std::string_view base64, std::string_view key);

  struct State;

 private:
  Settings settings_;
  std::shared_ptr<State> state_;
};

}  // namespace standin
