#pragma once
// Speed buttons (graphic, painted on their parent) and bit buttons (BUTTON, owner-drawn when they carry a glyph).
//
// Speed-button groups: buttons with the same non-zero GroupIndex on the same parent form a group in which at
// most one is down; putting one down (by the mouse or from code) puts the others up. A down button of a group
// goes up only when the group allows all up (AllowAllUp, shared by the group), by a click or from code. A
// GroupIndex of 0 makes a push button that never stays down. A click with the mouse toggles as above and fires
// OnClick (also on a down button that cannot go up); setting Down from code fires nothing.
#include "gui/stdctrls.h"

namespace gui {

enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* AOwner);
  GUI_CLASS_NAME("TSpeedButton")

  bool Down() const { return down_; }
  void SetDown(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int g);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  TBitmap& Glyph() { return glyph_; }
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s);
  TButtonState State() const { return state_; }
  bool MouseInControl() const { return mouseInControl_; }

 protected:
  void WndProc(TMessage& m) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Paint() override;
  void UpdateExclusive();

 private:
  bool down_ = false;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool flat_ = false;
  bool dragging_ = false;
  bool mouseInControl_ = false;
  TButtonState state_ = TButtonState::bsUp;
  TBitmap glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int spacing_ = 4;
};

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* AOwner);
  GUI_CLASS_NAME("TBitBtn")

  TBitmap& Glyph() { return glyph_; }
  // Call after loading or drawing the glyph: the button is owner-drawn while it has one.
  void GlyphChanged();
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind k);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout l);
  int Spacing() const { return spacing_; }
  void SetSpacing(int s) { spacing_ = s; }
  // Distance of the glyph from the edge (-1: centred with the caption).
  int Margin() const { return margin_; }
  void SetMargin(int m) {
    margin_ = m;
    Invalidate();
  }
  // Cells of the glyph strip (up, disabled, pressed, down): 1 to 4.
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n) {
    numGlyphs_ = n < 1 ? 1 : (n > 4 ? 4 : n);
    Invalidate();
  }

 protected:
  void WndProc(TMessage& m) override;
  void CreateParams(TCreateParams& p) override;

 private:
  void DrawItem(void* drawItemStruct);
  TBitmap glyph_;
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
  int numGlyphs_ = 1;
  TCanvas canvas_;
};

}  // namespace gui
