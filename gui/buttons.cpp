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

}  // namespace gui
