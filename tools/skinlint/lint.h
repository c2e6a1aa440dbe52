#pragma once
// skinlint's checks: a skin is loaded with the program's own loader (a skin the program refuses gets the program's
// message, word for word, and nothing else), then checked against what the program's painters, adapters and
// providers look up: the sections and images they name (with the states they paint), rectangles that lie inside
// their bitmaps, masks whose borders fit their states, a version in the range the library reads without a notice,
// and no text value that the loader would take for an image; then what the skin shows an operator (look.h):
// readable text, visible states, title buttons marked at rest, ornaments off the controls' content.
#include <string>
#include <vector>

namespace skinlint {

struct LintResult {
  std::string name;                  // the skin's name
  double version = 0;
  int sections = 0, images = 0;
  std::vector<std::string> problems;  // one clear sentence each; none: the skin is fit for the program
  // What the program draws as the skin has it, though the skin's author may not have meant it so: an image of fewer
  // states than its painter draws (every later state shows its last one), a title button without an image (drawn 21
  // pixels wide and blank). Advice only: the skin passes.
  std::vector<std::string> advice;
};

// A skin directory (holding "Options.dat").
LintResult LintSkinDirectory(const std::string& directory);
// A packed skin container, loaded as a stored skin of that name.
LintResult LintPackedSkin(const std::string& bytes, const std::string& name);
// A packed skin file, loaded from its folder as the program loads one from its skins folder (its name is the
// file's without the extension).
LintResult LintPackedSkinFile(const std::string& file);

// What the program looks up: sections by name, and images of sections (found through PARENTCLASS) with the
// number of states their painters draw (an image of fewer is advised of, not refused).
struct RequiredImage {
  const char* section;
  const char* key;
  int states;
};
const std::vector<std::string>& RequiredSections();
const std::vector<RequiredImage>& RequiredImages();

}  // namespace skinlint
