// The skinned frame of a foreign dialog: its frame, caption and caption buttons painted from the skin into the
// skin data's cache, the window's region, its client background, its skinned system menu and its message
// handling (hit tests, hot and pressed caption buttons, clicks turned into system commands).
#include "skin/forms/acdialogwnd.h"

#ifdef _WIN32

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "gui/graphics.h"
#include "gui/menus.h"
#include "skin/data/libstrings.h"
#include "skin/data/maskdata.h"
#include "skin/manager/commondata.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/sanimations_window.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/sskinmenus.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/layered_alpha.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/frame_paint.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/title_glow.h"
#include "skin/manager/win_values.h"
#include "skin/pixels/background_info.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/text_engine.h"

namespace skin {

namespace {

using namespace wv;

// Set by a press on a caption button, cleared when the hot button changes: a release acts only after a press.
uint8_t g_titleButtonPressed = 0;

constexpr UINT kOwnRegionQuery = 0xBC4D;
constexpr WPARAM kOwnRegionAnswer = 0x41A2;
constexpr UINT kVisibilityChanged = 0xB00B;

TSize WindowSize(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return TSize{r.right - r.left, r.bottom - r.top};
}

TSize ClientSize(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return TSize{r.right, r.bottom};
}

// The client area in the window's own coordinates.
RECT ClientInWindow(HWND h) {
  RECT r{};
  ClientRectInWindow(h, r);
  return r;
}

void SysCommand(HWND h, WPARAM command) { SendMessageA(h, WM_SYSCOMMAND, command, 0); }

// Where the window's top-left corner lies in the dialog's frame picture (the border window's picture is larger).
TPoint WindowOriginInCache(const TacDialogWnd& d) {
  return d.BorderForm ? TPoint{BorderFormClientLeft(*d.BorderForm), BorderFormTopOffset(*d.BorderForm)} : TPoint{};
}

// What the window animations of the skin manager need of the dialog.
class DialogAnimated : public TacAnimatedDialog {
 public:
  explicit DialogAnimated(TacDialogWnd& d) : d_(d) {}
  HWND Window() const override { return d_.Handle; }
  TsCommonData& SkinData() override { return *d_.SkinData; }
  // The hide runs on the border window, which already shows the dialog's picture, or on the cover that a closing
  // command laid over the dialog; it is the animation's from now on (no longer the dialog's, nor owned by it).
  TacAnimWindow TakeAnimationWindow() override {
    if (!Hiding) return {};
    HWND h = d_.CoverForm;
    d_.CoverForm = nullptr;
    if (d_.BorderForm && d_.BorderForm->AForm) {
      if (h) ledger::DestroyWindow(h);
      h = static_cast<HWND>(d_.BorderForm->AForm);
      SetWindowLongPtrA(h, GWLP_USERDATA, 0);
      SetWindowLongPtrA(h, GWLP_HWNDPARENT, 0);
      d_.BorderForm->AForm = nullptr;
      // The picture shows the dialog whole: no hole is left where its client area was.
      ledger::SetWindowRgn(h, nullptr, FALSE);
    }
    if (!h) return {};
    return TacAnimWindow{h, [h] { ledger::DestroyWindow(h); }};
  }
  void FreeBorderForm() override { d_.BorderForm.reset(); }
  TPoint ClientOffset() const override {
    const TPoint o = WindowOriginInCache(d_);
    const RECT c = ClientInWindow(d_.Handle);
    return TPoint{o.X + c.left, o.Y + c.top};
  }
  // The children at their places in a picture of the window whose client area begins at clientAt.
  void PrintChildWindows(HWND w, void* dc, const TPoint& clientAt) override {
    HDC DC = static_cast<HDC>(dc);
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, clientAt.X, clientAt.Y, nullptr);
    d_.PrintChildWindows(w, DC);
    RestoreDC(DC, saved);
  }
  bool Hiding = false;

 private:
  TacDialogWnd& d_;
};

// The dialog as the owner of its border window.
class DialogBorderOwner : public TacBorderOwner {
 public:
  explicit DialogBorderOwner(TacDialogWnd& d) : d_(d) {}
  bool HasWindow() const override { return d_.Handle != nullptr && IsWindow(d_.Handle); }
  void* SkinnedWindow() const override { return d_.Handle; }
  TRect SkinnedWindowRect() const override {
    RECT r{};
    GetWindowRect(d_.Handle, &r);
    return TRect{r.left, r.top, r.right, r.bottom};
  }
  TsCommonData& FrameData() override { return *d_.SkinData; }
  TsSkinManager* FrameManager() const override { return d_.SkinManager; }
  int32_t FrameWidth() const override { return d_.FrameSize().cx; }
  int32_t FrameHeight() override { return d_.FrameSize().cy; }
  int32_t SystemFrameWidth() const override { return d_.SystemBorderWidth(); }
  int32_t SystemCaptionHeight() const override { return d_.SystemCaptionHeight(); }
  int32_t SkinFrameWidth() const override { return d_.BorderWidth(); }
  int32_t SkinCaptionHeight() const override { return d_.BorderWidth() + d_.CaptionHeight(); }
  bool WindowEnabled() const override { return IsWindowEnabled(d_.Handle) != FALSE; }
  bool WindowZoomed() const override { return d_.Zoomed(); }
  // The window's style now: a file dialog is made sizeable after it was created.
  bool WindowSizeable() const override { return (GetWindowLongPtrA(d_.Handle, GWL_STYLE) & WS_THICKFRAME) != 0; }
  bool MovingTranslucent() const override { return (d_.MoveFlags & 0x80) != 0; }
  int32_t TitleElementAt(const TPoint& p) override { return d_.TitleButtonAt(p); }
  TRect TitleIconRect() const override { return d_.IconRect(); }
  int32_t ClientTop() override { return d_.ClientOffsetY(); }
  bool GripAt(const TPoint&) override { return false; }
  bool ClientHole(TRect& hole) override {
    if ((d_.MoveFlags & 0x80) || (d_.BorderForm && d_.BorderForm->Animating)) return false;
    const TSize cl = ClientSize(d_.Handle);
    hole = TRect{d_.ClientOffsetX(), d_.ClientOffsetY(), d_.ClientOffsetX() + cl.cx, d_.ClientOffsetY() + cl.cy};
    return true;
  }
  void SetHotElement(int32_t code) override { d_.SetHotTitleButton(code < 0 ? 0 : code, true); }
  void RepaintFrame() override {
    d_.SkinData->BGChanged = true;
    d_.PaintAll();
  }
  void StopTitleGlows() override { d_.StopTitleGlows(); }

 private:
  TacDialogWnd& d_;
};

}  // namespace

// ---- The system menu.

TacSystemMenu::TacSystemMenu(TacDialogWnd& D) : TsCustomSysMenu(nullptr), Dialog(&D) {
  struct Entry {
    const char* name;
    uint16_t text;
    WPARAM command;
    gui::TMenuItem* TsCustomSysMenu::*field;
  };
  const Entry entries[] = {{"miRestore", sidRestore, SC_RESTORE, &TsCustomSysMenu::ItemRestore},
                           {"miMove", sidMove, SC_MOVE, &TsCustomSysMenu::ItemMove},
                           {"miSize", sidSize, SC_SIZE, &TsCustomSysMenu::ItemSize},
                           {"miMinimize", sidMinimize, SC_MINIMIZE, &TsCustomSysMenu::ItemMinimize},
                           {"miMaximize", sidMaximize, SC_MAXIMIZE, &TsCustomSysMenu::ItemMaximize},
                           {"miClose", sidClose, SC_CLOSE, &TsCustomSysMenu::ItemClose}};
  for (const Entry& e : entries) {
    auto* item = new gui::TMenuItem(this);
    item->SetName(e.name);
    item->SetCaption(std::string(BuiltInLibraryText(e.text)));
    const WPARAM command = e.command;
    TacSystemMenu* self = this;
    item->OnClick = [self, command](gui::TObject*) {
      HWND h = self->Dialog ? self->Dialog->Handle : nullptr;
      if (h == nullptr) return;
      SysCommand(h, command);
      if ((command == SC_RESTORE || command == SC_MAXIMIZE) && IsWindow(h) && self->Dialog) self->UpdateItems();
    };
    Items()->Add(item);
    this->*e.field = item;
    if (command == SC_MAXIMIZE) {
      auto* separator = new gui::TMenuItem(this);
      separator->SetCaption("-");
      Items()->Add(separator);
    }
  }
  ItemClose->SetShortCut(0x8073);  // Alt+F4
}

bool TacSystemMenu::CloseVisible() const { return Dialog->CloseVisible(); }
bool TacSystemMenu::MaximizeVisible() const { return Dialog->MaximizeVisible(); }
bool TacSystemMenu::MinimizeVisible() const { return Dialog->MinimizeVisible(); }
bool TacSystemMenu::MaximizeEnabled() const { return Dialog->MaximizeEnabled(); }
bool TacSystemMenu::MinimizeEnabled() const { return Dialog->MinimizeEnabled(); }
bool TacSystemMenu::RestoreEnabled() const { return Dialog->RestoreEnabled(); }

void TacSystemMenu::UpdateItems() {
  const TacDialogWnd& d = *Dialog;
  const bool sysMenu = (d.SavedStyle & WS_SYSMENU) != 0;
  const bool sizeable = d.BorderStyle == 1 || d.BorderStyle == 3;
  ItemRestore->SetVisible(sizeable && sysMenu);
  ItemRestore->SetEnabled(d.MaximizeVisible() && (d.Zoomed() || d.Iconic()));
  ItemMove->SetVisible(true);
  ItemMove->SetEnabled(!d.Zoomed());
  ItemSize->SetVisible(d.BorderStyle != 0 && d.BorderStyle != 2);
  ItemSize->SetEnabled(d.BorderStyle != 1 && !d.Iconic());
  ItemMinimize->SetVisible((d.SavedStyle & WS_MINIMIZEBOX) != 0);
  ItemMinimize->SetEnabled(d.MinimizeVisible() && !d.Iconic());
  ItemMaximize->SetVisible((d.SavedStyle & WS_MAXIMIZEBOX) != 0);
  ItemMaximize->SetEnabled(d.MaximizeVisible() && !d.Zoomed() && sizeable);
  ItemClose->SetVisible(sysMenu);
  ItemClose->SetEnabled(true);
}

// ---- The adapter's life.

TacDialogWnd::~TacDialogWnd() {
  FreeCoverForm();
  StopTitleGlows();
  BorderForm.reset();
  SystemMenu.reset();
  if (brush_ != nullptr) ledger::DeleteObject(brush_);
  brush_ = nullptr;
}

void TacDialogWnd::Initialize() {
  TacMainWnd::Initialize();
  Active = 1;
  NeedRegion = 1;
  BorderStyle = 1;
  TitleCopy = std::make_unique<Bitmap>(0, 0, pf32bit);
  SuppressClientPaint = LOBYTE(LOWORD(GetVersion())) >= 6 ? 1 : 0;
  CaptionIndex = -1;
  TitleSection = -1;
  SavedStyle = uint32_t(GetWindowLongPtrA(Handle, GWL_STYLE));
  SavedExStyle = uint32_t(GetWindowLongPtrA(Handle, GWL_EXSTYLE));
  SystemMenu = std::make_unique<TacSystemMenu>(*this);
  SystemMenu->UpdateItems();
  const ULONG_PTR classStyle = GetClassLongPtrA(Handle, GCL_STYLE);
  if (classStyle & CS_SAVEBITS) SetClassLongPtrA(Handle, GCL_STYLE, LONG_PTR(classStyle & ~ULONG_PTR(CS_SAVEBITS)));
  DwmSetTransitionsDisabled(Handle, true, false);
  // Drawn by the skinned menus when the manager skins popups (the dialog passes them the owner-draw requests).
  if (TsSkinManagerComponent* c = ManagerComponent(DefaultManager()); c && c->SkinnedPopups && c->SkinableMenus)
    InstallPopupMenuHandlers(*c->SkinableMenus, *SystemMenu, true);
  InitTitleButtons();
}

void TacDialogWnd::Finish() {
  SavedStyle = uint32_t(GetWindowLongPtrA(Handle, GWL_STYLE));
  SavedExStyle = uint32_t(GetWindowLongPtrA(Handle, GWL_EXSTYLE));
  if ((SavedStyle & WS_POPUP) && (SavedStyle & WS_CAPTION) != WS_CAPTION)
    BorderStyle = 2;
  else if (SavedStyle & WS_THICKFRAME)
    BorderStyle = 3;
  else if (SavedStyle & DS_MODALFRAME)
    BorderStyle = 0;
  else
    BorderStyle = 3;
  InitTitleButtons();
  skin::CaptionFont(TitleFont);
  // The system draws no title elements from now on; the skin draws them.
  if (SavedStyle & WS_SYSMENU) SetWindowLongPtrA(Handle, GWL_STYLE, LONG_PTR(SavedStyle & ~uint32_t(WS_SYSMENU)));
  if (SystemMenu) SystemMenu->UpdateItems();
  Finished = true;
}

void TacDialogWnd::ReleaseSteps() {
  StopTitleGlows();
  BorderForm.reset();
  if (Handle != nullptr && IsWindow(Handle) && !Destroyed && Finished) {
    // The window as it was: its system menu, its whole window and the system's frame.
    const LONG_PTR style = GetWindowLongPtrA(Handle, GWL_STYLE);
    if (SavedStyle & WS_SYSMENU) SetWindowLongPtrA(Handle, GWL_STYLE, style | WS_SYSMENU);
    ledger::SetWindowRgn(Handle, nullptr, FALSE);
  }
  const HWND h = Handle;
  const bool restore = h != nullptr && IsWindow(h) && !Destroyed;
  TacMainWnd::ReleaseSteps();
  if (restore) {
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
}

// ---- Predicates.

bool TacDialogWnd::CloseVisible() const { return (SavedStyle & WS_SYSMENU) != 0; }
bool TacDialogWnd::CloseEnabled() const {
  return CloseVisible() && !(GetClassLongPtrA(Handle, GCL_STYLE) & CS_NOCLOSE);
}
bool TacDialogWnd::MaximizeVisible() const { return (SavedStyle & WS_MAXIMIZEBOX) != 0; }
bool TacDialogWnd::MinimizeVisible() const { return (SavedStyle & WS_MINIMIZEBOX) != 0; }
bool TacDialogWnd::HelpVisible() const { return (SavedExStyle & WS_EX_CONTEXTHELP) != 0; }
bool TacDialogWnd::Zoomed() const { return IsZoomed(Handle) != FALSE; }
bool TacDialogWnd::Iconic() const { return IsIconic(Handle) != FALSE; }
bool TacDialogWnd::MaximizeEnabled() const {
  return MaximizeVisible() && !Zoomed() && (BorderStyle == 1 || BorderStyle == 3);
}
bool TacDialogWnd::MinimizeEnabled() const { return MinimizeVisible() && !Iconic(); }
bool TacDialogWnd::RestoreEnabled() const { return MaximizeVisible() && (Zoomed() || Iconic()); }

// ---- Geometry.

int32_t TacDialogWnd::SystemBorderWidth() const {
  return std::max(0, (WindowSize(Handle).cx - ClientSize(Handle).cx) / 2);
}

int32_t TacDialogWnd::SystemCaptionHeight() const {
  const LONG_PTR style = GetWindowLongPtrA(Handle, GWL_STYLE);
  if ((style & WS_CAPTION) != WS_CAPTION && !Iconic()) return 0;
  return GetSystemMetrics(SM_CYCAPTION);
}

int32_t TacDialogWnd::BorderWidth() const {
  if (BorderForm && SkinManager) return SkinManager->SkinData().BorderWidth;
  return SystemBorderWidth();
}

int32_t TacDialogWnd::CaptionHeight() const {
  const int32_t c = SystemCaptionHeight();
  // The skin's title height counts the frame above the caption.
  if (c == 0 || !BorderForm || !SkinManager) return c;
  return std::max(0, SkinManager->SkinData().TitleHeight - BorderWidth());
}

TRect TacDialogWnd::ShadowSize() const {
  return BorderForm && SkinManager ? SkinManager->Skin().ShadowMargins : TRect{};
}

TSize TacDialogWnd::FrameSize() const {
  if (!BorderForm) return WindowSize(Handle);
  const TRect m = ShadowSize();
  const TSize cl = ClientSize(Handle);
  const int32_t b = BorderWidth();
  return TSize{cl.cx + 2 * b + m.Left + m.Right, ClientOffsetY() + cl.cy + b + m.Bottom};
}

int32_t TacDialogWnd::ClientOffsetX() const {
  if (BorderForm) return ShadowSize().Left + BorderWidth();
  return SystemBorderWidth();
}

int32_t TacDialogWnd::ClientOffsetY() const {
  if (BorderForm) return ShadowSize().Top + BorderWidth() + CaptionHeight();
  const int32_t c = CaptionHeight();
  if (c == 0) return BorderWidth();
  return std::max(0, WindowSize(Handle).cy - ClientSize(Handle).cy - BorderWidth());
}

void TacDialogWnd::CaptionBand(int32_t& Top, int32_t& Height) const {
  const int32_t b = BorderWidth(), c = CaptionHeight();
  Top = ShadowSize().Top + b;
  Height = c;
  if (c <= 0) return;
  int32_t tallest = GetSystemMetrics(SM_CYSMICON);
  if (CloseVisible()) {
    tallest = std::max(tallest, TitleButtonHeight(CloseButton));
    if (MaximizeVisible()) tallest = std::max(tallest, TitleButtonHeight(MaxButton));
    if (MinimizeVisible() || Iconic()) tallest = std::max(tallest, TitleButtonHeight(MinButton));
    if (HelpVisible()) tallest = std::max(tallest, TitleButtonHeight(HelpButton));
  }
  const int32_t up = std::clamp(tallest - c, 0, b);
  Top -= up;
  Height += up;
}

TRect TacDialogWnd::IconRect() const {
  const TRect m = ShadowSize();
  const int32_t b = BorderWidth();
  int32_t band = 0, c = 0;
  CaptionBand(band, c);
  const int32_t w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
  const int32_t top = band + (c - h) / 2;
  return TRect{m.Left + b, top, m.Left + b + w, top + h};
}

int32_t TacDialogWnd::TitleButtonWidth(const DialogTitleButton& B) const {
  const SkinImageRecord* image = ValidImage(SkinManager, B.ImageIndex);
  return image ? ImageStateWidth(*image) : 21;
}

int32_t TacDialogWnd::TitleButtonHeight(const DialogTitleButton& B) const {
  const SkinImageRecord* image = ValidImage(SkinManager, B.ImageIndex);
  return image ? ImageFrameHeight(*image) : 21;
}

void TacDialogWnd::InitTitleButtons() {
  MinButton.HitCode = kHtMinButton;
  MaxButton.HitCode = kHtMaxButton;
  CloseButton.HitCode = kHtClose;
  HelpButton.HitCode = kHtHelp;
  TitleSection = -1;
  if (SkinManager == nullptr) return;
  const SkinCommonIndexes& ci = SkinManager->Skin().CommonIndexes;
  const bool large = BorderStyle == 1 || BorderStyle == 3 || ci.SIConClose < 0;
  TitleSectionName.clear();
  if (!large) {
    CloseButton.ImageIndex = ci.SIConClose;
    MinButton.ImageIndex = ci.SIConMin;
    MaxButton.ImageIndex = ci.SIConMax;
    HelpButton.ImageIndex = ci.SIConHelp >= 0 ? ci.SIConHelp : ci.BIConHelp;
    TitleSectionName = "DIALOGTITLE";
  } else {
    const bool alone = !MaximizeVisible() && !MinimizeVisible();
    CloseButton.ImageIndex = alone && ci.BICloseAlone >= 0 ? ci.BICloseAlone : ci.BIConClose;
    MinButton.ImageIndex = ci.BIConMin;
    MaxButton.ImageIndex = ci.BIConMax;
    HelpButton.ImageIndex = ci.BIConHelp;
  }
  for (DialogTitleButton* b : {&MinButton, &MaxButton, &CloseButton, &HelpButton}) b->LargeImage = large;
  if (!TitleSectionName.empty()) TitleSection = SkinManagerGetSectionIndex(*SkinManager, TitleSectionName);
  if (TitleSection < 0) TitleSection = SkinManagerGetSectionIndex(*SkinManager, "FORMTITLE");
}

DialogTitleButton* TacDialogWnd::ButtonOfCode(int32_t Code) {
  switch (Code) {
    case kHtMinButton: return &MinButton;
    case kHtMaxButton: return &MaxButton;
    case kHtClose: return &CloseButton;
    case kHtHelp: return &HelpButton;
    default: return nullptr;
  }
}

// ---- Painting.

void TacDialogWnd::PaintAll() {
  WindowRectInParent();
  if (SkinData == nullptr || SkinManager == nullptr) return;
  const TSize size = FrameSize();
  if (!SkinData->CacheBmp) SkinData->CacheBmp = std::make_unique<Bitmap>(0, 0, pf32bit);
  Bitmap& cache = *SkinData->CacheBmp;
  if (cache.Width() != size.cx || cache.Height() != size.cy) {
    cache.SetSize(size.cx, size.cy);
    SkinData->BGChanged = true;
  }
  if (!SkinData->BGChanged || cache.Empty()) return;
  NeedRegion = 1;
  if (ValidSection(SkinManager, SkinData->SkinIndex) != nullptr) {
    if (BorderForm) {
      // The skin's outer frame and shadow in the margins, the dialog's frame inside them over it.
      const TRect m = ShadowSize();
      const TRect frame{m.Left, m.Top, size.cx - m.Right, size.cy - m.Bottom};
      FillRectBitmap32(cache, TRect{0, 0, size.cx, size.cy}, 0, 0);
      PaintShadow(cache);
      Bitmap under(size.cx, size.cy, pf32bit);
      CopyBitmapPixels(under, 0, 0, size.cx, size.cy, cache, 0, 0);
      CacheInfo ci = CacheInfoFromBitmap(&under, frame.Left, frame.Top);
      Bitmap item(std::max(0, frame.Width()), std::max(0, frame.Height()), pf32bit);
      if (!item.Empty()) {
        PaintControlItem(*SkinData, ci, -1, -1, 1, item, TPoint{}, TRect{0, 0, frame.Width(), frame.Height()}, Active);
        CopyBitmapPixels(cache, frame.Left, frame.Top, frame.Width(), frame.Height(), item, 0, 0);
      }
    } else {
      PaintControlItem(*SkinData, EmptyCacheInfo, -1, -1, 1, cache, TPoint{}, TRect{0, 0, size.cx, size.cy}, Active);
    }
    PaintCaption(cache);
  }
  const int32_t band = std::min(cache.Height(), ShadowSize().Top + BorderWidth() + CaptionHeight());
  TitleCopy->SetSize(cache.Width(), std::max(0, band));
  CopyBitmapPixels(*TitleCopy, 0, 0, cache.Width(), band, cache, 0, 0);
  if (CaptionHeight() > 0) PaintTitleButtons(cache);
  SkinData->BGChanged = false;
}

void TacDialogWnd::PaintShadow(Bitmap& cache) {
  const LoadedSkin& skin = SkinManager->Skin();
  const Bitmap* shadow = (Active ? skin.ActiveShadow : skin.InactiveShadow).get();
  if (shadow == nullptr || shadow->Empty()) return;
  TRect widths = skin.ShadowMargins;
  std::array<int32_t, 4> modes{0, 0, 0, 0};
  const int32_t ex = skin.CommonIndexes.ExBorder;
  if (const SkinImageRecord* image = ValidImage(SkinManager, ex)) {
    widths = TRect{SkinMaskBorderLeft(skin, ex), SkinMaskBorderTop(skin, ex), SkinMaskBorderRight(skin, ex),
                   SkinMaskBorderBottom(skin, ex)};
    const int32_t mode = (image->DrawMode & dmStretch) ? 1 : 0;
    modes = {mode, mode, mode, mode};
  }
  PaintFormBorderParts(cache, *shadow, TRect{0, 0, cache.Width(), cache.Height()}, false, false, modes, widths, widths,
                       TRect{0, 0, shadow->Width(), shadow->Height()});
}

void TacDialogWnd::PaintCaption(Bitmap& cache) {
  const int32_t c = CaptionHeight();
  if (c <= 0) return;
  const int32_t b = BorderWidth();
  const TRect m = ShadowSize();
  const int32_t state = Active ? 1 : 0;
  if (const SkinSectionRecord* ts = ValidSection(SkinManager, TitleSection))
    PaintSkinItem(TitleSection, CacheInfoFromBitmap(&cache, 0, 0), std::min(state, SectionStateCount(*ts) - 1),
                  TRect{m.Left, m.Top, cache.Width() - m.Right, m.Top + b + c}, TPoint{}, cache, SkinManager);
  const TRect icon = IconRect();
  // The window's icon (or the system's) drawn scaled by the system: no icon or bitmap is made for it.
  const bool hasIcon = CloseVisible();
  if (hasIcon) DrawWindowIcon(Handle, cache, icon);

  char buffer[1000] = {};
  const int n = GetWindowTextA(Handle, buffer, int(sizeof(buffer)));
  const std::string caption(buffer, size_t(n > 0 ? n : 0));
  int32_t buttons = 0;
  for (const DialogTitleButton* btn : {&CloseButton, &MaxButton, &MinButton, &HelpButton})
    if (!RectIsEmpty(btn->Rect)) buttons += btn->Rect.Width();
  TRect R{m.Left + b + (hasIcon ? icon.Width() : 0) + 4, m.Top + b, cache.Width() - m.Right - buttons - 6 - b,
          m.Top + b + c};
  if (RectIsEmpty(R) || caption.empty()) return;
  TextEngine& engine = CurrentTextEngine();
  const int32_t th = engine.Extent(TitleFont, caption).cy;
  int32_t band = 0, bandHeight = 0;
  CaptionBand(band, bandHeight);
  R.Top = band + (bandHeight - th) / 2;
  R.Bottom = R.Top + th;
  uint32_t flags = dtSingleLine | dtVCenter | dtNoPrefix | dtEndEllipsis;
  if (SavedExStyle & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL)) flags |= dtRtlReading | dtRight;
  int32_t section = TitleSection;
  if (ValidSection(SkinManager, CaptionIndex) != nullptr) {
    section = CaptionIndex;
    const int32_t tw = std::min(R.Width(), engine.Extent(TitleFont, caption).cx);
    const TRect back = (flags & dtRight) ? TRect{R.Right - tw - 4, R.Top - 2, R.Right + 4, R.Bottom + 2}
                                         : TRect{R.Left - 4, R.Top - 2, R.Left + tw + 4, R.Bottom + 2};
    PaintSkinItem(CaptionIndex, CacheInfoFromBitmap(&cache, 0, 0), state, back, TPoint{}, cache, SkinManager);
  }
  if (const SkinSectionRecord* s = ValidSection(SkinManager, section)) {
    const SkinStateBlock& block = SectionStateBlock(*s, state);
    if (block.GradientSize > 0 && SkinManager->SkinData().Version > 7.5)
      DrawTextWithEffects(cache, TitleFont, caption, R, block.GradientColor, block.GradientSize, 0, flags);
  }
  // The skin's caption colour for the state, also while a window the dialog opened disables it.
  WriteTextSectionEx(cache, TitleFont, caption, true, SkinManager, R, state, section, flags);
}

void TacDialogWnd::PaintTitleButtons(Bitmap& cache) {
  for (DialogTitleButton* b : {&CloseButton, &MaxButton, &MinButton, &HelpButton}) b->Rect = TRect{};
  if (!CloseVisible() || SkinManager == nullptr) return;
  const TsSkinData& g = SkinManager->SkinData();
  const int32_t border = BorderWidth();
  const TRect m = ShadowSize();
  int32_t band = 0, c = 0;
  CaptionBand(band, c);
  int32_t x = cache.Width() - m.Right - g.BIRight - border;
  const bool spaced = BorderStyle == 1 || BorderStyle == 3 || CloseButton.LargeImage;
  auto place = [&](DialogTitleButton& b) {
    const int32_t w = TitleButtonWidth(b), h = TitleButtonHeight(b);
    const int32_t top = band + (c - h) / 2;
    b.Rect = TRect{x - w, top, x, top + h};
    x -= w + (spaced ? g.BISpace : 0);
    DrawTitleButton(cache, b);
  };
  place(CloseButton);
  if (MaximizeVisible()) place(MaxButton);
  if (MinimizeVisible() || Iconic()) place(MinButton);
  if (HelpVisible()) place(HelpButton);
}

bool TacDialogWnd::DrawTitleButton(Bitmap& cache, DialogTitleButton& b) {
  int32_t image = b.ImageIndex;
  bool enabled = true;
  const SkinCommonIndexes& ci = SkinManager->Skin().CommonIndexes;
  switch (b.HitCode) {
    case kHtClose: enabled = CloseEnabled(); break;
    case kHtMaxButton:
      if (Zoomed()) image = b.LargeImage ? ci.BIConNorm : ci.SIConNorm;
      enabled = MaximizeEnabled() || RestoreEnabled();
      break;
    case kHtMinButton:
      if (Iconic()) image = b.LargeImage ? ci.BIConNorm : ci.SIConNorm;
      enabled = MinimizeEnabled() || Iconic();
      break;
    default: break;
  }
  const SkinImageRecord* rec = ValidImage(SkinManager, image);
  if (rec == nullptr || RectIsEmpty(b.Rect)) return false;
  const bool inactiveLook = !Active || !enabled;
  DrawButtonImage(cache, *rec, b.Rect, inactiveLook && b.State == 0 ? -1 : (enabled ? b.State : -1));
  return true;
}

void TacDialogWnd::CopyFrameToDC(HDC dc) {
  const Bitmap* cache = SkinData ? SkinData->CacheBmp.get() : nullptr;
  if (cache == nullptr || cache->Empty()) return;
  const TSize w = WindowSize(Handle), cl = ClientSize(Handle);
  const int32_t ox = ClientOffsetX(), oy = ClientOffsetY();
  BitmapToDC(dc, 0, 0, w.cx, oy, *cache, 0, 0);
  BitmapToDC(dc, 0, oy, ox, cl.cy, *cache, 0, oy);
  BitmapToDC(dc, ox + cl.cx, oy, w.cx - ox - cl.cx, cl.cy, *cache, ox + cl.cx, oy);
  BitmapToDC(dc, 0, oy + cl.cy, w.cx, w.cy - oy - cl.cy, *cache, 0, oy + cl.cy);
}

void TacDialogWnd::PaintNC(HDC DC) {
  if (!settingRegion_ && NeedRegion && !(BorderStyle == 2 && !(SavedStyle & WS_THICKFRAME))) {
    BuildRegionData();
    NeedRegion = 0;
    UpdateRegion(true);
  }
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
  if (BorderForm) {
    // The border window carries the whole frame; the window itself shows only its client area.
    UpdateBorderForm(false);
    repaintPending_ = 0;
    return;
  }
  HDC dc = DC ? DC : ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  CopyFrameToDC(dc);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
  repaintPending_ = 0;
}

void TacDialogWnd::EraseBackground(HDC DC) {
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
  const Bitmap* cache = SkinData->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  HDC dc = DC ? DC : ledger::GetDC(Handle);
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  for (HWND c = GetWindow(Handle, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsWindowVisible(c)) continue;
    const LONG_PTR style = GetWindowLongPtrA(c, GWL_STYLE);
    char cls[32] = {};
    GetClassNameA(c, cls, int(sizeof(cls)));
    if ((lstrcmpiA(cls, "static") == 0 && (style & WS_TABSTOP)) || (style & 7) == 7) continue;
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, Handle, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  const TSize cl = ClientSize(Handle);
  BitmapToDC(dc, 0, 0, cl.cx, cl.cy, *cache, ClientOffsetX(), ClientOffsetY());
  RestoreDC(dc, saved);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
}

void TacDialogWnd::BuildRegionData() {
  RegionRects.clear();
  if (SkinManager == nullptr) return;
  const LoadedSkin& skin = SkinManager->Skin();
  const TSize size = WindowSize(Handle);
  if (SkinManagerIsValidImageIndex(skin, SkinData->BorderIndex)) {
    const SkinImageRecord& rec = skin.Images[size_t(SkinData->BorderIndex)];
    MaskCornerRects(RegionRects, size.cx, rec, 0, false);
    MaskCornerRects(RegionRects, size.cx, rec, size.cy - SkinMaskBorderBottom(skin, SkinData->BorderIndex), true);
  }
  if (const SkinSectionRecord* ts = ValidSection(SkinManager, TitleSection))
    if (SkinManagerIsValidImageIndex(skin, ts->BorderIndex))
      MaskCornerRects(RegionRects, size.cx, skin.Images[size_t(ts->BorderIndex)], 0, false);
}

void TacDialogWnd::UpdateRegion(bool Redraw) {
  if (BorderStyle == 2 && !Iconic()) return;
  if (SendMessageA(Handle, kOwnRegionQuery, kOwnRegionAnswer, 0) == LRESULT(kOwnRegionAnswer)) return;
  settingRegion_ = true;
  if (BorderForm) {
    // Only the client area stays visible: the border window shows the frame around it.
    RECT wr{};
    GetWindowRect(Handle, &wr);
    POINT o{0, 0};
    ClientToScreen(Handle, &o);
    const TSize cl = ClientSize(Handle);
    const int32_t x = o.x - wr.left, y = o.y - wr.top;
    ledger::SetWindowRgn(Handle, ledger::CreateRectRgn(x, y, x + cl.cx, y + cl.cy), Redraw);
  } else if (RegionRects.empty()) {
    // The whole window, not no region: under Wine a caption's window with no region of its own is handed to a
    // window manager to decorate, and the manager's frame then stands where the skin's should show (the X window
    // shrunk to the client area, the skinned frame painted where nothing shows it).
    const TSize size = WindowSize(Handle);
    ledger::SetWindowRgn(Handle, ledger::CreateRectRgn(0, 0, size.cx, size.cy), Redraw);
  } else {
    const TSize size = WindowSize(Handle);
    HRGN region = ledger::CreateRectRgn(0, 0, size.cx, size.cy);
    for (const TRect& r : RegionRects) {
      HRGN cut = ledger::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
      CombineRgn(region, region, cut, RGN_DIFF);
      ledger::DeleteObject(cut);
    }
    ledger::SetWindowRgn(Handle, region, Redraw);
  }
  settingRegion_ = false;
}

void TacDialogWnd::SendToChildren(gui::TMessage& M) {
  for (HWND c = GetWindow(Handle, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    SendMessageA(c, M.Msg, M.WParam, M.LParam);
}

void TacDialogWnd::SetExtendedBorders(bool On) {
  const bool want = On && Finished && !Destroyed && SkinManager != nullptr && SystemCaptionHeight() > 0 && !Iconic() &&
                    LayeredAlphaShown();  // a shadow whose alpha is not shown would be a black frame
  if (want == (BorderForm != nullptr)) return;
  if (want) {
    if (!borderOwner_) borderOwner_ = std::make_unique<DialogBorderOwner>(*this);
    BorderForm = std::make_unique<TacBorderForm>(*borderOwner_);
  } else {
    BorderForm.reset();
  }
  SkinData->BGChanged = true;
  NeedRegion = 1;
  if (IsWindowVisible(Handle))
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TacDialogWnd::PrintChildWindows(HWND Window, HDC DC) {
  for (HWND c = GetWindow(Window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, Window, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const LONG_PTR style = GetWindowLongPtrA(c, GWL_STYLE);
    if ((style & WS_CHILD) && (style & WS_VISIBLE) && w > 0 && h > 0) {
      // Printed into a picture of its own whose origin is its top-left corner, over what lies under it: the
      // system's push buttons clip their painting to their client rectangle taken as device coordinates, so
      // they draw nothing into a DC whose origin was moved to their place.
      const Bitmap own(w, h, pf32bit);
      const BitmapDC print(own);
      if (HDC p = print.dc(); p && BitBlt(p, 0, 0, w, h, DC, r.left, r.top, SRCCOPY)) {
        SendMessageA(c, WM_SKINCOMMAND, SkinCommandWParam(AC_SETPAINTTARGET), reinterpret_cast<LPARAM>(p));
        SendMessageA(c, WM_PRINT, reinterpret_cast<WPARAM>(p), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
        SendMessageA(c, WM_SKINCOMMAND, SkinCommandWParam(AC_SETPAINTTARGET), 0);
        BitBlt(DC, r.left, r.top, w, h, p, 0, 0, SRCCOPY);
      }
    }
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, r.left, r.top, nullptr);
    PrintChildWindows(c, DC);
    RestoreDC(DC, saved);
  }
}

void TacDialogWnd::StopTitleGlows() {
  for (DialogTitleButton* b : {&MinButton, &MaxButton, &CloseButton, &HelpButton}) {
    delete b->GlowTimer;
    b->GlowTimer = nullptr;
  }
}

void TacDialogWnd::UpdateBorderForm(bool Repaint, uint8_t Alpha) {
  // A border window that shows the dialog's hide picture keeps it.
  if (BorderForm && !BorderForm->Animating) BorderFormUpdate(*BorderForm, Repaint, Alpha);
}

TacAnimatedDialog& TacDialogWnd::Animated() {
  if (!animated_) animated_ = std::make_unique<DialogAnimated>(*this);
  return *animated_;
}

bool TacDialogWnd::HideFades() const {
  const TacFormAnimation& hide = SkinManager->AnimEffects.DialogHide;
  return hide.Active && hide.Time > 0 && LayeredPicturesShown(SkinManager);
}

void TacDialogWnd::FreeCoverForm() {
  if (CoverForm && IsWindow(CoverForm)) ledger::DestroyWindow(CoverForm);
  CoverForm = nullptr;
}

namespace {

// A click on one of the buttons that end a message box (or Escape, which is Cancel): OK, Cancel, Abort, Retry,
// Ignore, Yes, No, Close, Try Again, Continue. Whichever ends the dialog, its picture must lie over it before its
// window hides.
bool EndingCommand(WPARAM command) {
  switch (command) {
    case IDOK: case IDCANCEL: case IDABORT: case IDRETRY: case IDIGNORE: case IDYES: case IDNO: case IDCLOSE:
    case IDTRYAGAIN: case IDCONTINUE:
      return true;
    default:
      return false;
  }
}

}  // namespace

void TacDialogWnd::HandleClosingCommand(gui::TMessage& M) {
  if (!EndingCommand(M.WParam) || !HideFades() || !IsWindowVisible(Handle)) {
    Default(M);
    return;
  }
  // The picture is laid as the command hides the dialog (LayHidePicture), not before: a command may keep the
  // dialog open a while, as a save dialog's OK that first asks whether to replace a file, and a picture laid over
  // the dialog then would lie over its question too and take its clicks.
  const bool bordered = BorderForm && BorderForm->AForm;
  ++closingCommands_;
  if (bordered) {
    CallOriginal(M);
  } else {
    Default(M);
  }
  --closingCommands_;
  // The dialog stayed: its border window shows its frame again.
  if (!Destroyed && BorderForm && BorderForm->Animating) {
    BorderForm->Animating = false;
    UpdateBorderForm(false);
  }
  // Taken over by the hide fade, or the dialog stayed: no cover outlives the command.
  FreeCoverForm();
}

void TacDialogWnd::LayHidePicture() {
  if (closingCommands_ == 0 || !HideFades() || !IsWindowVisible(Handle) || CoverForm ||
      (BorderForm && BorderForm->Animating))
    return;
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
  if (BorderForm && BorderForm->AForm) {
    // The border window shows the dialog whole, its children included, until the hide fade takes it.
    HWND border = static_cast<HWND>(BorderForm->AForm);
    ledger::SetWindowRgn(border, nullptr, FALSE);
    if (std::unique_ptr<Bitmap> picture = DialogHidePicture(Animated()); picture && !picture->Empty())
      LayeredOutput().Push(border, *picture, 255);
    BorderForm->Animating = true;
    return;
  }
  CoverForm = CreateSnapshotCoverForm(Handle);
  if (CoverForm) detail::CopyWindowRegion(Handle, CoverForm);
}

HBRUSH TacDialogWnd::DialogBrush() {
  const TColor colour = ColorToRGB(SkinManager ? SkinManagerGlobalColor(*SkinManager) : TColor(GetSysColor(COLOR_BTNFACE)));
  if (brush_ == nullptr || colour != brushColor_) {
    if (brush_ != nullptr) ledger::DeleteObject(brush_);
    brush_ = ledger::CreateSolidBrush(COLORREF(colour));
    brushColor_ = colour;
  }
  return brush_;
}

// ---- Mouse.

int32_t TacDialogWnd::TitleButtonAt(const TPoint& pt) {
  if (!CloseVisible()) return 0;
  if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
  if (CloseButton.Rect.Contains(pt)) return CloseEnabled() ? HTCLOSE : HTCAPTION;
  if (MaximizeVisible() && MaxButton.Rect.Contains(pt))
    return (MaximizeEnabled() || RestoreEnabled()) ? HTMAXBUTTON : HTCAPTION;
  if ((MinimizeVisible() || Iconic()) && MinButton.Rect.Contains(pt))
    return (Iconic() || MinimizeEnabled()) ? HTMINBUTTON : HTCAPTION;
  if (HelpVisible() && HelpButton.Rect.Contains(pt)) return HTHELP;
  return 0;
}

int32_t TacDialogWnd::HitTest(gui::TMessage& M) {
  // With a border window the window shows only its client area; the border window answers for the frame.
  if (BorderForm) return 0;
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int32_t x = int16_t(LOWORD(M.LParam)) - wr.left, y = int16_t(HIWORD(M.LParam)) - wr.top;
  const int32_t b = BorderWidth(), c = CaptionHeight();
  if (c > 0 && y >= b && y < b + c) {
    if (CloseVisible() && x >= b && x < b + GetSystemMetrics(SM_CXSMICON)) {
      SetHotTitleButton(0, true);
      return HTSYSMENU;
    }
    if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
    int32_t code = HTCAPTION;
    if (CloseVisible()) {
      const TPoint pt{x, y};
      if (CloseButton.Rect.Contains(pt)) {
        code = CloseEnabled() ? HTCLOSE : 0;
      } else if (MaximizeVisible() && MaxButton.Rect.Contains(pt)) {
        code = (MaximizeEnabled() || RestoreEnabled()) ? HTMAXBUTTON : HTCAPTION;
      } else if ((MinimizeVisible() || Iconic()) && MinButton.Rect.Contains(pt)) {
        code = (Iconic() || MinimizeEnabled()) ? HTMINBUTTON : HTCAPTION;
      } else if (HelpVisible() && HelpButton.Rect.Contains(pt)) {
        code = HTHELP;
      }
    }
    SetHotTitleButton(code == HTCAPTION ? 0 : code, true);
    return code;
  }
  if (Zoomed() && !(x >= 2 && y >= 2 && x < WindowSize(Handle).cx - 4 && y < WindowSize(Handle).cy - 4)) return -1;
  return 0;
}

void TacDialogWnd::SetHotTitleButton(int32_t Code, bool Repaint) {
  if (Code == HotElement) return;
  if (DialogTitleButton* old = ButtonOfCode(HotElement)) {
    old->State = 0;
    if (Repaint) RepaintTitleButton(HotElement);
  }
  HotElement = Code;
  g_titleButtonPressed = 0;
  if (DialogTitleButton* now = ButtonOfCode(Code)) {
    now->State = 1;
    if (Repaint) RepaintTitleButton(Code);
  }
}

void TacDialogWnd::PressTitleButton(int32_t Code) {
  if (DialogTitleButton* old = ButtonOfCode(HotElement); old != nullptr && HotElement != Code) {
    old->State = 0;
    RepaintTitleButton(HotElement);
  }
  HotElement = Code;
  if (DialogTitleButton* b = ButtonOfCode(Code)) {
    if (Code != kHtMaxButton || MaximizeEnabled() || (Zoomed() && RestoreEnabled())) b->State = 2;
  }
  g_titleButtonPressed = 1;
  RepaintTitleButton(Code);
}

void TacDialogWnd::RepaintTitleButton(int32_t Code) {
  DialogTitleButton* b = ButtonOfCode(Code);
  Bitmap* cache = SkinData ? SkinData->CacheBmp.get() : nullptr;
  if (b == nullptr || cache == nullptr || RectIsEmpty(b->Rect) || SkinManager == nullptr) return;
  if (SkinManager->Effects.AllowGlowing && IsWindowVisible(Handle) && !(MoveFlags & 0x80) &&
      LayeredPicturesShown(SkinManager)) {
    // The button's new look fades in over the frame (a pressed one at once), its old one fades out.
    switch (b->State) {
      case 1: AnimateWindowTitleButtonGlow(*b, 1, 10, *SkinData, Handle, BorderForm.get(), true); break;
      case 2: AnimateWindowTitleButtonGlow(*b, 2, 1, *SkinData, Handle, BorderForm.get(), true); break;
      default: AnimateWindowTitleButtonGlow(*b, 0, 10, *SkinData, Handle, BorderForm.get(), false); break;
    }
    return;
  }
  if (TitleCopy && !TitleCopy->Empty())
    CopyBitmapPixels(*cache, b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), *TitleCopy, b->Rect.Left,
                     b->Rect.Top);
  if (!DrawTitleButton(*cache, *b) || !IsWindowVisible(Handle)) return;
  if (BorderForm) {
    UpdateBorderForm(false);
    return;
  }
  HDC dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  BitmapToDC(dc, b->Rect.Left, b->Rect.Top, b->Rect.Width(), b->Rect.Height(), *cache, b->Rect.Left, b->Rect.Top);
  ledger::ReleaseDC(Handle, dc);
}

void TacDialogWnd::NCLButtonDown(gui::TMessage& M) {
  const int32_t code = int32_t(M.WParam);
  switch (code) {
    case HTSYSMENU: {
      SetHotTitleButton(0, true);
      RECT wr{};
      GetWindowRect(Handle, &wr);
      TPoint origin{wr.left, wr.top};
      if (BorderForm) {
        const TRect r = BorderFormScreenRect(*BorderForm);
        origin = TPoint{r.Left, r.Top};
      }
      const TRect icon = IconRect();
      ShowSystemMenu(origin.X + icon.Left - ShadowSize().Left, origin.Y + icon.Top + GetSystemMetrics(SM_CYSMICON));
      return;
    }
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
      PressTitleButton(code);
      return;
    default:
      break;
  }
  if (Iconic()) {
    SysCommand(Handle, 0xF012);
    return;
  }
  SetHotTitleButton(0, true);
  if (Zoomed() && code == HTCAPTION) {
    if (GetActiveWindow() != Handle) SetForegroundWindow(Handle);
    return;
  }
  const TacBlendOnMoving& blend = SkinManager->AnimEffects.BlendOnMoving;
  if (code == HTCAPTION && blend.Active && blend.BlendValue < 255) {
    SkinData->BGChanged = true;
    Active = 1;
    PaintAll();
    StartBlendOnMoving(M);
    return;
  }
  CallOriginal(M);
}

void TacDialogWnd::StartBlendOnMoving(gui::TMessage& M) {
  if (MoveFlags & 0x80) {
    CallOriginal(M);
    return;
  }
  const TacBlendOnMoving& blend = SkinManager->AnimEffects.BlendOnMoving;
  const double minAlpha = blend.BlendValue;
  const double step = MoveTimerAlphaStep(blend.BlendValue, blend.Time);
  const HWND h = Handle;
  const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
  MoveFlags |= 0x80;
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrA(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  // The border window (showing the dialog whole while it moves) and the dialog at the same alpha.
  auto apply = [this, h](uint8_t alpha) {
    SetLayeredWindowAttributes(h, 0, alpha, LWA_ALPHA);
    UpdateBorderForm(false, alpha);
  };
  apply(255);
  double alpha = 255.0;
  gui::TTimer timer(nullptr);
  timer.SetInterval(12);
  timer.OnTimer = [&](gui::TObject*) {
    if (Destroyed || alpha <= minAlpha) return;
    alpha = std::max(minAlpha, alpha - step);
    apply(uint8_t(std::lround(alpha)));
  };
  timer.SetEnabled(true);
  CallOriginal(M);  // the system's move loop
  timer.SetEnabled(false);
  if (Destroyed || !IsWindow(h)) return;
  MoveFlags &= ~0x80;
  if (ex & WS_EX_LAYERED)
    SetLayeredWindowAttributes(h, 0, 255, LWA_ALPHA);
  else
    SetWindowLongPtrA(h, GWL_EXSTYLE, GetWindowLongPtrA(h, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED));
  UpdateBorderForm(false, 255);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TacDialogWnd::NCLButtonUp(gui::TMessage& M) {
  if (!g_titleButtonPressed) {
    CallOriginal(M);
    return;
  }
  const HWND h = Handle;
  switch (int32_t(M.WParam)) {
    case HTMINBUTTON:
      SetHotTitleButton(0, true);
      SysCommand(h, Iconic() ? SC_RESTORE : SC_MINIMIZE);
      break;
    case HTMAXBUTTON:
      if (Iconic() && !MaximizeEnabled()) break;
      SetHotTitleButton(0, true);
      SysCommand(h, Zoomed() ? SC_RESTORE : SC_MAXIMIZE);
      if (!Destroyed && SystemMenu) SystemMenu->UpdateItems();
      break;
    case HTHELP:
      SetHotTitleButton(0, true);
      SysCommand(h, SC_CONTEXTHELP);
      if (!Destroyed) {
        if (SystemMenu) SystemMenu->UpdateItems();
        SendMessageA(h, WM_NCPAINT, 1, 0);
      }
      break;
    case HTCLOSE:
      CloseButton.State = 0;
      SetHotTitleButton(0, true);
      g_titleButtonPressed = 0;
      SysCommand(h, SC_CLOSE);
      break;
    default:
      CallOriginal(M);
      break;
  }
  g_titleButtonPressed = 0;
  if (!Destroyed) SetHotTitleButton(0, true);
  M.WParam = 0;
}

void TacDialogWnd::ShowSystemMenu(int X, int Y) {
  if (!SystemMenu) return;
  SystemMenu->UpdateItems();
  const UINT command = UINT(TrackPopupMenu(SystemMenu->Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, X,
                                           Y, 0, Handle, nullptr));
  if (command != 0)
    if (gui::TMenuItem* item = gui::TMenuItem::FromCommand(command)) item->Click();
}

// ---- Messages.

void TacDialogWnd::HandleSize(gui::TMessage& M) {
  SkinData->BGChanged = true;
  NeedRegion = 1;
  repaintPending_ = 1;
  CallOriginal(M);
  repaintPending_ = 0;
  // Children that the system painted while it moved them (a drag of the grip) kept their paint back, and keep
  // it until told: the field, and the combo boxes around it, would stay blank.
  FlushHeldRepaints();
  if (IsWindowVisible(Handle))
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const TSize cl = ClientSize(Handle);
  LastClientRect = TRect{0, 0, cl.cx, cl.cy};
}

void TacDialogWnd::FlushHeldRepaints() {
  std::vector<HWND> all;
  EnumChildWindows(
      Handle,
      [](HWND h, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  // Listed each before its own children: from the end, a window's children are told before it repaints them.
  for (auto h = all.rbegin(); h != all.rend() && !Destroyed; ++h)
    if (IsWindow(*h)) SendLibraryCommand(*h, AC_FLUSHREPAINT, 0);
}

void TacDialogWnd::HandleSkinCommand(gui::TMessage& M) {
  const LPARAM managerParam = reinterpret_cast<LPARAM>(SkinManager);
  switch (SkinCommandCode(M.WParam)) {
    case AC_SKINLOADED:
      if (M.LParam == managerParam && SkinManager != nullptr) {
        StopTitleGlows();
        CommonDataUpdateIndexes(*SkinData, true);
        SkinData->BGChanged = true;
        CaptionIndex = SkinManagerGetSectionIndex(*SkinManager, "CAPTION");
        InitTitleButtons();
        SendToChildren(M);
        SetExtendedBorders(SkinManager->ExtendedBorders());
      }
      M.Result = 0;
      return;
    case AC_SKINREFRESH:
      if (SkinManager != nullptr) CommonDataUpdateIndexes(*SkinData, true);
      SkinData->BGChanged = true;
      NeedRegion = 1;
      if (SkinManager != nullptr) SetExtendedBorders(SkinManager->ExtendedBorders());
      if (IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return;
    case AC_SETREPAINTPENDING:
      repaintPending_ = LOWORD(M.WParam) == 1 ? 1 : 0;
      break;
    case AC_ISUPDATELOCKED:
      M.Result = repaintPending_;
      return;
    case AC_GETCOLOR:
      M.Result = LRESULT(CommonDataGetBgColor(*SkinData, 0, Handle));
      return;
    case AC_ISCACHEUSABLE: {
      // A child takes its background from the dialog's picture when the section is see-through or drawn from
      // an image at all.
      const SkinSectionRecord* s = ValidSection(SkinManager, SkinData->SkinIndex);
      M.Result = (s != nullptr && s->NormalState.Transparency + s->NormalState.ImagePercent >= 1) ? 1 : 0;
      return;
    }
    case AC_SKINCHILDREN:
      if (Provider) Provider->SkinChildren(Handle);
      break;
    case AC_GETBACKGROUND: {
      if (M.LParam == 0) break;
      auto& info = *reinterpret_cast<BackgroundInfo*>(M.LParam);
      if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
      if (!SkinData->CacheBmp || SkinData->CacheBmp->Empty()) {
        info.Color = CommonDataGetBgColor(*SkinData, 0, Handle);
        info.BgType = btFill;
      } else {
        info.Bmp = SkinData->CacheBmp.get();
        info.Offset = TPoint{info.R.Left + ClientOffsetX(), info.R.Top + ClientOffsetY()};
        info.BgType = btCache;
      }
      M.Result = 1;
      return;
    }
    case AC_GETCLIENTOFFSET:
      M.Result = MAKELONG(ClientOffsetX(), ClientOffsetY());
      return;
    default:
      break;
  }
  Default(M);
}

void TacDialogWnd::WndProc(gui::TMessage& M) {
  if (M.Msg == WM_DESTROY || M.Msg == WM_NCDESTROY || Destroyed || SkinData == nullptr || SkinManager == nullptr) {
    const bool going = M.Msg == WM_DESTROY || M.Msg == WM_NCDESTROY;
    // The border window goes first (the system would take it down with its owner).
    if (going) {
      FreeCoverForm();
      StopTitleGlows();
      BorderForm.reset();
    }
    Default(M);
    // The provider leaves the list now; it is freed when no adapter procedure runs any more.
    if (going && Provider) Provider->DialogGoing();
    return;
  }
  switch (M.Msg) {
    case WM_SIZE:
      HandleSize(M);
      return;
    case WM_SETFOCUS:
      CallOriginal(M);
      if (HWND active = GetActiveWindow())
        RedrawWindow(active, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      if (!IsWindowVisible(Handle)) break;
      CallOriginal(M);
      SkinData->BGChanged = true;
      SendMessageA(Handle, WM_NCPAINT, 1, 0);
      return;
    case WM_PAINT:
      if (SuppressClientPaint) {
        PAINTSTRUCT ps;
        BeginPaint(Handle, &ps);
        EndPaint(Handle, &ps);
        M.Result = 0;
        return;
      }
      CallOriginal(M);
      return;
    case WM_ERASEBKGND:
      if (!ChildrenSkinned && Provider) {
        Provider->SkinChildren(Handle);
        ChildrenSkinned = 1;
      }
      EraseBackground(reinterpret_cast<HDC>(M.WParam));
      M.Result = 1;
      return;
    case WM_SHOWWINDOW: {
      CallOriginal(M);
      DwmSetTransitionsDisabled(Handle, true, false);
      if (!M.WParam || Destroyed) return;
      NeedRegion = 1;
      // A dialog shown again gets back the border window that its hiding took.
      SetExtendedBorders(SkinManager->ExtendedBorders());
      // Its region is set while the window is still hidden: shown without one, a caption's window is handed to a
      // window manager as one to decorate, then taken back when the region comes (a frame put round it and taken
      // away again, the window resized to and fro, its close box missed meanwhile).
      if (!settingRegion_ && !(BorderStyle == 2 && !(SavedStyle & WS_THICKFRAME))) {
        BuildRegionData();
        NeedRegion = 0;
        UpdateRegion(false);
      }
      const TacFormAnimation& show = SkinManager->AnimEffects.DialogShow;
      if (show.Active && show.Time > 0 && LayeredPicturesShown(SkinManager)) {
        SkinData->BGChanged = true;
        if (!ChildrenSkinned && Provider) {
          Provider->SkinChildren(Handle);
          ChildrenSkinned = 1;
        }
        repaintPending_ = 0;
        AnimShowDialog(Animated());
      }
      return;
    }
    case WM_PRINT: {
      // The skinned window's picture (frame and client background); the children print themselves.
      HDC dc = reinterpret_cast<HDC>(M.WParam);
      if (dc == nullptr) break;
      if (SkinData->BGChanged || !SkinData->CacheBmp) PaintAll();
      if (const Bitmap* cache = SkinData->CacheBmp.get(); cache && !cache->Empty()) {
        const TSize w = WindowSize(Handle);
        const TPoint from = WindowOriginInCache(*this);
        BitmapToDC(dc, 0, 0, w.cx, w.cy, *cache, from.X, from.Y);
      }
      M.Result = 0;
      return;
    }
    case WM_MEASUREITEM:
      if (gui::DispatchMenuOwnerDraw(M)) return;  // an item of the skinned system menu
      break;
    case WM_DRAWITEM:
      if (gui::DispatchMenuOwnerDraw(M)) return;
      if (auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam); dis && dis->CtlType == ODT_STATIC)
        SetBkMode(dis->hDC, TRANSPARENT);
      break;
    case WM_WINDOWPOSCHANGING:
      // A closing command hiding the dialog: its picture lies over it before it goes.
      if (const auto* wp = reinterpret_cast<const WINDOWPOS*>(M.LParam); wp && (wp->flags & SWP_HIDEWINDOW))
        LayHidePicture();
      break;
    case WM_WINDOWPOSCHANGED: {
      const auto* wp = reinterpret_cast<const WINDOWPOS*>(M.LParam);
      const bool hiding = wp != nullptr && (wp->flags & SWP_HIDEWINDOW);
      if (hiding) NeedRegion = 1;
      Default(M);
      if (hiding && !Destroyed) {
        // The hide fades the dialog's picture out; the border window goes with it.
        if (HideFades() && SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
          auto& animated = static_cast<DialogAnimated&>(Animated());
          animated.Hiding = true;
          AnimHideDialog(animated);
          animated.Hiding = false;
        }
        FreeCoverForm();
        BorderForm.reset();
        return;
      }
      // The border window follows the dialog (and hides with it).
      if (!Destroyed && BorderForm && !repaintPending_ && !(MoveFlags & 0x80)) UpdateBorderForm(false);
      return;
    }
    case WM_NCHITTEST: {
      const int32_t code = HitTest(M);
      if (code == HTNOWHERE || code == HTCAPTION) {
        CallOriginal(M);
        if (M.Result != HTCAPTION) SetHotTitleButton(0, true);
        return;
      }
      M.Result = code;
      return;
    }
    case WM_NCPAINT:
      if (!IsWindowVisible(Handle)) {
        M.Result = 0;
        return;
      }
      if (!ChildrenSkinned && Provider) {
        Provider->SkinChildren(Handle);
        ChildrenSkinned = 1;
      }
      if (LastClientRect.Right == 0 && LastClientRect.Bottom == 0) {
        const TSize cl = ClientSize(Handle);
        LastClientRect = TRect{0, 0, cl.cx, cl.cy};
      }
      PaintNC();
      M.Result = 0;
      return;
    case WM_NCACTIVATE:
      if (!IsWindowVisible(Handle)) break;
      SendMessageA(Handle, WM_SETREDRAW, FALSE, 0);
      CallOriginal(M);
      Active = M.WParam != 0 ? 1 : 0;
      SendMessageA(Handle, WM_SETREDRAW, TRUE, 0);
      SkinData->BGChanged = true;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      return;
    case 135:
      M.Result = 0;
      return;
    case WM_NCLBUTTONDOWN:
      if (BorderForm && M.WParam == WPARAM(-1)) M.WParam = WPARAM(BorderFormHitTest(*BorderForm));
      if (!BorderForm && (M.WParam < HTLEFT || M.WParam > HTBOTTOMRIGHT)) {
        gui::TMessage probe{WM_NCHITTEST, 0, M.LParam, 0};
        M.WParam = WPARAM(HitTest(probe));
        if (M.WParam == 0) M.WParam = WPARAM(SendMessageA(Handle, WM_NCHITTEST, 0, M.LParam));
      }
      NCLButtonDown(M);
      return;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      if (BorderForm && M.WParam == WPARAM(-1)) M.WParam = WPARAM(BorderFormHitTest(*BorderForm));
      NCLButtonUp(M);
      return;
    case WM_NCLBUTTONDBLCLK:
      if (M.WParam == HTCAPTION) {
        // A dialog zoomed from outside (a window manager's own command) is given back whatever its buttons.
        if (MaximizeEnabled() || RestoreEnabled() || Zoomed()) {
          SysCommand(Handle, (Zoomed() || Iconic()) ? SC_RESTORE : SC_MAXIMIZE);
          if (!Destroyed && SystemMenu) SystemMenu->UpdateItems();
        }
      } else if (M.WParam == HTSYSMENU) {
        SysCommand(Handle, SC_CLOSE);
      }
      M.WParam = 0;
      M.Result = 0;
      return;
    case WM_NCRBUTTONDOWN:
      if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
        M.Result = 0;
        return;
      }
      break;
    case WM_NCRBUTTONUP:
      if (BorderForm && M.WParam == WPARAM(-1)) M.WParam = WPARAM(BorderFormHitTest(*BorderForm));
      if (M.WParam == HTCAPTION || M.WParam == HTSYSMENU) {
        SetHotTitleButton(0, true);
        const TPoint p = CursorScreenPos();
        ShowSystemMenu(p.X, p.Y);
      }
      M.Result = 0;
      return;
    case WM_COMMAND:
      HandleClosingCommand(M);
      return;
    case WM_CTLCOLORDLG:
      M.Result = reinterpret_cast<LRESULT>(DialogBrush());
      return;
    case WM_MOUSELEAVE:
      SetHotTitleButton(0, true);
      break;
    case WM_MOUSEMOVE:
      // The pointer over the dialog itself: no control keeps its hot look.
      if (IsWindowEnabled(Handle)) SkinManagerSetHotControl(SkinManager, nullptr);
      break;
    case WM_USER + 1:
      Default(M);
      if (!Destroyed && Provider) {
        Provider->SkinChildren(Handle);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      }
      return;
    case 1324:
    case 1326:
      CallOriginal(M);
      if (!Destroyed && Provider) {
        Provider->SkinChildren(Handle);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      }
      return;
    case WM_SKINCOMMAND:
      HandleSkinCommand(M);
      return;
    default:
      break;
  }
  const bool sysCommand = M.Msg == WM_SYSCOMMAND;
  const WPARAM command = M.WParam & 0xFFF0;
  const WPARAM full = M.WParam;
  Default(M);
  if (!sysCommand || Destroyed) return;
  if (full == 0xF012) {
    UpdateWindow(Handle);
  } else if (command == SC_MAXIMIZE || command == SC_RESTORE) {
    if (MaximizeVisible()) HotElement = kHtMaxButton;
    SetHotTitleButton(0, true);
  }
}

}  // namespace skin
#endif
