#include "autex/traitement_chaines.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace autex {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

std::string twoDigits(unsigned v) {
  std::string s = std::to_string(v);
  if (s.size() < 2) s.insert(s.begin(), '0');
  return s;
}
}  // namespace

void SUPPRIMER_ESPACES(std::string& text) {
  Supprimer_espaces_fin(text);
  Supprimer_espaces_debut(text);
}

void Supprimer_espaces_debut(std::string& text) {
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  text.erase(0, i);
}

void Supprimer_espaces_fin(std::string& text) {
  size_t n = text.size();
  while (n > 0 && isBlank(text[n - 1])) --n;
  text.resize(n);
}

void SUPPRIMER_CARACTERE(char c, std::string& text) { text.erase(std::remove(text.begin(), text.end(), c), text.end()); }

void Supprimer_caractere_en_queue(char c, std::string& text) {
  size_t n = text.size();
  while (n > 0 && text[n - 1] == c) --n;
  text.resize(n);
}

void DOUBLER_CARACTERE(std::string& text, char c) {
  if (text.find(c) == std::string::npos) return;
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char x : text) {
    out.push_back(x);
    if (x == c) out.push_back(x);
  }
  text.swap(out);
}

void COMPLETER_CHAINE(std::string& text, char fill, int width, int side) {
  SUPPRIMER_ESPACES(text);
  if (width <= 0 || text.size() >= size_t(width)) return;
  const size_t missing = size_t(width) - text.size();
  if (side == 1)
    text.insert(0, missing, fill);
  else
    text.append(missing, fill);
}

void Completer_espaces(std::string& text, int width) { Completer_caractere(text, ' ', width); }

void Completer_caractere(std::string& text, char fill, int width) {
  if (width > 0 && text.size() < size_t(width)) text.append(size_t(width) - text.size(), fill);
}

void Completer_zeros(std::string& text, int width) { COMPLETER_CHAINE(text, '0', width, 1); }

void Majuscules(std::string& text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
}

void PREMIER_MOT(std::string_view text, std::string& word, int& length) {
  std::string copy(text);
  Supprimer_espaces_debut(copy);
  const size_t space = copy.find(' ');
  word = space == std::string::npos ? copy : copy.substr(0, space);
  length = int(word.size());
}

void DERNIER_MOT(std::string_view text, std::string& word, int& count) {
  std::string copy(text);
  Supprimer_espaces_fin(copy);
  const size_t space = copy.rfind(' ');
  if (space == std::string::npos) {
    word = copy;
    count = int(copy.size());
  } else {
    word = copy.substr(space + 1);
    count = int(space);  // 1-based position of the space, minus 1
  }
}

int NOMBRE_DE_LIGNES(std::string_view text) { return int(std::count(text.begin(), text.end(), '\r')) + 1; }

void LIGNE_NUMERO(std::string& line, std::string_view text, int number) {
  line.clear();
  if (number < 1) return;
  size_t start = 0;
  for (int n = 1;; ++n) {
    const size_t cr = text.find('\r', start);
    if (n == number) {
      line = std::string(text.substr(start, cr == std::string_view::npos ? std::string_view::npos : cr - start));
      return;
    }
    if (cr == std::string_view::npos) return;  // fewer lines than asked
    start = cr + 1;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

void Position_et_nombre_caractere(std::string_view text, char c, int& first, int& count) {
  const size_t p = text.find(c);
  first = p == std::string_view::npos ? 0 : int(p) + 1;
  count = int(std::count(text.begin(), text.end(), c));
}

void POSITION_DERNIER_CARACTERE(std::string_view text, char c, int& position) {
  const size_t p = text.rfind(c);
  position = p == std::string_view::npos ? 0 : int(p) + 1;
}

void Couper_jusqu_au_caractere(std::string_view text, std::string& result, char c, bool& found) {
  const size_t p = text.rfind(c);
  found = p != std::string_view::npos;
  result = std::string(found ? text.substr(p + 1) : text);
}

void COUPER_SI_ADJACENTS(std::string_view text, std::string& result, char first, char second, bool& found) {
  result = std::string(text);
  found = false;
  const size_t p1 = text.rfind(first);
  const size_t p2 = text.rfind(second);
  if (p1 == std::string_view::npos || p2 == std::string_view::npos) return;
  if (p1 + 1 == p2) {
    result.erase(0, p2 + 1);
    found = true;
  }
}

void Apres_dernier_caractere(std::string_view text, char c, std::string& rest, int& position) {
  std::string copy(text);
  Supprimer_espaces_fin(copy);
  const size_t p = copy.rfind(c);
  if (p == std::string::npos) {
    rest.clear();
    position = 0;
  } else {
    rest = copy.substr(p + 1);
    position = int(p);  // 1-based position minus 1
  }
}

void Extraire_avant_separateur(std::string& source, std::string_view separator, std::string& part, int remove,
                               int& length) {
  const size_t p = separator.empty() ? std::string::npos : source.find(separator);
  part = p == std::string::npos ? source : source.substr(0, p);
  length = int(part.size());
  if (remove == 1) source.erase(0, p == std::string::npos ? source.size() : p + separator.size());
}

void Dernier_saut_de_ligne(std::string_view text, int& position, int limit) {
  position = 0;
  const int last = std::min<int64_t>(limit, int64_t(text.size()));
  for (int i = last; i >= 1; --i) {
    if (text[i - 1] == '\r' || text[i - 1] == '\n') {
      position = i;
      return;
    }
  }
}

void Remplacer_sous_chaine(std::string& text, std::string_view old_text, std::string_view new_text, bool& found) {
  found = false;
  const int n = int(old_text.size());
  if (n == 0) return;  // an empty search text matches nothing
  // From the right to the left; text inserted at p may take part in a match that starts before p.
  for (int p = int(text.size()) - n + 1; p >= 1; --p) {
    if (size_t(p - 1) + size_t(n) <= text.size() && text.compare(size_t(p - 1), size_t(n), old_text) == 0) {
      text.replace(size_t(p - 1), size_t(n), new_text);
      found = true;
    }
  }
}

namespace {

// The character at p of a received text as it is shown on one line; n takes the bytes it spans.
std::string caractere_affichable(std::string_view t, size_t p, size_t& n) {
  const auto u = [&](size_t q) { return static_cast<unsigned char>(t[q]); };
  n = 1;
  if (u(p) == 0x85) return "...";
  if (u(p) == 0xE2 && p + 2 < t.size() && u(p + 1) == 0x80 && (u(p + 2) == 0xA8 || u(p + 2) == 0xA9)) {
    n = 3;
    return "?";
  }
  return std::string(1, u(p) < 32 || u(p) == 127 ? '?' : t[p]);
}

}  // namespace

std::string Nom_affichable(std::string_view name) {
  std::string shown;
  shown.reserve(name.size());
  for (size_t p = 0, n = 1; p < name.size(); p += n) shown += caractere_affichable(name, p, n);
  return shown;
}

std::string Message_affichable(std::string_view texte) {
  std::string vu;
  vu.reserve(texte.size() + 8);
  for (size_t p = 0, n = 1; p < texte.size(); p += n) {
    const char c = texte[p];
    if (c == '\r' || c == '\n') {
      n = c == '\r' && p + 1 < texte.size() && texte[p + 1] == '\n' ? 2 : 1;
      vu += "\r\n  ";
    } else {
      vu += caractere_affichable(texte, p, n);
    }
  }
  return vu;
}

bool Est_chiffre(char c) { return c >= '0' && c <= '9'; }

bool CHAINE_NUMERIQUE(std::string_view text) { return std::all_of(text.begin(), text.end(), Est_chiffre); }

void ENTIER_VERS_CHAINE(int64_t value, std::string& text) { text = std::to_string(value); }

int32_t Chaine_vers_entier_long(std::string_view input) {
  std::string text(input);
  SUPPRIMER_ESPACES(text);
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return 0;
  uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return 0;
    v = v * (hex ? 16 : 10) + uint64_t(digit);
    if (v > 0xFFFFFFFFull) return 0;
  }
  if (hex) {
    const uint32_t bits = uint32_t(v);
    return negative ? int32_t(0u - bits) : int32_t(bits);
  }
  if (negative) return v <= 2147483648ull ? int32_t(-int64_t(v)) : 0;
  return v <= 2147483647ull ? int32_t(v) : 0;
}

void ENTIER_VERS_TROIS_OCTETS(int64_t value, std::string& text) {
  const uint64_t v = uint64_t(value);
  text.assign(3, '\0');
  text[0] = char((v >> 16) & 0xFF);
  text[1] = char((v >> 8) & 0xFF);
  text[2] = char(v & 0xFF);
}

int32_t Trois_octets_vers_entier(std::string_view text) {
  auto byte = [&](size_t i) -> int32_t { return i < text.size() ? int32_t(uint8_t(text[i])) : 0; };
  return (byte(0) << 16) | (byte(1) << 8) | byte(2);
}

void COMPRESSER_CHAINE(std::string_view text, std::string& compressed) {
  z_stream zs{};
  compressed.clear();
  if (deflateInit(&zs, Z_DEFAULT_COMPRESSION) != Z_OK) return;
  std::vector<unsigned char> buffer(1 << 16);
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  int status = Z_OK;
  size_t remaining = text.size();
  do {
    // avail_in is 32-bit: feed very long texts in slices.
    const uInt slice = uInt(std::min<size_t>(remaining, 1u << 30));
    zs.avail_in = slice;
    remaining -= slice;
    const int flush = remaining == 0 ? Z_FINISH : Z_NO_FLUSH;
    do {
      zs.next_out = buffer.data();
      zs.avail_out = uInt(buffer.size());
      status = deflate(&zs, flush);
      compressed.append(reinterpret_cast<char*>(buffer.data()), buffer.size() - zs.avail_out);
    } while (zs.avail_out == 0);
  } while (remaining > 0);
  deflateEnd(&zs);
  if (status != Z_STREAM_END) compressed.clear();
}

bool DECOMPRESSER_CHAINE(std::string_view compressed, std::string& text) {
  return DECOMPRESSER_BORNE(compressed, text, TAILLE_MAX_DECOMPRESSION) == Decompression::Faite;
}

Decompression DECOMPRESSER_BORNE(std::string_view compressed, std::string& text, size_t limite) {
  text.clear();
  if (compressed.empty()) return Decompression::Faite;
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) return Decompression::Corrompue;
  // The working buffer of one chunk: at most 500,000 bytes.
  const size_t chunk = std::min<size_t>(compressed.size(), 500000);
  std::vector<unsigned char> buffer(std::max<size_t>(chunk, 4096));
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  zs.avail_in = uInt(std::min<size_t>(compressed.size(), 0xFFFFFFFFu));
  int status = Z_OK;
  Decompression resultat = Decompression::Faite;
  while (status != Z_STREAM_END) {
    zs.next_out = buffer.data();
    zs.avail_out = uInt(buffer.size());
    status = inflate(&zs, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END) {
      resultat = Decompression::Corrompue;  // corrupt data, or a stream that ends before its end (Z_BUF_ERROR)
      break;
    }
    const size_t produced = buffer.size() - zs.avail_out;
    if (text.size() + produced > limite) {
      resultat = Decompression::Trop_grande;
      break;
    }
    text.append(reinterpret_cast<char*>(buffer.data()), produced);
  }
  // The stream ended before the bytes did.
  if (resultat == Decompression::Faite && zs.avail_in > 0) resultat = Decompression::Suivie_de_donnees;
  inflateEnd(&zs);
  if (resultat != Decompression::Faite) text.clear();
  return resultat;
}

void Horodatage::LIRE_HEURE_UTC() {
  Heure_UTC = clock_->utcTime();
  Date_heure_UTC = platform::oleDateFromSystemTime(Heure_UTC);
}

std::string Horodatage::HORODATAGE_UTC() {
  LIRE_HEURE_UTC();
  const auto& t = Heure_UTC;
  return std::string(" ").append(std::to_string(t.wYear)) + "-" + twoDigits(t.wMonth) + "-" + twoDigits(t.wDay) + " " +
         twoDigits(t.wHour) + "h" + twoDigits(t.wMinute) + "m" + twoDigits(t.wSecond) + "s";
}

std::string Horodatage::HORODATAGE_LOCAL() {
  Heure_locale = clock_->localTime();
  const auto& t = Heure_locale;
  const std::string time = twoDigits(t.wHour) + ":" + twoDigits(t.wMinute) + ":" + twoDigits(t.wSecond);
  std::string year = std::to_string(t.wYear);
  year.erase(0, std::min<size_t>(2, year.size()));
  const std::string date = Date_mois_en_tete == 1
                               ? twoDigits(t.wMonth) + "/" + twoDigits(t.wDay) + "/" + year
                               : twoDigits(t.wDay) + "/" + twoDigits(t.wMonth) + "/" + year;
  return date + " " + time;
}

}  // namespace autex
