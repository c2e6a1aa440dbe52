// The Win32 half of the standard controls: the label measured and painted with GDI on its parent's device
// context, the line breaks of a memo's window, and the messages only the windows of group boxes, combo boxes
// and static texts send.
#include "gui/stdctrls.h"

#include <algorithm>

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
  if (!Transparent()) {
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

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Words are what stands between blanks. WB_LEFT: the start of the word left of `at`; WB_RIGHT: the start of
// the next word (a line may end there); WB_ISDELIMITER: whether the character at `at` is a blank.
int CALLBACK BlankWordBreak(LPSTR text, int at, int count, int code) {
  if (!text || count <= 0) return 0;
  at = std::clamp(at, 0, count);
  switch (code) {
    case WB_ISDELIMITER:
      return at < count && IsBlank(text[at]) ? 1 : 0;
    case WB_LEFT:
      if (at > 0) --at;
      while (at > 0 && IsBlank(text[at])) --at;
      while (at > 0 && !IsBlank(text[at - 1])) --at;
      return at;
    case WB_RIGHT:
      while (at < count && !IsBlank(text[at])) ++at;
      while (at < count && IsBlank(text[at])) ++at;
      return at;
    default:
      return 0;
  }
}

}  // namespace

void TCustomMemo::BreakLinesAtBlanks() {
  char cls[16] = {};
  if (!HandleAllocated() || !GetClassNameA(Handle(), cls, sizeof cls) || lstrcmpiA(cls, "Edit") != 0) return;
  SendMessageA(Handle(), EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&BlankWordBreak));
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

void TCustomComboBox::DrawItemRequest(void* data) {
  auto* di = static_cast<DRAWITEMSTRUCT*>(data);
  if (di == nullptr || di->hDC == nullptr) return;
  const TRect r{di->rcItem.left, di->rcItem.top, di->rcItem.right, di->rcItem.bottom};
  const int saved = SaveDC(di->hDC);
  struct Unbind {  // the canvas leaves the request's DC however the drawing ends
    TCanvas& canvas;
    HDC dc;
    int saved;
    ~Unbind() {
      canvas.SetHandle(nullptr);
      RestoreDC(dc, saved);
    }
  } unbind{canvas_, di->hDC, saved};
  canvas_.SetHandle(di->hDC);
  canvas_.Font().Assign(font_);
  canvas_.Brush().Color = (di->itemState & ODS_SELECTED) ? clHighlight : color_;
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  // An item without an index is the empty selection field: only its background.
  if (static_cast<int>(di->itemID) < 0)
    canvas_.FillRect(r);
  else
    DrawItem(static_cast<int>(di->itemID), r, di->itemState);
}

void TCustomComboBox::DrawDefaultItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  HDC dc = canvas_.Handle();
  if (dc == nullptr) return;
  const bool selected = (State & odSelected) != 0;
  RECT r{Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
  HBRUSH b = CreateSolidBrush(ColorRef(selected ? clHighlight : color_));
  FillRect(dc, &r, b);
  DeleteObject(b);
  if (Index >= 0 && Index < items_.Count()) {
    HGDIOBJ old = SelectObject(dc, font_.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorRef(selected ? clHighlightText : font_.Color()));
    RECT tr{r.left + 2, r.top, r.right, r.bottom};
    const std::string& text = items_[Index];
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
  }
  if ((State & odFocused) != 0) DrawFocusRect(dc, &r);
}

void TCustomComboBox::MeasureItemRequest(void* data) {
  auto* mi = static_cast<MEASUREITEMSTRUCT*>(data);
  if (mi == nullptr) return;
  int h = itemHeight_;
  MeasureItem(static_cast<int>(mi->itemID), h);
  mi->itemHeight = static_cast<UINT>(h > 0 ? h : 1);
}

bool TCustomStaticText::WindowMessage(TMessage& m) {
  if (m.Msg == CN_CTLCOLORSTATIC && transparent_) {  // the text over what lies under it
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    ::SetTextColor(dc, ColorRef(font_.Color()));
    ::SetBkMode(dc, TRANSPARENT);
    m.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
