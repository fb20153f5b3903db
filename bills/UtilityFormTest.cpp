#include "bills/UtilityForm.h"

#include <gtest/gtest.h>

#include "platform/foundation/Strings.h"

namespace nvx {
namespace {

using platform::Json;
using platform::Strings;

// The items of a hand-written description.
UtilityItems describe(std::string_view text) {
  auto json = UtilityDescription::toJsonText(text);
  EXPECT_TRUE(json.has_value()) << text;
  auto parsed = platform::json::parse(json.value_or(""));
  EXPECT_TRUE(parsed.has_value()) << *json;
  auto items = UtilityDescription::items(parsed.value_or(Json()));
  EXPECT_TRUE(items.isOk()) << items.error();
  return items.isOk() ? items.value() : UtilityItems();
}

std::string fill(std::string_view key, const std::vector<std::string>& values) {
  return fillFormat(Strings::localized(key), values);
}

TEST(UtilityDescriptionTest, QuotesBareKeysAndSingleQuotesOnlyOutsideStrings) {
  struct Case {
    const char* body;
    const char* json;   // nullptr: refused
  } cases[] = {
      {"{type:'text'}", R"({"type":"text"})"},
      {"{ key-2|x : 1, ok:true, none:null }", R"({ "key-2|x" : 1, "ok":true, "none":null })"},
      // A time in a value and an apostrophe in a double-quoted value stay as they are.
      {"{note:'open 08:30-22:00', who:\"the office's\"}", R"({"note":"open 08:30-22:00", "who":"the office's"})"},
      // A double quote inside single quotes is escaped; an escaped single quote is a quote.
      {R"({say:'a "b" c', it:'it\'s'})", R"({"say":"a \"b\" c", "it":"it's"})"},
      {R"({"already":"json: yes", "n":-1.5})", R"({"already":"json: yes", "n":-1.5})"},
      {"{标题:'水费'}", R"({"标题":"水费"})"},
      {"{a:'unterminated}", nullptr},
      {"{a:\"unterminated}", nullptr},
  };
  for (const Case& c : cases) {
    auto text = UtilityDescription::toJsonText(c.body);
    if (!c.json) {
      EXPECT_FALSE(text.has_value()) << c.body;
      continue;
    }
    ASSERT_TRUE(text.has_value()) << c.body;
    EXPECT_EQ(*text, c.json) << c.body;
    EXPECT_TRUE(platform::json::parse(*text).has_value()) << *text;
  }
}

TEST(UtilityDescriptionTest, RefusesWhatCannotBeAForm) {
  EXPECT_FALSE(UtilityDescription::toJsonText(std::string(UtilityDescription::kMaxDepth + 1, '[')).has_value())
      << "nesting beyond the limit";
  for (const char* text : {R"({"type":"text"})", R"([{"type":"list","data":"x"}])", R"([{"childs":{}}])",
                           R"([5])", R"([{"type":"list","data":[7]}])"}) {
    EXPECT_FALSE(UtilityDescription::items(*platform::json::parse(text)).isOk()) << text;
  }
  Json huge = Json::array();
  for (size_t i = 0; i <= UtilityDescription::kMaxItems; ++i) huge.push_back(Json::object({{"type", "label"}}));
  EXPECT_FALSE(UtilityDescription::items(huge).isOk()) << "too many items";
}

TEST(UtilityFormStateTest, BuildsRowsCodesNoteAndDepartmentFromTheDescription) {
  auto items = describe(R"([
    {type:'common', childs:[{name:'no', type:'text', key:'billno', title:'户号'}]},
    {type:'list', title:'缴费单位', key:'unit', data:[{text:'A', value:'1'}]},
    {type:'hidden', key:'subbusid', value:'SUB'},
    {type:'label', layout:'note', value:'08:30 open'},
    {type:'text', key:'mobileno', title:'手机', multiKey:['queryTrans'], value:'Q1'},
    {include:'no'}, {include:'no'},
    {type:'hidden', key:'showInput2', equal:'1', childs:[{hint:'h'}]}])");
  UtilityFormState state;
  ASSERT_TRUE(state.update(items).isOk());
  ASSERT_NE(state.department, nullptr);
  EXPECT_EQ(state.department->str("text"), "A") << "a list takes its first option";
  ASSERT_EQ(state.inputForm.size(), 3u) << "the department is not a row; hidden, label and common are not";
  EXPECT_EQ(state.inputForm[1], state.inputForm[2]) << "two includes share one definition";
  state.inputForm[1]->set("value", "123");
  EXPECT_EQ(state.inputForm[2]->str("value"), "123");
  EXPECT_EQ(state.subbid, "SUB");
  EXPECT_EQ(state.queryTrans, "Q1");
  EXPECT_EQ(state.note, "08:30 open");
  EXPECT_TRUE(state.showInput2);
  EXPECT_TRUE(state.payEqualPrice);
  ASSERT_EQ(state.input2Form.size(), 1u);
}

TEST(UtilityFormStateTest, AChoiceBringsItsRowsAndKeepsWhatStays) {
  auto items = describe(R"([
    {type:'text', key:'billno', title:'户号'},
    {type:'list', title:'方式', text:'none of them', data:[
      {text:'a', value:'A', childs:[{type:'text', key:'x', title:'X'},
                                     {type:'list', title:'内层', data:[{text:'i', value:'I', childs:[{type:'text', key:'y'}]}]}]},
      {text:'b', value:'B', childs:[{type:'text', key:'z', title:'Z'}]}]},
    {type:'list', title:'空', text:'kept', value:'v', data:[]}])");
  UtilityFormState state;
  ASSERT_TRUE(state.update(items).isOk());
  auto keys = [&] {
    std::string k;
    for (const auto& item : state.inputForm) k += item->str("key") + item->str("title") + ";";
    return k;
  };
  EXPECT_EQ(keys(), "billno户号;方式;xX;内层;y;空;") << "nested choices bring their rows in order";
  EXPECT_EQ(state.inputForm[1]->str("value"), "A") << "an unknown choice becomes the first option";
  EXPECT_EQ(state.inputForm.back()->str("text"), "kept") << "a list without options keeps its own";
  EXPECT_EQ(state.inputForm.back()->str("value"), "v");

  state.inputForm[0]->set("value", "typed");
  state.inputForm[1]->set("text", "b");
  state.inputForm[1]->set("value", "B");
  ASSERT_TRUE(state.update(items).isOk());
  EXPECT_EQ(keys(), "billno户号;方式;zZ;空;");
  EXPECT_EQ(state.inputForm[0]->str("value"), "typed");
}

TEST(UtilityFormStateTest, IncludesInACircleAreRefusedNotFollowed) {
  auto items = describe(R"([
    {type:'common', childs:[{name:'a', type:'list', title:'A', data:[{text:'x', childs:[{include:'a'}]}]}]},
    {type:'hidden', key:'subbusid', value:'S'},
    {include:'a'}])");
  UtilityFormState state;
  EXPECT_FALSE(state.update(items).isOk());
  EXPECT_TRUE(state.inputForm.empty());
  EXPECT_TRUE(state.subbid.empty()) << "no half-built form";

  // One definition under many choices is not a circle: it may appear often, up to the limit.
  auto wide = describe(R"([
    {type:'common', childs:[{name:'d', type:'text', key:'k'}]},
    {type:'list', data:[{text:'x', childs:[{include:'d'},{include:'d'},{include:'d'}]}]}])");
  ASSERT_TRUE(state.update(wide).isOk());
  EXPECT_EQ(state.inputForm.size(), 4u);
}

// A form of one row with the given rule, as the checks see it.
std::variant<Json, std::string> checkOne(const std::string& item, const std::string& value,
                                         const std::string& before = "") {
  auto items = describe("[{type:'hidden', key:'subbusid', value:'S'}," + before + item + "]");
  UtilityFormState state;
  EXPECT_TRUE(state.update(items).isOk());
  state.inputForm.back()->set("value", value);
  UtilityFormInput input{&state, true, "北京", "水费"};
  return finalForm(input);
}

std::string promptOf(const std::variant<Json, std::string>& r) {
  if (auto* p = std::get_if<std::string>(&r)) return *p;
  return "<passes>";
}

TEST(UtilityChecksTest, RowsAreCheckedExactlyInTheirOrder) {
  const std::string amount = "{type:'text', key:'amount', title:'金额'";
  struct Case {
    std::string item;
    std::string value;
    std::string prompt;
  } cases[] = {
      {amount + "}", "", "缴费金额不能为空"},
      {amount + "}", "0.005", Strings::localized("AmountTooSmall")},
      {amount + "}", "0.01", "<passes>"},
      {amount + "}", "100000.00", "<passes>"},
      // Read exactly: no single-precision rounding lets a larger amount through.
      {amount + "}", "100000.00009", fill("MatchTip", {"金额"})},
      {amount + "}", "100000.1", fill("TooBig", {"金额", "100000.0"})},
      {amount + "}", "12.345", fill("MatchTip", {"金额"})},
      {amount + "}", "abc", fill("MatchTip", {"金额"})},
      {amount + ", multiple:'0.1'}", "0.3", "<passes>"},
      {amount + ", multiple:'0.1'}", "0.35", fill("MultipleTip", {"金额", "0.1"})},
      {amount + ", multiple:'0'}", "5", fill("MultipleTip", {"金额", "0"})},
      {amount + ", minValue:'10', maxValue:'20'}", "9.99", fill("TooSmall", {"金额", "10"})},
      {amount + ", minValue:'10', maxValue:'20'}", "20.00", "<passes>"},
      {"{type:'text', key:'n', title:'号', allowEmpty:false}", "", fill("EmptyTip", {"号"})},
      {"{type:'text', key:'n', title:'号', allowEmpty:true, minValue:'5'}", "", "<passes>"},
      {"{type:'text', key:'n', title:'号', regular:'[0-9]{3}'}", "1234", fill("MatchTip", {"号"})},
      {"{type:'text', key:'n', title:'号', regular:'[0-9]{3}', regularText:'三位数字'}", "12a", "三位数字"},
      {"{type:'text', key:'n', title:'号', regular:'[0-9]{3}'}", "123", "<passes>"},
      {"{type:'text', key:'n', title:'号', maxLength:'2'}", "水电费", fill("TooLongTip", {"号"})},
      {"{type:'text', key:'n', title:'号', minLength:'3'}", "水电", fill("TooShortTip", {"号"})},
      {"{type:'text', key:'n', title:'号', validateSame:1}", "111", Strings::localized("ValidateSameTip")},
  };
  for (const Case& c : cases) EXPECT_EQ(promptOf(checkOne(c.item, c.value)), c.prompt) << c.item << " " << c.value;

  // The confirmation compares with the bill number collected so far ("-" removed).
  auto same = checkOne("{type:'text', key:'n2', title:'确认', validateSame:1}", "123",
                       "{type:'text', key:'billno', title:'号', value:'1-2-3'},");
  EXPECT_EQ(promptOf(same), "<passes>");
}

TEST(UtilityChecksTest, TheFormCarriesRowsCodesAreaAndTitle) {
  auto items = describe(R"([
    {type:'hidden', key:'subbusid', value:'S'}, {type:'hidden', key:'queryTrans', value:'Q'},
    {type:'text', key:'billno', title:'户号', value:'123-4567-8901'},
    {type:'list', key:'kind', title:'缴费类型', data:[{text:'按户号', value:'H'}]},
    {type:'text', key:'memo', title:'备注'}])");
  UtilityFormState state;
  ASSERT_TRUE(state.update(items).isOk());
  auto form = std::get<Json>(finalForm({&state, true, "北京", "水费"}));
  EXPECT_EQ(form, Json::parse(R"({"subbusid":"S","billno":"12345678901","kind":"H","缴费类型":"按户号",
                                  "queryTrans":"Q","缴费地区":"北京","K_TRANSACTION_INFO":"水费"})"))
      << "a row without a value sends nothing";

  EXPECT_EQ(promptOf(finalForm({&state, false, "", "水费"})), Strings::localized("SelectCityFirst"));
  UtilityFormState noCode;
  ASSERT_TRUE(noCode.update(describe("[{type:'text', key:'billno'}]")).isOk());
  EXPECT_EQ(promptOf(finalForm({&noCode, true, "北京", "水费"})), Strings::localized("InputPayInfoFirst"));
}

TEST(UtilityAmountStepTest, ChecksTheAmountAgainstTheBillInFen) {
  auto rule = [](const std::string& op) {
    auto item = std::make_shared<UtilityFormItem>();
    item->fields["compare"] = Json::array({Json::array({"price", op})});
    return item;
  };
  struct Case {
    std::string amount;
    std::shared_ptr<UtilityFormItem> item;
    std::string prompt;   // "" passes
  } cases[] = {
      {"123.45", rule(">="), ""},
      {"123.44", rule(">="), "输入金额应该大于等于欠费金额"},
      {"123.45", rule("=>"), ""},
      {"123.45", rule(">"), "输入金额应该大于欠费金额"},
      {"123.46", rule(">"), ""},
      {"123.45", rule("=="), ""},
      {"123.45", rule("<="), ""},
      {"123.46", rule("<"), "输入金额应该<欠费金额"},
      // An operator the client does not know refuses the amount instead of being evaluated.
      {"123.45", rule(">= 0 OR TRUEPREDICATE"), "输入金额应该>= 0 OR TRUEPREDICATE欠费金额"},
      {"", nullptr, "缴费金额不能为空"},
      {"0", nullptr, Strings::localized("AmountCanNotBeEmpty")},
      {"0.00", nullptr, Strings::localized("AmountCanNotBeEmpty")},
      {"100000.01", nullptr, "输入金额不能大于100000.0元"},
      {"0.3", nullptr, ""},
  };
  for (const Case& c : cases) {
    Json form = {{"price", "12345"}, {"amount", c.amount}};
    EXPECT_EQ(checkAmountStep(form, c.item.get()).value_or(""), c.prompt) << c.amount;
  }
  auto bounded = std::make_shared<UtilityFormItem>();
  bounded->fields = {{"minValue", "10"}, {"multiple", "0.1"}, {"regular", "[0-9.]+"}};
  EXPECT_EQ(checkAmountStep({{"amount", "9.9"}}, bounded.get()).value_or(""), "输入金额不能小于10元");
  EXPECT_EQ(checkAmountStep({{"amount", "10.3"}}, bounded.get()).value_or(""), "");
  EXPECT_EQ(checkAmountStep({{"amount", "10.35"}}, bounded.get()).value_or(""), fill("MultipleTip", {"金额", "0.1"}));
}

TEST(UtilityAmountStepTest, PayAmountReadsFenAfterAnInquiryAndYuanWithout) {
  struct Case {
    Json form;
    bool replyNamedAmount;
    int64_t fen;
    std::string commit;
  } cases[] = {
      {{{"amount", "50.5"}}, false, 5050, "50.5"},
      {{{"queryTrans", "Q"}, {"price", "12345"}}, false, 12345, "123.450000"},
      {{{"queryTrans", "Q"}, {"price", 12345}, {"amount", "10000"}}, true, 10000, "100.000000"},
      // A typed amount the reply did not replace is yuan, not fen.
      {{{"queryTrans", "Q"}, {"price", "12345"}, {"amount", "200"}}, false, 20000, "200.000000"},
  };
  for (const Case& c : cases) {
    auto a = payAmount(c.form, c.replyNamedAmount);
    ASSERT_TRUE(std::holds_alternative<UtilityPayAmount>(a)) << c.form.dump();
    EXPECT_EQ(std::get<UtilityPayAmount>(a).fen, c.fen) << c.form.dump();
    EXPECT_EQ(std::get<UtilityPayAmount>(a).commitText, c.commit) << c.form.dump();
  }
  EXPECT_EQ(std::get<std::string>(payAmount({{"queryTrans", "Q"}, {"price", "0"}}, false)),
            Strings::localized("NotArrearsTip"));
  EXPECT_EQ(std::get<std::string>(payAmount(Json::object(), false)), "缴费金额不能为空");
  EXPECT_EQ(std::get<std::string>(payAmount({{"queryTrans", "Q"}, {"price", "12.5"}}, false)),
            Strings::localized("Error_Data"))
      << "a price that is not whole fen is never charged";
}

}  // namespace
}  // namespace nvx
