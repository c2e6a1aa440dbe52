// The Win32 half of the buttons: speed buttons painted on their parent's device context (frame, dithered face
// when held down, glyph and caption), and bit buttons drawn by their owner when they carry a glyph.
#include "gui/buttons.h"
#include "gui/menus.h"
#include "platform/colors.h"

namespace gui {

namespace {
// The caption colour of a disabled button: the system's grey for disabled text where it reads on the button's
// face (4:1: plainly dimmer than the text, still readable), else that grey taken toward the button's text colour
// just as far as it then reads (Wine's grey is its shadow's, barely 2:1 on the face).
COLORREF DisabledCaptionColour() {
  const TColor face = platform::ColorToRGB(clBtnFace), text = platform::ColorToRGB(clBtnText);
  const TColor grey = platform::ColorToRGB(clGrayText);
  TColor c = grey;
  for (int tenths = 1; tenths <= 10 && platform::ContrastRatio(c, face) < 4.0; ++tenths) {
    c = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const int g = int((grey >> shift) & 0xFF), t = int((text >> shift) & 0xFF);
      c |= TColor(g + (t - g) * tenths / 10) << shift;
    }
  }
  return ColorRef(c);
}
}  // namespace

void TSpeedButton::Paint() {
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
      SetTextColor(dc, DisabledCaptionColour());
    } else {
      SetTextColor(dc, ColorRef(font_.Color()));
    }
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &tr, flags);
    SelectObject(dc, old);
  }
}

void TBitBtn::DrawItem(void* data) {
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
}

}  // namespace gui
