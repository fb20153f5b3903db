#include "platform/media/PictureDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <png.h>

namespace platform::media {
namespace {

bool isPng(std::string_view bytes) {
  return bytes.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

bool isJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8;
}

bool sizeAllowed(int64_t width, int64_t height, int64_t maxPixels) {
  return width > 0 && height > 0 && width * height <= maxPixels;
}

// --- PNG (libpng's simplified interface) ---

// Reads the header into `image`; the caller frees it.
bool pngBegin(png_image& image, std::string_view bytes) {
  image = png_image{};
  image.version = PNG_IMAGE_VERSION;
  return png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) != 0;
}

std::optional<PictureSize> pngSize(std::string_view bytes) {
  png_image image;
  const bool ok = pngBegin(image, bytes);
  PictureSize size{static_cast<int>(image.width), static_cast<int>(image.height)};
  png_image_free(&image);
  if (!ok || size.width <= 0 || size.height <= 0) return std::nullopt;
  return size;
}

Result<DecodedPicture> pngDecode(std::string_view bytes, int64_t maxPixels) {
  png_image image;
  if (!pngBegin(image, bytes)) {
    png_image_free(&image);
    return Status::error("not a readable PNG picture");
  }
  if (!sizeAllowed(image.width, image.height, maxPixels)) {
    png_image_free(&image);
    return Status::error("picture too large");
  }
  image.format = PNG_FORMAT_RGBA;
  DecodedPicture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return Status::error("damaged PNG picture");
  }
  return picture;
}

// --- JPEG (libjpeg) ---

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void jpegQuiet(j_common_ptr) {}

// Reads the header and, when `pixels` is given, every pixel as RGBA into a malloc'd buffer that
// the caller takes over (pictures of more than maxPixels pixels are refused). libjpeg reports
// errors by longjmp, so only plain C objects live in this frame.
bool jpegReadC(const unsigned char* data, size_t size, int64_t maxPixels, int* width, int* height,
               unsigned char** pixels) {
  jpeg_decompress_struct info;
  JpegError err;
  unsigned char* volatile buffer = nullptr;
  info.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = jpegFail;
  err.mgr.output_message = jpegQuiet;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    std::free(buffer);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  if (pixels == nullptr) {
    *width = static_cast<int>(info.image_width);
    *height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return true;
  }
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  const int64_t w = info.output_width;
  const int64_t h = info.output_height;
  if (!sizeAllowed(w, h, maxPixels) || info.output_components != 4) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  buffer = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * h * 4)));
  if (buffer == nullptr) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = buffer + static_cast<size_t>(info.output_scanline) * static_cast<size_t>(w) * 4;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  *pixels = buffer;
  return true;
}

const unsigned char* bytesOf(std::string_view bytes) { return reinterpret_cast<const unsigned char*>(bytes.data()); }

std::optional<PictureSize> jpegSize(std::string_view bytes) {
  PictureSize size;
  if (!jpegReadC(bytesOf(bytes), bytes.size(), 0, &size.width, &size.height, nullptr)) return std::nullopt;
  if (size.width <= 0 || size.height <= 0) return std::nullopt;
  return size;
}

Result<DecodedPicture> jpegDecode(std::string_view bytes, int64_t maxPixels) {
  DecodedPicture picture;
  unsigned char* pixels = nullptr;
  if (!jpegReadC(bytesOf(bytes), bytes.size(), maxPixels, &picture.width, &picture.height, &pixels)) {
    return Status::error("not a readable JPEG picture");
  }
  picture.rgba.assign(pixels, pixels + static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4);
  std::free(pixels);
  return picture;
}

}  // namespace

std::optional<PictureSize> PictureDecoder::size(std::string_view bytes) {
  if (isPng(bytes)) return pngSize(bytes);
  if (isJpeg(bytes)) return jpegSize(bytes);
  return std::nullopt;
}

Result<DecodedPicture> PictureDecoder::decode(std::string_view bytes, int64_t maxPixels) {
  if (isPng(bytes)) return pngDecode(bytes, maxPixels);
  if (isJpeg(bytes)) return jpegDecode(bytes, maxPixels);
  return Status::error("not a PNG or JPEG picture");
}

}  // namespace platform::media
