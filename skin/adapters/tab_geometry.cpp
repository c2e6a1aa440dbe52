#include "skin/adapters/tab_geometry.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

TRect Inflated(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy}; }
TRect Moved(const TRect& r, int32_t dx, int32_t dy) { return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
bool Horizontal(TabSide s) { return s == tabTop || s == tabBottom; }

}  // namespace

TabSide TabSideOfStyle(uint32_t Style) {
  if (Style & TabStyleVertical) return (Style & TabStyleBottomOrRight) ? tabRight : tabLeft;
  return (Style & TabStyleBottomOrRight) ? tabBottom : tabTop;
}

TabKind TabKindOfStyle(uint32_t Style) {
  if (!(Style & TabStyleButtons)) return tkTabs;
  return (Style & TabStyleFlatButtons) ? tkFlatButtons : tkButtons;
}

int32_t TabRecordOfSide(TabSide Side) {
  switch (Side) {
    case tabTop: return 1;
    case tabBottom: return 3;
    case tabLeft: return 0;
    default: return 2;
  }
}

std::string PageFrameSection(const std::string& Section, TabSide Side, bool HasTabs) {
  if (!HasTabs) return "CHECKBOX";
  if (!Section.empty() && Section != "PAGECONTROL") return Section;
  switch (Side) {
    case tabBottom: return "PAGECONTROLBOTTOM";
    case tabLeft: return "PAGECONTROLLEFT";
    case tabRight: return "PAGECONTROLRIGHT";
    default: return "PAGECONTROL";
  }
}

TRect PageDisplayRect(const TRect& Adjusted) { return TRect{Adjusted.Left, Adjusted.Top + 2, Adjusted.Right, Adjusted.Bottom}; }

TRect PageFrameRect(const TSize& Size, const TRect& Display, TabSide Side, bool HasTabs) {
  TRect r{0, 0, Size.cx, Size.cy};
  if (!HasTabs) return r;
  switch (Side) {
    case tabTop: r.Top = Display.Top - 4; break;
    case tabBottom: r.Bottom = Display.Bottom + 2; break;
    case tabLeft: r.Left = Display.Left - 1; break;
    case tabRight: r.Right = Display.Right + 1; break;
  }
  return r;
}

TRect TabPaintRect(const TRect& Item, TabSide Side, bool Active, TabKind Kind, int32_t Overlap) {
  if (Kind != tkTabs || Item.IsEmpty()) return Item;
  TRect r = Item;
  if (Active) {
    r.Bottom -= 1;
  } else {
    r.Bottom += 3;
    r.Right -= 1;
  }
  switch (Side) {
    case tabTop:
      if (Active) r = Inflated(r, 2, 2);
      r.Bottom += 1;
      break;
    case tabBottom:
      if (Active) r = Inflated(r, 2, 1);
      r.Top -= 2;
      r.Bottom += Active ? 1 : -3;
      break;
    case tabLeft:
      r = Inflated(r, 0, 1);
      r.Right += 2;
      if (Active) {
        r = Inflated(r, 1, 1);
      } else {
        r.Bottom -= 4;
        r.Right += 2;
      }
      break;
    case tabRight:
      r = Moved(Inflated(r, 1, 0), -1, -1);
      if (Active) {
        r = Inflated(r, 1, 1);
        r.Bottom += 3;
      } else {
        r.Bottom -= 2;
      }
      break;
  }
  if (Overlap > 0) {
    // Along the row: x for tabs on top or bottom, y for tabs at the sides.
    r = Horizontal(Side) ? Inflated(Moved(r, Overlap, 0), Overlap, 0) : Inflated(Moved(r, 0, Overlap), 0, Overlap);
  }
  return r;
}

TRect TabContentRect(const TRect& Tab, TabSide Side, int32_t Overlap) {
  TRect r = Inflated(Tab, -3, -3);
  if (Overlap > 0) r = Horizontal(Side) ? Inflated(r, -2 * Overlap, 0) : Inflated(r, 0, -2 * Overlap);
  return r;
}

// ---- The scroll-bar control.

void SBApplyScrollInfo(SBData& d, uint32_t Mask, int32_t Min, int32_t Max, uint32_t Page, int32_t Pos, bool Dragging) {
  if (Mask & SBMaskRange) {
    d.Min = Min;
    d.Max = Max;
    if (d.Max < d.Min) d.Min = d.Max = 0;
  }
  if (Mask & SBMaskPage) d.Page = int32_t(std::min<uint32_t>(Page, uint32_t(INT32_MAX)));
  if (Mask & SBMaskPos) d.Position = Pos;
  const int64_t positions = int64_t(d.Max) - d.Min + 1;
  d.Page = int32_t(std::clamp<int64_t>(d.Page, 0, positions));
  d.Position = std::clamp(d.Position, d.Min, std::max(d.Min, SBLastPosition(d)));
  if (!Dragging) d.TrackPos = d.Position;
}

int32_t SBLastPosition(const SBData& d) { return int32_t(int64_t(d.Max) - std::max<int64_t>(int64_t(d.Page) - 1, 0)); }

int32_t SBThumbCentre(const SBData& d, int32_t BarLength, int32_t Arrow, int32_t Thumb) {
  const int64_t span = int64_t(SBLastPosition(d)) - d.Min;
  if (d.Max <= d.Min) return BarLength / 2;
  const int64_t room = int64_t(BarLength) - 2 * int64_t(Arrow) - Thumb;
  const int64_t offset = span == 0 ? 0 : int64_t(std::nearbyint(double(room) / double(span) * double(int64_t(d.TrackPos) - d.Min)));
  return int32_t(Arrow + Thumb / 2 + offset);
}

int32_t SBPositionAt(const SBData& d, int32_t BarLength, int32_t Arrow, int32_t Thumb, int32_t Along) {
  const int64_t span = int64_t(SBLastPosition(d)) - d.Min;
  const int64_t room = int64_t(BarLength) - 2 * int64_t(Arrow) - Thumb;
  if (d.Max <= d.Min || span <= 0 || room <= 0) return d.Min;
  const int64_t from = int64_t(Along) - Arrow - Thumb / 2;
  const int64_t pos = d.Min + int64_t(std::nearbyint(double(from) * double(span) / double(room)));
  return int32_t(std::clamp<int64_t>(pos, d.Min, d.Min + span));
}

int32_t SBPartAt(const SBData& d, int32_t BarLength, int32_t Arrow, int32_t Thumb, bool HasThumb, int32_t Along) {
  if (Along < 0 || Along >= BarLength) return -1;
  const int32_t a = std::min(Arrow, BarLength / 2);
  if (Along < a) return sbFirstArrow;
  if (Along >= BarLength - a) return sbSecondArrow;
  const int32_t centre = SBThumbCentre(d, BarLength, a, Thumb);
  if (HasThumb) {
    const int32_t start = centre - Thumb / 2;
    if (Along >= start && Along < start + Thumb) return sbThumb;
  }
  return Along < centre ? sbTrackBefore : sbTrackAfter;
}

void SBSetPartState(std::array<int32_t, 5>& s, int32_t Part, int32_t State) {
  if (Part < 0 || Part > 4) return;
  if (State != 0) {
    if (Part == sbFirstArrow || Part == sbSecondArrow || Part == sbThumb) {
      for (int32_t p : {sbFirstArrow, sbSecondArrow, sbThumb}) s[size_t(p)] = 0;
      s[sbTrackBefore] = s[sbTrackAfter] = 1;
    } else {
      s[sbFirstArrow] = s[sbSecondArrow] = s[sbThumb] = 0;
      s[size_t(Part == sbTrackBefore ? sbTrackAfter : sbTrackBefore)] = 1;
    }
  }
  s[size_t(Part)] = State;
}

}  // namespace skin
