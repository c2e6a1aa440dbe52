// The headless half of the common controls: no rich edit, up-down control or track bar has a window natively,
// so their window side is never reached; the rich edit keeps its text and attributes itself (comctrls.cpp).
#include "gui/comctrls.h"

namespace gui {

void TRichEdit::InitializeWindow() {}

void TRichEdit::FinalizeWindow() {}

int TRichEdit::WindowTextLength() const { return 0; }

std::string TRichEdit::WindowSelText() const { return std::string(); }

TRichEdit::CharAttr TRichEdit::WindowSelectionAttributes() const { return insertAttr_; }

void TRichEdit::FormatWindowSelection(TColor, bool, TFontStyles, bool) {}

void TRichEdit::WindowCharacters(std::string&, std::vector<CharAttr>&) const {}

bool TUpDown::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

bool TTrackBar::WindowMessage(TMessage& m) { return TWinControl::WindowMessage(m); }

}  // namespace gui
