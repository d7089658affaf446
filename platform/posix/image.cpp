// The image seam on Linux: JPEG through libjpeg-turbo, PNG through libpng, chosen by the file's
// signature; the progress tiles from the data generated beside this file.
#include "platform/image.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/posix/native_path.h"

namespace platform {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct JpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Decodes a whole JPEG into `out`; false on any error. No object with a destructor lives between the
// setjmp and the library calls that may jump back to it.
bool DecodeJpeg(FILE* file, ui::Bitmap& out) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGRX;  // 4 bytes a pixel: the raw layout of ui::Bitmap
  if (int64_t{info.image_width} * info.image_height > kMaxImagePixels) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  out = ui::Bitmap(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(out.Row(static_cast<int32_t>(info.output_scanline)));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

bool DecodePng(FILE* file, ui::Bitmap& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_stdio(&image, file)) return false;
  if (int64_t{image.width} * image.height > kMaxImagePixels) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  out = ui::Bitmap(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
  const bool ok = png_image_finish_read(&image, nullptr, out.Data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace

ui::Bitmap LoadImageFile(const std::u16string& path) {
  FilePtr file(fopen(posix::NativePath(path).c_str(), "rb"));
  if (!file) return {};
  unsigned char signature[8] = {};
  const size_t got = fread(signature, 1, sizeof signature, file.get());
  rewind(file.get());
  ui::Bitmap bitmap;
  bool ok = false;
  if (got >= 3 && signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF) {
    ok = DecodeJpeg(file.get(), bitmap);
  } else if (got == 8 && png_sig_cmp(signature, 0, 8) == 0) {
    ok = DecodePng(file.get(), bitmap);
  }
  if (!ok) return {};
  bitmap.ClearFillerBytes();
  return bitmap;
}

}  // namespace platform
