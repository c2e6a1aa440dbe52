#include <windows.h>
#include <shellapi.h>

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
};

}  // namespace

Shell& systemShell() {
  static Win32Shell shell;
  return shell;
}

}  // namespace platform
