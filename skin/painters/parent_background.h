#pragma once
// Asking a parent what lies under a control: the asking side of the library command GetBackground. The caller
// fills info.R (and info.DC when it asks the parent to paint); both queries overwrite Offset, FillR, BgType and
// PleaseDraw. The answer is then turned into the painters' record by BackgroundToCacheInfo (background_info.h).
#include "skin/pixels/background_info.h"

namespace gui {
class TControl;
}

namespace skin {

// A parent known by its window handle. True when the parent answered. Without an answer: with pleaseDraw the
// parent paints itself (WM_ERASEBKGND, then WM_PAINT) into info.DC so that the asker's area lands at the DC's
// origin, the DC's state restored afterwards (Windows), and BgType stays btUnknown; without it the answer is the
// default skin manager's global colour (clBtnFace without a default manager), BgType btFill.
bool QueryParentBackground(BackgroundInfo& info, void* parent, bool pleaseDraw);

// A parent control (windowed or not): always true. Without an answer: with pleaseDraw the same painting through
// the control's message procedure; otherwise a colour: the skin's global colour for a parent being designed while
// the default manager's skin is applied, else the parent's answer to GetColor, else the parent's Color.
bool QueryControlBackground(BackgroundInfo& info, gui::TControl* parent, bool pleaseDraw);

}  // namespace skin
