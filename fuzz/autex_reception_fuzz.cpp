// Arbitrary received bytes through the AUTEX receive path of every role: a link listener, a calling link
// Master, a link Master and a link user in session, a user attempting to connect, meeting users and Masters
// of 4, 7 and 13 participants. The bytes arrive in chunks between supervisor ticks on a simulated clock; after
// every tick each flag of the station must still be 0 or 1 and each header bit '0' or '1'.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "autex/traduction_autex.h"
#include "platform/clock.h"
#include "tests/autex_sim/vue_test.h"

namespace {

class Hote final : public autexsim::VueMuette {
 public:
  autex::Autex* autex = nullptr;
  // The paced writer sends the whole queue at once.
  void Emission_cadencee() override {
    ecrits += uint32_t(file.size());
    file.clear();
  }
  void Choix_vitesse_AUTEX(uint16_t v) override {
    autex->Vitesse_AUTEX = v;
    autex->GESTION_PRELIMINAIRE_AUTEX();
    autex->INITIALISATION_PARAMETRES_RX_AUTEX();
  }
};

// Each input gets a fresh station: its AUTEX object and its main window as the AUTEX side sees it.
struct Station {
  platform::SimulatedClock& horloge;
  autex::Langues langues;
  autex::Horodatage horodatage{horloge};
  Hote hote;
  autex::Autex a{langues, horodatage, horloge, hote};
  explicit Station(platform::SimulatedClock& h) : horloge(h) { hote.autex = &a; }
};

// The checks themselves are not fuzzed: their comparisons would only slow the fuzzer down with features that
// say nothing about the receive path.
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
void verifie(const autex::Autex& a) {
  const uint8_t drapeaux[] = {a.SESSION_EN_COURS, a.MAITRE_APPELLE, a.CQ_REUNION_ACTIF, a.UTILISATEUR_CONNECTE,
                              a.DEMANDE_CONNEXION, a.DEMANDE_CONNEXION_REUNION, a.TENTATIVE_EN_COURS,
                              a.CONNEXION_CONDITIONNELLE, a.FIN_LIEN_EN_COURS, a.FIN_REUNION_EN_COURS,
                              a.ATTENTE_REPONSE, a.MODE_AUTEX, a.EMISSION_EN_COURS, a.STATION_MAITRE, a.DP_TROUVE,
                              a.DP_RETROUVE, a.CAPTURE_BLOC, a.DP_VERIFIE, a.RECEPTION_TERMINEE,
                              a.ECOUTE_HORS_SESSION, a.BLOC_TERMINE, a.BLOC_DECODE, a.NOUVEAU_TEXTE,
                              a.NOUVEAU_TEXTE_REUNION, a.ACQUITTEMENT_ATTENDU, a.ABANDON_LIEN, a.REPONSE_DUE_MAITRE,
                              a.REPONSE_DUE_UTILISATEUR, a.REPETITION_DEMANDEE, a.FIN_A_EMETTRE_MAITRE,
                              a.FIN_A_EMETTRE_UTILISATEUR, a.FIN_REUNION_A_EMETTRE, a.FIN_REUNION_DEMANDEE,
                              a.ATTENTE_FENETRE, a.PERTE_UTILISATEUR, a.TOUS_REPONDU, a.ACQUITTEMENT_PERSONNEL,
                              a.TEXTE_EN_ATTENTE};
  for (const uint8_t d : drapeaux)
    if (d > 1) std::abort();
  for (int s = 0; s < autex::NOMBRE_SLOTS; ++s) {
    const size_t i = size_t(s);
    const uint8_t par_slot[] = {a.CONNECTE_SLOT[i], a.TENTATIVE_SLOT[i], a.SLOT_LIBRE[i], a.REPONSE_RECUE_SLOT[i],
                                a.REPONDU_SLOT[i], a.TRAME_EN_ATTENTE[i], a.SLOT_PERDU[i], a.FIN_SLOT_DEMANDEE[i],
                                a.FIN_LIEN_SLOT[i], a.CQ_RECU_SLOT[i], a.DP_TROUVE_SLOT[i], a.DP_RETROUVE_SLOT[i],
                                a.CAPTURE_BLOC_SLOT[i], a.MESSAGE_EN_SERVICE[i], a.MESSAGE_ACQUITTE[i],
                                a.RELAIS_2_OCCUPE[i], a.SECOND_MESSAGE[i], a.SLOT_ACTIF[i], a.NOUVELLE_TRAME_SLOT[i],
                                a.CONTEXTES[i].BLOC_COMPLET, a.CONTEXTES[i].BLOC_EN_RECEPTION_2,
                                a.CONTEXTES[i].BLOC_VIDE_ATTENDU, a.FIN_DEMANDEE_PAR_SLOT[i]};
    for (const uint8_t d : par_slot)
      if (d > 1) std::abort();
    const char bits[] = {a.BA_TX[i], a.BE_TX[i], a.BM_TX[i], a.BN_TX[i], a.BP_TX[i], a.KD1_TX[i], a.KD2_TX[i],
                         a.KD3_TX[i], a.B_EMIS[i], a.BN_MEMORISE[i], a.BP_MEMORISE[i], a.KD1_RECU[i],
                         a.KD1_PRECEDENT[i], a.KD1_S_RECU[i], a.BN_STOCKE[i], a.KD1_MESSAGE[i]};
    for (const char b : bits)
      if (b != '0' && b != '1') std::abort();
    if (a.CONTEXTES[i].NB_ECHECS > 3) std::abort();
    for (const auto& ligne : a.ACQUITTEMENT_MANQUANT)
      if (ligne[i] > 1) std::abort();
  }
  if (a.S_COURANT > autex::NOMBRE_SLOTS - 1 || a.INDEX_CANAL > 15) std::abort();
}

// Puts a station in one of the roles.
void role(Station& s, int r, uint16_t vitesse) {
  auto& a = s.a;
  static const uint8_t tailles[] = {2, 2, 2, 2, 2, 4, 7, 4, 13, 13, 7};
  a.NOMBRE_PARTICIPANTS = tailles[r];
  a.Vitesse_AUTEX = vitesse;
  s.hote.Fixe_texte(autex::NomElement::Edit_INDICATIF, r == 3 || r == 4 ? "F2BBB" : "F1AAA");
  a.PREMIERE_ACTIVATION = 1;
  a.GESTION_PRELIMINAIRE_AUTEX();
  const bool maitre = r == 1 || r == 2 || r == 7 || r == 8;
  a.STATION_MAITRE = maitre ? 1 : 0;
  a.INDICATIF_PROPRE = "F1AAA";
  a.INDICATIF_MAITRE = "F1AAA";
  a.INDICATIF_CONNEXION = "F2BBB";
  a.INDICATIFS_CORRESPONDANTS[0] = "F2BBB";
  a.INDICATIFS_CORRESPONDANTS[1] = "F2BBB";
  a.TEXTE_CQ = "CQ meeting DE F1AAA\r";
  a.NUMERO_SLOT = 1;
  switch (r) {
    case 1: a.MAITRE_APPELLE = 1; break;
    case 2: a.SESSION_EN_COURS = 1; break;
    case 3: a.SESSION_EN_COURS = 1; break;
    case 4: a.TENTATIVE_EN_COURS = 1; break;
    case 6: a.SESSION_EN_COURS = 1; a.NUMERO_SLOT = 3; break;
    case 7: a.CONNECTE_SLOT[1] = 1; break;
    case 8: a.CQ_REUNION_ACTIF = 1; break;
    case 9: a.TENTATIVE_EN_COURS = 1; a.NUMERO_SLOT = 12; break;
    case 10: a.SESSION_EN_COURS = 1; a.NUMERO_SLOT = 6; a.CONNEXION_CONDITIONNELLE = 1; break;
    default: break;
  }
  a.INITIALISATION_PARAMETRES_RX_AUTEX();
  a.REINIT_EMISSION();
  if (maitre && a.NOMBRE_PARTICIPANTS >= 4) a.BILAN_CONNEXIONS();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const uint16_t vitesses[] = {1200, 400, 171};
  const uint16_t vitesse = vitesses[data[0] % 3];
  const int r = data[1] % 11;
  platform::SimulatedClock horloge(0xFFFFFFFFu - (uint32_t(data[0]) << 10));
  Station s(horloge);
  role(s, r, vitesse);
  verifie(s.a);
  size_t p = 2;
  while (p < size) {
    // A chunk of bytes, then the time until the next tick.
    const size_t n = std::min<size_t>(size - p, size_t(data[p] % 48) + 1);
    const uint32_t attente = uint32_t(data[p]) * 37 % 1200;
    s.hote.tampon.append(reinterpret_cast<const char*>(data + p), n);
    p += n;
    s.a.SUPERVISION_AUTEX();
    verifie(s.a);
    horloge.advance(attente + 1);
    s.a.SUPERVISION_AUTEX();
    verifie(s.a);
  }
  // Long silence: every time-out runs (70 s, in steps no longer than the shortest of them).
  for (int k = 0; k < 14; ++k) {
    horloge.advance(5000);
    s.a.SUPERVISION_AUTEX();
    verifie(s.a);
  }
  return 0;
}
