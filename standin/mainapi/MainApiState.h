// What the main-API stand-in knows, shared by its seam (MainApiStandin.cpp) and its own built-in
// routes (CoreRoutes.cpp). Feature routes keep their state in feature<T>() instead.
#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct MainApiStandin::State {
  struct Session {
    std::string token;
    bool expired = false;
  };
  struct ScriptEntry {
    Scripted scripted;
    int remaining = -1;
  };
  struct Route {
    Handler handler;
    RouteOptions options;
  };

  // Held while a handler runs and by every reader and writer of what follows.
  mutable std::recursive_mutex mutex;
  std::map<std::string, Route, std::less<>> routes;
  // Routes whose name ends in "/", longest first.
  std::vector<std::pair<std::string, Route>> prefixRoutes;
  std::map<std::type_index, std::shared_ptr<void>> features;

  std::map<std::string, Session, std::less<>> sessions;
  std::map<std::string, IssuedKeys, std::less<>> keys;
  std::map<std::string, ScriptEntry, std::less<>> scripts;
  std::vector<Verdict> verdicts;

  // The built-in methods' data.
  platform::Json clientVersions = platform::Json::array();
  std::map<std::pair<std::string, std::string>, platform::Json> parameters;
  platform::Json units;
  std::map<std::string, std::string, std::less<>> readerOwners;
  std::map<std::string, platform::Json, std::less<>> queryTransData;
  int tpkEntryCount = 1;
  bool checkinPiks = true;
  bool checkinMacs = true;
};

// The stand-in's own methods: terminal login and check-in, the shared queries.
void addCoreRoutes(MainApiStandin& server);

namespace mainapi {
// 32 random hex digits (a fresh two-key Triple-DES key).
std::string randomKeyHex();
// The reader models "getUnitListNew" serves unless told otherwise.
platform::Json defaultUnits();
// Every route of the stand-in: its own, then each feature's.
void addAllRoutes(MainApiStandin& server);
}  // namespace mainapi

}  // namespace standin
