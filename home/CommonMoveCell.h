// A row of the applications list and of the reorder screen: the business's picture on its
// themed background, its title with an "updated" or "new" badge after it, and a one- or
// two-line description under it.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/models/ServiceGroupEntity.h"
#include "home/HomeBoxData.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

namespace nvx {

class CommonMoveCell : public platform::ui::TableViewCell {
 public:
  static constexpr double kRowHeight = 65;
  // The description label gets two lines when its text is wider than this in the 14-point font.
  static constexpr double kTipWidth = 200;

  explicit CommonMoveCell(std::string reuseIdentifier);
  static std::shared_ptr<CommonMoveCell> initWithReuseIdentifier(std::string reuseIdentifier);
  static std::shared_ptr<CommonMoveCell> reuseIdentifierCommonMoveCell(std::string reuseIdentifier) {
    return initWithReuseIdentifier(std::move(reuseIdentifier));
  }

  bool isSelect() const { return isSelect_; }
  void setIsSelect(bool on) { isSelect_ = on; }

  void updateHomeBoxData(const HomeBoxData& box);
  void updateWithServListEntity(const ServListEntity& service, const HomeBoxData& box);
  void updateUpdateAddBusiness(const HomeBoxData& box);
  void updateNewAddBusiness(const HomeBoxData& box);
  void updateTip(const std::string& tip);
  void resetImageView();
  void addLine();

  // The row text of a box, shared by the applications list and the reorder screen: the first
  // service of services whose business code is the box's decides the badge and the text; without
  // one, the catalogue's texts (tips, updateTips: by title) do.
  void fillRow(const HomeBoxData& box, const std::vector<std::shared_ptr<ServListEntity>>& services,
               const std::map<std::string, std::string>& tips, const std::map<std::string, std::string>& updateTips);

  const std::shared_ptr<platform::ui::ImageView>& businessImage() const { return businessImage_; }
  const std::shared_ptr<platform::ui::ImageView>& backgroundImage() const { return backgroundImage_; }
  const std::shared_ptr<platform::ui::Label>& businessLabel() const { return businessLabel_; }
  const std::shared_ptr<platform::ui::Label>& introduceLabel() const { return introduceLabel_; }
  const std::shared_ptr<platform::ui::ImageView>& updateImage() const { return updateImage_; }
  const std::shared_ptr<platform::ui::ImageView>& addImagev() const { return addImagev_; }
  const std::shared_ptr<platform::ui::ImageView>& tipmessageImage() const { return tipmessageImage_; }

 private:
  void showBadge(const std::shared_ptr<platform::ui::ImageView>& shown, const std::shared_ptr<platform::ui::ImageView>& hidden,
                 double width);

  bool isSelect_ = false;
  std::shared_ptr<platform::ui::ImageView> businessImage_;
  std::shared_ptr<platform::ui::ImageView> backgroundImage_;
  std::shared_ptr<platform::ui::Label> businessLabel_;
  std::shared_ptr<platform::ui::Label> introduceLabel_;
  std::shared_ptr<platform::ui::ImageView> updateImage_;
  std::shared_ptr<platform::ui::ImageView> addImagev_;
  std::shared_ptr<platform::ui::ImageView> tipmessageImage_;
};

}  // namespace nvx
