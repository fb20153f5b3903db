#include "standin/CarRentalPartner.h"

#include <openssl/evp.h>

#include <mutex>

namespace standin {

struct CarRentalPartner::State {
  mutable std::mutex mutex;
  std::vector<std::optional<std::string>> visitors;
};

namespace {

std::string percentEscaped(std::string_view text) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '.' || c == '_';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> CarRentalPartner::decipher(std::string_view base64) {
  if (base64.empty() || base64.size() % 4 != 0) return std::nullopt;
  std::string cipher(base64.size() / 4 * 3, '\0');
  const int decoded = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(cipher.data()),
                                      reinterpret_cast<const unsigned char*>(base64.data()),
                                      static_cast<int>(base64.size()));
  if (decoded < 0) return std::nullopt;
  size_t size = static_cast<size_t>(decoded);
  // EVP_DecodeBlock counts the padding's bytes too.
  if (base64.ends_with("==")) {
    size -= 2;
  } else if (base64.ends_with("=")) {
    size -= 1;
  }
  if (size == 0 || size % 8 != 0) return std::nullopt;
  std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  if (!ctx || EVP_DecryptInit_ex(ctx.get(), EVP_des_ede3_ecb(), nullptr,
                                 reinterpret_cast<const unsigned char*>(kKey.data()), nullptr) != 1) {
    return std::nullopt;
  }
  std::string plain(size + 8, '\0');
  int n = 0;
  int last = 0;
  auto* out = reinterpret_cast<unsigned char*>(plain.data());
  if (EVP_DecryptUpdate(ctx.get(), out, &n, reinterpret_cast<const unsigned char*>(cipher.data()),
                        static_cast<int>(size)) != 1 ||
      EVP_DecryptFinal_ex(ctx.get(), out + n, &last) != 1) {
    return std::nullopt;
  }
  plain.resize(static_cast<size_t>(n + last));
  return plain;
}

std::string CarRentalPartner::ownSchemeLink(std::string_view jsonParams) {
  return "nvxrentcar://page?params=" + percentEscaped(jsonParams);
}

CarRentalPartner::CarRentalPartner(PageStandin& pages) : state_(std::make_shared<State>()) {
  pages.setPageHandler(std::string(kIndexPath), [state = state_](const HttpStandin::Request& request) {
    std::optional<std::string> visitor;
    for (const auto& [name, value] : request.queryFields) {
      if (name == "mobile") {
        visitor = decipher(value);
        break;
      }
    }
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      state->visitors.push_back(visitor);
    }
    const std::string greeting = visitor ? "欢迎 " + *visitor : std::string(kUnreadable);
    const std::string call = R"({"type":"2","params":{"mobile":")" + std::string(kBookingLine) + R"("}})";
    return PageStandin::html("<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>租车</title></head><body>"
                             "<p>" + greeting + "</p>"
                             "<a href=\"" + std::string(kCarsPath) + "\">车型</a>"
                             "<a href=\"" + ownSchemeLink(R"({"type":"0"})") + "\">返回</a>"
                             "<a href=\"" + ownSchemeLink(R"({"type":"1"})") + "\">官网</a>"
                             "<a href=\"" + ownSchemeLink(call) + "\">预订电话</a>"
                             "</body></html>");
  });
  pages.setPage(std::string(kCarsPath),
                "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>车型</title></head><body>"
                "<p>经济型 舒适型</p><a href=\"" + ownSchemeLink(R"({"type":"0"})") + "\">返回</a></body></html>");
}

std::vector<std::optional<std::string>> CarRentalPartner::visitors() const {
  std::lock_guard<std::mutex> lock(state_->mutex);
  return state_->visitors;
}

}  // namespace standin
