// skinlint: checks skins with the program's own loader against what the program looks up.
//
//   skinlint PATH...
//
// Each PATH is a skin directory (holding "Options.dat") or a packed skin (".asz", loaded from its folder as the
// program loads one from its skins folder, named after the file). Prints one line per skin that passes (with a note
// per piece of advice) and one line per problem; the exit status is 0 when every skin passes, 1 when any has a
// problem, 2 for a usage error.
#include <filesystem>
#include <system_error>
#include <iostream>

#include "tools/skinlint/lint.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: skinlint SKIN_DIRECTORY_OR_PACKED_SKIN...\n";
    return 2;
  }
  bool failed = false;
  for (int i = 1; i < argc; ++i) {
    const fs::path path = argv[i];
    skinlint::LintResult r;
    if (fs::is_directory(path)) {
      r = skinlint::LintSkinDirectory(path.string());
    } else {
      // Looked at before it is opened: a pipe or a device would hold the open, or the read, for ever.
      std::error_code error;
      if (!fs::is_regular_file(path, error)) {
        std::cerr << "skinlint: cannot read " << path.string()
                  << (fs::exists(path, error) ? ": it is not a regular file" : "") << "\n";
        failed = true;
        continue;
      }
      r = skinlint::LintPackedSkinFile(path.string());
    }
    if (r.problems.empty()) {
      std::cout << "ok   " << r.name << " (version " << r.version << ", " << r.sections << " sections, " << r.images
                << " images)\n";
    } else {
      failed = true;
      std::cout << "FAIL " << r.name << ": " << r.problems.size() << " problem(s)\n";
      for (const std::string& p : r.problems) std::cout << "     " << r.name << ": " << p << "\n";
    }
    for (const std::string& a : r.advice) std::cout << "note " << r.name << ": " << a << "\n";
  }
  return failed ? 1 : 0;
}
