// What a text-taking responder asks of the keyboard: its kind of keys, the return key's title,
// and the flags the system keyboard keeps (capitals, correction, hidden entry). Nothing here
// changes the text a simulated user types: the flags are stored for the screens and tests that
// read them.
#pragma once
#include <string>

namespace platform::ui {

enum class KeyboardType {
  Default,
  AsciiCapable,
  NumbersAndPunctuation,
  Url,
  NumberPad,
  PhonePad,
  NamePhonePad,
  EmailAddress,
  DecimalPad,
};

enum class ReturnKeyType { Default, Go, Google, Join, Next, Route, Search, Send, Yahoo, Done, EmergencyCall };

enum class TextAutocapitalization { None, Words, Sentences, AllCharacters };

enum class TextAutocorrection { Default, No, Yes };

enum class KeyboardAppearance { Default, Alert };

struct TextInputTraits {
  KeyboardType keyboardType = KeyboardType::Default;
  ReturnKeyType returnKeyType = ReturnKeyType::Default;
  TextAutocapitalization autocapitalization = TextAutocapitalization::Sentences;
  TextAutocorrection autocorrection = TextAutocorrection::Default;
  KeyboardAppearance keyboardAppearance = KeyboardAppearance::Default;
  bool secureTextEntry = false;
  bool enablesReturnKeyAutomatically = false;
};

// "Default", "NumberPad", ... as the keyboard is described in rendered screens.
std::string keyboardTypeName(KeyboardType type);

}  // namespace platform::ui
