// The commands of the edit's right-click menu and their enabled states (portable).
#include "skin/adapters/edit_menu.h"

namespace skin {

namespace {

// The messages of the edit's menu commands (the system's own item numbers).
constexpr uint32_t kUndo = 0x0304;       // WM_UNDO
constexpr uint32_t kCut = 0x0300;        // WM_CUT
constexpr uint32_t kCopy = 0x0301;       // WM_COPY
constexpr uint32_t kPaste = 0x0302;      // WM_PASTE
constexpr uint32_t kDelete = 0x0303;     // WM_CLEAR
constexpr uint32_t kSelectAll = 0x00B1;  // EM_SETSEL

}  // namespace

std::vector<EditMenuEntry> EditMenuEntries(const EditMenuState& s, const std::vector<EditMenuEntry>& SystemTexts) {
  const bool selection = s.SelStart != s.SelEnd;
  std::vector<EditMenuEntry> entries = {
      {kUndo, "&Undo", s.CanUndo && !s.ReadOnly},
      {0, "-", true},
      {kCut, "Cu&t", selection && !s.Password && !s.ReadOnly},
      {kCopy, "&Copy", selection && !s.Password},
      {kPaste, "&Paste", s.ClipboardHasText && !s.ReadOnly},
      {kDelete, "&Delete", selection && !s.ReadOnly},
      {0, "-", true},
      {kSelectAll, "Select &All", s.TextLength > 0 && (s.SelStart != 0 || s.SelEnd != s.TextLength)},
  };
  for (EditMenuEntry& e : entries) {
    if (e.Command == 0) continue;
    for (const EditMenuEntry& t : SystemTexts)
      if (t.Command == e.Command && !t.Caption.empty()) e.Caption = t.Caption;
  }
  return entries;
}

}  // namespace skin
