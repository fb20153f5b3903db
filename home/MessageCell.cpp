#include "home/MessageCell.h"

#include <regex>

#include "core/text/StringsTool.h"

namespace nvx {

namespace ui = platform::ui;
using ui::Rect;

MessageCell::MessageCell(std::string reuseIdentifier)
    : TableViewCell(ui::TableViewCellStyle::Default, std::move(reuseIdentifier)) {}

std::shared_ptr<MessageCell> MessageCell::initWithStyle(std::string reuseIdentifier) {
  auto cell = std::make_shared<MessageCell>(std::move(reuseIdentifier));
  cell->setAccessoryType(ui::TableViewCellAccessoryType::DisclosureIndicator);
  cell->msgImageView_ = ui::ImageView::create(Rect{15, 5, 14, 15});
  cell->msgPurposelb_ = ui::Label::create(Rect{40, 0, 250, 25});
  cell->msgPurposelb_->setFont(ui::Font::system(16));
  cell->msgPutoutTimelb_ = ui::Label::create(Rect{20, 22, 250, 25});
  cell->msgPutoutTimelb_->setFont(ui::Font::system(14));
  cell->msgContentlb_ = ui::Label::create(Rect{20, 40, 250, 50});
  cell->msgContentlb_->setFont(ui::Font::system(14));
  cell->msgContentlb_->setNumberOfLines(2);
  for (const auto& v : std::initializer_list<std::shared_ptr<ui::View>>{cell->msgImageView_, cell->msgPurposelb_,
                                                                          cell->msgPutoutTimelb_, cell->msgContentlb_}) {
    cell->contentView()->addSubview(v);
  }
  cell->unReadMsg();
  return cell;
}

std::string MessageCell::dateOf(const std::string& time) {
  if (time.size() < 8) return {};
  return time.substr(0, 4) + "-" + time.substr(4, 2) + "-" + time.substr(6, 2);
}

std::string MessageCell::clockOf(const std::string& time) {
  if (time.size() < 14) return {};
  return time.substr(8, 2) + ":" + time.substr(10, 2) + ":" + time.substr(12, 2);
}

std::string MessageCell::plainText(const std::string& html) {
  static const std::regex kHidden(R"(<(script|style)\b[^>]*>[\s\S]*?(</\1\s*>|$))", std::regex::icase);
  return StringsTool::filterHtmlTag(std::regex_replace(html, kHidden, ""));
}

void MessageCell::updateMessage(const MsgList& message) {
  const std::string time = message.msgPutoutTime.value_or("");
  msgPurposelb_->setText(message.msgPurpose.value_or(""));
  msgPutoutTimelb_->setText(dateOf(time) + " " + clockOf(time));
  msgContentlb_->setText(plainText(message.msgContent.value_or("")));
}

void MessageCell::setLook(bool read) {
  shownRead_ = read;
  const ui::Color color = read ? ui::Color::gray(0.5) : ui::Color::black();
  for (const auto& label : {msgPurposelb_, msgPutoutTimelb_, msgContentlb_}) label->setTextColor(color);
  msgImageView_->setImage(ui::Image::named(read ? kReadIcon : kUnreadIcon));
}

void MessageCell::readMsg() { setLook(true); }

void MessageCell::unReadMsg() { setLook(false); }

}  // namespace nvx
