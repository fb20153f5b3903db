// The confirmation of a points-card collection: what the inquiry answered (the card, the service
// and swiped points) beside what the user asked for, and "确定", which passes the reader gate again
// and sends the commit. The commit repeats every field of the inquiry (card track, PIN block,
// random number, account, name, quantity, text-message choice) with its own identity fields.
//
// A commit whose answer was lost may have moved the points: the time-out page shows, and this
// screen never sends the commit again. Only a commit that never reached the server may be sent
// again.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/NVXViewController.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

namespace nvx {

class TradeDetailViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "TradeDetailViewController";
  static constexpr const char* kTitle = "归集详情";

  static std::shared_ptr<TradeDetailViewController> create() { return std::make_shared<TradeDetailViewController>(); }
  std::string className() const override { return kClassName; }

  // Set before the screen is pushed.
  void setRetData(platform::Json data) { retData_ = std::move(data); }
  void setAccount(std::string account) { account_ = std::move(account); }
  void setAccountName(std::string name) { accountName_ = std::move(name); }
  // The quantity as the form sent it ("5.00").
  void setChargeMoney(std::string quantity) { chargeMoney_ = std::move(quantity); }
  void setPostDatas(std::vector<platform::net::PostField> fields) { postDatas_ = std::move(fields); }

  void viewDidLoad() override;
  // "确定": the reader gate, then the commit.
  void next();

  const std::shared_ptr<platform::ui::Button>& sureButton() const { return sureButton_; }
  const std::vector<std::shared_ptr<platform::ui::Label>>& valueLabels() const { return valueLabels_; }
  // A commit is under way, or one went out whose outcome is not known.
  bool isCommitRunning() const { return commitRunning_; }
  bool isOutcomeOpen() const { return outcomeOpen_; }

  // Points in hundredths as the collection screens show them: grouped, two decimals.
  static std::string formatPoints(int64_t hundredths);
  // A point count of a reply ("fee", "price", "amount"; hundredths; grouping commas allowed); 0
  // when missing or unreadable.
  static int64_t replyPoints(const platform::Json& retData, std::string_view key);

 private:
  void commit();

  platform::Json retData_ = platform::Json::object();
  std::string account_;
  std::string accountName_;
  std::string chargeMoney_;
  std::vector<platform::net::PostField> postDatas_;
  bool commitRunning_ = false;
  bool outcomeOpen_ = false;
  std::shared_ptr<platform::ui::Button> sureButton_;
  std::vector<std::shared_ptr<platform::ui::Label>> valueLabels_;
};

}  // namespace nvx
