#include "skin/forms/glued_forms.h"

#include <cstdlib>

#include "gui/forms.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/data/sskinmanager.h"
#include "skin/forms/form_window.h"
#include "skin/forms/provider_geometry.h"

namespace skin {

namespace {
TRect Shifted(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
}  // namespace

std::vector<GluedRecord>& GluedList() {
  static std::vector<GluedRecord> list;
  return list;
}

int32_t SnapDelta(int32_t value, int32_t edge, int32_t buffer) {
  return (value >= edge - buffer && value <= edge + buffer) ? value - edge : 0;
}

TRect VisibleFrameRect(const TsSkinProvider& p, const TRect& r, bool outward) {
  if (!p.BorderForm) return r;
  const TsSkinManager* m = ProviderManager(p);
  const TsSkinData* s = m ? &m->Skin().SkinData : nullptr;
  const int32_t k = outward ? 1 : -1;
  const int32_t extra = FormBorderExtraWidth(p), delta = FormTitleHeightDelta(p);
  TRect v = r;
  v.Left += k * (-extra - (s ? s->AlignOffset : 0));
  v.Top += k * (-delta - (s ? s->AlignOffsetT : 0));
  v.Right += k * (extra + (s ? s->AlignOffsetR : 0));
  v.Bottom += k * (extra + (s ? s->AlignOffsetB : 0));
  return v;
}

TsSkinProvider* SkinProviderOf(gui::TCustomForm& form) {
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (auto* p = dynamic_cast<TsSkinProvider*>(form.Components(i))) return p;
  return nullptr;
}

namespace {

bool Candidate(const TsSkinProvider& p, gui::TCustomForm* f) {
  return f != nullptr && f != p.Form() && dynamic_cast<gui::TForm*>(f) != nullptr && f->Visible() &&
         !f->IsDestroying() && FormWindowVisible(*f);
}

TRect VisibleFrameOf(gui::TCustomForm& f) {
  const TRect w = FormWindowRect(f);
  TsSkinProvider* fp = SkinProviderOf(f);
  return fp ? VisibleFrameRect(*fp, w, true) : w;
}

// Snaps the moving frame (at x, y with the visible size of w) to the outer edges of F's frame, only where the
// two overlap along that edge. A component found first is kept.
bool SnapToForm(const TRect& frame, const TRect& moving, int32_t buffer, TPoint& delta) {
  const int32_t width = moving.Width(), height = moving.Height();
  const bool overlapV = moving.Top < frame.Bottom + buffer && moving.Bottom > frame.Top - buffer;
  const bool overlapH = moving.Left < frame.Right + buffer && moving.Right > frame.Left - buffer;
  if (overlapV && delta.X == 0) {
    // Beside F's left side (the moving form's right edge) and right side (its left edge).
    delta.X = SnapDelta(moving.Left + width, frame.Left, buffer);
    if (delta.X == 0) delta.X = SnapDelta(moving.Left, frame.Right, buffer);
  }
  if (overlapH && delta.Y == 0) {
    delta.Y = SnapDelta(moving.Top + height, frame.Top, buffer);
    if (delta.Y == 0) delta.Y = SnapDelta(moving.Top, frame.Bottom, buffer);
  }
  return delta.X != 0 || delta.Y != 0;
}

}  // namespace

void ScreenSnap(TsSkinProvider& p, int32_t& x, int32_t& y) {
  if (p.StateFlags & 0x40000) return;
  gui::TCustomForm& form = *p.Form();
  UnglueForm(&form);
  const TRect work = FormMonitorWorkArea(form);
  const TRect w = FormWindowRect(form);
  // The moving form's visible frame at the proposed place.
  const TRect frameHere = VisibleFrameRect(p, w, true);
  const TRect moving = Shifted(frameHere, x - w.Left, y - w.Top);
  TPoint delta{0, 0};
  for (gui::TCustomForm* f : SkinnedFormsList()) {
    if (!Candidate(p, f) || IsGluedTo(p, f)) continue;
    if (SnapToForm(VisibleFrameOf(*f), moving, p.SnapBuffer, delta)) break;
  }
  if (delta.X == 0 || delta.Y == 0) {
    // The window's proposed place against the work area turned inward by what the border window shows around
    // it: the visible frame lands on the edge. (The visible frame against the inward work area would count the
    // shadow twice.)
    const TRect r = VisibleFrameRect(p, work, false);
    TPoint d{SnapDelta(x, r.Left, p.SnapBuffer), SnapDelta(y, r.Top, p.SnapBuffer)};
    if (d.X == 0) d.X = SnapDelta(x + w.Width(), r.Right, p.SnapBuffer);
    if (d.Y == 0) d.Y = SnapDelta(y + w.Height(), r.Bottom, p.SnapBuffer);
    if (delta.X == 0) delta.X = d.X;
    if (delta.Y == 0) delta.Y = d.Y;
  }
  x -= delta.X;
  y -= delta.Y;
}

void RememberGluedForms(TsSkinProvider& p) {
  gui::TCustomForm& form = *p.Form();
  auto& list = GluedList();
  for (int i = 0; i < p.GluedForms.Count(); ++i) {
    const std::string& name = p.GluedForms.Strings(i);
    for (gui::TCustomForm* f : SkinnedFormsList()) {
      if (!Candidate(p, f) || f->Name() != name) continue;
      const TRect a = VisibleFrameRect(p, FormWindowRect(form), true);
      const TRect b = VisibleFrameOf(*f);
      const bool touch = b.Top == a.Bottom || b.Left == a.Right || a.Top == b.Bottom || a.Left == b.Right;
      if (!touch) continue;
      GluedRecord* rec = nullptr;
      for (GluedRecord& r : list)
        if (r.Master == &form && r.Glued == f) rec = &r;
      if (rec == nullptr) {
        list.push_back(GluedRecord{f, &form, {}});
        rec = &list.back();
      }
      rec->Offset = TPoint{f->Left() - form.Left(), f->Top() - form.Top()};
    }
  }
}

void MoveGluedForms(TsSkinProvider& p) {
  if (p.StateFlags & 0x40000) return;
  gui::TCustomForm& form = *p.Form();
  const TRect w = FormWindowRect(form);
  // A copy: moving a glued form may run its own handlers, which may change the list.
  const std::vector<GluedRecord> list = GluedList();
  for (int i = 0; i < p.GluedForms.Count(); ++i) {
    const std::string& name = p.GluedForms.Strings(i);
    for (const GluedRecord& r : list) {
      if (r.Master != &form || r.Glued == nullptr || r.Glued->Name() != name) continue;
      gui::TCustomForm& g = *r.Glued;
      SendFormMessage(g, WM_SKINCOMMAND, SkinCommandWParam(AC_SETGLUEMOVING), 1);
      g.SetBounds(w.Left + r.Offset.X, w.Top + r.Offset.Y, g.Width(), g.Height());
      SendFormMessage(g, WM_SKINCOMMAND, SkinCommandWParam(AC_SETGLUEMOVING), 0);
    }
  }
}

void UnglueForm(const gui::TCustomForm* form) {
  auto& list = GluedList();
  for (size_t i = 0; i < list.size();) {
    if (list[i].Glued == form) {
      list[i] = list.back();
      list.pop_back();
    } else {
      ++i;
    }
  }
}

void ForgetGluedForm(const gui::TCustomForm* form) {
  auto& list = GluedList();
  for (size_t i = 0; i < list.size();) {
    if (list[i].Glued == form || list[i].Master == form) {
      list[i] = list.back();
      list.pop_back();
    } else {
      ++i;
    }
  }
}

bool IsGluedTo(const TsSkinProvider& p, const gui::TCustomForm* form) {
  for (const GluedRecord& r : GluedList())
    if (r.Master == p.Form() && r.Glued == form) return true;
  return false;
}

}  // namespace skin
