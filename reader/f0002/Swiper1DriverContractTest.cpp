// The reader-driver contract, run on the 0002 driver against the simulated reader in the jack.
#include "reader/f0002/Swiper1TestHarness.h"
#include "reader/testing/DriverContract.h"

namespace nvx::reader::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Swiper1, DriverContract, ::testing::Types<Swiper1Harness>);

}  // namespace nvx::reader::testing
