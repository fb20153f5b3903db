// The reader-driver contract, run on the 0003-0006 driver against the simulated reader in the jack.
#include "reader/f0003/NLTestHarness.h"
#include "reader/testing/DriverContract.h"

namespace nvx::reader::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(NL, DriverContract, ::testing::Types<NLHarness>);

}  // namespace nvx::reader::testing
