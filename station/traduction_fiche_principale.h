#pragma once
// The captions and hints of the main window in English and in French, in the order in which
// Traduit_fiche_principale gives them to the window. The window walks the table: for each row, the text
// chosen by TRADUCTION (followed by the row's suffix) goes to the named component's caption or hint.
#include <span>
#include <string>
#include <string_view>

#include "autex/langues.h"

namespace station {

enum class Propriete { Caption, Hint };

struct Ligne_traduction {
  std::string_view composant;  // the main window's component, by its name
  Propriete propriete;
  std::string_view anglais;
  std::string_view francais;
  std::string_view suffixe;  // appended in both languages (":" after two labels)
};

// The 67 rows, in order.
std::span<const Ligne_traduction> Table_traduction_fiche_principale();

// The text of a row: TRADUCTION's choice in the chooser's language, then the row's suffix.
std::string Texte_traduit(const Ligne_traduction& ligne, const autex::Langues& langues);

// The row of a component's caption or hint; nullptr when the table has none.
const Ligne_traduction* Cherche_traduction(std::string_view composant, Propriete propriete);

// Texts that Applique_langue sets besides the table: the two language menu items (the same in both
// languages) and the information line when no serial port is selected.
inline constexpr std::string_view LIBELLE_ENGLISH1 = "English";
inline constexpr std::string_view LIBELLE_FRANCAIS1 = "Fran\xE7" "ais";
inline constexpr std::string_view AUCUN_PORT_ANGLAIS = "No selected serial port.";
inline constexpr std::string_view AUCUN_PORT_FRANCAIS = "Pas de port s\xE9rie s\xE9lectionn\xE9.";

}  // namespace station
