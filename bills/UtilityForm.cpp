#include "bills/UtilityForm.h"

#include <algorithm>

#include "core/text/StringsTool.h"
#include "pay/PayMoney.h"
#include "platform/foundation/Strings.h"
#include "platform/foundation/Text16.h"

namespace nvx {

using platform::Json;
using platform::Strings;

namespace {

constexpr std::string_view kAmountKey = "amount";

bool isKeyByte(unsigned char c) {
  // Letters, digits and "_" (any byte of a multi-byte character counts as a letter), "|" and "-".
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '|' ||
         c == '-' || c >= 0x80;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

std::optional<std::string> textOf(const Json& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_boolean()) return std::string(v.get<bool>() ? "1" : "0");
  if (v.is_number_integer() || v.is_number_unsigned() || v.is_number_float()) return v.dump();
  return std::nullopt;
}

std::string lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

platform::Status unusable(std::string why) { return platform::Status::error(std::move(why)); }

// One item and what hangs under it; depth is bounded by the JSON text's nesting.
platform::Result<std::shared_ptr<UtilityFormItem>> itemOf(const Json& json, size_t& count);

platform::Status childsOf(const Json& list, UtilityItems& out, size_t& count) {
  if (!list.is_array()) return unusable("\"childs\" is not a list");
  for (const Json& child : list) {
    auto item = itemOf(child, count);
    if (!item.isOk()) return platform::Status::error(item.error());
    out.push_back(std::move(item.value()));
  }
  return platform::Status::success();
}

platform::Result<std::shared_ptr<UtilityFormItem>> itemOf(const Json& json, size_t& count) {
  if (!json.is_object()) return platform::Status::error("an item is not an object");
  if (++count > UtilityDescription::kMaxItems) return platform::Status::error("too many items");
  auto item = std::make_shared<UtilityFormItem>();
  for (auto it = json.begin(); it != json.end(); ++it) {
    if (it.key() == "childs") {
      if (auto s = childsOf(it.value(), item->childs, count); !s.isOk()) return s;
    } else if (it.key() == "data") {
      if (!it.value().is_array()) return platform::Status::error("\"data\" is not a list");
      for (const Json& option : it.value()) {
        if (!option.is_object()) return platform::Status::error("an option is not an object");
        if (++count > UtilityDescription::kMaxItems) return platform::Status::error("too many items");
        UtilityOption o;
        if (auto t = option.find("text"); t != option.end()) o.text = textOf(*t).value_or("");
        if (auto v = option.find("value"); v != option.end()) o.value = textOf(*v).value_or("");
        if (auto c = option.find("childs"); c != option.end()) {
          if (auto s = childsOf(*c, o.childs, count); !s.isOk()) return s;
        }
        item->data.push_back(std::move(o));
      }
    } else {
      item->fields[it.key()] = it.value();
    }
  }
  return item;
}

// Exact comparison of two amounts in fen by a rule's operator; nothing for an unknown operator.
std::optional<bool> compareFen(int64_t a, std::string_view op, int64_t b) {
  if (op == ">") return a > b;
  if (op == ">=" || op == "=>") return a >= b;
  if (op == "<") return a < b;
  if (op == "<=") return a <= b;
  if (op == "=" || op == "==") return a == b;
  return std::nullopt;
}

std::string promptOr(const UtilityFormItem& item, std::string fallback) {
  auto text = item.get("regularText");
  return text && !text->empty() ? *text : std::move(fallback);
}

}  // namespace

std::string removeDashes(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '-'), text.end());
  return text;
}

std::optional<size_t> UtilityFormItem::limit(std::string_view key) const {
  auto text = get(key);
  if (!text || text->empty() || text->size() > 9 || text->find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return static_cast<size_t>(std::stoul(*text));
}

// --- items ---------------------------------------------------------------------------------------

bool UtilityFormItem::has(std::string_view key) const { return fields.contains(key); }

std::optional<std::string> UtilityFormItem::get(std::string_view key) const {
  auto it = fields.find(key);
  if (it == fields.end()) return std::nullopt;
  return textOf(*it);
}

std::string UtilityFormItem::str(std::string_view key) const { return get(key).value_or(""); }

void UtilityFormItem::set(std::string_view key, std::string value) { fields[std::string(key)] = std::move(value); }

bool UtilityFormItem::flag(std::string_view key) const {
  auto it = fields.find(key);
  if (it == fields.end()) return false;
  if (it->is_boolean()) return it->get<bool>();
  if (it->is_number()) return it->get<double>() != 0;
  if (it->is_string()) {
    const std::string t = lower(it->get<std::string>());
    return t == "1" || t == "true" || t == "yes";
  }
  return false;
}

std::vector<std::string> UtilityFormItem::texts(std::string_view key) const {
  std::vector<std::string> out;
  auto it = fields.find(key);
  if (it == fields.end() || !it->is_array()) return out;
  for (const Json& v : *it) {
    if (auto t = textOf(v)) out.push_back(*t);
  }
  return out;
}

bool UtilityFormItem::hasCompareRule() const {
  auto it = fields.find("compare");
  return it != fields.end() && it->is_array() && !it->empty();
}

std::optional<std::string> UtilityFormItem::compareOperator() const {
  if (!hasCompareRule()) return std::nullopt;
  const Json& rule = fields.find("compare")->front();
  if (!rule.is_array() || rule.size() < 2 || !rule[1].is_string()) return std::nullopt;
  return rule[1].get<std::string>();
}

bool isDepartmentTitle(std::string_view title) { return title == "缴费单位" || title == "收费单位"; }

// --- the reader ----------------------------------------------------------------------------------

std::optional<std::string> UtilityDescription::toJsonText(std::string_view body) {
  if (body.size() > kMaxBytes) return std::nullopt;
  std::string out;
  out.reserve(body.size() + body.size() / 4);
  int depth = 0;
  size_t i = 0;
  while (i < body.size()) {
    const char c = body[i];
    if (c == '"') {
      // A JSON string: copied as it is.
      out += c;
      ++i;
      for (;;) {
        if (i >= body.size()) return std::nullopt;
        const char s = body[i++];
        out += s;
        if (s == '\\') {
          if (i >= body.size()) return std::nullopt;
          out += body[i++];
        } else if (s == '"') {
          break;
        }
      }
    } else if (c == '\'') {
      // A single-quoted string becomes a JSON string: its double quotes escaped, "\'" a quote.
      out += '"';
      ++i;
      for (;;) {
        if (i >= body.size()) return std::nullopt;
        const char s = body[i++];
        if (s == '\'') break;
        if (s == '"') {
          out += "\\\"";
        } else if (s == '\\') {
          if (i >= body.size()) return std::nullopt;
          const char e = body[i++];
          if (e == '\'') {
            out += '\'';
          } else {
            out += '\\';
            out += e;
          }
        } else {
          out += s;
        }
      }
      out += '"';
    } else if (isKeyByte(static_cast<unsigned char>(c))) {
      size_t end = i;
      while (end < body.size() && isKeyByte(static_cast<unsigned char>(body[end]))) ++end;
      size_t next = end;
      while (next < body.size() && isSpace(body[next])) ++next;
      const std::string_view word = body.substr(i, end - i);
      if (next < body.size() && body[next] == ':') {
        out += '"';
        out += word;
        out += '"';
      } else {
        out += word;   // true, false, null, a number
      }
      i = end;
    } else {
      if (c == '{' || c == '[') {
        if (++depth > kMaxDepth) return std::nullopt;
      } else if (c == '}' || c == ']') {
        --depth;
      }
      out += c;
      ++i;
    }
  }
  return out;
}

platform::Result<UtilityItems> UtilityDescription::items(const Json& list) {
  if (!list.is_array()) return platform::Status::error("the description is not a list");
  UtilityItems out;
  size_t count = 0;
  if (auto s = childsOf(list, out, count); !s.isOk()) return s;
  return out;
}

// --- the derived state ---------------------------------------------------------------------------

std::shared_ptr<UtilityFormItem> UtilityFormState::getCommonForm(std::string_view name) const {
  for (const auto& item : commonFields) {
    if (item->get("name") == name) return item;
  }
  return nullptr;
}

platform::Status UtilityFormState::update(const UtilityItems& payInfo) {
  department.reset();
  inputForm.clear();
  input2Form.clear();
  subbid.clear();
  queryTrans.clear();
  showInput2 = false;
  payEqualPrice = false;
  commonFields.clear();
  size_t count = 0;
  for (const auto& top : payInfo) {
    if (top->str("type") == "common") commonFields.insert(commonFields.end(), top->childs.begin(), top->childs.end());
    std::vector<const UtilityFormItem*> path;
    if (auto s = addFormItem(top, path, count); !s.isOk()) {
      const auto keptNote = note;
      *this = UtilityFormState();
      note = keptNote;
      return s;
    }
    if (isDepartmentTitle(top->str("title"))) department = top;
  }
  return platform::Status::success();
}

platform::Status UtilityFormState::addFormItem(std::shared_ptr<UtilityFormItem> item,
                                               std::vector<const UtilityFormItem*>& path, size_t& count) {
  if (++count > UtilityDescription::kMaxItems) return unusable("the description expands to too many rows");
  if (auto name = item->get("include")) {
    if (auto shared = getCommonForm(*name)) item = shared;
  }
  // A definition that includes itself through its own choices would never end.
  if (std::find(path.begin(), path.end(), item.get()) != path.end()) return unusable("the includes run in a circle");
  if (path.size() >= static_cast<size_t>(UtilityDescription::kMaxDepth)) return unusable("the choices nest too deep");
  path.push_back(item.get());

  const std::string type = item->str("type");
  if (type != "label" && type != "hidden") {
    if ((type == "list" || type == "text" || type == "barcode") && !isDepartmentTitle(item->str("title"))) {
      inputForm.push_back(item);
    }
    if (type == "list" && !item->data.empty()) {
      const std::string chosenText = item->str("text");
      auto chosen = std::find_if(item->data.begin(), item->data.end(),
                                 [&](const UtilityOption& o) { return o.text == chosenText; });
      if (chosen == item->data.end()) {
        chosen = item->data.begin();
        item->set("text", chosen->text);
        item->set("value", chosen->value);
      }
      // Copied: processing the choice's items never changes the list's options, but stays safe if
      // it did.
      const UtilityItems childs = chosen->childs;
      for (const auto& child : childs) {
        if (auto s = addFormItem(child, path, count); !s.isOk()) return s;
      }
    }
  }

  const std::string value = item->str("value");
  if (item->str("layout") == "note") note = value;
  const std::string key = item->str("key");
  if (key == "subbusid") {
    subbid = value;
  } else if (key == "queryTrans") {
    queryTrans = value;
  } else if (key == "showInput2") {
    payEqualPrice = item->flag("equal");
    showInput2 = true;
    input2Form = item->childs;
  }
  for (const std::string& extra : item->texts("multiKey")) {
    if (extra == "queryTrans") queryTrans = value;
    if (extra == "subbusid") subbid = value;
  }
  path.pop_back();
  return platform::Status::success();
}

// --- exact numbers -------------------------------------------------------------------------------

std::optional<DecimalText> DecimalText::parse(std::string_view text) {
  DecimalText d;
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) d.negative_ = text[i++] == '-';
  const size_t wholeStart = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  std::string_view whole = text.substr(wholeStart, i - wholeStart);
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    fraction = text.substr(fractionStart, i - fractionStart);
  }
  if (i != text.size() || (whole.empty() && fraction.empty())) return std::nullopt;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  d.whole_ = whole;
  d.fraction_ = fraction;
  if (d.isZero()) d.negative_ = false;
  return d;
}

int DecimalText::compare(const DecimalText& other) const {
  if (negative_ != other.negative_) return negative_ ? -1 : 1;
  int magnitude = 0;
  if (whole_.size() != other.whole_.size()) {
    magnitude = whole_.size() < other.whole_.size() ? -1 : 1;
  } else if (int c = whole_.compare(other.whole_); c != 0) {
    magnitude = c < 0 ? -1 : 1;
  } else {
    const size_t n = std::max(fraction_.size(), other.fraction_.size());
    std::string a = fraction_, b = other.fraction_;
    a.resize(n, '0');
    b.resize(n, '0');
    if (int f = a.compare(b); f != 0) magnitude = f < 0 ? -1 : 1;
  }
  return negative_ ? -magnitude : magnitude;
}

std::optional<bool> DecimalText::isMultipleOf(const DecimalText& m) const {
  if (m.isZero()) return std::nullopt;
  const size_t scale = std::max(fraction_.size(), m.fraction_.size());
  auto scaled = [scale](const DecimalText& d) -> std::optional<unsigned __int128> {
    std::string digits = d.whole_ + d.fraction_;
    digits.append(scale - d.fraction_.size(), '0');
    if (digits.size() > 36) return std::nullopt;
    unsigned __int128 v = 0;
    for (char c : digits) v = v * 10 + static_cast<unsigned>(c - '0');
    return v;
  };
  auto a = scaled(*this);
  auto b = scaled(m);
  if (!a || !b) return std::nullopt;
  return *a % *b == 0;
}

std::optional<int64_t> DecimalText::fen() const {
  if (negative_ || fraction_.size() > 2 || whole_.size() > 10) return std::nullopt;
  std::string cents = fraction_;
  cents.resize(2, '0');
  return PayMoney::fenFromWireText(whole_.empty() ? "0" + cents : whole_ + cents);
}

std::string fillFormat(std::string_view format, const std::vector<std::string>& values) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '@') {
      if (next < values.size()) out += values[next++];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

std::optional<std::string> formText(const Json& form, std::string_view key) {
  auto it = form.find(key);
  if (it == form.end()) return std::nullopt;
  return textOf(*it);
}

// --- the checks ----------------------------------------------------------------------------------

namespace {

std::string localizedWith(std::string_view key, const std::vector<std::string>& values) {
  return fillFormat(Strings::localized(key), values);
}

// A numeric bound of a row; an unreadable value or bound fails the rule.
bool beyond(const DecimalText& v, const std::string& boundText, int side) {
  auto bound = DecimalText::parse(boundText);
  return !bound || v.compare(*bound) * side > 0;
}

std::optional<std::string> checkRow(const UtilityFormItem& item, const std::string& v, const Json& form) {
  const std::string t = item.str("title");
  const bool amount = item.str("key") == kAmountKey;
  std::optional<std::string> maxValue = item.get("maxValue");
  std::optional<std::string> minValue = item.get("minValue");
  std::optional<DecimalText> number = DecimalText::parse(v);
  if (amount) {
    if (v.empty()) return "缴费金额不能为空";
    if (!number) return localizedWith("MatchTip", {t});
    if (number->compare(*DecimalText::parse("0.01")) < 0) return Strings::localized("AmountTooSmall");
    // An amount is charged in whole fen: a finer one is not what would be paid.
    if (!number->fen()) return localizedWith("MatchTip", {t});
    if (!minValue) minValue = "0.01";
    if (!maxValue) maxValue = "100000.0";
  }
  if (item.isFalse("allowEmpty") && v.empty()) return localizedWith("EmptyTip", {t});
  // The numeric rules judge a value; an empty optional row has none.
  const bool judged = amount || !v.empty();
  if (item.has("multiple") && judged) {
    const std::string m = item.str("multiple");
    auto multiple = DecimalText::parse(m);
    std::optional<bool> whole = number && multiple ? number->isMultipleOf(*multiple) : std::nullopt;
    if (!whole || !*whole) return localizedWith("MultipleTip", {t, m});
  }
  if (item.has("regular") && !StringsTool::matchesWholePattern(item.str("regular"), v)) {
    return promptOr(item, localizedWith("MatchTip", {t}));
  }
  if (item.has("validateSame") && v != formText(form, "billno").value_or("")) {
    return promptOr(item, Strings::localized("ValidateSameTip"));
  }
  if (auto most = item.limit("maxLength"); most && platform::u16len(v) > *most) {
    return localizedWith("TooLongTip", {t});
  }
  if (auto least = item.limit("minLength"); least && platform::u16len(v) < *least) {
    return localizedWith("TooShortTip", {t});
  }
  if (maxValue && judged && (!number || beyond(*number, *maxValue, 1))) return localizedWith("TooBig", {t, *maxValue});
  if (minValue && judged && (!number || beyond(*number, *minValue, -1))) {
    return localizedWith("TooSmall", {t, *minValue});
  }
  return std::nullopt;
}

}  // namespace

std::variant<Json, std::string> finalForm(const UtilityFormInput& input) {
  if (!input.areaChosen) return Strings::localized("SelectCityFirst");
  const UtilityFormState& state = *input.state;
  if (state.inputForm.empty() || state.subbid.empty()) return Strings::localized("InputPayInfoFirst");
  Json form = Json::object();
  form["subbusid"] = state.subbid;
  for (const auto& item : state.inputForm) {
    const std::string key = item->str("key");
    std::string v = item->str("value");
    if (key == "billno" || key == "mobileno") v = removeDashes(v);
    if (auto prompt = checkRow(*item, v, form)) return *prompt;
    if (!key.empty() && item->has("value")) {
      form[key] = v;
      const std::string title = item->str("title");
      if (!title.empty() && item->has("text")) form[title] = item->str("text");
    }
  }
  if (!state.queryTrans.empty()) form["queryTrans"] = state.queryTrans;
  if (state.showInput2) form["showInput2"] = true;
  form["缴费地区"] = input.areaName;
  form["K_TRANSACTION_INFO"] = input.title;
  return form;
}

std::optional<std::string> checkAmountStep(const Json& form, const UtilityFormItem* item) {
  const std::string a = formText(form, "amount").value_or("");
  if (a.empty()) return "缴费金额不能为空";
  auto number = DecimalText::parse(a);
  if (!number || !number->fen()) return localizedWith("MatchTip", {"输入金额"});
  if (number->isZero()) return Strings::localized("AmountCanNotBeEmpty");
  const int64_t aFen = *number->fen();
  const int64_t priceFen = PayMoney::fenFromWire(form.contains("price") ? form["price"] : Json()).value_or(0);
  if (item && item->has("regular") && !StringsTool::matchesWholePattern(item->str("regular"), a)) {
    return promptOr(*item, localizedWith("MatchTip", {"输入金额"}));
  }
  if (item && item->hasCompareRule()) {
    // Only the known operators, on whole fen: any other rule refuses the amount.
    const std::string op = item->compareOperator().value_or("");
    const std::optional<bool> passes = compareFen(aFen, op, priceFen);
    if (!passes || !*passes) {
      const std::string word = op == ">=" || op == "=>" ? "大于等于" : op == ">" ? "大于" : op;
      return promptOr(*item, fillFormat("输入金额应该%@欠费金额", {word}));
    }
  }
  const std::string maxValue = item && item->has("maxValue") ? item->str("maxValue") : "100000.0";
  if (beyond(*number, maxValue, 1)) return fillFormat("输入金额不能大于%@元", {maxValue});
  const std::string minValue = item && item->has("minValue") ? item->str("minValue") : "0.01";
  if (beyond(*number, minValue, -1)) return fillFormat("输入金额不能小于%@元", {minValue});
  if (item && item->has("multiple")) {
    const std::string m = item->str("multiple");
    auto multiple = DecimalText::parse(m);
    std::optional<bool> whole = multiple ? number->isMultipleOf(*multiple) : std::nullopt;
    if (!whole || !*whole) return localizedWith("MultipleTip", {"金额", m});
  }
  return std::nullopt;
}

std::variant<UtilityPayAmount, std::string> payAmount(const Json& form, bool replyNamedAmount) {
  const bool inquired = form.contains("queryTrans");
  const std::optional<std::string> typed = formText(form, "amount");
  const std::optional<std::string> text = typed ? typed : formText(form, "price");
  if (!text || text->empty()) return std::string("缴费金额不能为空");
  std::optional<int64_t> fen;
  // After an inquiry the server's amounts are fen; an amount the user typed stays yuan.
  const bool inFen = inquired && (replyNamedAmount || !typed);
  if (inFen) {
    fen = PayMoney::fenFromWireText(*text);
  } else if (auto number = DecimalText::parse(*text)) {
    fen = number->fen();
  }
  if (!fen) return Strings::localized("Error_Data");
  if (*fen == 0) return Strings::localized("NotArrearsTip");
  UtilityPayAmount out;
  out.fen = *fen;
  out.commitText = inquired ? PayMoney::yuanFromFen(*fen, 6) : *text;
  return out;
}

}  // namespace nvx
