// The HTML Help units on a scripted system: the version-name tables, the control's path from the registry,
// the binding of its entry points, and the debug log asked for by "-debug" or "debug.debug".
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "autex/fonctions_fichiers.h"
#include "station/hh.h"
#include "station/hh_funcs.h"
#include "tests/support/temp_dir.h"

namespace {

using station::Version;
constexpr char SEP = autex::SEPARATEUR_CHEMIN;

void* const kHandle = reinterpret_cast<void*>(0x1000);
void* const kEntryA = reinterpret_cast<void*>(0x2000);
void* const kEntryW = reinterpret_cast<void*>(0x3000);

// A system whose directories, registry, libraries and versions a test sets.
class ScriptedSystem final : public platform::HelpSystem {
 public:
  std::string systemDir, windowsDir, tempDir, modulePath;
  std::vector<std::string> commandLine;
  bool keyOpens = true;
  std::string registryValue;
  std::map<std::string, void*> libraries;  // name or path -> handle
  std::map<std::string, platform::FileVersion> versions;
  std::vector<std::string> loadAttempts;
  std::vector<void*> freed;
  platform::OsVersion os;

  void* OpenLibrary(const std::string& n) override {
    loadAttempts.push_back(n);
    const auto it = libraries.find(n);
    return it == libraries.end() ? nullptr : it->second;
  }
  void* LibraryProc(void* module, const char* name) override {
    if (module != kHandle) return nullptr;
    if (std::string(name) == "HtmlHelpA") return kEntryA;
    if (std::string(name) == "HtmlHelpW") return kEntryW;
    return nullptr;
  }
  void CloseLibrary(void* module) override { freed.push_back(module); }
  bool ReadClassesRootDefault(const std::string& key, std::string& value) override {
    EXPECT_EQ(key, "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32");
    value = keyOpens ? registryValue : std::string();
    return keyOpens;
  }
  platform::FileVersion GetFileVersion(const std::string& path) override {
    const auto it = versions.find(path);
    return it == versions.end() ? platform::FileVersion{} : it->second;
  }
  std::string SystemDirectory() override { return systemDir; }
  std::string WindowsDirectory() override { return windowsDir; }
  std::string TempPath() override { return tempDir; }
  std::string ModuleFileName() override { return modulePath; }
  std::vector<std::string> CommandLineItems() override { return commandLine; }
  std::string CommandLine() override {
    std::string s;
    for (const auto& i : commandLine) s += (s.empty() ? "" : " ") + i;
    return s;
  }
  platform::OsVersion GetOsVersion() override { return os; }
  uint32_t SystemDefaultLCID() override { return 0x040C; }
  std::string DecimalSeparator() override { return ","; }
  std::string LocalDateTimeText() override { return "07/12/2027 10:11:12"; }
  std::string LocalTimeText() override { return "10:11:12"; }
};

struct Machine {
  testsupport::TempDir root;
  ScriptedSystem sys;
  std::string programDir = root.file("program");
  std::string tempDir = root.file("temp");
  std::string sysDir = root.file("windows") + SEP + "system32";

  Machine() {
    std::filesystem::create_directories(programDir);
    std::filesystem::create_directories(tempDir);
    std::filesystem::create_directories(sysDir);
    sys.systemDir = sysDir;
    sys.windowsDir = root.file("windows");
    sys.tempDir = tempDir;
    sys.modulePath = programDir + SEP + "station.exe";
    sys.commandLine = {programDir + SEP + "station.exe"};
    sys.os.major = 6;
    sys.os.minor = 1;
    sys.os.build = 7601;
    sys.os.servicePack = "Service Pack 1";
    sys.keyOpens = false;
  }
  std::string log() const { return programDir + SEP + "HHDebug.txt"; }
  static std::vector<std::string> lines(const std::string& path) {
    testsupport::TempDir unused;
    std::ifstream in(path, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> out;
    size_t start = 0, p;
    while ((p = all.find("\r\n", start)) != std::string::npos) {
      out.push_back(all.substr(start, p - start));
      start = p + 2;
    }
    EXPECT_EQ(start, all.size()) << "every line ends with CR LF";
    return out;
  }
};

TEST(HtmlHelpVersions, HelpControlNames) {
  EXPECT_EQ(station::HhFriendlyVersion(Version(5, 2, 3669, 0)), "1.4a");
  EXPECT_EQ(station::HhFriendlyVersion(Version(5, 2, 3700, 0)), "> 1.4a");
  EXPECT_EQ(station::HhFriendlyVersion(Version(5, 2, 3669, 1)), "> 1.4a");
  EXPECT_EQ(station::HhFriendlyVersion(Version(5, 2, 3668, 9)), "1.4");
  EXPECT_EQ(station::HhFriendlyVersion(Version(4, 74, 8857, 0)), "1.32");
  EXPECT_EQ(station::HhFriendlyVersion(Version(4, 73, 8474, 5)), "1.21a");
  EXPECT_EQ(station::HhFriendlyVersion(Version(4, 72, 7290, 0)), "1.0");
  EXPECT_EQ(station::HhFriendlyVersion(Version(4, 72, 7289, 0)), "< 1.0");
  EXPECT_EQ(station::HhFriendlyVersion(platform::FileVersion{}), "");
}

TEST(HtmlHelpVersions, BrowserNames) {
  using station::IeFriendlyVersion;
  EXPECT_EQ(IeFriendlyVersion(station::IEVersionFromShdocvw(Version(4, 70, 0, 1155))), "Internet Explorer 3.0");
  EXPECT_EQ(station::VersionText(station::IEVersionFromShdocvw(Version(4, 70, 0, 1155))), "4.70.1155.0");
  // Newer controls keep their numbers.
  EXPECT_EQ(station::VersionText(station::IEVersionFromShdocvw(Version(4, 71, 0, 1712))), "4.71.0.1712");
  EXPECT_EQ(IeFriendlyVersion(Version(6, 0, 2900, 2180)), "Internet Explorer 6 (Windows XP SP2)");
  EXPECT_EQ(IeFriendlyVersion(Version(6, 0, 2900, 2179)), "Internet Explorer 6 SP1");
  EXPECT_EQ(IeFriendlyVersion(Version(5, 0, 2919, 6307)), "Internet Explorer 5.01");
  EXPECT_EQ(IeFriendlyVersion(Version(5, 0, 2919, 6400)), "Internet Explorer 5.01");
  EXPECT_EQ(IeFriendlyVersion(Version(5, 50, 4134, 100)), "Internet Explorer 5.5 for Windows Me (4.90.3000)");
  EXPECT_EQ(IeFriendlyVersion(Version(6, 5, 0, 0)), "Internet Explorer 6 (Windows Server 2003)");
  EXPECT_EQ(IeFriendlyVersion(Version(11, 0, 19041, 1)), ">= Internet Explorer 11.0.19041.1");
  EXPECT_EQ(IeFriendlyVersion(Version(4, 40, 307, 0)), "< Internet Explorer 1.0 (Plus!)");
  EXPECT_EQ(IeFriendlyVersion(platform::FileVersion{}), "");
  EXPECT_EQ(station::CompareVersions(Version(4, 70, 1, 0), Version(4, 70, 0, 9)), 1);
  EXPECT_EQ(station::CompareVersions(Version(4, 70, 0, 9), Version(4, 70, 1, 0)), -1);
  EXPECT_EQ(station::CompareVersions(Version(1, 2, 3, 4), Version(1, 2, 3, 4)), 0);
}

TEST(HtmlHelpHelpers, SmallTexts) {
  EXPECT_EQ(station::ExpandSystemRoot("%systemroot%\\System32\\hhctrl.ocx", "C:\\Windows"),
            "C:\\Windows\\System32\\hhctrl.ocx");
  EXPECT_EQ(station::ExpandSystemRoot("%SystemRoot%", "C:\\W"), "C:\\W");
  EXPECT_EQ(station::ExpandSystemRoot("%SYSTEMROO%\\x", "C:\\W"), "%SYSTEMROO%\\x");
  EXPECT_EQ(station::ExpandSystemRoot("C:\\hh\\hhctrl.ocx", "C:\\W"), "C:\\hh\\hhctrl.ocx");
  EXPECT_EQ(station::StripTrailingChar("a\\b\\\\\\", '\\'), "a\\b");
  EXPECT_EQ(station::RepeatChar('-', 3), "---");
  EXPECT_EQ(station::RepeatChar('-', -1), "");
  EXPECT_EQ(station::BoolToYesNo(true), "YES");
  EXPECT_EQ(station::BoolToYesNo(false), "NO");
}

TEST(HtmlHelpControl, PathFromTheRegistry) {
  Machine m;
  const std::string inSystem = m.sysDir + SEP + "hhctrl.ocx";
  EXPECT_EQ(station::GetHhctrlPath(m.sys), inSystem);  // the key cannot be opened
  m.sys.keyOpens = true;
  m.sys.registryValue = "%SystemRoot%" + std::string(1, SEP) + "elsewhere" + SEP + "hhctrl.ocx";
  EXPECT_EQ(station::GetHhctrlPath(m.sys), inSystem);  // names no existing file
  std::filesystem::create_directories(m.root.file("windows") + SEP + "elsewhere");
  m.root.write("windows/elsewhere/hhctrl.ocx", "MZ");
  EXPECT_EQ(station::GetHhctrlPath(m.sys), m.root.file("windows") + SEP + "elsewhere" + SEP + "hhctrl.ocx");
  m.sys.registryValue = "";
  EXPECT_EQ(station::GetHhctrlPath(m.sys), inSystem);
}

TEST(HtmlHelpControl, EntryPointsAreBoundByNameThenByPathAndFreed) {
  Machine m;
  {
    m.sys.libraries["hhctrl.ocx"] = kHandle;
    station::Hh hh(m.sys);
    EXPECT_EQ(hh.HHCtrlHandle, kHandle);
    EXPECT_EQ(reinterpret_cast<void*>(hh.HtmlHelpA), kEntryA);
    EXPECT_EQ(reinterpret_cast<void*>(hh.HtmlHelpW), kEntryW);
    EXPECT_EQ(reinterpret_cast<void*>(hh.HtmlHelp), kEntryA);
    hh.LoadHtmlHelp();  // once
    EXPECT_EQ(m.sys.loadAttempts.size(), 1u);
  }
  ASSERT_EQ(m.sys.freed.size(), 1u);
  EXPECT_EQ(m.sys.freed[0], kHandle);

  // Not found by name: the registry's path, when the file is there.
  m.sys.libraries.clear();
  m.sys.loadAttempts.clear();
  const std::string path = m.sysDir + SEP + "hhctrl.ocx";
  m.sys.libraries[path] = kHandle;
  {
    station::Hh hh(m.sys);
    EXPECT_EQ(hh.HHCtrlHandle, nullptr);  // the file does not exist yet: not tried
    EXPECT_EQ(m.sys.loadAttempts.size(), 1u);
  }
  m.root.write("windows/system32/hhctrl.ocx", "MZ");
  station::Hh hh(m.sys);
  EXPECT_EQ(hh.HHCtrlHandle, kHandle);
  EXPECT_EQ(m.sys.loadAttempts.back(), path);
  hh.UnloadHtmlHelp();
  EXPECT_EQ(hh.HHCtrlHandle, nullptr);
  EXPECT_EQ(hh.HtmlHelpA, nullptr);
  EXPECT_EQ(hh.HtmlHelp, nullptr);
}

TEST(HtmlHelpLog, DebugSwitchInCapitalsWritesTheLogWithItsHeader) {
  Machine m;
  m.sys.commandLine.push_back("-DEBUG");
  m.sys.versions[m.sysDir + SEP + "hhctrl.ocx"] = Version(5, 2, 3790, 2453);
  m.sys.versions[m.sysDir + SEP + "Shdocvw.dll"] = Version(6, 0, 2900, 5512);
  m.sys.versions[m.sys.modulePath] = Version(1, 2, 0, 7);
  station::HhFuncs funcs(m.sys);
  EXPECT_EQ(funcs._DebugActive, 1);
  EXPECT_EQ(funcs._ModuleDir, m.programDir);
  EXPECT_EQ(funcs._ModuleName, "station.exe");
  EXPECT_EQ(funcs._RunDir, m.programDir);
  EXPECT_EQ(funcs._LogDir, m.programDir);
  EXPECT_EQ(funcs._hhVerStr, "5.2.3790.2453");
  EXPECT_TRUE(funcs._hhInstalled);
  EXPECT_EQ(funcs._hhFriendlyVerStr, "> 1.4a");
  EXPECT_EQ(funcs._ieFriendlyVerStr, "Internet Explorer 6 (Windows XP SP2)");
  ASSERT_TRUE(funcs._DebugLog);
  EXPECT_EQ(funcs._DebugLog->FileName, m.log());

  const auto l = Machine::lines(m.log());
  ASSERT_EQ(l.size(), 27u);
  EXPECT_EQ(l[0], std::string(79, '='));
  EXPECT_EQ(l[1], "Log File:             \t" + m.log());
  EXPECT_EQ(l[2], "Date:                 \t07/12/2027 10:11:12");
  EXPECT_EQ(l[3], "Operating System:      \tWindows NT 6.1 (Build 7601) Service Pack 1");
  EXPECT_EQ(l[4], "SysLocale.DefaultLCID: \t0x040C (1036)");
  EXPECT_EQ(l[5], "SysLocale.PriLangID:   \t0x000C (12)");
  EXPECT_EQ(l[6], "SysLocale.SubLangID:   \t0x0001 (1)");
  EXPECT_EQ(l[7], "DecimalSeparator:      \t,");
  EXPECT_EQ(l[8], std::string(79, '-'));
  EXPECT_EQ(l[10], "EXE Version =       \t1.2.0.7");
  EXPECT_EQ(l[11], "Cmdline Param(s) =  \t | -DEBUG");
  EXPECT_EQ(l[18], std::string(79, '-'));
  EXPECT_EQ(l[19], "_hhInstalled =      \tYES");
  EXPECT_EQ(l[21], "_hhFriendlyVerStr = \t> 1.4a");
  EXPECT_EQ(l[23], "_ieInstalled =      \tYES");
  EXPECT_EQ(l[24], "_ieVerStr =         \t6.0.2900.5512");
  EXPECT_EQ(l[26], std::string(79, '='));

  // Later lines carry the time unless they start with "!", "-" or "=".
  funcs._DebugLog->Write("opened %s in %d ms", "HELP_VORNATEL.HTM", 12);
  funcs._DebugLog->Write("!plain");
  funcs._DebugLog->Write("-");
  const auto l2 = Machine::lines(m.log());
  ASSERT_EQ(l2.size(), 30u);
  EXPECT_EQ(l2[27], "10:11:12   opened HELP_VORNATEL.HTM in 12 ms");
  EXPECT_EQ(l2[28], "plain");
  EXPECT_EQ(l2[29], std::string(79, '-'));
}

TEST(HtmlHelpLog, WithoutSwitchAnOldLogIsDeletedAndNoneMade) {
  Machine m;
  m.root.write("program/HHDebug.txt", "old log\r\n");
  m.sys.commandLine.push_back("/debugx");
  station::HhFuncs funcs(m.sys);
  EXPECT_EQ(funcs._DebugActive, 0);
  EXPECT_FALSE(std::filesystem::exists(m.log()));
  EXPECT_EQ(funcs._hhVerStr, "");
  EXPECT_FALSE(funcs._hhInstalled);
  EXPECT_EQ(funcs._ieFriendlyVerStr, "");
  funcs._DebugLog->Write("nothing");
  EXPECT_FALSE(std::filesystem::exists(m.log()));
}

TEST(HtmlHelpLog, ADebugFileBesideTheProgramSwitchesItOn) {
  Machine m;
  m.root.write("program/debug.debug", "");
  m.sys.commandLine.push_back("/Debug");  // would do as well; the file is looked at first
  station::HhFuncs funcs(m.sys);
  EXPECT_EQ(funcs._DebugActive, 1);
  const auto l = Machine::lines(m.log());
  ASSERT_FALSE(l.empty());
  EXPECT_EQ(l[19], "_hhInstalled =      \tNO");
}

TEST(HtmlHelpLog, AProgramDirectoryThatCannotBeWrittenSendsTheLogToTheTemporaryDirectory) {
  Machine m;
  m.sys.modulePath = m.root.file("gone") + SEP + "station.exe";  // a directory that does not exist
  m.sys.commandLine = {m.sys.modulePath, "/debug"};
  station::HhFuncs funcs(m.sys);
  EXPECT_EQ(funcs._LogDir, m.tempDir);
  EXPECT_EQ(funcs._DebugLog->FileName, m.tempDir + SEP + "HHDebug.txt");
  EXPECT_TRUE(std::filesystem::exists(m.tempDir + SEP + "HHDebug.txt"));
  // No temporary directory either: "c:" is the last resort.
  m.sys.tempDir = m.root.file("no-temp");
  EXPECT_EQ(funcs.GetTempDir(), "c:");
}

}  // namespace
