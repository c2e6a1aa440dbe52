#pragma once
// The adapter of the component layer's tool bar: the bar's own window keeps drawing its buttons, but through the
// bar's custom-draw events, which the adapter takes over while the skin is on: the bar gets its section over the
// parent's background, each button the "TOOLBUTTON" section in its state (hot under the mouse, pressed while down
// or checked), its image, caption and drop-down arrow. The events the bar had before come back when the adapter
// goes.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/adapters/acbuttons.h"

#ifdef _WIN32
#include <windows.h>

#include "gui/bars.h"

namespace skin {

class TacToolBarVCLWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "TOOLBAR"; }
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;

  // The bar's custom-draw handlers.
  void PaintBar(const TRect& R, bool& DefaultDraw);
  void PaintButton(gui::TToolButton* Button, gui::TCustomDrawState State, bool& DefaultDraw);
  // The skin state of a button for a custom-draw state: 0 normal, 1 hot, 2 pressed.
  static int32_t ButtonState(bool Down, gui::TCustomDrawState State);
  // Where the client area begins inside the window.
  TPoint ClientOrigin() const;

  gui::TToolBar* ToolBar = nullptr;
  int32_t HotButton = -1;
  gui::TToolButton* DroppedButton = nullptr;

  struct Link;

 protected:
  // The bar gets its own events back (unless it is being freed: then they are only made inert) and is not
  // touched again.
  void DetachedFromWindow() override;

 private:
  // The bar's events are the adapter's painters (the bar's own ones kept), or put back.
  void HookEvents();
  void UnhookEvents();
  void RepaintButton(int32_t Index);
  void PaintFrame(HDC DC);
  std::shared_ptr<Link> link_;
  gui::TTBCustomDrawEvent savedBarEvent_;
  gui::TTBCustomDrawBtnEvent savedButtonEvent_;
  bool hooked_ = false;
};

}  // namespace skin
#endif
