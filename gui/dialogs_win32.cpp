// The Win32 half of the common dialogs: the system's open, save and font dialogs, owned by the active form.
#include "gui/dialogs.h"

#include <commdlg.h>
// after the dialogs' header, which brings what it needs
#include <cderr.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gui/forms.h"

namespace gui {

namespace {

// The watch over one open or save dialog of this thread: a window-creation hook finds the dialog's window as it
// is made, and a subclass of that window looks at the OK command before the dialog's own handler does. Under
// Wine that handler joins the folder and the name box's text in a buffer of MAX_PATH characters, and a longer
// name overruns it (and the program ends): such a choice is refused here, with a message over the dialog.
struct DialogWatch {
  std::string message;
  size_t bare_name_extra = 0;
  HWND dialog = nullptr;
  WNDPROC previous = nullptr;
  HHOOK hook = nullptr;
};
thread_local DialogWatch* watch = nullptr;

std::string TextOf(HWND dialog, UINT message) {
  const LRESULT n = SendMessageA(dialog, message, 0, 0);
  if (n <= 1) return std::string();
  std::vector<char> text(size_t(n) + 1, '\0');
  SendMessageA(dialog, message, WPARAM(text.size()), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

LRESULT CALLBACK WatchedDialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  DialogWatch* w = watch;
  if (w == nullptr || w->dialog != h) return DefDlgProcW(h, msg, wp, lp);  // not reached: the watch outlives it
  const WNDPROC previous = w->previous;
  if (msg == WM_COMMAND && LOWORD(wp) == IDOK) {
    bool too_long = true;  // a name that could not be measured is not handed on
    try {
      too_long = LongestFullName(TextOf(h, CDM_GETFOLDERPATH), TextOf(h, CDM_GETSPEC), w->bare_name_extra) >
                 LongestFileName;
    } catch (...) {
    }
    if (too_long) {
      char caption[256] = {};
      GetWindowTextA(h, caption, int(sizeof(caption)));
      MessageBoxA(h, w->message.c_str(), caption, MB_OK | MB_ICONWARNING);
      return 0;
    }
  } else if (msg == WM_NCDESTROY) {
    // Given back only while it is still this one's: a subclass made after it gives back to it in its turn.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC)) == WatchedDialogProc)
      SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    w->dialog = nullptr;
  }
  return CallWindowProcW(previous, h, msg, wp, lp);
}

LRESULT CALLBACK WatchCreation(int code, WPARAM wp, LPARAM lp) {
  DialogWatch* w = watch;
  if (w != nullptr && code == HCBT_CREATEWND && w->previous == nullptr) {
    const HWND h = reinterpret_cast<HWND>(wp);
    const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lp)->lpcs;
    char name[16] = {};
    GetClassNameA(h, name, int(sizeof(name)));
    // The dialog is the first top-level dialog window made while it is shown.
    if (std::strcmp(name, "#32770") == 0 && (cs->style & WS_CHILD) == 0) {
      w->dialog = h;
      w->previous = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchedDialogProc)));
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// The characters that the dialog adds to a name without extension: a dot and the default extension, or the
// filter's when it names one (counted at the longest).
size_t BareNameExtra(const std::string& default_ext, const std::string& filter) {
  if (default_ext.empty()) return 0;
  size_t longest = default_ext.size();
  size_t start = 0;
  while (start <= filter.size()) {
    size_t end = filter.find_first_of("|;", start);
    if (end == std::string::npos) end = filter.size();
    const std::string part = filter.substr(start, end - start);
    const size_t dot = part.find('.');
    if (dot != std::string::npos) longest = std::max(longest, part.size() - dot - 1);
    start = end + 1;
  }
  return 1 + longest;
}

}  // namespace

bool TOpenDialog::Execute() {
  // The filter's "|" separators become the NULs the system wants, the list ends with two NULs.
  std::vector<char> filter(Filter.begin(), Filter.end());
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  filter.push_back('\0');
  // Room for any full name the system gives (32767 characters and the NUL).
  std::vector<char> file(32768, '\0');
  // An initial name or folder too long for the dialog's own buffers is left out (the dialog adds "\*" to a
  // folder before it looks at it).
  if (FileName.size() <= LongestFileName) std::strncpy(file.data(), FileName.c_str(), file.size() - 1);
  const bool initial_dir = !InitialDir.empty() && InitialDir.size() + 2 <= LongestFileName;
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initial_dir ? InitialDir.c_str() : nullptr;
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (IsSave() ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  Application->CancelHint();
  DialogWatch w;
  w.message = LongNameMessage;
  w.bare_name_extra = BareNameExtra(DefaultExt, Filter);
  DialogWatch* const outer = watch;
  watch = &w;
  w.hook = SetWindowsHookExA(WH_CBT, WatchCreation, nullptr, GetCurrentThreadId());
  const BOOL ok = IsSave() ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  const DWORD error = ok ? 0 : CommDlgExtendedError();
  if (w.hook) UnhookWindowsHookEx(w.hook);
  watch = outer;
  if (!ok) {
    // A name longer than the buffer (the system then gives back only the length it needed).
    if (error == FNERR_BUFFERTOOSMALL) MessageBoxA(ofn.hwndOwner, LongNameMessage.c_str(), nullptr, MB_OK | MB_ICONWARNING);
    return false;
  }
  std::string chosen = file.data();
  // Several names typed in the box come back as the folder, then each name after its own NUL: the first is
  // the choice.
  if (ofn.nFileOffset > chosen.size() && ofn.nFileOffset < file.size()) {
    const std::string first = file.data() + ofn.nFileOffset;
    if (first.size() >= 2 && (first[1] == ':' || first[0] == '\\'))
      chosen = first;
    else if (!first.empty())
      chosen += (chosen.empty() || chosen.back() == '\\' ? "" : "\\") + first;
  }
  FileName = chosen;
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

bool TFontDialog::Execute() {
  LOGFONTA lf{};
  lf.lfHeight = font_.Height();
  lf.lfWeight = (font_.Style() & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (font_.Style() & fsItalic) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(font_.Charset());
  std::strncpy(lf.lfFaceName, font_.Name().c_str(), LF_FACESIZE - 1);
  CHOOSEFONTA cf{};
  cf.lStructSize = sizeof(cf);
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
  cf.rgbColors = ColorRef(font_.Color());
  if (!ChooseFontA(&cf)) return false;
  font_.SetName(lf.lfFaceName);
  font_.SetHeight(lf.lfHeight);
  TFontStyles s = 0;
  if (lf.lfWeight >= FW_BOLD) s |= fsBold;
  if (lf.lfItalic) s |= fsItalic;
  if (lf.lfUnderline) s |= fsUnderline;
  if (lf.lfStrikeOut) s |= fsStrikeOut;
  font_.SetStyle(s);
  font_.SetColor(static_cast<TColor>(cf.rgbColors));
  return true;
}

}  // namespace gui
