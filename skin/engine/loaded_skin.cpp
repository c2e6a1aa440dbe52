#include "skin/engine/loaded_skin.h"

#include "skin/paint/graph_utils.h"

namespace skin {

const std::array<std::array<std::string_view, 12>, 2> StateKeyNames = {{
    {"COLOR", "FONTCOLOR", "TCLEFT", "TCTOP", "TCRIGHT", "TCBOTTOM", "GCOL", "GSIZE", "GRADIENTPERCENT",
     "GRADIENTDATA", "IMAGEPERCENT", "TRANSPARENCY"},
    {"HOTCOLOR", "HOTFONTCOLOR", "HOTTCLEFT", "HOTTCTOP", "HOTTCRIGHT", "HOTTCBOTTOM", "HGCOL", "HGSIZE",
     "HOTGRADIENTPERCENT", "HOTGRADIENTDATA", "HOTIMAGEPERCENT", "HOTTRANSPARENCY"},
}};


SkinColorTable DefaultSkinColors() {
  SkinColorTable t{};
  const TColor editText = ColorToRGB(clWindowText), editBg = ColorToRGB(clWindow);
  t[scMainColor] = ColorToRGB(clBtnFace);
  t[scMainFontColor] = 0;
  t[scBottomContour] = 0xFF0000;
  t[scTopContour] = 0x0000FF;
  t[scEditText] = editText;
  t[scEditBackground] = editBg;
  t[scSelection] = t[scSelectionFocused] = ColorToRGB(clHighlight);
  t[scSelectionText] = t[scSelectionTextFocused] = ColorToRGB(clHighlightText);
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

int32_t SkinManagerGetSectionIndex(const LoadedSkin& skin, std::string_view name) {
  if (name.empty()) return -1;
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
  for (size_t i = 0; i < skin.Images.size(); ++i) {
    const SkinImageRecord& r = skin.Images[i];
    if (r.SectionIndex == sectionIndex && r.KeyName == keyName && (kind < 0 || r.ImageKind == kind)) {
      return int32_t(i);
    }
  }
  return -1;
}

// Climbs the PARENTCLASS chain. Every section is visited at most once, so a chain that loops back ends.
// guardName: with guarded, a parent whose name equals the name passed on is not followed.
int32_t FindInherited(const LoadedSkin& skin, int32_t sectionIndex, std::string_view keyName, int kind, bool guarded,
                      std::string_view sectionName) {
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
