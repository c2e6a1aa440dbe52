// TsButton (images by state, command-link and split styles) and TsBitBtn (glyph strip or image list placed with
// its caption), and the glyph painting of the library's buttons.
#include <windows.h>

#include <algorithm>

#include "gui/forms.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sskinmenus.h"
#include "skin/forms/sbuttons.h"
#include "skin/painters/painter_services.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

TColor SectionFont(TsSkinManager* m, int32_t section, int32_t block) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, section)) return 0;
  return SectionStateBlock(m->Skin().Sections[size_t(section)], block).FontColor;
}

int32_t StateCountOf(TsSkinManager* m, int32_t section) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, section)) return 1;
  return SectionStateCount(m->Skin().Sections[size_t(section)]);
}

// The dotted focus frame around a caption (skinned buttons).
void FocusFrame(Bitmap& cache, TRect r, int32_t margin, int32_t height, TColor colour) {
  r = TRect{r.Left - margin - 1, std::max<int32_t>(r.Top - margin, 3), r.Right + margin + 1,
            std::min<int32_t>(r.Bottom + margin, height - 3)};
  DrawDottedFrame(cache, r, colour, clNone);
}

// A popup menu shown under a control (its bottom-left corner), skinned by the default manager's menus.
void PopupUnder(gui::TControl* control, gui::TPopupMenu* menu) {
  TsSkinManager* def = DefaultManager();
  if (def != nullptr && def->Active())
    if (TsSkinableMenus* menus = SkinableMenusOf(def)) InstallPopupMenuHandlers(*menus, *menu, true);
  menu->PopupComponent = control;
  const gui::TPoint p = control->ClientToScreen(gui::TPoint{0, control->Height()});
  menu->Popup(p.X, p.Y);
}

void PlainFace(HDC dc, RECT& r, bool pressed, bool enabled, bool isDefault, bool focused) {
  if (isDefault || focused) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  if (pressed) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT in = r;
    InflateRect(&in, -1, -1);
    FillRect(dc, &in, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (!enabled) flags |= DFCS_INACTIVE;
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);
  }
  if (isDefault) InflateRect(&r, -1, -1);
  if (pressed) OffsetRect(&r, 1, 1);
}

void PlainText(HDC dc, gui::TFont& font, const std::string& text, RECT r, UINT flags, bool enabled) {
  if (text.empty()) return;
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled ? COLORREF(platform::ColorToRGB(font.Color())) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(dc, text.c_str(), int(text.size()), &r, flags);
  SelectObject(dc, old);
}

}  // namespace

// ---- TsButton.

TsButton::TsButton(gui::TComponent* AOwner) : TsButtonCore<gui::TButton>(AOwner) {
  skinData_->ControlKind = ckButton;
  ImageMargins.OnChange = [this] { Changed(); };
}

void TsButton::SetDropDownMenu(gui::TPopupMenu* Menu) {
  dropDownMenu_ = Menu;
  if (Menu != nullptr) Menu->FreeNotification(this);
}

void TsButton::SetStyle(TButtonStyle s) {
  if (style_ == s) return;
  style_ = s;
  Changed();
}

void TsButton::ActionChange(gui::TObject* Sender, bool CheckDefaults) {
  TsButtonCore<gui::TButton>::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<gui::TCustomAction*>(Sender); a != nullptr && (!CheckDefaults || imageIndexes_.Normal == -1)) {
    imageIndexes_.Normal = a->ImageIndex();
    Changed();
  }
}

void TsButton::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  TsButtonCore<gui::TButton>::Notification(AComponent, Operation);
  if (Operation == gui::TOperation::opRemove && AComponent == dropDownMenu_) dropDownMenu_ = nullptr;
}

bool TsButton::HasImage() {
  return images_ != nullptr && imageIndexes_.Normal >= 0 && imageIndexes_.Normal < ImageCountOf(images_);
}

PushLayoutInput TsButton::LayoutInput() {
  PushLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.Style = style_;
  in.Alignment = imageAlignment_;
  in.HasImage = HasImage();
  if (images_ != nullptr) in.Image = TSize{images_->Width(), images_->Height()};
  in.ContentMargin = contentMargin_;
  in.Margins = ImageMargins.Values();
  return in;
}

int32_t TsButton::StateImageIndex(int32_t State) {
  return PushButtonImageIndex(imageIndexes_, ImageCountOf(images_), Enabled(), State, Focused());
}

TRect TsButton::ImageRect(int32_t State) {
  (void)State;
  return ShiftRect(PushButtonImageRect(LayoutInput()), ContentShift());
}

TRect TsButton::CaptionRect(int32_t State) {
  (void)State;
  const PushLayoutInput in = LayoutInput();
  gui::TFont font;
  font.Assign(Font());
  if (style_ == TButtonStyle::bsCommandLink) {
    font.SetStyle(font.Style() | gui::fsBold);
    font.SetSize(font.Size() + 2);
  }
  const std::string text = Caption();
  const TSize ts = text.empty() ? TSize{0, 0} : GetTextSize(text, font, PushButtonTextWidth(in), wordWrap_);
  return ShiftRect(PushButtonCaptionRect(in, ts), ContentShift());
}

void TsButton::PaintContent(Bitmap& Cache, int32_t State, int32_t SkinState) {
  TsSkinManager* m = skinData_->SkinManager();
  PaintButtonGlyph(this, &Cache, nullptr, State);
  const std::string text = Caption();
  const int32_t block = SkinState > 0 ? 1 : 0;
  const TRect cr = CaptionRect(State);
  if (!text.empty()) {
    uint32_t flags = DT_CENTER | DT_VCENTER | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0);
    gui::TFont font;
    font.Assign(Font());
    if (style_ == TButtonStyle::bsCommandLink) {
      flags = DT_WORDBREAK | DT_EXPANDTABS;
      font.SetStyle(font.Style() | gui::fsBold);
      font.SetSize(font.Size() + 2);
    }
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    WriteSkinText(Cache, font, text, Enabled(), block, *skinData_, flags, cr);
    if (style_ == TButtonStyle::bsCommandLink && !commandLinkHint_.empty())
      WriteSkinText(Cache, Font(), commandLinkHint_, Enabled(), block, *skinData_, flags,
                    TRect{cr.Left, cr.Bottom + 6, cr.Right, Height() - contentMargin_});
    if (Enabled() && Focused() && showFocus_ && m->ButtonsOptions.ShowFocusRect)
      FocusFrame(Cache, cr, focusMargin_, Height(),
                 SectionFont(m, skinData_->SkinIndex, std::min(1, StateCountOf(m, skinData_->SkinIndex))));
  }
  if (style_ == TButtonStyle::bsSplitButton) {
    const TColor c = SectionFont(m, skinData_->SkinIndex, block);
    FillRectBitmap32(Cache, TRect{Width() - 15, 4, Width() - 14, Height() - 4}, c, 255);
    DrawArrowGlyph(Cache, c, TRect{Width() - DropDownPartWidth, 0, Width(), Height()}, 3);
  }
}

void TsButton::PaintUnskinned(void* DrawItem) {
  auto* di = static_cast<DRAWITEMSTRUCT*>(DrawItem);
  if (di == nullptr) return;
  HDC dc = di->hDC;
  RECT r = di->rcItem;
  const bool pressed = (di->itemState & ODS_SELECTED) != 0 || down_ || dropDownOpen_;
  const bool focused = (di->itemState & ODS_FOCUS) != 0;
  PlainFace(dc, r, pressed, Enabled(), default_, focused);
  TsSkinManager* m = DefaultManager();
  if (focused && !(m != nullptr && !m->ButtonsOptions.ShowFocusRect)) {
    RECT fr = di->rcItem;
    InflateRect(&fr, -4, -4);
    if (style_ == TButtonStyle::bsSplitButton) fr.right -= 14;
    DrawFocusRect(dc, &fr);
  }
  const int32_t state = pressed ? bstPressed : 0;
  const TRect cr = CaptionRect(state);
  RECT tr{cr.Left, cr.Top, cr.Right, cr.Bottom};
  PlainText(dc, Font(), Caption(), tr, DT_CENTER | DT_VCENTER | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0),
            Enabled());
  gui::TCanvas canvas;
  canvas.SetHandle(dc);
  PaintButtonGlyph(this, nullptr, &canvas, state);
  canvas.SetHandle(nullptr);
  if (style_ == TButtonStyle::bsSplitButton) {
    RECT line{Width() - 15, 4, Width() - 14, Height() - 4};
    FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
    POINT pts[3] = {{Width() - 11, Height() / 2 - 1}, {Width() - 4, Height() / 2 - 1}, {Width() - 8, Height() / 2 + 3}};
    HBRUSH b = ledger::CreateSolidBrush(COLORREF(platform::ColorToRGB(Font().Color())));
    HGDIOBJ oldB = SelectObject(dc, b);
    HGDIOBJ oldP = SelectObject(dc, GetStockObject(NULL_PEN));
    Polygon(dc, pts, 3);
    SelectObject(dc, oldP);
    SelectObject(dc, oldB);
    ledger::DeleteObject(b);
  }
}

bool TsButton::DropDownPress(int x, int y) {
  (void)y;
  if (!PushButtonSplitHit(LayoutInput(), dropDownMenu_ != nullptr, x)) return false;
  const std::shared_ptr<bool> alive = alive_;
  dropDownOpen_ = true;
  RepaintNow();
  PopupUnder(this, dropDownMenu_);  // modal: the menu's handlers may free the button
  if (!*alive) return true;
  dropDownOpen_ = false;
  RepaintNow();
  return true;
}

// ---- TsBitBtn.

TsBitBtn::TsBitBtn(gui::TComponent* AOwner) : TsButtonCore<gui::TBitBtn>(AOwner) { skinData_->ControlKind = ckBitBtn; }

bool TsBitBtn::HasImage() { return images_ != nullptr && imageIndex_ >= 0 && imageIndex_ < ImageCountOf(images_); }

TSize TsBitBtn::GlyphSize() {
  const TSize list = images_ != nullptr ? TSize{images_->Width(), images_->Height()} : TSize{0, 0};
  gui::TBitmap& g = Glyph();
  return BitBtnGlyphSize(HasImage(), list, NumGlyphs(),
                         g.Empty() ? TSize{0, 0} : TSize{g.Width(), g.Height()});
}

int32_t TsBitBtn::CurrentState() {
  const int32_t s = TsButtonCore<gui::TBitBtn>::CurrentState();
  const HWND focus = GetFocus();
  const bool ownerDrawnFocus = focus != nullptr && focus != WindowHandle() && (GetWindowLongA(focus, GWL_STYLE) & 8);
  return BitBtnState(s, default_, focus != nullptr, ownerDrawnFocus);
}

void TsBitBtn::ActionChange(gui::TObject* Sender, bool CheckDefaults) {
  TsButtonCore<gui::TBitBtn>::ActionChange(Sender, CheckDefaults);
  if (auto* a = dynamic_cast<gui::TCustomAction*>(Sender); a != nullptr && (!CheckDefaults || imageIndex_ == -1)) {
    imageIndex_ = a->ImageIndex();
    Changed();
  }
}

void TsBitBtn::Rects(TRect& GlyphR, TRect& CaptionR) {
  BitBtnLayoutInput in;
  in.Width = Width();
  in.Height = Height();
  in.Glyph = GlyphSize();
  const std::string text = showCaption_ ? Caption() : std::string();
  if (!text.empty()) in.Text = GetTextSize(text, Font(), std::max(Width() - in.Glyph.cx - 8, 0), wordWrap_);
  in.Layout = int32_t(gui::TBitBtn::Layout());
  in.Alignment = int32_t(alignment_);
  in.Margin = Margin();
  in.Spacing = Spacing();
  in.RightToLeft = UseRightToLeftAlignment();
  in.Shift = ContentShift();
  in.Reflected = reflected_;
  in.TextOffset = textOffset_;
  BitBtnRects(in, GlyphR, CaptionR);
}

TRect TsBitBtn::GlyphRect(int32_t State) {
  (void)State;
  TRect g, c;
  Rects(g, c);
  return g;
}

TRect TsBitBtn::CaptionRect(int32_t State) {
  (void)State;
  TRect g, c;
  Rects(g, c);
  return c;
}

void TsBitBtn::PaintContent(Bitmap& Cache, int32_t State, int32_t SkinState) {
  TsSkinManager* m = skinData_->SkinManager();
  PaintButtonGlyph(this, &Cache, nullptr, State);
  const std::string text = Caption();
  if (showCaption_ && !text.empty()) {
    uint32_t flags = DT_EXPANDTABS | DT_VCENTER | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE);
    flags |= textAlignment_ == gui::TAlignment::taLeftJustify    ? DT_LEFT
             : textAlignment_ == gui::TAlignment::taRightJustify ? DT_RIGHT
                                                                 : DT_CENTER;
    const TRect cr = CaptionRect(State);
    WriteSkinText(Cache, Font(), text, Enabled(), SkinState > 0 ? 1 : 0, *skinData_, flags, cr);
    if (Enabled() && Focused() && showFocus_ && m->ButtonsOptions.ShowFocusRect)
      DrawDottedFrame(Cache,
                      TRect{cr.Left - focusMargin_ - 1, cr.Top - focusMargin_, cr.Right + focusMargin_ + 1,
                            cr.Bottom + focusMargin_},
                      SectionFont(m, skinData_->SkinIndex, std::min(1, StateCountOf(m, skinData_->SkinIndex))), clNone);
  }
}

void TsBitBtn::CachePainted(Bitmap& Cache) {
  if (OnPaint) OnPaint(this, Cache);
}

void TsBitBtn::PaintUnskinned(void* DrawItem) {
  auto* di = static_cast<DRAWITEMSTRUCT*>(DrawItem);
  if (di == nullptr) return;
  HDC dc = di->hDC;
  RECT r = di->rcItem;
  const bool pressed = (di->itemState & ODS_SELECTED) != 0 || down_;
  const bool focused = (di->itemState & ODS_FOCUS) != 0;
  PlainFace(dc, r, pressed, Enabled(), default_, focused);
  const int32_t state = pressed ? bstPressed : 0;
  const TRect cr = CaptionRect(state);
  if (showCaption_)
    PlainText(dc, Font(), Caption(), RECT{cr.Left, cr.Top, cr.Right, cr.Bottom},
              DT_CENTER | DT_VCENTER | DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE), Enabled());
  gui::TCanvas canvas;
  canvas.SetHandle(dc);
  PaintButtonGlyph(this, nullptr, &canvas, state);
  canvas.SetHandle(nullptr);
  if (focused) {
    RECT fr = di->rcItem;
    InflateRect(&fr, -4, -4);
    DrawFocusRect(dc, &fr);
  }
}

// ---- Glyphs.

void PaintButtonGlyph(gui::TControl* Button, Bitmap* Target, gui::TCanvas* Canvas, int32_t State) {
  GlyphPaintData d;
  d.Target = Target;
  d.Canvas = Canvas;
  d.State = State;
  d.Enabled = Button != nullptr && Button->Enabled();
  auto fromSkinData = [&d](TsCommonData& data) {
    d.Manager = data.SkinManager();
    d.SkinIndex = SkinDataSkinned(data) ? data.SkinIndex : -1;
  };
  if (auto* b = dynamic_cast<TsButton*>(Button)) {
    fromSkinData(b->SkinData());
    d.Images = b->Images();
    d.ImageIndex = b->StateImageIndex(State);
    d.R = b->ImageRect(State);
    d.NumGlyphs = 1;
    d.Down = State == bstPressed;
    d.Grayed = d.SkinIndex >= 0 && d.Manager != nullptr && d.Manager->Effects.DiscoloredGlyphs;
    d.DisabledGlyphKind = dgBlended;
    d.Reflected = b->Reflected();
    if (!b->HasImage()) return;
  } else if (auto* bb = dynamic_cast<TsBitBtn*>(Button)) {
    fromSkinData(bb->SkinData());
    d.Images = bb->Images();
    d.ImageIndex = bb->ImageIndex();
    d.Glyph = &bb->Glyph();
    d.R = bb->GlyphRect(State);
    d.NumGlyphs = bb->NumGlyphs();
    d.Blend = bb->Blend();
    d.Down = bb->Down();
    d.Grayed = bb->Grayed();
    d.DisabledGlyphKind = bb->DisabledGlyphKind();
    d.Reflected = bb->Reflected();
  } else if (auto* sb = dynamic_cast<TsSpeedButton*>(Button)) {
    fromSkinData(sb->SkinData());
    d.Images = sb->Images();
    d.ImageIndex = sb->ImageIndex();
    d.Glyph = &sb->Glyph();
    d.R = sb->GlyphRect(true);
    d.NumGlyphs = sb->NumGlyphs();
    d.Blend = sb->Blend();
    d.Down = sb->Down();
    d.Grayed = sb->Grayed();
    d.DisabledGlyphKind = sb->DisabledGlyphKind();
    d.Reflected = sb->Reflected();
    // A fully transparent normal look takes its colours from the parent's section.
    if (State == 0 && d.SkinIndex >= 0 && sb->Parent() != nullptr && d.Manager != nullptr &&
        d.Manager->Skin().Sections[size_t(d.SkinIndex)].NormalState.Transparency == 100)
      d.SkinIndex = ParentSkinSectionIndex(sb, 0, d.Manager, d.SkinIndex);
  } else {
    return;
  }
  if (d.SkinIndex < 0) d.Target = nullptr;
  if (d.Target == nullptr && d.Canvas == nullptr) return;
  DrawButtonGlyph(d);
}

}  // namespace skin
