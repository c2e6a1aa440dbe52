#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "platform/shell.h"

namespace platform {
namespace {

class Win32Shell final : public Shell {
 public:
  intptr_t Execute(void* owner, const std::string& document, const std::string& parameters,
                   const std::string& directory, int showMode) override {
    return reinterpret_cast<intptr_t>(ShellExecuteA(static_cast<HWND>(owner), nullptr, document.c_str(),
                                                    parameters.empty() ? nullptr : parameters.c_str(),
                                                    directory.empty() ? nullptr : directory.c_str(), showMode));
  }
  bool IsDangerous(const std::string& document) override {
    // The kind is the extension of the file name (after the last dot that follows the last separator).
    const size_t separator = document.find_last_of("\\/:");
    const size_t dot = document.rfind('.');
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return false;
    const std::string extension = document.substr(dot);
    const int n = MultiByteToWideChar(CP_ACP, 0, extension.c_str(), -1, nullptr, 0);
    if (n <= 0) return false;
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, extension.c_str(), -1, w.data(), n);
    return AssocIsDangerous(w.c_str()) != FALSE;
  }
};

}  // namespace

Shell& systemShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace platform
