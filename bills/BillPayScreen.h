// The last step of every bill and recharge form: the pay screen of the business (the card pay
// screen, or the multi-pay screen opened by class name) gets the summary, its texts and business
// type and the display data; the commit request is stored in Tools; the screen is pushed.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "app/ui/TransactionInfoSource.h"
#include "bills/BillsOperations.h"
#include "platform/foundation/Json.h"
#include "platform/ui/ViewController.h"

namespace nvx {

struct BillPayScreen {
  // The pay screen's class: SwipeViewController or NVXMultPayViewController.
  std::string className;
  TransactionInfoSource::Rows rows;
  std::optional<std::string> prompt;
  std::optional<std::string> navTitle;
  std::optional<std::string> swipeHeader;
  std::optional<std::string> cardPlaceholder;
  std::optional<std::string> passwordPlaceholder;
  std::optional<std::string> doneButtonTitle;
  int businessType = 0;
  platform::Json transactionData = platform::Json::object();
  BillFields commit;

  // The card texts most businesses give their pay screen: the title "TransationDetail", the header
  // (none when missing), bank-card or debit-card placeholders, the button "OkPayment".
  void cardTexts(std::optional<std::string> header, bool debitCard);

  // Builds the screen, stores the commit (replacing any pending one) and pushes the screen on
  // from's navigation stack. Nothing, logged, when the pay screen's class is not registered yet or
  // when from has left its stack meanwhile (a reply that came after the user went back): no
  // commit is stored then either.
  std::shared_ptr<platform::ui::ViewController> open(platform::ui::ViewController& from) const;
};

// The fen of a yuan text (an amount row's value); nothing for a missing or unusable text.
std::optional<int64_t> fenOfYuan(const std::optional<std::string>& yuan);
// The first count characters (UTF-16 units) of a name, as the forms show a chosen one.
std::string leadingChars(const std::string& text, size_t count);

}  // namespace nvx
