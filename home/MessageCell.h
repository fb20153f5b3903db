// A row of the message centre: the read-state icon, the heading, the publication time and two
// lines of the message body without its markup.
#pragma once
#include <memory>
#include <string>

#include "home/HomeServiceOperations.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

class MessageCell : public platform::ui::TableViewCell {
 public:
  static constexpr const char* kUnreadIcon = "w_left_message_unread.png";
  static constexpr const char* kReadIcon = "w_left_message_read.png";

  explicit MessageCell(std::string reuseIdentifier);
  static std::shared_ptr<MessageCell> initWithStyle(std::string reuseIdentifier);

  void updateMessage(const MsgList& message);
  void readMsg();
  void unReadMsg();
  bool isShownRead() const { return shownRead_; }

  // "yyyy-MM-dd" of the first 8 characters of a "yyyyMMddHHmmss" time (8 or more), else "".
  static std::string dateOf(const std::string& time);
  // "HH:mm:ss" of characters 9 to 14 (14 or more), else "".
  static std::string clockOf(const std::string& time);
  // The body as a row shows it: scripts and styles dropped with their contents, then every tag.
  static std::string plainText(const std::string& html);

  const std::shared_ptr<platform::ui::ImageView>& msgImageView() const { return msgImageView_; }
  const std::shared_ptr<platform::ui::Label>& msgPurposelb() const { return msgPurposelb_; }
  const std::shared_ptr<platform::ui::Label>& msgPutoutTimelb() const { return msgPutoutTimelb_; }
  const std::shared_ptr<platform::ui::Label>& msgContentlb() const { return msgContentlb_; }

 private:
  void setLook(bool read);

  bool shownRead_ = false;
  std::shared_ptr<platform::ui::ImageView> msgImageView_;
  std::shared_ptr<platform::ui::Label> msgPurposelb_;
  std::shared_ptr<platform::ui::Label> msgPutoutTimelb_;
  std::shared_ptr<platform::ui::Label> msgContentlb_;
};

}  // namespace nvx
