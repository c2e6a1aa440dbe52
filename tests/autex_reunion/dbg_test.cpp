#include <gtest/gtest.h>
#include <cstdio>
#include "tests/autex_reunion/outils_reunion.h"
using namespace autexsim;
TEST(Dbg, One) {
  int P = atoi(getenv("P")), v = atoi(getenv("V")), port = atoi(getenv("PORT")), tick = atoi(getenv("TICK"));
  Reunion r(P, v, 402, Bruit(), tick, port, 1);
  Station& m = *r.m; Station& u = *r.u[0];
  m.autex.TRACE_ACTIVE = 1; u.autex.TRACE_ACTIVE = 1;
  m.Lance_reunion();
  bool ok = ENTRE(r, u, 1, 60000);
  printf("ok=%d\n", ok);
  printf("=== MASTER\n%s\n=== USER\n%s\n", m.autex.TRACE_AUTEX.substr(0, 6000).c_str(), u.autex.TRACE_AUTEX.substr(0, 6000).c_str());
}
