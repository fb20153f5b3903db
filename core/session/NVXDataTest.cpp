#include "core/session/NVXData.h"

#include <gtest/gtest.h>

#include "platform/foundation/Sandbox.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

using platform::Json;
namespace fs = platform::fs;

// The defaults shipped in the client's bundle (resources/initData.txt).
Json shippedAdverts() {
  auto text = fs::read(platform::Sandbox::bundle() / "initData.txt");
  return Json::parse(text.value_or("{}"))["install_data"]["ad_default"];
}

TEST(NVXData, AdvertsFallBackToTheShippedListUntilSomeAreSaved) {
  auto& data = NVXData::sharedNVXData();
  const Json defaults = shippedAdverts();
  ASSERT_TRUE(defaults.is_array());
  ASSERT_FALSE(defaults.empty());
  EXPECT_EQ(data.advertiseMents(), defaults);
  EXPECT_EQ(data.nvxdata()["MUTABLE_DATA"], (Json{{"advertisements", Json::array()}}));

  data.setAdvertiseMents(Json::array());
  EXPECT_EQ(data.advertiseMents(), defaults);

  const Json saved = Json::array({Json{{"id", 9}, {"aName", "新品"}}});
  data.setAdvertiseMents(saved);
  EXPECT_EQ(data.advertiseMents(), saved);
  EXPECT_EQ(Json::parse(fs::read(NVXData::file()).value_or("null")), (Json{{"advertisements", saved}}));

  // Not a list: refused, nothing changes.
  data.setAdvertiseMents(Json{{"id", 1}});
  EXPECT_EQ(data.advertiseMents(), saved);
}

TEST(NVXData, MutableDataRoundTripsThroughTheDocumentsFile) {
  {
    auto& data = NVXData::sharedNVXData();
    data.nvxdata()["MUTABLE_DATA"]["MALLCART"] = Json::array({Json{{"goodsId", "A1"}, {"count", 2}}});
    data.setAdvertiseMents(Json::array({Json{{"id", 3}}}));
    // The shipped part is never written.
    EXPECT_EQ(Json::parse(fs::read(NVXData::file()).value_or("null")).count("INIT_DATA"), 0u);
  }
  platform::testing::restart();
  auto& data = NVXData::sharedNVXData();
  EXPECT_EQ(data.nvxdata()["MUTABLE_DATA"]["MALLCART"][0]["goodsId"], "A1");
  EXPECT_EQ(data.advertiseMents(), Json::array({Json{{"id", 3}}}));
  EXPECT_EQ(data.moreInfoConfigs()["sections"][0]["rows"][0]["action"], "handleLogin");

  // Changes reach the disk only through save().
  data.nvxdata()["MUTABLE_DATA"]["MALLCART"] = Json::array();
  platform::testing::restart();
  EXPECT_EQ(NVXData::sharedNVXData().nvxdata()["MUTABLE_DATA"]["MALLCART"].size(), 1u);
}

TEST(NVXData, UnusableSavedFileStartsAfresh) {
  const std::pair<const char*, const char*> cases[] = {
      {"not JSON", "{\"advertisements\": ["},
      {"a list", "[1, 2]"},
      {"a text", "\"x\""},
  };
  for (const auto& [what, bytes] : cases) {
    platform::testing::restart();
    ASSERT_TRUE(fs::writeAtomic(NVXData::file(), bytes));
    auto& data = NVXData::sharedNVXData();
    EXPECT_EQ(data.nvxdata()["MUTABLE_DATA"], (Json{{"advertisements", Json::array()}})) << what;
    EXPECT_EQ(data.advertiseMents(), shippedAdverts()) << what;
    // The file is left as it is until the next save.
    EXPECT_EQ(fs::read(NVXData::file()), bytes) << what;
  }
}

TEST(NVXData, NullsAreDroppedWhenRead) {
  ASSERT_TRUE(fs::writeAtomic(NVXData::file(), R"({"advertisements": [{"id": 1, "aUrl": null}], "MALLCART": null})"));
  auto& data = NVXData::sharedNVXData();
  EXPECT_EQ(data.nvxdata()["MUTABLE_DATA"], (Json{{"advertisements", Json::array({Json{{"id", 1}}})}}));
}

TEST(NVXData, MissingShippedDataAndFailedSaveAreQuiet) {
  auto bundle = platform::Sandbox::makeTempRoot("nvx-empty-bundle");
  platform::Sandbox::setBundle(bundle);
  // The Documents file cannot be written: a folder stands in its place.
  ASSERT_TRUE(fs::mkdirs(NVXData::file() / "blocked"));
  auto& data = NVXData::sharedNVXData();
  EXPECT_EQ(data.advertiseMents(), Json::array());
  EXPECT_TRUE(data.moreInfoConfigs().is_null());
  data.setAdvertiseMents(Json::array({Json{{"id", 1}}}));
  EXPECT_FALSE(data.save());
  // Kept in memory for the rest of the run.
  EXPECT_EQ(data.advertiseMents(), Json::array({Json{{"id", 1}}}));
  fs::removeTree(bundle);
}

}  // namespace
}  // namespace nvx
