// The home module's screens and archive classes, registered by the client at start-up: the home
// screen under "HomeViewController" (the root of the navigation stack) and the box record the
// common page is stored as. A home screen already registered under that name is kept.
#pragma once

namespace nvx::home {

void registerScreens();

}  // namespace nvx::home
