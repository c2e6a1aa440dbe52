#pragma once
// What the painters need of the library's window side, which lives in a library above them: delivering the
// library command message, and the parts of the per-control skin data's behaviour that decide colours. Each entry
// starts with the painters' own fallback, stated beside it; the window side sets its own once it exists.
#include <cstdint>

#include "skin/pixels/colors.h"

namespace gui {
class TControl;
}

namespace skin {

struct TsCommonData;
class TsSkinManager;

// The library command message and the codes the painters send (a command travels in the high word of WParam).
namespace library_command {
inline constexpr uint32_t Message = 0xA100;
inline constexpr uint16_t SkinRefresh = 3;      // LParam = the manager: repaint with the current skin
inline constexpr uint16_t SetRepaintPending = 8;  // the pending flag := the low word of WParam
inline constexpr uint16_t Repaint = 18;
inline constexpr uint16_t UpdateCache = 23;     // repaint the cache now; non-zero: it could not
inline constexpr uint16_t GetColor = 21;        // Result: the background colour as RGB, 0 = no answer
inline constexpr uint16_t GetSkinIndex = 26;    // LParam: address of an integer
inline constexpr uint16_t GetBackground = 34;   // LParam: address of a BackgroundInfo
inline constexpr uint16_t GetSkinData = 37;     // Result: the receiver's TsCommonData
}  // namespace library_command

struct PainterServices {
  // Sends the command to a window and returns the answer. Fallback: SendMessageA on Windows; natively no window
  // exists and the answer is 0.
  intptr_t (*SendToWindow)(void* window, uint16_t code, intptr_t lParam);
  // Sends the command to a control: to its window when it is a windowed control with a window, else through
  // its message procedure (Perform).
  intptr_t (*SendToControl)(gui::TControl& control, uint16_t code, intptr_t lParam);
  // The background colour (RGB) of a skinned element for a state (0 normal, 1 hot). Fallback: the section's
  // colour mixed with the parent's by the section's transparency; the owner's colour when it is unskinned or has
  // CustomColor; clBtnFace without an owner control.
  TColor (*BgColor)(TsCommonData& data, int32_t state);
  // The section whose text colours an element takes from its parents when its own state is transparent.
  // Fallback: the element's own section (sectionIndex).
  int32_t (*ParentSectionIndex)(TsCommonData& data, int32_t state, int32_t sectionIndex, TsSkinManager& manager);
  // Whether a section is one of the manager's special caption sections, and the link-style one among them.
  // Fallback: no special sections.
  bool (*SpecialSection)(const TsSkinManager& manager, int32_t sectionIndex, bool& linkStyle);
  // The colour of the form of a provider's skin data (ControlKind ckFormProvider). Fallback: clBtnFace.
  TColor (*ProviderFormColor)(const TsCommonData& data);
};

// The services in use (a process-wide record that the window side fills).
PainterServices& Services();
// The painters' own fallbacks.
const PainterServices& FallbackServices();

// The manager that serves a painter: the given one, else the default manager (nullptr when none).
TsSkinManager* ManagerOrDefault(TsSkinManager* manager);
// The manager of a skin data: its own, else the default manager.
TsSkinManager* SkinDataManager(const TsCommonData& data);
// A skin data that can be painted: a manager with a loaded skin, a valid section, an owner not being destroyed.
bool SkinDataSkinned(const TsCommonData& data);

// The RGB background of a control: a skinned control's answer to GetColor, else its Color.
TColor ControlBackgroundColor(gui::TControl* control);

}  // namespace skin
