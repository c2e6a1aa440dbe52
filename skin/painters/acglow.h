#pragma once
// Glow windows: the soft halo a skin can give a control section while the control is hot. The halo cannot be
// painted inside the control, so each glow is a small borderless, layered, click-through window placed around
// the control and shown with per-pixel alpha (UpdateLayeredWindow). A process-wide list holds the glows; a control
// knows its glow by its index in that list (TsCommonData::GlowID, -1 when none).
//
// The native build has no windows and no layered-window entry point: no glow is ever made there, and the
// operations below find an empty list.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "gui/messages.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

struct TsCommonData;
class TsSkinManager;
class TacGlowForm;  // the glow window (Windows)

struct TacGlowEffect {
  TacGlowEffect() = default;
  TacGlowEffect(const TacGlowEffect&) = delete;
  TacGlowEffect& operator=(const TacGlowEffect&) = delete;
  // The window procedure back, the window freed (at once while the control goes or the application ends, else
  // released from the message loop), the picture freed, and the control's glow fade timer freed.
  ~TacGlowEffect();

  int32_t Margin = 0;            // pixels of the glow image that overlap the control on each side
  int32_t ImageIndex = -1;       // the glow's image record
  TacGlowForm* Form = nullptr;   // the glow window (owned)
  std::unique_ptr<skin::Bitmap> Bitmap;  // the glow's 32-bit picture
  gui::TWndMethod OldWndProc;    // the window's procedure before the glow's
  TsSkinManager* SkinManager = nullptr;
  TsCommonData* SkinData = nullptr;  // the control that glows (not owned)
};

// The glows by id; released entries stay as nullptr.
std::vector<TacGlowEffect*>& GlowList();
// Set while a glow window is being released; ClearGlows does nothing meanwhile.
uint8_t& GlowReleasing();

// A glow window around ControlRect (screen coordinates) from the image PropertyName + "0" of section
// SectionName, at Alpha. The id, or -1 without layered windows, without skin data or without such an image.
int32_t ShowGlow(const TRect& ControlRect, std::string_view SectionName, std::string_view PropertyName,
                 TsCommonData* SkinData, void* OwnerWnd, uint8_t Alpha, int32_t Margin);
// Fades the glow out in 11 steps (Animate, the application running, and no animation timer of the control other
// than a glow fade; hiding again during the fade does not restart it), else releases it at once and sets
// GlowID to -1. Nothing for an id outside the list or released.
void HideGlow(int32_t& GlowID, bool Animate);
// The glow's picture at a new constant alpha, where its window is. Ids outside the list or released are ignored.
void SetGlowAlpha(int32_t GlowID, uint8_t Alpha);
// Every glow freed (with ReleaseWindows their windows first, one by one), every owner's GlowID -1, the list
// emptied. Nothing while a glow window is being released.
void ClearGlows(bool ReleaseWindows);
// The step function of a fade-out: alpha 255 - round(Step x 255 / 11); at step 11 the glow is released, the
// timer freed, and the answer is False. False for a target without a glow.
bool GlowFadeStep(TsCommonData* SkinData, int32_t Step);

// The glow window's size around a control of width x height: the image's left and right (top and bottom) border
// widths added, less twice the margin.
TSize GlowWindowSize(const TacGlowEffect& Glow, int32_t Width, int32_t Height);
// The glow's picture made anew at W x H: transparent black, the glow image drawn over the whole of it with the
// skin mask painter, then the control's colour tone, hue offset and saturation.
void GlowPaintBitmap(TacGlowEffect& Glow, int32_t W, int32_t H);
// The window of a glow (an HWND), nullptr for none.
void* GlowWindowHandle(int32_t GlowID);

// The skin data's side: the step function of a glow fade-in (alpha round(Step x 255 / 11); False for a target
// without a glow), and the glow of a control or window shown or hidden as its mouse-over state says (only with
// glowing allowed, mouse hover on and a section with a glow); with Animate a glow timer fades a new glow in.
bool CommonDataSetGlowAlpha(TsCommonData* Data, int32_t Step);
void CommonDataShowGlow(TsCommonData& Data, bool Hide, void* Wnd, bool Animate, uint8_t Alpha);

}  // namespace skin
