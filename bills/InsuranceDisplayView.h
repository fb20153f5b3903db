// One insurance product as a list row (320 x 140) or as the detail screen's header: its picture
// (downloaded, a default until it arrives), name, price and description; in promotion mode also
// the former price, struck through, and the promotion line.
#pragma once
#include <memory>
#include <string>

#include "app/ui/AsynImageView.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "platform/ui/WebView.h"

namespace nvx {

class InsuranceDisplayView : public platform::ui::View {
 public:
  static constexpr double kWidth = 320;
  static constexpr double kHeight = 140;
  static constexpr int kTitleTag = 10001;
  static constexpr int kPriceTag = 10002;
  static constexpr int kImageTag = 10003;
  static constexpr int kOriginPriceTag = 10004;
  static constexpr const char* kDefaultImage = "insurance_default.png";

  static std::shared_ptr<InsuranceDisplayView> initWithWillShowLine(bool showLine, bool isPromote);
  // Plain mode.
  static std::shared_ptr<InsuranceDisplayView> initWithWillShowLine(bool showLine);

  void setTitle(const std::string& title);
  // "￥<price>".
  void setPrice(const std::string& price);
  // Promotion mode only: "￥<price>", struck through.
  void setOriginPrice(const std::string& price);
  void setDescription(const std::string& text);
  // Promotion mode only.
  void setPromoteDescription(const std::string& text);
  void setImageUrl(const std::string& url);
  void setImage(std::optional<platform::ui::Image> image);
  void setInsuranceId(std::string id) { insuranceId_ = std::move(id); }
  const std::string& insuranceId() const { return insuranceId_; }
  // Keeps the picture, the name and the prices (the detail header): the description, the
  // promotion line and the bottom line go, the prices stand side by side below the name.
  void hideAllViewsBesideTitleAndPrice();
  // A transparent web view where the description label is.
  std::shared_ptr<platform::ui::WebView> buildDescriptionWebView();

  bool isPromote() const { return isPromote_; }
  const std::shared_ptr<platform::ui::Label>& titleLabel() const { return titleLabel_; }
  const std::shared_ptr<platform::ui::Label>& priceLabel() const { return priceLabel_; }
  const std::shared_ptr<platform::ui::Label>& originPriceLabel() const { return originPriceLabel_; }
  const std::shared_ptr<platform::ui::Label>& descriptionLabel() const { return descriptionLabel_; }
  const std::shared_ptr<platform::ui::Label>& promoteLabel() const { return promoteLabel_; }
  const std::shared_ptr<AsynImageView>& imageView() const { return imageView_; }
  // The bottom line, when the row has one (and has not hidden it).
  std::shared_ptr<platform::ui::View> bottomLine() const;

 private:
  using View::View;
  std::shared_ptr<platform::ui::Label> label(platform::ui::Rect frame, double size, platform::ui::Color color);
  void placeBelow(platform::ui::View& view, const platform::ui::View& above);

  bool isPromote_ = false;
  std::string insuranceId_;
  std::shared_ptr<AsynImageView> imageView_;
  std::shared_ptr<platform::ui::Label> titleLabel_;
  std::shared_ptr<platform::ui::Label> priceLabel_;
  std::shared_ptr<platform::ui::Label> originPriceLabel_;
  std::shared_ptr<platform::ui::Label> descriptionLabel_;
  std::shared_ptr<platform::ui::Label> promoteLabel_;
  std::weak_ptr<platform::ui::View> line_;
};

}  // namespace nvx
