// Combo boxes and their drop-down lists painted from the skin.
#include "skin/adapters/accombo.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "gui/stdctrls.h"
#include "skin/adapters/acsbutils.h"
#include "skin/manager/commondata.h"
#include "skin/data/maskdata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/borders.h"
#include "skin/pixels/colors.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"
#include "skin/painters/state_images.h"
#include "skin/manager/win_values.h"

namespace skin {

namespace {

// Set on the combo's list while the combo paints its closed field (see TacComboListWnd::KeptChoice).
struct FaceScope {
  TacComboListWnd* list;
  uint8_t was = 0;
  explicit FaceScope(TacComboListWnd* l) : list(l != nullptr && !l->Destroyed ? l : nullptr) {
    if (list != nullptr) was = list->FaceAsking, list->FaceAsking = 1;
  }
  ~FaceScope() {
    if (list != nullptr) list->FaceAsking = was;
  }
  FaceScope(const FaceScope&) = delete;
  FaceScope& operator=(const FaceScope&) = delete;
};

}  // namespace

// ---- TacComboListWnd.

bool TacComboListWnd::OwnerDrawnList() const {
  return (GetWindowLongA(Handle, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

bool TacComboListWnd::ListColours(TColor& Bg, TColor& Text, TColor& Selection, TColor& SelectionText) const {
  if (SkinManager == nullptr || SkinData == nullptr || !SkinManagerIsValidSectionIndex(*SkinManager, SkinData->SkinIndex))
    return false;
  const SkinStateBlock& s = SkinManager->Skin().Sections[size_t(SkinData->SkinIndex)].NormalState;
  Bg = ColorToRGB(s.Color);
  Text = s.FontColor >= 0 ? ColorToRGB(s.FontColor) : ColorToRGB(clWindowText);
  Selection = ColorToRGB(SkinManagerHighlightColor(*SkinManager, true));
  SelectionText = ColorToRGB(SkinManagerHighlightFontColor(*SkinManager, true));
  return true;
}

void TacComboListWnd::SetSkinColors() {
  TacEditWnd::SetSkinColors();
  // A combo's list takes the skin's edit colour whoever made it (a system dialog's combos too).
  TColor bg = 0, text = 0, sel = 0, selText = 0;
  if (ListColours(bg, text, sel, selText)) BgColor = bg;
}

void TacComboListWnd::PaintListItems(HDC DC) {
  if (Destroyed || !IsSkinned() || OwnerDrawnList() || !IsWindowVisible(Handle)) return;
  const uint8_t wasAsking = asking_;
  asking_ = 1;
  struct Done {
    uint8_t& flag;
    uint8_t was;
    ~Done() { flag = was; }
  } done{asking_, wasAsking};
  TColor bg = 0, text = 0, selection = 0, selectionText = 0;
  if (!ListColours(bg, text, selection, selectionText)) return;
  RECT client{};
  GetClientRect(Handle, &client);
  const int32_t w = client.right - client.left, h = client.bottom - client.top;
  if (w <= 0 || h <= 0) return;
  const int count = int(SendMessageA(Handle, LB_GETCOUNT, 0, 0));
  const int top = int(SendMessageA(Handle, LB_GETTOPINDEX, 0, 0));
  const int current = int(SendMessageA(Handle, LB_GETCURSEL, 0, 0));
  paintedSel_ = current;
  paintedTop_ = top;
  Bitmap b(w, h, pf32bit);
  FillRectBitmap32(b, TRect{0, 0, w, h}, bg, 255);
  gui::TFont font;
  SelectAdapterFont(this, font);
  const int32_t selectionSection = SkinManagerGetSectionIndex(*SkinManager, "SELECTION");
  for (int i = std::max(top, 0); i < count; ++i) {
    RECT ir{};
    if (SendMessageA(Handle, LB_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&ir)) == LB_ERR) break;
    if (ir.top >= h) break;
    const TRect r{ir.left, ir.top, std::min<int32_t>(ir.right, w), std::min<int32_t>(ir.bottom, h)};
    if (r.Width() <= 0 || r.Height() <= 0) continue;
    const bool selected = i == current;
    if (selected) {
      FillRectBitmap32(b, r, selection, 255);
      if (selectionSection >= 0) {
        Bitmap item(r.Width(), r.Height(), pf32bit);
        const TRect all{0, 0, item.Width(), item.Height()};
        FillRectBitmap32(item, all, bg, 255);
        const SkinSectionRecord& sec = SkinManager->Skin().Sections[size_t(selectionSection)];
        PaintSkinItem(selectionSection, CacheInfoFromBitmap(&item, 0, 0), sec.States > 1 ? 1 : 0, all, TPoint{}, item,
                      SkinManager);
        for (int32_t y = 0; y < item.Height(); ++y)
          for (int32_t x = 0; x < item.Width(); ++x) SetPixel32(b, r.Left + x, r.Top + y, GetPixel32(item, x, y));
      }
    }
    // The item's text, its length asked first.
    const LRESULT len = SendMessageA(Handle, LB_GETTEXTLEN, WPARAM(i), 0);
    if (len > 0) {
      std::string t(size_t(len) + 1, '\0');
      const LRESULT got = SendMessageA(Handle, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(t.data()));
      t.resize(size_t(std::clamp<LRESULT>(got, 0, len)));
      TRect tr{r.Left + 2, r.Top, r.Right, r.Bottom};
      DrawTextString(b, font, t, tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, selected ? selectionText : text);
    }
  }
  HDC dc = DC != nullptr ? DC : ledger::GetDC(Handle);
  if (dc == nullptr) return;
  BitmapToDC(dc, 0, 0, w, h, b, 0, 0);
  if (DC == nullptr) ledger::ReleaseDC(Handle, dc);
}

void TacComboListWnd::FramePaint() {
  if (ScrollBusy() || !IsWindowVisible(Handle)) return;
  WindowRectInParent();
  CommonDataUpdateIndexes(*SkinData, true);
  if (!Skinned) SetSkinColors();
  SkinData->BGChanged = true;
  PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
  if (!CreatedByDispatcher) PaintScrollWindowFrame(SkinData, nullptr, this);
  HDC dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  const int saved = SaveDC(dc);
  if (SkinData->CacheBmp && BorderLeft > 0) {
    const Bitmap& cache = *SkinData->CacheBmp;
    BitmapDC src(cache);
    if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, BorderLeft, cache.Width(), cache.Height(), src.dc(), 0, 0);
  }
  PaintNonClientScrollBars(this, Handle, -1, dc);
  RestoreDC(dc, saved);
  ledger::ReleaseDC(Handle, dc);
}

void TacComboListWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case wv::kWmComboStartTrack:
      TrackingByCombo = 1;
      break;
    case wv::kWmComboEndTrack:
      TrackingByCombo = 0;
      SkinData->BGChanged = true;
      break;
    case WM_NCCALCSIZE:
      m.Result = ScrollNcCalcSize(this, Handle, m.WParam, m.LParam);
      FrameCalculated = 1;
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
      // The list's own press on its frame: on a skinned bar the bar is operated; anywhere else the hit code is
      // the answer and the system's frame handling never runs.
      const LRESULT hit = ScrollNcHitTest(this, Handle, 0, m.LParam);
      if (hit == HTHSCROLL || hit == HTVSCROLL)
        m.Result = ScrollNcLButtonDown(this, Handle, m.Msg, WPARAM(hit), m.LParam);
      else
        m.Result = hit;
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // An open list holds the mouse: a press on its frame comes as a client press outside the client area. On
      // a skinned bar the bar is operated (the list stays open and keeps the mouse); elsewhere the list decides.
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      RECT client{};
      GetClientRect(Handle, &client);
      if (PtInRect(&client, p)) break;
      ClientToScreen(Handle, &p);
      const LRESULT hit = ScrollNcHitTest(this, Handle, 0, MAKELPARAM(p.x, p.y));
      if (hit != HTHSCROLL && hit != HTVSCROLL) break;
      m.Result = ScrollNcLButtonDown(this, Handle, WM_NCLBUTTONDOWN, WPARAM(hit), MAKELPARAM(p.x, p.y));
      PaintIfMoved();
      return;
    }
    case WM_LBUTTONUP: {
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      ClientToScreen(Handle, &p);
      const LRESULT hit = ScrollNcHitTest(this, Handle, 0, MAKELPARAM(p.x, p.y));
      if (hit != HTNOWHERE && hit != HTCLIENT) {
        m.Result = ScrollMouseUp(this, Handle, WPARAM(hit), m.LParam);
        if (PassMouseUp && GetCapture() == Handle) ReleaseCapture();
        return;
      }
      m.Result = ScrollMouseUp(this, Handle, m.WParam, m.LParam);
      PaintIfMoved();
      return;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      CallOriginal(m);
      PaintIfMoved();
      return;
    case WM_ERASEBKGND:
      if (m.WParam != 0) {
        RECT r{};
        GetClientRect(Handle, &r);
        FillRectWithColor(reinterpret_cast<HDC>(m.WParam), TRect{r.left, r.top, r.right, r.bottom}, BgColor);
        m.Result = 1;
        return;
      }
      break;
    case WM_NCPAINT:
      FramePaint();
      m.Result = 0;
      return;
    case WM_PAINT:
      if (!Skinned) SetSkinColors();
      CallOriginal(m);
      if (!Destroyed) PaintListItems(reinterpret_cast<HDC>(m.WParam));
      return;
    case WM_PRINTCLIENT:
      CallOriginal(m);
      if (!Destroyed && m.WParam != 0) PaintListItems(reinterpret_cast<HDC>(m.WParam));
      return;
    case LB_GETCURSEL:
      if (FaceAsking && KeptChoice >= 0 && IsWindowVisible(Handle)) {
        m.Result = KeptChoice;
        return;
      }
      break;
    case WM_WINDOWPOSCHANGING:
      if (const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam)) {
        if ((wp->flags & SWP_SHOWWINDOW) && !IsWindowVisible(Handle))
          KeptChoice = int32_t(SendMessageA(Handle, LB_GETCURSEL, 0, 0));
        else if (wp->flags & SWP_HIDEWINDOW)
          KeptChoice = -1;
      }
      break;
    default:
      break;
  }
  TacEditWnd::WndProc(m);
  if (Destroyed) return;
  // A key moves the choice itself (the field follows it); the pointer only shows where it would go.
  if (m.Msg == WM_KEYDOWN && IsWindowVisible(Handle)) KeptChoice = int32_t(SendMessageA(Handle, LB_GETCURSEL, 0, 0));
  if (m.Msg == WM_WINDOWPOSCHANGED) RefreshScrollBars(this, true);
  // The system draws the item under the pointer or the keys in its own colours as the selection moves: that is
  // painted again in the skin's at once.
  PaintIfMoved();
}

void TacComboListWnd::PaintIfMoved() {
  // The list is asked its state here: those questions come back through this procedure and must not ask again.
  if (asking_ || Destroyed || !IsWindowVisible(Handle) || OwnerDrawnList()) return;
  struct Asking {
    uint8_t& flag;
    explicit Asking(uint8_t& f) : flag(f) { flag = 1; }
    ~Asking() { flag = 0; }
  } asking(asking_);
  const int32_t sel = int32_t(SendMessageA(Handle, LB_GETCURSEL, 0, 0));
  const int32_t top = int32_t(SendMessageA(Handle, LB_GETTOPINDEX, 0, 0));
  if (sel != paintedSel_ || top != paintedTop_) PaintListItems(nullptr);
}

TacComboListWnd* CreateComboListAdapter(HWND ListHandle, bool Simple, bool HasItems, TsSkinManager* SkinManager) {
  (void)HasItems;
  TacSkinParams p;
  p.SkinSection = "EDIT";
  auto* list = new TacComboListWnd();
  list->PassMouseUp = Simple ? 1 : 0;
  list->Create(ListHandle, nullptr, SkinManager, p, false);
  if (!Simple)
    SetWindowPos(ListHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOCOPYBITS |
                     SWP_NOOWNERZORDER);
  return list;
}

std::string ComboItemText(HWND Combo, int Index) {
  if (Index < 0) return std::string();
  const LRESULT len = SendMessageA(Combo, CB_GETLBTEXTLEN, WPARAM(Index), 0);
  if (len <= 0) return std::string();
  std::string s(size_t(len) + 1, '\0');
  const LRESULT got = SendMessageA(Combo, CB_GETLBTEXT, WPARAM(Index), reinterpret_cast<LPARAM>(s.data()));
  s.resize(size_t(std::clamp<LRESULT>(got, 0, len)));
  return s;
}

// ---- TacComboBoxWnd.

// ---- Items of the component layer's combos.

gui::TCustomComboBox* TacComboBoxWnd::ComboControl() const {
  return SkinData != nullptr ? dynamic_cast<gui::TCustomComboBox*>(SkinData->OwnerControl) : nullptr;
}

void DrawComboListItem(TacComboBoxWnd* Adapter, int Index, const TRect& R, HDC DC, uint32_t State) {
  if (Adapter == nullptr) return;
  // The cache covers the window; the DC's origin is the client area's corner.
  POINT client{0, 0};
  ClientToScreen(Adapter->Handle, &client);
  RECT w{};
  GetWindowRect(Adapter->Handle, &w);
  Adapter->DrawListItem(Index, R, DC, State, TPoint{R.Left + client.x - w.left, R.Top + client.y - w.top});
}

void TacComboBoxWnd::DrawListItem(int Index, const TRect& R, HDC DC, uint32_t State, TPoint CacheAt) {
  gui::TCustomComboBox* combo = ComboControl();
  if (combo == nullptr || DC == nullptr || R.Width() <= 0 || R.Height() <= 0 || SkinManager == nullptr) return;
  if (SkinData->BGChanged || !SkinData->CacheBmp) {
    WindowRectInParent();
    if (Simple()) {
      PaintComboFace();
    } else {
      PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
      PaintScrollWindowFrame(SkinData, nullptr, this);
    }
  }
  Bitmap b(R.Width(), R.Height(), pf32bit);
  const TRect all{0, 0, b.Width(), b.Height()};
  const bool selected = (State & ODS_SELECTED) != 0;
  const int32_t selection = SkinManagerGetSectionIndex(*SkinManager, "SELECTION");
  if (selected) {
    if (selection >= 0) {
      const SkinSectionRecord& sec = SkinManager->Skin().Sections[size_t(selection)];
      FillRectBitmap32(b, all, ColorToRGB(combo->Color()), 255);
      PaintSkinItem(selection, CacheInfoFromBitmap(&b, 0, 0), sec.States > 1 ? 1 : 0, all, TPoint{}, b, SkinManager);
    } else {
      FillRectBitmap32(b, all, ColorToRGB(SkinManagerHighlightColor(*SkinManager, true)), 255);
    }
  } else if ((State & ODS_COMBOBOXEDIT) != 0 && SkinData->CacheBmp) {
    const Bitmap& cache = *SkinData->CacheBmp;
    FillRectBitmap32(b, all, ColorToRGB(combo->Color()), 255);
    for (int32_t y = 0; y < b.Height(); ++y)
      for (int32_t x = 0; x < b.Width(); ++x) {
        const int32_t cx = CacheAt.X + x, cy = CacheAt.Y + y;
        if (cx >= 0 && cy >= 0 && cx < cache.Width() && cy < cache.Height()) SetPixel32(b, x, y, GetPixel32(cache, cx, cy));
      }
  } else {
    FillRectBitmap32(b, all, ColorToRGB(combo->Color()), 255);
  }
  const TColor textColour = selected ? ColorToRGB(SkinManagerHighlightFontColor(*SkinManager, true))
                                     : ColorToRGB(combo->Font().Color());
  if (!combo->OwnerDrawn() || !combo->OnDrawItem) {
    if (Index >= 0 && Index < combo->Items().Count()) {
      TRect tr{2, 0, b.Width(), b.Height()};
      DrawTextString(b, combo->Font(), combo->Items()[Index], tr, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                     textColour);
    }
    if ((State & ODS_FOCUS) != 0 && selection < 0) DrawDottedFrame(b, all, textColour, clNone);
  } else {
    // The control's own drawing, its canvas on the bitmap for the while.
    BitmapDC bdc(b);
    if (bdc.dc() != nullptr) {
      gui::TCanvas& canvas = combo->Canvas();
      canvas.SetHandle(bdc.dc());
      canvas.Font().Assign(combo->Font());
      canvas.Font().SetColor(textColour);
      canvas.Brush().Color = selected ? SkinManagerHighlightColor(*SkinManager, true) : combo->Color();
      canvas.Brush().Style = gui::TBrushStyle::bsClear;
      struct Unbind {  // the canvas leaves the bitmap however the handler ends
        gui::TCanvas& canvas;
        ~Unbind() { canvas.SetHandle(nullptr); }
      } unbind{canvas};
      const gui::TDrawItemEvent handler = combo->OnDrawItem;
      handler(combo, Index, gui::TRect{0, 0, b.Width(), b.Height()}, State);
      GdiFlush();
    }
  }
  BitmapToDC(DC, R.Left, R.Top, b.Width(), b.Height(), b, 0, 0);
}

uint8_t& ComboListDropped() {
  static uint8_t dropped = 0;
  return dropped;
}

HWND TacComboBoxWnd::EditWindow() const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (!GetComboBoxInfo(Handle, &info)) return nullptr;
  return info.hwndItem != Handle ? info.hwndItem : nullptr;
}

bool TacComboBoxWnd::EditHasFocus() const {
  const HWND edit = EditWindow();
  return edit != nullptr && GetFocus() == edit;
}

bool TacComboBoxWnd::FocusableOwner() const {
  gui::TWinControl* w = OwnerWinControl();
  return w == nullptr || (w->CanFocus() && w->TabStop());
}

void TacComboBoxWnd::ClearEditSelection() {
  // A combo with an edit window of the component layer drops its selection when it loses the focus or the mouse.
  if (SkinData->OwnerControl == nullptr || (GetWindowLongA(Handle, GWL_STYLE) & 3) != CBS_DROPDOWN) return;
  if (const HWND edit = EditWindow()) SendMessageA(edit, EM_SETSEL, WPARAM(-1), 0);
}

void TacComboBoxWnd::RepaintButton() {
  if (Destroyed || !IsWindowVisible(Handle)) return;
  HDC dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  if (!SkinData->CacheBmp || SkinData->BGChanged) {
    WindowRectInParent();
    PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
    PaintScrollWindowFrame(SkinData, nullptr, this);
  }
  PaintComboButton(dc);
  ledger::ReleaseDC(Handle, dc);
}

TacComboBoxWnd::~TacComboBoxWnd() { FreeBrush(); }

void TacComboBoxWnd::FreeBrush() {
  if (brush_ != nullptr) ledger::DeleteObject(brush_);
  brush_ = nullptr;
  brushColour_ = clNone;
  if (editBrush_ != nullptr) ledger::DeleteObject(editBrush_);
  editBrush_ = nullptr;
  editBrushColour_ = clNone;
}

void TacComboBoxWnd::Initialize() {
  ListAttached = 0;
  ButtonData = std::make_unique<TsCommonData>();
  ButtonData->FSkinManager = SkinManager;
  ButtonData->SkinSection = "COMBOBTN";
  ButtonData->WndHandle = Handle;
  CommonDataUpdateIndexes(*ButtonData, true);
  TacEditWnd::Initialize();
}

bool TacComboBoxWnd::Simple() const { return (GetWindowLongA(Handle, GWL_STYLE) & 3) == CBS_SIMPLE; }

TRect TacComboBoxWnd::ButtonRect() {
  WindowRectInParent();
  int32_t w = 0;
  if (GetWindowLongA(Handle, GWL_STYLE) & CBS_DROPDOWN) w = SkinManagerScrollWidthMax(SkinManager) + 2;
  const int32_t m = SkinManager != nullptr ? SkinManager->SkinData().ComboMargin : 2;
  TRect r;
  r.Left = (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) ? m : WndSize.cx - w - m;
  r.Top = m;
  r.Right = r.Left + w;
  r.Bottom = WndSize.cy - m;
  return r;
}

void TacComboBoxWnd::PaintComboButton(HDC dc) {
  const TRect r = ButtonRect();
  if (r.Width() <= 0 || r.Height() <= 0 || dc == nullptr || !SkinData->CacheBmp) return;
  const Bitmap& cache = *SkinData->CacheBmp;
  Bitmap b(r.Width(), r.Height(), pf32bit);
  for (int32_t y = 0; y < b.Height(); ++y)
    for (int32_t x = 0; x < b.Width(); ++x)
      if (r.Left + x < cache.Width() && r.Top + y < cache.Height())
        SetPixel32(b, x, y, GetPixel32(cache, r.Left + x, r.Top + y));
  // Hot while the combo shows its focused look (or holds the focus) and while it is the pointer's hot window.
  const int32_t state = (CommonDataIsFocusedLook(*SkinData) || GetFocus() == Handle || PointerHot()) ? 1 : 0;
  const int32_t section = SkinManager != nullptr ? SkinManagerGetSectionIndex(*SkinManager, "COMBOBTN") : -1;
  const TRect all{0, 0, b.Width(), b.Height()};
  if (section >= 0) PaintSkinItem(section, CacheInfoFromBitmap(&b, 0, 0), state, all, TPoint{}, b, SkinManager);
  const int32_t glyph = section >= 0 ? SkinManagerGetImageIndex(*SkinManager, section, "GLYPHMASK") : -1;
  if (SkinManager != nullptr && SkinManagerIsValidImageIndex(*SkinManager, glyph)) {
    const SkinImageRecord& rec = SkinManager->Skin().Images[size_t(glyph)];
    const TSize f = ImageStateSize(rec.SourceRect, uint16_t(std::max<int16_t>(rec.ImageCount, 1)), rec.MaskType);
    DrawImageState(b, TPoint{(b.Width() - f.cx) / 2, (b.Height() - f.cy) / 2}, std::min<int32_t>(state, rec.ImageCount - 1),
                   EmptyCacheInfo, rec, 1);
  } else {
    TColor c = 0;
    if (section >= 0) c = SectionStateBlock(SkinManager->Skin().Sections[size_t(section)], std::min(state, 1)).FontColor;
    DrawArrowGlyph(b, c, all, 3);
  }
  BitmapToDC(dc, r.Left, r.Top, b.Width(), b.Height(), b, 0, 0);
}

void TacComboBoxWnd::PaintComboFace() {
  WindowRectInParent();
  TsSkinManager* m = SkinManager;
  if (m == nullptr || WndSize.cx <= 0) return;
  const int32_t h = std::max<int32_t>(int32_t(SendMessageA(Handle, CB_GETITEMHEIGHT, WPARAM(-1), 0)) + 8, 1);
  PrepareWindowCache(*SkinData, WndSize.cx, h);
  Bitmap& cache = *SkinData->CacheBmp;
  const TRect all{0, 0, cache.Width(), cache.Height()};
  const TColor border = m->Skin().Colors[scBorderColor];
  if (CreatedByDispatcher && border != KeyColor) {
    FillRectBitmap32(cache, all, ColorToRGB(clWindow), 255);
    FillFrameBitmap32(cache, all, border, 1, 1, 1, 1);
  } else {
    CacheInfo ci;
    ParentBgInfoOfWindow(Handle, ci);
    // The state of the edit family's border: focused, or hot under the pointer where the section has a hot look.
    PaintControlItem(*SkinData, ci, -1, -1, 1, cache, TPoint{}, all, HoverState());
  }
  SkinData->BGChanged = false;
}

void TacComboBoxWnd::PaintCombo(HDC dc) {
  WindowRectInParent();
  SkinData->BGChanged = true;
  if (Simple()) {
    // The face of a simple combo: the selection field only; its list below is a window of its own.
    PaintComboFace();
    if (!SkinData->CacheBmp || dc == nullptr) return;
    const Bitmap& face = *SkinData->CacheBmp;
    BitmapDC src(face);
    if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, 3, face.Width(), face.Height(), src.dc(), 0, 0);
    return;
  }
  PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
  PaintScrollWindowFrame(SkinData, nullptr, this);
  if (!SkinData->CacheBmp || dc == nullptr) return;
  const Bitmap& cache = *SkinData->CacheBmp;
  BitmapDC src(cache);
  if (src.dc() != nullptr) CopyBorderStrips(dc, 0, 0, 3, cache.Width(), cache.Height(), src.dc(), 0, 0);
  PaintComboButton(dc);
}

void TacComboBoxWnd::PrintCombo(HDC dc, bool ClientOrigin, bool WithChildren) {
  if (!Skinned) SetSkinColors();
  const FaceScope face(ListAdapter);
  SkinData->Updating = 0;
  // The client area's corner in the window: a WM_PRINTCLIENT DC starts there, the face is drawn in window
  // coordinates.
  POINT client{0, 0};
  ClientToScreen(Handle, &client);
  RECT w{};
  GetWindowRect(Handle, &w);
  const int dx = client.x - w.left, dy = client.y - w.top;
  const int saved = SaveDC(dc);
  if (ClientOrigin) OffsetViewportOrgEx(dc, -dx, -dy, nullptr);
  // As the combo paints itself: the control draws its client (the field's text greyed while disabled, highlighted
  // while focused), then the skin's border and button over it.
  {
    const int inner = SaveDC(dc);
    OffsetViewportOrgEx(dc, dx, dy, nullptr);
    gui::TMessage print{WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT, 0};
    CallOriginal(print);
    RestoreDC(dc, inner);
  }
  if (!Destroyed) {
    PaintForeignField(dc);
    PaintCombo(dc);
  }
  // The combo's own windows (its edit field, a simple combo's list) over it, as they paint themselves.
  if (WithChildren && !Destroyed) {
    HWND last = GetWindow(Handle, GW_CHILD);
    if (last != nullptr) last = GetWindow(last, GW_HWNDLAST);
    for (HWND c = last; c != nullptr; c = GetWindow(c, GW_HWNDPREV)) {
      if (!IsWindowVisible(c)) continue;
      RECT r{};
      GetWindowRect(c, &r);
      const int inner = SaveDC(dc);
      OffsetViewportOrgEx(dc, r.left - w.left, r.top - w.top, nullptr);
      IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
      SendMessageA(c, WM_PRINT, WPARAM(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
      RestoreDC(dc, inner);
    }
  }
  RestoreDC(dc, saved);
}

namespace {

// 0x00RRGGBB of a bitmap pixel for a COLORREF (0x00BBGGRR).
uint32_t PixelOf(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

}  // namespace

bool TacComboBoxWnd::DrawForeignListItem(gui::TMessage& m) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
  if (dis == nullptr || SkinData->OwnerControl != nullptr || ListAdapter == nullptr || ListAdapter->Destroyed ||
      (dis->itemState & ODS_COMBOBOXEDIT) || dis->hDC == nullptr)
    return false;
  TColor bgC = 0, textC = 0, selC = 0, selTextC = 0;
  if (!ListAdapter->ListColours(bgC, textC, selC, selTextC)) return false;
  const RECT r = dis->rcItem;
  const int32_t w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  Bitmap picture(w, h);
  {
    BitmapDC pdc(picture);
    if (pdc.dc() == nullptr) return false;
    // The owner draws into the bitmap with the item's own font, at the bitmap's origin.
    SelectObject(pdc.dc(), GetCurrentObject(dis->hDC, OBJ_FONT));
    DRAWITEMSTRUCT copy = *dis;
    copy.hDC = pdc.dc();
    OffsetRect(&copy.rcItem, -r.left, -r.top);
    const LPARAM given = m.LParam;
    m.LParam = reinterpret_cast<LPARAM>(&copy);
    CallOriginal(m);
    m.LParam = given;
    GdiFlush();
  }
  if (Destroyed) return true;
  const uint32_t window = PixelOf(GetSysColor(COLOR_WINDOW)), windowText = PixelOf(GetSysColor(COLOR_WINDOWTEXT));
  const uint32_t highlight = PixelOf(GetSysColor(COLOR_HIGHLIGHT));
  const uint32_t highlightText = PixelOf(GetSysColor(COLOR_HIGHLIGHTTEXT));
  const uint32_t bg = PixelOf(COLORREF(bgC)), text = PixelOf(COLORREF(textC));
  const uint32_t sel = PixelOf(COLORREF(selC)), selText = PixelOf(COLORREF(selTextC));
  const bool selected = (dis->itemState & ODS_SELECTED) != 0;
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture.ScanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t p = row[x] & 0xFFFFFF;
      uint32_t q = p;
      if (selected) {
        if (p == highlight) q = sel;
        else if (p == highlightText) q = selText;
      } else if (p == window) {
        q = bg;
      } else if (p == windowText) {
        q = text;
      }
      row[x] = 0xFF000000u | q;
    }
  }
  BitmapToDC(dis->hDC, r.left, r.top, w, h, picture, 0, 0);
  m.Result = TRUE;
  return true;
}

void TacComboBoxWnd::PaintForeignField(HDC DC) {
  if (DC == nullptr || SkinData->OwnerControl != nullptr || SkinManager == nullptr || Simple() ||
      (GetWindowLongA(Handle, GWL_STYLE) & 3) != CBS_DROPDOWNLIST)
    return;
  const int32_t index = SkinManagerGetSectionIndex(*SkinManager, "EDIT");
  if (!SkinManagerIsValidSectionIndex(*SkinManager, index)) return;
  const SkinStateBlock& s = SkinManager->Skin().Sections[size_t(index)].NormalState;
  const uint32_t bg = PixelOf(COLORREF(ColorToRGB(s.Color)));
  const uint32_t text = PixelOf(COLORREF(ColorToRGB(s.FontColor >= 0 ? s.FontColor : clWindowText)));
  const uint32_t sel = PixelOf(COLORREF(ColorToRGB(SkinManagerHighlightColor(*SkinManager, true))));
  const uint32_t selText = PixelOf(COLORREF(ColorToRGB(SkinManagerHighlightFontColor(*SkinManager, true))));
  RECT client{};
  GetClientRect(Handle, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // The field in client coordinates: inside the 3-pixel edge, left (or right) of the button.
  POINT origin{0, 0};
  MapWindowPoints(Handle, nullptr, &origin, 1);
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int dx = origin.x - wr.left, dy = origin.y - wr.top;
  const TRect btn = ButtonRect();
  TRect field{3, 3, btn.Left, client.bottom - 3};
  if (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_RTLREADING) field = TRect{btn.Right, 3, client.right - 3, client.bottom - 3};
  field = TRect{field.Left - dx, field.Top - dy, field.Right - dx, field.Bottom - dy};
  field.Left = std::max<int32_t>(field.Left, 0);
  field.Top = std::max<int32_t>(field.Top, 0);
  field.Right = std::min<int32_t>(field.Right, client.right);
  field.Bottom = std::min<int32_t>(field.Bottom, client.bottom);
  if (field.Width() <= 0 || field.Height() <= 0) return;
  Bitmap picture(client.right, client.bottom);
  {
    BitmapDC pdc(picture);
    if (pdc.dc() == nullptr) return;
    gui::TMessage print{WM_PRINTCLIENT, WPARAM(pdc.dc()), PRF_CLIENT, 0};
    CallOriginal(print);
    GdiFlush();
  }
  if (Destroyed) return;
  const uint32_t window = PixelOf(GetSysColor(COLOR_WINDOW)), windowText = PixelOf(GetSysColor(COLOR_WINDOWTEXT));
  const uint32_t highlight = PixelOf(GetSysColor(COLOR_HIGHLIGHT));
  const uint32_t highlightText = PixelOf(GetSysColor(COLOR_HIGHLIGHTTEXT));
  // The highlighted part (a focused field's item) is the box around the highlight colour's pixels.
  TRect hl{field.Right, field.Bottom, field.Left, field.Top};
  for (int32_t y = field.Top; y < field.Bottom; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(picture.ScanLine(y));
    for (int32_t x = field.Left; x < field.Right; ++x)
      if ((row[x] & 0xFFFFFF) == highlight) {
        hl.Left = std::min(hl.Left, x);
        hl.Top = std::min(hl.Top, y);
        hl.Right = std::max(hl.Right, x + 1);
        hl.Bottom = std::max(hl.Bottom, y + 1);
      }
  }
  for (int32_t y = field.Top; y < field.Bottom; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(picture.ScanLine(y));
    for (int32_t x = field.Left; x < field.Right; ++x) {
      const uint32_t p = row[x] & 0xFFFFFF;
      const bool inHighlight = x >= hl.Left && x < hl.Right && y >= hl.Top && y < hl.Bottom;
      uint32_t q = p;
      if (inHighlight) {
        if (p == highlight) q = sel;
        else if (p == highlightText) q = selText;
      } else if (p == window) {
        q = bg;
      } else if (p == windowText) {
        q = text;
      }
      row[x] = 0xFF000000u | q;
    }
  }
  BitmapToDC(DC, field.Left + dx, field.Top + dy, field.Width(), field.Height(), picture, field.Left, field.Top);
}

HBRUSH TacComboBoxWnd::ListColours(HDC dc) {
  // Every combo's list takes the skin's colours, a system dialog's too.
  if (SkinManager == nullptr || ListAdapter == nullptr) return nullptr;
  int32_t index = -1;
  const OwnLibraryCommand own(SkinCommandWParam(AC_GETSKININDEX), reinterpret_cast<LPARAM>(&index));
  SendMessageA(ListHandle, WM_SKINCOMMAND, SkinCommandWParam(AC_GETSKININDEX), reinterpret_cast<LPARAM>(&index));
  if (!SkinManagerIsValidSectionIndex(*SkinManager, index)) return nullptr;
  const SkinStateBlock& s = SkinManager->Skin().Sections[size_t(index)].NormalState;
  if (s.FontColor >= 0) SetTextColor(dc, COLORREF(s.FontColor));
  SetBkColor(dc, COLORREF(s.Color));
  // One brush per combo, made again when the colour changes.
  if (brush_ == nullptr || brushColour_ != s.Color) {
    if (brush_ != nullptr) ledger::DeleteObject(brush_);
    brush_ = ledger::CreateSolidBrush(COLORREF(s.Color));
    brushColour_ = s.Color;
  }
  return brush_;
}

HBRUSH TacComboBoxWnd::EditFieldColours(HDC dc, HWND Edit) {
  if (SkinManager == nullptr || SkinData->OwnerControl != nullptr || dc == nullptr) return nullptr;
  const int32_t index = SkinManagerGetSectionIndex(*SkinManager, "EDIT");
  if (!SkinManagerIsValidSectionIndex(*SkinManager, index)) return nullptr;
  const SkinSectionRecord& section = SkinManager->Skin().Sections[size_t(index)];
  const bool focused = Edit != nullptr && GetFocus() == Edit && SectionStateCount(section) > 1;
  const SkinStateBlock& s = SectionStateBlock(section, focused ? 1 : 0);
  const TColor bg = ColorToRGB(s.Color);
  SetTextColor(dc, COLORREF(ColorToRGB(s.FontColor >= 0 ? s.FontColor : clWindowText)));
  SetBkColor(dc, COLORREF(bg));
  if (editBrush_ == nullptr || editBrushColour_ != bg) {
    if (editBrush_ != nullptr) ledger::DeleteObject(editBrush_);
    editBrush_ = ledger::CreateSolidBrush(COLORREF(bg));
    editBrushColour_ = bg;
  }
  return editBrush_;
}

void TacComboBoxWnd::ReleaseList() {
  if (ListAdapter != nullptr) {
    TacMainWnd* list = ListAdapter;
    if (!list->Destroyed && ListHandle != nullptr && IsWindow(ListHandle))
      DetachScrollWindow(ListHandle, true, false, list);
    else
      FreeAdapter(list);
    ListAdapter = nullptr;
  }
  ListHandle = nullptr;
}

void TacComboBoxWnd::DetachedFromWindow() {
  TacEditWnd::DetachedFromWindow();
  ReleaseList();
  FreeBrush();
}

void TacComboBoxWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned() || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacEditWnd::WndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_CTLCOLORLISTBOX: {
      if (ListAttached) break;
      ListAttached = 1;
      TacEditWnd::WndProc(m);
      if (Destroyed) return;
      if (ListHandle == nullptr) ListHandle = reinterpret_cast<HWND>(m.LParam);
      if (ListAdapter == nullptr && ListHandle != nullptr) {
        const uint8_t saved = DispatcherSkinning();
        if (SkinData->OwnerControl == nullptr) DispatcherSkinning() = CreatedByDispatcher;
        ListAdapter = CreateComboListAdapter(ListHandle, Simple(), SendMessageA(Handle, CB_GETCOUNT, 0, 0) > 0,
                                             SkinManager);
        DispatcherSkinning() = saved;
        // Made as the list first opens: it was opened on the item selected now.
        if (ListAdapter != nullptr && !Simple() && IsWindowVisible(ListHandle))
          ListAdapter->KeptChoice = int32_t(SendMessageA(ListHandle, LB_GETCURSEL, 0, 0));
      }
      if (HBRUSH b = ListColours(reinterpret_cast<HDC>(m.WParam))) m.Result = reinterpret_cast<LRESULT>(b);
      ListAttached = 0;
      return;
    }
    case WM_PAINT: {
      if (!Skinned) SetSkinColors();
      const FaceScope face(ListAdapter);
      CallOriginal(m);
      if (Destroyed) return;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const bool got = dc == nullptr;
      if (got) dc = ledger::GetWindowDC(Handle);
      PaintForeignField(dc);
      PaintCombo(dc);
      if (got && dc != nullptr) ledger::ReleaseDC(Handle, dc);
      return;
    }
    case WM_DRAWITEM:
      if (DrawForeignListItem(m)) return;
      break;
    case WM_CTLCOLOREDIT:
      if (HBRUSH b = EditFieldColours(reinterpret_cast<HDC>(m.WParam), reinterpret_cast<HWND>(m.LParam))) {
        m.Result = reinterpret_cast<LRESULT>(b);
        return;
      }
      break;
    case WM_PRINT:
    case WM_PRINTCLIENT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (dc == nullptr) break;
      PrintCombo(dc, m.Msg == WM_PRINTCLIENT, m.Msg == WM_PRINT && (m.LParam == 0 || (m.LParam & PRF_CHILDREN) != 0));
      m.Result = 0;
      return;
    }
    case gui::CN_DRAWITEM:
      if (ComboControl() != nullptr && m.LParam != 0) {
        const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        DrawComboListItem(this, int(di->itemID), TRect{di->rcItem.left, di->rcItem.top, di->rcItem.right, di->rcItem.bottom},
                          di->hDC, di->itemState);
        m.Result = 1;
        return;
      }
      break;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_NCCALCSIZE:
      TacEditWnd::WndProc(m);
      BorderLeft = 3;
      return;
    case WM_SETFOCUS:
    case WM_LBUTTONUP:
    case WM_KILLFOCUS:
    case gui::CM_EXIT: {
      const bool leaving = m.Msg == WM_KILLFOCUS || m.Msg == gui::CM_EXIT;
      // Leaving a combo for its own edit window keeps it focused.
      SkinData->Focused = !leaving ? 1 : (SkinData->OwnerControl != nullptr && EditHasFocus()) ? 1 : 0;
      SkinData->BGChanged = true;
      CallOriginal(m);
      if (Destroyed) return;
      if (HotLookAllowed(SkinData, false) && FocusableOwner()) {
        SetSkinColors();
        if (leaving) ClearEditSelection();
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
      }
      RepaintButton();
      return;
    }
    case gui::CM_MOUSEENTER:
      if (!SkinData->MouseAbove) {
        SkinData->MouseAbove = 1;
        SkinData->BGChanged = true;
        TacEditWnd::WndProc(m);
        if (!Destroyed && !SkinData->Focused) ClearEditSelection();
        if (!Destroyed) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      break;
    case gui::CM_MOUSELEAVE:
      if (SkinData->MouseAbove) {
        POINT p{};
        GetCursorPos(&p);
        RECT r{};
        GetWindowRect(Handle, &r);
        if (!PtInRect(&r, p)) {
          SkinData->MouseAbove = 0;
          SkinData->BGChanged = true;
          TacEditWnd::WndProc(m);
          if (!Destroyed && !(SkinData->Focused || EditHasFocus())) ClearEditSelection();
          if (!Destroyed) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
          return;
        }
      }
      break;
    case WM_COMMAND:
    case gui::CN_COMMAND:
      if (!Simple()) {
        if (HIWORD(m.WParam) == CBN_DROPDOWN) ComboListDropped() = 1;
        if (HIWORD(m.WParam) == CBN_CLOSEUP) {
          ComboListDropped() = 0;
          SkinData->BGChanged = true;
          TacEditWnd::WndProc(m);
          if (!Destroyed) RepaintButton();
          return;
        }
      }
      break;
    case CB_SETCURSEL:
    case gui::CM_TEXTCHANGED:
    case gui::CM_CHANGED:
      if (SkinData->OwnerControl != nullptr) {
        SendMessageA(Handle, WM_SETREDRAW, 0, 0);
        SkinData->BGChanged = true;
        CallOriginal(m);
        if (Destroyed) return;
        SendMessageA(Handle, WM_SETREDRAW, 1, 0);
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_SKINCOMMAND: {
      const uint16_t code = SkinCommandCode(m.WParam);
      const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager) && AcceptSkinCommand(m);
      if (code == AC_SKINREMOVED && own) {
        TacEditWnd::WndProc(m);
        if (ListHandle != nullptr && IsWindow(ListHandle)) {
          const LONG style = GetWindowLongA(ListHandle, GWL_STYLE);
          SetWindowLongA(ListHandle, GWL_STYLE, (style & ~WS_THICKFRAME) | WS_BORDER);
        }
        ReleaseList();
        FreeBrush();
        return;
      }
      if ((code == AC_SKINLOADED || code == AC_SKINREFRESH) && own) {
        FreeBrush();
        if (ButtonData) CommonDataUpdateIndexes(*ButtonData, true);
      }
      if (code == AC_MOUSEENTER || code == AC_MOUSELEAVE) {
        TacEditWnd::WndProc(m);
        RepaintButton();
        return;
      }
      break;
    }
    default:
      break;
  }
  TacEditWnd::WndProc(m);
}

}  // namespace skin
