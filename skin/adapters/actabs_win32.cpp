// Tab controls, page controls and their pages painted from the skin.
#include "skin/adapters/actabs.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gui/imglist.h"
#include "gui/pagectrl.h"
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/bitmap_part.h"
#include "skin/adapters/button_glyph.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/pixels/graph_utils.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

LONG StyleOf(HWND h) { return GetWindowLongA(h, GWL_STYLE); }

// The component layer's notice that the tabs of a control changed.
constexpr UINT kTabListChanged = 0xB02C;

const SkinSectionRecord* SectionOf(TsSkinManager* m, int32_t index) {
  if (m == nullptr || !SkinManagerIsValidSectionIndex(*m, index)) return nullptr;
  return &m->Skin().Sections[size_t(index)];
}

// The section's item painted over what Target holds in R (R in Target's coordinates, may reach outside it).
void PaintItemOver(Bitmap& Target, int32_t Section, int32_t State, const TRect& R, TsSkinManager* m) {
  if (R.Width() <= 0 || R.Height() <= 0 || !SkinManagerIsValidSectionIndex(*m, Section)) return;
  Bitmap item(R.Width(), R.Height(), pf32bit);
  PaintSkinItem(Section, CacheInfoFromBitmap(&Target, R.Left, R.Top), State, TRect{0, 0, R.Width(), R.Height()},
                TPoint{}, item, m);
  CopyExceptColor(Target, item, R.Left, R.Top, clNone);
}

// What the parent shows under the window, over the whole of Bmp.
void FillWithParent(Bitmap& Bmp, const CacheInfo& ci, HWND Parent) {
  if (ci.Ready && ci.Bmp != nullptr) {
    CopyBitmapPart(Bmp, 0, 0, Bmp.Width(), Bmp.Height(), *ci.Bmp, ci.X, ci.Y);
    SetAlphaRect(Bmp, TRect{0, 0, Bmp.Width(), Bmp.Height()}, 255, clNone);
    return;
  }
  FillRectBitmap32(Bmp, TRect{0, 0, Bmp.Width(), Bmp.Height()},
                   ci.FillColor != KeyColor ? ci.FillColor : WindowBgColor(Parent), 255);
}

TRect RectOf(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

// A rotated copy of a font for the text of tabs at the sides.
HFONT RotatedFont(HFONT Source, int32_t Escapement) {
  LOGFONTA lf{};
  if (Source == nullptr || GetObjectA(Source, sizeof lf, &lf) == 0)
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  LOGFONTA r{};
  r.lfHeight = lf.lfHeight;
  r.lfItalic = lf.lfItalic;
  r.lfUnderline = lf.lfUnderline;
  r.lfStrikeOut = lf.lfStrikeOut;
  r.lfCharSet = lf.lfCharSet;
  r.lfWeight = FW_NORMAL;
  r.lfEscapement = r.lfOrientation = Escapement;
  lstrcpynA(r.lfFaceName, lstrcmpiA(lf.lfFaceName, "MS Sans Serif") == 0 ? "Arial" : lf.lfFaceName, LF_FACESIZE);
  return ledger::CreateFontIndirectA(&r);
}

}  // namespace

// ---- TacTabControlWnd.

void TacTabControlWnd::Initialize() {
  // The skin data made here answers its children with this adapter's manager, whichever is the default one.
  if (OwnsSkinData && SkinData != nullptr && SkinData->FSkinManager == nullptr) SkinData->FSkinManager = SkinManager;
  TacSelfPaintedWnd::Initialize();
}

TabSide TacTabControlWnd::Side() const { return TabSideOfStyle(uint32_t(StyleOf(Handle))); }
TabKind TacTabControlWnd::Kind() const { return TabKindOfStyle(uint32_t(StyleOf(Handle))); }
int32_t TacTabControlWnd::TabCount() const { return int32_t(SendMessageA(Handle, TCM_GETITEMCOUNT, 0, 0)); }

TRect TacTabControlWnd::DisplayRect() {
  RECT r{0, 0, WndSize.cx, WndSize.cy};
  SendMessageA(Handle, TCM_ADJUSTRECT, 0, reinterpret_cast<LPARAM>(&r));
  return PageDisplayRect(RectOf(r));
}

TRect TacTabControlWnd::PageRect() { return PageFrameRect(WndSize, DisplayRect(), Side(), HasTabs()); }

int32_t TacTabControlWnd::FrameSectionIndex() const {
  return SkinManagerGetSectionIndex(*SkinManager, PageFrameSection(SkinData->SkinSection, Side(), HasTabs()));
}

int32_t TacTabControlWnd::TabSectionIndex() const {
  switch (Kind()) {
    case tkButtons: return SkinManagerGetSectionIndex(*SkinManager, "BUTTON");
    case tkFlatButtons: return SkinManagerGetSectionIndex(*SkinManager, "TOOLBUTTON");
    default: break;
  }
  const SkinSectionEntry& e = SkinManager->Skin().CommonIndexes.Tabs[size_t(tsLeft + TabRecordOfSide(Side()))];
  return e.SectionIndex;
}

TRect TacTabControlWnd::TabRect(int32_t Index, bool Active) {
  if (Index < 0 || Index >= TabCount()) return TRect{};
  RECT r{};
  if (!SendMessageA(Handle, TCM_GETITEMRECT, WPARAM(Index), reinterpret_cast<LPARAM>(&r))) return TRect{};
  return TabPaintRect(RectOf(r), Side(), Active, Kind(), SkinManager->Skin().SkinData.TabTopCovering);
}

void TacTabControlWnd::PaintTab(Bitmap& Target, int32_t Index, int32_t State, const TPoint& Origin) {
  if (Index < 0) return;
  const TRect tab = TabRect(Index, State == 2);
  if (tab.IsEmpty()) return;
  const int32_t section = TabSectionIndex();
  if (section < 0) return;
  const TRect at{tab.Left - Origin.X, tab.Top - Origin.Y, tab.Right - Origin.X, tab.Bottom - Origin.Y};
  const SkinSectionRecord* s = SectionOf(SkinManager, section);
  const int32_t state = std::min<int32_t>(State, std::max<int32_t>(s->States - 1, 0));
  PaintItemOver(Target, section, state, at, SkinManager);

  std::vector<char> text(0x1000, '\0');
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
  item.pszText = text.data();
  item.cchTextMax = int(text.size());
  item.iImage = -1;
  SendMessageA(Handle, TCM_GETITEMA, WPARAM(Index), reinterpret_cast<LPARAM>(&item));
  const std::string caption(item.pszText != nullptr ? item.pszText : "");
  gui::TFont font;
  SelectAdapterFont(this, font);
  const int32_t overlap = SkinManager->Skin().SkinData.TabTopCovering;
  TRect content = TabContentRect(at, Side(), overlap);
  // The image: from the page control's Images when it has a list, else from the list the tab window holds.
  auto* pc = dynamic_cast<gui::TPageControl*>(SkinData->OwnerControl);
  gui::TCustomImageList* listed = pc != nullptr ? pc->Images() : nullptr;
  HIMAGELIST images =
      listed == nullptr ? reinterpret_cast<HIMAGELIST>(SendMessageA(Handle, TCM_GETIMAGELIST, 0, 0)) : nullptr;
  int iw = 0, ih = 0;
  if (item.iImage >= 0) {
    if (listed != nullptr && item.iImage < ImageCountOf(listed)) {
      iw = listed->Width();
      ih = listed->Height();
    } else if (images != nullptr) {
      ImageList_GetIconSize(images, &iw, &ih);
    }
  }
  // An alpha image list takes the skin's discoloured look in the section's colour; another list of the component
  // layer draws itself; a system list through the system.
  auto drawImage = [&](int32_t x, int32_t y) {
    if (iw <= 0) return;
    if (listed != nullptr && IsAlphaList(listed) && SkinManager->Effects.DiscoloredGlyphs) {
      DrawAlphaListImage(*listed, Target, x, y, item.iImage, 1, 0, ColorToRGB(s->NormalState.Color), false);
      return;
    }
    BitmapDC dc(Target);
    if (dc.dc() == nullptr) return;
    if (listed != nullptr) {
      gui::TCanvas canvas;
      canvas.SetHandle(dc.dc());
      listed->Draw(canvas, x, y, item.iImage, true);
      canvas.SetHandle(nullptr);
    } else {
      ImageList_Draw(images, item.iImage, dc.dc(), x, y, ILD_TRANSPARENT);
    }
    SetAlphaRect(Target, TRect{x, y, x + iw, y + ih}, 255, clNone);
  };
  const int32_t textState = State != 0 ? 1 : 0;

  // Owner-drawn tabs of a page control: its handler paints first, in the section's font colour; a font it changed
  // writes the caption below instead of the section's colours.
  gui::TFont handlerFont;
  bool ownFont = false;
  if (pc != nullptr && pc->OwnerDraw() && pc->OnDrawTab) {
    BitmapDC dc(Target);
    if (dc.dc() != nullptr) {
      gui::TCanvas& canvas = pc->Canvas();
      canvas.SetHandle(dc.dc());
      canvas.Font().Assign(font);
      canvas.Font().SetColor(s->NormalState.FontColor);
      if (State != 0) canvas.Font().SetColor(s->HotState.FontColor);
      gui::TFont before;
      before.Assign(canvas.Font());
      pc->OnDrawTab(pc, Index, at, State == 2);
      if (!canvas.Font().SameAs(before)) {
        handlerFont.Assign(canvas.Font());
        ownFont = true;
      }
      canvas.SetHandle(nullptr);
    }
  }

  if (Side() == tabTop || Side() == tabBottom) {
    const TSize ts = caption.empty() ? TSize{0, 0} : GetTextSize(caption, ownFont ? handlerFont : font, 0, false);
    if (iw > 0) {
      const int32_t x = content.Left + (content.Width() - (ts.cx + iw + 8)) / 2;
      drawImage(x, content.Top + (content.Height() - ih) / 2);
      content.Left = x + iw + 8;
    }
    if (caption.empty()) return;
    if (ownFont)
      WriteTextSectionEx(Target, handlerFont, caption, true, SkinManager, content, textState, -1,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    else
      WriteTextSectionEx(Target, font, caption, IsWindowEnabled(Handle) != 0, SkinManager, content, textState, section,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  // Tabs at the sides: the text runs along the tab in a rotated font, the image before it.
  if (caption.empty() && iw == 0) return;
  const bool left = Side() == tabLeft;
  HFONT base = reinterpret_cast<HFONT>(SendMessageA(Handle, WM_GETFONT, 0, 0));
  HFONT rotated = RotatedFont(base, left ? -2700 : -900);
  TPoint imageAt{};
  bool imageToDraw = false;
  {
    BitmapDC dc(Target);
    if (dc.dc() != nullptr && rotated != nullptr) {
      HGDIOBJ old = SelectObject(dc.dc(), rotated);
      SIZE ext{};
      GetTextExtentPoint32A(dc.dc(), caption.c_str(), int(caption.size()), &ext);
      const int32_t along = ext.cx + (iw > 0 ? iw + 4 : 0);
      const int32_t shift = State == 2 ? 1 : 0;
      int32_t y = content.Top + (content.Height() - along) / 2 + shift;
      const int32_t cx = content.Left + content.Width() / 2 + shift;
      if (iw > 0 && left) {
        imageAt = TPoint{cx - iw / 2, y};
        imageToDraw = true;
        y += ih + 4;
      }
      SetBkMode(dc.dc(), TRANSPARENT);
      SetTextColor(dc.dc(), ColorToRGB(textState ? s->HotState.FontColor : s->NormalState.FontColor));
      // Left tabs read upwards: the text's cell lies right of its origin, above it. Right tabs read downwards:
      // the cell lies left of the origin, below it.
      if (left)
        TextOutA(dc.dc(), cx - ext.cy / 2, y + ext.cx, caption.c_str(), int(caption.size()));
      else
        TextOutA(dc.dc(), cx + ext.cy / 2, y, caption.c_str(), int(caption.size()));
      if (iw > 0 && !left) {
        imageAt = TPoint{cx - iw / 2, y + ext.cx + 4};
        imageToDraw = true;
      }
      SelectObject(dc.dc(), old);
      // The text went through GDI: its pixels are made opaque again.
      SetAlphaRect(Target, at, 255, clNone);
    }
  }
  if (imageToDraw) drawImage(imageAt.X, imageAt.Y);
  if (rotated != nullptr) ledger::DeleteObject(rotated);
}

void TacTabControlWnd::PaintCache() {
  CacheInfo ci;
  if (!CanPaint() || !PrepareCache(ci)) return;
  Bitmap& cache = *SkinData->CacheBmp;
  FillWithParent(cache, ci, ParentWnd);
  const int32_t frame = FrameSectionIndex();
  const int32_t count = TabCount();
  if (count > 0) {
    // The inactive tabs row by row, the row farthest from the pages first, each row in index order.
    const int32_t selected = int32_t(SendMessageA(Handle, TCM_GETCURSEL, 0, 0));
    const TabSide side = Side();
    std::map<int32_t, std::vector<int32_t>> rows;
    for (int32_t i = 0; i < count; ++i) {
      if (i == selected) continue;
      RECT r{};
      if (!SendMessageA(Handle, TCM_GETITEMRECT, WPARAM(i), reinterpret_cast<LPARAM>(&r))) continue;
      int32_t key = 0;
      switch (side) {
        case tabTop: key = r.top; break;
        case tabBottom: key = -r.bottom; break;
        case tabLeft: key = r.left; break;
        case tabRight: key = -r.right; break;
      }
      rows[key].push_back(i);
    }
    for (auto& row : rows)
      for (int32_t i : row.second) PaintTab(cache, i, i == HotTab ? 1 : 0, TPoint{});
  }
  if (frame >= 0) PaintItemOver(cache, frame, 0, PageRect(), SkinManager);
  SkinData->BGChanged = false;
}

void TacTabControlWnd::PaintTo(HDC DC) {
  if (DC == nullptr || SkinData->Updating) return;
  SkinData->BGChanged = true;
  PaintCache();
  if (!SkinData->CacheBmp || SkinData->CacheBmp->Empty()) return;
  const Bitmap& cache = *SkinData->CacheBmp;
  const int32_t selected = HasTabs() ? int32_t(SendMessageA(Handle, TCM_GETCURSEL, 0, 0)) : -1;
  const TRect active = selected >= 0 ? TabRect(selected, true) : TRect{};
  const int saved = SaveDC(DC);
  if (!active.IsEmpty()) ExcludeClipRect(DC, active.Left, active.Top, active.Right, active.Bottom);
  BitmapToDC(DC, 0, 0, cache.Width(), cache.Height(), cache, 0, 0);
  RestoreDC(DC, saved);
  if (!active.IsEmpty() && active.Width() > 0 && active.Height() > 0) {
    // The selected tab over a copy of what the cache holds under it, straight onto the DC.
    Bitmap tab(active.Width(), active.Height(), pf32bit);
    CopyBitmapPart(tab, 0, 0, tab.Width(), tab.Height(), cache, active.Left, active.Top);
    SetAlphaRect(tab, TRect{0, 0, tab.Width(), tab.Height()}, 255, clNone);
    PaintTab(tab, selected, 2, TPoint{active.Left, active.Top});
    BitmapToDC(DC, active.Left, active.Top, tab.Width(), tab.Height(), tab, 0, 0);
  }
  if (auto* w = OwnerWinControl()) PaintGraphicControls(DC, w, false, TPoint{});
}

void TacTabControlWnd::AttachUpDown() {
  if (!CanPaint()) return;
  HWND spin = FindWindowExA(Handle, nullptr, UPDOWN_CLASSA, nullptr);
  if (UpDown != nullptr && spin != nullptr && UpDown->Handle == spin && !UpDown->Destroyed) return;
  if (UpDown != nullptr) FreeAdapter(UpDown);
  if (spin == nullptr || AdapterOfWindow(spin) != nullptr) return;
  TacSkinParams p;
  p.SkinSection = "UPDOWNBTN";
  UpDown = NewAdapter<TacSpinWnd>(spin, nullptr, SkinManager, p, true);
}

void TacTabControlWnd::ReleaseSteps() {
  if (UpDown != nullptr) FreeAdapter(UpDown);
  TacSelfPaintedWnd::ReleaseSteps();
}

void TacTabControlWnd::TrackHotTab(gui::TMessage& m) {
  int32_t hot = -1;
  if (m.Msg == WM_MOUSEMOVE && IsWindowEnabled(Handle) && !SkinManager->Options.NoMouseHover) {
    if (!tracking_) {
      TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, Handle, 0};
      tracking_ = TrackMouseEvent(&t) != 0;
    }
    TCHITTESTINFO hit{};
    hit.pt = POINT{short(LOWORD(m.LParam)), short(HIWORD(m.LParam))};
    hot = int32_t(SendMessageA(Handle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (hot == int32_t(SendMessageA(Handle, TCM_GETCURSEL, 0, 0))) hot = -1;
  } else if (m.Msg == WM_MOUSELEAVE) {
    tracking_ = false;
  }
  if (hot == HotTab) return;
  HotTab = hot;
  SkinData->BGChanged = true;
  InvalidateRect(Handle, nullptr, TRUE);
}

void TacTabControlWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND && AcceptSkinCommand(m) && SkinData != nullptr) {
    const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandCode(m.WParam)) {
      case AC_SKINLOADED:
        if (own) {
          CommonDataMessage(m, SkinData);
          CommonDataUpdateIndexes(*SkinData, true);
          SkinData->BGChanged = true;
          if (auto* w = OwnerWinControl())
            for (int i = 0; i < w->ControlCount(); ++i)
              if (auto* child = dynamic_cast<gui::TWinControl*>(w->Controls(i))) child->HandleNeeded();
        }
        SendToChildWindows(Handle, m);
        return;
      case AC_SKINREMOVED:
        if (own) {
          CommonDataMessage(m, SkinData);
          RestoreColors();
          SendToChildWindows(Handle, m);
          InvalidateRect(Handle, nullptr, TRUE);
          RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN |
                                                     RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
        } else {
          SendToChildWindows(Handle, m);
        }
        return;
      case AC_SKINREFRESH:
        if (own) {
          CommonDataMessage(m, SkinData);
          CommonDataUpdateIndexes(*SkinData, true);
          SkinData->BGChanged = true;
          InvalidateRect(Handle, nullptr, TRUE);
          AttachUpDown();
        }
        SendToChildWindows(Handle, m);
        return;
      case AC_FLUSHREPAINT:
        SkinData->Updating = 0;
        InvalidateRect(Handle, nullptr, TRUE);
        return;
      case AC_ISSKINNED:
        m.Result = 1;
        return;
      case AC_ISUPDATELOCKED:
        m.Result = SkinData->Updating;
        return;
      case AC_GETFRAMEINFO:
        m.Result = reinterpret_cast<LRESULT>(SkinManager);
        return;
      case AC_GETBACKGROUND: {
        if (SkinData->BGChanged && CanPaint()) PaintCache();
        auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
        if (info != nullptr && SkinData->OwnerControl == nullptr && CanPaint() && SkinData->CacheBmp &&
            !SkinData->CacheBmp->Empty() && !SkinData->BGChanged) {
          // A window that no control serves answers with its own image: its pages show the frame under them.
          info->Bmp = SkinData->CacheBmp.get();
          info->Offset = TPoint{0, 0};
          info->BgType = btCache;
          if (info->PleaseDraw && info->DC != nullptr)
            BitmapToDC(static_cast<HDC>(info->DC), info->R.Left, info->R.Top, info->R.Width(), info->R.Height(),
                       *SkinData->CacheBmp, info->R.Left, info->R.Top);
          return;
        }
        CommonDataMessage(m, SkinData);
        return;
      }
      default:
        break;
    }
  }
  if (!CanPaint()) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (PageMessage(m)) return;
  const bool visible = IsWindowVisible(Handle) != 0;
  switch (m.Msg) {
    case WM_PAINT: {
      // The painting happens on erasing.
      InvalidateRect(Handle, nullptr, TRUE);
      PAINTSTRUCT ps{};
      BeginPaint(Handle, &ps);
      EndPaint(Handle, &ps);
      if (UpDown != nullptr && !SkinData->BGChanged)
        RedrawWindow(UpDown->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      m.Result = 0;
      return;
    }
    case WM_ERASEBKGND:
      if (!visible) break;
      if (!SkinChangeInProgress(SkinManager)) PaintTo(reinterpret_cast<HDC>(m.WParam));
      AttachUpDown();
      m.Result = 1;
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      AttachUpDown();
      SkinData->Updating = 0;
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      if (UpDown != nullptr && !SkinData->BGChanged)
        RedrawWindow(UpDown->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      m.Result = 0;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case TCM_SETCURSEL:
      SendMessageA(Handle, WM_SETREDRAW, 0, 0);
      TacMainWnd::WndProc(m);
      if (Destroyed) return;
      SendMessageA(Handle, WM_SETREDRAW, 1, 0);
      SkinData->BGChanged = true;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
      return;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TrackHotTab(m);
      break;
    default:
      break;
  }
  const TSize before = WndSize;
  TacMainWnd::WndProc(m);
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_SIZE: {
      AttachUpDown();
      SkinData->BGChanged = true;
      WindowRectInParent();
      if (WndSize.cx < before.cx || WndSize.cy < before.cy)
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
      break;
    }
    case kTabListChanged:
      AttachUpDown();
      SkinData->BGChanged = true;
      break;
    default:
      break;
  }
}

// ---- TacPageControlWnd.

gui::TPageControl* TacPageControlWnd::PageControl() const {
  return SkinData != nullptr ? dynamic_cast<gui::TPageControl*>(SkinData->OwnerControl) : nullptr;
}

void TacPageControlWnd::Initialize() {
  TacTabControlWnd::Initialize();
  AttachPages();
}

void TacPageControlWnd::AttachPages() {
  if (Destroyed || SkinManager == nullptr) return;
  // Adapters whose page window went are let go of (freed later, never from inside their own procedure).
  for (auto it = Pages.begin(); it != Pages.end();) {
    if ((*it)->Destroyed || !IsWindow((*it)->Handle)) {
      TacPageWnd* gone = *it;
      it = Pages.erase(it);
      FreeAdapter(gone);
    } else {
      ++it;
    }
  }
  auto adopt = [this](HWND page, gui::TControl* control, TsSkinManager* manager) {
    if (page == nullptr || QueryLibraryCommand(page, AC_ISSKINNED) || AdapterOfWindow(page) != nullptr) return;
    TacSkinParams p;
    p.SkinSection = "CHECKBOX";
    p.Control = control;
    auto* a = NewAdapter<TacPageWnd>(page, nullptr, manager, p, true);
    a->Control = control;
    if (a->Destroyed) {
      FreeAdapter(a);
      return;
    }
    Pages.push_back(a);
  };
  if (gui::TPageControl* pc = PageControl()) {
    for (int i = 0; i < pc->PageCount(); ++i) {
      gui::TTabSheet* page = pc->Pages(i);
      if (page->HandleAllocated() && !page->IsDestroying()) adopt(page->WindowHandle(), page, SkinManager);
    }
    return;
  }
  TsSkinManager* manager =
      reinterpret_cast<TsSkinManager*>(SendMessageA(Handle, WM_SKINCOMMAND, SkinCommandWParam(AC_GETFRAMEINFO), 0));
  if (manager == nullptr) return;
  for (HWND c = GetWindow(Handle, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
    if (GetParent(c) == Handle && GetWndClassName(c) != UPDOWN_CLASSA) adopt(c, nullptr, manager);
}

void TacPageControlWnd::ReleaseSteps() {
  std::vector<TacPageWnd*> pages;
  pages.swap(Pages);
  for (TacPageWnd*& p : pages) FreeAdapter(p);
  TacTabControlWnd::ReleaseSteps();
}

bool TacPageControlWnd::PageMessage(gui::TMessage& m) {
  switch (m.Msg) {
    case WM_PRINT:
      AttachUpDown();
      AttachPages();
      SkinData->Updating = 0;
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return true;
    case TCM_SETCURSEL:
      if (SkinData->OwnerControl != nullptr) {
        AttachPages();
        NotifyTopWindowChildAdded(Handle);
      }
      return false;
    case WM_NCPAINT:
      AttachPages();
      m.Result = 0;
      return true;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) {
        TacMainWnd::WndProc(m);
        if (!Destroyed) AttachPages();
        return true;
      }
      return false;
    default:
      return false;
  }
}

void TacPageControlWnd::WndProc(gui::TMessage& m) {
  TacTabControlWnd::WndProc(m);
  // A click on a tab shows a page that may have got its window only now.
  if (!Destroyed && m.Msg == gui::CN_NOTIFY && m.LParam != 0 &&
      reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(TCN_SELCHANGE)) {
    AttachPages();
    SkinData->BGChanged = true;
    RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
}

// ---- TacPageWnd.

void TacPageWnd::PaintTo(HDC DC) {
  if (DC == nullptr || SkinData == nullptr) return;
  WindowRectInParent();
  if (WndSize.cx <= 0 || WndSize.cy <= 0 || ParentWnd == nullptr) return;
  PrepareWindowCache(*SkinData, WndSize.cx, WndSize.cy);
  Bitmap& cache = *SkinData->CacheBmp;
  BackgroundInfo info;
  info.R = TRect{0, 0, WndSize.cx, WndSize.cy};
  QueryParentBackground(info, ParentWnd, false);
  if (info.BgType == btCache && info.Bmp != nullptr) {
    CopyBitmapPart(cache, 0, 0, cache.Width(), cache.Height(), *info.Bmp, info.Offset.X + WndPos.X, info.Offset.Y + WndPos.Y);
  } else {
    FillRectBitmap32(cache, TRect{0, 0, cache.Width(), cache.Height()},
                     info.Color != KeyColor ? info.Color : WindowBgColor(ParentWnd), 255);
    // The edge along the tabs shows the page control's own image there.
    auto* tabs = dynamic_cast<TacTabControlWnd*>(AdapterOfWindow(ParentWnd));
    if (tabs != nullptr && tabs->HasTabs() && tabs->SkinData != nullptr && tabs->SkinData->CacheBmp &&
        !tabs->SkinData->BGChanged) {
      const Bitmap& parent = *tabs->SkinData->CacheBmp;
      TRect strip{0, 0, cache.Width(), cache.Height()};
      switch (tabs->Side()) {
        case tabTop: strip.Bottom = 3; break;
        case tabBottom: strip.Top = strip.Bottom - 3; break;
        case tabLeft: strip.Right = 3; break;
        case tabRight: strip.Left = strip.Right - 3; break;
      }
      Bitmap part(strip.Width(), strip.Height(), pf32bit);
      CopyBitmapPart(part, 0, 0, part.Width(), part.Height(), parent, WndPos.X + strip.Left, WndPos.Y + strip.Top);
      CopyExceptColor(cache, part, strip.Left, strip.Top, clNone);
    }
  }
  SetAlphaRect(cache, TRect{0, 0, cache.Width(), cache.Height()}, 255, clNone);
  SkinData->BGChanged = false;
  BitmapToDC(DC, 0, 0, cache.Width(), cache.Height(), cache, 0, 0);
  if (auto* w = dynamic_cast<gui::TWinControl*>(Control)) PaintGraphicControls(DC, w, false, TPoint{});
}

void TacPageWnd::WndProc(gui::TMessage& m) {
  if (Destroyed || SkinData == nullptr || SkinManager == nullptr || !SkinManager->Active() || m.Msg == WM_DESTROY ||
      m.Msg == WM_NCDESTROY) {
    TacMainWnd::WndProc(m);
    return;
  }
  if (m.Msg == WM_SKINCOMMAND && AcceptSkinCommand(m)) {
    const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
    switch (SkinCommandCode(m.WParam)) {
      case AC_SKINLOADED:
        if (own) {
          CommonDataMessage(m, SkinData);
          CommonDataUpdateIndexes(*SkinData, true);
        }
        SendToChildWindows(Handle, m);
        return;
      case AC_SKINREMOVED:
      case AC_SKINREFRESH:
        if (own) {
          CommonDataMessage(m, SkinData);
          SkinData->BGChanged = true;
          InvalidateRect(Handle, nullptr, TRUE);
        }
        SendToChildWindows(Handle, m);
        if (SkinCommandCode(m.WParam) == AC_SKINREMOVED) TacMainWnd::WndProc(m);
        return;
      case AC_FLUSHREPAINT:
        if (SkinData->Updating) {
          SkinData->Updating = 0;
          InvalidateRect(Handle, nullptr, TRUE);
        }
        return;
      case AC_ISSKINNED:
        m.Result = 1;
        return;
      case AC_ISUPDATELOCKED:
        m.Result = SkinData->Updating;
        return;
      case AC_GETBACKGROUND: {
        // What the page control answers, moved by the page's place on it.
        auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
        if (info == nullptr) return;
        WindowRectInParent();
        const TPoint at = Control != nullptr ? TPoint{Control->Left(), Control->Top()} : WndPos;
        const bool draw = info->PleaseDraw != 0;
        if (draw) info->R = TRect{info->R.Left + at.X, info->R.Top + at.Y, info->R.Right + at.X, info->R.Bottom + at.Y};
        QueryParentBackground(*info, ParentWnd, draw);
        if (draw) info->R = TRect{info->R.Left - at.X, info->R.Top - at.Y, info->R.Right - at.X, info->R.Bottom - at.Y};
        info->Offset = TPoint{info->Offset.X + at.X, info->Offset.Y + at.Y};
        return;
      }
      default:
        break;
    }
  }
  const bool visible = IsWindowVisible(Handle) != 0;
  switch (m.Msg) {
    case WM_PAINT:
      if (!visible) break;
      {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(Handle, &ps);
        PaintTo(m.WParam != 0 ? reinterpret_cast<HDC>(m.WParam) : dc);
        EndPaint(Handle, &ps);
      }
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (!visible) break;
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      PaintTo(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_NCPAINT:
      m.Result = 0;
      return;
    default:
      break;
  }
  TacMainWnd::WndProc(m);
  if (!Destroyed && m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_CREATE) NotifyTopWindowChildAdded(Handle);
}

}  // namespace skin
