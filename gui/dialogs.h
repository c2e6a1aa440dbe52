#pragma once
// The system's file and font dialogs. Execute shows the dialog modally (GetOpenFileName, GetSaveFileName,
// ChooseFont) and answers true when the user confirmed. In the native build `TCommonDialog::HeadlessDriver`
// answers in the user's place (it may fill FileName or Font and returns the confirmation); without one,
// Execute answers false, as a cancelled dialog.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "gui/graphics.h"

namespace gui {

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  GUI_CLASS_NAME("TCommonDialog")
  virtual bool Execute() = 0;
  static std::function<bool(TCommonDialog& dialog)> HeadlessDriver;

 protected:
  HWND OwnerWindow() const;
};

// The open and save dialogs take a file whose full name has at most LongestFileName characters (MAX_PATH
// less its NUL): the longest name that the system's dialog builds without harm (Wine's builds it in buffers of
// MAX_PATH characters, which a longer one overruns) and that the program's ANSI file calls open on Windows.
// A longer choice is refused over the dialog with LongNameMessage, and the dialog stays open for another;
// an initial FileName or InitialDir too long for the dialog is left out (it opens in its usual folder).
inline constexpr size_t LongestFileName = 259;

// The longest full name that the dialog makes of what its name box holds, in the folder it shows: each name
// of the box (each quoted part, or the whole text when none is quoted) is taken whole when it starts with a
// drive ("C:..."), after the current drive's two characters when it starts with "\" (a root or a network
// path), and else after the folder and a "\". A name whose last part has no extension counts
// `bare_name_extra` characters more (the extension that the dialog then adds). 0 for an empty box.
size_t LongestFullName(std::string_view folder, std::string_view box, size_t bare_name_extra = 0);

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  GUI_CLASS_NAME("TOpenDialog")

  std::string FileName;
  // "description|pattern|description|pattern..." as in the class library.
  std::string Filter;
  int FilterIndex = 1;
  std::string InitialDir;
  std::string Title;
  std::string DefaultExt;
  // Shown over the dialog when the chosen file's full name is longer than LongestFileName.
  std::string LongNameMessage =
      "The full name of the chosen file (its folders and its name) has more than 259 characters.\r\n"
      "Choose a file whose full name is shorter, or move the file into a shorter folder.";
  bool Execute() override;

 protected:
  virtual bool IsSave() const { return false; }
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  GUI_CLASS_NAME("TSaveDialog")

 protected:
  bool IsSave() const override { return true; }
};

class TFontDialog : public TCommonDialog {
 public:
  explicit TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  GUI_CLASS_NAME("TFontDialog")
  TFont& Font() { return font_; }
  bool Execute() override;

 private:
  TFont font_;
};

}  // namespace gui
