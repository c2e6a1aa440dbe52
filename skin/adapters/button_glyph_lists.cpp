// The alpha image lists' part of the glyph painter (kept apart from the skin manager's headers).
#include "skin/adapters/button_glyph.h"
#include "skin/painters/acalphaimagelist.h"

namespace skin {

bool IsAlphaList(gui::TCustomImageList* List) {
  return dynamic_cast<TsAlphaImageList*>(List) != nullptr || dynamic_cast<TsVirtualImageList*>(List) != nullptr;
}

int ImageCountOf(gui::TCustomImageList* List) {
  if (List == nullptr) return 0;
  if (auto* v = dynamic_cast<TsVirtualImageList*>(List)) return VirtualListImageCount(*v);
  return List->Count();
}

void DrawAlphaListImage(gui::TCustomImageList& List, Bitmap& Dest, int32_t X, int32_t Y, int Index, int StateCount,
                        int State, TColor Tint, bool Reflected) {
  TSize frame;
  DrawAlphaImage(List, Dest, X, Y, Index, StateCount, State, 0, false, Tint, frame, Reflected);
}

}  // namespace skin
