#include "gui/stdctrls.h"

#include <algorithm>
#include <cctype>

#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

// ============================== TCustomLabel ==============================

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ = csSetCaption | csClickEvents | csDoubleClicks | csOpaque;
  width_ = 65;
  height_ = 17;
}

void TCustomLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}
void TCustomLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}
void TCustomLabel::SetTransparent(bool v) {
  if (v == Transparent()) return;
  controlStyle_ = v ? (controlStyle_ & ~csOpaque) : (controlStyle_ | csOpaque);
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::WndProc(TMessage& m) {
  TGraphicControl::WndProc(m);
  // A font that changed its colour alone takes the room it took: the caption is not measured again.
  if (m.Msg == CM_TEXTCHANGED || (m.Msg == CM_FONTCHANGED && measuredFont_ != int64_t(font_.HandleChanges())))
    AdjustBounds();
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  const std::string text = text_.empty() ? std::string(1, ' ') : text_;
  canvas_.Font().Assign(font_);
  const TPoint size = MeasureCaption(text);
  measuredFont_ = font_.HandleChanges();
  int left = left_;
  if (alignment_ == TAlignment::taRightJustify && !wordWrap_) left = left_ + width_ - size.X;
  SetBounds(left, top_, size.X, size.Y);
}

// ============================== TCustomEdit ==============================

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csClickEvents | csSetCaption | csDoubleClicks;
  color_ = clWindow;
  parentColor_ = false;
  tabStop_ = true;
  width_ = 121;
  height_ = 21;
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "EDIT";
  p.OwnClass = false;
  p.Style |= 0x0080;  // ES_AUTOHSCROLL
  if (readOnly_) p.Style |= 0x0800;  // ES_READONLY
  if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= 0x0200;  // WS_EX_CLIENTEDGE
}

void TCustomEdit::InitializeWindow() {
  SendToWindow(EM_LIMITTEXT, WindowTextLimit(maxLength_));
  SendToWindow(EM_SETSEL, static_cast<WPARAM>(selStart_), selStart_ + selLength_);
}

void TCustomEdit::FinalizeWindow() {
  text_ = GetText();
  const auto [start, length] = WindowSelection();
  selStart_ = start;
  selLength_ = length;
}

std::pair<int, int> TCustomEdit::WindowSelection() const {
  DWORD a = 0, b = 0;
  SendToWindow(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  return {static_cast<int>(a), static_cast<int>(b - a)};
}

WPARAM TCustomEdit::WindowTextLimit(int maxLength) { return maxLength > 0 ? static_cast<WPARAM>(maxLength) : 0x7FFFFFFE; }

void TCustomEdit::SetMaxLength(int n) {
  if (n < 0) n = 0;
  maxLength_ = n;
  SendToWindow(EM_LIMITTEXT, WindowTextLimit(n));
}

void TCustomEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  SendToWindow(EM_SETREADONLY, v);
}

void TCustomEdit::SetBorderStyle(TBorderStyle b) {
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}

int TCustomEdit::SelStart() const { return ReadWindowOr(selStart_, [this] { return WindowSelection().first; }); }

int TCustomEdit::SelLength() const { return ReadWindowOr(selLength_, [this] { return WindowSelection().second; }); }

void TCustomEdit::ClampSelection() {
  const int len = static_cast<int>(text_.size());
  selStart_ = std::clamp(selStart_, 0, len);
  selLength_ = std::clamp(selLength_, 0, len - selStart_);
}

void TCustomEdit::SetSelStart(int pos) {
  Perform(EM_SETSEL, static_cast<WPARAM>(std::max(pos, 0)), static_cast<LPARAM>(std::max(pos, 0)));
  SendToWindow(EM_SCROLLCARET);
}

void TCustomEdit::SetSelLength(int len) {
  const int start = SelStart();
  Perform(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + std::max(len, 0)));
}

std::string TCustomEdit::SelText() const {
  const std::string t = Text();
  const int s = std::clamp(SelStart(), 0, static_cast<int>(t.size()));
  const int l = std::clamp(SelLength(), 0, static_cast<int>(t.size()) - s);
  return t.substr(static_cast<size_t>(s), static_cast<size_t>(l));
}

void TCustomEdit::SetSelText(const std::string& s) { Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(s.c_str())); }

void TCustomEdit::SelectAll() { Perform(EM_SETSEL, 0, static_cast<LPARAM>(GetTextLen())); }

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETTEXT: {
      changeNotified_ = false;
      TWinControl::WndProc(m);
      if (!changeNotified_) Change();
      return;
    }
    case CN_COMMAND:
      if (HIWORD(m.WParam) == EN_CHANGE) {
        changeNotified_ = true;
        if (!(controlState_ & csCreating)) Change();
        m.Result = 0;
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TCustomEdit::ReplaceSelectionHeadless(const std::string& s, bool limited) {
  ClampSelection();
  std::string insert = s;
  if (limited && maxLength_ > 0) {
    const int room = maxLength_ - (static_cast<int>(text_.size()) - selLength_);
    if (room <= 0)
      insert.clear();
    else if (static_cast<int>(insert.size()) > room)
      insert.resize(static_cast<size_t>(room));
  }
  text_.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), insert);
  selStart_ += static_cast<int>(insert.size());
  selLength_ = 0;
}

void TCustomEdit::DefaultHandler(TMessage& m) {
  if (HandleAllocated()) {  // the window edits
    TWinControl::DefaultHandler(m);
    return;
  }
  switch (m.Msg) {
    case WM_SETTEXT:
      TWinControl::DefaultHandler(m);
      selStart_ = 0;
      selLength_ = 0;
      return;
    case EM_GETSEL:
      if (m.WParam) *reinterpret_cast<DWORD*>(m.WParam) = static_cast<DWORD>(selStart_);
      if (m.LParam) *reinterpret_cast<DWORD*>(m.LParam) = static_cast<DWORD>(selStart_ + selLength_);
      m.Result = MAKELONG(static_cast<WORD>(selStart_), static_cast<WORD>(selStart_ + selLength_));
      return;
    case EM_SETSEL: {
      int a = static_cast<int>(static_cast<intptr_t>(m.WParam));
      int b = static_cast<int>(m.LParam);
      const int len = static_cast<int>(text_.size());
      if (a == -1) {  // no selection, caret stays
        selLength_ = 0;
        return;
      }
      if (b < 0) b = len;
      a = std::clamp(a, 0, len);
      b = std::clamp(b, 0, len);
      if (b < a) std::swap(a, b);
      selStart_ = a;
      selLength_ = b - a;
      return;
    }
    case EM_REPLACESEL: {
      const std::string s = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      const std::string before = text_;
      ReplaceSelectionHeadless(s, true);
      if (text_ != before) Change();
      return;
    }
    case EM_LIMITTEXT:
      maxLength_ = static_cast<int>(m.WParam);
      return;
    case EM_SETREADONLY:
      readOnly_ = m.WParam != 0;
      m.Result = 1;
      return;
    case WM_CHAR: {
      if (readOnly_) return;
      const unsigned char c = static_cast<unsigned char>(m.WParam);
      const std::string before = text_;
      ClampSelection();
      if (c == 8) {
        if (selLength_ > 0) {
          ReplaceSelectionHeadless(std::string(), false);
        } else if (selStart_ > 0) {
          int n = 1;
          if (selStart_ >= 2 && text_[static_cast<size_t>(selStart_) - 1] == '\n' &&
              text_[static_cast<size_t>(selStart_) - 2] == '\r')
            n = 2;
          text_.erase(static_cast<size_t>(selStart_ - n), static_cast<size_t>(n));
          selStart_ -= n;
        }
      } else if (c == '\r' || c == '\n') {
        if (Multiline()) ReplaceSelectionHeadless("\r\n", true);
      } else if (c == '\t') {
        if (Multiline()) ReplaceSelectionHeadless("\t", true);
      } else if (c >= 32) {
        ReplaceSelectionHeadless(std::string(1, static_cast<char>(c)), true);
      }
      if (text_ != before) Change();
      return;
    }
    default:
      break;
  }
  TWinControl::DefaultHandler(m);
}

// ============================== TMemoLines ==============================

std::vector<std::string> TMemoLines::Split() const {
  std::vector<std::string> lines;
  const std::string t = memo_.Text();
  std::string line;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
      lines.push_back(line);
      line.clear();
      ++i;
    } else {
      line += t[i];
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int TMemoLines::Count() const { return static_cast<int>(Split().size()); }

std::string TMemoLines::operator[](int i) const {
  const auto lines = Split();
  if (i < 0 || i >= static_cast<int>(lines.size())) throw std::out_of_range("TMemoLines: line index out of range");
  return lines[static_cast<size_t>(i)];
}

void TMemoLines::Add(const std::string& line) {
  std::string t = memo_.Text();
  if (!t.empty() && !(t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0)) t += "\r\n";
  t += line;
  t += "\r\n";
  memo_.SetText(t);
}

void TMemoLines::Delete(int i) {
  auto lines = Split();
  if (i < 0 || i >= static_cast<int>(lines.size())) throw std::out_of_range("TMemoLines: line index out of range");
  lines.erase(lines.begin() + i);
  std::string t;
  for (const auto& l : lines) t += l + "\r\n";
  memo_.SetText(t);
}

void TMemoLines::Clear() { memo_.SetText(std::string()); }

std::string TMemoLines::Text() const { return memo_.Text(); }

void TMemoLines::SetText(const std::string& s) { memo_.SetText(s); }

// ============================== TCustomMemo ==============================

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  width_ = 185;
  height_ = 89;
}

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~0x0080u;  // ES_AUTOHSCROLL only without word wrap
  p.Style |= 0x0004 /*ES_MULTILINE*/ | 0x0040 /*ES_AUTOVSCROLL*/;
  if (wantReturns_) p.Style |= 0x1000;  // ES_WANTRETURN
  if (!wordWrap_) p.Style |= 0x0080;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) p.Style |= 0x00200000;  // WS_VSCROLL
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) p.Style |= 0x00100000;  // WS_HSCROLL
  if (alignment_ == TAlignment::taCenter) p.Style |= 0x0001;
  if (alignment_ == TAlignment::taRightJustify) p.Style |= 0x0002;
}

void TCustomMemo::InitializeWindow() {
  TCustomEdit::InitializeWindow();
  BreakLinesAtBlanks();
}

void TCustomMemo::DefaultHandler(TMessage& m) {
  if (m.Msg == WM_CHAR && !HandleAllocated()) {
    const unsigned char c = static_cast<unsigned char>(m.WParam);
    if ((c == '\r' || c == '\n') && !wantReturns_) return;
    if (c == '\t' && !wantTabs_) return;
  }
  TCustomEdit::DefaultHandler(m);
}

void TCustomMemo::SetScrollBars(TScrollStyle s) {
  if (s == scrollBars_) return;
  scrollBars_ = s;
  RecreateWnd();
}
void TCustomMemo::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  RecreateWnd();
}
void TCustomMemo::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

// ============================== buttons ==============================

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csSetCaption | csDoubleClicks;
  tabStop_ = true;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 75;
  height_ = 25;
}

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.WinClassName = "BUTTON";
  p.OwnClass = false;
  p.Style |= default_ ? 0x0001 /*BS_DEFPUSHBUTTON*/ : 0x0000 /*BS_PUSHBUTTON*/;
}

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  SendToWindow(BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, /*redraw=*/1);
}

void TButton::Click() {
  if (TCustomForm* f = GetParentForm(); f && modalResult_ != mrNone) f->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
  // The key of the '&'-marked letter of the caption clicks the button.
  if (m.Msg == CM_DIALOGCHAR) {
    const char key = static_cast<char>(std::toupper(static_cast<int>(m.WParam & 0xFF)));
    if (key != 0 && key == CaptionAccelerator(Caption()) && CanFocus()) {
      Click();
      m.Result = 1;
      return;
    }
  }
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    m.Result = 0;
    return;
  }
  TButtonControl::WndProc(m);
}

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 97;
  height_ = 17;
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.WinClassName = "BUTTON";
  p.OwnClass = false;
  p.Style |= 0x0002;  // BS_CHECKBOX: the layer keeps the state
  if (alignment_ == TAlignment::taLeftJustify) p.Style |= 0x0020;  // BS_LEFTTEXT
}

void TCustomCheckBox::InitializeWindow() { SendToWindow(BM_SETCHECK, static_cast<WPARAM>(state_)); }

void TCustomCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  SendToWindow(BM_SETCHECK, static_cast<WPARAM>(s));
  Click();
}

void TCustomCheckBox::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

void TCustomCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    SetChecked(!Checked());
    m.Result = 0;
    return;
  }
  TButtonControl::WndProc(m);
}

// ============================== TCustomGroupBox ==============================

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  width_ = 185;
  height_ = 105;
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "BUTTON";
  p.OwnClass = false;
  p.Style |= 0x0007;  // BS_GROUPBOX
}

void TCustomGroupBox::AdjustClientRect(TRect& r) const {
  r.Top += font_.PixelHeight() + 2;
  r.Left += 2;
  r.Right -= 2;
  r.Bottom -= 2;
}

// ============================== TCustomComboBox ==============================

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csSetCaption | csDoubleClicks;
  color_ = clWindow;
  parentColor_ = false;
  tabStop_ = true;
  width_ = 145;
  height_ = 21;
  items_.OnChange = [this] { ItemsChanged(); };
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "COMBOBOX";
  p.OwnClass = false;
  p.Style |= 0x00200000 /*WS_VSCROLL*/ | 0x0040 /*CBS_AUTOHSCROLL*/;
  switch (style_) {
    case TComboBoxStyle::csSimple: p.Style |= 0x0001; break;
    case TComboBoxStyle::csDropDown: p.Style |= 0x0002; break;
    case TComboBoxStyle::csDropDownList: p.Style |= 0x0003; break;
    // Owner-drawn combos are drop-down lists that keep their strings (CBS_HASSTRINGS).
    case TComboBoxStyle::csOwnerDrawFixed: p.Style |= 0x0003 | 0x0010 | 0x0200; break;
    case TComboBoxStyle::csOwnerDrawVariable: p.Style |= 0x0003 | 0x0020 | 0x0200; break;
  }
  p.Height = height_ + dropDownCount_ * 16;
}

void TCustomComboBox::InitializeWindow() {
  // The selection field of an owner-drawn combo, and every item of a fixed one, take ItemHeight (a variable
  // combo's items are measured one by one as they come).
  if (OwnerDrawn()) SendToWindow(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
  if (style_ == TComboBoxStyle::csOwnerDrawFixed) SendToWindow(CB_SETITEMHEIGHT, 0, itemHeight_);
  ItemsToWindow();
  SendToWindow(CB_SETCURSEL, static_cast<WPARAM>(itemIndex_));
  if (style_ != TComboBoxStyle::csDropDownList && !OwnerDrawn() && itemIndex_ < 0)
    SendToWindow(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
}

void TCustomComboBox::FinalizeWindow() {
  itemIndex_ = static_cast<int>(SendToWindow(CB_GETCURSEL));
  text_ = GetText();
}

void TCustomComboBox::ItemsToWindow() {
  for (int i = 0; i < items_.Count(); ++i) SendToWindow(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items_[i].c_str()));
}

void TCustomComboBox::ItemsChanged() {
  if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
  if (HandleAllocated()) {  // the window's list follows, with its selection
    const int sel = ItemIndex();
    SendToWindow(CB_RESETCONTENT);
    ItemsToWindow();
    if (sel < items_.Count()) SendToWindow(CB_SETCURSEL, static_cast<WPARAM>(sel));
  }
}

int TCustomComboBox::ItemIndex() const { return ReadWindowOr(itemIndex_, CB_GETCURSEL); }

void TCustomComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= items_.Count()) i = -1;
  itemIndex_ = i;
  if (i >= 0) text_ = items_[i];
  SendToWindow(CB_SETCURSEL, static_cast<WPARAM>(i));
}

void TCustomComboBox::SetStyle(TComboBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  RecreateWnd();
}

std::string TCustomComboBox::GetText() const {
  if (HandleAllocated()) return WindowText();
  if (itemIndex_ >= 0 && itemIndex_ < items_.Count()) return items_[itemIndex_];
  return style_ == TComboBoxStyle::csDropDownList || OwnerDrawn() ? std::string() : text_;
}

void TCustomComboBox::SetItemHeight(int h) {
  if (h <= 0 || h == itemHeight_) return;
  itemHeight_ = h;
  if (style_ == TComboBoxStyle::csOwnerDrawFixed && HandleAllocated()) RecreateWnd();
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem)
    OnDrawItem(this, Index, Rect, State);
  else
    DrawDefaultItem(Index, Rect, State);
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  Height = itemHeight_;
  if (style_ == TComboBoxStyle::csOwnerDrawVariable && OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM && OwnerDrawn()) {
    DrawItemRequest(reinterpret_cast<void*>(m.LParam));
    m.Result = 1;
    return;
  }
  if (m.Msg == CN_MEASUREITEM && OwnerDrawn()) {
    MeasureItemRequest(reinterpret_cast<void*>(m.LParam));
    m.Result = 1;
    return;
  }
  if (m.Msg == CN_COMMAND) {
    const WORD code = HIWORD(m.WParam);
    if (code == CBN_SELCHANGE) {
      itemIndex_ = ReadWindowOr(itemIndex_, CB_GETCURSEL);
      Change();
      m.Result = 0;
      return;
    }
  }
  TWinControl::WndProc(m);
}

// ============================== TCustomStaticText ==============================

char CaptionAccelerator(const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i) {
    if (Caption[i] != '&') continue;
    if (Caption[i + 1] == '&') {  // "&&" is a plain '&'
      ++i;
      continue;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(Caption[i + 1])));
  }
  return 0;
}

TCustomStaticText::TCustomStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  width_ = 65;
  height_ = 17;
}

void TCustomStaticText::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "STATIC";
  p.OwnClass = false;
  p.Style |= 0x0100;  // SS_NOTIFY: clicks reach the control
  p.Style |= alignment_ == TAlignment::taCenter ? 0x0001 : alignment_ == TAlignment::taRightJustify ? 0x0002 : 0x0000;
  if (!showAccelChar_) p.Style |= 0x0080;  // SS_NOPREFIX
  if (borderStyle_ == TStaticBorderStyle::sbsSingle) p.Style |= 0x00800000;  // WS_BORDER
  if (borderStyle_ == TStaticBorderStyle::sbsSunken) p.Style |= 0x1000;      // SS_SUNKEN
}

void TCustomStaticText::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle b) {
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}

void TCustomStaticText::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  if (v)
    controlStyle_ &= ~csOpaque;
  else
    controlStyle_ |= csOpaque;
  Invalidate();
}

void TCustomStaticText::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  RecreateWnd();
}

void TCustomStaticText::SetFocusControl(TWinControl* c) {
  if (c == focusControl_) return;
  if (focusControl_ != nullptr) RemoveFreeNotification(focusControl_);
  focusControl_ = c;
  if (c != nullptr) FreeNotification(c);
}

void TCustomStaticText::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(focusControl_))
    focusControl_ = nullptr;
}

void TCustomStaticText::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && showAccelChar_ && focusControl_ != nullptr && Enabled()) {
    const char key = static_cast<char>(std::toupper(static_cast<int>(m.WParam & 0xFF)));
    if (key != 0 && key == CaptionAccelerator(Caption()) && focusControl_->CanFocus()) {
      focusControl_->SetFocus();
      m.Result = 1;
      return;
    }
  }
  TWinControl::WndProc(m);
}

}  // namespace gui
