#include "bills/DonationItemViewController.h"

#include "bills/PublicDonationParse.h"
#include "core/text/UrlEscaping.h"
#include "platform/foundation/Strings.h"

namespace nvx {

void DonationItemViewController::viewDidLoad() {
  BillItemPickerViewController::viewDidLoad();
  setTitle(platform::Strings::localized("PublicDonation"));
  if (listsProjects()) {
    requestDonationProjectList();
  } else {
    requestDonationOganizationList();
  }
}

void DonationItemViewController::requestDonationOganizationList() { requestList("getNGOList"); }

void DonationItemViewController::requestDonationProjectList() {
  requestList("getProjectListByNGO/" + text::encodeURLString(donationOganizationId_.value_or("")));
}

std::optional<BillItemPickerViewController::Item> DonationItemViewController::itemOf(const platform::Json& entry) const {
  PublicDonationParse parse = PublicDonationParse::initWithDic(entry);
  auto name = listsProjects() ? parse.projectNm : parse.ngoNm;
  auto code = listsProjects() ? parse.projectId : parse.ngoId;
  // An entry without a name or an id cannot be chosen.
  if (!name || !code) return std::nullopt;
  return Item{*name, *code};
}

std::vector<PublicDonationParse> DonationItemViewController::donationItemArray() const {
  std::vector<PublicDonationParse> list;
  for (const auto& entry : entries()) list.push_back(PublicDonationParse::initWithDic(entry));
  return list;
}

void DonationItemViewController::report(const Item& item) {
  if (auto delegate = delegateData_.lock()) delegate->donationItemViewController(*this, item.name, item.code);
}

}  // namespace nvx
