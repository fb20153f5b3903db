// The message centre: a page of the home screen listing the service's notices from the main
// server, eight a page, newest first. Pulling the list down past 40 points reloads the first
// page; pulling it up more than 50 points past its end asks for the next page while the last
// page was full. A row shows read once it was tapped here or when its id is not newer than the
// newest message seen ("messageNum"). A tap opens what the message points to: its detail page,
// a web page, the client upgrade check, a business (behind the login gate), a mall product or an
// outside address.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/LoadingActivityView.h"
#include "core/shell/LoginScreen.h"
#include "home/HomeServiceOperations.h"
#include "home/RelationBuidToCrtUtil.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"

namespace nvx {

class MoreViewController;

class MessageCenterView : public platform::ui::View,
                          public platform::ui::TableViewDataSource,
                          public platform::ui::TableViewDelegate,
                          public LoginViewControllerDelegate {
 public:
  static constexpr const char* kMessageNumKey = "messageNum";
  static constexpr int kPageSize = 8;
  static constexpr double kRowHeight = 90;
  static constexpr double kRefreshPull = -40;
  static constexpr double kMorePull = 50;
  static constexpr const char* kPullToRefresh = "下拉刷新";
  static constexpr const char* kReleaseToRefresh = "松开刷新";
  static constexpr const char* kRefreshing = "正在刷新";
  static constexpr const char* kRefreshed = "刷新成功";
  static constexpr const char* kLoadMore = "上拉加载更多";
  static constexpr const char* kAllShown = "消息已全部显示";
  static constexpr const char* kNoNewsImage = "no_news.png";

  explicit MessageCenterView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<MessageCenterView> initWithFrame(platform::ui::Rect frame);

  // updateUnReadNumber: the home screen's badge.
  std::function<void(int64_t)> delegate;

  // Builds the page and asks for page 1.
  void loadView();
  // The newest message shown counts as seen (nothing with an empty list).
  void setReadMsgId();
  bool isMessageRead(const std::optional<std::string>& msgId) const;
  void getMoreMessage(int page, bool isUp, bool isFirst);
  void goBuiness(const std::string& code);
  void gotoViewOfBoxTitle(const std::string& boxTitle) override;
  void getAllCoupon(const MsgList& message);

  // --- scrolling (the table's drag callbacks) ---
  void scrollViewWillBeginDragging();
  void scrollViewDidScroll();
  void scrollViewDidEndDragging();

  // --- table ---
  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::optional<int> numberOfSections(platform::ui::TableView& table) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;
  void didSelectRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

  // The mall entry as a cart entry: its fields, "id" being the entry's page content, and the
  // product's price, title and sales copied from the detail (fields that are missing left out).
  static platform::Json setCartEntity(const HomeListEntity& entry, const platform::Json& detail);

  // --- state (the tests read it) ---
  const std::vector<MsgList>& messageArr() const { return messageArr_; }
  const std::vector<std::string>& hasReadArr() const { return hasReadArr_; }
  int startPage() const { return startPage_; }
  int refrushCount() const { return refrushCount_; }
  const std::shared_ptr<platform::ui::TableView>& tableview() const { return tableview_; }
  const std::shared_ptr<platform::ui::Label>& refleshLabel() const { return refleshLabel_; }
  const std::shared_ptr<platform::ui::ImageView>& noRecordImg() const { return noRecordImg_; }
  const std::shared_ptr<LoadingActivityView>& loadingView() const { return loadingView_; }

 private:
  std::shared_ptr<MessageCenterView> self() { return std::static_pointer_cast<MessageCenterView>(shared_from_this()); }
  void pageArrived(HomeServiceOperations::NoticePage page, bool isUp, bool isFirst);
  void open(const MsgList& message);
  static void push(const std::shared_ptr<platform::ui::ViewController>& screen);
  void getDetail(const std::string& productId, const HomeListEntity& entry);

  std::vector<MsgList> messageArr_;
  std::vector<std::string> hasReadArr_;
  RelationBuidToCrtUtil::BusinessMap businessMap_;
  std::shared_ptr<platform::ui::TableView> tableview_;
  std::shared_ptr<platform::ui::Label> refleshLabel_;
  std::shared_ptr<platform::ui::ImageView> noRecordImg_;
  std::shared_ptr<LoadingActivityView> loadingView_;
  // Runs the upgrade check for open type 3; kept so that its alert's answers reach it.
  std::shared_ptr<MoreViewController> moreCtrl_;
  int startPage_ = 1;
  int refrushCount_ = 0;
};

}  // namespace nvx
