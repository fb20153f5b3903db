#include "core/session/UserDefaultsExt.h"

#include <gtest/gtest.h>

#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace nvx {
namespace {

// A model as the client writes them: every field under "nvx_" and its name.
class AdvertEntity : public platform::Archivable {
 public:
  AdvertEntity() = default;
  explicit AdvertEntity(const platform::Unarchiver& u)
      : aId(u.text(archiveKey("aId")).value_or("")),
        aName(u.text(archiveKey("aName")).value_or("")),
        aType(u.integer(archiveKey("aType"))) {}
  std::string archiveClass() const override { return "AdvertEntity"; }
  void encode(platform::Archiver& a) const override {
    a.setText(archiveKey("aId"), aId);
    a.setText(archiveKey("aName"), aName);
    a.setInt(archiveKey("aType"), aType);
  }
  std::string aId;
  std::string aName;
  int64_t aType = 0;
};

TEST(UserDefaultsExtTest, ArchiveKeysArePrefixed) {
  EXPECT_EQ(archiveKey("aId"), "nvx_aId");
  EXPECT_EQ(archiveKey(""), "nvx_");
}

TEST(UserDefaultsExtTest, AModelStoredUnderAKeyComesBackInTheNextRun) {
  platform::registerArchivable<AdvertEntity>("AdvertEntity");
  auto advert = std::make_shared<AdvertEntity>();
  advert->aId = "A1";
  advert->aName = "春节优惠";
  advert->aType = 3;
  EXPECT_FALSE(isSerializedForKey("adverts"));
  serialize(advert, "adverts");
  EXPECT_TRUE(isSerializedForKey("adverts"));

  // Stored on disk at once: a crash right now loses nothing.
  auto file = platform::fs::read(platform::UserDefaults::file());
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("\"adverts\""), std::string::npos);

  platform::testing::restart();
  platform::registerArchivable<AdvertEntity>("AdvertEntity");
  auto back = reverseForKey<AdvertEntity>("adverts");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->aId, "A1");
  EXPECT_EQ(back->aName, "春节优惠");
  EXPECT_EQ(back->aType, 3);
}

TEST(UserDefaultsExtTest, NothingOrSomethingElseUnderTheKeyGivesNoObject) {
  platform::registerArchivable<AdvertEntity>("AdvertEntity");
  EXPECT_EQ(reverseForKey("missing"), nullptr);

  auto& defaults = platform::UserDefaults::standard();
  defaults.set("text", "not an archive");
  defaults.setData("garbage", "\x01\x02{not json");
  defaults.setData("unknown", R"({"$class":"NoSuchEntity","nvx_x":"1"})");
  for (const char* key : {"text", "garbage", "unknown"}) {
    EXPECT_TRUE(isSerializedForKey(key));
    EXPECT_EQ(reverseForKey(key), nullptr) << key;
  }
}

TEST(UserDefaultsExtTest, NullIsIgnoredAndKeepsWhatWasStored) {
  platform::registerArchivable<AdvertEntity>("AdvertEntity");
  auto advert = std::make_shared<AdvertEntity>();
  advert->aId = "A2";
  serialize(advert, "adverts");
  serialize(std::shared_ptr<AdvertEntity>(), "adverts");
  serialize(std::shared_ptr<AdvertEntity>(), "never");
  EXPECT_FALSE(isSerializedForKey("never"));
  auto back = reverseForKey<AdvertEntity>("adverts");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->aId, "A2");
}

}  // namespace
}  // namespace nvx
