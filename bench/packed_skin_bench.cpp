// Reading a packed skin (container walk, inflation through the stream wrapper, member streams) against the
// anchor: zlib's own uncompress() of the same member streams into buffers of the known sizes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/data/packedskin.h"

namespace {

using namespace skin;

// A skin of the size the program carries: a description, a master bitmap with flat areas and gradients,
// and a few smaller images.
std::vector<PackedSkinMember> skinMembers() {
  std::vector<PackedSkinMember> m;
  std::string options;
  for (int s = 0; s < 150; ++s) {
    options += "[SECTION" + std::to_string(s) + "]\r\nPARENTCLASS=BUTTON\r\nCOLOR=0x00F0F0F0\r\n";
    options += "BORDERSMASK=^0010^0020^0050^0040^0000^0000^0000^0000^3^1^0^4\r\n";
  }
  m.push_back({"Options.dat", options});
  auto bitmap = [](int w, int h, uint32_t seed) {
    std::string b(size_t(w) * size_t(h) * 4, '\0');
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        seed = seed * 1664525u + 1013904223u;
        const size_t i = (size_t(y) * size_t(w) + size_t(x)) * 4;
        b[i] = char(x + (seed >> 30));
        b[i + 1] = char(y);
        b[i + 2] = char((x * y) >> 4);
        b[i + 3] = char(255);
      }
    return "BM" + b;
  };
  m.push_back({"MASTER.BMP", bitmap(512, 512, 1)});
  m.push_back({"glow.bmp", bitmap(128, 64, 2)});
  m.push_back({"shadow.bmp", bitmap(64, 64, 3)});
  return m;
}

struct Fixture {
  std::vector<PackedSkinMember> members = skinMembers();
  std::string container = PackSkin(members, Z_BEST_COMPRESSION);
  std::vector<std::string> streams;  // the members' zlib streams alone
  size_t unpacked = 0;
  Fixture() {
    for (const auto& m : members) {
      uLongf size = compressBound(uLong(m.Data.size()));
      std::string s(size, '\0');
      compress2(reinterpret_cast<Bytef*>(s.data()), &size, reinterpret_cast<const Bytef*>(m.Data.data()),
                uLong(m.Data.size()), Z_BEST_COMPRESSION);
      s.resize(size);
      streams.push_back(std::move(s));
      unpacked += m.Data.size();
    }
  }
};

const Fixture& fixture() {
  static const Fixture f;
  return f;
}

void BM_ExtractPackedSkin(benchmark::State& state) {
  const Fixture& f = fixture();
  TMemoryStream data(f.container);
  for (auto _ : state) {
    auto c = std::make_unique<TacSkinConvertor>();
    c->LendPackedData(data);
    if (!ExtractPackedSkin(c)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(c->Files.data());
    c->ReleasePackedData();
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.unpacked));
}

void BM_ZlibUncompressAnchor(benchmark::State& state) {
  const Fixture& f = fixture();
  for (auto _ : state) {
    for (size_t i = 0; i < f.members.size(); ++i) {
      std::string out(f.members[i].Data.size(), '\0');
      uLongf size = uLongf(out.size());
      if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                     reinterpret_cast<const Bytef*>(f.streams[i].data()), uLong(f.streams[i].size())) != Z_OK)
        state.SkipWithError("uncompress failed");
      benchmark::DoNotOptimize(out.data());
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.unpacked));
}

BENCHMARK(BM_ExtractPackedSkin)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZlibUncompressAnchor)->Unit(benchmark::kMicrosecond);

}  // namespace
