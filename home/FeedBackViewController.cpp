#include "home/FeedBackViewController.h"

#include <cstdio>

#include "app/ui/ButtonCreater.h"
#include "app/ui/ViewTool.h"
#include "core/session/User.h"
#include "core/text/StringsTool.h"
#include "home/HomeShopOperations.h"
#include "platform/device/Device.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"
#include "platform/ui/Animation.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Hud.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

namespace {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

// The prompt's lift over the centre of the view: more while the suggestion is being edited.
constexpr double kPromptLiftEditing = 84;
constexpr double kPromptLift = 64;
constexpr double kToolbarSeconds = 0.3;
constexpr double kHeaderHeight = 60;
constexpr double kFooterHeight = 64;
constexpr double kSuggestionRowHeight = 100;
constexpr double kContactRowHeight = 44;
// Above the keyboard: the view starts under the status and navigation bars (64), and the bar
// itself is 40 high.
constexpr double kToolbarLift = 104;

const Color kTextGrey{0.2, 0.2, 0.2, 1};

double screenHeight() { return platform::Device::screen().bounds.height; }
double screenWidth() { return platform::Device::screen().bounds.width; }

}  // namespace

std::shared_ptr<FeedBackViewController> FeedBackViewController::create() {
  return std::make_shared<FeedBackViewController>();
}

std::string FeedBackViewController::wordCountText(size_t length) {
  char text[64];
  std::snprintf(text, sizeof text, kWordCountFormat, static_cast<int>(length));
  return text;
}

bool FeedBackViewController::isAcceptableContact(const std::string& contact) {
  return contact.empty() || StringsTool::matchesWholePattern(kMobilePattern, contact);
}

void FeedBackViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(Strings::localized("FeedBack"));
  auto root = view();
  auto weak = std::weak_ptr<FeedBackViewController>(feedbackSelf());

  tableView_ = ViewTool::myGroupedTableViewWithFrame(Rect{0, 0, screenWidth(), screenHeight() - kBarsHeight});
  tableView_->setDataSource(std::weak_ptr<platform::ui::TableViewDataSource>(feedbackSelf()));
  tableView_->setDelegate(std::weak_ptr<platform::ui::TableViewDelegate>(feedbackSelf()));
  root->addSubview(tableView_);

  headerView_ = platform::ui::View::create(Rect{0, 0, 320, kHeaderHeight});
  headerView_->setBackgroundColor(Color::clear());
  auto headerLabel = platform::ui::Label::create(Rect{10, 0, 300, kHeaderHeight}, Strings::localized("FeedBackTitle"));
  headerLabel->setNumberOfLines(0);
  headerLabel->setFont(Font::system(16));
  headerLabel->setTextAlignment(platform::ui::TextAlignment::Left);
  headerLabel->setTextColor(kTextGrey);
  headerLabel->setBackgroundColor(Color::clear());
  headerView_->addSubview(headerLabel);

  textView_ = platform::ui::TextView::create(Rect{0, 0, 300, 95});
  textView_->setBackgroundColor(Color::clear());
  textView_->setTextAlignment(platform::ui::TextAlignment::Left);
  textView_->setFont(Font::system(16));
  textView_->setTextColor(kTextGrey);
  textView_->setDelegate(std::weak_ptr<platform::ui::TextViewDelegate>(feedbackSelf()));
  placeholderLabel_ = platform::ui::Label::create(Rect{7, 7, 300, 20}, Strings::localized("FeedBackInput"));
  placeholderLabel_->setBackgroundColor(Color::clear());
  placeholderLabel_->setFont(Font::system(16));
  placeholderLabel_->setTextColor(Color::gray(2.0 / 3.0));
  textView_->addSubview(placeholderLabel_);

  textField_ = platform::ui::TextField::create(Rect{10, 0, 290, 44});
  textField_->setBackgroundColor(Color::clear());
  textField_->setPlaceholder(Strings::localized("FeedBackProposal"));
  textField_->setTextColor(kTextGrey);
  textField_->setClearButtonMode(platform::ui::TextFieldViewMode::WhileEditing);
  textField_->setFont(Font::system(16));
  textField_->setContentVerticalAlignment(platform::ui::ContentVerticalAlignment::Center);
  textField_->setKeyboardType(platform::ui::KeyboardType::NumberPad);
  textField_->setReturnKeyType(platform::ui::ReturnKeyType::Done);
  textField_->setDelegate(std::weak_ptr<platform::ui::TextFieldDelegate>(feedbackSelf()));

  footerView_ = platform::ui::View::create(Rect{0, 0, 320, kFooterHeight});
  footerView_->setBackgroundColor(Color::clear());
  submitButton_ = ButtonCreater::bigButtonWithText(Strings::localized("Submit"));
  submitButton_->addTarget(this, platform::ui::ControlEvent::TouchUpInside, [weak](platform::ui::Control&) {
    if (auto screen = weak.lock()) screen->commit();
  });
  submitButton_->setCenter(platform::ui::Point{160, 42});
  footerView_->addSubview(submitButton_);

  toolbar_ = platform::ui::Toolbar::create(Rect{0, screenHeight(), screenWidth(), kToolbarHeight});
  toolbar_->setBarStyle(platform::ui::BarStyle::BlackTranslucent);
  toolbar_->setItems({platform::ui::BarButtonItem::withSystemItem(platform::ui::BarButtonSystemItem::FlexibleSpace),
                      platform::ui::BarButtonItem::withTitle(Strings::localized("Complete"),
                                                             platform::ui::BarButtonItemStyle::Done,
                                                             [weak](platform::ui::BarButtonItem&) {
                                                               if (auto screen = weak.lock()) screen->hiddenKeyBoard();
                                                             })});
  wordCountLabel_ = platform::ui::Label::create(Rect{10, 0, 200, kToolbarHeight}, wordCountText(0));
  wordCountLabel_->setBackgroundColor(Color::clear());
  wordCountLabel_->setFont(Font::boldSystem(16));
  wordCountLabel_->setTextColor(Color::white());
  wordCountLabel_->setTextAlignment(platform::ui::TextAlignment::Left);
  toolbar_->addSubview(wordCountLabel_);
  root->addSubview(toolbar_);
}

// --- sending -----------------------------------------------------------------------------------

void FeedBackViewController::commit() {
  // Built here on the main thread (the session and the texts), sent by the spinner's worker.
  auto request = HomeShopOperations::suggestion(User::currentUser().loginName(), textView_ ? textView_->text() : "",
                                                textField_ ? textField_->text() : "");
  auto reply = std::make_shared<ServerReply>();
  showSpinnerWhen([request, reply] { *reply = request.sendSynchronously(); },
                  [self = feedbackSelf(), reply] {
                    // No whole reply (a broken connection, a time-out) is a failed request too.
                    const bool noReply = reply->kind == FailureKind::NotSent || reply->kind == FailureKind::OutcomeUnknown;
                    if (reply->httpStatus != 200 || noReply) {
                      self->showPrompt(Strings::localized("NetworkRequestFailedTip"));
                      return;
                    }
                    // A reply that cannot be read says nothing.
                    if (!reply->envelope) return;
                    if (!reply->ok()) {
                      self->showPrompt(Strings::localized("Error_FeedBackInput"));
                      return;
                    }
                    self->showPrompt(kSentPrompt, kSentPromptSeconds);
                    std::weak_ptr<FeedBackViewController> weak = self;
                    platform::dispatchAfter(platform::secs(kPopAfterSeconds), [weak] {
                      if (auto screen = weak.lock()) screen->backToFront();
                    });
                  });
}

void FeedBackViewController::backToFront() {
  auto navigation = navigationController();
  // Only while this screen is the one in front: a screen the user left already pops nothing else.
  if (navigation && navigation->topViewController().get() == this) navigation->pop(true);
}

// --- finishing and the keyboard ----------------------------------------------------------------

void FeedBackViewController::hiddenKeyBoard() {
  if (textView_ && textView_->isEditing()) {
    const size_t length = platform::u16len(textView_->text());
    if (length == 0 || (length >= kMinLength && length <= kMaxLength)) {
      textView_->resignFirstResponder();
    } else {
      showPrompt(Strings::localized("Error_FeedBackInput"));
    }
    return;
  }
  if (textField_ && textField_->isEditing()) {
    if (isAcceptableContact(textField_->text())) {
      textField_->resignFirstResponder();
    } else {
      showPrompt(Strings::localized("Error_EnterMobileNumber"));
    }
  }
}

void FeedBackViewController::keyboardWillShow(Rect keyboard) {
  if (textField_ && textField_->isEditing()) {
    if (wordCountLabel_) wordCountLabel_->setHidden(true);
    if (tableView_) tableView_->setContentOffset(platform::ui::Point{0, kContactOffset}, true);
  } else if (textView_ && textView_->isEditing()) {
    if (wordCountLabel_) wordCountLabel_->setHidden(false);
    const double offset = keyboard.height > platform::ui::Keyboard::kHeight ? kTallKeyboardOffset : kKeyboardOffset;
    if (tableView_) tableView_->setContentOffset(platform::ui::Point{0, offset}, true);
  }
  if (!toolbar_) return;
  const double duration = toolbar_->frame().y == screenHeight() ? kToolbarSeconds : 0;
  auto bar = toolbar_;
  platform::ui::animate(duration, [bar, keyboard] {
    bar->setFrame(Rect{0, keyboard.y - kToolbarLift, screenWidth(), kToolbarHeight});
  });
}

void FeedBackViewController::keyboardWillHide() {
  if (tableView_) tableView_->setContentOffset(platform::ui::Point{0, 0}, true);
  if (!toolbar_) return;
  auto bar = toolbar_;
  platform::ui::animate(kToolbarSeconds,
                        [bar] { bar->setFrame(Rect{0, screenHeight(), screenWidth(), kToolbarHeight}); });
}

void FeedBackViewController::showKeyboardForEditing() {
  Rect keyboard = platform::ui::Keyboard::frameOnScreen();
  if (keyboard.height <= 0) {
    keyboard = Rect{0, screenHeight() - platform::ui::Keyboard::kHeight, screenWidth(), platform::ui::Keyboard::kHeight};
  }
  keyboardWillShow(keyboard);
}

void FeedBackViewController::keyboardMayHaveGone() {
  // Moving from one field to the other ends one editing before the other begins: only when
  // neither edits once the move is over has the keyboard gone.
  std::weak_ptr<FeedBackViewController> weak = feedbackSelf();
  platform::dispatchMain([weak] {
    auto screen = weak.lock();
    if (!screen) return;
    const bool editing = (screen->textView_ && screen->textView_->isEditing()) ||
                         (screen->textField_ && screen->textField_->isEditing());
    if (!editing) screen->keyboardWillHide();
  });
}

void FeedBackViewController::showPrompt(std::string text, double delay) {
  if (!isViewLoaded()) return;
  auto hud = platform::ui::Hud::showOn(*view(), true);
  hud->setMode(platform::ui::Hud::Mode::Text);
  hud->setLabel(std::move(text));
  const bool editingOffset = tableView_ && tableView_->contentOffset().y == kTallKeyboardOffset;
  hud->setYOffset(-(editingOffset ? kPromptLiftEditing : kPromptLift));
  hud->hide(true, delay);
}

// --- table -------------------------------------------------------------------------------------

int FeedBackViewController::numberOfRows(platform::ui::TableView&, int /*section*/) { return 2; }

std::shared_ptr<platform::ui::TableViewCell> FeedBackViewController::cellForRow(platform::ui::TableView&,
                                                                               platform::ui::IndexPath path) {
  auto cell = platform::ui::TableViewCell::create(platform::ui::TableViewCellStyle::Default, kCellIdentifier);
  cell->setSelectionStyle(platform::ui::TableViewCellSelectionStyle::None);
  cell->setBackgroundColor(Color::white());
  const auto& field = path.row == 0 ? std::static_pointer_cast<platform::ui::View>(textView_)
                                    : std::static_pointer_cast<platform::ui::View>(textField_);
  if (field) cell->contentView()->addSubview(field);
  return cell;
}

std::optional<double> FeedBackViewController::heightForRow(platform::ui::TableView&, platform::ui::IndexPath path) {
  return path.row == 0 ? kSuggestionRowHeight : kContactRowHeight;
}

std::optional<double> FeedBackViewController::heightForHeader(platform::ui::TableView&, int) { return kHeaderHeight; }

std::optional<double> FeedBackViewController::heightForFooter(platform::ui::TableView&, int) { return kFooterHeight; }

std::shared_ptr<platform::ui::View> FeedBackViewController::viewForHeader(platform::ui::TableView&, int) {
  return headerView_;
}

std::shared_ptr<platform::ui::View> FeedBackViewController::viewForFooter(platform::ui::TableView&, int) {
  return footerView_;
}

// --- the suggestion ----------------------------------------------------------------------------

void FeedBackViewController::didBeginEditing(platform::ui::TextView&) {
  if (wordCountLabel_) wordCountLabel_->setHidden(false);
  showKeyboardForEditing();
}

void FeedBackViewController::didEndEditing(platform::ui::TextView&) { keyboardMayHaveGone(); }

std::optional<bool> FeedBackViewController::shouldChangeText(platform::ui::TextView& textView, platform::Range16 range,
                                                             const std::string& replacement) {
  auto result = platform::u16replace(textView.text(), range, replacement);
  if (!result) return false;
  const size_t length = platform::u16len(*result);
  if (length > kMaxLength || !StringsTool::isAllowInputlCharacters(replacement)) return false;
  if (wordCountLabel_) wordCountLabel_->setText(wordCountText(length));
  return true;
}

void FeedBackViewController::didChange(platform::ui::TextView& textView) {
  if (placeholderLabel_) placeholderLabel_->setHidden(textView.hasText());
}

// --- the contact -------------------------------------------------------------------------------

void FeedBackViewController::didBeginEditing(platform::ui::TextField&) {
  if (wordCountLabel_) wordCountLabel_->setHidden(true);
  showKeyboardForEditing();
}

void FeedBackViewController::didEndEditing(platform::ui::TextField&) { keyboardMayHaveGone(); }

std::optional<bool> FeedBackViewController::shouldReturn(platform::ui::TextField& textField) {
  textField.resignFirstResponder();
  return true;
}

}  // namespace nvx
