// The native build has no windows: the border window's image (the frame cache) is composed, nothing shows it.
#include "gui/forms.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"

namespace skin {

void BorderFormCreateWindow(TacBorderForm&) {}

TacBorderForm::~TacBorderForm() { Owner->StopTitleGlows(); }

void BorderFormUpdate(TacBorderForm& bf, bool repaint, uint8_t) {
  if (bf.Updating || !bf.Owner->HasWindow() || !repaint) return;
  bf.Updating = true;
  bf.Owner->FrameData().BGChanged = true;
  bf.Owner->RepaintFrame();
  bf.Updating = false;
}

int32_t BorderFormHitTest(TacBorderForm& bf) {
  const TRect r = BorderFormScreenRect(bf);
  const TPoint c = CursorScreenPos();
  return BorderFormHitTestAt(bf, TPoint{c.X - r.Left, c.Y - r.Top});
}

void BorderFormFollowZOrder(TacBorderForm&) {}
void BorderFormEnable(TacBorderForm&, bool) {}
void BorderFormHide(TacBorderForm& bf) { bf.Hidden = true; }
bool BorderFormShown(const TacBorderForm& bf) { return !bf.Hidden; }

}  // namespace skin
