#include "bills/BillPayScreen.h"

#include "core/shell/ScreenRegistry.h"
#include "pay/PayMoney.h"
#include "pay/PayScreenSetup.h"
#include "pay/SwipeViewController.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

std::optional<int64_t> fenOfYuan(const std::optional<std::string>& yuan) {
  if (!yuan) return std::nullopt;
  return PayMoney::fenFromYuanText(*yuan);
}

std::string leadingChars(const std::string& text, size_t count) { return platform::u16substr(text, 0, count); }

void BillPayScreen::cardTexts(std::optional<std::string> header, bool debitCard) {
  using platform::Strings;
  navTitle = Strings::localized("TransationDetail");
  swipeHeader = std::move(header);
  cardPlaceholder = Strings::localized(debitCard ? "DebitCardPlace" : "BankCardPlace");
  passwordPlaceholder = Strings::localized(debitCard ? "DebitCardPasswordPlace" : "BankCardPasswordPlace");
  doneButtonTitle = Strings::localized("OkPayment");
}

std::shared_ptr<platform::ui::ViewController> BillPayScreen::open(platform::ui::ViewController& from) const {
  auto navigation = from.navigationController();
  if (!navigation) {
    platform::log::warning("bills", "the form has left its screen stack; no pay screen opened");
    return nullptr;
  }
  auto info = TransactionInfoSource::infoWithLabelSource(rows, prompt);
  std::shared_ptr<platform::ui::ViewController> screen;
  if (className == SwipeViewController::kClassName) {
    auto swipe = SwipeViewController::create();
    swipe->setInfo(info);
    swipe->customizeSwipeViewWithNavTitle(navTitle, swipeHeader, cardPlaceholder, passwordPlaceholder, std::nullopt,
                                          doneButtonTitle, businessType);
    swipe->setTransactionData(transactionData);
    screen = swipe;
  } else {
    screen = ScreenRegistry::shared().create(className);
    auto* setup = dynamic_cast<PayScreenSetup*>(screen.get());
    if (!setup) {
      platform::log::warning("bills", "pay screen " + className + " is not available; nothing opened");
      return nullptr;
    }
    setup->setInfo(info);
    setup->customizeSwipeViewWithNavTitle(navTitle, swipeHeader, cardPlaceholder, passwordPlaceholder, std::nullopt,
                                          doneButtonTitle, businessType);
    setup->setTransactionData(transactionData);
  }
  BillsOperations::storeCommit(commit);
  navigation->push(screen, true);
  return screen;
}

}  // namespace nvx
