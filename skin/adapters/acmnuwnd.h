#pragma once
// The adapter of popup-menu windows (class "#32768"): their frame and background from the skin's "MAINMENU"
// section, and their opacity. The items themselves are drawn by the skinned menus of the skin engine, which set a
// flag while they measure or draw a popup's items; the adapter frames a menu only while that flag is set, and
// leaves the menus of other code to the system.
//
// A menu window is made fully transparent as it is shown and takes the manager's menu opacity at its first frame
// painting, or at its first painting when the system paints no frame for it. The window-creation hook makes one
// adapter per menu window (CreateMenuAdapter) and keeps it in the list below; all of them are freed together when
// the last menu window goes (FreeMenuWindowAdapters), never from inside their own handlers.
#include <cstdint>
#include <vector>

#include "skin/adapters/acscrollwnd.h"

#ifdef _WIN32
#include <windows.h>

namespace skin {

class TacMnuWnd : public TacScrollWnd {
 public:
  void Initialize() override;
  void RestoreColors() override;
  void WndProc(gui::TMessage& Message) override;
  // A menu window keeps its visual style: the skinned menus draw its items, the system the rest.
  bool KeepsVisualStyle() const override { return true; }

  uint8_t FramePainted = 0;  // the frame has been painted once
  uint8_t InPosChange = 0;   // the window is being made transparent before it shows
  int32_t MenuState = 0;     // 1: the menu code announced its region while the window was visible; 0 after painting

 private:
  // The cache (the section in state 0 with its frame) painted again when stale.
  void RefreshCache();
  // Where the client area lies in the window: left, top, right and bottom insets (from the window's rectangles).
  RECT FrameInsets() const;
  // The manager's menu opacity: layered below 255, not layered at 255.
  void ApplyOpacity();
  void PaintFrame();
  void EraseBackground(gui::TMessage& Message);
  void WindowGoes(gui::TMessage& Message);

  bool opacityApplied_ = false;  // the window got its opacity since it was last made transparent
};

// The menu-window adapters made so far (destroyed ones included until all are freed).
const std::vector<TacMnuWnd*>& MenuWindowAdapters();
// Makes the adapter of a popup-menu window being created (the window-creation hook calls it for every "#32768"
// window): nothing (nullptr) without a manager (nullptr: the default one), when the manager does not skin popups
// or when the window already answers as skinned. The adapter is listed and freed with the others.
TacMnuWnd* CreateMenuAdapter(HWND Wnd, TsSkinManager* Manager = nullptr);
// Releases every listed adapter (each detached at once, freed when no adapter procedure runs) and empties the list.
void FreeMenuWindowAdapters();

}  // namespace skin
#endif
