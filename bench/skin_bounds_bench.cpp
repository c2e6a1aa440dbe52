// Skins from outside past the bounds of a load, refused: a folder skin whose bitmap file is a gibibyte (sparse), one
// whose bitmap header says 100,000 x 100,000 pixels, a packed file of a gibibyte and a packed member stated as a
// gibibyte. Each refusal's time per load beside the anchor of the same skin loaded whole as it was made (Lucky of
// the program's stored skins): a refusal costs less than the load it spares. Then 200,000 keys in one section,
// through skinlint and through the program's loader alone (its anchor).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"
#include "skin/data/sskinmanager.h"
#include "tests/skin_data/outside_skins.h"
#include "tools/skingen/generate.h"
#include "tools/skinlint/lint.h"

namespace {

namespace fs = std::filesystem;
using namespace skin;

const skingen::GeneratedSkin& lucky() {
  static const std::vector<skingen::GeneratedSkin> all = skingen::GenerateAllSkins();
  for (const skingen::GeneratedSkin& g : all)
    if (g.theme->name == "Lucky (internal)") return g;
  std::abort();
}

// A skins folder of its own for one workload, removed at the end.
struct Folder {
  fs::path path;
  explicit Folder(const std::string& what)
      : path(fs::temp_directory_path() / ("skin-bounds-bench-" + what + "-" + std::to_string(::getpid()))) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
};

// Loads the row's skin from its folder in a fresh manager, as a click on the Skin box does.
void loadEach(benchmark::State& state, const outsideskins::Row& row, bool refused) {
  std::vector<PackedSkinMember> members = lucky().members;
  members[0].Data = row.edit(members[0].Data);
  if (row.files) row.files(members);
  Folder folder(row.point);
  outsideskins::Deliver(folder.path, row, members);
  for (auto _ : state) {
    PortableSkinSystem sys;
    TsSkinManager m(sys);
    m.SetSkinDirectory(folder.path.string());
    m.SetSkinName(row.skin);
    if ((sys.messageBoxes.size() == 1) != refused) state.SkipWithError("not as the workload says");
  }
}

outsideskins::Row row(const char* point, outsideskins::Via via) {
  return outsideskins::Row{.point = point, .skin = "Lucky (internal)", .edit = [](std::string t) { return t; },
                           .via = via};
}

void BM_AnchorLoadTheSkinFromItsFolder(benchmark::State& state) {
  loadEach(state, row("whole", outsideskins::Via::Folder), false);
}

void BM_RefuseABitmapFileOfAGibibyte(benchmark::State& state) {
  outsideskins::Row r = row("gibibyte-file", outsideskins::Via::Folder);
  r.plant = {{.name = "Buttons.bmp", .size = int64_t{1} << 30}};
  loadEach(state, r, true);
}

void BM_RefuseABitmapHeaderOf100000x100000(benchmark::State& state) {
  outsideskins::Row r = row("huge-header", outsideskins::Via::Folder);
  r.files = [](std::vector<PackedSkinMember>& m) {
    for (auto& f : m)
      if (f.Name == "Buttons.bmp") f.Data = outsideskins::BitmapHeaderOnly(100000, 100000);
  };
  loadEach(state, r, true);
}

void BM_AnchorLoadTheSkinPacked(benchmark::State& state) {
  loadEach(state, row("packed", outsideskins::Via::PackedFile), false);
}

void BM_RefuseAPackedFileOfAGibibyte(benchmark::State& state) {
  outsideskins::Row r = row("gibibyte-packed", outsideskins::Via::PackedFile);
  r.plant = {{.name = "", .size = int64_t{1} << 30}};
  loadEach(state, r, true);
}

void BM_RefuseAPackedMemberStatedAsAGibibyte(benchmark::State& state) {
  outsideskins::Row r = row("gibibyte-member", outsideskins::Via::PackedFile);
  r.packed = [](std::string b) { return outsideskins::WithStatedSize(b, "Buttons.bmp", 1u << 30); };
  loadEach(state, r, true);
}

// 200,000 keys of one section: skinlint's whole check of the skin folder, and the program's load alone.
struct ManyKeys {
  Folder folder{"many-keys"};
  fs::path skin = folder.path / "Lucky (internal)";
  ManyKeys() {
    outsideskins::Row r = row("many-keys", outsideskins::Via::Folder);
    std::vector<PackedSkinMember> members = lucky().members;
    std::string extra;
    for (int i = 0; i < 200000; ++i) extra += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    const size_t at = members[0].Data.find("[BUTTON]\r\n") + 10;
    members[0].Data.insert(at, extra);
    outsideskins::Deliver(folder.path, r, members);
  }
};

void BM_SkinlintOn200000KeysInOneSection(benchmark::State& state) {
  static ManyKeys keys;
  for (auto _ : state)
    if (!skinlint::LintSkinDirectory(keys.skin.string()).problems.empty()) state.SkipWithError("a problem");
}

void BM_AnchorLoad200000KeysInOneSection(benchmark::State& state) {
  static ManyKeys keys;
  for (auto _ : state) {
    PortableSkinSystem sys;
    TsSkinManager m(sys);
    m.SetSkinDirectory(keys.folder.path.string());
    m.SetSkinName("Lucky (internal)");
    if (!sys.messageBoxes.empty()) state.SkipWithError("refused");
  }
}

}  // namespace

BENCHMARK(BM_AnchorLoadTheSkinFromItsFolder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefuseABitmapFileOfAGibibyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefuseABitmapHeaderOf100000x100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorLoadTheSkinPacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefuseAPackedFileOfAGibibyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefuseAPackedMemberStatedAsAGibibyte)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorLoad200000KeysInOneSection)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkinlintOn200000KeysInOneSection)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
