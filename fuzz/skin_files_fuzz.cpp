// A skin's description together with its image files, as a packed skin and as a skin directory: the input is
// cut at every "\n=====\n" into the description ("Options.dat") and the files named, in order, like the fixture
// skin's (its master bitmap, a PNG glow, a small bitmap, a JPEG). Each load either is refused (one message, the
// skin in force kept whole) or gives tables whose every index and rectangle is sound; the two forms agree.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "skin/data/imagedecoders.h"
#include "skin/data/packedskin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/acpng.h"
#include "tests/skin_data/skin_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace skin;

constexpr std::string_view kCut = "\n=====\n";
const char* const kNames[] = {"Options.dat", "Master.bmp", "Glow0.PNG", "Small.bmp", "PANEL.JPG"};

std::vector<PackedSkinMember> membersOf(std::string_view input) {
  std::vector<PackedSkinMember> members;
  size_t from = 0;
  for (const char* name : kNames) {
    const size_t cut = input.find(kCut, from);
    members.push_back({name, std::string(input.substr(from, cut == std::string_view::npos ? cut : cut - from))});
    if (cut == std::string_view::npos) break;
    from = cut + kCut.size();
  }
  return members;
}

bool inside(const TRect& r, const Bitmap* b) {
  return b && r.Left >= 0 && r.Top >= 0 && r.Left <= r.Right && r.Top <= r.Bottom && r.Right <= b->Width() &&
         r.Bottom <= b->Height();
}

void checkTables(const LoadedSkin& skin) {
  for (const SkinImageRecord& r : skin.Images) {
    if (r.ImageCount == 0 && r.SourceRect == TRect{}) continue;  // a bitmap of the common sections
    if (!inside(r.SourceRect, SkinImageBitmap(skin, r))) std::abort();
  }
  auto valid = [&skin](int32_t i) { return i == -1 || SkinManagerIsValidImageIndex(skin, i); };
  for (const SkinSectionRecord& s : skin.Sections)
    if (!valid(s.BorderIndex) || !valid(s.TextureIndex) || !valid(s.OuterMask) || !valid(s.NormalState.TextureIndex) ||
        !valid(s.HotState.TextureIndex) || s.States > 255)
      std::abort();
  for (const SkinShadowRecord* sh : {&skin.SkinData.ActiveShadow, &skin.SkinData.InactiveShadow})
    if (!valid(sh->MaskIndex)) std::abort();
}

struct Load {
  bool loaded = false;
  size_t messages = 0;
  std::vector<SkinSectionRecord> sections;
  size_t images = 0;
};

// The fixture skin first (the skin in force), then the fuzzed one.
template <class Put>
Load load(Put put) {
  PortableSkinSystem system;
  TsSkinManager m(system);
  TsStoredSkin& good = m.InternalSkins.Add();
  good.Name = "Good";
  const std::string fixture = skin::PackSkin(skintest::FixtureMembers());
  good.Data.WriteBuffer(fixture.data(), int64_t(fixture.size()));
  m.SetSkinName("Good");
  if (!system.messageBoxes.empty() || m.SkinName() != "Good") std::abort();
  const LoadedSkin* before = &m.Skin();
  const size_t goodSections = m.Skin().Sections.size(), goodImages = m.Skin().Images.size();
  put(m);
  m.SetSkinName("Fuzzed");
  Load r;
  r.messages = system.messageBoxes.size();
  if (r.messages > 2) std::abort();  // at most a version notice and one failure
  r.loaded = m.SkinName() == "Fuzzed";
  if (!r.loaded) {
    // Refused: said so, and the skin in force is whole.
    if (r.messages == 0 || &m.Skin() != before || m.Skin().Sections.size() != goodSections ||
        m.Skin().Images.size() != goodImages || m.SkinData().Active != 1)
      std::abort();
    return r;
  }
  checkTables(m.Skin());
  r.sections = m.Skin().Sections;
  r.images = m.Skin().Images.size();
  return r;
}

// What an image file's header says of its size is what its decoder gives: the load bounds an image by its header
// before it decodes it, so the two must never disagree.
void checkHeader(const PackedSkinMember& f) {
  const std::string ext = f.Name.substr(f.Name.find_last_of('.'));
  Bitmap b;
  try {
    if (ext == ".bmp") {
      DecodeBmp(f.Data.data(), f.Data.size(), b, 1 << 20);
    } else if (ext == ".JPG") {
      DecodeJpeg(f.Data.data(), f.Data.size(), b, 1 << 20);
    } else {
      TPNGGraphic png;
      png.MaxPixels = 1 << 20;
      png.LoadFromMemory(f.Data.data(), f.Data.size());
      b = std::move(static_cast<Bitmap&>(png));
    }
  } catch (const std::exception&) {
    return;
  }
  int64_t w = 0, h = 0;
  if (!ImageFileDimensions(f.Data.data(), f.Data.size(), w, h) || w != b.Width() || h != b.Height()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::vector<PackedSkinMember> members = membersOf(input);
  for (size_t i = 1; i < members.size(); ++i) checkHeader(members[i]);
  const Load packed = load([&](TsSkinManager& m) {
    TsStoredSkin& s = m.InternalSkins.Add();
    s.Name = "Fuzzed";
    const std::string bytes = skin::PackSkin(members, 1);
    s.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  });
  static const testsupport::TempDir dir;
  const std::filesystem::path skinDir = dir.path() / "Fuzzed";
  std::filesystem::remove_all(skinDir);
  std::filesystem::create_directories(skinDir);
  for (const PackedSkinMember& f : members) std::ofstream(skinDir / f.Name, std::ios::binary) << f.Data;
  const Load directory = load([&](TsSkinManager& m) { m.SetSkinDirectory(dir.path().string()); });
  // Paths in the description (an absolute or relative file name) are read differently by the two forms.
  if (members[0].Data.find_first_of("\\/:") != std::string::npos) return 0;
  if (packed.loaded != directory.loaded || packed.messages != directory.messages ||
      packed.sections != directory.sections || packed.images != directory.images)
    std::abort();
  return 0;
}
