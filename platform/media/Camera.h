// The phone's camera (one per process): whether the device has one, whether the user lets the
// application use it, and the video frames of a running capture.
//
// There is no camera hardware here. Tests and the simulator say whether a camera exists and
// show it what it sees: frames made from PNG or JPEG pictures (files or bytes) or from pixel
// buffers made in code. A shown frame goes to every running capture and stays the current frame
// (what a photograph takes) until the next one.
//
// Main thread only, like the screens that use it.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/foundation/Sandbox.h"
#include "platform/foundation/Status.h"
#include "platform/media/Subscription.h"

namespace platform {
class Process;
}

namespace platform::media {

// What the user allowed (the platform's numbering).
enum class CameraAuthorization { NotDetermined = 0, Restricted = 1, Denied = 2, Authorized = 3 };

// One video frame: row-major RGBA pixels, 4 bytes each, width x height.
struct CameraFrame {
  // Frames larger than this (pixels) are refused rather than filling memory.
  static constexpr int64_t kMaxPixels = 40'000'000;

  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;

  // An error unless the buffer holds exactly width x height x 4 bytes and both are positive.
  static Result<CameraFrame> fromRgba(int width, int height, std::vector<uint8_t> rgba);
  // One byte of grey per pixel (0 black, 255 white), made opaque RGBA.
  static Result<CameraFrame> fromGray(int width, int height, const std::vector<uint8_t>& gray);
  // A PNG or JPEG picture, decoded; an error for anything else or a damaged picture.
  static Result<CameraFrame> fromImageBytes(std::string_view bytes);
  static Result<CameraFrame> fromImageFile(const Path& file);

  // The luminance of each pixel (ITU-R BT.601 weights), one byte per pixel.
  std::vector<uint8_t> luma() const;
};

class Camera {
 public:
  using FrameListener = std::function<void(const CameraFrame&)>;

  static Camera& shared();

  // Whether the device has a camera (true until a test or the simulator says otherwise).
  bool isAvailable() const { return available_; }
  void setAvailable(bool available) { available_ = available; }
  // The user's permission (Authorized until a test or the simulator says otherwise).
  CameraAuthorization authorizationStatus() const { return authorization_; }
  void setAuthorizationStatus(CameraAuthorization status) { authorization_ = status; }
  // A camera exists and the user allows its use.
  bool canCapture() const { return available_ && authorization_ == CameraAuthorization::Authorized; }

  // A running capture: the listener gets every frame shown while the subscription lives.
  [[nodiscard]] Subscription startCapture(FrameListener listener);
  bool isCapturing() const { return !listeners_.empty(); }

  // The camera sees the frame: every running capture gets it, and it becomes the current frame.
  // An error (and nothing delivered) without a camera or without the user's permission.
  Status show(CameraFrame frame);
  // The same with a frame decoded from a picture file; an error when it cannot be read.
  Status showImageFile(const Path& file);
  // The frame shown last, if any.
  const std::optional<CameraFrame>& currentFrame() const { return current_; }

 private:
  friend class platform::Process;
  Camera() = default;

  bool available_ = true;
  CameraAuthorization authorization_ = CameraAuthorization::Authorized;
  std::optional<CameraFrame> current_;
  ListenerList<const CameraFrame&> listeners_;
};

}  // namespace platform::media
