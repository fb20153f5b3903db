// The payment flow's screens named as text, for the client to register at start-up.
#pragma once

namespace nvx::pay {

// Adds "SwipeViewController", "SwipeTimeOutViewController", "SwiperCommitFailViewController" and
// the receipt "SwipeResultViewController" to the ScreenRegistry.
void registerScreens();

}  // namespace nvx::pay
