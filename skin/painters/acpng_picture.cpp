#include "skin/painters/acpng_picture.h"

#include <memory>

#include "skin/painters/canvas_bitmap.h"

namespace skin {

void TPNGPicture::LoadFromBytes(const std::string& bytes) {
  try {
    Image.LoadFromMemory(bytes.data(), bytes.size());
  } catch (const EInvalidGraphic& e) {
    throw gui::EInvalidGraphic(e.what());
  } catch (const EGraphicCompression& e) {
    throw gui::EInvalidGraphic(e.what());
  } catch (const EColorConversionError& e) {
    throw gui::EInvalidGraphic(e.what());
  }
}

void TPNGPicture::Draw(gui::TCanvas& canvas, const gui::TRect& rect) const {
  if (Image.Empty() || rect.IsEmpty()) return;
  if (Image.PixelFormat() != pf32bit) {
    gui::TBitmap plain;
    BitmapToGuiBitmap(Image, plain);
    canvas.StretchDraw(rect, plain);
    return;
  }
  const int32_t w = rect.Width(), h = rect.Height();
  Bitmap work(w, h + Image.Reflected * (h / 2), pf32bit);
  CanvasToBitmap(canvas, rect.Left, rect.Top, work);
  Image.DrawInto(work, w, h);
  BitmapToCanvas(work, canvas, rect.Left, rect.Top);
}

void RegisterPngFileFormat() {
  gui::TPicture::RegisterFileFormat(PngFileExtension, PngFileDescription, "TPNGGraphic",
                                    [] { return std::unique_ptr<gui::TGraphic>(std::make_unique<TPNGPicture>()); });
}

void UnregisterPngFileFormat() { gui::TPicture::UnregisterGraphicClass("TPNGGraphic"); }

}  // namespace skin
