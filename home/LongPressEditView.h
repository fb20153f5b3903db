// The popup menus for a pressed box: LongPressEditView (move to the first place, reorder,
// delete, cancel) for a box of the common page, AllBusinessEditView (add to the common page,
// cancel) for a box of another page. Each hides itself after any of its buttons and tells its
// delegate, with the pressed box's position where the choice needs one.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

namespace nvx {

class EditViewDelelgate {
 public:
  virtual ~EditViewDelelgate() = default;
  virtual void setToFirstLocation(uint32_t /*position*/) {}
  virtual void resetLocation() {}
  virtual void deleteItem(uint32_t /*position*/) {}
  virtual void cancel() {}
};

class AllBusinessEditViewDelegate {
 public:
  virtual ~AllBusinessEditViewDelegate() = default;
  virtual void addToCommonView(uint32_t /*position*/) {}
  virtual void cancelAdd() {}
};

class LongPressEditView : public platform::ui::View {
 public:
  static constexpr const char* kTitles[4] = {"放到首位", "重新排序", "删除", "取消"};

  explicit LongPressEditView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<LongPressEditView> initWithFrame(platform::ui::Rect frame);

  void pressedIndexOfItem(uint32_t position) { pressIndex_ = position; }
  uint32_t pressIndex() const { return pressIndex_; }
  std::weak_ptr<EditViewDelelgate> delegate;
  void action(const platform::ui::Button& button);

 private:
  uint32_t pressIndex_ = 0;
};

class AllBusinessEditView : public platform::ui::View {
 public:
  static constexpr const char* kAddedMessage = "该应用已添加到常用中";
  static constexpr const char* kTitles[2] = {"添加到常用", "取消"};

  explicit AllBusinessEditView(platform::ui::Rect frame) : View(frame) {}
  static std::shared_ptr<AllBusinessEditView> initWithFrame(platform::ui::Rect frame);

  void pressedIndexOfItem(uint32_t position) { pressIndex_ = position; }
  uint32_t pressIndex() const { return pressIndex_; }
  std::weak_ptr<AllBusinessEditViewDelegate> delegate;
  void action(const platform::ui::Button& button);
  // The message box hidden, the buttons shown.
  void resetView();

  const std::shared_ptr<platform::ui::View>& tipview() const { return tipview_; }
  const std::shared_ptr<platform::ui::View>& subview() const { return subview_; }

 private:
  uint32_t pressIndex_ = 0;
  std::shared_ptr<platform::ui::View> tipview_;
  std::shared_ptr<platform::ui::View> subview_;
};

}  // namespace nvx
