// The screen asked whether it shows the per-pixel alpha of layered windows (see layered_alpha.h).
#include <windows.h>

#include <cstdint>

#include "skin/painters/layered_alpha.h"
#include "skin/painters/painting_libraries.h"
#include "skin/pixels/gdi_ledger.h"

namespace skin {

namespace {

constexpr char kProbeClass[] = "acLayeredAlphaProbe";
constexpr int kSide = 4;
// The window underneath is opaque red; the probe over it is blue at half alpha (its colour multiplied by its
// alpha, as UpdateLayeredWindow takes it). Blended, the screen shows purple (red about 127, blue about 128);
// shown without alpha, dark blue (red 0).
constexpr uint32_t kBase = 0xFFFF0000;   // A R G B
constexpr uint32_t kProbe = 0x80000080;

enum class Answer { kShown, kNotShown, kUnreadable };

struct State {
  bool asked = false;
  bool shown = true;
  const char* source = "system";
  // The probe started early on a thread of its own, and what it found there.
  HANDLE worker = nullptr;
  int joining = 0;
  Answer found = Answer::kUnreadable;
};

State& Cached() {
  static State state;
  return state;
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A layered popup of kSide x kSide pixels of one 32-bit value at (x, y), shown without activation on top.
HWND ShowLayered(int x, int y, uint32_t pixel) {
  const UpdateLayeredWindowFunction update = UpdateLayeredWindowProc();
  if (update == nullptr) return nullptr;
  HWND h = ledger::CreateWindowEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST |
                                      WS_EX_TRANSPARENT,
                                  kProbeClass, "", WS_POPUP, x, y, kSide, kSide, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
  if (h == nullptr) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = kSide;
  bi.bmiHeader.biHeight = -kSide;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = ledger::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC screen = ledger::GetDC(nullptr);
  HDC memory = screen ? ledger::CreateCompatibleDC(screen) : nullptr;
  bool ok = false;
  if (dib && bits && memory) {
    for (int i = 0; i < kSide * kSide; ++i) static_cast<uint32_t*>(bits)[i] = pixel;
    HGDIOBJ old = SelectObject(memory, dib);
    POINT position{x, y}, source{0, 0};
    SIZE size{kSide, kSide};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    ok = update(h, screen, &position, &size, memory, &source, 0, &blend, ULW_ALPHA) != FALSE;
    SelectObject(memory, old);
  }
  if (memory) ledger::DeleteDC(memory);
  if (screen) ledger::ReleaseDC(nullptr, screen);
  if (dib) ledger::DeleteObject(dib);
  if (!ok) {
    ledger::DestroyWindow(h);
    return nullptr;
  }
  SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  return h;
}

// What the screen shows at (x, y) once the probe is there: a compositing manager may take a moment to blend.
Answer ReadBack(int x, int y) {
  const DWORD start = GetTickCount();
  Answer answer = Answer::kUnreadable;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    HDC screen = ledger::GetDC(nullptr);
    const COLORREF c = screen ? GetPixel(screen, x + kSide / 2, y + kSide / 2) : CLR_INVALID;
    if (screen) ledger::ReleaseDC(nullptr, screen);
    if (c != CLR_INVALID) {
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (g < 48 && b >= 80 && b <= 176) {
        if (r >= 80 && r <= 176) return Answer::kShown;
        if (r < 40) answer = Answer::kNotShown;  // may still be a compositor's first frame: read again
      }
    }
    if (answer == Answer::kNotShown && GetTickCount() - start >= 60) return answer;
    Sleep(5);
  } while (GetTickCount() - start < 400);
  return answer;
}

Answer Probe() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kProbeClass;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return Answer::kUnreadable;
  // In the bottom-right corner of the primary screen, for a few milliseconds.
  const int x = GetSystemMetrics(SM_CXSCREEN) - kSide, y = GetSystemMetrics(SM_CYSCREEN) - kSide;
  Answer answer = Answer::kUnreadable;
  HWND base = ShowLayered(x, y, kBase);
  HWND probe = base ? ShowLayered(x, y, kProbe) : nullptr;
  if (probe) answer = ReadBack(x, y);
  if (probe) ledger::DestroyWindow(probe);
  if (base) ledger::DestroyWindow(base);
  UnregisterClassA(kProbeClass, GetModuleHandleA(nullptr));
  return answer;
}

void Take(State& s, Answer answer) {
  switch (answer) {
    case Answer::kShown:
      s.shown = true;
      s.source = "probe: shown";
      break;
    case Answer::kNotShown:
      s.shown = false;
      s.source = "probe: not shown";
      break;
    case Answer::kUnreadable:
      // Nothing tells: soft edges are left out rather than risk them drawn black.
      s.shown = false;
      s.source = "probe: unreadable";
      break;
  }
}

DWORD WINAPI ProbeThread(void* state) {
  static_cast<State*>(state)->found = Probe();
  ledger::BackgroundEnded();
  return 0;
}

// Whether the early probe's thread has ended, waited for at most three seconds. Messages sent to this thread
// meanwhile are answered (a window of another thread may be waiting on one); nothing posted is taken from the
// queue.
bool Join(HANDLE worker) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(1, &worker, FALSE, 50, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return true;
    if (r == WAIT_FAILED || GetTickCount() - start >= 3000) return false;
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void Ask() {
  State& s = Cached();
  if (s.asked) return;
  if (s.worker) {
    // A message answered while waiting may ask again: the innermost ask that sees the thread end answers, and
    // the outermost lets the thread's handle go.
    ++s.joining;
    const bool ended = Join(s.worker);
    --s.joining;
    if (!s.asked) {
      s.asked = true;
      // Read only once the thread has ended: its end orders its write before this read.
      Take(s, ended ? s.found : Answer::kUnreadable);
    }
    if (s.joining == 0) {
      CloseHandle(s.worker);
      s.worker = nullptr;
    }
    return;
  }
  s.asked = true;
  if (!UnderWine()) return;  // Windows composes layered windows itself
  Take(s, Probe());
}

}  // namespace

void AskLayeredAlphaEarly() {
  State& s = Cached();
  if (s.asked || s.worker || !UnderWine()) return;
  ledger::BackgroundBegun();
  s.worker = CreateThread(nullptr, 0, ProbeThread, &s, 0, nullptr);
  if (!s.worker) ledger::BackgroundEnded();  // asked when needed, on this thread
}

bool LayeredAlphaShown() {
  Ask();
  return Cached().shown;
}

const char* LayeredAlphaSource() {
  Ask();
  return Cached().source;
}

}  // namespace skin
