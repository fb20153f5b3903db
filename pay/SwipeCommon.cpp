#include "pay/SwipeCommon.h"

#include "app/ui/ButtonCreater.h"
#include "core/crypto/SecureBytes.h"
#include "core/shell/AppServices.h"
#include "pay/PayMoney.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwiperCommitFailViewController.h"
#include "pay/Tools.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Color.h"

namespace nvx {

using platform::Json;
using platform::Strings;
using platform::ui::AlertView;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

void SwipeScreenTexts::set(std::optional<std::string> navTitleText, std::optional<std::string> swipeHeaderText,
                           std::optional<std::string> cardPlaceholderText,
                           std::optional<std::string> passwordPlaceholderText, std::optional<std::string> tipsText,
                           std::optional<std::string> doneButtonTitleText, int type) {
  navTitle = std::move(navTitleText);
  swipeHeader = std::move(swipeHeaderText);
  cardPlaceholder = std::move(cardPlaceholderText);
  passwordPlaceholder = std::move(passwordPlaceholderText);
  tips = std::move(tipsText);
  doneButtonTitle = std::move(doneButtonTitleText);
  businessType = type;
}

namespace swipe {

std::optional<std::string> fieldValue(const std::vector<platform::net::PostField>& fields, std::string_view key) {
  for (const auto& f : fields) {
    if (f.key == key) return f.value;
  }
  return std::nullopt;
}

std::string shownCardNumber(const std::string& maskedPAN) {
  std::string shown = maskedPAN;
  for (char& c : shown) {
    if (c == 'X') c = '*';
  }
  return shown;
}

void pinKeyPressed(platform::ui::TextField& field, int numberPressed) {
  std::string pin = field.text();
  if (pin.size() < 6) {
    pin += std::to_string(numberPressed);
    field.setText(pin);
  }
  secureWipe(pin);
  if (field.text().size() >= 6) field.resignFirstResponder();
}

void pinDeletePressed(platform::ui::TextField& field) {
  std::string pin = field.text();
  if (!pin.empty()) {
    pin.pop_back();
    field.setText(pin);
  }
  secureWipe(pin);
}

bool pinFieldMayChange(const platform::ui::TextField& field) { return field.text().size() < 7; }

void liftAboveKeypad(platform::ui::TextField& field, CustomTableView& table, platform::ui::Point& saved,
                     double threshold) {
  saved = table.contentOffset();
  double y = 0;
  for (auto v = field.superview(); v && v.get() != &table; v = v->superview()) y += v->frame().y;
  if (y > threshold) table.setContentOffset(platform::ui::Point{saved.x, y - 100}, true);
}

std::shared_ptr<platform::ui::View> buildFooter(const SwipeScreenTexts& texts, bool withCancel, double centreShift,
                                                std::shared_ptr<platform::ui::Button>& done,
                                                std::shared_ptr<platform::ui::Button>& cancel,
                                                std::function<void()> onDone, std::function<void()> onCancel,
                                                std::function<void()> onHelp, const void* owner) {
  done = ButtonCreater::bigButtonWithText(texts.doneButtonTitle.value_or(""));
  done->addTarget(owner, platform::ui::ControlEvent::TouchUpInside,
                  [onDone = std::move(onDone)](platform::ui::Control&) { onDone(); });
  const double h = done->frame().height;
  if (withCancel) {
    auto f = done->frame();
    const double width = f.width * 2 / 3 - 10;
    done->setFrame(Rect{f.x, f.y, width, f.height});
    cancel = platform::ui::Button::create(Rect{0, 0, width / 3, 44});
    cancel->setBackgroundImage(platform::ui::Image::named("half-btn-bg.png"));
    cancel->setBackgroundImage(platform::ui::Image::named("half-btn-down-bg.png"),
                               platform::ui::ControlState::Highlighted);
    cancel->setBackgroundImage(platform::ui::Image::named("half-btn-bg-disable.png"),
                               platform::ui::ControlState::Disabled);
    cancel->setTitle(Strings::localized("Cancel"));
    cancel->setTitleFont(Font::boldSystem(16));
    cancel->addTarget(owner, platform::ui::ControlEvent::TouchUpInside,
                      [onCancel = std::move(onCancel)](platform::ui::Control&) { onCancel(); });
  }
  const auto& commentLabel = texts.commentLabel;
  const bool comment = commentLabel && !commentLabel->text().empty();
  const double centreY = (comment ? h / 2 + 25 : h / 2 + 10) + centreShift;
  done->setCenter(platform::ui::Point{withCancel ? 200.0 : 160.0, centreY});
  auto footer = platform::ui::View::create(Rect{0, 0, 320, h + 20});
  if (comment) {
    commentLabel->setCenter(platform::ui::Point{160, 10});
    footer->addSubview(commentLabel);
  }
  footer->addSubview(done);
  if (cancel) {
    cancel->setCenter(platform::ui::Point{60, centreY});
    footer->addSubview(cancel);
  }
  if (texts.businessType == 0) {
    auto f = footer->frame();
    footer->setFrame(Rect{f.x, f.y, f.width, f.height + 40});
    auto help = platform::ui::Label::create(Rect{30, 30, 200, 30}, "刷卡器使用说明");
    help->setTextColor(Color::rgb255(0, 0, 255));
    help->setFont(Font::system(14));
    help->setBackgroundColor(Color::clear());
    footer->addSubview(help);
    auto link = platform::ui::Button::create(Rect{30, 30, 200, 30});
    link->addTarget(owner, platform::ui::ControlEvent::TouchUpInside,
                    [onHelp = std::move(onHelp)](platform::ui::Control&) { onHelp(); });
    footer->addSubview(link);
    auto c = done->center();
    done->setCenter(platform::ui::Point{c.x, c.y + 40});
  }
  return footer;
}

std::shared_ptr<platform::ui::ViewController> timeOutPage(const std::vector<platform::net::PostField>& fields) {
  std::optional<std::string> amount;
  if (auto sent = fieldValue(fields, "amount")) {
    if (auto fen = PayMoney::fenFromYuanText(*sent)) amount = PayMoney::yuanFromFen(*fen);
  }
  return SwipeTimeOutViewController::create(fieldValue(fields, "srcsid"), amount);
}

std::shared_ptr<platform::ui::ViewController> failPage(const std::string& message, int businessType,
                                                       const std::optional<std::string>& creditCardNumber,
                                                       const Json& transactionData) {
  auto page = SwiperCommitFailViewController::create();
  page->setFailResultStr(message);
  page->setBusinessType(businessType);
  page->setRetData(Json());
  page->setCreditCardNumber(creditCardNumber);
  page->setTransactionData(transactionData);
  return page;
}

void routeCommitReply(const PayReply& reply, const CommitRoutes& routes) {
  using Kind = PayReply::Kind;
  switch (reply.kind) {
    case Kind::OutcomeUnknown:
      // The commit may have gone through: never the failure page, never a second send.
      routes.timeOut();
      return;
    case Kind::SessionExpired:
      routes.sessionExpired();
      return;
    case Kind::Cancelled:
      return;
    case Kind::NotSent:
      routes.fail(reply.message.empty() ? Strings::localized("NetworkConnectionFailed") : reply.message);
      return;
    case Kind::BadReply:
      routes.fail(reply.message.empty() ? Strings::localized("Error_Data") : reply.message);
      return;
    case Kind::Answered:
      break;
  }
  const std::string& code = reply.retCode;
  if (code == "0055" || code == "0099") {
    AlertView::create("", reply.errMsg, "确定")->show();
    return;
  }
  if (code == "1030") {
    routes.timeOut();
    return;
  }
  if (code == "00P4") {
    routes.cardLimit();
    return;
  }
  if (code == "00E" && routes.perLimit) {
    routes.perLimit();
    return;
  }
  if (code == "0000") {
    routes.succeed();
    return;
  }
  std::string message = reply.errMsg.empty() ? Strings::localized("Error_Unknown") : reply.errMsg;
  AppServices& services = AppServices::current();
  // The large-amount refusal of a payment opened by another app offers to open the limit; the
  // failure page shows only when no such alert could be shown.
  if (message == kLargeAmountText && services.isOtherAppLaunching() &&
      services.alertOpenLimitWithCancelAction(routes.clearAfterLimitCancel)) {
    return;
  }
  routes.fail(message);
}

}  // namespace swipe
}  // namespace nvx
