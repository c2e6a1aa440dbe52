// The Win32 half of the common dialogs: the system's open, save and font dialogs, owned by the active form.
#include "gui/dialogs.h"

#include <commdlg.h>

#include <cstring>
#include <vector>

#include "gui/forms.h"

namespace gui {

bool TOpenDialog::Execute() {
  // The filter's "|" separators become the NULs the system wants, the list ends with two NULs.
  std::vector<char> filter(Filter.begin(), Filter.end());
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  filter.push_back('\0');
  std::vector<char> file(32768, '\0');
  std::strncpy(file.data(), FileName.c_str(), file.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.data();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (IsSave() ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  Application->CancelHint();
  const BOOL ok = IsSave() ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  FileName = file.data();
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
