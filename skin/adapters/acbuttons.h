#pragma once
// Adapters of the "Button" window family and of the other windows that paint their whole face from the skin:
// push buttons (TacBtnWnd), buttons with a glyph (TacBitBtnWnd), check boxes and radio buttons (TacCheckBoxWnd),
// group boxes (TacGroupBoxWnd), up-down controls (TacSpinWnd) and track bars (TacTrackWnd). Each paints the
// window into its skin data's cache bitmap and copies that to the window; the standard painting never reaches the
// screen.
#include <cstdint>
#include <string>

#include "skin/adapters/acmainwnd.h"
#include "skin/pixels/geometry.h"

#ifdef _WIN32
#include <windows.h>

#include "skin/pixels/background_info.h"

namespace skin {

// The shared part of the adapters that paint their window themselves.
class TacSelfPaintedWnd : public TacMainWnd {
 public:
  void Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
              bool Repaint) override;
  // The section taken when the creator gives none.
  virtual std::string DefaultSection() const { return "BUTTON"; }
  // Paints the window into the cache (not copied).
  virtual void PaintCache() {}
  // After the cache was copied to the DC of a paint.
  virtual void PaintedOver(HDC DC) { (void)DC; }
  // Whether the window has a hot look that the mouse coming over it (AC_MOUSEENTER, AC_MOUSELEAVE) fades in
  // and out. A container's picture has one state: a cross-fade of it would cover the graphic controls that
  // it carries, which are painted over its cache and not into the fade's frames.
  virtual bool HasHotLook() const { return true; }

  // The skin can paint the window now (a manager with a skin, a valid section).
  bool CanPaint() const;
  bool Enabled() const { return IsWindowEnabled(Handle) != 0; }

 protected:
  // Window rectangles refreshed, the cache sized to the window and what lies under it; false when there is
  // nothing to paint. Notes whether the image about to be painted is incomplete: the window reaches beyond its
  // parent's client area, where the parent's picture has nothing to give.
  bool PrepareCache(CacheInfo& ci);
  // The cache must be painted before it is shown or given to a child: missing, stale, or incomplete while the
  // parent's client area has changed size since it was painted (the parent may now show the part it lacked).
  bool CacheOutOfDate() const;
  // The cache copied to the DC (the message's WParam, else the window's DC; BeginPaint/EndPaint for WM_PAINT
  // without a DC). Paints the cache first.
  void PaintToWindow(gui::TMessage& m);
  // Mouse-over tracking: WM_MOUSEMOVE enters (and asks for WM_MOUSELEAVE), WM_MOUSELEAVE leaves; both repaint.
  void TrackMouse(gui::TMessage& m);
  // The mouse came over the window (1) or left it (0): the new look, cross-faded when the manager animates it.
  void HoverChanged(uint8_t Over);
  // WM_SETREDRAW 0, the message passed on, WM_SETREDRAW 1, background changed, RedrawWindow(flags).
  void PassQuietly(gui::TMessage& m, UINT redrawFlags);
  // R of Bmp filled with what lies under the window (the parent's image, else its colour).
  void FillFromParent(Bitmap& Bmp, const CacheInfo& ci, const TRect& R);
  // The disabled look over the cache when the window is disabled.
  void DisabledLook(const CacheInfo& ci);
  // Whether the window shows its hot look (mouse over it, or a focused look of its control).
  bool HotLook() const;
  // A skin applied or refreshed by the own manager: the section's indexes looked up again.
  void NoteSkinChange(const gui::TMessage& m);
  // The library command codes the self-painting adapters answer: true when answered.
  bool SelfPaintedCommand(gui::TMessage& m);
  // What every self-painting adapter's procedure does first: the skin change noted, a window that cannot be
  // painted or is going handed to the base adapter, the common commands answered. True when handled.
  bool HandledFirst(gui::TMessage& m);
  // The control whose section is being chosen: the creator's while the adapter is made (the skin data does not
  // hold it yet), then the skin data's owner control.
  gui::TControl* SectionControl() const;
  bool tracking_ = false;

 private:
  gui::TControl* creating_ = nullptr;
  TSize paintedUnder_;  // the parent's client size when the cache was last painted
};

class TacBtnWnd : public TacSelfPaintedWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  // The skin state painted: 0 normal, 1 hot, 2 pressed, 3 default button.
  virtual int32_t CtlState();
  virtual void DrawGlyph() {}
  virtual TSize GlyphSize() { return TSize{0, 0}; }
  virtual TRect TextRect();
  virtual int32_t MaxTextWidth();

  bool Pushed() const;
};

class TacBitBtnWnd : public TacBtnWnd {
 public:
  int32_t CtlState() override;
  void DrawGlyph() override;
  TSize GlyphSize() override;
  TRect TextRect() override;
  // Where the glyph goes in the window.
  TRect GlyphRect();
};

class TacCheckBoxWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  // The glyph image and state of the current check state: image -1 when the skin has none.
  int32_t GlyphImage() const;
  TSize GlyphSize() const;

  bool OwnerDrawn = false;
};

class TacGroupBoxWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "GROUPBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  void PaintedOver(HDC DC) override;
  bool HasHotLook() const override { return false; }
  TRect CaptionRect();
};

class TacSpinWnd : public TacSelfPaintedWnd {
 public:
  void Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
              bool Repaint) override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  // The state of button i (0 up or left, 1 down or right) from the cursor.
  int32_t ButtonState(int i) const;
  bool Horizontal() const;
  // The skin's arrow image for a direction (0 left, 1 up, 2 right, 3 down), one state frame centred in R; false
  // when the skin has none (a plain triangle is drawn then).
  bool DrawSkinArrow(Bitmap& Cache, const TRect& R, int32_t Direction, int32_t State);

  bool Pressed = false;
};

class TacTrackWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;

  int32_t SectionIndex = -1;
  int32_t TickLength = 4;
  bool Pressed = false;
  double TickStep = 0;
};

}  // namespace skin
#endif
