#include "skin/forms/sbutton_geometry.h"

#include <algorithm>

#include "skin/pixels/graph_utils.h"
#include "skin/painters/skinned_text.h"

namespace skin {

int32_t PushButtonState(const PushStateInput& In) {
  if ((In.Pushed || In.PaintPressed) && (In.KeyboardPress || In.MouseOver || In.NoMouseHover)) return bstPressed;
  if (In.Down || In.DropDownOpen) return bstPressed;
  if (!In.Designing && In.MouseOver) return bstHot;
  return In.ActiveDefault ? bstDefault : bstNormal;
}

int32_t SkinStateOf(int32_t State, int32_t StateCount) {
  if (State == bstDefault && StateCount < 4) State = bstHot;
  return std::max(0, std::min(State, StateCount - 1));
}

int32_t PushButtonImageIndex(const PushImageIndexes& Idx, int32_t Count, bool Enabled, int32_t State, bool Focused) {
  int32_t i = Idx.Normal;
  if (!Enabled) {
    i = Idx.Disabled;
  } else if (State == bstPressed) {
    i = Idx.Pressed;
  } else if (Focused) {
    i = Idx.Selected;
  } else if (State == bstHot) {
    i = Idx.Hot;
  }
  return (i < 0 || i >= Count) ? Idx.Normal : i;
}

TRect PushButtonImageRect(const PushLayoutInput& In) {
  if (!In.HasImage) return TRect{};
  const int32_t W = In.ContentWidth(), H = In.Height, CM = In.ContentMargin;
  const int32_t iw = In.Image.cx, ih = In.Image.cy;
  const TImageMarginValues& M = In.Margins;
  int32_t x = (W - iw) / 2, y = (H - ih) / 2;
  if (In.Style == TButtonStyle::bsCommandLink) {
    x = M.Left + CM;
    y = CM;
  } else {
    switch (In.Alignment) {
      case TImageAlignment::iaLeft: x = M.Left + CM; break;
      case TImageAlignment::iaRight: x = W - M.Right - CM - iw; break;
      case TImageAlignment::iaTop: y = M.Top + CM; break;
      case TImageAlignment::iaBottom: y = H - M.Bottom - CM - ih; break;
      case TImageAlignment::iaCenter: break;
    }
  }
  return TRect{x, y, x + iw, y + ih};
}

namespace {
int32_t CommandLinkBlock(const PushLayoutInput& In) {
  return (In.HasImage ? In.Image.cx : 32) + In.Margins.Left + In.Margins.Right;
}
}  // namespace

int32_t PushButtonTextWidth(const PushLayoutInput& In) {
  const int32_t W = In.ContentWidth(), CM = In.ContentMargin;
  if (In.Style == TButtonStyle::bsCommandLink) return std::max(0, W - 2 * CM - CommandLinkBlock(In) - 6 - CM);
  return std::max(0, W - 2 * CM);
}

TRect PushButtonCaptionRect(const PushLayoutInput& In, const TSize& Text) {
  const int32_t W = In.ContentWidth(), H = In.Height, CM = In.ContentMargin;
  const int32_t iw = In.Image.cx, ih = In.Image.cy, tw = Text.cx, th = Text.cy;
  const TImageMarginValues& M = In.Margins;
  TRect r;
  const int32_t vTop = (H - th) / 2;
  auto centredIn = [&](int32_t top, int32_t bottom) {
    r.Left = CM;
    r.Right = W - CM;
    r.Top = top + (bottom - top - th) / 2;
    r.Bottom = r.Top + th;
  };
  if (In.Style == TButtonStyle::bsCommandLink) {
    r = TRect{CommandLinkBlock(In) + CM + 6, CM, W - CM, CM + th};
  } else if (In.HasImage && In.Alignment != TImageAlignment::iaCenter) {
    switch (In.Alignment) {
      case TImageAlignment::iaLeft: r = TRect{M.Left + CM + iw + M.Right, vTop, W - CM, H - vTop}; break;
      case TImageAlignment::iaRight: r = TRect{CM, vTop, W - (M.Right + CM + iw + M.Left), H - vTop}; break;
      case TImageAlignment::iaTop: centredIn(M.Top + 2 * CM + ih, H - CM); break;
      default: centredIn(M.Top, H - (M.Bottom + CM + ih + M.Top)); break;
    }
  } else {
    r.Left = (W - tw) / 2 - 1;
    r.Right = r.Left + tw + 2;
    r.Top = vTop;
    r.Bottom = H - vTop;
  }
  return r;
}

TRect PushButtonSplitRect(const PushLayoutInput& In) {
  if (In.Style != TButtonStyle::bsSplitButton) return TRect{};
  return TRect{In.Width - DropDownPartWidth, 0, In.Width, In.Height};
}

bool PushButtonSplitHit(const PushLayoutInput& In, bool HasMenu, int32_t X) {
  return HasMenu && In.Style == TButtonStyle::bsSplitButton && X >= In.Width - DropDownPartWidth && X < In.Width;
}

bool ContentShifts(bool Pressed, bool Skinned, bool HasManager, bool ShiftOption) {
  if (!Pressed) return false;
  return !(Skinned && (!HasManager || !ShiftOption));
}

TRect ShiftRect(const TRect& R, bool Shift) {
  if (!Shift) return R;
  return TRect{R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
}

TSize BitBtnGlyphSize(bool HasImage, const TSize& ListImage, int32_t NumGlyphs, const TSize& Strip) {
  const int32_t cells = std::max(NumGlyphs & 127, 1);
  if (HasImage) return TSize{ListImage.cx / cells, ListImage.cy};
  if (Strip.cx <= 0 || Strip.cy <= 0) return TSize{0, 0};
  return TSize{Strip.cx / cells, Strip.cy};
}

void BitBtnRects(const BitBtnLayoutInput& In, TRect& Glyph, TRect& Caption) {
  TPoint pos;
  CalcButtonLayout(TRect{0, 0, In.Width, In.Height}, TPoint{In.Glyph.cx, In.Glyph.cy}, TPoint{In.Text.cx, In.Text.cy},
                   In.Layout, In.Alignment, In.Margin, In.Spacing, In.RightToLeft ? 2u : 0u, pos, Caption);
  Glyph = ShiftRect(TRect{pos.X, pos.Y, pos.X + In.Glyph.cx, pos.Y + In.Glyph.cy}, In.Shift);
  if (In.Reflected) Glyph = TRect{Glyph.Left, Glyph.Top - In.Glyph.cx / 6, Glyph.Right, Glyph.Bottom - In.Glyph.cx / 6};
  Caption = ShiftRect(TRect{Caption.Left + In.TextOffset, Caption.Top, Caption.Right + In.TextOffset, Caption.Bottom},
                      In.Shift);
}

int32_t BitBtnState(int32_t PushState, bool ActiveDefault, bool AnyFocus, bool FocusOwnerDrawn) {
  (void)ActiveDefault;
  if (PushState == bstDefault && AnyFocus && FocusOwnerDrawn) return bstNormal;
  return PushState;
}

int32_t SpeedEffectiveMargin(int32_t Margin) { return Margin >= 0 ? Margin + 3 : 0; }

TRect SpeedCaptionRect(const SpeedLayoutInput& In) {
  const int32_t W = In.Width, H = In.Height, GW = In.Glyph.cx, GH = In.Glyph.cy, TW = In.Text.cx, TH = In.Text.cy;
  const int32_t S = In.HasCaption ? In.Spacing : 0, m = SpeedEffectiveMargin(In.Margin);
  const int32_t A = In.DropDown ? DropDownPartWidth : 0;
  const bool glyph = GW > 0;
  const int32_t avail = W - A - TW - GW - S - 2 * m;
  TRect r;
  switch (In.Layout) {
    case 0:  // glyph left
    case 1: {  // glyph right
      r.Top = (H - TH) / 2;
      r.Bottom = r.Top + TH;
      if (In.Layout == 0) {
        if (In.Alignment == 0) {
          if (In.TextAlignment == 0) r.Left = GW + m + S;
          else if (In.TextAlignment == 1) r.Left = glyph ? W - m - TW - A : m;
          else r.Left = glyph ? avail / 2 + GW + S + m : (W - TW) / 2;
          r.Right = r.Left + TW;
        } else if (In.Alignment == 1) {
          r.Right = W - A - m;
          r.Left = r.Right - TW;
        } else {
          r.Left = avail / 2 + m + GW + S;
          r.Right = r.Left + TW;
        }
      } else {
        if (In.Alignment == 0) {
          r.Left = m;
          r.Right = m + TW;
        } else if (In.Alignment == 1) {
          r.Right = W - A - GW - S - m;
          if (In.TextAlignment == 0) r.Left = glyph ? m : W - m - TW - A;
          else if (In.TextAlignment == 1) r.Left = W - m - GW - S - TW - A;
          else r.Left = glyph ? (W - m - GW - S - TW - A) / 2 : W - m - TW - A;
        } else {
          r.Left = (W - A - GW - S - TW) / 2;
          r.Right = r.Left + TW;
        }
      }
      r.Left += In.TextOffset;
      r.Right += In.TextOffset;
      break;
    }
    default: {  // glyph top or bottom
      const int32_t F = (H - GH - S - TH) / 2 - m;
      r.Left = (W - TW - A) / 2;
      r.Right = W - r.Left - A;
      if (In.Layout == 2) {
        r.Top = F + m + GH + S;
        r.Bottom = H - F - m;
      } else {
        r.Top = F + m;
        r.Bottom = H - F - m - GH - S;
      }
      r.Top += In.TextOffset;
      r.Bottom += In.TextOffset;
      break;
    }
  }
  return r;
}

TRect SpeedGlyphRect(const SpeedLayoutInput& In) {
  SpeedLayoutInput plain = In;
  plain.TextOffset = 0;
  const TRect t = SpeedCaptionRect(plain);
  const int32_t GW = In.Glyph.cx, GH = In.Glyph.cy, S = In.HasCaption ? In.Spacing : 0;
  const int32_t A = In.DropDown ? DropDownPartWidth : 0, m = SpeedEffectiveMargin(In.Margin);
  int32_t x = 0, y = 0;
  switch (In.Layout) {
    case 0: x = t.Left - S - GW; y = (In.Height - GH) / 2; break;
    case 1: x = t.Right + S; y = (In.Height - GH) / 2; break;
    case 2: x = (In.Width - A - GW) / 2; y = (In.Height - GH - S - In.Text.cy) / 2; break;
    default: x = (In.Width - A - GW) / 2; y = In.Height - ((In.Height - GH - S - In.Text.cy) / 2 - m) - m - GH; break;
  }
  return TRect{x, y, x + GW, y + GH};
}

TRect SpeedArrowRect(int32_t Width, int32_t Height) { return TRect{Width - DropDownPartWidth, 0, Width, Height}; }

TRect SpeedFaceRect(int32_t Width, int32_t Height, bool DropDown) {
  return TRect{0, 0, DropDown ? Width - DropDownPartWidth : Width, Height};
}

bool SpeedDropDownHit(int32_t Width, TToolButtonStyle Style, bool HasMenu, bool HasOnClick, int32_t X) {
  if (Style != TToolButtonStyle::tbsDropDown || !HasMenu) return false;
  return !(HasOnClick && X <= Width - DropDownPartWidth);
}

int32_t SpeedButtonState(TToolButtonStyle Style, bool Down, bool Pressed, bool MouseOver, bool MenuPressed) {
  if (Style == TToolButtonStyle::tbsSeparator || Style == TToolButtonStyle::tbsDivider) return bstNormal;
  if (Down || Pressed || MenuPressed) return bstPressed;
  return MouseOver ? bstHot : bstNormal;
}

int32_t SpeedArrowState(bool MenuPressed, bool Down, bool Pressed, bool MouseOver) {
  if (MenuPressed || Down || Pressed) return bstPressed;
  return MouseOver ? bstHot : bstNormal;
}

TColor LabelDisabledColor(TColor Font, TColor ParentBg) { return MixColorsRatio(Font, ParentBg, 0.4); }

std::string LabelTextForDrawing(const std::string& Text, bool ShowAccelChar, bool Measuring) {
  if (Measuring && (Text.empty() || (ShowAccelChar && Text == "&"))) return Text + " ";
  return Text;
}

std::vector<TRect> UncoveredStrips(const TRect& Old, const TRect& New) {
  std::vector<TRect> out;
  if (Old.Right <= Old.Left || Old.Bottom <= Old.Top) return out;
  auto add = [&out](int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r > l && b > t) out.push_back(TRect{l, t, r, b});
  };
  // Top and bottom strips take the whole width; the side strips only the rows between them.
  const int32_t top = std::min(std::max(New.Top, Old.Top), Old.Bottom);
  const int32_t bottom = std::max(std::min(New.Bottom, Old.Bottom), top);
  add(Old.Left, Old.Top, Old.Right, top);
  add(Old.Left, bottom, Old.Right, Old.Bottom);
  add(Old.Left, top, std::min(New.Left, Old.Right), bottom);
  add(std::max(New.Right, Old.Left), top, Old.Right, bottom);
  return out;
}

}  // namespace skin
