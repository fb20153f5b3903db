#include "platform/foundation/Archive.h"

#include <gtest/gtest.h>

#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/testing/Testing.h"

namespace platform {
namespace {

struct Box : Archivable {
  std::string title;
  int64_t order = 0;
  double ratio = 0;
  bool visible = false;
  std::string icon;   // binary
  Json extra;
  std::shared_ptr<Box> child;
  std::vector<std::shared_ptr<Box>> items;

  Box() = default;
  explicit Box(const Unarchiver& u)
      : title(u.text("nvx_title").value_or("")),
        order(u.integer("nvx_order")),
        ratio(u.real("nvx_ratio")),
        visible(u.boolean("nvx_visible")),
        icon(u.data("nvx_icon").value_or("")),
        extra(u.valueOrNull("nvx_extra")),
        child(u.objectAs<Box>("nvx_child")),
        items(u.arrayOf<Box>("nvx_items")) {}

  std::string archiveClass() const override { return "Box"; }
  void encode(Archiver& a) const override {
    a.setText("nvx_title", title);
    a.setInt("nvx_order", order);
    a.setDouble("nvx_ratio", ratio);
    a.setBool("nvx_visible", visible);
    a.setData("nvx_icon", icon);
    a.setValueUnlessNull("nvx_extra", extra);
    a.setObject("nvx_child", child);
    a.setArray("nvx_items", items);
  }
};

// A class whose decoding refuses its data.
struct Picky : Archivable {
  explicit Picky(const Unarchiver& u) {
    if (!u.text("nvx_id")) throw std::runtime_error("no id");
  }
  Picky() = default;
  std::string archiveClass() const override { return "Picky"; }
  void encode(Archiver& a) const override {}
};

std::shared_ptr<Box> box(std::string title, int64_t order) {
  auto b = std::make_shared<Box>();
  b->title = std::move(title);
  b->order = order;
  return b;
}

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerArchivable<Box>("Box");
    registerArchivable<Picky>("Picky");
  }
};

TEST_F(ArchiveTest, RoundTripsNestedObjectsAndLists) {
  auto root = box("首页", 3);
  root->ratio = 0.15;
  root->visible = true;
  root->icon = std::string("\x00\xFF\x10png", 6);
  root->extra = Json{{"tags", {"a", "b"}}, {"n", 1}};
  root->child = box("child", -1);
  root->child->child = box("grandchild", 9);
  root->items = {box("one", 1), box("two", 2)};
  root->items[1]->items = {box("inner", 7)};

  auto back = unarchiveAs<Box>(archive(*root));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->title, "首页");
  EXPECT_EQ(back->order, 3);
  EXPECT_DOUBLE_EQ(back->ratio, 0.15);
  EXPECT_TRUE(back->visible);
  EXPECT_EQ(back->icon, root->icon);
  EXPECT_EQ(back->extra, root->extra);
  ASSERT_TRUE(back->child && back->child->child);
  EXPECT_EQ(back->child->order, -1);
  EXPECT_EQ(back->child->child->title, "grandchild");
  EXPECT_FALSE(back->child->child->child);
  ASSERT_EQ(back->items.size(), 2u);
  EXPECT_EQ(back->items[0]->title, "one");
  ASSERT_EQ(back->items[1]->items.size(), 1u);
  EXPECT_EQ(back->items[1]->items[0]->order, 7);

  auto list = unarchiveList(archiveList(std::vector<std::shared_ptr<Box>>{box("x", 1), box("y", 2)}));
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(std::dynamic_pointer_cast<Box>((*list)[1])->title, "y");
  EXPECT_TRUE(unarchiveList("[]"));
}

TEST_F(ArchiveTest, ArchivedBytesNameTheClassFirst) {
  auto bytes = archive(*box("t", 1));
  auto j = json::parse(bytes);
  ASSERT_TRUE(j && j->is_object());
  EXPECT_EQ(j->begin().key(), "$class");
  EXPECT_EQ(j->value("$class", ""), "Box");
  EXPECT_EQ(j->value("nvx_title", ""), "t");
  EXPECT_FALSE(j->contains("nvx_extra"));   // a null plain value is not written
  auto back = unarchiveAs<Box>(bytes);
  ASSERT_TRUE(back);
  EXPECT_TRUE(back->extra.is_null());
}

TEST_F(ArchiveTest, UnknownClassAnywhereGivesNothing) {
  log::Capture capture;
  const std::string cases[] = {
      R"({"$class":"Ghost","nvx_title":"x"})",
      R"({"$class":"Box","nvx_child":{"$class":"Ghost"}})",
      R"({"$class":"Box","nvx_items":[{"$class":"Box"},{"$class":"Ghost"}]})",
  };
  for (const auto& bytes : cases) EXPECT_EQ(unarchive(bytes), nullptr) << bytes;
  EXPECT_FALSE(unarchiveList(R"([{"$class":"Box"},{"$class":"Ghost"}])"));
  EXPECT_TRUE(capture.contains("Ghost"));
}

TEST_F(ArchiveTest, BrokenBytesGiveNothing) {
  std::string good = archive(*box("t", 1));
  const std::string cases[] = {
      "",
      "not an archive",
      good.substr(0, good.size() / 2),
      "[]",
      "{}",
      R"({"$class":5})",
      R"({"$class":null})",
      R"({"$class":"Box","nvx_child":"text instead of an object"})",
      R"({"$class":"Box","nvx_child":{"nvx_title":"no class"}})",
      R"({"$class":"Box","nvx_items":{"$class":"Box"}})",
      R"({"$class":"Box","nvx_items":[1]})",
      R"({"$class":"Picky"})",
      std::string(100000, '[') + std::string(100000, ']'),
  };
  for (const auto& bytes : cases) EXPECT_EQ(unarchive(bytes), nullptr) << bytes.substr(0, 80);
  EXPECT_FALSE(unarchiveList("{}"));
  EXPECT_FALSE(unarchiveList("[{}]"));
  // A well-formed Picky decodes.
  EXPECT_TRUE(unarchive(R"({"$class":"Picky","nvx_id":"1"})"));
}

TEST_F(ArchiveTest, WrongScalarKindsReadAsDefaults) {
  auto b = unarchiveAs<Box>(
      R"({"$class":"Box","nvx_title":12,"nvx_order":"12abc","nvx_ratio":"x","nvx_visible":"YES","nvx_icon":"AAAA"})");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->title, "");     // a number is not a text field
  EXPECT_EQ(b->order, 12);
  EXPECT_EQ(b->ratio, 0.0);
  EXPECT_TRUE(b->visible);
  EXPECT_EQ(b->icon, "");      // plain text is not data
}

TEST_F(ArchiveTest, CyclicObjectGraphDoesNotRecurseForever) {
  log::Capture capture;
  auto a = box("a", 1);
  a->child = a;
  std::string bytes = archive(*a);
  a->child.reset();
  EXPECT_FALSE(bytes.empty());
  EXPECT_TRUE(capture.contains("too deep"));
}

TEST_F(ArchiveTest, ArchiveKeptInUserDefaultsSurvivesARestart) {
  auto theme = box("default theme", 315);
  theme->items = {box("home", 1)};
  UserDefaults::standard().setData("SerializeKeyTheme3.1.5.0", archive(*theme));
  ASSERT_TRUE(UserDefaults::standard().synchronize());

  testing::restart();
  registerArchivable<Box>("Box");
  auto bytes = UserDefaults::standard().data("SerializeKeyTheme3.1.5.0");
  ASSERT_TRUE(bytes);
  auto back = unarchiveAs<Box>(*bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->order, 315);
  ASSERT_EQ(back->items.size(), 1u);
  EXPECT_EQ(back->items[0]->title, "home");
}

}  // namespace
}  // namespace platform
