// The whole station switched from skin to skin live, on real windows under Wine: its main window built as the
// program builds it (the skin manager with the stored skins, the skin provider), the six skin buttons clicked
// fifty times, and what the skinning library holds afterwards compared with what it held before.
#include <windows.h>

#include <gtest/gtest.h>

#include "skin/manager/skinchange.h"
#include "skin/manager/sskinmanager_component.h"
#include "skin/pixels/gdi_ledger.h"
#include "station/composants_peau.h"
#include "tests/station_app/rig.h"
#include "tests/support/win_screen.h"

namespace {

using namespace apptest;

using testsupport::ThreadWindowCount;

// The process's committed private memory: every committed private region of its address space (what the
// system's own counter reports on Windows; Wine leaves that counter at 0).
size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION mbi{};
  for (const char* p = nullptr; VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi;
       p = static_cast<const char*>(mbi.BaseAddress) + mbi.RegionSize) {
    if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
    if (mbi.RegionSize == 0) break;
  }
  return total;
}

// Fifty switches through the six buttons leave the ledger of GDI and USER objects, the thread's windows and the
// process's private memory where they were. A leak of one cached bitmap of the main window per switch (about
// 1.8 MB for a 681 x 693 window in 32 bits) would exceed the memory tolerance many times over; the tolerance
// leaves room for the heap's own bookkeeping.
TEST(PeauxEnDirect, FiftySwitchesOfTheWholeStationLeaveNothingBehind) {
  constexpr size_t kMemoryTolerance = 2u << 20;
  Bureau bureau;
  StationTest st(bureau);
  station::Fabriques fabriques;
  fabriques.composants_peau = station::Composants_peau_programme;
  st.Demarre(fabriques);
  st.Montre();
  station::FichePrincipale& f = st.f();
  ASSERT_NE(f.sSkinManager1, nullptr);
  auto* manager = static_cast<skin::TsSkinManagerComponent*>(f.sSkinManager1);
  using Clic = void (station::FichePrincipale::*)(gui::TObject*);
  const Clic clics[] = {&station::FichePrincipale::Peau_nonClick,      &station::FichePrincipale::Peau_SpringClick,
                        &station::FichePrincipale::Peau_LuckyClick,    &station::FichePrincipale::Peau_MacMetalClick,
                        &station::FichePrincipale::Peau_OpusClick,     &station::FichePrincipale::Peau_TopazClick};
  // One round first, so that what a switch keeps for the next one (the last skin's tables) is in place.
  for (Clic c : clics) {
    (f.*c)(nullptr);
    testsupport::PumpFor(40);
  }
  // The switch's fade and the skin's own animations over before the counts are taken.
  const auto settled = [] { return skin::AnimationInProgress() == 0; };
  (f.*clics[1])(nullptr);
  ASSERT_TRUE(testsupport::PumpUntil(settled, 10000));
  // And what the switch frees after it (deferred) is gone: the ledger holds still over 300 ms.
  skin::ledger::Snapshot before = skin::ledger::Take();
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
    testsupport::PumpFor(300);
    const skin::ledger::Snapshot now = skin::ledger::Take();
    const bool still = skin::ledger::Difference(before, now).empty();
    before = now;
    if (still) break;
  }
  const int windows = ThreadWindowCount();
  const size_t memory = PrivateBytes();
  for (int i = 0; i < 50; ++i) {
    (f.*clics[(i * 5 + 2) % 6])(nullptr);  // every button, in an order that changes neighbours
    testsupport::PumpFor(30);
    ASSERT_EQ(manager->Active(), (i * 5 + 2) % 6 != 0) << i;
  }
  (f.*clics[1])(nullptr);
  // What the last switch made and freed on its way (its fade, the windows it took into the skin) has settled
  // once the counts are back; a leak keeps them apart until the deadline.
  testsupport::PumpUntil([&] {
    return settled() && skin::ledger::Difference(before, skin::ledger::Take()).empty() && ThreadWindowCount() == windows;
  }, 10000);
  EXPECT_EQ(manager->SkinName(), "Spring Willow (internal)");
  EXPECT_EQ(skin::ledger::Difference(before, skin::ledger::Take()), "");
  EXPECT_EQ(ThreadWindowCount(), windows);
  const size_t after = PrivateBytes();
  EXPECT_LE(after, memory + kMemoryTolerance) << "before " << memory << ", after " << after;
  std::printf("private memory: %zu before, %zu after the switches\n", memory, after);
}

}  // namespace
