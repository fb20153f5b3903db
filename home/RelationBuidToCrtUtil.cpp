#include "home/RelationBuidToCrtUtil.h"

namespace nvx {

RelationBuidToCrtUtil::BusinessMap RelationBuidToCrtUtil::setBusinessMap() {
  return {
      {"JVQ001", "TabBarController"},
      {"172", "TraficViolationChooseViewController"},
      {"173", "InsuranceChooseViewController"},
      {"M20020", "MobileRechargeViewController"},
      {"M50001", "CreditCardRepaymentViewController"},
      {"", "InstalmentViewController"},
      {"B00008", "NVXMapViewController"},
      {"B00009", "ReminderViewController"},
      {"B00010", "MoreViewController"},
      {"B00007", "HomeTradingQueryViewController"},
      {"ZuCheFuWu", "SZRentCarViewContrllerViewController"},
      {"M50005", "BillNumberRemittanceVeiwController"},
      {"M50002", "TaobaoPaymentViewController"},
      {"M50007", "GameCardRechargeViewController"},
      {"M50003", "ZhiFubaoRechargeViewController"},
      {"M50004", "CaiFutongRechargeViewController"},
      {"M50006", "AccountDirectChargeViewController"},
      {"M50010", "TransferRemittanceViewController"},
      {"B00002", "ReceivableInfoViewController"},
      {"B00001", "BuyNuvexaViewController"},
      {"B00014", "CinemaViewController"},
  };
}

std::string RelationBuidToCrtUtil::classForCode(const BusinessMap& map, const std::string& code) {
  for (const auto& [key, screen] : map) {
    if (key == code) return screen;
  }
  return {};
}

}  // namespace nvx
