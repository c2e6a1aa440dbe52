#include "station/fenetre_station.h"

namespace station {

HWND Fenetre_de_la_station() {
  gui::TCustomForm* f = gui::Screen->ActiveForm();
  if (!f || !f->Visible() || !f->HandleAllocated()) f = gui::Application->MainForm();
  if (f && f->HandleAllocated()) return f->WindowHandle();
  return gui::Application->Handle();
}

}  // namespace station
