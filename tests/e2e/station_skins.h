#pragma once
// Shared by the skin end-to-end test and the skin benchmark of station.exe under Wine: finding the program's
// windows from outside, reading their pixels from the screen, the colours of the program's stored skins (loaded
// with the skin engine from the packed skins station.exe carries) and the checks of what a setting shows.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "skin/data/generalutils.h"
#include "skin/data/loaded_skin.h"
#include "skin/data/sskinmanager.h"
#include "skin/pixels/pixel_helpers.h"
#include "tests/support/win_screen.h"

namespace stationskins {


inline std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

// A path of the Linux side as Wine's drive Z: names it.
inline std::string WindowsPath(std::string p) {
  if (!p.empty() && p[0] == '/') {
    std::replace(p.begin(), p.end(), '/', '\\');
    p = "Z:" + p;
  }
  return p;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}

inline std::string ClassOf(HWND h) {
  char name[128] = {};
  GetClassNameA(h, name, sizeof name);
  return name;
}

inline std::string TextOf(HWND h) {
  const LRESULT n = SendMessageA(h, WM_GETTEXTLENGTH, 0, 0);
  std::string s(size_t(n) + 1, '\0');
  s.resize(size_t(SendMessageA(h, WM_GETTEXT, WPARAM(s.size()), reinterpret_cast<LPARAM>(s.data()))));
  return s;
}

inline HWND TopWindow(DWORD pid, const std::string& cls) {
  struct Search {
    DWORD pid;
    std::string cls;
    HWND found;
  } s{pid, cls, nullptr};
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(h, &owner);
        if (owner != s->pid || !IsWindowVisible(h) || ClassOf(h) != s->cls) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// The first visible descendant of `parent` of that class whose text is one of `texts` (English, French).
inline HWND Child(HWND parent, const std::string& cls, std::vector<std::string> texts) {
  struct Search {
    const std::string& cls;
    const std::vector<std::string>& texts;
    HWND found;
  } s{cls, texts, nullptr};
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        if (!IsWindowVisible(h) || ClassOf(h) != s->cls) return TRUE;
        if (std::find(s->texts.begin(), s->texts.end(), TextOf(h)) == s->texts.end()) return TRUE;
        s->found = h;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// A pixel of a window, at a point of its client area, as the screen shows it.
inline COLORREF ClientPixel(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return testsupport::ScreenPixel(p.x, p.y);
}

// A pixel of a window, at a point of the whole window (its frame included).
inline COLORREF WindowPixel(HWND h, int x, int y) {
  RECT r{};
  GetWindowRect(h, &r);
  return testsupport::ScreenPixel(r.left + x, r.top + y);
}

inline int Distance(COLORREF a, COLORREF b) {
  return std::max({std::abs(int(GetRValue(a)) - int(GetRValue(b))), std::abs(int(GetGValue(a)) - int(GetGValue(b))),
                   std::abs(int(GetBValue(a)) - int(GetBValue(b)))});
}

inline std::string Hex(COLORREF c) {
  char s[16];
  std::snprintf(s, sizeof s, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return s;
}

// Skin images are stretched over a control, so a pixel of a control may fall between two neighbouring pixels of
// the image: it is taken as the image's when it lies within this distance (per channel) of one of them. The
// plain system colours of these controls lie much further from every skin's button and title images.
inline constexpr int kTolerance = 24;

// The colours a part of a skin paints with: every pixel of some of its images, and some section colours.
struct Palette {
  std::vector<COLORREF> colours;
  int Nearest(COLORREF c) const {
    int best = 256;
    for (COLORREF k : colours) best = std::min(best, Distance(c, k));
    return best;
  }
};

// The skin of one setting, as the skin engine loads it from the packed skin station.exe carries.
struct SkinOfSetting {
  std::string name;
  COLORREF editColour = 0;
  Palette button, anyButton, caption;  // a button in its normal state, in any state; a title bar
  int titleHeight = 0;
};

inline void AddImage(const skin::LoadedSkin& s, const std::string& section, const std::string& key, bool firstFrameOnly,
              Palette& out) {
  for (const skin::SkinImageRecord& image : s.Images) {
    if (image.SectionName != section || image.KeyName != key) continue;
    const skin::Bitmap* b = skin::SkinImageBitmap(s, image);
    if (b == nullptr) continue;
    const skin::TRect r = image.SourceRect;
    const int frames = image.MaskType >= 1 ? image.MaskType + 1 : 1;
    const int width = firstFrameOnly ? r.Width() / std::max<int>(image.ImageCount, 1) : r.Width();
    const int height = r.Height() / frames;  // the image, without its mask
    std::set<COLORREF> seen(out.colours.begin(), out.colours.end());
    for (int y = r.Top; y < r.Top + height && y < b->Height(); ++y)
      for (int x = r.Left; x < r.Left + width && x < b->Width(); ++x) {
        const uint32_t p = skin::GetPixel32(*b, x, y);
        const COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        if (c == RGB(255, 0, 255)) continue;  // the key colour: transparent
        if (seen.insert(c).second) out.colours.push_back(c);
      }
  }
}

// The stored skins of the six settings (none for the first), loaded from the packed files.
inline std::vector<SkinOfSetting> LoadSettings() {
  static const char* const names[] = {"Spring Willow (internal)", "Lucky (internal)", "MacMetal (internal)",
                                      "Opus (internal)", "Topaz (internal)"};
  static const char* const files[] = {"spring_willow", "lucky", "macmetal", "opus", "topaz"};
  skin::PortableSkinSystem sys;
  skin::TsSkinManager m(sys);
  std::vector<SkinOfSetting> settings(1);
  settings[0].name = "(none)";
  for (size_t i = 0; i < 5; ++i) {
    const std::string bytes = ReadFile(WindowsPath(Env("STATION_SKINS")) + "\\" + files[i] + ".asz");
        skin::TsStoredSkin& stored = m.InternalSkins.Add();
    stored.Name = names[i];
    stored.Data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    m.SetSkinName(names[i]);
    const skin::LoadedSkin& s = m.Skin();
    SkinOfSetting k;
    k.name = names[i];
    const int32_t edit = skin::SkinManagerGetSectionIndex(s, "EDIT");
    if (edit >= 0) k.editColour = COLORREF(s.Sections[size_t(edit)].NormalState.Color);
    AddImage(s, "BUTTON", "BORDERSMASK", true, k.button);
    AddImage(s, "BUTTON", "BORDERSMASK", false, k.anyButton);
    for (const char* section : {"FORMTITLE", "DIALOGTITLE"}) AddImage(s, section, "BORDERSMASK", false, k.caption);
    for (const char* section : {"FORM", "DIALOG"}) AddImage(s, section, "TITLEBAR", false, k.caption);
    k.titleHeight = m.SkinData().TitleHeight;
    settings.push_back(std::move(k));
  }
  return settings;
}

// One station.exe, started in a working directory of its own.
class Station {
 public:
  // Started, then given `settleMs` for the start-up's first paints once its main window shows.
  explicit Station(const std::string& dir, DWORD settleMs = 1500) : dir_(dir) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string command = WindowsPath(Env("STATION_EXE"));
    command.insert(command.begin(), '"');
    command.push_back('"');
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_)) return;
    CloseHandle(pi_.hThread);
    WaitFor([&] { return (main_ = TopWindow(pi_.dwProcessId, "TForm1")) != nullptr; }, 60000);
    Sleep(settleMs);
  }
  ~Station() {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 10000);
    }
    CloseHandle(pi_.hProcess);
  }
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  HWND Main() const { return main_; }
  DWORD Pid() const { return pi_.dwProcessId; }
  HANDLE Process() const { return pi_.hProcess; }
  bool WaitExit(DWORD ms) { return WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0; }

  // A speed button of a box (a graphic control: the click goes to the box at the button's place).
  void ClickIn(HWND box, int x, int y) {
    PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  // The skin buttons, 56 x 22 each, three to a row, in the order of the settings: the top left corner of a
  // setting's button in the box's client area.
  static POINT SettingButton(int setting) {
    const int i = setting - 1;
    return POINT{8 + (i % 3) * 58, 17 + (i / 3) * 23};
  }
  HWND SkinBox() const { return Child(main_, "Button", {"Skin", "Peau"}); }
  void ChooseSetting(int setting) {
    HWND box = SkinBox();
    if (box == nullptr) return;
    const POINT p = SettingButton(setting);
    ClickIn(box, p.x + 28, p.y + 11);
  }
  // As a user does it: the pointer brought onto the setting's button and clicked there, then moved off it to the
  // box's left margin, where it stays.
  void ChooseSettingWithPointer(int setting) {
    HWND box = SkinBox();
    if (box == nullptr) return;
    POINT p = SettingButton(setting);
    p = POINT{p.x + 28, p.y + 11};
    ClientToScreen(box, &p);
    SetForegroundWindow(main_);
    WaitFor([&] { return GetForegroundWindow() == main_; }, 5000);
    testsupport::MouseClickAt(p.x, p.y);
    POINT margin{4, 30};
    ClientToScreen(box, &margin);
    SetCursorPos(margin.x, margin.y);
  }
  // The pointer taken away from every window (the screen's bottom right corner).
  static void ParkPointer() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Sleep(100);
  }
  HWND BeaconEdit() const {
    HWND box = Child(main_, "Button", {"Beacon", "Balise"});
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (ClassOf(c) == "Edit" && IsWindowVisible(c)) return c;
    return nullptr;
  }
  HWND Button(std::vector<std::string> texts) const { return Child(main_, "Button", std::move(texts)); }

 private:
  std::string dir_;
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Whether the hint window of the program of `h` shows over a point of the screen (the pointer resting on a
// control brings it; it lets the mouse through, so the point's window does not tell).
inline bool UnderHint(HWND h, POINT screen) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HWND hint = TopWindow(pid, "THintWindow");
  RECT r{};
  return hint != nullptr && GetWindowRect(hint, &r) && PtInRect(&r, screen);
}

// What a setting should show: a client pixel of an edit, of a button's face and a pixel of a window's caption.
struct Look {
  const SkinOfSetting& skin;
  bool skinned;
  std::string EditFault(HWND edit) const {
    RECT r{};
    GetClientRect(edit, &r);
    const COLORREF got = ClientPixel(edit, r.right - 6, r.bottom / 2);
    const COLORREF want = skinned ? skin.editColour : GetSysColor(COLOR_WINDOW);
    return got == want ? "" : "edit " + Hex(got) + " instead of " + Hex(want);
  }
  // A button in its normal state, or (`anyState`) in any: a dialog's default button is drawn focused.
  std::string ButtonFault(HWND button, bool anyState = false) const {
    RECT r{};
    GetClientRect(button, &r);
    const COLORREF got = ClientPixel(button, 9, r.bottom / 2);
    if (!skinned)
      return got == GetSysColor(COLOR_BTNFACE) ? "" : "button " + Hex(got) + " instead of the face colour";
    const int d = (anyState ? skin.anyButton : skin.button).Nearest(got);
    return d <= kTolerance ? "" : "button " + Hex(got) + " at " + std::to_string(d) + " from the skin's button image";
  }
  // The buttons of the "Skin" box other than the chosen one, as the screen shows them now and as they show once
  // the box is repainted whole: the same, a button in its normal state (those under the hint are left out).
  std::string SkinButtonsFault(HWND box, int chosen) const {
    struct Probe {
      int setting;
      POINT at, screen;
      COLORREF now;
    };
    std::vector<Probe> probes;
    for (int setting = 1; setting <= 6; ++setting) {
      if (setting == chosen) continue;
      POINT at = Station::SettingButton(setting);
      at = POINT{at.x + 9, at.y + 11};
      POINT screen = at;
      ClientToScreen(box, &screen);
      if (UnderHint(box, screen)) continue;
      probes.push_back({setting, at, screen, ClientPixel(box, at.x, at.y)});
    }
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    std::string fault;
    size_t seen = 0;
    for (const Probe& p : probes) {
      if (UnderHint(box, p.screen)) continue;
      ++seen;
      const COLORREF whole = ClientPixel(box, p.at.x, p.at.y);
      const std::string which = "skin button " + std::to_string(p.setting) + " ";
      if (Distance(p.now, whole) > 8) fault += which + Hex(p.now) + ", " + Hex(whole) + " once repainted whole; ";
      if (!skinned && whole != GetSysColor(COLOR_BTNFACE)) fault += which + Hex(whole) + " instead of the face; ";
      if (skinned && skin.button.Nearest(whole) > kTolerance) fault += which + Hex(whole) + " not the skin's; ";
    }
    return seen == 0 ? "every skin button under the hint" : fault;
  }
  std::string CaptionFault(HWND window) const {
    RECT r{};
    GetWindowRect(window, &r);
    // Unskinned under a window manager, the caption is the manager's decoration, outside the window.
    if (!skinned && Env("WINE_WINDOW_MANAGER") == "1") return "";
    const COLORREF got = WindowPixel(window, (r.right - r.left) * 3 / 5, skinned ? skin.titleHeight / 2 : 10);
    if (!skinned) {
      // The system's caption: between the active caption colour and its gradient's end.
      for (auto [a, b] : {std::pair{COLOR_ACTIVECAPTION, COLOR_GRADIENTACTIVECAPTION},
                          std::pair{COLOR_INACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION}}) {
        const COLORREF x = GetSysColor(a), y = GetSysColor(b);
        auto between = [](int v, int p, int q) { return v >= std::min(p, q) - 2 && v <= std::max(p, q) + 2; };
        if (between(GetRValue(got), GetRValue(x), GetRValue(y)) && between(GetGValue(got), GetGValue(x), GetGValue(y)) &&
            between(GetBValue(got), GetBValue(x), GetBValue(y)))
          return "";
      }
      return "caption " + Hex(got) + " is not the system's caption";
    }
    // The caption's text may run through one point (a long title): the nearest of a few along the bar.
    COLORREF best = got;
    int d = skin.caption.Nearest(got);
    for (int fifth : {7, 8}) {
      const COLORREF c = WindowPixel(window, (r.right - r.left) * fifth / 10, skin.titleHeight / 2);
      if (const int e = skin.caption.Nearest(c); e < d) best = c, d = e;
    }
    return d <= kTolerance ? "" : "caption " + Hex(best) + " at " + std::to_string(d) + " from the skin's title images";
  }
};

inline const std::vector<SkinOfSetting>& Settings() {
  static const std::vector<SkinOfSetting> s = LoadSettings();
  return s;
}

inline std::string WorkDir(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string dir = std::string(temp) + "station_skins_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

inline void SavePicture(HWND h, const std::string& name) {
  const std::string dir = Env("E2E_ARTEFACTS");
  if (!dir.empty()) testsupport::SaveWindowPicture(h, WindowsPath(dir), name);
}

// What the screen shows over two windows together (a dialog over the main window), as a picture.
// Waits until the screen over `h` has stayed the same for `quietMs` (or `ms` passed): a window just shown
// reaches the screen when its program next hands its drawing to the X server, and until then the screen keeps
// what lay there (a dialog over its main window, whose caption has the same colours, is not there yet).
inline void WaitUntilScreenSettles(HWND h, DWORD quietMs = 300, DWORD ms = 5000) {
  RECT r{};
  GetWindowRect(h, &r);
  const int w = r.right - r.left, h2 = r.bottom - r.top;
  if (w <= 0 || h2 <= 0) return;
  auto grid = [&] {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h2;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<COLORREF> v;
    if (dib && bits) {
      HGDIOBJ old = SelectObject(memory, dib);
      BitBlt(memory, 0, 0, w, h2, screen, r.left, r.top, SRCCOPY);
      GdiFlush();
      const auto* p = static_cast<const COLORREF*>(bits);
      v.assign(p, p + size_t(w) * size_t(h2));
      SelectObject(memory, old);
      DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return v;
  };
  std::vector<COLORREF> last = grid();
  DWORD quietSince = GetTickCount();
  const DWORD start = quietSince;
  while (GetTickCount() - quietSince < quietMs && GetTickCount() - start < ms) {
    Sleep(50);
    std::vector<COLORREF> now = grid();
    if (now != last) quietSince = GetTickCount();
    last = std::move(now);
  }
}

// What the whole screen shows now, as a picture.
inline void SaveScreenPicture(const std::string& name) {
  const std::string dir = Env("E2E_ARTEFACTS");
  if (dir.empty()) return;
  gui::TBitmap bmp;
  testsupport::CaptureScreenRect(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, bmp);
  std::filesystem::create_directories(WindowsPath(dir));
  bmp.SaveToFile(WindowsPath(dir) + "/" + name + ".bmp");
}

inline void SavePictureOf(HWND a, HWND b, const std::string& name) {
  const std::string dir = Env("E2E_ARTEFACTS");
  if (dir.empty()) return;
  RECT ra{}, rb{}, r{};
  GetWindowRect(a, &ra);
  GetWindowRect(b, &rb);
  UnionRect(&r, &ra, &rb);
  // The extended frame (a shadow) round either, when there is one.
  InflateRect(&r, 16, 16);
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  gui::TBitmap bmp;
  testsupport::CaptureScreenRect(r, bmp);
  std::filesystem::create_directories(WindowsPath(dir));
  bmp.SaveToFile(WindowsPath(dir) + "/" + name + ".bmp");
}

}  // namespace stationskins
