// The mall subject page: the subject's web page in a web view as large as the screen's view,
// titled by the "title" value of the page address's query.
#pragma once
#include <memory>
#include <optional>

#include "app/ui/NVXViewController.h"
#include "mall/ThematicMallEntity.h"
#include "platform/ui/WebView.h"

namespace nvx {

class MallThemeViewController : public NVXViewController, public platform::ui::WebViewDelegate {
 public:
  static constexpr const char* kClassName = "MallThemeViewController";

  static std::shared_ptr<MallThemeViewController> create();
  std::string className() const override { return kClassName; }

  // The subject; set before the screen is shown.
  const std::optional<ThematicMallEntity>& thematicEntity() const { return thematicEntity_; }
  void setThematicEntity(ThematicMallEntity entity) { thematicEntity_ = std::move(entity); }

  const std::shared_ptr<platform::ui::WebView>& webview() const { return webview_; }

  // Title from the address, the web view, and the page loaded (its address escaped as UTF-8).
  void viewDidLoad() override;

 private:
  std::optional<ThematicMallEntity> thematicEntity_;
  std::shared_ptr<platform::ui::WebView> webview_;
};

}  // namespace nvx
