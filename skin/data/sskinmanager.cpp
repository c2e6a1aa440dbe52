#include "skin/data/sskinmanager.h"

#include <algorithm>


namespace skin {

namespace {

TsSkinManager* defaultManager = nullptr;

struct StandardShadows {
  std::shared_ptr<const Bitmap> active;
  std::shared_ptr<const Bitmap> inactive;
};
StandardShadows& standardShadows() {
  static StandardShadows shadows;
  return shadows;
}

std::shared_ptr<Bitmap> copyOf(const Bitmap& b) {
  auto c = std::make_shared<Bitmap>();
  c->Assign(b);
  return c;
}

// A new 32-bit bitmap of rectangle r of src (the part outside src stays 0).
std::shared_ptr<Bitmap> copyRect(const Bitmap& src, const TRect& r) {
  auto dst = std::make_shared<Bitmap>(std::max(RectWidth(r), 0), std::max(RectHeight(r), 0), pf32bit);
  if (src.PixelFormat() != pf32bit || dst->Empty()) return dst;
  const TRect c = ClipRectToSize(r, src.Width(), src.Height());
  for (int32_t y = c.Top; y < c.Bottom; ++y) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(src.ScanLine(y));
    uint32_t* d = reinterpret_cast<uint32_t*>(dst->ScanLine(y - r.Top));
    std::copy(s + c.Left, s + c.Right, d + (c.Left - r.Left));
  }
  return dst;
}

// Sets a byte flag back to 0 when the scope ends, by an exception too.
class ResetOnExit {
 public:
  explicit ResetOnExit(uint8_t& flag) : flag_(flag) {}
  ~ResetOnExit() { flag_ = 0; }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  uint8_t& flag_;
};

bool endsWithNoCase(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char a = s[s.size() - tail.size() + i], b = tail[i];
    if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

TsSkinManager* DefaultManager() { return defaultManager; }

void SetStandardBorderShadows(std::shared_ptr<const Bitmap> Active, std::shared_ptr<const Bitmap> Inactive) {
  standardShadows() = StandardShadows{std::move(Active), std::move(Inactive)};
}

namespace {

std::shared_ptr<const Bitmap>& shadowBlur() {
  static std::shared_ptr<const Bitmap> blur;
  return blur;
}

}  // namespace

void SetShadowBlurImage(std::shared_ptr<const Bitmap> Blur) { shadowBlur() = std::move(Blur); }

int32_t SkinManagerGenerateShadowMask(LoadedSkin& target, SkinShadowRecord& shadow, int32_t globalSection,
                                      std::string_view keyName, const Bitmap& blur, TsSkinManager* manager) {
  const int32_t w = blur.Width();
  if (w < 2 || blur.Height() < 2) return -1;
  Bitmap source;
  source.Assign(blur);
  source.SetPixelFormat(pf32bit);
  auto image = std::make_shared<Bitmap>(w, 2 * w, pf32bit);
  // The side colours in pixel order: left, top, right, bottom.
  uint32_t sides[4];
  for (size_t i = 0; i < 4; ++i) sides[i] = ColorToPixel(ColorToRGB(shadow.Colors[i]), 255);
  for (int32_t y = 0; y < w; ++y) {
    const uint32_t* b = reinterpret_cast<const uint32_t*>(source.ScanLine(std::min(y, source.Height() - 1)));
    uint32_t* top = reinterpret_cast<uint32_t*>(image->ScanLine(y));
    uint32_t* mask = reinterpret_cast<uint32_t*>(image->ScanLine(w + y));
    for (int32_t x = 0; x < w; ++x) {
      // Each pixel of the image half takes the colour of the nearest side (the top and bottom win a tie); the
      // mask half shows it as strongly as the blur is bright.
      const int32_t left = x, right = w - 1 - x, up = y, down = w - 1 - y;
      const int32_t across = std::min(left, right), vertical = std::min(up, down);
      top[x] = vertical <= across ? sides[up <= down ? 1 : 3] : sides[left <= right ? 0 : 2];
      const uint32_t p = b[x];
      const uint32_t bright = std::max({PixelB(p), PixelG(p), PixelR(p)});
      const uint32_t m = 255 - bright;
      mask[x] = MakePixel(m, m, m, 0);
    }
  }
  const int32_t index = SkinManagerAddImage(target, globalSection, keyName, 1, 1, 1, TRect{0, 0, w, 2 * w}, 0,
                                            "GLOBALINFO", manager);
  SkinImageRecord& r = target.Images[size_t(index)];
  r.Bitmap = std::move(image);
  const int16_t half = int16_t(std::min(w / 2, 32767));
  r.CommonBorderWidth = r.BorderLeft = r.BorderTop = r.BorderRight = r.BorderBottom = half;
  r.TransparentFlag = SkinImageTransparentFlag(target, r);
  for (int32_t& width : shadow.Widths)
    if (width == -1) width = half;
  return index;
}

int32_t TsSkinManager::GenerateShadowMask(LoadedSkin& Target, SkinShadowRecord& Shadow, int32_t GlobalSection,
                                         std::string_view KeyName) {
  const std::shared_ptr<const Bitmap> blur = shadowBlur();
  if (!blur) return -1;
  return SkinManagerGenerateShadowMask(Target, Shadow, GlobalSection, KeyName, *blur, this);
}

TsSkinManager::TsSkinManager(SkinSystem& System) : system_(&System), skin_(std::make_unique<LoadedSkin>()) {
  skin_->Colors = DefaultSkinColors(System);
  ThirdPartyLists.resize(ThirdPartyCategoryCount);
  if (!defaultManager) defaultManager = this;
  InitThirdPartyLists(false);
  if (skinDirectory_.empty()) skinDirectory_ = DefaultSkinDirectory;
}

TsSkinManager::~TsSkinManager() {
  // Nothing is told any more: the handlers' owners may be gone already.
  OnActivate = OnAfterChange = OnBeforeChange = OnDeactivate = OnSkinListChanged = OnSkinLoading = nullptr;
  SetActive(false);
  extendedBorders_ = false;
  SkinManagerFreeImages(*skin_);
  if (defaultManager == this) defaultManager = nullptr;
  // The lists are public: a program may have given fewer than there are categories.
  ThirdPartyLists.resize(ThirdPartyCategoryCount);
  for (int i = 0; i < ThirdPartyCategoryCount; ++i) {
    std::string text;
    for (const std::string& line : ThirdPartyLists[size_t(i)]) text += (text.empty() ? "" : "\r\n") + line;
    ThirdParty[i] = text;
  }
}

// ---- Properties.

bool TsSkinManager::ExtendedBorders() const { return extendedBorders_ && system_->LayeredWindowsAvailable(); }

void TsSkinManager::SetExtendedBorders(bool Value) {
  if (Value == extendedBorders_) return;
  extendedBorders_ = Value;
  if (!SkinData().Active) return;
  {
    ResetOnExit loading(SkinLoading);
    SkinLoading = 1;
    ReloadInPlace();
  }
  if (!(State() & (csLoading | csReading | csDesigning))) RepaintForms(true);
}

void TsSkinManager::SetIsDefault(bool Value) {
  if (!Value && defaultManager) return;
  defaultManager = this;
  if (active_) {
    ApplySkin(true);
  } else {
    RemoveSkin();
  }
}

void TsSkinManager::SetActive(bool Value) {
  if (Value == active_) return;
  active_ = Value;
  if (Value) {
    SetSkinName(skinName_);
    return;
  }
  if (skinName_.empty()) return;
  if (!(State() & csLoading)) RemoveSkin();
  CacheCommonIndexes(*skin_);
  if (!Designing()) Fire(OnDeactivate);
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& Lines) {
  commonSections_.clear();
  for (const std::string& line : Lines) {
    if (line.empty() || line[0] == ';') {
      commonSections_.push_back(line);
    } else {
      std::string s;
      for (char c : line)
        if (c != ' ') s += c;
      commonSections_.push_back(std::move(s));
    }
  }
  SetSkinName(skinName_);
}

void TsSkinManager::SetBrightness(int32_t Value) {
  Value = LimitValue(Value, -100, 100);
  if (Value == brightness_) return;
  brightness_ = Value;
  ReloadForAdjustment();
}

void TsSkinManager::SetSaturation(int32_t Value) {
  if (Value == saturation_) return;
  saturation_ = Value;
  ReloadForAdjustment();
}

void TsSkinManager::SetHueOffset(int32_t Value) {
  if (Value == hueOffset_) return;
  hueOffset_ = Value;
  ReloadForAdjustment();
}

void TsSkinManager::SetSkinDirectory(const std::string& Value) {
  if (Value == skinDirectory_) return;
  skinDirectory_ = Value;
  SkinData().SkinPath = IncludeTrailingBackslash(NormalizeSkinDirectory());
  Fire(OnSkinListChanged);
}

void TsSkinManager::SetSkinName(const std::string& Value) {
  const std::string previous = skinName_;
  skinName_ = Value;
  if (!active_) return;
  try {
    ChangeSkin(previous, Value);
  } catch (...) {
    // Whatever was left half done, the flags of the change do not stay set.
    SkinLoading = 0;
    SkinBroadcasting = 0;
    SkinChangeFinished();
    throw;
  }
}

void TsSkinManager::ChangeSkin(const std::string& previous, const std::string& Value) {
  // Whether a skin is in force as the change begins (not when the manager is switched on, nor for its first skin).
  const bool skinInForce = SkinData().Active != 0;
  Fire(OnBeforeChange);
  if (ExtendedBorders() && PreviewLock == 0 && AnimEffects.SkinChanging.Active) SkinChangeBeforeAll();
  SkinLoading = 1;
  SkinData().Active = 0;
  if (skinName_.size() > 4 && endsWithNoCase(skinName_, ".asz")) skinName_.resize(skinName_.size() - 4);
  bool packed;
  if (SkinPreviewMode && DirectoryExists(IncludeTrailingBackslash(NormalizeSkinDirectory()) + Value)) {
    packed = false;
  } else {
    packed = FileExists(PackedSkinFileName());
  }
  const TSkinLoadResult result = packed ? LoadPackedSkin() : LoadSkin();
  // A failed load leaves the previous skin in place: its name comes back with it. With no skin in force before,
  // there is none to keep: applied, the empty tables would hook every dialog and recolour menus and edits over
  // plain windows. The manager switches itself off instead, as it stood before (or as a definition whose skin
  // cannot be loaded leaves it).
  if (result == TSkinLoadResult::Failed) {
    skinName_ = previous;
    if (!skinInForce) active_ = false;
  }
  if (active_) {
    if (PreviewLock != 1) ApplySkin(true);
    if (!(State() & (csDesigning | csLoading))) Fire(OnActivate);
  } else {
    RemoveSkin();
    if (!Designing()) Fire(OnActivate);
  }
  SkinLoading = 0;
  SkinChangeFinished();
  Fire(OnAfterChange);
}

std::string TsSkinManager::SkinInfo() const {
  if (!SkinData().Active) return "N/A";
  return SkinVersionText(SkinData().Version);
}

// ---- Life cycle.

void TsSkinManager::Loaded() {
  ComponentState &= TComponentState(~(csLoading | csReading));
  if (skinDirectory_.empty()) skinDirectory_ = DefaultSkinDirectory;
  if (MenuSupport.IcoLineSkin.empty()) MenuSupport.IcoLineSkin = "ICOLINE";
  InitThirdPartyLists(false);
  if (active_ && !skinName_.empty()) ApplySkin(false);
  if (OnActivate && active_ && !Designing()) Fire(OnActivate);
}

void TsSkinManager::InitThirdPartyLists(bool Reset) {
  ThirdPartyLists.resize(ThirdPartyCategoryCount);
  for (int i = 0; i < ThirdPartyCategoryCount; ++i) {
    if (Reset || ThirdParty[i].empty()) ThirdParty[i] = std::string(ThirdPartyDefaults[size_t(i)]);
    ThirdPartyLists[size_t(i)] = TextToLines(ThirdParty[i]);
  }
}

// ---- Applying and removing.

void TsSkinManager::ApplySkin(bool Animate) {
  if (State() & (csLoading | csReading)) return;
  BeforeApplySkin(Animate);
  SkinData().Active = 0;
  {
    ResetOnExit broadcasting(SkinBroadcasting);
    SkinBroadcasting = 1;
    CacheCommonIndexes(*skin_);
    BroadcastSkinLoaded();
  }
  SkinData().Active = 1;
  AfterApplySkin();
  if (Animate) RepaintForms(false);
}

void TsSkinManager::RemoveSkin() {
  ResetOnExit deactivating(Deactivating);
  Deactivating = 1;
  BeforeRemoveSkin();
  SkinData().Active = 0;
  BroadcastSkinRemoved();
  SkinManagerFreeImages(*skin_);
  skin_->Sections.clear();
  CacheCommonIndexes(*skin_);
}

void TsSkinManager::CacheCommonIndexes(LoadedSkin& Target) const {
  SkinManagerCacheCommonIndexes(Target);
  PrepareExtendedBorderShadows(Target);
}

void TsSkinManager::PrepareExtendedBorderShadows(LoadedSkin& Target) const {
  Target.ActiveShadow.reset();
  Target.InactiveShadow.reset();
  if (!active_ || !ExtendedBorders()) {
    Target.ShadowMargins = TRect{};
    return;
  }
  const int32_t ex = Target.CommonIndexes.ExBorder;
  if (!SkinManagerIsValidImageIndex(Target, ex)) {
    const StandardShadows& standard = standardShadows();
    if (!standard.active || !standard.inactive) return;
    Target.ActiveShadow = copyOf(*standard.active);
    Target.InactiveShadow = copyOf(*standard.inactive);
    Target.ShadowMargins = TRect{9, 9, 9, 9};
    return;
  }
  const TsSkinData& d = Target.SkinData;
  if (d.BorderMode != 0) {
    Target.ShadowMargins = TRect{d.FormOffset, d.FormOffset, d.FormOffset, d.FormOffset};
  } else {
    Target.ShadowMargins = TRect{SkinMaskBorderLeft(Target, ex) - d.FormOffset, SkinMaskBorderTop(Target, ex) - d.FormOffset,
                                 SkinMaskBorderRight(Target, ex) - d.FormOffset,
                                 SkinMaskBorderBottom(Target, ex) - d.FormOffset};
  }
  const SkinImageRecord& image = Target.Images[size_t(ex)];
  const Bitmap* src = SkinImageBitmap(Target, image);
  if (!src) return;
  const int32_t w = ImageStateWidth(image), h = ImageFrameHeight(image);
  const TRect first{image.SourceRect.Left, image.SourceRect.Top, image.SourceRect.Left + w, image.SourceRect.Top + h};
  Target.ActiveShadow = copyRect(*src, first);
  Target.InactiveShadow = image.ImageCount > 1
                              ? copyRect(*src, TRect{first.Left + w, first.Top, first.Right + w, first.Bottom})
                              : copyOf(*Target.ActiveShadow);
}

// ---- Loading.

TSkinLoadResult TsSkinManager::LoadCurrent() {
  return FileExists(PackedSkinFileName()) ? LoadPackedSkin() : LoadSkin();
}

void TsSkinManager::ReloadInPlace() {
  const uint8_t applied = SkinData().Active;
  const TSkinLoadResult result = LoadCurrent();
  if (result == TSkinLoadResult::Deactivated) {
    if (applied) RemoveSkin();  // nothing left to load: the manager switched itself off
    return;
  }
  // The shadows follow ExtendedBorders, whether the new load came in or the skin in force stayed.
  CacheCommonIndexes(*skin_);
  if (result != TSkinLoadResult::Loaded) return;
  // The load leaves its skin unapplied: only a new SkinName goes through the whole application of a skin.
  SkinData().Active = applied;
  if (applied) SkinReloaded();
}

void TsSkinManager::ReloadForAdjustment() {
  if (!active_ || (State() & (csLoading | csReading))) return;
  {
    ResetOnExit loading(SkinLoading);
    SkinLoading = 1;
    ReloadInPlace();
    Fire(OnAfterChange);
  }
  if (!PreviewLock) RepaintForms(true);
}

// ---- Skin names and scroll-bar widths.

std::vector<std::string> SkinManagerGetSkinNames(const TsSkinManager& m) {
  std::vector<std::string> names;
  for (int i = 0; i < m.InternalSkins.Count(); ++i) names.push_back(m.InternalSkins[i].Name);
  const std::string dir = m.NormalizeSkinDirectory();
  if (!dir.empty() && DirectoryExists(dir)) {
    const std::string base = IncludeTrailingBackslash(dir);
    TSearchRec f;
    if (FindFirstEntry(base + "*", faDirectory, f) == 0) {
      do {
        if (f.Name.empty() || f.Name[0] == '.') continue;
        if (f.Attr & faDirectory) {
          if (!FindFileNoCase(base + f.Name + "\\Options.dat").empty())
            names.push_back(f.Name);
        } else if (f.Name.size() > 4 && endsWithNoCase(f.Name, ".asz")) {
          names.push_back(f.Name.substr(0, f.Name.size() - 4));
        }
      } while (FindNextEntry(f) == 0);
      FindCloseEntry(f);
    }
  }
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      char x = a[i], y = b[i];
      if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
      if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
      if (x != y) return uint8_t(x) < uint8_t(y);
    }
    return a.size() < b.size();
  });
  return names;
}

int32_t SkinManagerScrollWidth(const TsSkinManager* m) {
  if (!m || m->ScrollsOptions.ScrollSize < 0) {
    SkinSystem& sys = m ? m->System() : systemSkinSystem();
    return sys.SystemMetric(smCXVSCROLL);
  }
  return m->ScrollsOptions.ScrollSize;
}

int32_t SkinManagerScrollWidthMax(const TsSkinManager* m) {
  SkinSystem& sys = m ? m->System() : systemSkinSystem();
  return std::max(sys.SystemMetric(smCXVSCROLL), SkinManagerScrollWidth(m));
}

}  // namespace skin
