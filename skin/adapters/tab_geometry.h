#pragma once
// The arithmetic of the tab-control adapters and of the scroll-bar control adapter, portable so that it is tested
// without a window: the tab side and kind from a tab control's style, the section that frames the pages, the
// rectangle a tab is painted in (grown for the selected tab, pulled under the page frame for the others), the
// frame the section paints around the pages; the scroll bar control's own copy of its scroll data, where its thumb
// is drawn, which part a point falls on, and how a pressed part changes the states of the others.
#include <array>
#include <cstdint>
#include <string>

#include "skin/pixels/geometry.h"

namespace skin {

// ---- Tab controls.

// Where the tabs stand: top 0, bottom 1, left 2, right 3.
enum TabSide : int32_t { tabTop = 0, tabBottom = 1, tabLeft = 2, tabRight = 3 };
// What the tabs look like: tabs, buttons or flat buttons.
enum TabKind : int32_t { tkTabs = 0, tkButtons = 1, tkFlatButtons = 2 };

// The tab control style bits read here.
inline constexpr uint32_t TabStyleBottomOrRight = 0x0002;
inline constexpr uint32_t TabStyleFlatButtons = 0x0008;
inline constexpr uint32_t TabStyleVertical = 0x0080;
inline constexpr uint32_t TabStyleButtons = 0x0100;

TabSide TabSideOfStyle(uint32_t Style);
TabKind TabKindOfStyle(uint32_t Style);
// The record of the skin's cached tab sections used for a side (1 top, 3 bottom, 0 left, 2 right).
int32_t TabRecordOfSide(TabSide Side);
// The section that frames the pages: without tabs "CHECKBOX"; else the control's section unless it is
// "PAGECONTROL", which gets the side's suffix (none on top, "BOTTOM", "LEFT", "RIGHT").
std::string PageFrameSection(const std::string& Section, TabSide Side, bool HasTabs);
// The frame the section paints in a control of that size around the display area: the whole control, pulled to
// the display area on the tab side when there are tabs.
TRect PageFrameRect(const TSize& Size, const TRect& Display, TabSide Side, bool HasTabs);
// The area the pages take: the display area the control reports, two pixels lower at its top.
TRect PageDisplayRect(const TRect& Adjusted);
// The rectangle a tab is painted in, from the rectangle the control gives for it: buttons keep it; tabs grow
// when selected and reach under the page frame when not; a positive overlap of the skin moves and widens it along
// the row. An empty item stays empty.
TRect TabPaintRect(const TRect& Item, TabSide Side, bool Active, TabKind Kind, int32_t Overlap);
// Where a tab's image and text go: the tab inset by 3, narrowed along the row by twice the overlap.
TRect TabContentRect(const TRect& Tab, TabSide Side, int32_t Overlap);

// ---- The scroll-bar control.

// The control's scroll data as the adapter keeps it.
struct SBData {
  int32_t Min = 0;
  int32_t Max = 0;
  int32_t Page = 0;
  int32_t Position = 0;
  int32_t TrackPos = 0;
};
// The SCROLLINFO mask bits read here.
inline constexpr uint32_t SBMaskRange = 0x1, SBMaskPage = 0x2, SBMaskPos = 0x4;

// The copy updated from a SCROLLINFO: the range (a Max below Min makes both 0), the page (within 0 .. the number
// of positions) and the position (within Min .. the last position a page fits at); TrackPos follows the position
// unless a thumb is being dragged.
void SBApplyScrollInfo(SBData& Data, uint32_t Mask, int32_t Min, int32_t Max, uint32_t Page, int32_t Pos,
                       bool Dragging);
// The last position: Max - max(Page - 1, 0).
int32_t SBLastPosition(const SBData& Data);
// The thumb's centre along a bar of that length (arrows of Arrow pixels at both ends, a thumb Thumb long): with a
// range, proportional to TrackPos between the first and the last position; without one, the bar's middle.
int32_t SBThumbCentre(const SBData& Data, int32_t BarLength, int32_t Arrow, int32_t Thumb);
// The position whose thumb centre lies at that point along the bar (clamped to Min .. the last position).
int32_t SBPositionAt(const SBData& Data, int32_t BarLength, int32_t Arrow, int32_t Thumb, int32_t Along);

// The five parts: first arrow, second arrow, track before the thumb, track after it, the thumb.
enum SBPart : int32_t { sbFirstArrow = 0, sbSecondArrow = 1, sbTrackBefore = 2, sbTrackAfter = 3, sbThumb = 4 };
// PressedPart values beyond the parts.
inline constexpr int32_t SBThumbReleased = 4, SBThumbDragging = 5, SBNothingPressed = 8;
// The part at a point along the bar (-1 off the bar); HasThumb false (a disabled bar): no thumb. An empty range
// has its thumb in the middle.
int32_t SBPartAt(const SBData& Data, int32_t BarLength, int32_t Arrow, int32_t Thumb, bool HasThumb, int32_t Along);
// Sets a part's state (0 normal, 1 hot, 2 pressed); a non-zero state resets the others: an arrow or the thumb
// clears the other arrow and the thumb and puts both tracks to 1; a track clears both arrows and the thumb and
// puts the other track to 1.
void SBSetPartState(std::array<int32_t, 5>& States, int32_t Part, int32_t State);

}  // namespace skin
