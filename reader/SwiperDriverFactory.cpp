#include "reader/SwiperDriverFactory.h"

#include "reader/f0001/CSwiperController.h"
#include "reader/f0002/CSwiperController1.h"
#include "reader/f0003/NLSwiperController.h"
#include "reader/f0008/CTSwiperController.h"
#include "reader/wifi/WexSwiperController.h"

namespace nvx::reader {

SwiperDriverFactory& SwiperDriverFactory::shared() {
  return platform::Process::current().shared<SwiperDriverFactory>();
}

SwiperDriverFactory::SwiperDriverFactory() {
  add("0001", [] { return CSwiperController::create(); });
  add("0002", [] { return CSwiperController1::create(); });
  add("0007", [] { return WexSwiperController::sharedInstance(); });
  add("0008", [] { return f0008::CTSwiperController::sharedInstance(); });
  for (const char* id : {"0003", "0004", "0005", "0006"}) add(id, [] { return NLSwiperController::sharedInstance(); });
}

void SwiperDriverFactory::add(std::string unitId, Factory factory) {
  factories_[std::move(unitId)] = std::move(factory);
}

void SwiperDriverFactory::remove(std::string_view unitId) {
  if (auto it = factories_.find(unitId); it != factories_.end()) factories_.erase(it);
}

bool SwiperDriverFactory::has(std::string_view unitId) const {
  auto it = factories_.find(unitId);
  return it != factories_.end() && it->second;
}

std::shared_ptr<CTSwiperController> SwiperDriverFactory::create(std::string_view unitId) const {
  auto it = factories_.find(unitId);
  if (it == factories_.end() || !it->second) return nullptr;
  return it->second();
}

}  // namespace nvx::reader
