// The skinned speed button: a graphic control painted into its skin data's cache and copied onto its parent,
// with tool-button styles and a drop-down menu.
#include <windows.h>

#include <algorithm>
#include <string>

#include "gui/forms.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "skin/forms/sbuttons.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"

namespace skin {

TsSpeedButton*& DropDownSpeedButton() {
  static TsSpeedButton* button = nullptr;
  return button;
}

TsSpeedButton::TsSpeedButton(gui::TComponent* AOwner)
    : gui::TSpeedButton(AOwner), skinData_(std::make_unique<TsCtrlSkinData>()) {
  CommonDataInit(*skinData_, this, true);
  skinData_->SkinSection = "SPEEDBUTTON";
  skinData_->ControlKind = ckSpeedButton;
  skinData_->RepaintBlocked = 0;
  CommonDataUpdateIndexes(*skinData_, true);
  imageLink_.OnChange = [this](gui::TObject*) { Changed(); };
  if (Skinned()) controlStyle_ |= gui::csOpaque;
  alive_ = std::make_shared<bool>(true);
  glyphNext_ = std::move(Glyph().OnChange);
  Glyph().OnChange = [this] {
    if (glyphNext_) glyphNext_();
    GlyphChanged();
  };
}

TsSpeedButton::~TsSpeedButton() {
  *alive_ = false;
  Glyph().OnChange = std::move(glyphNext_);
  if (DropDownSpeedButton() == this) DropDownSpeedButton() = nullptr;
  CommonDataStopAnimation(*skinData_);
  if (images_ != nullptr) images_->UnRegisterChanges(&imageLink_);
}

void TsSpeedButton::Changed() {
  skinData_->BGChanged = true;
  if (Visible()) RepaintRequest();
}

void TsSpeedButton::GlyphChanged() {
  skinData_->BGChanged = true;
  if (!IsLoading() && Visible()) RepaintRequest();
}

void TsSpeedButton::PaintControlsAbove() {
  gui::TWinControl* parent = Parent();
  Bitmap* cache = skinData_->CacheBmp.get();
  if (parent == nullptr || cache == nullptr) return;
  const TRect mine{Left(), Top(), Left() + Width(), Top() + Height()};
  std::unique_ptr<BitmapDC> target;
  bool above = false;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    gui::TControl* c = parent->Controls(i);
    if (c == this) {
      above = true;  // those before it lie under it
      continue;
    }
    if (!above || !c->Visible() || dynamic_cast<gui::TWinControl*>(c) != nullptr ||
        (c->ControlStyle() & gui::csOpaque) == 0)
      continue;
    const TRect r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (r.Left >= mine.Right || r.Right <= mine.Left || r.Top >= mine.Bottom || r.Bottom <= mine.Top) continue;
    if (!target) target = std::make_unique<BitmapDC>(*cache);
    const HDC dc = target->dc();
    if (dc == nullptr) return;
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, r.Left - mine.Left, r.Top - mine.Top, nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    // The control paints a copy of itself into our picture, not its own surface.
    const gui::TControlState was = c->ControlState();
    c->SetControlState(was | gui::csPaintCopy);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    c->SetControlState(c->ControlState() & ~(gui::csPaintCopy & ~was));
    RestoreDC(dc, saved);
  }
  if (target) GdiFlush();
}

void TsSpeedButton::SetBlend(int32_t v) {
  blend_ = std::clamp(v, 0, 100);
  Changed();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle s) {
  if (s == style_) return;
  if (!IsLoading()) {
    if (s == TToolButtonStyle::tbsDropDown) SetWidth(Width() + DropDownPartWidth);
    else if (style_ == TToolButtonStyle::tbsDropDown) SetWidth(Width() - DropDownPartWidth);
  }
  style_ = s;
  Changed();
}

void TsSpeedButton::SetDropdownMenu(gui::TPopupMenu* Menu) {
  dropdownMenu_ = Menu;
  if (Menu != nullptr) Menu->FreeNotification(this);
}

bool TsSpeedButton::Grayed() {
  if (grayed_) return true;
  TsSkinManager* m = skinData_->SkinManager();
  return Skinned() && m != nullptr && m->Effects.DiscoloredGlyphs;
}

void TsSpeedButton::SetGrayed(bool v) {
  grayed_ = v;
  Changed();
}

void TsSpeedButton::SetImages(gui::TCustomImageList* List) {
  if (images_ == List) return;
  if (images_ != nullptr) images_->UnRegisterChanges(&imageLink_);
  images_ = List;
  if (images_ != nullptr) {
    images_->RegisterChanges(&imageLink_);
    images_->FreeNotification(this);
  }
  Changed();
}

void TsSpeedButton::SetMargin(int32_t m) {
  margin_ = m;
  Changed();
}

void TsSpeedButton::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TSpeedButton::Notification(AComponent, Operation);
  if (Operation != gui::TOperation::opRemove) return;
  if (AComponent == images_) images_ = nullptr;
  if (AComponent == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TsSpeedButton::ActionChange(gui::TObject* Sender, bool CheckDefaults) {
  gui::TSpeedButton::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<gui::TCustomAction*>(Sender); a != nullptr && (!CheckDefaults || imageIndex_ == -1)) {
    imageIndex_ = a->ImageIndex();
    Changed();
  }
}

void TsSpeedButton::Loaded() {
  gui::TSpeedButton::Loaded();
  CommonDataUpdateIndexes(*skinData_, true);
  if (Skinned()) controlStyle_ |= gui::csOpaque;
}

bool TsSpeedButton::Skinned() {
  TsSkinManager* m = skinData_->SkinManager();
  if (m == nullptr || !m->Active() || m->Skin().Sections.empty()) return false;
  // A skin loaded after the control was made: its section looked up on first use.
  if (!SkinManagerIsValidSectionIndex(*m, skinData_->SkinIndex)) CommonDataUpdateIndexes(*skinData_, true);
  return SkinManagerIsValidSectionIndex(*m, skinData_->SkinIndex);
}

int32_t TsSpeedButton::CurrentState() {
  const bool pressed = State() == gui::TButtonState::bsDown || State() == gui::TButtonState::bsExclusive;
  return SpeedButtonState(style_, Down() || forcedDown_, pressed, skinData_->MouseAbove != 0, menuPressed_);
}

TSize TsSpeedButton::GlyphSize() {
  const int32_t cells = std::max(NumGlyphs() & 127, 1);
  if (images_ != nullptr && imageIndex_ >= 0 && imageIndex_ < ImageCountOf(images_))
    return TSize{images_->Width(), images_->Height()};
  if (Glyph().Empty()) return TSize{0, 0};
  return TSize{Glyph().Width() / cells, Glyph().Height()};
}

SpeedLayoutInput TsSpeedButton::LayoutInput() {
  SpeedLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.Layout = int32_t(Layout());
  in.Alignment = int32_t(alignment_);
  in.TextAlignment = int32_t(textAlignment_);
  in.Glyph = GlyphSize();
  const std::string text = showCaption_ ? Caption() : std::string();
  in.HasCaption = !text.empty();
  if (in.HasCaption) {
    const int32_t avail = std::max<int32_t>(Width() - in.Glyph.cx - 6, 1);
    in.Text = GetTextSize(text, Font(), avail, wordWrap_);
    in.Text.cx = std::min(in.Text.cx, avail);
  }
  in.Spacing = Spacing();
  in.Margin = margin_;
  in.DropDown = style_ == TToolButtonStyle::tbsDropDown;
  in.TextOffset = textOffset_;
  return in;
}

TRect TsSpeedButton::CaptionRect(bool Painted) {
  TsSkinManager* m = skinData_->SkinManager();
  const bool shift = Painted && ContentShifts(CurrentState() == bstPressed, Skinned(), m != nullptr,
                                              m != nullptr && m->ButtonsOptions.ShiftContentOnClick);
  return ShiftRect(SpeedCaptionRect(LayoutInput()), shift);
}

TRect TsSpeedButton::GlyphRect(bool Painted) {
  TsSkinManager* m = skinData_->SkinManager();
  const bool shift = Painted && ContentShifts(CurrentState() == bstPressed, Skinned(), m != nullptr,
                                              m != nullptr && m->ButtonsOptions.ShiftContentOnClick);
  return ShiftRect(SpeedGlyphRect(LayoutInput()), shift);
}

bool TsSpeedButton::PrepareCache() {
  TsSkinManager* m = skinData_->SkinManager();
  const int32_t w = Width(), h = Height();
  if (!Skinned() || w <= 0 || h <= 0 || Parent() == nullptr) return false;
  BackgroundInfo info;
  info.R = TRect{0, 0, w, h};
  CacheInfo ci = EmptyCacheInfo;
  QueryControlBackground(info, Parent(), false);
  if (info.BgType == btNotReady) {
    // The parent's picture is not painted yet: painted when the parent repaints its children.
    skinData_->BGChanged = true;
    return false;
  }
  BackgroundToCacheInfo(info, ci);
  ci.X += Left();
  ci.Y += Top();
  CommonDataPrepareCache(*skinData_);
  Bitmap& cache = *skinData_->CacheBmp;
  const TRect all{0, 0, w, h};
  const int32_t states = SectionStateCount(m->Skin().Sections[size_t(skinData_->SkinIndex)]);
  auto fillParent = [&] {
    if (ci.Ready && ci.Bmp != nullptr) {
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          const int32_t px = ci.X + x, py = ci.Y + y;
          const bool in = px >= 0 && py >= 0 && px < ci.Bmp->Width() && py < ci.Bmp->Height();
          SetPixel32(cache, x, y, (in ? GetPixel32(*ci.Bmp, px, py) : 0) | 0xFF000000u);
        }
      return;
    }
    const TColor fill = ci.FillColor != KeyColor ? ci.FillColor : TColor(platform::ColorToRGB(Parent()->Color()));
    FillRectBitmap32(cache, all, fill, 255);
  };
  if (style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider) {
    fillParent();
    if (style_ == TToolButtonStyle::tbsDivider) {
      const int32_t sec = SkinManagerGetSectionIndex(*m, "DIVIDER");
      const int32_t img = SkinManagerGetImageIndex(*m, sec, "BORDERSMASK");
      if (sec >= 0 && SkinManagerIsValidImageIndex(*m, img))
        DrawSkinMask(cache, TRect{w / 2 - 1, 0, w / 2 + 1, h}, ci, m->Skin().Images[size_t(img)], 0, false);
    }
    skinData_->BGChanged = false;
    return true;
  }
  const int32_t state = CurrentState();
  cacheState_ = state;
  const int32_t s = SkinStateOf(state, states);
  const bool dropDown = style_ == TToolButtonStyle::tbsDropDown;
  const bool split = dropDown && static_cast<bool>(OnClick);
  if (split) {
    const bool pressed = State() == gui::TButtonState::bsDown || State() == gui::TButtonState::bsExclusive;
    const int32_t as = SkinStateOf(SpeedArrowState(menuPressed_, Down(), pressed, skinData_->MouseAbove != 0), states);
    PaintSkinItem(skinData_->SkinIndex, ci, as, SpeedArrowRect(w, h), TPoint{}, cache, m);
  }
  const TRect face = split ? SpeedFaceRect(w, h, true) : all;
  if (drawOverBorder_) {
    PaintSkinItem(skinData_->SkinIndex, ci, s, face, TPoint{}, cache, m);
  } else {
    PaintSectionCore(skinData_->SkinIndex, ci, s, face, TPoint{}, cache, m, -1, -1, KeyColor);
  }
  PaintButtonGlyph(this, &cache, nullptr, state);
  if (showCaption_ && !Caption().empty()) {
    uint32_t flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    if (useEllipsis_) flags |= DT_END_ELLIPSIS;
    flags |= textAlignment_ == gui::TAlignment::taLeftJustify    ? DT_LEFT
             : textAlignment_ == gui::TAlignment::taRightJustify ? DT_RIGHT
                                                                 : DT_CENTER;
    WriteSkinText(cache, Font(), Caption(), Enabled(), s > 0 ? 1 : 0, *skinData_, flags, CaptionRect(true));
  }
  if (!drawOverBorder_ && SkinManagerIsValidImageIndex(*m, skinData_->BorderIndex))
    DrawSkinMask(cache, face, ci, m->Skin().Images[size_t(skinData_->BorderIndex)], s, true);
  // The arrow of a drop-down button: on its own part when the face is a button of its own (OnClick), on the face
  // when nothing else shows there; a drop-down button with a caption and no OnClick opens its menu from anywhere.
  if (dropDown && (split || !drawOverBorder_ || !showCaption_ || Caption().empty())) {
    const int32_t from = ParentSkinSectionIndex(this, s, m, skinData_->SkinIndex);
    const TColor c = SkinManagerIsValidSectionIndex(*m, from)
                         ? SectionStateBlock(m->Skin().Sections[size_t(from)], s > 0 ? 1 : 0).FontColor
                         : TColor(platform::ColorToRGB(Font().Color()));
    DrawArrowGlyph(cache, c, SpeedArrowRect(w, h), 3);
  }
  if (skinData_->ColorTone != clNone || skinData_->HUEOffset != 0 || skinData_->Saturation != 0)
    CommonDataApplyColorTone(cache, *skinData_, 0, s);
  if (!Enabled() || ActionDisabled(this))
    PaintDisabledLook(cache, disabledKind_, TColor(platform::ColorToRGB(Parent()->Color())), TPoint{}, ci);
  if (OnPaint) OnPaint(this, cache);
  skinData_->BGChanged = false;
  return true;
}

void TsSpeedButton::RepaintRequest() {
  if (!Visible() || IsLoading() || IsDestroying() || Parent() == nullptr || !Parent()->HandleAllocated()) return;
  // A skin change in progress holds every repaint back: the form repaints with its button when it ends.
  if (AnimationInProgress() != 0) return;
  if (!Skinned()) {
    Invalidate();
    return;
  }
  // A parent holding its repaints holds ours: it repaints its children when it lets go.
  if (CommonDataIsUpdating(*skinData_, true)) return;
  if ((skinData_->BGChanged || CurrentState() != cacheState_) && !PrepareCache()) return;
  PaintControlsAbove();
  HDC dc = ledger::GetDC(Parent()->WindowHandle());
  if (dc == nullptr) return;
  const Bitmap* img = CommonDataAnimationRunning(*skinData_) && skinData_->AnimTimer->Frame
                          ? skinData_->AnimTimer->Frame.get()
                          : skinData_->CacheBmp.get();
  if (img != nullptr) BitmapToDC(dc, Left(), Top(), Width(), Height(), *img, 0, 0);
  ledger::ReleaseDC(Parent()->WindowHandle(), dc);
}

void TsSpeedButton::Paint() {
  if (!Skinned()) {
    gui::TSpeedButton::Paint();
    return;
  }
  if (Width() < 1 || Height() < 1) return;
  HDC dc = canvas_.Handle();
  if (CommonDataAnimationRunning(*skinData_) && skinData_->AnimTimer->Frame) {
    const Bitmap& f = *skinData_->AnimTimer->Frame;
    BitmapToDC(dc, 0, 0, f.Width(), f.Height(), f, 0, 0);
    return;
  }
  // A paint rebuilds the cache: the base class's setters (layout, spacing, glyph, down) do not tell.
  PrepareCache();
  if (skinData_->CacheBmp) BitmapToDC(dc, 0, 0, Width(), Height(), *skinData_->CacheBmp, 0, 0);
}

void TsSpeedButton::HandleMouseEnter() {
  TsSkinManager* m = skinData_->SkinManager();
  if (style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider) return;
  if (m != nullptr && m->Options.NoMouseHover) return;
  skinData_->MouseAbove = 1;
  skinData_->BGChanged = true;
  // The manager follows the control under the mouse: the one it followed before leaves its hover look.
  SkinManagerSetTrackedControl(m, this);
  if (noAnimation_ || !Skinned()) {
    Changed();
    return;
  }
  StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStep, false, false,
                       IsAnimatedEvent(aeMouseEnter, AnimatEvents, m));
}

void TsSpeedButton::HandleMouseLeave() {
  TsSkinManager* m = skinData_->SkinManager();
  skinData_->MouseAbove = 0;
  skinData_->BGChanged = true;
  if (TsSkinManagerComponent* c = ManagerComponent(m); c != nullptr && c->TrackedControl() == this)
    SkinManagerSetTrackedControl(m, nullptr);
  if (menuShowing_ || !Skinned()) {
    Changed();
    return;
  }
  StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStep, false, false,
                       IsAnimatedEvent(aeMouseLeave, AnimatEvents, m));
}

void TsSpeedButton::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (button == gui::TMouseButton::mbLeft && Enabled() &&
      SpeedDropDownHit(Width(), style_, dropdownMenu_ != nullptr, static_cast<bool>(OnClick), x)) {
    if (menuShowing_) return;
    const std::shared_ptr<bool> alive = alive_;
    // No hint pops up over the menu: hints stay off while the button is pressed.
    const bool hints = gui::Application != nullptr && gui::Application->ShowHint();
    if (hints) gui::Application->SetShowHint(false);
    DropDownSpeedButton() = this;
    CommonDataStopAnimation(*skinData_);
    TsSkinManager* m = skinData_->SkinManager();
    if (m != nullptr && m->Active())
      if (TsSkinableMenus* menus = SkinableMenusOf(m)) InstallPopupMenuHandlers(*menus, *dropdownMenu_, true);
    menuShowing_ = menuPressed_ = true;
    if (!OnClick) forcedDown_ = true;
    Changed();
    dropdownMenu_->PopupComponent = this;
    const gui::TPoint p = ClientToScreen(gui::TPoint{0, Height()});
    dropdownMenu_->Popup(p.X, p.Y);  // modal: a menu handler may free the button
    // The menu took the release: the hints come back now.
    if (hints && gui::Application != nullptr) gui::Application->SetShowHint(true);
    if (!*alive) {
      DropDownSpeedButton() = nullptr;
      return;
    }
    controlState_ &= ~gui::csLButtonDown;
    menuShowing_ = menuPressed_ = false;
    DropDownSpeedButton() = nullptr;
    forcedDown_ = false;
    POINT cur{};
    GetCursorPos(&cur);
    const gui::TPoint local = ScreenToClient(gui::TPoint{cur.x, cur.y});
    if (!ClientRect().Contains(local)) Perform(gui::CM_MOUSELEAVE);
    CommonDataStopAnimation(*skinData_);
    Changed();
    return;
  }
  pressed_ = button == gui::TMouseButton::mbLeft;
  gui::TSpeedButton::MouseDown(button, shift, x, y);
}

void TsSpeedButton::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  pressed_ = false;
  gui::TSpeedButton::MouseUp(button, shift, x, y);  // the click: its handler may free the button
}

void TsSpeedButton::WndProc(gui::TMessage& m) {
  const std::shared_ptr<bool> alive = alive_;
  if (m.Msg == WM_SKINCOMMAND) {
    const uint16_t code = SkinCommandCode(m.WParam);
    switch (code) {
      case AC_ISSKINNED:
        m.Result = 1;  // the control adapter leaves the button alone
        return;
      case AC_GETSKINDATA:
        m.Result = reinterpret_cast<LRESULT>(static_cast<TsCommonData*>(skinData_.get()));
        return;
      case AC_SKINLOADED:
      case AC_SKINREMOVED:
      case AC_SKINREFRESH:
        if (m.LParam == reinterpret_cast<LPARAM>(skinData_->SkinManager())) {
          CommonDataStopAnimation(*skinData_);
          CommonDataUpdateIndexes(*skinData_, true);
          if (Skinned()) controlStyle_ |= gui::csOpaque;
          else controlStyle_ &= ~gui::csOpaque;
          skinData_->BGChanged = true;
          Invalidate();
        }
        return;
      case AC_UPDATECACHE:
        m.Result = PrepareCache() ? 0 : 1;
        return;
      case AC_FLUSHREPAINT:
      case AC_REPAINT:
        skinData_->Updating = 0;
        RepaintRequest();
        return;
      case AC_SETREPAINTPENDING:
        return;
      case AC_ISUPDATELOCKED:
        m.Result = skinData_->BGChanged ? 1 : 0;
        return;
      case AC_MOUSELEAVE:
        HandleMouseLeave();
        return;
      case AC_SECTIONCHANGED:
        // A section of the skin changed: the button takes it again when it is its own.
        if (CommonDataIsOwnSection(*skinData_, reinterpret_cast<const char*>(m.LParam))) {
          CommonDataUpdateIndexes(*skinData_, true);
          Changed();
        }
        return;
      default:
        break;
    }
  }
  if (Skinned()) {
    switch (m.Msg) {
      case gui::CM_MOUSEENTER:
      case gui::CM_MOUSELEAVE:
        gui::TSpeedButton::WndProc(m);
        if (!*alive || m.LParam != 0) return;
        if (m.Msg == gui::CM_MOUSEENTER) HandleMouseEnter();
        else HandleMouseLeave();
        return;
      case WM_LBUTTONUP:
        gui::TSpeedButton::WndProc(m);
        if (!*alive) return;
        if (Visible()) {
          skinData_->BGChanged = true;
          StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStep, false, false,
                               IsAnimatedEvent(aeMouseUp, AnimatEvents, skinData_->SkinManager()));
        } else {
          m.Result = -1;
        }
        return;
      case WM_LBUTTONDOWN:
        gui::TSpeedButton::WndProc(m);
        if (!*alive) return;
        skinData_->BGChanged = true;
        if (!menuShowing_)
          StartChangeAnimation(*skinData_, CurrentState(), ChangeAnimationStep, false, false,
                               IsAnimatedEvent(aeMouseDown, AnimatEvents, skinData_->SkinManager()));
        return;
      case gui::CM_ENABLEDCHANGED:
        if (!Enabled()) CommonDataStopAnimation(*skinData_);
        skinData_->BGChanged = true;
        break;
      case gui::CM_FONTCHANGED:
      case gui::CM_BUTTONPRESSED:
      case gui::CM_TEXTCHANGED:
        skinData_->BGChanged = true;
        break;
      default:
        break;
    }
  }
  gui::TSpeedButton::WndProc(m);
}

}  // namespace skin
