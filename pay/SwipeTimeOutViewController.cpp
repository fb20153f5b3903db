#include "pay/SwipeTimeOutViewController.h"

#include "app/ui/ButtonExt.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Color.h"

namespace nvx {

using platform::Strings;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {
const Color kBorder{0.792, 0.8, 0.8, 1};
}  // namespace

std::shared_ptr<SwipeTimeOutViewController> SwipeTimeOutViewController::create(std::optional<std::string> billNo,
                                                                                std::optional<std::string> amount) {
  auto page = std::make_shared<SwipeTimeOutViewController>();
  page->billNumber_ = std::move(billNo);
  page->amount_ = std::move(amount);
  return page;
}

std::shared_ptr<platform::ui::Label> SwipeTimeOutViewController::labelWithFrame(Rect frame, std::string_view text) {
  auto label = platform::ui::Label::create(frame, std::string(text));
  label->setBackgroundColor(Color::clear());
  label->setTextColor(Color::gray(0.408));
  label->setFont(Font::system(14));
  return label;
}

void SwipeTimeOutViewController::viewDidLoad() {
  NVXViewController::viewDidLoad();
  setTitle(kTitle);
  navigationItem().setLeftBarButtonItem(nullptr);
  navigationItem().setHidesBackButton(true);

  const std::pair<std::string, const std::optional<std::string>*> rows[] = {
      {kQueryNumberLabel, &billNumber_},
      {Strings::localized("PO_SwipeValue"), &amount_},
  };
  auto root = view();
  auto box = platform::ui::View::create(Rect{10, 20, 300, 40.0 * std::size(rows) + 80});
  box->setBackgroundColor(Color::white());
  box->layer().borderWidth = 1;
  box->layer().borderColor = kBorder;
  box->layer().cornerRadius = 6;
  box->setClipsToBounds(true);
  root->addSubview(box);

  auto note = platform::ui::Label::create(Rect{30, 14, 240, 60}, Strings::localized("PO_Note"));
  note->setNumberOfLines(0);
  note->setFont(Font::boldSystem(17));
  note->setTextColor(Color::gray(0.2));
  note->setBackgroundColor(Color::clear());
  box->addSubview(note);
  auto line = platform::ui::View::create(Rect{20, 70, 260, 1});
  line->setBackgroundColor(kBorder);
  box->addSubview(line);

  double y = 90;
  bool first = true;
  for (const auto& [label, value] : rows) {
    if (!*value) continue;
    auto left = labelWithFrame(Rect{40, y, 88, 15}, label + ":");
    left->setTextAlignment(platform::ui::TextAlignment::Right);
    auto right = labelWithFrame(Rect{156, y, 150, 15}, **value);
    if (first) {
      left->setTextColor(Color::rgb255(255, 0, 0));
      right->setTextColor(Color::rgb255(255, 0, 0));
      first = false;
    }
    box->addSubview(left);
    box->addSubview(right);
    y += 25;
  }

  const double buttonsY = y + 90;
  std::weak_ptr<SwipeTimeOutViewController> weak =
      std::static_pointer_cast<SwipeTimeOutViewController>(shared_from_this());
  struct Way {
    double x;
    const char* normal;
    const char* down;
    std::string title;
    void (SwipeTimeOutViewController::*action)();
  };
  const Way ways[] = {
      {80, "tmall.png", "tmall_down.png", Strings::localized("PO_Back"), &SwipeTimeOutViewController::doneButtonPressed},
      {240, "phone.png", "phone_down.png", Strings::localized("PO_Ask_Note"), &SwipeTimeOutViewController::makePhoneCall},
  };
  for (const auto& way : ways) {
    auto action = way.action;
    auto button = ButtonExt::buttonWithFrame(Rect{0, 0, 132, 38}, way.normal, way.down, this,
                                             [weak, action](platform::ui::Control&) {
                                               if (auto self = weak.lock()) ((*self).*action)();
                                             });
    button->setCenter(platform::ui::Point{way.x, buttonsY});
    button->setTitle(way.title);
    button->setTitleColor(Color::white());
    button->setTitleFont(Font::boldSystem(16));
    root->addSubview(button);
  }
}

void SwipeTimeOutViewController::doneButtonPressed() {
  if (auto navigation = navigationController()) navigation->popToRoot(true);
}

void SwipeTimeOutViewController::makePhoneCall() {
  if (platform::ui::Application::shared().openURL("tel:" + Strings::localized("ServicePhoneNumber"))) return;
  auto alert = platform::ui::AlertView::create(Strings::localized("ServicePhone") + Strings::localized("BuyPhoneNumberText"),
                                               Strings::localized("NoPhone"), Strings::localized("Know"), {});
  alert->show();
}

}  // namespace nvx
