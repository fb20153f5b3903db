#include "bills/UtilityHandOver.h"

#include "bills/PublicServiceViewController.h"
#include "bills/UtilityForm.h"
#include "pay/PayMoney.h"
#include "pay/PayScreenSetup.h"
#include "platform/foundation/Strings.h"

namespace nvx {

using platform::Strings;

BillPayScreen UtilityHandOver::payScreen() const {
  using Row = TransactionInfoLabelSource;
  const platform::Json& f = *form;
  BillPayScreen pay;
  pay.className = PayScreenSetup::kMultPayClassName;
  if (auto area = formText(f, "缴费地区")) pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized("PSArea"), *area));
  auto department = formText(f, "收费单位");
  if (!department) department = formText(f, "缴费单位");
  if (department) pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized("PSDepartment"), *department));
  if (auto kind = formText(f, "缴费类型")) pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized("PSType"), *kind));
  pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized("PSBillNo"), formText(f, "billno")));
  if (priceFen) {
    const bool balance = formText(f, "yeorqf") == "+";
    pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized(balance ? "Balance" : "ArrearsAmount"), *priceFen));
  }
  pay.rows.push_back(Row::sourceWithLeftValue(Strings::localized("PSPayAmount"), payFen));
  pay.cardTexts("付款银行卡及密码", formText(f, "cardType") == "1");
  pay.doneButtonTitle = Strings::localized(doneTitleKey);
  pay.businessType = PublicServiceViewController::businessTypeOf(serviceType);
  pay.transactionData = {{"K_TRANSACTION_TARGET", formText(f, "billno").value_or("")},
                         {"K_TRANSACTION_AMOUNT", PayMoney::yuanFromFen(payFen)},
                         {"K_TRANSACTION_INFO", formText(f, "K_TRANSACTION_INFO").value_or("")}};
  pay.commit = commit;
  return pay;
}

}  // namespace nvx
