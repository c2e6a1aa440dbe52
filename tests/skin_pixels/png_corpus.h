#pragma once
// The PNG conformance corpus, written with libpng: every colour type and bit depth, plain and Adam7, each of
// the five filters forced, several odd sizes, with and without gAMA, tRNS and bKGD; and one damaged file per
// error of the reader and per rule it applies to damaged files. libpng also reads the valid files back into
// raw rows, the reference of the conformance test.
#include <cstdint>
#include <string>
#include <vector>

#include "tests/skin_pixels/png_expect.h"
#include "tests/skin_pixels/png_writer.h"

namespace pngcorpus {

// A file of the corpus: its bytes and, for a damaged one, the reader's message ("" when it must load).
struct CorpusFile {
  std::string name;
  std::string bytes;
  bool valid = true;         // written by libpng as it is
  std::string message;       // damaged files: what the reader says ("" = loads)
};

// bKGD and tRNS as libpng read them.
struct Extras {
  bool hasBackground = false;
  uint16_t background[3] = {};  // grey in [0]; palette index in [0]
  bool hasTransparentColor = false;
  uint16_t transparent[3] = {};
  std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image
};

// The valid files (several thousand, small).
std::vector<CorpusFile> ValidFiles();
// The damaged files.
std::vector<CorpusFile> DamagedFiles();

// Reads bytes with libpng into raw rows (no transformation, passes combined); false with libpng's message.
bool ReadWithLibpng(const std::string& bytes, pngtest::RawImage& raw, pngtest::Ancillary& anc, Extras& extras,
                    std::string& error);

}  // namespace pngcorpus
