// Arbitrary received words for the RS(63,47) decoder, and arbitrary received blocks for the block correction.
// A word is accepted only as a code word within 8 symbols of what was received; a code word with at most 8
// symbol errors put in by the input must come back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "autex/reed_solomon_autex_rx_tx.h"
#include "autex/trames_autex.h"

using namespace autex;

namespace {

// Syndromes by plain evaluation (not the decoder's tables).
bool isCodeword(const Mot_RS& w) {
  for (uint8_t v : w)
    if (v > 63) return false;
  for (int i = 0; i < RS_PARITE; ++i)
    if (RS_EVALUER(w, TABLES_GF64.alpha_to[RS_B0 + i]) != 0) return false;
  return true;
}

int distance(const Mot_RS& a, const Mot_RS& b) {
  int d = 0;
  for (int i = 0; i < RS_N; ++i) d += a[i] != b[i];
  return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < size_t(RS_N)) return 0;
  const uint8_t mode = size > size_t(RS_N) ? data[RS_N] : 0;
  REED_SOLOMON_AUTEX_RX_TX rs;

  // 1. The first 63 bytes as a received word: as they are (symbols above 63 included) or cut to 6 bits.
  Mot_RS w;
  for (int i = 0; i < RS_N; ++i) w[i] = (mode & 1) ? data[i] : uint8_t(data[i] & 63);
  Mot_RS out{};
  const int n = rs.RS_DECODER(w, out);
  if (n >= 0) {
    if (n > RS_T || !isCodeword(out) || distance(out, w) != n) std::abort();
  } else if (isCodeword(w)) {
    std::abort();  // a code word is always taken
  }

  // 2. The first 47 symbols as data, encoded, then up to 8 symbol errors from the following bytes.
  Donnees_RS d;
  for (int i = 0; i < RS_K; ++i) d[i] = uint8_t(data[i] & 63);
  const Mot_RS c = rs.RS_ENCODER(d);
  Mot_RS r = c;
  size_t k = RS_N + 1;
  for (int e = 0; e < RS_T && k + 1 < size; ++e, k += 2) r[data[k] % RS_N] ^= uint8_t(data[k + 1] & 63);
  if (rs.RS_DECODER(r, out) < 0 || out != c) std::abort();

  // 3. The rest as the bits of a received block.
  std::string bits;
  for (size_t i = RS_N + 1; i < size && bits.size() < 400; ++i) bits += (data[i] & 1) ? '1' : '0';
  std::string donnees;
  int corrections = -1;
  if (CORRIGER_BLOC_RS(rs, bits, donnees, &corrections)) {
    if (donnees.size() != size_t(BITS_DONNEES_BLOC) || corrections < 0 || corrections > RS_T) std::abort();
  }
  return 0;
}
