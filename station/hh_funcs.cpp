#include "station/hh_funcs.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "autex/fonctions_fichiers.h"
#include "station/hh.h"

namespace station {
namespace {

constexpr char SEP = autex::SEPARATEUR_CHEMIN;

struct Nom_version {
  FileVersion version;
  const char* nom;
};

const std::vector<Nom_version>& Table_hh() {
  static const std::vector<Nom_version> table = {
      {Version(5, 2, 3669, 0), "1.4a"},  {Version(5, 2, 3626, 0), "1.4"},   {Version(4, 74, 9273, 0), "1.33"},
      {Version(4, 74, 8857, 0), "1.32"}, {Version(4, 74, 8793, 0), "1.31"}, {Version(4, 74, 8702, 0), "1.3"},
      {Version(4, 73, 8561, 0), "1.22"}, {Version(4, 73, 8474, 0), "1.21a"}, {Version(4, 73, 8412, 0), "1.21"},
      {Version(4, 73, 8252, 0), "1.2"},  {Version(4, 72, 8164, 0), "1.1b"}, {Version(4, 72, 7325, 0), "1.1a"},
      {Version(4, 72, 7323, 0), "1.1"},  {Version(4, 72, 7290, 0), "1.0"},
  };
  return table;
}

const std::vector<Nom_version>& Table_ie() {
  static const std::vector<Nom_version> table = {
      {Version(6, 0, 3790, 0), "Internet Explorer 6 (Windows Server 2003)"},
      {Version(6, 0, 3718, 0), "Internet Explorer 6 (Windows Server 2003 RC2)"},
      {Version(6, 0, 3663, 0), "Internet Explorer 6 (Windows Server 2003 RC1)"},
      {Version(6, 0, 2900, 2180), "Internet Explorer 6 (Windows XP SP2)"},
      {Version(6, 0, 2800, 1106), "Internet Explorer 6 SP1"},
      {Version(6, 0, 2712, 300), "Internet Explorer 6 (Windows XP + minor update)"},
      {Version(6, 0, 2600, 0), "Internet Explorer 6 (Windows XP)"},
      {Version(6, 0, 2479, 6), "Internet Explorer 6 Public Preview (Beta) Refresh"},
      {Version(6, 0, 2462, 0), "Internet Explorer 6 Public Preview (Beta)"},
      {Version(5, 50, 4807, 2300), "Internet Explorer 5.5 Service Pack 2"},
      {Version(5, 50, 4522, 1800), "Internet Explorer 5.5 Service Pack 1"},
      {Version(5, 50, 4308, 2900), "Internet Explorer 5.5 Advanced Security Privacy Beta"},
      {Version(5, 50, 4134, 600), "Internet Explorer 5.5"},
      {Version(5, 50, 4134, 100), "Internet Explorer 5.5 for Windows Me (4.90.3000)"},
      {Version(5, 50, 4030, 2400), "Internet Explorer 5.5 & Internet Tools Beta"},
      {Version(5, 50, 3825, 1300), "Internet Explorer 5.5 Developer Preview"},
      {Version(5, 0, 2919, 6400), "Internet Explorer 5.01"},
      {Version(5, 0, 2919, 6307), "Internet Explorer 5.01"},
      {Version(5, 0, 2919, 3800), "Internet Explorer 5.01 (Windows 2000 RC2, build 5.00.2128)"},
      {Version(5, 0, 2919, 800), "Internet Explorer 5.01 (Windows 2000 RC1, build 5.00.2072)"},
      {Version(5, 0, 2723, 2900), "Internet Explorer 5.0 updated"},
      {Version(5, 0, 2721, 1400), "Internet Explorer 5.0 updated"},
      {Version(5, 0, 2614, 0), "Internet Explorer 5.0b"},
      {Version(5, 0, 2314, 0), "Internet Explorer 5.0a"},
      {Version(5, 0, 2014, 0), "Internet Explorer 5.0"},
      {Version(5, 0, 910, 0), "Internet Explorer 5 Beta (Beta 2)"},
      {Version(5, 0, 518, 0), "Internet Explorer 5 Developer Preview (Beta 1)"},
      {Version(4, 72, 3612, 0), "Internet Explorer 4.01 Service Pack 2 (SP2)"},
      {Version(4, 72, 3110, 0), "Internet Explorer 4.01 Service Pack 1 (SP1)"},
      {Version(4, 72, 2106, 0), "Internet Explorer 4.01"},
      {Version(4, 71, 1712, 0), "Internet Explorer 4.0"},
      {Version(4, 71, 1008, 0), "Internet Explorer 4.0 Platform Preview 2.0 (PP2)"},
      {Version(4, 71, 544, 0), "Internet Explorer 4.0 Platform Preview 1.0 (PP1)"},
      {Version(4, 70, 1300, 0), "Internet Explorer 3.02"},
      {Version(4, 70, 1215, 0), "Internet Explorer 3.01"},
      {Version(4, 70, 1158, 0), "Internet Explorer 3.0 (OSR2)"},
      {Version(4, 70, 1155, 0), "Internet Explorer 3.0"},
      {Version(4, 40, 520, 0), "Internet Explorer 2.0"},
      {Version(4, 40, 308, 0), "Internet Explorer 1.0 (Plus!)"},
  };
  return table;
}

// The first row of the table (from the top) whose version is at most v.
const char* Premier_au_plus(const std::vector<Nom_version>& table, const FileVersion& v) {
  for (const Nom_version& r : table)
    if (CompareVersions(r.version, v) <= 0) return r.nom;
  return nullptr;
}

std::string Repertoire_de(const std::string& chemin) {
  size_t p = chemin.find_last_of(SEP);
#ifdef _WIN32
  const size_t q = chemin.find_last_of('/');
  if (q != std::string::npos && (p == std::string::npos || q > p)) p = q;
#endif
  return p == std::string::npos ? std::string() : chemin.substr(0, p);
}

std::string Nom_de(const std::string& chemin) {
  const std::string rep = Repertoire_de(chemin);
  return rep.empty() && chemin.find(SEP) == std::string::npos ? chemin : chemin.substr(rep.size() + 1);
}

bool Egal_sans_casse(const std::string& a, const char* b) {
  const std::string bb(b);
  if (a.size() != bb.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(bb[i]))) return false;
  return true;
}

std::string Hexa4(uint32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%04X", v & 0xFFFF);
  return b;
}

}  // namespace

FileVersion Version(uint16_t major, uint16_t minor, uint16_t release, uint16_t build) {
  FileVersion v;
  v.part[0] = major;
  v.part[1] = minor;
  v.part[2] = release;
  v.part[3] = build;
  v.present = true;
  return v;
}

int CompareVersions(const FileVersion& a, const FileVersion& b) {
  for (int i = 0; i < 4; ++i) {
    if (a.part[i] < b.part[i]) return -1;
    if (a.part[i] > b.part[i]) return 1;
  }
  return 0;
}

std::string VersionText(const FileVersion& v) {
  if (!v.present) return std::string();
  char b[64];
  std::snprintf(b, sizeof b, "%d.%d.%d.%d", v.part[0], v.part[1], v.part[2], v.part[3]);
  return b;
}

std::string HhFriendlyVersion(const FileVersion& v) {
  if (!v.present) return std::string();
  if (CompareVersions(v, Table_hh().front().version) > 0) return "> 1.4a";
  const char* nom = Premier_au_plus(Table_hh(), v);
  return nom ? nom : "< 1.0";
}

std::string IeFriendlyVersion(const FileVersion& v) {
  if (!v.present) return std::string();
  if (v.part[0] >= 7) return ">= Internet Explorer " + VersionText(v);
  const char* nom = Premier_au_plus(Table_ie(), v);
  return nom ? nom : "< Internet Explorer 1.0 (Plus!)";
}

FileVersion IEVersionFromShdocvw(FileVersion v) {
  if (v.present && v.part[0] == 4 && v.part[1] <= 70 && v.part[2] == 0) {
    v.part[2] = v.part[3];
    v.part[3] = 0;
  }
  return v;
}

std::string StripTrailingChar(std::string texte, char c) {
  while (!texte.empty() && texte.back() == c) texte.pop_back();
  return texte;
}

std::string RepeatChar(char c, int n) { return n > 0 ? std::string(static_cast<size_t>(n), c) : std::string(); }

std::string BoolToYesNo(bool b) { return b ? "YES" : "NO"; }

std::string ExpandSystemRoot(const std::string& valeur, const std::string& repertoire_windows) {
  if (valeur.size() >= 12 && Egal_sans_casse(valeur.substr(0, 12), "%SYSTEMROOT%"))
    return repertoire_windows + valeur.substr(12);
  return valeur;
}

std::string Formate(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copie;
  va_copy(copie, args);
  const int n = std::vsnprintf(nullptr, 0, format, copie);
  va_end(copie);
  std::string texte;
  if (n > 0) {
    texte.resize(static_cast<size_t>(n) + 1);
    std::vsnprintf(texte.data(), texte.size(), format, args);
    texte.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return texte;
}

// ============================== TDLogFile ==============================

TDLogFile::TDLogFile(HhFuncs& unite, std::string nom, bool active, bool horodatage, bool entete, bool ajout)
    : unite_(unite) {
  if (nom.empty()) nom = unite._LogDir + SEP + NOM_JOURNAL_HH;
  const std::string repertoire = Repertoire_de(nom);
  const bool repertoire_ok =
      repertoire.empty() ? HhFuncs::IsDirWritable(".") : (autex::detail::os_is_directory(repertoire) && HhFuncs::IsDirWritable(repertoire));
  if (!repertoire_ok) nom = unite.GetTempDir() + SEP + Nom_de(nom);
  FileName = nom;
  Active = active ? 1 : 0;
  TimeStamps = horodatage ? 1 : 0;
  WriteHeader = entete ? 1 : 0;
  Append = ajout ? 1 : 0;
  if (autex::FICHIER_EXISTE(FileName)) autex::Rendre_inscriptible(FileName);
  Header();
}

void TDLogFile::Header() {
  if (autex::FICHIER_EXISTE(FileName) && Append == 0) std::remove(FileName.c_str());
  if (Active == 0 || WriteHeader == 0) return;

  HhFuncs& u = unite_;
  platform::HelpSystem& s = u.Systeme();
  const platform::OsVersion os = s.GetOsVersion();
  std::string systeme = "Windows";
  if (os.ntFamily) {
    if (os.major == 4)
      systeme = "Windows NT4";
    else if (os.major == 5 && os.minor == 0)
      systeme = "Windows 2000";
    else if (os.major == 5 && os.minor == 1)
      systeme = "Windows XP";
    else
      systeme = "Windows NT";
  }
  const std::string pack = os.servicePack.empty() ? "No Service Pack" : os.servicePack;
  const uint32_t lcid = s.SystemDefaultLCID();
  const uint32_t langue = lcid & 0xFFFF;
  const uint32_t primaire = langue & 0x3FF;
  const uint32_t secondaire = langue >> 10;
  const std::vector<std::string> elements = s.CommandLineItems();
  std::string parametres;
  for (size_t i = 1; i < elements.size(); ++i) parametres += " | " + elements[i];
  const std::string version_module = VersionText(u.GetFileVersion(u._ModulePath));
  auto t = [](const std::string& v) { return "\t" + v; };

  Write("=");
  Write("!Log File:             %s", t(FileName).c_str());
  Write("!Date:                 %s", t(s.LocalDateTimeText()).c_str());
  Write("!Operating System:      %s %d.%d (Build %d) %s", t(systeme).c_str(), int(os.major), int(os.minor),
        int(os.build), pack.c_str());
  Write("!SysLocale.DefaultLCID: %s (%s)", t(Hexa4(langue)).c_str(), std::to_string(langue).c_str());
  Write("!SysLocale.PriLangID:   %s (%s)", t(Hexa4(primaire)).c_str(), std::to_string(primaire).c_str());
  Write("!SysLocale.SubLangID:   %s (%s)", t(Hexa4(secondaire)).c_str(), std::to_string(secondaire).c_str());
  Write("!DecimalSeparator:      %s", t(s.DecimalSeparator()).c_str());
  Write("-");
  Write("!EXE Path =          %s", t(u._ModulePath).c_str());
  Write("!EXE Version =       %s", t(version_module).c_str());
  Write("!Cmdline Param(s) =  %s", t(parametres).c_str());
  Write("!Actual CmdLine =  %s", t(s.CommandLine()).c_str());
  Write("!_RunDir =           %s", t(u._RunDir).c_str());
  Write("!_ModuleName =       %s", t(u._ModuleName).c_str());
  Write("!_ModuleDir =        %s", t(u._ModuleDir).c_str());
  Write("!_ModulePath =        %s", t(u._ModulePath).c_str());
  Write("!Module Version =       %s", t(version_module).c_str());
  Write("-");
  Write("!_hhInstalled =      %s", t(BoolToYesNo(u._hhInstalled)).c_str());
  Write("!_hhVerStr =         %s", t(u._hhVerStr).c_str());
  Write("!_hhFriendlyVerStr = %s", t(u._hhFriendlyVerStr).c_str());
  Write("-");
  Write("!_ieInstalled =      %s", t(BoolToYesNo(u._ieInstalled)).c_str());
  Write("!_ieVerStr =         %s", t(u._ieVerStr).c_str());
  Write("!_ieFriendlyVerStr = %s", t(u._ieFriendlyVerStr).c_str());
  Write("=");
}

void TDLogFile::Write(const std::string& texte) {
  if (Active == 0) return;
  std::string ligne = texte;
  if (ligne == "-" || ligne == "=") ligne = RepeatChar(ligne[0], 80);
  if (!ligne.empty() && (ligne[0] == '!' || ligne[0] == '-' || ligne[0] == '=')) {
    ligne.erase(0, 1);
  } else if (TimeStamps == 1) {
    ligne = unite_.Systeme().LocalTimeText() + "   " + ligne;
  }
  std::FILE* f = std::fopen(FileName.c_str(), "ab");
  if (!f) return;
  ligne += "\r\n";
  std::fwrite(ligne.data(), 1, ligne.size(), f);
  std::fflush(f);
  std::fclose(f);
}

// ============================== HhFuncs ==============================

HhFuncs::HhFuncs(platform::HelpSystem& systeme) : systeme_(systeme) { InitDebugInfo(); }

std::string HhFuncs::GetSystemDir() { return StripTrailingChar(systeme_.SystemDirectory(), SEP); }
std::string HhFuncs::GetWindowsDir() { return StripTrailingChar(systeme_.WindowsDirectory(), SEP); }

std::string HhFuncs::GetTempDir() {
  const std::string t = StripTrailingChar(systeme_.TempPath(), SEP);
  if (t.empty() || !autex::detail::os_is_directory(t)) return "c:";
  return t;
}

bool HhFuncs::IsDirWritable(const std::string& repertoire) {
  const std::string essai = StripTrailingChar(repertoire, SEP) + SEP + "$_Temp_$.$$$";
  std::FILE* f = std::fopen(essai.c_str(), "wb");
  if (!f) return false;
  std::fclose(f);
  std::remove(essai.c_str());
  return true;
}

FileVersion HhFuncs::GetFileVersion(const std::string& chemin) {
  if (chemin.empty()) return {};
  return systeme_.GetFileVersion(chemin);
}

FileVersion HhFuncs::GetIEVersion() { return IEVersionFromShdocvw(GetFileVersion(GetSystemDir() + SEP + "Shdocvw.dll")); }

void HhFuncs::InitDebugInfo() {
  _ModulePath = systeme_.ModuleFileName();
  _ModuleDir = Repertoire_de(_ModulePath);
  _ModuleName = Nom_de(_ModulePath);
  const std::vector<std::string> elements = systeme_.CommandLineItems();
  _RunDir = elements.empty() ? std::string() : Repertoire_de(elements[0]);

  _LogDir = !_ModuleDir.empty() && IsDirWritable(_ModuleDir) ? _ModuleDir : GetTempDir();

  _DebugActive = autex::FICHIER_EXISTE(_ModuleDir + SEP + NOM_FICHIER_DEBUG) ? 1 : 0;
  for (size_t i = 1; _DebugActive == 0 && i < elements.size(); ++i)
    if (Egal_sans_casse(elements[i], "/debug") || Egal_sans_casse(elements[i], "-debug")) _DebugActive = 1;

  const FileVersion hh = GetFileVersion(GetHhctrlPath(systeme_));
  _hhVerStr = VersionText(hh);
  _hhInstalled = !_hhVerStr.empty();
  _hhFriendlyVerStr = HhFriendlyVersion(hh);

  const FileVersion ie = GetIEVersion();
  _ieVerStr = VersionText(ie);
  _ieInstalled = !_ieVerStr.empty();
  _ieFriendlyVerStr = IeFriendlyVersion(ie);

  _DebugLog = std::make_unique<TDLogFile>(*this, _LogDir + SEP + NOM_JOURNAL_HH, _DebugActive == 1, _LogTimeStamps == 1,
                                          _LogHeader == 1, _LogAppend == 1);
}

}  // namespace station
