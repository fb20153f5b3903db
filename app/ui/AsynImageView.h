// An image view that loads its picture from an address.
//
// Cached mode (the default) goes through the picture cache: a picture already stored for the
// address is shown without a network request; a downloaded one (a 2xx reply) is stored for good,
// written atomically. The view sets the picture itself, or its default picture when the download
// fails or brings no picture. Uncached mode downloads every time and hands the picture to the
// delegate instead.
//
// Setting an address stops the download in flight first; with canBeRefreshed off, the first
// address stays for good (a later one only stops the download). Destroying the view stops its
// download. Main thread only.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net/HttpRequest.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

namespace nvx {

class AsynImageView;

// Told of the downloads of an uncached view.
class AsynImageViewDelegate {
 public:
  virtual ~AsynImageViewDelegate() = default;
  virtual void AsynImageViewDidStart(AsynImageView& /*view*/) {}
  // The picture of the reply; nothing when the reply holds no picture.
  virtual void AsynImageViewDidFinished(AsynImageView& /*view*/, const std::optional<platform::ui::Image>& /*image*/) {}
  virtual void AsynImageViewDidFailed(AsynImageView& /*view*/) {}
};

class AsynImageView : public platform::ui::ImageView {
 public:
  explicit AsynImageView(platform::ui::Rect frame = {}, bool innerCached = true);
  ~AsynImageView() override;
  // A cached view.
  static std::shared_ptr<AsynImageView> create(platform::ui::Rect frame = {});
  static std::shared_ptr<AsynImageView> create(platform::ui::Rect frame, bool innerCached);

  // Loads the picture of the address (see above). An empty address only stops the download.
  void setImageUrl(std::string_view url);
  // Stops the download in flight and detaches it from the view.
  void cancel();

  // The HTTP client's events of the view's download.
  void requestStarted(platform::net::HttpRequest& request);
  void requestFinished(platform::net::HttpRequest& request);
  void requestFailed(platform::net::HttpRequest& request);

  std::weak_ptr<AsynImageViewDelegate> delegate() const { return delegate_; }
  void setDelegate(std::weak_ptr<AsynImageViewDelegate> delegate) { delegate_ = std::move(delegate); }
  const std::string& urlString() const { return urlString_; }
  void setUrlString(std::string url) { urlString_ = std::move(url); }
  bool canBeRefreshed() const { return canBeRefreshed_; }
  void setCanBeRefreshed(bool on) { canBeRefreshed_ = on; }
  // The bundle picture shown when a cached-mode download fails or brings no picture.
  const std::string& defaultImageName() const { return defaultImageName_; }
  void setDefaultImageName(std::string name) { defaultImageName_ = std::move(name); }
  bool isCached() const { return cached_; }
  // The download in flight, if any.
  const std::shared_ptr<platform::net::HttpRequest>& imageRequest() const { return imageRequest_; }

  std::string kind() const override { return "AsynImageView"; }

 private:
  // The reply's bytes (from the network or the picture cache) became a picture, or none.
  void showBytes(std::string_view bytes);
  void showDefaultImage();

  std::shared_ptr<platform::net::HttpRequest> imageRequest_;
  bool cached_ = true;
  bool canBeRefreshed_ = true;
  std::string urlString_;
  std::string defaultImageName_;
  std::weak_ptr<AsynImageViewDelegate> delegate_;
  uint64_t load_ = 0;  // tells a stale cache delivery from the current one
};

}  // namespace nvx
