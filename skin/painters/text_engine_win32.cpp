// The Windows build's text: GDI through a memory DC, the font of the component layer selected into it.
#include <windows.h>

#include <string>

#include "gui/graphics.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/text_engine.h"

namespace skin {

static_assert(dtCenter == DT_CENTER && dtRight == DT_RIGHT && dtVCenter == DT_VCENTER && dtBottom == DT_BOTTOM);
static_assert(dtWordBreak == DT_WORDBREAK && dtSingleLine == DT_SINGLELINE && dtNoClip == DT_NOCLIP);
static_assert(dtCalcRect == DT_CALCRECT && dtNoPrefix == DT_NOPREFIX && dtEndEllipsis == DT_END_ELLIPSIS);
static_assert(dtExpandTabs == DT_EXPANDTABS && dtRtlReading == DT_RTLREADING);

namespace {

// A memory DC with the font selected, freed (and its selection undone) on every path.
class FontDC {
 public:
  explicit FontDC(const gui::TFont& font) : dc_(ledger::CreateCompatibleDC(nullptr)) {
    if (dc_ != nullptr) oldFont_ = SelectObject(dc_, font.Handle());
  }
  ~FontDC() {
    if (dc_ == nullptr) return;
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    SelectObject(dc_, oldFont_);
    ledger::DeleteDC(dc_);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;
  HDC dc() const { return dc_; }
  bool Select(HBITMAP bitmap) {
    if (dc_ == nullptr || bitmap == nullptr) return false;
    HGDIOBJ old = SelectObject(dc_, bitmap);
    if (old == nullptr) return false;
    if (oldBitmap_ == nullptr) oldBitmap_ = old;
    return true;
  }

 private:
  HDC dc_;
  HGDIOBJ oldFont_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
};

int Length(std::string_view text) { return int(std::min<size_t>(text.size(), 0x7FFFFFFF)); }

class GdiTextEngine final : public TextEngine {
 public:
  TSize Extent(const gui::TFont& font, std::string_view text) override {
    FontDC f(font);
    SIZE size{};
    if (f.dc() == nullptr || !GetTextExtentPoint32A(f.dc(), text.data(), Length(text), &size)) return TSize{};
    return TSize{int32_t(size.cx), int32_t(size.cy)};
  }

  TRect CalcRect(const gui::TFont& font, std::string_view text, const TRect& r, uint32_t flags) override {
    FontDC f(font);
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    if (f.dc() == nullptr) return TRect{r.Left, r.Top, r.Left, r.Top};
    const std::string copy(text);
    DrawTextA(f.dc(), copy.c_str(), Length(copy), &rc, UINT(flags | DT_CALCRECT));
    return TRect{int32_t(rc.left), int32_t(rc.top), int32_t(rc.right), int32_t(rc.bottom)};
  }

  void DrawMask(const gui::TFont& font, std::string_view text, Bitmap& mask, const TRect& r, uint32_t flags) override {
    if (mask.Empty() || mask.PixelFormat() != pf32bit) return;
    FontDC f(font);
    if (!f.Select(static_cast<HBITMAP>(mask.Handle()))) return;
    SetBkMode(f.dc(), TRANSPARENT);
    SetTextColor(f.dc(), RGB(0, 0, 0));
    SetBkColor(f.dc(), RGB(255, 255, 255));
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const std::string copy(text);
    DrawTextA(f.dc(), copy.c_str(), Length(copy), &rc, UINT(flags & ~uint32_t(DT_CALCRECT)));
    GdiFlush();
  }
};

}  // namespace

TextEngine& PaintersBuiltInTextEngine() {
  static GdiTextEngine engine;
  return engine;
}

bool FontFamilyInstalled(const char* face) {
  LOGFONTA lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC dc = ledger::GetDC(nullptr);
  if (!dc) return false;
  EnumFontFamiliesExA(
      dc, &lf, [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM l) -> int {
        *reinterpret_cast<bool*>(l) = true;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found), 0);
  ledger::ReleaseDC(nullptr, dc);
  return found;
}

}  // namespace skin
