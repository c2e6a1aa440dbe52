#pragma once
// Small helpers with which the form definitions create their components: each makes a component owned by the
// form, names it, places it on its parent and gives it the stored properties that most components share.
#include <string>

#include "gui/gui.h"

namespace forms::build {

template <class T>
T* Make(gui::TComponent* owner, const char* name) {
  T* c = new T(owner);
  c->SetName(name);
  return c;
}

template <class T>
T* Place(gui::TComponent* owner, gui::TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* c = Make<T>(owner, name);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

// A label; width 0 sizes it to its caption.
inline gui::TLabel* Label(gui::TComponent* owner, gui::TWinControl* parent, const char* name, const std::string& caption,
                          int left, int top, int width = 0, int height = 13) {
  auto* l = Place<gui::TLabel>(owner, parent, name, left, top, width > 0 ? width : 8, height);
  l->SetAutoSize(width == 0);
  l->SetCaption(caption);
  return l;
}

inline gui::TGroupBox* Group(gui::TComponent* owner, gui::TWinControl* parent, const char* name, const std::string& caption,
                             int left, int top, int width, int height) {
  auto* g = Place<gui::TGroupBox>(owner, parent, name, left, top, width, height);
  g->SetCaption(caption);
  return g;
}

inline gui::TPanel* Panel(gui::TComponent* owner, gui::TWinControl* parent, const char* name, int left, int top, int width,
                          int height, gui::TBevelCut outer = gui::TBevelCut::bvNone) {
  auto* p = Place<gui::TPanel>(owner, parent, name, left, top, width, height);
  p->SetBevelOuter(outer);
  p->SetCaption("");
  return p;
}

template <class T = gui::TButton>
T* Button(gui::TComponent* owner, gui::TWinControl* parent, const char* name, const std::string& caption, int left, int top,
          int width, int height) {
  auto* b = Place<T>(owner, parent, name, left, top, width, height);
  b->SetCaption(caption);
  return b;
}

// A speed button; a non-zero group makes it a toggle of that group.
template <class T = gui::TSpeedButton>
T* Speed(gui::TComponent* owner, gui::TWinControl* parent, const char* name, const std::string& caption, int left, int top,
         int width, int height, int group = 0, bool down = false, bool allowAllUp = false) {
  auto* b = Place<T>(owner, parent, name, left, top, width, height);
  b->SetCaption(caption);
  b->SetGroupIndex(group);
  b->SetAllowAllUp(allowAllUp);
  b->SetDown(down);
  return b;
}

inline gui::TEdit* Edit(gui::TComponent* owner, gui::TWinControl* parent, const char* name, const std::string& text, int left,
                        int top, int width, int height = 21, int maxLength = 0) {
  auto* e = Place<gui::TEdit>(owner, parent, name, left, top, width, height);
  e->SetMaxLength(maxLength);
  e->SetText(text);
  return e;
}

template <class T = gui::TMemo>
T* Memo(gui::TComponent* owner, gui::TWinControl* parent, const char* name, int left, int top, int width, int height,
        bool readOnly, gui::TScrollStyle scrollBars = gui::TScrollStyle::ssVertical) {
  auto* m = Place<T>(owner, parent, name, left, top, width, height);
  m->SetReadOnly(readOnly);
  m->SetScrollBars(scrollBars);
  m->SetText("");
  return m;
}

inline gui::TMenuItem* Item(gui::TComponent* owner, gui::TMenuItem* parent, const char* name, const std::string& caption) {
  auto* i = Make<gui::TMenuItem>(owner, name);
  i->SetCaption(caption);
  parent->Add(i);
  return i;
}

inline gui::TTimer* Timer(gui::TComponent* owner, const char* name, unsigned interval) {
  auto* t = Make<gui::TTimer>(owner, name);
  t->SetInterval(interval);
  t->SetEnabled(true);
  return t;
}

}  // namespace forms::build
