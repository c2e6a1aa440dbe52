// The Win32 half of the standard controls: the label measured and painted with GDI on its parent's device
// context, and the messages only the windows of group boxes and combo boxes send.
#include "gui/stdctrls.h"

namespace gui {

TPoint TCustomLabel::MeasureCaption(const std::string& text) const {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
  UINT flags = DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0) | (showAccelChar_ ? 0 : DT_NOPREFIX);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return TPoint{r.right, r.bottom};
}

void TCustomLabel::Paint() {
  HDC dc = canvas_.Handle();
  RECT r{0, 0, width_, height_};
  if (!transparent_) {
    HBRUSH b = CreateSolidBrush(ColorRef(color_));
    FillRect(dc, &r, b);
    DeleteObject(b);
  }
  if (text_.empty()) return;
  HGDIOBJ old = SelectObject(dc, font_.Handle());
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE) | (showAccelChar_ ? 0 : DT_NOPREFIX);
  flags |= alignment_ == TAlignment::taCenter ? DT_CENTER : alignment_ == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
  if (layout_ != TTextLayout::tlTop) {
    RECT calc = r;
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &calc, flags | DT_CALCRECT);
    const int h = calc.bottom - calc.top;
    const int offset = layout_ == TTextLayout::tlCenter ? (height_ - h) / 2 : height_ - h;
    r.top += offset;
  }
  if (!enabled_) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, ColorRef(clBtnHighlight));
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, ColorRef(clBtnShadow));
  } else {
    SetTextColor(dc, ColorRef(font_.Color()));
  }
  DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, flags);
  SelectObject(dc, old);
}

bool TCustomGroupBox::WindowMessage(TMessage& m) {
  if (m.Msg == WM_NCHITTEST) {  // the system group box lets the mouse through; this one holds controls
    m.Result = HTCLIENT;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

bool TCustomComboBox::WindowMessage(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == CBN_EDITCHANGE) {
    Change();
    m.Result = 0;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
