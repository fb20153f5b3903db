#include "app/ui/AsynImageView.h"

#include "core/session/AppDirs.h"
#include "app/ui/CachedDownload.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/MainThread.h"

namespace nvx {

namespace {

using platform::net::HttpRequest;

std::shared_ptr<AsynImageView> lockView(const std::weak_ptr<platform::ui::View>& weak) {
  return std::static_pointer_cast<AsynImageView>(weak.lock());
}

}  // namespace

AsynImageView::AsynImageView(platform::ui::Rect frame, bool innerCached)
    : ImageView(frame), cached_(innerCached) {}

AsynImageView::~AsynImageView() {
  if (imageRequest_) imageRequest_->cancel();
}

std::shared_ptr<AsynImageView> AsynImageView::create(platform::ui::Rect frame) { return create(frame, true); }

std::shared_ptr<AsynImageView> AsynImageView::create(platform::ui::Rect frame, bool innerCached) {
  return std::make_shared<AsynImageView>(frame, innerCached);
}

void AsynImageView::cancel() {
  ++load_;
  if (!imageRequest_) return;
  auto request = std::move(imageRequest_);
  imageRequest_.reset();
  request->cancel();
}

void AsynImageView::setImageUrl(std::string_view url) {
  platform::ui::assertMainThread();
  cancel();
  if (url.empty()) return;
  if (!canBeRefreshed_ && !urlString_.empty()) return;
  urlString_ = std::string(url);

  std::weak_ptr<platform::ui::View> weak = weak_from_this();
  if (cached_) {
    // Stored before: shown on the next pass of the loop, as a reply would be, without a request.
    if (auto bytes = AppDirs::localCacheImageData(CachedDownload::cacheFileName(urlString_))) {
      platform::dispatchMain([weak, load = load_, bytes = std::move(*bytes)] {
        auto self = lockView(weak);
        if (self && self->load_ == load) self->showBytes(bytes);
      });
      return;
    }
  }

  auto request = HttpRequest::make(urlString_);
  imageRequest_ = request;
  std::weak_ptr<HttpRequest> weakRequest = request;
  platform::dispatchMain([weak, weakRequest] {
    auto self = lockView(weak);
    auto started = weakRequest.lock();
    if (self && started && self->imageRequest_ == started) self->requestStarted(*started);
  });
  // The request belongs to the view; its completions hold the view weakly.
  request->startAsynchronous(
      [weak](HttpRequest& r) {
        if (auto self = lockView(weak)) self->requestFinished(r);
      },
      [weak](HttpRequest& r) {
        if (auto self = lockView(weak)) self->requestFailed(r);
      });
}

void AsynImageView::requestStarted(HttpRequest& request) {
  if (cached_ || imageRequest_.get() != &request) return;
  if (auto delegate = delegate_.lock()) delegate->AsynImageViewDidStart(*this);
}

void AsynImageView::requestFinished(HttpRequest& request) {
  if (imageRequest_.get() != &request) return;
  auto done = std::move(imageRequest_);
  imageRequest_.reset();
  const int status = request.statusCode();
  if (cached_ && status >= 200 && status <= 299 && !request.responseData().empty()) {
    platform::Path file = AppDirs::localCacheImagePath(CachedDownload::cacheFileName(urlString_));
    if (!platform::fs::writeAtomic(file, request.responseData())) {
      platform::log::warning("AsynImageView", "cannot store a picture in the cache");
    }
  }
  showBytes(request.responseData());
}

void AsynImageView::requestFailed(HttpRequest& request) {
  if (imageRequest_.get() != &request) return;
  auto done = std::move(imageRequest_);
  imageRequest_.reset();
  if (cached_) {
    if (!defaultImageName_.empty()) setImage(platform::ui::Image::named(defaultImageName_));
    return;
  }
  if (auto delegate = delegate_.lock()) delegate->AsynImageViewDidFailed(*this);
}

void AsynImageView::showBytes(std::string_view bytes) {
  std::optional<platform::ui::Image> image = platform::ui::Image::fromBytes(bytes);
  if (!cached_) {
    if (auto delegate = delegate_.lock()) delegate->AsynImageViewDidFinished(*this, image);
    return;
  }
  if (!image && !defaultImageName_.empty()) image = platform::ui::Image::named(defaultImageName_);
  if (image) setImage(std::move(image));
}

}  // namespace nvx
