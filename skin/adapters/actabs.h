#pragma once
// Adapters of tab controls: TacTabControlWnd paints a tab control ("SysTabControl32") from the skin (the frame
// around its pages, its tabs in their normal, hot and selected looks) and skins its up-down child;
// TacPageControlWnd does the same for a page control of the component layer and gives each of its pages a
// TacPageWnd, which fills the page with what the page control shows under it.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/adapters/acbuttons.h"
#include "skin/adapters/tab_geometry.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TPageControl;
}

namespace skin {

class TacTabControlWnd : public TacSelfPaintedWnd {
 public:
  std::string DefaultSection() const override { return "PAGECONTROL"; }
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  // The area the pages take, in client coordinates.
  virtual TRect DisplayRect();
  // The frame the page section paints.
  virtual TRect PageRect();

  TabSide Side() const;
  TabKind Kind() const;
  int32_t TabCount() const;
  bool HasTabs() const { return TabCount() > 0; }
  // The rectangle a tab is painted in (empty for an index out of range).
  TRect TabRect(int32_t Index, bool Active);
  // The section index of the page frame and of the tabs (-1 when the skin has none).
  int32_t FrameSectionIndex() const;
  int32_t TabSectionIndex() const;
  // The cache (background, inactive tabs, page frame) made again.
  void PaintCache() override;
  // The whole control into a DC: the cache, then the selected tab over it.
  void PaintTo(HDC DC);
  // The up-down child skinned (again), or let go of when there is none.
  void AttachUpDown();

  TacSpinWnd* UpDown = nullptr;  // owned
  int32_t HotTab = -1;           // the tab under the mouse

 protected:
  void ReleaseSteps() override;
  // One tab into Target (in Target's coordinates): the tab section over what Target holds there, image and text.
  void PaintTab(Bitmap& Target, int32_t Index, int32_t State, const TPoint& Origin);
  void TrackHotTab(gui::TMessage& m);
  // What the page control adds before the tab control's handling: true when handled.
  virtual bool PageMessage(gui::TMessage& m) {
    (void)m;
    return false;
  }
};

class TacPageWnd;

class TacPageControlWnd : public TacTabControlWnd {
 public:
  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  gui::TPageControl* PageControl() const;
  // Every page with a window and no adapter yet gets one (a page adapter whose window went is let go of).
  void AttachPages();

  std::vector<TacPageWnd*> Pages;  // owned

 protected:
  void ReleaseSteps() override;
  bool PageMessage(gui::TMessage& m) override;
};

class TacPageWnd : public TacMainWnd {
 public:
  void WndProc(gui::TMessage& Message) override;
  // The page filled with what the tab control shows under it.
  void PaintTo(HDC DC);

  gui::TControl* Control = nullptr;  // the tab sheet, or none
};

}  // namespace skin
#endif
