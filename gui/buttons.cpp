#include "gui/buttons.h"

#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

// ============================== TSpeedButton ==============================

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ = csCaptureMouse | csDoubleClicks | csOpaque;
  width_ = 23;
  height_ = 22;
  parentFont_ = true;
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  if (down_ && !allowAllUp_) return;
  down_ = v;
  state_ = v ? TButtonState::bsExclusive : TButtonState::bsUp;
  Invalidate();
  if (v) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int g) {
  if (g == groupIndex_) return;
  groupIndex_ = g;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  Invalidate();
}

void TSpeedButton::SetNumGlyphs(int n) {
  numGlyphs_ = n < 1 ? 1 : (n > 4 ? 4 : n);
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout l) {
  layout_ = l;
  Invalidate();
}

void TSpeedButton::SetSpacing(int s) {
  spacing_ = s;
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !parent_) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  for (int i = 0; i < parent_->ControlCount(); ++i) {
    TControl* c = parent_->Controls(i);
    if (c != this && dynamic_cast<TSpeedButton*>(c)) c->Perform(m.Msg, m.WParam, m.LParam);
  }
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
      if (static_cast<int>(m.WParam) == groupIndex_ && sender && sender != this) {
        if (sender->down_ && down_) {
          down_ = false;
          state_ = TButtonState::bsUp;
          Invalidate();
        }
        allowAllUp_ = sender->allowAllUp_;
      }
      return;
    }
    case CM_ENABLEDCHANGED:
      if (!enabled_) {
        mouseInControl_ = false;
        state_ = TButtonState::bsDisabled;
      } else {
        state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
      }
      Invalidate();
      break;
    case CM_MOUSEENTER:
      if (enabled_ && !mouseInControl_) {
        mouseInControl_ = true;
        if (flat_) Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (mouseInControl_) {
        mouseInControl_ = false;
        if (flat_) Invalidate();
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == TMouseButton::mbLeft && enabled_) {
    if (!down_) {
      state_ = TButtonState::bsDown;
      Invalidate();
    }
    dragging_ = true;
  }
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TButtonState s = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
  if (ClientRect().Contains(TPoint{x, y})) s = TButtonState::bsDown;
  if (s != state_) {
    state_ = s;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  const bool doClick = ClientRect().Contains(TPoint{x, y});
  if (groupIndex_ == 0) {
    state_ = TButtonState::bsUp;
    Invalidate();
  } else if (doClick) {
    SetDown(!down_);
    state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
  } else {
    state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    Invalidate();
  }
  if (doClick) Click();
}

void TSpeedButton::Paint() {
#ifdef _WIN32
  HDC dc = canvas_.Handle();
  RECT r{0, 0, width_, height_};
  const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive || down_;
  if (!flat_) {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) flags |= DFCS_PUSHED;
    DrawFrameControl(dc, &r, DFC_BUTTON, flags);
  } else if (pressed || (mouseInControl_ && enabled_)) {
    DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  } else {
    HBRUSH b = CreateSolidBrush(ColorRef(color_));
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  if (down_ && state_ == TButtonState::bsExclusive) {
    // The face of a button that stays down is dithered with the highlight colour.
    WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bmp = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH b = CreatePatternBrush(bmp);
    COLORREF oldText = SetTextColor(dc, ColorRef(clBtnFace));
    COLORREF oldBk = SetBkColor(dc, ColorRef(clBtnHighlight));
    FillRect(dc, &r, b);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
    DeleteObject(b);
    DeleteObject(bmp);
  }
  if (pressed) OffsetRect(&r, 1, 1);
  int textLeft = r.left;
  if (!glyph_.Empty()) {
    const int gw = glyph_.Width() / numGlyphs_, gh = glyph_.Height();
    const int textWidth = canvas_.TextWidth(text_);
    const int total = gw + (text_.empty() ? 0 : spacing_ + textWidth);
    const int gx = r.left + ((r.right - r.left) - total) / 2, gy = r.top + ((r.bottom - r.top) - gh) / 2;
    int frame = 0;
    if (!enabled_ && numGlyphs_ > 1) frame = 1;
    if (pressed && numGlyphs_ > 2) frame = 2;
    HDC src = glyph_.Canvas().Handle();
    GdiFlush();
    TransparentBlt(dc, gx, gy, gw, gh, src, frame * gw, 0, gw, gh, ColorRef(glyph_.TransparentColor()));
    textLeft = gx + gw + spacing_;
  }
  if (!text_.empty()) {
    HGDIOBJ old = SelectObject(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    RECT tr = r;
    UINT flags = DT_SINGLELINE | DT_VCENTER;
    if (!glyph_.Empty()) {
      tr.left = textLeft;
      flags |= DT_LEFT;
    } else {
      flags |= DT_CENTER;
    }
    if (!enabled_) {
      OffsetRect(&tr, 1, 1);
      SetTextColor(dc, ColorRef(clBtnHighlight));
      DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &tr, flags);
      OffsetRect(&tr, -1, -1);
      SetTextColor(dc, ColorRef(clBtnShadow));
    } else {
      SetTextColor(dc, ColorRef(font_.Color()));
    }
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &tr, flags);
    SelectObject(dc, old);
  }
#endif
}

// ============================== TBitBtn ==============================

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  if (!glyph_.Empty()) p.Style |= 0x000B;  // BS_OWNERDRAW
}

void TBitBtn::GlyphChanged() {
  RecreateWnd();
  Invalidate();
}

void TBitBtn::SetKind(TBitBtnKind k) {
  kind_ = k;
  switch (k) {
    case TBitBtnKind::bkOK:
      SetModalResult(mrOk);
      SetDefault(true);
      break;
    case TBitBtnKind::bkCancel:
    case TBitBtnKind::bkClose:
      SetModalResult(k == TBitBtnKind::bkCancel ? mrCancel : mrNone);
      SetCancel(k == TBitBtnKind::bkCancel);
      break;
    case TBitBtnKind::bkYes:
      SetModalResult(mrYes);
      break;
    case TBitBtnKind::bkNo:
      SetModalResult(mrNo);
      break;
    case TBitBtnKind::bkAbort:
      SetModalResult(mrAbort);
      break;
    case TBitBtnKind::bkRetry:
      SetModalResult(mrRetry);
      break;
    case TBitBtnKind::bkIgnore:
      SetModalResult(mrIgnore);
      break;
    default:
      break;
  }
}

void TBitBtn::SetLayout(TButtonLayout l) {
  layout_ = l;
  Invalidate();
}

void TBitBtn::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    DrawItem(reinterpret_cast<void*>(m.LParam));
    m.Result = 1;
    return;
  }
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_ENABLEDCHANGED) Invalidate();
  TButton::WndProc(m);
}

void TBitBtn::DrawItem(void* data) {
#ifdef _WIN32
  auto* di = static_cast<DRAWITEMSTRUCT*>(data);
  HDC dc = di->hDC;
  RECT r = di->rcItem;
  const bool pressed = (di->itemState & ODS_SELECTED) != 0;
  const bool focused = (di->itemState & ODS_FOCUS) != 0;
  UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
  if (pressed) flags |= DFCS_PUSHED;
  DrawFrameControl(dc, &r, DFC_BUTTON, flags);
  if (pressed) OffsetRect(&r, 1, 1);
  canvas_.SetHandle(dc);
  canvas_.Font().Assign(font_);
  const int gw = glyph_.Width(), gh = glyph_.Height();
  const int tw = canvas_.TextWidth(StripHotkey(text_));
  const int total = gw + (text_.empty() ? 0 : spacing_ + tw);
  const int gx = r.left + ((r.right - r.left) - total) / 2, gy = r.top + ((r.bottom - r.top) - gh) / 2;
  HDC src = glyph_.Canvas().Handle();
  GdiFlush();
  TransparentBlt(dc, gx, gy, gw, gh, src, 0, 0, gw, gh, ColorRef(glyph_.TransparentColor()));
  RECT tr{gx + gw + spacing_, r.top, r.right, r.bottom};
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorRef(enabled_ ? font_.Color() : clGrayText));
  DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  SelectObject(dc, old);
  canvas_.SetHandle(nullptr);
  if (focused) {
    RECT fr = di->rcItem;
    InflateRect(&fr, -4, -4);
    DrawFocusRect(dc, &fr);
  }
#else
  (void)data;
#endif
}

}  // namespace gui
