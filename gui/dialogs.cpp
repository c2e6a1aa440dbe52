#include "gui/dialogs.h"

#include <algorithm>
#include <vector>

#include "gui/forms.h"

namespace gui {

std::function<bool(TCommonDialog& dialog)> TCommonDialog::HeadlessDriver;

size_t LongestFullName(std::string_view folder, std::string_view box, size_t bare_name_extra) {
  std::vector<std::string_view> names;
  for (size_t open = box.find('"'); open != std::string_view::npos; open = box.find('"', open)) {
    const size_t close = box.find('"', open + 1);
    const size_t end = close == std::string_view::npos ? box.size() : close;
    names.push_back(box.substr(open + 1, end - open - 1));
    if (close == std::string_view::npos) break;
    open = close + 1;
  }
  if (names.empty() && !box.empty()) names.push_back(box);
  const bool folder_ends_in_separator = !folder.empty() && folder.back() == '\\';
  size_t longest = 0;
  for (const std::string_view name : names) {
    size_t n = name.size();
    if (name.size() >= 2 && name[1] == ':')
      ;  // a drive and its path: taken whole
    else if (!name.empty() && name[0] == '\\')
      n += 2;
    else
      n += folder.size() + (folder_ends_in_separator ? 0 : 1);
    const size_t last = name.find_last_of("\\:");
    const std::string_view last_part = last == std::string_view::npos ? name : name.substr(last + 1);
    if (last_part.find('.') == std::string_view::npos) n += bare_name_extra;
    longest = std::max(longest, n);
  }
  return longest;
}

HWND TCommonDialog::OwnerWindow() const {
  TCustomForm* f = Screen->ActiveForm();
  if (!f) f = Application->MainForm();
  return f && f->HandleAllocated() ? f->WindowHandle() : nullptr;
}

}  // namespace gui
