#include "reader/f0003/NLRawTrack.h"

#include <openssl/crypto.h>

#include <array>
#include <string>

#include "reader/f0003/MyRSA.h"
#include "reader/f0003/NLF2FDecoder.h"
#include "reader/f0003/StringUtil.h"

namespace nvx::reader {

namespace {

constexpr size_t kTrackBuffer = 50;
constexpr size_t kShortestPan = 13;
constexpr size_t kLongestPan = 19;

}  // namespace

CardData nl_card_fields_of_track(std::string_view track) {
  CardData card;
  card.formatType = CardData::kFormatRaw;
  const size_t sentinel = track.rfind(';');
  const size_t a = sentinel == std::string_view::npos ? 0 : sentinel + 1;
  const size_t b = track.rfind('=');
  if (b == std::string_view::npos || b < a) return card;
  const size_t digits = b - a;
  if (digits < kShortestPan || digits > kLongestPan) return card;
  card.panlen = static_cast<int>(digits);
  card.beginStr = std::string(track.substr(a, 6));
  card.endStr = std::string(track.substr(b - 4, 4));
  if (track.size() - (b + 1) > 5) card.validThru = std::string(track.substr(b + 1, 4));
  return card;
}

void nl_raw_track_to_card_data(std::span<const int16_t> samples, AudioHelperDelegate& driver) {
  std::array<char, kTrackBuffer> decoded{};
  const int count = decode_f2f_track2(samples.data(), samples.size(), decoded.data(), decoded.size());
  if (count <= 0) {
    driver.onSwipeError();
    return;
  }
  const std::string_view track(decoded.data(), static_cast<size_t>(count));
  CardData card = nl_card_fields_of_track(track);
  std::optional<std::vector<uint8_t>> sealed;
  if (auto rsa = MyRSA::init()) {
    sealed = rsa->encryptWithData(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(track.data()), track.size()));
  }
  OPENSSL_cleanse(decoded.data(), decoded.size());
  if (!sealed) {
    driver.onError(kErrorCrypto, kErrorCryptoText);
    return;
  }
  card.cryptoData = StringUtil::bcdWithChars(*sealed, 0, sealed->size());
  card.lenOfTrack2 = count;
  driver.onCardData(std::move(card));
}

}  // namespace nvx::reader
