#pragma once
// What the per-control skin data does (scommondata.h holds the record): section resolution by control kind, the
// transparency decision, colours taken from the skin, the update lock and repaints, the answers a control gives
// its children about its background, colour effects on its cached image, outer effects, and the handling of the
// library command message and of the window messages that concern the skin.
//
// Every operation takes the record first and asks its owner about the owner through TsSkinDataOwner: the
// control, adapter or provider that holds the data, whether it is windowed, focused, loading, what its parent
// answers, and it sets the owner's colours through it. Data whose Owner is not set is answered by the standard
// owner, which reads OwnerControl, OwnerObject and WndHandle (a form skin provider is recognised by its kind,
// its form being the provider's owner). The native build has no windows: a windowed control stands for its
// window there, as in the control utilities.
//
// Operations tolerate a missing manager, an invalid SkinIndex and a missing owner control: they then do
// nothing, answer what an unskinned control would, or -1 indexes. Requests to an owner that is loading, reading
// or being destroyed are skipped.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/controls.h"
#include "gui/forms.h"
#include "skin/data/scommondata.h"
#include "skin/manager/skincommands.h"
#include "skin/painters/acanimation.h"
#include "skin/painters/acglow.h"
#include "skin/pixels/background_info.h"

namespace skin {

inline TPoint TopLeftOf(const TRect& R) { return TPoint{R.Left, R.Top}; }

// ---- Control kinds.

// Sets of kinds that steer the behaviour (the number a creator gives the data, 0..255).
bool KindWithoutHover(int32_t Kind);    // MouseAbove is never set
bool KindEditLike(int32_t Kind);        // the active look only when focused, never on mouse-over
bool KindContainer(int32_t Kind);       // no glow; transparent: no background of its own
bool KindSkinColoured(int32_t Kind);    // Color and Font.Color come from the section
bool KindFramed(int32_t Kind);          // a frame change on AC_SKINREFRESH
// Containers and the skinned buttons (92, 93, 94) show no glow.
bool KindWithoutGlow(int32_t Kind);
// The global hot-look switch of the window adapters: on, a window shows its hot look under the pointer whatever
// its kind; off (the default), the kinds without a hover state show none there either.
uint8_t& HotLookOnEveryKind();
// The section a kind takes when its SkinSection is empty; "" for kinds without one (the owner's class name is
// taken then). Kind 34 takes "SLIDER_OFF" when the manager's skin has it, else "PANEL_LOW".
std::string DefaultSectionOfKind(int32_t Kind, const TsSkinManager* Manager);

// ---- The owner.

// What the skin data asks of its owner. Every answer has the standard owner's meaning for a control; an owner
// that is not a control (a provider, a window adapter, a test's stand-in) overrides what it knows.
class TsSkinDataOwner {
 public:
  virtual ~TsSkinDataOwner() = default;
  // The owner as a control (nullptr when it is not one).
  virtual gui::TControl* Control() { return nullptr; }
  // A form skin provider, and its form.
  virtual bool IsProvider() { return false; }
  virtual gui::TCustomForm* ProviderForm() { return nullptr; }
  // The provider's form has extended borders; its border mode byte.
  virtual bool ProviderExtendedBorders() { return false; }
  virtual uint8_t ProviderBorderMode() { return 0; }
  // The class name (the section of kinds without a default one).
  virtual std::string ClassName() { return {}; }
  // A windowed owner; whether its window exists (natively a windowed control stands for its window), and the
  // window itself (nullptr natively).
  virtual bool Windowed() { return false; }
  virtual bool HasWindow() { return false; }
  virtual HWND Handle() { return nullptr; }
  virtual bool Destroying() { return false; }
  // Being loaded or read from a definition.
  virtual bool Loading() { return false; }
  virtual bool Designing() { return false; }
  virtual bool Enabled() { return true; }
  virtual bool Visible() { return true; }
  // Its window is the focus window; it can take the focus; it is a tab stop.
  virtual bool HasFocus() { return false; }
  virtual bool CanFocus() { return false; }
  virtual bool TabStop() { return false; }
  // An edit control, a panel, a container whose children may take its background (frame, panel, scrolling or
  // page control).
  virtual bool IsEdit() { return false; }
  virtual bool IsPanel() { return false; }
  // The owner's bounds in its parent and its client rectangle.
  virtual TRect Bounds() { return {}; }
  virtual TRect ClientRect() { return {}; }
  // Its parent, and whether the parent has its window.
  virtual bool HasParent() { return false; }
  virtual bool ParentHasWindow() { return false; }
  // A library command to the parent (SendMessage to its window, or Perform); 0 without parent.
  virtual LRESULT SendToParent(uint16_t Code, LPARAM LParam, uint16_t Low = 0) { return 0; }
  // The parent's background colour (RGB): its answer to AC_GETCOLOR, else its own colour; clBtnFace without one.
  virtual TColor ParentColor() { return ColorToRGB(clBtnFace); }
  // A library command performed on the owner itself.
  virtual LRESULT Perform(uint16_t Code, LPARAM LParam, uint16_t Low = 0) { return 0; }
  // Whether it can paint now (a control: ControlCanPaint).
  virtual bool CanPaint() { return false; }
  // RedrawWindow of its window with these flags (a graphic control invalidates its area instead).
  virtual void Redraw(uint32_t Flags) {}
  // InvalidateRect of its window, and WM_NCPAINT to it.
  virtual void InvalidateWindow() {}
  virtual void PaintFrame() {}
  // SetWindowPos with these flags (no move, no size: a frame change).
  virtual void FrameChanged(uint32_t Flags) {}
  // Its colours (the form's for a provider).
  virtual TColor Color() { return clBtnFace; }
  virtual void SetColor(TColor) {}
  virtual TColor FontColor() { return clWindowText; }
  virtual void SetFontColor(TColor) {}
};

// The owner of a skin data: Data.Owner, or the standard owner built from the record.
class TsStandardOwner : public TsSkinDataOwner {
 public:
  explicit TsStandardOwner(TsCommonData& Data) : data_(Data) {}
  gui::TControl* Control() override { return data_.OwnerControl; }
  bool IsProvider() override;
  gui::TCustomForm* ProviderForm() override;
  bool ProviderExtendedBorders() override;
  std::string ClassName() override;
  bool Windowed() override;
  bool HasWindow() override;
  HWND Handle() override;
  bool Destroying() override;
  bool Loading() override;
  bool Designing() override;
  bool Enabled() override;
  bool Visible() override;
  bool HasFocus() override;
  bool CanFocus() override;
  bool TabStop() override;
  bool IsEdit() override;
  bool IsPanel() override;
  TRect Bounds() override;
  TRect ClientRect() override;
  bool HasParent() override;
  bool ParentHasWindow() override;
  LRESULT SendToParent(uint16_t Code, LPARAM LParam, uint16_t Low = 0) override;
  TColor ParentColor() override;
  LRESULT Perform(uint16_t Code, LPARAM LParam, uint16_t Low = 0) override;
  bool CanPaint() override;
  void Redraw(uint32_t Flags) override;
  void InvalidateWindow() override;
  void PaintFrame() override;
  void FrameChanged(uint32_t Flags) override;
  TColor Color() override;
  void SetColor(TColor c) override;
  TColor FontColor() override;
  void SetFontColor(TColor c) override;

 private:
  gui::TWinControl* windowed() const;
  gui::TComponent* component() const;
  TsCommonData& data_;
};

// The owner to ask: Data.Owner when set, else a standard owner of the record.
class OwnerOf {
 public:
  explicit OwnerOf(TsCommonData& Data) : standard_(Data), owner_(Data.Owner ? *Data.Owner : standard_) {}
  TsSkinDataOwner* operator->() { return &owner_; }
  TsSkinDataOwner& operator*() { return owner_; }

 private:
  TsStandardOwner standard_;
  TsSkinDataOwner& owner_;
};

// ---- Construction and properties (Part of the record's life: the setters act on the owner).

// The record's start values for an owner (OwnerControl set when it is a control), with an empty 32-bit cache
// bitmap when asked.
void CommonDataInit(TsCommonData& Data, gui::TObject* AOwner, bool CreateCacheBmp);
// An explicit manager (the default one is stored as nullptr); the indexes follow it and a live owner control is
// refreshed (AC_SKINREFRESH) or unskinned (AC_SKINREMOVED).
void CommonDataSetSkinManager(TsCommonData& Data, TsSkinManager* Manager);
// A new section name (stored upper case; the same name again does nothing): indexes re-resolved, a live owner's
// children told their background changed, the owner refreshed or unskinned, the glow hidden.
void CommonDataSetSkinSection(TsCommonData& Data, std::string_view Section);
void CommonDataSetCustomColor(TsCommonData& Data, bool Value);
void CommonDataSetCustomFont(TsCommonData& Data, bool Value);
// Colour adjustments of the cached image: stored, then CommonDataLoaded and a repaint.
void CommonDataSetColorTone(TsCommonData& Data, TColor Value);
void CommonDataSetHUEOffset(TsCommonData& Data, int32_t Value);
void CommonDataSetSaturation(TsCommonData& Data, int32_t Value);
// Scroll-bar sizes: the owner recomputes its frame (width) or repaints its frame (buttons).
void ScrollDataSetScrollWidth(TacScrollData& Data, int32_t Value);
void ScrollDataSetButtonsSize(TacScrollData& Data, int32_t Value);
// The outer effect's visibility: the parent repaints where the effect falls.
void OuterEffectsSetVisibility(TacOuterEffects& Effects, TacOuterVisibility Value);

// ---- Operations.

// A manager that is not being destroyed, a valid SkinIndex, an owner not being destroyed; with CheckApplied also
// the skin applied.
bool CommonDataIsSkinned(TsCommonData& Data, bool CheckApplied = false);
// Repainting allowed; the default section set; a skinned owner control with a parent, not loading: its form told
// that children were added (windowed owners), colours taken from the skin.
void CommonDataLoaded(TsCommonData& Data);
// The section of the kind table when SkinSection is empty, else the indexes of SkinSection.
void CommonDataSetDefaultSection(TsCommonData& Data);
// The first name of the list whose section exists becomes SkinIndex (SkinSection unchanged).
void CommonDataSetSectionFromList(TsCommonData& Data, const std::vector<std::string>& Names);
// SkinIndex (with ResolveSection), FillFlags, the border and texture indexes, the transparency.
void CommonDataUpdateIndexes(TsCommonData& Data, bool ResolveSection);
// The update lock: nests; the first sends AC_BEGINUPDATE to the owner (a provider's form), the last
// AC_ENDUPDATE and repaints when asked.
void CommonDataBeginUpdate(TsCommonData& Data);
void CommonDataEndUpdate(TsCommonData& Data, bool Repaint);
// Whether Name (any case; null for none) is the section the data is skinned with: AC_SECTIONCHANGED's question.
bool CommonDataIsOwnSection(const TsCommonData& Data, const char* Name);
// Painting suspended: the repaint-pending flag, or a parent that says it is locked.
bool CommonDataUpdateLocked(TsCommonData& Data);
// With ClearFirst the pending flag is cleared first; True (and the flag set) while locked.
bool CommonDataIsUpdating(TsCommonData& Data, bool ClearFirst);
// The window of the owner: its control's window, else WndHandle.
HWND CommonDataHandle(TsCommonData& Data);
// Colours from the skin for skin-coloured kinds (not for sections fully transparent in both states).
void CommonDataUpdateColors(TsCommonData& Data, bool Repaint);
// 0 opaque, 1 transparent, 2 undecided (the parent has no window yet).
int32_t CommonDataCalcTransparency(TsCommonData& Data);
void CommonDataUpdateTransparency(TsCommonData& Data, bool RefreshChildren);
// The owner paints a background of its own (opaque, with an outer effect, or in its active look).
bool CommonDataCheckBgFlags(TsCommonData& Data);
// Outer effects apply: a provider or a windowed owner while the manager allows them.
bool CommonDataOuterEffectsOn(TsCommonData& Data);
// The owner shows its hot look: focused, or the mouse over it where its kind and the options allow.
bool CommonDataIsFocusedLook(TsCommonData& Data);
// Whether the owner's background depends on its parent's cached image; the parent told to refresh that image.
bool CommonDataUseParentCache(TsCommonData& Data);
void CommonDataRefreshParentCache(TsCommonData& Data);
// Both states of the section fully transparent (such owners take no colours).
bool CommonDataFullyTransparent(TsCommonData& Data);

// ---- Backgrounds, colour effects and outer effects.

// The owner's background colour (RGB) for a state (0 normal, 1 hot). Wnd: the window whose parent is asked when
// the owner has no parent control.
TColor CommonDataGetBgColor(TsCommonData& Data, int32_t State, HWND Wnd = nullptr);
// The section whose font colour a control takes from its parents (Default when none gives one).
int32_t ParentSkinSectionIndex(gui::TControl* Control, int32_t State, TsSkinManager* Manager, int32_t Default,
                               bool NoParent = false);
// The answer to AC_GETBACKGROUND for a child: colour, cached image with offset, or not ready.
void CommonDataGetBackground(TsCommonData& Data, BackgroundInfo& Info, int32_t State, HWND Wnd = nullptr);
inline void CommonDataPaintParentBg(TsCommonData& Data, BackgroundInfo& Info, int32_t State, HWND Wnd = nullptr) {
  CommonDataGetBackground(Data, Info, State, Wnd);
}
// What lies under the owner, as the painters take it (never Ready here).
void CommonDataGetParentOffset(TsCommonData& Data, CacheInfo& Info);
// The same for a window: its parent window's answer; a window without parent gets the empty record.
void ParentBgInfoOfWindow(HWND Wnd, CacheInfo& Info);
// The cache bitmap made (32-bit) when missing and sized to the owner control.
void CommonDataPrepareCache(TsCommonData& Data, bool NotMonochrome = true);
// ColorTone, HUEOffset and Saturation applied to a bitmap (key pixels kept), then the parent's colour painted
// into the key-colour corners of the border (state `State`).
void CommonDataApplyColorTone(Bitmap& Bmp, TsCommonData& Data, uint32_t Flags, int32_t State);
// The outer effect of the owner drawn into its parent's image (Info.Bmp at Info.Offset); Flags 0x100: through a
// copy of the part under the effect.
void CommonDataPaintOuterEffect(TsCommonData& Data, BackgroundInfo& Info, uint32_t Flags);
// When outer effects are allowed and the data is skinned, every visible child of Parent that can paint is asked to
// draw its outer effect into Bmp (the parent's image, the children's client origin at Offset in it).
void CommonDataPaintChildOuterEffects(TsCommonData& Data, gui::TWinControl* Parent, Bitmap& Bmp, const TPoint& Offset);

// ---- Messages.

// The record AC_SETSECTION carries (LParam = its address): the section name in its second field.
struct TacSectionRecord {
  intptr_t Reserved = 0;
  const char* SectionName = nullptr;
};
// AC_SECTIONCHANGED carries the address of a NUL-terminated section name.

// Whether the cursor lies in the owner's client area (widened by visible skinned scroll bars).
bool CommonDataMouseInside(TsCommonData& Data);
// The library command message: True when handled (Msg.Result holds the answer). True for nil Data and for any
// other message.
bool CommonDataMessage(gui::TMessage& Msg, TsCommonData* Data);
// What a skinned control does first in its window procedure: the library command message's answer; False for
// every other message, after the skin's own part of it.
bool CommonDataWndProc(gui::TMessage& Msg, TsCommonData* Data);

// ---- Colour helpers shared with the tests.

// AC_GETCOLOR's mix of a partly transparent section: per channel ((parent - section) x t + section x 256) div 256.
TColor MixWithTransparency(TColor Section, TColor Parent, int32_t Transparency);

#ifdef _WIN32
// The cached image copied into a device context around the visible children of a control (windowed and graphic),
// optionally with the border corners repainted first.
void PaintChildrenToBitmap(gui::TWinControl* Control, TsCommonData& Data, const TRect& SrcRect, int32_t DstY,
                           int32_t DstX, bool RepaintCorners, HDC DC, const TRect& R);
// The same around the visible child windows of a window; a group box keeps only its frame excluded.
void PaintChildWindowsToDC(HWND Wnd, TsCommonData& Data, const TRect& SrcRect, int32_t DstY, int32_t DstX,
                           bool RepaintCorners, HDC DC, const TRect& R);
#endif
// A window's style makes it a group box: its button type (style & BS_TYPEMASK) is BS_GROUPBOX.
bool IsGroupBoxStyle(uint32_t Style);

}  // namespace skin
