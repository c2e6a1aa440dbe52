#pragma once
// skinlint's checks of what a skin shows an operator, painted with the program's own painters into bitmaps of a
// control's usual size:
// - text: the font colour of each state of a section that carries text against the background it is painted
//   on (the section over its parent, both painted) stands out by a contrast ratio of at least 4.5:1;
// - disabled text: the caption of a disabled button (at rest and held down) or check box, written over the
//   control's faded picture, stands out from each pixel it covers by 4:1 at least and differs from the enabled
//   caption;
// - states: the hot and pressed states of a control that has them differ visibly from its normal state;
// - title buttons: each caption button shows, at rest, a mark that stands out from its own face, and the close,
//   maximize and minimize buttons at rest do not look alike;
// - ornaments: the corner images of a section stay inside the frame its border image draws, off the place
//   where a control's captions and children begin.
#include <functional>
#include <string>

#include "skin/data/generalutils.h"
#include "skin/data/sskinmanager.h"

namespace skinlint {

// The thresholds of the checks.
inline constexpr double MinTextContrast = 4.5;   // text against its background (the usual rule for body text)
inline constexpr double MinMarkContrast = 3.0;   // a title button's mark against its face (graphical objects)
inline constexpr double MinDisabledContrast = 4.0;  // a disabled caption: dimmer than text, still readable
inline constexpr double MinStateDifference = 12.0;  // mean colour difference (CIE76) of a state from normal
inline constexpr double MinButtonsDifference = 15.0;  // colour difference (CIE76) of a pixel of two title buttons
inline constexpr double MinTitleStateDifference = 8.0;  // the same, of a title button hot or pressed from at rest

// The contrast ratio of two colours (0x00BBGGRR), 1 to 21.
double ContrastRatio(uint32_t a, uint32_t b);

// Runs the checks on a loaded skin (its description `ini`), reporting each fault as one sentence.
void CheckLook(skin::TsSkinManager& m, const skin::TIniSections& ini, const std::function<void(const std::string&)>& problem);

}  // namespace skinlint
