#include "standin/mainapi/UtilityRoutes.h"

#include "standin/mainapi/BusidRules.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kNoSuchBill = "3001";
constexpr std::string_view kNoSuchInquiry = "3002";

// A description as the server's people write it: bare keys, single quotes, a note with a time and
// an apostrophe, a shared definition included twice, a list whose options bring their own rows.
constexpr const char* kShanghai = R"text([
  {type:'common', childs:[{name:'billnoDef', type:'text', key:'billno', title:'缴费号码', hint:'请输入缴费号码', maxLength:'20', regular:'[0-9]{10}', regularText:'缴费号码为10位数字'}]},
  {type:'list', title:'缴费单位', key:'unit', data:[{text:'自来水公司', value:'SH01'}]},
  {type:'hidden', key:'subbusid', value:'SHWATER'},
  {type:'hidden', key:'queryTrans', value:'SHQUERY'},
  {type:'label', layout:'note', value:"每日 08:30-22:00 可缴费, it's the office's hours"},
  {include:'billnoDef'}
])text";

constexpr const char* kBeijing = R"text([
  {type:'hidden', key:'subbusid', value:'BJWATER'},
  {type:'list', title:'缴费类型', key:'kind', data:[
     {text:'按户号', value:'H', childs:[{type:'barcode', key:'billno', title:'户号', hint:'扫描或输入户号'}]},
     {text:'按手机', value:'M', childs:[{type:'text', key:'mobileno', title:'手机号', separate:1, inputType:'2'}]}]},
  {type:'text', key:'amount', title:'缴费金额', multiple:'0.1'}
])text";

Json area(const char* text, const char* value) { return Json::object({{"text", text}, {"value", value}}); }

HttpStandin::Reply inquire(Call& call) {
  auto& state = call.feature<UtilityState>();
  const std::string billno = call.fieldOr("billno");
  const std::string subbusid = call.fieldOr("subbusid");
  if (billno.empty() || subbusid.empty()) return call.error(MainApiStandin::kBadRequest, "缺少账单号");
  auto it = state.bills.find(billno);
  if (it == state.bills.end()) return call.error(kNoSuchBill, "账单不存在");
  const std::string sid = "U" + std::to_string(state.inquiries.size() + 1);
  state.inquiries[sid] = {billno, subbusid};
  Json data = Json::object();
  data["sid"] = sid;
  data["billno"] = billno;
  data["price"] = std::to_string(it->second.priceFen);
  data["yeorqf"] = it->second.yeorqf;
  data["cardType"] = it->second.cardType;
  data["收费单位"] = "自来水公司";
  data["jfdate"] = "202612";
  return call.ok(std::move(data));
}

Call::Refusal checkCommit(Call& call, std::optional<int64_t>& fen, bool afterInquiry) {
  if (call.fieldOr("subbusid").empty()) return call.error(MainApiStandin::kBadRequest, "缺少业务代码");
  if (call.fieldOr("billno").empty() && call.fieldOr("mobileno").empty()) {
    return call.error(MainApiStandin::kBadRequest, "缺少账单号");
  }
  if (!fen || *fen <= 0) return call.error(MainApiStandin::kBadRequest, "金额错误");
  if (!afterInquiry) return std::nullopt;
  auto& state = call.feature<UtilityState>();
  auto it = state.inquiries.find(call.fieldOr("srcsid"));
  if (it == state.inquiries.end()) return call.error(kNoSuchInquiry, "查询流水号不存在");
  if (it->second.billno != call.fieldOr("billno")) return call.error(MainApiStandin::kBadRequest, "账单号不符");
  return std::nullopt;
}

}  // namespace

UtilityState::UtilityState() {
  cities["shuifei"] = Json::array({area("上海", "310000"), area("北京", "110000")});
  descriptions["shuifei/310000"] = kShanghai;
  descriptions["shuifei/110000"] = kBeijing;
  bills["0571000001"] = {12345, "", "0"};
}

void addUtilityRoutes(MainApiStandin& server) {
  auto& rules = server.feature<BusidRules>();
  rules.inquiries["M50020"] = inquire;
  rules.commits["M80003"] = [](Call& call, std::optional<int64_t>& fen) { return checkCommit(call, fen, true); };
  rules.commits["M80004"] = [](Call& call, std::optional<int64_t>& fen) { return checkCommit(call, fen, false); };

  server.addRoute("getCityList/", [](Call& call) {
    const auto& segments = call.segments();
    auto& cities = call.feature<UtilityState>().cities;
    auto it = segments.size() == 2 ? cities.find(segments[1]) : cities.end();
    return call.ok(it != cities.end() ? it->second : Json::array());
  });
  server.addRoute("getBizConfig/", [](Call& call) {
    const auto& segments = call.segments();
    if (segments.size() != 3) return call.error(MainApiStandin::kBadRequest, "参数错误");
    auto& descriptions = call.feature<UtilityState>().descriptions;
    auto it = descriptions.find(segments[1] + "/" + segments[2]);
    if (it == descriptions.end()) return call.error(MainApiStandin::kNotFound, "该地区暂未开通");
    // Written by hand: the body is not JSON, as the server sends it.
    return HttpStandin::Reply::text(R"({retStatus:{retCode:'0000', errMsg:''}, retData:)" + it->second + "}", 200);
  });
}

}  // namespace standin
