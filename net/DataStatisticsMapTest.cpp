#include "net/DataStatisticsMap.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

namespace nvx {
namespace {

// A business code of digits and capitals, "_", an optional run of capitals and a number.
bool followsScheme(const std::string& id) {
  auto upperOrDigit = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); };
  const size_t bar = id.find('_');
  if (bar == 0 || bar == std::string::npos) return false;
  for (size_t i = 0; i < bar; ++i) {
    if (!upperOrDigit(id[i])) return false;
  }
  size_t i = bar + 1;
  while (i < id.size() && id[i] >= 'A' && id[i] <= 'Z') ++i;
  if (i == id.size()) return false;
  for (; i < id.size(); ++i) {
    if (id[i] < '0' || id[i] > '9') return false;
  }
  return true;
}

std::optional<std::string> lookup(const DataStatisticsMap::Table& table, const std::string& key) {
  auto it = table.find(key);
  if (it == table.end()) return std::nullopt;
  return it->second;
}

TEST(DataStatisticsMapTest, TablesHoldEveryScreenOnceAndEveryIdentifierFollowsTheScheme) {
  const auto steps = DataStatisticsMap::identifierMap();
  const auto probes = DataStatisticsMap::probeMap();
  EXPECT_EQ(steps.size(), 211u);
  EXPECT_EQ(probes.size(), 9u);

  // The two forms of the server's own are the only exceptions to the scheme.
  std::set<std::string> odd;
  for (const auto& [key, id] : steps) {
    EXPECT_FALSE(key.empty());
    if (!followsScheme(id)) odd.insert(key + "=" + id);
  }
  EXPECT_EQ(odd, (std::set<std::string>{"CityListViewController=B00008_5 ", "HomeBuyNuvexaViewController=B00001,2"}));

  // The probe numbering is its own: a screen's probe identifier is never its step identifier.
  for (const auto& [key, id] : probes) {
    EXPECT_TRUE(id.size() == 8 && id.rfind("M50010_", 0) == 0 && id[7] >= '1' && id[7] <= '9') << key;
    EXPECT_NE(steps.count(key) ? steps.at(key) : "", id) << key;
  }
}

TEST(DataStatisticsMapTest, LookupsByClassNameAndByNumberedKey) {
  const auto steps = DataStatisticsMap::identifierMap();
  const auto probes = DataStatisticsMap::probeMap();
  struct Case {
    std::string key;
    std::optional<std::string> step;
    std::optional<std::string> probe;
  };
  const Case cases[] = {
      // Plain class names, including the spellings the screens really carry.
      {"BuyNuvexaViewController", "B00001_1", std::nullopt},
      {"HomeBuyNuvexaViewController", "B00001,2", std::nullopt},
      {"CityListViewController", "B00008_5 ", std::nullopt},
      {"BillNumberRemittanceVeiwController", "M50005_1", std::nullopt},
      {"SZRentCarViewContrllerViewController", "ZCFW_1", std::nullopt},
      {"TraficViolationChooseViewController", "172_1", std::nullopt},
      {"InsuranceRullViewController", "173_7", std::nullopt},
      {"UserInfomationViewController", "GENGDUO_2", std::nullopt},
      {"ReceiptRecoderViewController", "17L_6", std::nullopt},
      {"WalletIncomDetailViewController", "110001_2", std::nullopt},
      // Letter-numbered steps.
      {"TransferBigOpenManageViewController", "M50010_N3", std::nullopt},
      {"MallPersonalViewController", "B00015_N12", std::nullopt},
      {"BankCardListViewController", "QBZZ_BC4", std::nullopt},
      {"TransferToWalletView", "QBZZ_QB1", std::nullopt},
      {"MessageCenterView", "MESSAGE_1", std::nullopt},
      // Screens of a transfer: step and probe identifiers differ.
      {"TransferRemittanceViewController", "M50010_N1", "M50010_1"},
      {"HistoryTransferViewControllerViewController", "M50010_N2", "M50010_4"},
      {"VeriftBillViewController", "M50010_N10", "M50010_6"},
      {"ChooseBankViewController", std::nullopt, "M50010_7"},
      {"TransferFeeRuleViewController", std::nullopt, "M50010_8"},
      {"ChooseBankAccountViewController", std::nullopt, "M50010_9"},
      // Numbered keys: class name followed by the business or service type.
      {DataStatisticsMap::numberedKey("SwipeViewController", 10), "M50010_N11", "M50010_2"},
      {DataStatisticsMap::numberedKey("SwipeResultViewController", 10), "M50010_N13", "M50010_3"},
      {DataStatisticsMap::numberedKey("SwipeViewController", 6), "M20020_3", std::nullopt},
      {DataStatisticsMap::numberedKey("NVXMultPayViewController", 6), "M20020_3", std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeViewController", 1), "M50001_2", std::nullopt},
      {DataStatisticsMap::numberedKey("BalanceSwiperViewController", 0), "M30000_1", std::nullopt},
      {DataStatisticsMap::numberedKey("MemberCardInputViewController", 29), "17G_1", std::nullopt},
      {DataStatisticsMap::numberedKey("PublicServiceViewController", 0), "B00004_1", std::nullopt},
      {DataStatisticsMap::numberedKey("PublicServiceViewController", 3), "B00003_1", std::nullopt},
      {DataStatisticsMap::numberedKey("NVXMultPayViewController", 37), "M50010_4", std::nullopt},
      {DataStatisticsMap::numberedKey("NVXMultPayViewController", 21), "JVQ001_24", std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeViewController", 23), "B00014_N9", std::nullopt},
      // Two business types of one feature share a step.
      {DataStatisticsMap::numberedKey("SwipeViewController", 24), "172_13", std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeViewController", 25), "172_13", std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeResultViewController", 32), "17L_5", std::nullopt},
      // The older and newer credit-card repayment screens play the same step.
      {"CreditCardRepaymentViewController", "M50001_1", std::nullopt},
      {"CCRepayInputViewController", "M50001_1", std::nullopt},
      // Not in the tables: a derived swipe screen under its own name, a business type without a
      // key, the plain numbered class names, a screen nobody named.
      {DataStatisticsMap::numberedKey("BalanceSwiperViewController", 6), std::nullopt, std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeViewController", 36), std::nullopt, std::nullopt},
      {DataStatisticsMap::numberedKey("SwipeViewController", -1), std::nullopt, std::nullopt},
      {"SwipeViewController", std::nullopt, std::nullopt},
      {"PublicServiceViewController", std::nullopt, std::nullopt},
      {"NVXMultPayViewController", std::nullopt, std::nullopt},
      {"HomeViewController", std::nullopt, std::nullopt},
      {"swipeviewcontroller6", std::nullopt, std::nullopt},
      {"", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lookup(steps, c.key), c.step) << c.key;
    EXPECT_EQ(lookup(probes, c.key), c.probe) << c.key;
  }
}

TEST(DataStatisticsMapTest, NumberedKeysAreDecimalAndEveryCallGivesANewTable) {
  EXPECT_EQ(DataStatisticsMap::numberedKey("SwipeViewController", 0), "SwipeViewController0");
  EXPECT_EQ(DataStatisticsMap::numberedKey("SwipeResultViewController", 37), "SwipeResultViewController37");

  auto first = DataStatisticsMap::identifierMap();
  first["SwipeViewController6"] = "changed";
  first.erase("MoreViewController");
  const auto second = DataStatisticsMap::identifierMap();
  EXPECT_EQ(second.at("SwipeViewController6"), "M20020_3");
  EXPECT_EQ(second.at("MoreViewController"), "GENGDUO_1");
}

}  // namespace
}  // namespace nvx

namespace nvx {
namespace {

TEST(DataStatisticsMapTest, AFeatureRegistersItsOwnRows) {
  const size_t builtIn = DataStatisticsMap::identifierMap().size();
  DataStatisticsMap::registerRows("P00001", {{"PayOrderViewController", "1"}, {"SwipeViewController6", "2"}});
  const auto table = DataStatisticsMap::identifierMap();
  EXPECT_EQ(table.at("PayOrderViewController"), "P00001_1");
  EXPECT_EQ(table.at("SwipeViewController6"), "P00001_2") << "the feature's row replaces the built-in one";
  EXPECT_EQ(table.size(), builtIn + 1);
  EXPECT_EQ(table.at("MoreViewController"), "GENGDUO_1");
}

}  // namespace
}  // namespace nvx
