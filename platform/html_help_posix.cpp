// Natively there is no HTML Help control, registry or version resource: nothing loads and no version is
// found; the directories, the program's name, the command line and the locale come from POSIX.
#include <sys/utsname.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "platform/html_help.h"

namespace platform {
namespace {

std::string Now(const char* format) {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char b[128] = {};
  std::strftime(b, sizeof b, format, &local);
  return b;
}

class PosixHelp final : public HelpSystem {
 public:
  void* OpenLibrary(const std::string&) override { return nullptr; }
  void* LibraryProc(void*, const char*) override { return nullptr; }
  void CloseLibrary(void*) override {}
  bool ReadClassesRootDefault(const std::string&, std::string& value) override {
    value.clear();
    return false;
  }
  FileVersion GetFileVersion(const std::string&) override { return {}; }
  std::string SystemDirectory() override { return "/usr/lib"; }
  std::string WindowsDirectory() override { return "/usr"; }
  std::string TempPath() override {
    const char* t = std::getenv("TMPDIR");
    std::string s = t && *t ? t : "/tmp";
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
  }
  std::string ModuleFileName() override {
    char b[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", b, sizeof b - 1);
    return n > 0 ? std::string(b, size_t(n)) : std::string();
  }
  std::vector<std::string> CommandLineItems() override {
    std::vector<std::string> items;
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string item;
    while (std::getline(in, item, '\0')) items.push_back(item);
    return items;
  }
  std::string CommandLine() override {
    std::string all;
    for (const std::string& i : CommandLineItems()) all += (all.empty() ? "" : " ") + i;
    return all;
  }
  OsVersion GetOsVersion() override {
    OsVersion o;
    o.ntFamily = false;
    return o;
  }
  uint32_t SystemDefaultLCID() override { return 0x0409; }
  std::string DecimalSeparator() override {
    const std::lconv* l = std::localeconv();
    return l && l->decimal_point ? l->decimal_point : ".";
  }
  std::string LocalDateTimeText() override { return Now("%x %X"); }
  std::string LocalTimeText() override { return Now("%X"); }
};

}  // namespace

HelpSystem& systemHelp() {
  static PosixHelp help;
  return help;
}

}  // namespace platform
