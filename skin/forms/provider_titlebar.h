#pragma once
// What the skin provider does for the form's title-bar component and for the hints of its user title buttons:
// the title bar gets the caption's free band and arranges its items there, the items are given their skin
// sections and painter and are painted into the frame cache (one by one when their state changes, through their
// hover fade), they answer the hit test (hit code 2000 + item index; spacers and information fields answer as
// the caption), the caption's mouse messages reach them, and hovered items and user title buttons show their
// hints after the application's hint pause.
#include <cstdint>
#include <memory>

#include "gui/extctrls.h"
#include "gui/hintwnd.h"
#include "gui/messages.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/stitlebar.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

// The hint state of a provider: the user title button or title-bar item waiting for its hint (hit code, 0 for
// none), its rectangle on the screen, the pause timer, and the one hint window shown.
struct ProviderTitleHints {
  int32_t Code = 0;
  TRect ScreenRect;
  bool Shown = false;
  std::unique_ptr<gui::TTimer> Timer;
  std::unique_ptr<gui::THintWindow> Window;
};

// ---- Layout (the last step of ProviderLayoutTitle): the band between the icon and x - 6 (x the running right
// edge after the caption buttons), the items hooked and arranged in it.
void ProviderLayoutTitleBar(TsSkinProvider& p, int32_t x);
// Every item gets its skin record (resolved again), the provider's painter and its group.
void ProviderHookTitleItems(TsSkinProvider& p);
// The item's section: its own SkinSection, else "TB_BTN", "TB_MENUBTN", "TB_TAB" by style, else "TOOLBUTTON" for
// buttons and "TABTOP" for tabs; -1 for none.
int32_t TitleItemSection(TsSkinProvider& p, int index);
// The painter given to the items: the item in its state into rect of target.
void TitleItemPaint(TacTitleBarItem& item, const TRect& rect, Bitmap& target);
// The colour an item's image is tinted with: the glyph blend colour of its section for the state (the section's
// text colour there) when the title bar's images are an alpha image list; clNone otherwise.
TColor TitleItemImageTint(TsSkinProvider& p, const TacTitleBarItem& item, int32_t section, int32_t state);
// The state an item is painted in: 2 pressed (also while the provider holds it pressed), 1 hot, 0 normal.
int32_t TitleItemPaintState(TsSkinProvider& p, const TacTitleBarItem& item);
// The caption text's span with a title bar: from the left items' end + 8 to the right items' start - 8; false
// (r untouched) without a title bar.
bool ProviderTitleBarCaptionSpan(TsSkinProvider& p, TRect& r);
// Whether the form's caption is written: the title bar's ShowCaption when there is one.
bool ProviderTitleBarShowsCaption(const TsSkinProvider& p, bool addedTitleShows);

// ---- Painting.
// Step of the frame painter after the caption buttons: the clean band kept, every visible item painted (the
// tabs last, so that they lie on top).
void ProviderPaintTitleItems(TsSkinProvider& p);
// One item repainted in the cache from the clean band and copied to the window.
void ProviderPaintTitleItemNow(TsSkinProvider& p, int index);
// The repaint of an item whose state changed: through its fade (in for hot and pressed, out for normal).
void ProviderPaintTitleItem(TsSkinProvider& p, int32_t code);

// ---- Hit test.
// The 1-based button position of the item under pt when it lies after `position` positions, 0 for none (also for
// spacers and information fields).
int32_t ProviderTitleItemPosition(TsSkinProvider& p, const TPoint& pt, int32_t position);
// The hit code of the n-th item position (1-based over the visible items): 2000 + index, or 1 (HTCLIENT) for a
// held-down tab.
int32_t ProviderTitleItemCodeAt(TsSkinProvider& p, int32_t n);
// The border window's answer for its title-bar items: 2000 + index, or 0.
int32_t ProviderTitleItemHitCode(TsSkinProvider& p, const TPoint& pt);

// ---- Hot, pressed, released.
// The hot element moves from previous to code: items leave and enter (events, hot flags, repaint of the new one
// when asked), hints are hidden and started.
void ProviderTitleHotChange(TsSkinProvider& p, int32_t previous, int32_t code, bool repaint);
// WM_NCLBUTTONDOWN and the release on an item (true when the code was an item's).
bool ProviderTitleItemDown(TsSkinProvider& p, int32_t code, gui::TMessage& m);
bool ProviderTitleItemUp(TsSkinProvider& p, int32_t code, gui::TMessage& m);
// Frees the items' fades (unless the provider or its form is going) and the hints.
void ProviderStopTitleItemTimers(TsSkinProvider& p);

// ---- Hints.
void ProviderStartTitleHint(TsSkinProvider& p, int32_t code);
void ProviderTitleHintTimer(TsSkinProvider& p);
void ProviderHideTitleHint(TsSkinProvider& p);
// The provider's hint state (made on first use).
ProviderTitleHints& TitleHints(TsSkinProvider& p);

}  // namespace skin
