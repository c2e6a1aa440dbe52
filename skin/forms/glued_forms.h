#pragma once
// Screen snap and glued forms. While a form with ScreenSnap is dragged, its edges jump onto the work area's
// edges and onto the outer edges of other visible skinned forms once they come within SnapBuffer pixels. The
// forms named in a provider's GluedForms list move with it while they touch its edges. Both compare the visible
// frames: with a border window, the shadow around the form is left out.
#include <cstdint>
#include <vector>

#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/geometry.h"

namespace skin {

// One glued pair: Glued follows Master at Offset (Glued's top-left minus Master's when recorded).
struct GluedRecord {
  gui::TCustomForm* Glued = nullptr;
  gui::TCustomForm* Master = nullptr;
  TPoint Offset;
};
// The process-wide list of glued pairs.
std::vector<GluedRecord>& GluedList();

// Value - Edge when Value lies within Buffer of Edge, else 0.
int32_t SnapDelta(int32_t value, int32_t edge, int32_t buffer);
// A window rectangle turned into the rectangle of the visible frame (outward) and back (inward).
TRect VisibleFrameRect(const TsSkinProvider& p, const TRect& r, bool outward);
// Adjusts a proposed window position (x, y) of the provider's form: onto the first other form's edge, else the
// work area's edges.
void ScreenSnap(TsSkinProvider& p, int32_t& x, int32_t& y);
// Records the forms of GluedForms that touch this form now.
void RememberGluedForms(TsSkinProvider& p);
// Moves every glued form to its recorded offset from this form.
void MoveGluedForms(TsSkinProvider& p);
// Removes the record in which the form is the glued one.
void UnglueForm(const gui::TCustomForm* form);
// Removes every record that names the form (as glued or as master): its provider goes.
void ForgetGluedForm(const gui::TCustomForm* form);
bool IsGluedTo(const TsSkinProvider& p, const gui::TCustomForm* form);
// The provider of a form (AC_GETPROVIDER), nullptr without one.
TsSkinProvider* SkinProviderOf(gui::TCustomForm& form);

// WM_WINDOWPOSCHANGING: with ScreenSnap on a showing form that moves, the proposed position snaps.
void ProviderSnapWindowPos(TsSkinProvider& p, gui::TMessage& m);

}  // namespace skin
