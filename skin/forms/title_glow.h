#pragma once
// The fade of a caption button's hot image: when the mouse moves onto a caption button its hot image fades in,
// and out again when the mouse leaves; for minimize, maximize and close a skin may also give a glow image that
// reaches beyond the button. The fade is drawn in a small layered window over the button, so that the cached
// frame is not repainted for every step; one TacSBAnimation timer per button drives it, 12 ms a step.
#include <cstdint>
#include <memory>

#include "gui/extctrls.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TacSBAnimation : public gui::TTimer {
 public:
  explicit TacSBAnimation(gui::TComponent* AOwner);
  // Disables the timer, frees the glow window and image, clears the button record's timer field.
  ~TacSBAnimation() override;
  GUI_CLASS_NAME("TacSBAnimation")

  int32_t Step = 0;
  int32_t TargetState = 0;        // -1: finished
  int32_t StepCount = 0;          // -1 after a completed fade-in
  TacBorderForm* BorderForm = nullptr;
  TsCommonData* SkinData = nullptr;
  void* OwnerWnd = nullptr;       // the form's window
  TitleButtonRecord* Button = nullptr;
  bool FadingIn = false;
  void* GlowWindow = nullptr;     // the layered window (HWND), nullptr until needed
  std::unique_ptr<Bitmap> GlowImage;

  TsSkinProvider* Provider = nullptr;
  const TsTitleButton* UserButton = nullptr;  // the user title button whose record this is, if any
  // Natively (no windows): the alpha of the last picture shown, -1 when none is shown.
  int32_t ShownAlpha = -1;
};

// Starts, retargets or stops the fade of one button of a provider.
void AnimateTitleButtonGlow(TitleButtonRecord& record, int32_t state, int32_t stepCount, TsSkinProvider& provider,
                            bool restart);
// The same for a caption button of a window that no form owns (a skinned dialog): Data holds its frame picture,
// Window is the window (an HWND), Border its border window or nullptr. The fade belongs to the record (freed
// through its GlowTimer).
void AnimateWindowTitleButtonGlow(TitleButtonRecord& record, int32_t state, int32_t stepCount, TsCommonData& data,
                                  void* window, TacBorderForm* border, bool restart);
// 255 div step count, at least 0.
int32_t GlowAlphaStep(const TacSBAnimation& anim);
void GlowStart(TacSBAnimation& anim, int32_t state, bool fadeIn);
// One timer step.
void GlowStep(TacSBAnimation& anim);
void GlowPaint(TacSBAnimation& anim, int32_t alpha);
// The glow's rectangle on the screen.
TRect GlowRect(TacSBAnimation& anim);
int32_t GlowMargin(const TacSBAnimation& anim);
void GlowBuildImage(TacSBAnimation& anim);
// Frees the glow window and image.
void GlowFreeWindow(TacSBAnimation& anim);
// Whether the cursor has left the button (the fade then stops and the form gets WM_MOUSELEAVE).
bool SBAnimationCursorLeft(TacSBAnimation& anim);

}  // namespace skin
