// The skinned label: its text in the skin's colours, over a skin section when it names one.
#include <windows.h>

#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/sbuttons.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/section_paint.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {
uint8_t labelResolving = 0;
uint8_t labelUpdating = 0;
}  // namespace

TsCustomLabel::TsCustomLabel(gui::TComponent* AOwner) : gui::TCustomLabel(AOwner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const std::string& s) {
  if (s == skinSection_) return;
  skinSection_ = s;
  Invalidate();
}

void TsCustomLabel::SetSkinManager(TsSkinManager* m) {
  if (m == skinManager_) return;
  skinManager_ = m;
  // A manager component given to the label tells it when it is freed: the label then takes the default one.
  if (managerComponent_ != nullptr) RemoveFreeNotification(managerComponent_);
  managerComponent_ = dynamic_cast<gui::TComponent*>(m);
  if (managerComponent_ != nullptr) FreeNotification(managerComponent_);
  Invalidate();
}

void TsCustomLabel::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TCustomLabel::Notification(AComponent, Operation);
  if (Operation != gui::TOperation::opRemove || AComponent == nullptr || AComponent != managerComponent_) return;
  // The manager's own part is gone already: only the pointers are let go.
  managerComponent_ = nullptr;
  skinManager_ = nullptr;
  if (!IsDestroying()) Invalidate();
}

TsSkinManager* TsCustomLabel::ActiveManager() const {
  TsSkinManager* m = skinManager_ != nullptr ? skinManager_ : DefaultManager();
  return m != nullptr && m->Active() && !m->Skin().Sections.empty() ? m : nullptr;
}

TColor TsCustomLabel::GetFontColor() {
  if (!Enabled()) {
    // The background the parent shows: its skin's colour when it is skinned, else its own.
    const TColor parent = Parent() != nullptr ? ControlBgColor(Parent()) : TColor(0xF0F0F0);
    return LabelDisabledColor(TColor(platform::ColorToRGB(Font().Color())), parent);
  }
  TsSkinManager* m = ActiveManager();
  return m != nullptr ? SkinManagerGlobalFontColor(m->Skin()) : TColor(platform::ColorToRGB(Font().Color()));
}

void TsCustomLabel::Paint() {
  SectionIndex = -1;
  TsSkinManager* m = ActiveManager();
  if (!IsDestroying() && !labelResolving) {
    labelResolving = 1;
    if (!skinSection_.empty() && m != nullptr) SectionIndex = SkinManagerGetSectionIndex(*m, skinSection_);
    if (SectionIndex >= 0) {
      const TColor c = m->Skin().Sections[size_t(SectionIndex)].NormalState.FontColor;
      if (c != Font().Color()) Font().SetColor(c);
    }
    labelResolving = 0;
  }
  if (SectionIndex > 0 && Parent() != nullptr && Width() > 0 && Height() > 0) {
    BackgroundInfo info;
    info.R = TRect{0, 0, Width(), Height()};
    CacheInfo ci = EmptyCacheInfo;
    QueryControlBackground(info, Parent(), false);
    BackgroundToCacheInfo(info, ci);
    ci.X += Left();
    ci.Y += Top();
    PaintSkinItemToDC(SectionIndex, ci, 0, canvas_.Handle(), TPoint{}, TRect{0, 0, Width(), Height()}, m);
  }
  if (m == nullptr) {
    gui::TCustomLabel::Paint();
  } else {
    if (!Transparent()) {
      HBRUSH b = ledger::CreateSolidBrush(COLORREF(platform::ColorToRGB(Color()) & 0xFFFFFF));
      RECT all{0, 0, Width(), Height()};
      FillRect(canvas_.Handle(), &all, b);
      ledger::DeleteObject(b);
    }
    uint32_t flags = DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    flags |= Alignment() == gui::TAlignment::taCenter         ? DT_CENTER
             : Alignment() == gui::TAlignment::taRightJustify ? DT_RIGHT
                                                              : DT_LEFT;
    TRect r{0, 0, Width(), Height()};
    if (Layout() != gui::TTextLayout::tlTop) {
      TRect calc = r;
      DoDrawText(calc, flags | DT_CALCRECT);
      const int32_t th = calc.Bottom - calc.Top;
      r.Top += Layout() == gui::TTextLayout::tlCenter ? (Height() - th) / 2 : Height() - th;
    }
    DoDrawText(r, flags);
  }
  SectionIndex = -1;
}

void TsCustomLabel::DoDrawText(TRect& R, uint32_t Flags) {
  HDC dc = canvas_.Handle();
  if (dc == nullptr) return;
  const std::string text = LabelTextForDrawing(Caption(), ShowAccelChar(), (Flags & DT_CALCRECT) != 0);
  if (!ShowAccelChar()) Flags |= DT_NOPREFIX;
  // Right-to-left alignment mirrors the horizontal alignment; right-to-left reading orders the text.
  if (UseRightToLeftAlignment()) {
    if ((Flags & DT_RIGHT) != 0)
      Flags &= ~uint32_t(DT_RIGHT);
    else if ((Flags & DT_CENTER) == 0)
      Flags |= DT_RIGHT;
  }
  if (UseRightToLeftReading()) Flags |= DT_RTLREADING;
  HGDIOBJ old = SelectObject(dc, GetFont().Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, COLORREF(GetFontColor() & 0xFFFFFF));
  RECT r{R.Left, R.Top, R.Right, R.Bottom};
  DrawTextA(dc, text.c_str(), int(text.size()), &r, Flags);
  R = TRect{r.left, r.top, r.right, r.bottom};
  SelectObject(dc, old);
}

void TsCustomLabel::WndProc(gui::TMessage& m) {
  if (m.Msg == gui::CM_TEXTCHANGED && !IsDestroying() && !IsLoading() && !labelUpdating && !labelResolving) {
    labelUpdating = 1;
    AdjustBounds();
    Invalidate();
    labelUpdating = 0;
    return;
  }
  if (m.Msg == WM_SKINCOMMAND) {
    const uint16_t code = SkinCommandCode(m.WParam);
    if (code == AC_ISSKINNED) {
      m.Result = 1;  // the control adapter leaves the label alone
      return;
    }
    if ((code == AC_SKINREMOVED || code == AC_SKINREFRESH || code == AC_SKINLOADED) && !IsDestroying()) {
      Invalidate();
      return;
    }
  }
  gui::TCustomLabel::WndProc(m);
}

}  // namespace skin
