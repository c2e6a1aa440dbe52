#pragma once
// Adapters of windows that show text, a frame or an image and take no input (statics, edges, icons, links, static
// texts), of container-like windows (panels, transparent containers) and of bars (tool bars, status bars, the size
// grip). They paint the parent's background (or their section) under their content.
#include <cstdint>
#include <memory>
#include <string>

#include "skin/adapters/acbuttons.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TCustomPanel;
class TStatusBar;
class TCustomStaticText;
}

namespace skin {

class TacStaticWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  // Paints the whole window into the DC of WParam (or the window DC).
  virtual void PaintTo(gui::TMessage& Message);
  // Draws the content into the cache; whether the cache is to be copied.
  virtual bool DrawContent();
  // Windows the adapter leaves to the base for every message.
  bool LeftAlone() const;
};

class TacEdgeWnd : public TacStaticWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  void PaintTo(gui::TMessage& Message) override;
};

class TacIconWnd : public TacStaticWnd {
 public:
  bool DrawContent() override;
  bool IsBitmap() const;
  std::unique_ptr<Bitmap> Image;  // the bitmap of a bitmap static, made on first paint
  bool ImageOpaque = false;       // copied as it is (it carries no alpha)
};

class TacLinkWnd : public TacStaticWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  bool DrawContent() override;
};
// The link text shown: every "<A>" and "</A>" removed (either case).
std::string LinkTextWithoutTags(const std::string& Text);

// Static texts of the component layer (with an owner control only): the section by the border (GROUPBOX for a
// bordered TStaticText, else CHECKBOX), the text aligned as the control says, the border strips copied from the
// cache over the window's own border.
class TacStaticTextWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  gui::TCustomStaticText* StaticText() const;
  // The cache's client part (inside the border) into a client DC (nullptr: the window's client DC).
  void PaintClient(HDC DC);
  // The border strips from the cache into the window DC (nullptr: the window's own).
  void PaintBorder(HDC DC);
  // Half of what the window's border takes across.
  int32_t BorderWidth() const;
};

// Panels of the component layer (and, without a control, any container window): section by bevels, the
// caption in the middle (none when the panel's Tag is 999), the children over the cache.
class TacPanelWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  bool HasHotLook() const override { return false; }
  gui::TCustomPanel* Panel() const;
  // The cache's client part (inside the border) into a client DC.
  void PaintClient(HDC DC);
  // The border strips from the cache into the window DC (nullptr: the window's own).
  void PaintBorder(HDC DC);
};

// The section of a panel by its bevels.
std::string PanelSection(int BevelOuter, int BevelInner);

class TacTransPanelWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
};

class TacSizerWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "CHECKBOX"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
};

class TacToolBarWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "TOOLBAR"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  TRect ClientRect;
  int32_t Margin = 0;
};

// Status bars: the section, each part's frame and text (left, centred and right pieces), the dividers, the size
// grip; an owner-drawn part is painted into the cache by the bar's component (its OnDrawPanel) or, for a foreign
// bar, by the window the bar reports to (WM_DRAWITEM); a border is painted from the cache.
class TacStatusBarWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "STATUSBAR"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  gui::TStatusBar* StatusBar() const;

 private:
  // Part `Part` (rectangle R in client coordinates) drawn by its owner into the cache.
  void DrawOwnerPart(Bitmap& Cache, int Part, const RECT& R, LPARAM Data);
  void PaintFrame(HDC DC);
};

}  // namespace skin
#endif
