// Arbitrary received bit strings for the varicode decoder, and arbitrary texts through packing and back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "autex/mathematiques.h"
#include "autex/varicode_autex.h"

using namespace autex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  // 1. The input as received bits: its bytes as they are (any character), or one bit per byte.
  std::string bits = input;
  if (size > 0 && (data[0] & 1) == 0)
    for (char& b : bits) b = (static_cast<unsigned char>(b) & 2) ? '1' : '0';
  std::string text;
  DECODAGE_VARICODE(bits, text);
  if (text.size() > bits.size() / 3 + 1) std::abort();  // every code takes at least 3 bits
  // What was decoded packs and decodes to itself.
  std::string again = text;
  PACKER_VARICODE(again);
  std::string back;
  DECODAGE_VARICODE(TEXTE_VERS_BINAIRE(again), back);
  if (back != text) std::abort();

  // 2. The input as a text: packing and unpacking give it back, and the measure never overstates.
  std::string packed = input;
  PACKER_VARICODE(packed);
  DECODAGE_VARICODE(TEXTE_VERS_BINAIRE(packed), back);
  if (back != input) std::abort();
  int count = 0;
  bool pack = false;
  MESURE_VARICODE(input, 32, count, pack);
  if (count < 0 || size_t(count) > input.size()) std::abort();
  std::string prefix = input.substr(0, size_t(count));
  PACKER_VARICODE(prefix);
  if (prefix.size() > 32) std::abort();
  return 0;
}
