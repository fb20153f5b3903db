// The bill and recharge screens named as text, for the client to register at start-up (the home
// catalogue and the request router open them by class name).
#pragma once

namespace nvx::bills {

void registerScreens();

}  // namespace nvx::bills
