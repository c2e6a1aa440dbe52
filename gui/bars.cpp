#include "gui/bars.h"

#include <algorithm>

#include "gui/imglist.h"
#include "gui/menus.h"

namespace gui {

// ============================== TToolButton ==============================

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks;
  width_ = 23;
  height_ = 22;
}

TToolButton::~TToolButton() {
  if (TToolBar* bar = ToolBar()) bar->RemoveButton(this);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(parent_); }

void TToolButton::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (TToolBar* old = ToolBar()) old->RemoveButton(this);
  TGraphicControl::SetParent(parent);
  if (TToolBar* bar = ToolBar()) bar->AddButton(this);
}

int TToolButton::Index() const {
  TToolBar* bar = ToolBar();
  if (!bar) return -1;
  auto it = std::find(bar->buttons_.begin(), bar->buttons_.end(), this);
  return it == bar->buttons_.end() ? -1 : static_cast<int>(it - bar->buttons_.begin());
}

void TToolButton::WndProc(TMessage& m) {
  TGraphicControl::WndProc(m);
  if ((m.Msg == CM_TEXTCHANGED || m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_VISIBLECHANGED) && ToolBar())
    ToolBar()->ButtonChanged(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(dropdownMenu_))
    dropdownMenu_ = nullptr;
}

void TToolButton::SetStyle(TToolButtonStyle s) {
  if (s == style_) return;
  style_ = s;
  if (s == TToolButtonStyle::tbsSeparator || s == TToolButtonStyle::tbsDivider) width_ = 8;
  if (ToolBar()) ToolBar()->ButtonChanged(this);
}

void TToolButton::SetImageIndex(int i) {
  imageIndex_ = i;
  if (ToolBar()) ToolBar()->ButtonChanged(this);
}

void TToolButton::SetDown(bool v) {
  if (v == down_) return;
  down_ = v;
  TToolBar* bar = ToolBar();
  if (v && grouped_ && style_ == TToolButtonStyle::tbsCheck && bar) {
    // The group: the grouped check buttons next to this one on either side.
    const int i = Index();
    auto release = [&](int step) {
      for (int k = i + step; k >= 0 && k < bar->ButtonCount(); k += step) {
        TToolButton* o = bar->Buttons(k);
        if (!o->grouped_ || o->style_ != TToolButtonStyle::tbsCheck) break;
        if (o->down_) {
          o->down_ = false;
          bar->ButtonStateToWindow(o);
        }
      }
    };
    release(-1);
    release(+1);
  }
  if (bar) bar->ButtonStateToWindow(this);
}

void TToolButton::SetDropdownMenu(TPopupMenu* m) {
  dropdownMenu_ = m;
  if (m) FreeNotification(m);
}

void TToolButton::Click() {
  if (style_ == TToolButtonStyle::tbsCheck) {
    if (!down_)
      SetDown(true);
    else if (!grouped_ || allowAllUp_)
      SetDown(false);
  }
  TGraphicControl::Click();
}

// ============================== TToolBar ==============================

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csAcceptsControls | csClickEvents | csDoubleClicks;
  align_ = TAlign::alTop;
  width_ = 150;
  height_ = 29;
}

TToolBar::~TToolBar() { buttons_.clear(); }

void TToolBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "ToolbarWindow32";
  p.OwnClass = false;
  p.Style |= 0x0004 | 0x0008 | 0x0040;  // CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER
  if (flat_) p.Style |= 0x0800;          // TBSTYLE_FLAT
  if (showCaptions_) p.Style |= 0x1000;  // TBSTYLE_LIST: captions beside the images
}

void TToolBar::InitializeWindow() { ButtonsToWindow(); }

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == static_cast<TComponent*>(images_)) {
    images_ = nullptr;
    ButtonsToWindow();
  }
}

void TToolBar::AddButton(TToolButton* b) {
  if (std::find(buttons_.begin(), buttons_.end(), b) != buttons_.end()) return;
  // A button placed at a position goes before the first button to its right (a new one at the end).
  auto it = buttons_.end();
  if (b->Left() > 0)
    it = std::find_if(buttons_.begin(), buttons_.end(), [b](TToolButton* o) { return o->Left() > b->Left(); });
  buttons_.insert(it, b);
  LayoutButtons();
  ButtonsToWindow();
}

void TToolBar::RemoveButton(TToolButton* b) {
  auto it = std::find(buttons_.begin(), buttons_.end(), b);
  if (it == buttons_.end()) return;
  buttons_.erase(it);
  LayoutButtons();
  ButtonsToWindow();
}

void TToolBar::ButtonChanged(TToolButton*) {
  if (layingOut_) return;
  LayoutButtons();
  ButtonsToWindow();
}

TRect TToolBar::ButtonRect(int i) const {
  if (TRect r; WindowButtonRect(i, r)) return r;
  int x = indent_;
  for (int k = 0; k < ButtonCount(); ++k) {
    const TToolButton* b = buttons_[static_cast<size_t>(k)];
    if (!b->Visible() && k != i) continue;
    const bool sep = b->style_ == TToolButtonStyle::tbsSeparator || b->style_ == TToolButtonStyle::tbsDivider;
    int w = sep ? b->Width() : buttonWidth_;
    if (b->style_ == TToolButtonStyle::tbsDropDown) w += 12;  // the arrow part
    if (k == i) return TRect{x, 0, x + w, buttonHeight_};
    x += w;
  }
  return TRect{};
}

void TToolBar::LayoutButtons() {
  layingOut_ = true;
  for (int i = 0; i < ButtonCount(); ++i) buttons_[static_cast<size_t>(i)]->SetBoundsRect(ButtonRect(i));
  layingOut_ = false;
}

TToolButton* TToolBar::ButtonAt(int x, int y) const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (buttons_[static_cast<size_t>(i)]->Visible() && ButtonRect(i).Contains(TPoint{x, y}))
      return buttons_[static_cast<size_t>(i)];
  return nullptr;
}

TToolButton* TToolBar::FromCommand(int id) const {
  const int i = id - 1;  // command ids are the indexes plus one
  return i >= 0 && i < ButtonCount() ? buttons_[static_cast<size_t>(i)] : nullptr;
}

void TToolBar::SetImages(TCustomImageList* list) {
  if (list == images_) return;
  images_ = list;
  if (list) FreeNotification(list);
  ButtonsToWindow();
}

void TToolBar::SetButtonWidth(int w) {
  buttonWidth_ = std::max(w, 0);
  LayoutButtons();
  ButtonsToWindow();
}

void TToolBar::SetButtonHeight(int h) {
  buttonHeight_ = std::max(h, 0);
  LayoutButtons();
  ButtonsToWindow();
}

void TToolBar::SetShowCaptions(bool v) {
  if (v == showCaptions_) return;
  showCaptions_ = v;
  RecreateWnd();
}

void TToolBar::SetFlat(bool v) {
  if (v == flat_) return;
  flat_ = v;
  RecreateWnd();
}

void TToolBar::SetIndent(int v) {
  indent_ = std::max(v, 0);
  LayoutButtons();
  ButtonsToWindow();
}

// ============================== Status bar ==============================

void TStatusPanel::SetText(const std::string& s) {
  if (s == text_) return;
  text_ = s;
  if (owner_) owner_->PanelTextChanged(Index());
}
void TStatusPanel::SetWidth(int w) {
  width_ = std::max(w, 0);
  if (owner_) owner_->PanelsChanged();
}
void TStatusPanel::SetAlignment(TAlignment a) {
  alignment_ = a;
  if (owner_) owner_->PanelTextChanged(Index());
}
void TStatusPanel::SetStyle(TStatusPanelStyle s) {
  style_ = s;
  if (owner_) owner_->PanelTextChanged(Index());
}
void TStatusPanel::SetBevel(TStatusPanelBevel b) {
  bevel_ = b;
  if (owner_) owner_->PanelTextChanged(Index());
}

int TStatusPanel::Index() const {
  if (!owner_) return -1;
  const auto& items = owner_->Panels().items_;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

TStatusPanel* TStatusPanels::Add() {
  items_.push_back(std::make_unique<TStatusPanel>());
  items_.back()->owner_ = owner_;
  owner_->PanelsChanged();
  return items_.back().get();
}

void TStatusPanels::Delete(int i) {
  if (i < 0 || i >= Count()) throw EInvalidOperation("List index out of bounds");
  items_.erase(items_.begin() + i);
  owner_->PanelsChanged();
}

void TStatusPanels::Clear() {
  items_.clear();
  owner_->PanelsChanged();
}

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner) {
  controlStyle_ = csCaptureMouse | csClickEvents | csDoubleClicks | csOpaque;
  align_ = TAlign::alBottom;
  color_ = clBtnFace;
  width_ = 150;
  height_ = 19;
}

void TStatusBar::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.WinClassName = "msctls_statusbar32";
  p.OwnClass = false;
  p.Style |= 0x0004 | 0x0008;         // CCS_NORESIZE | CCS_NOPARENTALIGN: the layer places the bar
  if (sizeGrip_) p.Style |= 0x0100;   // SBARS_SIZEGRIP
}

void TStatusBar::InitializeWindow() { PartsToWindow(); }

void TStatusBar::SetSimplePanel(bool v) {
  if (v == simplePanel_) return;
  simplePanel_ = v;
  PartsToWindow();
}

void TStatusBar::SetSimpleText(const std::string& s) {
  simpleText_ = s;
  if (simplePanel_) PartsToWindow();
}

void TStatusBar::SetSizeGrip(bool v) {
  if (v == sizeGrip_) return;
  sizeGrip_ = v;
  RecreateWnd();
}

void TStatusBar::PanelsChanged() { PartsToWindow(); }

void TStatusBar::PanelTextChanged(int i) { PanelTextToWindow(i); }

void TStatusBar::BoundsChanged(bool sizeChanged) {
  TWinControl::BoundsChanged(sizeChanged);
  if (sizeChanged) PartsToWindow();
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& r) {
  if (OnDrawPanel) {
    OnDrawPanel(this, panel, r);
    return;
  }
  canvas_.Brush().Style = TBrushStyle::bsSolid;
  canvas_.Brush().Color = color_;
  canvas_.FillRect(r);
}

TRect TStatusBar::PanelRect(int i) const {
  const int n = simplePanel_ ? 1 : panels_.Count();
  if (i < 0 || i >= n) return TRect{};
  TRect r;
  if (WindowPanelRect(i, r)) return r;
  const int w = ClientWidth();
  if (simplePanel_) return TRect{0, 2, w, height_};
  int left = 0;
  for (int k = 0; k < i; ++k) left += panels_.Items(k)->Width();
  const int right = i == n - 1 ? w : left + panels_.Items(i)->Width();
  return TRect{std::min(left, w), 2, std::min(std::max(right, left), w), height_};
}

}  // namespace gui
