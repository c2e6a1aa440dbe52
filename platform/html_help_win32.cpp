#include <windows.h>

#include <cstring>

#include "platform/html_help.h"

namespace platform {
namespace {

std::string WithoutTrailingBackslash(std::string s) {
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

std::string FormattedNow(bool withDate) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char date[128] = {}, time[128] = {};
  if (withDate) GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, time, sizeof time);
  return withDate ? std::string(date) + " " + time : std::string(time);
}

class Win32Help final : public HelpSystem {
 public:
  void* OpenLibrary(const std::string& nameOrPath) override {
    return reinterpret_cast<void*>(::LoadLibraryA(nameOrPath.c_str()));
  }
  void* LibraryProc(void* module, const char* name) override {
    if (!module) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
  }
  void CloseLibrary(void* module) override {
    if (module) ::FreeLibrary(static_cast<HMODULE>(module));
  }
  bool ReadClassesRootDefault(const std::string& subKey, std::string& value) override {
    value.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && size < 65536) {
      std::string buffer(size, '\0');
      if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
          ERROR_SUCCESS)
        value.assign(buffer.c_str());
    }
    RegCloseKey(key);
    return true;
  }
  FileVersion GetFileVersion(const std::string& path) override {
    FileVersion v;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return v;
    std::string data(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return v;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info ||
        len < sizeof(VS_FIXEDFILEINFO))
      return v;
    v.part[0] = HIWORD(info->dwFileVersionMS);
    v.part[1] = LOWORD(info->dwFileVersionMS);
    v.part[2] = HIWORD(info->dwFileVersionLS);
    v.part[3] = LOWORD(info->dwFileVersionLS);
    v.present = true;
    return v;
  }
  std::string SystemDirectory() override {
    char b[MAX_PATH] = {};
    GetSystemDirectoryA(b, MAX_PATH);
    return WithoutTrailingBackslash(b);
  }
  std::string WindowsDirectory() override {
    char b[MAX_PATH] = {};
    GetWindowsDirectoryA(b, MAX_PATH);
    return WithoutTrailingBackslash(b);
  }
  std::string TempPath() override {
    char b[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH + 1, b);
    return WithoutTrailingBackslash(b);
  }
  std::string ModuleFileName() override {
    char b[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, b, MAX_PATH);
    return b;
  }
  std::vector<std::string> CommandLineItems() override {
    // The parameters as the run-time library splits them: quotes group blanks, a pair of quotes is one quote.
    std::vector<std::string> items;
    const char* p = GetCommandLineA();
    while (*p) {
      while (*p == ' ' || *p == '\t') ++p;
      if (!*p) break;
      std::string item;
      bool quoted = false;
      while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
        if (*p == '"') {
          if (quoted && p[1] == '"') {
            item.push_back('"');
            ++p;
          } else {
            quoted = !quoted;
          }
        } else {
          item.push_back(*p);
        }
        ++p;
      }
      items.push_back(item);
    }
    return items;
  }
  std::string CommandLine() override { return GetCommandLineA(); }
  OsVersion GetOsVersion() override {
    OsVersion o;
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExA(&info)) {
#pragma GCC diagnostic pop
      o.major = info.dwMajorVersion;
      o.minor = info.dwMinorVersion;
      o.build = info.dwBuildNumber & 0xFFFF;
      o.ntFamily = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
      o.servicePack = info.szCSDVersion;
    }
    return o;
  }
  uint32_t SystemDefaultLCID() override { return GetSystemDefaultLCID(); }
  std::string DecimalSeparator() override {
    char b[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, b, sizeof b) <= 0) return ".";
    return b;
  }
  std::string LocalDateTimeText() override { return FormattedNow(true); }
  std::string LocalTimeText() override { return FormattedNow(false); }
};

}  // namespace

HelpSystem& systemHelp() {
  static Win32Help help;
  return help;
}

}  // namespace platform
