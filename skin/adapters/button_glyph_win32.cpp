// The glyph of an owner-drawn standard button.
#include <windows.h>

#include <string>

#include "skin/adapters/button_glyph.h"
#include "skin/manager/commondata.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/painter_services.h"

namespace skin {

void PaintOwnerDrawButtonGlyph(void* DrawItem, gui::TCustomImageList* Images, int32_t ImageIndex,
                               int32_t HotImageIndex, int32_t DisabledImageIndex) {
  auto* di = static_cast<DRAWITEMSTRUCT*>(DrawItem);
  if (di == nullptr || di->hwndItem == nullptr || di->hDC == nullptr || Images == nullptr) return;
  const HWND h = di->hwndItem;
  const uint32_t itemState = di->itemState;
  GlyphPaintData d;
  d.State = OwnerDrawGlyphState(itemState);
  auto* data = reinterpret_cast<TsCommonData*>(
      SendMessageA(h, WM_SKINCOMMAND, SkinCommandWParam(AC_GETSKINDATA), 0));
  if (data != nullptr) {
    d.Manager = SkinDataManager(*data);
    d.Grayed = d.Manager != nullptr && d.Manager->Effects.DiscoloredGlyphs;
    d.SkinIndex = data->SkinIndex;
    // A fully transparent normal look takes its colours from the parent's section.
    if (d.State == 0 && d.Manager != nullptr && SkinManagerIsValidSectionIndex(*d.Manager, d.SkinIndex) &&
        d.Manager->Skin().Sections[size_t(d.SkinIndex)].NormalState.Transparency == 100 &&
        data->OwnerControl != nullptr)
      d.SkinIndex = ParentSkinSectionIndex(data->OwnerControl, 0, d.Manager, d.SkinIndex);
  }
  d.Images = Images;
  d.ImageIndex = OwnerDrawImageIndex(itemState, ImageIndex, HotImageIndex, DisabledImageIndex);
  d.Enabled = (itemState & ODS_DISABLED) == 0;
  d.Down = d.State == 2;
  d.DisabledGlyphKind = dgBlended;
  // The caption's lines and the height of one.
  const int len = GetWindowTextLengthA(h);
  std::string text(size_t(len > 0 ? len : 0) + 1, '\0');
  if (len > 0) text.resize(size_t(std::max(GetWindowTextA(h, text.data(), len + 1), 0)));
  else text.clear();
  int lines = 1;
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  if (style & BS_MULTILINE)
    for (char c : text) lines += c == '\n' ? 1 : 0;
  SIZE a{};
  GetTextExtentPoint32A(di->hDC, "A", 1, &a);
  const LONG type = style & BS_TYPEMASK;
  RECT wr{};
  GetClientRect(h, &wr);
  d.R = OwnerDrawGlyphRect(TSize{wr.right, wr.bottom}, TSize{Images->Width(), Images->Height()}, type == 0xE,
                           type == 0xC || type == 0xD, text.empty() ? 0 : lines, text.empty() ? -3 : a.cy,
                           d.State == 2);
  gui::TCanvas canvas;
  canvas.SetHandle(di->hDC);
  d.Canvas = &canvas;
  DrawButtonGlyph(d);
  canvas.SetHandle(nullptr);
}

}  // namespace skin
