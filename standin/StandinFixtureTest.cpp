#include "standin/StandinFixture.h"

#include <gtest/gtest.h>

#include "standin/SimulatedReader0001.h"
#include "standin/SimulatedReader0002.h"
#include "standin/SimulatedReader0003.h"
#include "standin/SimulatedReader0008.h"
#include "standin/SimulatedWifiBox.h"

namespace standin {
namespace {

// A flow that swipes on any reader and pays on the stand-in speaks of one card.
TEST(StandinFixtureTest, EverySimulatedReaderSwipesTheFixturesCard) {
  const std::pair<std::string, std::string> cards[] = {
      {Reader0001Card::testCard().pan, Reader0001Card::testCard().expiry},
      {Reader0002Card::testCard().pan, Reader0002Card::testCard().expiry},
      {Reader0003Card::testCard().pan, Reader0003Card::testCard().expiry},
      {WifiBoxCard::testCard().pan, WifiBoxCard::testCard().expiry},
      {Reader0008Card::testCard().pan, Reader0008Card::testCard().expiry},
  };
  for (const auto& [pan, expiry] : cards) {
    EXPECT_EQ(pan, fixture::kCardPan);
    EXPECT_EQ(expiry, fixture::kCardExpiry);
  }
}

}  // namespace
}  // namespace standin
