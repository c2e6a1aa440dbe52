// Arbitrary bytes as a received compressed file: decompression must fail cleanly or give a bounded text,
// and whatever it gives must compress and decompress back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "autex/traitement_chaines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::string text;
  if (!autex::DECOMPRESSER_CHAINE(input, text)) {
    if (!text.empty()) std::abort();
    return 0;
  }
  if (text.size() > autex::TAILLE_MAX_DECOMPRESSION) std::abort();
  std::string packed, back;
  autex::COMPRESSER_CHAINE(text, packed);
  if (!autex::DECOMPRESSER_CHAINE(packed, back) || back != text) std::abort();
  return 0;
}
