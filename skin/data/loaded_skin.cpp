#include "skin/data/loaded_skin.h"

#include "skin/data/generalutils.h"
#include "skin/data/sectionconsts.h"
#include "skin/pixels/graph_utils.h"
#include "skin/pixels/pixel_helpers.h"

namespace skin {

const std::array<std::array<std::string_view, 12>, 2> StateKeyNames = {{
    {"COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "GCOL", "GSIZE", "GRADIENTPERCENT",
     "GRADIENTDATA", "IMAGEPERCENT", "TRANSPARENCY"},
    {"HOTCOLOR", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "HGCOL", "HGSIZE",
     "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT", "HOTTRANSPARENCY"},
}};


namespace {

template <class Resolve>
SkinColorTable defaultColors(Resolve rgb) {
  SkinColorTable t{};
  const TColor editText = rgb(clWindowText), editBg = rgb(clWindow);
  t[scMainColor] = rgb(clBtnFace);
  t[scMainFontColor] = 0;
  t[scBottomContour] = 0xFF0000;
  t[scTopContour] = 0x0000FF;
  t[scEditText] = editText;
  t[scEditBackground] = editBg;
  t[scSelection] = t[scSelectionFocused] = rgb(clHighlight);
  t[scSelectionText] = t[scSelectionTextFocused] = rgb(clHighlightText);
  t[scEditBgInv] = editText;
  t[scEditTextInv] = editBg;
  t[scEditBgOdd] = editBg;
  t[scEditBgEven] = MixColorsRatio(editText, editBg, 0.05);
  const TColor texts[5] = {0x008000, 0x008484, 0x0000FF, 0x8597D9, 0x4AB28F};
  const TColor backgrounds[5] = {0x6CC2A5, 0x40FFFF, 0x95A7E9, 0x8597D9, 0x4AB28F};
  for (int i = 0; i < 5; ++i) {
    t[size_t(scEditTextOk + i)] = texts[i];
    t[size_t(scEditBgOk + i)] = backgrounds[i];
  }
  t[scEditTextH1] = t[scEditTextH2] = t[scEditTextH3] = 0;
  t[scBorderColor] = 0;
  return t;
}

}  // namespace

SkinColorTable DefaultSkinColors() {
  return defaultColors([](TColor c) { return ColorToRGB(c); });
}

SkinColorTable DefaultSkinColors(SkinSystem& System) {
  return defaultColors([&System](TColor c) { return ColorToRGB(c, System); });
}

namespace {

bool Indexed(const LoadedSkin& skin) {
  return skin.Lookup.Made && skin.Lookup.SectionCount == skin.Sections.size() &&
         skin.Lookup.ImageCount == skin.Images.size();
}

std::string ImageKey(int32_t sectionIndex, std::string_view keyName) {
  std::string k(4, '\0');
  for (int i = 0; i < 4; ++i) k[size_t(i)] = char(uint32_t(sectionIndex) >> (8 * i));
  k.append(keyName);
  return k;
}

}  // namespace

void SkinManagerIndexSkin(LoadedSkin& skin) {
  SkinLookupIndex& x = skin.Lookup;
  x = SkinLookupIndex{};
  x.SectionByName.reserve(skin.Sections.size());
  for (size_t i = 0; i < skin.Sections.size(); ++i) x.SectionByName.emplace(skin.Sections[i].SectionName, int32_t(i));
  x.ImageByKey.reserve(skin.Images.size());
  for (size_t i = 0; i < skin.Images.size(); ++i) {
    const SkinImageRecord& r = skin.Images[i];
    const std::string key = ImageKey(r.SectionIndex, r.KeyName);
    x.ImageByKey.emplace(key, int32_t(i));
    if (r.ImageKind == 1) x.TextureByKey.emplace(key, int32_t(i));
  }
  x.Parent.assign(skin.Sections.size(), -1);
  for (size_t i = 0; i < skin.Sections.size(); ++i)
    if (const std::string& parent = skin.Sections[i].ParentName; !parent.empty())
      if (const auto it = x.SectionByName.find(parent); it != x.SectionByName.end()) x.Parent[i] = it->second;
  x.SectionCount = skin.Sections.size();
  x.ImageCount = skin.Images.size();
  x.Made = true;
}

int32_t SkinManagerGetSectionIndex(const LoadedSkin& skin, std::string_view name) {
  if (name.empty()) return -1;
  if (Indexed(skin)) {
    const auto it = skin.Lookup.SectionByName.find(name);
    if (it == skin.Lookup.SectionByName.end()) return -1;
    if (skin.Sections[size_t(it->second)].SectionName == name) return it->second;
  }
  for (size_t i = 0; i < skin.Sections.size(); ++i) {
    if (skin.Sections[i].SectionName == name) return int32_t(i);
  }
  return -1;
}

bool SkinManagerIsValidSectionIndex(const LoadedSkin& skin, int32_t index) {
  return index >= 0 && size_t(index) < skin.Sections.size();
}

bool SkinManagerIsValidImageIndex(const LoadedSkin& skin, int32_t index) {
  return index >= 0 && size_t(index) < skin.Images.size();
}

namespace {

// The first image record of the section with that key (and kind, when kind >= 0).
int32_t FindImage(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName, int kind) {
  if (Indexed(skin) && (kind < 0 || kind == 1)) {
    const auto& table = kind < 0 ? skin.Lookup.ImageByKey : skin.Lookup.TextureByKey;
    const auto it = table.find(ImageKey(sectionIndex, keyName));
    if (it == table.end()) return -1;
    const SkinImageRecord& r = skin.Images[size_t(it->second)];
    if (r.SectionIndex == sectionIndex && r.KeyName == keyName) return it->second;
  }
  for (size_t i = 0; i < skin.Images.size(); ++i) {
    const SkinImageRecord& r = skin.Images[i];
    if (r.SectionIndex == sectionIndex && r.KeyName == keyName && (kind < 0 || r.ImageKind == kind)) {
      return int32_t(i);
    }
  }
  return -1;
}

// The image a section takes along its chain of parents, with answer holding what is known per section (-2 not
// known; -3 marks the sections of the walk being made). The walk ends at a known answer, at an image, at the end
// of the chain, or where it returns to a section it passed (no image along it); every section passed takes the
// same answer, so each section is climbed through once per key.
int32_t WalkInherited(const LoadedSkin& skin, const std::vector<int32_t>& parents, std::vector<int32_t>& answer,
                      std::vector<int32_t>& path, int32_t section, std::string_view keyName, int kind) {
  path.clear();
  int32_t at = section, found = -1;
  while (at >= 0) {
    const int32_t known = answer[size_t(at)];
    if (known == -3) break;
    if (known != -2) {
      found = known;
      break;
    }
    if (const int32_t image = FindImage(skin, at, keyName, kind); image >= 0) {
      found = image;
      break;
    }
    answer[size_t(at)] = -3;
    path.push_back(at);
    at = parents[size_t(at)];
  }
  for (int32_t p : path) answer[size_t(p)] = found;
  return found;
}

// Climbs the PARENTCLASS chain. Every section is visited at most once, so a chain that loops back ends.
// guardName: with guarded, a parent whose name equals the name passed on is not followed.
int32_t FindInherited(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName, int kind, bool guarded,
                      std::string_view sectionName) {
  // A section that names itself ends its chain either way: guarded or not, an indexed skin answers from what
  // earlier look-ups of the key found.
  if (Indexed(skin) && SkinManagerIsValidSectionIndex(skin, sectionIndex) &&
      (!guarded || skin.Sections[size_t(sectionIndex)].SectionName == sectionName)) {
    std::vector<int32_t>& answer = skin.Lookup.Inherited[std::to_string(kind) + ":" + std::string(keyName)];
    if (answer.size() != skin.Sections.size()) answer.assign(skin.Sections.size(), -2);
    std::vector<int32_t> path;
    return WalkInherited(skin, skin.Lookup.Parent, answer, path, sectionIndex, keyName, kind);
  }
  std::vector<bool> visited(skin.Sections.size(), false);
  std::string passedName(sectionName);
  while (SkinManagerIsValidSectionIndex(skin, sectionIndex) && !visited[size_t(sectionIndex)]) {
    visited[size_t(sectionIndex)] = true;
    const int32_t found = FindImage(skin, sectionIndex, keyName, kind);
    if (found >= 0) return found;
    const std::string& parent = skin.Sections[size_t(sectionIndex)].ParentName;
    if (parent.empty()) return -1;
    if (guarded) {
      if (parent == passedName) return -1;
      passedName = parent;
    }
    sectionIndex = SkinManagerGetSectionIndex(skin, parent);
  }
  return -1;
}

}  // namespace

int32_t SkinManagerGetImageIndex(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName) {
  return FindInherited(skin, sectionIndex, keyName, -1, false, {});
}

int32_t SkinManagerGetSectionImageIndexEx(const LoadedSkin& skin, int32_t sectionIndex, std::string_view sectionName,
                                          std::string_view keyName) {
  return FindInherited(skin, sectionIndex, keyName, -1, true, sectionName);
}

int32_t SkinManagerGetTextureIndex(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName) {
  return FindInherited(skin, sectionIndex, keyName, 1, false, {});
}

int32_t SkinManagerGetTextureIndexEx(const LoadedSkin& skin, int32_t sectionIndex, std::string_view sectionName,
                                     std::string_view keyName) {
  return FindInherited(skin, sectionIndex, keyName, 1, true, sectionName);
}

int32_t SkinManagerGetImageIndexByName(const LoadedSkin& skin, std::string_view sectionName, std::string_view keyName) {
  for (size_t i = 0; i < skin.Images.size(); ++i) {
    if (skin.Images[i].SectionName == sectionName && skin.Images[i].KeyName == keyName) return int32_t(i);
  }
  return -1;
}

int32_t SkinManagerAddImage(LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName, int16_t maskType,
                            uint16_t drawMode, int16_t imageCount, const TRect& rect, uint8_t imageKind,
                            std::string_view sectionName, TsSkinManager* manager) {
  SkinImageRecord r;
  r.SectionIndex = sectionIndex;
  r.KeyName = std::string(keyName);
  r.SectionName = std::string(sectionName);
  r.MaskType = maskType;
  r.DrawMode = drawMode;
  r.ImageCount = imageCount;
  r.SourceRect = rect;
  r.ImageKind = imageKind;
  r.Manager = manager;
  skin.Images.push_back(std::move(r));
  return int32_t(skin.Images.size() - 1);
}

void SkinManagerFreeImages(LoadedSkin& skin) {
  while (!skin.Images.empty()) skin.Images.pop_back();
  skin.ImageFiles.clear();
  skin.MasterBitmap.reset();
}

int32_t SkinImageTransparentFlag(const LoadedSkin& skin, const SkinImageRecord& image, int64_t* budget) {
  if (image.SectionName == "BUTTON_HUGE" && image.KeyName == "BORDERSMASK") return 2;
  const TRect& r = image.SourceRect;
  if (RectHeight64(r) < 1) return 0;
  const Bitmap* bmp = SkinImageBitmap(skin, image);
  if (!bmp || bmp->Empty() || bmp->PixelFormat() != pf32bit) return 0;
  const int32_t stateW = ImageStateWidth(image), frameH = ImageFrameHeight(image);
  const int32_t right = r.Left + stateW, bottom = r.Top + frameH;
  const TRect corners[4] = {
      {r.Left, r.Top, r.Left + image.BorderLeft, r.Top + image.BorderTop},
      {right - image.BorderRight, r.Top, right, r.Top + image.BorderTop},
      {r.Left, bottom - image.BorderBottom, r.Left + image.BorderLeft, bottom},
      {right - image.BorderRight, bottom - image.BorderBottom, right, bottom},
  };
  for (const TRect& corner : corners) {
    const TRect c = ClipRectToSize(corner, bmp->Width(), bmp->Height());
    if (budget != nullptr) {
      *budget -= RectWidth64(c) * RectHeight64(c);
      if (*budget < 0) return 1;
    }
    for (int32_t y = c.Top; y < c.Bottom; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(bmp->ScanLine(y));
      for (int32_t x = c.Left; x < c.Right; ++x)
        if ((row[x] & 0xFFFFFFu) == KeyPixel) return 1;
    }
  }
  return 0;
}

namespace {

// The image of one key for every section at once, each the answer SkinManagerGetImageIndex (or, guarded,
// SkinManagerGetTextureIndexEx with the section's own name) gives, but every chain followed once: a section takes
// the answer of the first section up its chain whose answer is known.
class InheritedImages {
 public:
  // parents: the section each section's PARENTCLASS names (-1 none); guarded: a section that names itself ends
  // its chain even when an earlier section has its name.
  InheritedImages(const LoadedSkin& skin, const std::vector<int32_t>& parents, std::string_view keyName, int kind,
                  bool guarded)
      : skin_(skin), key_(keyName), kind_(kind), answer_(skin.Sections.size(), -2), parent_(parents) {
    if (!guarded) return;
    for (size_t i = 0; i < skin.Sections.size(); ++i)
      if (skin.Sections[i].ParentName == skin.Sections[i].SectionName) parent_[i] = -1;
  }

  int32_t Of(int32_t section) { return WalkInherited(skin_, parent_, answer_, path_, section, key_, kind_); }

 private:
  const LoadedSkin& skin_;
  std::string_view key_;
  int kind_;
  std::vector<int32_t> answer_;  // -2 not known, -3 on the walk being made
  std::vector<int32_t> parent_;
  std::vector<int32_t> path_;
};

}  // namespace

void SkinManagerReadSectionImages(LoadedSkin& skin) {
  std::vector<int32_t> parents(skin.Sections.size(), -1);
  for (size_t i = 0; i < skin.Sections.size(); ++i)
    if (!skin.Sections[i].ParentName.empty())
      parents[i] = SkinManagerGetSectionIndex(skin, skin.Sections[i].ParentName);
  InheritedImages borders(skin, parents, "BORDERSMASK", -1, false), outer(skin, parents, "OUTERMASK", -1, false);
  InheritedImages topLeft(skin, parents, "IMGTOPLEFT", -1, false), topRight(skin, parents, "IMGTOPRIGHT", -1, false);
  InheritedImages bottomLeft(skin, parents, "IMGBTMLEFT", -1, false);
  InheritedImages bottomRight(skin, parents, "IMGBTMRIGHT", -1, false);
  InheritedImages pattern(skin, parents, "PATTERN", 1, true), hotPattern(skin, parents, "HOTPATTERN", 1, true);
  for (size_t i = 0; i < skin.Sections.size(); ++i) {
    SkinSectionRecord& s = skin.Sections[i];
    if (s.SectionName == "GLOBALINFO") continue;
    const int32_t index = int32_t(i);
    s.BorderIndex = borders.Of(index);
    s.OuterMask = outer.Of(index);
    s.ImgTopLeft = topLeft.Of(index);
    s.ImgTopRight = topRight.Of(index);
    s.ImgBottomLeft = bottomLeft.Of(index);
    s.ImgBottomRight = bottomRight.Of(index);
    s.TextureIndex = pattern.Of(index);
    s.NormalState.TextureIndex = s.TextureIndex;
    if (s.States > 1) s.HotState.TextureIndex = hotPattern.Of(index);
    if (s.BorderIndex < 0) {
      s.BorderKind = -2;
    } else if (s.SectionName == "EDIT" || s.SectionName == "ALPHAEDIT") {
      const SkinImageRecord& m = skin.Images[size_t(s.BorderIndex)];
      s.BorderKind = (m.BorderLeft == 1 && m.BorderTop == 1 && m.BorderRight == 1 && m.BorderBottom == 1) ? -1 : 0;
    } else {
      s.BorderKind = 0;
    }
  }
}

namespace {

// A section entry of the cache: the first of the names that the skin has.
SkinSectionEntry CacheSection(const LoadedSkin& skin, std::initializer_list<std::string_view> names) {
  SkinSectionEntry e;
  for (std::string_view name : names) {
    const int32_t index = SkinManagerGetSectionIndex(skin, name);
    if (index < 0) continue;
    e.SectionIndex = index;
    e.Name = std::string(name);
    e.BorderIndex = SkinManagerGetSectionImageIndexEx(skin, index, name, "BORDERSMASK");
    e.GlyphIndex = SkinManagerGetSectionImageIndexEx(skin, index, name, "GLYPHMASK");
    e.TextureIndex = SkinManagerGetSectionImageIndexEx(skin, index, name, "PATTERN");
    e.HotTextureIndex = SkinManagerGetSectionImageIndexEx(skin, index, name, "HOTPATTERN");
    break;
  }
  return e;
}

}  // namespace

void SkinManagerCacheCommonIndexes(LoadedSkin& skin) {
  SkinCommonIndexes& c = skin.CommonIndexes;
  c = SkinCommonIndexes{};
  const int32_t g = SkinManagerGetSectionIndex(skin, "GLOBALINFO");
  c.GlobalInfo = g;
  auto global = [&](std::string_view key) { return SkinManagerGetImageIndex(skin, g, key); };
  c.BoxUnchecked = global(CheckBoxSections[0]);
  c.BoxChecked = global(CheckBoxSections[1]);
  c.BoxGrayed = global(CheckBoxSections[2]);
  c.SmallUnchecked = global(SmallCheckBoxSections[0]);
  c.SmallChecked = global(SmallCheckBoxSections[1]);
  c.SmallGrayed = global(SmallCheckBoxSections[2]);
  c.RadioUnchecked = global(RadioButtonSections[0]);
  c.RadioChecked = global(RadioButtonSections[1]);
  c.ExBorder = global("EXBORDER");
  c.GripImage = global("GRIPIMAGE");
  c.GripHorz = global("GRIPHORZ");
  c.GripVert = global("GRIPVERT");
  c.BIConClose = global("BICONCLOSE");
  c.BICloseAlone = global("BICLOSEALONE");
  c.BIConMax = global("BICONMAX");
  c.BIConNorm = global("BICONNORM");
  c.BIConMin = global("BICONMIN");
  c.BIConHelp = global("BICONHELP");
  c.SIConClose = global("SICONCLOSE");
  c.SIConMax = global("SICONMAX");
  c.SIConNorm = global("SICONNORM");
  c.SIConMin = global("SICONMIN");
  c.SIConHelp = global("SICONHELP");
  c.ComboGlyph = SkinManagerGetImageIndex(skin, SkinManagerGetSectionIndex(skin, "COMBOBOX"), "GLYPHMASK");
  c.MenuItem = CacheSection(skin, {"MENUITEM"});
  c.ComboBtn = CacheSection(skin, {"COMBOBTN"});
  for (size_t pos = 0; pos < TabSections.size(); ++pos)
    for (size_t side = 0; side < TabSections[pos].size(); ++side)
      c.Tabs[pos * 4 + side] = CacheSection(skin, {TabSections[pos][side]});
  c.ScrollSliderH = CacheSection(skin, {ScrollSliderSections[0]});
  c.ScrollSliderV = CacheSection(skin, {ScrollSliderSections[1]});
  SkinSectionEntry* buttons[4] = {&c.ScrollBtnLeft, &c.ScrollBtnTop, &c.ScrollBtnRight, &c.ScrollBtnBottom};
  for (size_t i = 0; i < 4; ++i)
    *buttons[i] = CacheSection(skin, {ScrollButtonSections[0][i], ScrollButtonSections[1][i], ScrollButtonSections[2][i]});
  c.ScrollBar1H = CacheSection(skin, {ScrollTrackSections[0]});
  c.ScrollBar1V = CacheSection(skin, {ScrollTrackSections[1]});
  c.ScrollBar2H = CacheSection(skin, {ScrollTrackSections[2]});
  c.ScrollBar2V = CacheSection(skin, {ScrollTrackSections[3]});
  c.UpDownBtn = CacheSection(skin, {"UPDOWNBTN", "BUTTON"});
  SkinManagerReadSectionImages(skin);
}

TColor SkinManagerGlobalColor(const LoadedSkin& skin) { return skin.Colors[scMainColor]; }
TColor SkinManagerGlobalFontColor(const LoadedSkin& skin) { return skin.Colors[scMainFontColor]; }
TColor SkinManagerEditColor(const LoadedSkin& skin) { return skin.Colors[scEditBackground]; }
TColor SkinManagerEditFontColor(const LoadedSkin& skin) { return skin.Colors[scEditText]; }
TColor SkinManagerHighlightColor(const LoadedSkin& skin, bool focused) {
  return skin.Colors[focused ? scSelectionFocused : scSelection];
}
TColor SkinManagerHighlightFontColor(const LoadedSkin& skin, bool focused) {
  return skin.Colors[focused ? scSelectionTextFocused : scSelectionText];
}

namespace {

int32_t BorderWidth(const LoadedSkin& skin, int32_t imageIndex, int side) {
  if (!SkinManagerIsValidImageIndex(skin, imageIndex)) return 0;
  const SkinImageRecord& r = skin.Images[size_t(imageIndex)];
  const int16_t own[4] = {r.BorderLeft, r.BorderTop, r.BorderRight, r.BorderBottom};
  if (own[side] > 0) return own[side];
  if (r.CommonBorderWidth >= 1) return r.CommonBorderWidth;
  if (side == 1 || side == 3) return ImageFrameHeight(r);
  SkinImageRecord counted = r;  // an ImageCount of 0 counts as 1
  if (counted.ImageCount == 0) counted.ImageCount = 1;
  return ImageStateWidth(counted);
}

}  // namespace

int32_t SkinMaskBorderLeft(const LoadedSkin& skin, int32_t imageIndex) { return BorderWidth(skin, imageIndex, 0); }
int32_t SkinMaskBorderTop(const LoadedSkin& skin, int32_t imageIndex) { return BorderWidth(skin, imageIndex, 1); }
int32_t SkinMaskBorderRight(const LoadedSkin& skin, int32_t imageIndex) { return BorderWidth(skin, imageIndex, 2); }
int32_t SkinMaskBorderBottom(const LoadedSkin& skin, int32_t imageIndex) { return BorderWidth(skin, imageIndex, 3); }

int32_t SkinImageStateWidth(const LoadedSkin& skin, int32_t imageIndex) {
  return SkinManagerIsValidImageIndex(skin, imageIndex) ? ImageStateWidth(skin.Images[size_t(imageIndex)]) : 0;
}
int32_t SkinImageWidth(const LoadedSkin& skin, int32_t imageIndex) {
  return SkinManagerIsValidImageIndex(skin, imageIndex)
             ? int32_t(RectWidth64(skin.Images[size_t(imageIndex)].SourceRect))
             : 0;
}
int32_t SkinImageHeight(const LoadedSkin& skin, int32_t imageIndex) {
  return SkinManagerIsValidImageIndex(skin, imageIndex) ? ImageFrameHeight(skin.Images[size_t(imageIndex)]) : 0;
}

const skin::Bitmap* SkinImageBitmap(const LoadedSkin& skin, const SkinImageRecord& image) {
  if (image.Bitmap) return image.Bitmap.get();
  return skin.MasterBitmap.get();
}

}  // namespace skin
