// The grid and tree adapters.
#include "skin/adapters/acgrids.h"

#include <commctrl.h>

#include <algorithm>

#include "gui/grids.h"
#include "gui/treeview.h"
#include "skin/manager/commondata.h"
#include "skin/manager/componentprops.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/text_engine.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

constexpr UINT kTvmSetBkColor = 0x111D;
constexpr UINT kTvmSetTextColor = 0x111E;
constexpr UINT kTvmGetBkColor = 0x111F;
constexpr UINT kTvmGetTextColor = 0x1120;

const SkinSectionRecord* SectionOf(const TsSkinManager* m, const TsCommonData* d) {
  if (m == nullptr || d == nullptr || !SkinManagerIsValidSectionIndex(*m, d->SkinIndex)) return nullptr;
  return &m->Skin().Sections[size_t(d->SkinIndex)];
}

void FillWithColor(HDC dc, const RECT& r, TColor colour) {
  FillRectWithColor(dc, TRect{r.left, r.top, r.right, r.bottom}, colour);
}

}  // namespace

GridSkinColors GridColorsOf(TsSkinManager& m, const TsCommonData& d) {
  GridSkinColors c;
  const LoadedSkin& skin = m.Skin();
  c.Global = SkinManagerGlobalColor(m);
  c.GlobalFont = SkinManagerGlobalFontColor(m);
  c.Edit = SkinManagerEditColor(m);
  c.EditFont = SkinManagerEditFontColor(m);
  c.Selection = SkinManagerHighlightColor(m, true);
  c.SelectionFont = SkinManagerHighlightFontColor(m, true);
  c.Border = skin.Colors[scBorderColor];
  c.EditOdd = skin.Colors[scEditBgOdd];
  c.EditEven = skin.Colors[scEditBgEven];
  const int32_t gi = SkinManagerGetSectionIndex(m, "GLOBALINFO");
  c.GlobalInfo = SkinManagerIsValidSectionIndex(m, gi) ? skin.Sections[size_t(gi)].NormalState.Color : c.Global;
  const SkinSectionRecord* s = SectionOf(&m, &d);
  c.SectionFont = s != nullptr ? s->NormalState.FontColor : c.EditFont;
  return c;
}

// ---- TacGridWnd.

void TacGridWnd::SaveColors() {
  TacEditWnd::SaveColors();
  // The grid's own values are taken as the skin writes them (ApplyPropertyValues keeps the first value).
}

void TacGridWnd::RestoreColors() {
  TacEditWnd::RestoreColors();
  gui::TObject* owner = Owner();
  auto* control = dynamic_cast<gui::TControl*>(owner);
  if (owner == nullptr || (control != nullptr && control->IsDestroying())) {
    SavedGridColors = SavedProperties{};
    return;
  }
  RestoreProperties(owner, SavedGridColors);
}

void TacGridWnd::SetSkinColors() {
  TacEditWnd::SetSkinColors();
  gui::TObject* owner = Owner();
  if (owner == nullptr || SkinManager == nullptr || SectionOf(SkinManager, SkinData) == nullptr) return;
  const GridSkinColors colours = GridColorsOf(*SkinManager, *SkinData);
  ApplyPropertyValues(owner, GridColorTable(colours, owner), SavedGridColors);
}

bool TacGridWnd::GridMessage(gui::TMessage& m) {
  switch (m.Msg) {
    case WM_VSCROLL: {
      if (!VertBar || Owner() == nullptr || !HasPublishedProperty(Owner(), "DataSource")) return false;
      const int code = LOWORD(m.WParam);
      if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
        // A data-bound grid scrolls by records: the bar keeps the position the user dragged it to.
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_POS;
        si.nPos = VertBar->ScrollInfo.nTrackPos;
        SetScrollInfo(Handle, SB_VERT, &si, FALSE);
      } else if (code == SB_ENDSCROLL) {
        char cls[32] = {};
        GetClassNameA(Handle, cls, sizeof cls);
        if (lstrcmpA(cls, "TwwDBGrid") != 0) {
          CallOriginal(m);
          if (!Destroyed && VertBar) SendScrollMessage(Handle, WM_VSCROLL, SB_THUMBPOSITION, VertBar->ScrollInfo.nTrackPos);
          return true;
        }
      }
      return false;
    }
    case WM_LBUTTONUP: {
      if (!VertBar || !VertBar->Visible) return false;
      POINT pt{short(LOWORD(m.LParam)), short(HIWORD(m.LParam))};
      ClientToScreen(Handle, &pt);
      const TRect bar = VertScrollBarRect(this, Handle);
      if (!bar.Contains(TPoint{pt.x, pt.y})) return false;
      m.Result = ScrollMouseUp(this, Handle, WPARAM(-1), m.LParam);
      return true;
    }
    default:
      return false;
  }
}

void TacGridWnd::WndProc(gui::TMessage& m) {
  if (!Destroyed && IsSkinned() && GridMessage(m)) return;
  const bool skinRemoved = m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_SKINREMOVED &&
                           m.LParam == reinterpret_cast<LPARAM>(SkinManager) && AcceptSkinCommand(m);
  auto* grid = skinRemoved ? dynamic_cast<gui::TCustomGrid*>(Owner()) : nullptr;
  TacEditWnd::WndProc(m);
  if (m.Msg == WM_PAINT && !Destroyed && HorzBar && IsSkinned() && SkinData->Updating == 0) RefreshScrollBars(this, false);
  if (skinRemoved) {
    // The rows are laid out again for the system's look.
    if (grid != nullptr && !grid->IsDestroying()) {
      const int height = grid->DefaultRowHeight();
      grid->SetDefaultRowHeight(0);
      grid->SetDefaultRowHeight(height);
    }
  }
}

// ---- TacGridEhWnd.

void TacGridEhWnd::SetSkinColors() {
  TacGridWnd::SetSkinColors();
  gui::TObject* owner = Owner();
  if (owner == nullptr || SkinManager == nullptr || SectionOf(SkinManager, SkinData) == nullptr) return;
  const GridSkinColors colours = GridColorsOf(*SkinManager, *SkinData);
  ApplySetChanges(owner, GridEhSetChanges(), SavedGridColors);
  ApplyPropertyValues(owner, GridEhColorTable(colours), SavedGridColors);
}

void TacGridEhWnd::WndProc(gui::TMessage& m) {
  TacGridWnd::WndProc(m);
  if (Destroyed) return;
  if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE && SkinManager != nullptr &&
      SkinOptionFlag(SkinManager->Options, 4))
    NotifyParentChildChanged(SkinData != nullptr ? SkinData->OwnerControl : nullptr);
}

// ---- TacTreeViewWnd.

int32_t TacTreeViewWnd::TreeState() const {
  if (SkinData == nullptr) return 0;
  if (GetFocus() == Handle || SkinData->Focused) return 1;
  return SkinData->MouseAbove && HotLookAllowed(SkinData, true) ? 1 : 0;
}

TColor TacTreeViewWnd::TreeBackground(int32_t State) const {
  if (CreatedByDispatcher) return clWindow;
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (SkinData != nullptr && SkinData->CustomColor) return control != nullptr ? control->Color() : clWindow;
  const SkinSectionRecord* s = SectionOf(SkinManager, SkinData);
  if (s == nullptr) return clWindow;
  return SectionStateBlock(*s, std::min(State, SectionStateCount(*s) - 1)).Color;
}

void TacTreeViewWnd::SaveColors() {
  TacEditWnd::SaveColors();
  if (!TreeColorsSaved && Handle != nullptr) {
    SavedTreeBk = COLORREF(SendMessageA(Handle, kTvmGetBkColor, 0, 0));
    SavedTreeText = COLORREF(SendMessageA(Handle, kTvmGetTextColor, 0, 0));
    TreeColorsSaved = true;
  }
}

void TacTreeViewWnd::RestoreColors() {
  TacEditWnd::RestoreColors();
  if (Handle == nullptr || !IsWindow(Handle) || windowGoing_) return;
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (control != nullptr && control->IsDestroying()) return;
  if (control != nullptr) {
    // The control's own colours, as it gives them to its window.
    SendMessageA(Handle, kTvmSetBkColor, 0, LPARAM(ColorToRGB(control->Color()) & 0xFFFFFF));
    SendMessageA(Handle, kTvmSetTextColor, 0, LPARAM(ColorToRGB(control->Font().Color()) & 0xFFFFFF));
  } else if (TreeColorsSaved) {
    SendMessageA(Handle, kTvmSetBkColor, 0, LPARAM(SavedTreeBk));
    SendMessageA(Handle, kTvmSetTextColor, 0, LPARAM(SavedTreeText));
  }
  TreeColorsSaved = false;
  if (IsWindowVisible(Handle)) InvalidateRect(Handle, nullptr, TRUE);
}

void TacTreeViewWnd::SetSkinColors() {
  Skinned = 1;
  if (Handle == nullptr) return;
  if (CreatedByDispatcher) {
    SendMessageA(Handle, kTvmSetBkColor, 0, LPARAM(ColorToRGB(clWindow) & 0xFFFFFF));
    SendMessageA(Handle, kTvmSetTextColor, 0, LPARAM(ColorToRGB(clWindowText) & 0xFFFFFF));
    return;
  }
  const SkinSectionRecord* s = SectionOf(SkinManager, SkinData);
  if (s == nullptr) return;
  const int32_t state = CommonDataIsFocusedLook(*SkinData) ? 1 : 0;
  const int32_t shown = std::min(state, SectionStateCount(*s) - 1);
  gui::TControl* control = SkinData->OwnerControl;
  const TColor background = TreeBackground(state);
  const TColor text = control != nullptr && SkinData->CustomFont ? control->Font().Color()
                                                                  : SectionStateBlock(*s, shown).FontColor;
  if (control != nullptr) {
    if (control->Font().Color() != text) {
      SkinData->CtrlState |= csSettingFont;
      control->Font().SetColor(text);
      SkinData->CtrlState &= uint16_t(~csSettingFont);
    }
    SendMessageA(Handle, kTvmSetTextColor, 0, LPARAM(ColorToRGB(text) & 0xFFFFFF));
    if (background != control->Color()) SendMessageA(Handle, kTvmSetBkColor, 0, LPARAM(ColorToRGB(background) & 0xFFFFFF));
  } else {
    SendMessageA(Handle, kTvmSetTextColor, 0, LPARAM(ColorToRGB(text) & 0xFFFFFF));
    SendMessageA(Handle, kTvmSetBkColor, 0, LPARAM(ColorToRGB(background) & 0xFFFFFF));
  }
}

void TacTreeViewWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned()) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_ERASEBKGND: {
      if (SkinManager == nullptr || CommonDataIsUpdating(*SkinData, false)) break;
      if (SkinData->BGChanged) PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
      RECT r{};
      GetClientRect(Handle, &r);
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool own = dc == nullptr;
      if (own) dc = ledger::GetDC(Handle);
      if (dc != nullptr) {
        FillWithColor(dc, r, TreeBackground(TreeState()));
        if (own) ledger::ReleaseDC(Handle, dc);
      }
      m.Result = 1;
      return;
    }
    case WM_LBUTTONUP:
      TacEditWnd::WndProc(m);
      if (!Destroyed) ReleaseCapture();
      return;
    default:
      break;
  }
  const bool ownFontChange = (SkinData->CtrlState & csSettingFont) != 0;
  TacEditWnd::WndProc(m);
  // The control gives its window its own colours again when its colour or font changes: the skin's come back.
  if (!Destroyed && (m.Msg == gui::CM_COLORCHANGED || m.Msg == gui::CM_FONTCHANGED) && !ownFontChange) SetSkinColors();
  // The tree sets its scroll information as it paints and as its items change, and the system draws its own bar
  // then: the skinned one is drawn again over it.
  if (!Destroyed && HorzBar && !ScrollBusy() && SkinData->Updating == 0 &&
      (m.Msg == WM_PAINT || (m.Msg >= TV_FIRST && m.Msg < TV_FIRST + 0x100 && m.Msg != kTvmGetBkColor &&
                             m.Msg != kTvmGetTextColor)))
    RefreshScrollBars(this, true);
}

// ---- TacVirtualTreeViewWnd.

TacVirtualTreeViewWnd::~TacVirtualTreeViewWnd() { header_.Release(); }

void TacVirtualTreeViewWnd::Initialize() {
  TacEditWnd::Initialize();
  AttachHeader();
}

void TacVirtualTreeViewWnd::AttachHeader() {
  if (Header != nullptr || Handle == nullptr) return;
  const HWND h = FindWindowExA(Handle, nullptr, "SysHeader32", nullptr);
  if (header_.Attach(h, this)) {
    Header = h;
    if (IsWindowVisible(h)) InvalidateRect(h, nullptr, TRUE);
  }
}

bool TacVirtualTreeViewWnd::HeaderOwnerDrawn() const {
  if (Destroyed || !IsSkinned() || Header == nullptr) return false;
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (control != nullptr) {
    gui::TObject* holder = nullptr;
    std::string name;
    return ResolvePropertyPath(control, "Header.Options", holder, name) &&
           SetPropertyHasElement(holder, name, "hoOwnerDraw");
  }
  // A window of no component: its header is ours unless its owner draws a column itself.
  const int32_t count = int32_t(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0));
  for (int32_t i = 0; i < count; ++i)
    if (HeaderCellOf(Header, i).Format & HDF_OWNERDRAW) return false;
  return true;
}

void TacVirtualTreeViewWnd::HeaderMessage(gui::TMessage& m) {
  const HWND h = Header;
  if (h == nullptr || header_.Wnd() != h) return;
  if (m.Msg == WM_PAINT && HeaderOwnerDrawn()) {
    PaintHeader(nullptr);
    m.Result = 0;
    return;
  }
  if (m.Msg == WM_ERASEBKGND && HeaderOwnerDrawn()) {
    m.Result = 1;
    return;
  }
  m.Result = header_.CallOld(m.Msg, m.WParam, m.LParam);
}

void TacVirtualTreeViewWnd::PaintHeader(HDC DC, POINT Origin) {
  const HWND h = Header;
  if (h == nullptr) return;
  RECT client{};
  GetClientRect(h, &client);
  // The header's font; the tree's (or the message font) when it has none.
  gui::TFont font;
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  gui::TObject* holder = nullptr;
  std::string name;
  auto* own = control != nullptr && ResolvePropertyPath(control, "Header.Font", holder, name)
                  ? dynamic_cast<gui::TFont*>(GetPublishedObjectProperty(holder, name))
                  : nullptr;
  if (own != nullptr)
    font.Assign(*own);
  else if (!SelectWindowFont(h, font))
    SelectAdapterFont(this, font);
  const bool wrap = client.bottom >= 2 * CurrentTextEngine().Extent(font, "Wg").cy;
  const TColor under = SkinManager != nullptr ? SkinManagerEditColor(*SkinManager) : ColorToRGB(clWindow);
  const bool enabled = IsWindowEnabled(Handle) != FALSE;
  PaintHeaderColumns(h, DC, [&](const RECT& r, int32_t index, HDC dc) {
    HeaderCell cell;
    if (index >= 0) {
      cell = HeaderCellOf(h, index);
      cell.Wrap = wrap;
    }
    Bitmap bmp(r.right - r.left, r.bottom - r.top, pf32bit);
    PaintHeaderCell(bmp, index >= 0 ? &cell : nullptr, 0, font, under, SkinManager, enabled, false);
    BitmapToDC(dc, Origin.x + r.left, Origin.y + r.top, bmp.Width(), bmp.Height(), bmp, 0, 0);
  });
}

void TacVirtualTreeViewWnd::SaveColors() { TacEditWnd::SaveColors(); }

void TacVirtualTreeViewWnd::RestoreColors() {
  // The header is the system's again.
  const HWND h = Header;
  header_.Release();
  Header = nullptr;
  if (h != nullptr && IsWindow(h) && !windowGoing_) InvalidateRect(h, nullptr, TRUE);
  TacEditWnd::RestoreColors();
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (control == nullptr || control->IsDestroying()) {
    SavedTreeColors = SavedProperties{};
    return;
  }
  RestoreProperties(control, SavedTreeColors);
}

void TacVirtualTreeViewWnd::SetSkinColors() {
  TacEditWnd::SetSkinColors();
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  const SkinSectionRecord* s = SectionOf(SkinManager, SkinData);
  if (control == nullptr || s == nullptr) return;
  GridSkinColors colours = GridColorsOf(*SkinManager, *SkinData);
  const int32_t state = std::min(CommonDataIsFocusedLook(*SkinData) ? 1 : 0, SectionStateCount(*s) - 1);
  colours.SectionFont = SectionStateBlock(*s, state).FontColor;
  ApplyPropertyValues(control, VirtualTreeColorTable(colours), SavedTreeColors);
  // The header is drawn by the skin unless the control draws it itself.
  if (!HasPublishedProperty(control, "OnAdvancedHeaderDraw") && !HasPublishedProperty(control, "OnHeaderDrawQueryElements"))
    ApplySetChanges(control, {{"Header.Options", "hoOwnerDraw", true}}, SavedTreeColors);
}

void TacVirtualTreeViewWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_SKINLOADED && !Destroyed) {
    TacEditWnd::WndProc(m);
    // A skin removal let the header go: a new skin takes it again.
    if (!Destroyed && m.LParam == reinterpret_cast<LPARAM>(SkinManager) && IsSkinned()) AttachHeader();
    return;
  }
  if (Destroyed || !IsSkinned()) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBTRACK) {
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        TacEditWnd::WndProc(m);
        if (Destroyed) return;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        RedrawWindow(Handle, nullptr, nullptr, 0x585);
        return;
      }
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE) AttachHeader();
      break;
    case WM_SKINCOMMAND:
      if (SkinCommandCode(m.WParam) == AC_SKINREFRESH && Header != nullptr)
        RedrawWindow(Header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    case WM_PRINT:
      // The header window is printed with the tree, where it lies in the tree's window.
      if (m.WParam != 0 && Header != nullptr && IsWindowVisible(Header) && HeaderOwnerDrawn()) {
        RECT hr{}, wr{};
        GetWindowRect(Header, &hr);
        GetWindowRect(Handle, &wr);
        PaintHeader(reinterpret_cast<HDC>(m.WParam), POINT{hr.left - wr.left, hr.top - wr.top});
      }
      break;
    default:
      break;
  }
}

}  // namespace skin
