#pragma once
// The station's own window, and its dialogs kept over it. With two stations on one screen, what one station
// shows (its message and yes/no dialogs, its system message boxes, what the shell shows for a document it
// opens) belongs to that station's window and comes over it, never over or under the other station's.
#include "gui/gui.h"

namespace station {

// The window that owns what the station shows: its active form when one is on screen, else its main window,
// else the application's window (null when there is no window, natively).
HWND Fenetre_de_la_station();

// While it lives (around the modal showing of a dialog of the station), a click on a window of the station
// that the dialog keeps disabled brings the dialog back over it and gives it the keyboard, as Windows itself
// does. Under Wine a dialog stays behind another program's window that was clicked meanwhile, even an
// always-on-top one, and the station then looks blocked. Natively it does nothing.
class Dialogue_au_premier_plan {
 public:
  Dialogue_au_premier_plan();
  ~Dialogue_au_premier_plan();
  Dialogue_au_premier_plan(const Dialogue_au_premier_plan&) = delete;
  Dialogue_au_premier_plan& operator=(const Dialogue_au_premier_plan&) = delete;

 private:
  [[maybe_unused]] void* crochet_ = nullptr;  // the hook (Windows only)
};

}  // namespace station
