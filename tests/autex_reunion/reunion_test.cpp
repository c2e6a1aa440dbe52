// AUTEX meetings on the simulated air: users enter the slots the Master offers, each message is relayed by the
// Master to every other user and acknowledged by all, a silent user is dropped, a user leaves and another
// enters, the end of the meeting leaves every station idle, and noise neither doubles nor corrupts a message.
// Meetings of 4, 7 and 13 participants.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <regex>

#include "tests/autex_reunion/outils_reunion.h"

using namespace autexsim;
using enum autex::NomElement;

namespace {

// What every station's windows must show: for each (viewer, participant window), from where the window stood
// when the viewer entered the meeting (a listener already shows what it heard), the messages in order.
struct Fenetre {
  size_t debut = 0;
  std::vector<std::string> messages;
};
struct Attendus {
  std::map<std::pair<const Station*, int>, Fenetre> fenetres;
  int messages = 0;
  int livraisons = 0;
};

// The participants in the meeting now: 0 the Master, then the slots whose user is connected.
std::vector<int> PRESENTS(const Reunion& r) {
  std::vector<int> p{0};
  for (int s = 1; s < r.P; ++s)
    if (r.m->autex.CONNECTE_SLOT[size_t(s)] == 1) p.push_back(s);
  return p;
}

Station* STATION_DU_SLOT(const Reunion& r, int slot) {
  if (slot == 0) return r.m;
  for (Station* s : r.u)
    if (s->connectee() && s->autex.NUMERO_SLOT == slot) return s;
  return nullptr;
}

// Every participant present sends `n` messages; each is expected in its window at every participant present
// (its own window at the sender, once every other one has acknowledged it).
void ENVOIE(Reunion& r, Attendus& a, int n, int premier) {
  const std::vector<int> presents = PRESENTS(r);
  for (int i = premier; i < premier + n; ++i)
    for (const int p : presents) {
      Station* s = STATION_DU_SLOT(r, p);
      ASSERT_NE(s, nullptr) << "slot " << p;
      const std::string t = MESSAGE_DE(p == 0 ? std::string("M") : std::string("S").append(std::to_string(p)), i);
      ASSERT_TRUE(s->Envoie(t));
      ++a.messages;
      for (const int q : presents) {
        const Station* vue = STATION_DU_SLOT(r, q);
        auto [it, nouvelle] = a.fenetres.try_emplace({vue, p});
        if (nouvelle) it->second.debut = vue->texte_fenetre(p).size();
        it->second.messages.push_back(t);
        ++a.livraisons;
      }
    }
}

std::string VU(const std::pair<const Station*, int>& cle, const Fenetre& f) {
  const std::string& t = cle.first->texte_fenetre(cle.second);
  if (f.debut > t.size()) return std::string();
  std::string vu = t.substr(f.debut);
  // A message whose start a listener heard, and not its end, ends with the error word once the next one starts.
  const std::string erreur = "...error\r\n";
  if (f.debut > 0 && t[f.debut - 1] != '\n' && vu.rfind(erreur, 0) == 0) vu.erase(0, erreur.size());
  return vu;
}

void MANQUANTS(const Attendus& a) {
  for (const auto& [cle, f] : a.fenetres)
    for (const std::string& t : f.messages)
      if (VU(cle, f).find(t) == std::string::npos)
        std::printf("  %s window %d lacks \"%s\" (info: %s) shows [%s]\n", cle.first->indicatif.c_str(), cle.second, t.c_str(),
                    cle.first->info().c_str(), cle.first->texte_fenetre(cle.second).c_str());
}

// With TRACE_REUNION set, the protocol traces of every station (to study a failure).
void TRACES(const Reunion& r) {
  if (!getenv("TRACE_REUNION")) return;
  for (const auto& st : r.sim.stations) {
    const std::string& tr = st->autex.TRACE_AUTEX;
    std::printf("===== %s\n", st->indicatif.c_str());
    std::fwrite(tr.data(), 1, tr.size(), stdout);
  }
}

bool LIVRE(const Attendus& a) {
  for (const auto& [cle, f] : a.fenetres)
    if (!TOUS_MONTRES(VU(cle, f), f.messages)) return false;
  return true;
}

void VERIFIE_FENETRES(const Attendus& a) {
  for (const auto& [cle, f] : a.fenetres)
    EXPECT_TRUE(MONTRE_EXACTEMENT(VU(cle, f), f.messages)) << cle.first->indicatif << " window " << cle.second;
}

bool INACTIVE(const Station& s) {
  const auto& x = s.autex;
  return x.SESSION_EN_COURS == 0 && x.STATION_MAITRE == 0 && x.MODE_AUTEX == 1 && x.EMISSION_EN_COURS == 0 &&
         x.TENTATIVE_EN_COURS == 0 && x.DEMANDE_CONNEXION == 0 && x.MAITRE_APPELLE == 0 && x.CQ_REUNION_ACTIF == 0 &&
         x.UTILISATEUR_CONNECTE == 0 && s.etat_liaison() == "Disconnected" && s.Actif(LANCEMENT_REUNION);
}

struct Cas {
  int participants;
  int vitesse;
  uint16_t port;
  uint32_t tick;
};

std::string NOM(const Cas& c) {
  return std::to_string(c.participants) + " participants, " + std::to_string(c.vitesse) + " bauds, port " +
         std::to_string(c.port) + ", tick " + std::to_string(c.tick) + " ms";
}

// The whole life of a meeting: every slot filled, messages of everyone, a silent user dropped, a user leaving
// and another entering its slot, more messages, then the end.
void SCENARIO(const Cas& c, uint64_t graine, Bruit bruit = Bruit()) {
  SCOPED_TRACE(NOM(c));
  const int N = c.participants - 1;
  // The users of every slot and two more stations: one enters where a user left, one stays a listener.
  Reunion r(c.participants, uint16_t(c.vitesse), graine, bruit, c.tick, c.port, N + 1);
  Station& m = *r.m;
  if (getenv("TRACE_REUNION"))
    for (const auto& st : r.sim.stations) st->autex.TRACE_ACTIVE = 1;
  m.Lance_reunion();
  EXPECT_TRUE(m.a_vu("Connection attempt..."));
  Attendus a;
  // 1. The users enter their slots one after the other.
  for (int s = 1; s <= N; ++s) {
    const uint64_t t0 = r.ms();
    if (!ENTRE(r, *r.u[size_t(s - 1)], s)) {
      TRACES(r);
      FAIL() << "slot " << s << ": " << r.u[size_t(s - 1)]->info();
    }
    std::printf("[ %s ] S%d in after %.1f s\n", NOM(c).c_str(), s, double(r.ms() - t0) / 1000.0);
    EXPECT_TRUE(m.a_vu("Connected to S" + std::to_string(s)));
    EXPECT_TRUE(r.u[size_t(s - 1)]->a_vu("Connection confirmed"));
  }
  std::string etat = "Connected to S";
  for (int s = 1; s <= N; ++s) etat += std::to_string(s) + " ";
  EXPECT_EQ(m.etat_liaison(), etat);
  // Nobody dropped meanwhile.
  for (int s = 1; s <= N; ++s) EXPECT_TRUE(r.u[size_t(s - 1)]->connectee()) << "S" << s;

  // 2. Messages of every participant, relayed to all and acknowledged by all.
  const uint64_t t_messages = r.ms();
  ENVOIE(r, a, 3, 0);
  if (!r.sim.avance_jusqu_a([&] { return LIVRE(a); }, 1200000)) {
    MANQUANTS(a);
    TRACES(r);
    FAIL() << "messages not delivered";
  }
  std::printf("[ %s ] %d messages, %d deliveries in %.1f s\n", NOM(c).c_str(), a.messages, a.livraisons,
              double(r.ms() - t_messages) / 1000.0);
  r.sim.avance(20000);
  VERIFIE_FENETRES(a);
  EXPECT_TRUE(m.a_vu("Acknowledgment received for my message"));
  for (int s = 1; s <= N; ++s) EXPECT_TRUE(m.a_vu("Acknowledgment received for S" + std::to_string(s)));
  for (Station* s : r.u)
    if (s->connectee()) {
      EXPECT_TRUE(s->a_vu("Complete message acknowledgment received")) << s->indicatif;
    }

  // 3. The user of the last slot falls silent: dropped after more missed cycles than the limit.
  Station& muet = *r.u[size_t(N - 1)];
  muet.module.hors_antenne = true;
  const uint64_t t_muet = r.ms();
  ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.autex.CONNECTE_SLOT[size_t(N)] == 0; }, 600000));
  std::printf("[ %s ] silent S%d dropped after %.1f s\n", NOM(c).c_str(), N, double(r.ms() - t_muet) / 1000.0);
  const int limite = N - 1 > 1 ? 2 : 5;
  EXPECT_EQ(m.autex.LIMITE_MANQUES, limite);
  for (int k = 1; k <= limite; ++k)
    EXPECT_TRUE(m.a_vu("No reception of S" + std::to_string(N) + " (" + std::to_string(k) + ")"));
  EXPECT_TRUE(m.a_vu("No reception of S" + std::to_string(N) + " (" + std::to_string(limite + 1) + ")"));
  EXPECT_FALSE(m.a_vu("No reception of S" + std::to_string(N) + " (" + std::to_string(limite + 2) + ")"));
  EXPECT_TRUE(m.a_vu("Disconnection of " + muet.indicatif + " (too much difficult QSO)"));
  EXPECT_TRUE(m.a_vu("End of link considered after 3 retries, with S" + std::to_string(N)));
  // The others stay in, and the silent user, cut off, loses the Master and goes idle.
  for (int s = 1; s < N; ++s) EXPECT_TRUE(r.u[size_t(s - 1)]->connectee()) << "S" << s;
  ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return !muet.connectee(); }, 120000));
  EXPECT_TRUE(muet.a_vu("End of meeting by loss of the Master"));
  // What the dropped user was to be shown no longer counts; what others showed of it stays.
  for (auto it = a.fenetres.begin(); it != a.fenetres.end();)
    it = it->first.first == &muet ? a.fenetres.erase(it) : std::next(it);

  // 4. The user of slot 1 leaves; a new station enters slot 1, and one enters the freed last slot.
  Station& partant = *r.u[0];
  partant.Sort(1);
  EXPECT_TRUE(partant.a_vu("End of link required by me"));
  ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return !partant.connectee(); }, 120000));
  EXPECT_TRUE(partant.a_vu("End of link request sent by me"));
  EXPECT_TRUE(partant.a_vu("End of link accepted"));
  EXPECT_TRUE(m.a_vu("End of link required by S1"));
  EXPECT_TRUE(m.a_vu("End of link acknowledgment sent to " + partant.indicatif));
  ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.autex.CONNECTE_SLOT[1] == 0; }, 60000));
  EXPECT_TRUE(m.a_vu("End of link completed, with S1"));
  EXPECT_TRUE(INACTIVE(partant));
  for (auto it = a.fenetres.begin(); it != a.fenetres.end();)
    it = it->first.first == &partant ? a.fenetres.erase(it) : std::next(it);
  Station& nouveau = *r.u[size_t(N)];
  ASSERT_TRUE(ENTRE(r, nouveau, 1)) << nouveau.info();
  ASSERT_TRUE(ENTRE(r, partant, N)) << partant.info();
  EXPECT_EQ(m.Texte({Indicatif, 1}), nouveau.indicatif);
  EXPECT_EQ(m.Texte({Indicatif, N}), partant.indicatif);

  // 5. Messages again, among the new company.
  ENVOIE(r, a, 2, 10);
  if (!r.sim.avance_jusqu_a([&] { return LIVRE(a); }, 1200000)) {
    MANQUANTS(a);
    FAIL() << "messages not delivered";
  }
  r.sim.avance(20000);
  VERIFIE_FENETRES(a);
  std::printf("[ %s ] %d messages, %d deliveries in all, %.1f s simulated, %llu collisions\n", NOM(c).c_str(),
              a.messages, a.livraisons, double(r.ms()) / 1000.0, (unsigned long long)r.sim.collisions);

  // 6. The end of the meeting: every user acknowledges the end of its link, every station goes idle.
  m.Fin_reunion();
  ASSERT_TRUE(r.sim.avance_jusqu_a(
      [&] {
        for (const Station* s : r.u)
          if (!INACTIVE(*s)) return false;
        return INACTIVE(m);
      },
      300000));
  EXPECT_TRUE(m.a_vu("End of meeting information sent by me"));
  for (Station* s : r.u) {
    if (s == &muet) continue;
    EXPECT_TRUE(s->a_vu("End of link required by the Master")) << s->indicatif;
    EXPECT_TRUE(s->a_vu("End of link acknowledgment sent to the Master")) << s->indicatif;
  }
  // Nothing more goes on the air.
  uint32_t transmissions = 0;
  for (const auto& s : r.sim.stations) transmissions += s->transmissions;
  r.sim.avance(60000);
  uint32_t apres = 0;
  for (const auto& s : r.sim.stations) apres += s->transmissions;
  EXPECT_EQ(apres, transmissions);
  VERIFIE_FENETRES(a);
}

}  // namespace

TEST(Reunion4, EnterRelayAcknowledgeDropLeaveEnterEnd) {
  const Cas cas[] = {{4, 1200, 1200, 1}, {4, 1200, 9600, 16}, {4, 1200, 1200, 16}, {4, 400, 9600, 16},
                     {4, 400, 9600, 1},  {4, 171, 9600, 1},   {4, 171, 9600, 16}};
  uint64_t graine = 400;
  for (const Cas& c : cas) {
    ++graine;
    if (getenv("CAS") && std::to_string(c.vitesse) + "/" + std::to_string(c.port) + "/" + std::to_string(c.tick) != getenv("CAS")) continue;
    SCENARIO(c, graine);
  }
}

TEST(Reunion7, EnterRelayAcknowledgeDropLeaveEnterEnd) {
  // Users of slots 1 to 3 answer 1 s apart, as in a meeting of 4: at 400 and 171 bauds an answer with its text
  // is on the air longer than that at the 120 bytes a second of a 1200-baud line, so those speeds run on a
  // 9600-baud line.
  const Cas cas[] = {{7, 1200, 1200, 1}, {7, 1200, 9600, 16}, {7, 400, 9600, 1}, {7, 400, 9600, 16},
                     {7, 171, 9600, 1}};
  uint64_t graine = 700;
  for (const Cas& c : cas) {
    ++graine;
    if (getenv("CAS") && std::to_string(c.vitesse) + "/" + std::to_string(c.port) + "/" + std::to_string(c.tick) != getenv("CAS")) continue;
    SCENARIO(c, graine);
  }
}

TEST(Reunion13, EnterRelayAcknowledgeDropLeaveEnterEnd) {
  const Cas cas[] = {{13, 1200, 9600, 1}, {13, 1200, 1200, 16}, {13, 400, 9600, 16}, {13, 171, 9600, 1}};
  uint64_t graine = 1300;
  for (const Cas& c : cas) SCENARIO(c, ++graine);
}

// ---------------------------------------------------------------------------------------------------------
// Entering a meeting that is under way
// ---------------------------------------------------------------------------------------------------------

// The Master's transmissions and, before each, how long it waited after the end of the previous one.
struct Cycles {
  std::vector<uint32_t> attentes;
  uint32_t transmissions = 0;
  uint32_t fin_precedente = 0;
  void suit(const Station& m, uint32_t maintenant) {
    if (m.transmissions != transmissions) {
      if (transmissions != 0) attentes.push_back(maintenant - fin_precedente);
      transmissions = m.transmissions;
    }
    if (m.autex.EMISSION_EN_COURS == 0) fin_precedente = m.autex.T_DEBUT_ATTENTE;
  }
};

TEST(ReunionEntree, TheMasterLeavesRoomForTheWindowsOfFreeSlots) {
  // With a user in, the Master's next cycle waits for the windows of the free slots, where users may enter;
  // once every slot is taken it follows the users' answers at once.
  Reunion r(4, 1200, 31, Bruit(), 1, 1200, 3);
  Station& m = *r.m;
  m.Lance_reunion();
  ASSERT_TRUE(ENTRE(r, *r.u[0], 1));
  EXPECT_EQ(m.autex.ATTENTE_ENTREES(), 2u * 1000u + 200u + m.autex.MARGE_ARRIVEE());
  Cycles c;
  r.sim.avance_jusqu_a([&] {
    c.suit(m, r.sim.horloge.timeGetTime());
    return false;
  }, 40000);
  ASSERT_GE(c.attentes.size(), 4u);
  for (const uint32_t a : c.attentes) EXPECT_GE(a, m.autex.ATTENTE_ENTREES());
  // Both other users get in, each in its own slot's window.
  ASSERT_TRUE(ENTRE(r, *r.u[1], 2));
  EXPECT_EQ(m.autex.ATTENTE_ENTREES(), 2u * 1000u + 200u + m.autex.MARGE_ARRIVEE());
  ASSERT_TRUE(ENTRE(r, *r.u[2], 3));
  EXPECT_TRUE(r.u[0]->connectee() && r.u[1]->connectee());
  EXPECT_EQ(m.autex.ATTENTE_ENTREES(), 0u);
  Cycles plein;
  r.sim.avance_jusqu_a([&] {
    plein.suit(m, r.sim.horloge.timeGetTime());
    return false;
  }, 40000);
  ASSERT_GE(plein.attentes.size(), 4u);
  // The last user answers in its window 2 s after the Master's frame: the Master starts again soon after.
  for (const uint32_t a : plein.attentes) {
    EXPECT_GE(a, 2000u);
    EXPECT_LT(a, 3800u);
  }
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(m.autex.MANQUES_SLOT[size_t(s)], 0) << s;
}

// Frames of the Master that answer a connection attempt in a slot: the slot word echoes the request.
int ECHOS(const Station& m, int participants, int slot, const std::string& utilisateur) {
  int n = 0;
  for (const std::string& t : m.trames) {
    // The first answer is addressed with the user's call sign, the next ones with the Master's.
    for (const std::string& adresse : {utilisateur, std::string("F1AAA")}) {
      const auto r = ANALYSE_TRANSMISSION(t, m.autex.Vitesse_AUTEX, participants, true, [&](int s) {
        return s == slot ? adresse : std::string("F1AAA");
      });
      if (r.sections.size() <= size_t(slot)) continue;
      const SectionAnalyse& sec = r.sections[size_t(slot)];
      if (sec.dp.bch_ok && sec.bloc.decode && sec.bloc.texte_clair == "F1AAA < " + utilisateur + "\r") ++n;
    }
  }
  return n;
}

TEST(ReunionEntree, AnAttemptWhoseUserIsNeverHeardAgainIsGivenUp) {
  for (const int p : {4, 7}) {
    SCOPED_TRACE(p);
    Reunion r(p, 1200, 32, Bruit(), 1, 9600, 1);
    Station& m = *r.m;
    Station& u = *r.u[0];
    m.Lance_reunion();
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.Actif({ENTRER_DANS_LA_REUNION, 1}); }, 30000));
    u.Entre(1);
    // The Master hears the attempt, then hears nothing more: the user's answers never reach it.
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.autex.TENTATIVE_SLOT[1] == 1; }, 60000));
    m.module.n_entend_rien = true;
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.a_vu("Connected (on condition)"); }, 30000));
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.a_vu("Connection faillure with " + u.indicatif); }, 120000));
    // The answer went out three times; the user, whose frames the Master never heard, was never confirmed
    // by the answer repeated.
    EXPECT_EQ(ECHOS(m, p, 1, u.indicatif), 3);
    EXPECT_FALSE(u.a_vu("Connection confirmed"));
    EXPECT_NE(u.etat_liaison(), "Connected");
    EXPECT_EQ(m.autex.TENTATIVE_SLOT[1], 0);
    EXPECT_EQ(m.autex.TRAME_EN_ATTENTE[1], 0);
    EXPECT_EQ(m.autex.CONNECTE_SLOT[1], 0);
    EXPECT_EQ(m.etat_liaison(), "Disconnected");
    // The user gives up on its side; the slot is offered again, and with the Master hearing again the user
    // gets in.
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return !u.connectee() && u.autex.TENTATIVE_EN_COURS == 0; }, 60000));
    EXPECT_TRUE(u.a_vu("End of connection by loss of the Master") || u.a_vu("Deconnection on CQ"));
    m.module.n_entend_rien = false;
    ASSERT_TRUE(ENTRE(r, u, 1));
    EXPECT_TRUE(u.a_vu("Connection confirmed"));
  }
}

TEST(ReunionEntree, AnAttemptTheMasterDidNotHearEndsWhenItOffersTheSlotAgain) {
  // The Master does not hear the user's attempt and offers the slot again in its next call: the user, who
  // hears the Master's words for the meeting while it waits for its answer, takes the attempt as failed at
  // once (not after waiting 15 or 18 s for an answer), may enter again at once, and gets in.
  for (const int p : {4, 7}) {
    SCOPED_TRACE(p);
    Reunion r(p, 1200, 36, Bruit(), 1, 9600, 1);
    Station& m = *r.m;
    Station& u = *r.u[0];
    m.Lance_reunion();
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.Actif({ENTRER_DANS_LA_REUNION, 1}); }, 30000));
    m.module.n_entend_rien = true;
    u.Entre(1);
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.autex.TENTATIVE_EN_COURS == 1; }, 30000));
    const uint32_t debut = u.autex.T_TENTATIVE;
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.module.a_emettre.empty() && !u.module.emet; }, 10000));
    m.module.n_entend_rien = false;
    const uint32_t appels = m.transmissions;
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return u.autex.TENTATIVE_EN_COURS == 0; }, 60000));
    EXPECT_EQ(m.transmissions, appels + 1);  // the Master's next call ended it
    EXPECT_LT(r.sim.horloge.timeGetTime() - debut, u.autex.DELAI_TENTATIVE);
    EXPECT_TRUE(u.a_vu("Failure of the attempt"));
    EXPECT_FALSE(u.connectee());
    EXPECT_EQ(m.autex.TENTATIVE_SLOT[1], 0);
    EXPECT_TRUE(u.Actif({ENTRER_DANS_LA_REUNION, 1}));
    ASSERT_TRUE(ENTRE(r, u, 1));
    EXPECT_TRUE(u.a_vu("Connection confirmed"));
  }
}

TEST(ReunionManques, ALoneSilentUserIsDroppedAfterSixMissedCycles) {
  Reunion r(4, 1200, 33, Bruit(), 1, 9600, 1);
  Station& m = *r.m;
  Station& u = *r.u[0];
  m.Lance_reunion();
  ASSERT_TRUE(ENTRE(r, u, 1));
  u.module.hors_antenne = true;
  ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.autex.CONNECTE_SLOT[1] == 0; }, 200000));
  EXPECT_EQ(m.autex.LIMITE_MANQUES, 5);
  EXPECT_TRUE(m.a_vu("No reception of S1 (6)"));
  EXPECT_FALSE(m.a_vu("No reception of S1 (7)"));
  EXPECT_TRUE(m.a_vu("End of link considered after 3 retries, with S1"));
  EXPECT_EQ(m.etat_liaison(), "Disconnected");
  // The Master calls again.
  const uint32_t n = m.transmissions;
  r.sim.avance(30000);
  EXPECT_GT(m.transmissions, n);
  EXPECT_EQ(m.autex.CQ_REUNION_ACTIF, 1);
}

// ---------------------------------------------------------------------------------------------------------
// Answer windows and delays of 7 and 13
// ---------------------------------------------------------------------------------------------------------

TEST(ReunionFenetres, TheAnswerBoundsNeverWrap) {
  Simulation sim(34);
  for (const int p : {7, 13}) {
    SCOPED_TRACE(p);
    auto& s = sim.ajoute_station("F1AAA", 1200, uint8_t(p));
    s.autex.REINIT_EMISSION();
    for (int k = 0; k < p; ++k) {
      EXPECT_LE(s.autex.BORNE_INF_REPONSE[size_t(k)], s.autex.BORNE_SUP_REPONSE[size_t(k)]) << k;
      EXPECT_LT(s.autex.BORNE_SUP_REPONSE[size_t(k)], 10000) << k;
      if (k > 0) {
        EXPECT_LE(s.autex.BORNE_SUP_REPONSE[size_t(k)], s.autex.BORNE_SUP_REPONSE[size_t(k - 1)]) << k;
      }
    }
  }
  const auto& a7 = sim.stations[0]->autex;
  // The upper bound goes down by 965 ms a slot, the lower one by 221: from slot 5 of 7 and slot 8 of 13 the
  // upper one would be below the lower one, and from slot 6 of 7 and slot 10 of 13 below zero.
  EXPECT_EQ(a7.BORNE_INF_REPONSE[5], 1901 - 5 * 221);
  EXPECT_EQ(a7.BORNE_SUP_REPONSE[4], 4987 - 4 * 965);
  EXPECT_EQ(a7.BORNE_SUP_REPONSE[5], a7.BORNE_INF_REPONSE[5]);
  EXPECT_EQ(a7.BORNE_SUP_REPONSE[6], a7.BORNE_INF_REPONSE[6]);
  const auto& a13 = sim.stations[1]->autex;
  EXPECT_EQ(a13.BORNE_INF_REPONSE[12], 3554 - 12 * 221);
  EXPECT_EQ(a13.BORNE_SUP_REPONSE[7], 9451 - 7 * 965);
  for (int k = 8; k <= 12; ++k) EXPECT_EQ(a13.BORNE_SUP_REPONSE[size_t(k)], a13.BORNE_INF_REPONSE[size_t(k)]) << k;
  // Slots 1 to 3 answer 0 to 200, 1000 to 1200 and 2000 to 2200 ms after the origin in every meeting; the
  // later slots of 7 and 13 follow 1.5 s apart, and the Master of 7 and 13 waits for the last slot's window.
  for (const auto* a : {&a7, &a13}) {
    for (int s = 1; s <= 3; ++s) {
      const uint32_t debut = uint32_t(s - 1) * 1000;
      if (debut > 0) {
        EXPECT_FALSE(a->DANS_FENETRE_REPONSE(s, debut - 1)) << s;
      }
      EXPECT_TRUE(a->DANS_FENETRE_REPONSE(s, debut)) << s;
      EXPECT_TRUE(a->DANS_FENETRE_REPONSE(s, debut + 200)) << s;
      EXPECT_FALSE(a->DANS_FENETRE_REPONSE(s, debut + 201)) << s;
    }
    EXPECT_FALSE(a->DANS_SECONDE_FENETRE(1, 3000));
  }
  EXPECT_FALSE(a7.DANS_FENETRE_REPONSE(4, 3499));
  EXPECT_TRUE(a7.DANS_FENETRE_REPONSE(4, 3500));
  EXPECT_FALSE(a7.DANS_FENETRE_REPONSE(6, 6499));
  EXPECT_TRUE(a7.DANS_FENETRE_REPONSE(6, 6500));
  EXPECT_TRUE(a7.DANS_FENETRE_REPONSE(6, 6700));
  EXPECT_FALSE(a7.DANS_FENETRE_REPONSE(6, 6701));
  EXPECT_EQ(a13.FIN_FENETRES_TENTATIVE(), 2000u + 9u * 1500u + 200u);
  // Words are placed in the slot whose window opened last before they arrived, a little early included.
  const int32_t tol = int32_t(autex::Autex::TOLERANCE_ARRIVEE);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(-tol - 1), 0);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(-tol), 1);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(1000 - tol - 1), 1);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(1000 - tol), 2);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(2000 - tol), 3);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(3500 - tol), 4);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(8000 - tol - 1), 6);
  EXPECT_EQ(a7.SLOT_PAR_INSTANT(8000 - tol), 0);
}

TEST(ReunionFenetres, EachAnswerReachesTheMasterWithinItsSlotsWindow) {
  // How long after its window opened each user's frame reaches the Master, counted from the end of the
  // Master's frame on the air: before the next slot's window (in a meeting of 4 the slot is the selector's;
  // in 7 and 13 the Master takes it from that delay).
  const Cas cas[] = {{4, 1200, 1200, 1}, {4, 400, 9600, 16}, {7, 1200, 1200, 1}, {7, 171, 9600, 1},
                     {13, 1200, 9600, 16}, {13, 1200, 1200, 1}, {7, 1200, 1200, 16}, {7, 400, 9600, 1},
                     {13, 171, 9600, 16}};
  uint64_t graine = 3500;
  for (const Cas& c : cas) {
    SCOPED_TRACE(NOM(c));
    const int N = c.participants - 1;
    Reunion r(c.participants, uint16_t(c.vitesse), ++graine, Bruit(), c.tick, c.port);
    Station& m = *r.m;
    m.Lance_reunion();
    for (int s = 1; s <= N; ++s) ASSERT_TRUE(ENTRE(r, *r.u[size_t(s - 1)], s)) << s;
    Attendus a;
    ENVOIE(r, a, 2, 0);
    int retard_max = -100000, retard_min = 100000;
    bool dans_sa_fenetre = true;
    int arrivees = 0;
    autex::ParSlot<uint8_t> vus{};
    ASSERT_TRUE(r.sim.avance_jusqu_a(
        [&] {
          for (int s = 1; s <= N; ++s) {
            const size_t i = size_t(s);
            if (m.autex.ENTENDU_SLOT[i] == 1 && vus[i] == 0) {
              const int retard = m.autex.INSTANT_SLOT[i] - int(m.autex.OUVERTURE_FENETRE(s));
              const int pas = int(m.autex.OUVERTURE_FENETRE(s + 1) - m.autex.OUVERTURE_FENETRE(s));
              dans_sa_fenetre = dans_sa_fenetre && retard + int(autex::Autex::TOLERANCE_ARRIVEE) < pas;
              retard_max = std::max(retard_max, retard);
              retard_min = std::min(retard_min, retard);
              ++arrivees;
            }
            vus[i] = m.autex.ENTENDU_SLOT[i];
          }
          return LIVRE(a);
        },
        1200000));
    VERIFIE_FENETRES(a);
    std::printf("[ %s ] %d answers reached the Master %d to %d ms after their window opened\n", NOM(c).c_str(),
                arrivees, retard_min, retard_max);
    EXPECT_GT(arrivees, 2 * N);
    // (In a meeting of 4 the Master reads the slot in the word; a user that missed the end of the Master's
    // frame answers by an estimate, possibly late, and the answer then reaches the Master in its next cycle.)
    if (c.participants > 4) {
      EXPECT_GE(retard_min, -int(autex::Autex::TOLERANCE_ARRIVEE));
      EXPECT_TRUE(dans_sa_fenetre);
    }
  }
}

// ---------------------------------------------------------------------------------------------------------
// Slow modules
// ---------------------------------------------------------------------------------------------------------

TEST(ReunionModulesLents, UsersWaitForTheEndOfTheMastersFrameBetweenItsPackets) {
  // Modules radiating 30 or 40 bytes a second hand the Master's frame over a 64-byte packet every 1.6 to 2.1 s.
  // A user of a meeting of 4 that has heard its word answers by estimate once the frame has stopped coming: it
  // must not take the pause between two packets for the end (it would talk over the rest of the frame, deaf to
  // it, and the Master would not hear it).
  for (const uint32_t debit : {30u, 40u}) {
    SCOPED_TRACE(debit);
    Reunion r(4, 1200, 38, Bruit(), 1, 1200, 2, debit);
    Station& m = *r.m;
    m.Lance_reunion();
    ASSERT_TRUE(ENTRE(r, *r.u[0], 1));
    ASSERT_TRUE(ENTRE(r, *r.u[1], 2));
    Attendus a;
    ENVOIE(r, a, 1, 0);
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return LIVRE(a); }, 600000));
    VERIFIE_FENETRES(a);
    EXPECT_EQ(r.sim.collisions, 0u);
  }
}

// ---------------------------------------------------------------------------------------------------------
// Noise
// ---------------------------------------------------------------------------------------------------------

TEST(ReunionBruit, ThroughBitErrorsNothingIsShownTwiceOrCorrupted) {
  const Cas cas[] = {{4, 1200, 1200, 1}, {4, 400, 9600, 16}, {4, 171, 9600, 1}, {7, 1200, 9600, 1},
                     {7, 400, 9600, 16}, {7, 1200, 1200, 1}, {13, 1200, 9600, 1}, {13, 171, 9600, 1}};
  uint64_t graine = 4000;
  for (const Cas& c : cas) {
    SCOPED_TRACE(NOM(c));
    Bruit bruit;
    bruit.ber = 1e-3;
    const int N = c.participants - 1;
    Reunion r(c.participants, uint16_t(c.vitesse), ++graine, bruit, c.tick, c.port);
    Station& m = *r.m;
    m.Lance_reunion();
    for (int s = 1; s <= N; ++s) ASSERT_TRUE(ENTRE(r, *r.u[size_t(s - 1)], s)) << s;
    Attendus a;
    const uint64_t t0 = r.ms();
    ENVOIE(r, a, 4, 0);
    if (!r.sim.avance_jusqu_a([&] { return LIVRE(a); }, 2400000)) {
      MANQUANTS(a);
      FAIL() << "messages not delivered";
    }
    const uint64_t duree = r.ms() - t0;
    r.sim.avance(30000);
    VERIFIE_FENETRES(a);
    for (int s = 1; s <= N; ++s) EXPECT_TRUE(r.u[size_t(s - 1)]->connectee()) << s;
    EXPECT_GT(r.sim.octets_corrompus, 0u);
    std::printf("[ %s, BER 1e-3 ] %d messages, %d deliveries in %.1f s, %llu corrupted bytes\n", NOM(c).c_str(),
                a.messages, a.livraisons, double(duree) / 1000.0, (unsigned long long)r.sim.octets_corrompus);
  }
}

// A participant of a meeting sends a file between short messages and its link ends in each way a user's link
// ends: only the file is cut off (said in the sender's own words, and in the receiver's), the message queued
// behind it goes out once when the user enters again, and nothing of the file reaches the other side as text.
// The sender is the user, or the Master whose only user goes.
TEST(ReunionFileEmission, WhatWasQueuedBehindTheFrameALinksEndCutsOffGoesOutWhenTheUserEntersAgain) {
  std::string bruit;
  for (uint32_t x = 5; bruit.size() < 1500; x = x * 1103515245u + 12345u) bruit.push_back(char(x >> 24));
  const struct {
    const char* nom;
    bool maitre_envoie;
    std::function<void(Reunion&)> fin;
    std::string raison;  // the sender's information line at the end
    std::function<void(Reunion&)> retablit;
  } cas[] = {
      {"the user leaves", false, [](Reunion& r) { r.u[0]->Sort(1); }, "End of link accepted", {}},
      {"the Master ends the meeting", false, [](Reunion& r) { r.m->Fin_reunion(); }, "End of meeting completed", {}},
      {"the Master falls silent", false, [](Reunion& r) { r.m->module.hors_antenne = true; },
       "End of meeting by loss of the Master", [](Reunion& r) { r.m->module.hors_antenne = false; }},
      {"the user leaves, unheard", false,
       [](Reunion& r) {
         r.m->module.n_entend_rien = true;
         r.u[0]->Sort(1);
       },
       "End of link considered after 3 retries", [](Reunion& r) { r.m->module.n_entend_rien = false; }},
      {"the user leaves", true, [](Reunion& r) { r.u[0]->Sort(1); }, "End of link completed, with S1", {}},
      {"the user falls silent", true, [](Reunion& r) { r.u[0]->module.hors_antenne = true; },
       "End of link considered after 3 retries, with S1", [](Reunion& r) { r.u[0]->module.hors_antenne = false; }},
  };
  uint64_t graine = 4400;
  for (const auto& k : cas) {
    SCOPED_TRACE(k.nom + std::string(k.maitre_envoie ? " (the Master sends)" : " (the user sends)"));
    Reunion r(4, 1200, ++graine);
    Station& m = *r.m;
    Station& u = *r.u[0];
    Station& e = k.maitre_envoie ? m : u;  // the sender
    Station& d = k.maitre_envoie ? u : m;  // the receiver
    const int fenetre = k.maitre_envoie ? 0 : 1;
    m.Lance_reunion();
    ASSERT_TRUE(ENTRE(r, u, 1));
    ASSERT_TRUE(e.Envoie("first"));
    ASSERT_TRUE(e.Envoie("second"));
    std::string trame;
    bool compresse = false;
    ASSERT_TRUE(autex::TRAME_FICHIER_AUTEX(e.indicatif, "x.bin", bruit, false, trame, compresse));
    e.autex.TEXTE_A_EMETTRE += trame;
    ASSERT_TRUE(e.Envoie("third"));
    ASSERT_TRUE(r.sim.avance_jusqu_a(
        [&] { return std::regex_search(d.texte_fenetre(fenetre), std::regex("[1-9][0-9]% ")); }, 600000));
    k.fin(r);
    ASSERT_TRUE(r.sim.avance_jusqu_a(
        [&] { return !u.connectee() && u.Actif(LANCEMENT_REUNION) && m.autex.CONNECTE_SLOT[1] == 0; }, 300000));
    r.sim.avance(20000);
    if (k.retablit) k.retablit(r);
    // Cut off, in the sender's words and in the receiver's; what was behind waits.
    EXPECT_EQ(e.autex.TEXTE_A_EMETTRE, autex::TRAME_MESSAGE_AUTEX("third"));
    const std::string sms = e.Texte(RichEdit_SMS);
    EXPECT_NE(sms.find(": File \"x.bin\" (1500 bytes) not sent whole: cut off by the end of the link (" + k.raison +
                       "), "),
              std::string::npos)
        << sms;
    EXPECT_NE(sms.find(": Waiting to be sent in the next link: 1 short message (9 bytes)\r\n  third\r\n"),
              std::string::npos)
        << sms;
    EXPECT_NE(d.Texte(RichEdit_SMS).find(": File of " + e.indicatif + " \"x.bin\" not stored: cut off by the end of the link ("),
              std::string::npos)
        << d.Texte(RichEdit_SMS);
    // The user enters again (the Master calls again if it had ended the meeting): the message goes out once,
    // alone.
    if (m.autex.MAITRE_APPELLE == 0 && m.autex.CQ_REUNION_ACTIF == 0 && m.autex.UTILISATEUR_CONNECTE == 0) {
      ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return m.Actif(LANCEMENT_REUNION); }, 300000));
      m.Lance_reunion();
    }
    const size_t vu = d.texte_fenetre(fenetre).size();
    ASSERT_TRUE(ENTRE(r, u, 1)) << u.info();
    ASSERT_TRUE(r.sim.avance_jusqu_a([&] { return e.autex.TEXTE_A_EMETTRE.empty(); }, 300000));
    r.sim.avance(20000);
    const std::string& t = d.texte_fenetre(fenetre);
    EXPECT_EQ(t.substr(std::min(vu, t.size())), "third\r\n");
    for (const char* m : {"first", "second", "third"})
      EXPECT_EQ(OCCURRENCES(d.Texte(RichEdit_SMS), std::string("): ") + m + "\r\n"), 1) << m;
  }
}
