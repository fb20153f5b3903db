// What the card pay screens share: the swipe screen and the multi-pay screen take the same
// configuration, the same six-digit PIN keypad, the same footer under their table, show a swiped
// card the same way and route a commit reply by the same money rules. Each screen keeps only what
// it does differently, handed in here as a parameter or a callback.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ui/CustomTableView.h"
#include "pay/PayReply.h"
#include "platform/foundation/Json.h"
#include "platform/net/HttpRequest.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

namespace nvx {

// The texts and business type a business screen gives a card pay screen before it shows.
struct SwipeScreenTexts {
  std::optional<std::string> navTitle;
  std::optional<std::string> swipeHeader;
  std::optional<std::string> cardPlaceholder;
  std::optional<std::string> passwordPlaceholder;
  std::optional<std::string> tips;
  std::optional<std::string> doneButtonTitle;
  int businessType = 0;
  std::shared_ptr<platform::ui::Label> commentLabel;

  void set(std::optional<std::string> navTitle, std::optional<std::string> swipeHeader,
           std::optional<std::string> cardPlaceholder, std::optional<std::string> passwordPlaceholder,
           std::optional<std::string> tips, std::optional<std::string> doneButtonTitle, int businessType);
};

namespace swipe {

inline constexpr const char* kSwipeTimeout = "超时，请在30秒内刷卡";
inline constexpr const char* kUnknownDevice = "未识别设备";
// The refusal that offers to open large transfers.
inline constexpr const char* kLargeAmountText = "金额超限，请开通大额转出";

// The value of the first field named key.
std::optional<std::string> fieldValue(const std::vector<platform::net::PostField>& fields, std::string_view key);

// The masked card number as the status row shows it ('X' read as '*').
std::string shownCardNumber(const std::string& maskedPAN);

// --- the PIN field and its keypad: six digits at most, the keypad closes at six ---
void pinKeyPressed(platform::ui::TextField& field, int numberPressed);
void pinDeletePressed(platform::ui::TextField& field);
bool pinFieldMayChange(const platform::ui::TextField& field);
// Lifts the table so the field being edited stays above the keypad when it lies lower than
// threshold; keeps the offset it had in saved.
void liftAboveKeypad(platform::ui::TextField& field, CustomTableView& table, platform::ui::Point& saved,
                     double threshold);

// The footer of a card pay screen: the comment label, Done, Cancel when the screen has one, and
// for business type 0 the reader's help link. centreShift moves the buttons up or down.
// The buttons it makes are stored in done and cancel.
std::shared_ptr<platform::ui::View> buildFooter(const SwipeScreenTexts& texts, bool withCancel, double centreShift,
                                                std::shared_ptr<platform::ui::Button>& done,
                                                std::shared_ptr<platform::ui::Button>& cancel, std::function<void()> onDone,
                                                std::function<void()> onCancel, std::function<void()> onHelp,
                                                const void* owner);

// --- the pages a commit leads to ---
// The time-out page for the fields of a sent request (its amount as a yuan text when it has one).
std::shared_ptr<platform::ui::ViewController> timeOutPage(const std::vector<platform::net::PostField>& fields);
std::shared_ptr<platform::ui::ViewController> failPage(const std::string& message, int businessType,
                                                       const std::optional<std::string>& creditCardNumber,
                                                       const platform::Json& transactionData);

// What a screen does with each outcome of a commit. perLimit may be left empty: a screen without
// the per-transfer limit treats "00E" as any other refusal.
struct CommitRoutes {
  std::function<void()> timeOut;
  std::function<void()> sessionExpired;
  std::function<void(const std::string&)> fail;
  std::function<void()> succeed;
  std::function<void()> cardLimit;
  std::function<void()> perLimit;
  // Clears the entry when the user cancels the large-amount alert.
  std::function<void()> clearAfterLimitCancel;
};
// Routes a commit reply. An outcome that is open (time-out, lost connection, "1030") leads only
// to the time-out page: never the failure page, never a second send.
void routeCommitReply(const PayReply& reply, const CommitRoutes& routes);

}  // namespace swipe
}  // namespace nvx
