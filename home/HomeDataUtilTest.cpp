#include "home/HomeDataUtil.h"

#include <gtest/gtest.h>

#include <set>

#include "core/shell/ScreenRegistry.h"
#include "home/RelationBuidToCrtUtil.h"
#include "home/UpdateDataUtil.h"
#include "platform/foundation/Archive.h"

namespace nvx {
namespace {

std::vector<std::string> titles(const HomeBoxList& boxes) {
  std::vector<std::string> out;
  for (const auto& b : boxes) out.push_back(b->title());
  return out;
}

std::vector<std::string> codes(const HomeBoxList& boxes) {
  std::vector<std::string> out;
  for (const auto& b : boxes) out.push_back(b->pushIdentifier());
  return out;
}

TEST(HomeDataUtil, TheCatalogueHas34BoxesInOrderEachWithItsCodeAndClass) {
  const auto all = HomeDataUtil::getAllBoxData();
  ASSERT_EQ(all.size(), 34u);
  for (const auto& box : all) {
    EXPECT_EQ(box->itemState().word(), 256u) << box->title();
    EXPECT_EQ(box->busId(), box->pushIdentifier()) << box->title();
    EXPECT_TRUE(box->tips().empty());
  }
  const std::vector<std::string> expected{
      "M50001", "M50010", "B00013", "172",    "M50005", "M20020", "B00015", "M30000", "B00014",
      "168",    "M50002", "173",    "16L",    "B00003", "B00004", "B00005", "B00006", "M50004",
      "M50003", "M50007", "M50006", "17E",    "B00007", "B00008", "B00009", "B00016", "B00017",
      "17L",    "B00018", "18I",    "B00019", "B00020", "B00021", "B00023"};
  EXPECT_EQ(codes(all), expected);
  // Titles: keys through the string table, literals unchanged.
  EXPECT_EQ(all[0]->title(), "信用卡还款");
  EXPECT_EQ(all[2]->title(), "彩票");
  EXPECT_EQ(all[6]->title(), "每周特惠");
  EXPECT_EQ(all[28]->title(), "澜舟专区");
  EXPECT_EQ(all[4]->iconImageName(), "home_icon_zdhfk");
  EXPECT_EQ(all[14]->targetCtr(), "PublicServiceViewController");
  EXPECT_EQ(all[2]->targetCtr(), HomeBoxData::kRootObjectClass);
  EXPECT_EQ(all[7]->targetCtr(), HomeBoxData::kRootObjectClass);
  EXPECT_EQ(all[0]->backgroundImageName(), "icon-bg-blue.png");
  std::set<std::string> distinct;
  for (const auto& t : titles(all)) distinct.insert(t);
  EXPECT_EQ(distinct.size(), 34u) << "the string table gives each business its own text";
}

TEST(HomeDataUtil, PageListsAndTheDefaultCommonPage) {
  EXPECT_EQ(titles(HomeDataUtil::getCardBoxData()),
            (std::vector<std::string>{"信用卡还款", "还款管理", "账单分期", "还款提醒"}));
  EXPECT_EQ(HomeDataUtil::getCardBoxData()[0]->backgroundImageName(), "icon-bg-green.png");
  EXPECT_EQ(codes(HomeDataUtil::getMobileBankBoxData()),
            (std::vector<std::string>{"M50010", "M30000", "B00017", "17L", "B00023", "168", "173", "B00007"}));
  EXPECT_EQ(codes(HomeDataUtil::getLifeHelpBoxData()),
            (std::vector<std::string>{"M50005", "M20020", "B00013", "B00014", "M50002", "B00019", "B00020", "172",
                                      "M50007", "B00016", "17E", "B00009", "B00008"}));
  EXPECT_EQ(codes(HomeDataUtil::getMallBoxData()), (std::vector<std::string>{"B00018", "B00015"}));

  const auto store = HomeDataUtil::getMyStoreBoxData();
  ASSERT_EQ(store.size(), 8u);
  EXPECT_EQ(codes(store), (std::vector<std::string>{"M50001", "18I", "M50010", "M30000", "M20020", "B00013", "B00014",
                                                    "A11111"}));
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(store[i]->itemState().word(), 257u) << i;
  EXPECT_EQ(store[0]->backgroundImageName(), "icon-bg-green.png");
  const auto& add = store.back();
  EXPECT_EQ(add->title(), "添加");
  EXPECT_EQ(add->itemState().word(), 0u);
  EXPECT_EQ(add->iconImageName(), "home_icon_add.png");
  EXPECT_EQ(add->targetCtr(), "AllControllerTable");
  EXPECT_TRUE(add->backgroundImageName().empty());

  const auto common = HomeDataUtil::getCommonBoxData();
  ASSERT_EQ(common.size(), 8u);
  EXPECT_EQ(common[0]->itemState().word(), 256u);

  const auto groups = HomeDataUtil::getAllItemArray();
  ASSERT_EQ(groups.size(), 4u);
  size_t count = 0;
  for (const auto& g : groups) {
    count += g.size();
    for (const auto& b : g) EXPECT_EQ(b->itemState().word(), 257u);
  }
  EXPECT_EQ(count, 27u);
  EXPECT_EQ(groups[0][0]->backgroundImageName(), "icon-bg-blue.png");
  EXPECT_EQ(groups[2].back()->title(), "手机号汇款");
}

TEST(HomeDataUtil, TheCodeTablesAnswerAsTheReceiptAndTheMessageCentreNeedThem) {
  const auto table = HomeDataUtil::getBusidAndClass();
  EXPECT_EQ(table.size(), 44u);
  EXPECT_EQ(table.at("16L"), "InstalmentViewController");
  EXPECT_EQ(table.at("B00010"), "");
  EXPECT_EQ(table.at("M30000"), "余额查询");
  EXPECT_EQ(table.at("800003"), "RechargeViewController");
  EXPECT_EQ(table.at("19A"), "PhoneNumberRemittanceViewController");

  const auto map = RelationBuidToCrtUtil::setBusinessMap();
  EXPECT_EQ(map.size(), 21u);
  EXPECT_EQ(map.front().first, "JVQ001");
  EXPECT_EQ(RelationBuidToCrtUtil::classForCode(map, ""), "InstalmentViewController");
  EXPECT_EQ(RelationBuidToCrtUtil::classForCode(map, "16L"), "");
  EXPECT_EQ(RelationBuidToCrtUtil::classForCode(map, "M50001"), "CreditCardRepaymentViewController");
}

TEST(HomeDataUtil, TipAndUpdateTextsAndTheNewAndUpdatedMarks) {
  const auto tips = UpdateDataUtil::getBussinessTipMessage();
  EXPECT_EQ(tips.size(), 36u) << "\"每周特惠\" is listed twice and kept once";
  EXPECT_EQ(tips.at("积分管家"), "诺维萨行业会员专属服务");
  EXPECT_EQ(tips.at("燃气费"), "无需排队，轻松缴费");
  // Every box of the catalogue is described: the list and the string table give the same texts.
  size_t described = 0;
  for (const auto& box : HomeDataUtil::getAllBoxData()) described += tips.count(box->title());
  EXPECT_EQ(described, 34u);
  EXPECT_EQ(UpdateDataUtil::getUpdateMessage().size(), 2u);

  for (const auto& box : HomeDataUtil::getAllBoxData()) {
    EXPECT_EQ(UpdateDataUtil::isNewBussiness(*box), box->title() == "手机号汇款") << box->title();
    EXPECT_EQ(UpdateDataUtil::isUpdateByHomeData(*box), box->title() == "彩票" || box->title() == "电影票")
        << box->title();
  }
}

class HomeBoxArchive : public ::testing::Test {
 protected:
  void SetUp() override { HomeBoxData::registerArchiveClass(); }
};

TEST_F(HomeBoxArchive, ABoxRoundTripsWithItsClassRestoredByName) {
  auto box = HomeBoxData::boxDataWithTitle("水费", "t", "bg.png", "icon.png", "B00004", "second.png",
                                           "PublicServiceViewController", 0x01010001u);
  auto back = platform::unarchiveAs<HomeBoxData>(platform::archive(*box));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->title(), "水费");
  EXPECT_EQ(back->tips(), "t");
  EXPECT_EQ(back->backgroundImageName(), "bg.png");
  EXPECT_EQ(back->iconImageName(), "icon.png");
  EXPECT_EQ(back->busId(), "B00004");
  EXPECT_EQ(back->pushIdentifier(), "B00004");
  EXPECT_EQ(back->secondImageName(), "second.png");
  EXPECT_EQ(back->targetCtr(), "PublicServiceViewController");
  EXPECT_EQ(back->itemState(), (HomeItemState{true, false, true, true}));
  EXPECT_EQ(back->description(), "水费");
}

TEST_F(HomeBoxArchive, NoClassAndAnUnknownClassRestoreWithoutAScreenClass) {
  auto shortForm = HomeBoxData::boxDataWithTitle("x", "", "", "");
  EXPECT_EQ(shortForm->pushIdentifier(), "-1");
  EXPECT_TRUE(shortForm->busId().empty());
  const std::string bytes = platform::archive(*shortForm);
  EXPECT_EQ(bytes.find("nvx_targetCtr"), std::string::npos);
  auto back = platform::unarchiveAs<HomeBoxData>(bytes);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->targetCtr().empty());

  auto gone = HomeBoxData::boxDataWithTitle("y", "", "", "", "Z1", "", "RetiredViewController", 256);
  auto restored = platform::unarchiveAs<HomeBoxData>(platform::archive(*gone));
  ASSERT_TRUE(restored);
  EXPECT_TRUE(restored->targetCtr().empty());
  // A class that a module registered later is a class of the client.
  ScreenRegistry::shared().add("RetiredViewController", [] { return nullptr; });
  EXPECT_EQ(platform::unarchiveAs<HomeBoxData>(platform::archive(*gone))->targetCtr(), "RetiredViewController");
}

TEST(HomeItemState, TheWordCarriesRemovableLowestAndDoubleSizeHighest) {
  EXPECT_EQ(HomeItemState::fromWord(256), (HomeItemState{false, true, false, false}));
  EXPECT_EQ(HomeItemState::fromWord(257), (HomeItemState{true, true, false, false}));
  EXPECT_EQ(HomeItemState::fromWord(0x01000000u), (HomeItemState{false, false, false, true}));
  EXPECT_EQ((HomeItemState{true, false, true, false}).word(), 0x00010001u);
}

}  // namespace
}  // namespace nvx
