#include "platform/media/PictureEncoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>

namespace platform::media {

namespace {

struct ErrorExit {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void onError(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorExit*>(info->err)->jump, 1); }

}  // namespace

Result<std::string> PictureEncoder::jpeg(int width, int height, const std::vector<uint8_t>& rgba, double quality) {
  if (width <= 0 || height <= 0 ||
      rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    return Status::error("picture: pixel buffer does not match its size");
  }
  const int level = std::clamp(static_cast<int>(std::lround(std::clamp(quality, 0.0, 1.0) * 100)), 1, 100);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  jpeg_compress_struct info{};
  ErrorExit error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = onError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return Status::error("picture: the JPEG encoder failed");
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, level, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    const uint8_t* src = &rgba[static_cast<size_t>(info.next_scanline) * static_cast<size_t>(width) * 4];
    for (int x = 0; x < width; ++x) {
      row[static_cast<size_t>(x) * 3] = src[x * 4];
      row[static_cast<size_t>(x) * 3 + 1] = src[x * 4 + 1];
      row[static_cast<size_t>(x) * 3 + 2] = src[x * 4 + 2];
    }
    JSAMPROW line = row.data();
    jpeg_write_scanlines(&info, &line, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

}  // namespace platform::media
