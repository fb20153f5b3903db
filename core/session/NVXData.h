// The app-data store: one JSON dictionary of the data shipped with the application ("INIT_DATA",
// the bundle's "initData.txt", read-only) and the data the client keeps ("MUTABLE_DATA", the file
// "initData.bat" in Documents). Both are read once, when the store is made; later changes stay
// in memory until save(). Main thread only.
#pragma once
#include <string>

#include "platform/foundation/Json.h"
#include "platform/foundation/Sandbox.h"

namespace platform {
class Process;
}

namespace nvx {

class NVXData {
 public:
  static constexpr const char* kInitData = "INIT_DATA";
  static constexpr const char* kMutableData = "MUTABLE_DATA";
  static constexpr const char* kFileName = "initData.bat";

  // The one store of the run, made on first use.
  static NVXData& sharedNVXData();

  NVXData(const NVXData&) = delete;
  NVXData& operator=(const NVXData&) = delete;

  // The whole dictionary. Other parts of the client keep their own entries in "MUTABLE_DATA"
  // (the mall cart under "MALLCART") and call save().
  platform::Json& nvxdata() { return nvxdata_; }
  const platform::Json& nvxdata() const { return nvxdata_; }

  // The saved advertisement list when it has entries, else the default list shipped with the
  // application; an empty list when neither is a list.
  platform::Json advertiseMents() const;
  // Stores a copy of the list as the saved advertisements and saves. Anything but a list is
  // refused (logged) and changes nothing.
  void setAdvertiseMents(const platform::Json& list);
  // The More screen's configuration shipped with the application ("sections" of "rows"); null
  // when the application data has none.
  platform::Json moreInfoConfigs() const;

  // Writes "MUTABLE_DATA" as JSON to Documents/initData.bat (atomically). A failure is logged
  // and otherwise silent: the data stays in memory. False when the write failed.
  bool save() const;

  // The dictionary as text.
  std::string description() const;

  static platform::Path file();

 private:
  friend class platform::Process;
  NVXData();

  platform::Json nvxdata_ = platform::Json::object();
};

}  // namespace nvx
