#pragma once
// The adapter of a skinned MDI parent form's client window (the "MDICLIENT" window the children live in): it
// paints the empty client area from the form's frame image (where the form paints the skin's "MDIAREA"
// section) or in the form's colour, gives the client skinned scroll bars, scrolls the children only when a
// dragged thumb is released, and relays the library commands between the children and the form.
//
// The form's provider lives above this library: the adapter reaches it through TacMDIHost, which the form's
// MDI link implements.
#include <cstdint>

#include "skin/adapters/acscrollwnd.h"

#ifdef _WIN32
#include <windows.h>

namespace gui {
class TCustomForm;
}

namespace skin {

// What the MDI client adapter needs of the MDI parent form's provider.
class TacMDIHost {
 public:
  virtual ~TacMDIHost() = default;
  // The provider's skin data is inside an update (nothing is painted meanwhile).
  virtual bool MDIHostUpdating() = 0;
  // The form's frame image brought up to date, and where the form's client origin lies in it; false when the
  // form paints in a plain colour (then nothing is given).
  virtual bool MDIHostFrameImage(const Bitmap*& Image, TPoint& ClientOrigin) = 0;
  // Whether the form's frame image carries the skin's "MDIAREA" section or its own background under the client.
  virtual bool MDIHostPaintsArea() = 0;
  virtual TColor MDIHostColor() = 0;
  // A child window was made in the client.
  virtual void MDIChildCreated(HWND Child) = 0;
  // The buttons of a maximized child in the form's menu line, and the menu line itself, follow a change.
  virtual void MDIUpdateButtons() = 0;
  virtual void MDIRefreshMenuLine() = 0;
};

class TacMDIWnd : public TacBaseWnd {
 public:
  ~TacMDIWnd() override;
  void WndProc(gui::TMessage& Message) override;

  // The client background into DC: from the form's frame image at the client's place, else in the form's
  // colour. Print: DC's origin is the window's top-left (WM_PRINT), else the client area's.
  void PaintMdiArea(HDC DC, bool Print);
  // The client's sunken edge (2 pixels with WS_EX_CLIENTEDGE) from the form's frame image, into a window DC.
  void PaintMdiEdge(HDC DC);
  // The client window's rectangle in the form's frame image (nullptr host: empty).
  TRect MdiClientRectInForm();
  // Whether the active child is maximized (the client then shows nothing of its own).
  bool ChildMaximized() const;

  TacMDIHost* Provider = nullptr;
  gui::TCustomForm* Form = nullptr;

 protected:
  // The library commands the adapter answers: true when done.
  bool MDICommand(gui::TMessage& Message);
  // The messages handled while the provider is set: true when done.
  bool ProviderMessage(gui::TMessage& Message);
  HWND FormHandle() const;
  int32_t EdgeWidth() const;
};

}  // namespace skin
#endif
