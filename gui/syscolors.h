#pragma once
// System colours as the program's own drawing resolves them. The layer resolves every system colour
// (ColorToRGB of clWindow, clBtnFace, ...; the brushes and text colours it answers to the controls' colour
// messages; the colour of the canvas's pens) through here. By default the values are the system's; a skinning
// library may put a source of its own in place while a skin is applied, so that unskinned drawing takes the
// skin's colours, and take it away again.
//
// There is one place for a source: putting the same source in place twice does nothing, and only the source
// in place can take itself away. The system itself is never changed: `SystemSysColor` always reads the
// system's own value.
#include <cstdint>

#include "gui/win32_types.h"

namespace gui {

class SystemColorSource {
 public:
  virtual ~SystemColorSource() = default;
  // True with the RGB value (0x00BBGGRR) when the source gives this system colour; false leaves it to the system.
  virtual bool SysColor(int index, uint32_t& rgb) = 0;
  // A brush of the system colour owned by the source, or nullptr to leave it to the system.
  virtual HBRUSH SysColorBrush(int index) = 0;
  // The colour a new pen of the given colour is drawn in.
  virtual COLORREF PenColor(COLORREF color) = 0;
};

// Puts the source in place. True when it is in place afterwards (it was already, or there was none); false
// when another source is in place (nothing changes then).
bool InstallSystemColorSource(SystemColorSource* source);
// Takes the source away when it is the one in place; nothing otherwise.
void RemoveSystemColorSource(SystemColorSource* source);
SystemColorSource* CurrentSystemColorSource();

// The system's own value of a system colour (GetSysColor on Windows; natively the Windows 10 defaults).
uint32_t SystemSysColor(int index);
// The value the program draws with: the source's when one is in place and gives it, else the system's.
uint32_t GetSysColor(int index);
// The brush of a system colour: the source's when it gives one, else the system's (Windows); natively nullptr.
HBRUSH GetSysColorBrush(int index);
// The colour a pen of this colour is drawn in (the source's choice when one is in place).
COLORREF PenColor(COLORREF color);

// While it lives, the program's drawing takes the system's own colours, whatever source is in place: for what
// is drawn on a colour of its own (a button face in the program's colour), for which a source's colours were not
// chosen and can vanish (a skin's light text on a light face).
class SystemColoursOnly {
 public:
  SystemColoursOnly();
  ~SystemColoursOnly();
  SystemColoursOnly(const SystemColoursOnly&) = delete;
  SystemColoursOnly& operator=(const SystemColoursOnly&) = delete;

 private:
  SystemColorSource* saved_;
};

}  // namespace gui
