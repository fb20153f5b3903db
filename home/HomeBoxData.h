// One business box of the home screen: its title, pictures, business code, the screen a tap on it
// opens and how its tile behaves. Boxes come from the built-in tables (HomeDataUtil); the user's
// common page is the only stored form, a keyed archive in the user defaults.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/ui/HomeScreen.h"
#include "platform/foundation/Archive.h"

namespace nvx {

// The tile's behaviour flags. They travel as one 32-bit word whose lowest byte is isRemovable and
// highest isDoubleSize.
struct HomeItemState {
  bool isRemovable = false;
  bool isEditing = false;
  bool isMovable = false;
  bool isDoubleSize = false;

  static HomeItemState fromWord(uint32_t word);
  uint32_t word() const;
  bool operator==(const HomeItemState&) const = default;
};

class HomeBoxData : public platform::Archivable, public HomeBox {
 public:
  static constexpr const char* kArchiveClass = "HomeBoxData";
  // The state words of the tables: ordinary page boxes, boxes the user may remove, the Add box.
  static constexpr uint32_t kPageState = 256;
  static constexpr uint32_t kRemovableState = 257;
  static constexpr uint32_t kAddState = 0;
  // The screen class of boxes that the dispatcher opens by title and never creates.
  static constexpr const char* kRootObjectClass = "Object";

  HomeBoxData() = default;
  // The full form: the business code goes into both busId and pushIdentifier.
  static std::shared_ptr<HomeBoxData> boxDataWithTitle(std::string title, std::string tips,
                                                       std::string backgroundImageName, std::string iconImageName,
                                                       std::string pushIden, std::string secondImge,
                                                       std::string target, uint32_t withState);
  // The short form: the four texts and pushIdentifier "-1"; no busId, no screen class.
  static std::shared_ptr<HomeBoxData> boxDataWithTitle(std::string title, std::string tips,
                                                       std::string backgroundImageName, std::string iconImageName);
  // initWithCoder: a class name that no longer names a screen class restores as none.
  explicit HomeBoxData(const platform::Unarchiver& coder);
  std::shared_ptr<HomeBoxData> copy() const { return std::make_shared<HomeBoxData>(*this); }

  const std::string& busId() const { return busId_; }
  void setBusId(std::string v) { busId_ = std::move(v); }
  const std::string& title() const { return title_; }
  void setTitle(std::string v) { title_ = std::move(v); }
  const std::string& tips() const { return tips_; }
  void setTips(std::string v) { tips_ = std::move(v); }
  const std::string& backgroundImageName() const { return backgroundImageName_; }
  void setBackgroundImageName(std::string v) { backgroundImageName_ = std::move(v); }
  const std::string& iconImageName() const { return iconImageName_; }
  void setIconImageName(std::string v) { iconImageName_ = std::move(v); }
  std::string pushIdentifier() const override { return pushIdentifier_; }
  void setPushIdentifier(std::string v) { pushIdentifier_ = std::move(v); }
  const std::string& secondImageName() const { return secondImageName_; }
  void setSecondImageName(std::string v) { secondImageName_ = std::move(v); }
  const HomeItemState& itemState() const { return itemState_; }
  void setItemState(HomeItemState s) { itemState_ = s; }
  // The screen class by name; empty for none.
  const std::string& targetCtr() const { return targetCtr_; }
  void setTargetCtr(std::string v) { targetCtr_ = std::move(v); }

  // The text description of a box is its title.
  std::string description() const { return title_; }

  std::string archiveClass() const override { return kArchiveClass; }
  void encode(platform::Archiver& coder) const override;
  static void registerArchiveClass();

 private:
  std::string busId_;
  std::string title_;
  std::string tips_;
  std::string backgroundImageName_;
  std::string iconImageName_;
  std::string pushIdentifier_;
  std::string secondImageName_;
  HomeItemState itemState_;
  std::string targetCtr_;
};

using HomeBoxList = std::vector<std::shared_ptr<HomeBoxData>>;

}  // namespace nvx
