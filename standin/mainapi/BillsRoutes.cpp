#include "standin/mainapi/BillsRoutes.h"

#include <regex>

#include "standin/mainapi/BusidRules.h"

namespace standin {

namespace {

using platform::Json;
using Call = MainApiStandin::RouteContext;

constexpr std::string_view kNoSuchBill = "3001";
constexpr std::string_view kNoSuchInquiry = "3002";

bool isMobile(const std::string& text) {
  static const std::regex kMobile("^1[0-9]{10}$");
  return std::regex_match(text, kMobile);
}

// A whole yuan text of a denomination ("100") in fen.
std::optional<int64_t> yuanToFen(const std::string& yuan) {
  if (yuan.empty() || yuan.size() > 9 || yuan.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoll(yuan) * 100;
}

Json entry(std::initializer_list<std::pair<const char*, std::string>> fields) {
  Json o = Json::object();
  for (const auto& [k, v] : fields) o[k] = v;
  return o;
}

// What each business's inquiry needs besides the shared checks.
struct InquiryKind {
  const char* busid;
  bool billno;      // a bill, account, project or card code
  bool mobileno;    // the number that receives a text message
  bool amount;      // the amount typed (the game card's comes from its code)
};
constexpr InquiryKind kInquiries[] = {
    {"M50005", true, false, true}, {"M50002", true, false, true}, {"M50004", true, false, true},
    {"M50006", true, false, true}, {"M50003", false, true, true}, {"M50008", true, false, true},
    {"M50007", true, true, false},
};

// Which inquiry a commit answers, and whether it must ask for a text message.
struct CommitKind {
  const char* busid;
  const char* inquiry;
  const char* issms;   // nullptr: the commit carries no "issms"
  bool mobileno;
};
constexpr CommitKind kCommits[] = {
    {"M20013", "M50005", "1", true},      {"M20010", "M50002", "0", false},
    {"M20012", "M50004", nullptr, false}, {"M20014", "M50006", nullptr, false},
    {"M20011", "M50003", nullptr, true},  {"M20016", "M50008", nullptr, false},
    {"M20015", "M50007", "1", true},
};

HttpStandin::Reply inquire(Call& call, const InquiryKind& kind) {
  auto& bills = call.feature<BillsState>();
  BillsState::Inquiry inquiry;
  inquiry.busid = kind.busid;
  inquiry.billno = call.fieldOr("billno");
  inquiry.mobileno = call.fieldOr("mobileno");
  if (kind.billno && inquiry.billno.empty()) return call.error(MainApiStandin::kBadRequest, "缺少账单号");
  if (kind.mobileno && !isMobile(inquiry.mobileno)) return call.error(MainApiStandin::kBadRequest, "手机号码错误");
  if (kind.amount) {
    auto fen = Call::amount12(call.fieldOr("amount"));
    if (!fen || *fen <= 0) return call.error(MainApiStandin::kBadRequest, "金额错误");
    inquiry.amountFen = *fen;
  } else {
    auto fen = bills.denominationFen(inquiry.billno);
    if (!fen) return call.error(kNoSuchBill, "点卡不存在");
    inquiry.amountFen = *fen;
  }
  inquiry.priceFen = inquiry.amountFen + bills.feeFen;
  const std::string sid = "Q" + std::to_string(bills.inquiries.size() + 1);
  Json data = Json::object();
  data["sid"] = sid;
  data["billno"] = inquiry.billno;
  data["price"] = inquiry.priceFen;
  data["fee"] = bills.feeFen;
  data["isfee"] = bills.feeFen > 0 ? "1" : "0";
  data["content"] = bills.content;
  if (std::string_view(kind.busid) == "M50004" && !bills.tenpayHolder.empty()) data["username"] = bills.tenpayHolder;
  bills.inquiries[sid] = std::move(inquiry);
  return call.ok(std::move(data));
}

Call::Refusal checkCommit(Call& call, std::optional<int64_t>& fen, const CommitKind& kind) {
  auto& bills = call.feature<BillsState>();
  auto it = bills.inquiries.find(call.fieldOr("srcsid"));
  if (it == bills.inquiries.end() && !bills.requireInquiry) return std::nullopt;
  if (it == bills.inquiries.end() || it->second.busid != kind.inquiry) {
    return call.error(kNoSuchInquiry, "查询流水号不存在");
  }
  const BillsState::Inquiry& inquiry = it->second;
  if (call.fieldOr("billno") != inquiry.billno) return call.error(MainApiStandin::kBadRequest, "账单号不符");
  // The card pays what the inquiry priced; the amount typed is what the business receives.
  if (fen && *fen != inquiry.amountFen && *fen != inquiry.priceFen) {
    return call.error(MainApiStandin::kBadRequest, "金额不符");
  }
  if (!fen) fen = inquiry.priceFen;
  if (kind.issms && call.fieldOr("issms") != kind.issms) return call.error(MainApiStandin::kBadRequest, "短信标志错误");
  if (kind.mobileno && !isMobile(call.fieldOr("mobileno"))) {
    return call.error(MainApiStandin::kBadRequest, "手机号码错误");
  }
  return std::nullopt;
}

// The mobile recharge: no inquiry; the denomination's code names what is charged.
Call::Refusal checkMobileRecharge(Call& call, std::optional<int64_t>& fen) {
  const std::string number = call.fieldOr("mobileno");
  if (!isMobile(number) || call.fieldOr("mobileno2") != number) {
    return call.error(MainApiStandin::kBadRequest, "手机号码错误");
  }
  auto value = call.feature<BillsState>().denominationFen(call.fieldOr("chgtype"));
  if (!value) return call.error(kNoSuchBill, "充值面额不存在");
  if (fen && *fen != *value) return call.error(MainApiStandin::kBadRequest, "金额不符");
  fen = *value;
  // The number joins the user's history.
  auto& used = call.feature<BillsState>().usedNumbers[call.fieldOr("mobile")];
  bool known = false;
  for (const auto& u : used) known = known || u.mobileNo == number;
  if (!known) used.push_back({number, ""});
  return std::nullopt;
}

HttpStandin::Reply listOf(Call& call, const std::map<std::string, Json, std::less<>>& lists) {
  const auto& segments = call.segments();
  if (segments.size() < 2 || segments[1].empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
  auto it = lists.find(segments[1]);
  return call.ok(it != lists.end() ? it->second : Json::array());
}

}  // namespace

BillsState::BillsState() {
  agencies.push_back(entry({{"ngoId", "N1"}, {"ngoNm", "希望工程基金会"}}));
  agencies.push_back(entry({{"ngoId", "N2"}, {"ngoNm", "红十字会"}}));
  projects["N1"] = Json::array({entry({{"projectId", "P11"}, {"projectNm", "山区小学图书角"}}),
                                entry({{"projectId", "P12"}, {"projectNm", "乡村教师培训"}})});
  projects["N2"] = Json::array({entry({{"projectId", "P21"}, {"projectNm", "应急救灾"}})});
  int order = 0;
  for (const char* value : {"10", "20", "30", "50", "100", "200", "300"}) {
    rechargeAmounts.push_back(entry({{"cardType", "MOBILE"},
                                     {"cardName", value},
                                     {"cardDesc", std::string(value) + "元"},
                                     {"cardCode", "CZ" + std::string(value)},
                                     {"cardOrder", std::to_string(++order)}}));
  }
  gameCardTypes.push_back(entry({{"cardType", "G1"}, {"cardDesc", "征途游戏点卡"}}));
  gameCardTypes.push_back(entry({{"cardType", "G2"}, {"cardDesc", "网易一卡通"}}));
  for (const auto& [type, values] : std::map<std::string, std::vector<const char*>>{{"G1", {"10", "50"}},
                                                                                   {"G2", {"15", "30", "100"}}}) {
    Json list = Json::array();
    for (const char* value : values) {
      list.push_back(entry({{"cardType", type},
                            {"cardName", value},
                            {"cardDesc", std::string(value) + "元点卡"},
                            {"cardCode", type + "-" + value},
                            {"cardOrder", "1"}}));
    }
    gameCardAmounts[type] = std::move(list);
  }
}

std::optional<int64_t> BillsState::denominationFen(std::string_view cardCode) const {
  auto find = [&](const Json& list) -> std::optional<int64_t> {
    for (const Json& e : list) {
      if (e.is_object() && e.value("cardCode", std::string()) == cardCode) return yuanToFen(e.value("cardName", std::string()));
    }
    return std::nullopt;
  };
  if (auto fen = find(rechargeAmounts)) return fen;
  for (const auto& [type, list] : gameCardAmounts) {
    if (auto fen = find(list)) return fen;
  }
  return std::nullopt;
}

void addBillsRoutes(MainApiStandin& server) {
  auto& rules = server.feature<BusidRules>();
  for (const InquiryKind& kind : kInquiries) {
    rules.inquiries[kind.busid] = [&kind](Call& call) { return inquire(call, kind); };
  }
  for (const CommitKind& kind : kCommits) {
    rules.commits[kind.busid] = [&kind](Call& call, std::optional<int64_t>& fen) { return checkCommit(call, fen, kind); };
  }
  rules.commits["M20020"] = checkMobileRecharge;

  server.addRoute("getNGOList", [](Call& call) { return call.ok(call.feature<BillsState>().agencies); });
  server.addRoute("getProjectListByNGO/", [](Call& call) { return listOf(call, call.feature<BillsState>().projects); });
  server.addRoute("getRechargeAmount", [](Call& call) { return call.ok(call.feature<BillsState>().rechargeAmounts); });
  server.addRoute("getGameCardType", [](Call& call) { return call.ok(call.feature<BillsState>().gameCardTypes); });
  server.addRoute("getGameCardAmountByCard/",
                  [](Call& call) { return listOf(call, call.feature<BillsState>().gameCardAmounts); });

  server.addRoute("getRechargeMobile", [](Call& call) {
    const std::string mobile = call.fieldOr("mobile");
    if (mobile.empty()) return call.error(MainApiStandin::kBadRequest, "参数错误");
    Json list = Json::array();
    for (const auto& u : call.feature<BillsState>().usedNumbers[mobile]) {
      list.push_back(entry({{"mobileNo", u.mobileNo}, {"mobileMark", u.mobileMark}}));
    }
    return call.ok(std::move(list));
  });
  auto change = [](bool remove) {
    return [remove](Call& call) {
      auto& used = call.feature<BillsState>().usedNumbers[call.fieldOr("mobile")];
      const std::string number = call.fieldOr("mobileNo");
      for (auto it = used.begin(); it != used.end(); ++it) {
        if (it->mobileNo != number) continue;
        if (remove) {
          used.erase(it);
        } else {
          it->mobileMark = call.fieldOr("mobileMark");
        }
        return call.ok();
      }
      return call.error(MainApiStandin::kNotFound, "号码不存在");
    };
  };
  server.addRoute("updateRechargeMobileMark", change(false));
  server.addRoute("deleteRechargeMobileHis", change(true));
}

}  // namespace standin
