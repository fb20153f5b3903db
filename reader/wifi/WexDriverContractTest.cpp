// The reader-driver contract, run on the Wi-Fi reader box driver against the simulated box.
#include "reader/testing/DriverContract.h"
#include "reader/wifi/WexTestHarness.h"

namespace nvx::reader::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Wex, DriverContract, ::testing::Types<WexHarness>);

}  // namespace nvx::reader::testing
