#include "skin/manager/svclutils.h"

#include <vector>

#include "gui/syscolors.h"
#include "skin/manager/skinchange.h"

namespace skin {

namespace {

// A windowed control reached as a window: its window on Windows; natively the headless control stands for
// the window it would have.
bool HasWindow(const gui::TWinControl* c) {
#ifdef _WIN32
  return c->HandleAllocated();
#else
  (void)c;
  return true;
#endif
}

// The address-carrying commands this thread is sending, innermost last.
struct InFlight {
  uint16_t code;
  LPARAM lParam;
};
thread_local std::vector<InFlight> g_ownCommands;

#ifdef _WIN32
bool IsOwnCommand(uint16_t code, LPARAM lParam) {
  for (const InFlight& c : g_ownCommands)
    if (c.code == code && c.lParam == lParam) return true;
  return false;
}
#endif

// What a broadcast notes as reached: the window (the one that the other senders see), natively the control.
const void* Receiver(const gui::TWinControl* c) {
#ifdef _WIN32
  if (c->HandleAllocated()) return c->WindowHandle();
#endif
  return c;
}

LRESULT SendToWindowOf(gui::TWinControl* c, UINT msg, WPARAM w, LPARAM l) {
  const OwnLibraryCommand own(msg == WM_SKINCOMMAND ? w : 0, msg == WM_SKINCOMMAND ? l : 0);
#ifdef _WIN32
  if (c->HandleAllocated()) return SendMessageA(c->WindowHandle(), msg, w, l);
#endif
  return c->Perform(msg, w, l);
}

// The broadcast whose receivers are noted on this thread.
thread_local OneDeliveryPerReceiver* g_deliveries = nullptr;

bool SameMessage(const gui::TMessage& a, const gui::TMessage& b) {
  return a.Msg == b.Msg && a.WParam == b.WParam && a.LParam == b.LParam;
}

bool StillChildOf(const gui::TWinControl* parent, const gui::TControl* child) {
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (parent->Controls(i) == child) return true;
  return false;
}

}  // namespace

OneDeliveryPerReceiver::OneDeliveryPerReceiver(const gui::TMessage& Msg) {
  if (Msg.Msg != WM_SKINCOMMAND || SkinCommandCode(Msg.WParam) != AC_SKINREFRESH) return;
  if (g_deliveries != nullptr && SameMessage(g_deliveries->msg_, Msg)) return;  // the running one goes on
  msg_ = gui::TMessage{Msg.Msg, Msg.WParam, Msg.LParam, 0};
  previous_ = g_deliveries;
  running_ = true;
  g_deliveries = this;
}

OneDeliveryPerReceiver::~OneDeliveryPerReceiver() {
  if (running_) g_deliveries = previous_;
}

bool FirstDelivery(const void* Receiver, const gui::TMessage& Msg) {
  OneDeliveryPerReceiver* d = g_deliveries;
  if (d == nullptr || Receiver == nullptr || !SameMessage(d->msg_, Msg)) return true;
  return d->reached_.insert(Receiver).second;
}

OwnLibraryCommand::OwnLibraryCommand(WPARAM WParam, LPARAM LParam)
    : held_(SkinCommandCarriesAddress(SkinCommandCode(WParam))) {
  if (held_) g_ownCommands.push_back(InFlight{SkinCommandCode(WParam), LParam});
}

OwnLibraryCommand::~OwnLibraryCommand() {
  if (held_ && !g_ownCommands.empty()) g_ownCommands.pop_back();
}

LRESULT SendLibraryCommand(HWND Wnd, uint16_t Command, LPARAM LParam) {
#ifdef _WIN32
  if (!Wnd) return 0;
  const OwnLibraryCommand own(SkinCommandWParam(Command), LParam);
  return SendMessageA(Wnd, WM_SKINCOMMAND, SkinCommandWParam(Command), LParam);
#else
  (void)Wnd;
  (void)Command;
  (void)LParam;
  return 0;
#endif
}

LRESULT SendLibraryCommandToControl(gui::TControl* Control, uint16_t Command, LPARAM LParam) {
  if (!Control) return 0;
  auto* w = dynamic_cast<gui::TWinControl*>(Control);
  if (!w) {
    const OwnLibraryCommand own(SkinCommandWParam(Command), LParam);
    return Control->Perform(WM_SKINCOMMAND, SkinCommandWParam(Command), LParam);
  }
  if (w->IsDestroying() || !HasWindow(w)) return 0;
  return SendToWindowOf(w, WM_SKINCOMMAND, SkinCommandWParam(Command), LParam);
}

bool QueryLibraryCommand(HWND Wnd, uint16_t Command) { return SendLibraryCommand(Wnd, Command, 0) == 1; }

void BroadcastToChildren(gui::TWinControl* Control, gui::TMessage& Msg) {
  if (!Control) return;
  std::vector<gui::TControl*> children;
  for (int i = 0; i < Control->ControlCount(); ++i) children.push_back(Control->Controls(i));
  for (gui::TControl* child : children) {
    if (!StillChildOf(Control, child)) continue;  // removed or freed meanwhile
    if (child->IsDestroying()) break;
    auto* w = dynamic_cast<gui::TWinControl*>(child);
#ifdef _WIN32
    const bool windowPath = w && w->HandleAllocated();
#else
    const bool windowPath = w != nullptr;  // the headless control is asked as its window would be
#endif
    if (!windowPath) {
      const OwnLibraryCommand own(Msg.Msg == WM_SKINCOMMAND ? Msg.WParam : 0, Msg.LParam);
      child->Perform(Msg.Msg, Msg.WParam, Msg.LParam);
      continue;
    }
    if (SendToWindowOf(w, WM_SKINCOMMAND, SkinCommandWParam(AC_ISSKINNED), 0) == 1) {
      if (FirstDelivery(Receiver(w), Msg)) SendToWindowOf(w, Msg.Msg, Msg.WParam, Msg.LParam);
    } else
      BroadcastToChildren(w, Msg);
  }
}

bool AcceptSkinCommand(const gui::TMessage& Msg) {
  if (Msg.Msg != WM_SKINCOMMAND || !SkinCommandCarriesAddress(SkinCommandCode(Msg.WParam))) return true;
#ifdef _WIN32
  return !InSendMessage() || IsOwnCommand(SkinCommandCode(Msg.WParam), Msg.LParam);
#else
  return true;
#endif
}

bool ControlCanPaint(const gui::TControl* Control) {
  if (!Control || !Control->Parent()) return false;
  if (auto* w = dynamic_cast<const gui::TWinControl*>(Control); w && !HasWindow(w)) return false;
  if (Control->ControlState() & gui::csCreating) return false;
  if (Control->ComponentState() & (gui::csLoading | gui::csReading | gui::csDestroying)) return false;
  return true;
}

gui::TCustomForm* GetOwnerForm(gui::TComponent* Component) {
  for (gui::TComponent* c = Component; c; c = c->Owner())
    if (auto* f = dynamic_cast<gui::TCustomForm*>(c)) return f;
  return nullptr;
}

gui::TCustomFrame* GetOwnerFrame(gui::TComponent* Component) {
  for (gui::TComponent* c = Component; c; c = c->Owner())
    if (auto* f = dynamic_cast<gui::TCustomFrame*>(c)) return f;
  return nullptr;
}

uint32_t GetTextFlags(const gui::TControl* Control, gui::TAlignment Alignment) {
  constexpr uint32_t kLeft = 0, kRight = 2, kCenter = 1, kExpandTabs = 0x40, kVCenter = 4;
  uint32_t flags = kLeft;
  if (Alignment == gui::TAlignment::taRightJustify) flags = kRight;
  if (Alignment == gui::TAlignment::taCenter) flags = kCenter;
  (void)Control;  // the layer draws left to right only: no reading-order flags to add
  return flags | kExpandTabs | kVCenter;
}

int SumAlignedControls(const gui::TWinControl* Control, gui::TAlign Align, bool WithGraphic) {
  if (!Control) return 0;
  const bool vertical = Align == gui::TAlign::alTop || Align == gui::TAlign::alBottom;
  const bool horizontal = Align == gui::TAlign::alLeft || Align == gui::TAlign::alRight;
  if (!vertical && !horizontal) return 0;
  int sum = 0;
  for (int i = 0; i < Control->ControlCount(); ++i) {
    const gui::TControl* c = Control->Controls(i);
    if (!c->Visible() || c->Align() != Align) continue;
    if (!WithGraphic && !dynamic_cast<const gui::TWinControl*>(c)) continue;
    sum += vertical ? c->Height() : c->Width();
  }
  return sum;
}

void NotifyParentChildChanged(gui::TControl* Control) {
  if (!Control || (Control->ComponentState() & (gui::csLoading | gui::csDesigning))) return;
  gui::TCustomForm* form = Control->GetParentForm();
  if (!form) return;
  SendToWindowOf(form, WM_SKINCOMMAND, SkinCommandWParam(AC_CHILDADDED), reinterpret_cast<LPARAM>(Control));
}

void RepaintChildControls(gui::TWinControl* Control) {
  if (!Control || AnimationInProgress() || (Control->ComponentState() & gui::csDesigning)) return;
  std::vector<gui::TControl*> children;
  for (int i = 0; i < Control->ControlCount(); ++i) children.push_back(Control->Controls(i));
  for (gui::TControl* child : children) {
    if (!StillChildOf(Control, child) || child->IsDestroying()) continue;
    if (auto* w = dynamic_cast<gui::TWinControl*>(child)) {
      if (HasWindow(w) && w->Showing()) SendToWindowOf(w, WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
    } else {
      child->Perform(WM_SKINCOMMAND, SkinCommandWParam(AC_FLUSHREPAINT), 0);
    }
  }
}

TColor ControlBgColor(gui::TControl* Control) {
  if (!Control) return clFuchsia;
  if (SendLibraryCommandNoParam(Control, AC_ISSKINNED) == 1)
    return TColor(gui::ColorToRGB(gui::TColor(SendLibraryCommandToControl(Control, AC_GETCOLOR, clFuchsia))));
  return TColor(gui::ColorToRGB(Control->Color()));
}

}  // namespace skin
