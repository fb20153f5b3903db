#include "pay/MarketingEntity.h"

#include <gtest/gtest.h>

namespace nvx {
namespace {

using platform::Json;
using Kind = MarketingEntity::Kind;

const Json kItem = {{"aId", "7"},      {"aName", "name"},   {"aImg", "http://i/p.png"},
                    {"aType", "1"},    {"aUrl", "https://ad.example/x?pCode=9"}, {"aContent", "more"},
                    {"reqSys", "sys"}, {"note", "B00001"}, {"content", "本周刷卡立减"}};

TEST(MarketingEntityTest, ReadsEveryFieldFromItsKey) {
  MarketingEntity e = MarketingEntity::initWithJson(kItem);
  EXPECT_EQ(e.aId(), "7");
  EXPECT_EQ(e.aUrl(), "https://ad.example/x?pCode=9");
  EXPECT_EQ(e.note(), "B00001");
  EXPECT_EQ(e.content(), "本周刷卡立减");
  // Missing keys stay empty; a number reads as its text; nested values and non-objects give nothing.
  MarketingEntity partial = MarketingEntity::initWithJson(Json{{"aType", 2}, {"content", Json::object()}});
  EXPECT_EQ(partial.aType(), "2");
  EXPECT_EQ(partial.content(), "");
  EXPECT_EQ(partial.aId(), "");
  EXPECT_EQ(MarketingEntity::initWithJson(Json::array()), MarketingEntity());
}

TEST(MarketingEntityTest, ArchivesAndRestoresAllNineFieldsUnderNvxKeys) {
  MarketingEntity::registerArchiveClass();
  MarketingEntity e = MarketingEntity::initWithJson(kItem);
  const std::string bytes = platform::archive(e);
  for (const char* key : {"nvx_aId", "nvx_aName", "nvx_aImg", "nvx_aType", "nvx_aUrl", "nvx_aContent", "nvx_reqSys",
                          "nvx_note", "nvx_content"}) {
    EXPECT_NE(bytes.find(std::string("\"") + key + "\""), std::string::npos) << key;
  }
  auto back = platform::unarchiveAs<MarketingEntity>(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, e);
  // A copy is independent.
  MarketingEntity copy = e;
  copy.setContent("changed");
  EXPECT_EQ(e.content(), "本周刷卡立减");
}

TEST(MarketingEntityTest, DescriptionListsTheFieldsInOrder) {
  MarketingEntity e;
  e.setAId("1");
  e.setContent("c");
  EXPECT_EQ(e.description(),
            "\naId : 1\naName : \naImg : \naType : \naUrl : \naContent : \nreqSys : \nnote : \ncontent : c\n");
}

TEST(MarketingEntityTest, OpensOnlyWhatItCarriesEnoughFor) {
  struct Case {
    const char* aType;
    const char* aUrl;
    const char* note;
    Kind kind;
  };
  for (const Case& c : {
           Case{"1", "http://ad.example/a", "", Kind::AdvertPage},
           Case{"1", "https://ad.example/a", "", Kind::AdvertPage},
           Case{"1", "", "", Kind::Nothing},
           Case{"1", "javascript:alert(1)", "", Kind::Nothing},
           Case{"1", "file:///etc/passwd", "", Kind::Nothing},
           Case{"1", "http://", "", Kind::Nothing},
           Case{"2", "", "B00001", Kind::Business},
           Case{"02", "", "B00001", Kind::Business},
           Case{"2", "", "", Kind::Nothing},
           Case{"3", "", "", Kind::StorePage},
           Case{"4", "http://ad.example/a", "B00001", Kind::Nothing},
           Case{"5", "https://mall.example/theme?pCode=12", "", Kind::MallTheme},
           Case{"5", "mall/theme", "", Kind::Nothing},
           Case{"6", "http://ad.example/a", "", Kind::Nothing},
           Case{"", "http://ad.example/a", "", Kind::Nothing},
           Case{"x", "http://ad.example/a", "", Kind::Nothing},
           Case{"99999999999999999999", "http://ad.example/a", "", Kind::Nothing},
       }) {
    MarketingEntity e;
    e.setAType(c.aType);
    e.setAUrl(c.aUrl);
    e.setNote(c.note);
    EXPECT_EQ(e.openableKind(), c.kind) << c.aType << " " << c.aUrl << " " << c.note;
  }
}

}  // namespace
}  // namespace nvx
