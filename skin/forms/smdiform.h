#pragma once
// The link of a skinned MDI parent form: the form's provider keeps one for a form whose FormStyle is fsMDIForm.
// It puts the MDI client window adapter on the form's client window (the area the child forms live in) and takes
// it off again; through it the adapter reaches the provider (frame image, colour, menu line, child buttons).
//
// One provider at a time is the MDI parent provider (MDIParentProvider): the one that made the link last; it is
// cleared when that provider goes.
#include <cstdint>
#include <memory>

#include "gui/forms.h"
#include "skin/pixels/bitmap.h"
#include "skin/pixels/geometry.h"

namespace skin {

class TsSkinProvider;
class TacMDIWnd;

class TsMDIForm {
 public:
  // Keeps the provider; when the provider knows its form, that is the link's form and its window is made.
  explicit TsMDIForm(TsSkinProvider* AProvider);
  ~TsMDIForm();
  TsMDIForm(const TsMDIForm&) = delete;
  TsMDIForm& operator=(const TsMDIForm&) = delete;

  // Puts a new client adapter on the form's client window (only detaches when the provider is not skinned).
  void ConnectToClient();
  // ConnectToClient when the form is not being designed and no adapter is attached.
  void ConnectIfNeeded();
  // Frees the client adapter when there is one.
  void DisconnectFromClient();
  // The provider's frame cache flagged stale and the form's frame repainted.
  void RepaintFrame();
  bool Connected() const { return ClientAdapter != nullptr; }

  gui::TCustomForm* Form = nullptr;  // not owned
  TacMDIWnd* ClientAdapter = nullptr;  // owned (released through the adapters' deferred list)
  TsSkinProvider* Provider = nullptr;  // not owned

  struct Host;

 private:
  std::unique_ptr<Host> host_;
};

// The provider of the current MDI parent form (nullptr when none).
TsSkinProvider*& MDIParentProvider();

// With create: a link whose client window no longer answers as skinned is freed; without a link, this provider
// becomes the MDI parent provider and gets a new link, connected. Without create: the link is freed (and the
// global cleared when it named this provider).
void ProviderLinkMDIForm(TsSkinProvider& p, bool create);

// A command of the buttons of a maximized MDI child (101 close, 102 restore, 103 minimize) sent to the form's
// active MDI child as its system command. False, with nothing done, when the form has no active child (or the
// code is none of the three).
bool ProviderMDIChildCommand(TsSkinProvider& p, int32_t code);

// Whether the provider's MDI parent form has a main menu and shows a maximized active child with a system menu.
bool ProviderMDIChildMaximizedWithMenu(const TsSkinProvider& p);

// The skin's "MDIAREA" section painted into the frame cache where the MDI client window lies (nothing without a
// link, a client window or the section). ClientOrigin: the form's client origin in the cache.
void ProviderPaintMDIArea(TsSkinProvider& p, Bitmap& cache, const TPoint& ClientOrigin);

}  // namespace skin
