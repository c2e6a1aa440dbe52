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

// Panels of the component layer (and, without a control, any container window): section by bevels, the
// caption in the middle (none when the panel's Tag is 999), the children over the cache.
class TacPanelWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override;
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
  gui::TCustomPanel* Panel() const;
  void PaintClient(HDC DC);
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

class TacStatusBarWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "STATUSBAR"; }
  void WndProc(gui::TMessage& Message) override;
  void PaintCache() override;
};

}  // namespace skin
#endif
