#pragma once
// The seam of the HTML Help units: what they ask of the operating system to find and bind the HTML Help
// control, to learn which versions of it and of the browser control are installed, and to describe the
// system in their debug log. On Windows each operation is the Win32 call named beside it; natively there is
// no such control (no library loads, no registry, no version resources) and the rest comes from POSIX.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A fixed file version: major, minor, release, build.
struct FileVersion {
  uint16_t part[4] = {0, 0, 0, 0};
  bool present = false;
};

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  bool ntFamily = true;
  std::string servicePack;  // empty when none
};

class HelpSystem {
 public:
  virtual ~HelpSystem() = default;

  // LoadLibraryA / GetProcAddress / FreeLibrary (nullptr when it fails).
  virtual void* OpenLibrary(const std::string& nameOrPath) = 0;
  virtual void* LibraryProc(void* module, const char* name) = 0;
  virtual void CloseLibrary(void* module) = 0;
  // RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey, KEY_READ) and the key's default value; false when the key
  // cannot be opened (value then empty; a key without default value gives true and an empty value).
  virtual bool ReadClassesRootDefault(const std::string& subKey, std::string& value) = 0;
  // GetFileVersionInfoSizeA / GetFileVersionInfoA / VerQueryValueA(root "\"): the fixed file version.
  virtual FileVersion GetFileVersion(const std::string& path) = 0;
  // GetSystemDirectoryA, GetWindowsDirectoryA, GetTempPathA (without trailing separator).
  virtual std::string SystemDirectory() = 0;
  virtual std::string WindowsDirectory() = 0;
  virtual std::string TempPath() = 0;
  // GetModuleFileNameA of the running program.
  virtual std::string ModuleFileName() = 0;
  // The command line: the program's command name followed by its parameters, and the whole text.
  virtual std::vector<std::string> CommandLineItems() = 0;
  virtual std::string CommandLine() = 0;
  // GetVersionExA.
  virtual OsVersion GetOsVersion() = 0;
  // The system locale (its LCID) and the user's decimal separator.
  virtual uint32_t SystemDefaultLCID() = 0;
  virtual std::string DecimalSeparator() = 0;
  // Now, in the user's locale formats: date and time, and time alone.
  virtual std::string LocalDateTimeText() = 0;
  virtual std::string LocalTimeText() = 0;
};

// The operating system's.
HelpSystem& systemHelp();

}  // namespace platform
