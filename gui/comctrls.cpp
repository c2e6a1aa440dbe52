#include "gui/comctrls.h"

#include <algorithm>

namespace gui {

// ============================== TRichEdit ==============================

TColor TTextAttributes::Color() const { return owner_.SelColor(); }
void TTextAttributes::SetColor(TColor c) { owner_.SetSelColor(c); }
TFontStyles TTextAttributes::Style() const { return owner_.SelStyle(); }
void TTextAttributes::SetStyle(TFontStyles s) { owner_.SetSelStyle(s); }

TRichEdit::TRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {
  insertAttr_ = CharAttr{font_.Color(), font_.Style()};
}

std::string TRichEdit::ToParagraphs(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\r';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else if (s[i] == '\n') {
      out += '\r';
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string TRichEdit::ToCrLf(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 16);
  for (char c : s) {
    if (c == '\r')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

void TRichEdit::CreateParams(TCreateParams& p) {
  TCustomMemo::CreateParams(p);
  p.WinClassName = "RichEdit20A";
  p.OwnClass = false;
}

std::string TRichEdit::GetText() const { return HandleAllocated() ? TCustomMemo::GetText() : ToCrLf(rtext_); }

int TRichEdit::GetTextLen() const {
  return ReadWindowOr(static_cast<int>(rtext_.size()), [this] { return WindowTextLength(); });
}

std::string TRichEdit::SelText() const {
  if (HandleAllocated()) return ToCrLf(ToParagraphs(WindowSelText()));
  return ToCrLf(rtext_.substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)));
}

void TRichEdit::ClampRich() {
  const int len = static_cast<int>(rtext_.size());
  selStart_ = std::clamp(selStart_, 0, len);
  selLength_ = std::clamp(selLength_, 0, len - selStart_);
}

TColor TRichEdit::SelColor() const {
  if (HandleAllocated()) return WindowSelectionAttributes().color;
  if (selLength_ > 0 && static_cast<size_t>(selStart_) < attrs_.size()) return attrs_[static_cast<size_t>(selStart_)].color;
  return insertAttr_.color;
}

TFontStyles TRichEdit::SelStyle() const {
  if (HandleAllocated()) return WindowSelectionAttributes().style;
  if (selLength_ > 0 && static_cast<size_t>(selStart_) < attrs_.size()) return attrs_[static_cast<size_t>(selStart_)].style;
  return insertAttr_.style;
}

void TRichEdit::SetSelColor(TColor c) {
  if (HandleAllocated()) {
    FormatWindowSelection(c, true, 0, false);
    return;
  }
  ClampRich();
  insertAttr_.color = c;
  for (int i = selStart_; i < selStart_ + selLength_; ++i) attrs_[static_cast<size_t>(i)].color = c;
}

void TRichEdit::SetSelStyle(TFontStyles s) {
  if (HandleAllocated()) {
    FormatWindowSelection(clNone, false, s, true);
    return;
  }
  ClampRich();
  insertAttr_.style = s;
  for (int i = selStart_; i < selStart_ + selLength_; ++i) attrs_[static_cast<size_t>(i)].style = s;
}

std::vector<TRichRun> TRichEdit::Runs() const {
  std::string text = rtext_;
  std::vector<CharAttr> attrs = attrs_;
  if (HandleAllocated()) WindowCharacters(text, attrs);
  std::vector<TRichRun> runs;
  for (size_t i = 0; i < text.size() && i < attrs.size(); ++i) {
    const TColor c = static_cast<TColor>(ColorRef(attrs[i].color));
    if (runs.empty() || runs.back().Color != c || runs.back().Style != attrs[i].style)
      runs.push_back(TRichRun{std::string(), c, attrs[i].style});
    if (text[i] == '\r')
      runs.back().Text += "\r\n";
    else
      runs.back().Text += text[i];
  }
  return runs;
}

void TRichEdit::DefaultHandler(TMessage& m) {
  if (HandleAllocated()) {  // the window edits
    TCustomMemo::DefaultHandler(m);
    return;
  }
  auto insert = [&](const std::string& raw) {
    ClampRich();
    std::string s = ToParagraphs(raw);
    if (maxLength_ > 0) {
      const int room = maxLength_ - (static_cast<int>(rtext_.size()) - selLength_);
      if (room <= 0)
        s.clear();
      else if (static_cast<int>(s.size()) > room)
        s.resize(static_cast<size_t>(room));
    }
    rtext_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), s);
    attrs_.erase(attrs_.begin() + selStart_, attrs_.begin() + selStart_ + selLength_);
    attrs_.insert(attrs_.begin() + selStart_, s.size(), insertAttr_);
    selStart_ += static_cast<int>(s.size());
    selLength_ = 0;
  };
  switch (m.Msg) {
    case WM_SETTEXT: {
      const std::string s = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      rtext_ = ToParagraphs(s);
      insertAttr_ = CharAttr{font_.Color(), font_.Style()};
      attrs_.assign(rtext_.size(), insertAttr_);
      text_ = ToCrLf(rtext_);
      selStart_ = 0;
      selLength_ = 0;
      m.Result = 1;
      return;
    }
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(ToCrLf(rtext_).size());
      return;
    case WM_GETTEXT: {
      const std::string t = ToCrLf(rtext_);
      const size_t room = static_cast<size_t>(m.WParam);
      char* out = reinterpret_cast<char*>(m.LParam);
      if (!out || room == 0) return;
      const size_t n = std::min(room - 1, t.size());
      std::copy(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n), out);
      out[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      return;
    }
    case EM_GETSEL:
      if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = static_cast<DWORD>(selStart_);
      if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = static_cast<DWORD>(selStart_ + selLength_);
      m.Result = MAKELONG(static_cast<WORD>(selStart_), static_cast<WORD>(selStart_ + selLength_));
      return;
    case EM_SETSEL: {
      const int len = static_cast<int>(rtext_.size());
      int a = static_cast<int>(static_cast<intptr_t>(m.WParam));
      int b = static_cast<int>(m.LParam);
      if (a == -1) {
        selLength_ = 0;
        return;
      }
      if (b < 0) b = len;
      a = std::clamp(a, 0, len);
      b = std::clamp(b, 0, len);
      if (b < a) std::swap(a, b);
      selStart_ = a;
      selLength_ = b - a;
      if (selLength_ > 0) insertAttr_ = attrs_[static_cast<size_t>(a)];
      else if (a > 0) insertAttr_ = attrs_[static_cast<size_t>(a) - 1];
      return;
    }
    case EM_REPLACESEL: {
      const std::string before = rtext_;
      insert(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
      text_ = ToCrLf(rtext_);
      if (rtext_ != before) Change();
      return;
    }
    case WM_CHAR: {
      if (readOnly_) return;
      const unsigned char c = static_cast<unsigned char>(m.WParam);
      const std::string before = rtext_;
      ClampRich();
      if (c == 8) {
        if (selLength_ > 0) {
          insert(std::string());
        } else if (selStart_ > 0) {
          rtext_.erase(static_cast<size_t>(selStart_ - 1), 1);
          attrs_.erase(attrs_.begin() + selStart_ - 1);
          --selStart_;
        }
      } else if (c == '\r' || c == '\n') {
        if (wantReturns_) insert("\r");
      } else if (c == '\t') {
        if (wantTabs_) insert("\t");
      } else if (c >= 32) {
        insert(std::string(1, static_cast<char>(c)));
      }
      text_ = ToCrLf(rtext_);
      if (rtext_ != before) Change();
      return;
    }
    default:
      break;
  }
  TCustomMemo::DefaultHandler(m);
}

// ============================== TUpDown ==============================

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csDoubleClicks;
  width_ = 17;
  height_ = 25;
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "msctls_updown32";
  p.OwnClass = false;
  p.Style |= 0x0020;  // UDS_ARROWKEYS
  if (orientation_ == TUDOrientation::udHorizontal) p.Style |= 0x0040;  // UDS_HORZ
}

void TUpDown::InitializeWindow() { PushRange(); }

void TUpDown::PushRange() {
  SendToWindow(UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  SendToWindow(UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
}

void TUpDown::SetMin(int v) {
  min_ = v;
  if (position_ < std::min(min_, max_)) position_ = std::min(min_, max_);
  PushRange();
}

void TUpDown::SetMax(int v) {
  max_ = v;
  if (position_ > std::max(min_, max_)) position_ = std::max(min_, max_);
  PushRange();
}

void TUpDown::SetPosition(int v) {
  position_ = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
  PushRange();
}

void TUpDown::SetOrientation(TUDOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  RecreateWnd();
}

void TUpDown::Click(TUDBtnType button) {
  const int lo = std::min(min_, max_), hi = std::max(min_, max_);
  const int step = (button == TUDBtnType::btNext ? 1 : -1) * (max_ >= min_ ? 1 : -1) * increment_;
  int p = position_ + step;
  if (p > hi) p = wrap_ ? lo : hi;
  if (p < lo) p = wrap_ ? hi : lo;
  position_ = p;
  PushRange();
  if (OnClick) OnClick(this, button);
}

// ============================== TTrackBar ==============================

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csDoubleClicks;
  tabStop_ = true;
  width_ = 150;
  height_ = 45;
}

void TTrackBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "msctls_trackbar32";
  p.OwnClass = false;
  if (tickStyle_ == TTickStyle::tsAuto) p.Style |= 0x0001;   // TBS_AUTOTICKS
  if (tickStyle_ == TTickStyle::tsNone) p.Style |= 0x0010;   // TBS_NOTICKS
  if (orientation_ == TTrackBarOrientation::trVertical) p.Style |= 0x0002;  // TBS_VERT
  if (tickMarks_ == TTickMark::tmTopLeft) p.Style |= 0x0004;  // TBS_TOP / TBS_LEFT
  if (tickMarks_ == TTickMark::tmBoth) p.Style |= 0x0008;     // TBS_BOTH
}

void TTrackBar::InitializeWindow() {
  SendToWindow(TBM_SETRANGEMIN, /*redraw=*/0, min_);
  SendToWindow(TBM_SETRANGEMAX, /*redraw=*/0, max_);
  SendToWindow(TBM_SETTICFREQ, static_cast<WPARAM>(frequency_));
  SendToWindow(TBM_SETPOS, /*redraw=*/1, position_);
}

int TTrackBar::Position() const { return ReadWindowOr(position_, TBM_GETPOS); }

void TTrackBar::SetMin(int v) {
  min_ = v;
  if (max_ < min_) max_ = min_;
  SendToWindow(TBM_SETRANGEMIN, /*redraw=*/1, min_);
  if (position_ < min_) SetPosition(min_);
}

void TTrackBar::SetMax(int v) {
  max_ = v;
  if (min_ > max_) min_ = max_;
  SendToWindow(TBM_SETRANGEMAX, /*redraw=*/1, max_);
  if (position_ > max_) SetPosition(max_);
}

void TTrackBar::SetPosition(int v) {
  v = std::clamp(v, min_, max_);
  if (v == position_) return;
  position_ = v;
  SendToWindow(TBM_SETPOS, /*redraw=*/1, v);
  Changed();
}

void TTrackBar::SetFrequency(int f) {
  frequency_ = f;
  SendToWindow(TBM_SETTICFREQ, static_cast<WPARAM>(f));
}

void TTrackBar::SetOrientation(TTrackBarOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark t) {
  if (t == tickMarks_) return;
  tickMarks_ = t;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle t) {
  if (t == tickStyle_) return;
  tickStyle_ = t;
  RecreateWnd();
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace gui
