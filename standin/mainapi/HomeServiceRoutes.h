// The home screen's service methods on the main-API stand-in: the notice pages of the message
// centre ("getNoticeMsg"), the login name a reader terminal is opened for ("getMobileByPsamNo")
// and the service groups of the applications list ("getServiceGroup"). Tests set what they
// answer through feature<HomeServiceState>().
#pragma once
#include <map>
#include <string>

#include "platform/foundation/Json.h"
#include "standin/MainApiStandin.h"

namespace standin {

struct HomeServiceState {
  static constexpr int kPageSize = 8;
  // Every notice, newest first, as the server keeps them (objects with "msgId", "msgPurpose",
  // "msgContent", "msgPutoutTime", "openType", "params"); served kPageSize a page.
  platform::Json notices = platform::Json::array();
  // The service groups served as they stand.
  platform::Json serviceGroups = platform::Json::array();
  // Reader terminal id -> the login name it was opened for.
  std::map<std::string, std::string, std::less<>> readerLogins;
};

void addHomeServiceRoutes(MainApiStandin& server);

}  // namespace standin
