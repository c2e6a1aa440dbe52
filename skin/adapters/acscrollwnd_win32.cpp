// The scrollable adapter family: TacScrollWnd and TacBaseWnd.
#include "skin/adapters/acscrollwnd.h"
#include "skin/adapters/edit_menu.h"

#include <richedit.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "gui/forms.h"
#include "gui/stdctrls.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/manager/svclutils.h"
#include "skin/manager/componentprops.h"
#include "skin/painters/borders.h"
#include "skin/painters/dc_copy.h"
#include "skin/pixels/gdi_ledger.h"
#include "skin/painters/painter_services.h"
#include "skin/painters/parent_background.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skin_mask.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

// WM_KEYDOWN as another class library reflects it to the control (0x2000 + message).
constexpr UINT kReflectedKeyDown = 0x2100;

}  // namespace

// ---- TacScrollWnd.

TacScrollWnd::~TacScrollWnd() = default;

void TacScrollWnd::InitCommonData() {
  FrameCalculated = 0;
  if (SkinData != nullptr) return;
  SkinData = new TsScrollWndData();
  OwnsSkinData = 1;
  SkinData->RepaintBlocked = 1;
}

void TacScrollWnd::Attach(bool Repaint) {
  if (!AttachScrollWindow(this, Handle, Repaint)) Destroyed = 1;
}

void TacScrollWnd::DetachedFromWindow() {
  ScrollEngineForget(Handle);
  TrackingThumb = 0;
  if (HorzBar) HorzBar->Owner = nullptr;
  if (VertBar) VertBar->Owner = nullptr;
  HorzBar.reset();
  VertBar.reset();
  // The system's bars and client area come back (unless the window is on its way out).
  if (!windowGoing_ && Handle != nullptr && IsWindow(Handle)) RedrawWindowFrame(Handle, true);
}

bool TacScrollWnd::IsSkinned() const { return SkinData != nullptr && CommonDataIsSkinned(*SkinData); }

void TacScrollWnd::WndProc(gui::TMessage& m) { ScrollWndProc(m); }

void TacScrollWnd::ScrollWndProc(gui::TMessage& m) {
  if (!Destroyed && HandleDestroyMessage(m)) return;
  switch (m.Msg) {
    case WM_CONTEXTMENU:
      InstallOwnPopupMenu();
      break;
    case WM_UPDATEUISTATE:
      m.Result = 0;
      return;
    case gui::CM_RECREATEWND:
      if (auto* combo = dynamic_cast<gui::TCustomComboBox*>(SkinData != nullptr ? SkinData->OwnerControl : nullptr);
          combo != nullptr && combo->Name().empty() && !IsWindowVisible(Handle))
        return;
      break;
    default:
      break;
  }
  if (Destroyed || !HorzBar || !VertBar) return;
  if (!IsSkinned()) {
    if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_SKINLOADED && SkinData != nullptr &&
        m.LParam == reinterpret_cast<LPARAM>(SkinManager))
      CommonDataUpdateIndexes(*SkinData, true);
    CallOriginal(m);
    return;
  }
  if (m.Msg == WM_MOUSEMOVE || m.Msg == WM_NCMOUSEMOVE || m.Msg == WM_MOUSELEAVE || m.Msg == WM_NCMOUSELEAVE)
    ForeignHover(m.Msg);
  if ((m.Msg == WM_MOUSELEAVE || m.Msg == WM_NCMOUSELEAVE) && SkinData->OwnerControl != nullptr && PointerLeft()) {
    // The manager's hot control may already be the form (it hears of every control the pointer enters) while the
    // pointer still lay here, and then never tells this one it was left: the window gives its hot look back itself.
    ForgetHotControl();
    if (!Destroyed && SkinData->MouseAbove) HoverCommand(false);
  }
  if (Destroyed) return;
  switch (m.Msg) {
    case WM_NCCALCSIZE:
      m.Result = ScrollNcCalcSize(this, Handle, m.WParam, m.LParam);
      FrameCalculated = 1;
      return;
    case WM_NCPAINT:
      if (!FrameCalculated) RedrawWindowFrame(Handle, true);
      if (IsWindowVisible(Handle) && !Updating && !ScrollBusy() && HorzBar)
        PaintNonClientScrollBars(this, Handle, -1, nullptr);
      m.Result = 0;
      return;
    case WM_NCHITTEST:
      m.Result = ScrollNcHitTest(this, Handle, m.WParam, m.LParam);
      return;
    case WM_STYLECHANGED:
      if (Updating) {
        m.Result = 0;
        return;
      }
      m.Result = ScrollStyleChanged(this, Handle, m.WParam, m.LParam);
      return;
    case WM_NCMOUSEMOVE:
      m.Result = ScrollNcMouseMove(this, Handle, m.WParam, m.LParam);
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      m.Result = ScrollNcLButtonDown(this, Handle, m.Msg, m.WParam, m.LParam);
      return;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
      if (m.WParam == HTHSCROLL || m.WParam == HTVSCROLL) {
        m.Result = 0;
        return;
      }
      break;
    case WM_SYSCOMMAND:
      if (LOWORD(m.WParam) == 0xF077) return;
      break;
    case WM_TIMER:
      m.Result = ScrollTimer(this, Handle, m.WParam, m.LParam);
      return;
    case WM_MOUSEMOVE:
      m.Result = ScrollMouseMove(this, Handle, m.WParam, m.LParam);
      return;
    case WM_LBUTTONUP:
      m.Result = ScrollMouseUp(this, Handle, m.WParam, m.LParam);
      return;
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
      m.Result = ScrollCaptureLost(this, Handle, m.Msg, m.WParam, m.LParam);
      return;
    case WM_SKINCOMMAND:
      if (ScrollCommand(m)) return;
      break;
    default:
      break;
  }
  CallOriginal(m);
  if (Destroyed || !HorzBar) return;
  if (((m.Msg == WM_MOUSEWHEEL || m.Msg == gui::CM_MOUSEWHEEL) && !ScrollBusy()) || m.Msg == gui::CM_FOCUSCHANGED)
    RefreshScrollBars(this, true);
}

bool TacScrollWnd::ScrollCommand(gui::TMessage& m) {
  if (!AcceptSkinCommand(m)) return false;
  const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINLOADED:
      if (own) {
        CommonDataUpdateIndexes(*SkinData, true);
        BroadcastToControlChildren(SkinData->OwnerControl, m);
      }
      return false;
    case AC_SKINREMOVED:
      if (own && !Destroyed) RestoreColors();
      return false;
    case AC_SKINREFRESH:
      if (own) {
        CommonDataUpdateIndexes(*SkinData, true);
        SkinData->BGChanged = true;
      }
      return false;
    case AC_FLUSHREPAINT:
      // Held back, and free to paint now (the pending flag cleared unless a container still holds it).
      if (!SkinData->Updating || CommonDataIsUpdating(*SkinData, true)) return false;
      RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      if (auto* w = OwnerWinControl()) RepaintChildControls(w);
      return true;
    case AC_ISSKINNED:
      m.Result = 1;
      return true;
    case AC_UPDATECACHE:
      CallOriginal(m);
      if (SkinData->BGChanged && !CommonDataIsUpdating(*SkinData, false)) {
        WindowRectInParent();
        PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
        PaintScrollWindowFrame(SkinData, nullptr, this);
      }
      return true;
    case AC_SETREPAINTPENDING:
      SkinData->Updating = SkinCommandArgument(m.WParam) == 1 ? 1 : 0;
      return false;
    case AC_GETADAPTER:
      m.Result = reinterpret_cast<LRESULT>(static_cast<TacMainWnd*>(this));
      return true;
    case AC_ISCACHEUSABLE:
      m.Result = 1;
      return true;
    case AC_GETSKINDATA:
      m.Result = reinterpret_cast<LRESULT>(SkinData);
      return true;
    case AC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(gui::Application);
      return true;
    case AC_SETSECTION: {
      const auto* record = reinterpret_cast<const TacSectionRecord*>(m.LParam);
      if (record == nullptr || record->SectionName == nullptr) {
        m.Result = 0;
        return true;
      }
      SetSectionName(record->SectionName);
      SkinData->BGChanged = true;
      Skinned = 0;  // the colours of the new section are applied at the next paint
      if (IsWindowVisible(Handle))
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      m.Result = 1;
      return true;
    }
    case AC_GETCOLOR:
      if (CallOriginal(m) == 0) m.Result = LRESULT(CommonDataGetBgColor(*SkinData, 0, Handle));
      return true;
    case AC_MOUSEENTER:
    case AC_MOUSELEAVE:
      HoverCommand(SkinCommandCode(m.WParam) == AC_MOUSEENTER);
      return true;
    case AC_GETBACKGROUND: {
      CallOriginal(m);
      auto* info = reinterpret_cast<BackgroundInfo*>(m.LParam);
      if (info != nullptr && info->BgType == btUnknown) CommonDataPaintParentBg(*SkinData, *info, HoverState(), Handle);
      return true;
    }
    default:
      return false;
  }
}

int32_t TacScrollWnd::HoverState() const {
  if (SkinData == nullptr) return 0;
  if (GetFocus() == Handle || SkinData->Focused) return 1;
  return SkinData->MouseAbove && HotLookAllowed(SkinData, true) ? 1 : 0;
}

bool TacScrollWnd::PointerHot() const {
  if (SkinData == nullptr) return false;
  gui::TControl* control = SkinData->OwnerControl;
  if (control == nullptr) return SkinData->MouseAbove != 0;
  const TsSkinManagerComponent* m = ManagerComponent(DefaultManager());
  return m != nullptr && m->HotControl() == control;
}

void TacScrollWnd::HoverCommand(bool Enter) {
  // The skin data decides whether the control takes the hover (its kind, the manager's options, the cursor
  // still inside); a change shows at once: the border and background are painted again in the new state.
  const uint8_t before = SkinData->MouseAbove;
  gui::TMessage cm{Enter ? gui::CM_MOUSEENTER : gui::CM_MOUSELEAVE, 0, 0, 0};
  CommonDataWndProc(cm, SkinData);
  if (Destroyed || SkinData->MouseAbove == before || !HotLookAllowed(SkinData, true)) return;
  SkinData->BGChanged = true;
  if (IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
}

void TacScrollWnd::ForeignHover(UINT Msg) {
  // A window of no component (a system dialog's list, a plain list box of the program) is no hot control of the
  // manager: it follows the pointer itself, over its client area and its frame alike.
  if (SkinData == nullptr || SkinData->OwnerControl != nullptr || GetCapture() == Handle ||
      !IsWindowEnabled(Handle) || !HotLookAllowed(SkinData, true))
    return;
  bool over = true;
  if (Msg == WM_MOUSEMOVE || Msg == WM_NCMOUSEMOVE) {
    TRACKMOUSEEVENT t{sizeof t, DWORD(TME_LEAVE | (Msg == WM_NCMOUSEMOVE ? TME_NONCLIENT : 0)), Handle, 0};
    TrackMouseEvent(&t);
  } else {
    // Leaving the client for the frame (or back) is no leaving of the window.
    POINT p{};
    RECT r{};
    GetCursorPos(&p);
    GetWindowRect(Handle, &r);
    over = PtInRect(&r, p) != FALSE && WindowFromPoint(p) == Handle;
  }
  if (SkinData->MouseAbove == uint8_t(over)) return;
  SkinData->MouseAbove = uint8_t(over);
  SkinData->BGChanged = true;
  if (IsWindowVisible(Handle)) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
}

// ---- TacBaseWnd.

void TacBaseWnd::WndProc(gui::TMessage& m) { BaseWndProc(m); }

void TacBaseWnd::BaseWndProc(gui::TMessage& m) {
  if (Destroyed || !IsSkinned()) {
    ScrollWndProc(m);
    return;
  }
  switch (m.Msg) {
    case kReflectedKeyDown:
      return;
    case WM_SKINCOMMAND:
      if (SkinCommandCode(m.WParam) == AC_SKINREFRESH && m.LParam == reinterpret_cast<LPARAM>(SkinManager) &&
          AcceptSkinCommand(m)) {
        ScrollWndProc(m);
        if (!Destroyed && IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
        return;
      }
      if (SkinCommandCode(m.WParam) == AC_UPDATECACHE) PaintSubclassedBackground(SkinData, Handle, false);
      break;
    case WM_EXITSIZEMOVE:
    case WM_SIZE:
      SkinData->BGChanged = true;
      break;
    case WM_SETCURSOR:
      CallOriginal(m);
      return;
    default:
      break;
  }
  ScrollWndProc(m);
  if (Destroyed || !HorzBar) return;
  switch (m.Msg) {
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!ScrollBusy()) RefreshScrollBars(this, true);
      break;
    case WM_ENABLE:
    case gui::CM_ENABLEDCHANGED:
      if (IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
      break;
    default:
      break;
  }
}

}  // namespace skin

// ---- Painting the window's image.

namespace skin {

namespace {

// The parent's background under the window, mapped to the window's top-left. False (and the skin data's
// repaint-pending flag set) when the parent cannot serve as a background now.
bool WindowParentBackground(TsCommonData* data, HWND h, CacheInfo& ci) {
  ci = EmptyCacheInfo;
  const HWND parent = GetParent(h);
  if (parent == nullptr) return true;
  if (QueryLibraryCommand(parent, AC_ISUPDATELOCKED)) {
    data->Updating = 1;
    return false;
  }
  RECT wr{};
  GetWindowRect(h, &wr);
  BackgroundInfo info;
  info.R = TRect{0, 0, wr.right - wr.left, wr.bottom - wr.top};
  QueryParentBackground(info, parent, false);
  BackgroundToCacheInfo(info, ci);
  POINT at{wr.left, wr.top};
  ScreenToClient(parent, &at);
  ci.X += at.x;
  ci.Y += at.y;
  return true;
}

int32_t WindowState(TsCommonData* data, HWND h) {
  if (GetFocus() == h) return 1;
  return data->MouseAbove && HotLookAllowed(data, true) ? 1 : 0;
}

// The text of a disabled edit as it shows: the password character once per character when the edit has one.
std::string ShownEditText(HWND h) {
  const int count = GetWindowTextLengthW(h);
  if (count <= 0) return std::string();
  const LRESULT mask = SendMessageA(h, EM_GETPASSWORDCHAR, 0, 0);
  if (mask != 0) return std::string(size_t(count), char(mask));
  // Sized first: the length asked, then a buffer of that size read.
  std::string s(size_t(GetWindowTextLengthA(h)) + 1, '\0');
  const int got = GetWindowTextA(h, s.data(), int(s.size()));
  s.resize(size_t(got > 0 ? got : 0));
  return s;
}

}  // namespace

bool HotLookAllowed(TsCommonData* SkinData, bool CheckKind) {
  if (SkinData == nullptr) return false;
  TsSkinManager* m = SkinDataManager(*SkinData);
  if (m == nullptr) return false;
  const LoadedSkin& skin = m->Skin();
  if (!SkinManagerIsValidSectionIndex(skin, SkinData->SkinIndex) ||
      !SkinManagerIsValidImageIndex(skin, SkinData->BorderIndex))
    return false;
  // A kind without a hover state takes no hot look under the pointer either, unless the global switch says so.
  if (CheckKind && KindWithoutHover(SkinData->ControlKind) && !HotLookOnEveryKind()) return false;
  if (m->Options.NoMouseHover) return false;
  return skin.Images[size_t(SkinData->BorderIndex)].ImageCount >= 2 ||
         skin.Sections[size_t(SkinData->SkinIndex)].States > 1;
}

void PaintSubclassedBackground(TsCommonData* SkinData, HWND Handle, bool FlatBorder) {
  if (SkinData == nullptr || !SkinData->BGChanged || Handle == nullptr) return;
  TsSkinManager* m = SkinDataManager(*SkinData);
  if (m == nullptr) return;
  RECT wr{};
  GetWindowRect(Handle, &wr);
  const int32_t w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (w <= 0 || h <= 0) return;
  PrepareWindowCache(*SkinData, w, h);
  Bitmap& cache = *SkinData->CacheBmp;
  CacheInfo ci;
  if (!WindowParentBackground(SkinData, Handle, ci)) return;
  const LoadedSkin& skin = m->Skin();
  const TRect all{0, 0, w, h};
  const TColor borderColor = skin.Colors[scBorderColor];
  const int32_t state = WindowState(SkinData, Handle);
  if (FlatBorder && borderColor != KeyColor) {
    FillRectBitmap32(cache, all, ColorToRGB(clWindow), 255);
    FillFrameBitmap32(cache, all, borderColor, 1, 1, 1, 1);
  } else if (SkinManagerIsValidSectionIndex(skin, SkinData->SkinIndex)) {
    if (FlatBorder)
      PaintControlBackground(*SkinData, ci, state, -1, -1, cache, TPoint{}, all);
    else
      PaintControlItem(*SkinData, ci, -1, -1, 1, cache, TPoint{}, all, state);
  }
  gui::TControl* control = SkinData->OwnerControl;
  if (control != nullptr && !control->Enabled()) {
    if (auto* edit = dynamic_cast<gui::TCustomEdit*>(control)) {
      const bool bordered = edit->BorderStyle() != gui::TBorderStyle::bsNone;
      const int32_t ctl3d = (GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) ? 1 : 0;
      const int32_t b = bordered ? ctl3d + 2 : 0, b2 = bordered ? ctl3d + 1 : 0;
      TRect r{b, b, w - b, h - b2};
      DrawTextString(cache, control->Font(), ShownEditText(Handle), r, DT_SINGLELINE | DT_NOPREFIX,
                     ColorToRGB(control->Font().Color()));
    }
    TsDisabledKind kind = dkBlended;
    if (HasPublishedProperty(control, "DisabledKind")) {
      kind = 0;
      if (SetPropertyHasElement(control, "DisabledKind", "dkBlended")) kind |= dkBlended;
      if (SetPropertyHasElement(control, "DisabledKind", "dkGrayed")) kind |= dkGrayed;
    }
    PaintDisabledLook(cache, kind, ControlBgColor(control), TPoint{}, ci);
  }
  SkinData->BGChanged = false;
}

void PaintScrollWindowFrame(TsCommonData* SkinData, HDC DC, TacMainWnd* Adapter) {
  (void)DC;
  if (SkinData == nullptr || Adapter == nullptr || Adapter->CreatedByDispatcher || !SkinData->CacheBmp) return;
  TsSkinManager* m = SkinDataManager(*SkinData);
  if (m == nullptr) return;
  const LoadedSkin& skin = m->Skin();
  if (!SkinManagerIsValidSectionIndex(skin, SkinData->SkinIndex) ||
      !SkinManagerIsValidImageIndex(skin, SkinData->BorderIndex))
    return;
  const SkinImageRecord& rec = skin.Images[size_t(SkinData->BorderIndex)];
  if (RectWidth(rec.SourceRect) == 0 || RectHeight(rec.SourceRect) == 0) return;
  Bitmap& cache = *SkinData->CacheBmp;
  if (cache.Width() <= 1 || cache.Height() <= 1) return;
  CacheInfo ci;
  if (!WindowParentBackground(SkinData, Adapter->Handle, ci)) return;
  const int32_t state = std::min<int32_t>(WindowState(SkinData, Adapter->Handle), std::max<int32_t>(rec.ImageCount - 1, 0));
  DrawSkinMask(cache, TRect{0, 0, cache.Width(), cache.Height()}, ci, rec, state, true);
}

// ---- TacEditWnd.

void TacEditWnd::Create(HWND Wnd, TsCommonData* Data, TsSkinManager* Manager, const TacSkinParams& Params,
                        bool Repaint) {
  TsSkinManager* manager = Manager != nullptr ? Manager : DefaultManager();
  const bool modern = manager != nullptr && manager->System().Version().Major >= 6;
  std::string section = Params.SkinSection;
  for (char& c : section) c = char(std::toupper(static_cast<unsigned char>(c)));
  bool keepTheme = section == "DIALOG";
  if (Data == nullptr && modern && section != "COMBOBOX") keepTheme = true;
  if (Data != nullptr && ((Data->ControlKind == ckListView && modern) ||
                          (Data->OwnerControl != nullptr && HasPublishedProperty(Data->OwnerControl, "UseXPThemes"))))
    keepTheme = true;
  if (!keepTheme)
    if (SetWindowThemeFn theme = SetWindowThemeEntry()) theme(Wnd, L" ", L" ");
  Handle = Wnd;
  HotIndex = -1;
  SkinManager = manager;
  Destroyed = 0;
  if (Data == nullptr) {
    InitCommonData();
    if (!section.empty()) SetSectionName(section);
    SkinData->OwnerControl = Params.Control;
    if (Params.Control != nullptr && HasPublishedProperty(Params.Control, "PanelBorder")) SetSectionName("TRANSPARENT");
    SkinData->OwnerObject = Params.Control;
    SkinData->CustomFont = Params.UseSkinFont ? 0 : 1;
    SkinData->CustomColor = Params.UseSkinColor ? 0 : 1;
    if (TsScrollWndData* sd = ScrollData()) {
      if (Params.HorzButtonsSize >= 0) sd->HorzScrollData.ButtonsSize = Params.HorzButtonsSize;
      if (Params.HorzScrollWidth >= 0) sd->HorzScrollData.ScrollWidth = Params.HorzScrollWidth;
      if (Params.VertButtonsSize >= 0) sd->VertScrollData.ButtonsSize = Params.VertButtonsSize;
      if (Params.VertScrollWidth >= 0) sd->VertScrollData.ScrollWidth = Params.VertScrollWidth;
    }
    SkinData->ControlKind = ckSelfMadeEdit;
  } else {
    SkinData = Data;
  }
  if (SkinData->SkinSection.empty()) SetSectionName("EDIT");
  SkinData->WndHandle = Wnd;
  SaveColors();
  Skinned = 0;
  CreatedByDispatcher = DispatcherSkinning();
  textStale_ = true;
  Attach(Repaint);
  if (gui::TControl* control = SkinData->OwnerControl) {
    SavedControlStyle = control->ControlStyle();
    SingleLine = dynamic_cast<gui::TCustomEdit*>(control) != nullptr && !(GetWindowLongA(Wnd, GWL_STYLE) & ES_MULTILINE);
    control->SetControlStyle(SavedControlStyle | gui::csOpaque);
  }
  ChildrenChanged = 0;
  Initialize();
}

namespace {

// A rich edit paints its background in its own colour (EM_SETBKGNDCOLOR) and never asks its parent for one.
bool RichEditWindow(HWND Wnd) {
  char cls[32] = {};
  GetClassNameA(Wnd, cls, sizeof cls);
  return _strnicmp(cls, "RichEdit", 8) == 0;
}

// System: the rich edit takes the system's window colour back.
void SetRichEditBackground(HWND Wnd, bool System, TColor Colour) {
  if (Wnd != nullptr && IsWindow(Wnd) && RichEditWindow(Wnd))
    SendMessageA(Wnd, EM_SETBKGNDCOLOR, System ? 1 : 0, System ? 0 : LPARAM(ColorToRGB(Colour) & 0xFFFFFF));
}

}  // namespace

void TacEditWnd::SaveColors() {
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (control == nullptr) return;
  SavedColor = control->Color();
  SavedFontColor = control->Font().Color();
  if (HasPublishedProperty(control, "FocusColor"))
    SavedFocusColor = TColor(GetPublishedOrdProperty(control, "FocusColor"));
}

void TacEditWnd::RestoreColors() {
  TacBaseWnd::RestoreColors();
  gui::TControl* control = SkinData != nullptr ? SkinData->OwnerControl : nullptr;
  if (Handle != nullptr && IsWindow(Handle) && IsWindowVisible(Handle) && !windowGoing_ &&
      (control == nullptr || !control->IsDestroying()))
    SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  if (control == nullptr && !windowGoing_) SetRichEditBackground(Handle, true, clNone);
  if (control == nullptr || control->IsDestroying() || SavedColor == clNone) return;
  control->SetColor(SavedColor);
  if (!windowGoing_) SetRichEditBackground(Handle, SavedColor == clWindow, SavedColor);
  SkinData->CtrlState |= csSettingFont;
  control->Font().SetColor(SavedFontColor);
  SkinData->CtrlState &= uint16_t(~csSettingFont);
  if (SavedFocusColor != clNone && HasPublishedProperty(control, "FocusColor"))
    SetPublishedProperty(control, "FocusColor", SavedFocusColor);
}

void TacEditWnd::SetSkinColors() {
  if (Updating) return;
  Updating = 1;
  SkinData->Updating = 1;
  TacBaseWnd::SetSkinColors();
  TsSkinManager* m = SkinManager;
  if (m != nullptr && SkinManagerIsValidSectionIndex(m->Skin(), SkinData->SkinIndex)) {
    const SkinSectionRecord& section = m->Skin().Sections[size_t(SkinData->SkinIndex)];
    if (gui::TControl* control = SkinData->OwnerControl) {
      const bool hot = CommonDataIsFocusedLook(*SkinData) && section.States > 1;
      if (!SkinData->CustomColor) {
        const TColor colour = CommonDataGetBgColor(*SkinData, hot ? 1 : 0, Handle);
        if (HasPublishedProperty(control, "FocusColor")) {
          if (control->Color() != colour) control->SetColor(colour);
          SetPublishedProperty(control, "FocusColor", colour);
        } else if (control->Color() != colour) {
          control->SetColor(colour);
        }
        BgColor = colour;
        SetRichEditBackground(Handle, false, colour);
      }
      if (!SkinData->CustomFont) {
        const TColor font = SectionStateBlock(section, hot ? 1 : 0).FontColor;
        if (control->Font().Color() != font) {
          SkinData->CtrlState |= csSettingFont;
          control->Font().SetColor(font);
          SkinData->CtrlState &= uint16_t(~csSettingFont);
        }
      }
    } else {
      if (!SkinData->CustomColor) {
        BgColor = CreatedByDispatcher ? ColorToRGB(clWindow) : section.NormalState.Color;
        SetRichEditBackground(Handle, false, BgColor);
      }
      BorderColor = m->Skin().Colors[scBorderColor];
    }
    SkinData->BGChanged = true;
  } else {
    BorderColor = 0;
  }
  SkinData->Updating = 0;
  Updating = 0;
}

bool TacEditWnd::DisabledSingleLineEdit() const {
  return SingleLine && SkinData != nullptr && SkinData->OwnerControl != nullptr && !SkinData->OwnerControl->Enabled();
}

void TacEditWnd::PaintNcArea() {
  if (SkinChangeInProgress(SkinManager)) return;
  WindowRectInParent();
  if (CommonDataIsUpdating(*SkinData, false)) return;
  HDC dc = ledger::GetWindowDC(Handle);
  if (dc == nullptr) return;
  RECT clip{};
  if (dc != static_cast<HDC>(SkinData->PrintDC) && GetClipBox(dc, &clip) == NULLREGION) {
    ledger::ReleaseDC(Handle, dc);
    return;
  }
  if (SkinData->BGChanged) {
    if (!Skinned) SetSkinColors();
    PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
  }
  const int saved = SaveDC(dc);
  PaintNonClientScrollBars(this, Handle, -1, dc);
  if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    BitmapDC cacheDC(*SkinData->CacheBmp);
    if (cacheDC.dc() != nullptr)
      CopyBorderStrips(dc, 0, 0, BorderLeft, WndSize.cx, WndSize.cy, cacheDC.dc(), 0, 0);
  }
  RestoreDC(dc, saved);
  ledger::ReleaseDC(Handle, dc);
}

void TacEditWnd::PaintMessage(gui::TMessage& m) {
  const HDC given = reinterpret_cast<HDC>(m.WParam);
  if (given == nullptr) {
    RECT update{};
    if (!GetUpdateRect(Handle, &update, FALSE)) {
      ValidateRect(Handle, nullptr);  // nothing to paint: the region is validated all the same
      m.Result = 0;
      return;
    }
  } else if (given != static_cast<HDC>(SkinData->PrintDC)) {
    RECT clip{};
    if (GetClipBox(given, &clip) == NULLREGION) {
      m.Result = 0;
      return;
    }
  }
  if (DisabledSingleLineEdit()) {
    if (SkinData->BGChanged) PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
    PAINTSTRUCT ps{};
    HDC dc = given != nullptr ? given : BeginPaint(Handle, &ps);
    if (dc != nullptr && SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
      RECT client{};
      GetClientRect(Handle, &client);
      BitmapToDC(dc, 0, 0, client.right, client.bottom, *SkinData->CacheBmp, BorderLeft, BorderTop);
    }
    if (given == nullptr) EndPaint(Handle, &ps);
    m.Result = 0;
    return;
  }
  if (PaintHeldBack() || (SkinChangeInProgress(SkinManager) && SkinData->PrintDC == nullptr)) {
    if (given == nullptr) ValidateRect(Handle, nullptr);
    m.Result = 0;
    return;
  }
  RefreshScrollBars(this, true);
  if (!Skinned) SetSkinColors();
  BaseWndProc(m);
}

void TacEditWnd::PrintMessage(gui::TMessage& m) {
  CallOriginal(m);
  if (m.Result == 2) return;
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (dc == nullptr || !SkinData) return;
  WindowRectInParent();
  SkinData->Updating = 0;
  SkinData->BGChanged = true;
  if (!Skinned) SetSkinColors();
  PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
  // A disabled single-line edit paints itself from the cache as it is, its frame greyed with the rest: no frame
  // laid over it again.
  if (!CreatedByDispatcher && !DisabledSingleLineEdit()) PaintScrollWindowFrame(SkinData, dc, this);
  const int saved = SaveDC(dc);
  RECT client{};
  GetClientRect(Handle, &client);
  if (m.LParam & PRF_CLIENT) {
    IntersectClipRect(dc, BorderLeft, BorderTop, BorderLeft + client.right, BorderTop + client.bottom);
  } else if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty()) {
    BitmapDC cacheDC(*SkinData->CacheBmp);
    if (cacheDC.dc() != nullptr) CopyBorderStrips(dc, 0, 0, BorderLeft, WndSize.cx, WndSize.cy, cacheDC.dc(), 0, 0);
    PaintNonClientScrollBars(this, Handle, -1, dc);
  }
  if (HorzBar && VertBar) {
    // The client area: its background from the cache, then the control's own painting.
    IntersectClipRect(dc, BorderLeft, BorderTop, BorderLeft + client.right, BorderTop + client.bottom);
    if (SkinData->CacheBmp && !SkinData->CacheBmp->Empty())
      BitmapToDC(dc, BorderLeft, BorderTop, client.right, client.bottom, *SkinData->CacheBmp, BorderLeft, BorderTop);
    POINT origin{};
    OffsetViewportOrgEx(dc, BorderLeft, BorderTop, &origin);
    const bool emptyList = SendMessageA(Handle, LB_GETCOUNT, 0, 0) == 0 && IsListBox();
    if (!emptyList) SendMessageA(Handle, WM_PAINT, WPARAM(dc), 0);
    SendMessageA(Handle, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT | PRF_OWNED);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  }
  RestoreDC(dc, saved);
}

TacEditWnd::~TacEditWnd() {
  if (colourBrush_ != nullptr) ledger::DeleteObject(colourBrush_);
}

bool TacEditWnd::AnswerColourRequest(gui::TMessage& m) {
  if (SkinData == nullptr || SkinData->OwnerControl != nullptr || SkinManager == nullptr) return false;
  if (!SkinManagerIsValidSectionIndex(SkinManager->Skin(), SkinData->SkinIndex)) return false;
  if (!Skinned) SetSkinColors();
  const SkinSectionRecord& section = SkinManager->Skin().Sections[size_t(SkinData->SkinIndex)];
  const TColor back = ColorToRGB(BgColor);
  const TColor text = CreatedByDispatcher ? ColorToRGB(clWindowText) : section.NormalState.FontColor;
  if (colourBrush_ == nullptr || colourBrushColour_ != back) {
    if (colourBrush_ != nullptr) ledger::DeleteObject(colourBrush_);
    colourBrush_ = ledger::CreateSolidBrush(COLORREF(back));
    colourBrushColour_ = back;
  }
  const HDC dc = reinterpret_cast<HDC>(m.WParam);
  SetBkColor(dc, COLORREF(back));
  SetTextColor(dc, COLORREF(ColorToRGB(text)));
  m.Result = reinterpret_cast<LRESULT>(colourBrush_);
  return true;
}

bool TacEditWnd::IsListBox() const {
  char cls[32] = {};
  GetClassNameA(Handle, cls, sizeof cls);
  return lstrcmpiA(cls, "ListBox") == 0;
}

bool TacEditWnd::EditCommand(gui::TMessage& m) {
  if (!AcceptSkinCommand(m)) return false;
  const bool own = m.LParam == reinterpret_cast<LPARAM>(SkinManager);
  switch (SkinCommandCode(m.WParam)) {
    case AC_SKINREFRESH:
      if (!own) return false;
      BaseWndProc(m);
      if (!Destroyed) SetSkinColors();
      return true;
    case AC_FLUSHREPAINT:
      // Painting held back meanwhile is done now, unless a container still holds it.
      if (SkinData->Updating && !CommonDataIsUpdating(*SkinData, true))
        RedrawWindow(Handle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return false;
    case AC_ISSKINNED:
      m.Result = 1;
      return true;
    case AC_UPDATECACHE:
      WindowRectInParent();
      PaintSubclassedBackground(SkinData, Handle, CreatedByDispatcher);
      PaintScrollWindowFrame(SkinData, nullptr, this);
      return true;
    case AC_GETSKININDEX:
      if (m.LParam != 0) *reinterpret_cast<int32_t*>(m.LParam) = SkinData->SkinIndex;
      return true;
    case AC_SCROLLBEGIN:
      if (!(GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)) return false;
      SendMessageA(Handle, WM_SETREDRAW, 0, 0);
      return true;
    case AC_SCROLLEND:
      if (!(GetWindowLongA(Handle, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR)) return false;
      SendMessageA(Handle, WM_SETREDRAW, 1, 0);
      InvalidateRect(Handle, nullptr, TRUE);
      return true;
    case AC_GETAPPLICATION:
      m.Result = reinterpret_cast<LRESULT>(gui::Application);
      return true;
    // The scrollable family's own: the skin's coming and going, the hover, the background and colour it gives its
    // children, its section, adapter and skin data.
    case AC_SKINLOADED:
    case AC_SKINREMOVED:
    case AC_SETREPAINTPENDING:
    case AC_GETADAPTER:
    case AC_SETSECTION:
    case AC_ISCACHEUSABLE:
    case AC_GETCOLOR:
    case AC_MOUSEENTER:
    case AC_MOUSELEAVE:
    case AC_GETBACKGROUND:
    case AC_GETSKINDATA:
      return false;
    default:
      // The rest is the skin data's: an update lock asked by a child, the paint target of a print, a repaint, a
      // stale background, the control's rectangle, ...
      return CommonDataMessage(m, SkinData);
  }
}

void TacEditWnd::WndProc(gui::TMessage& m) {
  if (m.Msg == WM_SKINCOMMAND && SkinCommandCode(m.WParam) == AC_ISSKINNED) {
    m.Result = 1;
    return;
  }
  if (Destroyed || !IsSkinned()) {
    BaseWndProc(m);
    return;
  }
  const bool visible = IsWindowVisible(Handle) != FALSE;
  switch (m.Msg) {
    case WM_CONTEXTMENU:
      // The edit's own menu (the control has none of its own) shows skinned.
      if (SkinsEditMenu(this)) {
        ShowSkinnedEditMenu(this, m.LParam);
        m.Result = 0;
        return;
      }
      break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      if (EditMenuOwnerDraw(m.Msg, m.WParam, m.LParam, m.Result)) return;
      break;
    case WM_NCPAINT:
      if (visible && !Updating) {
        // The frame change of an attach whose maker repaints the window whole afterwards (Wine paints the frame
        // even when the change asks for no redraw): the frame is painted then.
        if (!AttachPaintDeferred(Handle)) PaintNcArea();
        m.Result = 0;
        return;
      }
      break;
    case WM_PAINT:
      if (visible && !Updating) {
        PaintMessage(m);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (visible && !Updating) {
        RECT clip{};
        if (m.WParam != 0 && GetClipBox(reinterpret_cast<HDC>(m.WParam), &clip) == NULLREGION) {
          m.Result = 1;
          return;
        }
        if (CommonDataIsUpdating(*SkinData, false)) {
          m.Result = 1;
          return;
        }
        if (!Skinned) SetSkinColors();
        if (DisabledSingleLineEdit() || (SkinChangeInProgress(SkinManager) && SkinData->PrintDC == nullptr)) {
          m.Result = 1;
          return;
        }
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (auto* w = OwnerWinControl();
          w != nullptr && HotLookAllowed(SkinData, false) && w->CanFocus() && w->TabStop()) {
        SkinData->BGChanged = true;
        SkinData->Focused = m.Msg == WM_SETFOCUS ? 1 : 0;
        BaseWndProc(m);
        if (Destroyed) return;
        SetSkinColors();
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        return;
      }
      break;
    case WM_SETTEXT:
    case gui::CM_ENABLEDCHANGED:
    case gui::CM_FONTCHANGED:
      SkinData->BGChanged = true;
      if (!(SkinData->CtrlState & csSettingFont) && !SkinData->Updating)
        RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      break;
    case WM_SETREDRAW:
      if (m.WParam == 1 && ChildrenChanged) {
        NotifyParentChildChanged(SkinData->OwnerControl);
        ChildrenChanged = 0;
      }
      break;
    case WM_PRINT:
      PrintMessage(m);
      return;
    case WM_PRINTCLIENT:
      // A disabled single-line edit shows its text from the cache, greyed there: printed as it paints itself, not
      // as the control would draw its text.
      if (m.WParam != 0 && DisabledSingleLineEdit()) {
        PaintMessage(m);
        return;
      }
      break;
    case WM_SKINCOMMAND:
      if (EditCommand(m)) return;
      break;
    case gui::CN_CTLCOLORLISTBOX:
    case gui::CN_CTLCOLOREDIT:
      if (AnswerColourRequest(m)) return;
      break;
    default:
      break;
  }
  BaseWndProc(m);
  if (Destroyed || !HorzBar) return;
  switch (m.Msg) {
    case WM_SIZE:
      if (IsWindowVisible(Handle)) SendMessageA(Handle, WM_NCPAINT, 0, 0);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SETFONT:
    case EM_REPLACESEL:
    case WM_LBUTTONDOWN:
    case gui::CN_KEYDOWN:
    case gui::CN_KEYUP:
      if (!ScrollBusy()) RefreshScrollBars(this, true);
      break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_SETCURSEL:
    case LB_SETTOPINDEX:
      RefreshScrollBars(this, true);
      break;
    case LB_GETTOPINDEX:
      if (m.Result == 0 && SendMessageA(Handle, LB_GETCOUNT, 0, 0) == 0) m.Result = -1;
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE && SkinManager != nullptr && SkinOptionFlag(SkinManager->Options, 4))
        ChildrenChanged = 1;
      break;
    case gui::CM_CONTROLLISTCHANGE:
      ChildrenChanged = 1;
      break;
    case WM_MOUSEMOVE:
      if (SkinManager != nullptr && !SkinOptionFlag(SkinManager->Options, 4) && IsWindowEnabled(Handle)) NoteHotControl();
      if (GetCapture() == Handle && !CommonDataIsUpdating(*SkinData, false)) RefreshScrollBars(this, true);
      break;
    default:
      break;
  }
}

}  // namespace skin

// ---- Small helpers.

namespace skin {

namespace {

bool SystemFontMetrics(int kind, LOGFONTW& font) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = 500;  // without the padded border width: the size every system version knows
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return false;
  switch (kind) {
    case 1: font = ncm.lfCaptionFont; break;
    case 2: font = ncm.lfSmCaptionFont; break;
    case 3: font = ncm.lfMenuFont; break;
    case 4: font = ncm.lfStatusFont; break;
    default: font = ncm.lfMessageFont; break;
  }
  return true;
}

void FontFromLogFont(const LOGFONTW& lf, gui::TFont& font) {
  char name[LF_FACESIZE * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, lf.lfFaceName, -1, name, sizeof name, nullptr, nullptr);
  font.SetName(name);
  font.SetHeight(lf.lfHeight);
  gui::TFontStyles style = 0;
  if (lf.lfWeight >= FW_BOLD) style |= gui::fsBold;
  if (lf.lfItalic) style |= gui::fsItalic;
  if (lf.lfUnderline) style |= gui::fsUnderline;
  if (lf.lfStrikeOut) style |= gui::fsStrikeOut;
  font.SetStyle(style);
  font.SetCharset(lf.lfCharSet);
}

}  // namespace

HFONT CreateSystemFont(int Kind) {
  LOGFONTW lf{};
  if (!SystemFontMetrics(Kind, lf)) return nullptr;
  return ledger::CreateFontIndirect(&lf);
}

void SelectSystemFont(gui::TCanvas& Canvas, int Kind) {
  LOGFONTW lf{};
  if (SystemFontMetrics(Kind, lf)) FontFromLogFont(lf, Canvas.Font());
}

void SelectAdapterFont(TacMainWnd* Adapter, gui::TFont& Font) {
  if (Adapter != nullptr && Adapter->SkinData != nullptr && Adapter->SkinData->OwnerControl != nullptr) {
    Font.Assign(Adapter->SkinData->OwnerControl->Font());
    return;
  }
  if (Adapter != nullptr && SelectWindowFont(Adapter->Handle, Font)) return;
  LOGFONTW lf{};
  if (SystemFontMetrics(0, lf)) FontFromLogFont(lf, Font);
}

bool SelectWindowFont(HWND Wnd, gui::TFont& Font) {
  LOGFONTW lf{};
  const HFONT own = Wnd != nullptr ? reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0)) : nullptr;
  if (own == nullptr || GetObjectW(own, sizeof lf, &lf) != int(sizeof lf)) return false;
  FontFromLogFont(lf, Font);
  return true;
}

void SetIntPropIfExists(gui::TObject* Obj, std::string_view Name, int64_t Value) {
  if (Obj != nullptr && HasPublishedProperty(Obj, Name)) SetPublishedProperty(Obj, Name, Value);
}

int64_t GetIntPropIfExists(gui::TObject* Obj, std::string_view Name) {
  return Obj != nullptr && HasPublishedProperty(Obj, Name) ? GetPublishedOrdProperty(Obj, Name) : 0;
}

TColor GetColorPropIfExists(gui::TObject* Obj, std::string_view Name) {
  return ColorToRGB(TColor(GetIntPropIfExists(Obj, Name)));
}

void PrepareWindowCache(TsCommonData& Data, int32_t Width, int32_t Height) {
  CommonDataPrepareCache(Data);
  if (Data.CacheBmp->Width() != Width || Data.CacheBmp->Height() != Height)
    Data.CacheBmp->SetSize(std::max(Width, 0), std::max(Height, 0));
}

void NotifyTopWindowChildAdded(HWND Handle) {
  HWND top = Handle;
  while (top != nullptr && GetParent(top) != nullptr) top = GetParent(top);
  if (top != nullptr) SendLibraryCommand(top, AC_CHILDADDED, 0);
}

void RecreateEditAdapter(TsCommonData* SkinData, TacEditWnd*& Adapter) {
  TsSkinManager* m = SkinData != nullptr ? SkinDataManager(*SkinData) : nullptr;
  const bool skinned = SkinData != nullptr && m != nullptr && CommonDataIsSkinned(*SkinData, true);
  if (!skinned) {
    FreeAdapter(Adapter);
    return;
  }
  if (Adapter != nullptr && !Adapter->Destroyed) return;
  FreeAdapter(Adapter);
  auto* control = dynamic_cast<gui::TWinControl*>(SkinData->OwnerControl);
  if (control == nullptr || !control->HandleAllocated()) return;
  TacSkinParams params;
  params.Control = control;
  Adapter = NewAdapter<TacEditWnd>(control->WindowHandle(), SkinData, m, params, true);
}

}  // namespace skin
