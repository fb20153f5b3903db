// A product's rules: its name over a web page of the business description whose id is the
// product's id.
#pragma once
#include <memory>
#include <string>

#include "app/ui/NVXViewController.h"
#include "bills/InsuranceOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/WebView.h"

namespace nvx {

class InsuranceRullViewController : public NVXViewController,
                                    public platform::ui::TableViewDataSource,
                                    public platform::ui::TableViewDelegate {
 public:
  static constexpr const char* kClassName = "InsuranceRullViewController";

  static std::shared_ptr<InsuranceRullViewController> initWithInsuranceInfo(platform::Json insuranceInfo);
  // A request still running is cancelled; its completion finds no screen.
  ~InsuranceRullViewController() override;

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  const platform::Json& insuranceInfo() const { return insuranceInfo_; }
  const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
  const std::shared_ptr<platform::ui::Label>& nameLabel() const { return nameLabel_; }
  const std::shared_ptr<platform::ui::WebView>& webView() const { return webView_; }

  int numberOfRows(platform::ui::TableView& table, int section) override;
  std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& table,
                                                          platform::ui::IndexPath path) override;
  std::optional<double> heightForRow(platform::ui::TableView& table, platform::ui::IndexPath path) override;

 private:
  void replied(const InsuranceReply& reply);

  platform::Json insuranceInfo_ = platform::Json::object();
  std::shared_ptr<platform::ui::TableView> tableView_;
  std::shared_ptr<platform::ui::Label> nameLabel_;
  std::shared_ptr<platform::ui::WebView> webView_;
  std::shared_ptr<NetService> request_;
};

}  // namespace nvx
