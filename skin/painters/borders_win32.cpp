#include <windows.h>

#include <algorithm>
#include <vector>

#include "gui/controls.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/painter_services.h"

namespace skin {

namespace {

// A solid brush of the colour, deleted on every path.
class SolidBrush {
 public:
  explicit SolidBrush(TColor color) : brush_(ledger::CreateSolidBrush(COLORREF(ColorToRGB(color)) & 0xFFFFFF)) {}
  ~SolidBrush() {
    if (brush_ != nullptr) ledger::DeleteObject(brush_);
  }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  HBRUSH get() const { return brush_; }

 private:
  HBRUSH brush_;
};

// A region of the rectangles (nullptr when there are none or the system cannot make it).
HRGN RegionOfRects(const std::vector<TRect>& rects) {
  if (rects.empty()) return nullptr;
  std::vector<char> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = DWORD(rects.size());
  data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  RECT bounds{rects[0].Left, rects[0].Top, rects[0].Right, rects[0].Bottom};
  auto* out = reinterpret_cast<RECT*>(data->Buffer);
  for (size_t i = 0; i < rects.size(); ++i) {
    const TRect& r = rects[i];
    out[i] = RECT{r.Left, r.Top, r.Right, r.Bottom};
    bounds.left = std::min<LONG>(bounds.left, r.Left);
    bounds.top = std::min<LONG>(bounds.top, r.Top);
    bounds.right = std::max<LONG>(bounds.right, r.Right);
    bounds.bottom = std::max<LONG>(bounds.bottom, r.Bottom);
  }
  data->rdh.rcBound = bounds;
  return ledger::ExtCreateRegion(nullptr, DWORD(buffer.size()), data);
}

}  // namespace

bool SubtractRects(HRGN region, const std::vector<TRect>& rects) {
  if (region == nullptr) return false;
  if (rects.empty()) return true;
  HRGN cut = RegionOfRects(rects);
  if (cut == nullptr) return false;
  const bool ok = CombineRgn(region, region, cut, RGN_DIFF) != ERROR;
  ledger::DeleteObject(cut);
  return ok;
}

HRGN RegionWithoutRects(const TRect& bounds, const std::vector<TRect>& rects) {
  HRGN region = ledger::CreateRectRgn(bounds.Left, bounds.Top, bounds.Right, bounds.Bottom);
  if (region == nullptr) return nullptr;
  if (!SubtractRects(region, rects)) {
    ledger::DeleteObject(region);
    return nullptr;
  }
  return region;
}

void DrawBorderImage(Bitmap& dst, const TRect& R, const SkinImageRecord& rec, int32_t state, bool keyed, HRGN region) {
  std::vector<TRect> runs;
  DrawBorderImage(dst, R, rec, state, keyed, region != nullptr ? &runs : nullptr);
  if (region != nullptr) SubtractRects(region, runs);
}

void PaintBorderFrame(HDC dc, const TRect& R, int32_t clientMargin, TRect& clientRect, int32_t state,
                      TsCommonData& data) {
  PaintBorderFrame(R, clientMargin, clientRect, state, data);
  if (dc == nullptr || clientMargin == 0 || !data.CacheBmp) return;
  // The frame only: the four bands between R and the client rectangle.
  const TRect c = clientRect;
  const TRect bands[4] = {{R.Left, R.Top, R.Right, c.Top},
                          {R.Left, c.Bottom, R.Right, R.Bottom},
                          {R.Left, c.Top, c.Left, c.Bottom},
                          {c.Right, c.Top, R.Right, c.Bottom}};
  for (const TRect& b : bands)
    if (!RectIsEmpty(b))
      BitmapToDC(dc, b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top, *data.CacheBmp, b.Left, b.Top);
}

void FillFrameColor(HDC dc, const TRect& R, int32_t left, int32_t top, int32_t right, int32_t bottom, TColor color) {
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  {
    SolidBrush brush(color);
    if (brush.get() != nullptr) {
      const RECT strips[4] = {{R.Left, R.Top, R.Right, R.Top + top},
                              {R.Left, R.Top + top, R.Left + left, R.Bottom},
                              {R.Left + left, R.Bottom - bottom, R.Right, R.Bottom},
                              {R.Right - right, R.Top + top, R.Right, R.Bottom - bottom}};
      for (const RECT& s : strips)
        if (s.right > s.left && s.bottom > s.top) FillRect(dc, &s, brush.get());
    }
  }
  if (saved != 0) RestoreDC(dc, saved);
}

void CopyBorderStrips(HDC dc, int32_t x, int32_t y, int32_t stripWidth, int32_t width, int32_t height, HDC srcDC,
                      int32_t srcX, int32_t srcY) {
  const int32_t w = std::min({stripWidth, width, height});
  if (dc == nullptr || srcDC == nullptr || w <= 0) return;
  auto strip = [&](int32_t dx, int32_t dy, int32_t sw, int32_t sh) {
    if (sw > 0 && sh > 0) BitBlt(dc, x + dx, y + dy, sw, sh, srcDC, srcX + dx, srcY + dy, SRCCOPY);
  };
  strip(0, 0, w, height);
  strip(w, 0, width - w, w);
  strip(width - w, w, w, height - w);
  strip(w, height - w, width - 2 * w, w);
}

void FillRectWithColor(HDC dc, const TRect& R, TColor color) {
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  {
    SolidBrush brush(color);
    const RECT r{R.Left, R.Top, R.Right, R.Bottom};
    if (brush.get() != nullptr) FillRect(dc, &r, brush.get());
  }
  if (saved != 0) RestoreDC(dc, saved);
}

void ExcludeGraphicControls(HDC dc, gui::TWinControl* parent, int32_t dy, int32_t dx) {
  if (dc == nullptr || parent == nullptr) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    gui::TControl* c = parent->Controls(i);
    if (c == nullptr || !c->Visible() || dynamic_cast<gui::TGraphicControl*>(c) == nullptr) continue;
    ExcludeClipRect(dc, c->Left() + dx, c->Top() + dy, c->Left() + c->Width() + dx, c->Top() + c->Height() + dy);
  }
}

}  // namespace skin
