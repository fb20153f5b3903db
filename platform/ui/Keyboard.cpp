#include "platform/ui/Keyboard.h"

#include "platform/foundation/Process.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace platform::ui {
namespace {

struct KeyboardState {
  std::shared_ptr<Window> window;   // made on first use, kept for the run
  std::shared_ptr<Keyboard> system;
  std::weak_ptr<View> responder;
  std::shared_ptr<View> input;
  std::shared_ptr<View> accessory;
  bool updating = false;
};

KeyboardState& state() { return Process::current().shared<KeyboardState>(); }

// The responder the keyboard serves: the key window's first responder when it takes text, else
// the first responder taking text of the top-most visible window.
std::shared_ptr<View> textResponder(const Window* keyboardWindow) {
  auto takesText = [](const std::shared_ptr<View>& v) { return v && v->textInputTraits() && v->isEffectivelyVisible(); };
  if (auto key = Window::keyWindow(); key && key->isVisible()) {
    if (auto fr = key->firstResponder(); takesText(fr)) return fr;
  }
  auto windows = Window::visibleInOrder();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    if (it->get() == keyboardWindow) continue;
    if (auto fr = (*it)->firstResponder(); takesText(fr)) return fr;
  }
  return nullptr;
}

}  // namespace

std::string keyboardTypeName(KeyboardType type) {
  switch (type) {
    case KeyboardType::Default: return "Default";
    case KeyboardType::AsciiCapable: return "AsciiCapable";
    case KeyboardType::NumbersAndPunctuation: return "NumbersAndPunctuation";
    case KeyboardType::Url: return "Url";
    case KeyboardType::NumberPad: return "NumberPad";
    case KeyboardType::PhonePad: return "PhonePad";
    case KeyboardType::NamePhonePad: return "NamePhonePad";
    case KeyboardType::EmailAddress: return "EmailAddress";
    case KeyboardType::DecimalPad: return "DecimalPad";
  }
  return "Default";
}

Keyboard::Keyboard(Rect frame) : View(frame) {}

void Keyboard::describeExtras(std::string& out) const { out += " type=" + keyboardTypeName(type_); }

std::shared_ptr<Keyboard> Keyboard::system() {
  auto& s = state();
  if (!s.system) s.system = std::make_shared<Keyboard>(Rect{0, 0, Screen::bounds().width, kHeight});
  return s.system;
}

void Keyboard::update() {
  auto& s = state();
  if (s.updating) return;   // removing an input view below may resign a responder inside it
  s.updating = true;
  auto responder = textResponder(s.window.get());
  std::shared_ptr<View> input;
  std::shared_ptr<View> accessory;
  if (responder) {
    input = responder->inputView();
    accessory = responder->inputAccessoryView();
    if (!input) {
      input = system();
      const TextInputTraits* traits = responder->textInputTraits();
      s.system->setKeyboardType(traits->keyboardType);
      s.system->setReturnKeyType(traits->returnKeyType);
    }
  }
  if (s.window) {
    for (const auto& v : std::vector<std::shared_ptr<View>>(s.window->subviews())) {
      if (v != input && v != accessory) v->removeFromSuperview();
    }
  }
  s.responder = responder;
  s.input = input;
  s.accessory = accessory;
  if (!responder) {
    if (s.window) s.window->setHidden(true);
    s.updating = false;
    return;
  }
  if (!s.window) {
    s.window = Window::create();
    s.window->setWindowLevel(WindowLevel::Keyboard);
  }
  Rect screen = Screen::bounds();
  double accessoryHeight = accessory ? accessory->frame().height : 0;
  double inputHeight = input->frame().height;
  double total = accessoryHeight + inputHeight;
  s.window->setFrame(Rect{screen.x, screen.maxY() - total, screen.width, total});
  if (accessory) {
    accessory->setFrame(Rect{0, 0, screen.width, accessoryHeight});
    if (accessory->superview() != s.window) s.window->addSubview(accessory);
  }
  input->setFrame(Rect{0, accessoryHeight, screen.width, inputHeight});
  if (input->superview() != s.window) s.window->addSubview(input);
  s.window->setHidden(false);
  s.updating = false;
}

bool Keyboard::isVisible() {
  auto* s = Process::current().sharedIfExists<KeyboardState>();
  return s && s->window && s->window->isVisible() && !s->responder.expired();
}

std::shared_ptr<View> Keyboard::responder() {
  auto* s = Process::current().sharedIfExists<KeyboardState>();
  return s ? s->responder.lock() : nullptr;
}

std::shared_ptr<View> Keyboard::activeInputView() { return isVisible() ? state().input : nullptr; }

std::shared_ptr<View> Keyboard::accessoryView() { return isVisible() ? state().accessory : nullptr; }

std::shared_ptr<Window> Keyboard::window() {
  auto* s = Process::current().sharedIfExists<KeyboardState>();
  return s ? s->window : nullptr;
}

Rect Keyboard::frameOnScreen() { return isVisible() ? state().window->frame() : Rect{}; }

std::shared_ptr<View> Keyboard::inputViewFor(const TextInputTraits& traits,
                                             const std::shared_ptr<View>& customInputView) {
  if (customInputView) return customInputView;
  auto keyboard = system();
  keyboard->setKeyboardType(traits.keyboardType);
  keyboard->setReturnKeyType(traits.returnKeyType);
  return keyboard;
}

}  // namespace platform::ui
