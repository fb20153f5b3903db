// The reader-driver contract, run on the 0001 driver against the simulated reader in the jack.
#include "reader/f0001/CSwiperTestHarness.h"
#include "reader/testing/DriverContract.h"

namespace nvx::reader::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(CSwiper, DriverContract, ::testing::Types<CSwiperHarness>);

}  // namespace nvx::reader::testing
