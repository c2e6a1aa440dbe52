#include "gui/controls.h"

#include <algorithm>
#include <cstring>

#include "gui/actnlist.h"
#include "gui/forms.h"
#include "gui/menus.h"

namespace gui {

namespace {
TShiftState ShiftFromMouseFlags(WPARAM w) {
  TShiftState s = 0;
  if (w & 0x0004) s |= ssShift;  // MK_SHIFT
  if (w & 0x0008) s |= ssCtrl;   // MK_CONTROL
  if (w & 0x0001) s |= ssLeft;   // MK_LBUTTON
  return s;
}
int LParamX(LPARAM l) { return static_cast<short>(LOWORD(static_cast<uintptr_t>(l))); }
int LParamY(LPARAM l) { return static_cast<short>(HIWORD(static_cast<uintptr_t>(l))); }
}  // namespace

// ============================== TControl ==============================

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = [this](TMessage& m) { WndProc(m); };
  font_.OnChange = [this] {
    if (!takingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
  };
}

TControl::~TControl() {
  Destroying();
  if (action_ != nullptr) action_->UnRegisterClient(this);
  Application->ControlDestroyed(this);
  Screen->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  if (WindowProc)
    WindowProc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
      if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
      controlState_ |= csLButtonDown;
      if (m.Msg == WM_LBUTTONDBLCLK && (controlStyle_ & csDoubleClicks) && OnDblClick) OnDblClick(this);
      MouseDown(TMouseButton::mbLeft, ShiftFromMouseFlags(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
      break;
    }
    case WM_LBUTTONUP: {
      if (controlStyle_ & csCaptureMouse) SetMouseCapture(false);
      const bool clicked = (controlState_ & csClicked) != 0;
      controlState_ &= ~(csClicked | csLButtonDown);
      const int x = LParamX(m.LParam), y = LParamY(m.LParam);
      if (clicked && ClientRect().Contains(TPoint{x, y})) Click();
      MouseUp(TMouseButton::mbLeft, ShiftFromMouseFlags(m.WParam), x, y);
      break;
    }
    case WM_RBUTTONDOWN:
      MouseDown(TMouseButton::mbRight, ShiftFromMouseFlags(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
      break;
    case WM_RBUTTONUP:
      MouseUp(TMouseButton::mbRight, ShiftFromMouseFlags(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
      break;
    case WM_MOUSEMOVE:
      MouseMove(ShiftFromMouseFlags(m.WParam), LParamX(m.LParam), LParamY(m.LParam));
      break;
    case CM_MOUSEENTER:
      if (m.LParam == 0 && OnMouseEnter) OnMouseEnter(this);
      if (parent_) parent_->Perform(CM_MOUSEENTER, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      return;
    case CM_MOUSELEAVE:
      if (m.LParam == 0 && OnMouseLeave) OnMouseLeave(this);
      if (parent_) parent_->Perform(CM_MOUSELEAVE, 0, m.LParam ? m.LParam : reinterpret_cast<LPARAM>(this));
      return;
    case CM_VISIBLECHANGED:
      Invalidate();
      if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
      UpdateShowing();
      break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_) {
        SetColor(parent_->Color());
        parentColor_ = true;
      }
      break;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_) {
        takingParentFont_ = true;
        font_.Assign(parent_->Font());
        takingParentFont_ = false;
      }
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_SETTEXT:
      text_ = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      m.Result = 1;
      break;
    case WM_GETTEXT: {
      const size_t room = static_cast<size_t>(m.WParam);
      char* out = reinterpret_cast<char*>(m.LParam);
      if (!out || room == 0) {
        m.Result = 0;
        break;
      }
      const size_t n = std::min(room - 1, text_.size());
      std::memcpy(out, text_.data(), n);
      out[n] = '\0';
      m.Result = static_cast<LRESULT>(n);
      break;
    }
    case WM_GETTEXTLENGTH:
      m.Result = static_cast<LRESULT>(text_.size());
      break;
    default:
      m.Result = 0;
      break;
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool sizeChanged = width != width_ || height != height_;
  Invalidate();  // the old area of a graphic control
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged(sizeChanged);
  if (sizeChanged) Resize();
  if (parent_ && align_ != TAlign::alNone) parent_->AlignControls();
}

void TControl::BoundsChanged(bool) { Invalidate(); }

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) {
  const TRect c = ClientRect();
  SetBounds(left_, top_, width_ + (width - c.Width()), height_ + (height - c.Height()));
}

TPoint TControl::ClientOrigin() const {
  if (!parent_) return TPoint{left_, top_};
  const TPoint p = parent_->ClientOrigin();
  return TPoint{p.X + left_, p.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return TPoint{p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return TPoint{p.X - o.X, p.Y - o.Y};
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0);
}

bool TControl::Showing() const { return showing_; }

void TControl::UpdateShowing() {
  const bool now = visible_ && (parent_ ? parent_->showing_ : false);
  const bool isForm = dynamic_cast<const TCustomForm*>(this) != nullptr;
  const bool value = isForm && !parent_ ? visible_ : now;
  if (value != showing_) {
    showing_ = value;
    if (dynamic_cast<TWinControl*>(this)) Perform(CM_SHOWINGCHANGED);
  }
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    const std::vector<TControl*> children = w->controls_;
    for (TControl* c : children) c->UpdateShowing();
  }
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() const { return text_; }

void TControl::SetText(const std::string& s) {
  if (GetText() == s) return;
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
  Perform(CM_TEXTCHANGED);
}

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetShowHint(bool v) {
  showHint_ = v;
  parentShowHint_ = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v) {
  if (v == parentShowHint_) return;
  parentShowHint_ = v;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  parentColor_ = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
  if (v == parentColor_) return;
  parentColor_ = v;
  if (v) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
  if (v == parentFont_) return;
  parentFont_ = v;
  if (v) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetAlign(TAlign a) {
  if (a == align_) return;
  align_ = a;
  if (parent_) parent_->AlignControls();
}

void TControl::SetPopupMenu(TPopupMenu* m) {
  popupMenu_ = m;
  if (m) FreeNotification(m);
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(popupMenu_)) popupMenu_ = nullptr;
  if (Operation == TOperation::opRemove && action_ != nullptr && AComponent == static_cast<TComponent*>(action_))
    action_ = nullptr;
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
  WindowToZOrder(true);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
  WindowToZOrder(false);
  Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
  else if (action_ != nullptr) action_->Execute();
}

void TControl::SetAction(TBasicAction* a) {
  if (a == action_) return;
  if (action_ != nullptr) {
    action_->UnRegisterClient(this);
    RemoveFreeNotification(action_);
  }
  action_ = a;
  if (a == nullptr) return;
  a->RegisterClient(this);
  a->FreeNotification(this);
  ActionChange(a, IsLoading());
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* a = dynamic_cast<TCustomAction*>(Sender);
  if (a == nullptr) return;
  if (!CheckDefaults || Caption().empty()) SetCaption(a->Caption());
  if (!CheckDefaults || Enabled()) SetEnabled(a->Enabled());
  if (!CheckDefaults || hint_.empty()) SetHint(a->Hint());
  if (!CheckDefaults || Visible()) SetVisible(a->Visible());
}

bool TControl::CanPaint() const {
  if (IsDestroying() || IsLoading()) return false;
  const TCustomForm* f = GetParentForm();
  return !f || !f->IsDestroying();
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

// ============================== TWinControl ==============================

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  Destroying();
  DestroyHandle();
  // Child controls go with their parent (their owner forgets them as they are freed).
  while (!controls_.empty()) {
    TControl* c = controls_.back();
    delete c;
  }
  FreeBrush();
}

void TWinControl::InsertControl(TControl* c) {
  if (!c || c->parent_ == this) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 1);
  controls_.push_back(c);
  c->parent_ = this;
  if (c->parentFont_) c->Perform(CM_PARENTFONTCHANGED);
  if (c->parentColor_) c->Perform(CM_PARENTCOLORCHANGED);
  c->UpdateShowing();
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (handle_) w->CreateHandle();
  } else {
    c->Invalidate();
  }
  if (c->align_ != TAlign::alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* c) {
  if (!c || c->parent_ != this) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(c), 0);
  if (auto* w = dynamic_cast<TWinControl*>(c))
    w->DestroyHandle();
  else
    c->Invalidate();
  if (captureControl_ == c) captureControl_ = nullptr;
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  c->parent_ = nullptr;
  if (!c->IsDestroying()) c->UpdateShowing();
  if (c->align_ != TAlign::alNone && !IsDestroying()) AlignControls();
}

bool TWinControl::ContainsControl(const TControl* c) const {
  for (const TControl* p = c; p; p = p->parent_)
    if (p == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool windowed) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    const bool isWin = dynamic_cast<TWinControl*>(c) != nullptr;
    if (isWin && !windowed) continue;
    if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
    if (c->BoundsRect().Contains(p)) return c;
  }
  return nullptr;
}

HWND TWinControl::Handle() {
  if (!handle_) {
    if (parent_) parent_->HandleNeeded();
    if (!handle_) CreateHandle();
  }
  return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = text_;
  p.Style = 0x40000000 /*WS_CHILD*/ | 0x04000000 /*WS_CLIPSIBLINGS*/;
  if (visible_) p.Style |= 0x10000000;            // WS_VISIBLE
  if (!enabled_) p.Style |= 0x08000000;           // WS_DISABLED
  if (tabStop_) p.Style |= 0x00010000;            // WS_TABSTOP
  if (controlStyle_ & csAcceptsControls) {
    p.Style |= 0x02000000;                        // WS_CLIPCHILDREN
    p.ExStyle |= 0x00010000;                      // WS_EX_CONTROLPARENT
  }
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = parent_ ? parent_->handle_ : nullptr;
  p.WinClassName = ClassName();
  p.OwnClass = true;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  DestroyHandle();
  CreateHandle();
}

std::string TWinControl::GetText() const {
  if (!TextLivesInWindow()) return text_;
  return ReadWindowOr(text_, [this] { return WindowText(); });
}

std::string TWinControl::WindowText() const {
  const LRESULT n = SendToWindow(WM_GETTEXTLENGTH);
  std::string s(static_cast<size_t>(std::max<LRESULT>(n, 0)) + 1, '\0');
  const LRESULT got = SendToWindow(WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, std::max<LRESULT>(n, 0))));
  return s;
}

void TWinControl::BoundsChanged(bool sizeChanged) {
  if (!updatingBounds_) BoundsToWindow();
  if (sizeChanged) AlignControls();
}

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
  StyleToWindow(WS_TABSTOP, v);
}

int TWinControl::TabOrder() const {
  if (!parent_) return -1;
  int i = 0;
  for (TControl* c : parent_->controls_) {
    if (c == this) return i;
    if (dynamic_cast<TWinControl*>(c)) ++i;
  }
  return -1;
}

void TWinControl::SetTabOrder(int order) {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  int i = 0;
  auto it = list.begin();
  for (; it != list.end(); ++it) {
    if (dynamic_cast<TWinControl*>(*it)) {
      if (i == order) break;
      ++i;
    }
  }
  list.insert(it, this);
}

bool TWinControl::CanFocus() const {
  const TCustomForm* form = GetParentForm();
  if (!form) return false;
  for (const TControl* c = this; c; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TCustomForm* form = GetParentForm();
  if (form && form != this) form->SetActiveControl(this);
  TakeFocus();
}

namespace {
void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& out) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w || !w->Visible() || !w->Enabled()) continue;
    if (w->TabStop()) out.push_back(w);
    CollectTabStops(w, out);
  }
}
}  // namespace

void TWinControl::SelectNext(bool forward) {
  TCustomForm* form = GetParentForm();
  if (!form) return;
  std::vector<TWinControl*> stops;
  CollectTabStops(form, stops);
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), this);
  size_t i = it == stops.end() ? (forward ? stops.size() - 1 : 0) : static_cast<size_t>(it - stops.begin());
  for (size_t n = 0; n < stops.size(); ++n) {
    i = forward ? (i + 1) % stops.size() : (i + stops.size() - 1) % stops.size();
    if (stops[i]->CanFocus()) {
      stops[i]->SetFocus();
      return;
    }
  }
}

void TWinControl::AlignControls() {
  if (controlState_ & csAligning) return;
  controlState_ |= csAligning;
  TRect r = ClientRect();
  AdjustClientRect(r);
  auto place = [&](TAlign a) {
    for (TControl* c : controls_) {
      if (c->align_ != a || !c->visible_) continue;
      switch (a) {
        case TAlign::alTop:
          c->SetBounds(r.Left, r.Top, r.Width(), c->height_);
          r.Top += c->height_;
          break;
        case TAlign::alBottom:
          c->SetBounds(r.Left, r.Bottom - c->height_, r.Width(), c->height_);
          r.Bottom -= c->height_;
          break;
        case TAlign::alLeft:
          c->SetBounds(r.Left, r.Top, c->width_, r.Height());
          r.Left += c->width_;
          break;
        case TAlign::alRight:
          c->SetBounds(r.Right - c->width_, r.Top, c->width_, r.Height());
          r.Right -= c->width_;
          break;
        case TAlign::alClient:
          c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
          break;
        default:
          break;
      }
    }
  };
  place(TAlign::alTop);
  place(TAlign::alBottom);
  place(TAlign::alLeft);
  place(TAlign::alRight);
  place(TAlign::alClient);
  controlState_ &= ~csAligning;
}

void TWinControl::Broadcast(TMessage& m) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    c->WindowProc ? c->WindowProc(m) : c->WndProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) c->Perform(msg);
}

void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::HasVisibleGraphicChildren() const {
  for (TControl* c : controls_)
    if (c->visible_ && !dynamic_cast<TWinControl*>(c)) return true;
  return false;
}

void TWinControl::WndProc(TMessage& m) {
  if (WindowMessage(m)) return;
  switch (m.Msg) {
    case WM_SETTEXT:
      text_ = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      break;
    case WM_CHAR: {
      char key = static_cast<char>(m.WParam);
      TCustomForm* form = GetParentForm();
      if (form && form != this && form->KeyPreview()) form->KeyPress(key);
      if (key) KeyPress(key);
      if (!key) {
        m.Result = 0;
        return;
      }
      m.WParam = static_cast<unsigned char>(key);
      break;
    }
    case CM_DIALOGCHAR:
      // An accelerator key: offered to the children until one takes it.
      Broadcast(m);
      return;
    case CM_ENABLEDCHANGED:
      EnabledChanged();
      break;
    case CM_VISIBLECHANGED:
      VisibleChanged();
      break;
    case CM_COLORCHANGED:
      NotifyControls(CM_PARENTCOLORCHANGED);
      break;
    case CM_FONTCHANGED:
      FontToWindow();
      NotifyControls(CM_PARENTFONTCHANGED);
      break;
    case CM_SHOWHINTCHANGED:
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      break;
    case CM_ENTER:
      if (OnEnter) OnEnter(this);
      break;
    case CM_EXIT:
      if (OnExit) OnExit(this);
      break;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (WindowDefaultHandler(m)) return;
  TControl::DefaultHandler(m);
}

// ============================== TGraphicControl ==============================

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { parentColor_ = true; }

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    if (!m.WParam) return;
    canvas_.Font().Assign(font_);
    canvas_.SetHandle(reinterpret_cast<HDC>(m.WParam));
    Paint();
    canvas_.SetHandle(nullptr);
    m.Result = 0;
    return;
  }
  TControl::WndProc(m);
}

}  // namespace gui
