#pragma once
// hh: binds the operating system's HTML Help control (hhctrl.ocx) when the program starts and frees it when
// the program ends. The program constructs one Hh before it creates its forms and destroys it after them.
// The bound entry points are kept for whoever needs them; the station's Help command opens its pages
// through the shell.
#include <cstdint>
#include <string>

#include "platform/html_help.h"

namespace station {

// The registry key (under HKEY_CLASSES_ROOT) of the HTML Help control's in-process server.
inline constexpr const char* CLE_HHCTRL = "CLSID\\{adb880a6-d8ff-11cf-9377-00aa003b7a11}\\InprocServer32";
inline constexpr const char* NOM_HHCTRL = "hhctrl.ocx";

// HtmlHelpA / HtmlHelpW: (caller window, file, command, data) -> window.
using THtmlHelpA = void* (*)(void* hwndCaller, const char* pszFile, unsigned uCommand, uintptr_t dwData);
using THtmlHelpW = void* (*)(void* hwndCaller, const wchar_t* pszFile, unsigned uCommand, uintptr_t dwData);

// Where the registry says the HTML Help control is (SYSTEMROOT expanded); when the key cannot be read or
// names no existing file, the control in the system directory.
std::string GetHhctrlPath(platform::HelpSystem& systeme);

class Hh {
 public:
  // Unit initialisation: loads the control when _hhLoadAtStart is 1.
  explicit Hh(platform::HelpSystem& systeme);
  // Unit finalisation: frees it.
  ~Hh();
  Hh(const Hh&) = delete;
  Hh& operator=(const Hh&) = delete;

  static constexpr uint8_t _hhLoadAtStart = 1;
  void* HHCtrlHandle = nullptr;
  THtmlHelpA HtmlHelpA = nullptr;
  THtmlHelpW HtmlHelpW = nullptr;
  THtmlHelpA HtmlHelp = nullptr;  // the ANSI entry again

  // Loads the control once (by name, then by the registry's path) and binds its entry points.
  void LoadHtmlHelp();
  void UnloadHtmlHelp();

 private:
  platform::HelpSystem& systeme_;
};

}  // namespace station
