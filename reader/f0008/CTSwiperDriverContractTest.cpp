// The reader-driver contract, run on the 0008 driver against the simulated reader in the jack.
#include "reader/f0008/CTSwiperTestHarness.h"
#include "reader/testing/DriverContract.h"

namespace nvx::reader::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(CTSwiper, DriverContract, ::testing::Types<CTSwiperHarness>);

}  // namespace nvx::reader::testing
