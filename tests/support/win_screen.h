#pragma once
// Windows-build test helpers: pumping the real message queue for a while or until a state is reached, and saving
// what a window shows on the screen as a bitmap file (a test artefact).
#ifdef _WIN32
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "gui/gui.h"

namespace testsupport {

inline void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    gui::Application->ProcessMessages();
    Sleep(5);
  } while (GetTickCount() - start < ms);
}

// Handles the thread's messages one at a time until `done()` holds or `ms` milliseconds have passed, and says
// whether it holds. `done` is asked before the first message and after each one (a test may so watch every step
// of an animation). A test that acts through real input, timers or repaints waits this way for the state it
// then checks: on a loaded machine they come late, and a fixed pause is then too short.
template <class Condition>
bool PumpUntil(Condition done, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms) return false;
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
      gui::Application->HandleMessage();
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - spent, 10), QS_ALLINPUT);
  }
}

// The windows of the calling thread: its top-level windows, and with `withChildren` their child windows too.
inline int ThreadWindowCount(bool withChildren = false) {
  struct Count {
    int n = 0;
    bool children;
  } count{0, withChildren};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND top, LPARAM l) -> BOOL {
        auto* c = reinterpret_cast<Count*>(l);
        ++c->n;
        if (c->children)
          EnumChildWindows(
              top,
              [](HWND, LPARAM l2) -> BOOL {
                ++reinterpret_cast<Count*>(l2)->n;
                return TRUE;
              },
              l);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

// Copies a whole window (frame, title bar, menu bar and client area) from the screen into a 24-bit bitmap,
// after bringing it to the top and repainting it. The test display has no window manager: Wine draws the
// frames itself, as Windows does.
// What the screen shows in rectangle r now, into out (24-bit).
inline void CaptureScreenRect(const RECT& r, gui::TBitmap& out) {
  out.SetPixelFormat(gui::TPixelFormat::pf24bit);
  out.SetSize(r.right - r.left, r.bottom - r.top);
  HDC screen = GetDC(nullptr);
  BitBlt(out.Canvas().Handle(), 0, 0, out.Width(), out.Height(), screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
}

inline void CaptureWindow(HWND h, gui::TBitmap& out) {
  SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpFor(300);
  RECT r;
  GetWindowRect(h, &r);
  CaptureScreenRect(r, out);
}

inline std::string SaveWindowPicture(HWND h, const std::string& directory, const std::string& name) {
  std::filesystem::create_directories(directory);
  gui::TBitmap bmp;
  CaptureWindow(h, bmp);
  const std::string path = directory + "/" + name + ".bmp";
  bmp.SaveToFile(path);
  return path;
}

inline uint32_t ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return c;
}

// What a window shows at a point of its own: window coordinates (its frame included), or of its client area.
inline uint32_t WindowPixel(HWND h, int x, int y) {
  HDC dc = GetWindowDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}
inline uint32_t ClientPixel(HWND h, int x, int y) {
  HDC dc = GetDC(h);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(h, dc);
  return c;
}

// A left click of the mouse itself at a point of the screen: it reaches whatever window is on top there.
inline void MouseClickAt(int x, int y) {
  SetCursorPos(x, y);
  Sleep(100);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
  Sleep(100);
}

// Runs `commands` under the Unix shell and waits until they have ended (up to 30 s); `output` gets what they wrote
// on their standard output. The thread's messages are handled meanwhile, unless `handleMessages` is false. Wine
// hands back no handle that waits on a Unix program: the shell removes a mark file at its end. False when the shell
// could not run or did not end in time.
inline bool RunUnixShell(const std::string& commands, std::string* output = nullptr, bool handleMessages = true) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  static const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  char dir[MAX_PATH] = {}, mark[MAX_PATH] = {};
  wchar_t wide[MAX_PATH] = {};
  if (!unixName || !GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "ush", 0, mark)) return false;
  const std::string script = std::string(mark) + ".sh", out = std::string(mark) + ".out";
  char* unixMark = MultiByteToWideChar(CP_ACP, 0, mark, -1, wide, MAX_PATH) ? unixName(wide) : nullptr;
  bool ok = false;
  if (unixMark) {
    const std::string m = unixMark;
    HeapFree(GetProcessHeap(), 0, unixMark);
    if (FILE* f = std::fopen(script.c_str(), "wb")) {
      std::fprintf(f, "{\n%s\n} >'%s.out'\nrm -f '%s'\n", commands.c_str(), m.c_str(), m.c_str());
      std::fclose(f);
      std::string cmd = "/bin/sh \"" + m + ".sh\"";
      STARTUPINFOA si{};
      si.cb = sizeof si;
      PROCESS_INFORMATION pi{};
      if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        auto ended = [&] { return GetFileAttributesA(mark) == INVALID_FILE_ATTRIBUTES; };
        if (handleMessages) {
          ok = PumpUntil(ended, 30000);
        } else {
          const DWORD begun = GetTickCount();
          while (!(ok = ended()) && GetTickCount() - begun < 30000) Sleep(10);
        }
        if (ok && output) {
          output->clear();
          if (FILE* o = std::fopen(out.c_str(), "rb")) {
            char buffer[512];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, o)) > 0;) output->append(buffer, n);
            std::fclose(o);
          }
        }
      }
    }
  }
  for (const std::string& f : {std::string(mark), script, out}) DeleteFileA(f.c_str());
  return ok;
}

// Real input through the X server: xdotool run with these arguments, and waited for: until it has ended, then until
// this program sees the pointer where the X server has it (Wine reads the X server's pointer late on a busy machine),
// then until the input queued by then is handled. The thread's messages are handled meanwhile, unless
// `handleMessages` is false (the input then waits in the queue, as it does while the thread is busy). Where the
// pointer stands is asked again when the asking failed: xdotool reads the window under the pointer too, and a window
// that goes meanwhile (windows come and go on a busy display) ends it on an X error. It is also asked again while
// this program has the pointer elsewhere: the X server may answer before it has taken in xdotool's last move (on a
// busy machine it said the place of the move before, and this program rightly had the pointer at the last one).
// False when it could not run, or did not end or the pointer did not come within 30 s. The program is XDOTOOL's
// command when that is set, /usr/bin/xdotool otherwise.
// Why the last Xdotool call that failed did (empty until one fails): said by a test that asserts on it.
inline std::string& XdotoolFault() {
  static std::string fault;
  return fault;
}
inline bool Xdotool(const std::string& args, bool handleMessages = true) {
  char program[MAX_PATH] = "/usr/bin/xdotool";
  if (const DWORD n = GetEnvironmentVariableA("XDOTOOL", program, MAX_PATH); n == 0 || n >= MAX_PATH)
    std::strcpy(program, "/usr/bin/xdotool");
  const std::string locate = "for try in 1 2 3 4 5 6 7 8 9 10; do\n  pos=$(" + std::string(program) +
                             " getmouselocation --shell) && echo \"$pos\" && break\n  sleep 0.1\ndone";
  std::string where;
  POINT to{-1, -1};
  if (!RunUnixShell(std::string(program) + " " + args + " >&2\n" + locate, &where, handleMessages)) {
    XdotoolFault() = "xdotool " + args + ": did not run, or did not end within 30 s";
    return false;
  }
  if (std::sscanf(where.c_str(), "X=%ld Y=%ld", &to.x, &to.y) != 2) {
    XdotoolFault() = "xdotool " + args + ": the pointer's place could not be read (\"" + where + "\")";
    return false;
  }
  auto pointerCame = [&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == to.x && at.y == to.y;
  };
  bool ok = false;
  const DWORD begun = GetTickCount();
  for (;;) {
    if (handleMessages) {
      ok = PumpUntil(pointerCame, 2000);
    } else {
      const DWORD asked = GetTickCount();
      while (!(ok = pointerCame()) && GetTickCount() - asked < 2000) Sleep(10);
    }
    if (ok || GetTickCount() - begun > 30000) break;
    POINT again{};
    if (RunUnixShell(locate, &where, handleMessages) && std::sscanf(where.c_str(), "X=%ld Y=%ld", &again.x, &again.y) == 2)
      to = again;
  }
  if (!ok) {
    POINT at{};
    GetCursorPos(&at);
    XdotoolFault() = "xdotool " + args + ": the X server has the pointer at " + std::to_string(to.x) + "," +
                     std::to_string(to.y) + ", this program has it at " + std::to_string(at.x) + "," +
                     std::to_string(at.y) + " after 30 s";
  }
  // What the pointer's events queued is handled before the caller looks.
  if (ok && handleMessages) PumpUntil([] { return (HIWORD(GetQueueStatus(QS_INPUT)) & QS_INPUT) == 0; }, 5000);
  return ok;
}

// The window manager's word on a top-level window: one property of its X window (WM_STATE, _NET_WM_STATE, ...) as
// xprop prints it; empty when it could not be read. A test that changes a managed window's state waits for the
// manager to have taken it before it changes it again: Wine takes a state the manager reports late for a command
// of the manager's own, and gives it to the window once more.
inline std::string WindowManagerProperty(HWND h, const std::string& property) {
  const auto window = reinterpret_cast<uintptr_t>(GetPropA(h, "__wine_x11_whole_window"));
  std::string out;
  if (window == 0 || !RunUnixShell("xprop -id " + std::to_string(window) + " " + property, &out)) return {};
  return out;
}

// Whether the window manager says `words` of a top-level window ("window state: Iconic" of its WM_STATE,
// "_NET_WM_STATE_MAXIMIZED_HORZ" of its _NET_WM_STATE), or with `says` false whether it does not; true as well
// where no manager keeps the window (Wine's unmanaged windows, a display without a manager: no WM_STATE) or there
// is no X window.
inline bool WindowManagerSays(HWND h, const std::string& words, bool says = true) {
  if (!GetPropA(h, "__wine_x11_whole_window")) return true;
  const std::string said = WindowManagerProperty(h, "WM_STATE _NET_WM_STATE");
  if (said.empty()) return false;
  return said.rfind("WM_STATE:  ", 0) == 0 || (said.find(words) != std::string::npos) == says;
}

// Where the X server shows a top-level window: the top-left corner of its X window on the screen (xwininfo's
// "Absolute upper-left"); false where it has no X window or could not be asked. The thread's messages are handled
// while xwininfo runs, unless `handleMessages` is false.
inline bool ScreenOrigin(HWND h, POINT& at, bool handleMessages = true) {
  const auto window = reinterpret_cast<uintptr_t>(GetPropA(h, "__wine_x11_whole_window"));
  std::string out;
  if (window == 0 || !RunUnixShell("xwininfo -id " + std::to_string(window), &out, handleMessages)) return false;
  const size_t x = out.find("Absolute upper-left X:"), y = out.find("Absolute upper-left Y:");
  return x != std::string::npos && y != std::string::npos &&
         std::sscanf(out.c_str() + x, "Absolute upper-left X: %ld", &at.x) == 1 &&
         std::sscanf(out.c_str() + y, "Absolute upper-left Y: %ld", &at.y) == 1;
}

// Waits until a shown top-level window stands at (x, y) for this program (GetWindowRect) and on the screen,
// placing it there again while the program holds it elsewhere; false if that does not come within `ms`. Under a
// window manager on a busy machine, the manager's report of where the window was while it took it in (its frame
// not yet placed: 0,0) can reach Wine after the window was placed: Wine then holds the window there, the screen
// shows it where it was put, and the pointer's events over it go to whatever Wine holds there. Where no manager
// keeps the window, the program's word and the screen's agree at once.
inline bool StandsOnScreenAt(HWND h, int x, int y, DWORD ms = 15000) {
  const DWORD begun = GetTickCount();
  // Taken in by the manager (its WM_STATE), with what it said meanwhile handled.
  PumpUntil([&] { return WindowManagerSays(h, "Normal"); }, ms);
  for (;;) {
    // The screen asked first, then what the manager had said by then handled, then the program asked.
    POINT on{};
    const bool shown = !GetPropA(h, "__wine_x11_whole_window") || (ScreenOrigin(h, on) && on.x == x && on.y == y);
    PumpUntil([] { return HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0; }, 1000);
    RECT r{};
    const bool held = GetWindowRect(h, &r) && r.left == x && r.top == y;
    if (held && shown) return true;
    if (GetTickCount() - begun > ms) return false;
    if (!held) SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpUntil([&] { return GetWindowRect(h, &r) && r.left == x && r.top == y; }, 200);
  }
}

// The xdotool words that move the X server's pointer to a point of the screen.
inline std::string MoveTo(int x, int y) { return "mousemove " + std::to_string(x) + " " + std::to_string(y); }
inline std::string MoveTo(POINT p) { return MoveTo(p.x, p.y); }

// A click of the X server's mouse at a point of the screen.
inline bool XClick(POINT p) { return Xdotool(MoveTo(p) + " click 1"); }

// Another program's window in front of the test's: Wine's Notepad, started for the test and ended with it.
// `window` stays null when it did not show.
struct OtherProgram {
  OtherProgram() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    char command[] = "notepad.exe";
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    PumpUntil([&] { return (window = FindWindowA("Notepad", nullptr)) && IsWindowVisible(window); }, 30000);
    if (window && !IsWindowVisible(window)) window = nullptr;
  }
  ~OtherProgram() {
    if (!pi.hProcess) return;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;
  PROCESS_INFORMATION pi{};
  HWND window = nullptr;
};

}  // namespace testsupport
#endif
