// The block an outside skin editor sends with WM_COPYDATA, from any process: its parser must take only whole
// blocks, and a block taken must load (its description with the fixture skin's images, which the fuzzed skin's
// directory holds) or be refused with the skin in force kept, never fail otherwise. The block's directory is
// pointed at that directory, so that the fuzzer reads no other file of the machine.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "skin/manager/skincommands.h"
#include "skin/manager/sskinmanager_component.h"
#include "tests/skin_data/skin_fixture.h"
#include "tests/support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skin;
  // Any bytes: whole blocks only.
  const auto parsed = ParseSkinPreviewData(data, size);
  if (parsed && (size < SkinPreviewDataSize || parsed->Name.size() >= SkinPreviewNameSize ||
                 parsed->Options.size() >= SkinPreviewOptionsSize))
    std::abort();
  if (!parsed) return 0;

  static const testsupport::TempDir dir;
  static const bool written = [] {
    std::vector<PackedSkinMember> images = skintest::FixtureMembers();
    images.erase(images.begin());
    for (const char* name : {"Preview", "Good"}) {
      std::filesystem::create_directories(dir.path() / name);
      for (const PackedSkinMember& f : images) std::ofstream(dir.path() / name / f.Name, std::ios::binary) << f.Data;
    }
    std::ofstream(dir.path() / "Good" / "Options.dat", std::ios::binary) << skintest::FixtureOptionsText();
    return true;
  }();
  (void)written;
  std::vector<uint8_t> block(data, data + SkinPreviewDataSize);
  const std::string directory = dir.path().string();
  std::memset(block.data() + SkinPreviewDirectoryOffset, 0, SkinPreviewDirectorySize);
  std::memcpy(block.data() + SkinPreviewDirectoryOffset, directory.data(), directory.size());

  PortableSkinSystem system;
  TsSkinManagerComponent m(nullptr, system);
  m.SetSkinDirectory(directory);
  m.SetSkinName("Good");
  if (!system.messageBoxes.empty() || m.SkinData().Active != 1) std::abort();
  const size_t goodSections = m.Skin().Sections.size();
  if (!m.TakeSkinPreview(SkinPreviewCopyDataWParam, block.data(), block.size())) std::abort();
  m.LoadEditorPreview();
  if (system.messageBoxes.size() > 2 || m.ReceivedOptions.has_value() || m.PreviewLock != 0) std::abort();
  if (m.SkinName() == "Good" && m.Skin().Sections.size() != goodSections) std::abort();
  for (const SkinImageRecord& r : m.Skin().Images) {
    if (r.ImageCount == 0 && r.SourceRect == TRect{}) continue;
    const Bitmap* b = SkinImageBitmap(m.Skin(), r);
    if (!b || r.SourceRect.Left < 0 || r.SourceRect.Top < 0 || r.SourceRect.Right > b->Width() ||
        r.SourceRect.Bottom > b->Height())
      std::abort();
  }
  return 0;
}
