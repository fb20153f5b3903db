#include "standin/mainapi/InsuranceRoutes.h"

#include <charconv>
#include <chrono>
#include <regex>

#include "standin/mainapi/BusidRules.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kNoSuchProduct = "3101";
constexpr std::string_view kBadPolicy = "3102";
constexpr std::string_view kNoSuchInquiry = "3002";

// The keys a list entry carries; the detail record has the rest.
constexpr const char* kListKeys[] = {"isanceId", "isanceName", "isancePrice", "oldPrice",
                                     "isanceSrc", "longDescription", "shortDescription"};

Json record(std::initializer_list<std::pair<const char*, std::string>> fields) {
  Json o = Json::object();
  for (const auto& [k, v] : fields) o[k] = v;
  return o;
}

std::string textOf(const Json& o, const char* key) {
  auto it = o.find(key);
  return it != o.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::vector<std::string> split(const std::string& text, char bar) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    size_t at = text.find(bar, from);
    parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
    if (at == std::string::npos) return parts;
    from = at + 1;
  }
}

std::optional<std::chrono::sys_days> day(const std::string& text) {
  static const std::regex kDay("^([0-9]{4})-([0-9]{2})-([0-9]{2})$");
  std::smatch m;
  if (!std::regex_match(text, m, kDay)) return std::nullopt;
  std::chrono::year_month_day d{std::chrono::year(std::stoi(m[1])), std::chrono::month(std::stoul(m[2])),
                                std::chrono::day(std::stoul(m[3]))};
  if (!d.ok()) return std::nullopt;
  return std::chrono::sys_days(d);
}

// The yuan price of a product ("128.00") in fen.
std::optional<int64_t> fenOf(const std::string& yuan) {
  static const std::regex kYuan("^([0-9]{1,9})(?:\\.([0-9]{1,2}))?$");
  std::smatch m;
  if (!std::regex_match(yuan, m, kYuan)) return std::nullopt;
  std::string cents = m[2].matched ? m[2].str() : "";
  cents.resize(2, '0');
  return std::stoll(m[1]) * 100 + std::stoll(cents);
}

// Why a policy text does not describe a policy of the product, or nothing when it does.
std::optional<std::string> policyFault(const std::string& addpad, const Json& product) {
  const bool needsCountry = textOf(product, "isanceType") == "1";
  std::vector<std::string> parts = split(addpad, '|');
  if (needsCountry) {
    if (parts.size() != 9 || !parts[8].empty()) return "保单信息缺少目的地国家";
    if (parts[6].empty() || parts[7].empty()) return "保单信息缺少目的地国家";
  } else if (parts.size() != 6) {
    return "保单信息格式错误";
  }
  for (size_t i = 2; i < 6; ++i) {
    if (parts[i].empty()) return "保单信息不完整";
  }
  auto start = day(parts[0]), end = day(parts[1]);
  if (!start || !end) return "保险日期错误";
  int period = 0;
  const std::string p = textOf(product, "period");
  auto [ptr, ec] = std::from_chars(p.data(), p.data() + p.size(), period);
  if (ec != std::errc() || ptr != p.data() + p.size() || period < 1) return "产品保障期限错误";
  if (*end - *start != std::chrono::days(period - 1)) return "保险止期与保障期限不符";
  return std::nullopt;
}

bool isMobile(const std::string& text) {
  static const std::regex kMobile("^1[0-9]{10}$");
  return std::regex_match(text, kMobile);
}

HttpStandin::Reply inquire(Call& call) {
  auto& state = call.feature<InsuranceState>();
  const std::string billno = call.fieldOr("billno");
  const auto* product = state.product(billno);
  if (!product) return call.error(kNoSuchProduct, "保险产品不存在");
  auto fen = Call::amount12(call.fieldOr("amount"));
  if (!fen || fen != fenOf(textOf(product->record, "isancePrice"))) return call.error(MainApiStandin::kBadRequest, "金额错误");
  InsuranceState::Inquiry inquiry{billno, *fen, call.fieldOr("idnumber"), call.fieldOr("mobileno"), call.fieldOr("addpad")};
  if (inquiry.idnumber.empty()) return call.error(MainApiStandin::kBadRequest, "缺少证件号码");
  if (!isMobile(inquiry.mobileno)) return call.error(MainApiStandin::kBadRequest, "手机号码错误");
  if (auto fault = policyFault(inquiry.addpad, product->record)) return call.error(kBadPolicy, *fault);
  const std::string sid = "I" + std::to_string(state.inquiries.size() + 1);
  state.inquiries[sid] = std::move(inquiry);
  return call.ok(Json::object({{"sid", sid}, {"billno", billno}, {"price", std::to_string(*fen)}}));
}

Call::Refusal checkCommit(Call& call, std::optional<int64_t>& fen) {
  auto& state = call.feature<InsuranceState>();
  auto it = state.inquiries.find(call.fieldOr("srcsid"));
  if (it == state.inquiries.end()) return call.error(kNoSuchInquiry, "查询流水号不存在");
  const InsuranceState::Inquiry& inquiry = it->second;
  if (call.fieldOr("billno") != inquiry.billno) return call.error(MainApiStandin::kBadRequest, "保险产品不符");
  if (!fen || *fen != inquiry.amountFen) return call.error(MainApiStandin::kBadRequest, "金额不符");
  if (call.fieldOr("idnumber") != inquiry.idnumber || call.fieldOr("mobileno") != inquiry.mobileno ||
      call.fieldOr("addpad") != inquiry.addpad) {
    return call.error(kBadPolicy, "保单信息与查询不符");
  }
  return std::nullopt;
}

}  // namespace

InsuranceState::InsuranceState() {
  products.push_back({record({{"isanceId", "INS001"},
                              {"isanceName", " 境内旅行意外险 "},
                              {"isancePrice", "20.00"},
                              {"oldPrice", ""},
                              {"isanceSrc", ""},
                              {"longDescription", "出行意外伤害保障，最高赔付十万元"},
                              {"shortDescription", ""},
                              {"buyReason", "<p>购买理由</p>"},
                              {"proFeatures", "<p>产品特色</p>"},
                              {"interest", "<p>保险利益</p>"},
                              {"extend01", ""},
                              {"isanceType", "0"},
                              {"period", "7"}}),
                      false});
  products.push_back({record({{"isanceId", "INS002"},
                              {"isanceName", "境外旅行保障计划"},
                              {"isancePrice", "128.50"},
                              {"oldPrice", ""},
                              {"isanceSrc", ""},
                              {"longDescription", "境外出行医疗与意外保障"},
                              {"shortDescription", ""},
                              {"buyReason", "<p>境外购买理由</p>"},
                              {"proFeatures", "<p>境外产品特色</p>"},
                              {"interest", "<p>境外保险利益</p>"},
                              {"extend01", "<p>理赔须知</p>"},
                              {"isanceType", "1"},
                              {"period", "30"}}),
                      false});
  products.push_back({record({{"isanceId", "FIN001"},
                              {"isanceName", "一年期家财险"},
                              {"isancePrice", "99.00"},
                              {"oldPrice", "150.00"},
                              {"isanceSrc", ""},
                              {"longDescription", "家庭财产综合保障"},
                              {"shortDescription", "限时优惠六六折"},
                              {"buyReason", "<p>家财购买理由</p>"},
                              {"proFeatures", "<p>家财产品特色</p>"},
                              {"interest", "<p>家财保险利益</p>"},
                              {"extend01", "  "},
                              {"isanceType", "0"},
                              {"period", "365"}}),
                      true});
  areas = Json::array({record({{"cNm", "北京"}, {"cNmC", "beijing"}, {"pNm", "北京"}}),
                       record({{"cNm", "广州"}, {"cNmC", "guangzhou"}, {"pNm", "广东"}}),
                       record({{"cNm", "上海"}, {"cNmC", "shanghai"}, {"pNm", "上海"}}),
                       record({{"cNm", "保定"}, {"cNmC", "baoding"}, {"pNm", "河北"}}),
                       record({{"cNm", "深圳"}, {"cNmC", "shenzhen"}, {"pNm", "广东"}})});
  countries = Json::array(
      {record({{"countryNameCn", "日本"}, {"countryCnPy", "riben"}, {"countryNameUs", "Japan"}, {"countryCode", "JP"}}),
       record({{"countryNameCn", "法国"}, {"countryCnPy", "faguo"}, {"countryNameUs", "France"}, {"countryCode", "FR"}}),
       record({{"countryNameCn", "德国"}, {"countryCnPy", "deguo"}, {"countryNameUs", "Germany"}, {"countryCode", "DE"}})});
}

const InsuranceState::Product* InsuranceState::product(std::string_view id) const {
  for (const Product& p : products) {
    if (textOf(p.record, "isanceId") == id) return &p;
  }
  return nullptr;
}

void addInsuranceRoutes(MainApiStandin& server) {
  auto& rules = server.feature<BusidRules>();
  rules.inquiries["174"] = inquire;
  rules.commits["173"] = checkCommit;
  rules.commitReplies["173"] = [](Call& call, Json& data) {
    auto& state = call.feature<InsuranceState>();
    const std::string number = std::to_string(state.policies.size() + 1);
    state.policies.push_back("PL" + std::string(10 - std::min<size_t>(10, number.size()), '0') + number);
    data["policyId"] = state.policies.back();
  };

  server.addRoute("getInsuranceList", [](Call& call) {
    const std::string flag = call.fieldOr("isPromotion");
    if (flag != "0" && flag != "1") return call.error(MainApiStandin::kBadRequest, "参数错误");
    Json list = Json::array();
    for (const auto& p : call.feature<InsuranceState>().products) {
      if (p.promotion != (flag == "0")) continue;
      Json entry = Json::object();
      for (const char* key : kListKeys) entry[key] = textOf(p.record, key);
      list.push_back(std::move(entry));
    }
    return call.ok(std::move(list));
  });
  server.addRoute("getInsuranceInfo/", [](Call& call) {
    const auto& segments = call.segments();
    const auto* product = segments.size() == 2 ? call.feature<InsuranceState>().product(segments[1]) : nullptr;
    if (!product) return call.error(kNoSuchProduct, "保险产品不存在");
    return call.ok(product->record);
  });
  server.addRoute("getCityListOfProvince/", [](Call& call) {
    const auto& segments = call.segments();
    if (segments.size() != 2 || segments[1] != "0000") return call.error(MainApiStandin::kBadRequest, "参数错误");
    return call.ok(call.feature<InsuranceState>().areas);
  });
  server.addRoute("getCountryList", [](Call& call) { return call.ok(call.feature<InsuranceState>().countries); });
}

}  // namespace standin
