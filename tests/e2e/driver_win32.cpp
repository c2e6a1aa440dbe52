// End-to-end tests of station.exe (Windows build, run under Wine by e2e_test.sh): real station programs, each
// in a working directory of its own, on the COM ports that the radio module simulator serves (COM21 and
// COM22). This driver starts them, finds their windows and controls as any other program would (window
// classes, captions, menus), types and presses keys through the system's input queue, clicks, reads the
// windows' texts back and checks the files the stations write. Pictures of the windows are kept as
// artefacts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "autex/fonctions_fichiers.h"
#include "autex/langues.h"
#include "station/parametres.h"
#include "station/table_parametres.h"
#include "tests/support/win_screen.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// A path of the Linux side as Wine's drive Z: names it.
std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') {
    for (char& c : p)
      if (c == '/') c = '\\';
    p = "Z:" + p;
  }
  return p;
}

const std::string& StationExe() {
  static const std::string p = WindowsPath(Env("STATION_EXE"));
  return p;
}
const std::string& WorkRoot() {
  static const std::string p = WindowsPath(Env("E2E_WORK"));
  return p;
}
const std::string& Artefacts() {
  static const std::string p = WindowsPath(Env("E2E_ARTEFACTS"));
  return p;
}

std::string Join(const std::string& dir, const std::string& name) { return dir + "\\" + name; }

std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), std::streamsize(bytes.size()));
}

// When a file was last written (0 when it cannot be read).
uint64_t WriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(50);
  }
  return true;
}

std::string ClassOf(HWND h) {
  char name[128] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

// The text of a window of another process (WM_GETTEXT is carried across processes).
std::string TextOf(HWND h) {
  const LRESULT n = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
  std::string s(size_t(n) + 1, '\0');
  const LRESULT got = SendMessageA(h, WM_GETTEXT, WPARAM(s.size()), reinterpret_cast<LPARAM>(s.data()));
  s.resize(size_t(got));
  return s;
}

std::vector<HWND> TopWindows(DWORD pid, const std::string& cls) {
  struct Search {
    DWORD pid;
    std::string cls;
    std::vector<HWND> found;
  } search{pid, cls, {}};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == s->pid && IsWindowVisible(h) && ClassOf(h) == s->cls) s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitTopWindow(DWORD pid, const std::string& cls, DWORD ms = 30000) {
  HWND h = nullptr;
  WaitFor(
      [&] {
        const auto w = TopWindows(pid, cls);
        h = w.empty() ? nullptr : w.front();
        return h != nullptr;
      },
      ms);
  return h;
}

// The first visible descendant of `parent` of the window class whose text satisfies `match`.
HWND FindChild(HWND parent, const std::string& cls, const std::function<bool(const std::string&)>& match) {
  struct Search {
    std::string cls;
    const std::function<bool(const std::string&)>* match;
    HWND found;
  } search{cls, &match, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (IsWindowVisible(h) && _stricmp(ClassOf(h).c_str(), s->cls.c_str()) == 0 && (*s->match)(TextOf(h))) {
          s->found = h;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ChildWithText(HWND parent, const std::string& cls, const std::string& text) {
  return FindChild(parent, cls, [&](const std::string& t) { return t == text; });
}

HWND ChildStartingWith(HWND parent, const std::string& cls, const std::string& start) {
  return FindChild(parent, cls, [&](const std::string& t) { return t.rfind(start, 0) == 0; });
}

// The edit window inside a group box.
HWND EditIn(HWND group) { return FindChild(group, "Edit", [](const std::string&) { return true; }); }

// A left click at a point of a window's client area, as the mouse would give it.
void ClickAt(HWND h, int x, int y) {
  PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PushButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

// Types letters and digits through the system's input queue, into the focused window of the foreground one.
void TypeKeys(const std::string& text) {
  for (char c : text) {
    const WORD vk = WORD(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    const bool shift = c >= 'A' && c <= 'Z';
    if (shift) Key(VK_SHIFT, false);
    Key(vk, false);
    Key(vk, true);
    if (shift) Key(VK_SHIFT, true);
    Sleep(30);
  }
}

void Press(WORD vk) {
  Key(vk, false);
  Key(vk, true);
  Sleep(40);
}

// Chooses a menu item with the keyboard, as an operator may: F10 enters the menu bar, Right moves to the
// menu `column` (0 = the first), Down opens it on its first item, Down moves to the item `row`, Enter.
// (Menus are not readable from another process under Wine: the driver works them like a user.) The Right keys
// wait until the foreground window's thread is in its menu bar: typed before, the first went to the window.
void MenuByKeys(int column, int row) {
  Press(VK_F10);
  WaitFor([] {
    GUITHREADINFO g{};
    g.cbSize = sizeof g;
    HWND fg = GetForegroundWindow();
    return fg && GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &g) && (g.flags & GUI_INMENUMODE);
  }, 5000);
  for (int i = 0; i < column; ++i) Press(VK_RIGHT);
  Press(VK_DOWN);
  for (int i = 0; i < row; ++i) Press(VK_DOWN);
  Press(VK_RETURN);
}

// Escape held for a moment, so that the station's timer sees it down.
void PressEscape() {
  Key(VK_ESCAPE, false);
  Sleep(150);
  Key(VK_ESCAPE, true);
}

void SavePicture(HWND h, const std::string& name) { testsupport::SaveWindowPicture(h, Artefacts(), name); }

// A left click of the mouse itself at the centre of a window, on the screen: it reaches whatever window is on
// top there.
void MouseClickOn(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  testsupport::MouseClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// While it lives, the shell's default action for .htm pages writes the name of the page it is given into a
// file instead of opening a browser (the prefix's association is put back afterwards).
class HelpPageRecorder {
 public:
  explicit HelpPageRecorder(const std::string& file) : file_(file) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_READ, &k) == ERROR_SUCCESS) {
      char v[256] = {};
      DWORD n = sizeof v - 1;
      if (RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(v), &n) == ERROR_SUCCESS) previous_ = v;
      RegCloseKey(k);
    }
    const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1> \"" + file_ + "\"";
    Set(".htm", "e2e.helppage");
    Set("e2e.helppage\\shell\\open\\command", command);
  }
  ~HelpPageRecorder() {
    if (!previous_.empty()) Set(".htm", previous_);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "e2e.helppage");
  }
  // The page the shell was last given ("" none yet), without quotes.
  std::string Page() const {
    std::string t = ReadFile(file_);
    std::string page;
    for (char c : t)
      if (c != '"' && c != '\r' && c != '\n') page.push_back(c);
    while (!page.empty() && page.back() == ' ') page.pop_back();
    return page;
  }
  void Forget() const { DeleteFileA(file_.c_str()); }

 private:
  static void Set(const std::string& key, const std::string& value) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(k);
  }
  std::string file_;
  std::string previous_;
};

// One station.exe in a working directory of its own.
class StationProcess {
 public:
  explicit StationProcess(const std::string& directoryName) : dir_(Join(WorkRoot(), directoryName)) {
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~StationProcess() { Kill(); }
  StationProcess(const StationProcess&) = delete;
  StationProcess& operator=(const StationProcess&) = delete;

  const std::string& dir() const { return dir_; }
  std::string file(const std::string& name) const { return Join(dir_, name); }

  bool Start() {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = "\"" + StationExe() + "\"";
    if (!CreateProcessA(StationExe().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir_.c_str(), &si,
                        &pi_))
      return false;
    return true;
  }
  // The main window, once shown.
  HWND Main(DWORD ms = 30000) {
    if (!main_) main_ = WaitTopWindow(pi_.dwProcessId, "TForm1", ms);
    return main_;
  }
  HWND Window(const std::string& cls, DWORD ms = 15000) { return WaitTopWindow(pi_.dwProcessId, cls, ms); }
  bool Exited(DWORD ms) { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }
  // The exit code of a program that ended (STILL_ACTIVE while it runs).
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }
  // Ends the program as its close box does (the parameters are not saved).
  void Close() {
    if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
    Exited(10000);
  }
  void Kill() {
    if (!pi_.hProcess) return;
    if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
  }
  DWORD pid() const { return pi_.dwProcessId; }

  HWND Group(const std::string& captionStart) { return ChildStartingWith(Main(), "Button", captionStart); }
  HWND GroupNamed(const std::string& caption) { return ChildWithText(Main(), "Button", caption); }
  HWND ReceptionMemo() { return EditIn(Group("Text received")); }
  HWND EditorMemo() { return EditIn(Group("Type the")); }
  HWND Button(const std::string& caption) { return ChildWithText(Main(), "Button", caption); }
  // The AUTEX panel's send button (its caption comes with the AUTEX window texts; until they are set it
  // keeps the definition's).
  HWND SendButton() {
    HWND h = Button("Send the message");
    return h ? h : Button("Envoyer le message");
  }
  // The AUTEX window texts are set (in English): until then the link state label too keeps its definition's
  // French caption, and a picture of its idle look taken on a busy machine could be of that one.
  bool AutexTextsSet() { return Button("Send the message") != nullptr; }

  // Chooses COM n in the port menu, also the port already chosen; true once the choice is stored (the port was
  // tested and opened, and the parameter file written anew with it). Keys typed while a skinned menu is still
  // coming up can be lost on a busy machine, and a menu still working through them closes when another window
  // takes the foreground: the choice is made again (a menu left open closed first) until it is stored.
  bool ChoosePort(int n) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (!TopWindows(pid(), "#32768").empty()) {
        Press(VK_ESCAPE);
        Press(VK_ESCAPE);
      }
      const uint64_t before = WriteTime(file("CONF_COM.SER"));
      Foreground();
      MenuByKeys(0, n);
      if (WaitFor(
              [&] {
                const std::string image = ReadFile(file("CONF_COM.SER"));
                return WriteTime(file("CONF_COM.SER")) != before && image.size() == 945 &&
                       uint8_t(image[251]) == station::Code_du_port(n);
              },
              15000))
        return true;
      // Where the keys went, for the log of a run that fails.
      HWND front = GetForegroundWindow();
      DWORD owner = 0;
      GetWindowThreadProcessId(front, &owner);
      std::printf("COM%d by the menu, try %d: nothing stored; in front: %s \"%s\" of %s, %zu menu(s) and %zu box(es) "
                  "of the station open, its window %s\n",
                  n, attempt + 1, ClassOf(front).c_str(), TextOf(front).c_str(),
                  owner == pid() ? "the station" : "another program", TopWindows(pid(), "#32768").size(),
                  TopWindows(pid(), "#32770").size(), IsWindowEnabled(Main()) ? "enabled" : "disabled");
    }
    return false;
  }
  // Brings the main window to the front, with the keyboard.
  void Foreground() {
    SetForegroundWindow(Main());
    WaitFor([&] { return GetForegroundWindow() == Main(); }, 5000);
    Sleep(200);
  }

 private:
  std::string dir_;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// The standard parameter image for this screen, as the program builds it.
std::string StandardImage() {
  autex::Langues langues;
  autex::FonctionsFichiers fichiers(langues, nullptr);
  station::Hote_parametres hote;
  station::Parametres p(langues, fichiers, hote);
  return p.Image_standard;
}

int Decode(const std::string& image, int first) {
  return station::Decoder_coordonnee(uint8_t(image[size_t(first - 1)]), uint8_t(image[size_t(first)]));
}

// ---------------------------------------------------------------------------------------------------
// AUTEX mode between two stations

// The visible direct children of a window of a class.
std::vector<HWND> DirectChildren(HWND parent, const std::string& cls) {
  struct Search {
    HWND parent;
    std::string cls;
    std::vector<HWND> found;
  } search{parent, cls, {}};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (GetParent(h) == s->parent && IsWindowVisible(h) && _stricmp(ClassOf(h).c_str(), s->cls.c_str()) == 0)
          s->found.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A window's rectangle in its parent's client coordinates.
RECT RectIn(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A station in AUTEX mode on COM `port`, with its call sign, free text and two sequences.
// Chooses the interface's language in the "Langue / Language" menu; keys typed while a skinned menu is still
// coming up can be lost on a busy machine: the choice is made again (a menu left open closed first) until the
// Quit button speaks the language. False when it never did.
bool ChooseLanguage(StationProcess& s, bool french) {
  const std::string quit = french ? "Quitte" : "Quit";
  for (int attempt = 0; attempt < 3 && !s.Button(quit); ++attempt) {
    if (!TopWindows(s.pid(), "#32768").empty()) {
      Press(VK_ESCAPE);
      Press(VK_ESCAPE);
    }
    s.Foreground();
    MenuByKeys(3, french ? 1 : 0);
    WaitFor([&] { return s.Button(quit) != nullptr; }, 3000);
  }
  return s.Button(quit) != nullptr;
}

class AutexStation : public StationProcess {
 public:
  // `keep`: the station starts again on the parameter and text files it already has. `skin`: the skin setting
  // stored in its parameters (1 none, 2 to 6 the stored skins), 0 for the standard one.
  AutexStation(const std::string& directory, int port, const std::string& call, const std::string& various,
               bool keep = false, int skin = 0)
      : StationProcess(directory), call_(call) {
    if (keep) return;
    std::string image = StandardImage();
    image[251] = char(station::Code_du_port(port));
    image[station::octet::MODE - 1] = 78;  // AUTEX
    if (skin != 0) image[station::octet::PEAU - 1] = char(skin);
    WriteFile(file("CONF_COM.SER"), image);
    WriteFile(file("CONFSTRINGS_COM.TXT"), "\r\n" + call + "\r\n" + various + "\r\nQRZ?\r\n73 de " + call + "\r\n");
  }

  // The panel of the AUTEX mode (the one that holds the send button) and its participant panels: M in the
  // first column, S1 in the second.
  HWND AutexPanel() {
    HWND send = SendButton();
    return send ? GetParent(send) : nullptr;
  }
  HWND Participant(int column) {
    for (HWND p : DirectChildren(AutexPanel(), "TPanel")) {
      const RECT r = RectIn(p);
      if (r.left == column * 336 && r.right - r.left == 336 && EditIn(p)) return p;
    }
    return nullptr;
  }
  HWND MasterMemo() { return EditIn(Participant(0)); }
  HWND S1Memo() { return EditIn(Participant(1)); }
  HWND ReceivedTextMemo() { return EditIn(Group("Text received")); }
  HWND SmsWindow() { return FindChild(Main(), "RichEdit20A", [](const std::string&) { return true; }); }
  // The meeting buttons (speed buttons drawn on their panels).
  void ClickStart() { ClickAt(Participant(0), 172, 9); }
  void ClickEnd() { ClickAt(Participant(0), 279, 9); }
  void ClickEnter() { ClickAt(Participant(1), 232, 9); }
  void ClickLeave() { ClickAt(Participant(1), 298, 9); }
  // The AUTEX speed buttons, on the panel above the call-sign field.
  void ClickSpeed(int speed) {
    HWND callField = FindChild(Main(), "Edit", [&](const std::string& t) { return t == call_; });
    ASSERT_NE(callField, nullptr);
    POINT corner{10, 10};
    HWND speeds = ChildWindowFromPointEx(GetParent(callField), corner, CWP_SKIPINVISIBLE);
    ASSERT_NE(speeds, nullptr);
    ClickAt(speeds, speed == 1200 ? 190 : speed == 400 ? 252 : 314, 13);
  }
  // A push button of the AUTEX panel by its English or French caption.
  HWND AutexButton(const std::string& english, const std::string& french) {
    HWND h = Button(english);
    return h ? h : Button(french);
  }
  // Types a message into the editor (as text) and presses "Send the message".
  void Send(const std::string& text) {
    SendMessageA(EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PushButton(SendButton());
  }
  // The link state label as the screen shows it (the window brought to the front and captured whole).
  std::vector<COLORREF> LinkState() {
    Foreground();
    POINT origin{220, 9};
    ClientToScreen(AutexPanel(), &origin);
    // The window is raised a moment after it is asked to be: until the label's place shows it, and no window
    // of the other station (its skin's shadow around its frame, which the mouse goes through, included) lies
    // over the label.
    const RECT label{origin.x, origin.y, origin.x + 196, origin.y + 14};
    const auto covered = [&] {
      for (HWND h = GetWindow(Main(), GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        RECT r, common;
        if (owner != pid() && IsWindowVisible(h) && GetWindowRect(h, &r) && IntersectRect(&common, &r, &label))
          return true;
      }
      return false;
    };
    WaitFor(
        [&] {
          DWORD owner = 0;
          GetWindowThreadProcessId(WindowFromPoint(origin), &owner);
          const bool shown = owner == pid() && !covered();
          if (!shown) SetWindowPos(Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
          return shown;
        },
        10000);
    // Two pictures in a row that agree: the label is not caught in the middle of a repaint.
    std::vector<COLORREF> last = LabelPixels(origin);
    for (int i = 0; i < 25; ++i) {
      Sleep(120);
      std::vector<COLORREF> again = LabelPixels(origin);
      if (again == last) break;
      last = std::move(again);
    }
    return last;
  }
  // The pixels of the link state label (at `origin` on the screen) in a picture of the whole window.
  std::vector<COLORREF> LabelPixels(POINT origin) {
    gui::TBitmap picture;
    testsupport::CaptureWindow(Main(), picture);
    RECT window;
    GetWindowRect(Main(), &window);
    std::vector<COLORREF> px;
    HDC dc = picture.Canvas().Handle();
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 196; ++x) px.push_back(GetPixel(dc, origin.x - window.left + x, origin.y - window.top + y));
    return px;
  }
  // A picture of the main window, brought in front of the other station's.
  void Picture(const std::string& name) {
    LinkState();  // brought to the front
    SavePicture(Main(), name);
  }
  // The message window that the send button shows while the station is not connected.
  bool SaysNotConnected() {
    Send("anyone?");
    HWND message = Window("TForm36", 10000);
    if (!message) return false;
    const bool says = TextOf(EditIn(message)) == "Your are not yet connected...";
    PushButton(ChildWithText(message, "Button", "OK"));
    WaitFor([&] { return !IsWindowVisible(message); }, 5000);
    return says;
  }
  // The files of a sub-directory whose names match a pattern.
  std::vector<std::string> Files(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(Join(dir(), pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do names.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
  }

 private:
  std::string call_;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Where two pictures of the link state label differ (for the failure message).
std::string Differences(const std::vector<COLORREF>& x, const std::vector<COLORREF>& y) {
  if (x.size() != y.size()) return "sizes differ";
  std::string out;
  int n = 0;
  for (size_t i = 0; i < x.size(); ++i)
    if (x[i] != y[i] && ++n <= 8) {
      char b[64];
      std::snprintf(b, sizeof b, " (%d,%d) %06lX/%06lX", int(i % 196), int(i / 196), x[i], y[i]);
      out += b;
    }
  return std::to_string(n) + " pixels differ:" + out;
}

// Where the text of a link state label lies: its pixels far from the label's commonest colour (its background),
// nearer the furthest one than the background. Stations in different skins paint the same text in the same
// shape in colours of their own.
std::vector<bool> TextShape(const std::vector<COLORREF>& px) {
  std::map<COLORREF, int> counts;
  for (COLORREF c : px) ++counts[c];
  COLORREF background = px.empty() ? 0 : px.front();
  for (const auto& [c, n] : counts)
    if (n > counts[background]) background = c;
  const auto distance = [](COLORREF a, COLORREF b) {
    return std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))), std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                     std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
  };
  int furthest = 0;
  for (COLORREF c : px) furthest = std::max(furthest, distance(c, background));
  std::vector<bool> shape;
  for (COLORREF c : px) shape.push_back(furthest > 0 && distance(c, background) * 2 > furthest);
  return shape;
}

// Whether two link state labels show the same text: their text shapes agree but for a few edge pixels (the
// smoothing of the letters follows the colours), and there is some text.
std::string SameText(const std::vector<COLORREF>& x, const std::vector<COLORREF>& y) {
  const std::vector<bool> a = TextShape(x), b = TextShape(y);
  if (a.size() != b.size()) return "sizes differ";
  const long text = std::count(a.begin(), a.end(), true);
  long differ = 0;
  for (size_t i = 0; i < a.size(); ++i) differ += a[i] != b[i];
  if (text == 0) return "no text";
  if (differ * 20 > text) return std::to_string(differ) + " of " + std::to_string(text) + " text pixels differ";
  return "";
}

// A at the screen's top left corner, B at its right, wholly on the screen (the pictures are taken from it). The
// two-station groups run on a screen wide enough for both side by side: neither window, nor the frame shadow
// that a skin draws around it, lies over the other, whose pictures are read off the screen (under Wine the X
// stacking can lag the window order for a while after a window was raised). On a narrower screen B overlaps A.
void PlaceApart(AutexStation& a, AutexStation& b) {
  SetWindowPos(a.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT rb;
  GetWindowRect(b.Main(), &rb);
  const int w = rb.right - rb.left, h = rb.bottom - rb.top;
  SetWindowPos(b.Main(), nullptr, std::max(0, GetSystemMetrics(SM_CXSCREEN) - w),
               std::max(0, GetSystemMetrics(SM_CYSCREEN) - h), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Starts both stations, waits until each shows its main window ready for a meeting, and places them apart.
void StartBoth(AutexStation& a, AutexStation& b) {
  ASSERT_TRUE(a.Start());
  ASSERT_NE(a.Main(), nullptr);
  ASSERT_TRUE(b.Start());
  ASSERT_NE(b.Main(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return a.SendButton() && b.SendButton() && a.Participant(0) && b.Participant(1); }, 15000));
  PlaceApart(a, b);
}

// Chooses a file in the system's open dialog that the station shows: its name typed in full, then Open.
bool ChooseFileInDialog(AutexStation& s, const std::string& path) {
  HWND dialog = s.Window("#32770", 15000);
  if (!dialog) return false;
  HWND name = GetDlgItem(dialog, 0x47C);  // the file name box
  if (name) {
    HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr);
    if (edit) name = edit;
  } else {
    name = GetDlgItem(dialog, 0x480);
  }
  if (!name) return false;
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
  return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000);
}

// A station log of about 20 kB that zlib shrinks to a few hundred bytes, with some bytes 3 in it.
std::string StationLog() {
  std::string t;
  for (int i = 0; t.size() < 20000; ++i)
    t += "QSO " + std::to_string(100 + i % 7) + " with F" + std::to_string(i % 3) + "XYZ on 434.100 MHz, RST 59" +
         std::string(1, char(3)) + ", 73\r\n";
  t.resize(20000);
  return t;
}

// One AUTEX session between A (the Master) and B (the user) at `speed`: the call and the entry, both connected;
// A's message in B's window and in B's "save all" file; a short message in B's short-message window; a 20 kB
// file sent compressed through the byte errors of the simulated air, received whole; a long text stopped by its
// sender and the link ended, both by A or both by B. Pictures of both windows with the live link are kept. The
// stations start in the skin settings `skinA` and `skinB` (1 none, 2 to 6 the stored skins, 0 the standard one).
void AutexSession(int speed, bool masterEnds, int skinA, int skinB) {
  const std::string tag = std::to_string(speed);
  AutexStation a("autex_a_" + tag, 23, "F1AAA", "JEAN PARIS", false, skinA);
  AutexStation b("autex_b_" + tag, 24, "F2BBB", "PAUL LYON", false, skinB);
  ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
  if (speed != 1200) {
    a.ClickSpeed(speed);
    b.ClickSpeed(speed);
    Sleep(300);
  }
  ASSERT_TRUE(WaitFor([&] { return a.AutexTextsSet() && b.AutexTextsSet(); }, 15000));
  const std::vector<COLORREF> idleA = a.LinkState();
  const std::vector<COLORREF> idleB = b.LinkState();
  EXPECT_EQ(SameText(idleA, idleB), "");

  // The call; B hears it and enters.
  a.ClickStart();
  const DWORD callMs = speed == 1200 ? 40000 : 90000;
  ASSERT_TRUE(WaitFor([&] { return Contains(TextOf(b.ReceivedTextMemo()), "CQ meeting DE F1AAA"); }, callMs))
      << "B shows: " << TextOf(b.ReceivedTextMemo());
  b.ClickEnter();

  // Connected: A's message reaches B's window of the Master. Until the link holds, the send button says "not
  // connected": the message window is closed and the message sent again a little later.
  const DWORD messageMs = speed == 1200 ? 60000 : 180000;
  const std::string hello = "Hello B, here is A at " + tag;
  DWORD t0 = GetTickCount();
  bool delivered = false;
  while (!delivered && GetTickCount() - t0 < messageMs) {
    a.Send(hello);
    // Either the message window comes up or the message is taken (the editor is emptied).
    HWND message = nullptr;
    WaitFor(
        [&] {
          const std::vector<HWND> shown = TopWindows(a.pid(), "TForm36");
          message = shown.empty() ? nullptr : shown.front();
          return message || TextOf(a.EditorMemo()).empty();
        },
        15000);
    if (message) {  // not connected yet
      PushButton(ChildWithText(message, "Button", "OK"));
      WaitFor([&] { return !IsWindowVisible(message); }, 5000);
      Sleep(1500);
      continue;
    }
    delivered = WaitFor([&] { return Contains(TextOf(b.MasterMemo()), hello); }, messageMs);
  }
  if (!delivered) {
    a.Picture("e2e-autex-" + tag + "-A-no-link");
    b.Picture("e2e-autex-" + tag + "-B-no-link");
  }
  ASSERT_TRUE(delivered) << "B's window of the Master: " << TextOf(b.MasterMemo());
  // Both show the same link state, each in its skin, which is not the idle one.
  const std::vector<COLORREF> connectedA = a.LinkState();
  a.Picture("e2e-autex-" + tag + "-A-connected");
  const std::vector<COLORREF> connectedB = b.LinkState();
  b.Picture("e2e-autex-" + tag + "-B-connected");
  EXPECT_EQ(SameText(connectedA, connectedB), "");
  EXPECT_NE(SameText(connectedA, idleA), "");
  EXPECT_FALSE(connectedB == idleB);

  // B answers with Escape: it shows in A's window of S1.
  b.Foreground();
  SendMessageA(b.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Fine business, 73"));
  PressEscape();
  ASSERT_TRUE(WaitFor([&] { return Contains(TextOf(a.S1Memo()), "Fine business, 73"); }, messageMs))
      << "A's window of S1: " << TextOf(a.S1Memo());

  // B saves all its windows: A's message is in the dated file.
  PushButton(b.AutexButton("Save all", "Sauve tout"));
  std::vector<std::string> saved;
  ASSERT_TRUE(WaitFor([&] { return !(saved = b.Files("AUTEX\\AUTEX *.TXT")).empty(); }, 5000));
  const std::string content = ReadFile(Join(b.dir(), "AUTEX\\" + saved.front()));
  EXPECT_EQ(content.rfind("Master ", 0), 0u) << content;
  EXPECT_TRUE(Contains(content, hello)) << content;

  // The message is also a short message: it is in B's short-message window under A's call sign.
  ASSERT_TRUE(WaitFor([&] { return Contains(TextOf(b.SmsWindow()), hello); }, 10000)) << TextOf(b.SmsWindow());
  EXPECT_TRUE(Contains(TextOf(b.SmsWindow()), "F1AAA"));

  // A 20 kB file, compressed (the standard setting), through the simulator's byte errors.
  const std::string log = StationLog();
  WriteFile(a.file("station_log.txt"), log);
  a.Foreground();
  PushButton(a.AutexButton("Your file", "Votre fichier"));
  ASSERT_TRUE(ChooseFileInDialog(a, a.file("station_log.txt")));
  PushButton(a.AutexButton("Transmission", "Transmission"));
  const DWORD fileMs = speed == 1200 ? 120000 : 360000;
  std::vector<std::string> received;
  ASSERT_TRUE(WaitFor([&] { return !(received = b.Files("AUTEX\\station_log*.txt")).empty(); }, fileMs))
      << "B's window of the Master: " << TextOf(b.MasterMemo());
  // The file is whole once written (it may still be being written when its name shows).
  EXPECT_TRUE(WaitFor([&] { return ReadFile(Join(b.dir(), "AUTEX\\" + received.front())) == log; }, 10000));
  b.Picture("e2e-autex-" + tag + "-B-file-received");

  // A long text is stopped on its way by its sender (A when A ends the link, B otherwise); the link goes on.
  AutexStation& sender = masterEnds ? a : b;
  const auto farWindow = [&] { return masterEnds ? TextOf(b.MasterMemo()) : TextOf(a.S1Memo()); };
  std::string report;
  for (int i = 0; i < 30; ++i) report += "line " + std::to_string(i) + " of a long report\r\n";
  sender.Send(report);
  ASSERT_TRUE(WaitFor([&] { return Contains(farWindow(), "line 1 "); }, messageMs)) << farWindow();
  PushButton(sender.AutexButton("Stop!", "Stop!"));
  EXPECT_TRUE(WaitFor([&] { return Contains(farWindow(), "...Stop!"); }, messageMs)) << farWindow();
  sender.Send("after the stop");
  ASSERT_TRUE(WaitFor([&] { return Contains(farWindow(), "after the stop"); }, messageMs)) << farWindow();
  EXPECT_FALSE(Contains(farWindow(), "line 29 "));

  a.Picture("e2e-autex-" + tag + "-A-live-link");
  b.Picture("e2e-autex-" + tag + "-B-live-link");

  // The end of the link, from A or from B: both are disconnected.
  if (masterEnds)
    a.ClickEnd();
  else
    b.ClickLeave();
  const DWORD endMs = speed == 1200 ? 90000 : 180000;
  // Both show the idle link state again, and the send button says so.
  const bool idle = WaitFor([&] { return a.LinkState() == idleA && b.LinkState() == idleB; }, endMs);
  if (!idle) {
    ADD_FAILURE() << "A: " << Differences(a.LinkState(), idleA) << "\nB: " << Differences(b.LinkState(), idleB);
    a.Picture("e2e-autex-" + tag + "-A-not-idle");
    b.Picture("e2e-autex-" + tag + "-B-not-idle");
  }
  ASSERT_TRUE(idle);
  EXPECT_TRUE(a.SaysNotConnected());
  EXPECT_TRUE(b.SaysNotConnected());
  a.Picture("e2e-autex-" + tag + "-A-after-the-link");
  a.Close();
  b.Close();
}

TEST(StationE2E, TheEnvironmentIsGiven) {
  ASSERT_FALSE(Env("STATION_EXE").empty());
  ASSERT_FALSE(Env("E2E_WORK").empty());
  ASSERT_FALSE(Env("E2E_ARTEFACTS").empty());
  CreateDirectoryA(Artefacts().c_str(), nullptr);
  // The pointer rests in a corner, where no window's hint comes up in the pictures.
  SetCursorPos(1279, 1023);
}

TEST(StationE2E, AFirstStartWritesTheStandardParameterFile) {
  StationProcess s("first");
  ASSERT_TRUE(s.Start());
  HWND main = s.Main();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(s.file("CONF_COM.SER").c_str()) != INVALID_FILE_ATTRIBUTES; }, 5000));
  const std::string image = ReadFile(s.file("CONF_COM.SER"));
  EXPECT_EQ(image.size(), 945u);
  EXPECT_TRUE(image == StandardImage());
  EXPECT_EQ(GetFileAttributesA(s.file("CONF_COM.ERR").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(uint8_t(image[251]), station::CODE_AUCUN_PORT);  // no port until one is chosen
  SavePicture(main, "e2e-station-first-start-ascii");
  s.Close();
  EXPECT_TRUE(s.Exited(5000));
}

TEST(StationE2E, AsciiTextTypedOnOneStationShowsOnTheOtherAndInItsReport) {
  StationProcess a("ascii_a");
  StationProcess b("ascii_b");
  std::string image = StandardImage();
  image[251] = char(station::Code_du_port(22));
  WriteFile(b.file("CONF_COM.SER"), image);
  ASSERT_TRUE(a.Start());
  ASSERT_NE(a.Main(), nullptr);
  ASSERT_TRUE(b.Start());
  ASSERT_NE(b.Main(), nullptr);
  SetWindowPos(a.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(b.Main(), nullptr, 590, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  // A chooses its port in the menu; B starts with its port in its parameter file.
  ASSERT_TRUE(a.ChoosePort(21));

  a.Foreground();
  TypeKeys("HELLO");
  ASSERT_TRUE(WaitFor([&] { return TextOf(a.EditorMemo()) == "HELLO"; }, 5000)) << TextOf(a.EditorMemo());
  PressEscape();  // reception -> transmission: the typed text goes out
  ASSERT_TRUE(WaitFor([&] { return TextOf(b.ReceptionMemo()).find("HELLO") != std::string::npos; }, 20000))
      << "B shows: '" << TextOf(b.ReceptionMemo()) << "'";
  // A echoes what it sent.
  EXPECT_NE(TextOf(EditIn(a.Group("Text transmitted"))).find("HELLO"), std::string::npos);
  SavePicture(a.Main(), "e2e-station-A-ascii-sent");
  SavePicture(b.Main(), "e2e-station-B-ascii-received");
  a.Foreground();
  Sleep(400);
  PressEscape();  // back to reception: the editor is emptied
  EXPECT_TRUE(WaitFor([&] { return TextOf(a.EditorMemo()).empty(); }, 5000));

  HWND report = b.Button("Report");
  ASSERT_NE(report, nullptr);
  PushButton(report);
  std::string found;
  ASSERT_TRUE(WaitFor(
      [&] {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(Join(b.dir(), "REPORTS\\REPORT_*.TXT").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return false;
        found = Join(b.dir(), std::string("REPORTS\\") + fd.cFileName);
        FindClose(h);
        return true;
      },
      5000));
  const std::string content = ReadFile(found);
  EXPECT_EQ(content.rfind("<Reception>\r\nHELLO", 0), 0u) << content;
  EXPECT_NE(content.find("<Transmission>"), std::string::npos);
}

TEST(StationE2E, QuitSavesTheSettingsChangedInTheSession) {
  StationProcess s("quit");
  ASSERT_TRUE(s.Start());
  HWND main = s.Main();
  ASSERT_NE(main, nullptr);
  // The beacon text (a free-text field), the baud rate, the window's place and the mode.
  HWND beacon = EditIn(s.Group("Beacon"));
  ASSERT_NE(beacon, nullptr);
  SendMessageA(beacon, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("CQ CQ de F4TEST"));
  s.Foreground();
  MenuByKeys(1, 1);  // Baud rate, 9600
  SetWindowPos(main, nullptr, 120, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND mode = s.GroupNamed("Mode");
  ASSERT_NE(mode, nullptr);
  ClickAt(mode, 50, 53);  // the AUTEX button
  ASSERT_TRUE(WaitFor([&] { return s.SendButton() != nullptr; }, 5000));
  SavePicture(main, "e2e-station-autex-layout-no-link");

  PushButton(s.Button("Quit"));
  ASSERT_TRUE(s.Exited(15000));
  const std::string image = ReadFile(s.file("CONF_COM.SER"));
  ASSERT_EQ(image.size(), 945u);
  EXPECT_EQ(uint8_t(image[8 - 1]), 78);  // AUTEX
  EXPECT_EQ(uint8_t(image[4 - 1]), 9);   // 9600 baud
  EXPECT_EQ(Decode(image, 76), 120);
  EXPECT_EQ(Decode(image, 78), 60);
  const std::string texts = ReadFile(s.file("CONFSTRINGS_COM.TXT"));
  EXPECT_EQ(texts.rfind("CQ CQ de F4TEST\r\n", 0), 0u) << texts;
}

TEST(StationE2E, ADamagedParameterFileIsReportedAndTheProgramWorks) {
  StationProcess s("damaged");
  WriteFile(s.file("CONF_COM.SER"), std::string(945, '\xFF'));
  ASSERT_TRUE(s.Start());
  HWND box = s.Window("#32770");
  ASSERT_NE(box, nullptr);
  HWND text = ChildStartingWith(box, "Static", "The file CONF_COM.SER is altered");
  EXPECT_NE(text, nullptr);
  SavePicture(box, "e2e-damaged-parameters-message");
  HWND ok = ChildWithText(box, "Button", "OK");
  ASSERT_NE(ok, nullptr);
  PushButton(ok);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 15000));
  HWND main = s.Main();
  ASSERT_NE(main, nullptr);
  const std::string errors = ReadFile(s.file("CONF_COM.ERR"));
  EXPECT_EQ(errors.rfind("1 255\r\n", 0), 0u) << errors.substr(0, 40);
  // The standard parameters are in force: a port chosen in the menu is stored with them.
  EXPECT_TRUE(s.ChoosePort(21));
  const std::string image = ReadFile(s.file("CONF_COM.SER"));
  std::string expected = StandardImage();
  expected[251] = char(station::Code_du_port(21));
  ASSERT_EQ(image.size(), 945u);
  EXPECT_TRUE(image.substr(1) == expected.substr(1));  // byte 1 follows the system's language
  s.Close();
}

TEST(StationE2E, TheFourDialogsShowAndClose) {
  StationProcess s("dialogs");
  // On a port, so that Escape is looked at (COM21: the clean channel, free by now).
  std::string standard = StandardImage();
  standard[251] = char(station::Code_du_port(21));
  WriteFile(s.file("CONF_COM.SER"), standard);
  ASSERT_TRUE(s.Start());
  HWND main = s.Main();
  ASSERT_NE(main, nullptr);

  s.Foreground();
  MenuByKeys(4, 2);  // Help, About
  HWND about = s.Window("TForm2");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(about), "About");
  SavePicture(about, "e2e-dialog-about");
  PostMessageA(about, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }, 5000));

  // Escape that closes the About box, or leaves the menu bar, is theirs: the station stays in reception (in
  // transmission its parameters are disabled).
  HWND parametres = s.GroupNamed("Parameters");
  ASSERT_NE(parametres, nullptr);
  ASSERT_TRUE(IsWindowEnabled(parametres));
  s.Foreground();
  MenuByKeys(4, 2);
  about = s.Window("TForm2");
  ASSERT_NE(about, nullptr);
  WaitFor([&] { return GetForegroundWindow() == about; }, 5000);
  Sleep(300);
  PressEscape();
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }, 5000)) << "Escape does not close the About box";
  Sleep(800);
  EXPECT_TRUE(IsWindowEnabled(parametres)) << "Escape that closed the About box switched to transmission";
  s.Foreground();
  Press(VK_F10);
  Sleep(300);
  PressEscape();
  Sleep(800);
  EXPECT_TRUE(IsWindowEnabled(parametres)) << "Escape that left the menu bar switched to transmission";
  // Escape on the main window itself still switches.
  s.Foreground();
  PressEscape();
  EXPECT_TRUE(WaitFor([&] { return !IsWindowEnabled(parametres); }, 3000));
  Sleep(400);
  PressEscape();
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(parametres) != FALSE; }, 3000));

  // The help page of each language, shipped beside station.exe, reaches the shell (this working directory
  // has none).
  {
    HelpPageRecorder recorder(Join(s.dir(), "help-page-opened.txt"));
    for (const bool french : {false, true}) {
      recorder.Forget();
      s.Foreground();
      if (french) {
        ASSERT_TRUE(ChooseLanguage(s, true)) << "the window did not switch to French";
      }
      s.Foreground();
      MenuByKeys(4, 0);  // Help (Aide), Help (Aide)
      const std::string expected = french ? "AIDE_VORNATEL.HTM" : "HELP_VORNATEL.HTM";
      ASSERT_TRUE(WaitFor([&] { return !recorder.Page().empty(); }, 10000)) << "no page reached the shell";
      const std::string page = recorder.Page();
      EXPECT_EQ(page.size() >= expected.size() ? page.substr(page.size() - expected.size()) : page, expected);
      EXPECT_NE(GetFileAttributesA(page.c_str()), INVALID_FILE_ATTRIBUTES) << page;
      EXPECT_TRUE(TopWindows(s.pid(), "TForm36").empty());  // no "cannot be opened" message
    }
    EXPECT_TRUE(ChooseLanguage(s, false)) << "the window did not switch back to English";
  }

  s.Foreground();
  MenuByKeys(4, 1);  // Help, Modifications
  HWND history = s.Window("TForm3");
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(TextOf(history), "Modifications");
  EXPECT_EQ(TextOf(EditIn(history)).rfind("Version ", 0), 0u);
  SavePicture(history, "e2e-dialog-version-history");
  PostMessageA(history, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(history); }, 5000));

  const std::string before = ReadFile(s.file("CONF_COM.SER"));
  PushButton(s.Button("Default Parameters"));
  HWND question = s.Window("TForm20");
  ASSERT_NE(question, nullptr);
  EXPECT_EQ(TextOf(question), "Confirmation");
  SavePicture(question, "e2e-dialog-yes-no");
  HWND no = ChildWithText(question, "Button", "No");
  ASSERT_NE(no, nullptr);
  PushButton(no);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(question); }, 5000));
  EXPECT_TRUE(ReadFile(s.file("CONF_COM.SER")) == before);

  ClickAt(s.GroupNamed("Mode"), 50, 53);  // AUTEX mode
  HWND send = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (send = s.SendButton()) != nullptr; }, 5000));
  PushButton(send);  // not connected: the message window says so
  HWND message = s.Window("TForm36");
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(TextOf(message), "Error");
  EXPECT_EQ(TextOf(EditIn(message)), "Your are not yet connected...");
  SavePicture(message, "e2e-dialog-message");
  PushButton(ChildWithText(message, "Button", "OK"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(message); }, 5000));

  // The AUTEX options: the "Options" button (on the panel that holds the sequences) opens them above the S1
  // panel, and the mouse reaches the compression box, which the setting follows.
  HWND sequence = ChildWithText(main, "Button", "Sequence 1");
  ASSERT_NE(sequence, nullptr);
  HWND general = GetParent(GetParent(sequence));
  HWND compression = nullptr;
  for (int attempt = 0; attempt < 3 && !compression; ++attempt) {
    ClickAt(general, 178, 195);  // "Options"
    WaitFor([&] { return (compression = ChildWithText(main, "Button", "Compression of the file before transmission")) != nullptr; },
            3000);
  }
  ASSERT_NE(compression, nullptr) << "the options do not open";
  s.Foreground();
  RECT r;
  GetWindowRect(compression, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_EQ(WindowFromPoint(centre), compression) << "something covers the compression box";
  SavePicture(main, "e2e-autex-options-panel");
  ASSERT_EQ(SendMessageA(compression, BM_GETCHECK, 0, 0), BST_CHECKED);  // the standard setting
  MouseClickOn(compression);
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(compression, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }, 3000));
  PushButton(s.Button("Quit"));
  ASSERT_TRUE(s.Exited(15000));
  const std::string image = ReadFile(s.file("CONF_COM.SER"));
  ASSERT_EQ(image.size(), 945u);
  EXPECT_EQ(uint8_t(image[station::octet::COMPRESSION_FICHIER - 1]), 1);  // no compression
}

// Both stations skinned, each in another skin than the other: A in the standard one, B in Opus, then in Lucky.
TEST(StationE2E, AutexLinkAtHighSpeedEndedByTheMaster) { AutexSession(1200, true, 0, 5); }

TEST(StationE2E, AutexLinkAtLowSpeedEndedByTheUser) { AutexSession(171, false, 0, 3); }

}  // namespace

namespace {

// Asks e2e_test.sh to kill the third module simulator (COM25, COM26) or to start it again, and waits until it
// is done.
bool SimulatorRequest(const std::string& request, const std::string& answer) {
  const std::string control = WindowsPath(Env("E2E_CONTROL"));
  DeleteFileA(Join(control, answer).c_str());
  WriteFile(Join(control, request), request);
  return WaitFor([&] { return GetFileAttributesA(Join(control, answer).c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
}

// A calls, B enters once it heard the call, and A's message reaches B's window of the Master.
void LinkAndSend(AutexStation& a, AutexStation& b, const std::string& message, DWORD callMs = 40000,
                 DWORD messageMs = 60000) {
  // The calls B heard so far (an earlier link's stay in its window).
  const auto calls = [&] {
    const std::string t = TextOf(b.ReceivedTextMemo());
    size_t n = 0;
    for (size_t p = t.find("CQ meeting DE F1AAA"); p != std::string::npos; p = t.find("CQ meeting DE F1AAA", p + 1)) ++n;
    return n;
  };
  const size_t heard = calls();
  a.ClickStart();
  ASSERT_TRUE(WaitFor([&] { return calls() > heard; }, callMs)) << "B shows: " << TextOf(b.ReceivedTextMemo());
  b.ClickEnter();
  const DWORD t0 = GetTickCount();
  bool delivered = false;
  while (!delivered && GetTickCount() - t0 < messageMs) {
    a.Send(message);
    HWND box = nullptr;
    WaitFor(
        [&] {
          const std::vector<HWND> shown = TopWindows(a.pid(), "TForm36");
          box = shown.empty() ? nullptr : shown.front();
          return box || TextOf(a.EditorMemo()).empty();
        },
        15000);
    if (box) {  // not connected yet
      PushButton(ChildWithText(box, "Button", "OK"));
      WaitFor([&] { return !IsWindowVisible(box); }, 5000);
      Sleep(1500);
      continue;
    }
    delivered = WaitFor([&] { return Contains(TextOf(b.MasterMemo()), message); }, messageMs);
  }
  ASSERT_TRUE(delivered) << "B's window of the Master: " << TextOf(b.MasterMemo());
}

// The pixels of the AUTEX information line (the label right of the link state) in a picture of the window.
std::vector<COLORREF> InformationLine(AutexStation& s) {
  s.LinkState();  // brought to the front
  POINT origin{424, 4};
  ClientToScreen(s.AutexPanel(), &origin);
  gui::TBitmap picture;
  testsupport::CaptureWindow(s.Main(), picture);
  RECT window;
  GetWindowRect(s.Main(), &window);
  std::vector<COLORREF> px;
  HDC dc = picture.Canvas().Handle();
  for (int y = 0; y < 28; ++y)
    for (int x = 0; x < 244; ++x) px.push_back(GetPixel(dc, origin.x - window.left + x, origin.y - window.top + y));
  return px;
}

int Inked(const std::vector<COLORREF>& px) {
  int n = 0;
  for (COLORREF c : px)
    if (GetRValue(c) < 160 && GetGValue(c) < 100 && GetBValue(c) < 100) ++n;  // the line's dark red text
  return n;
}

// The module simulator of a link is killed in the middle of a file: both stations show the loss within
// seconds (link state back to idle, the file ended with its error in both windows, the information line
// holding its text), what was typed and received stays; once the simulator runs again and the port is chosen
// again, a new link carries a new message.
TEST(StationE2E, ALostModuleIsShownAndChoosingThePortAgainBringsTheLinkBack) {
  AutexStation a("lost_a", 25, "F1AAA", "JEAN PARIS");
  AutexStation b("lost_b", 26, "F2BBB", "PAUL LYON");
  ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
  ASSERT_TRUE(WaitFor([&] { return a.AutexTextsSet() && b.AutexTextsSet(); }, 15000));
  const std::vector<COLORREF> idle = a.LinkState();
  LinkAndSend(a, b, "Hello B before the loss");
  if (testing::Test::HasFatalFailure()) return;

  // A file that does not compress, under way on both sides.
  std::string noise;
  for (uint32_t x = 7; noise.size() < 3000; x = x * 1103515245u + 12345u) noise.push_back(char(x >> 24));
  WriteFile(a.file("noise.bin"), noise);
  a.Foreground();
  PushButton(a.AutexButton("Your file", "Votre fichier"));
  ASSERT_TRUE(ChooseFileInDialog(a, a.file("noise.bin")));
  PushButton(a.AutexButton("Transmission", "Transmission"));
  ASSERT_TRUE(WaitFor([&] { return Contains(TextOf(b.MasterMemo()), "%") && Contains(TextOf(a.MasterMemo()), "%"); },
                      60000))
      << "B: " << TextOf(b.MasterMemo()) << " / A: " << TextOf(a.MasterMemo());
  SendMessageA(a.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed by A"));
  SendMessageA(b.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed by B"));
  const std::string receivedB = TextOf(b.MasterMemo());
  const std::vector<COLORREF> infoBefore = InformationLine(b);

  ASSERT_TRUE(SimulatorRequest("kill", "killed"));
  const DWORD killed = GetTickCount();
  const auto ended = [&](AutexStation& s) {
    const std::string t = TextOf(s.MasterMemo());
    return Contains(t.substr(t.rfind('%') == std::string::npos ? 0 : t.rfind('%')), "...error");
  };
  ASSERT_TRUE(WaitFor([&] { return ended(a) && ended(b); }, 10000))
      << "A: " << TextOf(a.MasterMemo()) << " / B: " << TextOf(b.MasterMemo());
  const DWORD shownMs = GetTickCount() - killed;
  std::printf("the loss was shown %lu ms after the simulator was killed\n", shownMs);
  // The link label goes back to its idle look as the station handles the loss, a moment after the memos say so.
  EXPECT_TRUE(WaitFor([&] { return a.LinkState() == idle; }, 5000)) << Differences(a.LinkState(), idle);
  EXPECT_TRUE(WaitFor([&] { return b.LinkState() == idle; }, 5000)) << Differences(b.LinkState(), idle);
  a.Picture("e2e-lost-A-after-the-loss");
  b.Picture("e2e-lost-B-after-the-loss");
  const std::vector<COLORREF> infoAfter = InformationLine(b);
  EXPECT_FALSE(infoAfter == infoBefore);
  EXPECT_GT(Inked(infoAfter), 50);
  // Everything typed and received stays.
  EXPECT_EQ(TextOf(a.EditorMemo()), "typed by A");
  EXPECT_EQ(TextOf(b.EditorMemo()), "typed by B");
  EXPECT_EQ(TextOf(b.MasterMemo()).rfind(receivedB, 0), 0u);

  // The simulator back, the port chosen again in both: the information lines still say what happened until
  // then, and a new link carries a new message.
  ASSERT_TRUE(SimulatorRequest("start", "started"));
  Sleep(16000);  // longer than an AUTEX information line lasts while the link is up
  EXPECT_TRUE(InformationLine(b) == infoAfter);
  ASSERT_TRUE(a.ChoosePort(25));
  ASSERT_TRUE(b.ChoosePort(26));
  Sleep(1500);
  EXPECT_EQ(TextOf(b.MasterMemo()).rfind(receivedB, 0), 0u);
  EXPECT_EQ(TextOf(b.EditorMemo()), "typed by B");
  SendMessageA(a.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  LinkAndSend(a, b, "Back on the air");
  if (testing::Test::HasFatalFailure()) return;
  a.Picture("e2e-lost-A-link-back");
  a.Close();
  b.Close();
}

}  // namespace

namespace {

// The control directory's file that the simulator of COM27 and COM28 keeps its modules' settings in.
std::string KeptState() { return Join(WindowsPath(Env("E2E_CONTROL")), "kept.state"); }
// The log of the fourth simulator, beside the control directory.
std::string KeptLog() { return Join(WindowsPath(Env("E2E_CONTROL")), "..\\simulator-kept.log"); }

// A station's module reprogrammed through the "Transceiver" menu keeps its settings and line speed across a
// restart of the simulator and of the stations (as with scripts/run.sh): the station, back at 9600 baud,
// finds it again and links with a station whose module started on the settings the station programs. After
// the link, a language switch and modal windows leave what was received where it is.
TEST(StationE2E, AReprogrammedModuleStillLinksAfterARestart) {
  // Module 1 was left as it came from the factory (spreading factor 2048); module 2 starts on the stations'
  // settings, as scripts/run.sh starts its modules.
  WriteFile(KeptState(), "M1 01006C80120B000700000007\n");
  ASSERT_TRUE(SimulatorRequest("kept-start", "kept-started"));
  {
    AutexStation a("kept_a", 27, "F1AAA", "JEAN PARIS");
    ASSERT_TRUE(a.Start());
    ASSERT_NE(a.Main(), nullptr);
    SetWindowPos(a.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(WaitFor([&] { return a.SendButton() != nullptr; }, 15000));
    a.Foreground();
    MenuByKeys(2, 0);  // Transceiver, DRF1278DM
    ASSERT_TRUE(WaitFor([&] { return Contains(ReadFile(KeptState()), "M1 04006C80120A"); }, 20000))
        << "module 1 was not reprogrammed: " << ReadFile(KeptState());
    // The station follows its module to 9600 baud: the module answers a read once the line has moved.
    EXPECT_TRUE(WaitFor(
        [&] {
          const std::string log = ReadFile(KeptLog());
          const size_t moved = log.rfind("M1 serial line now 9600 baud");
          return moved != std::string::npos && log.find("M1 read parameters", moved) != std::string::npos;
        },
        20000))
        << ReadFile(KeptLog());
    PushButton(a.Button("Quit"));
    ASSERT_TRUE(a.Exited(15000));
    const std::string image = ReadFile(a.file("CONF_COM.SER"));
    ASSERT_EQ(image.size(), 945u);
    EXPECT_EQ(uint8_t(image[station::octet::VITESSE_PORT - 1]), 9);
    EXPECT_EQ(uint8_t(image[station::octet::TRANSCEIVER - 1]), 2);
  }
  ASSERT_TRUE(SimulatorRequest("kept-kill", "kept-killed"));
  ASSERT_TRUE(SimulatorRequest("kept-start", "kept-started"));

  // Everything again, from what the files kept (station A's own parameter file is not rewritten).
  AutexStation b("kept_b", 28, "F2BBB", "PAUL LYON");
  AutexStation a("kept_a", 27, "F1AAA", "JEAN PARIS", true);
  ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
  LinkAndSend(a, b, "Hello B after the restart");
  if (testing::Test::HasFatalFailure()) return;
  EXPECT_TRUE(Contains(ReadFile(KeptState()), "M1 04006C80120A")) << ReadFile(KeptState());
  a.Picture("e2e-kept-A-linked-after-the-restart");

  // B switches to French and back, and closes the About box (with Escape) and the version history: the texts
  // it received stay, in its window of the Master and under "Text received from the addressee".
  HWND master = b.MasterMemo();
  HWND received = b.ReceivedTextMemo();
  ASSERT_NE(master, nullptr);
  ASSERT_NE(received, nullptr);
  const std::string inMaster = TextOf(master);
  const std::string inReceived = TextOf(received);
  ASSERT_TRUE(Contains(inMaster, "Hello B after the restart"));
  ASSERT_TRUE(Contains(inReceived, "CQ meeting DE F1AAA"));
  EXPECT_TRUE(ChooseLanguage(b, true)) << "B did not switch to French";
  EXPECT_EQ(TextOf(master), inMaster);
  EXPECT_EQ(TextOf(received), inReceived);
  b.Foreground();
  MenuByKeys(4, 2);  // A propos
  HWND about = b.Window("TForm2");
  ASSERT_NE(about, nullptr);
  WaitFor([&] { return GetForegroundWindow() == about; }, 5000);
  Sleep(300);
  PressEscape();
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }, 5000));
  b.Foreground();
  MenuByKeys(4, 1);  // Modifications
  HWND history = b.Window("TForm3");
  ASSERT_NE(history, nullptr);
  PostMessageA(history, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(history); }, 5000));
  EXPECT_TRUE(ChooseLanguage(b, false)) << "B did not switch back to English";
  EXPECT_EQ(TextOf(master), inMaster);
  EXPECT_EQ(TextOf(received), inReceived);
  b.Picture("e2e-kept-B-texts-after-language-and-dialogs");
  a.Close();
  b.Close();
}

// ---------------------------------------------------------------------------------------------------
// The keyboard between two stations, given and used with the X server's own mouse and keys (xdotool), in the
// display mode of the test's group (E2E_DISPLAY_MODE): bare (no window manager: Wine frames, moves and focuses
// its windows itself), with a window manager, or in Wine's own desktop.

std::string DisplayMode() {
  const std::string mode = Env("E2E_DISPLAY_MODE");
  return mode.empty() ? "bare" : mode;
}

// The screen point of a point of a window's client area (X and Wine share the screen's coordinates in the
// three modes).
POINT OnScreen(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return p;
}

POINT Middle(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

using testsupport::XClick;

// Lower-case letters typed through the X server, as the keyboard types them.
bool XType(const std::string& letters) { return testsupport::Xdotool("type --delay 40 " + letters); }

// The window with the keyboard focus in a station's thread (another process's, read from outside), when its
// main window is the one in front.
HWND KeyboardIn(StationProcess& s) {
  if (GetForegroundWindow() != s.Main()) return nullptr;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(s.Main(), nullptr), &info) ? info.hwndFocus : nullptr;
}

// A click of the mouse in a station's editor, then keys: they show in that editor (where the click put the
// caret), and nowhere else. The keys go once the click gave the editor the keyboard, or after a deadline (the
// keys then show where they went).
void ClickInEditorAndType(AutexStation& to, AutexStation& other, const std::string& letters) {
  HWND editor = to.EditorMemo();
  HWND otherEditor = other.EditorMemo();
  const std::string before = TextOf(editor), otherBefore = TextOf(otherEditor);
  // Each click in an editor lands some pixels away from its last one: two clicks at one place within the
  // double-click time (the other station's turn can be that short) are a double-click, which selects the word
  // typed before, and the keys then replace it.
  static std::map<HWND, int> clicks;
  POINT at = Middle(editor);
  at.x += (clicks[editor]++ % 4) * 24 - 36;
  ASSERT_TRUE(XClick(at)) << "xdotool could not run";
  WaitFor([&] { return KeyboardIn(to) == editor; }, 5000);
  ASSERT_TRUE(XType(letters));
  EXPECT_TRUE(WaitFor(
      [&] {
        const std::string now = TextOf(editor);
        return now.size() == before.size() + letters.size() && Contains(now, letters);
      },
      5000))
      << DisplayMode() << ": " << letters << " typed after a click in one station's editor; it holds '" << TextOf(editor)
      << "', the other station's '" << TextOf(otherEditor) << "'";
  EXPECT_EQ(TextOf(otherEditor), otherBefore) << DisplayMode();
}

// The operator moves between two stations with the mouse and types in each; one station calls, the other
// enters the meeting, and while the link comes up and goes on the operator types in the station that called:
// the other station never takes the keyboard, and a click in either station's editor gives it the keys, idle
// and during the link. A is skinned (the standard skin), B plain ("None").
TEST(StationFocus, TheKeysGoToTheStationClickedAndStayThereWhileTheOtherOnesLinkComesUp) {
  const std::string mode = DisplayMode();
  AutexStation a("focus_a_" + mode, 21, "F1AAA", "JEAN PARIS");
  AutexStation b("focus_b_" + mode, 22, "F2BBB", "PAUL LYON", false, 1);
  ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
  ASSERT_TRUE(WaitFor([&] { return a.AutexTextsSet() && b.AutexTextsSet(); }, 15000));
  ASSERT_TRUE(WaitFor([&] { return TopWindows(a.pid(), "TForm36").empty() && TopWindows(b.pid(), "TForm36").empty(); },
                      5000));

  // Idle: from one station to the other and back.
  for (const char* round : {"one", "two"}) {
    ClickInEditorAndType(a, b, std::string("a") + round);
    ClickInEditorAndType(b, a, std::string("b") + round);
  }
  if (testing::Test::HasFailure()) return;
  SendMessageA(a.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  SendMessageA(b.EditorMemo(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));

  // A calls; the operator clicks B's "Enter" once B heard the call, then goes back to A and types on while
  // B's link comes up (B's connection attempt is heard by A) and goes on for a while.
  a.ClickStart();
  ASSERT_TRUE(WaitFor([&] { return Contains(TextOf(b.ReceivedTextMemo()), "CQ meeting DE F1AAA"); }, 40000))
      << "B shows: " << TextOf(b.ReceivedTextMemo());
  ASSERT_TRUE(XClick(OnScreen(b.Participant(1), 232, 9)));
  ASSERT_TRUE(XClick(Middle(a.EditorMemo())));
  WaitFor([&] { return KeyboardIn(a) == a.EditorMemo(); }, 5000);
  std::string typed;
  DWORD heard = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000 && (heard == 0 || GetTickCount() - heard < 8000)) {
    ASSERT_TRUE(XType("xyz"));
    typed += "xyz";
    if (heard == 0 && Contains(TextOf(a.S1Memo()), "F1AAA < F2BBB")) heard = GetTickCount();
  }
  ASSERT_NE(heard, 0u) << "A never heard B's connection attempt; B shows: " << TextOf(b.ReceivedTextMemo());
  EXPECT_TRUE(WaitFor([&] { return TextOf(a.EditorMemo()) == typed; }, 5000))
      << mode << ": typed in A while B's link came up: A's editor holds '" << TextOf(a.EditorMemo())
      << "', B's editor '" << TextOf(b.EditorMemo()) << "'";
  EXPECT_EQ(TextOf(b.EditorMemo()), "") << mode;

  // During the link: from one station to the other and back.
  ClickInEditorAndType(b, a, "blink");
  ClickInEditorAndType(a, b, "alink");
  a.Picture("e2e-focus-" + mode + "-A");
  b.Picture("e2e-focus-" + mode + "-B");
  a.Close();
  b.Close();
}

// The X window of a top-level window (Wine keeps it in a window property, which other processes read too).
uintptr_t XWindowOf(HWND h) { return reinterpret_cast<uintptr_t>(GetPropA(h, "__wine_x11_whole_window")); }

// The window manager's active window (its _NET_ACTIVE_WINDOW), 0 when none is said.
uintptr_t ManagersActiveWindow() {
  std::string said;
  if (!testsupport::RunUnixShell("xprop -root _NET_ACTIVE_WINDOW", &said)) return 0;
  const size_t at = said.find("# 0x");
  return at == std::string::npos ? 0 : uintptr_t(std::strtoull(said.c_str() + at + 2, nullptr, 16));
}

bool UnderAWindowManager() { return DisplayMode().rfind("wm", 0) == 0; }

// Whether a window of a station is the one in front that takes the keys: Wine's foreground window and, under a
// window manager, the manager's active window too (the one its keys, Alt+F4 among them, go to).
bool InFront(HWND h) {
  if (GetForegroundWindow() != h) return false;
  return !UnderAWindowManager() || (XWindowOf(h) != 0 && ManagersActiveWindow() == XWindowOf(h));
}

// Where a station's windows and buttons stand, the window under the pointer, the one in front, and whether the
// station answers, in words (for a failure's message).
std::string Where(AutexStation& s) {
  std::ostringstream o;
  const auto rect = [&](HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    std::ostringstream t;
    t << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return t.str();
  };
  POINT cursor{};
  GetCursorPos(&cursor);
  HWND under = WindowFromPoint(cursor);
  DWORD_PTR answer = 0;
  const bool answers = SendMessageTimeoutA(s.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
  HWND defaults = s.Button("Default Parameters");
  HWND group = s.GroupNamed("Parameters");
  o << "main " << rect(s.Main()) << (IsWindowVisible(s.Main()) ? " visible" : " hidden") << (answers ? "" : " NOT ANSWERING")
    << ", Default Parameters " << rect(defaults) << (defaults && IsWindowEnabled(defaults) ? " enabled" : " disabled")
    << " in a box " << (group && IsWindowEnabled(group) ? "enabled" : "disabled") << ", main window "
    << (IsWindowEnabled(s.Main()) ? "enabled" : "disabled")
    << ", pointer (" << cursor.x << "," << cursor.y << ") over " << ClassOf(under) << " \"" << TextOf(under) << "\""
    << ", in front " << ClassOf(GetForegroundWindow()) << " \"" << TextOf(GetForegroundWindow()) << "\"";
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(s.Main(), nullptr), &thread))
    o << ", the station's active " << ClassOf(thread.hwndActive) << ", focus " << ClassOf(thread.hwndFocus) << " \""
      << TextOf(thread.hwndFocus) << "\", capture " << ClassOf(thread.hwndCapture) << " \"" << TextOf(thread.hwndCapture)
      << "\"" << (thread.flags & GUI_INMENUMODE ? ", in a menu" : "") << (thread.flags & GUI_INMOVESIZE ? ", moving" : "");
  o << ", top windows:";
  struct Found {
    DWORD pid;
    std::vector<HWND> windows;
  } found{s.pid(), {}};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Found*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner == f->pid) f->windows.push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  for (HWND h : found.windows)
    if (IsWindowVisible(h) || ClassOf(h).rfind("TForm", 0) == 0 || ClassOf(h) == "#32770")
      o << " " << ClassOf(h) << (IsWindowVisible(h) ? "" : "(hidden)") << rect(h);
  return o.str();
}

// Each window the station opens over its main window, opened with the X server's mouse or keys as an operator
// does: it comes in front with the keys (under a window manager, as the manager's active window), and the
// manager's Alt+F4 (on a display without one, Wine's) closes it and not the station, which goes on. A line per
// window says what it did. The station in the skin setting `skin` (1 none, 0 the standard skin).
void EachWindowTakesTheKeysAndAltF4ClosesIt(int skin) {
  const std::string mode = DisplayMode();
  const std::string look = skin == 1 ? "unskinned" : "skinned";
  AutexStation s("dialogs_" + mode + "_" + look, 21, "F1AAA", "JEAN PARIS", false, skin);
  std::string image = ReadFile(s.file("CONF_COM.SER"));
  ASSERT_EQ(image.size(), 945u);
  image[station::octet::TRANSCEIVER - 1] = 2;  // the DRF1278DM module, whose window the main window opens
  WriteFile(s.file("CONF_COM.SER"), image);
  ASSERT_TRUE(s.Start());
  ASSERT_NE(s.Main(), nullptr);
  ASSERT_TRUE(WaitFor([&] { return s.AutexTextsSet() && s.AutexButton("Your file", "Votre fichier"); }, 15000));
  const auto click = [&](HWND control) { return control && XClick(Middle(control)); };
  // The Help menu (the fifth of the menu bar) with the keys: it opens on its first item, and `row` more steps go down.
  const auto help = [&](int row) {
    if (!testsupport::Xdotool("key --delay 150 F10 Right Right Right Right Down")) return false;
    if (!WaitFor([&] { return !TopWindows(s.pid(), "#32768").empty(); }, 10000)) return false;
    std::string keys = "key --delay 150";
    for (int i = 0; i < row; ++i) keys += " Down";
    return testsupport::Xdotool(keys + " Return");
  };
  struct Opening {
    const char* name;
    const char* windowClass;
    std::function<bool()> open;
  };
  const std::string settings = ReadFile(s.file("CONF_COM.SER"));
  const Opening openings[] = {
      {"the yes/no question (Default Parameters)", "TForm20", [&] { return click(s.Button("Default Parameters")); }},
      {"the module window", "TForm19", [&] { return click(s.Button("DRF1278DM")); }},
      {"the version history (Help, Modifications)", "TForm3", [&] { return help(1); }},
      {"the about box (Help, About)", "TForm2", [&] { return help(2); }},
      {"the information window (File opening)", "TForm36", [&] { return click(s.AutexButton("File opening", "Ouverture fichier")); }},
      {"the message box (Save Parameters)", "#32770", [&] { return click(s.Button("Save Parameters")); }},
      {"the file dialog (Your file)", "#32770", [&] { return click(s.AutexButton("Your file", "Votre fichier")); }},
  };
  for (const Opening& o : openings) {
    SCOPED_TRACE(o.name);
    // The main window in front first (a tap inside its "Parameters" box, beside the buttons).
    RECT box;
    ASSERT_TRUE(GetWindowRect(s.GroupNamed("Parameters"), &box));
    ASSERT_TRUE(XClick(POINT{box.left + 3, box.bottom - 3}));
    WaitFor([&] { return InFront(s.Main()); }, 10000);
    // Where things stood at the opening, said if the window does not show.
    std::string before = Where(s);
    ASSERT_TRUE(o.open()) << "xdotool could not run";
    HWND window = s.Window(o.windowClass, 20000);
    if (!window) {
      gui::TBitmap screen;
      testsupport::CaptureScreenRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, screen);
      std::filesystem::create_directories(Artefacts());
      screen.SaveToFile(Artefacts() + "/e2e-dialogs-" + mode + "-" + look + "-did-not-show.bmp");
    }
    ASSERT_NE(window, nullptr) << o.name << " did not show. Before: " << before << "; now: " << Where(s);
    const bool inFront = WaitFor([&] { return InFront(window); }, 10000);
    EXPECT_TRUE(inFront) << mode << ", " << look << ": " << o.name << " is not the window in front with the keys: Wine's foreground "
                         << ClassOf(GetForegroundWindow()) << " \"" << TextOf(GetForegroundWindow())
                         << "\", the manager's active X window " << ManagersActiveWindow() << " (the window's "
                         << XWindowOf(window) << ", the main window's " << XWindowOf(s.Main()) << ")";
    ASSERT_TRUE(testsupport::Xdotool("key alt+F4")) << "xdotool could not run";
    const bool closed = WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10000);
    EXPECT_TRUE(closed) << mode << ", " << look << ": Alt+F4 did not close " << o.name;
    ASSERT_FALSE(s.Exited(0)) << mode << ", " << look << ": the station ended on Alt+F4 given for " << o.name;
    // (A skinned form's redraw is off for a moment while it takes the activation back, which clears its WS_VISIBLE.)
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(s.Main()) != FALSE; }, 5000));
    std::printf("%s, %s: %s: %s, %s\n", mode.c_str(), look.c_str(), o.name, inFront ? "in front with the keys" : "NOT IN FRONT",
                closed ? "closed by Alt+F4" : "NOT CLOSED by Alt+F4");
    if (!closed) {  // closed another way, for the next one
      PostMessageA(window, ClassOf(window) == "#32770" ? WM_COMMAND : WM_CLOSE, IDCANCEL, 0);
      ASSERT_TRUE(WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10000));
    }
  }
  // The question closed by Alt+F4 answered no: the settings are those the station started with.
  EXPECT_TRUE(ReadFile(s.file("CONF_COM.SER")) == settings);
  s.Close();
}

TEST(StationDialogs, EachWindowTheStationOpensTakesTheKeysAndAltF4ClosesItNotTheStation) {
  for (const int skin : {0, 1}) {
    SCOPED_TRACE(skin == 1 ? "unskinned" : "skinned");
    EachWindowTakesTheKeysAndAltF4ClosesIt(skin);
  }
}

// ---------------------------------------------------------------------------------------------------
// Long runs, by hand (bench/station_link_runs.sh): skipped unless their variable is set.

// Bytes that zlib cannot shrink, from a fixed seed.
std::string Incompressible(size_t n, uint32_t seed) {
  std::string t(n, '\0');
  for (char& c : t) {
    seed = seed * 1664525u + 1013904223u;
    c = char(seed >> 24);
  }
  return t;
}

// Sends a file from one station of a link to the other and waits for it whole in the receiver's AUTEX folder;
// the milliseconds from "Transmission" to then, or 0 when it did not come within `ms`.
DWORD SendFile(AutexStation& from, AutexStation& to, const std::string& name, const std::string& bytes, DWORD ms) {
  WriteFile(from.file(name), bytes);
  const std::string stem = name.substr(0, name.rfind('.'));
  const std::string extension = name.substr(name.rfind('.'));
  const size_t before = to.Files("AUTEX\\" + stem + "*" + extension).size();
  from.Foreground();
  PushButton(from.AutexButton("Your file", "Votre fichier"));
  if (!ChooseFileInDialog(from, from.file(name))) return 0;
  const DWORD t0 = GetTickCount();
  PushButton(from.AutexButton("Transmission", "Transmission"));
  std::vector<std::string> received;
  if (!WaitFor([&] { return (received = to.Files("AUTEX\\" + stem + "*" + extension)).size() > before; }, ms)) return 0;
  // The newest of them, whole.
  std::string newest;
  FILETIME latest{};
  for (const std::string& f : received) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (GetFileAttributesExA(Join(to.dir(), "AUTEX\\" + f).c_str(), GetFileExInfoStandard, &d) &&
        CompareFileTime(&d.ftLastWriteTime, &latest) >= 0) {
      latest = d.ftLastWriteTime;
      newest = f;
    }
  }
  if (!WaitFor([&] { return ReadFile(Join(to.dir(), "AUTEX\\" + newest)) == bytes; }, 10000)) return 0;
  return std::max<DWORD>(1, GetTickCount() - t0);
}

// A file sent between two stations at each speed, timed from "Transmission" to the file whole on the receiver's
// disk; its goodput (bytes of the file per second) is printed for bench/ to compare with the simulated link's at
// the same module settings. The stations are on their standard settings and their modules on those
// scripts/run.sh gives them (the fourth simulator, COM27 and COM28, on a clean channel), as an operator meets
// them. E2E_GOODPUT=1 runs it.
TEST(StationGoodput, AnIncompressibleFileAtEachSpeed) {
  if (Env("E2E_GOODPUT").empty()) GTEST_SKIP() << "E2E_GOODPUT is not set";
  struct Case {
    int speed;
    size_t bytes;
  };
  DeleteFileA(KeptState().c_str());
  ASSERT_TRUE(SimulatorRequest("kept-start", "kept-started"));
  for (const Case c : {Case{1200, 4096}, Case{400, 2048}, Case{171, 1024}}) {
    const std::string tag = std::to_string(c.speed);
    SCOPED_TRACE(tag);
    AutexStation a("goodput_a_" + tag, 27, "F1AAA", "JEAN PARIS");
    AutexStation b("goodput_b_" + tag, 28, "F2BBB", "PAUL LYON");
    ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
    if (c.speed != 1200) {
      a.ClickSpeed(c.speed);
      b.ClickSpeed(c.speed);
      Sleep(300);
    }
    LinkAndSend(a, b, "goodput at " + tag, c.speed == 1200 ? 40000 : 120000, c.speed == 1200 ? 60000 : 240000);
    if (testing::Test::HasFatalFailure()) return;
    const std::string bytes = Incompressible(c.bytes, uint32_t(c.speed));
    const DWORD ms = SendFile(a, b, "random_" + tag + ".bin", bytes, 900000);
    ASSERT_NE(ms, 0u) << "the file did not come";
    const double goodput = double(c.bytes) * 1000.0 / double(ms);
    std::printf("goodput speed=%d bytes=%zu seconds=%.1f bytes_per_s=%.2f\n", c.speed, c.bytes, ms / 1000.0, goodput);
    std::fflush(stdout);
    if (c.speed == 1200) b.Picture("goodput-B-file-received");
    a.ClickEnd();
    Sleep(2000);
    a.Close();
    b.Close();
  }
  SimulatorRequest("kept-kill", "kept-killed");
}

// Both stations alive: a station that ended without Quit is a fault (its exit code is told).
void ExpectAlive(AutexStation& s, const char* name, const std::string& doing) {
  if (s.Exited(0))
    ADD_FAILURE() << "station " << name << " ended by itself (exit code " << s.ExitCode() << ") while " << doing;
}

// Two skinned stations in an AUTEX link for E2E_SOAK_MINUTES minutes, on the channel that alters bytes: messages
// both ways, the dialogs, the speech options, skin switches on both sides and files both ways, a new link when
// one is lost. Neither station may end without Quit; Quit then saves each one's settings.
TEST(StationSoak, TwoSkinnedStationsInAnAutexLink) {
  const int minutes = std::atoi(Env("E2E_SOAK_MINUTES").c_str());
  if (minutes <= 0) GTEST_SKIP() << "E2E_SOAK_MINUTES is not set";
  AutexStation a("soak_a", 23, "F1AAA", "JEAN PARIS", false, 0);
  AutexStation b("soak_b", 24, "F2BBB", "PAUL LYON", false, 5);
  ASSERT_NO_FATAL_FAILURE(StartBoth(a, b));
  LinkAndSend(a, b, "soak starts");
  if (testing::Test::HasFatalFailure()) return;

  // The skin box's buttons, two rows of three: None, Spring, Lucky / MacMetal, Opus, Topaz.
  const POINT skinButtons[] = {{36, 28}, {94, 28}, {152, 28}, {36, 51}, {94, 51}, {152, 51}};
  const DWORD end = GetTickCount() + DWORD(minutes) * 60000;
  int cycle = 0, links = 1, lost = 0, files = 0, messages = 0;
  const auto alive = [&](const std::string& doing) {
    ExpectAlive(a, "A", doing);
    ExpectAlive(b, "B", doing);
    return !a.Exited(0) && !b.Exited(0);
  };
  while (GetTickCount() < end && alive("cycle " + std::to_string(cycle))) {
    ++cycle;
    const std::string n = std::to_string(cycle);
    AutexStation& one = cycle % 2 ? a : b;
    AutexStation& other = cycle % 2 ? b : a;

    // A message each way; a lost link is made again.
    const std::string toB = "soak " + n + " from A";
    a.Send(toB);
    bool delivered = WaitFor([&] { return Contains(TextOf(b.MasterMemo()), toB) || a.Exited(0) || b.Exited(0); }, 120000);
    if (!alive("message " + n)) break;
    for (HWND box : TopWindows(a.pid(), "TForm36")) PushButton(ChildWithText(box, "Button", "OK"));
    if (!delivered) {
      ++lost;
      std::printf("soak: cycle %d, no link: linking again\n", cycle);
      Sleep(3000);
      LinkAndSend(a, b, "soak " + n + " again");
      if (testing::Test::HasFatalFailure() || !alive("linking again")) break;
      ++links;
    }
    ++messages;
    const std::string toA = "soak " + n + " from B";
    b.Send(toA);
    WaitFor([&] { return Contains(TextOf(a.S1Memo()), toA) || a.Exited(0) || b.Exited(0); }, 120000);
    if (!alive("answer " + n)) break;

    // A dialog on one station: the About box, the version history or the speech options.
    one.Foreground();
    switch (cycle % 3) {
      case 0: {
        MenuByKeys(4, 2);
        if (HWND about = one.Window("TForm2", 10000)) {
          PostMessageA(about, WM_CLOSE, 0, 0);
          WaitFor([&] { return !IsWindowVisible(about); }, 5000);
        }
        break;
      }
      case 1: {
        MenuByKeys(4, 1);
        if (HWND history = one.Window("TForm3", 10000)) {
          PostMessageA(history, WM_CLOSE, 0, 0);
          WaitFor([&] { return !IsWindowVisible(history); }, 5000);
        }
        break;
      }
      default: {
        HWND speech = one.Group("Speech synthesis");
        if (HWND options = speech ? ChildWithText(speech, "Button", "Options") : nullptr) {
          PushButton(options);
          if (HWND window = one.Window("TForm43", 10000)) {
            Sleep(500);
            SavePicture(window, "soak-speech-options");
            PostMessageA(window, WM_CLOSE, 0, 0);
            WaitFor([&] { return !IsWindowVisible(window); }, 5000);
          }
        }
        break;
      }
    }
    if (!alive("dialog " + n)) break;

    // A live skin switch on the other station.
    const POINT p = skinButtons[size_t(cycle) % 6];
    if (HWND skins = other.GroupNamed("Skin")) ClickAt(skins, p.x, p.y);
    Sleep(1500);
    if (!alive("skin switch " + n)) break;

    // A file every other cycle, each way in turn.
    if (cycle % 2 == 0) {
      const bool fromA = cycle % 4 == 0;
      const std::string bytes = Incompressible(1500 + size_t(cycle % 5) * 400, uint32_t(cycle));
      const DWORD ms = SendFile(fromA ? a : b, fromA ? b : a, "soak_" + n + ".bin", bytes, 240000);
      for (HWND box : TopWindows(a.pid(), "TForm36")) PushButton(ChildWithText(box, "Button", "OK"));
      for (HWND box : TopWindows(b.pid(), "TForm36")) PushButton(ChildWithText(box, "Button", "OK"));
      if (ms) ++files;
      std::printf("soak: cycle %d, file %s %zu bytes: %s\n", cycle, fromA ? "A->B" : "B->A", bytes.size(),
                  ms ? (std::to_string(ms / 1000) + " s").c_str() : "not received");
    }
    std::fflush(stdout);
  }
  std::printf("soak: %d minutes, %d cycles, %d messages, %d files, %d links (%d lost)\n", minutes, cycle, messages,
              files, links, lost);
  a.Picture("soak-A-at-the-end");
  b.Picture("soak-B-at-the-end");
  ASSERT_FALSE(a.Exited(0));
  ASSERT_FALSE(b.Exited(0));
  EXPECT_GT(files, 0);
  // Quit saves each station's settings, the skin of the moment included.
  for (AutexStation* s : {&a, &b}) {
    DeleteFileA(s->file("CONF_COM.SER").c_str());
    for (HWND box : TopWindows(s->pid(), "TForm36")) PushButton(ChildWithText(box, "Button", "OK"));
    PushButton(s->Button("Quit"));
    EXPECT_TRUE(s->Exited(20000));
    EXPECT_EQ(ReadFile(s->file("CONF_COM.SER")).size(), 945u);
  }
}

}  // namespace
