#pragma once
// The skin's system colours. While the default manager applies a skin with Options.ChangeSysColors on, the
// component layer resolves a few system colours from the skin (gui/syscolors.h), so that what the program
// draws without a skin of its own (edits, memos, selection, 3-D shades, pens) takes the skin's colours. The
// system itself is never changed: a skin that is loaded reads the system's own values.
//
// Without a default manager, or for the other indexes, every answer is the system's.
#include <cstdint>

#include "gui/win32_types.h"

namespace skin {

// GetSysColor as the skin gives it: COLOR_WINDOW (5) the edit background, COLOR_WINDOWFRAME (6) BORDERCOLOR,
// COLOR_WINDOWTEXT (8) the edit text, COLOR_HIGHLIGHT (13) and COLOR_HIGHLIGHTTEXT (14) the focused selection
// colours, COLOR_BTNSHADOW (16) and COLOR_3DDKSHADOW (21) the main colour mixed with black at 0.8,
// COLOR_3DLIGHT (22) the main colour mixed with white at 0.8; any other index the system's value.
uint32_t SkinGetSysColor(int index);
// Whether the skin gives that index (and its value).
bool SkinSysColor(int index, uint32_t& rgb);
// The colour a pen of this colour is drawn in: the system colour numbers 5, 6, 13, 14, 15, 16, 21 and 22
// passed as colours become the skin's colours (15 its main colour), 0xC0C0C0 and 0xF0F0F0 the edit text
// mixed with the edit background at 0.15; any other colour stays.
COLORREF SkinPenColor(COLORREF color);
#ifdef _WIN32
// A solid brush of the skin's colour for COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT and
// COLOR_HIGHLIGHTTEXT (nullptr for the other indexes). One brush per index is kept per skin and freed when the
// skin changes or the colours are taken away: the caller must not delete it.
HBRUSH SkinGetSysColorBrush(int index);
// CreatePen with SkinPenColor (the pen belongs to the caller).
HPEN SkinCreatePen(int style, int width, COLORREF color);
#endif

// Puts the skin's colours in place of the system's in the component layer; nothing when they are in place.
// False when another source holds that place.
bool InstallSkinSysColors();
// Takes them away (the system's values come back) and frees the cached brushes; nothing when not in place.
void RemoveSkinSysColors();
bool SkinSysColorsInstalled();
// The skin changed: the cached brushes are freed (new ones are made on demand).
void SkinSysColorsChanged();
// The number of brushes held (for tests).
int SkinSysColorBrushCount();

}  // namespace skin
