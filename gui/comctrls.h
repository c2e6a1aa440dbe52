#pragma once
// Common controls: rich edits (RichEdit20A), up-down controls (msctls_updown32) and track bars
// (msctls_trackbar32).
#include <string>
#include <vector>

#include "gui/stdctrls.h"

namespace gui {

class TRichEdit;

// The character attributes of a rich edit's selection, or of what is typed at the caret when nothing is
// selected: setting them formats the selected text and the text inserted next.
class TTextAttributes {
 public:
  explicit TTextAttributes(TRichEdit& owner) : owner_(owner) {}
  TColor Color() const;
  void SetColor(TColor c);
  TFontStyles Style() const;
  void SetStyle(TFontStyles s);

 private:
  TRichEdit& owner_;
};

// One stretch of a rich edit's text with the same attributes.
struct TRichRun {
  std::string Text;
  TColor Color = clBlack;
  TFontStyles Style = 0;
  friend bool operator==(const TRichRun&, const TRichRun&) = default;
};

// A rich edit. As in the system control, the text is held with one character per paragraph end: Text gives
// CR LF line ends, while SelStart, SelLength and GetTextLen count a line end as one character. A position
// beyond the end means the end.
class TRichEdit : public TCustomMemo {
 public:
  explicit TRichEdit(TComponent* AOwner);
  GUI_CLASS_NAME("TRichEdit")

  TTextAttributes& SelAttributes() { return selAttributes_; }
  // The text length in selection positions.
  int GetTextLen() const override;
  std::string SelText() const override;
  // The text as stretches of equal attributes, in order (Text of each with CR LF line ends).
  std::vector<TRichRun> Runs() const;

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  void FinalizeWindow() override;
  std::string GetText() const override;
  void DefaultHandler(TMessage& m) override;

 private:
  friend class TTextAttributes;
  struct CharAttr {
    TColor color;
    TFontStyles style;
    bool operator==(const CharAttr&) const = default;
  };
  TColor SelColor() const;
  TFontStyles SelStyle() const;
  void SetSelColor(TColor c);
  void SetSelStyle(TFontStyles s);
  void ClampRich();
  static std::string ToParagraphs(const std::string& s);
  static std::string ToCrLf(const std::string& paragraphs);
  // ---- Window side (comctrls_win32.cpp; comctrls_posix.cpp natively) ----
  // The window's text length in selection positions, its selected text (one CR per paragraph end), the
  // attributes of its selection, and its text with the attributes of each character (the selection is left
  // where it was).
  int WindowTextLength() const;
  std::string WindowSelText() const;
  CharAttr WindowSelectionAttributes() const;
  void FormatWindowSelection(TColor color, bool setColor, TFontStyles style, bool setStyle);
  void WindowCharacters(std::string& text, std::vector<CharAttr>& attrs) const;
  std::string rtext_;                // native text, CR per paragraph end
  std::vector<CharAttr> attrs_;      // one per character of rtext_
  CharAttr insertAttr_{clWindowText, 0};
  TTextAttributes selAttributes_{*this};
};

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

// An up-down control. Each press of an arrow (mouse, arrow key, or Click from code) moves Position by
// Increment within Min..Max (wrapping when Wrap) and fires OnClick with the arrow, also when Position is
// already at its limit.
class TUpDown : public TWinControl {
 public:
  explicit TUpDown(TComponent* AOwner);
  GUI_CLASS_NAME("TUpDown")

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  // Clamps to Min..Max; fires no event.
  void SetPosition(int v);
  int Increment() const { return increment_; }
  void SetIncrement(int v) { increment_ = v; }
  bool Wrap() const { return wrap_; }
  void SetWrap(bool v) { wrap_ = v; }
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation o);
  // A press of the arrow `button`.
  void Click(TUDBtnType button);
  using TWinControl::Click;

  TUDClickEvent OnClick;

 protected:
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;

 private:
  void PushRange();
  int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
  bool wrap_ = false;
  TUDOrientation orientation_ = TUDOrientation::udVertical;
};

// A track bar. Position changes (user or code) fire OnChange.
class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* AOwner);
  GUI_CLASS_NAME("TTrackBar")

  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const;
  void SetPosition(int v);
  int Frequency() const { return frequency_; }
  void SetFrequency(int f);
  TTrackBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TTrackBarOrientation o);
  TTickMark TickMarks() const { return tickMarks_; }
  void SetTickMarks(TTickMark t);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle t);

  TNotifyEvent OnChange;

 protected:
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  virtual void Changed();

 private:
  int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1;
  TTrackBarOrientation orientation_ = TTrackBarOrientation::trHorizontal;
  TTickMark tickMarks_ = TTickMark::tmBottomRight;
  TTickStyle tickStyle_ = TTickStyle::tsAuto;
};

}  // namespace gui
