#pragma once
// The shell seam: hands a document to the shell's default action for it (ShellExecuteA with no verb), and
// asks the system whether a kind of document is dangerous to open.
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
  // True when the system counts documents of this one's kind (its extension) among those that can run a
  // program (AssocIsDangerous on Windows); natively none is.
  virtual bool IsDangerous(const std::string& document) = 0;
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
  bool dangerous = false;  // what the system says of every kind of document
  std::vector<std::string> asked;  // the documents whose kind was asked about
  intptr_t Execute(void* owner, const std::string& document, const std::string& parameters,
                   const std::string& directory, int showMode) override {
    requests.push_back({owner, document, parameters, directory, showMode});
    return result;
  }
  bool IsDangerous(const std::string& document) override {
    asked.push_back(document);
    return dangerous;
  }
};

}  // namespace platform
