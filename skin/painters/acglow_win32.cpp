// The window side of glows: the glow window is a hidden borderless form that never takes the focus, of a class
// without drop shadow, layered, transparent to the mouse (WM_NCHITTEST answers HTTRANSPARENT) and shown with
// UpdateLayeredWindow.
#include <windows.h>

#include <algorithm>

#include "gui/forms.h"
#include "skin/data/scommondata.h"
#include "skin/data/sskinmanager.h"
#include "skin/painters/acglow_window.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/layered_alpha.h"
#include "skin/painters/painting_libraries.h"

namespace skin {

class TacGlowForm : public gui::TForm {
 public:
  explicit TacGlowForm(gui::TComponent* AOwner) : gui::TForm(AOwner) {
    SetBorderStyle(gui::TFormBorderStyle::bsNone);
    SetTag(256);
    SetControlStyle(ControlStyle() & ~gui::csCaptureMouse);
  }
  ~TacGlowForm() override {
    DestroyHandle();  // while this class still receives the window's last messages
    if (counted_) ledger::Freed(ledger::kWindow);
  }
  const char* ClassName() const override { return "TacGlowForm"; }

 protected:
  void CreateParams(gui::TCreateParams& p) override {
    gui::TForm::CreateParams(p);
    p.ClassStyle &= ~UINT(CS_DROPSHADOW);
  }
  // The glow window is one of the library's helper windows: counted in the leak ledger while it exists.
  void CreateWnd() override {
    gui::TForm::CreateWnd();
    if (WindowHandle() != nullptr && !counted_) {
      ledger::Made(ledger::kWindow);
      counted_ = true;
    }
  }
  void WndProc(gui::TMessage& m) override {
    gui::TForm::WndProc(m);
    if (m.Msg == WM_NCDESTROY && counted_) {
      counted_ = false;
      ledger::Freed(ledger::kWindow);
    }
  }

 private:
  bool counted_ = false;
};

namespace {

// Set at start-up; its constant alpha is set before each UpdateLayeredWindow.
BLENDFUNCTION& GlowBlend() {
  static BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  return blend;
}

TRect ScreenClientRect(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  POINT a{r.left, r.top}, b{r.right, r.bottom};
  ClientToScreen(h, &a);
  ClientToScreen(h, &b);
  return TRect{a.x, a.y, b.x, b.y};
}

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

// R clipped to the client areas of the window's parents, up to its top-level window.
TRect ClipToParents(HWND h, TRect r) {
  while (h != nullptr && (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0) {
    h = GetParent(h);
    if (h != nullptr) r = Intersect(r, ScreenClientRect(h));
  }
  return r;
}

}  // namespace

// A glow is a soft edge drawn with per-pixel alpha: where the screen does not show that alpha it would be a black
// square round the control, so there is none.
bool GlowWindowsAvailable() { return LayeredApiPresent() && LayeredAlphaShown(); }

void GlowWindowCreate(TacGlowEffect& Glow, const TRect& R, void* OwnerWnd, uint8_t Alpha) {
  if (Glow.Form != nullptr) return;
  auto* form = new TacGlowForm(nullptr);
  Glow.Form = form;
  Glow.OldWndProc = form->WindowProc;
  TacGlowEffect* glow = &Glow;
  form->WindowProc = [glow](gui::TMessage& m) {
    if (m.Msg == WM_NCHITTEST) {
      m.Result = HTTRANSPARENT;
      return;
    }
    glow->OldWndProc(m);
  };

  const TSize size = GlowWindowSize(Glow, R.Right - R.Left, R.Bottom - R.Top);
  GlowPaintBitmap(Glow, size.cx, size.cy);
  form->SetBounds(form->Left(), form->Top(), size.cx, size.cy);

  // Just above the owner unless the owner is topmost or the glow is not a control's.
  HWND owner = static_cast<HWND>(OwnerWnd);
  HWND insertAfter = HWND_TOPMOST;
  const bool ownerTopmost = owner != nullptr && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  if (!ownerTopmost && Glow.SkinData != nullptr && Glow.SkinData->OwnerControl != nullptr) {
    // Below the window that precedes the owner; when none does, at the top (just above the owner too: a glow
    // placed after the owner itself would lie under it).
    HWND previous = owner != nullptr ? GetWindow(owner, GW_HWNDPREV) : nullptr;
    insertAfter = previous != nullptr ? previous : HWND_TOP;
  }
  const LoadedSkin& skin = Glow.SkinManager->Skin();
  const int32_t x = R.Left - SkinMaskBorderLeft(skin, Glow.ImageIndex) + Glow.Margin;
  const int32_t y = R.Top - SkinMaskBorderTop(skin, Glow.ImageIndex) + Glow.Margin;

  form->HandleNeeded();
  HWND h = form->WindowHandle();
  SetWindowLongA(h, GWL_EXSTYLE, GetWindowLongA(h, GWL_EXSTYLE) | 0x080800A0);  // no-activate, layered, tool, transparent
  SetWindowPos(h, insertAfter, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  form->SetBounds(x, y, size.cx, size.cy);
  GlowWindowUpdate(Glow, Alpha);
  ShowWindow(h, SW_SHOWNOACTIVATE);
}

void GlowWindowUpdate(TacGlowEffect& Glow, uint8_t Alpha) {
  if (Glow.Form == nullptr || !Glow.Form->HandleAllocated() || !Glow.Bitmap || Glow.Bitmap->Empty()) return;
  const UpdateLayeredWindowFunction update = UpdateLayeredWindowProc();
  if (update == nullptr) return;
  HWND h = Glow.Form->WindowHandle();
  RECT r{};
  GetWindowRect(h, &r);
  POINT position{r.left, r.top};
  SIZE size{Glow.Bitmap->Width(), Glow.Bitmap->Height()};
  POINT source{0, 0};
  BLENDFUNCTION& blend = GlowBlend();
  blend.SourceConstantAlpha = Alpha;
  HDC screen = ledger::GetDC(nullptr);
  {
    BitmapDC picture(*Glow.Bitmap);
    if (screen != nullptr && picture.dc() != nullptr)
      update(h, screen, &position, &size, picture.dc(), &source, 0, &blend, ULW_ALPHA);
  }
  ledger::ReleaseDC(nullptr, screen);
}

void GlowWindowRestoreProc(TacGlowEffect& Glow) {
  if (Glow.Form != nullptr && Glow.OldWndProc) Glow.Form->WindowProc = Glow.OldWndProc;
}

void GlowWindowFree(TacGlowForm* Form) {
  if (Form != nullptr) gui::Free(Form);
}

void GlowWindowRelease(TacGlowForm* Form) {
  if (Form == nullptr) return;
  if (Form->HandleAllocated()) ShowWindow(Form->WindowHandle(), SW_HIDE);
  Form->Release();
}

bool GlowOwnerRect(TsCommonData& Data, void* Wnd, TRect& R, void*& OwnerWnd) {
  gui::TControl* control = Data.OwnerControl;
  HWND window = static_cast<HWND>(Wnd);
  if (control != nullptr) {
    auto* windowed = dynamic_cast<gui::TWinControl*>(control);
    if (windowed != nullptr && windowed->HandleAllocated()) {
      window = windowed->WindowHandle();
    } else if (control->Parent() != nullptr && control->Parent()->HandleAllocated()) {
      // A graphic control: its place in the parent, clipped to the parent's client area.
      HWND parent = control->Parent()->WindowHandle();
      POINT a{control->Left(), control->Top()}, b{control->Left() + control->Width(), control->Top() + control->Height()};
      ClientToScreen(parent, &a);
      ClientToScreen(parent, &b);
      R = ClipToParents(parent, Intersect(TRect{a.x, a.y, b.x, b.y}, ScreenClientRect(parent)));
      OwnerWnd = GetAncestor(parent, GA_ROOT);
      return R.Right > R.Left && R.Bottom > R.Top;
    } else {
      return false;
    }
  }
  if (window == nullptr || !IsWindow(window)) return false;
  RECT r{};
  GetWindowRect(window, &r);
  R = ClipToParents(window, TRect{r.left, r.top, r.right, r.bottom});
  OwnerWnd = GetAncestor(window, GA_ROOT);
  return R.Right > R.Left && R.Bottom > R.Top;
}

void* GlowWindowHandle(int32_t GlowID) {
  auto& list = GlowList();
  if (GlowID < 0 || size_t(GlowID) >= list.size() || list[size_t(GlowID)] == nullptr) return nullptr;
  TacGlowForm* form = list[size_t(GlowID)]->Form;
  return form != nullptr ? form->WindowHandle() : nullptr;
}

}  // namespace skin
