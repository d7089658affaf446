// The image seam on Windows: GDI+ decodes every format it knows, from a stream over the bytes; the
// progress tiles are bitmap resources of the executable.
#include "platform/image.h"

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>
#include <shlwapi.h>

#include <algorithm>
namespace Gdiplus {
using std::max;  // the GDI+ headers expect min and max, which NOMINMAX keeps out of windows.h
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

namespace gdip = Gdiplus::DllExports;

// GDI+ started once for the process, on first use by whichever thread comes first, and shut down
// at its end. Constant-initialised, so its one-time start needs no guard from the runtime.
class GdiplusSession {
 public:
  constexpr GdiplusSession() = default;
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession() {
    if (m_ok) Gdiplus::GdiplusShutdown(m_token);
  }
  // True when GDI+ runs.
  bool Start() {
    InitOnceExecuteOnce(&m_once, StartOnce, this, nullptr);
    return m_ok;
  }

 private:
  static BOOL CALLBACK StartOnce(PINIT_ONCE, PVOID self, PVOID*) {
    auto* session = static_cast<GdiplusSession*>(self);
    Gdiplus::GdiplusStartupInput input;
    session->m_ok = Gdiplus::GdiplusStartup(&session->m_token, &input, nullptr) == Gdiplus::Ok;
    return TRUE;
  }

  INIT_ONCE m_once = INIT_ONCE_STATIC_INIT;
  ULONG_PTR m_token = 0;
  bool m_ok = false;
};

GdiplusSession Session;

struct DisposeImage {
  void operator()(Gdiplus::GpBitmap* b) const { gdip::GdipDisposeImage(b); }
};
using GdipBitmap = win32::UniqueHandle<Gdiplus::GpBitmap*, DisposeImage>;

struct ReleaseStream {
  void operator()(IStream* stream) const { stream->Release(); }
};
using StreamHandle = win32::UniqueHandle<IStream*, ReleaseStream>;

struct DeleteDc {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DeleteGdiObject {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using MemoryDc = win32::UniqueHandle<HDC, DeleteDc>;
using GdiBitmap = win32::UniqueHandle<HGDIOBJ, DeleteGdiObject>;

}  // namespace

ui::Bitmap DecodeImage(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > UINT_MAX || !Session.Start()) return {};
  // The stream holds a copy of the bytes; GDI+ may read from it for as long as the image lives.
  StreamHandle stream(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  Gdiplus::GpBitmap* raw = nullptr;
  if (!stream || gdip::GdipCreateBitmapFromStream(stream.Get(), &raw) != Gdiplus::Ok) return {};
  GdipBitmap image(raw);
  UINT width = 0, height = 0;
  gdip::GdipGetImageWidth(reinterpret_cast<Gdiplus::GpImage*>(raw), &width);
  gdip::GdipGetImageHeight(reinterpret_cast<Gdiplus::GpImage*>(raw), &height);
  if (width == 0 || height == 0 || int64_t{width} * height > kMaxImagePixels) return {};
  ui::Bitmap bitmap(static_cast<int32_t>(width), static_cast<int32_t>(height));
  // Read straight into our rows: 32 bits a pixel, top row first, the fourth byte unused.
  Gdiplus::BitmapData data{};
  data.Width = width;
  data.Height = height;
  data.Stride = static_cast<INT>(width * 4);
  data.PixelFormat = PixelFormat32bppRGB;
  data.Scan0 = bitmap.Data();
  const Gdiplus::GpRect all(0, 0, static_cast<INT>(width), static_cast<INT>(height));
  if (gdip::GdipBitmapLockBits(raw, &all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                               PixelFormat32bppRGB, &data) != Gdiplus::Ok)
    return {};
  gdip::GdipBitmapUnlockBits(raw, &data);
  bitmap.ClearFillerBytes();
  return bitmap;
}

ui::Bitmap LoadBitmapResource(int32_t id) {
  GdiBitmap handle(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!handle || GetObjectW(handle.Get(), sizeof info, &info) == 0) return {};
  ui::Bitmap bitmap(info.bmWidth, info.bmHeight);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = -info.bmHeight;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  MemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc || GetDIBits(dc.Get(), static_cast<HBITMAP>(handle.Get()), 0, static_cast<UINT>(info.bmHeight),
                       bitmap.Data(), &format, DIB_RGB_COLORS) == 0)
    return {};
  bitmap.ClearFillerBytes();
  return bitmap;
}

}  // namespace platform
