// The Windows side of the form animations: the layered copy window, the taskbar button's place and the form's
// window shown again after a restore.
#include <windows.h>

#include <commctrl.h>

#include "gui/forms.h"
#include "skin/manager/sanimations_window.h"
#include "skin/manager/svclutils.h"
#include "skin/forms/composition.h"
#include "skin/forms/form_window.h"
#include "skin/forms/min_animation.h"
#include "skin/forms/provider_wndproc.h"

namespace skin {

namespace {

struct CopyWindow {
  TacAnimWindow window;
};

// Reads a block of another process's memory; false when it cannot.
bool ReadRemote(HANDLE process, const void* address, void* out, size_t size) {
  SIZE_T got = 0;
  return ReadProcessMemory(process, address, out, size, &got) && got == size;
}

// The application's button on the shell's task tool bar, in screen coordinates (empty when not found). Reading
// the tool bar's buttons means reading the shell's memory: the process is opened with only what that needs
// (no full access), the buffer in it is plain read-write memory (never executable), and the button records are
// read in the shell's own layout (32-bit or 64-bit).
TRect TaskbarButtonFromToolbar(HWND wanted1, HWND wanted2) {
  HWND tray = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
  HWND rebar = tray ? FindWindowExA(tray, nullptr, "ReBarWindow32", nullptr) : nullptr;
  HWND tasks = rebar ? FindWindowExA(rebar, nullptr, "MSTaskSwWClass", nullptr) : nullptr;
  HWND toolbar = tasks ? FindWindowExA(tasks, nullptr, "ToolbarWindow32", nullptr) : nullptr;
  if (!toolbar) return TRect{};
  const LRESULT count = SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0);
  if (count < 1) return TRect{};
  DWORD pid = 0;
  GetWindowThreadProcessId(toolbar, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return TRect{};
  BOOL shellWow64 = FALSE, selfWow64 = FALSE;
  IsWow64Process(process, &shellWow64);
  IsWow64Process(GetCurrentProcess(), &selfWow64);
  // A shell under WOW64 keeps 32-bit records; a native 64-bit one 64-bit records (this program is 64-bit).
  const bool shell32 = sizeof(void*) == 4 || shellWow64;
  const size_t recordSize = shell32 ? 20 : 32;
  const size_t dataOffset = shell32 ? 12 : 16;
  void* remote = VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  TRect result{};
  if (remote) {
    int found = -1;
    for (LRESULT i = 0; i < count && found < 0; ++i) {
      if (!SendMessageA(toolbar, TB_GETBUTTON, WPARAM(i), reinterpret_cast<LPARAM>(remote))) continue;
      unsigned char record[32] = {};
      if (!ReadRemote(process, remote, record, recordSize)) break;
      const unsigned char state = record[8], style = record[9];
      if ((style & 0x0D) || (state & TBSTATE_HIDDEN)) continue;
      uint64_t data = 0;
      memcpy(&data, record + dataOffset, shell32 ? 4 : 8);
      if (data == 0) continue;
      uint64_t handle = 0;
      if (!ReadRemote(process, reinterpret_cast<const void*>(uintptr_t(data)), &handle, shell32 ? 4 : 8)) continue;
      const HWND h = reinterpret_cast<HWND>(uintptr_t(handle));
      if ((wanted1 && h == wanted1) || (wanted2 && h == wanted2)) found = int(i);
    }
    if (found >= 0 && SendMessageA(toolbar, TB_GETITEMRECT, WPARAM(found), reinterpret_cast<LPARAM>(remote))) {
      RECT r{};
      if (ReadRemote(process, remote, &r, sizeof(r))) {
        POINT origin{0, 0};
        ClientToScreen(toolbar, &origin);
        result = TRect{r.left + origin.x, r.top + origin.y, r.right + origin.x, r.bottom + origin.y};
      }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return result;
}

}  // namespace

TRect TaskbarWindowRect() {
  HWND tray = static_cast<HWND>(TaskbarWindow());
  RECT r{};
  if (!tray || !GetWindowRect(tray, &r)) return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

TRect TaskbarButtonRect(const TsSkinProvider& p) {
  if (!TaskbarWindow() || DwmCompositionEnabled()) return TRect{};
  return TaskbarButtonFromToolbar(p.Form() ? p.Form()->WindowHandle() : nullptr,
                                  gui::Application ? gui::Application->Handle() : nullptr);
}

uint8_t MinimizeMaxAlpha() {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof(v);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&v);
#pragma GCC diagnostic pop
  if (v.dwMajorVersion < 6 || DwmCompositionEnabled()) return 63;
  return 255;
}

void* CreateAnimCopyWindow(TsSkinProvider& p) {
  const TRect r = FormWindowRect(*p.Form());
  auto* c = new CopyWindow{detail::MakeHelperWindow(r, false, nullptr)};
  if (!c->window.Wnd) {
    delete c;
    return nullptr;
  }
  return c;
}

void* AnimCopyWindowHandle(void* wnd) { return wnd ? static_cast<CopyWindow*>(wnd)->window.Wnd : nullptr; }

void FreeAnimCopyWindow(void* wnd) {
  auto* c = static_cast<CopyWindow*>(wnd);
  if (!c) return;
  if (c->window.Free) c->window.Free();
  delete c;
}

void ShowAnimCopyWindow(void* wnd, const Bitmap& frame, const TPoint& topLeft, uint8_t alpha) {
  auto* c = static_cast<CopyWindow*>(wnd);
  if (!c || !c->window.Wnd) return;
  HWND h = c->window.Wnd;
  SetWindowRgn(h, nullptr, FALSE);
  UpdateLayeredFromBitmap(h, &frame, alpha, &topLeft);
  HWND tray = static_cast<HWND>(TaskbarWindow());
  SetWindowPos(h, tray ? tray : HWND_TOP, 0, 0, 0, 0, 0x65B);
}

void HideAnimCopyWindow(void* wnd) {
  auto* c = static_cast<CopyWindow*>(wnd);
  if (c && c->window.Wnd) ShowWindow(c->window.Wnd, SW_HIDE);
}

void ShowFormAfterRestore(TsSkinProvider& p, bool maximize) {
  gui::TCustomForm& form = *p.Form();
  HWND h = form.WindowHandle();
  if (!h) return;
  // The system command the animation held back, now handled by the form as it would have been.
  const bool saved = SystemMinimizeAnimation();
  if (saved) SetSystemMinimizeAnimation(false);
  gui::TMessage m{WM_SYSCOMMAND, WPARAM(maximize ? SC_MAXIMIZE : SC_RESTORE), 0, 0};
  ProviderCallOldProc(p, m);
  if (saved) SetSystemMinimizeAnimation(true);
  // The frame (and the client's background in it) painted anew before the client is drawn from it.
  p.SkinData().BGChanged = true;
  RedrawWindow(h, nullptr, nullptr, 0x585);
}

}  // namespace skin
