// Starting the client: the work main() does before the run loop takes over, shared by the
// headless client and the simulator.
#pragma once
#include <filesystem>
#include <memory>

#include "platform/ui/Application.h"

namespace nvx {

class NVXAppDelegate;

// Chooses the home folder (made when missing), ignores SIGPIPE, installs NVXAppDelegate as the
// application's delegate and launches it with the options. Returns the delegate.
std::shared_ptr<NVXAppDelegate> startClient(const std::filesystem::path& home,
                                            const platform::ui::LaunchOptions& options = {});

}  // namespace nvx
