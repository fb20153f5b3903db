#include "standin/ProbeStandin.h"

#include <openssl/evp.h>

#include <mutex>

namespace standin {

struct ProbeStandin::State {
  mutable std::mutex mutex;
  std::vector<Probe> probes;
};

std::optional<std::string> ProbeStandin::decrypt(std::string_view base64, std::string_view key) {
  if (key.size() < 24 || base64.empty() || base64.size() % 4 != 0) return std::nullopt;
  std::string cipher(base64.size() / 4 * 3, '\0');
  const int decoded = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(cipher.data()),
                                      reinterpret_cast<const unsigned char*>(base64.data()),
                                      static_cast<int>(base64.size()));
  if (decoded < 0) return std::nullopt;
  // EVP_DecodeBlock counts the padding as zero bytes.
  size_t length = static_cast<size_t>(decoded);
  if (base64.back() == '=') --length;
  if (base64.size() >= 2 && base64[base64.size() - 2] == '=') --length;
  cipher.resize(length);

  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx) return std::nullopt;
  if (EVP_DecryptInit_ex(ctx.get(), EVP_des_ede3_ecb(), nullptr, reinterpret_cast<const unsigned char*>(key.data()),
                         nullptr) != 1) {
    return std::nullopt;
  }
  std::string plain(cipher.size() + 8, '\0');
  int outLength = 0;
  int finalLength = 0;
  if (EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()), &outLength,
                        reinterpret_cast<const unsigned char*>(cipher.data()), static_cast<int>(cipher.size())) != 1 ||
      EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()) + outLength, &finalLength) != 1) {
    return std::nullopt;
  }
  plain.resize(static_cast<size_t>(outLength + finalLength));
  return plain;
}

ProbeStandin::ProbeStandin(Settings settings)
    : StandinServer(settings.tls), settings_(std::move(settings)), state_(std::make_shared<State>()) {
  http().route("GET", std::string(kPath) + "*", [this](const HttpStandin::Request& request) {
    Probe probe;
    probe.text = request.path.substr(kPath.size());
    probe.https = request.isHttps;
    if (auto plain = decrypt(probe.text, settings_.key)) {
      auto json = platform::json::parse(*plain);
      if (json && json->is_object()) {
        probe.profile = std::move(*json);
      } else {
        probe.error = "not a JSON object: " + *plain;
      }
    } else {
      probe.error = "cannot decrypt";
    }
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->probes.push_back(probe);
    }
    return HttpStandin::Reply::text(probe.profile ? "ok" : "bad probe", probe.profile ? 200 : 400);
  });
}

ProbeStandin::~ProbeStandin() { stop(); }

std::string ProbeStandin::probeAddress() const { return baseUrl() + std::string(kPath); }

std::vector<ProbeStandin::Probe> ProbeStandin::probes() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->probes;
}

}  // namespace standin
