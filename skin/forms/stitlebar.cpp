#include "skin/forms/stitlebar.h"

#include <algorithm>

#include "skin/manager/skinchange.h"
#include "skin/manager/skincommands.h"
#include "skin/forms/border_form.h"
#include "skin/forms/form_window.h"
#include "skin/forms/sskinprovider.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

namespace {

constexpr uint32_t kMenuKey = 0x00FF00FF;

bool FormLoading(const gui::TCustomForm* form) { return form == nullptr || form->IsLoading(); }

TsSkinProvider* ProviderOfBar(const TsTitleBar& bar) {
  if (bar.Form() == nullptr || bar.Form()->IsDestroying()) return nullptr;
  auto* p = dynamic_cast<TsSkinProvider*>(FormProvider(bar.Form()));
  return (p && p->TitleBar() == &bar) ? p : nullptr;
}

void SendTitleChanged(gui::TCustomForm& form) {
  SendFormMessage(form, WM_SKINCOMMAND, SkinCommandWParam(AC_TITLECHANGED), 1);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Font data.

TacFontData::TacFontData(TacTitleBarItem& item) : item_(&item) {}

void TacFontData::SetFlag(int index, bool value) {
  if (flags_[size_t(index)] == value) return;
  flags_[size_t(index)] = value;
  gui::TCustomForm* form = item_->Bar().Form();
  if (form && !FormLoading(form)) SendTitleChanged(*form);
}

bool& TitleItemsDefaultCharset() {
  static bool on = false;
  return on;
}

const gui::TFont& TacFontData::WorkFont() {
  gui::TFont sys;
  CaptionFont(sys);
  work_.Assign(sys);
  if (!UseSysColor()) work_.SetColor(font_.Color());
  if (!UseSysFontName()) work_.SetName(font_.Name());
  if (!UseSysSize()) work_.SetHeight(font_.Height());
  if (!UseSysStyle()) work_.SetStyle(font_.Style());
  constexpr int kDefaultCharset = 1;
  work_.SetCharset(TitleItemsDefaultCharset() ? kDefaultCharset : font_.Charset());
  return work_;
}

// ---------------------------------------------------------------------------------------------------------
// Items.

TacTitleBarItem::TacTitleBarItem(TacTitleItems& collection)
    : collection_(&collection), fontData_(std::make_unique<TacFontData>(*this)) {}

TacTitleBarItem::~TacTitleBarItem() {
  HintWindow.reset();
  ItemAnimationFree(*this);
}

TsTitleBar& TacTitleBarItem::Bar() const { return collection_->Owner(); }
int TacTitleBarItem::Index() const { return collection_->IndexOf(this); }

void TacTitleBarItem::Changed(bool resize) { Bar().ItemInvalidate(*this, resize); }

#define TITLE_ITEM_SETTER(Name, Type, field, resize) \
  void TacTitleBarItem::Set##Name(Type v) {          \
    if (field == v) return;                          \
    field = v;                                       \
    Changed(resize);                                 \
  }
TITLE_ITEM_SETTER(Align, TacItemAlign, align_, true)
TITLE_ITEM_SETTER(AutoSize, bool, autoSize_, true)
TITLE_ITEM_SETTER(Caption, const std::string&, caption_, true)
TITLE_ITEM_SETTER(Down, bool, down_, false)
TITLE_ITEM_SETTER(Enabled, bool, enabled_, false)
TITLE_ITEM_SETTER(Height, int32_t, height_, true)
TITLE_ITEM_SETTER(NumGlyphs, int32_t, numGlyphs_, true)
TITLE_ITEM_SETTER(Spacing, int32_t, spacing_, true)
TITLE_ITEM_SETTER(Style, TacBtnStyle, style_, true)
TITLE_ITEM_SETTER(Visible, bool, visible_, true)
TITLE_ITEM_SETTER(Width, int32_t, width_, true)
#undef TITLE_ITEM_SETTER

void TacTitleBarItem::SetDropdownMenu(gui::TPopupMenu* v) {
  if (dropdownMenu_ == v) return;
  dropdownMenu_ = v;
  // The bar is told when the menu is freed, and the item lets it go then.
  if (v != nullptr) Bar().FreeNotification(v);
  Changed(true);
}

void TacTitleBarItem::SetGlyph(const gui::TBitmap& v) {
  glyph_.Assign(v);
  Changed(true);
}

void TacTitleBarItem::SetSkinSection(const std::string& v) {
  if (skinSection_ == v) return;
  skinSection_ = v;
  if (SkinRecord) SkinRecord->SectionIndex = -1;  // resolved again when painted
  Changed(false);
}

void TacTitleBarItem::SetImageIndexOf(int kind, int32_t v) {
  if (kind < 0 || kind > 3 || images_[size_t(kind)] == v) return;
  // A pressed fade shows the old image: it ends first.
  if (Animation && Animation->State == 2) ItemAnimationFree(*this);
  images_[size_t(kind)] = v;
  Changed(kind == 1);
}

TacTitleBarItem* TacTitleItems::Add() {
  items_.push_back(std::make_unique<TacTitleBarItem>(*this));
  TacTitleBarItem* item = items_.back().get();
  owner_->ItemInvalidate(*item, true);
  return item;
}

void TacTitleItems::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  owner_->Invalidate();
}

void TacTitleItems::Clear() {
  items_.clear();
  owner_->Invalidate();
}

int TacTitleItems::IndexOf(const TacTitleBarItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return int(i);
  return -1;
}

// ---------------------------------------------------------------------------------------------------------
// The component.

TsTitleBar::TsTitleBar(gui::TComponent* AOwner) : gui::TComponent(AOwner) {
  form_ = dynamic_cast<gui::TCustomForm*>(AOwner);
  if (form_ == nullptr) throw gui::EAbort("TsTitleBar component may be used with forms only!");
  LoadMenuGlyph(MenuGlyph);
  if (!MenuGlyph.Empty()) PrepareMenuGlyph(MenuGlyph);
  imageLink_.OnChange = [this](gui::TObject*) {
    for (int i = 0; i < items_->Count(); ++i)
      if (items_->Items(i)->AutoSize()) ItemUpdate(*items_->Items(i), false);
    Invalidate();
  };
  items_ = std::make_unique<TacTitleItems>(*this);
  // The form's provider takes the title bar when it has none.
  if (!form_->IsDestroying())
    if (auto* p = dynamic_cast<TsSkinProvider*>(FormProvider(form_)); p && p->TitleBar() == nullptr) p->SetTitleBar(this);
}

TsTitleBar::~TsTitleBar() {
  if (form_ && !form_->IsDestroying())
    if (auto* p = dynamic_cast<TsSkinProvider*>(FormProvider(form_)); p && p->TitleBar() == this) p->SetTitleBar(nullptr);
  items_.reset();
  if (images_) images_->UnRegisterChanges(&imageLink_);
}

void TsTitleBar::SetItemsMargin(int32_t v) {
  if (v == itemsMargin_) return;
  itemsMargin_ = v;
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i)->AutoSize()) ItemUpdate(*items_->Items(i), false);
  Invalidate();
}

void TsTitleBar::SetImages(gui::TCustomImageList* v) {
  if (v == images_) return;
  if (images_) images_->UnRegisterChanges(&imageLink_);
  images_ = v;
  if (images_) {
    images_->RegisterChanges(&imageLink_);
    images_->FreeNotification(this);
  }
  imageLink_.OnChange(this);
}

void TsTitleBar::Loaded() {
  gui::TComponent::Loaded();
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Items(i)->AutoSize()) ItemUpdate(*items_->Items(i), false);
}

void TsTitleBar::Notification(gui::TComponent* AComponent, gui::TOperation Operation) {
  gui::TComponent::Notification(AComponent, Operation);
  if (Operation != gui::TOperation::opRemove || AComponent == nullptr) return;
  if (images_ && static_cast<const void*>(AComponent) == static_cast<const void*>(images_)) images_ = nullptr;
  if (!items_) return;
  for (int i = 0; i < items_->Count(); ++i) {
    TacTitleBarItem& item = *items_->Items(i);
    if (item.DropdownMenu() != nullptr && static_cast<gui::TComponent*>(item.DropdownMenu()) == AComponent)
      item.SetDropdownMenu(nullptr);
  }
}

void TsTitleBar::Invalidate() {
  if (form_ && !FormLoading(form_) && !form_->IsDestroying() && !IsDestroying()) SendTitleChanged(*form_);
}

int32_t TsTitleBar::ItemState(const TacTitleBarItem& item) const {
  if (item.Pressed || item.Down()) return 2;
  return item.Hot ? 1 : 0;
}

void TsTitleBar::ItemUpdate(TacTitleBarItem& item, bool keepSize) {
  if (!item.Visible()) return;
  TSize image{0, 0};
  if (images_ && item.ImageIndex() >= 0 && item.ImageIndex() < images_->Count())
    image = TSize{images_->Width(), images_->Height()};
  else if (!item.Glyph().Empty())
    image = TSize{item.Glyph().Width() / std::max(1, item.NumGlyphs()), item.Glyph().Height()};
  TSize content = image;
  if (!item.Caption().empty()) {
    const TSize text = TextSize(item.FontData().WorkFont(), item.Caption());
    const int32_t spacing = image.cx > 0 ? item.Spacing() : 0;
    content.cx = image.cx + spacing + text.cx + (item.Style() == bsTab ? 4 : 0);
    content.cy = std::max(image.cy, text.cy);
  }
  if ((item.Style() == bsButton || item.Style() == bsMenu) && item.DropdownMenu())
    content.cx += (item.Style() == bsMenu ? 4 : 1) + DropdownArrowWidth(item.FontData().WorkFont());
  if (item.Style() == bsMenu || item.Style() == bsTab) content.cy += 1;
  item.ContentSize = content;
  if (keepSize || item.Style() == bsSpacing) return;
  // Into the item's storage, not through its setters: sizing an item repaints nothing by itself.
  item.width_ = std::max(16, content.cx + 2 * (itemsMargin_ + (item.Style() == bsMenu ? 4 : 0)));
  item.height_ = std::max(16, content.cy + 2 * itemsMargin_);
}

void TsTitleBar::ArrangeItems() {
  AlignWidths = {0, 0, 0, 0};
  for (int i = 0; i < items_->Count(); ++i) {
    const TacTitleBarItem& item = *items_->Items(i);
    if (item.Visible()) AlignWidths[item.Align()] += item.Width();
  }
  const int32_t left = BarRect.Left;
  std::array<int32_t, 4> x{};
  x[tbaLeft] = left;
  x[tbaCenter] = left + (FullWidth - left - AlignWidths[tbaCenter]) / 2;
  x[tbaCenterInSpace] = left + AlignWidths[tbaLeft] +
                        (BarRect.Right - left - AlignWidths[tbaRight] - AlignWidths[tbaLeft] -
                         AlignWidths[tbaCenterInSpace]) / 2;
  x[tbaRight] = BarRect.Right - AlignWidths[tbaRight];
  for (int i = 0; i < items_->Count(); ++i) {
    TacTitleBarItem& item = *items_->Items(i);
    if (!item.Visible()) continue;
    int32_t& at = x[item.Align()];
    item.Rect.Left = at;
    item.Rect.Right = at + item.Width();
    at += item.Width();
    switch (item.Style()) {
      case bsMenu: item.Rect.Top = MenuLine; break;
      case bsTab: item.Rect.Top = BarRect.Bottom - item.Height(); break;
      default: item.Rect.Top = CenterLine - item.Height() / 2; break;
    }
    item.Rect.Bottom = item.Rect.Top + item.Height();
  }
}

void TsTitleBar::ItemInvalidate(TacTitleBarItem& item, bool resize) {
  if (FormLoading(form_)) return;
  // Items changed together under Updating are sized each at once: only the repaint waits.
  if (resize && item.AutoSize()) ItemUpdate(item, false);
  if (item.Animation) {
    item.Animation->Picture.reset();
    item.Animation->OldPicture.reset();
  }
  if (Updating != 0 || form_->IsDestroying() || IsDestroying()) return;
  if (SendFormMessage(*form_, WM_SKINCOMMAND, SkinCommandWParam(AC_ISUPDATELOCKED), 0) != 0) return;
  SendTitleChanged(*form_);
}

TPoint TsTitleBar::FrameToScreen(const TPoint& pt) const {
  TPoint origin{};
  TsSkinProvider* p = ProviderOfBar(*this);
  if (p && p->BorderForm) {
    const TRect r = BorderFormScreenRect(*p->BorderForm);
    origin = TPoint{r.Left, r.Top};
  } else if (form_) {
    const TRect r = FormWindowRect(*form_);
    origin = TPoint{r.Left, r.Top};
  }
  return TPoint{origin.X + pt.X, origin.Y + pt.Y};
}

void TsTitleBar::DropMenu(TacTitleBarItem& item) {
  const TPoint at = FrameToScreen(TPoint{item.Rect.Left, item.Rect.Bottom});
  gui::TPopupMenu& menu = *item.DropdownMenu();
  // The form owns the menu while it is open: its commands reach the form whichever form is the main one.
  struct Reset {
    TacTitleBarItem& item;
    std::weak_ptr<const int> life;  // a menu command may free the item
    gui::TPopupMenu& menu;
    void* owner;
    ~Reset() {
      if (!life.expired()) item.DroppedDown = false;
      menu.WindowHandle = owner;
    }
  } reset{item, item.LifeToken(), menu, menu.WindowHandle};
  if (form_ && !form_->IsDestroying()) menu.WindowHandle = FormWindowHandle(*form_);
  item.DroppedDown = true;
  menu.Popup(at.X, at.Y);
}

void TsTitleBar::MouseDown(int index, gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (index < 0 || index >= items_->Count()) return;
  TacTitleBarItem& item = *items_->Items(index);
  if (!item.Enabled() || item.Pressed) return;
  // Every handler may free the item (a closable tab): it is touched again only while it lives.
  const auto life = item.LifeToken();
  item.Pressed = true;
  if (item.OnMouseDown) item.OnMouseDown(form_, button, shift, x, y);
  if (life.expired()) return;
  gui::TPopupMenu* menu = item.DropdownMenu();
  if ((item.Style() == bsButton || item.Style() == bsMenu) && menu && menu->Items()->Count() > 0) {
    DropMenu(item);
    if (life.expired()) return;
    item.Pressed = false;
    item.Hot = false;
    ItemAnimationFree(item);
    Invalidate();
    if (item.OnClick) item.OnClick(form_);
    return;
  }
  if (item.Style() == bsTab && !item.Down()) {
    if (item.OnClick) item.OnClick(form_);
    if (life.expired()) return;
    // The other tabs of the group are released with one repaint.
    Updating = 1;
    for (int i = 0; i < items_->Count(); ++i) {
      TacTitleBarItem& other = *items_->Items(i);
      if (&other != &item && other.Visible() && other.Style() == bsTab && other.Group == item.Group && other.Down())
        other.SetDown(false);
    }
    item.SetDown(true);
    Updating = 0;
    ItemInvalidate(item, false);
  }
}

void TsTitleBar::MouseUp(int index, gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (index < 0 || index >= items_->Count()) return;
  TacTitleBarItem& item = *items_->Items(index);
  if (!item.Enabled()) return;
  const auto life = item.LifeToken();
  if (item.OnMouseUp) item.OnMouseUp(form_, button, shift, x, y);
  if (life.expired()) return;
  const bool click = item.Pressed && item.Style() != bsTab;
  if (click && item.OnClick) item.OnClick(form_);
  if (life.expired()) return;
  item.Pressed = false;
  item.Hot = true;
}

void TsTitleBar::MouseEnter(int index) {
  if (index < 0 || index >= items_->Count()) return;
  TacTitleBarItem& item = *items_->Items(index);
  if (item.OnMouseEnter) item.OnMouseEnter(form_);
}

void TsTitleBar::MouseLeave(int index) {
  if (index < 0 || index >= items_->Count()) return;
  TacTitleBarItem& item = *items_->Items(index);
  if (item.OnMouseLeave) item.OnMouseLeave(form_);
}

// ---------------------------------------------------------------------------------------------------------
// Hover fade.

TacItemAnimation::TacItemAnimation(TacTitleBarItem& item) : gui::TTimer(nullptr), Item(&item) {
  SetEnabled(false);
  SetInterval(12);
  OnTimer = [this](gui::TObject*) { ItemAnimationTick(*this); };
}

TacItemAnimation::~TacItemAnimation() {
  SetEnabled(false);
  ItemHoverFree(*this);
  Picture.reset();
  OldPicture.reset();
  if (Item && Item->Animation == this) Item->Animation = nullptr;
}

int32_t ItemAnimAlphaStep(int32_t count) {
  if (count < 1) return 255;
  return std::max(1, 255 / count);
}

namespace {

// The item's current look over the clean caption band, opaque.
std::unique_ptr<Bitmap> ItemPicture(TacTitleBarItem& item) {
  const TRect& r = item.Rect;
  if (r.Width() <= 0 || r.Height() <= 0) return nullptr;
  auto picture = std::make_unique<Bitmap>(r.Width(), r.Height(), pf32bit);
  const TsTitleBar& bar = item.Bar();
  if (!bar.CleanBand.Empty())
    CopyBitmapKeyed(*picture, bar.CleanBand, 0,
                    TRect{r.Left - bar.BandOrigin.X, r.Top - bar.BandOrigin.Y, r.Right - bar.BandOrigin.X,
                          r.Bottom - bar.BandOrigin.Y},
                    0);
  if (item.Paint) item.Paint(item, TRect{0, 0, r.Width(), r.Height()}, *picture);
  SetAlphaRect(*picture, TRect{0, 0, r.Width(), r.Height()}, 255, clNone);
  return picture;
}

void Show(TacItemAnimation& anim, int32_t alpha) {
  const TRect& r = anim.Item->Rect;
  const TPoint tl = anim.Item->Bar().FrameToScreen(TPoint{r.Left, r.Top});
  ItemHoverShow(anim, TRect{tl.X, tl.Y, tl.X + r.Width(), tl.Y + r.Height()}, uint8_t(std::clamp(alpha, 0, 255)));
}

}  // namespace

void ItemAnimationStart(TacTitleBarItem& item, int32_t state, int32_t steps, bool growing) {
  steps = std::max(1, steps);
  TacItemAnimation* anim = item.Animation;
  if (anim == nullptr) {
    anim = new TacItemAnimation(item);
    item.Animation = anim;
    gui::TCustomForm* form = item.Bar().Form();
    anim->Wnd = form ? FormWindowHandle(*form) : nullptr;
  }
  anim->State = state;
  anim->StepCount = steps;
  anim->Growing = growing;
  if (growing) {
    anim->OldPicture = std::move(anim->Picture);
    anim->Picture = ItemPicture(item);
    anim->Step = 1;
  } else {
    // Fading out what is shown, from where it stands.
    if (!anim->Picture) anim->Picture = ItemPicture(item);
    anim->Step = anim->ShownAlpha > 0 ? std::min(steps, anim->ShownAlpha / ItemAnimAlphaStep(steps)) : steps;
  }
  if (!anim->Picture) {
    ItemAnimationFree(item);
    return;
  }
  Show(*anim, std::min(255, ItemAnimAlphaStep(steps) * anim->Step));
  if (growing && steps <= 1) {
    anim->StepCount = -1;
    Show(*anim, 255);
    if (anim->OnGrown) anim->OnGrown();
  }
  anim->SetEnabled(true);
}

void ItemAnimationTick(TacItemAnimation& anim) {
  if (anim.Growing) {
    if (anim.StepCount > 0 && anim.Step < anim.StepCount) {
      Show(anim, std::max(0, ItemAnimAlphaStep(anim.StepCount) * anim.Step));
      ++anim.Step;
    } else if (anim.StepCount > 0) {
      anim.StepCount = -1;
      Show(anim, 255);
      if (anim.OnGrown) anim.OnGrown();
    }
    ItemAnimCursorLeft(anim);
    return;
  }
  if (anim.Step > 0) {
    Show(anim, ItemAnimAlphaStep(anim.StepCount) * anim.Step);
    --anim.Step;
    return;
  }
  anim.State = -1;
  anim.SetEnabled(false);
  ItemHoverFree(anim);
  anim.Picture.reset();
  anim.OldPicture.reset();
}

void ItemAnimationFree(TacTitleBarItem& item) {
  TacItemAnimation* anim = item.Animation;
  item.Animation = nullptr;
  if (anim == nullptr) return;
  anim->Item = nullptr;
  anim->SetEnabled(false);
  ItemHoverFree(*anim);
  // The timer may be the one firing now: it goes once the message that runs it is over.
  gui::Free(anim);
}

// ---------------------------------------------------------------------------------------------------------
// Picture helpers.

void CopyBitmapKeyed(Bitmap& dst, const Bitmap& src, int32_t dstX, const TRect& srcRect, int32_t dstY) {
  if (dst.PixelFormat() != pf32bit || src.PixelFormat() != pf32bit) return;
  TRect s = srcRect;
  int32_t x = dstX, y = dstY;
  if (s.Left < 0) { x -= s.Left; s.Left = 0; }
  if (s.Top < 0) { y -= s.Top; s.Top = 0; }
  if (x < 0) { s.Left -= x; x = 0; }
  if (y < 0) { s.Top -= y; y = 0; }
  s.Right = std::min({s.Right, src.Width(), s.Left + dst.Width() - x});
  s.Bottom = std::min({s.Bottom, src.Height(), s.Top + dst.Height() - y});
  for (int32_t row = s.Top; row < s.Bottom; ++row) {
    const uint32_t* from = reinterpret_cast<const uint32_t*>(src.ScanLine(row));
    uint32_t* to = reinterpret_cast<uint32_t*>(dst.ScanLine(y + row - s.Top));
    for (int32_t col = s.Left; col < s.Right; ++col)
      if ((from[col] & 0x00FFFFFF) != kMenuKey) to[x + col - s.Left] = from[col];
  }
}

namespace {
// A rectangle of src stretched over a rectangle of dst by nearest pixel (COLORONCOLOR).
void StretchPiece(Bitmap& dst, const TRect& d, const Bitmap& src, const TRect& s) {
  if (d.Width() <= 0 || d.Height() <= 0 || s.Width() <= 0 || s.Height() <= 0) return;
  for (int32_t y = std::max(0, d.Top); y < std::min(d.Bottom, dst.Height()); ++y) {
    const int32_t sy = s.Top + int32_t(int64_t(y - d.Top) * s.Height() / d.Height());
    if (sy < 0 || sy >= src.Height()) continue;
    const uint32_t* from = reinterpret_cast<const uint32_t*>(src.ScanLine(sy));
    uint32_t* to = reinterpret_cast<uint32_t*>(dst.ScanLine(y));
    for (int32_t x = std::max(0, d.Left); x < std::min(d.Right, dst.Width()); ++x) {
      const int32_t sx = s.Left + int32_t(int64_t(x - d.Left) * s.Width() / d.Width());
      if (sx >= 0 && sx < src.Width()) to[x] = from[sx];
    }
  }
}
}  // namespace

void StretchNinePart(Bitmap& dst, const Bitmap& source, const TRect& d, const TRect& b, const TRect& s) {
  // Both pictures are worked on in 32 bits (the source through a copy when it has another depth).
  if (dst.PixelFormat() != pf32bit) dst.SetPixelFormat(pf32bit);
  Bitmap converted;
  if (source.PixelFormat() != pf32bit) {
    converted.Assign(source);
    converted.SetPixelFormat(pf32bit);
  }
  const Bitmap& src = source.PixelFormat() == pf32bit ? source : converted;
  const int32_t l = b.Left, t = b.Top, r = b.Right, bt = b.Bottom;
  // Corners, keyed.
  CopyBitmapKeyed(dst, src, d.Left, TRect{s.Left, s.Top, s.Left + l, s.Top + t}, d.Top);
  CopyBitmapKeyed(dst, src, d.Right - r, TRect{s.Right - r, s.Top, s.Right, s.Top + t}, d.Top);
  CopyBitmapKeyed(dst, src, d.Left, TRect{s.Left, s.Bottom - bt, s.Left + l, s.Bottom}, d.Bottom - bt);
  CopyBitmapKeyed(dst, src, d.Right - r, TRect{s.Right - r, s.Bottom - bt, s.Right, s.Bottom}, d.Bottom - bt);
  // Top and bottom edges, left and right edges, centre.
  if (t > 0 || bt > 0) {
    StretchPiece(dst, TRect{d.Left + l, d.Top, d.Right - r, d.Top + t}, src, TRect{s.Left + l, s.Top, s.Right - r, s.Top + t});
    StretchPiece(dst, TRect{d.Left + l, d.Bottom - bt, d.Right - r, d.Bottom}, src,
                 TRect{s.Left + l, s.Bottom - bt, s.Right - r, s.Bottom});
  }
  if (l > 0 || r > 0) {
    StretchPiece(dst, TRect{d.Left, d.Top + t, d.Left + l, d.Bottom - bt}, src,
                 TRect{s.Left, s.Top + t, s.Left + l, s.Bottom - bt});
    StretchPiece(dst, TRect{d.Right - r, d.Top + t, d.Right, d.Bottom - bt}, src,
                 TRect{s.Right - r, s.Top + t, s.Right, s.Bottom - bt});
  }
  StretchPiece(dst, TRect{d.Left + l, d.Top + t, d.Right - r, d.Bottom - bt}, src,
               TRect{s.Left + l, s.Top + t, s.Right - r, s.Bottom - bt});
}

void PrepareMenuGlyph(Bitmap& glyph) {
  if (glyph.PixelFormat() != pf32bit) glyph.SetPixelFormat(pf32bit);
  for (int32_t y = 0; y < glyph.Height(); ++y) {
    uint8_t* row = glyph.ScanLine(y);
    for (int32_t x = 0; x < glyph.Width(); ++x) {
      uint8_t* px = row + size_t(x) * 4;
      const uint32_t value = uint32_t(px[0]) | uint32_t(px[1]) << 8 | uint32_t(px[2]) << 16;
      if (value == kMenuKey) continue;
      const uint32_t a = 255u - px[3];
      px[3] = uint8_t(a);
      for (int c = 0; c < 3; ++c) px[c] = uint8_t((px[c] * a) >> 8);
    }
  }
}

int32_t CaptionFontHeight() {
  gui::TFont f;
  CaptionFont(f);
  return TextSize(f, "Wy").cy;
}

TSize TextSize(const gui::TFont& font, const std::string& text) {
  if (text.empty()) return TSize{0, 0};
  return CurrentTextEngine().Extent(font, text);
}

namespace {
void MarlettFont(const gui::TFont& font, gui::TFont& marlett) {
  marlett.Assign(font);
  marlett.SetName("Marlett");
  marlett.SetCharset(2);  // SYMBOL_CHARSET
}
}  // namespace

int32_t DropdownArrowWidth(const gui::TFont& font) {
  gui::TFont marlett;
  MarlettFont(font, marlett);
  return TextSize(marlett, "u").cx;
}

void DrawDropdownArrow(Bitmap& target, const gui::TFont& font, int32_t x, int32_t y, TColor colour) {
  gui::TFont marlett;
  MarlettFont(font, marlett);
  const TSize arrow = TextSize(marlett, "u");
  if (MarlettAvailable()) {
    DrawTextMasked(target, marlett, "u", colour, 0x824 /* single line, centred vertically, no prefix */,
                   TRect{x, y - arrow.cy / 2, x + arrow.cx, y - arrow.cy / 2 + arrow.cy});
    return;
  }
  // A triangle pointing down, as wide as the glyph would be (odd, at most 7), its tip below the centre line.
  int32_t w = std::min(7, arrow.cx > 2 ? arrow.cx - 2 : 5);
  if (w % 2 == 0) --w;
  const int32_t left = x + (arrow.cx - w) / 2;
  const int32_t top = y - (w / 2 + 1) / 2;
  for (int32_t row = 0; row <= w / 2; ++row)
    FillRectBitmap32(target, TRect{left + row, top + row, left + w - row, top + row + 1}, ColorToRGB(colour), 255);
}

}  // namespace skin
