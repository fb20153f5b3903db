#include "platform/media/Camera.h"

#include "platform/foundation/Process.h"
#include "platform/media/PictureDecoder.h"

namespace platform::media {
namespace {

bool sizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width * height <= CameraFrame::kMaxPixels;
}

}  // namespace

Result<CameraFrame> CameraFrame::fromRgba(int width, int height, std::vector<uint8_t> rgba) {
  if (!sizeAllowed(width, height)) return Status::error("frame size out of range");
  if (rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    return Status::error("frame buffer does not hold width x height RGBA pixels");
  }
  CameraFrame frame;
  frame.width = width;
  frame.height = height;
  frame.rgba = std::move(rgba);
  return frame;
}

Result<CameraFrame> CameraFrame::fromGray(int width, int height, const std::vector<uint8_t>& gray) {
  if (!sizeAllowed(width, height)) return Status::error("frame size out of range");
  if (gray.size() != static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return Status::error("frame buffer does not hold width x height grey pixels");
  }
  std::vector<uint8_t> rgba;
  rgba.reserve(gray.size() * 4);
  for (uint8_t g : gray) {
    rgba.push_back(g);
    rgba.push_back(g);
    rgba.push_back(g);
    rgba.push_back(255);
  }
  return fromRgba(width, height, std::move(rgba));
}

Result<CameraFrame> CameraFrame::fromImageBytes(std::string_view bytes) {
  auto picture = PictureDecoder::decode(bytes, kMaxPixels);
  if (!picture) return Status::error(picture.error());
  return fromRgba(picture->width, picture->height, std::move(picture->rgba));
}

Result<CameraFrame> CameraFrame::fromImageFile(const Path& file) {
  auto bytes = fs::read(file);
  if (!bytes) return Status::error("cannot read " + file.string());
  return fromImageBytes(*bytes);
}

std::vector<uint8_t> CameraFrame::luma() const {
  std::vector<uint8_t> out(rgba.size() / 4);
  for (size_t i = 0; i < out.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    out[i] = static_cast<uint8_t>((299u * p[0] + 587u * p[1] + 114u * p[2] + 500u) / 1000u);
  }
  return out;
}

Camera& Camera::shared() { return Process::current().shared<Camera>(); }

Subscription Camera::startCapture(FrameListener listener) { return listeners_.add(std::move(listener)); }

Status Camera::show(CameraFrame frame) {
  if (!available_) return Status::error("the device has no camera");
  if (authorization_ != CameraAuthorization::Authorized) return Status::error("the camera is not authorized");
  current_ = std::move(frame);
  // A listener may show the next frame or stop the capture; it reads its own copy.
  CameraFrame delivered = *current_;
  listeners_.call(delivered);
  return Status::success();
}

Status Camera::showImageFile(const Path& file) {
  auto frame = CameraFrame::fromImageFile(file);
  if (!frame) return Status::error(frame.error());
  return show(std::move(frame.value()));
}

}  // namespace platform::media
