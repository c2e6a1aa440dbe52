#pragma once
// Section names that the common-index cache of a loaded skin looks up.
#include <array>
#include <string_view>

namespace skin {

// Check boxes: unchecked, checked, grayed.
inline constexpr std::array<std::string_view, 3> CheckBoxSections = {"BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED"};
inline constexpr std::array<std::string_view, 3> SmallCheckBoxSections = {"SMALLUNCHECKED", "SMALLCHECKED",
                                                                          "SMALLGRAYED"};
// Radio buttons: unchecked, checked.
inline constexpr std::array<std::string_view, 2> RadioButtonSections = {"RADIOUNCHECKED", "RADIOCHECKED"};
// Scroll sliders: horizontal, vertical.
inline constexpr std::array<std::string_view, 2> ScrollSliderSections = {"SCROLLSLIDERH", "SCROLLSLIDERV"};

// Scroll-bar tracks: horizontal and vertical before the thumb's centre, then horizontal and vertical after it.
inline constexpr std::array<std::string_view, 4> ScrollTrackSections = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H",
                                                                        "SCROLLBAR2V"};

// Scroll buttons: three alternative rows (the first name a skin has wins), each left, top, right, bottom.
inline constexpr std::array<std::array<std::string_view, 4>, 3> ScrollButtonSections = {{
    {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"},
    {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"},
    {"UPDOWNBTN_LEFT", "UPDOWNBTN_TOP", "UPDOWNBTNRIGHT", "UPDOWNBTN_BOTTOM"},
}};

// Tabs by position (first, last, middle, single) and side (left, top, right, bottom).
enum class TabPosition { First = 0, Last = 1, Middle = 2, Single = 3 };
enum class TabSide { Left = 0, Top = 1, Right = 2, Bottom = 3 };
inline constexpr std::array<std::array<std::string_view, 4>, 4> TabSections = {{
    {"TABLEFTFIRST", "TABTOPFIRST", "TABRIGHTFIRST", "TABBOTTOMFIRST"},
    {"TABLEFTLAST", "TABTOPLAST", "TABRIGHTLAST", "TABBOTTOMLAST"},
    {"TABLEFTMIDDLE", "TABTOPMIDDLE", "TABRIGHTMIDDLE", "TABBOTTOMMIDDLE"},
    {"TABLEFT", "TABTOP", "TABRIGHT", "TABBOTTOM"},
}};

}  // namespace skin
