#include "bills/DonationItemViewController.h"

#include "bills/PublicDonationParse.h"
#include "core/text/UrlEscaping.h"
#include "platform/foundation/Strings.h"

namespace nvx {

void DonationItemViewController::viewDidLoad() {
  BillItemPickerViewController::viewDidLoad();
  setTitle(platform::Strings::localized("PublicDonation"));
}

std::string DonationItemViewController::listPath() const {
  if (!donationOganizationId_) return "getNGOList";
  return "getProjectListByNGO/" + text::encodeURLString(*donationOganizationId_);
}

std::optional<BillItemPickerViewController::Item> DonationItemViewController::itemOf(const platform::Json& entry) const {
  PublicDonationParse parse = PublicDonationParse::initWithDic(entry);
  auto name = listsProjects() ? parse.projectNm : parse.ngoNm;
  auto code = listsProjects() ? parse.projectId : parse.ngoId;
  // An entry without a name or an id cannot be chosen.
  if (!name || !code) return std::nullopt;
  return Item{*name, *code};
}

void DonationItemViewController::report(const Item& item) {
  if (auto delegate = delegateData_.lock()) delegate->donationItemViewController(*this, item.name, item.code);
}

}  // namespace nvx
