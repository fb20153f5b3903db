// The donation's agency list, or the project list of one agency.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "bills/BillItemPickerViewController.h"

namespace nvx {

class DonationItemViewController;

class DonationItemViewControllerDelegate {
 public:
  virtual ~DonationItemViewControllerDelegate() = default;
  virtual void donationItemViewController(DonationItemViewController& picker, const std::string& itemName,
                                          const std::string& itemId) = 0;
};

class DonationItemViewController : public BillItemPickerViewController {
 public:
  static constexpr const char* kClassName = "DonationItemViewController";

  std::string className() const override { return kClassName; }
  void viewDidLoad() override;

  const std::string& donationItemTitle() const { return donationItemTitle_; }
  void setDonationItemTitle(std::string v) { donationItemTitle_ = std::move(v); }
  // Set: the projects of this agency; missing: the agencies.
  const std::optional<std::string>& donationOganizationId() const { return donationOganizationId_; }
  void setDonationOganizationId(std::optional<std::string> v) { donationOganizationId_ = std::move(v); }
  void setDelegateData(std::weak_ptr<DonationItemViewControllerDelegate> d) { delegateData_ = std::move(d); }
  bool listsProjects() const { return donationOganizationId_.has_value(); }

 protected:
  std::string headerText() const override { return donationItemTitle_; }
  std::string listPath() const override;
  std::optional<Item> itemOf(const platform::Json& entry) const override;
  void report(const Item& item) override;

 private:
  std::string donationItemTitle_;
  std::optional<std::string> donationOganizationId_;
  std::weak_ptr<DonationItemViewControllerDelegate> delegateData_;
};

}  // namespace nvx
