#pragma once
// Page controls: TPageControl, a tab control (SysTabControl32) whose tabs select one of its pages, and
// TTabSheet, a page (a container of its own window class laid over the tab control's display area).
//
// Rules. The pages are kept in PageIndex order; only pages whose TabVisible is on have a tab (TabIndex counts
// those). The first page with a tab becomes the active page when there is none; removing or hiding the
// active page's tab activates the next page with a tab (after the last comes the first). Only the
// active page is shown. Setting ActivePage from code fires no event; a click on a tab asks OnChanging (which
// may refuse) and fires OnChange after the page changed.
#include <functional>
#include <string>
#include <vector>

#include "gui/controls.h"

namespace gui {

class TPageControl;
class TCustomImageList;

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TPageControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  GUI_CLASS_NAME("TTabSheet")

  TPageControl* PageControl() const { return pageControl_; }
  // Moves the page to another page control (the last position there), or out of any with nullptr.
  void SetPageControl(TPageControl* pc);
  int PageIndex() const;
  void SetPageIndex(int i);
  // The page's index among the tabs shown, -1 when it has none.
  int TabIndex() const;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
  int imageIndex_ = -1;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  GUI_CLASS_NAME("TPageControl")

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int i) const { return pages_.at(static_cast<size_t>(i)); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Raises EInvalidOperation for a page of another control.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int i);
  // The selected tab (-1 without); setting it activates that tab's page.
  int TabIndex() const;
  void SetTabIndex(int i);
  // The number of tabs shown and the page of a tab.
  int TabCount() const;
  TTabSheet* TabPage(int tabIndex) const;
  // The next (or previous) page after `current`, wrapping, optionally only pages with a tab; nullptr when none.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  void SelectNextPage(bool goForward, bool checkTabVisible = true);

  TTabPosition TabPosition() const { return tabPosition_; }
  void SetTabPosition(TTabPosition p);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle s);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* list);
  // The height of the tabs (natively, and before the window exists).
  int TabHeight() const { return tabHeight_; }
  void SetTabHeight(int h);
  int TabWidth() const { return tabWidth_; }
  void SetTabWidth(int w);

  // The tab's rectangle in the control's client coordinates (empty for an index out of range).
  TRect TabRect(int tabIndex) const;
  // The tab at a client point, -1 for none.
  int IndexOfTabAt(int x, int y) const;
  // The area the pages cover.
  TRect DisplayRect() const;
  int RowCount() const;

  // The canvas owner-drawn tabs are painted on (bound while OnDrawTab runs).
  TCanvas& Canvas() { return canvas_; }

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TDrawTabEvent OnDrawTab;

  // A user's selection of a tab: OnChanging may refuse; OnChange after the change. False when refused.
  bool ClickTab(int tabIndex);

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void BoundsChanged(bool sizeChanged) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void PageTabChanged(TTabSheet* page);
  void ShowActivePage();
  void PlacePages();
  // Window side: the window's tabs follow the pages with a tab (captions, images, the page as item data), the
  // selection follows the active page; the window's own tab rectangles and display area; the owner-drawn tab.
  void TabsToWindow();
  void SelectionToWindow();
  bool WindowTabRect(int tabIndex, TRect& r) const;
  bool WindowDisplayRect(TRect& r) const;
  int WindowRowCount() const;
  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TTabPosition tabPosition_ = TTabPosition::tpTop;
  TTabStyle style_ = TTabStyle::tsTabs;
  bool multiLine_ = false;
  bool ownerDraw_ = false;
  TCustomImageList* images_ = nullptr;
  int tabHeight_ = 0, tabWidth_ = 0;
  bool destroying_ = false;
  TCanvas canvas_;
};

}  // namespace gui
