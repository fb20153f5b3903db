// A row of segments, each with a title or a picture; one (or none) is selected.
//
// Widths: a segment keeps the width set for it; the others share what is left of the control's
// width equally. A user's tap on a segment (tapSegment; tap() taps the segment under the
// centre) selects it and sends ValueChanged only when the selection changes; a momentary control
// sends ValueChanged on every tap and shows no lasting selection (selectedSegmentIndex still
// answers the last segment tapped). setSelectedSegmentIndex (a program's) sends nothing.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/Color.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

namespace platform::ui {

enum class SegmentedControlStyle { Plain, Bordered, Bar, Bezeled };

class SegmentedControl : public Control {
 public:
  static constexpr int kNoSegment = -1;

  explicit SegmentedControl(std::vector<std::string> titles = {}, Rect frame = {});
  static std::shared_ptr<SegmentedControl> create(std::vector<std::string> titles = {});
  static std::shared_ptr<SegmentedControl> create(Rect frame, std::vector<std::string> titles);

  int numberOfSegments() const { return static_cast<int>(segments_.size()); }
  // index past the end: appended.
  void insertSegment(std::string title, int index, bool animated = false);
  void insertSegment(Image image, int index, bool animated = false);
  void removeSegment(int index, bool animated = false);
  void removeAllSegments();

  // Nothing for a segment that does not exist or has none.
  std::optional<std::string> titleForSegment(int index) const;
  void setTitle(std::string title, int index);
  std::optional<Image> imageForSegment(int index) const;
  void setImage(Image image, int index);
  bool isEnabledForSegment(int index) const;
  void setEnabled(bool on, int index);
  using Control::setEnabled;
  // 0 = shares the free width.
  double widthForSegment(int index) const;
  void setWidth(double width, int index);
  // In the control's coordinates; empty for a segment that does not exist.
  Rect segmentFrame(int index) const;

  int selectedSegmentIndex() const { return selected_; }
  // Out of range: no segment.
  void setSelectedSegmentIndex(int index);
  bool isMomentary() const { return momentary_; }
  void setMomentary(bool on) { momentary_ = on; }
  SegmentedControlStyle segmentedControlStyle() const { return style_; }
  void setSegmentedControlStyle(SegmentedControlStyle s) { style_ = s; }
  const std::optional<Color>& tintColor() const { return tint_; }
  void setTintColor(std::optional<Color> c) { tint_ = c; }

  // --- a simulated user ---
  // False when the control or the segment is disabled, the segment does not exist or the
  // control takes no touches.
  bool tapSegment(int index);
  bool tap() override;

  std::string kind() const override { return "SegmentedControl"; }

 protected:
  // " segments=\"a\"|\"b\"" (a picture segment as its name), " selected=N" unless none.
  void describeExtras(std::string& out) const override;

 private:
  struct Segment {
    std::optional<std::string> title;
    std::optional<Image> image;
    bool enabled = true;
    double width = 0;
  };
  bool valid(int index) const { return index >= 0 && index < numberOfSegments(); }

  std::vector<Segment> segments_;
  int selected_ = kNoSegment;
  bool momentary_ = false;
  SegmentedControlStyle style_ = SegmentedControlStyle::Plain;
  std::optional<Color> tint_;
};

}  // namespace platform::ui
