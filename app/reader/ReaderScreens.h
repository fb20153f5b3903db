// The screens of the card-reader layer that stand on the client's base screens: the reader-model
// chooser and the reader help page. The client registers them at start-up, so that the hub can
// open the chooser by its class name.
#pragma once

namespace nvx::reader::ui {

// Adds "SwiperInvalidViewController" and "SwiperCardHelpViewController" to the ScreenRegistry.
void registerScreens();

}  // namespace nvx::reader::ui
