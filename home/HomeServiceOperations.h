// The server operations of the home screen's pages: the message centre's notice pages and its
// mall product path, the More screen's client-version check and the question which login name a
// reader terminal was opened for. Built with the one request builder; every completion runs
// once, on the main loop.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Json.h"

namespace nvx {

class ClientVersionEntity;
class RequestSession;

// One notice message. Every field is text and may be missing (a number from the server is taken
// as its text).
struct MsgList {
  std::optional<std::string> msgId;
  std::optional<std::string> msgPurpose;
  std::optional<std::string> msgContent;
  std::optional<std::string> msgPutoutTime;
  std::optional<std::string> openType;
  std::optional<std::string> params;

  // Anything but an object gives a record without fields.
  static MsgList initWithJson(const platform::Json& json);
};

// One entry of the mall's home list (the fields the message centre reads, as given).
struct HomeListEntity {
  platform::Json pid;
  platform::Json beginTime;
  platform::Json endTime;
  platform::Json imgUrl;
  platform::Json idType;
  platform::Json pageContent;
  platform::Json status;

  static HomeListEntity initWithJson(const platform::Json& json);
};

class HomeServiceOperations {
 public:
  // A page of notices: the records in the server's order, or the failure's message.
  struct NoticePage {
    bool ok = false;
    std::vector<MsgList> list;
    std::string errMsg;
  };
  // getNoticeMsg with "currPage=<page>" (identity uid and vercode), behind the window spinner.
  static void getNoticeMsgCurrPage(int page, std::function<void(NoticePage)> completion);

  // The client-version check's answer.
  struct VersionCheck {
    enum class Kind { NetworkFailed, Latest, Optional, Forced } kind = Kind::Latest;
    std::string title;
    std::string message;
  };
  // The first version of the list decides: mustup 0 (also missing) optional, 1 forced, anything
  // else the latest version; a failure other than the network's, or an empty list, the latest.
  static void checkClientVersion(std::function<void(VersionCheck)> completion);
  static VersionCheck versionCheckOf(bool networkFailed, const std::vector<std::shared_ptr<ClientVersionEntity>>& list);

  // Who the reader terminal was opened for.
  struct ReaderOwner {
    enum class Kind {
      Opened,         // the server names a login name
      NotOpened,      // "0000" without a login name
      NetworkFailed,  // no usable answer reached us (not sent, time-out, lost)
      Failed,         // the server or the reply said no: message holds the text
      TokenExpired,   // the expired-login handling has what to show (code, message)
    } kind = Kind::NotOpened;
    std::string loginName;
    std::string code;
    std::string message;
  };
  // GET "getMobileByPsamNo/<terminal id>.json" with the identity (time-out 20 s), sent on the
  // calling thread: for a worker, with the session captured on the main thread.
  static ReaderOwner getMobileByPsamNo(const std::string& psamId, const RequestSession& session);

  // The mall: the first page of the home list of page type 1 ("pageHomeList", second-generation
  // mall base, behind the spinner) and one product's detail ("product", mall base, behind the
  // spinner). A failure gives nothing and the message.
  static void getProducts(std::function<void(std::optional<std::vector<HomeListEntity>>, std::string errMsg)> completion);
  static void getDetailProductWithPId(const std::string& productId,
                             std::function<void(std::optional<platform::Json> detail, std::string errMsg)> completion);
};

}  // namespace nvx
