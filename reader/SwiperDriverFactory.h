// Which driver serves a reader model id. Each reader family adds its factory here (in the
// constructor, SwiperDriverFactory.cpp) once its driver is built; a known model id without a
// factory has no driver in this build, and the hub then reports no reader for it.
//
// A factory returns the family's driver as the family hands it out: a new object ("0001",
// "0002") or its one shared object ("0003" to "0008").
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/foundation/Process.h"
#include "reader/CTSwiperController.h"

namespace nvx::reader {

class SwiperDriverFactory {
 public:
  using Factory = std::function<std::shared_ptr<CTSwiperController>()>;

  static SwiperDriverFactory& shared();

  // Registers (or replaces) the factory of a model id.
  void add(std::string unitId, Factory factory);
  // Forgets it (tests: a family not built).
  void remove(std::string_view unitId);
  bool has(std::string_view unitId) const;
  // The driver for the model id, or nothing when no family serves it.
  std::shared_ptr<CTSwiperController> create(std::string_view unitId) const;

 private:
  friend class platform::Process;
  // The families built into the client.
  SwiperDriverFactory();

  std::map<std::string, Factory, std::less<>> factories_;
};

}  // namespace nvx::reader
