#pragma once
// How a form leaves the screen: its picture is kept while it closes or hides, and faded out where it was.
//
// When the manager's hide animation runs for a form, the form's picture (its frame with its child controls) is
// taken before the window goes: on WM_CLOSE (the children may be gone by the time the window of a freed form
// hides) and, at the latest, when the window is about to hide. A snapshot cover, a layered helper window showing
// that picture, lies over the form while its window hides beneath it, so nothing of what lies below flashes
// through; the fade then runs on the cover itself, which the animation frees at its end.
//
// While the form is not skinned (no skin, or the form being destroyed), the same happens with the picture the
// window shows on the screen.
#include <cstdint>
#include <memory>

#include "gui/messages.h"
#include "skin/manager/skinchange.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/bitmap.h"

namespace skin {

// ---- The snapshot cover (one per provider; natively no window is ever made).
// A cover over the form's window showing what the window shows now; false when none could be made (one already
// there counts).
bool ProviderShowSnapshotCover(TsSkinProvider& p);
// A cover at a screen rectangle showing a picture (colours already multiplied by their alpha).
bool ProviderShowSnapshotCoverAt(TsSkinProvider& p, const Bitmap& picture, const TRect& screen);
bool ProviderHasSnapshotCover(const TsSkinProvider& p);
// The cover's window (nullptr without one).
void* ProviderSnapshotCoverWindow(const TsSkinProvider& p);
// Hands the cover over to an animation, which frees it from then on; the picture it shows goes with it when asked.
// An empty record without a cover.
TacAnimWindow ProviderTakeSnapshotCover(TsSkinProvider& p, std::unique_ptr<Bitmap>* picture = nullptr);
void ProviderFreeSnapshotCover(TsSkinProvider& p);

// ---- The caption cover: while the system writes a new caption into the form's own frame, a window showing the
// frame cache lies over the frame (the client area cut out of its region), so that the system's caption never
// shows. Not made while the form's redraw is locked or it is being printed, nor with a border window (the form's
// own caption lies outside its region then); natively never.
bool ProviderShowCaptionCover(TsSkinProvider& p);
void ProviderHideCaptionCover(TsSkinProvider& p);
// The cover goes (with its form's window or its provider).
void ProviderFreeCaptionCover(TsSkinProvider& p);
void* ProviderCaptionCoverWindow(const TsSkinProvider& p);

// ---- The hide snapshot of a skinned form.
// The frame cache replaced by the form's picture with its children, held (flag psHideSnapshot: nothing repaints
// the frame over it) until the hide is over. True when the picture is held now.
bool ProviderTakeHideSnapshot(TsSkinProvider& p);
// The snapshot let go: the frame is composed again on the next paint.
void ProviderEndHideSnapshot(TsSkinProvider& p);

// ---- Handlers.
// WM_CLOSE of a skinned form whose hide animates: the picture taken before the form's own handling closes it;
// given back when the form stays on the screen.
void ProviderWmClose(TsSkinProvider& p, gui::TMessage& m);
// WM_WINDOWPOSCHANGING of a skinned form, before it is handed on: a hide that animates keeps the form's picture
// on a cover over it. True when it did (ProviderAfterPosChanging lets it go when the hide was taken back).
bool ProviderBeforePosChanging(TsSkinProvider& p, gui::TMessage& m);
void ProviderAfterPosChanging(TsSkinProvider& p, gui::TMessage& m, bool covered);
// The held picture as the fade shows it (colours multiplied by their alpha: with a border window its shadow is
// translucent; without one the skin's cut corners are transparent), and where on the screen.
std::unique_ptr<Bitmap> ProviderHidePicture(const TsSkinProvider& p);
TRect ProviderHidePictureRect(const TsSkinProvider& p);
// The held picture faded out on the cover (or on a helper window over the form when there is none).
void ProviderFadeOutSnapshot(TsSkinProvider& p);
// After a skinned form's hide: the fade ran or did not, the snapshot and a cover that nothing took are let go.
void ProviderAfterHide(TsSkinProvider& p);

// While the form is not skinned (also while it is destroyed): CM_VISIBLECHANGED and WM_WINDOWPOSCHANGING before
// they are handed on (a cover over a form that is being hidden), and WM_WINDOWPOSCHANGED after it (the cover faded out, for a hide only; the wait for the fade is
// bounded).
void ProviderBeforeHide(TsSkinProvider& p, gui::TMessage& m);
void ProviderAfterPosChanged(TsSkinProvider& p, gui::TMessage& m);

// The longest wait for a running hide fade: its time and a quarter second more.
uint32_t HideWaitLimit(uint16_t animationTime);

}  // namespace skin
