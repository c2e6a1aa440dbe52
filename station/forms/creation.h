#pragma once
// The program's seven windows, created in the program's order: the main window (which becomes the
// application's main form), the about box, the yes/no question, the message dialog, the version history, the
// speech options and the radio module window. The program block sets the application's help file to the empty
// text, creates the forms with CreateForms (the station passing its own classes, derived from the definitions)
// and runs the application's message loop.
#include "gui/forms.h"
#include "station/forms/form1.h"
#include "station/forms/form19.h"
#include "station/forms/form2.h"
#include "station/forms/form20.h"
#include "station/forms/form3.h"
#include "station/forms/form36.h"
#include "station/forms/form43.h"

namespace forms {

struct TStationForms {
  TForm1* Form1 = nullptr;
  TForm2* Form2 = nullptr;
  TForm20* Form20 = nullptr;
  TForm36* Form36 = nullptr;
  TForm3* Form3 = nullptr;
  TForm43* Form43 = nullptr;
  TForm19* Form19 = nullptr;
};

// Each class must derive from its definition and be constructible from its owner.
template <class F1 = TForm1, class F2 = TForm2, class F20 = TForm20, class F36 = TForm36, class F3 = TForm3,
          class F43 = TForm43, class F19 = TForm19>
TStationForms CreateForms(gui::TApplication& app) {
  TStationForms f;
  F1* f1 = nullptr;
  app.CreateForm(f1);
  f.Form1 = f1;
  F2* f2 = nullptr;
  app.CreateForm(f2);
  f.Form2 = f2;
  F20* f20 = nullptr;
  app.CreateForm(f20);
  f.Form20 = f20;
  F36* f36 = nullptr;
  app.CreateForm(f36);
  f.Form36 = f36;
  F3* f3 = nullptr;
  app.CreateForm(f3);
  f.Form3 = f3;
  F43* f43 = nullptr;
  app.CreateForm(f43);
  f.Form43 = f43;
  F19* f19 = nullptr;
  app.CreateForm(f19);
  f.Form19 = f19;
  return f;
}

}  // namespace forms
