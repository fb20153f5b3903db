#include "pay/CheckoutResultPages.h"

#include <algorithm>

#include "app/ui/ButtonCreater.h"
#include "app/ui/TransactionInfoView.h"
#include "core/shell/AppServices.h"
#include "pay/NVXCheckoutAppScheduller.h"
#include "pay/PayMoney.h"
#include "pay/ResultRows.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/Color.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"

namespace nvx {

namespace {

using platform::Json;
using platform::Strings;
using platform::ui::Color;
using platform::ui::Rect;

// The amount of the payment summary in fen: a yuan text, thousands separators left out.
int64_t summaryAmountFen(const Json& summary) {
  std::string text = ResultRows::text(summary, transaction_keys::kAmount);
  std::erase(text, ',');
  return PayMoney::fenFromYuanText(text).value_or(0);
}

}  // namespace

void CheckoutResultPage::handleDatas() {
  source_.clear();
  if (!retData_.is_object() || retData_.empty()) {
    prompt_ = kServerError;
    return;
  }
  prompt_ = kSucceeded;
  source_ = {
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("PaymentBankCard"),
                                                      ResultRows::text(retData_, "pan")),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("TransactionAmount"),
                                                      summaryAmountFen(transactionData_), true),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("TransactionsDetailsText9"),
                                                      ResultRows::text(retData_, "sytm")),
      TransactionInfoLabelSource::sourceWithLeftValue(Strings::localized("TransationSerialNumber"),
                                                      ResultRows::text(retData_, "sysref")),
  };
}

void CheckoutResultPage::viewDidLoad() {
  NVXViewController::viewDidLoad();
  navigationItem().setHidesBackButton(true);
  navigationItem().setLeftBarButtonItem(nullptr);
  setTitle(Strings::localized("NVXPayment"));
  handleDatas();

  double top = 0;
  if (info_) {
    if (auto box = TransactionInfoView::create(Rect{10, 0, 320, 0}, info_)) {
      view()->addSubview(box);
      top = box->frame().height;
    }
  }
  const double rows = static_cast<double>(source_.size());
  auto card = ResultRows::card(Rect{10, top + 5, 300, 25 * rows + 70});
  view()->addSubview(card);
  auto icon = platform::ui::ImageView::create(Rect{20, 12, 33, 33});
  icon->setImage(platform::ui::Image::named(source_.size() >= 2 ? "pay-done.png" : "pay-error.png"));
  card->addSubview(icon);
  auto heading = platform::ui::Label::create(Rect{58, 14, 220, 33}, prompt_);
  heading->setBackgroundColor(Color::clear());
  heading->setTextColor(Color::gray(0.2));
  heading->setFont(platform::ui::Font::boldSystem(16));
  card->addSubview(heading);
  auto line = platform::ui::View::create(Rect{20, 54, 260, 1});
  line->setBackgroundColor(ResultRows::borderColor());
  card->addSubview(line);
  const double afterRows = ResultRows::layoutRows(*card, source_, 65, businessType_);

  redirectButton_ = ButtonCreater::bigButtonWithText(Strings::localized("Redirect"));
  redirectButton_->setCenter(platform::ui::Point{160, top + afterRows + 50});
  std::weak_ptr<NVXViewController> weak = weakSelf();
  redirectButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto self = std::static_pointer_cast<CheckoutResultPage>(weak.lock())) self->doneButtonPressed();
  });
  view()->addSubview(redirectButton_);
}

void CheckoutResultPage::doneButtonPressed() {
  // The checkout served through the router is answered by its handler; otherwise the older
  // checkout of the application.
  if (!NVXCheckoutAppScheduller::answerServedCheckout(true)) AppServices::current().redirectCheckout(true);
  if (auto navigation = AppServices::current().navigationController()) navigation->popToRoot(true);
}

}  // namespace nvx
