// Insurance from the product list to the card payment, against the main-API stand-in and the
// simulated reader box: the lists and the detail, the insured-person form with its checks and
// pickers, the dates and the refusal of a product without a cover, the policy inquiry and the
// prepared commit, then the card payment to the receipt.
#include <gtest/gtest.h>

#include "bills/BillsScreens.h"
#include "bills/CitySelectViewController.h"
#include "bills/InsuranceChooseViewController.h"
#include "bills/InsuranceDetailViewController.h"
#include "bills/InsuranceListViewController.h"
#include "bills/InsuranceNewBillViewController.h"
#include "bills/InsuranceOperations.h"
#include "bills/InsurancePickDateViewController.h"
#include "bills/InsuranceRullViewController.h"
#include "bills/InsuranceViewController.h"
#include "bills/testing/BillsTestFixture.h"
#include "pay/SwipeTimeOutViewController.h"
#include "pay/SwipeViewController.h"
#include "platform/device/UrlOpener.h"
#include "platform/foundation/Strings.h"
#include "platform/ui/ActionSheet.h"
#include "standin/mainapi/InsuranceRoutes.h"

namespace nvx {
namespace {

using platform::Json;
using platform::RunLoop;
using platform::Strings;
using Scripted = standin::MainApiStandin::Scripted;
using Names = std::vector<std::string>;

std::string key(const char* k) { return Strings::localized(k); }

// --- the rules of a policy ------------------------------------------------------------------------

TEST(InsuranceRulesTest, TheCoverCountsTheStartDayAndCrossesMonthsAndYears) {
  struct Case {
    const char* start;
    int64_t days;
    std::optional<std::string> end;
  };
  const Case cases[] = {
      {"2013-06-02", 1, "2013-06-02"},   // one day ends on the start date
      {"2013-06-02", 7, "2013-06-08"},
      {"2013-06-02", 365, "2014-06-01"},
      {"2028-02-28", 2, "2028-02-29"},   // a leap day
      {"2027-02-28", 2, "2027-03-01"},
      {"2026-12-31", 2, "2027-01-01"},
      {"2013-06-02", 0, std::nullopt},   // no cover: no end date before the start
      {"2013-06-02", -5, std::nullopt},
      {"2013-02-30", 7, std::nullopt},   // no such day
      {"2013-6-2", 7, std::nullopt},
      {"", 7, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " + " + std::to_string(c.days));
    EXPECT_EQ(InsuranceOperations::endDate(c.start, c.days), c.end);
  }
}

TEST(InsuranceRulesTest, OnlyAWholePositiveCoverCounts) {
  struct Case {
    Json period;
    std::optional<int64_t> days;
  };
  const Case cases[] = {
      {"7", 7},          {"365", 365},       {Json(30), 30},     {Json(), std::nullopt},  // missing
      {"", std::nullopt}, {"0", std::nullopt}, {"-3", std::nullopt}, {"7.5", std::nullopt},
      {"7天", std::nullopt}, {" 7", std::nullopt}, {"999999", std::nullopt},  // past any cover
      {Json(0), std::nullopt}, {Json(7.5), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.period.dump());
    Json product = {{"isanceId", "X"}};
    if (!c.period.is_null()) product["period"] = c.period;
    EXPECT_EQ(InsuranceOperations::coverDays(product), c.days);
  }
}

TEST(InsuranceRulesTest, ThePolicyTextHasSixFieldsOrEightWithACountryEndingInABar) {
  PolicyOrder order;
  order.name = "张三";
  order.email = "a@b.cn";
  order.startDate = "2013-06-02";
  order.endDate = "2013-06-08";
  order.product = {{"province", "广东"}, {"city", "广州"}};
  EXPECT_EQ(order.policyText(), "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州");
  order.country = Json{{"countryNameUs", "Japan"}, {"countryCode", "JP"}, {"countryNameCn", "日本"}};
  EXPECT_EQ(order.policyText(), "2013-06-02|2013-06-08|张三|a@b.cn|广东|广州|Japan|JP|");
}

// --- screens against the stand-in -----------------------------------------------------------------

class InsuranceTest : public testing::BillsTestFixture {
 protected:
  Json product(const char* id) {
    auto lock = server->lock();
    return server->feature<standin::InsuranceState>().product(id)->record;
  }
  void setProduct(const char* id, const std::function<void(Json&)>& change) {
    auto lock = server->lock();
    for (auto& p : server->feature<standin::InsuranceState>().products) {
      if (p.record.value("isanceId", "") == id) change(p.record);
    }
  }
  template <class Screen>
  std::shared_ptr<Screen> show(std::shared_ptr<Screen> screen) {
    services->navigation->push(screen, false);
    RunLoop::main().advance(1);
    return screen;
  }
  std::shared_ptr<InsuranceListViewController> openList(bool promotion) {
    const size_t before = calls("getInsuranceList");
    auto list = show(InsuranceListViewController::initWithIsPromotion(promotion));
    EXPECT_TRUE(awaitReply([&] { return calls("getInsuranceList") > before && !spinnerShownOnNavigation(); }));
    return list;
  }
  bool spinnerShownOnNavigation() const { return !platform::ui::Hud::on(*services->navigation->view()).empty(); }
  static std::string query(const std::optional<standin::HttpStandin::Request>& r) { return r ? r->query : "<none>"; }
  // The date screen of a product with an area chosen (and a country when given).
  std::shared_ptr<InsurancePickDateViewController> dates(Json record, std::optional<Json> country = std::nullopt) {
    record["province"] = "广东";
    record["city"] = "广州";
    auto screen = InsurancePickDateViewController::initWithName("张三", "11010519491231002X", "13912345678",
                                                                "zs@example.cn", std::move(record));
    screen->setCountryInfo(std::move(country));
    return show(screen);
  }
};

TEST_F(InsuranceTest, TheEntryOpensTheIntroductionAndThePromotionListTheLogoThePlainList) {
  bills::registerScreens();
  auto entry = std::dynamic_pointer_cast<InsuranceChooseViewController>(
      ScreenRegistry::shared().create(InsuranceChooseViewController::kClassName));
  ASSERT_TRUE(entry);
  show(entry);
  EXPECT_EQ(entry->title(), key("Insurance_Financing"));
  ASSERT_TRUE(inspector().tapCell(*entry->tableView(), {0, 1}).isOk());
  auto promotion = std::dynamic_pointer_cast<InsuranceListViewController>(top());
  ASSERT_TRUE(promotion);
  EXPECT_TRUE(promotion->isPromotion());
  services->navigation->pop(false);
  ASSERT_TRUE(inspector().tapCell(*entry->tableView(), {0, 0}).isOk());
  auto intro = std::dynamic_pointer_cast<InsuranceViewController>(top());
  ASSERT_TRUE(intro);
  RunLoop::main().advance(1);
  ASSERT_TRUE(intro->logoButton()->tap());
  auto plain = std::dynamic_pointer_cast<InsuranceListViewController>(top());
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->isPromotion());
}

TEST_F(InsuranceTest, ThePlainListAsksWithOneThePromotionListWithZeroAndShowsFormerPrices) {
  auto plain = openList(false);
  EXPECT_NE(query(lastRequestTo("getInsuranceList")).find("&isPromotion=1"), std::string::npos);
  EXPECT_EQ(query(lastRequestTo("getInsuranceList")).rfind("uid=", 0), 0u);
  EXPECT_EQ(plain->tableView()->tableHeaderView(), nullptr);
  ASSERT_EQ(plain->insuranceList().size(), 2u);
  auto rows = plain->tableView()->visibleCells();
  ASSERT_EQ(rows.size(), 2u);
  auto first = rows[0]->contentView()->findSubview<InsuranceDisplayView>();
  auto last = rows[1]->contentView()->findSubview<InsuranceDisplayView>();
  ASSERT_TRUE(first && last);
  EXPECT_TRUE(first->bottomLine());
  EXPECT_FALSE(last->bottomLine());   // the last row has no line under it
  EXPECT_EQ(first->priceLabel()->text(), "￥20.00");
  EXPECT_FALSE(first->originPriceLabel());
  EXPECT_EQ(first->insuranceId(), "INS001");

  auto promotion = openList(true);
  EXPECT_NE(query(lastRequestTo("getInsuranceList")).find("&isPromotion=0"), std::string::npos);
  ASSERT_TRUE(promotion->tableView()->tableHeaderView());
  EXPECT_TRUE(platform::ui::Inspector(services->mainWindow).byText(key("Ins_Tips1")));
  auto row = promotion->tableView()->visibleCells().at(0)->contentView()->findSubview<InsuranceDisplayView>();
  ASSERT_TRUE(row && row->originPriceLabel());
  EXPECT_EQ(row->originPriceLabel()->text(), "￥150.00");
  EXPECT_EQ(row->promoteLabel()->text(), "限时优惠六六折");
  EXPECT_FALSE(prompt());
}

TEST_F(InsuranceTest, AnEmptyListOrAFailedOneLeavesTheTableAsItWas) {
  struct Case {
    const char* name;
    Scripted answer;
    std::optional<std::string> prompt;
  };
  const std::vector<Case> cases = {
      {"an empty list", Scripted::success(Json::array()), std::nullopt},
      {"no answer", Scripted::dropConnection(), std::nullopt},
      {"a refusal", Scripted::error("3999", "产品维护中"), std::string("产品维护中")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("getInsuranceList", c.answer, 1);
    const size_t before = server->verdicts().size();
    auto list = show(InsuranceListViewController::initWithIsPromotion(false));
    ASSERT_TRUE(awaitReply([&] { return server->verdicts().size() > before && !spinnerShownOnNavigation(); }));
    EXPECT_TRUE(list->insuranceList().empty());
    EXPECT_EQ(prompt(), c.prompt);
    settle();
    services->navigation->popToRoot(false);
  }
}

TEST_F(InsuranceTest, ARowOpensTheDetailWithThreeOrFourTabsAndTheBuyButtonTheForm) {
  auto list = openList(false);
  ASSERT_TRUE(inspector().tapCell(*list->tableView(), {0, 1}).isOk());
  ASSERT_TRUE(awaitReply([&] { return std::dynamic_pointer_cast<InsuranceDetailViewController>(top()) != nullptr; }));
  EXPECT_NE(lastRequestTo("getInsuranceInfo")->path.find("getInsuranceInfo/INS002.json"), std::string::npos);
  auto detail = std::dynamic_pointer_cast<InsuranceDetailViewController>(top());
  RunLoop::main().advance(1);
  // "extend01" has text: four tabs, 300 wide, the first shown without a touch.
  EXPECT_EQ(detail->segmentedControl()->allItems().size(), 4u);
  EXPECT_EQ(detail->segmentedControl()->frame().width, 300);
  EXPECT_EQ(detail->segmentedControl()->selectedIndex(), 0);
  EXPECT_EQ(detail->webView()->pageText(), "境外购买理由");
  // The header keeps the picture, name and price only.
  EXPECT_FALSE(detail->header()->descriptionLabel()->superview());
  EXPECT_EQ(detail->header()->titleLabel()->text(), "境外旅行保障计划");

  ASSERT_TRUE(detail->segmentedControl()->allItems()[3]->tap());
  RunLoop::main().advance(1);
  EXPECT_EQ(detail->selectedIndex(), 3);
  EXPECT_EQ(detail->webView()->pageText(), "理赔须知");
  // The tab already shown loads nothing again.
  const auto loadsBefore = detail->webView()->request();
  ASSERT_TRUE(detail->segmentedControl()->allItems()[3]->tap());
  EXPECT_EQ(detail->webView()->request(), loadsBefore);

  ASSERT_TRUE(detail->buyButton()->tap());
  auto form = std::dynamic_pointer_cast<InsuranceNewBillViewController>(top());
  ASSERT_TRUE(form);
  EXPECT_EQ(form->insuranceInfo().value("isanceId", ""), "INS002");
  EXPECT_TRUE(form->needsCountry());

  // Blanks only in "extend01": three tabs, 225 wide.
  Json blanks = product("FIN001");
  auto three = show(InsuranceDetailViewController::initWithInsuranceDetailInfo(blanks, true));
  EXPECT_EQ(three->segmentedControl()->allItems().size(), 3u);
  EXPECT_EQ(three->segmentedControl()->frame().width, 225);
  EXPECT_EQ(three->header()->originPriceLabel()->text(), "￥150.00");
}

TEST_F(InsuranceTest, ADetailRefusalIsPromptedAndTheListStays) {
  auto list = openList(false);
  server->script("getInsuranceInfo", Scripted::error("3101", "保险产品不存在"), 1);
  ASSERT_TRUE(inspector().tapCell(*list->tableView(), {0, 0}).isOk());
  ASSERT_TRUE(awaitReply([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), "保险产品不存在");
  EXPECT_EQ(top(), list);
}

TEST_F(InsuranceTest, TheFormIsFilledFromTheUsersRecordAndItsChecksStopInOrder) {
  server->script("getUserInfo", Scripted::success({{"realName", "张三"},
                                                   {"email", "zs@example.cn"},
                                                   {"mobileNum", "13912345678"},
                                                   {"idCardInfo", {{"idCardId", "11010519491231002X"}}}}));
  Json record = product("INS002");   // needs a country
  auto form = show(InsuranceNewBillViewController::initwithInsuranceInfo(record));
  ASSERT_TRUE(awaitReply([&] { return form->nameField()->text() == "张三"; }));
  EXPECT_EQ(form->phoneField()->text(), "139-1234-5678");
  EXPECT_EQ(form->tableView()->numberOfRows(0), 6);
  // The e-mail lifts the view above the keyboard; a touch on the table settles it again.
  const double y = form->view()->frame().y;
  ASSERT_TRUE(form->emailField()->becomeFirstResponder());
  RunLoop::main().advance(1);
  EXPECT_EQ(form->view()->frame().y, y - InsuranceNewBillViewController::kEmailLift);
  form->touchUpInsideEndedCustomTableView(*form->tableView());
  RunLoop::main().advance(1);
  EXPECT_EQ(form->view()->frame().y, y);
  EXPECT_FALSE(form->emailField()->isFirstResponder());
  EXPECT_NE(lastRequestTo("getUserInfo")->path.find(std::string("getUserInfo/") + kLoginName), std::string::npos);
  EXPECT_EQ(query(lastRequestTo("getUserInfo")).rfind(std::string("userToken=") + kUserToken + "&verifyType=1&uid=", 0),
            0u);

  struct Case {
    const char* name;
    std::string person;
    std::string identity;
    const char* prompt;
  };
  const std::vector<Case> cases = {
      {"one character", "张", "11010519491231002X", "Ins_Error_name"},
      {"33 characters", std::string(33, 'a'), "11010519491231002X", "Ins_Error_name"},
      {"a blank between the parts", "Zhang San", "11010519491231002X", "Ins_Error_name"},
      {"a digit", "张3", "11010519491231002X", "Ins_Error_name"},
      {"a wrong check character", "张三", "110105194912310021", "Ins_Error_Identity"},
      {"a 15-digit number passes", "张三", "110105491231002", "Ins_Error_Address"},
      {"32 Latin letters pass", std::string(32, 'a'), "11010519491231002X", "Ins_Error_Address"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form->nameField()->setText(c.person);
    form->identityField()->setText(c.identity);
    ASSERT_TRUE(form->nextButton()->tap());
    EXPECT_EQ(prompt(), key(c.prompt));
    EXPECT_EQ(top(), form);
    settle();
  }
  form->identityField()->setText("11010519491231002X");
  form->phoneField()->setText("239-1234-5678");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Ins_Error_CellPhone"));
  settle();
  form->phoneField()->setText("139-1234-5678");
  form->emailField()->setText("zs at example");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Ins_Error_Email"));
  settle();
  form->emailField()->setText("zs@example.cn");

  // The area: twice, the last one counts.
  for (const char* city : {"北京", "广州"}) {
    ASSERT_TRUE(inspector().tapCell(*form->tableView(), {0, 4}).isOk());
    auto picker = std::dynamic_pointer_cast<CitySelectViewController>(top());
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->urlString().find(server->apiBaseAddress() + "getCityListOfProvince/0000.json?uid="), 0u);
    ASSERT_TRUE(awaitReply([&] { return !picker->charactorArray().empty(); }));
    ASSERT_TRUE(inspector().tapCellWithText(city).isOk());
    EXPECT_EQ(top(), form);
    RunLoop::main().advance(1);
  }
  EXPECT_EQ(form->insuranceInfo().value("city", ""), "广州");
  EXPECT_EQ(form->insuranceInfo().value("province", ""), "广东");
  ASSERT_TRUE(form->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Ins_Error_Country"));
  settle();

  ASSERT_TRUE(inspector().tapCell(*form->tableView(), {0, 5}).isOk());
  auto countries = std::dynamic_pointer_cast<CitySelectViewController>(top());
  ASSERT_TRUE(countries);
  ASSERT_TRUE(awaitReply([&] { return !countries->charactorArray().empty(); }));
  ASSERT_TRUE(inspector().tapCellWithText("日本").isOk());
  RunLoop::main().advance(1);
  ASSERT_TRUE(form->nextButton()->tap());
  auto next = std::dynamic_pointer_cast<InsurancePickDateViewController>(top());
  ASSERT_TRUE(next);
  // The date screen gets the phone without separators, and the country.
  EXPECT_EQ(next->cellPhoneNumber(), "13912345678");
  ASSERT_TRUE(next->countryInfo());
  EXPECT_EQ(next->countryInfo()->value("countryCode", ""), "JP");
}

TEST_F(InsuranceTest, AProductWithoutCountryHasFiveRowsAndTheFormClosesWhenThePrefillGetsNoAnswer) {
  server->script("getUserInfo", Scripted::dropConnection(), 1);
  auto form = show(InsuranceNewBillViewController::initwithInsuranceInfo(product("INS001")));
  EXPECT_EQ(form->tableView()->numberOfRows(0), 5);
  ASSERT_TRUE(awaitReply([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), InsuranceNewBillViewController::kPrefillFailed);
  EXPECT_EQ(top(), form);
  RunLoop::main().advance(2.5);
  EXPECT_NE(top(), form);
}

TEST_F(InsuranceTest, ThePickerFilesEntriesUnderUpperCaseLettersInReplyOrderAndTheBlankIndexLeadsNowhere) {
  auto picker = CitySelectViewController::initWithTitle("t", InsuranceOperations::cityListRequest());
  picker->fileEntries(Json::array({Json{{"cNm", "广州"}, {"cNmC", "guangzhou"}, {"pNm", "广东"}},
                                   Json{{"cNm", "北京"}, {"cNmC", "Beijing"}, {"pNm", "北京"}},
                                   Json{{"cNm", "贵阳"}, {"cNmC", "guiyang"}, {"pNm", "贵州"}},
                                   Json{{"cNm", "无拼音"}, {"pNm", "某省"}},   // cannot be filed
                                   Json{{"cNm", "保定"}, {"cNmC", "baoding"}, {"pNm", "河北"}}}));
  EXPECT_EQ(picker->charactorArray(), (Names{"B", "G"}));
  ASSERT_EQ(picker->cityDic().at("G").size(), 2u);
  EXPECT_EQ(picker->cityDic().at("G")[0].value("cNm", ""), "广州");
  EXPECT_EQ(picker->cityDic().at("G")[1].value("cNm", ""), "贵阳");
  EXPECT_EQ(picker->cityDic().at("B")[0].value("cNm", ""), "北京");
  EXPECT_EQ(picker->sectionIndexTitles(), (Names{"B", "G", " "}));
  EXPECT_EQ(picker->sectionForSectionIndexTitle(1), 1);
  EXPECT_EQ(picker->sectionForSectionIndexTitle(2), std::nullopt);
  show(picker);
  picker->touchSectionIndex(2);   // must not reach for a third section
}

TEST_F(InsuranceTest, DatesStartTomorrowOnlyDoneRecordsAPickAndTheEndFollowsTheCover) {
  auto screen = dates(product("INS001"));   // seven days
  ASSERT_EQ(screen->pickableDates().size(), 90u);
  EXPECT_EQ(screen->pickableDates().front(), "2013-06-02");
  EXPECT_EQ(screen->pickableDates().back(), "2013-08-30");
  EXPECT_EQ(screen->dateString(), "2013-06-02");
  EXPECT_EQ(screen->endDateString(), "2013-06-08");
  EXPECT_TRUE(screen->tableView()->viewWithTag(InsurancePickDateViewController::kEndDateTag));

  // Cancel drops a picked date.
  ASSERT_TRUE(inspector().tapCell(*screen->tableView(), {0, 0}).isOk());
  EXPECT_TRUE(screen->isPickerShow());
  ASSERT_TRUE(inspector().pick(*screen->datePicker(), 0, 9).isOk());
  screen->toolbar()->items().front()->trigger();
  EXPECT_FALSE(screen->isPickerShow());
  EXPECT_EQ(screen->dateString(), "2013-06-02");
  // Done records it.
  ASSERT_TRUE(inspector().tapCell(*screen->tableView(), {0, 0}).isOk());
  ASSERT_TRUE(inspector().pick(*screen->datePicker(), 0, 9).isOk());
  screen->toolbar()->items().back()->trigger();
  EXPECT_EQ(screen->dateString(), "2013-06-11");
  EXPECT_EQ(screen->endDateString(), "2013-06-17");
  // A second touch on the start row records as well.
  ASSERT_TRUE(inspector().tapCell(*screen->tableView(), {0, 0}).isOk());
  ASSERT_TRUE(inspector().pick(*screen->datePicker(), 0, 89).isOk());
  ASSERT_TRUE(inspector().tapCell(*screen->tableView(), {0, 0}).isOk());
  EXPECT_EQ(screen->dateString(), "2013-08-30");
  EXPECT_EQ(screen->combineStringWithInsuranceInfo(), "2013-08-30|2013-09-05|张三|zs@example.cn|广东|广州");
}

TEST_F(InsuranceTest, NextRefusesAProductWithoutCoverUnacceptedRulesAndSendsNothing) {
  Json noCover = product("INS001");
  noCover.erase("period");
  auto screen = dates(noCover);
  // No end date is made up before the start date.
  EXPECT_EQ(screen->endDateString(), "");
  EXPECT_FALSE(screen->tableView()->viewWithTag(InsurancePickDateViewController::kEndDateTag));
  screen->buttonSelected();
  ASSERT_TRUE(screen->nextButton()->tap());
  EXPECT_EQ(prompt(), key("Ins_Error_Period"));
  settle();
  // A price that is no amount of fen cannot be charged.
  for (const char* price : {"", "免费", "0", "-5"}) {
    SCOPED_TRACE(price);
    Json badPrice = product("INS001");
    badPrice["isancePrice"] = price;
    auto priced = dates(badPrice);
    priced->buttonSelected();
    ASSERT_TRUE(priced->nextButton()->tap());
    EXPECT_EQ(prompt(), key("Ins_Error_Price"));
    settle();
  }

  auto unaccepted = dates(product("INS001"));
  // The rules label trims the name; the refusal uses it as stored.
  EXPECT_EQ(unaccepted->rulesLabel()->text(), InsuranceOperations::format(key("Pacific_Rules"), "境内旅行意外险"));
  ASSERT_TRUE(unaccepted->nextButton()->tap());
  EXPECT_EQ(prompt(), InsuranceOperations::format(key("Ins_Error_Rule_Read"), " 境内旅行意外险 "));
  EXPECT_EQ(calls("queryTrans"), 0u);

  ASSERT_TRUE(unaccepted->rulesButton()->tap());
  auto rules = std::dynamic_pointer_cast<InsuranceRullViewController>(top());
  ASSERT_TRUE(rules);
  ASSERT_TRUE(awaitReply([&] { return rules->webView()->hasPage(); }));
  const std::string rulesQuery = query(lastRequestTo("getBusiDesc"));
  EXPECT_EQ(rulesQuery.rfind("uid=", 0), 0u) << rulesQuery;
  EXPECT_NE(rulesQuery.find("&busId=INS001"), std::string::npos) << rulesQuery;
  EXPECT_EQ(rules->webView()->pageText(), "业务说明");
}

TEST_F(InsuranceTest, ARulesPageWithoutAnswerSaysSoAndKeepsTheName) {
  server->script("getBusiDesc", Scripted::dropConnection(), 1);
  auto rules = show(InsuranceRullViewController::initWithInsuranceInfo(product("INS002")));
  ASSERT_TRUE(awaitReply([&] { return prompt().has_value(); }));
  EXPECT_EQ(prompt(), key("NetWord_Failed"));
  EXPECT_EQ(rules->nameLabel()->text(), "境外旅行保障计划");
  EXPECT_FALSE(rules->webView()->hasPage());
}

TEST_F(InsuranceTest, APolicyIsInquiredPaidByCardAndCommittedWithItsPolicyText) {
  startBox();
  Json country = {{"countryNameCn", "日本"}, {"countryCnPy", "riben"}, {"countryNameUs", "Japan"}, {"countryCode", "JP"}};
  auto screen = dates(product("INS002"), country);   // 30 days, 128.50
  screen->buttonSelected();
  ASSERT_TRUE(screen->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
  RunLoop::main().advance(1);
  auto swipe = std::dynamic_pointer_cast<SwipeViewController>(top());

  const std::string policy = "2013-06-02|2013-07-01|张三|zs@example.cn|广东|广州|Japan|JP|";
  auto inquiry = lastRequestTo("queryTrans");
  ASSERT_TRUE(inquiry);
  EXPECT_EQ(inquiry->query.rfind("uid=", 0), 0u);
  EXPECT_EQ(lastFieldNames("queryTrans"),
            (Names{"busid", "termid", "mobile", "userToken", "idnumber", "mobileno", "billno", "addpad"}));
  EXPECT_EQ(inquiry->formValue("busid"), "174");
  EXPECT_EQ(inquiry->formValue("addpad"), policy);
  EXPECT_EQ(inquiry->formValue("amount"), "000000012850");
  EXPECT_EQ(screen->sid(), "I1");

  const auto& rows = swipe->info()->labelSource();
  ASSERT_EQ(rows.size(), 10u);
  EXPECT_EQ(rows[5]->rightValue(), "广东  广州");
  EXPECT_EQ(rows[9]->amount(), 12850);
  EXPECT_TRUE(rows[9]->isRed());
  EXPECT_EQ(swipe->businessType(), 22);
  EXPECT_EQ(swipe->transactionData(), (Json{{"price", "128.50"}}));
  EXPECT_EQ(storedNames(), (Names{"busid", "termid", "mobile", "userToken", "srcsid", "billno", "idnumber", "mobileno",
                                  "addpad", "amount"}));
  EXPECT_EQ(stored("busid"), "173");
  EXPECT_EQ(stored("srcsid"), "I1");
  EXPECT_EQ(stored("addpad"), policy);
  EXPECT_EQ(calls("commitTransaction"), 0u);

  ASSERT_TRUE(payByCard(*swipe));
  RunLoop::main().advance(1);
  EXPECT_EQ(receipts.back()->businessType, 22);
  EXPECT_EQ(receipts.back()->retData.value("policyId", ""), "PL0000000001");
  auto sent = commits();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].busid, "173");
  EXPECT_EQ(sent[0].amountFen, 12850);
  EXPECT_TRUE(sent[0].withPin);
}

TEST_F(InsuranceTest, AnInquiryRefusalOrAReplyWithoutSerialNumberOpensNoPayScreen) {
  startBox();
  struct Case {
    const char* name;
    Scripted answer;
    std::string prompt;
  };
  const std::vector<Case> cases = {
      {"a refusal", Scripted::error("3102", "保单信息格式错误"), "保单信息格式错误"},
      {"no serial number", Scripted::success(Json{{"billno", "INS001"}}), key("Error_Data")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->script("queryTrans", c.answer, 1);
    const size_t before = calls("queryTrans");
    auto screen = dates(product("INS001"));
    screen->buttonSelected();
    ASSERT_TRUE(screen->nextButton()->tap());
    ASSERT_TRUE(pump([&] { return prompt().has_value() && calls("queryTrans") > before; }));
    EXPECT_EQ(prompt(), c.prompt);
    EXPECT_EQ(top(), screen);
    EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), std::nullopt);
    settle();
    services->navigation->popToRoot(false);
  }
}

TEST_F(InsuranceTest, TheIndicatorStaysOverTheNavigationWhileTheListLoads) {
  server->script("getInsuranceList", Scripted::heldReply(), 1);
  auto list = show(InsuranceListViewController::initWithIsPromotion(false));
  ASSERT_TRUE(awaitReply([&] { return server->http().heldCount() == 1; }));
  RunLoop::main().advance(1);
  EXPECT_TRUE(spinnerShownOnNavigation());
  server->http().releaseHeld();
  ASSERT_TRUE(awaitReply([&] { return !list->insuranceList().empty(); }));
  EXPECT_FALSE(spinnerShownOnNavigation());
}

TEST_F(InsuranceTest, ScreensLeftBeforeTheirRepliesOpenNothing) {
  // The list, gone before its product's record arrives.
  auto list = openList(false);
  server->script("getInsuranceInfo", Scripted::heldReply(), 1);
  ASSERT_TRUE(inspector().tapCell(*list->tableView(), {0, 0}).isOk());
  ASSERT_TRUE(awaitReply([&] { return server->http().heldCount() == 1; }));
  services->navigation->popToRoot(false);
  std::weak_ptr<InsuranceListViewController> gone = list;
  list.reset();
  RunLoop::main().advance(1);
  EXPECT_TRUE(gone.expired());
  server->http().releaseHeld();
  RunLoop::main().drainIoUntil([] { return false; }, std::chrono::milliseconds(200));
  RunLoop::main().advance(1);
  EXPECT_EQ(top(), services->navigation->stack().front());

  // The date screen, gone before its inquiry's answer: no pay screen, no commit prepared.
  startBox();
  server->script("queryTrans", Scripted::heldReply(), 1);
  auto screen = dates(product("INS001"));
  screen->buttonSelected();
  ASSERT_TRUE(screen->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return server->http().heldCount() == 1; }));
  services->navigation->popToRoot(false);
  screen.reset();
  RunLoop::main().advance(1);
  server->http().releaseHeld();
  ASSERT_TRUE(pump([&] { return calls("queryTrans") == 1 && !spinnerShown(); }, 5));
  EXPECT_EQ(std::dynamic_pointer_cast<SwipeViewController>(top()), nullptr);
  EXPECT_EQ(Tools::sharedInstance().infoValue("busid"), std::nullopt);
}

TEST_F(InsuranceTest, APolicyCommitWhoseAnswerIsLostIsNeitherShownAsFailedNorSentAgain) {
  startBox();
  server->script("commitTransaction", Scripted::dropAfterProcessing(), 1);
  auto screen = dates(product("INS001"));
  screen->buttonSelected();
  ASSERT_TRUE(screen->nextButton()->tap());
  ASSERT_TRUE(pump([&] { return std::dynamic_pointer_cast<SwipeViewController>(top()) != nullptr; }));
  RunLoop::main().advance(1);
  auto swipe = std::dynamic_pointer_cast<SwipeViewController>(top());
  ASSERT_TRUE(pump([&] { return box->isArmed(); }, 10));
  ASSERT_TRUE(box->swipe());
  ASSERT_TRUE(pump([&] { return !swipe->track().empty(); }, 10));
  auto keypad = std::dynamic_pointer_cast<NVXKeyboardView>(swipe->passwordTextField()->inputView());
  ASSERT_TRUE(keypad);
  for (char c : std::string("123456")) swipe->keyboadView(*keypad, c - '0');
  ASSERT_TRUE(swipe->doneButton()->tap());
  ASSERT_TRUE(pump([&] { return top()->className() == SwipeTimeOutViewController::kClassName; }, 20));
  RunLoop::main().advance(70);
  EXPECT_EQ(top()->className(), SwipeTimeOutViewController::kClassName);
  EXPECT_EQ(calls("commitTransaction"), 1u);
  EXPECT_EQ(commits().size(), 1u);
  EXPECT_TRUE(receipts.empty());
}

TEST_F(InsuranceTest, TheServicePhoneIsCalledWhereThePhoneCanAndExplainedWhereItCannot) {
  auto form = show(InsuranceNewBillViewController::initwithInsuranceInfo(product("INS001")));
  auto& opener = platform::UrlOpener::shared();
  const bool couldCall = opener.openableSchemes().count("tel") > 0;
  for (bool canCall : {true, false}) {
    SCOPED_TRACE(canCall ? "a phone" : "no phone");
    opener.setOpenable("tel", canCall);
    const size_t opened = opener.opened().size();
    ASSERT_TRUE(form->telButton()->tap());
    ASSERT_TRUE(inspector().topSheet());
    EXPECT_EQ(inspector().topSheet()->title(), key("Ins_Description_Tel"));
    ASSERT_TRUE(inspector().chooseInSheet(key("Call")).isOk());
    if (canCall) {
      ASSERT_EQ(opener.opened().size(), opened + 1);
      EXPECT_EQ(opener.opened().back(), "tel:" + key("Ins_Description_Tel"));
      EXPECT_FALSE(inspector().topAlert());
    } else {
      auto alert = inspector().topAlert();
      ASSERT_TRUE(alert);
      EXPECT_EQ(alert->title(), key("ServicePhone") + key("BuyPhoneNumberText"));
      EXPECT_EQ(alert->message(), key("NoPhone"));
      ASSERT_TRUE(inspector().answerAlert(key("Know")).isOk());
    }
  }
  // Cancel calls nobody.
  const size_t opened = opener.opened().size();
  ASSERT_TRUE(form->telButton()->tap());
  ASSERT_TRUE(inspector().chooseInSheet(key("Cancel")).isOk());
  EXPECT_EQ(opener.opened().size(), opened);
  opener.setOpenable("tel", couldCall);
}

TEST(InsuranceDisplayViewTest, ALongNameTakesTwoLinesAndPushesThePricesAndTheDescriptionDown) {
  auto shortName = InsuranceDisplayView::initWithWillShowLine(true, true);
  shortName->setDescription("家庭财产综合保障");
  shortName->setTitle("家财险");
  auto longName = InsuranceDisplayView::initWithWillShowLine(true, true);
  longName->setDescription("家庭财产综合保障");
  longName->setTitle("一年期家庭财产综合保险升级版含盗抢及水管爆裂责任再加上很多很多附加条款");
  EXPECT_GT(longName->titleLabel()->frame().height, shortName->titleLabel()->frame().height);
  EXPECT_LE(longName->titleLabel()->frame().height, 2 * shortName->titleLabel()->frame().height + 1);
  EXPECT_GT(longName->priceLabel()->frame().y, shortName->priceLabel()->frame().y);
  EXPECT_EQ(longName->originPriceLabel()->frame().y, longName->priceLabel()->frame().y);
  EXPECT_GT(longName->descriptionLabel()->frame().y, longName->priceLabel()->frame().y);
  // Without promotion mode there is nothing to strike through or promote.
  auto plain = InsuranceDisplayView::initWithWillShowLine(false, false);
  plain->setOriginPrice("150.00");
  plain->setPromoteDescription("限时");
  EXPECT_FALSE(plain->originPriceLabel());
  EXPECT_FALSE(plain->promoteLabel());
  EXPECT_FALSE(plain->bottomLine());
}

}  // namespace
}  // namespace nvx
