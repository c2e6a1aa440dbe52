#pragma once
// The remaining window adapters: the stand-alone scroll bar of the component layer (TacSBWnd), scroll boxes
// (TacScrollBoxWnd), windows of which only the frame and the background are the skin's while the control paints
// its own content (TacNativePaint, TacContainerWnd, TacSearchWnd), and the combo box of an outside component
// family whose list is a list-box control of its own (TacWWComboBoxWnd).
//
// The scroll bar keeps doing the scrolling itself: the adapter follows the mouse to know which of the five parts
// to show in which state, keeps the control's own drawing off the screen (WM_SETREDRAW around what it passes on)
// and paints the whole bar from the skin's scroll-bar sections.
#include <array>
#include <memory>
#include <cstdint>
#include <string>

#include "skin/adapters/acbuttons.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/tab_geometry.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TScrollBar;
}

namespace skin {

class TacSBWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;

  bool Vertical() const;
  int32_t BarLength() const;
  // The arrow and thumb lengths along the bar, as the control itself lays them out.
  int32_t ArrowLength() const;
  int32_t ThumbLength() const;
  // The part under a client point (-1 none).
  int32_t PartAt(int32_t X, int32_t Y) const;
  // The painted state of a part.
  int32_t PartState(int32_t Part) const { return States[size_t(Part)]; }

  gui::TScrollBar* ScrollBar = nullptr;
  SBData Data;
  std::array<int32_t, 5> States{};  // 0 normal, 1 hot, 2 pressed
  int32_t PressedPart = SBNothingPressed;
  int32_t DragOffset = 0;
  int32_t RedrawLocks = 0;  // WM_SETREDRAW 0 that the control received from others
  bool OwnRedraw = false;   // the adapter itself switches redraw

 private:
  void ReadScrollInfo();
  void MouseDown(gui::TMessage& m);
  void MouseUp(int32_t X, int32_t Y);
  void Hover(int32_t Part);
  void SetScrollInfoMessage(gui::TMessage& m);
  // Redraw switched by the adapter (not counted).
  void SetRedraw(bool On);
  // The control's drawing unlocked, the message passed on while locked, unlocked again, the bar painted.
  void PassLocked(gui::TMessage& m);
  void PaintNow(HDC DC);
};

class TacScrollBoxWnd : public TacScrollWnd {
 public:
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  // The section, 2-pixel border strips and scroll bars into the window's frame.
  void PaintFrame(HDC DC);
  // The client area from the cache (the section over the parent, or the control's Color).
  void PaintClient(HDC DC);
  // Where the client area begins inside the window.
  TPoint ClientOrigin() const;
  virtual std::string DefaultSection() const { return "PANEL_LOW"; }

 protected:
  bool Container() const;
  void RefreshCache();
  // The scroll box's own handling: true when handled.
  bool ScrollBoxMessage(gui::TMessage& m);
};

class TacNativePaint : public TacScrollBoxWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  std::string DefaultSection() const override { return "TRANSPARENT"; }
};

// A container window whose frame and background are the skin's.
class TacContainerWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  TRect ClientRect;
  int32_t Margin = 0;

 protected:
  void PaintBorder();
};

// A search box: the control paints itself, its 3-pixel border comes from the cache.
class TacSearchWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  TRect ClientRect;

 private:
  void PaintBorder();
};

// A combo box of an outside family: its list is a list-box control among the combo's own children, which gets an
// edit adapter (section "EDIT") when it is made; the list colours are the control's own.
class TacWWComboBoxWnd : public TacComboBoxWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  // Two pixels inside the window at its right edge (its left under right-to-left reading), as wide as the combo
  // button of the skin.
  TRect ButtonRect() override;

  gui::TControl* ListBox = nullptr;
  std::unique_ptr<TsScrollWndData> ListData;  // owned
  TacEditWnd* ListBoxAdapter = nullptr;       // owned

 protected:
  void ReleaseSteps() override;
};

}  // namespace skin
#endif
