#pragma once
// The skin manager: the component that owns the application's skin. This is its data and loading side: the
// loaded skin's tables, the option objects, the stored skins, the loading and removing of a skin and the events
// of a skin change. What the manager does to windows (broadcasts to forms, hooks, repaints, animations) is done
// by a class above this library that overrides the hooks below; here they do nothing.
//
// A load builds the new skin apart from the current one and puts it in place only once it is complete: a load
// that fails leaves the current skin, its tables and its name as they were and reports the failure once.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/generalutils.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/skin_manager_options.h"

namespace skin {

// A skin's version as the manager shows it ('.' as the decimal separator whatever the locale).
inline std::string SkinVersionText(double Version) { return FloatToStrDot(Version); }

// The application's default skin manager: the first one created (nullptr when none). Everything that has no
// manager of its own uses it.
TsSkinManager* DefaultManager();

// The extended-border shadows used for skins that have no EXBORDER image (made by the program from its own
// images; none until it sets them). They are shared by every manager of the process.
void SetStandardBorderShadows(std::shared_ptr<const Bitmap> Active, std::shared_ptr<const Bitmap> Inactive);
// The program's blur image ("BLUR5": grey, white where a shadow is strongest, fading to black at its edges), from
// which the outer-shadow masks of skins that ask for a generated one are made; none until the program sets it
// (nullptr removes it). Shared by every manager of the process.
void SetShadowBlurImage(std::shared_ptr<const Bitmap> Blur);
// The mask generated for a shadow record from a blur image W wide: a W x 2W image record of section globalSection
// named keyName (the shadow's colours over the blur's mask: MaskType 1, one state, DrawMode 1, ImageKind 0, every
// border W div 2), added to target; the record's absent widths (-1) become W div 2. Its index; -1 for a blur
// image less than 2 pixels wide or high.
int32_t SkinManagerGenerateShadowMask(LoadedSkin& target, SkinShadowRecord& shadow, int32_t globalSection,
                                      std::string_view keyName, const Bitmap& blur, TsSkinManager* manager);

// States of a component (a set).
using TComponentState = uint8_t;
inline constexpr TComponentState csLoading = 1;    // its stored definition is being read
inline constexpr TComponentState csReading = 2;
inline constexpr TComponentState csDesigning = 4;  // it sits in a designer (never in the program)

// How a load ended.
enum class TSkinLoadResult : uint8_t {
  Skipped,      // the manager is not active: nothing was done
  Loaded,       // the new skin is in place
  Failed,       // the load failed and was reported; the previous skin is in place
  Deactivated,  // there was nothing to load: the manager switched itself off
};

inline constexpr std::string_view SkinLibraryVersion = "10.02";
inline constexpr std::string_view DefaultSkinDirectory = "c:\\Skins";
inline constexpr std::string_view PackedSkinExtension = "asz";

class TsSkinManager {
 public:
  using TNotifyEvent = std::function<void(TsSkinManager& Sender)>;

  // A new manager, active, with no skin loaded; the first one becomes the default manager.
  explicit TsSkinManager(SkinSystem& System = systemSkinSystem());
  // Switches the manager off (removing its skin) and gives up the default manager's place. A class that
  // overrides the hooks switches the manager off in its own destructor, while its hooks still exist.
  virtual ~TsSkinManager();
  TsSkinManager(const TsSkinManager&) = delete;
  TsSkinManager& operator=(const TsSkinManager&) = delete;

  // ---- Published properties.
  TacSkinEffects Effects;
  // The stored option; the getter ExtendedBorders() also asks whether the system has layered windows.
  bool ExtendedBordersOption() const { return extendedBorders_; }
  bool ExtendedBorders() const;
  // On a change while a skin is applied the skin is loaded again (for its shadows) and the forms repainted.
  void SetExtendedBorders(bool Value);
  bool SkinnedPopups = true;
  TacAnimEffects AnimEffects;
  TacButtonsSupport ButtonsOptions;
  bool IsDefault() const { return DefaultManager() == this; }
  // False while a default manager exists does nothing; otherwise this manager becomes the default one, and its
  // skin is applied when it is active, else removed.
  void SetIsDefault(bool Value);
  bool Active() const { return active_; }
  // True loads and applies the skin of SkinName; False removes the skin.
  void SetActive(bool Value);
  // INI text whose sections and image files are added to every loaded skin.
  const std::vector<std::string>& CommonSections() const { return commonSections_; }
  // Copies the lines without blanks (lines that begin with ';' keep theirs), then loads the skin again.
  void SetCommonSections(const std::vector<std::string>& Lines);
  int32_t Brightness() const { return brightness_; }
  int32_t Saturation() const { return saturation_; }
  int32_t HueOffset() const { return hueOffset_; }
  // Brightness is kept within -100..100; a change loads the skin again with the new adjustment.
  void SetBrightness(int32_t Value);
  void SetSaturation(int32_t Value);
  void SetHueOffset(int32_t Value);
  TsStoredSkins InternalSkins{this};
  TacLabelsSupport LabelsOptions;
  TacMenuSupport MenuSupport;
  TacOptions Options;
  TacScrollBarsSupport ScrollsOptions;
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& Value);
  const std::string& SkinName() const { return skinName_; }
  // Stores the name and, when the manager is active, loads and applies that skin.
  void SetSkinName(const std::string& Value);
  // "N/A" when no skin is applied, else the skin's version with '.' as the decimal separator.
  std::string SkinInfo() const;
  TacSkinningRules SkinningRules = srStdForms | srStdDialogs | srThirdParty;
  ThirdPartyList ThirdParty;
  std::string_view Version() const { return SkinLibraryVersion; }

  TNotifyEvent OnActivate;
  TNotifyEvent OnAfterChange;
  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnSkinListChanged;
  TNotifyEvent OnSkinLoading;

  // ---- State.
  TComponentState ComponentState = 0;
  // The state the manager acts on: ComponentState, with whatever a class above adds (the state of the component
  // that carries the manager).
  virtual TComponentState State() const { return ComponentState; }
  uint8_t PreviewLock = 0;       // 1: setting SkinName loads the skin without applying it
  uint8_t Packed = 0;            // the current skin came from a packed container
  uint8_t Deactivating = 0;      // 1 while the skin is being removed
  uint8_t SkinLoading = 0;       // 1 while a skin is being loaded; painters skip their work meanwhile
  uint8_t SkinBroadcasting = 0;  // 1 while the forms are told that a skin was applied
  uint8_t SkinPreviewMode = 0;   // the skin comes from an outside skin editor
  // The options text received from an outside skin editor; used instead of a skin's "Options.dat" when set.
  std::optional<std::vector<std::string>> ReceivedOptions;
  // The class lists of ThirdParty, one list per category.
  std::vector<std::vector<std::string>> ThirdPartyLists;

  // The loaded skin's tables (sections, images, colours, general data, cached indexes).
  LoadedSkin& Skin() { return *skin_; }
  const LoadedSkin& Skin() const { return *skin_; }
  TsSkinData& SkinData() { return skin_->SkinData; }
  const TsSkinData& SkinData() const { return skin_->SkinData; }
  SkinSystem& System() const { return *system_; }
  // The window (a HWND) that owns the manager's message boxes when no window of this thread is active: the
  // program's window that carries the manager (0 here, where there is no window side).
  virtual uintptr_t MessageBoxOwner() const { return 0; }

  // ---- Operations.
  // The stored definition is being read (csLoading): a SkinName read loads the skin; Loaded applies it.
  void BeginLoading() { ComponentState |= csLoading | csReading; }
  virtual void Loaded();
  // For each category, the ThirdParty text (its default when empty, or always with Reset) into ThirdPartyLists.
  void InitThirdPartyLists(bool Reset);
  // The absolute skin directory: "..", ".\", "." and plain relative names are taken from the program's
  // directory; a drive or network path stays as it is. No trailing backslash is added.
  std::string NormalizeSkinDirectory() const;
  // The packed file of the current SkinName in the skin directory.
  std::string PackedSkinFileName() const;

  // Applies the loaded skin: the cached indexes are refreshed and the skin data made active. Nothing while the
  // definition is read.
  virtual void ApplySkin(bool Animate);
  // Removes the skin: images and sections are freed, the cached indexes become -1.
  virtual void RemoveSkin();
  // Repaints every form with the current skin (nothing here).
  virtual void RepaintForms(bool Animate) {}

  // Loads from the skin directory's sub-directory SkinName, from ReceivedOptions, or from the stored skin of
  // that name (the first stored skin when none has it). Only while active.
  TSkinLoadResult LoadSkin();
  // Loads the packed file SkinName.asz of the skin directory. Only while active.
  TSkinLoadResult LoadPackedSkin();
  // The cache of often-used indexes of a skin, its section images and its extended-border shadows.
  void CacheCommonIndexes(LoadedSkin& Target) const;

 protected:
  // Hooks of the window side, called at the points of a skin change where the rest of the program is told.
  // Before a skin change, while the old skin still shows.
  virtual void SkinChangeBeforeAll() {}
  // Before the forms are told that a skin was applied (glows removed, forms locked for the animation).
  virtual void BeforeApplySkin(bool Animate) {}
  // Tell every form that a skin was applied.
  virtual void BroadcastSkinLoaded() {}
  // After the skin was applied (window hooks installed).
  virtual void AfterApplySkin() {}
  // Before the skin is removed (glows and window hooks removed).
  virtual void BeforeRemoveSkin() {}
  // An applied skin was loaded again in place (new colours or shadows; the hooks stay as they are).
  virtual void SkinReloaded() {}
  // At the end of a skin change (SkinName set, whether it loaded, failed, switched the manager off or was left
  // by an exception): whatever the change held for its transition (locked forms, the animation flag) is let go.
  // Must not throw.
  virtual void SkinChangeFinished() noexcept {}
  bool Designing() const { return (State() & csDesigning) != 0; }
  // Tell every form that the skin was removed.
  virtual void BroadcastSkinRemoved() {}
  // The outer-shadow mask of a shadow record whose source asks for the generated blur image: made from the
  // program's blur image (SkinManagerGenerateShadowMask), or -1 when the program has none.
  int32_t GenerateShadowMask(LoadedSkin& Target, SkinShadowRecord& Shadow, int32_t GlobalSection,
                             std::string_view KeyName);

 private:
  friend class SkinLoader;

  // The body of SetSkinName once the manager is active (the setter catches what it throws).
  void ChangeSkin(const std::string& previous, const std::string& Value);
  // Loads the skin again after a change of an adjustment value (Brightness, Saturation, HueOffset).
  void ReloadForAdjustment();
  // Loads packed or unpacked by what the skin directory holds.
  TSkinLoadResult LoadCurrent();
  // Loads the current skin again in place of the one in force: an applied skin stays applied (with the
  // extended-border shadows of the new load); a skin that can no longer be found is removed.
  void ReloadInPlace();
  void PrepareExtendedBorderShadows(LoadedSkin& Target) const;
  // Puts a completely loaded skin in place of the current one.
  void InstallSkin(std::unique_ptr<LoadedSkin> Next, uint8_t NextPacked);
  void ReportLoadFailure(TSkinMessageKind Kind, const std::string& Text);
  void Fire(const TNotifyEvent& Event) {
    if (Event) Event(*this);
  }

  SkinSystem* system_;
  std::unique_ptr<LoadedSkin> skin_;
  bool active_ = true;
  bool extendedBorders_ = false;
  int32_t brightness_ = 0;
  int32_t saturation_ = 0;
  int32_t hueOffset_ = 0;
  std::vector<std::string> commonSections_;
  std::string skinDirectory_;
  std::string skinName_;
};

// The names of the skins the manager can load: every stored skin's name, then, when the (normalised) skin
// directory exists, each of its sub-directories (not starting with '.') that holds an "Options.dat" and each
// ".asz" file (its name without the extension); sorted without regard to case.
std::vector<std::string> SkinManagerGetSkinNames(const TsSkinManager& Manager);
// The width of a skinned scroll bar: the manager's ScrollsOptions.ScrollSize, or the system's vertical scroll
// bar width when there is no manager or ScrollSize is negative.
int32_t SkinManagerScrollWidth(const TsSkinManager* Manager);
// The larger of the system's vertical scroll bar width and SkinManagerScrollWidth.
int32_t SkinManagerScrollWidthMax(const TsSkinManager* Manager);

// The look-ups of loaded_skin.h on a manager's loaded skin.
inline int32_t SkinManagerGetSectionIndex(const TsSkinManager& m, std::string_view name) {
  return SkinManagerGetSectionIndex(m.Skin(), name);
}
inline bool SkinManagerIsValidSectionIndex(const TsSkinManager& m, int32_t index) {
  return SkinManagerIsValidSectionIndex(m.Skin(), index);
}
inline bool SkinManagerIsValidImageIndex(const TsSkinManager& m, int32_t index) {
  return SkinManagerIsValidImageIndex(m.Skin(), index);
}
inline int32_t SkinManagerGetImageIndex(const TsSkinManager& m, int32_t sectionIndex, std::string_view keyName) {
  return SkinManagerGetImageIndex(m.Skin(), sectionIndex, keyName);
}
inline int32_t SkinManagerGetSectionImageIndexEx(const TsSkinManager& m, int32_t sectionIndex,
                                                 std::string_view sectionName, std::string_view keyName) {
  return SkinManagerGetSectionImageIndexEx(m.Skin(), sectionIndex, sectionName, keyName);
}
inline int32_t SkinManagerGetTextureIndex(const TsSkinManager& m, int32_t sectionIndex, std::string_view keyName) {
  return SkinManagerGetTextureIndex(m.Skin(), sectionIndex, keyName);
}
inline int32_t SkinManagerGetTextureIndexEx(const TsSkinManager& m, int32_t sectionIndex,
                                            std::string_view sectionName, std::string_view keyName) {
  return SkinManagerGetTextureIndexEx(m.Skin(), sectionIndex, sectionName, keyName);
}
inline int32_t SkinManagerGetImageIndexByName(const TsSkinManager& m, std::string_view sectionName,
                                              std::string_view keyName) {
  return SkinManagerGetImageIndexByName(m.Skin(), sectionName, keyName);
}
inline TColor SkinManagerGlobalColor(const TsSkinManager& m) { return SkinManagerGlobalColor(m.Skin()); }
inline TColor SkinManagerGlobalFontColor(const TsSkinManager& m) { return SkinManagerGlobalFontColor(m.Skin()); }
inline TColor SkinManagerEditColor(const TsSkinManager& m) { return SkinManagerEditColor(m.Skin()); }
inline TColor SkinManagerEditFontColor(const TsSkinManager& m) { return SkinManagerEditFontColor(m.Skin()); }
inline TColor SkinManagerHighlightColor(const TsSkinManager& m, bool focused) {
  return SkinManagerHighlightColor(m.Skin(), focused);
}
inline TColor SkinManagerHighlightFontColor(const TsSkinManager& m, bool focused) {
  return SkinManagerHighlightFontColor(m.Skin(), focused);
}

}  // namespace skin
