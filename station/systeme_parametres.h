#pragma once
// What the parameter image asks of the operating system: its default language and the screen size.
#include <cstdint>

#include "station/table_parametres.h"

namespace station {

// The system's default language identifier (GetSystemDefaultLangID on Windows: 1036 is French (France),
// 2060 French (Belgium), 3084 French (Canada), 1033 English (United States)). Elsewhere it is derived from
// the locale variables LC_ALL, LC_MESSAGES and LANG, in that order; 0 when none names a language.
uint16_t Identifiant_langue_systeme();

// The primary screen's width and height in pixels. Where there is no screen (the native build), a
// 1024 x 768 screen.
Taille_ecran Taille_ecran_systeme();

// The language identifier of a locale name such as "fr_BE.UTF-8" (the portable side's rule): French by its
// country (1036 for France and for French with no or another country), 1033 for English, 1024 (neutral)
// for another language; 0 for an empty name, "C" or "POSIX".
uint16_t Identifiant_langue_locale(const char* locale);

}  // namespace station
