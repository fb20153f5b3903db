#include "home/HomeBoxData.h"

#include "core/session/UserDefaultsExt.h"
#include "home/HomeDataUtil.h"

namespace nvx {

HomeItemState HomeItemState::fromWord(uint32_t word) {
  return HomeItemState{(word & 0xFFu) != 0, ((word >> 8) & 0xFFu) != 0, ((word >> 16) & 0xFFu) != 0,
                       ((word >> 24) & 0xFFu) != 0};
}

uint32_t HomeItemState::word() const {
  return (isRemovable ? 1u : 0u) | (isEditing ? 1u << 8 : 0u) | (isMovable ? 1u << 16 : 0u) |
         (isDoubleSize ? 1u << 24 : 0u);
}

std::shared_ptr<HomeBoxData> HomeBoxData::boxDataWithTitle(std::string title, std::string tips,
                                                           std::string backgroundImageName, std::string iconImageName,
                                                           std::string pushIden, std::string secondImge,
                                                           std::string target, uint32_t withState) {
  auto box = std::make_shared<HomeBoxData>();
  box->title_ = std::move(title);
  box->tips_ = std::move(tips);
  box->backgroundImageName_ = std::move(backgroundImageName);
  box->iconImageName_ = std::move(iconImageName);
  box->busId_ = pushIden;
  box->pushIdentifier_ = std::move(pushIden);
  box->secondImageName_ = std::move(secondImge);
  box->targetCtr_ = std::move(target);
  box->itemState_ = HomeItemState::fromWord(withState);
  return box;
}

std::shared_ptr<HomeBoxData> HomeBoxData::boxDataWithTitle(std::string title, std::string tips,
                                                           std::string backgroundImageName, std::string iconImageName) {
  auto box = std::make_shared<HomeBoxData>();
  box->title_ = std::move(title);
  box->tips_ = std::move(tips);
  box->backgroundImageName_ = std::move(backgroundImageName);
  box->iconImageName_ = std::move(iconImageName);
  box->pushIdentifier_ = "-1";
  return box;
}

HomeBoxData::HomeBoxData(const platform::Unarchiver& coder) {
  auto text = [&coder](std::string_view field) { return coder.text(archiveKey(field)).value_or(""); };
  busId_ = text("busId");
  title_ = text("title");
  tips_ = text("tips");
  backgroundImageName_ = text("backgroundImageName");
  iconImageName_ = text("iconImageName");
  pushIdentifier_ = text("pushIdentifier");
  secondImageName_ = text("secondImageName");
  const std::string target = text("targetCtr");
  if (HomeDataUtil::isScreenClass(target)) targetCtr_ = target;
  itemState_.isRemovable = coder.boolean(archiveKey("itemState_isRemovable"));
  itemState_.isEditing = coder.boolean(archiveKey("itemState_isEditing"));
  itemState_.isMovable = coder.boolean(archiveKey("itemState_isMovable"));
  itemState_.isDoubleSize = coder.boolean(archiveKey("itemState_isDoubleSize"));
}

void HomeBoxData::encode(platform::Archiver& coder) const {
  coder.setText(archiveKey("busId"), busId_);
  coder.setText(archiveKey("title"), title_);
  coder.setText(archiveKey("tips"), tips_);
  coder.setText(archiveKey("backgroundImageName"), backgroundImageName_);
  coder.setText(archiveKey("iconImageName"), iconImageName_);
  coder.setText(archiveKey("pushIdentifier"), pushIdentifier_);
  coder.setText(archiveKey("secondImageName"), secondImageName_);
  if (!targetCtr_.empty()) coder.setText(archiveKey("targetCtr"), targetCtr_);
  coder.setBool(archiveKey("itemState_isRemovable"), itemState_.isRemovable);
  coder.setBool(archiveKey("itemState_isEditing"), itemState_.isEditing);
  coder.setBool(archiveKey("itemState_isMovable"), itemState_.isMovable);
  coder.setBool(archiveKey("itemState_isDoubleSize"), itemState_.isDoubleSize);
}

void HomeBoxData::registerArchiveClass() { platform::registerArchivable<HomeBoxData>(kArchiveClass); }

}  // namespace nvx
