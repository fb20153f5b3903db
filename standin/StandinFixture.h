// The test users, terminals, card and keys the stand-ins and their tests share, so that a flow
// chained across features (log in, sign the terminal in, swipe, pay) speaks of the same people
// and things everywhere.
#pragma once
#include <string>
#include <string_view>

#include "standin/MainApiStandin.h"
#include "standin/mainapi/RsaKeyPair.h"

namespace standin::fixture {

// The request identity of the test phone.
inline constexpr std::string_view kUid = "a1B2c3D4e5F6g7H8";
// The salt and transport key of unit tests (Settings::fromProjectFiles() has the bundle's).
inline constexpr std::string_view kVercodeSalt = "test-salt";
inline constexpr std::string_view kTransportKey = "F3DF67A1C00F071041343557EF1CD461";

// The test user and a second one (for "belongs to someone else").
inline constexpr std::string_view kLoginName = "13800000000";
inline constexpr std::string_view kPassword = "Test1234";
inline constexpr std::string_view kUserToken = "token-1";
inline constexpr std::string_view kOtherLoginName = "13900000000";
inline constexpr std::string_view kOtherUserToken = "token-2";

// The reader's terminal id and the virtual terminal of wallet payments.
inline constexpr std::string_view kReaderTermid = "ABCDEF0123456789";
inline constexpr std::string_view kVirtualTermid = "V000000000000042";

// The test card every simulated reader swipes, and its PIN.
inline constexpr std::string_view kCardPan = "6222021234567890123";
inline constexpr std::string_view kCardExpiry = "2512";
inline constexpr std::string_view kCardPin = "123456";

// Settings of a unit-test stand-in: the salt and transport key above, the per-process key pairs.
MainApiStandin::Settings settings();

// The encrypted track block a simulated reader of model ("0001", "0002", "0003", "0007" for the
// Wi-Fi box, "0008") sends for the test card, as upper-case hex; "" for another model.
std::string encryptedTracksHex(std::string_view model);

// The "pinkey" a client sends for pin: "06" + pin + "FFFFFFFF" under the terminal's PIK, then
// RSA under the PIN key pair's public half (256 upper-case hex digits; "" when unusable).
std::string pinkeyFor(std::string_view pin, std::string_view pikHex, const RsaKeyPair& pinKey);

// "uid" and its "vercode", as every call carries them.
MainApiStandin::Fields identity(std::string_view uid = kUid, std::string_view salt = kVercodeSalt);

}  // namespace standin::fixture
