// One notice message on its own page: heading, publication time and the body rendered as HTML.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "home/HomeServiceOperations.h"
#include "platform/ui/Label.h"
#include "platform/ui/WebView.h"

namespace nvx {

class MessageDetailViewController : public NVXViewController {
 public:
  static constexpr const char* kClassName = "MessageDetailViewController";
  static constexpr const char* kTitle = "消息详情";

  static std::shared_ptr<MessageDetailViewController> create() { return std::make_shared<MessageDetailViewController>(); }
  std::string className() const override { return kClassName; }

  const MsgList& massage() const { return massage_; }
  void setMassage(MsgList message) { massage_ = std::move(message); }

  void viewDidLoad() override;

  const std::shared_ptr<platform::ui::Label>& timeLabel() const { return timeLabel_; }
  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }

 private:
  MsgList massage_;
  std::shared_ptr<platform::ui::Label> timeLabel_;
  std::shared_ptr<platform::ui::WebView> webView_;
};

}  // namespace nvx
