// The Win32 half of the common controls: the rich edit's window (its text by paragraphs, its selection and
// character formats) and the notifications that the windows of up-down controls and track bars send.
#include <algorithm>

#include "gui/comctrls.h"

namespace gui {

namespace {
CHARFORMAT2A GetFormat(HWND h, DWORD which) {
  CHARFORMAT2A cf{};
  cf.cbSize = sizeof(cf);
  SendMessageA(h, EM_GETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
  return cf;
}
void SetFormat(HWND h, DWORD which, TColor color, bool setColor, TFontStyles style, bool setStyle) {
  CHARFORMAT2A cf{};
  cf.cbSize = sizeof(cf);
  if (setColor) {
    cf.dwMask |= CFM_COLOR;
    cf.crTextColor = ColorRef(color);
  }
  if (setStyle) {
    cf.dwMask |= CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    if (style & fsBold) cf.dwEffects |= CFE_BOLD;
    if (style & fsItalic) cf.dwEffects |= CFE_ITALIC;
    if (style & fsUnderline) cf.dwEffects |= CFE_UNDERLINE;
    if (style & fsStrikeOut) cf.dwEffects |= CFE_STRIKEOUT;
  }
  SendMessageA(h, EM_SETCHARFORMAT, which, reinterpret_cast<LPARAM>(&cf));
}
TFontStyles StyleOf(const CHARFORMAT2A& cf) {
  TFontStyles s = 0;
  if (cf.dwEffects & CFE_BOLD) s |= fsBold;
  if (cf.dwEffects & CFE_ITALIC) s |= fsItalic;
  if (cf.dwEffects & CFE_UNDERLINE) s |= fsUnderline;
  if (cf.dwEffects & CFE_STRIKEOUT) s |= fsStrikeOut;
  return s;
}
std::string WindowParagraphText(HWND h) {
  GETTEXTLENGTHEX gl{GTL_DEFAULT | GTL_NUMCHARS, CP_ACP};
  const LRESULT n = SendMessageA(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0);
  std::string s(static_cast<size_t>(std::max<LRESULT>(n, 0)) + 1, '\0');
  GETTEXTEX gt{};
  gt.cb = static_cast<DWORD>(s.size());
  gt.flags = GT_DEFAULT;
  gt.codepage = CP_ACP;
  const LRESULT got = SendMessageA(h, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::max<LRESULT>(got, 0)));
  return s;
}
}  // namespace

void TRichEdit::InitializeWindow() {
  TCustomMemo::InitializeWindow();
  SendMessageA(handle_, EM_SETEVENTMASK, 0, ENM_CHANGE);
  SendMessageA(handle_, EM_EXLIMITTEXT, 0, maxLength_ > 0 ? maxLength_ : 0x7FFFFFFE);
  SetWindowTextA(handle_, rtext_.c_str());
  size_t i = 0;
  while (i < attrs_.size()) {
    size_t j = i;
    while (j < attrs_.size() && attrs_[j] == attrs_[i]) ++j;
    CHARRANGE cr{static_cast<LONG>(i), static_cast<LONG>(j)};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    SetFormat(handle_, SCF_SELECTION, attrs_[i].color, true, attrs_[i].style, true);
    i = j;
  }
  CHARRANGE sel{selStart_, selStart_ + selLength_};
  SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&sel));
}

void TRichEdit::FinalizeWindow() {
  CHARRANGE sel{};
  SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  WindowCharacters(rtext_, attrs_);
  selStart_ = sel.cpMin;
  selLength_ = sel.cpMax - sel.cpMin;
  text_ = ToCrLf(rtext_);
}

int TRichEdit::WindowTextLength() const {
  GETTEXTLENGTHEX gl{GTL_DEFAULT | GTL_NUMCHARS, CP_ACP};
  return static_cast<int>(SendMessageA(handle_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
}

std::string TRichEdit::WindowSelText() const {
  CHARRANGE sel{};
  SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
  std::string s(static_cast<size_t>(std::max<LONG>(sel.cpMax - sel.cpMin, 0)) + 1, '\0');
  const LRESULT n = SendMessageA(handle_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
  return s;
}

TRichEdit::CharAttr TRichEdit::WindowSelectionAttributes() const {
  const CHARFORMAT2A cf = GetFormat(handle_, SCF_SELECTION);
  return CharAttr{static_cast<TColor>(cf.crTextColor), StyleOf(cf)};
}

void TRichEdit::FormatWindowSelection(TColor color, bool setColor, TFontStyles style, bool setStyle) {
  SetFormat(handle_, SCF_SELECTION, color, setColor, style, setStyle);
}

void TRichEdit::WindowCharacters(std::string& text, std::vector<CharAttr>& attrs) const {
  CHARRANGE saved{};
  SendMessageA(handle_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
  text = WindowParagraphText(handle_);
  attrs.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    CHARRANGE cr{static_cast<LONG>(i), static_cast<LONG>(i + 1)};
    SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    attrs.push_back(WindowSelectionAttributes());
  }
  SendMessageA(handle_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
}

bool TUpDown::WindowMessage(TMessage& m) {
  if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == static_cast<UINT>(UDN_DELTAPOS)) {
    const auto* nm = reinterpret_cast<NMUPDOWN*>(m.LParam);
    if (nm->iDelta != 0) Click(nm->iDelta > 0 ? TUDBtnType::btNext : TUDBtnType::btPrev);
    m.Result = 1;  // the layer moved the position itself
    return true;
  }
  if (m.Msg == CN_VSCROLL || m.Msg == CN_HSCROLL) {
    m.Result = 0;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

bool TTrackBar::WindowMessage(TMessage& m) {
  if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
    const int p = static_cast<int>(SendMessageA(handle_, TBM_GETPOS, 0, 0));
    if (p != position_) {
      position_ = p;
      Changed();
    }
    m.Result = 0;
    return true;
  }
  return TWinControl::WindowMessage(m);
}

}  // namespace gui
