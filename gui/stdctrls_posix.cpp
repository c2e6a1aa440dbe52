// The headless half of the standard controls: a label is measured with the layer's fixed text metrics and
// painted nowhere; no window sends the messages of group boxes, combo boxes and static texts.
#include "gui/menus.h"
#include "gui/stdctrls.h"

namespace gui {

TPoint TCustomLabel::MeasureCaption(const std::string& text) const {
  TPoint size = HeadlessTextExtent(font_, showAccelChar_ ? StripHotkey(text) : text);
  if (wordWrap_) size.X = width_;
  return size;
}

void TCustomLabel::Paint() {}

bool TCustomGroupBox::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

bool TCustomComboBox::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

// Natively no window asks for items to be drawn or measured, and a canvas draws nowhere.
void TCustomComboBox::DrawItemRequest(void*) {}
void TCustomComboBox::MeasureItemRequest(void*) {}
void TCustomComboBox::DrawDefaultItem(int, const TRect&, TOwnerDrawState) {}

void TCustomMemo::BreakLinesAtBlanks() {}

bool TCustomStaticText::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
