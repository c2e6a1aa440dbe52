#pragma once
// The shell seam: hands a document to the shell's default action for it (ShellExecuteA with no verb), and
// asks the system whether a kind of document is dangerous to open.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The show mode SW_SHOWNORMAL of ShellExecuteA.
inline constexpr int kShowNormal = 1;

// A program that the shell started to show a document.
class ShownBy {
 public:
  virtual ~ShownBy() = default;
  // True once the program has ended, with its exit code.
  virtual bool Ended(uint32_t& exitCode) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // owner: the owner window (an HWND, may be null). The result is the shell's (above 32 when it worked).
  virtual intptr_t Execute(void* owner, const std::string& document, const std::string& parameters,
                           const std::string& directory, int showMode) = 0;
  // The same default action (no parameters, no directory), handing back in `program` the program the shell
  // started for it, when it started one it can name (ShellExecuteExA): the shell answers success once that
  // program runs, whether or not it then shows the document (under Wine, winebrowser starts and ends with
  // the exit code 1 where the host has no program for pages). Without a program: as Execute.
  virtual intptr_t ExecuteWatched(void* owner, const std::string& document, int showMode,
                                  std::unique_ptr<ShownBy>& program) {
    program.reset();
    return Execute(owner, document, std::string(), std::string(), showMode);
  }
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
  // For ExecuteWatched: the program that shows the document, when one is started (shared with the test, which
  // ends it with its exit code).
  struct Program {
    bool ended = false;
    uint32_t exitCode = 0;
  };
  std::shared_ptr<Program> program;
  intptr_t ExecuteWatched(void* owner, const std::string& document, int showMode,
                          std::unique_ptr<ShownBy>& shown) override {
    struct Shown final : ShownBy {
      std::shared_ptr<Program> p;
      bool Ended(uint32_t& exitCode) override {
        exitCode = p->exitCode;
        return p->ended;
      }
    };
    const intptr_t r = Execute(owner, document, std::string(), std::string(), showMode);
    shown.reset();
    if (program && r > 32) {
      auto s = std::make_unique<Shown>();
      s->p = program;
      shown = std::move(s);
    }
    return r;
  }
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
