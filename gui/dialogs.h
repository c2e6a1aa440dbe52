#pragma once
// The system's file and font dialogs. Execute shows the dialog modally (GetOpenFileName, GetSaveFileName,
// ChooseFont) and answers true when the user confirmed. In the native build `TCommonDialog::HeadlessDriver`
// answers in the user's place (it may fill FileName or Font and returns the confirmation); without one,
// Execute answers false, as a cancelled dialog.
#include <functional>
#include <string>

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
