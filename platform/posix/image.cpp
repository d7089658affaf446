// The image seam on Linux: JPEG through libjpeg-turbo, PNG through libpng, chosen by the image's
// signature, both decoding from memory; the progress tiles from the data generated beside this file.
#include "platform/image.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstring>

namespace platform {
namespace {

struct JpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
  longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Decodes a whole JPEG into `out`; false on any error. No object with a destructor lives between the
// setjmp and the library calls that may jump back to it.
bool DecodeJpeg(std::string_view bytes, ui::Bitmap& out) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
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

bool DecodePng(std::string_view bytes, ui::Bitmap& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
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

ui::Bitmap DecodeImage(std::string_view bytes) {
  const auto* signature = reinterpret_cast<const unsigned char*>(bytes.data());
  ui::Bitmap bitmap;
  bool ok = false;
  if (bytes.size() >= 3 && signature[0] == 0xFF && signature[1] == 0xD8 && signature[2] == 0xFF) {
    ok = DecodeJpeg(bytes, bitmap);
  } else if (bytes.size() >= 8 && png_sig_cmp(signature, 0, 8) == 0) {
    ok = DecodePng(bytes, bitmap);
  }
  if (!ok) return {};
  bitmap.ClearFillerBytes();
  return bitmap;
}

}  // namespace platform
