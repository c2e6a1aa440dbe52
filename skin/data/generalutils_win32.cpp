// The Win32 side of the general utilities: system settings through user32/gdi32/kernel32 (the entry points
// that older systems lack are bound at run time), and the file helpers.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "skin/data/generalutils.h"

namespace skin {

namespace {

class Win32SkinSystem final : public SkinSystem {
 public:
  Win32SkinSystem() {
    kernel32_ = LoadLibraryA("kernel32.dll");
    if (kernel32_) {
      isDebuggerPresent_ = reinterpret_cast<IsDebuggerPresentFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel32_, "IsDebuggerPresent")));
      isWow64Process_ = reinterpret_cast<IsWow64ProcessFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel32_, "IsWow64Process")));
    }
  }
  ~Win32SkinSystem() override {
    if (kernel32_) FreeLibrary(kernel32_);
  }

  int32_t CaptionFontHeight() override {
    NONCLIENTMETRICSA m{};
    if (!queryMetrics(m)) return 0;
    return m.lfCaptionFont.lfHeight;
  }

  uintptr_t CreateCaptionFont() override {
    NONCLIENTMETRICSA m{};
    if (!queryMetrics(m)) return 0;
    return reinterpret_cast<uintptr_t>(CreateFontIndirectA(&m.lfCaptionFont));
  }

  bool GetMinAnimation() override {
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    if (!SystemParametersInfoA(SPI_GETANIMATION, sizeof info, &info, 0)) return false;
    return info.iMinAnimate != 0;
  }

  void SetMinAnimation(bool On) override {
    ANIMATIONINFO info{};
    info.cbSize = sizeof info;
    info.iMinAnimate = On ? -1 : 0;
    SystemParametersInfoA(SPI_SETANIMATION, sizeof info, &info, 0);
  }

  WindowsVersion Version() override {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return WindowsVersion{};
#pragma GCC diagnostic pop
    return WindowsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId};
  }

  bool IsWow64() override {
    if (!isWow64Process_) return false;
    BOOL wow = FALSE;
    if (!isWow64Process_(GetCurrentProcess(), &wow)) return false;
    return wow != FALSE;
  }

  bool DebuggerPresent() override {
    if (!isDebuggerPresent_) return true;
    return isDebuggerPresent_() != FALSE;
  }

  bool CompositionEnabled() override {
    // The library is loaded at the first question and kept: asked on every show, move and skin change.
    using Fn = HRESULT(WINAPI*)(BOOL*);
    static const Fn fn = [] {
      HMODULE dwm = LoadLibraryA("dwmapi.dll");
      return dwm ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")))
                 : nullptr;
    }();
    BOOL on = FALSE;
    return fn && SUCCEEDED(fn(&on)) && on != FALSE;
  }

  int32_t HScrollArrowWidth() override { return GetSystemMetrics(SM_CXHSCROLL); }

  uint32_t SysColor(int index) override { return platform::systemColors().SysColor(index); }

  void ProcessMessages() override {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  void ShowErrorBox(const std::string& Text, uintptr_t Owner) override {
    MessageBoxA(BoxOwner(Owner), Text.c_str(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }

  void ShowMessageBox(TSkinMessageKind Kind, const std::string& Text, uintptr_t Owner) override {
    UINT icon = 0;
    const char* caption = "Information";
    if (Kind == TSkinMessageKind::Warning) {
      icon = MB_ICONWARNING;
      caption = "Warning";
    } else if (Kind == TSkinMessageKind::Error) {
      icon = MB_ICONERROR;
      caption = "Error";
    }
    MessageBoxA(BoxOwner(Owner), Text.c_str(), caption, MB_OK | icon | MB_TASKMODAL);
  }

  int32_t SystemMetric(int index) override { return GetSystemMetrics(index); }

  std::vector<std::string> CommandLineParameters() override {
    std::vector<std::string> params;
    for (int i = 1; i < __argc; ++i)
      if (__argv && __argv[i]) params.emplace_back(__argv[i]);
    return params;
  }

  std::string ProgramDirectory() override { return AppPath(); }

  bool LayeredWindowsAvailable() override {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 && GetProcAddress(user32, "UpdateLayeredWindow") != nullptr;
  }

 private:
  // The active window of this thread; with none (another program in front), the program's window asked for.
  static HWND BoxOwner(uintptr_t Owner) {
    if (HWND active = GetActiveWindow()) return active;
    const HWND h = reinterpret_cast<HWND>(Owner);
    return h != nullptr && IsWindow(h) ? h : nullptr;
  }

  using IsDebuggerPresentFn = BOOL(WINAPI*)();
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);

  static bool queryMetrics(NONCLIENTMETRICSA& m) {
    // The structure as it was before Vista added iPaddedBorderWidth, so that every system accepts it.
    m.cbSize = UINT(offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA));
    return SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, m.cbSize, &m, 0) != FALSE;
  }

  HMODULE kernel32_ = nullptr;
  IsDebuggerPresentFn isDebuggerPresent_ = nullptr;
  IsWow64ProcessFn isWow64Process_ = nullptr;
};

struct FindHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  int32_t excluded = 0;
  ~FindHandle() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }
};

void fill(const WIN32_FIND_DATAA& d, TSearchRec& F) {
  F.Name = d.cFileName;
  F.Attr = int32_t(d.dwFileAttributes);
  F.Size = (int64_t(d.nFileSizeHigh) << 32) | int64_t(d.nFileSizeLow);
}

// Skips entries with an excluded attribute; 0 when d holds an acceptable entry.
int skipExcluded(FindHandle& h, WIN32_FIND_DATAA& d) {
  while (int32_t(d.dwFileAttributes) & h.excluded) {
    if (!FindNextFileA(h.handle, &d)) return int(GetLastError());
  }
  return 0;
}

}  // namespace

SkinSystem& systemSkinSystem() {
  static Win32SkinSystem system;
  return system;
}

bool DirectoryExists(const std::string& Path) {
  const DWORD a = GetFileAttributesA(Path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& Path) {
  const DWORD a = GetFileAttributesA(Path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int FindFirstEntry(const std::string& Pattern, int32_t Attr, TSearchRec& F) {
  FindCloseEntry(F);
  auto h = std::make_shared<FindHandle>();
  h->excluded = ~Attr & (faHidden | faSysFile | faDirectory);
  WIN32_FIND_DATAA d;
  h->handle = FindFirstFileA(Pattern.c_str(), &d);
  if (h->handle == INVALID_HANDLE_VALUE) return int(GetLastError());
  const int r = skipExcluded(*h, d);
  if (r != 0) return r;
  fill(d, F);
  F.Handle = h;
  return 0;
}

int FindNextEntry(TSearchRec& F) {
  if (!F.Handle) return ERROR_NO_MORE_FILES;
  auto* h = static_cast<FindHandle*>(F.Handle.get());
  WIN32_FIND_DATAA d;
  if (!FindNextFileA(h->handle, &d)) return int(GetLastError());
  const int r = skipExcluded(*h, d);
  if (r != 0) return r;
  fill(d, F);
  return 0;
}

void FindCloseEntry(TSearchRec& F) { F.Handle.reset(); }

std::string FindFileNoCase(const std::string& Path) { return FileExists(Path) ? Path : std::string(); }

std::string AppPath() {
  std::vector<char> buffer(MAX_PATH);
  while (true) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      std::string path(buffer.data(), n);
      const size_t slash = path.find_last_of("\\/:");
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace skin
