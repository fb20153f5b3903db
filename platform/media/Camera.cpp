#include "platform/media/Camera.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

#include "platform/foundation/Process.h"

namespace platform::media {
namespace {

bool sizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width * height <= CameraFrame::kMaxPixels;
}

Result<CameraFrame> decodePng(std::string_view bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    png_image_free(&image);
    return Status::error("not a readable PNG picture");
  }
  if (!sizeAllowed(image.width, image.height)) {
    png_image_free(&image);
    return Status::error("picture too large for a camera frame");
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return Status::error("damaged PNG picture");
  }
  return CameraFrame::fromRgba(static_cast<int>(image.width), static_cast<int>(image.height), std::move(rgba));
}

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr) {}

// libjpeg reports errors by longjmp, so only plain C objects live in this frame: the pixels go
// into a malloc'd buffer that the caller takes over.
unsigned char* jpegDecodeC(const unsigned char* data, size_t size, int* width, int* height) {
  jpeg_decompress_struct info;
  JpegError err;
  unsigned char* volatile pixels = nullptr;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegFail;
  err.mgr.output_message = jpegQuiet;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::free(pixels);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  const int64_t w = info.output_width;
  const int64_t h = info.output_height;
  if (!sizeAllowed(w, h) || info.output_components != 4) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  pixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * h * 4)));
  if (pixels == nullptr) {
    jpeg_destroy_decompress(&info);
    return nullptr;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels + static_cast<size_t>(info.output_scanline) * static_cast<size_t>(w) * 4;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return pixels;
}

Result<CameraFrame> decodeJpeg(std::string_view bytes) {
  int width = 0;
  int height = 0;
  unsigned char* pixels =
      jpegDecodeC(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &width, &height);
  if (pixels == nullptr) return Status::error("not a readable JPEG picture");
  std::vector<uint8_t> rgba(pixels, pixels + static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  std::free(pixels);
  return CameraFrame::fromRgba(width, height, std::move(rgba));
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
  static constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G'};
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), kPngSignature, 4) == 0) return decodePng(bytes);
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xD8) {
    return decodeJpeg(bytes);
  }
  return Status::error("not a PNG or JPEG picture");
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
