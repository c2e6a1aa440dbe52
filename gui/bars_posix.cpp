// The headless half of the bars: no tool bar or status bar window; the layout is the layer's own.
#include "gui/bars.h"

namespace gui {

void TToolBar::ButtonsToWindow() {}

void TToolBar::ButtonStateToWindow(TToolButton*) {}

void TToolBar::DropDown(TToolButton*) {}

bool TToolBar::WindowButtonRect(int, TRect&) const { return false; }

bool TToolBar::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

void TStatusBar::PartsToWindow() {}

void TStatusBar::PanelTextToWindow(int) {}

bool TStatusBar::WindowPanelRect(int, TRect&) const { return false; }

bool TStatusBar::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
