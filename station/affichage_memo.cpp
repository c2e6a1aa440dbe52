#include "station/affichage_memo.h"

namespace station {

void Ajoute_texte_memo(std::string& memo, std::string_view texte, const std::function<void(char)>& parole) {
  for (const char ch : texte) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == 8) {
      if (!memo.empty()) memo.pop_back();
    } else if (c >= 32 || c == 13) {
      memo.push_back(ch);
      if (c == 13) memo.push_back('\n');
      if (parole) parole(ch);
    }
  }
}

void Limite_memo(std::string& memo) {
  if (memo.size() >= LIMITE_MEMO) memo.erase(0, memo.size() - RESTE_MEMO);
}

}  // namespace station
