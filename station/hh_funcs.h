#pragma once
// hh_funcs: where the program runs, which HTML Help control and browser control versions are installed, and
// the diagnostic log "HHDebug.txt", written at start-up when debugging is asked for (a parameter "/debug" or
// "-debug", in any case, or a file "debug.debug" beside the program). The program constructs one HhFuncs
// before it creates its forms (unit initialisation) and destroys it after them (finalisation).
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/html_help.h"

namespace station {

inline constexpr const char* NOM_JOURNAL_HH = "HHDebug.txt";
inline constexpr const char* NOM_FICHIER_DEBUG = "debug.debug";

using platform::FileVersion;

// -1, 0 or +1 comparing the four parts from the left.
int CompareVersions(const FileVersion& a, const FileVersion& b);
FileVersion Version(uint16_t major, uint16_t minor, uint16_t release, uint16_t build);
// "major.minor.release.build", or empty for an absent version.
std::string VersionText(const FileVersion& v);
// The HTML Help control's friendly name ("1.4a", "> 1.4a", "< 1.0", ...), empty for an absent version.
std::string HhFriendlyVersion(const FileVersion& v);
// The browser's friendly name ("Internet Explorer 6 SP1", ...), empty for an absent version.
std::string IeFriendlyVersion(const FileVersion& v);
// The browser's version from the version of its control: old controls (4.70 and below, release 0) keep the
// release number in the build part.
FileVersion IEVersionFromShdocvw(FileVersion v);

std::string StripTrailingChar(std::string texte, char c);
std::string RepeatChar(char c, int n);
std::string BoolToYesNo(bool b);
// A value that begins with %SYSTEMROOT% (any case) gets the Windows directory in its place.
std::string ExpandSystemRoot(const std::string& valeur, const std::string& repertoire_windows);

class HhFuncs;

// printf formatting into a string.
std::string Formate(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The log file: one line per Write, with a time stamp unless the line begins with "!", "-" or "=".
class TDLogFile {
 public:
  // An empty name is the log directory's "HHDebug.txt"; a directory that is missing or not writable gives
  // the temporary directory. An existing file is deleted unless appending; the header is written when the
  // log is active and asks for it.
  TDLogFile(HhFuncs& unite, std::string FileName, bool Active, bool TimeStamps, bool WriteHeader, bool Append);

  std::string FileName;
  uint8_t Active = 0;
  uint8_t TimeStamps = 0;
  uint8_t WriteHeader = 0;
  uint8_t Append = 0;

  // One line (nothing while the log is not active; input/output errors are swallowed).
  void Write(const std::string& ligne);
  // A printf format filled with the arguments.
  template <class... Args>
  void Write(const char* format, Args... args) {
    if constexpr (sizeof...(Args) == 0)
      Write(std::string(format));
    else
      Write(Formate(format, args...));
  }

 private:
  void Header();
  HhFuncs& unite_;
};

class HhFuncs {
 public:
  // Unit initialisation: InitDebugInfo.
  explicit HhFuncs(platform::HelpSystem& systeme);
  HhFuncs(const HhFuncs&) = delete;
  HhFuncs& operator=(const HhFuncs&) = delete;

  std::string _ModulePath;
  std::string _ModuleDir;
  std::string _ModuleName;
  std::string _RunDir;
  std::string _LogDir;
  uint8_t _DebugActive = 0;
  std::string _hhVerStr;
  bool _hhInstalled = false;
  std::string _hhFriendlyVerStr;
  std::string _ieVerStr;
  bool _ieInstalled = false;
  std::string _ieFriendlyVerStr;
  static constexpr uint8_t _LogTimeStamps = 1;
  static constexpr uint8_t _LogHeader = 1;
  static constexpr uint8_t _LogAppend = 0;
  std::unique_ptr<TDLogFile> _DebugLog;

  void InitDebugInfo();

  std::string GetSystemDir();
  std::string GetWindowsDir();
  // The temporary directory, "c:" when it does not exist.
  std::string GetTempDir();
  // Creates and deletes a scratch file there; true when it could be created.
  static bool IsDirWritable(const std::string& repertoire);
  FileVersion GetFileVersion(const std::string& chemin);
  FileVersion GetIEVersion();

  platform::HelpSystem& Systeme() { return systeme_; }

 private:
  platform::HelpSystem& systeme_;
};

}  // namespace station
