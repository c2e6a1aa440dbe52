#pragma once
// LANGUES: the interface language and the chooser that turns an (English, French) pair into the text to show.
#include <cstdint>
#include <string>
#include <string_view>

namespace autex {

constexpr uint8_t LANGUE_ANGLAIS = 1;
constexpr uint8_t LANGUE_FRANCAIS = 2;

class Langues {
 public:
  // 1 = English (the value until the parameters are read), 2 = French.
  uint8_t Langue = LANGUE_ANGLAIS;

  // The English text when Langue is 1, the French text when it is 2, an empty text otherwise.
  std::string TRADUCTION(std::string_view english, std::string_view french) const {
    if (Langue == LANGUE_ANGLAIS) return std::string(english);
    if (Langue == LANGUE_FRANCAIS) return std::string(french);
    return std::string();
  }
};

}  // namespace autex
