// Starting the client: the work main() does before the run loop takes over, shared by the
// headless client and the simulator.
#pragma once
#include <filesystem>
#include <memory>

#include "platform/ui/Application.h"

namespace nvx {

class NVXAppDelegate;

// The client's process-wide wiring, before anything looks it up: the delegate as the installed
// AppServices, the run-time hooks (screen tracking, the request hook), the archive classes, the
// navigation bars' look and every built module's screens in the ScreenRegistry.
void installClient(const std::shared_ptr<NVXAppDelegate>& delegate);

// Chooses the home folder (made when missing), ignores SIGPIPE, wires the client (installClient),
// installs NVXAppDelegate as the application's delegate and launches it with the options.
// Returns the delegate.
std::shared_ptr<NVXAppDelegate> startClient(const std::filesystem::path& home,
                                            const platform::ui::LaunchOptions& options = {});

}  // namespace nvx
