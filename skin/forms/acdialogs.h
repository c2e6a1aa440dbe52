#pragma once
// Windows that no skinned form owns: system dialogs (message boxes, the common dialogs), popup menus and forms of
// the program that were given no skin provider. The skin manager's window-creation hook of the GUI thread hands
// each of them to this unit as it is created or activated:
// - a form of the program gets an automatic skin provider (TsSkinProvider::CreateForForm);
// - a top-level "#32770" dialog gets a TacHookProvider that owns a TacDialogWnd (the dialog's skinned frame,
//   caption, caption buttons and system menu) and one window adapter per child window;
// - a popup-menu window ("#32768") goes to the popup-menu adapter through MenuWindowAdapterFactory().
//
// Adapter classes that live in other units plug in through two registration points that this unit only reads:
// MenuWindowAdapterFactory() for popup-menu windows and DialogChildAdapterFactories() for child classes
// (list views, tab controls, tree views, ...) whose adapters this unit does not make itself.
//
// Lifetime: a provider is taken out of ProviderList and handed to the adapters' deferred list once its dialog is
// gone, never freed inside a handler of its own windows. Switching the skin off frees every provider; a dialog
// still open then gets back its system menu, its full window and its own frame.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "skin/adapters/acmainwnd.h"
#include "skin/manager/sanimations.h"
#include "skin/manager/skinchange.h"
#include "skin/forms/border_form.h"
#include "skin/forms/sskinprovider.h"
#include "skin/forms/system_menu.h"

namespace skin {

// Fills the manager's window-creation hook and the popup-menu adapters' clean-up (TacManagerServices). Called by
// every skin provider's construction; callable any time (idempotent; nothing natively, where no window exists).
void InstallDialogHookServices();

}  // namespace skin

#ifdef _WIN32
namespace skin {

// ---- Settings.
// From this number of visible skinned dialogs on, a new dialog is skinned only when it holds a tool bar.
inline constexpr int MaxSkinnedDialogs = 2;
// Where a newly skinned dialog is moved to (both -1: left where it is).
struct DialogStartPosition {
  int32_t X = -1;
  int32_t Y = -1;
};
DialogStartPosition& DialogStartPos();
// Window classes of the program that are never skinned.
const std::vector<std::string>& ExcludedFormClasses();

// ---- Registration points of adapters built elsewhere.
// Makes the popup-menu window adapter for a "#32768" window (Manager: the default manager; section "MAINMENU");
// nullptr leaves the window to the system. The made adapter belongs to whoever made it (by default the popup-menu
// adapters' own list, freed with FreeMenuWindowAdapters()).
using MenuAdapterFactory = std::function<TacMainWnd*(HWND MenuWindow, TsSkinManager* Manager)>;
MenuAdapterFactory& MenuWindowAdapterFactory();
// Makes the adapter of a dialog's child window of a class (lower case) that this unit does not adapt itself, with
// the skin section given (may be empty). The factory returns nullptr to leave the window alone.
using ChildAdapterFactory =
    std::function<TacMainWnd*(HWND Child, TsSkinManager* Manager, const std::string& Section)>;
std::map<std::string, ChildAdapterFactory>& DialogChildAdapterFactories();

class TacDialogWnd;

// The provider of a hooked window: an automatic form provider for a form of the program, or the dialog adapter
// and the child adapters of a foreign dialog.
class TacHookProvider : public TacProvider, public DeferredFree {
 public:
  TacHookProvider() = default;
  ~TacHookProvider() override;
  HWND AdapterWindow() const override { return WindowHandle; }

  bool InitForWindow(HWND Window);
  void InitForForm(gui::TCustomForm* Form);

  HWND WindowHandle = nullptr;
  TsSkinProvider* FormProvider = nullptr;  // owned by its form
  gui::TCustomForm* Form = nullptr;
  TacDialogWnd* DialogAdapter = nullptr;
  std::vector<TacMainWnd*> ChildAdapters;
  std::weak_ptr<const int> FormProviderAlive;
};

// 0 while no child window of a dialog is being adapted; the depth of nested SkinChildWindow calls otherwise.
int ChildSkinningDepth();

// ---- The hook and its decisions.
LRESULT CBTHookProc(int Code, WPARAM WParam, LPARAM LParam);
bool AddSupportedWindow(HWND Window, const CREATESTRUCTA* CreateStruct);
void CreateDialogAdapter(HWND Window, TacDialogWnd*& Adapter);
bool SkinChildWindows(TacHookProvider& Provider, HWND Parent);
bool SkinChildWindow(TacHookProvider& Provider, HWND Child);
// Providers whose dialog is gone are taken out of the list (their slots set to nullptr) and freed through the
// deferred list.
void RemoveDestroyedProviders();
TacHookProvider* FindProviderForWindow(HWND Window);
gui::TCustomForm* FindVclFormForWindow(HWND Window);
int CountVisibleDialogProviders();
bool HasDescendantOfClass(HWND Window, const std::string& LowerCaseClassName);

// ---- The dialog's system menu.
class TacSystemMenu : public TsCustomSysMenu {
 public:
  explicit TacSystemMenu(TacDialogWnd& Dialog);
  GUI_CLASS_NAME("TacSystemMenu")

  bool CloseVisible() const override;
  bool MaximizeVisible() const override;
  bool MinimizeVisible() const override;
  bool MaximizeEnabled() const override;
  bool MinimizeEnabled() const override;
  bool RestoreEnabled() const override;
  // Every item's Visible and Enabled from the dialog's saved styles and state.
  void UpdateItems();

  TacDialogWnd* Dialog;
};

// ---- The dialog frame adapter.
// A caption button of the dialog: its state, image, place (frame picture coordinates), hit code and glow fade.
using DialogTitleButton = TitleButtonRecord;

class TacDialogWnd : public TacMainWnd {
 public:
  TacDialogWnd() = default;
  ~TacDialogWnd() override;

  void Initialize() override;
  void WndProc(gui::TMessage& Message) override;
  // After the children were adapted: styles saved, frame kind, icon, caption font, WS_SYSMENU taken away.
  void Finish();

  // ---- Predicates on the saved styles.
  bool CloseVisible() const;
  bool CloseEnabled() const;
  bool MaximizeVisible() const;
  bool MinimizeVisible() const;
  bool HelpVisible() const;
  bool MaximizeEnabled() const;
  bool MinimizeEnabled() const;
  bool RestoreEnabled() const;
  bool Zoomed() const;
  bool Iconic() const;

  // ---- Geometry (frame picture coordinates: the window's own, or with a border window the border window's).
  // The frame width and caption height the skin draws: the window's own, or with a border window the skin's.
  int32_t BorderWidth() const;
  int32_t CaptionHeight() const;
  // The window's own frame width and caption height (0 without a caption).
  int32_t SystemBorderWidth() const;
  int32_t SystemCaptionHeight() const;
  // The skin's extended-border margins with a border window, else none.
  TRect ShadowSize() const;
  // The frame picture's size: the window's, or with a border window the skin's frame and margins around the
  // window's client area.
  TSize FrameSize() const;
  int32_t ClientOffsetX() const;
  int32_t ClientOffsetY() const;
  TRect IconRect() const;
  int32_t TitleButtonWidth(const DialogTitleButton& Button) const;
  int32_t TitleButtonHeight(const DialogTitleButton& Button) const;
  void InitTitleButtons();
  DialogTitleButton* ButtonOfCode(int32_t Code);

  // ---- Painting.
  void PaintAll();
  void PaintNC(HDC DC = nullptr);
  void EraseBackground(HDC DC);
  void BuildRegionData();
  void UpdateRegion(bool Redraw);
  void SendToChildren(gui::TMessage& Message);
  // Each child window of Window (its children after it) printed into DC at its place in Window's client area.
  void PrintChildWindows(HWND Window, HDC DC);
  // The border window made (skins with extended borders) or freed; refreshed from the frame picture.
  void SetExtendedBorders(bool On);
  // The caption buttons' glow fades stopped and freed.
  void StopTitleGlows();
  void UpdateBorderForm(bool Repaint, uint8_t Alpha = 255);

  // ---- Mouse.
  int32_t HitTest(gui::TMessage& Message);
  // The hit code of the caption button at a point of the frame picture (HTCAPTION for a disabled one, 0 none).
  int32_t TitleButtonAt(const TPoint& P);
  void SetHotTitleButton(int32_t Code, bool Repaint);
  void PressTitleButton(int32_t Code);
  void RepaintTitleButton(int32_t Code);
  void NCLButtonDown(gui::TMessage& Message);
  void NCLButtonUp(gui::TMessage& Message);
  void ShowSystemMenu(int X, int Y);
  // The user's move of the dialog by its caption (the message handed to the system's move loop) with the dialog
  // fading to the skin's blend value meanwhile; opaque again afterwards.
  void StartBlendOnMoving(gui::TMessage& Message);

  // ---- Fields.
  std::vector<TRect> RegionRects;
  int32_t HotElement = 0;
  uint8_t Active = 1;
  uint8_t SuppressClientPaint = 0;
  int32_t CaptionIndex = -1;
  uint8_t ChildrenSkinned = 0;
  DialogTitleButton MinButton, MaxButton, CloseButton, HelpButton;
  TRect LastClientRect;
  gui::TFont TitleFont;  // the system caption font
  uint32_t SavedStyle = 0;
  uint32_t SavedExStyle = 0;
  uint8_t NeedRegion = 1;
  int32_t MoveFlags = 0;  // 0x80 while the dialog moves translucently
  uint8_t BorderStyle = 1;  // 0 modal frame, 1 not finished, 2 popup without caption, 3 other frame
  std::unique_ptr<Bitmap> TitleCopy;
  std::unique_ptr<TacSystemMenu> SystemMenu;
  TacHookProvider* Provider = nullptr;
  std::unique_ptr<TacBorderForm> BorderForm;
  int32_t TitleSection = -1;
  std::string TitleSectionName;
  bool Finished = false;

 protected:
  // Gives the window back what the skin took (its system menu, its whole window, its own frame), then detaches.
  void ReleaseSteps() override;

 private:
  HBRUSH DialogBrush();
  void CopyFrameToDC(HDC DC);
  void PaintCaption(Bitmap& Cache);
  void PaintTitleButtons(Bitmap& Cache);
  bool DrawTitleButton(Bitmap& Cache, DialogTitleButton& Button);
  void HandleSkinCommand(gui::TMessage& Message);
  void HandleSize(gui::TMessage& Message);
  void Default(gui::TMessage& Message) { TacMainWnd::WndProc(Message); }

  void PaintShadow(Bitmap& Cache);

  std::unique_ptr<TacBorderOwner> borderOwner_;
  std::unique_ptr<TacAnimatedDialog> animated_;
  HBRUSH brush_ = nullptr;
  TColor brushColor_ = clNone;
  bool settingRegion_ = false;
  uint8_t repaintPending_ = 0;
};

// Whether the window is a dialog that the hook skinned (its adapter, or nullptr).
TacDialogWnd* DialogAdapterOf(HWND Window);

}  // namespace skin
#endif
