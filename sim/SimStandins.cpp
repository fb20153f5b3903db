#include "sim/SimStandins.h"

#include "bills/CarRentalConfig.h"
#include "lottery/core/LotteryServerConfig.h"
#include "net/ServerConfig.h"
#include "net/StatisticsServerConfig.h"
#include "platform/media/Jack.h"
#include "platform/net/NetConfig.h"
#include "standin/StandinFixture.h"
#include "standin/TestCertificates.h"
#include "standin/mainapi/Hex.h"

namespace nvx::sim {
SimStandins::SimStandins()
    : reader_(std::make_shared<standin::SimulatedReader0002>()),
      reader0001_(std::make_shared<standin::SimulatedReader0001>()),
      reader0003_(std::make_shared<standin::SimulatedReader0003>()),
      reader0008_(std::make_shared<standin::SimulatedReader0008>()) {
  audioReaders_["0002"] = {reader_, [r = reader_] { return r->swipe(); }};
  audioReaders_["0001"] = {reader0001_, [r = reader0001_] { return r->swipe(); }};
  audioReaders_["0008"] = {reader0008_, [r = reader0008_] { return r->swipe(); }};
  // Models 0003 to 0006 are one reader family: one simulated reader answers to each of them.
  for (const char* model : {"0003", "0004", "0005", "0006"}) {
    audioReaders_[model] = {reader0003_, [r = reader0003_] { return r->swipe(); }};
  }
}

SimStandins::~SimStandins() { stop(); }

platform::Status SimStandins::start() {
  auto certificates = standin::TestCertificates::create();
  if (!certificates) return platform::Status::error("test certificates: " + certificates.error());

  auto apiSettings = standin::MainApiStandin::Settings::fromProjectFiles();
  if (!apiSettings) return platform::Status::error("main API stand-in: " + apiSettings.error());
  apiSettings->tls = certificates.value();
  mainApi_ = std::make_unique<standin::MainApiStandin>(apiSettings.value());
  if (auto s = mainApi_->start(); !s) return platform::Status::error("main API stand-in: " + s.message());
  // The test user owns every simulated reader, so that the reader gate lets a payment through
  // instead of offering to bind a reader new to the user.
  const std::string owner(standin::fixture::kLoginName);
  for (const standin::Bytes& ksn :
       {standin::SimulatedWifiBox::Config{}.ksn, standin::SimulatedReader0001::Config{}.ksn,
        standin::SimulatedReader0002::Config{}.ksn, standin::SimulatedReader0003::Config{}.ksn,
        standin::SimulatedReader0008::Config{}.ksn}) {
    mainApi_->bindReader(standin::mainapi::upperHex(ksn.data(), ksn.size()), owner);
  }

  auto statisticsSettings = standin::StatisticsStandin::Settings::fromProjectFiles();
  if (!statisticsSettings) return platform::Status::error("statistics stand-in: " + statisticsSettings.error());
  statisticsSettings->tls = certificates.value();
  statistics_ = std::make_unique<standin::StatisticsStandin>(statisticsSettings.value());
  if (auto s = statistics_->start(); !s) return platform::Status::error("statistics stand-in: " + s.message());

  standin::ProbeStandin::Settings probeSettings;
  probeSettings.tls = certificates.value();
  probe_ = std::make_unique<standin::ProbeStandin>(std::move(probeSettings));
  if (auto s = probe_->start(); !s) return platform::Status::error("probe stand-in: " + s.message());

  standin::LotteryStandin::Settings lotterySettings;
  lotterySettings.tls = certificates.value();
  lottery_ = std::make_unique<standin::LotteryStandin>(std::move(lotterySettings));
  if (auto s = lottery_->start(); !s) return platform::Status::error("lottery stand-in: " + s.message());

  // The phone and the box on the loopback network, on ports the box takes and publishes, so that
  // no other run meets them.
  platform::net::NetConfig::current().useLoopbackNetwork();
  box_ = std::make_unique<standin::SimulatedWifiBox>(standin::SimulatedWifiBox::onFreePorts());
  if (auto s = box_->start(); !s) return platform::Status::error("reader box: " + s.message());

  ServerConfig::current().setCaFile(certificates->caCertFile.string());
  ServerConfig::current().setMainApiBase(mainApi_->apiBaseAddress());
  StatisticsServerConfig::current().setStatisticsBase(statistics_->statisticsBaseAddress());
  StatisticsServerConfig::current().setProbeBase(probe_->probeAddress());
  lottery::LotteryServerConfig::current().setBase(lottery_->baseAddress());

  carRentalPages_ = std::make_unique<standin::PageStandin>();
  carRental_ = std::make_unique<standin::CarRentalPartner>(*carRentalPages_);
  if (auto s = carRentalPages_->start(); !s) return platform::Status::error("car-rental pages: " + s.message());
  CarRentalConfig::current().setPartnerSite(carRentalPages_->url(""));
  return platform::Status::success();
}

void SimStandins::stop() {
  if (box_) box_->stop();
  if (lottery_) lottery_->stop();
  if (carRentalPages_) carRentalPages_->stop();
  if (probe_) probe_->stop();
  if (statistics_) statistics_->stop();
  if (mainApi_) mainApi_->stop();
}

bool SimStandins::plugReader(std::string_view model) {
  auto it = audioReaders_.find(model);
  if (it == audioReaders_.end()) return false;
  auto& jack = platform::media::Jack::shared();
  if (jack.peer() == it->second.peer) return false;
  jack.plug(it->second.peer);
  return true;
}

bool SimStandins::hasReader(std::string_view model) const { return audioReaders_.find(model) != audioReaders_.end(); }

bool SimStandins::unplugReader() {
  auto& jack = platform::media::Jack::shared();
  if (!jack.isPlugged()) return false;
  jack.unplug();
  return true;
}

bool SimStandins::isReaderPlugged() const {
  auto plugged = platform::media::Jack::shared().peer();
  for (const auto& [model, reader] : audioReaders_) {
    if (plugged && plugged == reader.peer) return true;
  }
  return false;
}

platform::Status SimStandins::swipe() {
  auto plugged = platform::media::Jack::shared().peer();
  for (const auto& [model, reader] : audioReaders_) {
    if (plugged && plugged == reader.peer && reader.swipe()) return platform::Status::success();
  }
  if (box_ && box_->isRunning() && box_->swipe()) return platform::Status::success();
  return platform::Status::error("no reader is waiting for a card");
}

platform::Status SimStandins::setBoxOn(bool on) {
  if (!box_) return platform::Status::error("no reader box");
  if (on == box_->isRunning()) return platform::Status::success();
  if (!on) {
    box_->stop();
    return platform::Status::success();
  }
  return box_->start();
}

bool SimStandins::isBoxOn() const { return box_ && box_->isRunning(); }

}  // namespace nvx::sim
