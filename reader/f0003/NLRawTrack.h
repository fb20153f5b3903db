// The card result of a raw stripe: track 2 decoded from the recording (decode_f2f_track2), the
// card number's groups and the expiry taken from it, the whole track encrypted under the
// service's certificate (MyRSA). The plain track is wiped as soon as it is encrypted.
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "reader/f0003/AudioHelperDelegate.h"
#include "reader/f0003/CardData.h"

namespace nvx::reader {

constexpr int32_t kErrorCrypto = 51;
constexpr const char* kErrorCryptoText = "CryptoService";

// Decodes the recording and hands the card to the driver (onCardData), or tells it of a swipe
// that gave no track (onSwipeError) or of a track that could not be encrypted (onError 51).
void nl_raw_track_to_card_data(std::span<const int16_t> samples, AudioHelperDelegate& driver);

// The card fields of a decoded track (no encryption): after the last ';' and up to the last '='
// a card number of 13 to 19 digits gives panlen, its first 6 and last 4 digits and, when more
// than 5 characters follow the '=', the 4 after it as the expiry.
CardData nl_card_fields_of_track(std::string_view track);

}  // namespace nvx::reader
