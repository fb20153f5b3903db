#include "reader/UnitChooserModel.h"

#include <gtest/gtest.h>

#include "platform/foundation/UserDefaults.h"

namespace nvx::reader {
namespace {

Unit unit(std::optional<std::string> id) {
  Unit u;
  if (id) u.setUnitname("型号" + *id);
  u.setUnitid(std::move(id));
  return u;
}

std::vector<Unit> units(std::initializer_list<const char*> ids) {
  std::vector<Unit> out;
  for (const char* id : ids) out.push_back(unit(std::string(id)));
  return out;
}

std::vector<std::string> idsOf(const std::vector<Unit>& list) {
  std::vector<std::string> out;
  for (const auto& u : list) out.push_back(u.unitid().value_or("<none>"));
  return out;
}

// The model ids the table shows, row by row ("-" for a row without a model).
std::vector<std::string> rowsOf(const UnitChooserModel& m, int section) {
  std::vector<std::string> out;
  for (int row = 0; row < m.numberOfRowsInSection(section); ++row) {
    const Unit* u = m.unitAt(section, row);
    out.push_back(u ? u->unitid().value_or("<none>") : "-");
  }
  return out;
}

using Ids = std::vector<std::string>;

TEST(UnitChooserModelTest, ModelsAreSortedIntoCommonAndOtherInListOrderAndTheBoxWaitsForTheBox) {
  struct Case {
    const char* name;
    std::vector<Unit> list;
    Ids common, other;
    bool hasTavi;
  } cases[] = {
      {"mixed", units({"0004", "0001", "0007", "0003", "0008", "0002", "0005"}), {"0001", "0003", "0002"},
       {"0004", "0008", "0005"}, true},
      {"no box model", units({"0002", "0006"}), {"0002"}, {"0006"}, false},
      {"only the box", units({"0007"}), {}, {}, true},
      {"empty", {}, {}, {}, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitChooserModel m;
    m.setUnitArray(c.list);
    EXPECT_EQ(idsOf(m.commonUnits()), c.common);
    EXPECT_EQ(idsOf(m.otherUnits()), c.other);
    EXPECT_EQ(m.taviUnit().has_value(), c.hasTavi);
    EXPECT_EQ(m.unitArray().size(), c.list.size());
    // Whatever the list, the table has its three sections: the header row and the picture stay.
    EXPECT_EQ(m.numberOfSections(), 3);
    EXPECT_EQ(m.numberOfRowsInSection(UnitChooserModel::kCommonSection), static_cast<int>(c.common.size()));
    EXPECT_EQ(m.numberOfRowsInSection(UnitChooserModel::kOtherSection), 1);
    EXPECT_EQ(m.numberOfRowsInSection(UnitChooserModel::kPictureSection), 1);
  }
}

TEST(UnitChooserModelTest, TheBoxModelIsListedOnlyWhileTheBoxIsThere) {
  UnitChooserModel m;
  m.setUnitArray(units({"0001", "0007", "0004"}));
  m.setIsOtherUnitsOpen(true);
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "0004"}));

  EXPECT_TRUE(m.setTaviPresent(true));
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "0004", "0007"}));
  // Told again (the chooser is told at opening and by the detector): still one row.
  EXPECT_FALSE(m.onTaviConnected());
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "0004", "0007"}));

  EXPECT_TRUE(m.onTaviDisConnected());
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "0004"}));
  EXPECT_FALSE(m.setTaviPresent(false));

  // Without the box's model in the list, the box changes nothing.
  UnitChooserModel plain;
  plain.setUnitArray(units({"0001", "0004"}));
  EXPECT_FALSE(plain.onTaviConnected());
  EXPECT_EQ(idsOf(plain.otherUnits()), Ids{"0004"});
}

TEST(UnitChooserModelTest, TheOtherModelsShowBelowTheHeaderRowOnlyWhileOpen) {
  UnitChooserModel m;
  m.setUnitArray(units({"0001", "0002", "0005", "0008"}));
  EXPECT_FALSE(m.isOtherUnitsOpen());
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kCommonSection), (Ids{"0001", "0002"}));
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), Ids{"-"});
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kPictureSection), Ids{"-"});

  m.toggleOtherUnits();
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "0005", "0008"}));
  m.toggleOtherUnits();
  EXPECT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), Ids{"-"});

  for (auto [section, row] : {std::pair{0, -1}, {0, 2}, {1, 1}, {2, 1}, {3, 0}, {-1, 0}}) {
    EXPECT_EQ(m.unitAt(section, row), nullptr) << section << "," << row;
  }
}

TEST(UnitChooserModelTest, SelectingAModelRowMarksItAndEnablesTheSave) {
  platform::UserDefaults::standard().set("unitid", "0002");
  UnitChooserModel m;
  m.setUnitArray(units({"0001", "0002", "0005", "0007"}));
  m.readCurrentUnit();
  EXPECT_EQ(m.currentUnit(), "0002");
  EXPECT_TRUE(m.isSaveEnabled());
  EXPECT_FALSE(m.isCheckedRow(0, 0));
  EXPECT_TRUE(m.isCheckedRow(0, 1));

  // The header row of the other models and the picture do nothing.
  EXPECT_FALSE(m.selectRow(UnitChooserModel::kOtherSection, 0));
  EXPECT_FALSE(m.selectRow(UnitChooserModel::kPictureSection, 0));
  EXPECT_EQ(m.currentUnit(), "0002");

  EXPECT_TRUE(m.selectRow(0, 0));
  EXPECT_EQ(m.currentUnit(), "0001");
  EXPECT_TRUE(m.isCheckedRow(0, 0));
  EXPECT_FALSE(m.isCheckedRow(0, 1));

  // Section 1 counts its header row: row 1 is the first other model; the box's model, listed
  // last while the box is there, can be chosen too.
  m.toggleOtherUnits();
  m.onTaviConnected();
  EXPECT_TRUE(m.selectRow(UnitChooserModel::kOtherSection, 1));
  EXPECT_EQ(m.currentUnit(), "0005");
  EXPECT_TRUE(m.selectRow(UnitChooserModel::kOtherSection, 2));
  EXPECT_EQ(m.currentUnit(), "0007");
  EXPECT_TRUE(m.isCheckedRow(UnitChooserModel::kOtherSection, 2));
}

TEST(UnitChooserModelTest, TheSaveWaitsForAChosenModel) {
  UnitChooserModel m;
  m.setUnitArray({unit(std::nullopt), unit("0001")});
  m.readCurrentUnit();  // no model stored yet
  EXPECT_EQ(m.currentUnit(), "");
  EXPECT_FALSE(m.isSaveEnabled());
  EXPECT_FALSE(m.isCheckedRow(0, 0));

  // A model row whose model has no id chooses nothing.
  m.toggleOtherUnits();
  ASSERT_EQ(rowsOf(m, UnitChooserModel::kOtherSection), (Ids{"-", "<none>"}));
  m.selectRow(0, 0);
  EXPECT_TRUE(m.isSaveEnabled());
  m.selectRow(UnitChooserModel::kOtherSection, 1);
  EXPECT_FALSE(m.isSaveEnabled());
}

}  // namespace
}  // namespace nvx::reader
