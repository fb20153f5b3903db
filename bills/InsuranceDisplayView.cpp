#include "bills/InsuranceDisplayView.h"

#include "app/ui/LabelExt.h"
#include "platform/ui/ImageView.h"

namespace nvx {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Rect;

namespace {
constexpr double kTextX = 140;
constexpr double kTextWidth = 170;
constexpr double kGap = 4;
const Color kRed = Color::rgb255(255, 0, 0);
const Color kGrey = Color::gray(0.5);
}  // namespace

std::shared_ptr<InsuranceDisplayView> InsuranceDisplayView::initWithWillShowLine(bool showLine) {
  return initWithWillShowLine(showLine, false);
}

std::shared_ptr<InsuranceDisplayView> InsuranceDisplayView::initWithWillShowLine(bool showLine, bool isPromote) {
  std::shared_ptr<InsuranceDisplayView> v(new InsuranceDisplayView(Rect{0, 0, kWidth, kHeight}));
  v->isPromote_ = isPromote;
  v->imageView_ = AsynImageView::create(Rect{10, 22, 120, 95});
  v->imageView_->setTag(kImageTag);
  v->imageView_->setDefaultImageName(kDefaultImage);
  v->imageView_->setImage(platform::ui::Image::named(kDefaultImage));
  v->addSubview(v->imageView_);
  v->descriptionLabel_ = v->label(Rect{kTextX, 64, kTextWidth, isPromote ? 20.0 : 40.0}, 16, kGrey);
  v->descriptionLabel_->setNumberOfLines(isPromote ? 1 : 2);
  v->priceLabel_ = v->label(Rect{kTextX, 38, 80, 20}, 16, kRed);
  v->priceLabel_->setTag(kPriceTag);
  v->titleLabel_ = v->label(Rect{kTextX, 12, kTextWidth, 22}, 18, Color::black());
  v->titleLabel_->setTag(kTitleTag);
  if (showLine) {
    auto line = platform::ui::ImageView::create(platform::ui::Image::named("line.png"));
    line->setFrame(Rect{10, kHeight - 1, 300, 1});
    v->addSubview(line);
    v->line_ = line;
  }
  if (isPromote) {
    v->promoteLabel_ = v->label(Rect{kTextX, 88, kTextWidth, 20}, 16, kRed);
    v->originPriceLabel_ = v->label(Rect{225, 38, 85, 20}, 16, Color::black());
    v->originPriceLabel_->setTag(kOriginPriceTag);
    v->originPriceLabel_->setTextAlignment(platform::ui::TextAlignment::Center);
    // The grey half-point line across the middle strikes the former price through.
    auto strike = platform::ui::View::create(Rect{0, 9.75, 85, 0.5});
    strike->setBackgroundColor(Color::gray(0.6));
    v->originPriceLabel_->addSubview(strike);
  }
  return v;
}

std::shared_ptr<platform::ui::Label> InsuranceDisplayView::label(Rect frame, double size, Color color) {
  auto l = platform::ui::Label::create(frame);
  l->setFont(Font::system(size));
  l->setTextColor(color);
  l->setBackgroundColor(Color::clear());
  addSubview(l);
  return l;
}

void InsuranceDisplayView::placeBelow(platform::ui::View& view, const platform::ui::View& above) {
  Rect f = view.frame();
  f.y = above.frame().y + above.frame().height + kGap;
  view.setFrame(f);
}

std::shared_ptr<platform::ui::View> InsuranceDisplayView::bottomLine() const {
  auto line = line_.lock();
  return line && line->superview().get() == this ? line : nullptr;
}

void InsuranceDisplayView::setTitle(const std::string& title) {
  titleLabel_->setText(title);
  LabelExt::autoWrapWithMaxLines(*titleLabel_, 2);
  placeBelow(*priceLabel_, *titleLabel_);
  if (originPriceLabel_) {
    Rect f = originPriceLabel_->frame();
    f.y = priceLabel_->frame().y;
    originPriceLabel_->setFrame(f);
  }
  placeBelow(*descriptionLabel_, *priceLabel_);
}

void InsuranceDisplayView::setPrice(const std::string& price) { priceLabel_->setText("￥" + price); }

void InsuranceDisplayView::setOriginPrice(const std::string& price) {
  if (originPriceLabel_) originPriceLabel_->setText("￥" + price);
}

void InsuranceDisplayView::setDescription(const std::string& text) {
  descriptionLabel_->setText(text);
  LabelExt::autoWrapWithMaxLines(*descriptionLabel_, 2);
}

void InsuranceDisplayView::setPromoteDescription(const std::string& text) {
  if (!promoteLabel_) return;
  promoteLabel_->setText(text);
  LabelExt::autoWrapWithMaxLines(*promoteLabel_, 2);
  placeBelow(*promoteLabel_, *descriptionLabel_);
}

void InsuranceDisplayView::setImageUrl(const std::string& url) { imageView_->setImageUrl(url); }

void InsuranceDisplayView::setImage(std::optional<platform::ui::Image> image) { imageView_->setImage(std::move(image)); }

void InsuranceDisplayView::hideAllViewsBesideTitleAndPrice() {
  const auto children = subviews();
  for (const auto& child : children) {
    const int tag = child->tag();
    if (tag != kTitleTag && tag != kPriceTag && tag != kImageTag && tag != kOriginPriceTag) child->removeFromSuperview();
  }
  placeBelow(*priceLabel_, *titleLabel_);
  if (originPriceLabel_) {
    Rect f = originPriceLabel_->frame();
    f.x = priceLabel_->frame().x + priceLabel_->frame().width + 5;
    f.y = priceLabel_->frame().y;
    originPriceLabel_->setFrame(f);
  }
}

std::shared_ptr<platform::ui::WebView> InsuranceDisplayView::buildDescriptionWebView() {
  auto web = platform::ui::WebView::create(descriptionLabel_->frame());
  web->setBackgroundColor(Color::clear());
  addSubview(web);
  return web;
}

}  // namespace nvx
