#pragma once
// The shell seam: hands a document to the shell's default action for it (ShellExecuteA with no verb).
#include <string>
#include <vector>

namespace platform {

// The show mode SW_SHOWNORMAL of ShellExecuteA.
inline constexpr int kShowNormal = 1;

class Shell {
 public:
  virtual ~Shell() = default;
  // owner: the owner window (an HWND, may be null). The result is the shell's (above 32 when it worked).
  virtual intptr_t Execute(void* owner, const std::string& document, const std::string& parameters,
                           const std::string& directory, int showMode) = 0;
};

// The operating system's (natively: nothing is opened and 0 is answered).
Shell& systemShell();

// A shell for tests: keeps each request.
class RecordingShell final : public Shell {
 public:
  struct Request {
    void* owner;
    std::string document, parameters, directory;
    int showMode;
  };
  std::vector<Request> requests;
  intptr_t result = 42;  // what the shell answers (32 or less: it could not)
  intptr_t Execute(void* owner, const std::string& document, const std::string& parameters,
                   const std::string& directory, int showMode) override {
    requests.push_back({owner, document, parameters, directory, showMode});
    return result;
  }
};

}  // namespace platform
