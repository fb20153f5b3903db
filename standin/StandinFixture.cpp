#include "standin/StandinFixture.h"

#include "standin/SimulatedReader0001.h"
#include "standin/SimulatedReader0002.h"
#include "standin/SimulatedReader0003.h"
#include "standin/SimulatedReader0008.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/mainapi/Hex.h"

namespace standin::fixture {

MainApiStandin::Settings settings() {
  MainApiStandin::Settings s;
  s.vercodeSalt = kVercodeSalt;
  s.transportKey = kTransportKey;
  return s;
}

std::string encryptedTracksHex(std::string_view model) {
  auto hex = [](const std::vector<uint8_t>& bytes) { return mainapi::upperHex(bytes.data(), bytes.size()); };
  if (model == "0001") return hex(Reader0001Card::testCard().encryptedTracks);
  if (model == "0002") return hex(Reader0002Card::testCard().encryptedTracks);
  if (model == "0003") return hex(Reader0003Card::testCard().encryptedTracks);
  if (model == "0007") return hex(WifiBoxCard::testCard().encryptedTracks);
  if (model == "0008") return hex(Reader0008Card::testCard().encryptedTracks);
  return {};
}

std::string pinkeyFor(std::string_view pin, std::string_view pikHex, const RsaKeyPair& pinKey) {
  std::string block = "06" + std::string(pin) + "FFFFFFFF";
  std::string enciphered = MainApiStandin::wrapKey(block, pikHex);
  if (enciphered.size() != 16) return {};
  return pinKey.encryptHex(enciphered).value_or(std::string());
}

MainApiStandin::Fields identity(std::string_view uid, std::string_view salt) {
  return {{"uid", std::string(uid)}, {"vercode", MainApiStandin::vercodeFor(uid, salt)}};
}

}  // namespace standin::fixture
