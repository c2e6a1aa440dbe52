// The control adapter of a skinned form and the speed-button handler.
#include "skin/adapters/acctrladapter.h"

#include <algorithm>
#include <string>

#include "gui/buttons.h"
#include "gui/forms.h"
#include "gui/frames.h"
#include "gui/stdctrls.h"
#include "skin/adapters/acbuttons.h"
#include "skin/pixels/pixel_helpers.h"
#include "skin/adapters/acgrids.h"
#include "skin/adapters/accombo.h"
#include "skin/adapters/acstatics.h"
#include "skin/adapters/aclistview.h"
#include "skin/adapters/acsbwnd.h"
#include "skin/adapters/actabs.h"
#include "skin/adapters/actoolbar.h"
#include "skin/adapters/button_glyph.h"
#include "skin/manager/commondata.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/svclutils.h"
#include "skin/painters/dc_copy.h"
#include "skin/painters/parent_background.h"
#include "skin/painters/section_paint.h"
#include "skin/painters/skinned_text.h"

namespace skin {

namespace {

constexpr intptr_t kLeaveAlone = 0x100;

bool LeftAlone(gui::TControl* c) { return (c->Tag() & kLeaveAlone) != 0; }

// AC_ISSKINNED of a control: through Perform for a graphic control; a windowed one only with a live handle.
LRESULT AskIsSkinned(gui::TControl* c) {
  if (auto* w = dynamic_cast<gui::TWinControl*>(c)) {
    if (!w->HandleAllocated() || w->IsDestroying()) return 0;
    return SendMessageA(w->WindowHandle(), WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0);
  }
  return c->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0);
}

}  // namespace

uint8_t& AdapterClearing() {
  static uint8_t clearing = 0;
  return clearing;
}

TacMainWnd* NewAdapterOfCategory(int Category, HWND Wnd, TsSkinManager* Manager, const TacSkinParams& Params) {
  switch (AdapterKindOfCategory(Category)) {
    case AdapterKind::Edit: return NewAdapter<TacEditWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::Button: return NewAdapter<TacBtnWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::BitBtn: return NewAdapter<TacBitBtnWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::CheckBox: return NewAdapter<TacCheckBoxWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::ComboBox: return NewAdapter<TacComboBoxWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::GroupBox: return NewAdapter<TacGroupBoxWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::Panel: return NewAdapter<TacPanelWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::ToolBar:
      // The component layer's tool bar is painted through its custom-draw events; any other through its messages.
      if (dynamic_cast<gui::TToolBar*>(Params.Control) != nullptr)
        return NewAdapter<TacToolBarVCLWnd>(Wnd, nullptr, Manager, Params, true);
      return NewAdapter<TacToolBarWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::StatusBar: return NewAdapter<TacStatusBarWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::UpDown: return NewAdapter<TacSpinWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::StaticText: return NewAdapter<TacStaticTextWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::ListView: return NewAdapter<TacListViewWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::Grid: return NewAdapter<TacGridWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::GridEh: return NewAdapter<TacGridEhWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::TreeView: return NewAdapter<TacTreeViewWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::VirtualTree: return NewAdapter<TacVirtualTreeViewWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::PageControl: return NewAdapter<TacPageControlWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::TabControl: return NewAdapter<TacTabControlWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::ScrollBox: return NewAdapter<TacScrollBoxWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::ScrollBar: return NewAdapter<TacSBWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::NativePaint: return NewAdapter<TacNativePaint>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::WWComboBox: return NewAdapter<TacWWComboBoxWnd>(Wnd, nullptr, Manager, Params, true);
    case AdapterKind::TrackBar: {
      // Painted from the track bar's own section, as in the system's dialogs, unless the events chose another.
      TacSkinParams p = Params;
      if (p.SkinSection.empty()) p.SkinSection = "TRACKBAR";
      return NewAdapter<TacTrackWnd>(Wnd, nullptr, Manager, p, true);
    }
    case AdapterKind::None: return nullptr;
  }
  return nullptr;
}

// ---- TacSpeedButtonHandler.

struct TacSpeedButtonHandler::Link {
  TacSpeedButtonHandler* Handler = nullptr;
  gui::TWndMethod Saved;
};

namespace {

// What stands in a hooked speed button's WindowProc: the handler while it holds the button, else what it replaced.
struct SpeedButtonMethod {
  std::shared_ptr<TacSpeedButtonHandler::Link> Link;
  void operator()(gui::TMessage& m) const;
};

}  // namespace

TacSpeedButtonHandler::TacSpeedButtonHandler(gui::TSpeedButton* AButton, TsCommonData* Data)
    : Button(AButton), SkinData(Data) {
  if (SkinData->SkinSection.empty()) SkinData->SkinSection = "SPEEDBUTTON";
  SkinData->OwnerControl = Button;
  SkinData->OwnerObject = Button;
  SkinData->ControlKind = ckSpeedButton;
  CommonDataUpdateIndexes(*SkinData, true);
  link_ = std::make_shared<Link>();
  link_->Handler = this;
  link_->Saved = Button->WindowProc;
  Button->WindowProc = SpeedButtonMethod{link_};
  Hooked = true;
  if (Button->Visible()) Button->Invalidate();
}

TacSpeedButtonHandler::~TacSpeedButtonHandler() {
  if (!Destroyed && Hooked) Unhook();
  if (link_) link_->Handler = nullptr;
}

void SpeedButtonMethod::operator()(gui::TMessage& m) const {
  const std::shared_ptr<TacSpeedButtonHandler::Link> keep = Link;
  if (keep->Handler != nullptr) {
    try {
      keep->Handler->WndProc(m);
      return;
    } catch (...) {
      // The button's own procedure answers instead.
    }
  }
  if (keep->Saved) keep->Saved(m);
}

void TacSpeedButtonHandler::Unhook() {
  // The saved procedure goes back only while ours is on top; under a later one ours stays, passing everything on.
  if (Hooked && Button != nullptr && link_) {
    const SpeedButtonMethod* top = Button->WindowProc.target<SpeedButtonMethod>();
    if (top != nullptr && top->Link == link_) Button->WindowProc = link_->Saved;
  }
  Hooked = false;
  if (link_) link_->Handler = nullptr;
}

int32_t TacSpeedButtonHandler::CurrentState() const {
  // A disabled button keeps showing whether it is down (greyed over, when painted), but never lights up.
  if (Button->Down() || Button->State() == gui::TButtonState::bsDown ||
      Button->State() == gui::TButtonState::bsExclusive)
    return 2;
  return SkinData->MouseAbove && Button->Enabled() ? 1 : 0;
}

void TacSpeedButtonHandler::PaintCache() {
  TsSkinManager* m = SkinData->SkinManager();
  const int32_t w = Button->Width(), h = Button->Height();
  if (m == nullptr || w <= 0 || h <= 0) return;
  CommonDataPrepareCache(*SkinData);
  Bitmap& cache = *SkinData->CacheBmp;
  BackgroundInfo info;
  info.R = TRect{0, 0, w, h};
  CacheInfo ci = EmptyCacheInfo;
  if (Button->Parent() != nullptr) {
    QueryControlBackground(info, Button->Parent(), false);
    BackgroundToCacheInfo(info, ci);
    ci.X += Button->Left();
    ci.Y += Button->Top();
  }
  const int32_t state = CurrentState();
  PaintSkinItem(SkinData->SkinIndex, ci, state, TRect{0, 0, w, h}, TPoint{}, cache, m);
  // Glyph and caption laid out by the button's layout and spacing.
  gui::TBitmap& glyph = Button->Glyph();
  const int32_t cells = std::max(Button->NumGlyphs() & 127, 1);
  const TSize gs = glyph.Empty() ? TSize{0, 0} : TSize{glyph.Width() / cells, glyph.Height()};
  const std::string text = Button->Caption();
  const TSize ts = text.empty() ? TSize{0, 0} : GetTextSize(text, Button->Font(), w, false);
  TPoint glyphPos;
  TRect textBounds;
  CalcButtonLayout(TRect{0, 0, w, h}, TPoint{gs.cx, gs.cy}, TPoint{ts.cx, ts.cy}, int32_t(Button->Layout()), 2, -1,
                   Button->Spacing(), 0, glyphPos, textBounds);
  // A pressed button moves its glyph; the caption keeps its place.
  if (state == 2 && m->ButtonsOptions.ShiftContentOnClick) glyphPos = TPoint{glyphPos.X + 1, glyphPos.Y + 1};
  if (!glyph.Empty()) {
    GlyphPaintData d;
    d.Target = &cache;
    d.Glyph = &glyph;
    d.SkinIndex = SkinData->SkinIndex;
    d.Manager = m;
    d.R = TRect{glyphPos.X, glyphPos.Y, glyphPos.X + gs.cx, glyphPos.Y + gs.cy};
    d.NumGlyphs = cells;
    d.Enabled = Button->Enabled();
    d.Down = Button->Down();
    d.Grayed = m->Effects.DiscoloredGlyphs;
    d.State = state;
    DrawButtonGlyph(d);
  }
  // A disabled button's caption goes over its faded picture, faded once (in its disabled colour).
  if (!Button->Enabled()) PaintDisabledLook(cache, dkBlended, info.Color, TPoint{}, ci);
  if (!text.empty())
    WriteSkinText(cache, Button->Font(), text, Button->Enabled(), state != 0 ? 1 : 0, *SkinData,
                  DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK, textBounds);
  SkinData->BGChanged = false;
}

void TacSpeedButtonHandler::WndProc(gui::TMessage& m) {
  const std::shared_ptr<Link> link = link_;
  auto passOn = [&] {
    if (link->Saved) link->Saved(m);
  };
  switch (m.Msg) {
    case WM_DESTROY:
      if (!Destroyed) {
        Destroyed = true;
        Unhook();
        Button = nullptr;
      }
      passOn();
      return;
    case WM_PAINT: {
      if (m.WParam == 0) return;
      // A skin without the button's section leaves it its own look.
      if (TsSkinManager* own = SkinData->SkinManager();
          own == nullptr || !SkinManagerIsValidSectionIndex(*own, SkinData->SkinIndex)) {
        passOn();
        return;
      }
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      const int saved = SaveDC(dc);
      PaintCache();
      if (SkinData->CacheBmp)
        BitmapToDC(dc, 0, 0, Button->Width(), Button->Height(), *SkinData->CacheBmp, 0, 0);
      RestoreDC(dc, saved);
      m.Result = 0;
      return;
    }
    case gui::CM_MOUSEENTER:
    case gui::CM_MOUSELEAVE:
      SkinData->MouseAbove = m.Msg == gui::CM_MOUSEENTER ? 1 : 0;
      SkinData->BGChanged = true;
      passOn();
      if (Button != nullptr) Button->Invalidate();
      return;
    case WM_SKINCOMMAND: {
      const uint16_t code = SkinCommandCode(m.WParam);
      TsSkinManager* own = SkinData->SkinManager();
      const bool fromOwn = m.LParam == reinterpret_cast<LPARAM>(own);
      switch (code) {
        case AC_ISSKINNED:
          m.Result = 1;
          return;
        case AC_REPAINT:
          SkinData->Updating = 0;
          SkinData->BGChanged = true;
          Button->Invalidate();
          return;
        case AC_GETAPPLICATION:
          m.Result = reinterpret_cast<LRESULT>(gui::Application);
          return;
        case AC_FLUSHREPAINT:
          SkinData->Updating = 0;
          return;
        case AC_SKINLOADED:
        case AC_SKINREFRESH:
          if (fromOwn) {
            CommonDataMessage(m, SkinData);
            CommonDataUpdateIndexes(*SkinData, true);
            if (Button->Visible()) Button->Invalidate();
            return;
          }
          break;
        case AC_SKINREMOVED:
          if (fromOwn && !Button->IsDestroying()) {
            CommonDataMessage(m, SkinData);
            gui::TSpeedButton* b = Button;
            Unhook();
            Destroyed = true;
            if (b->Visible()) b->Invalidate();
            return;
          }
          break;
        default:
          break;
      }
      passOn();
      return;
    }
    default:
      passOn();
  }
}

// ---- Items.

TacAdapterItem::~TacAdapterItem() {
  if (WndAdapter != nullptr) FreeAdapter(WndAdapter);
}

TacGraphItem::TacGraphItem(TacCtrlAdapter* Owner, gui::TSpeedButton* AControl) : Adapter(Owner), Control(AControl) {
  SkinData.FSkinManager = Owner != nullptr && Owner->Provider != nullptr ? Owner->Provider->HostManager() : nullptr;
  SkinData.RepaintBlocked = 0;
}

TacGraphItem::~TacGraphItem() { Handler.reset(); }

void TacGraphItem::DoHook() {
  Handler.reset();
  if (Control == nullptr || Control->Parent() == nullptr) return;
  Handler = std::make_unique<TacSpeedButtonHandler>(Control, &SkinData);
}

// ---- TacCtrlAdapter.

TacCtrlAdapter::TacCtrlAdapter(CtrlAdapterHost* AProvider) : Provider(AProvider) {
  AdapterClearing() = 0;
  Busy = 0;
}

TacCtrlAdapter::~TacCtrlAdapter() {
  RemoveUnused();
  Clear();
}

bool TacCtrlAdapter::AskItemEvents(gui::TControl* Control) {
  bool can = true;
  TacSkinParams p;
  if (Provider != nullptr && Provider->OnSkinItem) Provider->OnSkinItem(Control, can, p.SkinSection);
  if (Provider != nullptr && Provider->OnSkinItemEx) Provider->OnSkinItemEx(Control, can, &p);
  return can && p.UseSkinFont;
}

bool TacCtrlAdapter::CanSkin(gui::TControl* Control) {
  if (Control == nullptr || LeftAlone(Control)) return false;
  auto* win = dynamic_cast<gui::TWinControl*>(Control);
  if (win != nullptr && !win->HandleAllocated()) return false;
  if (win != nullptr && (AskIsSkinned(Control) & 0xFF) != 0) return false;
  TsSkinManager* m = Provider != nullptr ? Provider->HostManager() : nullptr;
  const int category = m != nullptr ? ThirdPartyCategoryOf(m->ThirdPartyLists, Control->ClassName()) : -1;
  if (win == nullptr) {
    if (dynamic_cast<gui::TCustomLabel*>(Control) != nullptr) return AskItemEvents(Control);
    if (dynamic_cast<gui::TSpeedButton*>(Control) != nullptr) return category >= 0 && AskItemEvents(Control);
    return false;
  }
  if (dynamic_cast<gui::TCustomFrame*>(Control) != nullptr || dynamic_cast<gui::TCustomForm*>(Control) != nullptr)
    return AskItemEvents(Control);
  return category >= 0;
}

TacAdapterItem* TacCtrlAdapter::ItemOf(gui::TControl* Control) {
  for (auto& item : Items)
    if (item && item->Control == Control) return item.get();
  return nullptr;
}

TacGraphItem* TacCtrlAdapter::GraphItemOf(gui::TControl* Control) {
  for (auto& item : GraphItems)
    if (item && item->Control == Control) return item.get();
  return nullptr;
}

void TacCtrlAdapter::AttachWnd(TacAdapterItem& Item, gui::TWinControl* Control, const TacSkinParams& Params) {
  TacSkinParams p = Params;
  p.Control = Control;
  if (LeftAlone(Control) || !Control->HandleAllocated() || AskIsSkinned(Control) != 0) return;
  Item.Control = Control;
  TsSkinManager* m = Provider != nullptr ? Provider->HostManager() : nullptr;
  if (m == nullptr) return;
  const int category = ThirdPartyCategoryOf(m->ThirdPartyLists, Control->ClassName());
  if (category >= 0) Item.WndAdapter = NewAdapterOfCategory(category, Control->WindowHandle(), m, p);
}

void TacCtrlAdapter::AddItem(gui::TControl* Control, const std::string& SkinSection) {
  if (Control == nullptr || LeftAlone(Control) || Control->Parent() == nullptr || (AskIsSkinned(Control) & 0xFF) != 0)
    return;
  bool can = true;
  TacSkinParams p;
  p.SkinSection = SkinSection;
  if (Provider != nullptr && Provider->OnSkinItem) {
    Provider->OnSkinItem(Control, can, p.SkinSection);
    if (!can) return;
  }
  if (Provider != nullptr && Provider->OnSkinItemEx) {
    Provider->OnSkinItemEx(Control, can, &p);
    if (!can) return;
  }
  if (dynamic_cast<gui::TCustomFrame*>(Control) != nullptr) return;
  if (auto* form = dynamic_cast<gui::TCustomForm*>(Control)) {
    if (Provider != nullptr) Provider->SkinChildForm(form, p.SkinSection.empty() ? "FORM" : p.SkinSection);
    return;
  }
  auto* win = dynamic_cast<gui::TWinControl*>(Control);
  if (win == nullptr) return;
  if (TacAdapterItem* item = ItemOf(Control)) {
    if (item->WndAdapter != nullptr && item->WndAdapter->Destroyed) {
      FreeAdapter(item->WndAdapter);
      if (Control->Parent() != nullptr) AttachWnd(*item, win, p);
    }
    return;
  }
  auto item = std::make_unique<TacAdapterItem>(this, win);
  if (Control->Parent() != nullptr) {
    const AttachPaintDeferral deferral(NewItemsRepainted ? win->WindowHandle() : nullptr);
    AttachWnd(*item, win, p);
  }
  if (item->WndAdapter != nullptr) Items.push_back(std::move(item));
}

void TacCtrlAdapter::AddGraphicItem(gui::TSpeedButton* Control) {
  if (Control == nullptr || LeftAlone(Control) || Control->Parent() == nullptr || AskIsSkinned(Control) == 1) return;
  bool can = true;
  TacSkinParams p;
  p.SkinSection = "SPEEDBUTTON";
  if (Provider != nullptr && Provider->OnSkinItem) {
    Provider->OnSkinItem(Control, can, p.SkinSection);
    if (!can) return;
  }
  if (Provider != nullptr && Provider->OnSkinItemEx) {
    Provider->OnSkinItemEx(Control, can, &p);
    if (!can) return;
  }
  TacGraphItem* item = GraphItemOf(Control);
  const bool found = item != nullptr;
  if (!found) {
    GraphItems.push_back(std::make_unique<TacGraphItem>(this, Control));
    item = GraphItems.back().get();
  }
  // The section follows the button's look, whatever the events said.
  item->SkinData.SkinSection = Control->Flat() ? "SPEEDBUTTON_SMALL" : "SPEEDBUTTON";
  CommonDataUpdateIndexes(item->SkinData, true);
  if (found) {
    if (item->Handler && item->Handler->Destroyed) item->DoHook();
    return;
  }
  if (Control->Parent() != nullptr) item->DoHook();
  if (!item->Handler) GraphItems.pop_back();
}

void TacCtrlAdapter::Consider(gui::TControl* Control, bool ChildPass) {
  if (Control == nullptr) return;
  if (CanSkin(Control)) {
    if (dynamic_cast<gui::TWinControl*>(Control) != nullptr) {
      AddItem(Control, std::string());
    } else if (auto* label = dynamic_cast<gui::TCustomLabel*>(Control)) {
      if (Provider != nullptr && std::string(label->ClassName()).rfind("Ts", 0) != 0) Provider->SetLabelColor(label);
    } else if (auto* sb = dynamic_cast<gui::TSpeedButton*>(Control); sb != nullptr && ChildPass) {
      AddGraphicItem(sb);
    }
  }
  auto* win = dynamic_cast<gui::TWinControl*>(Control);
  if (win != nullptr && win->HandleAllocated() && win->Parent() != nullptr) Scan(win);
}

void TacCtrlAdapter::Scan(gui::TWinControl* Container) {
  // The components the container owns, then its child controls (a control both owned and parented is visited
  // twice; the second visit finds its item).
  std::vector<gui::TControl*> owned;
  for (int i = 0; i < Container->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<gui::TControl*>(Container->Components(i))) owned.push_back(c);
  for (gui::TControl* c : owned) Consider(c, false);
  std::vector<gui::TControl*> children;
  for (int i = 0; i < Container->ControlCount(); ++i) children.push_back(Container->Controls(i));
  for (gui::TControl* c : children) Consider(c, true);
}

void TacCtrlAdapter::AddAllItems(gui::TWinControl* Container) {
  if (Busy) return;
  TsSkinManager* m = Provider != nullptr ? Provider->HostManager() : nullptr;
  if (m == nullptr || !(m->SkinningRules & srThirdParty)) return;
  gui::TWinControl* c = Container != nullptr ? Container : (Provider != nullptr ? Provider->HostForm() : nullptr);
  if (c == nullptr) return;
  // Busy for the whole scan, nested containers included: an event that asks for a scan meanwhile is refused.
  Busy = 1;
  try {
    RemoveUnused();
    Scan(c);
  } catch (...) {
    Busy = 0;
    throw;
  }
  Busy = 0;
}

void TacCtrlAdapter::RemoveUnused() {
  Items.erase(std::remove_if(Items.begin(), Items.end(), [](const std::unique_ptr<TacAdapterItem>& i) {
                return !i || i->Dead();
              }),
              Items.end());
  GraphItems.erase(std::remove_if(GraphItems.begin(), GraphItems.end(),
                                  [](const std::unique_ptr<TacGraphItem>& i) { return !i || i->Dead(); }),
                   GraphItems.end());
}

void TacCtrlAdapter::Clear() {
  if (AdapterClearing()) return;
  AdapterClearing() = 1;
  while (!Items.empty()) Items.pop_back();
  const bool terminating = gui::Application != nullptr && gui::Application->Terminated();
  while (!GraphItems.empty()) {
    if (terminating && GraphItems.back()) {
      GraphItems.back()->Control = nullptr;
      if (GraphItems.back()->Handler) {
        GraphItems.back()->Handler->Button = nullptr;
        GraphItems.back()->Handler->Hooked = false;
      }
    }
    GraphItems.pop_back();
  }
  AdapterClearing() = 0;
}

void TacCtrlAdapter::Broadcast(gui::TMessage& Message) {
  std::vector<HWND> targets;
  for (auto& item : Items)
    if (item && !item->Dead() && item->Control != nullptr && item->Control->Parent() != nullptr &&
        item->Control->HandleAllocated())
      targets.push_back(item->Control->WindowHandle());
  for (HWND h : targets)
    if (IsWindow(h) && FirstDelivery(h, Message)) SendMessageA(h, Message.Msg, Message.WParam, Message.LParam);
}

}  // namespace skin
