// The servers and readers the simulator runs beside the client, in the same process: the main-API,
// statistics, probe and lottery stand-ins over HTTPS (a CA made on the spot, which the client trusts), the
// simulated Wi-Fi reader box on the loopback network, and the simulated "0002" audio reader,
// ready to be plugged into the headset jack. start() also points the client's configuration at
// them, so it must run before the client starts. The simulated "0001", "0003" (models 0003 to 0006)
// and "0008" readers are ready for the jack too.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/Status.h"
#include "standin/CarRentalPartner.h"
#include "standin/LotteryStandin.h"
#include "standin/MainApiStandin.h"
#include "standin/PageStandin.h"
#include "standin/ProbeStandin.h"
#include "standin/SimulatedReader0001.h"
#include "standin/SimulatedReader0002.h"
#include "standin/SimulatedReader0003.h"
#include "standin/SimulatedReader0008.h"
#include "standin/SimulatedWifiBox.h"
#include "standin/StatisticsStandin.h"

namespace nvx::sim {

class SimStandins {
 public:
  SimStandins();
  ~SimStandins();
  SimStandins(const SimStandins&) = delete;
  SimStandins& operator=(const SimStandins&) = delete;

  // Starts everything and configures the client. The sandbox must be initialized.
  platform::Status start();
  void stop();

  // --- the user's hands ---
  // Plugs the simulated reader of this model into the headset jack (false when it already is).
  bool plugReader(std::string_view model = "0002");
  // Whether the simulator has a reader of this model to plug.
  bool hasReader(std::string_view model) const;
  // Pulls whatever is in the jack (false when nothing is).
  bool unplugReader();
  // Whether one of the simulated audio readers is in the jack.
  bool isReaderPlugged() const;
  // Swipes the test card through whichever reader waits for a card: the plugged audio reader,
  // else the box. An error when neither does.
  platform::Status swipe();
  // The box's power.
  platform::Status setBoxOn(bool on);
  bool isBoxOn() const;

  standin::MainApiStandin& mainApi() { return *mainApi_; }
  standin::StatisticsStandin& statistics() { return *statistics_; }
  standin::ProbeStandin& probe() { return *probe_; }
  standin::LotteryStandin& lottery() { return *lottery_; }
  standin::SimulatedWifiBox& box() { return *box_; }
  standin::SimulatedReader0002& reader() { return *reader_; }
  standin::SimulatedReader0001& reader0001() { return *reader0001_; }
  standin::SimulatedReader0003& reader0003() { return *reader0003_; }
  standin::SimulatedReader0008& reader0008() { return *reader0008_; }

 private:
  std::unique_ptr<standin::MainApiStandin> mainApi_;
  std::unique_ptr<standin::StatisticsStandin> statistics_;
  std::unique_ptr<standin::ProbeStandin> probe_;
  std::unique_ptr<standin::LotteryStandin> lottery_;
  std::unique_ptr<standin::SimulatedWifiBox> box_;
  std::shared_ptr<standin::SimulatedReader0002> reader_;
  std::shared_ptr<standin::SimulatedReader0001> reader0001_;
  std::shared_ptr<standin::SimulatedReader0003> reader0003_;
  std::shared_ptr<standin::SimulatedReader0008> reader0008_;
  // The car-rental partner's site (plain HTTP, as partner pages are served here).
  std::unique_ptr<standin::PageStandin> carRentalPages_;
  std::unique_ptr<standin::CarRentalPartner> carRental_;
  // The audio readers by model: what goes into the jack and how a card is swiped through it.
  struct AudioReader {
    std::shared_ptr<platform::media::Peer> peer;
    std::function<bool()> swipe;
  };
  std::map<std::string, AudioReader, std::less<>> audioReaders_;
};

}  // namespace nvx::sim
