#include "gui/controls.h"

#include <algorithm>
#include <cstring>

#include "gui/forms.h"
#include "gui/menus.h"
#include "gui/win32_bridge.h"

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
}

void TControl::Invalidate() {
#ifdef _WIN32
  if (parent_ && parent_->HandleAllocated()) {
    RECT r{left_, top_, left_ + width_, top_ + height_};
    InvalidateRect(parent_->WindowHandle(), &r, TRUE);
  }
#endif
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Update() {
#ifdef _WIN32
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->WindowHandle());
#endif
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.push_back(this);
#ifdef _WIN32
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->WindowHandle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
#endif
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto& list = parent_->controls_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  list.insert(list.begin(), this);
#ifdef _WIN32
  if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated())
    SetWindowPos(w->WindowHandle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
#endif
  Invalidate();
}

void TControl::Click() {
  if (OnClick) OnClick(this);
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

void TControl::SetMouseCapture(bool on) {
#ifdef _WIN32
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    if (!w->HandleAllocated()) return;
    if (on)
      SetCapture(w->WindowHandle());
    else if (GetCapture() == w->WindowHandle())
      ReleaseCapture();
    return;
  }
  if (parent_ && parent_->HandleAllocated()) {
    if (on) {
      parent_->captureControl_ = this;
      SetCapture(parent_->WindowHandle());
    } else {
      if (parent_->captureControl_ == this) parent_->captureControl_ = nullptr;
      if (GetCapture() == parent_->WindowHandle()) ReleaseCapture();
    }
  }
#else
  if (!dynamic_cast<TWinControl*>(this) && parent_) parent_->captureControl_ = on ? this : nullptr;
#endif
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
#ifdef _WIN32
  if (brush_) DeleteObject(brush_);
#endif
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

void TWinControl::Invalidate() {
#ifdef _WIN32
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
#endif
}

void TWinControl::Update() {
#ifdef _WIN32
  if (handle_) UpdateWindow(handle_);
#endif
}

HWND TWinControl::Handle() {
#ifdef _WIN32
  if (!handle_) {
    if (parent_) parent_->HandleNeeded();
    if (!handle_) CreateHandle();
  }
#endif
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

void TWinControl::CreateHandle() {
#ifdef _WIN32
  if (handle_) return;
  controlState_ |= csCreating;
  try {
    CreateWnd();
    if (handle_) {
      SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), 0);
      InitializeWindow();
    }
  } catch (...) {
    controlState_ &= ~csCreating;
    throw;
  }
  controlState_ &= ~csCreating;
  if (!handle_) return;
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children)
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      w->CreateHandle();
      if (w->handle_) SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
#endif
}

void TWinControl::CreateWnd() {
#ifdef _WIN32
  TCreateParams p;
  CreateParams(p);
  WindowBridge::CreateWindowFor(this, p);
#endif
}

void TWinControl::DestroyHandle() {
#ifdef _WIN32
  if (!handle_) return;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  FinalizeWindow();
  HWND h = handle_;
  DestroyWindow(h);
  if (handle_) WindowDestroyed();  // the window was not ours to destroy (already gone)
#endif
}

void TWinControl::RecreateWnd() {
#ifdef _WIN32
  if (!handle_) return;
  DestroyHandle();
  CreateHandle();
#endif
}

void TWinControl::AttachHandle(HWND h) {
  handle_ = h;
#ifdef _WIN32
  defWndProc_ = WindowBridge::Subclass(this, h);
#endif
}

void TWinControl::WindowDestroyed() {
#ifdef _WIN32
  WindowBridge::Unsubclass(this, handle_, defWndProc_);
#endif
  handle_ = nullptr;
  defWndProc_ = nullptr;
  captureControl_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND h) {
#ifdef _WIN32
  return WindowBridge::ControlOf(h);
#else
  (void)h;
  return nullptr;
#endif
}

std::string TWinControl::GetText() const {
#ifdef _WIN32
  if (handle_ && TextLivesInWindow()) {
    const int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(std::max(n, 0)) + 1, '\0');
    const int got = GetWindowTextA(handle_, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
  }
#endif
  return text_;
}

void TWinControl::BoundsChanged(bool sizeChanged) {
#ifdef _WIN32
  if (handle_ && !updatingBounds_) {
    SetWindowPos(handle_, nullptr, left_, top_, width_, height_, SWP_NOZORDER | SWP_NOACTIVATE);
  }
#endif
  if (sizeChanged) AlignControls();
}

void TWinControl::UpdateBoundsFromWindow() {
#ifdef _WIN32
  if (!handle_) return;
  RECT r;
  GetWindowRect(handle_, &r);
  if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
    POINT a{r.left, r.top}, b{r.right, r.bottom};
    HWND parent = GetParent(handle_);
    ::ScreenToClient(parent, &a);
    ::ScreenToClient(parent, &b);
    r = RECT{a.x, a.y, b.x, b.y};
  }
  if (r.left == left_ && r.top == top_ && r.right - r.left == width_ && r.bottom - r.top == height_) return;
  const bool sizeChanged = r.right - r.left != width_ || r.bottom - r.top != height_;
  updatingBounds_ = true;
  left_ = r.left;
  top_ = r.top;
  width_ = r.right - r.left;
  height_ = r.bottom - r.top;
  BoundsChanged(sizeChanged);
  updatingBounds_ = false;
  if (sizeChanged) Resize();
#endif
}

void TWinControl::SetTabStop(bool v) {
  if (v == tabStop_) return;
  tabStop_ = v;
#ifdef _WIN32
  if (handle_) {
    LONG s = GetWindowLongA(handle_, GWL_STYLE);
    SetWindowLongA(handle_, GWL_STYLE, v ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
  }
#endif
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

bool TWinControl::Focused() const {
#ifdef _WIN32
  return handle_ && GetFocus() == handle_;
#else
  return Screen->ActiveControl() == this;
#endif
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TCustomForm* form = GetParentForm();
  if (form && form != this) form->SetActiveControl(this);
#ifdef _WIN32
  ::SetFocus(Handle());
#else
  Screen->SetFocusedControl(this);
#endif
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

HBRUSH TWinControl::BrushHandle() {
#ifdef _WIN32
  // Kept by the colour it paints: a system colour follows its current value (a skin may change it).
  const uint32_t rgb = ColorToRGB(color_);
  if (brush_ && brushRGB_ != rgb) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
  if (!brush_) {
    brush_ = CreateSolidBrush(rgb);
    brushRGB_ = rgb;
  }
#endif
  return brush_;
}

void TWinControl::ReflectToChild(TMessage& m) {
#ifdef _WIN32
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    case WM_MEASUREITEM:
      child = GetDlgItem(handle_, static_cast<int>(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlID));
      break;
    default:
      break;
  }
  if (child && child != handle_) {
    if (TWinControl* c = FromHandle(child)) {
      m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
      return;
    }
  }
  DefaultHandler(m);
#else
  DefaultHandler(m);
#endif
}

void TWinControl::WndProc(TMessage& m) {
#ifdef _WIN32
  if (IsReflectedMessage(m.Msg)) {  // the child control concerned answers
    ReflectToChild(m);
    return;
  }
#endif
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
#ifdef _WIN32
    case WM_CLOSE:
      // Only forms close. A multiline edit that has seen a dialog key (the Tab handling asks it with
      // WM_GETDLGCODE) sends its parent WM_CLOSE on Escape, which the default procedure would answer by
      // destroying the parent control.
      m.Result = 0;
      return;
    case WM_PAINT:
      if (handle_ && (OwnPaint() || HasVisibleGraphicChildren())) {
        PaintHandler(m);
        return;
      }
      break;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(m.WParam), &r, BrushHandle());
      m.Result = 1;
      return;
    }
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(m);
      UpdateBoundsFromWindow();
      return;
    case WM_SETFOCUS:
      Screen->SetFocusedControl(this);
      break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
      const TPoint p{LParamX(m.LParam), LParamY(m.LParam)};
      TControl* target = captureControl_ ? captureControl_ : ControlAtPos(p);
      if (m.Msg == WM_MOUSEMOVE) {
        Application->ControlMouseMoved(target ? target : this);
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
        TrackMouseEvent(&tme);
      }
      if (target && target != this) {
        target->Perform(m.Msg, m.WParam,
                        MAKELPARAM(static_cast<WORD>(p.X - target->Left()), static_cast<WORD>(p.Y - target->Top())));
        m.Result = 0;
        return;
      }
      break;
    }
    case WM_MOUSELEAVE: {
      TControl* mc = Application->MouseControl();
      if (mc && (mc == this || mc->Parent() == this)) {
        POINT pt;
        GetCursorPos(&pt);
        if (WindowFromPoint(pt) != handle_) Application->ControlMouseLeft(mc);
      }
      break;
    }
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(m.LParam) != handle_) captureControl_ = nullptr;
      break;
#endif
    case CM_ENABLEDCHANGED:
#ifdef _WIN32
      if (handle_) EnableWindow(handle_, enabled_);
#else
      if (!enabled_ && Screen->ActiveControl() == this) Screen->SetFocusedControl(nullptr);
#endif
      break;
    case CM_VISIBLECHANGED:
#ifdef _WIN32
      if (handle_ && parent_) ShowWindow(handle_, visible_ ? SW_SHOWNOACTIVATE : SW_HIDE);
#else
      if (!visible_ && Screen->ActiveControl() && ContainsControl(Screen->ActiveControl()))
        Screen->SetFocusedControl(nullptr);
#endif
      break;
    case CM_COLORCHANGED:
      NotifyControls(CM_PARENTCOLORCHANGED);
      break;
    case CM_FONTCHANGED:
#ifdef _WIN32
      if (handle_) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), 1);
#endif
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
#ifdef _WIN32
  if (handle_ && defWndProc_) {
    if (m.Msg >= CN_CTLCOLORMSGBOX && m.Msg <= CN_CTLCOLORSTATIC) {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      ::SetTextColor(dc, ColorToRGB(font_.Color()));
      ::SetBkColor(dc, ColorToRGB(color_));
      m.Result = reinterpret_cast<LRESULT>(BrushHandle());
      return;
    }
    if (m.Msg == WM_SETTEXT || m.Msg == WM_GETTEXT || m.Msg == WM_GETTEXTLENGTH || m.Msg < CM_BASE || m.Msg >= 0xC000) {
      m.Result = CallWindowProcA(reinterpret_cast<WNDPROC>(defWndProc_), handle_, m.Msg, m.WParam, m.LParam);
      return;
    }
    m.Result = 0;
    return;
  }
#endif
  TControl::DefaultHandler(m);
}

void TWinControl::PaintWindow(HDC dc) {
#ifdef _WIN32
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
#else
  (void)dc;
#endif
}

void TWinControl::PaintControls(HDC dc) {
#ifdef _WIN32
  const std::vector<TControl*> children = controls_;
  for (TControl* c : children) {
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    const int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    RestoreDC(dc, saved);
  }
#else
  (void)dc;
#endif
}

void TWinControl::PaintHandler(TMessage& m) {
#ifdef _WIN32
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(handle_, &ps);
  const int saved = SaveDC(dc);
  PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc);
  if (own) EndPaint(handle_, &ps);
  m.Result = 0;
#else
  (void)m;
#endif
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

TWinControl* FocusedControl() {
#ifdef _WIN32
  for (HWND h = GetFocus(); h; h = GetParent(h))
    if (TWinControl* c = TWinControl::FromHandle(h)) return c;
  return nullptr;
#else
  return Screen->ActiveControl();
#endif
}

}  // namespace gui
