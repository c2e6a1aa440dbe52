#pragma once
// Standard controls: labels (graphic), edits and memos (EDIT), push buttons, check boxes and group boxes
// (BUTTON), combo boxes (COMBOBOX), static texts (STATIC).
//
// Edit text, selection and typing. Positions count characters of the text as it is, a CR LF line end as two.
// A typed character (WM_CHAR) first goes to OnKeyPress, which may change it or swallow it (key 0); what
// remains reaches the edit, which (in the Windows build the EDIT window, natively the layer in the same way)
// inserts it at the caret, deletes with backspace (a CR LF pair as one), starts a new line with CR in a memo,
// respects MaxLength and ReadOnly, and fires OnChange. OnChange fires whenever the text changes, typed or set
// from code; setting the text it already has does nothing.
#include <string>
#include <utility>
#include <vector>

#include "gui/controls.h"
#include "gui/menus.h"

namespace gui {

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);
  GUI_CLASS_NAME("TLabel")

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout l);
  // A label is transparent exactly when its style is not opaque: whoever clears csOpaque (as a skin does) makes it
  // transparent, and SetTransparent sets or clears the style.
  bool Transparent() const { return (controlStyle_ & csOpaque) == 0; }
  void SetTransparent(bool v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* c) { focusControl_ = c; }

 protected:
  void WndProc(TMessage& m) override;
  void Loaded() override;
  void Paint() override;
  void AdjustBounds();
  // Window side: the size the caption takes (measured on the screen; natively with the layer's metrics).
  TPoint MeasureCaption(const std::string& text) const;

 private:
  bool autoSize_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
  // The font's handle changes (TFont::HandleChanges) the caption was last measured with; -1 before it was.
  int64_t measuredFont_ = -1;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
  GUI_CLASS_NAME("TLabel")
};

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  GUI_CLASS_NAME("TEdit")

  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int n);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle b);

  int SelStart() const;
  void SetSelStart(int pos);
  int SelLength() const;
  void SetSelLength(int len);
  virtual std::string SelText() const;
  // Replaces the selection (inserts at the caret when nothing is selected); the caret follows the new text.
  void SetSelText(const std::string& s);
  void SelectAll();
  void Clear() { SetText(std::string()); }
  virtual int GetTextLen() const { return static_cast<int>(Text().size()); }

  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  void FinalizeWindow() override;
  bool TextLivesInWindow() const override { return true; }
  virtual bool Multiline() const { return false; }
  virtual void Change();
  // Native editing of the text (what the EDIT class does).
  virtual void ReplaceSelectionHeadless(const std::string& s, bool limited);
  void ClampSelection();
  // The window's selection: start and length.
  std::pair<int, int> WindowSelection() const;
  // What EM_LIMITTEXT takes for a MaxLength (0: as much as the window holds).
  static WPARAM WindowTextLimit(int maxLength);

  int maxLength_ = 0;
  bool readOnly_ = false;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  int selStart_ = 0;
  int selLength_ = 0;
  bool changeNotified_ = false;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  GUI_CLASS_NAME("TEdit")
};

class TCustomMemo;

// The lines of a memo, read from and written to its text.
class TMemoLines {
 public:
  explicit TMemoLines(TCustomMemo& memo) : memo_(memo) {}
  // A last line end does not start a further line: "a" CR LF "b" has 2 lines, "a" CR LF has 1, "" has 0.
  int Count() const;
  std::string operator[](int i) const;
  std::string Strings(int i) const { return (*this)[i]; }
  // Appends a line (with its CR LF) after the text, starting a new line first when the text does not end with one.
  void Add(const std::string& line);
  void Delete(int i);
  void Clear();
  std::string Text() const;
  void SetText(const std::string& s);

 private:
  std::vector<std::string> Split() const;
  TCustomMemo& memo_;
};

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* AOwner);
  GUI_CLASS_NAME("TMemo")

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle s);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TMemoLines& Lines() { return lines_; }

 protected:
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  bool Multiline() const override { return true; }
  void DefaultHandler(TMessage& m) override;
  // A word-wrapped multi-line edit window breaks its lines at blanks only, as Windows' edit control does (Wine's
  // follows the Unicode line-breaking rules, which find no break in a run such as "...12% ...13% " and cut it
  // in the middle of a number at the window's edge). No effect on another window class.
  void BreakLinesAtBlanks();

  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;

 private:
  TMemoLines lines_{*this};
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
  GUI_CLASS_NAME("TMemo")
};

class TButtonControl : public TWinControl {
 public:
  explicit TButtonControl(TComponent* AOwner);
  GUI_CLASS_NAME("TButtonControl")
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* AOwner);
  GUI_CLASS_NAME("TButton")

  // Pressing the button sets its form's ModalResult to this value (when not mrNone), then fires OnClick.
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult r) { modalResult_ = r; }
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  void Click() override;

 protected:
  void WndProc(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;

 private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

class TCustomCheckBox : public TButtonControl {
 public:
  explicit TCustomCheckBox(TComponent* AOwner);
  GUI_CLASS_NAME("TCheckBox")

  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  // A change fires OnClick (also when set from code).
  void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

 protected:
  void WndProc(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;

 private:
  TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
  TAlignment alignment_ = TAlignment::taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
 public:
  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
  GUI_CLASS_NAME("TCheckBox")
};

class TCustomGroupBox : public TWinControl {
 public:
  explicit TCustomGroupBox(TComponent* AOwner);
  GUI_CLASS_NAME("TGroupBox")
  void AdjustClientRect(TRect& r) const override;

 protected:
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
  GUI_CLASS_NAME("TGroupBox")
};

// Owner-drawn items of a list: the item's height asked (preset to ItemHeight), its drawing on the control's Canvas,
// which is bound to the device context of the request.
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  GUI_CLASS_NAME("TComboBox")

  // The items, each with an optional object.
  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  int ItemIndex() const;
  // Selects an item from code (-1: none); fires no OnChange.
  void SetItemIndex(int i);
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle s);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int n) { dropDownCount_ = n; }
  // The height of an item of an owner-drawn combo (of every item with csOwnerDrawFixed; the preset of
  // OnMeasureItem with csOwnerDrawVariable).
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int h);
  bool OwnerDrawn() const {
    return style_ == TComboBoxStyle::csOwnerDrawFixed || style_ == TComboBoxStyle::csOwnerDrawVariable;
  }
  // Bound to the device context of an item being drawn (unbound otherwise).
  TCanvas& Canvas() { return canvas_; }

  // Fires when the user selects an item (or edits the text of a drop-down combo).
  TNotifyEvent OnChange;
  // Owner-drawn combos: without OnDrawItem an item is drawn as the system would (highlight when selected, text).
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  // What an owner-drawn item request does: OnDrawItem, or the plain look.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);

 protected:
  void WndProc(TMessage& m) override;
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  void InitializeWindow() override;
  void FinalizeWindow() override;
  std::string GetText() const override;
  virtual void Change();

 private:
  void ItemsChanged();
  void ItemsToWindow();
  // The reflected owner-draw requests (Windows): the canvas bound to the item's DC around DrawItem.
  void DrawItemRequest(void* DrawItemStruct);
  void MeasureItemRequest(void* MeasureItemStruct);
  // The plain look of an item on the bound canvas: the highlight when selected, the text, the focus rectangle.
  void DrawDefaultItem(int Index, const TRect& Rect, TOwnerDrawState State);
  TStrings items_;
  int itemIndex_ = -1;
  TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
  int dropDownCount_ = 8;
  int itemHeight_ = 16;
  TCanvas canvas_;
};

class TComboBox : public TCustomComboBox {
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
  GUI_CLASS_NAME("TComboBox")
};

// A windowed text on the "STATIC" class: aligned, with no border, a single line (WS_BORDER) or a sunken edge
// (SS_SUNKEN), transparent or filled with Color, '&' marking the accelerator unless ShowAccelChar is off.
// A CM_DIALOGCHAR carrying its accelerator (WParam the key) focuses FocusControl and answers 1.
class TCustomStaticText : public TWinControl {
 public:
  explicit TCustomStaticText(TComponent* AOwner);
  GUI_CLASS_NAME("TStaticText")

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TStaticBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TStaticBorderStyle b);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* c);

 protected:
  void WndProc(TMessage& m) override;
  bool WindowMessage(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;
  bool TextLivesInWindow() const override { return true; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TStaticBorderStyle borderStyle_ = TStaticBorderStyle::sbsNone;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TStaticText : public TCustomStaticText {
 public:
  explicit TStaticText(TComponent* AOwner) : TCustomStaticText(AOwner) {}
  GUI_CLASS_NAME("TStaticText")
};

// The accelerator of a caption ('&' before it, "&&" standing for '&'), upper-cased; 0 without one.
char CaptionAccelerator(const std::string& Caption);

}  // namespace gui
