// Writes the PNG conformance corpus into a directory, with an index of the damaged files and their messages:
//   png_corpus_generator <directory>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/skin_pixels/png_corpus.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  std::filesystem::create_directories(dir);
  std::ofstream index(dir / "damaged.txt");
  size_t count = 0;
  for (const auto& list : {pngcorpus::ValidFiles(), pngcorpus::DamagedFiles()})
    for (const pngcorpus::CorpusFile& f : list) {
      std::ofstream(dir / f.name, std::ios::binary) << f.bytes;
      if (!f.valid) index << f.name << '\t' << (f.message.empty() ? "loads" : f.message) << '\n';
      ++count;
    }
  std::printf("%zu files written to %s\n", count, dir.string().c_str());
  return 0;
}
