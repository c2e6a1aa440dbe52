// The Win32 half of image lists: a comctl32 image list of 32-bit colour with alpha and a mask. Images are put
// in and read back through icons, which carry the alpha on every version of the list.
#include <algorithm>
#include <cstring>

#include "gui/imglist.h"

namespace gui {

namespace {
// A 32-bit top-down DIB section of w x h with the pixels of image scaled to it by nearest pixel.
HBITMAP ScaledDib32(const TBitmap& image, int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib == nullptr) return nullptr;
  const int bpp = image.BytesPerPixel();
  auto* out = static_cast<uint8_t*>(bits);
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = image.ScanLine(static_cast<int>(static_cast<int64_t>(y) * image.Height() / h));
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = row + static_cast<int64_t>(x) * image.Width() / w * bpp;
      uint8_t* d = out + (static_cast<size_t>(y) * w + x) * 4;
      d[0] = p[0];
      d[1] = p[1];
      d[2] = p[2];
      d[3] = bpp == 4 ? p[3] : 255;
    }
  }
  return dib;
}
}  // namespace

bool TCustomImageList::HandleAllocated() const { return handle_ != nullptr; }

HIMAGELIST TCustomImageList::Handle() {
  HandleNeeded();
  return handle_;
}

void TCustomImageList::CreateSystemList() {
  if (handle_ != nullptr) return;
  handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 0, 4);
  if (handle_ == nullptr) throw EInvalidOperation("Cannot make an image list");
  SystemBkColor();
}

void TCustomImageList::DestroySystemList() {
  if (handle_ != nullptr) ImageList_Destroy(handle_);
  handle_ = nullptr;
}

int TCustomImageList::SystemCount() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SystemClear() { ImageList_RemoveAll(handle_); }

int TCustomImageList::SystemAdd(const TBitmap& image) {
  HBITMAP color = ScaledDib32(image, width_, height_);
  if (color == nullptr) return -1;
  HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(color);
  if (icon == nullptr) return -1;
  const int index = ImageList_ReplaceIcon(handle_, -1, icon);
  DestroyIcon(icon);
  return index;
}

bool TCustomImageList::SystemGet(int index, TBitmap& out) {
  // Without a background colour, so that the icon keeps the image's alpha.
  const COLORREF bk = ImageList_SetBkColor(handle_, CLR_NONE);
  HICON icon = ImageList_GetIcon(handle_, index, ILD_NORMAL);
  ImageList_SetBkColor(handle_, bk);
  if (icon == nullptr) return false;
  ICONINFO info{};
  const bool got = GetIconInfo(icon, &info) != 0;
  DestroyIcon(icon);
  if (!got) return false;
  out.SetPixelFormat(TPixelFormat::pf32bit);
  out.SetSize(width_, height_);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  const int rows = info.hbmColor ? GetDIBits(screen, info.hbmColor, 0, height_, out.ScanLine(0), &bi, DIB_RGB_COLORS) : 0;
  ReleaseDC(nullptr, screen);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return rows == height_;
}

void TCustomImageList::SystemBkColor() {
  if (handle_ != nullptr) ImageList_SetBkColor(handle_, bkColor_ == clNone ? CLR_NONE : ColorRef(bkColor_));
}

void TCustomImageList::SystemDraw(int index, TCanvas& canvas, int x, int y, bool enabled) {
  if (!canvas.HandleAllocated()) return;
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  IMAGELISTDRAWPARAMS p{};
  p.cbSize = sizeof(p);
  p.himl = handle_;
  p.i = index;
  p.hdcDst = canvas.Handle();
  p.x = x;
  p.y = y;
  p.rgbBk = CLR_DEFAULT;
  p.rgbFg = BlendColor == clNone ? CLR_DEFAULT : ColorRef(BlendColor);
  p.fStyle = styles[static_cast<int>(DrawingStyle)] | (ImageType == TImageType::itMask ? ILD_MASK : 0);
  p.fState = enabled ? ILS_NORMAL : ILS_SATURATE;
  ImageList_DrawIndirect(&p);
}

}  // namespace gui
