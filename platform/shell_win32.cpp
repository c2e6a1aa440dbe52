#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "platform/shell.h"

namespace platform {
namespace {

class Win32Program final : public ShownBy {
 public:
  explicit Win32Program(HANDLE h) : h_(h) {}
  ~Win32Program() override { ::CloseHandle(h_); }
  bool Ended(uint32_t& exitCode) override {
    if (::WaitForSingleObject(h_, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    if (!::GetExitCodeProcess(h_, &code)) return false;
    exitCode = code;
    return true;
  }

 private:
  HANDLE h_;
};

class Win32Shell final : public Shell {
 public:
  intptr_t ExecuteWatched(void* owner, const std::string& document, int showMode,
                          std::unique_ptr<ShownBy>& program) override {
    program.reset();
    SHELLEXECUTEINFOA i{};
    i.cbSize = sizeof i;
    i.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    i.hwnd = static_cast<HWND>(owner);
    i.lpFile = document.c_str();
    i.nShow = showMode;
    const BOOL ok = ::ShellExecuteExA(&i);
    if (i.hProcess != nullptr) program = std::make_unique<Win32Program>(i.hProcess);
    const intptr_t r = reinterpret_cast<intptr_t>(i.hInstApp);
    if (ok) return r > 32 ? r : 33;
    if (r > 0 && r <= 32) return r;
    // The shell's answers of ShellExecuteA for the errors it sets instead.
    switch (::GetLastError()) {
      case ERROR_FILE_NOT_FOUND: return SE_ERR_FNF;
      case ERROR_PATH_NOT_FOUND: return SE_ERR_PNF;
      case ERROR_ACCESS_DENIED: return SE_ERR_ACCESSDENIED;
      case ERROR_NO_ASSOCIATION: return SE_ERR_NOASSOC;
      default: return 0;
    }
  }
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
