// Arbitrary bytes as a skin description ("Options.dat"): splitting into sections and reading every key,
// with and without inheritance, must never fail, and must agree with the lines it was split from. Then the
// same bytes are loaded as a whole skin, beside fixed image files (a 24-bit master bitmap, PNG glows, a JPEG
// and a small bitmap) in a stored skin's container: the load either fails and keeps the previous (empty)
// skin, or gives tables whose every index and rectangle is sound.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "skin/data/generalutils.h"
#include "skin/data/inheritedkeys.h"
#include "skin/data/maskdata.h"
#include "skin/data/packedskin.h"
#include "skin/data/skinloading.h"
#include "skin/data/sskinmanager.h"
#include "tests/skin_data/skin_fixture.h"

namespace {

using namespace skin;

// The container members after "Options.dat", packed once: the container of one input is the header, the
// input as "Options.dat", and these.
struct FixedImages {
  uint32_t count = 0;
  std::string packed;
  FixedImages() {
    std::vector<PackedSkinMember> members = skintest::FixtureMembers();
    members.erase(members.begin());
    count = uint32_t(members.size());
    packed = PackSkin(members).substr(8);
  }
};

std::string containerWith(std::string_view options) {
  static const FixedImages images;
  std::string c = PackSkin({{"Options.dat", std::string(options)}}, Z_BEST_SPEED);
  const uint32_t n = images.count + 1;
  for (int i = 0; i < 4; ++i) c[4 + size_t(i)] = char(n >> (8 * i));
  return c + images.packed;
}

bool inside(const TRect& r, const Bitmap* b) {
  return b && r.Left >= 0 && r.Top >= 0 && r.Left <= r.Right && r.Top <= r.Bottom && r.Right <= b->Width() &&
         r.Bottom <= b->Height();
}

bool within(std::string_view section, std::string_view key, int32_t value) {
  const SkinSizeKey* k = FindSkinSizeKey(section, key);
  return k && value >= k->Min && value <= k->Max;
}

// A skin that was taken holds only sizes that can be drawn and title buttons with pixels in every state.
void checkDrawable(const TIniSections& description, const LoadedSkin& skin) {
  for (const SkinSizeKey& k : SkinSizeKeys()) {
    std::string text;
    if (k.Section.empty() || !description.FindValue(k.Section, k.Key, text)) continue;
    if (!within(k.Section, k.Key, IniTextToInt(text, k.Min))) std::abort();
  }
  for (const SkinSectionRecord& s : skin.Sections)
    if (!within("", "GLOW", s.GlowSize) || !within("", "GLOWMARGIN", s.GlowMargin) ||
        !within("", "OUTOFFSL", s.OuterOffsets.Left) || !within("", "OUTOFFSB", s.OuterOffsets.Bottom) ||
        !within("", "GSIZE", s.NormalState.GradientSize))
      std::abort();
  for (const SkinImageRecord& r : skin.Images) {
    if (r.ImageCount == 0 && r.SourceRect == TRect{}) continue;  // a bitmap of the common sections
    const int32_t w = ImageStateWidth(r), h = ImageFrameHeight(r);
    if (w < 1 || ((r.MaskType >= 0 || IsTitleButtonKey(r.SectionName, r.KeyName)) && h < 1)) std::abort();
    if (r.BorderLeft < 0 || r.BorderTop < 0 || r.BorderRight < 0 || r.BorderBottom < 0 || r.CommonBorderWidth < 0 ||
        r.BorderLeft + r.BorderRight > w || (h > 0 && r.BorderTop + r.BorderBottom > h))
      std::abort();
  }
  // The extended border keeps a margin around the form.
  const int32_t ex = skin.CommonIndexes.ExBorder;
  if (skin.SkinData.BorderMode == 0 && SkinManagerIsValidImageIndex(skin, ex) &&
      skin.SkinData.FormOffset >= std::min({SkinMaskBorderLeft(skin, ex), SkinMaskBorderTop(skin, ex),
                                            SkinMaskBorderRight(skin, ex), SkinMaskBorderBottom(skin, ex)}) &&
      skin.SkinData.FormOffset > 0)
    std::abort();
  // A dialog keeps a caption below the frame's border.
  if (skin.SkinData.BorderWidth >= std::max(skin.SkinData.TitleHeight, 1)) std::abort();
  // A count of states past 32 bits, given by the section or a parent, is read whole: the most a section paints
  // (255), or below the least (one state painted). (A mask of fewer states shows its last in the states past it.)
  IndexedSections keys(description);
  for (int i = 0; i < keys.Count() && size_t(i) < skin.Sections.size(); ++i) {
    const SkinSectionRecord& s = skin.Sections[size_t(i)];
    const std::string text = keys.NumberText(s.SectionName, "STATES");
    if (IsNumberPast32Bits(text) && (text.find('-') == std::string::npos ? s.States != 255 : s.States >= 1))
      std::abort();
  }
}

void loadWholeSkin(std::string_view options) {
  PortableSkinSystem system;
  TsSkinManager manager(system);
  TsStoredSkin& stored = manager.InternalSkins.Add();
  stored.Name = "Fuzzed";
  const std::string container = containerWith(options);
  stored.Data.WriteBuffer(container.data(), int64_t(container.size()));
  manager.SetSkinName("Fuzzed");
  if (stored.Data.Bytes() != container) std::abort();  // the data were lent, not taken
  const LoadedSkin& skin = manager.Skin();
  if (system.messageBoxes.size() > 2) std::abort();  // at most a version notice and one failure
  for (const SkinImageRecord& r : skin.Images) {
    if (r.ImageCount == 0 && r.SourceRect == TRect{}) continue;  // a bitmap of the common sections
    if (!inside(r.SourceRect, SkinImageBitmap(skin, r))) std::abort();
  }
  auto validImage = [&skin](int32_t i) { return i == -1 || SkinManagerIsValidImageIndex(skin, i); };
  for (const SkinSectionRecord& s : skin.Sections) {
    if (!validImage(s.BorderIndex) || !validImage(s.TextureIndex) || !validImage(s.OuterMask) ||
        !validImage(s.NormalState.TextureIndex) || !validImage(s.HotState.TextureIndex) || s.States > 255)
      std::abort();
  }
  if (manager.SkinName() == "Fuzzed" && skin.SkinData.Active) {
    TIniSections description;
    IniTextToSections(options, description);
    checkDrawable(description, skin);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TIniSections sections;
  IniTextToSections(text, sections);
  PortableSkinSystem system;
  int reads = 0;
  for (int s = 0; s < sections.Count() && reads < 2000; ++s) {
    const auto& section = sections[s];
    if (sections.IndexOf(section.Name) > s) std::abort();
    for (const std::string& line : section.Lines) {
      if (line.empty() || line[0] == ';') std::abort();
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = line.substr(0, eq);
      const std::string value = ReadIniValue(sections, section.Name, "\x01", key);
      // The first section of this name and its first line of this key give the value.
      if (sections.IndexOf(section.Name) == s && IndexOfName(section.Lines, key) >= 0 &&
          value != section.Lines[size_t(IndexOfName(section.Lines, key))].substr(key.size() + 1))
        std::abort();
      const int32_t n = ReadIniInt(sections, section.Name, -7, key);
      (void)n;
      (void)StrToFloatDefDot(value, 0.0);
      (void)ReadInheritedInt(sections, section.Name, key, 0, 255, system);
      (void)ReadInheritedString(sections, section.Name, key, "");
      (void)ReadInheritedBool(sections, section.Name, key, false);
      ++reads;
    }
  }
  if (size <= 65536) loadWholeSkin(text);
  return 0;
}
