// The start of a card pay screen's test: recording screen services, the scripted reader as the
// 0002 model behind a plugged headset jack, the hub made; result pages that record what the
// screen gave them; the prompt and the top screen as the user sees them.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/shell/AppServices.h"
#include "core/shell/ScreenRegistry.h"
#include "pay/testing/PayTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/media/AudioSession.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Hud.h"
#include "reader/ReaderModels.h"
#include "reader/SwiperDriverFactory.h"

namespace nvx::testing {

class PayScreenTest : public ::testing::Test {
 protected:
  void startReader() {
    services = std::make_shared<PayTestServices>();
    AppServices::install(services);
    reader::SwiperDriverFactory::shared().add("0002", [d = driver] { return d; });
    platform::UserDefaults::standard().set(reader::ReaderModels::kCommonUnitIdKey, "0002");
    platform::media::AudioSession::sharedInstance().simulateRouteChange("HeadsetInOut");
    services->makeHub();
    platform::RunLoop::main().advance(1);
  }
  // Result pages of these classes record into results.
  void recordResults(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      ScreenRegistry::shared().add(name, [this, name] {
        auto screen = std::make_shared<RecordingResultScreen>(name);
        results.push_back(screen);
        return screen;
      });
    }
  }
  void TearDown() override {
    platform::ui::AlertView::dismissAll();
    services->hub.reset();
    AppServices::install(nullptr);
  }

  std::optional<std::string> prompt() const {
    for (const auto& hud : platform::ui::Hud::on(*services->mainWindow)) {
      if (hud->mode() == platform::ui::Hud::Mode::Text) return hud->label();
    }
    return std::nullopt;
  }
  std::string topClass() const { return services->navigation->topViewController()->className(); }

  std::shared_ptr<PayTestServices> services;
  std::shared_ptr<ScriptedPayDriver> driver = std::make_shared<ScriptedPayDriver>();
  std::vector<std::shared_ptr<RecordingResultScreen>> results;
};

}  // namespace nvx::testing
