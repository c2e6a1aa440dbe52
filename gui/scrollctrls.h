#pragma once
// Scrolling controls: the stand-alone scroll bar (a SCROLLBAR window) and the scroll box (a container whose
// own window scroll bars move its children when they reach beyond its client area).
#include <functional>

#include "gui/controls.h"

namespace gui {

enum class TScrollBarKind { sbHorizontal, sbVertical };
// What moved a scroll bar, in the order of the system's scroll codes (SB_LINEUP = 0 ... SB_ENDSCROLL = 8).
enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The position a scroll code leads to from `pos`, within min..max - max(page - 1, 0) (the last position at
// which a page still fits, as the system's scroll bars keep it). `thumb` is the thumb's position for
// scPosition and scTrack.
int ScrollTarget(TScrollCode code, int pos, int thumb, int min, int max, int page, int smallChange, int largeChange);

class TScrollBar : public TWinControl {
 public:
  explicit TScrollBar(TComponent* AOwner);
  GUI_CLASS_NAME("TScrollBar")

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind k);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  void SetPosition(int v) { SetParams(v, min_, max_); }
  int PageSize() const { return pageSize_; }
  // Raises EInvalidOperation when the page is larger than the range.
  void SetPageSize(int v);
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int v) { smallChange_ = v; }
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int v) { largeChange_ = v; }
  // Sets the three at once. A maximum below the minimum raises EInvalidOperation; the position is clamped to
  // the range (less the page). OnChange fires when the position changed.
  void SetParams(int position, int min, int max);
  // The last position the thumb can reach.
  int MaxPosition() const;
  // The user moved the bar: OnScroll may change the target, then the position follows (OnChange when it moved).
  void Scroll(TScrollCode code, int thumbPos = 0);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;

 private:
  // Window side: the window's range, page and position follow the control's.
  void ScrollInfoToWindow();
  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0, smallChange_ = 1, largeChange_ = 1;
};

// One of a scroll box's two scroll bars: its range is the extent of the content, its position how far the
// content is scrolled.
class TControlScrollBar {
 public:
  TScrollBarKind Kind() const { return kind_; }
  int Range() const { return range_; }
  int Position() const { return position_; }
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v > 0 ? v : 1; }
  // Shown when the content reaches beyond the client area (and Visible is on).
  bool IsScrollBarVisible() const;
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void SetRange(int v);
  void SetPosition(int v);

 private:
  friend class TScrollBox;
  TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
  class TScrollBox* owner_ = nullptr;
  int range_ = 0, position_ = 0, increment_ = 8;
  bool visible_ = true;
};

class TScrollBox : public TWinControl {
 public:
  explicit TScrollBox(TComponent* AOwner);
  GUI_CLASS_NAME("TScrollBox")

  TControlScrollBar& HorzScrollBar() { return horz_; }
  TControlScrollBar& VertScrollBar() { return vert_; }
  // With AutoScroll the ranges follow the children (their extent at scroll position 0).
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s);
  // Moves every child by (dx, dy).
  void ScrollBy(int dx, int dy);
  // Scrolls so that the child lies wholly inside the client area (as far as it fits).
  void ScrollInView(TControl* c);
  // Recomputes the ranges from the children (AutoScroll) and clamps the positions.
  void UpdateScrollBars();
  // The client area without the scroll bars that are shown.
  TRect ClientRect() const override;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool WindowMessage(TMessage& m) override;
  void BoundsChanged(bool sizeChanged) override;

 private:
  friend class TControlScrollBar;
  void BarPositionChanged(TControlScrollBar& bar, int old);
  // The user scrolled a bar.
  void ScrollBarMoved(TControlScrollBar& bar, TScrollCode code, int thumb);
  // Window side: the window's bars follow the ranges and positions; the window's full client size.
  void BarsToWindow();
  TRect WindowFullClient() const;
  TControlScrollBar horz_, vert_;
  bool autoScroll_ = true;
  bool updating_ = false;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
};

}  // namespace gui
