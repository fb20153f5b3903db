// The donation's agency list, or the project list of one agency.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "bills/BillItemPickerViewController.h"
#include "bills/PublicDonationParse.h"

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
  // The entries listed.
  std::vector<PublicDonationParse> donationItemArray() const;
  const std::shared_ptr<CustomTableView>& donationItemTableView() const { return itemTableView(); }
  // The two lists this screen fetches (one of them, when its view loads).
  void requestDonationOganizationList();
  void requestDonationProjectList();

 protected:
  std::string headerText() const override { return donationItemTitle_; }
  std::optional<Item> itemOf(const platform::Json& entry) const override;
  void report(const Item& item) override;

 private:
  std::string donationItemTitle_;
  std::optional<std::string> donationOganizationId_;
  std::weak_ptr<DonationItemViewControllerDelegate> delegateData_;
};

}  // namespace nvx
